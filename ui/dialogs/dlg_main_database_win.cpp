// TDlgMain: the database selector, its catalogue and the open database.
#include "resources/dlg_main_ids.h"
#include "search/database_catalogue.h"
#include "search/database_folder_win.h"
#include "shell/host_link.h"
#include "shell/plugin_state.h"
#include "shell/string_table.h"
#include "ui/dialogs/dlg_main_win.h"

namespace ionsift {
namespace {

using namespace dlg_main;

constexpr int kPromptStringId = 8;  // "Choose the database"

}  // namespace

void TDlgMain::RefreshCatalogue() {
    HWND selector = Control(CB_Database);
    SendMessageA(selector, WM_SETREDRAW, FALSE, 0);
    SendMessageA(selector, CB_RESETCONTENT, 0, 0);
    SendMessageA(selector, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LocString(kPromptStringId)));
    const HostContext* host = Host();
    for (const std::string& name : ListDatabaseNames(host ? host->hostDirectory : "")) {
        SendMessageA(selector, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    SelectDatabase(EntryIndexIgnoringCase(SelectorEntries(), DbName()));
    SendMessageA(selector, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(selector, nullptr, TRUE);
}

void TDlgMain::CB_DatabaseChange(const FormEvent&) {
    using Outcome = DatabaseConnection::Outcome;
    const Outcome outcome = database_.Choose(SelectedDatabase(), SelectedDatabaseText());
    if (outcome == Outcome::Unchanged) return;
    if (outcome == Outcome::OpenFailed) SelectDatabase(0);
    if (firstShowPending_) return;
    EnableButtons();
    ThePlugin().settingsChanged = 1;
}

void TDlgMain::CloseDatabase() { database_.Close(); }

std::vector<std::string> TDlgMain::SelectorEntries() const {
    HWND selector = Control(CB_Database);
    const int count = static_cast<int>(SendMessageA(selector, CB_GETCOUNT, 0, 0));
    std::vector<std::string> entries;
    for (int i = 0; i < count; ++i) {
        std::string text(static_cast<std::size_t>(SendMessageA(selector, CB_GETLBTEXTLEN, i, 0)) + 1,
                         '\0');
        const LRESULT length =
            SendMessageA(selector, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
        entries.push_back(std::move(text));
    }
    return entries;
}

int TDlgMain::SelectedDatabase() const {
    return static_cast<int>(SendMessageA(Control(CB_Database), CB_GETCURSEL, 0, 0));
}

std::string TDlgMain::SelectedDatabaseText() const {
    const int index = SelectedDatabase();
    const std::vector<std::string> entries = SelectorEntries();
    return index >= 0 && index < static_cast<int>(entries.size()) ? entries[index] : "";
}

// From code: no change event follows.
void TDlgMain::SelectDatabase(int index) {
    SendMessageA(Control(CB_Database), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

}  // namespace ionsift
