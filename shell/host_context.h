// The host context record: the host owns it, the plug-in only reads it.
// Its layout is a binary interface shared with every host, so each field sits
// at a pinned byte offset on i686; the gaps belong to the host.
#pragma once

#include <cstddef>
#include <cstdint>

#include "shell/platform_abi.h"

namespace ionsift {

using HostCommandFn = int(IONSIFT_CDECL*)(const char* command);
using HostWindowFn = void(IONSIFT_CDECL*)(void* window);
// Loader: (library, &module, slot, name, slot, name, ..., nullptr) -> 1 on success.
using HostLoaderFn = short(IONSIFT_CDECL*)(const char* library, void** module, ...);

constexpr std::size_t kHostPathSize = 260;

struct HostContext {
    std::uint32_t reserved0;
    int* errorCode;                    // host's result of the last command, 0 = success
    std::uint8_t reserved8[20];
    const char* resultText;            // answer to the last command; read anew after each
    void* appWindow;                   // HWND owning every plug-in window
    std::uint8_t reserved36[24];
    void* mainWindow;                  // HWND used for placement, may be null
    char settingsPath[kHostPathSize];  // the plug-in's initialization file
    char hostDirectory[kHostPathSize]; // ends with a backslash
    HostCommandFn command;
    std::uint8_t reserved588[12];
    HostWindowFn windowOpened;
    HostWindowFn windowClosed;
    std::uint8_t reserved608[16];
    HostLoaderFn loadLibrary;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(HostContext, errorCode) == 4, "error code pointer");
static_assert(offsetof(HostContext, resultText) == 28, "result text");
static_assert(offsetof(HostContext, appWindow) == 32, "application window");
static_assert(offsetof(HostContext, mainWindow) == 60, "main window");
static_assert(offsetof(HostContext, settingsPath) == 64, "settings path");
static_assert(offsetof(HostContext, hostDirectory) == 324, "host directory");
static_assert(offsetof(HostContext, command) == 584, "command callback");
static_assert(offsetof(HostContext, windowOpened) == 600, "window-opened callback");
static_assert(offsetof(HostContext, windowClosed) == 604, "window-closed callback");
static_assert(offsetof(HostContext, loadLibrary) == 624, "library loader");
static_assert(sizeof(HostContext) == 628, "record ends after the loader");
#endif

}  // namespace ionsift
