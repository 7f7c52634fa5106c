#include "tests/win/plugin_harness.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace ionsift::wintest {

RecordingHost* RecordingHost::current_ = nullptr;

std::string StageDirectory() { return IONSIFT_STAGE_DIR_WIN "\\"; }

RecordingHost::RecordingHost() {
    current_ = this;
    context_.errorCode = &errorCode_;
    context_.resultText = answer_.c_str();
    context_.command = &OnCommand;
    context_.windowOpened = &OnWindowOpened;
    context_.windowClosed = &OnWindowClosed;
    context_.loadLibrary = &OnLoad;
    std::snprintf(context_.hostDirectory, sizeof context_.hostDirectory, "%s",
                  StageDirectory().c_str());
    std::snprintf(context_.settingsPath, sizeof context_.settingsPath, "%sionsift-test.ini",
                  StageDirectory().c_str());
}

RecordingHost::~RecordingHost() { current_ = nullptr; }

std::vector<std::string> RecordingHost::CommandsStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& command : commands_) {
        if (command.compare(0, prefix.size(), prefix) == 0) found.push_back(command);
    }
    return found;
}

int __cdecl RecordingHost::OnCommand(const char* command) {
    RecordingHost& host = *current_;
    host.commands_.emplace_back(command);
    HostAnswer answer;
    if (host.responder_) {
        answer = host.responder_(command);
    } else if (host.commands_.back().rfind("messagebox ", 0) == 0) {
        answer = {0, "1"};
    }
    host.errorCode_ = answer.errorCode;
    host.answer_ = answer.text;
    host.context_.resultText = host.answer_.c_str();
    return host.errorCode_;
}

void __cdecl RecordingHost::OnWindowOpened(void* window) {
    current_->commands_.push_back("<window opened>");
    current_->openedWindows_.push_back(static_cast<HWND>(window));
}

void __cdecl RecordingHost::OnWindowClosed(void* window) {
    current_->commands_.push_back("<window closed>");
    current_->closedWindows_.push_back(static_cast<HWND>(window));
}

short __cdecl RecordingHost::OnLoad(const char* library, void** module, ...) {
    RecordingHost& host = *current_;
    std::vector<std::pair<void**, std::string>> slots;
    va_list args;
    va_start(args, module);
    while (void** slot = va_arg(args, void**)) slots.emplace_back(slot, va_arg(args, const char*));
    va_end(args);

    std::string call = library;
    for (const auto& slot : slots) call += " " + slot.second;
    host.loaderCalls_.push_back(call);
    if (!host.loader_) return 0;  // a host without a localization library
    return host.loader_(library, module, slots);
}

namespace {

// Removes a folder with everything in it.
void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA entry{};
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(folder + name + "\\");
            } else {
                DeleteFileA((folder + name).c_str());
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

TempHostFolder::TempHostFolder(const std::vector<std::string>& databases) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    static int counter = 0;
    path_ = std::string(temp) + "ionsift-host-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++counter) + "\\";
    CreateDirectoryA(path_.c_str(), nullptr);
    CreateDirectoryA((path_ + "Data").c_str(), nullptr);
    CreateDirectoryA((path_ + "Data\\Databases").c_str(), nullptr);
    for (const std::string& name : databases) AddDatabase(name);
}

TempHostFolder::~TempHostFolder() { RemoveTree(path_); }

void TempHostFolder::UseIn(HostContext& context) const {
    std::snprintf(context.hostDirectory, sizeof context.hostDirectory, "%s", path_.c_str());
    std::snprintf(context.settingsPath, sizeof context.settingsPath, "%s",
                  SettingsPath().c_str());
}

void TempHostFolder::AddDatabase(const std::string& name) {
    std::ofstream(path_ + "Data\\Databases\\" + name + ".db", std::ios::binary);
}

void TempHostFolder::WriteSettings(const std::string& text) const {
    std::ofstream(SettingsPath(), std::ios::binary) << text;
}

std::string TempHostFolder::ReadSettings() const {
    std::ifstream file(SettingsPath(), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

namespace {

struct ControlById {
    int id;
    HWND found;
};

BOOL CALLBACK MatchControl(HWND window, LPARAM data) {
    auto& wanted = *reinterpret_cast<ControlById*>(data);
    if (GetDlgCtrlID(window) != wanted.id) return TRUE;
    wanted.found = window;
    return FALSE;
}

template <typename Fn>
Fn Export(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

HWND CreateHostAppWindow() {
    return CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                           nullptr, nullptr, nullptr);
}

HWND FindControl(HWND window, int id) {
    ControlById wanted{id, nullptr};
    EnumChildWindows(window, MatchControl, reinterpret_cast<LPARAM>(&wanted));
    return wanted.found;
}

void PickEntry(HWND window, int id, int index) {
    const HWND selector = FindControl(window, id);
    SendMessageA(selector, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(GetParent(selector), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(selector));
}

std::string ListCell(HWND list, int row, int column) {
    char text[256] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

void** ImportSlot(HMODULE module, const char* library, const char* function) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         entry->Name; ++entry) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), library) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* named =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(named->Name), function) != 0) continue;
            void** slot = reinterpret_cast<void**>(&slots->u1.Function);
            DWORD protection = 0;
            return VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection) ? slot : nullptr;
        }
    }
    return nullptr;
}

Plugin::Plugin() {
    module_ = LoadLibraryA((StageDirectory() + "Ionsift.dll").c_str());
    if (!module_) return;
    init_ = Export<PluginInitFn>(module_, "Init");
    call_ = Export<PluginCallFn>(module_, "Call");
    free_ = Export<PluginFreeFn>(module_, "Free");
}

Plugin::~Plugin() {
    if (module_) FreeLibrary(module_);
}

}  // namespace ionsift::wintest
