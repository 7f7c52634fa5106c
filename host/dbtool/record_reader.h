// Splits a compound file into records, keeping each record's first line:
//   SD (.sdf, .sd, .mol): MOL blocks, V2000 or V3000, up to "M  END", then
//     data items ("> <FIELD>" and value lines up to a blank line), each
//     record ended by "$$$$" (the last one may lack it). The title is the
//     block's first line.
//   SMILES: one per line, then blanks and an optional name (the title).
//     Blank lines and lines starting with "#" are not records, nor a first
//     line whose first word is "smiles" (a header).
//   CSV, TSV: a header row, then one record per row; fields may be quoted
//     with '"' ("" for a quote) and then hold the delimiter or line breaks.
//     The structure is the column named "smiles" (or else "formula"), the
//     title the column "name" (or else "title"), all case-insensitive.
// Only the splitting happens here; the structure text is the toolkit's.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "host/dbtool/import_formats.h"
#include "host/dbtool/import_record.h"
#include "host/dbtool/input_lines.h"

namespace ionsift::dbtool {

// A record's structure text beyond this is not read (the file goes on).
constexpr std::size_t kMaxRecordBytes = 16u << 20;

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
    bool NextSd(ImportRecord& record);
    bool NextSmiles(ImportRecord& record);
    bool NextCsv(ImportRecord& record);
    bool ReadCsvHeader();
    bool ReadCsvRow(std::vector<std::string>& fields, long long& firstLine, std::string& problem);
    bool NextLine();

    FileFormat format_;
    std::string nameField_;
    InputLines lines_;
    std::string line_;
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
