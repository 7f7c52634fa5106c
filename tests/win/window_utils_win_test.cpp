// Window utilities on real windows under the user locale of the run: the
// separator, the real key filter on an edit, placement over a host window,
// the common-dialog placement, the busy cursor, background tiling, and the
// settings section in a real initialization file.
#include <gtest/gtest.h>

#include <windows.h>

#include <clocale>
#include <string>
#include <vector>

#include "shell/host_context.h"
#include "shell/host_link.h"
#include "shell/plugin_state.h"
#include "shell/settings.h"
#include "shell/settings_store_win.h"
#include "tests/win/user_locale.h"
#include "text/separators.h"
#include "ui/form/window_utils_win.h"

namespace ionsift {
namespace {

using wintest::RegisteredSeparator;
using wintest::UserLocaleSeparator;

// A plain top-level window of the given screen rectangle.
class TestWindow {
public:
    TestWindow(const char* className, DWORD style, int left, int top, int width, int height,
               HWND parent = nullptr)
        : window_(CreateWindowExA(0, className, "", style, left, top, width, height, parent,
                                  nullptr, GetModuleHandleA(nullptr), nullptr)) {}
    ~TestWindow() {
        if (window_) DestroyWindow(window_);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND Get() const { return window_; }

private:
    HWND window_;
};

RECT ScreenRectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// The host record with a command log; only what these tests read is filled.
class FakeHost {
public:
    FakeHost() {
        current_ = this;
        context_.errorCode = &errorCode_;
        context_.resultText = "";
        context_.command = &OnCommand;
        SetHostContext(&context_);
    }
    ~FakeHost() {
        SetHostContext(nullptr);
        current_ = nullptr;
    }
    HostContext& Context() { return context_; }
    std::vector<std::string> commands;

private:
    static int __cdecl OnCommand(const char* command) {
        current_->commands.emplace_back(command);
        return 0;
    }
    static inline FakeHost* current_ = nullptr;
    HostContext context_{};
    int errorCode_ = 0;
};

TEST(UserLocale, IsTheOneThisRunWasRegisteredFor) {
    ASSERT_NE(RegisteredSeparator(), '\0') << "registered without COMMA_LOCALE";
    EXPECT_EQ(UserLocaleSeparator(), RegisteredSeparator());
    SetLocaleDecimalSeparator('.');
    ReadUserDecimalSeparator();
    EXPECT_EQ(LocaleDecimalSeparator(), RegisteredSeparator());
}

TEST(FilterRealKey, APointTypedIntoARealEditBecomesTheUserSeparator) {
    ReadUserDecimalSeparator();
    const char separator = LocaleDecimalSeparator();
    TestWindow edit("EDIT", WS_OVERLAPPEDWINDOW, 0, 0, 200, 40);
    ASSERT_TRUE(edit.Get());
    SetWindowTextA(edit.Get(), "150");
    SendMessageA(edit.Get(), EM_SETSEL, 3, 3);
    char key = '.';
    FilterRealKey(edit.Get(), key, true);
    EXPECT_EQ(key, separator);

    // A second one is refused, unless it replaces the selected one.
    const std::string withSeparator = std::string("150") + separator + "25";
    SetWindowTextA(edit.Get(), withSeparator.c_str());
    SendMessageA(edit.Get(), EM_SETSEL, 6, 6);
    key = '.';
    FilterRealKey(edit.Get(), key, true);
    EXPECT_EQ(key, 0);
    SendMessageA(edit.Get(), EM_SETSEL, 3, 4);
    key = separator;
    FilterRealKey(edit.Get(), key, true);
    EXPECT_EQ(key, separator);

    // The selection the filter reads is the edit's own: "+" only at 0.
    SendMessageA(edit.Get(), EM_SETSEL, 0, 0);
    key = '+';
    FilterRealKey(edit.Get(), key, true);
    EXPECT_EQ(key, '+');
    SendMessageA(edit.Get(), EM_SETSEL, 2, 2);
    key = '+';
    FilterRealKey(edit.Get(), key, true);
    EXPECT_EQ(key, 0);
}

TEST(Placement, OneMonitorGivesTheScreenSize) {
    ASSERT_LT(GetSystemMetrics(SM_CMONITORS), 2) << "the virtual display has one monitor";
    TestWindow window("STATIC", WS_POPUP, 10, 10, 100, 100);
    const WorkLimits limits = GetWorkLimits(window.Get());
    EXPECT_EQ(limits.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(limits.bottom, GetSystemMetrics(SM_CYSCREEN));
    const WorkLimits primary = GetWorkLimits(nullptr);
    EXPECT_EQ(primary.right, limits.right);
}

TEST(Placement, AFormCentredOnAHostAtTheRightEdgeEndsFlushWithIt) {
    FakeHost host;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    TestWindow hostWindow("STATIC", WS_POPUP, screenWidth - 300, 100, 300, 400);
    TestWindow form("STATIC", WS_POPUP, 0, 0, 721, 479);
    ASSERT_TRUE(hostWindow.Get() && form.Get());
    host.Context().mainWindow = hostWindow.Get();

    CenterOnHost(form.Get());
    const RECT placed = ScreenRectOf(form.Get());
    EXPECT_EQ(placed.right, GetWorkLimits(hostWindow.Get()).right);
    EXPECT_EQ(placed.right - placed.left, 721);  // the form keeps its size
    EXPECT_EQ(placed.bottom - placed.top, 479);
    EXPECT_EQ(placed.top, 100 - 40);  // (400 - 479) / 2 rounded down

    // Without a host window: centred on the screen.
    host.Context().mainWindow = nullptr;
    CenterOnHost(form.Get());
    const RECT centred = ScreenRectOf(form.Get());
    EXPECT_EQ(centred.left, (screenWidth - 721) / 2);
    EXPECT_EQ(centred.top, (GetSystemMetrics(SM_CYSCREEN) - 479) / 2);
}

TEST(Placement, ACommonDialogMovesOnceWhenItFirstShows) {
    TestWindow owner("STATIC", WS_POPUP, 200, 150, 600, 400);
    TestWindow dialog("STATIC", WS_POPUP, 0, 0, 300, 200);
    // A file dialog reports a child of its window.
    TestWindow reported("STATIC", WS_CHILD, 0, 0, 10, 10, dialog.Get());
    ASSERT_TRUE(owner.Get() && dialog.Get() && reported.Get());

    CenterCommonDialog(CommonDialogKind::Open, reported.Get(), owner.Get());
    EXPECT_EQ(ScreenRectOf(dialog.Get()).left, 0) << "nothing moves before the show";
    ShowWindow(dialog.Get(), SW_SHOWNA);
    RECT placed = ScreenRectOf(dialog.Get());
    EXPECT_EQ(placed.left, 200 + 150);
    EXPECT_EQ(placed.top, 150 + 100);
    EXPECT_EQ(placed.right - placed.left, 300);

    // Later shows leave it where the user put it.
    MoveWindow(dialog.Get(), 5, 6, 300, 200, TRUE);
    ShowWindow(dialog.Get(), SW_HIDE);
    ShowWindow(dialog.Get(), SW_SHOWNA);
    placed = ScreenRectOf(dialog.Get());
    EXPECT_EQ(placed.left, 5);
    EXPECT_EQ(placed.top, 6);
}

TEST(Placement, TwoCommonDialogsPendingAtOnceEachGetTheirOwnPlace) {
    TestWindow owner("STATIC", WS_POPUP, 100, 100, 400, 400);
    TestWindow first("STATIC", WS_POPUP, 0, 0, 200, 100);
    TestWindow second("STATIC", WS_POPUP, 0, 0, 100, 300);
    CenterCommonDialog(CommonDialogKind::Print, first.Get(), owner.Get());
    CenterCommonDialog(CommonDialogKind::Color, second.Get(), owner.Get());
    ShowWindow(first.Get(), SW_SHOWNA);
    ShowWindow(second.Get(), SW_SHOWNA);
    EXPECT_EQ(ScreenRectOf(first.Get()).left, 200);
    EXPECT_EQ(ScreenRectOf(first.Get()).top, 250);
    EXPECT_EQ(ScreenRectOf(second.Get()).left, 250);
    EXPECT_EQ(ScreenRectOf(second.Get()).top, 150);
    // Another kind of dialog is left where it is.
    TestWindow other("STATIC", WS_POPUP, 7, 8, 100, 100);
    CenterCommonDialog(CommonDialogKind::Other, other.Get(), owner.Get());
    ShowWindow(other.Get(), SW_SHOWNA);
    EXPECT_EQ(ScreenRectOf(other.Get()).left, 7);
}

TEST(BusyCursor, TheHostAlwaysHearsOfItThePluginOnlyWithItsWindow) {
    FakeHost host;
    ThePlugin().mainWindow = nullptr;
    SetBusyCursor(true);
    EXPECT_FALSE(BusyCursorOn());
    SetBusyCursor(false);

    TestWindow window("STATIC", WS_POPUP, 0, 0, 10, 10);
    ThePlugin().mainWindow = window.Get();
    SetBusyCursor(true);
    EXPECT_TRUE(BusyCursorOn());
    SetBusyCursor(true);  // set, not counted: one off ends it
    SetBusyCursor(false);
    EXPECT_FALSE(BusyCursorOn());
    ThePlugin().mainWindow = nullptr;

    const std::vector<std::string> expected = {"Cursor Busy", "Cursor Default", "Cursor Busy",
                                               "Cursor Busy", "Cursor Default"};
    EXPECT_EQ(host.commands, expected);
}

// Reads the colour of one pixel of a 32-bit DIB section.
COLORREF PixelAt(const std::vector<DWORD>& pixels, int width, int x, int y) {
    const DWORD bgr = pixels[static_cast<std::size_t>(y * width + x)];
    return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

TEST(TileBackground, RepeatsTheBitmapOverTheWholeForm) {
    // A 3 x 2 tile with a distinct colour in each pixel.
    const COLORREF tile[2][3] = {{RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)},
                                 {RGB(255, 255, 0), RGB(0, 255, 255), RGB(255, 0, 255)}};
    const HDC screen = GetDC(nullptr);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 3, 2);
    const HDC tileDc = CreateCompatibleDC(screen);
    const HGDIOBJ oldTile = SelectObject(tileDc, bitmap);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) SetPixel(tileDc, x, y, tile[y][x]);
    SelectObject(tileDc, oldTile);
    DeleteDC(tileDc);

