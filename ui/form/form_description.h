// The rows a form description is made of: one row per control, per list
// column and per popup-menu item. Descriptions live under resources/ as
// static tables; ui/form/form_win.cpp builds windows from them.
#pragma once

#include <cstdint>

#include "ui/form/anchors.h"

namespace ionsift {

enum class ControlKind : std::uint8_t {
    Panel,         // container, raised inner and lowered outer bevel
    GroupBox,      // container with an etched frame and a caption
    Label,         // static text
    Edit,          // single-line edit
    Memo,          // multi-line edit
    DropDownList,  // combo box without typing
    ReportList,    // report-style list view
    StatusBar,
    Button,
    Custom,        // a window class registered elsewhere (className)
    Image,         // an icon resource of the module, at its own size
};

// Either a localized string ID or a fixed text.
struct Caption {
    int stringId = -1;  // >= 0: LocString(stringId)
    const char* text = "";
};
constexpr Caption Loc(int stringId) { return Caption{stringId, ""}; }
constexpr Caption Fixed(const char* text) { return Caption{-1, text}; }

// Options of a control row beyond its kind.
enum ControlOption : std::uint32_t {
    kOptionNone = 0,
    kAutoSize = 1u << 0,      // labels: width and height follow the caption
    kAlignRight = 1u << 1,    // labels: right-aligned; autosize keeps the right edge
    kWordWrap = 1u << 2,      // labels: wrap inside a fixed rectangle
    kFixedFont = 1u << 3,     // fixed-pitch font instead of the form's
    kGridLines = 1u << 4,     // report list
    kRowSelect = 1u << 5,     // report list: whole-row selection
    kVerticalScroll = 1u << 6,
    kFillParent = 1u << 7,    // fills the parent's client area (inside its bevel)
    kOwnerDrawPanel = 1u << 8,  // status bar: its panels are drawn by the form
    kDefaultButton = 1u << 9,   // buttons: Enter presses it
    kOwnerData = 1u << 10,      // report list: the owner keeps the rows and gives
                                // their texts when the list draws them
    kNoBevel = 1u << 11,        // panels: no bevel, only a holder for its children
    kCheckBoxes = 1u << 12,     // report list: a check box before each row
    kNoColumnHeader = 1u << 13, // report list: no header row
};

// A font of its own for one control; the form's font otherwise.
struct ControlFont {
    const char* face;
    int pixelHeight;  // character height, without internal leading
    bool bold;
};

// Colours as 0x00BBGGRR, or a system colour index with kSystemColour set.
constexpr std::uint32_t kSystemColour = 0x80000000u;
constexpr std::uint32_t kDefaultColour = 0xFFFFFFFFu;
constexpr std::uint32_t kColourButtonFace = kSystemColour | 15;  // COLOR_BTNFACE
constexpr std::uint32_t kColourSilver = 0x00C0C0C0u;
constexpr std::uint32_t kColourNavy = 0x00800000u;
constexpr std::uint32_t kColourMaroon = 0x00000080u;
constexpr std::uint32_t kColourRed = 0x000000FFu;
constexpr std::uint32_t kColourWindowText = kSystemColour | 8;  // COLOR_WINDOWTEXT

constexpr int kFormParent = 0;   // parent id of the form's direct children
constexpr int kTableOrder = -1;  // tab order: the row's place among its siblings

struct ControlRow {
    int id;  // stable control id, also the routing key
    const char* name;
    ControlKind kind;
    int parent;  // id of the containing control, kFormParent for the form
    FormRect rect;
    std::uint32_t anchors;
    std::uint32_t options;
    Caption caption;
    int tabOrder;  // kTableOrder, or the position among the tab-stop siblings
    std::uint32_t textColour;
    std::uint32_t backColour;  // kDefaultColour: the parent's
    int popupMenu;  // id of a popup menu row shown on right click, 0 for none
    const char* className;  // ControlKind::Custom only
    const ControlFont* font = nullptr;
    int imageResource = 0;  // ControlKind::Image: icon resource id
};

// A column of a report list, or a panel of a status bar (panels are
// owner-drawn when the status bar row has kOwnerDrawPanel).
struct ColumnRow {
    int control;  // id of the report list or status bar
    int width;
    Caption caption;
};

// A popup menu (parent 0), an item, a submenu (an item that is some row's
// parent) or a separator (caption text "-").
struct MenuRow {
    int id;
    const char* name;
    int parent;
    Caption caption;
};

struct FormDescription {
    const char* name;
    Caption caption;
    int clientWidth;
    int clientHeight;
    std::uint32_t backColour;
    bool stayOnTop;
    const ControlRow* controls;
    int controlCount;
    const ColumnRow* columns;
    int columnCount;
    const MenuRow* menus;
    int menuCount;
    bool resizable = true;  // false: a fixed dialog frame, no maximize box
};

}  // namespace ionsift
