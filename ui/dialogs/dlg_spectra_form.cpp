#include "ui/dialogs/dlg_spectra_form.h"

#include "resources/dlg_spectra_ids.h"

namespace ionsift {
namespace {

using namespace dlg_spectra;

constexpr ControlRow kControls[] = {
#define CONTROL(id, kind, parent, left, top, width, height, anchors, options, caption, tab) \
    {id,      #id,     ControlKind::kind, parent, {left, top, width, height}, anchors,    \
     options, caption, tab,               kDefaultColour, kDefaultColour,  0, nullptr},
#include "resources/dlg_spectra_form.inc"
#undef CONTROL
};

template <typename T, int N>
constexpr int CountOf(const T (&)[N]) {
    return N;
}

// Stays on top like the tool window, which it would otherwise fall behind.
constexpr FormDescription kDlgSpectra{"DlgSpectra", Loc(104), kDlgSpectraClientWidth,
                                      kDlgSpectraClientHeight, kColourButtonFace, true,
                                      kControls, CountOf(kControls), nullptr, 0, nullptr, 0};

}  // namespace

const FormDescription& DlgSpectraForm() { return kDlgSpectra; }

}  // namespace ionsift
