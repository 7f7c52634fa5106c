// The isotope chart control: a window class over ChartModel
// (chart/chart_model.h). It draws a white back wall without bevel, auto-ranging
// left and bottom axes with numeric labels, the one-line title (the window's
// text mirrors it, empty while hidden) and each series' segments in their
// end points' colours, without marks or legend. A rectangle dragged with the
// left button from upper-left to lower-right zooms to it; dragged the other
// way it undoes the zoom. Every zoom is animated through a few intermediate
// ranges. Every mouse move is told to the parent (kChartMouseMove).
#pragma once

#include <windows.h>

#include "ui/chart_control/chart_class.h"
#include "chart/chart_model.h"

namespace ionsift {

struct ChartMouseNotify {
    NMHDR header;  // code: kChartMouseMove
    int x;         // pointer, client coordinates
    int y;
    WPARAM keys;   // MK_* flags of the WM_MOUSEMOVE
};

bool RegisterChartClass(HINSTANCE module);
void UnregisterChartClass(HINSTANCE module);

// The model of a chart window; null for any other window.
ChartModel* ChartModelOf(HWND chart);
// After the model's series or points changed: the chart is drawn again.
void ChartChanged(HWND chart);
// Sets the title; the window text becomes the text while visible, else "".
void ChartSetTitle(HWND chart, const std::string& text, bool visible);
// The mapping of the chart's current view onto its plot area, at its
// current size; what the pointer readout measures against.
ChartMapping ChartCurrentMapping(HWND chart);
// Zooms by the percentage rule of ChartModel::ZoomPercentView, animated.
void ChartZoomPercent(HWND chart, double percent);
// Back to the automatic ranges, animated.
void ChartUndoZoom(HWND chart);
// Draws the whole chart as it is on screen into `target` of any DC
// (screen, enhanced metafile, printer page).
void ChartDraw(HWND chart, HDC dc, const RECT& target);
// The client area, at its size on screen, as an enhanced metafile that
// replaces the clipboard's contents. False when that failed.
bool ChartCopyToClipboard(HWND chart);
// One page on the printer DC: StartDoc, the chart with its on-screen
// proportions kept, centred within the page margins, EndDoc. False when the
// printer refused any step (the job is then aborted).
bool ChartPrint(HWND chart, HDC printer, const char* documentName);

}  // namespace ionsift
