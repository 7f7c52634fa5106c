// TDlgMain: the experimental peaks typed or pasted into ME_ExData, drawn as
// blue sticks, and their RMS deviation from the computed distribution.
#include <windows.h>

#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "isotopes/peak_compare.h"
#include "isotopes/peak_series.h"
#include "resources/dlg_main_ids.h"
#include "shell/error_report.h"
#include "ui/chart_control/chart_window_win.h"
#include "ui/dialogs/dlg_main_win.h"
#include "ui/form/key_filter.h"
#include "text/separators.h"
#include "ui/form/window_utils_win.h"

namespace ionsift {
namespace {

using namespace dlg_main;

constexpr int kOutOfMemoryId = 52;

}  // namespace

void TDlgMain::ME_ExDataKeyPress(const FormEvent& event) {
    const KeyVerdict verdict = FilterExDataKey(*event.key, LocaleDecimalSeparator());
    if (verdict.beep) ErrorBeep();
    *event.key = verdict.key;
}

void TDlgMain::BT_ExUpdateClick(const FormEvent&) {
    BusyCursor busy;
    DeleteSeries(exSeries_);
    exSeries_ = nullptr;

    const HWND edit = Control(ME_ExData);
    const int length = GetWindowTextLengthA(edit);
    if (length > 0) {
        std::unique_ptr<char[]> copy(new (std::nothrow) char[static_cast<std::size_t>(length) + 1]);
        if (!copy) {
            ShowError(kOutOfMemoryId);
        } else {
            GetWindowTextA(edit, copy.get(), length + 1);
            ToPointSeparator(copy.get());
            exSeries_ = NewPeakSeries(kExColour);
            std::size_t pairs = 0;
            try {
                pairs = ParsePeaks(exSeries_, copy.get());
            } catch (const std::bad_alloc&) {
                ShowError(kOutOfMemoryId);
            }
            ChartChanged(Control(TC_IsoChart));
            // An experimental series that exists always holds a peak.
            if (pairs > 0) {
                CalcRms();
            } else {
                DeleteSeries(exSeries_);
                exSeries_ = nullptr;
            }
        }
    }
    // The profile goes over the new measured sticks, at the resolution now typed.
    ShowProfile();
    PM_IC_ZoomResetClick({});
    EnableExUpdate();
    // A ranking on show follows the measured peaks; without any it is void.
    if (rankingShown_) {
        if (exSeries_) {
            RankRows();
        } else {
            for (IonCell& cell : ionCells_) {
                cell.rms.reset();
                cell.score.reset();
            }
            rankingShown_ = false;
            InvalidateRect(Control(LV_Results), nullptr, TRUE);
        }
    }
}

void TDlgMain::CalcRms() {
    if (!distSeries_ || !exSeries_) return;
    std::vector<TPeak> computed, experimental;
    if (!GetPeaks(*distSeries_, computed) || !GetPeaks(*exSeries_, experimental)) {
        ShowError(kOutOfMemoryId);
        return;
    }
    // Where no RMS is defined (nothing computed, a most intense experimental
    // abundance of 0, a value beyond double range) no number is shown.
    const std::optional<double> rms = CompareRms(computed, std::move(experimental));
    const HWND chart = Control(TC_IsoChart);
    if (rms) {
        ChartSetTitle(chart, RmsTitle(*rms, LocaleDecimalSeparator()), true);
    } else {
        ChartSetTitle(chart, "", false);
    }
}

}  // namespace ionsift
