#include "ui/form/form_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "shell/string_table.h"
#include "ui/chart_control/chart_class.h"
#include "ui/form/dialog_keys_win.h"
#include "ui/form/form_containers_win.h"
#include "ui/form/window_class_win.h"

namespace ionsift {
namespace {

constexpr const char* kFormClass = "IonsiftForm";
constexpr int kDropDownListHeight = 200;  // the open list below a drop-down
constexpr int kFontPoints = 8;

// What each kind of control is made of.
struct KindTraits {
    ControlKind kind;
    const char* className;
    DWORD style;
    DWORD exStyle;
};

const KindTraits kKindTraits[] = {
    {ControlKind::Panel, kPanelClass, WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT},
    {ControlKind::GroupBox, kGroupBoxClass, WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
     WS_EX_CONTROLPARENT},
    {ControlKind::Label, "STATIC", 0, 0},
    {ControlKind::Edit, "EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {ControlKind::Memo, "EDIT", WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
     WS_EX_CLIENTEDGE},
    {ControlKind::DropDownList, "COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0},
    {ControlKind::ReportList, WC_LISTVIEWA, WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL,
     WS_EX_CLIENTEDGE},
    {ControlKind::StatusBar, STATUSCLASSNAMEA, CCS_NOPARENTALIGN | CCS_NORESIZE | SBARS_SIZEGRIP,
     0},
    {ControlKind::Button, "BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0},
    {ControlKind::Custom, nullptr, 0, 0},
    {ControlKind::Image, "STATIC", SS_ICON | SS_REALSIZECONTROL, 0},
};

const KindTraits& TraitsOf(ControlKind kind) {
    for (const KindTraits& traits : kKindTraits) {
        if (traits.kind == kind) return traits;
    }
    return kKindTraits[0];
}

DWORD LabelStyle(std::uint32_t options) {
    if (options & kWordWrap) return (options & kAlignRight) ? SS_RIGHT : SS_LEFT;
    return (options & kAlignRight) ? SS_RIGHT : SS_LEFTNOWORDWRAP;
}

DWORD OptionStyles(const ControlRow& row) {
    DWORD style = 0;
    if (row.kind == ControlKind::Label) style |= LabelStyle(row.options);
    if (row.kind == ControlKind::Button && (row.options & kDefaultButton)) style |= BS_DEFPUSHBUTTON;
    if (row.options & kVerticalScroll) style |= WS_VSCROLL;
    if (row.kind == ControlKind::ReportList && (row.options & kOwnerData)) style |= LVS_OWNERDATA;
    if (row.kind == ControlKind::ReportList && (row.options & kNoColumnHeader)) style |= LVS_NOCOLUMNHEADER;
    return style;
}

COLORREF ColourOf(std::uint32_t colour) {
    if (colour & kSystemColour) return GetSysColor(static_cast<int>(colour & 0xFF));
    return static_cast<COLORREF>(colour);
}

HFONT CreatePointFont(const char* face, int points, BYTE pitch) {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       pitch | FF_DONTCARE, face);
}

HFONT CreatePixelFont(const ControlFont& font) {
    return CreateFontA(-font.pixelHeight, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                       FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, VARIABLE_PITCH | FF_DONTCARE, font.face);
}

bool IsContainer(ControlKind kind) {
    return kind == ControlKind::Panel || kind == ControlKind::GroupBox;
}

FormSize ClientSizeOf(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

Form::~Form() {
    // The derived part is gone: messages of the dying window get default handling.
    if (window_) SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    Destroy();
}

bool Form::Create(const FormDescription& form, HWND owner, HINSTANCE module) {
    if (window_) return true;
    description_ = &form;
    module_ = module;

    INITCOMMONCONTROLSEX common{sizeof common, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&common);
    WNDCLASSA formClass{};
    formClass.lpfnWndProc = StaticWindowProc;
    formClass.hInstance = module;
    formClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    formClass.lpszClassName = kFormClass;
    if (!RegisterFreshClass(formClass) || !RegisterContainerClasses(module)) return false;

    font_ = CreatePointFont("MS Sans Serif", kFontPoints, VARIABLE_PITCH);
    fixedFont_ = CreatePointFont("Courier New", kFontPoints, FIXED_PITCH);

    const DWORD frame = form.resizable ? WS_OVERLAPPEDWINDOW : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    const DWORD style = frame | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_CONTROLPARENT | (form.stayOnTop ? WS_EX_TOPMOST : 0) |
                          (form.resizable ? 0 : WS_EX_DLGMODALFRAME);
    RECT outer{0, 0, form.clientWidth, form.clientHeight};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    window_ = CreateWindowExA(exStyle, kFormClass, form.caption.stringId >= 0 ? "" : form.caption.text, style,
                              CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left,
                              outer.bottom - outer.top, owner, nullptr, module, this);
    if (!window_) return false;
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);

    controls_.reserve(static_cast<std::size_t>(form.controlCount));
    for (int i = 0; i < form.controlCount; ++i) {
        if (!CreateControl(form.controls[i])) return false;
    }
    if (!CreateColumns() || !CreateMenus()) return false;
    SetupTabOrder();
    AddDialogKeys(window_);
    return true;
}

bool Form::CreateControl(const ControlRow& row) {
    const KindTraits& traits = TraitsOf(row.kind);
    const char* className = row.kind == ControlKind::Custom ? row.className : traits.className;
    if (row.kind == ControlKind::Panel && (row.options & kNoBevel)) className = kPlainPanelClass;
    const HWND parent = ParentWindow(row);
    const int height = row.rect.height +
                       (row.kind == ControlKind::DropDownList ? kDropDownListHeight : 0);
    HWND control = CreateWindowExA(
        traits.exStyle, className, row.caption.stringId >= 0 ? "" : row.caption.text,
        // Siblings clip each other, so that overlaps follow the z-order.
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | traits.style | OptionStyles(row),
        row.rect.left, row.rect.top, row.rect.width, height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), module_, nullptr);
    if (!control) return false;
    HFONT font = (row.options & kFixedFont) ? fixedFont_ : font_;
    if (row.font) {
        font = CreatePixelFont(*row.font);
        if (!font) return false;
        ownFonts_.push_back(font);
    }
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (IsContainer(row.kind)) SetContainerBackground(control, Brush(BackColourOf(row)));

    if (row.kind == ControlKind::Image && row.imageResource) {
        HANDLE icon = LoadImageA(module_, MAKEINTRESOURCEA(row.imageResource), IMAGE_ICON,
                                 row.rect.width, row.rect.height, LR_DEFAULTCOLOR);
        if (!icon) return false;
        icons_.push_back(static_cast<HICON>(icon));
        SendMessageA(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }
    if (row.kind == ControlKind::Button && (row.options & kDefaultButton)) defaultButton_ = row.id;

    if (row.kind == ControlKind::ReportList) {
        DWORD extended = 0;
        if (row.options & kGridLines) extended |= LVS_EX_GRIDLINES;
        if (row.options & kRowSelect) extended |= LVS_EX_FULLROWSELECT;
        if (row.options & kCheckBoxes) extended |= LVS_EX_CHECKBOXES;
        SendMessageA(control, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    }
    // A memo holds text of any length: the edit's default limit (about 30,000
    // characters) would cut a pasted list short without a word.
    if (row.kind == ControlKind::Memo) SendMessageA(control, EM_SETLIMITTEXT, 0, 0);
    if (row.kind == ControlKind::Edit || row.kind == ControlKind::Memo) {
        // Typed characters go through the form's routing before the edit sees them.
        SetWindowSubclass(control, EditKeyProc, static_cast<UINT_PTR>(row.id),
                          reinterpret_cast<DWORD_PTR>(this));
    }

    ControlState state{&row, control, row.rect, ParentClientSize(row)};
    controls_.push_back(state);
    if (row.options & kFillParent) MoveControl(controls_.back(), PlacedRect(controls_.back()));
    FitLabel(controls_.back());
    return true;
}

bool Form::CreateColumns() {
    std::map<int, std::vector<int>> panelEdges;  // status bar id -> right edges
    std::map<int, int> columnsSoFar;
    for (int i = 0; i < description_->columnCount; ++i) {
        const ColumnRow& column = description_->columns[i];
        const ControlState* owner = FindState(column.control);
        if (!owner) return false;
        if (owner->row->kind == ControlKind::StatusBar) {
            std::vector<int>& edges = panelEdges[column.control];
            edges.push_back((edges.empty() ? 0 : edges.back()) + column.width);
            continue;
        }
        LVCOLUMNA item{};
        item.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        item.cx = column.width;
        item.pszText = const_cast<char*>(column.caption.stringId >= 0 ? "" : column.caption.text);
        item.iSubItem = columnsSoFar[column.control];
        if (SendMessageA(owner->window, LVM_INSERTCOLUMNA, columnsSoFar[column.control]++,
                         reinterpret_cast<LPARAM>(&item)) < 0) {
            return false;
        }
    }
    for (auto& [id, edges] : panelEdges) {
        const ControlState* bar = FindState(id);
        SendMessageA(bar->window, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
        const WPARAM drawing = (bar->row->options & kOwnerDrawPanel) ? SBT_OWNERDRAW : 0;
        for (std::size_t panel = 0; panel < edges.size(); ++panel) {
            SendMessageA(bar->window, SB_SETTEXTA, panel | drawing, 0);
        }
    }
    return true;
}

bool Form::CreateMenus() {
    for (int i = 0; i < description_->menuCount; ++i) {
        const MenuRow& row = description_->menus[i];
        if (row.parent == 0) {
            HMENU popup = CreatePopupMenu();
            if (!popup) return false;
            menus_[row.id] = popup;
            topMenus_.push_back(popup);
            continue;
        }
        const bool hasItems = std::any_of(description_->menus + i + 1, description_->menus + description_->menuCount,
                                          [&](const MenuRow& later) { return later.parent == row.id; });
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_FTYPE;
        item.wID = static_cast<UINT>(row.id);
        if (row.caption.stringId < 0 && lstrcmpA(row.caption.text, "-") == 0) {
            item.fType = MFT_SEPARATOR;
        } else {
            item.fMask |= MIIM_STRING;
            item.fType = MFT_STRING;
            item.dwTypeData = const_cast<char*>(row.caption.stringId >= 0 ? "" : row.caption.text);
        }
        if (hasItems) {
            HMENU submenu = CreatePopupMenu();
            if (!submenu) return false;
            menus_[row.id] = submenu;
            item.fMask |= MIIM_SUBMENU;
            item.hSubMenu = submenu;
        }
        HMENU parent = Menu(row.parent);
        if (!parent || !InsertMenuItemA(parent, GetMenuItemCount(parent), TRUE, &item)) {
            return false;
        }
    }
    return true;
}

// Siblings become each other's tab order through their z-order: explicit
// positions first, then the rest in table order.
void Form::SetupTabOrder() {
    std::vector<const ControlState*> order;
    for (const ControlState& state : controls_) order.push_back(&state);
    auto key = [&](const ControlState* state) {
        const int position = static_cast<int>(state - controls_.data());
        return state->row->tabOrder >= 0 ? state->row->tabOrder : 100000 + position;
    };
    std::stable_sort(order.begin(), order.end(), [&](const ControlState* a, const ControlState* b) {
        return key(a) < key(b);
    });
    for (const ControlState* state : order) {
        SetWindowPos(state->window, HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
}

void Form::ApplyLocalizedCaptions() {
    if (!window_) return;
    if (description_->caption.stringId >= 0) SetWindowTextA(window_, LocString(description_->caption.stringId));
    for (ControlState& state : controls_) {
        if (state.row->caption.stringId < 0) continue;
        SetText(state.row->id, LocString(state.row->caption.stringId));
    }
    std::map<int, int> columnsSoFar;
    for (int i = 0; i < description_->columnCount; ++i) {
        const ColumnRow& column = description_->columns[i];
        const ControlState* owner = FindState(column.control);
        if (!owner || owner->row->kind != ControlKind::ReportList) continue;
        const int index = columnsSoFar[column.control]++;
        if (column.caption.stringId < 0) continue;
        LVCOLUMNA item{};
        item.mask = LVCF_TEXT;
        item.pszText = const_cast<char*>(LocString(column.caption.stringId));
        SendMessageA(Control(column.control), LVM_SETCOLUMNA, index, reinterpret_cast<LPARAM>(&item));
    }
    for (int i = 0; i < description_->menuCount; ++i) {
        const MenuRow& row = description_->menus[i];
        if (row.parent == 0 || row.caption.stringId < 0) continue;
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_STRING;
        item.dwTypeData = const_cast<char*>(LocString(row.caption.stringId));
        SetMenuItemInfoA(Menu(row.parent), static_cast<UINT>(row.id), FALSE, &item);
    }
}

void Form::Destroy() {
    if (window_) {
        RemoveDialogKeys(window_);
        DestroyWindow(window_);
        window_ = nullptr;
    }
    controls_.clear();
    for (HMENU menu : topMenus_) DestroyMenu(menu);  // with their submenus
    topMenus_.clear();
    menus_.clear();
    for (auto& [colour, brush] : brushes_) DeleteObject(brush);
    brushes_.clear();
    if (font_) DeleteObject(font_);
    if (fixedFont_) DeleteObject(fixedFont_);
    font_ = fixedFont_ = nullptr;
    for (HFONT font : ownFonts_) DeleteObject(font);
    ownFonts_.clear();
    for (HICON icon : icons_) DestroyIcon(icon);
    icons_.clear();
    defaultButton_ = 0;
}

HWND Form::Control(int id) const {
    const ControlState* state = FindState(id);
    return state ? state->window : nullptr;
}

HMENU Form::Menu(int id) const {
    const auto found = menus_.find(id);
    return found == menus_.end() ? nullptr : found->second;
}

const Form::ControlState* Form::FindState(int id) const {
    for (const ControlState& state : controls_) {
        if (state.row->id == id) return &state;
    }
    return nullptr;
}

const Form::ControlState* Form::FindState(HWND window) const {
    for (const ControlState& state : controls_) {
        if (state.window == window) return &state;
    }
    return nullptr;
}

HWND Form::ParentWindow(const ControlRow& row) const {
    return row.parent == kFormParent ? window_ : Control(row.parent);
}

FormSize Form::ParentClientSize(const ControlRow& row) const {
    return ClientSizeOf(ParentWindow(row));
}

FormRect Form::PlacedRect(const ControlState& state) const {
    const FormSize parent = ParentClientSize(*state.row);
    if (state.row->options & kFillParent) {
        const bool bevelled = state.row->parent != kFormParent &&
                              FindState(state.row->parent)->row->kind == ControlKind::Panel;
        const int inset = bevelled ? kPanelBevelWidth : 0;
        return {inset, inset, parent.width - 2 * inset, parent.height - 2 * inset};
    }
    return AnchoredRect(state.reference, state.referenceParent, parent, state.row->anchors);
}

void Form::MoveControl(const ControlState& state, const FormRect& rect, UINT flags) {
    const int height =
        rect.height + (state.row->kind == ControlKind::DropDownList ? kDropDownListHeight : 0);
    SetWindowPos(state.window, nullptr, rect.left, rect.top, rect.width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | flags);
}

FormRect Form::Bounds(int id) const {
    const ControlState* state = FindState(id);
    if (!state) return {};
    RECT rect{};
    GetWindowRect(state->window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(state->window), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void Form::SetBounds(int id, const FormRect& rect) {
    for (ControlState& state : controls_) {
        if (state.row->id != id) continue;
        state.reference = rect;
        state.referenceParent = ParentClientSize(*state.row);
        MoveControl(state, rect);
        if (IsContainer(state.row->kind)) LayoutControls();
        return;
    }
}

void Form::LayoutControls() {
    // Parents come before their children in the table, so each control sees
    // its parent's new size.
    for (const ControlState& state : controls_) {
        const FormRect placed = PlacedRect(state);
        // A drop-down's own height is its selection field's, never the table's.
        if (!(placed == Bounds(state.row->id)) || state.row->kind == ControlKind::DropDownList) {
            MoveControl(state, placed);
        }
    }
}

bool Form::FitLabel(ControlState& state) {
    if (state.row->kind != ControlKind::Label || !(state.row->options & kAutoSize)) return false;
    char text[512] = {};
    GetWindowTextA(state.window, text, sizeof text);
    HDC dc = GetDC(state.window);
    const HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(state.window, WM_GETFONT, 0, 0)));
    RECT extent{0, 0, 0, 0};
    DrawTextA(dc, text[0] ? text : " ", -1, &extent, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, oldFont);
    ReleaseDC(state.window, dc);

    // Right-aligned labels grow to the left: their right edge stays.
    FormRect rect = state.reference;
    const int right = rect.Right();
    rect.width = extent.right - extent.left;
    rect.height = extent.bottom - extent.top;
    if (state.row->options & kAlignRight) rect.left = right - rect.width;
    state.reference = rect;
    const FormRect placed = PlacedRect(state);
    if (placed == Bounds(state.row->id)) return false;
    // The old picture is no part of the new one (a right-aligned text moves
    // within the label): all of it is drawn again.
    MoveControl(state, placed, SWP_NOCOPYBITS);
    return true;
}

void Form::SetText(int id, const char* text) {
    for (ControlState& state : controls_) {
        if (state.row->id != id) continue;
        if (state.row->kind == ControlKind::Label) {
            SetLabelText(state, text);
            return;
        }
        SetWindowTextA(state.window, text);
        // A multi-line edit sends no EN_CHANGE for WM_SETTEXT, unlike a
        // single-line one; text set from code is a change for both.
        if (state.row->kind == ControlKind::Memo) Raise(id, FormEventKind::Change, state.window);
        return;
    }
}

void Form::SetLabelText(ControlState& state, const char* text) {
    // Some systems' static controls draw themselves at once on WM_SETTEXT,
    // at their old size and even for their own text. A label is drawn once,
    // when the window paints, with its new text at its new size, and only
    // when the text changed.
    if (Text(state.row->id) == text) return;
    const bool shown = (GetWindowLongA(state.window, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown) SendMessageA(state.window, WM_SETREDRAW, FALSE, 0);
    SetWindowTextA(state.window, text);
    if (shown) SendMessageA(state.window, WM_SETREDRAW, TRUE, 0);
    if (!FitLabel(state)) InvalidateRect(state.window, nullptr, TRUE);
}

std::string Form::Text(int id) const {
    HWND control = Control(id);
    if (!control) return "";
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(control, text.data(),
                                                        static_cast<int>(text.size()))));
    return text;
}

void Form::Enable(int id, bool enabled) {
    if (HWND control = Control(id)) EnableWindow(control, enabled ? TRUE : FALSE);
}

void Form::EnableMenuItem(int id, bool enabled) {
    const UINT flags = MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED);
    for (HMENU menu : topMenus_) {
        if (::EnableMenuItem(menu, static_cast<UINT>(id), flags) != -1) return;
    }
}

FormSize Form::ClientSize() const { return ClientSizeOf(window_); }

FormSize Form::OuterSize() const {
    RECT rect{};
    GetWindowRect(window_, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

void Form::SetClientSize(int width, int height) {
    const FormSize client = ClientSize();
    const FormSize outer = OuterSize();
    SetWindowPos(window_, nullptr, 0, 0, outer.width + width - client.width,
                 outer.height + height - client.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::uint32_t Form::BackColourOf(const ControlRow& row) const {
    if (row.backColour != kDefaultColour) return row.backColour;
    const ControlState* parent = row.parent == kFormParent ? nullptr : FindState(row.parent);
    return parent ? BackColourOf(*parent->row) : description_->backColour;
}

HBRUSH Form::Brush(std::uint32_t colour) {
    if (colour & kSystemColour) return GetSysColorBrush(static_cast<int>(colour & 0xFF));
    HBRUSH& brush = brushes_[colour];
    if (!brush) brush = CreateSolidBrush(static_cast<COLORREF>(colour));
    return brush;
}

void Form::Raise(int id, FormEventKind kind, HWND sender, LPARAM detail, char* key,
                 LRESULT* result) {
    OnEvent(FormEvent{id, kind, sender, detail, key, result});
}

LRESULT Form::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    HWND sender = reinterpret_cast<HWND>(lParam);
    if (!sender) {
        // Menu items and accelerators; 1 and 2 are Enter and Escape from dialog navigation.
        if (Menu(id) == nullptr && id > IDCANCEL) Raise(id, FormEventKind::Click, nullptr);
        return 0;
    }
    const ControlState* state = FindState(sender);
    if (!state) return 0;
    switch (state->row->kind) {
        case ControlKind::Button:
            if (code == BN_CLICKED) Raise(id, FormEventKind::Click, sender);
            break;
        case ControlKind::Edit:
        case ControlKind::Memo:
            if (code == EN_CHANGE) Raise(id, FormEventKind::Change, sender);
            break;
        case ControlKind::DropDownList:
            // Only the user's picks: selecting from code sends no CBN_SELCHANGE.
            if (code == CBN_SELCHANGE) Raise(id, FormEventKind::Change, sender);
            break;
        default:
            break;
    }
    return 0;
}

LRESULT Form::OnNotify(const NMHDR& header) {
    const ControlState* state = FindState(header.hwndFrom);
    if (!state) return 0;
    const int id = state->row->id;
    const LPARAM detail = reinterpret_cast<LPARAM>(&header);
    if (state->row->kind == ControlKind::Custom && header.code == kChartMouseMove) {
        Raise(id, FormEventKind::MouseMove, header.hwndFrom, detail);
        return 0;
    }
    if (state->row->kind != ControlKind::ReportList) return 0;
    LRESULT result = 0;
    switch (header.code) {
        case LVN_COLUMNCLICK:
            Raise(id, FormEventKind::ColumnClick, header.hwndFrom, detail);
            break;
        case NM_DBLCLK:
            Raise(id, FormEventKind::DoubleClick, header.hwndFrom, detail);
            break;
        case LVN_GETDISPINFOA:
            Raise(id, FormEventKind::ItemText, header.hwndFrom, detail);
            break;
        case LVN_ODFINDITEMA:
            result = -1;
            Raise(id, FormEventKind::FindItem, header.hwndFrom, detail, nullptr, &result);
            break;
        case LVN_ODFINDITEMW: {
            // Some list views ask even an ANSI parent in UTF-16 (Wine's, for
            // typed text); left unanswered, 0 would select the first row.
            const auto& wide = reinterpret_cast<const NMLVFINDITEMW&>(header);
            NMLVFINDITEMA find{};
            find.hdr = wide.hdr;
            find.iStart = wide.iStart;
            find.lvfi.flags = wide.lvfi.flags;
            find.lvfi.lParam = wide.lvfi.lParam;
            find.lvfi.pt = wide.lvfi.pt;
            find.lvfi.vkDirection = wide.lvfi.vkDirection;
            std::string text;
            if ((wide.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) && wide.lvfi.psz) {
                const int size = WideCharToMultiByte(CP_ACP, 0, wide.lvfi.psz, -1, nullptr, 0,
                                                     nullptr, nullptr);
                text.resize(static_cast<std::size_t>(std::max(size, 1)));
                WideCharToMultiByte(CP_ACP, 0, wide.lvfi.psz, -1, text.data(), size, nullptr,
                                    nullptr);
                find.lvfi.psz = text.c_str();
            }
            result = -1;
            Raise(id, FormEventKind::FindItem, header.hwndFrom, reinterpret_cast<LPARAM>(&find),
                  nullptr, &result);
            break;
        }
        case LVN_ITEMCHANGED: {
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            if ((change.uChanged & LVIF_STATE) &&
                ((change.uOldState ^ change.uNewState) & LVIS_SELECTED)) {
                Raise(id, FormEventKind::SelectItem, header.hwndFrom, detail);
            }
            break;
        }
        default:
            break;
    }
    return result;
}

LRESULT Form::OnColourStatic(HDC dc, HWND control) {
    const ControlState* state = FindState(control);
    const std::uint32_t text =
        state && state->row->textColour != kDefaultColour ? state->row->textColour
                                                           : (kSystemColour | COLOR_BTNTEXT);
    const std::uint32_t back = state ? BackColourOf(*state->row) : description_->backColour;
    SetTextColor(dc, ColourOf(text));
    SetBkColor(dc, ColourOf(back));
    return reinterpret_cast<LRESULT>(Brush(back));
}

bool Form::OnContextMenu(HWND clicked, LPARAM point) {
    const ControlState* state = FindState(clicked);
    if (!state || state->row->popupMenu == 0) return false;
    HMENU menu = Menu(state->row->popupMenu);
    if (!menu) return false;
    POINT at{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    if (point == -1) {  // from the keyboard: at the control's top left corner
        at = {0, 0};
        ClientToScreen(clicked, &at);
    }
    Raise(state->row->popupMenu, FormEventKind::Popup, clicked);
    // The chosen item arrives as WM_COMMAND and is routed like any click.
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr);
    return true;
}

LRESULT Form::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            return OnCommand(wParam, lParam);
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            Raise(static_cast<int>(item.CtlID), FormEventKind::DrawPanel, item.hwndItem, lParam);
            return TRUE;
        }
        case WM_CTLCOLORSTATIC:
            if (const ControlState* state = FindState(reinterpret_cast<HWND>(lParam))) {
                // Labels and pictures show their parent's colour unless they name one.
                const ControlKind kind = state->row->kind;
                if (kind == ControlKind::Label || kind == ControlKind::Image) {
                    return OnColourStatic(reinterpret_cast<HDC>(wParam), state->window);
                }
            }
            break;
        case DM_GETDEFID:
            // Dialog navigation asks which button Enter presses.
            if (defaultButton_) return MAKELRESULT(defaultButton_, DC_HASDEFID);
            break;
        case WM_CONTEXTMENU:
            if (OnContextMenu(reinterpret_cast<HWND>(wParam), lParam)) return 0;
            break;
        case WM_SIZE:
            // A minimized window's client area says nothing about the layout.
            if (wParam != SIZE_MINIMIZED) LayoutControls();
            return 0;
        case WM_ERASEBKGND: {
            RECT rect;
            GetClientRect(window_, &rect);
            FillRect(reinterpret_cast<HDC>(wParam), &rect, Brush(description_->backColour));
            return 1;
        }
        default:
            break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT CALLBACK Form::StaticWindowProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<Form*>(create->lpCreateParams)->window_ = window;
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!form || form->window_ != window) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        RemoveDialogKeys(window);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        form->window_ = nullptr;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    // Nothing thrown may unwind into the system's or the host's code.
    try {
        return form->WindowProc(message, wParam, lParam);
    } catch (...) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK Form::EditKeyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR subclassId, DWORD_PTR formPointer) {
    if (message == WM_CHAR) {
        auto* form = reinterpret_cast<Form*>(formPointer);
        char key = static_cast<char>(wParam);
        try {
            form->Raise(static_cast<int>(subclassId), FormEventKind::KeyPress, window, 0, &key);
        } catch (...) {
        }
        if (key == 0) return 0;  // dropped by the handler
        wParam = static_cast<unsigned char>(key);
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, EditKeyProc, subclassId);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void ReleaseFormClasses(HINSTANCE module) {
    UnregisterClassA(kFormClass, module);
    UnregisterContainerClasses(module);
}

}  // namespace ionsift
