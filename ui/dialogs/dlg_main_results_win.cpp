// TDlgMain: the results list. It holds no rows of its own (owner data): the
// window keeps them in the order shown and hands the list their texts, which
// lets it fill and sort tens of thousands of rows at once.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "resources/dlg_main_ids.h"
#include "search/result_order.h"
#include "shell/host_link.h"
#include "ui/dialogs/dlg_main_win.h"
#include "text/separators.h"
#include "ui/form/window_utils_win.h"

namespace ionsift {
namespace {

using namespace dlg_main;

// Copies `text` into the list's buffer, cut to fit.
void CopyItemText(const char* text, char* buffer, int capacity) {
    if (!buffer || capacity <= 0) return;
    const std::size_t length = std::min(std::strlen(text), static_cast<std::size_t>(capacity - 1));
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
}

bool StartsWithFolded(const char* text, const char* prefix) {
    for (; *prefix; ++text, ++prefix) {
        if (CharUpperA(reinterpret_cast<char*>(static_cast<unsigned char>(*text))) !=
            CharUpperA(reinterpret_cast<char*>(static_cast<unsigned char>(*prefix)))) {
            return false;
        }
    }
    return true;
}

// What the list's frame shows: which scroll bars, and where their thumbs are.
struct ScrollState {
    LONG style;
    SCROLLINFO vertical;
    SCROLLINFO horizontal;
};

ScrollState ReadScrollState(HWND list) {
    ScrollState state{};
    state.style = GetWindowLongA(list, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL);
    for (SCROLLINFO* bar : {&state.vertical, &state.horizontal}) {
        bar->cbSize = sizeof *bar;
        bar->fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    }
    GetScrollInfo(list, SB_VERT, &state.vertical);
    GetScrollInfo(list, SB_HORZ, &state.horizontal);
    return state;
}

bool SameBar(const SCROLLINFO& a, const SCROLLINFO& b) {
    return a.nMin == b.nMin && a.nMax == b.nMax && a.nPage == b.nPage && a.nPos == b.nPos;
}

// Marks the rows for drawing, not the header above them: the list does not
// clip its children, so invalidating all of it would redraw the header too.
void InvalidateRows(HWND list) {
    RECT rows{};
    GetClientRect(list, &rows);
    HWND header = ListView_GetHeader(list);
    RECT headerRect{};
    if (header && (GetWindowLongA(header, GWL_STYLE) & WS_VISIBLE) &&
        GetWindowRect(header, &headerRect)) {
        MapWindowPoints(HWND_DESKTOP, list, reinterpret_cast<POINT*>(&headerRect), 2);
        rows.top = std::max(rows.top, headerRect.bottom);
    }
    RedrawWindow(list, &rows, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN);
}

}  // namespace

int TDlgMain::SelectedResult() const {
    return ListView_GetNextItem(Control(LV_Results), -1, LVNI_SELECTED);
}

void TDlgMain::ClearResultRows() {
    // The list forgets its rows before their texts go.
    ListView_SetItemCountEx(Control(LV_Results), 0, 0);
    results_.Clear();
    slotIons_.clear();
    ClearIonCells();
}

void TDlgMain::ReplaceResultRows() {
    // The list keeps its row count until the new rows are in: emptying it
    // would hide its scroll bars only to show them again. What emptying it
    // would reset is reset here: no row selected or focused, the first row
    // at the top.
    HWND list = Control(LV_Results);
    const int selected = SelectedResult();
    if (selected >= 0) ListView_SetItemState(list, selected, 0, LVIS_SELECTED);
    const int focused = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
    if (focused >= 0) ListView_SetItemState(list, focused, 0, LVIS_FOCUSED);
    if (ListView_GetTopIndex(list) > 0) ListView_EnsureVisible(list, 0, FALSE);
    // Whatever the list asks meanwhile finds no row (see LV_ResultsItemText).
    results_.Clear();
    slotIons_.clear();
    ClearIonCells();
}

void TDlgMain::ShowResultRows() {
    HWND list = Control(LV_Results);
    const int count = static_cast<int>(results_.rows.size());
    const int shown = ListView_GetItemCount(list);
    if (shown == count) {
        // Same count, same scroll bars: only the rows are new, if any.
        if (count > 0) InvalidateRows(list);
        return;
    }
    const ListPaintPause pause(list);
    ListView_SetItemCountEx(list, count, 0);
}

ListPaintPause::ListPaintPause(HWND list) : list_(list) {
    // The window manager's part of WM_SETREDRAW only: the list itself keeps
    // updating its scroll bars, which draw nothing meanwhile.
    const ScrollState before = ReadScrollState(list_);
    frameStyle_ = before.style;
    vertical_ = before.vertical;
    horizontal_ = before.horizontal;
    rowsBefore_ = ListView_GetItemCount(list_);
    DefWindowProcA(list_, WM_SETREDRAW, FALSE, 0);
}

ListPaintPause::~ListPaintPause() {
    DefWindowProcA(list_, WM_SETREDRAW, TRUE, 0);
    const ScrollState after = ReadScrollState(list_);
    const bool frameChanged = after.style != frameStyle_ || !SameBar(after.vertical, vertical_) ||
                              !SameBar(after.horizontal, horizontal_);
    if (frameChanged) {
        // Scroll bars that came, went or moved change the client area and
        // may scroll the header: all of it is drawn again.
        RedrawWindow(list_, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    } else if (rowsBefore_ > 0 || ListView_GetItemCount(list_) > 0) {
        InvalidateRows(list_);
    }
    // An empty list that stayed empty looks as it did: nothing to draw.
}

void TDlgMain::LV_ResultsItemText(const FormEvent& event) {
    auto& request = *reinterpret_cast<NMLVDISPINFOA*>(event.detail);
    LVITEMA& item = request.item;
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= results_.rows.size()) return;
    const ResultRow& row = results_.rows[static_cast<std::size_t>(item.iItem)];
    if ((item.mask & LVIF_TEXT) && item.iSubItem >= 0 && item.iSubItem < kResultColumnCount) {
        CopyItemText(row.cells[static_cast<std::size_t>(item.iSubItem)], item.pszText,
                     item.cchTextMax);
    } else if ((item.mask & LVIF_TEXT) && item.iSubItem >= kResultColumnCount &&
               item.iSubItem <= kIonNameColumn) {
        CopyItemText(IonCellText(row, item.iSubItem).c_str(), item.pszText, item.cchTextMax);
    }
    // Each row refers to its own slot of the ID table.
    if (item.mask & LVIF_PARAM) item.lParam = reinterpret_cast<LPARAM>(row.id);
}

void TDlgMain::LV_ResultsFindItem(const FormEvent& event) {
    // Typing in the list jumps to the next row whose mass starts with the
    // typed text, as in a list that holds its own rows.
    const auto& find = *reinterpret_cast<const NMLVFINDITEMA*>(event.detail);
    const std::size_t count = results_.rows.size();
    if (count == 0 || !(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz) return;
    const std::size_t start = find.iStart >= 0 ? static_cast<std::size_t>(find.iStart) % count : 0;
    const bool partial = (find.lvfi.flags & LVFI_PARTIAL) != 0;
    for (std::size_t step = 0; step < count; ++step) {
        const std::size_t index = (start + step) % count;
        if (!(find.lvfi.flags & LVFI_WRAP) && index < start) break;
        const char* mass = results_.rows[index].cells[kMassColumn];
        const bool match = partial ? StartsWithFolded(mass, find.lvfi.psz)
                                   : lstrcmpiA(mass, find.lvfi.psz) == 0;
        if (match) {
            *event.result = static_cast<LRESULT>(index);
            return;
        }
    }
}

void TDlgMain::LV_ResultsColumnClick(const FormEvent& event) {
    const int column = reinterpret_cast<const NMLISTVIEW*>(event.detail)->iSubItem;
    if (column < 0 || column > kIonNameColumn) return;
    BusyCursor busy;
    sortColumn_ = column;
    sortDescending_ = columnTags_[column];
    columnTags_[column] = columnTags_[column] == 0 ? 1 : 0;

    // The selected and the focused row keep their states wherever the sort
    // takes them; a row is known by its ID slot.
    HWND list = Control(LV_Results);
    const auto slotAt = [this](int index) -> const std::int32_t* {
        return index >= 0 && static_cast<std::size_t>(index) < results_.rows.size()
                   ? results_.rows[static_cast<std::size_t>(index)].id
                   : nullptr;
    };
    const auto indexOf = [this](const std::int32_t* slot) {
        const auto found = std::find_if(results_.rows.begin(), results_.rows.end(),
                                        [slot](const ResultRow& row) { return row.id == slot; });
        return slot && found != results_.rows.end() ? static_cast<int>(found - results_.rows.begin())
                                                    : -1;
    };
    const int selectedBefore = SelectedResult();
    const int focusedBefore = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
    const std::int32_t* selectedSlot = slotAt(selectedBefore);
    const std::int32_t* focusedSlot = slotAt(focusedBefore);
    if (column < kResultColumnCount) {
        SortResultRows(results_.rows, sortColumn_, sortDescending_ != 0, LocaleDecimalSeparator());
    } else {
        SortIonColumn(column, sortDescending_ != 0);
    }

    const int selected = indexOf(selectedSlot);
    const int focused = indexOf(focusedSlot);
    if (selected != selectedBefore || focused != focusedBefore) {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        if (selected >= 0) ListView_SetItemState(list, selected, LVIS_SELECTED, LVIS_SELECTED);
        if (focused >= 0) ListView_SetItemState(list, focused, LVIS_FOCUSED, LVIS_FOCUSED);
    }
    InvalidateRows(list);
}

void TDlgMain::PM_ResultsPopup(const FormEvent&) {
    clickedColumn_ = -1;
    HWND list = Control(LV_Results);
    LVHITTESTINFO hit{};
    GetCursorPos(&hit.pt);
    ScreenToClient(list, &hit.pt);
    if (ListView_SubItemHitTest(list, &hit) >= 0 && hit.iSubItem >= 0) clickedColumn_ = hit.iSubItem;
    SyncIonMenuRows();
}

void TDlgMain::PM_ResShowClick(const FormEvent&) {
    const int selected = SelectedResult();
    if (selected < 0 || static_cast<std::size_t>(selected) >= results_.rows.size() ||
        DbHandle().empty()) {
        return;
    }
    BusyCursor busy;
    SendCommand("DbGetRowId %s %ld Replace", DbHandle().c_str(),
                static_cast<long>(*results_.rows[static_cast<std::size_t>(selected)].id));
}

}  // namespace ionsift
