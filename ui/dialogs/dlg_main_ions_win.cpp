// TDlgMain: the ion searched for (CB_Ion and its setting), the columns it
// brings (the mass error, the RMS and score of a ranking), the ranking by
// isotope fit and the table copy. With the neutral molecule chosen the window is
// the plain mass search.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "export/copy_table.h"
#include "ions/ion_ranking.h"
#include "isotopes/peak_compare.h"
#include "resources/dlg_main_ids.h"
#include "shell/error_report.h"
#include "shell/host_link.h"
#include "shell/plugin_state.h"
#include "shell/settings.h"
#include "shell/string_table.h"
#include "text/separators.h"
#include "ui/dialogs/dlg_main_win.h"
#include "ui/form/window_utils_win.h"

namespace ionsift {
namespace {

using namespace dlg_main;

constexpr int kMassLabelId = 16;
constexpr int kNeutralEntryId = 55;
constexpr int kMzLabelId = 57;
constexpr int kOutOfMemoryId = 52;
constexpr int kColumnTitleLimit = 256;
// Rankings that ask for more distributions than this show their progress,
// redrawn at most this often.
constexpr std::size_t kProgressFrom = 200;
constexpr DWORD kProgressIntervalMs = 100;
// The columns Copy table copies: the list's, up to the RMS.
constexpr int kCopyTableColumns = kRmsColumn + 1;

// The rows the results popup gains while an ion is chosen or measured peaks
// are drawn: a separator, the ranking and the table copy.
struct IonMenuRow {
    int id;
    int stringId;  // -1: separator
};
constexpr IonMenuRow kIonMenuRows[] = {
    {PM_ResSep4, -1},
    {PM_ResRank, 60},
    {PM_ResCopyTable, 61},
};

std::string ColumnTitle(HWND list, int column) {
    char title[kColumnTitleLimit] = {};
    LVCOLUMNA query{};
    query.mask = LVCF_TEXT;
    query.pszText = title;
    query.cchTextMax = sizeof title;
    SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&query));
    return title;
}

// Keeps the selected and the focused row on their rows while the rows are
// reordered; a row is known by its ID slot.
class RowStatesKept {
public:
    RowStatesKept(HWND list, const std::vector<ResultRow>& rows) : list_(list), rows_(rows) {
        selectedBefore_ = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
        focusedBefore_ = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
        selected_ = SlotAt(selectedBefore_);
        focused_ = SlotAt(focusedBefore_);
    }
    ~RowStatesKept() {
        const int selected = IndexOf(selected_);
        const int focused = IndexOf(focused_);
        if (selected != selectedBefore_ || focused != focusedBefore_) {
            ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
            if (selected >= 0) ListView_SetItemState(list_, selected, LVIS_SELECTED, LVIS_SELECTED);
            if (focused >= 0) ListView_SetItemState(list_, focused, LVIS_FOCUSED, LVIS_FOCUSED);
        }
        InvalidateRect(list_, nullptr, TRUE);
    }
    RowStatesKept(const RowStatesKept&) = delete;
    RowStatesKept& operator=(const RowStatesKept&) = delete;

private:
    const std::int32_t* SlotAt(int index) const {
        return index >= 0 && static_cast<std::size_t>(index) < rows_.size()
                   ? rows_[static_cast<std::size_t>(index)].id
                   : nullptr;
    }
    int IndexOf(const std::int32_t* slot) const {
        if (!slot) return -1;
        const auto found = std::find_if(rows_.begin(), rows_.end(),
                                        [slot](const ResultRow& row) { return row.id == slot; });
        return found != rows_.end() ? static_cast<int>(found - rows_.begin()) : -1;
    }

    HWND list_;
    const std::vector<ResultRow>& rows_;
    int selectedBefore_ = -1, focusedBefore_ = -1;
    const std::int32_t* selected_ = nullptr;
    const std::int32_t* focused_ = nullptr;
};

}  // namespace

const Ion& TDlgMain::SelectedIon() const {
    const LRESULT index = SendMessageA(Control(CB_Ion), CB_GETCURSEL, 0, 0);
    const IonRows ions = IonTable();
    return index > 0 && index < ions.count ? ions[static_cast<int>(index)] : NeutralIon();
}

