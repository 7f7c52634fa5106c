// The replacing save's steps on the Windows file system.
#pragma once

#include <string>
#include <string_view>

#include "export/replacing_save.h"

namespace ionsift {

class WindowsSaveSteps : public SaveSteps {
public:
    std::string CreateFileIn(const std::string& folder) override;
    bool WriteAll(const std::string& path, std::string_view bytes) override;
    bool Replace(const std::string& from, const std::string& to) override;
    void Remove(const std::string& path) override;
};

// SaveReplacing with WindowsSaveSteps.
bool SaveFileReplacing(const std::string& target, std::string_view bytes);

}  // namespace ionsift
