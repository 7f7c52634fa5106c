// The binary arrays of mzML and mzXML: base64 text, optionally a zlib
// stream, holding 32- or 64-bit IEEE floats in a stated byte order.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ionsift {

// Arrays longer than this are refused: two of them, 64-bit, stay within
// what a 32-bit host can spare for one spectrum.
constexpr std::size_t kMaxArrayValues = 2 * 1024 * 1024;

struct ArrayEncoding {
    int bits = 64;            // 32 or 64
    bool zlib = false;
    bool bigEndian = false;   // mzXML's "network" order; mzML is little-endian
};

// Base64 (RFC 4648, "=" padding optional, blanks and line breaks between
// characters ignored) into bytes. False with the reason and, in `at`, the
// character's place in `text` for a character outside the alphabet or
// text that ends inside a group.
bool DecodeBase64(std::string_view text, std::string& bytes, std::string& reason, std::size_t& at);

// The values of one array: exactly `count` of them. False with the reason
// (and `at` as above where it applies, else 0) for damaged base64, a zlib
// stream that is cut short or damaged, or data that holds other than
// `count` values; `count` above kMaxArrayValues is refused unread.
bool DecodeArray(std::string_view text, const ArrayEncoding& encoding, std::size_t count,
                 std::vector<double>& values, std::string& reason, std::size_t& at);

}  // namespace ionsift
