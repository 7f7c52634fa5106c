// TDlgMain: the isotopic distribution of the selected candidate, and the
// peak series both it and the experimental peaks live in.
#include <windows.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "ions/ion_formula.h"
#include "ions/ion_ranking.h"
#include "isotopes/peak_series.h"
#include "resources/dlg_main_ids.h"
#include "shell/error_report.h"
#include "shell/host_link.h"
#include "ui/chart_control/chart_window_win.h"
#include "ui/dialogs/dlg_main_win.h"
#include "ui/form/window_utils_win.h"

namespace ionsift {
namespace {

using namespace dlg_main;

constexpr int kOutOfMemoryId = 52;

}  // namespace

void TDlgMain::PM_ResIsoDistClick(const FormEvent&) {
    const int row = SelectedResult();
    if (row < 0 || DbHandle().empty()) return;
    BusyCursor busy;
    const char* formula = results_.rows[static_cast<std::size_t>(row)].cells[kFormulaColumn];
    // As an ion: its own formula, drawn at its m/z. One the plug-in cannot
    // make (a formula it cannot take apart) leaves the chart as it is.
    const Ion& ion = SelectedIon();
    std::string ionFormula;
    if (IonFormula(formula ? formula : "", ion, ionFormula) != IonFormulaOutcome::Formula) return;
    // A failed request leaves the chart as it is; the host reports its own errors.
    if (SendCommand("IsoDist %s", ionFormula.c_str()) != 0) return;

    // The answer is copied before anything else goes to the host, and the
    // old distribution stays when there is no room for the copy.
    const char* answer = HostResultText();
    const std::size_t length = std::strlen(answer);
    std::unique_ptr<char[]> copy(new (std::nothrow) char[length + 1]);
    if (!copy) {
        ShowError(kOutOfMemoryId);
        return;
    }
    DeleteSeries(distSeries_);
    distSeries_ = nullptr;
    std::memcpy(copy.get(), answer, length + 1);
    distSeries_ = NewPeakSeries(kDistColour);
    try {
        // An answer without pairs leaves an empty series on the chart.
        ParseIonPeaks(distSeries_, copy.get(), ion);
    } catch (const std::bad_alloc&) {
        ShowError(kOutOfMemoryId);
    }
    ChartChanged(Control(TC_IsoChart));
    CalcRms();
    drawnIonFormula_ = ionFormula;
    drawnIon_ = &ion;
    ShowProfile();
    PM_IC_ZoomResetClick({});
}

ChartSeries* TDlgMain::NewPeakSeries(ChartColour colour) {
    SetChartTip("");
    ChartSeries* series = nullptr;
    if (ChartModel* chart = ChartModelOf(Control(TC_IsoChart))) {
        try {
            series = chart->AddSeries(std::make_unique<ChartSeries>(colour));
        } catch (const std::bad_alloc&) {
            series = nullptr;
        }
    }
    EnableChartMenu();
    return series;
}

void TDlgMain::DeleteSeries(ChartSeries* series) {
    if (!series) return;
    const HWND chart = Control(TC_IsoChart);
    if (ChartModel* model = ChartModelOf(chart)) model->RemoveSeries(series);
    ChartChanged(chart);
    EnableChartMenu();
}

}  // namespace ionsift
