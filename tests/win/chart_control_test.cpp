// The isotope chart control on real windows: what it draws where its mapping
// says, its title, zoom by mouse drag and by percentage, the mouse moves told
// to the parent, and the metafile it puts on the clipboard. With
// IONSIFT_CHART_PICTURE set (a Windows path) the picture test also saves its
// chart of a red and a blue series there as a BMP.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/win/bmp_file.h"
#include "ui/chart_control/chart_window_win.h"

namespace ionsift {
namespace {

constexpr int kChartId = 1234;
constexpr int kChartWidth = 289;  // as on the main tool window
constexpr int kChartHeight = 225;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The last chart notification the parent received.
struct Notified {
    int count = 0;
    UINT_PTR id = 0;
    int x = 0;
    int y = 0;
    WPARAM keys = 0;
} g_notified;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == kChartMouseMove) {
            const auto* notify = reinterpret_cast<const ChartMouseNotify*>(lParam);
            g_notified = {g_notified.count + 1, header->idFrom, notify->x, notify->y, notify->keys};
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Counts the chart's paints, to see a zoom's animation.
int g_paints = 0;
WNDPROC g_chartProc = nullptr;
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) ++g_paints;
    return CallWindowProcA(g_chartProc, window, message, wParam, lParam);
}

// The peak series' stick layout: lead point, then per stick foot and top in
// black and a foot in the series colour.
void AddStick(ChartSeries& series, double mass, double abundance) {
    if (series.Count() == 0) series.Add(mass - 1, 0, 0);
    series.Add(mass, 0, 0);
    series.Add(mass, abundance, 0);
    series.Add(mass, 0, series.Colour());
}

// The chart drawn by ChartDraw into a 32-bit DIB of the client's size.
class Rendering {
public:
    explicit Rendering(HWND chart) {
        RECT client{};
        GetClientRect(chart, &client);
        Allocate(client.right, client.bottom);
        ChartDraw(chart, dc_, client);
        GdiFlush();
    }
    // A metafile played into a DIB of the given size instead.
    Rendering(HENHMETAFILE picture, int width, int height) {
        Allocate(width, height);
        const RECT area{0, 0, width, height};
        PlayEnhMetaFile(dc_, picture, &area);
        GdiFlush();
    }
    ~Rendering() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }

    COLORREF At(std::int64_t x, std::int64_t y) const {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
        const std::uint32_t pixel = bits_[y * width_ + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }
    COLORREF At(const PixelPoint& p) const { return At(p.x, p.y); }
    int Count(COLORREF colour) const {
        int count = 0;
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) count += At(x, y) == colour;
        }
        return count;
    }

    bool SaveBmp(const std::string& path) const {
        return wintest::WriteBmp(path, width_, -height_, 32, bits_,
                        static_cast<std::size_t>(width_) * height_ * 4);
    }

private:
    void Allocate(int width, int height) {
        width_ = width;
        height_ = height;
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, width, -height /* top-down */, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<const std::uint32_t*>(bits);
        old_ = SelectObject(dc_, bitmap_);
    }

    int width_ = 0;
    int height_ = 0;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    const std::uint32_t* bits_ = nullptr;
};

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class ChartControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        const HINSTANCE module = GetModuleHandleA(nullptr);
        ASSERT_TRUE(RegisterChartClass(module));
        WNDCLASSA parentClass{};
        parentClass.lpfnWndProc = ParentProc;
        parentClass.hInstance = module;
        parentClass.lpszClassName = "ChartTestParent";
        RegisterClassA(&parentClass);
        parent_ = CreateWindowExA(0, "ChartTestParent", "Chart test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                                  400, 320, nullptr, nullptr, module, nullptr);
        ASSERT_NE(parent_, nullptr);
        chart_ = CreateWindowExA(0, kChartClass, "", WS_CHILD | WS_VISIBLE, 8, 16, kChartWidth, kChartHeight,
                                 parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kChartId)), module,
                                 nullptr);
        ASSERT_NE(chart_, nullptr);
        model_ = ChartModelOf(chart_);
        ASSERT_NE(model_, nullptr);
        g_notified = {};
    }
    void TearDown() override {
        if (parent_) DestroyWindow(parent_);
        UnregisterChartClass(GetModuleHandleA(nullptr));
    }

    ChartSeries& AddSeries(COLORREF colour) {
        return *model_->AddSeries(std::make_unique<ChartSeries>(colour));
    }
    // Two red sticks: (100.5, 80) and (101.5, 40).
    void AddRedSticks() {
        ChartSeries& red = AddSeries(kRed);
        AddStick(red, 100.5, 80);
        AddStick(red, 101.5, 40);
        ChartChanged(chart_);
    }
    void Drag(int x1, int y1, int x2, int y2) {
        SendMessageA(chart_, WM_LBUTTONDOWN, MK_LBUTTON, At(x1, y1));
        SendMessageA(chart_, WM_MOUSEMOVE, MK_LBUTTON, At((x1 + x2) / 2, (y1 + y2) / 2));
        SendMessageA(chart_, WM_MOUSEMOVE, MK_LBUTTON, At(x2, y2));
        SendMessageA(chart_, WM_LBUTTONUP, 0, At(x2, y2));
    }
    std::string WindowText() const {
        char text[256] = {};
        GetWindowTextA(chart_, text, sizeof text);
        return text;
    }

    HWND parent_ = nullptr;
    HWND chart_ = nullptr;
    ChartModel* model_ = nullptr;
};

