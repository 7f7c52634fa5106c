// The open database of the main tool window: the host's handle text and the
// name of the selector entry last chosen, with the open and close commands.
#pragma once

#include <string>

namespace ionsift {

class DatabaseConnection {
public:
    enum class Outcome {
        Unchanged,   // the entry equals the recorded name: nothing was sent
        Closed,      // entry 0: any open database closed, nothing opened
        Opened,      // the host answered a handle
        OpenFailed,  // the host's answer began with "0": no database is open
    };

    // The user chose selector entry `index` with text `text`. Compares with
    // the recorded name (letter case significant), closes the open database,
    // records the name, and for an index other than 0 asks the host to open
    // "<host directory>Data\Databases\<name>.db".
    Outcome Choose(int index, const std::string& text);
    // Sends "DbClose <handle>" when a database is open; forgets the handle.
    void Close();
    // Asks the host to open the recorded database again, after a query
    // failed. The handle it answers replaces the old one, which is not
    // closed; false (and the old handle kept) when the answer is no handle.
    bool Reopen();

    const std::string& DbHandle() const { return handle_; }
    const std::string& DbName() const { return name_; }

private:
    bool Open();

    std::string handle_;  // empty: no database open
    std::string name_;    // kept when the open fails
};

}  // namespace ionsift
