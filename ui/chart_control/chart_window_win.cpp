#include "ui/chart_control/chart_window_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "chart/chart_axes.h"
#include "chart/chart_strokes.h"
#include "chart/chart_zoom.h"
#include "text/separators.h"
#include "ui/form/window_class_win.h"

namespace ionsift {
namespace {

constexpr int kAnimationSteps = 4;  // views per animated zoom, the last one the target
constexpr int kDragSlack = 2;       // pixels a press may wander and still be a click

// What each chart window holds: created at WM_NCCREATE, gone at WM_NCDESTROY
// together with the model's series.
struct ChartWindow {
    ChartModel model;
    HFONT font = nullptr;  // set by WM_SETFONT; not owned
    bool dragging = false;
    POINT dragStart{};
    POINT dragEnd{};
    bool bandShown = false;
};

ChartWindow* StateOf(HWND window) {
    char name[32] = {};
    if (!window || !GetClassNameA(window, name, sizeof name) || lstrcmpiA(name, kChartClass) != 0) {
        return nullptr;
    }
    return reinterpret_cast<ChartWindow*>(GetWindowLongPtrA(window, 0));
}

// A GDI object selected into a DC for one scope, deleted after it is
// deselected when `owned`.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object, bool owned = true)
        : dc_(dc), object_(object), owned_(owned), old_(object ? SelectObject(dc, object) : nullptr) {}
    ~Selected() {
        if (old_) SelectObject(dc_, old_);
        if (owned_ && object_) DeleteObject(object_);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ object_;
    bool owned_;
    HGDIOBJ old_;
};

// The chart's own font, else its parent's, else the system's.
HFONT BaseFont(HWND chart, const ChartWindow& state) {
    if (state.font) return state.font;
    if (const HWND parent = GetParent(chart)) {
        if (const auto font = reinterpret_cast<HFONT>(SendMessageA(parent, WM_GETFONT, 0, 0))) return font;
    }
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// The base font grown by `scale` for a target larger than the screen; null
// when the base font serves as it is.
HFONT ScaledFont(HFONT base, double scale) {
    LOGFONTA logFont{};
    if (scale == 1 || !GetObjectA(base, sizeof logFont, &logFont)) return nullptr;
    logFont.lfHeight = static_cast<LONG>(std::lround(logFont.lfHeight * scale));
    logFont.lfWidth = static_cast<LONG>(std::lround(logFont.lfWidth * scale));
    return CreateFontIndirectA(&logFont);
}

ChartTextMetrics MeasureText(HDC dc) {
    ChartTextMetrics metrics{1, 1};
    TEXTMETRICA text{};
    if (GetTextMetricsA(dc, &text)) metrics.lineHeight = std::max<int>(1, text.tmHeight);
    for (char digit = '0'; digit <= '9'; ++digit) {
        SIZE size{};
        if (GetTextExtentPoint32A(dc, &digit, 1, &size)) metrics.digitWidth = std::max<int>(metrics.digitWidth, size.cx);
    }
    return metrics;
}

bool TitleShown(const ChartModel& model) { return model.TitleVisible() && !model.Title().empty(); }

ChartLayout LayoutFor(const ChartModel& model, const ChartView& view, int width, int height,
                      const ChartTextMetrics& text, double scale) {
    return LayoutChart(view, width, height, text, TitleShown(model), scale, LocaleDecimalSeparator());
}

int ToInt(std::int64_t pixel) { return static_cast<int>(pixel); }  // Pixel() clamps to +-2^30

void DrawAxes(HDC dc, const ChartLayout& layout, const ChartMapping& mapping, int penWidth, int lineHeight) {
    const PixelRect& plot = layout.plot;
    {
        Selected pen(dc, CreatePen(PS_SOLID, penWidth, GetSysColor(COLOR_BTNSHADOW)));
        const POINT frame[] = {{plot.left, plot.top}, {plot.right, plot.top}, {plot.right, plot.bottom}};
        Polyline(dc, frame, 3);
    }
    Selected pen(dc, CreatePen(PS_SOLID, penWidth, RGB(0, 0, 0)));
    const POINT axes[] = {{plot.left, plot.top}, {plot.left, plot.bottom}, {plot.right + 1, plot.bottom}};
    Polyline(dc, axes, 3);

    SetTextAlign(dc, TA_RIGHT | TA_TOP | TA_NOUPDATECP);
    const int labelRight = plot.left - layout.tickLength - layout.labelGap;
    for (std::size_t i = 0; i < layout.left.values.size(); ++i) {
        const int y = ToInt(mapping.Pixel(0, layout.left.values[i]).y);
        MoveToEx(dc, plot.left - layout.tickLength, y, nullptr);
        LineTo(dc, plot.left, y);
        const std::string& label = layout.left.labels[i];
        TextOutA(dc, labelRight, y - lineHeight / 2, label.c_str(), static_cast<int>(label.size()));
    }
    SetTextAlign(dc, TA_CENTER | TA_TOP | TA_NOUPDATECP);
    const int labelTop = plot.bottom + layout.tickLength + layout.labelGap;
    for (std::size_t i = 0; i < layout.bottom.values.size(); ++i) {
        const int x = ToInt(mapping.Pixel(layout.bottom.values[i], 0).x);
        MoveToEx(dc, x, plot.bottom, nullptr);
        LineTo(dc, x, plot.bottom + layout.tickLength);
        const std::string& label = layout.bottom.labels[i];
        TextOutA(dc, x, labelTop, label.c_str(), static_cast<int>(label.size()));
    }
}

// Each series in turn, each of its colours as one PolyPolyline.
void DrawSeries(HDC dc, const ChartModel& model, const ChartMapping& mapping, const PixelRect& plot, int penWidth) {
    std::vector<POINT> points;
    std::vector<DWORD> counts;
    for (std::size_t index = 0; index < model.SeriesCount(); ++index) {
        for (const ChartStroke& polylines : SeriesStrokes(model.Series(index).Points(), mapping, plot)) {
            // One-pixel pens draw the merged runs pixel for pixel alike;
            // wider ones (a printer page) keep the segments for their caps.
            const ChartStroke stroke = penWidth == 1 ? MergedStroke(polylines) : polylines;
            if (stroke.counts.empty()) continue;
            points.resize(stroke.points.size());
            std::transform(stroke.points.begin(), stroke.points.end(), points.begin(),
                           [](const StrokePoint& p) { return POINT{p.x, p.y}; });
            counts.assign(stroke.counts.begin(), stroke.counts.end());
            Selected pen(dc, CreatePen(PS_SOLID, penWidth, stroke.colour));
            PolyPolyline(dc, points.data(), counts.data(), static_cast<DWORD>(counts.size()));
        }
    }
}

void DrawChart(HWND chart, const ChartWindow& state, HDC dc, const RECT& target) {
    const ChartModel& model = state.model;
    RECT client{};
    GetClientRect(chart, &client);
    const int width = target.right - target.left;
    const int height = target.bottom - target.top;
    if (width <= 0 || height <= 0) return;
    // Pens, margins and fonts grow with the target, so that a printer page
    // looks like the screen.
    double scale = 1;
    if (client.right > 0 && client.bottom > 0) {
        scale = std::min(static_cast<double>(width) / client.right, static_cast<double>(height) / client.bottom);
        if (scale <= 0) scale = 1;
    }
    const int penWidth = std::max(1, static_cast<int>(std::lround(scale)));

    const int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, target.left, target.top, nullptr);
    IntersectClipRect(dc, 0, 0, width, height);
    const RECT area{0, 0, width, height};
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    {
        const HFONT base = BaseFont(chart, state);
        const HFONT scaled = ScaledFont(base, scale);
        Selected font(dc, scaled ? scaled : base, scaled != nullptr);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        const ChartTextMetrics text = MeasureText(dc);
        const ChartView view = model.View();
        const ChartLayout layout = LayoutFor(model, view, width, height, text, scale);
        const PixelRect& plot = layout.plot;
        const ChartMapping mapping = MapView(view, plot);

        if (TitleShown(model)) {
            RECT line{layout.title.left, layout.title.top, layout.title.right, layout.title.bottom};
            DrawTextA(dc, model.Title().c_str(), -1, &line, DT_SINGLELINE | DT_CENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        const RECT wall{plot.left, plot.top, plot.right + 1, plot.bottom + 1};
        FillRect(dc, &wall, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawAxes(dc, layout, mapping, penWidth, text.lineHeight);
        // Wide printer pens must not bleed past the wall.
        const int inner = SaveDC(dc);
        IntersectClipRect(dc, plot.left, plot.top, plot.right + 1, plot.bottom + 1);
        DrawSeries(dc, model, mapping, plot, penWidth);
        RestoreDC(dc, inner);
    }
    RestoreDC(dc, saved);
}

// Drawing allocates (layout labels, polylines); out of memory leaves the
// target with whatever was drawn so far rather than throwing into GDI's caller.
void DrawGuarded(HWND chart, const ChartWindow& state, HDC dc, const RECT& target) {
    try {
        DrawChart(chart, state, dc, target);
    } catch (...) {
    }
}

// The rubber band is drawn with XOR: drawing it again removes it.
void ToggleBand(const ChartWindow& state, HDC dc) {
    RECT band{std::min(state.dragStart.x, state.dragEnd.x), std::min(state.dragStart.y, state.dragEnd.y),
              std::max(state.dragStart.x, state.dragEnd.x), std::max(state.dragStart.y, state.dragEnd.y)};
    if (band.right > band.left && band.bottom > band.top) DrawFocusRect(dc, &band);
}

void ShowBand(HWND window, ChartWindow& state, bool show) {
    if (state.bandShown == show) return;
    HDC dc = GetDC(window);
    ToggleBand(state, dc);
    ReleaseDC(window, dc);
    state.bandShown = show;
}

void Repaint(HWND window) { RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }

// Shows the intermediate views, each painted before the next, then settles
// on the target: a zoomed view, or the automatic ranges for `undo`.
void AnimateTo(HWND window, ChartWindow& state, const ChartView& target, bool undo) {
    if (IsWindowVisible(window)) {
        std::vector<ChartView> views;
        try {
            views = ZoomAnimation(state.model.View(), target, kAnimationSteps);
        } catch (...) {
            // Out of memory: the zoom goes without its animation.
        }
        for (std::size_t i = 0; i + 1 < views.size(); ++i) {
            state.model.SetView(views[i]);
            Repaint(window);
        }
    }
    if (undo) {
        state.model.UndoZoom();
    } else {
        state.model.SetView(target);
    }
    Repaint(window);
}

void NotifyMouseMove(HWND window, WPARAM keys, LPARAM position) {
    const HWND parent = GetParent(window);
    if (!parent) return;
    ChartMouseNotify notify{};
    notify.header.hwndFrom = window;
    notify.header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window));
    notify.header.code = kChartMouseMove;
    notify.x = GET_X_LPARAM(position);
    notify.y = GET_Y_LPARAM(position);
    notify.keys = keys;
    SendMessageA(parent, WM_NOTIFY, notify.header.idFrom, reinterpret_cast<LPARAM>(&notify));
}

void OnMouseMove(HWND window, ChartWindow& state, WPARAM keys, LPARAM position) {
    NotifyMouseMove(window, keys, position);
    if (!state.dragging) return;
    ShowBand(window, state, false);
    state.dragEnd = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    const bool moved = ClassifyDrag(state.dragStart.x, state.dragStart.y, state.dragEnd.x, state.dragEnd.y,
                                    kDragSlack) != DragZoom::None;
    ShowBand(window, state, moved);
}

void OnButtonDown(HWND window, ChartWindow& state, LPARAM position) {
    state.dragging = true;
    state.dragStart = state.dragEnd = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    state.bandShown = false;
    SetCapture(window);
}

// Ends a drag; with `apply` the drag's direction zooms in or undoes.
void EndDrag(HWND window, ChartWindow& state, bool apply) {
    if (!state.dragging) return;
    ShowBand(window, state, false);
    state.dragging = false;  // before ReleaseCapture, whose WM_CAPTURECHANGED comes back here
    if (GetCapture() == window) ReleaseCapture();
    if (!apply) return;
    switch (ClassifyDrag(state.dragStart.x, state.dragStart.y, state.dragEnd.x, state.dragEnd.y, kDragSlack)) {
        case DragZoom::ZoomIn:
            AnimateTo(window, state,
                      ZoomRectView(ChartCurrentMapping(window), state.dragStart.x, state.dragStart.y,
                                   state.dragEnd.x, state.dragEnd.y),
                      false);
            break;
        case DragZoom::Undo:
            AnimateTo(window, state, state.model.AutoView(), true);
            break;
        case DragZoom::None:
            break;
    }
}

void OnPaint(HWND window, ChartWindow& state) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client{};
    GetClientRect(window, &client);
    // Drawn off screen and copied in one go: no flicker while zooming.
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, client.right, client.bottom) : nullptr;
    if (bitmap) {
        const HGDIOBJ old = SelectObject(memory, bitmap);
        DrawGuarded(window, state, memory, client);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
    } else {
        DrawGuarded(window, state, dc, client);
    }
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    if (state.bandShown) ToggleBand(state, dc);  // the copy covered it
    EndPaint(window, &paint);
}

// WM_SETTEXT from anyone sets the title: shown when not empty.
LRESULT OnSetText(HWND window, ChartWindow& state, LPARAM text) {
    const LRESULT result = DefWindowProcA(window, WM_SETTEXT, 0, text);
    const char* title = reinterpret_cast<const char*>(text);
    state.model.SetTitle(title ? title : "", title && *title);
    InvalidateRect(window, nullptr, FALSE);
    return result;
}

LRESULT OnNcCreate(HWND window, LPARAM create) {
    auto* state = new (std::nothrow) ChartWindow;
    if (!state) return FALSE;
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(state));
    const auto* info = reinterpret_cast<const CREATESTRUCTA*>(create);
    if (info->lpszName && *info->lpszName) state->model.SetTitle(info->lpszName, true);
    return DefWindowProcA(window, WM_NCCREATE, 0, create);
}

