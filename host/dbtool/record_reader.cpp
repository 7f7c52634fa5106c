#include "host/dbtool/record_reader.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace ionsift::dbtool {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool SameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// "> <PUBCHEM_IUPAC_NAME>" or ">  <NAME> (12)": the text between the first < and the next >.
std::string_view DataItemName(std::string_view header) {
    const auto open = header.find('<');
    if (open == std::string_view::npos) return {};
    const auto close = header.find('>', open + 1);
    if (close == std::string_view::npos) return {};
    return header.substr(open + 1, close - open - 1);
}

constexpr std::string_view kTooLong = "record larger than 16 MiB";

}  // namespace

RecordReader::RecordReader(FileFormat format, std::string nameField)
    : format_(format), nameField_(std::move(nameField)) {}

bool RecordReader::Open(const std::filesystem::path& path, bool gzip) {
    if (lines_.Open(path, gzip)) return true;
    error_ = lines_.Error();
    return false;
}

void RecordReader::OpenText(std::string_view text) { lines_.OpenText(text); }

const std::string& RecordReader::Error() const { return error_.empty() ? lines_.Error() : error_; }

bool RecordReader::NextLine() { return lines_.Next(line_); }

bool RecordReader::Next(ImportRecord& record) {
    record = ImportRecord();
    switch (format_) {
        case FileFormat::kSd: return NextSd(record);
        case FileFormat::kSmiles: return NextSmiles(record);
        case FileFormat::kCsv:
        case FileFormat::kTsv: return NextCsv(record);
    }
    return false;
}

bool RecordReader::NextSd(ImportRecord& record) {
    record.kind = StructureKind::kMolBlock;
    bool inBlock = true, any = false, fieldWanted = false;
    while (NextLine()) {
        if (StartsWith(line_, "$$$$")) {
            if (any) break;
            continue;  // an empty record between two ends
        }
        if (!any) {
            // The first line is the title, which may be blank.
            any = true;
            record.line = lines_.LineNumber();
            record.title = std::string(Trim(line_));
        }
        if (lines_.Cut()) record.problem = std::string(kTooLong);
        if (inBlock) {
            if (record.structure.size() + line_.size() >= kMaxRecordBytes) {
                record.problem = std::string(kTooLong);
            } else if (record.problem.empty()) {
                record.structure.append(line_).push_back('\n');
            }
            if (StartsWith(line_, "M  END")) inBlock = false;
            continue;
        }
        // A data item's header; some writers leave out the blank line before it.
        if (!line_.empty() && line_[0] == '>' && !DataItemName(line_).empty()) {
            fieldWanted = !nameField_.empty() && DataItemName(line_) == nameField_;
            continue;
        }
        if (Trim(line_).empty()) {
            fieldWanted = false;
            continue;
        }
        if (fieldWanted && record.field.size() + line_.size() < kMaxRecordBytes) {
            if (!record.field.empty()) record.field.push_back(' ');
            record.field.append(Trim(line_));
        }
    }
    if (!lines_.Error().empty() || !any) return false;
    // A file of blank lines only is no record.
    if (Trim(record.structure).empty() && record.problem.empty()) return false;
    record.number = ++records_;
    return true;
}

bool RecordReader::NextSmiles(ImportRecord& record) {
    record.kind = StructureKind::kSmiles;
    while (NextLine()) {
        const std::string_view text = Trim(line_);
        if (text.empty() || text.front() == '#') continue;
        const auto split = std::find_if(text.begin(), text.end(), IsBlank) - text.begin();
        const std::string_view smiles = text.substr(0, split);
        if (records_ == 0 && !headerDone_ && SameLetters(smiles, "smiles")) {
            headerDone_ = true;
            continue;
        }
        headerDone_ = true;
        record.line = lines_.LineNumber();
        record.number = ++records_;
        if (lines_.Cut()) {
            record.problem = std::string(kTooLong);
        } else {
            record.structure = std::string(smiles);
            record.title = std::string(Trim(text.substr(split)));
        }
        return true;
    }
    return false;
}

