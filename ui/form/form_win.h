// The form layer: builds a window and its controls from a form description
// (ui/form/form_description.h), keeps anchored controls in place on resize, and turns
// control notifications into form events that the owning class routes
// through an explicit table to its handlers.
#pragma once

#include <windows.h>

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "ui/form/form_description.h"

namespace ionsift {

enum class FormEventKind {
    Click,        // button pressed, menu item chosen
    Change,       // edit text changed, drop-down entry picked by the user
    KeyPress,     // character typed into an edit (WM_CHAR); `key` may be changed
    Popup,        // a popup menu is about to open (controlId: the menu's id)
    ColumnClick,  // report list header clicked (detail: NMLISTVIEW*)
    DoubleClick,  // report list double click (detail: NMITEMACTIVATE*)
    SelectItem,   // report list selection changed (detail: NMLISTVIEW*)
    DrawPanel,    // owner-drawn status bar panel (detail: DRAWITEMSTRUCT*)
    ItemText,     // owner-data list asks for a row's text (detail: NMLVDISPINFOA*)
    FindItem,     // owner-data list looks for a row by its caption
                  // (detail: NMLVFINDITEMA*; *result: the row, or -1)
    MouseMove,    // the pointer moved over a chart (detail: ChartMouseNotify*)
};

struct FormEvent {
    int controlId;
    FormEventKind kind;
    HWND sender;
    LPARAM detail;
    char* key;  // KeyPress only: set to 0 to drop the character
    LRESULT* result = nullptr;  // FindItem only: the answer to the list
};

// One row of a routing table: which member handles which event of which
// control. A row without a handler names an event that is known and ignored.
template <class Owner>
struct Route {
    int controlId;
    FormEventKind kind;
    void (Owner::*handler)(const FormEvent&);
};

// Runs the handler of the first matching row; false when no row matches.
template <class Owner, std::size_t N>
bool RouteEvent(Owner& owner, const Route<Owner> (&routes)[N], const FormEvent& event) {
    for (const Route<Owner>& route : routes) {
        if (route.controlId == event.controlId && route.kind == event.kind) {
            if (route.handler) (owner.*route.handler)(event);
            return true;
        }
    }
    return false;
}

class Form {
public:
    Form() = default;
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Builds the hidden window, owned by `owner`, with its controls, list
    // columns and popup menus. Localized captions are left for
    // ApplyLocalizedCaptions; fixed ones are set. False when anything fails.
    bool Create(const FormDescription& form, HWND owner, HINSTANCE module);
    // Window caption, control captions, list columns and menu items that
    // name a string ID, through LocString.
    void ApplyLocalizedCaptions();
    // Destroys the window. Derived classes call it from their destructor, so
    // that their own WM_DESTROY handling still runs.
    void Destroy();

    HWND Handle() const { return window_; }
    HWND Control(int id) const;
    // Popup menu or submenu by its row id; null when none.
    HMENU Menu(int id) const;

    // Position relative to the parent control (or the form's client area).
    FormRect Bounds(int id) const;
    // Moves the control; it becomes the control's new anchoring reference,
    // and the controls inside it follow their anchors.
    void SetBounds(int id, const FormRect& rect);
    // Autosized labels take the size of their new caption.
    void SetText(int id, const char* text);
    std::string Text(int id) const;
    void Enable(int id, bool enabled);
    void EnableMenuItem(int id, bool enabled);

    FormSize ClientSize() const;
    FormSize OuterSize() const;
    void SetClientSize(int width, int height);
    // Every control to its anchored place for the current client size.
    void LayoutControls();

protected:
    // The form's window procedure. Overrides handle what they need and pass
    // the rest here: notifications become events, WM_SIZE lays out.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called for every event; implementations route it through their table.
    virtual void OnEvent(const FormEvent& event) = 0;
    const FormDescription* Description() const { return description_; }

private:
    struct ControlState {
        const ControlRow* row;
        HWND window;
        FormRect reference;       // bounds when last set by the layout's owner
        FormSize referenceParent; // parent's client size at that time
    };

    static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam);
    static LRESULT CALLBACK EditKeyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR subclassId, DWORD_PTR form);

    bool CreateControl(const ControlRow& row);
    bool CreateColumns();
    bool CreateMenus();
    void SetupTabOrder();
    const ControlState* FindState(int id) const;
    const ControlState* FindState(HWND window) const;
    HWND ParentWindow(const ControlRow& row) const;
    FormSize ParentClientSize(const ControlRow& row) const;
    FormRect PlacedRect(const ControlState& state) const;
    void MoveControl(const ControlState& state, const FormRect& rect, UINT flags = 0);
    // An autosized label to the size of its text; true when it moved.
    bool FitLabel(ControlState& state);
    void SetLabelText(ControlState& state, const char* text);
    HBRUSH Brush(std::uint32_t colour);
    // The row's own background colour, or else its parent's, up to the form's.
    std::uint32_t BackColourOf(const ControlRow& row) const;
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(const NMHDR& header);
    LRESULT OnColourStatic(HDC dc, HWND control);
    bool OnContextMenu(HWND clicked, LPARAM point);
    void Raise(int id, FormEventKind kind, HWND sender, LPARAM detail = 0, char* key = nullptr,
               LRESULT* result = nullptr);

    const FormDescription* description_ = nullptr;
    HWND window_ = nullptr;
    HINSTANCE module_ = nullptr;
    HFONT font_ = nullptr;
    HFONT fixedFont_ = nullptr;
    std::vector<ControlState> controls_;
    std::map<int, HMENU> menus_;       // every popup and submenu by row id
    std::vector<HMENU> topMenus_;      // the popups the form destroys
    std::map<std::uint32_t, HBRUSH> brushes_;  // own brushes of plain colours
    std::vector<HFONT> ownFonts_;      // fonts of controls that name their own
    std::vector<HICON> icons_;         // pictures of image controls
    int defaultButton_ = 0;            // id of the button Enter presses
};

// Unregisters the form layer's window classes; for the plug-in's release,
// after its windows are destroyed, so that a reload registers them afresh.
void ReleaseFormClasses(HINSTANCE module);

}  // namespace ionsift
