// The plug-in description record that Init returns. Hosts read it byte for
// byte (little-endian, 32-bit pointers), so its layout is pinned.
#pragma once

#include <cstddef>
#include <cstdint>

#include "shell/platform_abi.h"

namespace ionsift {

struct PluginMenuEntry {
    const char* caption;      // null for an entry without caption
    std::int32_t hostValue4;  // host-defined
    void* image;              // HBITMAP, null for none
    std::int32_t hostValue12; // host-defined
    std::int32_t hostValue16; // host-defined
    std::int32_t request;     // code the host passes to Call
};

struct PluginRecord {
    std::int32_t magic;       // 1
    std::int16_t version;     // 2
    std::int16_t entryCount;  // 3
    std::int32_t reserved;    // 0
    const char* name;
    const char* author;
    PluginMenuEntry* entries; // entryCount entries, then one of all zero bytes
};

// The plug-in's exports, stdcall with undecorated names.
using PluginInitFn = void*(IONSIFT_STDCALL*)(void* hostContext);
using PluginCallFn = short(IONSIFT_STDCALL*)(int request, int unused);
using PluginFreeFn = short(IONSIFT_STDCALL*)();

constexpr int kRequestAbout = 1;
constexpr int kRequestHelp = 3;
constexpr int kRequestMainWindow = 101;
constexpr int kPluginEntryCount = 3;
constexpr const char* kPluginName = "Ionsift";
constexpr const char* kPluginAuthor = "Brannoc";

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(PluginMenuEntry) == 24, "menu entry is 24 bytes");
static_assert(offsetof(PluginMenuEntry, hostValue4) == 4, "entry value at 4");
static_assert(offsetof(PluginMenuEntry, image) == 8, "entry image at 8");
static_assert(offsetof(PluginMenuEntry, hostValue12) == 12, "entry value at 12");
static_assert(offsetof(PluginMenuEntry, hostValue16) == 16, "entry value at 16");
static_assert(offsetof(PluginMenuEntry, request) == 20, "entry request at 20");
static_assert(offsetof(PluginRecord, version) == 4, "record version at 4");
static_assert(offsetof(PluginRecord, entryCount) == 6, "record entry count at 6");
static_assert(offsetof(PluginRecord, reserved) == 8, "record zero at 8");
static_assert(offsetof(PluginRecord, name) == 12, "record name at 12");
static_assert(offsetof(PluginRecord, author) == 16, "record author at 16");
static_assert(offsetof(PluginRecord, entries) == 20, "record entries at 20");
#endif

// The record and its table of kPluginEntryCount + 1 entries; captions and
// images are filled by Init.
PluginRecord& TheDescriptionRecord();

}  // namespace ionsift
