// TDlgMain: measured peaks brought into the experimental edit from a spectrum
// file ("Open spectrum...") or from a peak table on the clipboard ("Paste
// spectrum"), then drawn as if Update had been pressed.
#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "resources/dlg_main_ids.h"
#include "shell/error_report.h"
#include "shell/plugin_state.h"
#include "shell/string_table.h"
#include "spectra/exdata_text.h"
#include "spectra/peak_table.h"
#include "spectra/spectrum_file.h"
#include "text/separators.h"
#include "text/shown_numbers.h"
#include "ui/dialogs/dlg_main_win.h"
#include "ui/dialogs/dlg_spectra_win.h"
#include "ui/form/window_utils_win.h"

namespace ionsift {
namespace {

using namespace dlg_main;

constexpr int kOutOfMemoryId = 52;
constexpr int kOpenFilterId = 102;
constexpr int kOpenTitleId = 103;
constexpr int kCantReadId = 113;
constexpr int kNoPeakInWindowId = 114;
constexpr int kClipboardId = 115;
constexpr int kNoPeakId = 116;
constexpr DWORD kOpenNameCapacity = 1024;
// The measured peaks written are those of the searched m/z's isotope
// pattern: from one below it to six above.
constexpr double kWindowBelow = 1.0;
constexpr double kWindowAbove = 6.0;

// Hook of the open dialog: once it exists, centre it over the tool window.
UINT_PTR CALLBACK OD_SpectrumShow(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto& request = *reinterpret_cast<const OPENFILENAMEA*>(lParam);
        CenterCommonDialog(CommonDialogKind::Open, hook, reinterpret_cast<HWND>(request.lCustData));
    }
    return 0;  // the dialog's own handling for every message
}

// Runs the open dialog, offering `fileName` (the last file opened, so its
// folder); on OK, `fileName` is the file chosen. False when cancelled.
bool RunOpenDialog(HWND owner, std::string& fileName) {
    // The filter's "|" separators become the NULs the dialog expects.
    std::string filter = LocString(kOpenFilterId);
    filter += '|';
    std::replace(filter.begin(), filter.end(), '|', '\0');
    std::string name(kOpenNameCapacity, '\0');
    fileName.copy(&name[0], std::min<std::size_t>(fileName.size(), name.size() - 1));

    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = filter.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = &name[0];
    request.nMaxFile = kOpenNameCapacity;
    request.lpstrTitle = LocString(kOpenTitleId);
    request.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING | OFN_HIDEREADONLY |
                    OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    request.lpfnHook = OD_SpectrumShow;
    request.lCustData = reinterpret_cast<LPARAM>(owner);
    if (!GetOpenFileNameA(&request)) return false;
    fileName = name.c_str();
    return true;
}

// The ANSI name as the file system's own UTF-16, which the readers open;
// a conversion through the C locale would lose what is beyond ASCII.
std::filesystem::path WidePath(const std::string& ansi) {
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &wide[0], length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return std::filesystem::path(wide);
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The clipboard's text; false when it holds none. The text is never read
// beyond the clipboard's block, even when the block lacks its NUL.
bool ReadClipboardText(HWND owner, std::string& text) {
    if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(owner)) return false;
    bool read = false;
    if (const HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const auto* bytes = static_cast<const char*>(GlobalLock(data))) {
            try {
                text.assign(bytes, strnlen(bytes, GlobalSize(data)));
                read = true;
            } catch (const std::bad_alloc&) {
                GlobalUnlock(data);
                CloseClipboard();
                throw;
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return read;
}

// The problem as the message names it. The message command quotes its
// text, so a quote in a reason becomes an apostrophe.
std::string ProblemText(const SpectrumFileProblem& problem, const std::string& source) {
    std::string text = problem.Message(source);
    std::replace(text.begin(), text.end(), '"', '\'');
    return text;
}

std::string ShownMz(double mz) {
    std::string text = FormatRounded(mz, 4);
    ToLocalSeparator(text);
    return text;
}

}  // namespace

std::optional<double> TDlgMain::SpectrumWindowCentre() const {
    if (searchMass_ > 0.0) return searchMass_;
    return std::nullopt;
}

bool TDlgMain::WriteMeasuredPeaks(const std::vector<TPeak>& peaks, const std::string& source) {
    const std::optional<double> centre = SpectrumWindowCentre();
    std::string text = ExDataText(peaks, centre);
    if (text.empty()) {
        if (centre) {
            ShowError(kNoPeakInWindowId, source.c_str(), ShownMz(*centre - kWindowBelow).c_str(),
                      ShownMz(*centre + kWindowAbove).c_str());
        } else {
            ShowError(kNoPeakId, source.c_str());
        }
        return false;
    }
    // The edit holds the user's separator, as typed text and "Send to exp." do.
    ToLocalSeparator(text);
    SetText(ME_ExData, text.c_str());
    BT_ExUpdateClick({});
    return true;
}

void TDlgMain::PM_ExOpenSpectrumClick(const FormEvent&) {
    try {
        std::string path = spectrumFileName_;
        if (!RunOpenDialog(Handle(), path)) return;
        spectrumFileName_ = path;
        const std::string name = BaseName(path);
        const std::filesystem::path file = WidePath(path);

        SpectrumListing listing;
        SpectrumFileProblem problem;
        bool listed = false;
        {
            BusyCursor busy;
            listed = ListSpectra(file, listing, problem);
        }
        if (!listed) {
            ShowError(kCantReadId, ProblemText(problem, name).c_str());
            return;
        }
        std::size_t chosen = 0;
        if (listing.entries.size() > 1) {
            const std::optional<std::size_t> picked =
                PickSpectrum(Handle(), static_cast<HINSTANCE>(ThePlugin().module), listing, name);
            if (!picked) return;
            chosen = *picked;
        }
        Spectrum spectrum;
        bool read = false;
        {
            BusyCursor busy;
            read = ReadListedSpectrum(file, listing, chosen, spectrum, problem);
        }
        if (!read) {
            ShowError(kCantReadId, ProblemText(problem, name).c_str());
            return;
        }
        WriteMeasuredPeaks(spectrum.peaks, name);
    } catch (const std::bad_alloc&) {
        ShowError(kOutOfMemoryId);
    }
}

void TDlgMain::PM_ExPasteSpectrumClick(const FormEvent&) {
    try {
        std::string text;
        if (!ReadClipboardText(Handle(), text)) return;
        const std::string source = LocString(kClipboardId);
        std::vector<TPeak> peaks;
        SpectrumFileProblem problem;
        bool read = false;
        {
            BusyCursor busy;
            read = ReadPeakTable(text, peaks, problem);
        }
        if (!read) {
            ShowError(kCantReadId, ProblemText(problem, source).c_str());
            return;
        }
        WriteMeasuredPeaks(peaks, source);
    } catch (const std::bad_alloc&) {
        ShowError(kOutOfMemoryId);
    }
}

}  // namespace ionsift
