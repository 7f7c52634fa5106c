#include "host/dbtool/input_lines.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace ionsift::dbtool {
namespace {

constexpr std::size_t kBlockBytes = 1u << 20;

gzFile File(void* file) { return static_cast<gzFile>(file); }

}  // namespace

InputLines::~InputLines() {
    if (file_) gzclose(File(file_));
}

bool InputLines::Open(const std::filesystem::path& path, bool gzip) {
    file_ = gzopen(path.string().c_str(), "rb");
    if (!file_) {
        error_ = std::strerror(errno);
        return false;
    }
    gzbuffer(File(file_), 256 * 1024);
    buffer_.resize(kBlockBytes);
    if (!Fill()) return error_.empty();  // empty, or unreadable from the start
    // zlib passes data that is not gzip through as it is; a .gz name promises gzip.
    if (gzip && gzdirect(File(file_))) {
        error_ = "not gzip data";
        return false;
    }
    return true;
}

void InputLines::OpenText(std::string_view text) {
    text_ = text;
    buffer_.resize(kBlockBytes);
}

bool InputLines::Fill() {
    if (eof_ || !error_.empty()) return false;
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    const int wanted = static_cast<int>(buffer_.size() - end_);
    if (!file_) {
        const std::size_t count = std::min(text_.size(), static_cast<std::size_t>(wanted));
        if (count == 0) return (eof_ = true), false;
        std::memcpy(buffer_.data() + end_, text_.data(), count);
        text_.remove_prefix(count);
        end_ += count;
        return true;
    }
    const int got = gzread(File(file_), buffer_.data() + end_, static_cast<unsigned>(wanted));
    if (got < 0) {
        int code = 0;
        const char* message = gzerror(File(file_), &code);
        error_ = code == Z_ERRNO ? std::strerror(errno) : message;
        return false;
    }
    if (got == 0) {
        eof_ = true;
        // A gzip stream cut short reads as a clean end unless asked.
        int code = 0;
        const char* message = gzerror(File(file_), &code);
        if (code != Z_OK && code != Z_STREAM_END) error_ = message;
        return false;
    }
    end_ += static_cast<std::size_t>(got);
    return true;
}

bool InputLines::Next(std::string& line) {
    line.clear();
    cut_ = false;
    bool any = false;
    for (;;) {
        const char* start = buffer_.data() + begin_;
        const void* found = std::memchr(start, '\n', end_ - begin_);
        const std::size_t length = found ? static_cast<const char*>(found) - start : end_ - begin_;
        if (!cut_) {
            const std::size_t room = kMaxLineBytes - line.size();
            if (length > room) {
                line.append(start, room);
                cut_ = true;
            } else {
                line.append(start, length);
            }
        }
        any = any || length > 0 || found;
        if (found) {
            begin_ += length + 1;
            break;
        }
        begin_ = end_;
        if (!Fill()) {
            if (!error_.empty() || !any) return false;
            break;
        }
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // A spreadsheet's UTF-8 byte order mark is no part of the first line.
    if (lineNumber_ == 0 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    ++lineNumber_;
    return true;
}

std::uint64_t InputLines::FileOffset() const {
    if (!file_) return 0;
    z_off_t offset = gzoffset(File(file_));
    // Plain text still in the buffer is not read yet; gzip data in it is
    // already inflated, and its compressed size is not known.
    if (gzdirect(File(file_))) offset -= static_cast<z_off_t>(end_ - begin_);
    return offset < 0 ? 0 : static_cast<std::uint64_t>(offset);
}

}  // namespace ionsift::dbtool
