#include "export/replacing_save_win.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace ionsift {
namespace {

constexpr DWORD kWriteChunk = 1 << 20;
constexpr int kNameAttempts = 100;

std::wstring Wide(const std::string& text, UINT codePage) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    if (length > 0) {
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            length);
    }
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(std::max(length, 0)), '\0');
    if (length > 0) {
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                            length, nullptr, nullptr);
    }
    return text;
}

// The absolute "\\?\" form of a path, which the wide functions take at any
// length; "" when the path cannot be made absolute.
std::wstring LongPath(const std::wstring& path) {
    static const std::wstring kLong = L"\\\\?\\";
    if (path.compare(0, kLong.size(), kLong) == 0) return path;
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return {};
    std::vector<wchar_t> full(size);
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return {};
    const std::wstring absolute(full.data(), length);
    if (absolute.compare(0, 2, L"\\\\") == 0) return kLong + L"UNC" + absolute.substr(1);
    return kLong + absolute;
}

std::wstring StepPath(const std::string& utf8) { return LongPath(Wide(utf8, CP_UTF8)); }

// The final path of an existing file, links followed; "" for none.
std::wstring FinalPath(const std::wstring& path) {
    // No access asked: only the name is wanted, even of a file held open.
    const HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::wstring final;
    const DWORD size = GetFinalPathNameByHandleW(file, nullptr, 0, FILE_NAME_NORMALIZED);
    if (size > 0) {
        std::vector<wchar_t> name(size);
        const DWORD length = GetFinalPathNameByHandleW(file, name.data(), size, FILE_NAME_NORMALIZED);
        if (length > 0 && length < size) final.assign(name.data(), length);
    }
    CloseHandle(file);
    return final;
}

// "ion" and eight hexadecimal digits, different for each call in a process
// and between processes started at one moment.
std::string UniqueName() {
    static DWORD counter = 0;
    char name[32];
    const DWORD mix = (GetCurrentProcessId() << 16) ^ GetTickCount() ^ (++counter * 0x9E3779B9u);
    std::snprintf(name, sizeof name, "ion%08lX.tmp", static_cast<unsigned long>(mix));
    return name;
}

}  // namespace

WindowsSaveSteps::~WindowsSaveSteps() {
    if (created_ != INVALID_HANDLE_VALUE) CloseHandle(created_);
}

std::string WindowsSaveSteps::FileNamedBy(const std::string& target) {
    const std::wstring path = LongPath(Wide(target, CP_ACP));
    if (path.empty()) return {};
    const std::wstring final = FinalPath(path);
    return Utf8(final.empty() ? path : LongPath(final));
}

std::string WindowsSaveSteps::CreateFileIn(const std::string& folder) {
    if (created_ != INVALID_HANDLE_VALUE || folder.empty()) return {};
    std::string prefix = folder;
    if (prefix.back() != '\\' && prefix.back() != '/') prefix += '\\';
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string path = prefix + UniqueName();
        const std::wstring wide = StepPath(path);
        if (wide.empty()) return {};
        // CREATE_NEW: made here or not at all, never an existing file opened.
        const HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            created_ = file;
            createdPath_ = path;
            return path;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return {};
    }
    return {};
}

bool WindowsSaveSteps::WriteAll(const std::string& path, std::string_view bytes) {
    if (created_ == INVALID_HANDLE_VALUE || path != createdPath_) return false;
    const HANDLE file = created_;
    created_ = INVALID_HANDLE_VALUE;
    bool written = true;
    while (written && !bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kWriteChunk));
        DWORD done = 0;
        written = WriteFile(file, bytes.data(), chunk, &done, nullptr) && done == chunk;
        bytes.remove_prefix(done);
    }
    // Space the disk has not given yet may fail only when the data goes out.
    written = written && FlushFileBuffers(file);
    return CloseHandle(file) && written;
}

bool WindowsSaveSteps::Replace(const std::string& from, const std::string& to) {
    const std::wstring source = StepPath(from);
    const std::wstring destination = StepPath(to);
    return !source.empty() && !destination.empty() &&
           MoveFileExW(source.c_str(), destination.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void WindowsSaveSteps::Remove(const std::string& path) {
    if (created_ != INVALID_HANDLE_VALUE && path == createdPath_) {
        CloseHandle(created_);
        created_ = INVALID_HANDLE_VALUE;
    }
    try {
        const std::wstring wide = StepPath(path);
        if (!wide.empty()) DeleteFileW(wide.c_str());
    } catch (...) {
        // Out of memory for the name: the file stays, the save still fails.
    }
}

bool SaveFileReplacing(const std::string& target, std::string_view bytes) {
    WindowsSaveSteps steps;
    return SaveReplacing(steps, target, bytes);
}

}  // namespace ionsift
