#include "export/replacing_save.h"

namespace ionsift {

std::string FolderOf(const std::string& path) {
    const std::size_t end = path.find_last_of("\\/");
    return end == std::string::npos ? std::string(".") : path.substr(0, end + 1);
}

bool SaveReplacing(SaveSteps& steps, const std::string& target, std::string_view bytes) {
    // Beside the target, so that the replacement is a rename on one volume.
    const std::string temporary = steps.CreateFileIn(FolderOf(target));
    if (temporary.empty()) return false;
    if (steps.WriteAll(temporary, bytes) && steps.Replace(temporary, target)) return true;
    steps.Remove(temporary);
    return false;
}

}  // namespace ionsift
