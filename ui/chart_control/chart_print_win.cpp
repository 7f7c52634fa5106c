// The isotope chart on one printer page: the page's geometry read from the
// printer DC, the chart's place on it from FitOnPage, the drawing from
// ChartDraw.
#include "ui/chart_control/chart_window_win.h"
#include "ui/chart_control/print_layout.h"

namespace ionsift {
namespace {

PageMetrics ReadPageMetrics(HDC printer) {
    PageMetrics page;
    page.paperWidth = GetDeviceCaps(printer, PHYSICALWIDTH);
    page.paperHeight = GetDeviceCaps(printer, PHYSICALHEIGHT);
    page.printableLeft = GetDeviceCaps(printer, PHYSICALOFFSETX);
    page.printableTop = GetDeviceCaps(printer, PHYSICALOFFSETY);
    page.printableWidth = GetDeviceCaps(printer, HORZRES);
    page.printableHeight = GetDeviceCaps(printer, VERTRES);
    page.dotsPerInchX = GetDeviceCaps(printer, LOGPIXELSX);
    page.dotsPerInchY = GetDeviceCaps(printer, LOGPIXELSY);
    return page;
}

}  // namespace

bool ChartPrint(HWND chart, HDC printer, const char* documentName) {
    if (!chart || !printer) return false;
    RECT client{};
    GetClientRect(chart, &client);

    DOCINFOA document{};
    document.cbSize = sizeof document;
    document.lpszDocName = documentName;
    if (StartDocA(printer, &document) <= 0) return false;
    if (StartPage(printer) <= 0) {
        AbortDoc(printer);
        return false;
    }
    const ScreenRect place =
        FitOnPage(ReadPageMetrics(printer), client.right - client.left, client.bottom - client.top);
    if (place.Width() > 0 && place.Height() > 0) {
        const RECT target{place.left, place.top, place.right, place.bottom};
        ChartDraw(chart, printer, target);
    }
    if (EndPage(printer) <= 0 || EndDoc(printer) <= 0) {
        AbortDoc(printer);
        return false;
    }
    return true;
}

}  // namespace ionsift
