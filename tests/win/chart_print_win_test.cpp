// ChartPrint's refusals, built from its sources into the test program: a DC
// that cannot start a print job gives false and leaves no job open behind.
#include <gtest/gtest.h>

#include <windows.h>

#include "ui/chart_control/chart_window_win.h"

namespace ionsift {
namespace {

class ChartPrintRefusal : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(RegisterChartClass(GetModuleHandleA(nullptr)));
        parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                  nullptr, nullptr);
        chart_ = CreateWindowExA(0, kChartClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 289, 225,
                                 parent_, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(chart_, nullptr);
    }
    void TearDown() override {
        DestroyWindow(parent_);
        UnregisterChartClass(GetModuleHandleA(nullptr));
    }
    HWND parent_ = nullptr;
    HWND chart_ = nullptr;
};

TEST_F(ChartPrintRefusal, ScreenMemoryDcIsNoPrinter) {
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    EXPECT_FALSE(ChartPrint(chart_, memory, "chart"));
    // Nothing was left half-open: the DC still draws as before.
    EXPECT_TRUE(PatBlt(memory, 0, 0, 1, 1, WHITENESS));
    DeleteDC(memory);
}

TEST_F(ChartPrintRefusal, MissingChartOrDc) {
    EXPECT_FALSE(ChartPrint(chart_, nullptr, "chart"));
    const HDC screen = GetDC(nullptr);
    EXPECT_FALSE(ChartPrint(nullptr, screen, "chart"));
    ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace ionsift
