// Saving a file so that an existing one is never lost on failure: the bytes
// go to a new file beside the target, which replaces the target only when
// every write succeeded. On any failure the new file is removed and the
// target stays as it was. A target that is a link is written through: the
// file it names is replaced, the link stays.
#pragma once

#include <string>
#include <string_view>

namespace ionsift {

// The file-system steps of a replacing save; the platform supplies them,
// tests put failing ones in.
class SaveSteps {
public:
    virtual ~SaveSteps() = default;
    // The file that `target` names, links followed to their end; the path
    // the other steps take for it. `target` itself where nothing is to follow.
    virtual std::string FileNamedBy(const std::string& target) { return target; }
    // Creates a new, empty file under a unique name in `folder`, in one step
    // that never opens an existing file; its path, or "" on failure.
    virtual std::string CreateFileIn(const std::string& folder) = 0;
    // Writes all bytes to the file and closes it, the bytes on the disk;
    // false if any write, the flush or the close failed.
    virtual bool WriteAll(const std::string& path, std::string_view bytes) = 0;
    // Puts `from` in the place of `to`, replacing it; false on failure.
    virtual bool Replace(const std::string& from, const std::string& to) = 0;
    // Removes the new file (closing it first if need be); never throws.
    virtual void Remove(const std::string& path) = 0;
};

// The folder part of a path, with its trailing separator ("\" or "/"); "."
// for a bare file name.
std::string FolderOf(const std::string& path);

// True when the file `target` names now holds exactly `bytes`; false when it
// is unchanged (or still absent) and no new file is left behind, whichever
// step failed or threw.
bool SaveReplacing(SaveSteps& steps, const std::string& target, std::string_view bytes);

}  // namespace ionsift
