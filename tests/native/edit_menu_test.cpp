// The edit menu's rows and enabling rule, and the paste filter per flag set
// of the main window's edits.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ui/form/edit_menu_items.h"
#include "ui/form/paste_filter.h"

namespace ionsift {
namespace {

constexpr std::uint32_t kExDataFlags = 0x23;
constexpr std::uint32_t kRealEditFlags = 0x21;
constexpr std::uint32_t kMaxResultsFlags = 0x41;

TEST(PasteFilter, MassAndTolerancePasteOneNumberInTheSeparator) {
    EXPECT_EQ(FilterPasteText("150.3 Da", kRealEditFlags, ','), "150,3");
    EXPECT_EQ(FilterPasteText("150.3 Da", kRealEditFlags, '.'), "150.3");
    EXPECT_EQ(FilterPasteText("150,3", kRealEditFlags, ','), "150,3");
    // A comma is no separator under a point locale: dropped as any letter.
    EXPECT_EQ(FilterPasteText("150,3", kRealEditFlags, '.'), "1503");
    EXPECT_EQ(FilterPasteText("-2.5ppm", kRealEditFlags, '.'), "2.5");
    EXPECT_EQ(FilterPasteText("\t12", kRealEditFlags, '.'), "");  // a leading blank ends it at once
    EXPECT_EQ(FilterPasteText("abc", kRealEditFlags, '.'), "");
}

TEST(PasteFilter, MaximumPastesDigitsOnly) {
    EXPECT_EQ(FilterPasteText("-5", kMaxResultsFlags, '.'), "5");
    EXPECT_EQ(FilterPasteText("2.5", kMaxResultsFlags, '.'), "25");
    EXPECT_EQ(FilterPasteText("2,5", kMaxResultsFlags, ','), "25");
    EXPECT_EQ(FilterPasteText("1 000", kMaxResultsFlags, '.'), "1");
}

TEST(PasteFilter, ExperimentalDataKeepsBlanksAndLineBreaks) {
    const std::string peaks = "180.0634\t100.0\r\n181.0667\t6.7 %\nmass";
    EXPECT_EQ(FilterPasteText(peaks, kExDataFlags, ','), "180,0634\t100,0\r\n181,0667\t6,7 \n");
    EXPECT_EQ(FilterPasteText("-1.5 +2", kExDataFlags, '.'), "1.5 2");
}

TEST(PasteFilter, SignsStayWithoutTheDropFlagAndSeparatorsGoWithoutTheirFlag) {
    EXPECT_EQ(FilterPasteText("+1.5e-3", 0x20, '.'), "+1.5-3");
    EXPECT_EQ(FilterPasteText("+1.5", 0x02, '.'), "+15");
    EXPECT_EQ(FilterPasteText("1.5", 0x40 | 0x20, ','), "1,5");  // keeping wins when both are set
}

TEST(PasteFilter, FlagsZeroOrUnfilteredPasteAsItIs) {
    EXPECT_TRUE(PastesUnfiltered(0));
    EXPECT_TRUE(PastesUnfiltered(0x10));
    EXPECT_TRUE(PastesUnfiltered(0x10 | kRealEditFlags));
    EXPECT_FALSE(PastesUnfiltered(kRealEditFlags));
    EXPECT_FALSE(PastesUnfiltered(0x04));  // an unknown bit still filters
    EXPECT_EQ(FilterPasteText("abc 1.5", 0x10, ','), "abc 1.5");
    EXPECT_EQ(FilterPasteText("abc1.5 2", 0x04, ','), "15");
}

TEST(EditMenuItems, ShortcutsNeedExactlyTheirModifiers) {
    const EditMenuItem* paste = FindEditShortcut('V', true, false, false);
    ASSERT_NE(paste, nullptr);
    EXPECT_EQ(paste->command, EditCommand::Paste);
    EXPECT_EQ(paste->controlChar, 0x16);
    EXPECT_STREQ(paste->shortcutText, "Ctrl+V");
    EXPECT_EQ(FindEditShortcut('V', false, false, false), nullptr);  // a plain "v" is typing
    EXPECT_EQ(FindEditShortcut('V', true, true, false), nullptr);
    EXPECT_EQ(FindEditShortcut('V', true, false, true), nullptr);     // AltGr is Ctrl+Alt
    const EditMenuItem* del = FindEditShortcut(0x2E, false, false, false);
    ASSERT_NE(del, nullptr);
    EXPECT_EQ(del->command, EditCommand::Delete);
    EXPECT_EQ(FindEditShortcut(0x2E, true, false, false), nullptr);
    EXPECT_EQ(FindEditShortcut(0x2E, false, true, false), nullptr);  // Shift+Del is the edit's cut
}

TEST(EditMenuItems, EnablingFollowsTextSelectionUndoAndClipboard) {
    using C = EditCommand;
    auto enabled = [](const EditMenuContext& context) {
        std::set<C> on;
        for (C c : {C::Undo, C::Cut, C::Copy, C::Paste, C::Delete, C::SelectAll}) {
            if (EditCommandEnabled(c, context)) on.insert(c);
        }
        return on;
    };
    // An empty edit: only Paste (clipboard text) and Undo (can undo).
    EXPECT_EQ(enabled({false, 0, 0, 0, false}), std::set<C>{});
    EXPECT_EQ(enabled({true, 0, 0, 0, true}), (std::set<C>{C::Undo, C::Paste}));
    // Text, caret only.
    EXPECT_EQ(enabled({false, 5, 2, 2, false}), (std::set<C>{C::Delete, C::SelectAll}));
    // Part of the text selected.
    EXPECT_EQ(enabled({false, 5, 1, 3, false}),
              (std::set<C>{C::Cut, C::Copy, C::Delete, C::SelectAll}));
    // All of it selected: nothing more to select.
    EXPECT_EQ(enabled({false, 5, 0, 5, true}), (std::set<C>{C::Cut, C::Copy, C::Paste, C::Delete}));
    EXPECT_FALSE(EditCommandEnabled(C::None, {true, 5, 0, 1, true}));
}

}  // namespace
}  // namespace ionsift
