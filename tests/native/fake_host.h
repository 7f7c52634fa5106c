// A HostServices for the native tests of the host's commands: records what
// the commands asked of the host, and scratch SQLite databases to run them on.
#pragma once

#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/app/command_table.h"
#include "host/app/workspace_molecule.h"

namespace ionsift::host::test_support {

class FakeHost : public HostServices {
public:
    int ShowMessageBox(const std::string& text, const std::string& title, unsigned style) override {
        boxes.push_back({text, title, style});
        return button;
    }
    std::string Language() const override { return language; }
    void SetBusy(bool busy) override { busyCalls.push_back(busy); }
    bool CopyText(const std::string& text, std::string& problem) override {
        if (clipboardExhaustsMemory) throw std::bad_alloc();
        if (!clipboardWorks) {
            problem = "clipboard busy";
            return false;
        }
        clipboard.push_back(text);
        return true;
    }
    void ShowMolecule(const WorkspaceMolecule& molecule) override { shown.push_back(molecule); }
    std::string DatabaseFileName(const std::string& path) const override { return path; }

    struct Box {
        std::string text, title;
        unsigned style;
    };
    std::vector<Box> boxes;
    std::vector<bool> busyCalls;
    int button = 1;
    std::string language = "french";
    std::vector<std::string> clipboard;
    bool clipboardWorks = true;
    bool clipboardExhaustsMemory = false;
    std::vector<WorkspaceMolecule> shown;
};

// A folder of its own for each test, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder() {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("ionsift-host-test-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Creates a database file from an SQL script.
inline void CreateDatabase(const std::string& path, const std::string& script) {
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot create " + path);
    char* message = nullptr;
    const int rc = sqlite3_exec(db, script.c_str(), nullptr, nullptr, &message);
    const std::string problem = message ? message : "";
    sqlite3_free(message);
    sqlite3_close(db);
    if (rc != SQLITE_OK) throw std::runtime_error("script failed: " + problem);
}

inline std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace ionsift::host::test_support
