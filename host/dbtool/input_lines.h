// Lines of a text file, plain or gzip-compressed, read in large blocks
// through zlib. Memory stays bounded whatever the file: a line longer than
// kMaxLineBytes is returned cut, with Cut() set, its rest skipped.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ionsift::dbtool {

constexpr std::size_t kMaxLineBytes = 16u << 20;

class InputLines {
public:
    InputLines() = default;
    ~InputLines();
    InputLines(const InputLines&) = delete;
    InputLines& operator=(const InputLines&) = delete;

    // `gzip`: the file must be gzip data (a .gz name); otherwise it is read
    // as it is. False with Error() when the file cannot be opened.
    bool Open(const std::filesystem::path& path, bool gzip);
    // Reads `text` itself, which must outlive the reader (tests and fuzzers).
    void OpenText(std::string_view text);

    // The next line without its CR LF or LF; false at the end or on a read
    // error (Error() then says which).
    bool Next(std::string& line);
    bool Cut() const { return cut_; }
    long long LineNumber() const { return lineNumber_; }  // of the line last returned, from 1
    // Bytes of the file consumed so far (compressed bytes for gzip): for the
    // progress estimate.
    std::uint64_t FileOffset() const;
    const std::string& Error() const { return error_; }

private:
    bool Fill();

    void* file_ = nullptr;  // gzFile
    std::string_view text_;  // OpenText's text not yet handed to the buffer
    std::vector<char> buffer_;
    std::size_t begin_ = 0, end_ = 0;
    bool eof_ = false;
    bool cut_ = false;
    long long lineNumber_ = 0;
    std::string error_;
};

}  // namespace ionsift::dbtool
