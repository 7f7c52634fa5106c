// TDlgMain: the columns the ions bring (the ion of each row, its mass error,
// the RMS and score of a ranking), the ranking by isotope fit and the table
// copy, each row as the ion it was found as. With the neutral molecule
// searched the window is the plain mass search.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "export/copy_table.h"
#include "ions/ion_formula.h"
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
#include "ui/dialogs/row_ion_cells.h"
#include "ui/form/window_utils_win.h"

namespace ionsift {
namespace {

using namespace dlg_main;

constexpr int kOutOfMemoryId = 52;
constexpr int kColumnTitleLimit = 256;
// Rankings that ask for more distributions than this show their progress,
// redrawn at most this often.
constexpr std::size_t kProgressFrom = 200;
constexpr DWORD kProgressIntervalMs = 100;
// The columns Copy table adds to the list's: the ion formula, the m/z
// calculated and the one measured.
constexpr int kRowIonTitleIds[] = {75, 76, 77};
constexpr int kIonColumnTitleId = 74;
constexpr int kIonColumnWidth = 80;

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

const Ion& TDlgMain::RowIon(const ResultRow& row) const {
    if (searchIons_.empty()) return NeutralIon();
    const std::size_t slot = SlotOf(rowIds_, row);
    if (slot < slotIons_.size() && slotIons_[slot] < searchIons_.size()) {
        return *searchIons_[slotIons_[slot]];
    }
    return *searchIons_.front();
}

void TDlgMain::ShowIonColumn(bool shown) {
    if (shown == ionColumnShown_) return;
    const HWND list = Control(LV_Results);
    if (shown) {
        LVCOLUMNA column{};
        column.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.cx = kIonColumnWidth;
        column.pszText = const_cast<char*>(LocString(kIonColumnTitleId));
        column.iSubItem = kIonNameColumn;
        if (SendMessageA(list, LVM_INSERTCOLUMNA, kIonNameColumn, reinterpret_cast<LPARAM>(&column)) < 0) {
            return;
        }
        // Shown after Name, although last by index.
        int order[kIonNameColumn + 1];
        for (int i = 0, column = 0; i <= kIonNameColumn; ++i) {
            order[i] = i == kIonNamePosition ? kIonNameColumn : column++;
        }
        SendMessageA(list, LVM_SETCOLUMNORDERARRAY, kIonNameColumn + 1, reinterpret_cast<LPARAM>(order));
    } else {
        SendMessageA(list, LVM_DELETECOLUMN, kIonNameColumn, 0);
    }
    ionColumnShown_ = shown;
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
        if (slot >= ionCells_.size()) continue;
        ionCells_[slot].errorPpm = ErrorOf(row, separator);
        if (slot < slotIons_.size()) ionCells_[slot].ion = &RowIon(row);
    }
}

// A molecule that cannot form its row's ion shows no error and ranks last.
double TDlgMain::ErrorOf(const ResultRow& row, char separator) const {
    return RowErrorPpm(row.cells[kMassColumn], row.cells[kFormulaColumn], separator, searchMass_,
                       RowIon(row));
}

std::string TDlgMain::IonCellText(const ResultRow& row, int column) const {
    const char separator = LocaleDecimalSeparator();
    if (column == kErrorColumn) return MassErrorText(ErrorOf(row, separator), separator);
    if (column == kRmsColumn) return RmsText(CellOf(ionCells_, rowIds_, row).rms, separator);
    if (column == kScoreColumn) return ScoreText(CellOf(ionCells_, rowIds_, row).score, separator);
    if (column == kIonNameColumn) return RowIon(row).notation;
    return {};
}

void TDlgMain::SortIonColumn(int column, bool descending) {
    EnsureIonCells();
    if (column == kErrorColumn) SortByError(results_.rows, ionCells_, rowIds_, descending);
    if (column == kRmsColumn) SortByRms(results_.rows, ionCells_, rowIds_, descending);
    if (column == kScoreColumn) SortByScore(results_.rows, ionCells_, rowIds_, descending);
    if (column == kIonNameColumn) SortByIon(descending);
}

// By the ion's place among those searched; equal ions keep their order.
void TDlgMain::SortByIon(bool descending) {
    std::stable_sort(results_.rows.begin(), results_.rows.end(),
                     [this, descending](const ResultRow& a, const ResultRow& b) {
                         const std::size_t slotA = SlotOf(rowIds_, a), slotB = SlotOf(rowIds_, b);
                         const int ionA = slotA < slotIons_.size() ? slotIons_[slotA] : 0;
                         const int ionB = slotB < slotIons_.size() ? slotIons_[slotB] : 0;
                         return descending ? ionB < ionA : ionA < ionB;
                     });
}

void TDlgMain::RankRows() {
    if (results_.rows.empty() || !exSeries_) return;
    std::vector<TPeak> measured;
    if (!GetPeaks(*exSeries_, measured)) {
        ShowError(kOutOfMemoryId);
        return;
    }
    BusyCursor busy;
    ShowStatusMessage("");
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
        RankEachIon(measured, progress, fit);
        rankingShown_ = true;
    } catch (const std::bad_alloc&) {
        ShowError(kOutOfMemoryId);
    }
    rankDone_ = rankTotal_ = 0;
    RedrawWindow(status, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// Each row as its own ion: the cells name the ions of a list of several.
void TDlgMain::RankEachIon(const std::vector<TPeak>& measured, const RankProgress& progress,
                           const FitSettings& fit) {
    const Ion& listIon = searchIons_.empty() ? NeutralIon() : *searchIons_.front();
    if (slotIons_.empty()) {
        RankByIsotopeFit(results_.rows, ionCells_, rowIds_, listIon, measured, progress, fit);
    } else {
        RankByIsotopeFit(results_.rows, ionCells_, rowIds_, measured, listIon, progress, fit);
    }
}

void TDlgMain::PM_ResRankClick(const FormEvent&) { RankRows(); }

// Every column as the list shows it, in its order, then the columns that
// say what each row was compared with.
void TDlgMain::PM_ResCopyTableClick(const FormEvent&) {
    if (results_.rows.empty()) return;
    BusyCursor busy;
    try {
        const HWND list = Control(LV_Results);
        const int shown = ionColumnShown_ ? kIonNameColumn + 1 : kListColumnCount;
        std::vector<int> order(static_cast<std::size_t>(shown));
        if (!SendMessageA(list, LVM_GETCOLUMNORDERARRAY, static_cast<WPARAM>(shown),
                          reinterpret_cast<LPARAM>(order.data()))) {
            for (int i = 0; i < shown; ++i) order[static_cast<std::size_t>(i)] = i;
        }
        std::vector<std::string> titles;
        for (const int column : order) titles.push_back(ColumnTitle(list, column));
        for (const int id : kRowIonTitleIds) titles.push_back(LocString(id));
        const char separator = LocaleDecimalSeparator();
        const std::string command = CopyTableCommand(
            titles, results_.rows.size(), [&](std::size_t index, std::size_t column) -> std::string {
                const ResultRow& row = results_.rows[index];
                if (column < order.size()) {
                    const int item = order[column];
                    return item < kResultColumnCount ? row.cells[static_cast<std::size_t>(item)]
                                                     : IonCellText(row, item);
                }
                const RowIonCells described =
                    DescribeRowIon(row.cells[kMassColumn], row.cells[kFormulaColumn], RowIon(row),
                                   searchMass_, separator);
                const std::string* extra[] = {&described.formula, &described.mzCalculated,
                                              &described.mzMeasured};
                return *extra[column - order.size()];
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
    const bool wanted = !NeutralChosen() || exSeries_ != nullptr;
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
