// The text style bits of a spreadsheet cell and the order in which the
// driver sets the font properties they stand for.
#pragma once

namespace ionsift {

enum TextStyle : int {
    kStyleBold = 1,
    kStyleItalic = 2,
    kStyleStrikethrough = 4,
    kStyleSubscript = 8,
    kStyleSuperscript = 16,
    kStyleUnderline = 32,
};

struct FontStyleProperty {
    const wchar_t* name;  // the font's automation property
    int bit;
};

// A non-zero style sets all six, in this order, each true when its bit is set.
constexpr FontStyleProperty kFontStyleOrder[] = {
    {L"Bold", kStyleBold},
    {L"Italic", kStyleItalic},
    {L"Underline", kStyleUnderline},
    {L"Superscript", kStyleSuperscript},
    {L"Subscript", kStyleSubscript},
    {L"Strikethrough", kStyleStrikethrough},
};

}  // namespace ionsift