// Fields of one row; a quoted field may go on over the following lines.
bool RecordReader::ReadCsvRow(std::vector<std::string>& fields, long long& firstLine, std::string& problem) {
    const char delimiter = format_ == FileFormat::kTsv ? '\t' : ',';
    fields.clear();
    do {
        if (!NextLine()) return false;
    } while (Trim(line_).empty());
    firstLine = lines_.LineNumber();
    std::size_t total = line_.size();
    if (lines_.Cut()) problem = std::string(kTooLong);
    std::string field;
    bool quoted = false, fieldStart = true;
    for (std::size_t i = 0;; ++i) {
        if (i == line_.size()) {
            if (!quoted) break;
            // The quoted field holds a line break: the row goes on.
            if (!NextLine()) break;
            total += line_.size();
            if (total >= kMaxRecordBytes || lines_.Cut()) problem = std::string(kTooLong);
            if (problem.empty()) field.push_back('\n');
            i = static_cast<std::size_t>(-1);
            continue;
        }
        const char c = line_[i];
        if (quoted) {
            if (c == '"' && i + 1 < line_.size() && line_[i + 1] == '"') {
                field.push_back('"');
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else if (problem.empty()) {
                field.push_back(c);
            }
        } else if (c == delimiter) {
            fields.push_back(std::move(field));
            field.clear();
            fieldStart = true;
            continue;
        } else if (c == '"' && fieldStart) {
            quoted = true;
        } else {
            field.push_back(c);
        }
        fieldStart = false;
    }
    fields.push_back(std::move(field));
    return true;
}

bool RecordReader::ReadCsvHeader() {
    headerDone_ = true;
    long long line = 0;
    std::string problem;
    if (!ReadCsvRow(fields_, line, problem)) return false;
    int smiles = -1, formula = -1, name = -1, title = -1;
    for (int i = 0; i < static_cast<int>(fields_.size()); ++i) {
        const std::string_view header = Trim(fields_[static_cast<std::size_t>(i)]);
        int* column = SameLetters(header, "smiles")    ? &smiles
                      : SameLetters(header, "formula") ? &formula
                      : SameLetters(header, "name")    ? &name
                      : SameLetters(header, "title")   ? &title
                                                       : nullptr;
        if (column && *column < 0) *column = i;
        if (!nameField_.empty() && fieldColumn_ < 0 && SameLetters(header, nameField_)) fieldColumn_ = i;
    }
    if (smiles < 0 && formula < 0) {
        error_ = "line " + std::to_string(line) + ": the header has no column named smiles or formula";
        return false;
    }
    structureColumn_ = smiles >= 0 ? smiles : formula;
    csvKind_ = smiles >= 0 ? StructureKind::kSmiles : StructureKind::kFormula;
    titleColumn_ = name >= 0 ? name : title;
    if (!nameField_.empty() && fieldColumn_ < 0) {
        note_ = "no column named " + nameField_ + "; names come from the name or title column";
    }
    return true;
}

bool RecordReader::NextCsv(ImportRecord& record) {
    if (!headerDone_ && !ReadCsvHeader()) return false;
    if (structureColumn_ < 0) return false;
    if (!ReadCsvRow(fields_, record.line, record.problem)) return false;
    record.kind = csvKind_;
    record.number = ++records_;
    auto column = [&](int index) {
        return index >= 0 && index < static_cast<int>(fields_.size())
                   ? std::string(Trim(fields_[static_cast<std::size_t>(index)]))
                   : std::string();
    };
    record.structure = column(structureColumn_);
    record.title = column(titleColumn_);
    record.field = column(fieldColumn_);
    if (record.problem.empty() && record.structure.empty()) {
        record.problem = csvKind_ == StructureKind::kSmiles ? "the smiles column is empty"
                                                            : "the formula column is empty";
    }
    return true;
}

}  // namespace ionsift::dbtool
