#include "host/app/workspace_pane_win.h"

#include <cmath>
#include <type_traits>

#include "host/app/molecule_drawing.h"

namespace ionsift::host {
namespace {

constexpr const char* kClassName = "IonsiftWorkspacePane";
constexpr int kMargin = 12;
constexpr COLORREF kInk = RGB(0, 0, 0);
constexpr COLORREF kNoteInk = RGB(96, 96, 96);
constexpr COLORREF kPaper = RGB(255, 255, 255);
constexpr const char* kEmptyText = "No molecule loaded.\n\nDbGetRowId <handle> <ID> Replace loads one.";

// Restores the DC's previous object when it goes out of scope.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ScopedSelect() { SelectObject(dc_, previous_); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

struct GdiDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using GdiObject = std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, GdiDeleter>;

int Round(double value) { return static_cast<int>(std::lround(value)); }

// Writes `text` word-wrapped from `top` and returns the bottom of what it wrote.
int WriteBlock(HDC dc, const std::string& text, int left, int top, int right, COLORREF ink) {
    RECT area{left, top, right, top};
    SetTextColor(dc, ink);
    DrawTextA(dc, text.c_str(), -1, &area, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    area.right = right;
    DrawTextA(dc, text.c_str(), -1, &area, DT_WORDBREAK | DT_NOPREFIX);
    return area.bottom;
}

GdiObject BoldGuiFont() {
    LOGFONTA font{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfWeight = FW_BOLD;
    return GdiObject(CreateFontIndirectA(&font));
}

void DrawMolecule(HDC dc, const MoleculeDrawing& drawing) {
    GdiObject pen(CreatePen(PS_SOLID, 1, kInk));
    ScopedSelect selectPen(dc, pen.get());
    for (const DrawSegment& bond : drawing.bonds) {
        MoveToEx(dc, Round(bond.from.x), Round(bond.from.y), nullptr);
        LineTo(dc, Round(bond.to.x), Round(bond.to.y));
    }
    // Labels on an opaque ground hide the bond ends under them.
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, kPaper);
    SetTextColor(dc, kInk);
    SetTextAlign(dc, TA_CENTER | TA_BASELINE);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    const int baselineShift = (metrics.tmAscent - metrics.tmDescent) / 2;
    for (const DrawLabel& label : drawing.labels) {
        TextOutA(dc, Round(label.at.x), Round(label.at.y) + baselineShift, label.text.c_str(),
                 static_cast<int>(label.text.size()));
    }
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    SetBkMode(dc, TRANSPARENT);
}

}  // namespace

bool WorkspacePane::Create(HWND parent, HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    // A second host window in one process registers the class again: that is fine.
    if (RegisterClassExA(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    window_ = CreateWindowExA(WS_EX_CLIENTEDGE, kClassName, "Workspace", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                              parent, nullptr, instance, this);
    return window_ != nullptr;
}

void WorkspacePane::Show(const WorkspaceMolecule& molecule) {
    molecule_ = std::make_unique<WorkspaceMolecule>(molecule);
    SetWindowTextA(window_, molecule.name.c_str());  // what scripts and tests can read back
    InvalidateRect(window_, nullptr, TRUE);
}

LRESULT CALLBACK WorkspacePane::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<WorkspacePane*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<WorkspacePane*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT fills the whole client area
    case WM_SIZE:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client{};
        GetClientRect(window, &client);
        try {
            if (self != nullptr) self->Paint(dc, client);
        } catch (...) {
        }
        EndPaint(window, &paint);
        return 0;
    }
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void WorkspacePane::Paint(HDC dc, const RECT& client) const {
    GdiObject paper(CreateSolidBrush(kPaper));
    FillRect(dc, &client, static_cast<HBRUSH>(paper.get()));
    ScopedSelect font(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    const int left = client.left + kMargin, right = client.right - kMargin;
    if (!molecule_) {
        WriteBlock(dc, kEmptyText, left, client.top + kMargin, right, kNoteInk);
        return;
    }
    int top = client.top + kMargin;
    {
        const GdiObject bold = BoldGuiFont();
        ScopedSelect boldFont(dc, bold.get());
        top = WriteBlock(dc, molecule_->name.empty() ? "(no name)" : molecule_->name, left, top, right, kInk);
    }
    std::string facts = "Formula: " + (molecule_->formula.empty() ? std::string("-") : molecule_->formula);
    facts += "\nMonoisotopic mass: " + (molecule_->mass.empty() ? std::string("-") : molecule_->mass + " Da");
    top = WriteBlock(dc, facts, left, top, right, kInk) + kMargin;

    const chem::CmlMolecule& structure = molecule_->structure;
    if (structure.atoms.empty()) {
        WriteBlock(dc, molecule_->structureNote, left, top, right, kNoteInk);
    } else if (!CanDraw(structure)) {
        WriteBlock(dc, AtomListText(structure), left, top, right, kNoteInk);
    } else {
        // Room around the drawing for the labels of the outermost atoms.
        const DrawBox box{double(left + kMargin), double(top + kMargin), double(right - left - 2 * kMargin),
                          double(client.bottom - top - 3 * kMargin)};
        DrawMolecule(dc, LayOutMolecule(structure, box));
    }
}

}  // namespace ionsift::host
