// The databases the host has open, by the handle it answered to DbOpen.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "host/app/sqlite_database.h"

namespace ionsift::host {

class DatabaseTable {
public:
    // Handles are "db1", "db2", ...: never beginning with "0" (the plug-in's
    // sign of a failed open) and never reused, so a stale handle cannot
    // reach another database.
    std::string Add(std::unique_ptr<Database> database);
    Database* Find(const std::string& handle) const;  // null when not open
    bool Close(const std::string& handle);            // false when not open
    std::size_t OpenCount() const { return open_.size(); }

private:
    std::map<std::string, std::unique_ptr<Database>> open_;
    unsigned long long lastNumber_ = 0;
};

}  // namespace ionsift::host
