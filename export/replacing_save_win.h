// The replacing save's steps on the Windows file system. Paths of any length
// the save dialog gives are taken (the wide functions with "\\?\" paths, not
// the ANSI ones and their 260 characters). The target comes in the ANSI code
// page; every path these steps hand back and take again is UTF-8, so that the
// file a link names may carry any name.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "export/replacing_save.h"

namespace ionsift {

class WindowsSaveSteps : public SaveSteps {
public:
    WindowsSaveSteps() = default;
    ~WindowsSaveSteps() override;
    WindowsSaveSteps(const WindowsSaveSteps&) = delete;
    WindowsSaveSteps& operator=(const WindowsSaveSteps&) = delete;

    std::string FileNamedBy(const std::string& target) override;
    std::string CreateFileIn(const std::string& folder) override;
    bool WriteAll(const std::string& path, std::string_view bytes) override;
    bool Replace(const std::string& from, const std::string& to) override;
    void Remove(const std::string& path) override;

private:
    // The new file, open from its creation until WriteAll closes it: it is
    // written through this handle, never opened again by name.
    HANDLE created_ = INVALID_HANDLE_VALUE;
    std::string createdPath_;
};

// SaveReplacing with WindowsSaveSteps; `target` in the ANSI code page.
bool SaveFileReplacing(const std::string& target, std::string_view bytes);

}  // namespace ionsift
