#include "search/database_connection.h"

#include "shell/host_link.h"

namespace ionsift {

DatabaseConnection::Outcome DatabaseConnection::Choose(int index, const std::string& text) {
    if (text == name_) return Outcome::Unchanged;
    Close();
    name_ = text;
    if (index == 0) return Outcome::Closed;

    return Open() ? Outcome::Opened : Outcome::OpenFailed;
}

bool DatabaseConnection::Reopen() { return Open(); }

bool DatabaseConnection::Open() {
    const HostContext* host = Host();
    SendCommand("DbOpen \"%sData\\Databases\\%s.db\"", host ? host->hostDirectory : "",
                name_.c_str());
    // Only the answer counts, not the error code: a handle never begins with
    // the digit 0, and an empty answer is no handle either.
    const std::string answer = HostResultText();
    if (answer.empty() || answer[0] == '0') return false;
    handle_ = answer;
    return true;
}

void DatabaseConnection::Close() {
    if (!handle_.empty()) SendCommand("DbClose %s", handle_.c_str());
    handle_.clear();
}

}  // namespace ionsift
