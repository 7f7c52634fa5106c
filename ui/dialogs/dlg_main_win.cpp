// TDlgMain: creation, show, resize, window messages and the routing table.
// The settings binding and enabling rules live in dlg_main_settings_win.cpp,
// the database selector in dlg_main_database_win.cpp.
#include "ui/dialogs/dlg_main_win.h"

#include <commctrl.h>
#include <iterator>
#include <utility>

#include "resources/dlg_main_ids.h"
#include "resources/resource_ids.h"
#include "shell/host_link.h"
#include "shell/plugin_state.h"
#include "ui/chart_control/chart_window_win.h"
#include "ui/dialogs/dlg_main_form.h"
#include "ui/form/dlg_popup_win.h"
#include "ui/form/paste_filter.h"
#include "ui/form/window_utils_win.h"

namespace ionsift {
namespace {

using namespace dlg_main;
using Kind = FormEventKind;

constexpr int kShorterThanCreated = 80;  // how much shorter than at creation the window may get
constexpr int kResolutionDigits = 8;     // enough for any resolving power the edit takes

// Every control event of the window and the member that handles it.
constexpr Route<TDlgMain> kRoutes[] = {
    {CB_Database, Kind::Change, &TDlgMain::CB_DatabaseChange},
    {STR_Mass, Kind::Change, &TDlgMain::EnableButtons},
    {STR_Ppm, Kind::Change, &TDlgMain::EnableButtons},
    {STR_MaxResults, Kind::Change, &TDlgMain::EnableButtons},
    {STR_Mass, Kind::KeyPress, &TDlgMain::OnKeyChkPosFloat},
    {STR_Ppm, Kind::KeyPress, &TDlgMain::OnKeyChkPosFloat},
    {STR_MaxResults, Kind::KeyPress, &TDlgMain::OnKeyChkPosInt},
    {STR_Resolution, Kind::KeyPress, &TDlgMain::OnKeyChkPosInt},
    {BT_Search, Kind::Click, &TDlgMain::BT_SearchClick},
    {BT_Default, Kind::Click, &TDlgMain::BT_DefaultClick},
    // The list's compare is CompareResultRows, which the column click sorts by.
    {LV_Results, Kind::ColumnClick, &TDlgMain::LV_ResultsColumnClick},
    {LV_Results, Kind::DoubleClick, &TDlgMain::PM_ResShowClick},
    {LV_Results, Kind::SelectItem, &TDlgMain::LV_ResultsSelectItem},
    {LV_Results, Kind::ItemText, &TDlgMain::LV_ResultsItemText},
    {LV_Results, Kind::FindItem, &TDlgMain::LV_ResultsFindItem},
    {PM_Results, Kind::Popup, &TDlgMain::PM_ResultsPopup},
    {PM_ResShow, Kind::Click, &TDlgMain::PM_ResShowClick},
    {PM_ResIsoDist, Kind::Click, &TDlgMain::PM_ResIsoDistClick},
    {PM_ResSave, Kind::Click, &TDlgMain::PM_ResSaveClick},
    {PM_ResCopy, Kind::Click, &TDlgMain::PM_ResCopyClick},
    {PM_ResCopyRow, Kind::Click, &TDlgMain::PM_ResCopyRowClick},
    {PM_ResCopyAll, Kind::Click, &TDlgMain::PM_ResCopyAllClick},
    {PM_ResExcel, Kind::Click, &TDlgMain::PM_ResExcelClick},
    {CB_Ion, Kind::Change, &TDlgMain::CB_IonChange},
    {PM_ResRank, Kind::Click, &TDlgMain::PM_ResRankClick},
    {PM_ResCopyTable, Kind::Click, &TDlgMain::PM_ResCopyTableClick},
    {ME_ExData, Kind::Change, &TDlgMain::ME_ExDataChange},
    {ME_ExData, Kind::KeyPress, &TDlgMain::ME_ExDataKeyPress},
    {BT_ExUpdate, Kind::Click, &TDlgMain::BT_ExUpdateClick},
    {PM_IC_CopyChart, Kind::Click, &TDlgMain::PM_IC_CopyChartClick},
    {PM_IC_CopyData, Kind::Click, &TDlgMain::PM_IC_CopyDataClick},
    {PM_IC_SendExp, Kind::Click, &TDlgMain::PM_IC_SendExpClick},
    {PM_IC_ZoomIn, Kind::Click, &TDlgMain::PM_IC_ZoomInClick},
    {PM_IC_ZoomOut, Kind::Click, &TDlgMain::PM_IC_ZoomOutClick},
    {PM_IC_ZoomReset, Kind::Click, &TDlgMain::PM_IC_ZoomResetClick},
    {PM_IC_Print, Kind::Click, &TDlgMain::PM_IC_PrintClick},
    {PM_ExOpenSpectrum, Kind::Click, &TDlgMain::PM_ExOpenSpectrumClick},
    {PM_ExPasteSpectrum, Kind::Click, &TDlgMain::PM_ExPasteSpectrumClick},
    {PM_IC_ShowProfile, Kind::Click, &TDlgMain::PM_IC_ShowProfileClick},
    {TC_IsoChart, Kind::MouseMove, &TDlgMain::TC_IsoChartMouseMove},
    {SB_Status, Kind::DrawPanel, &TDlgMain::SB_StatusDrawPanel},
};

// Paste filters of the edits that share the edit menu, in attaching order;
// the experimental edit's menu has the spectrum rows as well.
struct EditMenuBinding {
    int control;
    std::uint32_t flags;
    bool spectrumRows;
};
constexpr EditMenuBinding kEditMenuBindings[] = {
    {ME_ExData, kPasteSeparator | kPasteKeepBlanks | kPasteDropSigns, true},
    {STR_Mass, kPasteSeparator | kPasteDropSigns, false},
    {STR_MaxResults, kPasteDropSeparator | kPasteDropSigns, false},
    {STR_Ppm, kPasteSeparator | kPasteDropSigns, false},
    {STR_Resolution, kPasteDropSeparator | kPasteDropSigns, false},
};

// Below the experimental edit's own rows: measured peaks from a file or the
// clipboard.
constexpr EditMenuExtraRow kSpectrumMenuRows[] = {
    {PM_ExOpenSpectrum, 100, false},
    {PM_ExPasteSpectrum, 101, true},
};

HICON LoadPluginIcon(int size) {
    return static_cast<HICON>(LoadImageA(static_cast<HINSTANCE>(ThePlugin().module),
                                         MAKEINTRESOURCEA(IDI_MAIN_WINDOW), IMAGE_ICON, size,
                                         size, 0));
}

}  // namespace

TDlgMain::~TDlgMain() {
    if (Handle() && ThePlugin().mainWindow == Handle()) ThePlugin().mainWindow = nullptr;
    Destroy();
    if (bigIcon_) DestroyIcon(bigIcon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
}

bool TDlgMain::Create() {
    const HINSTANCE module = static_cast<HINSTANCE>(ThePlugin().module);
    // 1. The window and its controls; size messages are dropped until step 4.
    sizingReady_ = false;
    if (!RegisterChartClass(module) ||
        !Form::Create(DlgMainForm(), static_cast<HWND>(ThePlugin().ownerWindow), module)) {
        return false;
    }
    ThePlugin().mainWindow = Handle();
    // 2. No database yet: the connection starts empty.
    // 3. Client size from the options panel's margins and the status bar.
    const FormRect options = Bounds(PN_Options);
    const FormRect status = Bounds(SB_Status);
    SetClientSize(2 * options.left + options.width,
                  2 * options.top + options.height + status.height);
    // 4.
    sizingReady_ = true;
    LayoutControls();
    // 5.
    openedHandle_ = Handle();
    closedReported_ = false;
    if (const HostContext* host = Host(); host && host->windowOpened) host->windowOpened(Handle());
    // 6. Never narrower than now, nor more than 80 pixels shorter.
    const FormSize outer = OuterSize();
    minimumTrackSize_ = {outer.width, outer.height - kShorterThanCreated};
    // 7.
    firstShowPending_ = true;
    // 8.
    bigIcon_ = LoadPluginIcon(GetSystemMetrics(SM_CXICON));
    smallIcon_ = LoadPluginIcon(GetSystemMetrics(SM_CXSMICON));
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    // 9.
    RowIdTable().swap(rowIds_);
    distSeries_ = exSeries_ = profileSeries_ = centroidSeries_ = nullptr;
    drawnIonFormula_.clear();
    drawnIon_ = nullptr;
    // 10. The columns' sizes at creation, for the halving rule.
    base_ = {Bounds(GRP_IsoChart).left, Bounds(GRP_IsoChart).width, Bounds(GRP_Results).width,
             outer.width};
    // 11.
    ApplyLocalizedCaptions();
    FillIonSelector();
    SendMessageA(Control(STR_Resolution), EM_LIMITTEXT, kResolutionDigits, 0);
    // 12.
    const auto onShortcut = [this](HWND control) { OnEditShortcutKey(control); };
    editMenu_ = CreateEditMenu(onShortcut);
    // Its rows' commands reach the window as any popup's choice does.
    EditMenuExtras spectrumRows{kSpectrumMenuRows, std::size(kSpectrumMenuRows), [this](int id) {
                                    SendMessageA(Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
                                }};
    exDataMenu_ = CreateEditMenu(onShortcut, std::move(spectrumRows));
    for (const EditMenuBinding& binding : kEditMenuBindings) {
        AttachEditMenu(binding.spectrumRows ? exDataMenu_ : editMenu_, Control(binding.control),
                       binding.flags);
    }
    // The pointer readout's tooltip over the chart, off until a stick is near.
    CreateChartTip();
    // 13.
    ThePlugin().settingsChanged = 0;
    // 14.
    CenterOnHost(Handle());
    return true;
}

void TDlgMain::Show() {
    // WM_SHOWWINDOW runs OnFormShow when the window was hidden; a window the
    // user minimized comes back as it was.
    ShowWindow(Handle(), IsIconic(Handle()) ? SW_RESTORE : SW_SHOW);
    BringWindowToTop(Handle());
}

void TDlgMain::Close() { ShowWindow(Handle(), SW_HIDE); }

void TDlgMain::OnFormShow() {
    RefreshCatalogue();
    if (firstShowPending_) {
        ApplySettings(false);
        CB_DatabaseChange(FormEvent{CB_Database, Kind::Change, Control(CB_Database), 0, nullptr});
        firstShowPending_ = false;
    }
    EnableButtons();
    EnableChartMenu();
    EnableExUpdate();
    EnableResultsMenu();
}

void TDlgMain::OnFormResize() {
    if (base_.formWidth == 0) return;  // before creation has measured the columns
    const ColumnSplit split = SplitColumns(OuterSize().width, base_);
    for (int group : {GRP_Experimental, GRP_IsoChart}) {
        FormRect rect = Bounds(group);
        rect.left = split.rightLeft;
        rect.width = split.rightWidth;
        SetBounds(group, rect);
    }
    for (int group : {GRP_Param, GRP_Results}) {
        FormRect rect = Bounds(group);
        rect.width = split.leftWidth;
        SetBounds(group, rect);
    }
}

void TDlgMain::ReportClosed() {
    if (closedReported_ || !openedHandle_) return;
    closedReported_ = true;
    if (const HostContext* host = Host(); host && host->windowClosed) host->windowClosed(openedHandle_);
}

void TDlgMain::OnFormDestroy() {
    // The controls still exist, and the host may be ending the window with
    // its own: keep what Free saves, and tell the host the window is gone.
    lastInputs_ = ReadSettingsInputs();
    ReportClosed();
    if (ThePlugin().mainWindow == Handle()) ThePlugin().mainWindow = nullptr;
    ClearResultRows();
    RowIdTable().swap(rowIds_);
    DestroyEditMenu(editMenu_);
    editMenu_ = nullptr;
    DestroyEditMenu(exDataMenu_);
    exDataMenu_ = nullptr;
    // The chart destroys the series still attached to it.
    distSeries_ = exSeries_ = profileSeries_ = centroidSeries_ = nullptr;
    chartTip_ = nullptr;
}

void TDlgMain::SB_StatusDrawPanel(const FormEvent& event) {
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(event.detail);
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    DrawRankProgress(item);
}

void TDlgMain::ShowStatusMessage(const std::string& text) {
    // A message takes the whole bar while it shows (the bar's simple mode);
    // without one the bar has its panel again.
    const HWND status = Control(SB_Status);
    if (text.empty()) {
        SendMessageA(status, SB_SIMPLE, FALSE, 0);
        return;
    }
    SendMessageA(status, SB_SIMPLE, TRUE, 0);
    SendMessageA(status, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(text.c_str()));
}

void TDlgMain::OnEvent(const FormEvent& event) { RouteEvent(*this, kRoutes, event); }

LRESULT TDlgMain::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            // Until creation has fixed the client size, sizes mean nothing.
            if (!sizingReady_) return 0;
            Form::WindowProc(message, wParam, lParam);
            if (wParam != SIZE_MINIMIZED) OnFormResize();
            return 0;
        case WM_ERASEBKGND:
            TileBackground(Handle(), reinterpret_cast<HDC>(wParam), nullptr);
            return 0;
        case WM_SETCURSOR:
            if (!BusyCursorOn()) break;
            SetCursor(LoadCursorA(nullptr, IDC_WAIT));
            return TRUE;
        case WM_GETMINMAXINFO:
            if (minimumTrackSize_.x > 0) {
                reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = minimumTrackSize_;
            }
            return 0;
        case WM_CLOSE:
            // Closing only hides: list, chart and connection survive for the next request.
            Close();
            return 0;
        case WM_SHOWWINDOW:
            // lParam 0: ShowWindow itself, not the owner being restored.
            if (wParam && lParam == 0) OnFormShow();
            break;
        case WM_DESTROY:
            OnFormDestroy();
            break;
        default:
            break;
    }
    return Form::WindowProc(message, wParam, lParam);
}

}  // namespace ionsift