LRESULT Dispatch(HWND window, ChartWindow& state, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers every pixel
        case WM_PAINT:
            OnPaint(window, state);
            return 0;
        case WM_SIZE:
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_SETTEXT:
            return OnSetText(window, state, lParam);
        case WM_SETFONT:
            state.font = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(lParam)) InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(state.font);
        case WM_MOUSEMOVE:
            OnMouseMove(window, state, wParam, lParam);
            return 0;
        case WM_LBUTTONDOWN:
            OnButtonDown(window, state, lParam);
            return 0;
        case WM_LBUTTONUP:
            if (state.dragging) state.dragEnd = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            EndDrag(window, state, true);
            return 0;
        case WM_CAPTURECHANGED:
            EndDrag(window, state, false);  // capture taken away: the drag is dropped
            return 0;
        default:
            // WM_CONTEXTMENU included: it goes on to the parent, which owns the popup.
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK ChartProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) return OnNcCreate(window, lParam);
    auto* state = reinterpret_cast<ChartWindow*>(GetWindowLongPtrA(window, 0));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, 0, 0);
        delete state;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (!state) return DefWindowProcA(window, message, wParam, lParam);
    try {
        return Dispatch(window, *state, message, wParam, lParam);
    } catch (...) {
        // Out of memory while drawing or zooming: the chart stays as it was.
        if (message == WM_PAINT) ValidateRect(window, nullptr);
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

bool RegisterChartClass(HINSTANCE module) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ChartProc;
    windowClass.cbWndExtra = sizeof(ChartWindow*);
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kChartClass;
    return RegisterFreshClass(windowClass);
}

