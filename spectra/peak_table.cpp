// The table's layout is decided once, from the whole text: the separator
// (a tab where there is one, else a semicolon, else blanks when numbers stand
// between blanks, else a comma), the decimal mark (a comma when no field
// separator is a comma and the numbers show commas but no points), and the
// columns (from the header row above the first row of numbers, else the
// first two numeric columns). Then every row is read with that layout.
#include "spectra/peak_table.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "spectra/spectrum_text.h"

namespace ionsift {
namespace {

struct Layout {
    std::string_view separators;
    bool decimalComma = false;
    std::size_t mzColumn = 0, intensityColumn = 1;
};

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    if (!lines.empty() && lines[0].substr(0, 3) == "\xEF\xBB\xBF") lines[0].remove_prefix(3);
    return lines;
}

std::string_view Unquoted(std::string_view field) {
    field = TrimBlanks(field);
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"') field = field.substr(1, field.size() - 2);
    return TrimBlanks(field);
}

// Whether `digits` (a sign allowed) is grouped by `mark` in threes: "1,234,567".
bool GroupedInThrees(std::string_view digits, char mark) {
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) digits.remove_prefix(1);
    const std::vector<std::string_view> groups = SplitFields(digits, std::string_view(&mark, 1));
    if (groups.size() < 2 || digits.front() == mark || digits.back() == mark) return false;
    for (std::size_t k = 0; k < groups.size(); ++k) {
        const bool sized = k == 0 ? groups[k].size() <= 3 : groups[k].size() == 3;
        if (!sized || !std::all_of(groups[k].begin(), groups[k].end(), [](char c) { return c >= '0' && c <= '9'; }))
            return false;
    }
    return digits.find(std::string(2, mark)) == std::string_view::npos;
}

// A number with the table's decimal mark; the other mark may group
// thousands ("1,234,567.5", "1.234.567,5").
bool ReadNumber(std::string_view field, bool decimalComma, double& value) {
    field = Unquoted(field);
    if (field.size() > 64) return false;
    const char decimal = decimalComma ? ',' : '.';
    const char thousands = decimalComma ? '.' : ',';
    const std::size_t point = field.find(decimal);
    const std::string_view whole = field.substr(0, point);
    if (field.substr(point == std::string_view::npos ? field.size() : point).find(thousands) != std::string_view::npos)
        return false;
    std::string text;
    if (whole.find(thousands) != std::string_view::npos) {
        if (!GroupedInThrees(whole, thousands)) return false;
        for (char c : whole)
            if (c != thousands) text.push_back(c);
    } else {
        text = std::string(whole);
    }
    if (point != std::string_view::npos) text += "." + std::string(field.substr(point + 1));
    return ReadDecimal(text, value);
}

std::vector<std::string_view> Fields(std::string_view line, const Layout& layout) {
    std::vector<std::string_view> fields = SplitFields(line, layout.separators);
    for (std::string_view& field : fields) field = Unquoted(field);
    return fields;
}

// How many fields of the line read as numbers with either decimal mark.
std::size_t NumericFields(const std::vector<std::string_view>& fields, bool decimalComma) {
    double value = 0;
    return static_cast<std::size_t>(std::count_if(fields.begin(), fields.end(), [&](std::string_view field) {
        return ReadNumber(field, decimalComma, value);
    }));
}

// Which decimal mark a number written this way shows: +1 a comma, -1 a
// point, 0 neither. A mark that comes twice groups thousands; with both, the
// last is the decimal mark.
int DecimalVote(std::string_view token) {
    const std::size_t comma = token.rfind(','), point = token.rfind('.');
    if (comma == std::string_view::npos && point == std::string_view::npos) return 0;
    if (comma != std::string_view::npos && point != std::string_view::npos) return comma > point ? 1 : -1;
    const char mark = comma != std::string_view::npos ? ',' : '.';
    const bool twice = token.find(mark) != token.rfind(mark);
    return (mark == ',') != twice ? 1 : -1;
}

bool LooksNumeric(std::string_view token) {
    bool digit = false;
    for (char c : token) {
        if (c >= '0' && c <= '9') digit = true;
        else if (c != '.' && c != ',' && c != '-' && c != '+' && c != 'e' && c != 'E') return false;
    }
    return digit;
}

Layout ChooseSeparators(const std::vector<std::string_view>& lines) {
    bool tab = false, semicolon = false, blankBetweenNumbers = false;
    int votes = 0;
    for (std::string_view line : lines) {
        tab |= line.find('\t') != std::string_view::npos;
        semicolon |= line.find(';') != std::string_view::npos;
        std::size_t numbers = 0;
        for (std::string_view token : SplitFields(line, " \t;")) {
            token = Unquoted(token);
            if (!LooksNumeric(token)) continue;
            votes += DecimalVote(token);
            double value = 0;
            numbers += ReadNumber(token, false, value) || ReadNumber(token, true, value);
        }
        blankBetweenNumbers |= numbers >= 2 && SplitFields(line, " ").size() >= 2;
    }
    Layout layout;
    if (tab) {
        layout.separators = "\t";
    } else if (semicolon) {
        layout.separators = ";";
    } else if (blankBetweenNumbers) {
        layout.separators = " ";
    } else {
        layout.separators = ",";  // comma-separated values: "181.07,100"
        return layout;
    }
    layout.decimalComma = votes > 0;
    return layout;
}

