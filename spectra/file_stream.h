// A std::istream over FileBytes from a byte offset on, so the line readers
// start at any block of a file of any size (64-bit offsets where the C++
// library's own file streams may not seek past 2 GB). The offset of the next
// byte is known, for listing blocks by where they start.
#pragma once

#include <istream>
#include <streambuf>
#include <string>

#include "spectra/file_bytes.h"

namespace ionsift {

class FileStreamBuf : public std::streambuf {
public:
    FileStreamBuf(FileBytes& file, std::uint64_t offset) : file_(file), next_(offset) {}
    // The file offset of the next byte the stream gives.
    std::uint64_t Offset() const { return next_ - static_cast<std::uint64_t>(egptr() - gptr()); }
    bool Failed() const { return failed_; }

protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        if (!file_.ReadAt(next_, kChunk, buffer_)) failed_ = true;
        if (buffer_.empty()) return traits_type::eof();
        next_ += buffer_.size();
        setg(buffer_.data(), buffer_.data(), buffer_.data() + buffer_.size());
        return traits_type::to_int_type(*gptr());
    }

private:
    static constexpr std::size_t kChunk = 1 << 20;
    FileBytes& file_;
    std::uint64_t next_;
    std::string buffer_;
    bool failed_ = false;
};

}  // namespace ionsift
