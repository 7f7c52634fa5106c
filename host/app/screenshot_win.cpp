#include "host/app/screenshot_win.h"

#include <fstream>
#include <memory>
#include <type_traits>

namespace ionsift::host {
namespace {

struct ScreenDcRelease {
    void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
};
struct MemoryDcDelete {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct GdiObjectDelete {
    void operator()(HBITMAP object) const { DeleteObject(object); }
};
using ScreenDc = std::unique_ptr<std::remove_pointer_t<HDC>, ScreenDcRelease>;
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDelete>;
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDelete>;

class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, previous_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

BOOL CALLBACK AddVisibleMenu(HWND window, LPARAM area) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32768") == 0 && IsWindowVisible(window)) {
        RECT menu;
        GetWindowRect(window, &menu);
        RECT* total = reinterpret_cast<RECT*>(area);
        UnionRect(total, total, &menu);
    }
    return TRUE;
}

}  // namespace

RECT HostAndMenuRect(HWND host) {
    RECT area{};
    GetWindowRect(host, &area);
    EnumWindows(AddVisibleMenu, reinterpret_cast<LPARAM>(&area));
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&area, &area, &screen);
    return area;
}

bool CaptureScreenToBmp(const RECT& area, const std::string& path, std::string& problem) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) {
        problem = "nothing on screen to capture";
        return false;
    }
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, as BMP files store rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    header.biSizeImage = stride * static_cast<DWORD>(height);

    ScreenDc screen(GetDC(nullptr));
    MemoryDc memory(CreateCompatibleDC(screen.get()));
    void* bits = nullptr;
    Bitmap bitmap(CreateDIBSection(screen.get(), reinterpret_cast<BITMAPINFO*>(&header),
                                   DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!screen || !memory || !bitmap || bits == nullptr) {
        problem = "cannot create a bitmap for the capture";
        return false;
    }
    {
        SelectedObject selected(memory.get(), bitmap.get());
        if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY)) {
            problem = "BitBlt from the screen failed";
            return false;
        }
        GdiFlush();
    }

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(static_cast<const char*>(bits), header.biSizeImage);
    if (!out) {
        problem = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace ionsift::host