void TDlgMain::FillIonSelector() {
    const HWND selector = Control(CB_Ion);
    SendMessageA(selector, CB_RESETCONTENT, 0, 0);
    for (const Ion& ion : IonTable()) {
        // The neutral molecule is named in the user's language; notations are not.
        const char* text = IsNeutral(ion) ? LocString(kNeutralEntryId) : ion.notation;
        SendMessageA(selector, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendMessageA(selector, CB_SETCURSEL, 0, 0);
}

void TDlgMain::ApplyIonSetting(bool useDefaults) {
    // Missing or unknown: the neutral molecule.
    const int index = std::max(IonIndex(ReadSetting(kSettingIon, useDefaults)), 0);
    SendMessageA(Control(CB_Ion), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (!useDefaults) loadedIon_ = index;
    ShowMassLabel();
}

void TDlgMain::SaveIonSetting(const Ion& ion) {
    // Only a changed choice is written: files without the key stay without it.
    const int index = static_cast<int>(&ion - IonTable().begin());
    if (index == loadedIon_) return;
    WriteSetting(kSettingIon, ion.notation);
    loadedIon_ = index;
}

void TDlgMain::ShowMassLabel() {
    const char* caption = LocString(IsNeutral(SelectedIon()) ? kMassLabelId : kMzLabelId);
    if (Text(LBL_Mass) != caption) SetText(LBL_Mass, caption);
}

void TDlgMain::CB_IonChange(const FormEvent&) {
    ShowMassLabel();
    ThePlugin().settingsChanged = 1;
}

void TDlgMain::ClearIonCells() {
    ionCells_.clear();
    rankingShown_ = false;
}

// The cells are made when a sort or a ranking needs them, not by the search:
// a search of the neutral molecule costs what it always did.
void TDlgMain::EnsureIonCells() {
    if (ionCells_.size() == rowIds_.size()) return;
    const char separator = LocaleDecimalSeparator();
    ionCells_.assign(rowIds_.size(), IonCell{});
    for (const ResultRow& row : results_.rows) {
        const std::size_t slot = SlotOf(rowIds_, row);
        if (slot < ionCells_.size()) ionCells_[slot].errorPpm = ErrorOf(row, separator);
    }
}

double TDlgMain::ErrorOf(const ResultRow& row, char separator) const {
    return RowErrorPpm(row.cells[kMassColumn], separator, searchMass_,
                       searchIon_ ? *searchIon_ : NeutralIon());
}

std::string TDlgMain::IonCellText(const ResultRow& row, int column) const {
    const char separator = LocaleDecimalSeparator();
    if (column == kErrorColumn) return MassErrorText(ErrorOf(row, separator), separator);
    if (column == kRmsColumn) return RmsText(CellOf(ionCells_, rowIds_, row).rms, separator);
    if (column == kScoreColumn) return ScoreText(CellOf(ionCells_, rowIds_, row).score, separator);
    return {};
}

void TDlgMain::SortIonColumn(int column, bool descending) {
    EnsureIonCells();
    if (column == kErrorColumn) SortByError(results_.rows, ionCells_, rowIds_, descending);
    if (column == kRmsColumn) SortByRms(results_.rows, ionCells_, rowIds_, descending);
    if (column == kScoreColumn) SortByScore(results_.rows, ionCells_, rowIds_, descending);
}

void TDlgMain::RankRows() {
    if (results_.rows.empty() || !exSeries_) return;
    std::vector<TPeak> measured;
    if (!GetPeaks(*exSeries_, measured)) {
        ShowError(kOutOfMemoryId);
        return;
    }
    BusyCursor busy;
    const HWND status = Control(SB_Status);
    DWORD shownAt = GetTickCount();
    const auto progress = [&](std::size_t done, std::size_t total) {
        if (total < kProgressFrom) return;
        const DWORD now = GetTickCount();
        if (done < total && now - shownAt < kProgressIntervalMs && rankTotal_ != 0) return;
        shownAt = now;
        rankDone_ = done;
        rankTotal_ = total;
        RedrawWindow(status, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    };
    try {
        EnsureIonCells();
        const RowStatesKept kept(Control(LV_Results), results_.rows);
        FitSettings fit;
        fit.resolvingPower = ResolvingPower();
        RankByIsotopeFit(results_.rows, ionCells_, rowIds_, SelectedIon(), measured, progress, fit);
        rankingShown_ = true;
    } catch (const std::bad_alloc&) {
        ShowError(kOutOfMemoryId);
    }
    rankDone_ = rankTotal_ = 0;
    RedrawWindow(status, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TDlgMain::PM_ResRankClick(const FormEvent&) { RankRows(); }

void TDlgMain::PM_ResCopyTableClick(const FormEvent&) {
    if (results_.rows.empty()) return;
    BusyCursor busy;
    try {
        const HWND list = Control(LV_Results);
        std::vector<std::string> titles;
        for (int column = 0; column < kCopyTableColumns; ++column) {
            titles.push_back(ColumnTitle(list, column));
        }
        const std::string command =
            CopyTableCommand(titles, results_.rows, [this](const ResultRow& row, int column) {
                return IonCellText(row, column);
            });
        SendDirect(command.c_str());
    } catch (const std::bad_alloc&) {
        ShowError(kOutOfMemoryId);
    }
}

void TDlgMain::CopyIonCell(int column) {
    const int selected = SelectedResult();
    if (selected < 0 || static_cast<std::size_t>(selected) >= results_.rows.size()) return;
    BusyCursor busy;
    const std::string command =
        "CopyText \"" + IonCellText(results_.rows[static_cast<std::size_t>(selected)], column) + "\"";
    SendDirect(command.c_str());
}

void TDlgMain::SyncIonMenuRows() {
    const HMENU menu = Menu(PM_Results);
    if (!menu) return;
    const bool wanted = !IsNeutral(SelectedIon()) || exSeries_ != nullptr;
    const bool present = GetMenuState(menu, PM_ResRank, MF_BYCOMMAND) != static_cast<UINT>(-1);
    if (wanted && !present) {
        for (const IonMenuRow& row : kIonMenuRows) {
            if (row.stringId < 0) {
                AppendMenuA(menu, MF_SEPARATOR, static_cast<UINT_PTR>(row.id), nullptr);
            } else {
                AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(row.id), LocString(row.stringId));
            }
        }
    } else if (!wanted && present) {
        for (const IonMenuRow& row : kIonMenuRows) RemoveMenu(menu, static_cast<UINT>(row.id), MF_BYCOMMAND);
    }
    const bool rows = !results_.rows.empty();
    EnableMenuItem(PM_ResRank, rows && exSeries_ != nullptr);
    EnableMenuItem(PM_ResCopyTable, rows);
}

void TDlgMain::DrawRankProgress(const DRAWITEMSTRUCT& item) const {
    if (rankTotal_ == 0) return;
    RECT bar = item.rcItem;
    InflateRect(&bar, -2, -3);
    const double share = static_cast<double>(rankDone_) / static_cast<double>(rankTotal_);
    bar.right = bar.left + static_cast<LONG>((bar.right - bar.left) * std::min(share, 1.0));
    FillRect(item.hDC, &bar, GetSysColorBrush(COLOR_HIGHLIGHT));
}

}  // namespace ionsift
