// TDlgMain: the Search button. Each ion's mass window goes to the host as
// one query; the answers become the rows of the results list, merged by
// mass and ion when several ions are searched.
#include <windows.h>

#include <new>
#include <string>
#include <vector>

#include "resources/dlg_main_ids.h"
#include "ions/ion_window.h"
#include "search/mass_search.h"
#include "search/merged_results.h"
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
    // Every input is converted before any is kept: an attempt that fails
    // leaves the last search's values, and the errors the list shows from
    // them, as they were.
    double mass = 0.0, ppm = 0.0;
    int maxRows = 0;
    if (!UserTextToReal(Text(STR_Mass), separator, mass) ||
        !UserTextToReal(Text(STR_Ppm), separator, ppm) ||
        !UserTextToInt(Text(STR_MaxResults), maxRows)) {
        return;
    }
    searchMass_ = mass;
    searchPpm_ = ppm;

    BusyCursor busy;
    ShowStatusMessage("");
    ReplaceResultRows();
    // The list remembers the ions it was searched with, whatever the
    // selector shows later.
    searchIons_ = ChosenIons();
    ShowIonColumn(searchIons_.size() > 1 || !IsNeutral(*searchIons_.front()));
    EnableResultsMenu();
    // The list and the count change once, when the search is over: "0"
    // unless rows came.
    const auto show = [this](const std::string& count) {
        SetText(LBL_FoundNumVal, count.c_str());
        ShowResultRows();
    };
    if (searchIons_.size() > 1) {
        SearchSeveralIons(separator, show);
        return;
    }

    // The typed value is the ion's m/z; for the neutral molecule, its mass.
    const MassWindow window = IonMassWindow(searchMass_, searchPpm_, *searchIons_.front());
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

// One query per ion, with Max. results each; a failed query (after its
// reopen) leaves the list empty, as a single ion's does, rather than show
// the other ions' rows as if they were all.
void TDlgMain::SearchSeveralIons(char separator, const std::function<void(const std::string&)>& show) {
    const auto readMaximum = [this](int& rows) { return UserTextToInt(Text(STR_MaxResults), rows); };
    std::size_t count = 0;
    try {
        std::vector<ResultPart> parts(searchIons_.size());
        for (std::size_t i = 0; i < searchIons_.size(); ++i) {
            const MassWindow window = IonMassWindow(searchMass_, searchPpm_, *searchIons_[i]);
            if (!WindowHoldsMasses(window)) continue;
            if (QueryMassWindow(database_, window, readMaximum) != MassQueryOutcome::Answered) {
                show("0");
                return;
            }
            const char* answer = HostResultText();
            if (*answer == '\0') continue;
            AnswerCounts counts;
            if (ReadResultsAnswer(answer, separator, parts[i].ids, parts[i].rows, counts) !=
                AnswerReading::Read) {
                throw std::bad_alloc();
            }
            count += counts.newlines;
        }
        MergeResultParts(parts, separator, rowIds_, results_, slotIons_);
    } catch (const std::bad_alloc&) {
        results_.Clear();
        slotIons_.clear();
        show("0");
        ShowError(kOutOfMemoryId);
        return;
    }
    show(std::to_string(count));
}

}  // namespace ionsift
