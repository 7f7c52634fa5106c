// One writer at a time per database file: an exclusive flock(2) on the file
// itself, held from before the target is looked at until after it has been
// replaced or committed. A writer that replaces the file renames a new inode
// over the locked one, so a lock is only ours once the path still names the
// inode we locked; otherwise it is taken again on the new file.
// A target that is not there yet gets an empty placeholder to carry the lock;
// the writer renames its finished database over it, or Release() removes it.
#pragma once

#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>

namespace ionsift::dbtool {

class TargetLock {
public:
    TargetLock() = default;
    ~TargetLock() { Release(); }
    TargetLock(const TargetLock&) = delete;
    TargetLock& operator=(const TargetLock&) = delete;

    // Locks `path`. `create`: a missing file is created empty to hold the
    // lock; otherwise a missing file is an error. While another writer holds
    // it, `waiting` is called once and the lock is tried every 100 ms until
    // it is free or `stop` is set. False with Error() on failure.
    bool Acquire(const std::filesystem::path& path, bool create, const std::atomic<bool>* stop,
                 const std::function<void()>& waiting);

    // The locked file as it was when locked.
    const struct stat& Status() const { return status_; }
    // The file was made here as a placeholder and holds no database.
    bool Placeholder() const { return created_; }
    // The placeholder was replaced by the finished database: nothing to remove.
    void Replaced() { created_ = false; }
    // Unlocks; removes a placeholder that is still there and still ours.
    void Release();

    const std::string& Error() const { return error_; }

private:
    bool Fail(const std::string& what, int error);

    std::filesystem::path path_;
    int fd_ = -1;
    bool created_ = false;
    struct stat status_ {};
    std::string error_;
};

}  // namespace ionsift::dbtool