void UnregisterChartClass(HINSTANCE module) { UnregisterClassA(kChartClass, module); }

ChartModel* ChartModelOf(HWND chart) {
    ChartWindow* state = StateOf(chart);
    return state ? &state->model : nullptr;
}

void ChartChanged(HWND chart) {
    if (StateOf(chart)) InvalidateRect(chart, nullptr, FALSE);
}

void ChartSetTitle(HWND chart, const std::string& text, bool visible) {
    ChartWindow* state = StateOf(chart);
    if (!state) return;
    SetWindowTextA(chart, visible ? text.c_str() : "");
    state->model.SetTitle(text, visible);  // after WM_SETTEXT, which set it from the window text
    InvalidateRect(chart, nullptr, FALSE);
}

ChartMapping ChartCurrentMapping(HWND chart) {
    ChartWindow* state = StateOf(chart);
    if (!state) return {};
    RECT client{};
    GetClientRect(chart, &client);
    HDC dc = GetDC(chart);
    ChartTextMetrics text{};
    {
        Selected font(dc, BaseFont(chart, *state), false);
        text = MeasureText(dc);
    }
    ReleaseDC(chart, dc);
    const ChartView view = state->model.View();
    try {
        return MapView(view, LayoutFor(state->model, view, client.right, client.bottom, text, 1).plot);
    } catch (...) {
        return MapView(view, {0, 0, client.right, client.bottom});  // out of memory for the labels
    }
}

