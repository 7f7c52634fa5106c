// Structures stored compactly: the CML text compressed with zlib behind a
// small header, as `dbtool import` writes the Structure column (a BLOB; every
// other writer, and every database written before, stores the CML as TEXT).
//
// Layout, version 1 (9 bytes, then the stream):
//   0..3  magic "\x89" "CMZ"   (never the start of CML text, which is XML)
//   4     version, 1
//   5..8  length of the CML text in bytes, little-endian (at most kMaxCmlBytes)
//   9..   a zlib stream (RFC 1950) of the text, deflated with the preset
//         dictionary of version 1 (common CML markup; see cml_blob.cpp)
// The dictionary belongs to the version: changing it means a new version,
// and readers keep every old one.
//
// A laid-out drug-sized molecule of about 2.4 KB of CML packs into about 430
// bytes (docs/PERFORMANCE.md); packing one takes about 20 µs of CPU,
// expanding it about 8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ionsift::chem {

// Whether stored bytes claim to be a packed structure (by the magic alone).
bool IsPackedCml(std::string_view bytes);

// Compresses CML text. Throws std::length_error above kMaxCmlBytes (which the
// reader would refuse anyway) and std::bad_alloc when zlib has no memory.
class CmlPacker {
public:
    CmlPacker();
    ~CmlPacker();
    CmlPacker(const CmlPacker&) = delete;
    CmlPacker& operator=(const CmlPacker&) = delete;

    // The header and the stream. Reuses one zlib state, so packing many
    // structures in a row costs no allocation per structure beyond the result.
    std::string Pack(std::string_view cml);

private:
    struct State;
    State* state_;
};

struct CmlUnpack {
    bool ok = false;
    std::string cml;
    std::string error;  // why the bytes are not a packed structure, when !ok
};

// The CML text back. Bounded: never more than the length the header states,
// itself at most kMaxCmlBytes; a damaged header or stream gives an error.
CmlUnpack UnpackCml(std::string_view packed);

}  // namespace ionsift::chem