    constexpr int kWidth = 8, kHeight = 5;  // not whole tiles: the last ones are cut
    TestWindow form("STATIC", WS_POPUP, 0, 0, kWidth, kHeight);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP target = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HDC targetDc = CreateCompatibleDC(screen);
    const HGDIOBJ oldTarget = SelectObject(targetDc, target);
    ReleaseDC(nullptr, screen);

    TileBackground(form.Get(), targetDc, bitmap);
    GdiFlush();
    const std::vector<DWORD> pixels(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            EXPECT_EQ(PixelAt(pixels, kWidth, x, y), tile[y % 2][x % 3]) << x << "," << y;
        }
    }
    SelectObject(targetDc, oldTarget);
    DeleteDC(targetDc);
    DeleteObject(target);
    DeleteObject(bitmap);
}

class ProfileSettings : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[MAX_PATH] = {};
        ASSERT_GT(GetTempPathA(sizeof folder, folder), 0u);
        path_ = std::string(folder) + "ionsift-settings-test.ini";
        DeleteFileA(path_.c_str());
        std::snprintf(host_.Context().settingsPath, kHostPathSize, "%s", path_.c_str());
        SetSettingsStore(&ProfileSettingsStore());
        ReadUserDecimalSeparator();
    }
    void TearDown() override {
        SetSettingsStore(nullptr);
        DeleteFileA(path_.c_str());
    }
    std::string StoredValue(const char* key) {
        char value[600] = {};
        GetPrivateProfileStringA("Ionsift", key, "<missing>", value, sizeof value, path_.c_str());
        return value;
    }

    FakeHost host_;
    std::string path_;
};

