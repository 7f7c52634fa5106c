// The x87 unit rounds long doubles to the precision its control word names.
// A host may have set 53 bits (the Windows default for most compilers);
// mass windows need all 64 while they are computed.
#pragma once

#if defined(_WIN32) && defined(__i386__)
#include <float.h>
#endif

namespace ionsift {

class ExtendedPrecision {
public:
#if defined(_WIN32) && defined(__i386__)
    ExtendedPrecision() : saved_(_controlfp(0, 0)) { _controlfp(_PC_64, _MCW_PC); }
    ~ExtendedPrecision() { _controlfp(saved_, _MCW_PC); }
    ExtendedPrecision(const ExtendedPrecision&) = delete;
    ExtendedPrecision& operator=(const ExtendedPrecision&) = delete;

private:
    unsigned int saved_;
#else
    ~ExtendedPrecision() {}  // elsewhere long double arithmetic needs no help
#endif
};

}  // namespace ionsift
