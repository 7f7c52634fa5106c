// TDlgMain: what the user does with the chart - the pointer readout in a
// tooltip, zoom, copying the chart or its data, sending the distribution to
// the experimental edit. Printing is in dlg_main_print_win.cpp.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "isotopes/dist_text.h"
#include "isotopes/readout.h"
#include "resources/dlg_main_ids.h"
#include "shell/host_link.h"
#include "shell/plugin_state.h"
#include "ui/chart_control/chart_window_win.h"
#include "ui/dialogs/dlg_main_win.h"
#include "text/separators.h"
#include "ui/form/window_utils_win.h"

namespace ionsift {
namespace {

using namespace dlg_main;

constexpr double kZoomInPercent = 125;   // halves every span
constexpr double kZoomOutPercent = 25;   // widens every span to 2.5 times
constexpr double kZoomPinPercent = 100;  // pins the current ranges
constexpr int kTipWidth = 400;           // any width makes the tooltip honour line feeds

TTTOOLINFOA ChartTool(HWND owner, HWND chart, const char* text) {
    TTTOOLINFOA tool{};
    // The size every common-controls version accepts.
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(chart);
    tool.lpszText = const_cast<char*>(text);
    return tool;
}

}  // namespace

void TDlgMain::CreateChartTip() {
    chartTip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                static_cast<HINSTANCE>(ThePlugin().module), nullptr);
    if (!chartTip_) return;
    TTTOOLINFOA tool = ChartTool(Handle(), Control(TC_IsoChart), "");
    SendMessageA(chartTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(chartTip_, TTM_SETMAXTIPWIDTH, 0, kTipWidth);
    SendMessageA(chartTip_, TTM_ACTIVATE, FALSE, 0);
}

void TDlgMain::SetChartTip(const std::string& text) {
    // Mouse moves repeat the same text; telling the tooltip again would make
    // it flicker.
    if (text == chartTipText_) return;
    chartTipText_ = text;
    if (!chartTip_) return;
    TTTOOLINFOA tool = ChartTool(Handle(), Control(TC_IsoChart), chartTipText_.c_str());
    SendMessageA(chartTip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(chartTip_, TTM_ACTIVATE, !chartTipText_.empty(), 0);
}

void TDlgMain::TC_IsoChartMouseMove(const FormEvent& event) {
    const HWND chart = Control(TC_IsoChart);
    const ChartModel* model = ChartModelOf(chart);
    if (!model || model->SeriesCount() == 0) return;
    const auto& pointer = *reinterpret_cast<const ChartMouseNotify*>(event.detail);
    const StickHit hit = StickUnderPointer(*model, ChartCurrentMapping(chart), pointer.x, pointer.y);
    if (!hit.found) {
        SetChartTip("");
        return;
    }
    const ChartPoint& top = model->Series(hit.series).Points()[hit.point];
    SetChartTip(ReadoutText(top.x, top.y, LocaleDecimalSeparator()));
}

std::string TDlgMain::GetDistText() const {
    return distSeries_ ? ionsift::GetDistText(*distSeries_, LocaleDecimalSeparator()) : std::string();
}

void TDlgMain::PM_IC_CopyChartClick(const FormEvent&) {
    BusyCursor busy;
    ChartCopyToClipboard(Control(TC_IsoChart));
}

void TDlgMain::PM_IC_CopyDataClick(const FormEvent&) {
    if (!distSeries_) return;
    BusyCursor busy;
    // The host puts the text on the clipboard; its answer is not looked at.
    SendCommand("CopyText \"%s\"", GetDistText().c_str());
}

void TDlgMain::PM_IC_SendExpClick(const FormEvent&) {
    if (!distSeries_) return;
    // Its change event enables Update; nothing is drawn until it is pressed.
    SetText(ME_ExData, GetDistText().c_str());
}

void TDlgMain::PM_IC_ZoomInClick(const FormEvent&) {
    ChartZoomPercent(Control(TC_IsoChart), kZoomInPercent);
}

void TDlgMain::PM_IC_ZoomOutClick(const FormEvent&) {
    ChartZoomPercent(Control(TC_IsoChart), kZoomOutPercent);
}

void TDlgMain::PM_IC_ZoomResetClick(const FormEvent&) {
    const HWND chart = Control(TC_IsoChart);
    ChartUndoZoom(chart);
    ChartZoomPercent(chart, kZoomPinPercent);
}

}  // namespace ionsift
