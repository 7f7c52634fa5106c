#include "host/dbtool/record_reader.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <utility>

#include "text/utf8_text.h"

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

// "  3  2  0  0  0  0  0  0  0  0999 V2000": the fourth line of a MOL block.
bool IsCountsLine(std::string_view line) {
    const std::string_view text = Trim(line);
    return text.size() > 5 && (text.substr(text.size() - 5) == "V2000" || text.substr(text.size() - 5) == "V3000");
}

constexpr std::string_view kTooLong = "record larger than 16 MiB";
constexpr std::string_view kTooLarge = "too large";

void SetProblem(ImportRecord& record, std::string_view problem, std::string_view category) {
    record.problem = std::string(problem);
    record.problemCategory = std::string(category);
}

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

bool RecordReader::NextLine() {
    if (!replay_.empty()) {
        line_ = std::move(replay_.front().text);
        lineNumber_ = replay_.front().number;
        cut_ = replay_.front().cut;
        replay_.pop_front();
        return true;
    }
    if (!lines_.Next(line_)) return false;
    lineNumber_ = lines_.LineNumber();
    cut_ = lines_.Cut();
    return true;
}

bool RecordReader::Next(ImportRecord& record) {
    record = ImportRecord();
    bool found = false;
    switch (format_) {
        case FileFormat::kSd: found = NextSd(record); break;
        case FileFormat::kSmiles: found = NextSmiles(record); break;
        case FileFormat::kCsv:
        case FileFormat::kTsv: found = NextCsv(record); break;
    }
    if (found) {
        record.title = AsUtf8(record.title);
        record.field = AsUtf8(record.field);
    }
    return found;
}

bool RecordReader::NextSd(ImportRecord& record) {
    record.kind = StructureKind::kMolBlock;
    // After "M  END": between items, or inside an item's value lines.
    enum class Part { kBlock, kBetweenItems, kItem } part = Part::kBlock;
    bool any = false, fieldWanted = false, previousBlank = false;
    int blockLines = 0;
    const bool blankBefore = std::exchange(blankBeforeRecord_, false);
    while (NextLine()) {
        if (StartsWith(line_, "$$$$")) {
            if (any) break;
            continue;  // an empty record between two ends
        }
        if (!any) {
            // The first line is the title, which may be blank.
            any = true;
            record.line = lineNumber_;
            record.title = std::string(Trim(line_));
        }
        if (cut_) SetProblem(record, kTooLong, kTooLarge);
        if (part == Part::kBlock) {
            if (record.structure.size() + line_.size() >= kMaxRecordBytes) {
                SetProblem(record, kTooLong, kTooLarge);
            } else if (record.problem.empty()) {
                record.structure.append(line_).push_back('\n');
            }
            // Read on from stray text after a blank line: its counts line
            // third means the blank line was its title.
            if (++blockLines == 3 && blankBefore && IsCountsLine(line_) && record.problem.empty()) {
                record.structure.insert(0, 1, '\n');
                record.title.clear();
                record.line = blankLineNumber_;
            }
            if (StartsWith(line_, "M  END")) part = Part::kBetweenItems;
            continue;
        }
        const bool blank = Trim(line_).empty();
        if (blank) {
            part = Part::kBetweenItems;
            fieldWanted = false;
        } else if (line_[0] == '>' && (part == Part::kBetweenItems || !DataItemName(line_).empty())) {
            // A data item's header; some writers leave out the blank line before it.
            part = Part::kItem;
            fieldWanted = !nameField_.empty() && DataItemName(line_) == nameField_;
        } else if (part == Part::kBetweenItems) {
            // Neither an item nor the end: the next record begins here.
            blankBeforeRecord_ = previousBlank;
            blankLineNumber_ = lineNumber_ - 1;
            GiveBack({std::move(line_), lineNumber_, cut_});
            break;
        } else if (fieldWanted && record.field.size() + line_.size() < kMaxRecordBytes) {
            if (!record.field.empty()) record.field.push_back(' ');
            record.field.append(Trim(line_));
        }
        previousBlank = blank;
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
        record.line = lineNumber_;
        record.number = ++records_;
        if (cut_) {
            SetProblem(record, kTooLong, kTooLarge);
        } else {
            record.structure = std::string(smiles);
            record.title = std::string(Trim(text.substr(split)));
        }
        return true;
    }
    return false;
}

