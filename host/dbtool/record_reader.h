// Splits a compound file into records, keeping each record's first line.
// Every record of the file comes out, readable or with the problem that
// makes it unusable, so that imported + skipped counts the whole file.
//   SD (.sdf, .sd, .mol): MOL blocks, V2000 or V3000, up to "M  END", then
//     data items ("> <FIELD>" and value lines up to a blank line), each
//     record ended by "$$$$" (the last one may lack it). The title is the
//     block's first line. Text after "M  END" that is neither a data item
//     nor "$$$$" starts the next record: a "$$$$" left out, or MOL files
//     joined with cat. Such a record's title may be blank: when its third
//     line is the counts line, the blank line before it was the title.
//   SMILES: one per line, then blanks and an optional name (the title).
//     Blank lines and lines starting with "#" are not records, nor a first
//     line whose first word is "smiles" (a header).
//   CSV, TSV: a header row, then one record per row; fields may be quoted
//     with '"' ("" for a quote) and then hold the delimiter or line breaks.
//     A quote that is not closed (the file ends, text other than the
//     delimiter follows the closing quote on a later line, or the field
//     would span more than kMaxQuotedLines lines or kMaxRecordBytes) makes
//     its row a record with that problem, and reading goes on with the line
//     after the row's first.
//     The structure is the column named "smiles" (or else "formula"), the
//     title the column "name" (or else "title"), all case-insensitive.
// Titles and names that are not valid UTF-8 are read as Windows-1252.
// Only the splitting happens here; the structure text is the toolkit's.
#pragma once

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "host/dbtool/import_formats.h"
#include "host/dbtool/import_record.h"
#include "host/dbtool/input_lines.h"

namespace ionsift::dbtool {

// A record's structure text beyond this is not read (the file goes on).
constexpr std::size_t kMaxRecordBytes = 16u << 20;
// A quoted table field going on over more lines is taken as a quote left
// open. The lines it took are read again, so this also bounds the work that
// an open quote costs.
constexpr int kMaxQuotedLines = 1000;

class RecordReader {
public:
    // `nameField`: the SD data item or CSV column that names the record; empty for none.
    RecordReader(FileFormat format, std::string nameField);

    bool Open(const std::filesystem::path& path, bool gzip);  // false with Error()
    void OpenText(std::string_view text);                     // text outlives the reader

    // The next record; false at the end of the file, or on a file error
    // (unreadable data, a CSV header without a structure column), which
    // Error() then holds.
    bool Next(ImportRecord& record);

    // Said once about the file, not an error: e.g. the name column is missing.
    const std::string& Note() const { return note_; }
    const std::string& Error() const;
    std::uint64_t FileOffset() const { return lines_.FileOffset(); }

private:
    struct Line {
        std::string text;
        long long number = 0;
        bool cut = false;
    };

    bool NextSd(ImportRecord& record);
    bool NextSmiles(ImportRecord& record);
    bool NextCsv(ImportRecord& record);
    bool ReadCsvHeader();
    // False at the end of the file. `open`: the row's quote was not closed.
    bool ReadCsvRow(std::vector<std::string>& fields, long long& firstLine, std::string& problem, bool& open);
    // Splits the row that starts in line_. With `taken`, a quoted field goes
    // on over the next lines, which are kept there; false when its quote is
    // not closed. Without, the row ends with line_.
    bool SplitCsvRow(std::vector<std::string>& fields, std::string& problem, std::vector<Line>* taken);
    // The next line into line_, lineNumber_ and cut_: lines given back first.
    bool NextLine();
    void GiveBack(Line line) { replay_.push_front(std::move(line)); }

    FileFormat format_;
    std::string nameField_;
    InputLines lines_;
    std::string line_;
    long long lineNumber_ = 0;
    bool cut_ = false;
    std::deque<Line> replay_;  // lines read ahead that belong to the next record
    // The last SD record ended at stray text that followed a blank line,
    // which may have been the next record's blank title.
    bool blankBeforeRecord_ = false;
    long long blankLineNumber_ = 0;
    std::string error_;
    std::string note_;
    long long records_ = 0;
    bool headerDone_ = false;
    // CSV columns, -1 where absent.
    int structureColumn_ = -1, titleColumn_ = -1, fieldColumn_ = -1;
    StructureKind csvKind_ = StructureKind::kSmiles;
    std::vector<std::string> fields_;
};

}  // namespace ionsift::dbtool
