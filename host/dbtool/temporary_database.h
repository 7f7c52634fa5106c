// The file a database is built in before it replaces its target: a unique
// name in the target's folder ("<name>.XXXXXX.partial"), created here and
// locked (flock) by its writer for as long as that writer lives, so that a
// leftover of a killed writer is told apart from a live writer's file.
#pragma once

#include <filesystem>
#include <string>

namespace ionsift::dbtool {

// Creates and locks the file; its descriptor, or -1 with `error`.
int CreateTemporaryDatabase(const std::filesystem::path& target, std::filesystem::path& created,
                            std::string& error);

// Removes the temporary files of `target` that no live writer holds and that
// hold nothing but an SQLite database (what a killed writer leaves). Only
// while the target is locked, so that no writer can be starting one.
void RemoveAbandonedTemporaries(const std::filesystem::path& target);

}  // namespace ionsift::dbtool
