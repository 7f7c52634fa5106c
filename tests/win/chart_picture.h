// The chart control's client area as drawn, read back pixel by pixel: the
// tests of the tool window look at what the chart shows through it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace ionsift::wintest {

// The chart's client area as drawn.
class ChartPicture {
public:
    explicit ChartPicture(HWND chart) {
        RedrawWindow(chart, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        RECT client;
        GetClientRect(chart, &client);
        width_ = client.right;
        height_ = client.bottom;
        // From the window's own surface: the screen may show it a little late.
        const HDC window = GetDC(chart);
        const HDC memory = CreateCompatibleDC(window);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;  // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        const HBITMAP bitmap = CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        const HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width_, height_, window, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        pixels_.assign(pixels, pixels + static_cast<std::size_t>(width_) * height_);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(chart, window);
    }

    COLORREF At(int x, int y) const {
        const std::uint32_t bgra = pixels_[static_cast<std::size_t>(y) * width_ + x];
        return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
    }
    int Count(COLORREF colour) const {
        int count = 0;
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) count += At(x, y) == colour;
        }
        return count;
    }
    // The highest pixel of the colour (a stick's top); {-1, -1} when none.
    POINT Highest(COLORREF colour) const {
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                if (At(x, y) == colour) return {x, y};
            }
        }
        return {-1, -1};
    }
    bool operator==(const ChartPicture& other) const { return pixels_ == other.pixels_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

}  // namespace ionsift::wintest