TEST_F(ProfileSettings, ValuesRoundTripThroughTheFileWithAPointInside) {
    // The host process may have switched the C runtime to a comma locale.
    ASSERT_NE(std::setlocale(LC_ALL, "German_Germany.1252"), nullptr);
    const char separator = LocaleDecimalSeparator();
    const std::string typedMass = std::string("150") + separator + "25";
    WriteRealSetting(kSettingMass, typedMass.c_str());
    WriteRealSetting(kSettingPpm, separator == ',' ? "0,5" : "0.5");
    WriteSetting(kSettingMaxResults, "50");
    WriteSetting(kSettingDatabase, "structures");

    EXPECT_EQ(StoredValue("MASS"), "150.25");
    EXPECT_EQ(StoredValue("PPM"), "0.5");
    EXPECT_EQ(StoredValue("MAXRESULTS"), "50");
    EXPECT_EQ(StoredValue("DATABASE"), "structures");

    EXPECT_EQ(std::string(ReadSetting(kSettingMass, false)), typedMass);
    EXPECT_EQ(std::string(ReadSetting(kSettingPpm, false)), std::string("0") + separator + "5");
    EXPECT_STREQ(ReadSetting(kSettingMaxResults, false), "50");
    EXPECT_STREQ(ReadSetting(kSettingDatabase, false), "structures");
    std::setlocale(LC_ALL, "C");
}

TEST_F(ProfileSettings, ALongTextIsCutAt511AndReadBackWhole) {
    const std::string text(600, '9');
    WriteRealSetting(kSettingMass, text.c_str());
    EXPECT_EQ(StoredValue("MASS"), std::string(511, '9'));
    EXPECT_EQ(std::string(ReadSetting(kSettingMass, false)), std::string(511, '9'));
}

}  // namespace
}  // namespace ionsift
