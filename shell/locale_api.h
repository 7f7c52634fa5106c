// Functions of the host's localization library ("locale.dll"), all stdcall and
// exported undecorated. The plug-in resolves them through the host's loader;
// the stand-in library implements them.
#pragma once

#include "shell/platform_abi.h"

namespace ionsift {

using LocOpenCatFn = int(IONSIFT_STDCALL*)(const char* catalogFile, const char* directory,
                                           const char* language, int flag,
                                           const char* defaultLanguage);
using LocGetCatStrFn = const char*(IONSIFT_STDCALL*)(int catalog, int id, const char* defaultText);
using LocGetErrFn = int(IONSIFT_STDCALL*)();
using LocGetErrStrFn = int(IONSIFT_STDCALL*)(char* buffer, int size);
using LocCloseCatFn = int(IONSIFT_STDCALL*)(int catalog);

// Error codes of LocGetErr that are not faults: nothing to report to the user.
constexpr int kLocErrNone = 0;
constexpr int kLocErrNoCatalogForLanguage = 8;
constexpr int kLocErrUnknownLanguage = 9;

constexpr const char* kCatalogFileName = "RADURUR.evidodi";
constexpr const char* kDefaultLanguage = "english";

}  // namespace ionsift
