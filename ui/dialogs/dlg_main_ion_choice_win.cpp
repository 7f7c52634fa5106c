// TDlgMain: the ions searched for. CB_Ion lists the neutral molecule, the
// built-in ions, the user's own and, last, the entry that opens the Ions
// dialog, where several are chosen; the settings keep the choice and the
// user's own ions, and the mass label says whether the typed value is a
// mass or an m/z.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "resources/dlg_main_ids.h"
#include "shell/plugin_state.h"
#include "shell/settings.h"
#include "shell/string_table.h"
#include "ui/dialogs/dlg_ions_win.h"
#include "ui/dialogs/dlg_main_win.h"

namespace ionsift {
namespace {

using namespace dlg_main;

constexpr int kMassLabelId = 16;
constexpr int kNeutralEntryId = 55;
constexpr int kMzLabelId = 57;
constexpr int kDialogEntryId = 65;
constexpr int kIonCountId = 66;
// Room for every built-in ion and a few hundred of the user's own.
constexpr std::size_t kIonListLimit = 16384;

std::string EntryText(const IonEntry& entry, std::size_t chosen) {
    switch (entry.kind) {
        case IonEntryKind::Several: {
            char text[128];
            std::snprintf(text, sizeof text, LocFormat(kIonCountId), static_cast<int>(chosen));
            return text;
        }
        case IonEntryKind::Dialog:
            return LocString(kDialogEntryId);
        case IonEntryKind::Ion:
        default:
            // The neutral molecule is named in the user's language; notations are not.
            return entry.notation == NeutralIon().notation ? LocString(kNeutralEntryId)
                                                           : entry.notation;
    }
}

}  // namespace

std::vector<const Ion*> TDlgMain::ChosenIons() const {
    std::vector<const Ion*> ions;
    for (const std::string& notation : ionChoice_.chosen) {
        if (const Ion* ion = ResolveIon(notation, ionChoice_.own)) ions.push_back(ion);
    }
    if (ions.empty()) ions.push_back(&NeutralIon());
    return ions;
}

bool TDlgMain::NeutralChosen() const {
    const std::vector<const Ion*> ions = ChosenIons();
    return ions.size() == 1 && IsNeutral(*ions.front());
}

void TDlgMain::FillIonSelector() {
    const HWND selector = Control(CB_Ion);
    ionEntries_ = IonSelectorEntries(ionChoice_);
    SendMessageA(selector, CB_RESETCONTENT, 0, 0);
    for (const IonEntry& entry : ionEntries_) {
        const std::string text = EntryText(entry, ionChoice_.chosen.size());
        SendMessageA(selector, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SelectChoiceEntry();
}

void TDlgMain::SelectChoiceEntry() {
    ionEntry_ = ChoiceEntryIndex(ionEntries_, ionChoice_);
    SendMessageA(Control(CB_Ion), CB_SETCURSEL, static_cast<WPARAM>(ionEntry_), 0);
    ShowMassLabel();
}

void TDlgMain::ApplyIonSetting(bool useDefaults) {
    // Missing or damaged: the neutral molecule, no ions of the user's own.
    const std::string ion = ReadSetting(kSettingIon, useDefaults);
    const std::string set = ReadLongSetting(kSettingIonSet, useDefaults, kIonListLimit);
    const std::string own = ReadLongSetting(kSettingUserIons, useDefaults, kIonListLimit);
    ionChoice_ = IonChoiceFromSettings(ion, set, own);
    if (!useDefaults) loadedIonTexts_ = IonChoiceSettings(ionChoice_, ion);
    FillIonSelector();
}

void TDlgMain::SaveIonSetting(const IonChoice& choice) {
    // Only a changed value is written: files without the keys stay without them.
    const IonSettingTexts texts = IonChoiceSettings(choice, loadedIonTexts_.ion);
    if (texts.ion != loadedIonTexts_.ion) WriteSetting(kSettingIon, texts.ion.c_str());
    if (texts.set != loadedIonTexts_.set) WriteSetting(kSettingIonSet, texts.set.c_str());
    if (texts.own != loadedIonTexts_.own) WriteSetting(kSettingUserIons, texts.own.c_str());
    loadedIonTexts_ = texts;
}

void TDlgMain::ShowMassLabel() {
    const char* caption = LocString(NeutralChosen() ? kMassLabelId : kMzLabelId);
    if (Text(LBL_Mass) != caption) SetText(LBL_Mass, caption);
}

void TDlgMain::CB_IonChange(const FormEvent&) {
    const LRESULT index = SendMessageA(Control(CB_Ion), CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= ionEntries_.size()) return;
    const IonEntry entry = ionEntries_[static_cast<std::size_t>(index)];
    switch (entry.kind) {
        case IonEntryKind::Ion:
            ionChoice_.chosen = {entry.notation};
            break;
        case IonEntryKind::Several:
            return;  // the set chosen already
        case IonEntryKind::Dialog:
            if (!ChooseSeveralIons()) {
                SelectChoiceEntry();
                return;
            }
            break;
    }
    FillIonSelector();
    ThePlugin().settingsChanged = 1;
}

bool TDlgMain::ChooseSeveralIons() {
    const std::optional<IonChoice> chosen =
        RunIonsDialog(Handle(), static_cast<HINSTANCE>(ThePlugin().module), ionChoice_);
    if (!chosen) return false;
    ionChoice_ = *chosen;
    return true;
}

}  // namespace ionsift
