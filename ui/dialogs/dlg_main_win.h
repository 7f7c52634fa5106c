// TDlgMain, the plug-in's modeless, stay-on-top tool window: search inputs
// and database selector, results list, experimental peaks and isotope chart.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ions/ion_cells.h"
#include "ions/ion_ranking.h"
#include "search/database_connection.h"
#include "search/merged_results.h"
#include "search/result_rows.h"
#include "chart/chart_model.h"
#include "isotopes/peak_compare.h"
#include "ui/dialogs/column_split.h"
#include "ui/dialogs/ion_choice.h"
#include "ui/form/form_win.h"

namespace ionsift {

struct EditMenu;

// The list's Ion column: the last by index, so that the others keep theirs,
// and shown after Name.
constexpr int kIonNameColumn = kListColumnCount;
constexpr int kIonNamePosition = kResultColumnCount;

// The results list draws nothing while its rows change, not even the scroll
// bars it would otherwise redraw at once on every change (each such drawing
// costs milliseconds under some window systems), and is drawn once when the
// change is done: its rows, and its frame and header only when the scroll
// bars changed; a list empty before and after is not drawn at all.
class ListPaintPause {
public:
    explicit ListPaintPause(HWND list);
    ~ListPaintPause();
    ListPaintPause(const ListPaintPause&) = delete;
    ListPaintPause& operator=(const ListPaintPause&) = delete;

private:
    HWND list_;
    LONG frameStyle_ = 0;   // scroll bars shown before the change
    SCROLLINFO vertical_{};
    SCROLLINFO horizontal_{};
    int rowsBefore_ = 0;
};

class TDlgMain : public Form {
public:
    TDlgMain() = default;
    ~TDlgMain() override;

    // The creation steps: window and controls, client size, window-opened
    // callback, size limits, icon, captions, edit menu, placement.
    bool Create();
    // Shows the window without modality (the first show restores the
    // settings and opens the saved database).
    void Show();
    // As the title-bar button does: hides the window, which keeps its state.
    void Close();
    // Writes the inputs: from the controls while the window exists, else as
    // they were when it was destroyed.
    void SaveSettings();
    // The window-closed callback with the window that was opened, once
    // whoever ends it: the plug-in's release or its owner's destruction.
    void ReportClosed();

    const std::string& DbHandle() const { return database_.DbHandle(); }
    const std::string& DbName() const { return database_.DbName(); }
    // The mass and tolerance of the last search; 0 before the first.
    double SearchMass() const { return searchMass_; }
    double SearchPpm() const { return searchPpm_; }
    // The rows of the results list in the order shown, and the row selected
    // in it (-1 for none).
    const std::vector<ResultRow>& ResultList() const { return results_.rows; }
    int SelectedResult() const;
    // The column under the mouse when the results popup last opened; -1
    // when the mouse was over no row.
    int ClickedColumn() const { return clickedColumn_; }

    // Handlers, as the routing table names them.
    void CB_DatabaseChange(const FormEvent& event);
    void EnableButtons(const FormEvent& event);
    void OnKeyChkPosFloat(const FormEvent& event);
    void OnKeyChkPosInt(const FormEvent& event);
    void BT_DefaultClick(const FormEvent& event);
    void SB_StatusDrawPanel(const FormEvent& event);
    void ME_ExDataChange(const FormEvent& event);
    void LV_ResultsSelectItem(const FormEvent& event);
    void BT_SearchClick(const FormEvent& event);
    void LV_ResultsColumnClick(const FormEvent& event);
    void PM_ResultsPopup(const FormEvent& event);
    void PM_ResShowClick(const FormEvent& event);
    void LV_ResultsItemText(const FormEvent& event);
    void LV_ResultsFindItem(const FormEvent& event);
    // Isotopic distribution, experimental peaks and the chart.
    void PM_ResIsoDistClick(const FormEvent& event);
    void ME_ExDataKeyPress(const FormEvent& event);
    void BT_ExUpdateClick(const FormEvent& event);
    void TC_IsoChartMouseMove(const FormEvent& event);
    void PM_IC_CopyChartClick(const FormEvent& event);
    void PM_IC_CopyDataClick(const FormEvent& event);
    void PM_IC_SendExpClick(const FormEvent& event);
    void PM_IC_ZoomInClick(const FormEvent& event);
    void PM_IC_ZoomOutClick(const FormEvent& event);
    void PM_IC_ZoomResetClick(const FormEvent& event);
    void PM_IC_PrintClick(const FormEvent& event);
    // Measured peaks from a spectrum file or the clipboard
    // (dlg_main_spectrum_win.cpp).
    void PM_ExOpenSpectrumClick(const FormEvent& event);
    void PM_ExPasteSpectrumClick(const FormEvent& event);
    // The candidate's profile at the resolving power (dlg_main_profile_win.cpp).
    void PM_IC_ShowProfileClick(const FormEvent& event);
    // Exports of the results list.
    void PM_ResCopyClick(const FormEvent& event);
    void PM_ResCopyRowClick(const FormEvent& event);
    void PM_ResCopyAllClick(const FormEvent& event);
    void PM_ResSaveClick(const FormEvent& event);
    void PM_ResExcelClick(const FormEvent& event);
    // Ion search and ranking (dlg_main_ions_win.cpp).
    void CB_IonChange(const FormEvent& event);
    void PM_ResRankClick(const FormEvent& event);
    void PM_ResCopyTableClick(const FormEvent& event);
    // The ions chosen in CB_Ion (or its Ions dialog), in the order searched;
    // the neutral molecule alone by default.
    std::vector<const Ion*> ChosenIons() const;
    const IonChoice& Choice() const { return ionChoice_; }
    // The ion the row was searched as.
    const Ion& RowIon(const ResultRow& row) const;