std::string Lowered(std::string_view text) {
    std::string lowered;
    for (char c : text) {
        if (c != ' ') lowered.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
    return lowered;
}

// Header names, most wanted first. An absolute intensity is preferred: a
// relative column is usually rounded to two decimals.
const char* const kMzNames[] = {"m/z", "mz", "mass", "m/e"};
const char* const kIntensityNames[] = {"intensity", "int", "int.", "i", "abundance", "abund.", "height",
                                       "counts", "i%", "rel.int.", "rel.int", "rel.intensity", "relativeintensity",
                                       "relint", "%"};

// The place of the best-named column, or npos.
// A name of three letters or more also matches as a prefix ("intensity(counts)").
template <std::size_t N>
std::size_t FindColumn(const std::vector<std::string>& names, const char* const (&wanted)[N]) {
    for (const char* name : wanted) {
        const std::size_t length = std::char_traits<char>::length(name);
        for (std::size_t k = 0; k < names.size(); ++k) {
            const std::string& have = names[k];
            if (have == name || (length >= 3 && have.compare(0, length, name) == 0)) return k;
        }
    }
    return std::string::npos;
}

// A header split at blanks: multi-word names are joined first.
std::string JoinMultiWordNames(std::string_view header) {
    std::string text(header);
    static const std::pair<const char*, const char*> kJoined[] = {
        {"rel. int.", "rel.int."}, {"rel. intensity", "rel.intensity"}, {"relative intensity", "relativeintensity"},
        {"rel int", "relint"}};
    for (const auto& [words, joined] : kJoined) {
        const std::string lowered = [&] {
            std::string l(text);
            for (char& c : l) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return l;
        }();
        const std::size_t at = lowered.find(words);
        if (at != std::string::npos) text.replace(at, std::char_traits<char>::length(words), joined);
    }
    return text;
}

void ChooseColumns(const std::vector<std::string_view>& lines, std::size_t firstData, Layout& layout) {
    // The numeric columns of the first row of numbers.
    const std::vector<std::string_view> data = Fields(lines[firstData], layout);
    std::vector<std::size_t> numeric;
    double value = 0;
    for (std::size_t k = 0; k < data.size(); ++k) {
        if (ReadNumber(data[k], layout.decimalComma, value)) numeric.push_back(k);
    }
    layout.mzColumn = numeric.size() > 0 ? numeric[0] : 0;
    layout.intensityColumn = numeric.size() > 1 ? numeric[1] : 1;
    // The header: the last line with text before the first row of numbers.
    std::size_t header = firstData;
    while (header > 0 && TrimBlanks(lines[header - 1]).empty()) --header;
    if (header == 0) return;
    const std::string joined = layout.separators == " " ? JoinMultiWordNames(lines[header - 1])
                                                        : std::string(lines[header - 1]);
    std::vector<std::string> names;
    for (std::string_view field : Fields(joined, layout)) names.push_back(Lowered(field));
    if (names.size() != data.size()) return;  // not the header of these columns
    const std::size_t mz = FindColumn(names, kMzNames);
    const std::size_t intensity = FindColumn(names, kIntensityNames);
    if (mz != std::string::npos) layout.mzColumn = mz;
    if (intensity != std::string::npos && intensity != layout.mzColumn) {
        layout.intensityColumn = intensity;
    } else if (mz != std::string::npos) {
        // Named m/z only: the next numeric column after it.
        const auto next = std::find_if(numeric.begin(), numeric.end(), [&](std::size_t k) { return k > mz; });
        if (next != numeric.end()) layout.intensityColumn = *next;
    }
}

std::string LineWhere(std::size_t index) { return "line " + std::to_string(index + 1); }

}  // namespace

bool ReadPeakTable(std::string_view text, std::vector<TPeak>& peaks, SpectrumFileProblem& problem) {
    peaks.clear();
    const std::vector<std::string_view> lines = Lines(text);
    Layout layout = ChooseSeparators(lines);
    std::size_t firstData = lines.size();
    for (std::size_t i = 0; i < lines.size() && firstData == lines.size(); ++i) {
        if (NumericFields(Fields(lines[i], layout), layout.decimalComma) >= 2) firstData = i;
    }
    if (firstData == lines.size()) {
        problem = {"", "no row with an m/z and an intensity"};
        return false;
    }
    ChooseColumns(lines, firstData, layout);
    for (std::size_t i = firstData; i < lines.size(); ++i) {
        const std::vector<std::string_view> fields = Fields(lines[i], layout);
        if (NumericFields(fields, layout.decimalComma) == 0) continue;  // blank, or a footer's text
        double mz = 0, intensity = 0;
        const bool hasMz = layout.mzColumn < fields.size();
        const bool hasIntensity = layout.intensityColumn < fields.size();
        if (!hasMz || !ReadNumber(fields[layout.mzColumn], layout.decimalComma, mz) || !(mz > 0)) {
            problem = {LineWhere(i), "m/z is not a positive number: " +
                                         std::string(hasMz ? fields[layout.mzColumn] : "(missing)")};
            return false;
        }
        if (!hasIntensity || !ReadNumber(fields[layout.intensityColumn], layout.decimalComma, intensity) ||
            intensity < 0) {
            problem = {LineWhere(i), "intensity is not a number of at least 0: " +
                                         std::string(hasIntensity ? fields[layout.intensityColumn] : "(missing)")};
            return false;
        }
        if (peaks.size() >= kMaxSpectrumPeaks) {
            problem = {LineWhere(i), "more than " + std::to_string(kMaxSpectrumPeaks) + " peaks"};
            return false;
        }
        peaks.push_back({false, mz, intensity});
    }
    return true;
}

}  // namespace ionsift