TEST_F(ChartControlTest, SticksAreDrawnWhereTheMappingPutsThem) {
    AddRedSticks();
    // Abundance from -20, so that the baseline lies above the bottom axis.
    model_->SetView({{99, 102}, {-20, 100}});
    const ChartMapping mapping = ChartCurrentMapping(chart_);
    const Rendering picture(chart_);
    EXPECT_EQ(picture.At(mapping.Pixel(100.5, 40)), kRed);  // the falling edge covers the black rise
    EXPECT_EQ(picture.At(mapping.Pixel(101.5, 20)), kRed);
    EXPECT_EQ(picture.At(mapping.Pixel(100.0, 0)), kBlack);  // the baseline between lead point and stick
    EXPECT_EQ(picture.At(mapping.Pixel(101.0, 0)), kBlack);
    EXPECT_EQ(picture.At(mapping.Pixel(101.0, 60)), kWhite);  // the back wall
    EXPECT_EQ(picture.At(mapping.Pixel(100.5, 90)), kWhite);  // above the tallest stick
    EXPECT_EQ(picture.At(2, 2), GetSysColor(COLOR_BTNFACE));  // outside the wall
    // Left of the lead point there is no line.
    EXPECT_EQ(picture.At(mapping.Pixel(99.2, 0)), kWhite);
}

TEST_F(ChartControlTest, FarZoomStillDrawsTheStickAcrossThePlot) {
    AddRedSticks();
    // The lead point and the other stick lie about 1e12 pixels away.
    model_->SetView({{100.5 - 1e-10, 100.5 + 1e-10}, {30, 50}});
    const ChartMapping mapping = ChartCurrentMapping(chart_);
    const Rendering picture(chart_);
    EXPECT_EQ(picture.At(mapping.Pixel(100.5, 40)), kRed);
    EXPECT_EQ(picture.At(mapping.Pixel(100.5 - 5e-11, 40)), kWhite);
}

TEST_F(ChartControlTest, WindowTextMirrorsTheTitle) {
    AddRedSticks();
    const std::int64_t untitledTop = ChartCurrentMapping(chart_).Pixel(100, 80).y;
    ChartSetTitle(chart_, "Rms = 7.08", true);
    EXPECT_EQ(WindowText(), "Rms = 7.08");
    EXPECT_TRUE(model_->TitleVisible());
    const std::int64_t titledTop = ChartCurrentMapping(chart_).Pixel(100, 80).y;
    EXPECT_GT(titledTop, untitledTop);  // the title's line pushes the plot down
    // The title's text is drawn above the plot.
    const Rendering picture(chart_);
    int dark = 0;
    for (int y = 0; y < titledTop; ++y) {
        for (int x = kChartWidth / 3; x < 2 * kChartWidth / 3; ++x) dark += picture.At(x, y) == GetSysColor(COLOR_BTNTEXT);
    }
    EXPECT_GT(dark, 20);

    ChartSetTitle(chart_, "Rms = 7.08", false);
    EXPECT_EQ(WindowText(), "");
    EXPECT_FALSE(model_->TitleVisible());
    EXPECT_EQ(ChartCurrentMapping(chart_).Pixel(100, 80).y, untitledTop);
    // Emptying the window text, as the window's reset does, hides it too.
    ChartSetTitle(chart_, "Rms = 0.00", true);
    SetWindowTextA(chart_, "");
    EXPECT_FALSE(model_->TitleVisible());
}

TEST_F(ChartControlTest, DragDownRightZoomsAndDragBackUndoes) {
    AddRedSticks();
    UpdateWindow(chart_);
    const ChartView automatic = model_->AutoView();
    const ChartMapping mapping = ChartCurrentMapping(chart_);
    const PixelPoint from = mapping.Pixel(100.2, 90);
    const PixelPoint to = mapping.Pixel(100.8, 30);
    Drag(static_cast<int>(from.x), static_cast<int>(from.y), static_cast<int>(to.x), static_cast<int>(to.y));
    ASSERT_TRUE(model_->Zoomed());
    const ChartView zoomed = model_->View();
    EXPECT_NEAR(zoomed.bottom.min, 100.2, 0.05);
    EXPECT_NEAR(zoomed.bottom.max, 100.8, 0.05);
    EXPECT_NEAR(zoomed.left.min, 30, 2);
    EXPECT_NEAR(zoomed.left.max, 90, 2);
    EXPECT_EQ(GetCapture(), nullptr);

    Drag(static_cast<int>(to.x), static_cast<int>(to.y), static_cast<int>(from.x), static_cast<int>(from.y));
    EXPECT_FALSE(model_->Zoomed());
    EXPECT_EQ(model_->View().bottom.min, automatic.bottom.min);
    EXPECT_EQ(model_->View().left.max, automatic.left.max);

    // A press that wanders a pixel or two is a click.
    Drag(100, 100, 102, 101);
    EXPECT_FALSE(model_->Zoomed());
}

