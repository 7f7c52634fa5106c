#include "spectra/file_bytes.h"

#include <cerrno>
#include <system_error>

namespace ionsift {
namespace {

// 64-bit seeks: the C library's long is 32 bits on Windows.
int SeekTo(std::FILE* file, std::uint64_t offset) {
#ifdef _WIN32
    return _fseeki64(file, static_cast<long long>(offset), SEEK_SET);
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET);
#endif
}

std::string OpenReason(int error) {
    switch (error) {
        case ENOENT: return "no such file";
        case EACCES:
        case EPERM:
        case EBUSY: return "in use by another program, or not readable";
        case EISDIR: return "is a directory";
        default: return std::generic_category().message(error);
    }
}

}  // namespace

FileBytes::~FileBytes() {
    if (file_) std::fclose(file_);
}

bool FileBytes::Open(const std::filesystem::path& file, std::string& reason) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        reason = "no such file";
        return false;
    }
    if (status.type() == std::filesystem::file_type::directory) {
        reason = "is a directory";
        return false;
    }
    if (!error && status.type() != std::filesystem::file_type::regular) {
        reason = "not a regular file";
        return false;
    }
    errno = 0;
#ifdef _WIN32
    file_ = _wfopen(file.c_str(), L"rb");
#else
    file_ = std::fopen(file.c_str(), "rb");
#endif
    if (!file_) {
        reason = OpenReason(errno);
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) {
        reason = error.message();
        return false;
    }
    size_ = size;
    return true;
}

bool FileBytes::ReadAt(std::uint64_t offset, std::size_t count, std::string& out) {
    out.clear();
    if (offset >= size_) return true;
    if (count > size_ - offset) count = static_cast<std::size_t>(size_ - offset);
    if (offset != position_ && SeekTo(file_, offset) != 0) return false;
    out.resize(count);
    const std::size_t read = std::fread(out.data(), 1, count, file_);
    position_ = offset + read;
    out.resize(read);
    return read == count || !std::ferror(file_);
}

}  // namespace ionsift
