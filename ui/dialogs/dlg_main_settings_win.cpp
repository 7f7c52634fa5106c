// TDlgMain: the settings bound to its inputs, the reset to defaults, the key
// handlers and the enabling rules.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "resources/dlg_main_ids.h"
#include "search/database_catalogue.h"
#include "shell/plugin_state.h"
#include "shell/settings.h"
#include "ui/chart_control/chart_window_win.h"
#include "ui/dialogs/dlg_main_win.h"
#include "ui/dialogs/resolution_input.h"
#include "ui/dialogs/search_button_rule.h"
#include "text/separators.h"
#include "ui/form/window_utils_win.h"

namespace ionsift {
namespace {

using namespace dlg_main;

// The result-list entries that need a selected row.
constexpr int kRowMenuItems[] = {PM_ResCopy,    PM_ResCopyRow, PM_ResCopyAll, PM_ResExcel,
                                 PM_ResIsoDist, PM_ResSave,    PM_ResShow};
// The chart entries that need a series on the chart.
constexpr int kSeriesMenuItems[] = {PM_IC_CopyChart, PM_IC_CopyData,  PM_IC_Print,
                                    PM_IC_ZoomIn,    PM_IC_ZoomOut,   PM_IC_ZoomReset};

}  // namespace

void TDlgMain::ApplySettings(bool useDefaults) {
    // Each read reuses the settings' buffer: copy before the next one.
    const std::string database = ReadSetting(kSettingDatabase, useDefaults);
    // Each text fires EnableButtons through the edit's change event.
    SetText(STR_Mass, ReadSetting(kSettingMass, useDefaults));
    SetText(STR_MaxResults, ReadSetting(kSettingMaxResults, useDefaults));
    SetText(STR_Ppm, ReadSetting(kSettingPpm, useDefaults));
    SelectDatabase(EntryIndexIgnoringCase(SelectorEntries(), database));
    ApplyIonSetting(useDefaults);
    ApplyResolutionSetting(useDefaults);
}

void TDlgMain::ApplyResolutionSetting(bool useDefaults) {
    const std::string text = ReadSetting(kSettingResolution, useDefaults);
    SetText(STR_Resolution, text.c_str());
    if (!useDefaults) loadedResolution_ = text;
}

void TDlgMain::SaveResolutionSetting(const std::string& text) {
    // Only a changed value is written: files without the key stay without it.
    if (text.empty() || text == loadedResolution_) return;
    WriteSetting(kSettingResolution, text.c_str());
    loadedResolution_ = text;
}

double TDlgMain::ResolvingPower() const {
    return static_cast<double>(ResolvingPowerOf(Text(STR_Resolution)));
}

TDlgMain::SettingsInputs TDlgMain::ReadSettingsInputs() const {
    const int index = SelectedDatabase();
    return {Text(STR_Mass), Text(STR_MaxResults), Text(STR_Ppm),
            index > 0 ? SelectedDatabaseText() : "None", &SelectedIon(), Text(STR_Resolution)};
}

void TDlgMain::SaveSettings() {
    const SettingsInputs inputs = Handle() ? ReadSettingsInputs() : lastInputs_;
    WriteRealSetting(kSettingMass, inputs.mass.c_str());
    WriteSetting(kSettingMaxResults, inputs.maxResults.c_str());
    WriteRealSetting(kSettingPpm, inputs.ppm.c_str());
    WriteSetting(kSettingDatabase, inputs.database.c_str());
    if (inputs.ion) SaveIonSetting(*inputs.ion);
    SaveResolutionSetting(inputs.resolution);
}

void TDlgMain::BT_DefaultClick(const FormEvent&) {
    BusyCursor busy;
    {
        const ListPaintPause pause(Control(LV_Results));
        ClearResultRows();
    }
    SetText(ME_ExData, "");
    RemoveProfile();
    DeleteSeries(distSeries_);
    DeleteSeries(exSeries_);
    drawnIonFormula_.clear();
    drawnIon_ = nullptr;
    const HWND chart = Control(TC_IsoChart);
    // Hidden, its text kept: a copy, since setting the window text sets the title.
    if (const ChartModel* model = ChartModelOf(chart)) {
        const std::string title = model->Title();
        ChartSetTitle(chart, title, false);
    }
    distSeries_ = exSeries_ = nullptr;
    // The selector shows the prompt; the open database stays open.
    ApplySettings(true);
    EnableButtons();
    EnableChartMenu();
    EnableExUpdate();
    EnableResultsMenu();
    ThePlugin().settingsChanged = 1;
}

void TDlgMain::OnKeyChkPosFloat(const FormEvent& event) {
    FilterRealKey(event.sender, *event.key, true);
    ThePlugin().settingsChanged = 1;
}

void TDlgMain::OnKeyChkPosInt(const FormEvent& event) {
    FilterIntKey(event.sender, *event.key, true);
    ThePlugin().settingsChanged = 1;
}

// Ctrl+V, Ctrl+X and Ctrl+Z are key presses in the input as well, although
// the edit menu keeps their characters from the key filters: a value pasted
// from the keyboard is saved like a typed one. Copy and select all change
// nothing, and the menu does not report them.
void TDlgMain::OnEditShortcutKey(HWND control) {
    for (int input : {STR_Mass, STR_Ppm, STR_MaxResults, STR_Resolution}) {
        if (control == Control(input)) ThePlugin().settingsChanged = 1;
    }
}

void TDlgMain::EnableButtons(const FormEvent&) { EnableButtons(); }

void TDlgMain::EnableButtons() {
    const std::string mass = Text(STR_Mass);
    const std::string maxResults = Text(STR_MaxResults);
    const std::string ppm = Text(STR_Ppm);
    const SearchInputs inputs{DbHandle(), mass,  maxResults, ppm, SelectedDatabase(),
                              LocaleDecimalSeparator()};
    Enable(BT_Search, SearchEnabled(inputs));
}

void TDlgMain::EnableResultsMenu() {
    const bool rowSelected =
        ListView_GetNextItem(Control(LV_Results), -1, LVNI_SELECTED) >= 0;
    for (int item : kRowMenuItems) EnableMenuItem(item, rowSelected);
}

void TDlgMain::EnableChartMenu() {
    // From the chart itself: a series just created is not yet referenced.
    const ChartModel* chart = ChartModelOf(Control(TC_IsoChart));
    const bool hasSeries = chart && chart->SeriesCount() > 0;
    for (int item : kSeriesMenuItems) EnableMenuItem(item, hasSeries);
}

void TDlgMain::EnableExUpdate() {
    Enable(BT_ExUpdate, exSeries_ != nullptr || !Text(ME_ExData).empty());
}

void TDlgMain::ME_ExDataChange(const FormEvent&) { EnableExUpdate(); }

void TDlgMain::LV_ResultsSelectItem(const FormEvent&) { EnableResultsMenu(); }

}  // namespace ionsift