// Regression: a drag to the right that barely went down undid the zoom.
TEST_F(ChartControlTest, AFlatDragToTheRightKeepsTheZoom) {
    AddRedSticks();
    UpdateWindow(chart_);
    Drag(60, 60, 160, 160);
    ASSERT_TRUE(model_->Zoomed());
    const ChartView zoomed = model_->View();
    Drag(60, 100, 160, 102);
    Drag(60, 100, 160, 98);
    EXPECT_TRUE(model_->Zoomed());
    EXPECT_EQ(model_->View().bottom.min, zoomed.bottom.min);
    EXPECT_EQ(model_->View().left.max, zoomed.left.max);
    Drag(160, 100, 60, 102);  // leftwards: undone
    EXPECT_FALSE(model_->Zoomed());
}

TEST_F(ChartControlTest, ZoomPercentIsAnimatedAndUndoReturnsToAutomaticRanges) {
    AddRedSticks();
    UpdateWindow(chart_);
    const ChartView target = model_->ZoomPercentView(125);
    g_chartProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(chart_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)));
    g_paints = 0;
    ChartZoomPercent(chart_, 125);
    EXPECT_GE(g_paints, 3);  // intermediate views, each painted
    EXPECT_LE(g_paints, 6);
    EXPECT_EQ(model_->View().bottom.min, target.bottom.min);
    EXPECT_EQ(model_->View().left.max, target.left.max);
    ChartUndoZoom(chart_);
    EXPECT_FALSE(model_->Zoomed());
}

TEST_F(ChartControlTest, MouseMovesReachTheParent) {
    SendMessageA(chart_, WM_MOUSEMOVE, MK_SHIFT, At(37, 52));
    EXPECT_EQ(g_notified.count, 1);
    EXPECT_EQ(g_notified.id, static_cast<UINT_PTR>(kChartId));
    EXPECT_EQ(g_notified.x, 37);
    EXPECT_EQ(g_notified.y, 52);
    EXPECT_EQ(g_notified.keys, static_cast<WPARAM>(MK_SHIFT));
    EXPECT_EQ(ChartModelOf(parent_), nullptr);
}

TEST_F(ChartControlTest, CopyPutsTheChartOnTheClipboardAsEnhancedMetafile) {
    AddRedSticks();
    ASSERT_TRUE(ChartCopyToClipboard(chart_));
    ASSERT_TRUE(OpenClipboard(parent_));
    const auto picture = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
    ASSERT_NE(picture, nullptr);
    ENHMETAHEADER header{};
    ASSERT_TRUE(GetEnhMetaFileHeader(picture, sizeof header, &header));
    // The frame, in .01 mm, back in screen pixels: the client's size.
    HDC screen = GetDC(nullptr);
    const double pixelsPerHundredthX = GetDeviceCaps(screen, HORZRES) / (GetDeviceCaps(screen, HORZSIZE) * 100.0);
    const double pixelsPerHundredthY = GetDeviceCaps(screen, VERTRES) / (GetDeviceCaps(screen, VERTSIZE) * 100.0);
    ReleaseDC(nullptr, screen);
    EXPECT_NEAR((header.rclFrame.right - header.rclFrame.left) * pixelsPerHundredthX, kChartWidth, 1.5);
    EXPECT_NEAR((header.rclFrame.bottom - header.rclFrame.top) * pixelsPerHundredthY, kChartHeight, 1.5);
    // Played back, it shows the red sticks and the white wall.
    const Rendering played(picture, kChartWidth, kChartHeight);
    CloseClipboard();
    EXPECT_GT(played.Count(kRed), 50);
    EXPECT_GT(played.Count(kWhite), kChartWidth * kChartHeight / 2);
}

TEST_F(ChartControlTest, PictureOfBothSeries) {
    ChartSeries& red = AddSeries(kRed);
    const double distribution[][2] = {{100.0, 100}, {101.0, 60}, {102.0, 22}, {103.0, 6}, {104.0, 1.2}};
    for (const auto& peak : distribution) AddStick(red, peak[0], peak[1]);
    ChartSeries& blue = AddSeries(kBlue);
    const double measured[][2] = {{100.02, 95}, {101.03, 66}, {102.01, 18}, {103.04, 9}};
    for (const auto& peak : measured) AddStick(blue, peak[0], peak[1]);
    ChartSetTitle(chart_, "Rms = 4.12", true);
    const Rendering picture(chart_);
    EXPECT_GT(picture.Count(kRed), 100);
    EXPECT_GT(picture.Count(kBlue), 100);
    if (const char* path = std::getenv("IONSIFT_CHART_PICTURE")) {
        EXPECT_TRUE(picture.SaveBmp(path));
    }
}

}  // namespace
}  // namespace ionsift