bool RecordReader::ReadCsvRow(std::vector<std::string>& fields, long long& firstLine, std::string& problem,
                              bool& open) {
    open = false;
    do {
        if (!NextLine()) return false;
    } while (Trim(line_).empty());
    firstLine = lineNumber_;
    std::vector<Line> taken;
    Line first{line_, lineNumber_, cut_};
    if (SplitCsvRow(fields, problem, &taken) || !lines_.Error().empty()) return true;
    // The quote is not closed: the row is its first line alone, and the
    // lines its field took are read again.
    for (auto line = taken.rbegin(); line != taken.rend(); ++line) GiveBack(std::move(*line));
    line_ = std::move(first.text);
    lineNumber_ = first.number;
    cut_ = first.cut;
    problem.clear();
    SplitCsvRow(fields, problem, nullptr);
    open = true;
    return true;
}

bool RecordReader::SplitCsvRow(std::vector<std::string>& fields, std::string& problem, std::vector<Line>* taken) {
    const char delimiter = format_ == FileFormat::kTsv ? '\t' : ',';
    fields.clear();
    std::size_t total = line_.size();
    if (cut_) problem = std::string(kTooLong);
    std::string field;
    // `continued`: the quoted field being read began on an earlier line.
    bool quoted = false, fieldStart = true, continued = false;
    for (std::size_t i = 0;; ++i) {
        if (i == line_.size()) {
            if (!quoted || !taken) break;
            // The quoted field holds a line break: the row goes on.
            if (static_cast<int>(taken->size()) >= kMaxQuotedLines || total >= kMaxRecordBytes) return false;
            if (!NextLine()) return false;
            taken->push_back({line_, lineNumber_, cut_});
            continued = true;
            total += line_.size();
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
                // A quote closing on a later line that is followed by more
                // than blanks before the delimiter is another row's opening
                // quote: this one was never closed.
                if (continued) {
                    const auto next = line_.find_first_not_of(delimiter == '\t' ? " " : " \t", i + 1);
                    if (next != std::string::npos && line_[next] != delimiter) return false;
                    continued = false;
                }
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
    bool open = false;
    if (!ReadCsvRow(fields_, line, problem, open)) return false;
    if (open) note_ = "line " + std::to_string(line) + ": the header's quote is not closed; columns read from this line";
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
        if (!note_.empty()) note_ += "; ";
        note_ += "no column named " + nameField_ + "; names come from the name or title column";
    }
    return true;
}

bool RecordReader::NextCsv(ImportRecord& record) {
    if (!headerDone_ && !ReadCsvHeader()) return false;
    if (structureColumn_ < 0) return false;
    bool open = false;
    if (!ReadCsvRow(fields_, record.line, record.problem, open)) return false;
    record.kind = csvKind_;
    record.number = ++records_;
    if (open) {
        SetProblem(record, "a quote opened in this row is not closed; reading goes on with the next line",
                   "unterminated quote");
        return true;
    }
    if (!record.problem.empty()) record.problemCategory = std::string(kTooLarge);
    auto column = [&](int index) {
        return index >= 0 && index < static_cast<int>(fields_.size())
                   ? std::string(Trim(fields_[static_cast<std::size_t>(index)]))
                   : std::string();
    };
    record.structure = column(structureColumn_);
    record.title = column(titleColumn_);
    record.field = column(fieldColumn_);
    if (record.problem.empty() && record.structure.empty()) {
        SetProblem(record, csvKind_ == StructureKind::kSmiles ? "the smiles column is empty" : "the formula column is empty",
                   "empty");
    }
    return true;
}

}  // namespace ionsift::dbtool