void ChartZoomPercent(HWND chart, double percent) {
    if (ChartWindow* state = StateOf(chart)) AnimateTo(chart, *state, state->model.ZoomPercentView(percent), false);
}

void ChartUndoZoom(HWND chart) {
    if (ChartWindow* state = StateOf(chart)) AnimateTo(chart, *state, state->model.AutoView(), true);
}

void ChartDraw(HWND chart, HDC dc, const RECT& target) {
    const ChartWindow* state = StateOf(chart);
    if (state && dc) DrawGuarded(chart, *state, dc, target);
}

bool ChartCopyToClipboard(HWND chart) {
    if (!StateOf(chart)) return false;
    RECT client{};
    GetClientRect(chart, &client);
    if (client.right <= 0 || client.bottom <= 0) return false;
    // The frame in .01 mm: the client area at its size on the screen.
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    const int horizontalMm = GetDeviceCaps(screen, HORZSIZE);
    const int verticalMm = GetDeviceCaps(screen, VERTSIZE);
    const int horizontalPixels = GetDeviceCaps(screen, HORZRES);
    const int verticalPixels = GetDeviceCaps(screen, VERTRES);
    HENHMETAFILE picture = nullptr;
    if (horizontalPixels > 0 && verticalPixels > 0) {
        const RECT frame{0, 0, MulDiv(client.right, horizontalMm * 100, horizontalPixels),
                         MulDiv(client.bottom, verticalMm * 100, verticalPixels)};
        if (HDC meta = CreateEnhMetaFileA(screen, nullptr, &frame, "Ionsift\0Isotope chart\0")) {
            ChartDraw(chart, meta, client);
            picture = CloseEnhMetaFile(meta);
        }
    }
    ReleaseDC(nullptr, screen);
    if (!picture) return false;
    if (!OpenClipboard(chart)) {
        DeleteEnhMetaFile(picture);
        return false;
    }
    const bool placed = EmptyClipboard() && SetClipboardData(CF_ENHMETAFILE, picture);
    CloseClipboard();
    if (!placed) DeleteEnhMetaFile(picture);  // once placed, the clipboard owns it
    return placed;
}

}  // namespace ionsift
