#include "host/app/database_table.h"

namespace ionsift::host {

std::string DatabaseTable::Add(std::unique_ptr<Database> database) {
    std::string handle = "db" + std::to_string(++lastNumber_);
    open_[handle] = std::move(database);
    return handle;
}

Database* DatabaseTable::Find(const std::string& handle) const {
    const auto found = open_.find(handle);
    return found == open_.end() ? nullptr : found->second.get();
}

bool DatabaseTable::Close(const std::string& handle) { return open_.erase(handle) != 0; }

}  // namespace ionsift::host
