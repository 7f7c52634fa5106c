#include "spectra/spectrum_text.h"

#include <charconv>
#include <cmath>
#include <streambuf>

#include "spectra/spectrum.h"

namespace ionsift {

bool SpectrumLines::Next(std::string& line, bool& tooLong) {
    line.clear();
    tooLong = false;
    std::streambuf* buffer = in_.rdbuf();
    using Traits = std::streambuf::traits_type;
    int c = buffer->sbumpc();
    if (c == Traits::eof()) return false;
    start_ = next_;
    for (; c != Traits::eof() && c != '\n'; c = buffer->sbumpc()) {
        ++next_;
        if (line.size() < kMaxSpectrumLineBytes) {
            line.push_back(static_cast<char>(c));
        } else {
            tooLong = true;
        }
    }
    if (c == '\n') ++next_;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (++number_ == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    return true;
}

std::vector<std::string_view> SplitFields(std::string_view line, std::string_view separators) {
    std::vector<std::string_view> fields;
    std::size_t at = line.find_first_not_of(separators);
    while (at != std::string_view::npos) {
        const std::size_t end = line.find_first_of(separators, at);
        fields.push_back(line.substr(at, end == std::string_view::npos ? end : end - at));
        at = end == std::string_view::npos ? end : line.find_first_not_of(separators, end);
    }
    return fields;
}

bool ReadDecimal(std::string_view field, double& value) {
    // from_chars takes a "-" but no "+"; a second sign is never a number.
    if (!field.empty() && field.front() == '+') field.remove_prefix(1);
    if (field.empty() || field.front() == '+' || (field.front() == '-' && field.size() > 1 &&
                                                  (field[1] == '-' || field[1] == '+'))) {
        return false;
    }
    const char* last = field.data() + field.size();
    const auto result = std::from_chars(field.data(), last, value, std::chars_format::general);
    return result.ec == std::errc() && result.ptr == last && std::isfinite(value);
}

std::string_view TrimBlanks(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return line.substr(first, line.find_last_not_of(" \t") - first + 1);
}

}  // namespace ionsift
