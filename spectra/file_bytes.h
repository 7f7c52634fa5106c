// A file read by byte offset, 64-bit offsets on every platform (a 32-bit
// Windows process included), with refusals that name what is wrong: a
// missing file, a directory, a file another program holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace ionsift {

class FileBytes {
public:
    FileBytes() = default;
    ~FileBytes();
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    // False with the reason ("no such file", "is a directory", "in use by
    // another program or not readable", ...).
    bool Open(const std::filesystem::path& file, std::string& reason);
    std::uint64_t Size() const { return size_; }

    // Up to `count` bytes from `offset` into `out` (replacing its content);
    // fewer only at the end of the file. False on a read error.
    bool ReadAt(std::uint64_t offset, std::size_t count, std::string& out);

private:
    std::FILE* file_ = nullptr;
    std::uint64_t size_ = 0;
    std::uint64_t position_ = 0;  // where the next fread reads, to skip needless seeks
};

// Calls `found(offset)` for every place in the file where `needle` starts,
// reading it once front to back in chunks; stops early when `found` returns
// false. False on a read error.
template <typename Found>
bool ScanFile(FileBytes& file, const std::string& needle, Found found);

}  // namespace ionsift

#include "spectra/file_bytes_scan.h"
