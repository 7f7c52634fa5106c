#include "export/replacing_save.h"

namespace ionsift {
namespace {

// Removes the new file on every way out but a completed replacement.
class NewFileGuard {
public:
    NewFileGuard(SaveSteps& steps, const std::string& path) : steps_(steps), path_(path) {}
    ~NewFileGuard() {
        if (!kept_) steps_.Remove(path_);
    }
    NewFileGuard(const NewFileGuard&) = delete;
    NewFileGuard& operator=(const NewFileGuard&) = delete;
    void Keep() { kept_ = true; }

private:
    SaveSteps& steps_;
    const std::string& path_;
    bool kept_ = false;
};

}  // namespace

std::string FolderOf(const std::string& path) {
    const std::size_t end = path.find_last_of("\\/");
    return end == std::string::npos ? std::string(".") : path.substr(0, end + 1);
}

bool SaveReplacing(SaveSteps& steps, const std::string& target, std::string_view bytes) {
    const std::string file = steps.FileNamedBy(target);
    if (file.empty()) return false;
    // Beside the file, so that the replacement is a rename on one volume.
    const std::string temporary = steps.CreateFileIn(FolderOf(file));
    if (temporary.empty()) return false;
    NewFileGuard guard(steps, temporary);
    if (!steps.WriteAll(temporary, bytes) || !steps.Replace(temporary, file)) return false;
    guard.Keep();
    return true;
}

}  // namespace ionsift
