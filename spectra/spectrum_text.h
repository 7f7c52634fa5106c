// What the spectrum readers share: numbered lines of bounded length from a
// stream, fields split at separators, and decimal numbers with a "." read
// whatever the C locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace ionsift {

class SpectrumLines {
public:
    explicit SpectrumLines(std::istream& in) : in_(in) {}
    // Lines numbered on from `linesBefore`, bytes counted on from `bytesBefore`:
    // for reading on from the middle of a file.
    SpectrumLines(std::istream& in, std::size_t linesBefore, std::uint64_t bytesBefore)
        : in_(in), number_(linesBefore), next_(bytesBefore) {}

    // The next line without its line end (LF, CR LF or a lone CR at the end)
    // and, on the first line, without a UTF-8 byte order mark. False at the
    // end of the input. A line longer than kMaxSpectrumLineBytes is read to
    // its end but only its start kept, and `tooLong` set.
    bool Next(std::string& line, bool& tooLong);
    std::size_t Number() const { return number_; }  // of the line last read, from 1
    std::uint64_t LineStart() const { return start_; }  // the byte the line last read starts at

private:
    std::istream& in_;
    std::size_t number_ = 0;
    std::uint64_t start_ = 0, next_ = 0;
};

// Fields between runs of the separator bytes; none for a blank line.
std::vector<std::string_view> SplitFields(std::string_view line, std::string_view separators);

// A whole field as a finite decimal number ("181.07", "-2", "1e3", "+5");
// false for anything else, "1,5", "inf" and "nan" among them.
bool ReadDecimal(std::string_view field, double& value);

// The line without the blanks and tabs around it.
std::string_view TrimBlanks(std::string_view line);

}  // namespace ionsift