    void EnableButtons();
    void EnableResultsMenu();
    void EnableChartMenu();
    void EnableExUpdate();
    // The chart's peak series: created attached to the chart (null when that
    // failed), detached and destroyed; the RMS title; the distribution rows.
    ChartSeries* NewPeakSeries(ChartColour colour);
    void DeleteSeries(ChartSeries* series);
    void CalcRms();
    std::string GetDistText() const;
    void ApplySettings(bool useDefaults);
    void CloseDatabase();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnEvent(const FormEvent& event) override;

private:
    void OnFormShow();
    void OnFormResize();
    void OnFormDestroy();
    void OnEditShortcutKey(HWND control);
    void RefreshCatalogue();
    std::vector<std::string> SelectorEntries() const;
    int SelectedDatabase() const;
    std::string SelectedDatabaseText() const;
    void SelectDatabase(int index);
    // The list emptied (RowIds are kept).
    void ClearResultRows();
    // The rows dropped for a search's new ones: the list keeps its count,
    // with no row selected and the first at the top, until ShowResultRows
    // gives it the new count and draws what changed.
    void ReplaceResultRows();
    void ShowResultRows();
    // The pointer readout's tooltip over the chart: its text (empty: none)
    // and whether tooltips show.
    void CreateChartTip();
    void SetChartTip(const std::string& text);
    // The ion selector, its setting and the mass label it words; the ion
    // cells of the rows (error and RMS), their sorting, the ranking and the
    // popup rows that lead to it.
    void FillIonSelector();
    void SelectChoiceEntry();
    void ApplyIonSetting(bool useDefaults);
    void SaveIonSetting(const IonChoice& choice);
    bool NeutralChosen() const;
    // Runs the Ions dialog over the current choice; true when it was accepted.
    bool ChooseSeveralIons();
    // The Ion column, shown after Name whenever ions are searched.
    void ShowIonColumn(bool shown);
    void SearchSeveralIons(char separator, const std::function<void(const std::string&)>& show);
    // A line in the status bar (why the chart shows nothing); "" removes it.
    void ShowStatusMessage(const std::string& text);
    // The chart emptied of the distribution, its profile and its title.
    void ClearDistribution();
    void ShowMassLabel();
    void ClearIonCells();
    void EnsureIonCells();
    double ErrorOf(const ResultRow& row, char separator) const;
    std::string IonCellText(const ResultRow& row, int column) const;
    void SortIonColumn(int column, bool descending);
    void SortByIon(bool descending);
    void RankEachIon(const std::vector<TPeak>& measured, const RankProgress& progress,
                     const FitSettings& fit);
    void RankRows();
    void SyncIonMenuRows();
    void CopyIonCell(int column);
    void DrawRankProgress(const DRAWITEMSTRUCT& item) const;
    // The m/z whose isotope pattern measured peaks are cut to: the last
    // search's, nothing before a search. The peaks written into the
    // experimental edit, then drawn; false (after a message) when none is
    // left to write.
    std::optional<double> SpectrumWindowCentre() const;
    bool WriteMeasuredPeaks(const std::vector<TPeak>& peaks, const std::string& source);
    // The Resolution edit and its setting; its value, or the default where
    // it holds no usable number.
    void ApplyResolutionSetting(bool useDefaults);
    void SaveResolutionSetting(const std::string& text);
    double ResolvingPower() const;
    // The profile and centroids of the drawn candidate, over the measured
    // sticks while "Show profile" is checked; none otherwise.
    void ShowProfile();
    void RemoveProfile();

