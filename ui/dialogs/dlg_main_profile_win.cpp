// TDlgMain: "Show profile" on the chart's menu. While it is checked, the
// candidate whose distribution the chart shows is drawn as the instrument
// sees it at the typed resolving power: its profile as a line and its
// centroids as sticks, over the measured sticks. Unchecked, the chart holds
// only the distribution and the measured peaks.
#include <windows.h>

#include <new>

#include "ions/ion_fit.h"
#include "isotopes/peak_series.h"
#include "resources/dlg_main_ids.h"
#include "shell/error_report.h"
#include "ui/chart_control/chart_window_win.h"
#include "ui/dialogs/dlg_main_win.h"
#include "ui/form/window_utils_win.h"

namespace ionsift {
namespace {

using namespace dlg_main;

constexpr int kOutOfMemoryId = 52;
constexpr ChartColour kProfileColour = ChartRgb(0, 128, 0);
constexpr ChartColour kCentroidColour = ChartRgb(128, 0, 128);

}  // namespace

void TDlgMain::PM_IC_ShowProfileClick(const FormEvent&) {
    showProfile_ = !showProfile_;
    if (const HMENU menu = Menu(PM_IsoChart)) {
        CheckMenuItem(menu, PM_IC_ShowProfile,
                      MF_BYCOMMAND | (showProfile_ ? MF_CHECKED : MF_UNCHECKED));
    }
    ShowProfile();
    PM_IC_ZoomResetClick({});
}

void TDlgMain::RemoveProfile() {
    DeleteSeries(profileSeries_);
    DeleteSeries(centroidSeries_);
    profileSeries_ = centroidSeries_ = nullptr;
}

void TDlgMain::ShowProfile() {
    // Drawn anew each time: the candidate, the resolving power or the
    // measured sticks it lies over may have changed.
    RemoveProfile();
    if (!showProfile_ || !distSeries_ || !drawnIon_ || drawnIonFormula_.empty()) return;
    BusyCursor busy;
    try {
        IonView view;
        // A formula the isotope engine cannot compute shows no profile.
        if (!IonViewAt(drawnIonFormula_, *drawnIon_, ResolvingPower(), view)) return;
        profileSeries_ = NewPeakSeries(kProfileColour);
        if (profileSeries_) {
            profileSeries_->Reserve(view.profile.size());
            for (const ProfilePoint& point : view.profile) {
                profileSeries_->Add(point.mz, point.intensity, kProfileColour);
            }
        }
        centroidSeries_ = NewPeakSeries(kCentroidColour);
        if (centroidSeries_) {
            for (const ProfilePoint& peak : view.centroids) AddPeak(*centroidSeries_, peak.mz, peak.intensity);
        }
    } catch (const std::bad_alloc&) {
        RemoveProfile();
        ShowError(kOutOfMemoryId);
    }
    ChartChanged(Control(TC_IsoChart));
}

}  // namespace ionsift
