#include "host/dbtool/temporary_database.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

namespace ionsift::dbtool {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kSuffix = ".partial";
constexpr std::size_t kUniqueChars = 6;  // mkstemps' XXXXXX
constexpr char kSqliteHeader[16] = "SQLite format 3";  // with its terminating NUL

bool IsTemporaryOf(const std::string& name, const std::string& target) {
    const std::size_t expected = target.size() + 1 + kUniqueChars + kSuffix.size();
    if (name.size() != expected || name.compare(0, target.size(), target) != 0 || name[target.size()] != '.' ||
        name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0) {
        return false;
    }
    const auto unique = name.begin() + static_cast<std::ptrdiff_t>(target.size() + 1);
    return std::all_of(unique, unique + kUniqueChars, [](unsigned char c) { return std::isalnum(c); });
}

// Empty (killed before SQLite wrote) or an SQLite file: never a user's file
// that happens to carry such a name.
bool HoldsOnlyADatabase(int fd, const struct stat& status) {
    if (status.st_size == 0) return true;
    char header[sizeof kSqliteHeader] = {};
    return pread(fd, header, sizeof header, 0) == static_cast<ssize_t>(sizeof header) &&
           std::memcmp(header, kSqliteHeader, sizeof header) == 0;
}

}  // namespace

int CreateTemporaryDatabase(const fs::path& target, fs::path& created, std::string& error) {
    std::string pattern = target.string() + "." + std::string(kUniqueChars, 'X') + std::string(kSuffix);
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkostemps(name.data(), static_cast<int>(kSuffix.size()), O_CLOEXEC);
    if (fd < 0) {
        const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
        error = "cannot create a file in " + folder.string() + ": " + std::strerror(errno);
        return -1;
    }
    created = name.data();
    flock(fd, LOCK_EX);  // a new file: nobody else can hold it
    return fd;
}

void RemoveAbandonedTemporaries(const fs::path& target) {
    const std::string targetName = target.filename().string();
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (!IsTemporaryOf(it->path().filename().string(), targetName)) continue;
        const std::string path = it->path().string();
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat opened {}, named {};
        // A writer alive holds its lock; the lock of a killed one went with it.
        if (fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            HoldsOnlyADatabase(fd, opened) && stat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev &&
            named.st_ino == opened.st_ino) {
            unlink(path.c_str());
        }
        close(fd);
    }
}

}  // namespace ionsift::dbtool
