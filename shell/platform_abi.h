// Calling-convention spellings shared by the plug-in, the stand-in host and the
// native test build (where the conventions do not exist and expand to nothing).
#pragma once

#if defined(_WIN32) && !defined(_WIN64)
#define IONSIFT_STDCALL __stdcall
#define IONSIFT_CDECL __cdecl
#else
#define IONSIFT_STDCALL
#define IONSIFT_CDECL
#endif