    // What SaveSettings writes, as the controls hold it.
    struct SettingsInputs {
        std::string mass, maxResults, ppm, database;
        IonChoice ions;
        std::string resolution;
    };
    SettingsInputs ReadSettingsInputs() const;

    DatabaseConnection database_;  // DbHandle and DbName
    HWND openedHandle_ = nullptr;   // the handle the window-opened callback got
    bool closedReported_ = false;
    SettingsInputs lastInputs_;     // read when the window was destroyed
    bool firstShowPending_ = false;
    bool sizingReady_ = false;
    ColumnBase base_;  // BaseRightLeft, BaseRightWidth, BaseLeftWidth, BaseFormWidth
    POINT minimumTrackSize_{0, 0};
    double searchMass_ = 0.0;              // SearchMass
    double searchPpm_ = 0.0;               // SearchPpm
    RowIdTable rowIds_;                    // RowIds: molecule IDs of the result rows
    ResultRows results_;                   // the rows the list shows, in its order
    int sortColumn_ = 0;                   // SortColumn
    int sortDescending_ = 0;               // SortDescending
    int columnTags_[kListColumnCount + 1] = {};  // per column: the next click sorts descending
    int clickedColumn_ = 0;
    ChartSeries* distSeries_ = nullptr;     // computed distribution, attached to the chart
    ChartSeries* exSeries_ = nullptr;       // experimental peaks, attached to the chart
    EditMenu* editMenu_ = nullptr;          // released by DestroyEditMenu
    EditMenu* exDataMenu_ = nullptr;        // ME_ExData's: the edit rows and the spectrum rows
    std::string spectrumFileName_;          // the spectrum file last opened, offered again
    HWND chartTip_ = nullptr;               // tooltip control of the chart readout
    std::string chartTipText_;              // the window's tooltip text
    int saveFilterIndex_ = 1;               // SD_Results: file type of the last save
    std::string saveFileName_;              // SD_Results: file name of the last save
    IonChoice ionChoice_;                   // what CB_Ion shows: the ions searched next
    std::vector<IonEntry> ionEntries_;      // CB_Ion's entries
    IonSettingTexts loadedIonTexts_;        // ION, IONSET, USERIONS as the settings gave them
    int ionEntry_ = 0;                      // CB_Ion's entry before the last pick
    std::vector<const Ion*> searchIons_;    // the ions of the last search
    SlotTags slotIons_;                     // per RowIds slot: its ion in searchIons_
                                            // (empty: all are the first)
    bool ionColumnShown_ = false;
    IonCells ionCells_;                     // per RowIds slot: error and RMS, once needed
    bool rankingShown_ = false;             // the Rms column holds a ranking
    std::size_t rankDone_ = 0;              // ranking progress for the status panel;
    std::size_t rankTotal_ = 0;             // 0 total: none shown
    std::string loadedResolution_;          // STR_Resolution as the settings gave it
    bool showProfile_ = false;              // PM_IC_ShowProfile is checked
    std::string drawnIonFormula_;           // the ion formula the chart's distribution is of
    const Ion* drawnIon_ = nullptr;         // and its ion
    ChartSeries* profileSeries_ = nullptr;  // the profile as a line, attached to the chart
    ChartSeries* centroidSeries_ = nullptr; // its centroids as sticks, attached to the chart
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
};

// The single instance: null until the first request shows it.
TDlgMain* DlgMain();
// Creates the window on first use, or anew when it was destroyed from
// outside, and shows it.
void ShowDlgMain();
// The plug-in's release: window-closed callback with the window's handle,
// close, settings saved when they changed, then the window destroyed. A
// window its owner already destroyed was reported then, and its inputs are
// saved as it left them.
void ReleaseDlgMain();

}  // namespace ionsift
