// The numeric edits' key filters, under a point and a comma separator.
#include <gtest/gtest.h>

#include "ui/form/key_filter.h"

namespace ionsift {
namespace {

constexpr char kBackspace = 8;
constexpr char kCopy = 3, kPaste = 22, kCut = 24, kUndo = 26;

EditState Edit(std::string_view text, int start, int end) { return {text, start, end}; }
EditState Caret(std::string_view text, int at) { return {text, at, at}; }

void ExpectAccepted(KeyVerdict verdict, char delivered) {
    EXPECT_EQ(verdict.key, delivered);
    EXPECT_FALSE(verdict.beep);
}

void ExpectRejected(KeyVerdict verdict) {
    EXPECT_EQ(verdict.key, 0);
    EXPECT_TRUE(verdict.beep);
}

class RealKey : public ::testing::TestWithParam<char> {
protected:
    char separator = GetParam();
    KeyVerdict Type(const EditState& edit, char key, bool positive = true) {
        return FilterRealKey(edit, key, positive, separator);
    }
};

TEST_P(RealKey, DigitsBackspaceAndClipboardKeysPassSilently) {
    for (char digit = '0'; digit <= '9'; ++digit) ExpectAccepted(Type(Caret("12", 2), digit), digit);
    ExpectAccepted(Type(Caret("12", 2), kBackspace), kBackspace);
    // Clipboard keys pass even where every other key would be refused.
    for (char key : {kCopy, kPaste, kCut}) ExpectAccepted(Type(Caret("1.5+", 4), key), key);
}

TEST_P(RealKey, APointBecomesTheSeparatorAndOnlyOneIsAllowed) {
    ExpectAccepted(Type(Caret("150", 3), '.'), separator);
    ExpectAccepted(Type(Caret("150", 3), separator), separator);
    const std::string withSeparator = std::string("150") + separator + "2";
    ExpectRejected(Type(Caret(withSeparator, 5), '.'));
    ExpectRejected(Type(Caret(withSeparator, 1), separator));
    // Typing over the selected separator replaces it.
    ExpectAccepted(Type(Edit(withSeparator, 3, 4), separator), separator);
    ExpectAccepted(Type(Edit(withSeparator, 0, 5), '.'), separator);
}

TEST_P(RealKey, PlusOnlyAtTheStartOfAnUnsignedTextMinusNeverWhenPositive) {
    ExpectAccepted(Type(Caret("150", 0), '+'), '+');
    ExpectAccepted(Type(Caret("", 0), '+'), '+');
    ExpectRejected(Type(Caret("150", 1), '+'));
    ExpectRejected(Type(Caret("+150", 0), '+'));
    ExpectRejected(Type(Caret("-150", 0), '+'));
    // A sign inside the selection is replaced, so it does not count.
    ExpectAccepted(Type(Edit("+150", 0, 1), '+'), '+');
    ExpectAccepted(Type(Edit("+150", 1, 0), '+'), '+');  // selection given backwards
    ExpectRejected(Type(Caret("", 0), '-'));
    ExpectRejected(Type(Edit("150", 0, 3), '-'));
}

TEST_P(RealKey, MinusFollowsThePlusRuleWhenNotPositive) {
    ExpectAccepted(Type(Caret("5", 0), '-', false), '-');
    ExpectRejected(Type(Caret("5", 1), '-', false));
    ExpectRejected(Type(Caret("+5", 0), '-', false));
    ExpectAccepted(Type(Edit("-5", 0, 1), '-', false), '-');
}

TEST_P(RealKey, EverythingElseIsRefusedWithABeep) {
    for (char key : {'a', 'E', 'e', ' ', '\t', '\r', kUndo, '\0', '/', ':', '\xB1'}) {
        ExpectRejected(Type(Caret("1", 1), key));
    }
    // The other separator is just another character.
    ExpectRejected(Type(Caret("1", 1), separator == ',' ? ';' : ','));
}

TEST_P(RealKey, SelectionOutsideTheTextIsClampedNotRead) {
    const std::string text = std::string("1") + separator + "5";
    ExpectRejected(Type(Edit(text, 50, 80), separator));
    ExpectAccepted(Type(Edit(text, -4, 99), separator), separator);
}

INSTANTIATE_TEST_SUITE_P(Separators, RealKey, ::testing::Values('.', ','),
                         [](const auto& info) { return info.param == '.' ? "Point" : "Comma"; });

TEST(IntKey, DigitsAndBackspaceOnlyWhenPositive) {
    for (char digit = '0'; digit <= '9'; ++digit) {
        const KeyVerdict verdict = FilterIntKey(Caret("", 0), digit, true);
        EXPECT_EQ(verdict.key, digit);
        EXPECT_FALSE(verdict.beep);
    }
    EXPECT_EQ(FilterIntKey(Caret("20", 2), kBackspace, true).key, kBackspace);
    // Unlike the real filter: no sign and no clipboard key, even at the start.
    for (char key : {'+', '-', kCopy, kPaste, kCut, '.', ',', 'x'}) {
        const KeyVerdict verdict = FilterIntKey(Caret("200", 0), key, true);
        EXPECT_EQ(verdict.key, 0) << int(key);
        EXPECT_TRUE(verdict.beep) << int(key);
    }
}

TEST(IntKey, SignsWhenNotPositiveCountTheSelectedTextToo) {
    EXPECT_EQ(FilterIntKey(Caret("200", 0), '-', false).key, '-');
    EXPECT_EQ(FilterIntKey(Caret("200", 0), '+', false).key, '+');
    EXPECT_EQ(FilterIntKey(Caret("200", 1), '-', false).key, 0);
    // The real filter would accept this: the selected "-" is about to go.
    const KeyVerdict verdict = FilterIntKey(Edit("-200", 0, 1), '-', false);
    EXPECT_EQ(verdict.key, 0);
    EXPECT_TRUE(verdict.beep);
    EXPECT_EQ(FilterIntKey(Caret("2", 1), kPaste, false).key, 0);
}

// The experimental-data edit takes any number of digits, blanks, separators
// and line breaks; every other key beeps.
TEST(ExDataKey, DigitsBlanksLineBreaksAndTheSeparatorPass) {
    for (char separator : {'.', ','}) {
        for (char key : {'0', '5', '9', ' ', separator, kBackspace, char(13), kCopy, kPaste, kCut}) {
            ExpectAccepted(FilterExDataKey(key, separator), key);
        }
        ExpectAccepted(FilterExDataKey('.', separator), separator);
        for (char key : {'-', '+', '\t', 'e', 'E', 'x', char(10), kUndo, '/', ':', char(0), char(0xE9)}) {
            ExpectRejected(FilterExDataKey(key, separator));
        }
    }
    ExpectRejected(FilterExDataKey(',', '.'));  // a comma where the point separates
}

}  // namespace
}  // namespace ionsift
