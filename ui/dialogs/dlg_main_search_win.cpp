// TDlgMain: the Search button. The mass window goes to the host as one query;
// its answer becomes the rows of the results list.
#include <windows.h>

#include <string>

#include "resources/dlg_main_ids.h"
#include "ions/ion_window.h"
#include "search/mass_search.h"
#include "search/results_answer.h"
#include "shell/error_report.h"
#include "shell/host_link.h"
#include "ui/dialogs/dlg_main_win.h"
#include "text/locale_numbers.h"
#include "text/separators.h"
#include "ui/form/window_utils_win.h"

namespace ionsift {
namespace {

using namespace dlg_main;

constexpr int kOutOfMemoryId = 52;

}  // namespace

void TDlgMain::BT_SearchClick(const FormEvent&) {
    const char separator = LocaleDecimalSeparator();
    // Inputs that do not convert end the search before anything changes; a
    // mass that converted is kept even when the tolerance does not.
    double mass = 0.0, ppm = 0.0;
    if (!UserTextToReal(Text(STR_Mass), separator, mass)) return;
    searchMass_ = mass;
    if (!UserTextToReal(Text(STR_Ppm), separator, ppm)) return;
    searchPpm_ = ppm;
    int maxRows = 0;
    if (!UserTextToInt(Text(STR_MaxResults), maxRows)) return;

    // The typed value is the ion's m/z; for the neutral molecule, its mass.
    const MassWindow window = IonMassWindow(searchMass_, searchPpm_, SelectedIon());
    searchIon_ = &SelectedIon();
    BusyCursor busy;
    ReplaceResultRows();
    EnableResultsMenu();
    // The list and the count change once, when the search is over: "0"
    // unless rows came.
    const auto show = [this](const std::string& count) {
        SetText(LBL_FoundNumVal, count.c_str());
        ShowResultRows();
    };
    if (!WindowHoldsMasses(window)) {
        show("0");
        return;
    }

    const auto readMaximum = [this](int& rows) { return UserTextToInt(Text(STR_MaxResults), rows); };
    const bool answered =
        QueryMassWindow(database_, window, readMaximum) == MassQueryOutcome::Answered;
    const char* answer = answered ? HostResultText() : "";
    if (*answer == '\0') {
        show("0");
        return;
    }

    AnswerCounts counts;
    if (ReadResultsAnswer(answer, separator, rowIds_, results_, counts) != AnswerReading::Read) {
        show("0");
        ShowError(kOutOfMemoryId);
        return;
    }
    show(std::to_string(counts.newlines));
}

}  // namespace ionsift
