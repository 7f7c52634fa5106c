#include "export/replacing_save_win.h"

#include <windows.h>

#include <algorithm>

namespace ionsift {
namespace {

constexpr DWORD kWriteChunk = 1 << 20;

}  // namespace

std::string WindowsSaveSteps::CreateFileIn(const std::string& folder) {
    char path[MAX_PATH] = {};
    // A unique name the system creates for us, so no file is ever overwritten.
    if (!GetTempFileNameA(folder.c_str(), "ion", 0, path)) return {};
    return path;
}

bool WindowsSaveSteps::WriteAll(const std::string& path, std::string_view bytes) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
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
    return MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void WindowsSaveSteps::Remove(const std::string& path) { DeleteFileA(path.c_str()); }

bool SaveFileReplacing(const std::string& target, std::string_view bytes) {
    WindowsSaveSteps steps;
    return SaveReplacing(steps, target, bytes);
}

}  // namespace ionsift
