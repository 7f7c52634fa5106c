#include "host/dbtool/target_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace ionsift::dbtool {
namespace {

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// O_NONBLOCK: opening a FIFO named as the target must not hang.
constexpr int kOpenFlags = O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;

}  // namespace

bool TargetLock::Fail(const std::string& what, int error) {
    error_ = error ? what + ": " + std::strerror(error) : what;
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    // A placeholder whose lock another writer took first is theirs to use now.
    created_ = false;
    return false;
}

bool TargetLock::Acquire(const std::filesystem::path& path, bool create, const std::atomic<bool>* stop,
                         const std::function<void()>& waiting) {
    Release();
    path_ = path;
    const std::string shown = path.string();
    bool told = false;
    for (;;) {
        if (stop && stop->load()) return Fail("interrupted", 0);
        created_ = false;
        fd_ = open(shown.c_str(), kOpenFlags);
        if (fd_ < 0 && errno == ENOENT && create) {
            fd_ = open(shown.c_str(), kOpenFlags | O_CREAT | O_EXCL, 0666);
            if (fd_ < 0 && errno == EEXIST) continue;  // another writer's placeholder: lock that
            if (fd_ < 0) return Fail("cannot create " + shown, errno);
            created_ = true;
        }
        if (fd_ < 0) return Fail("cannot open " + shown, errno);
        while (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EINTR) continue;
            if (errno != EWOULDBLOCK) return Fail("cannot lock " + shown, errno);
            if (!told && waiting) waiting();
            told = true;
            if (stop && stop->load()) return Fail("interrupted", 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        struct stat named {};
        if (fstat(fd_, &status_) != 0) return Fail("cannot read " + shown, errno);
        if (!S_ISREG(status_.st_mode)) return Fail(shown + " is not a regular file", 0);
        if (stat(shown.c_str(), &named) == 0 && SameFile(named, status_)) return true;
        // The writer we waited for replaced or removed the file: lock what the name holds now.
        close(fd_);
        fd_ = -1;
    }
}

void TargetLock::Release() {
    if (fd_ < 0) return;
    struct stat named {};
    // Removed while still locked, so that no writer waiting for it takes it first.
    if (created_ && stat(path_.c_str(), &named) == 0 && SameFile(named, status_) && named.st_size == 0) {
        unlink(path_.c_str());
    }
    close(fd_);
    fd_ = -1;
    created_ = false;
}

}  // namespace ionsift::dbtool
