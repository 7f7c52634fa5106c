#include "spectra/binary_array.h"

#include <cstdint>
#include <cstring>

#include <zlib.h>

namespace ionsift {
namespace {

// The 6-bit value of a base64 character, -1 for blanks, -2 for "=", -3 else.
int Sextet(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') return -1;
    if (c == '=') return -2;
    return -3;
}

// Inflates `packed` into exactly `expected` bytes; a stream that ends
// early, goes on past them or is damaged is refused.
bool Inflate(const std::string& packed, std::size_t expected, std::string& bytes, std::string& reason) {
    bytes.assign(expected, '\0');
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        reason = "zlib could not start";
        return false;
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    stream.avail_in = static_cast<uInt>(packed.size());
    stream.next_out = reinterpret_cast<Bytef*>(bytes.data());
    stream.avail_out = static_cast<uInt>(expected);
    int status = inflate(&stream, Z_FINISH);
    bool overlong = false;
    if (status != Z_STREAM_END && stream.avail_out == 0) {
        // Output full: the stream must end here, with nothing left over.
        unsigned char spare = 0;
        stream.next_out = &spare;
        stream.avail_out = 1;
        status = inflate(&stream, Z_FINISH);
        overlong = stream.avail_out == 0;
    }
    const std::size_t produced = stream.total_out;
    inflateEnd(&stream);
    if (overlong) {
        reason = "zlib stream holds more than the array length states";
        return false;
    }
    if (status == Z_DATA_ERROR || status == Z_NEED_DICT || status == Z_MEM_ERROR || status == Z_STREAM_ERROR) {
        reason = "damaged zlib stream";
        return false;
    }
    if (status != Z_STREAM_END && produced == expected) {
        reason = "truncated zlib stream";
        return false;
    }
    if (status != Z_STREAM_END) {
        reason = "truncated zlib stream (" + std::to_string(produced) + " of " + std::to_string(expected) +
                 " bytes)";
        return false;
    }
    if (produced != expected) {
        reason = "zlib stream holds " + std::to_string(produced) + " bytes, the array length states " +
                 std::to_string(expected);
        return false;
    }
    return true;
}

}  // namespace

bool DecodeBase64(std::string_view text, std::string& bytes, std::string& reason, std::size_t& at) {
    bytes.clear();
    bytes.reserve(text.size() / 4 * 3 + 3);
    std::uint32_t group = 0;
    int inGroup = 0;
    std::size_t padding = 0;
    std::size_t groupStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int value = Sextet(static_cast<unsigned char>(text[i]));
        if (value == -1) continue;
        if (value == -3 || (value >= 0 && padding > 0)) {
            reason = "not base64";
            at = i;
            return false;
        }
        if (inGroup == 0) groupStart = i;
        if (value == -2) {
            if (inGroup < 2 || ++padding > 2) {
                reason = "misplaced base64 padding";
                at = i;
                return false;
            }
            ++inGroup;
        } else {
            group = group << 6 | static_cast<std::uint32_t>(value);
            ++inGroup;
        }
        if (inGroup == 4) {
            group <<= 6 * padding;
            const char three[3] = {static_cast<char>(group >> 16), static_cast<char>(group >> 8),
                                   static_cast<char>(group)};
            bytes.append(three, 3 - padding);
            group = 0;
            inGroup = 0;
        }
    }
    if (padding > 0 && inGroup != 0) {
        reason = "truncated base64 array";
        at = groupStart;
        return false;
    }
    if (inGroup == 1) {
        reason = "truncated base64 array";
        at = groupStart;
        return false;
    }
    if (inGroup > 1) {  // unpadded final group of 2 or 3 characters
        group <<= 6 * (4 - inGroup);
        const char two[2] = {static_cast<char>(group >> 16), static_cast<char>(group >> 8)};
        bytes.append(two, static_cast<std::size_t>(inGroup - 1));
    }
    return true;
}

bool DecodeArray(std::string_view text, const ArrayEncoding& encoding, std::size_t count,
                 std::vector<double>& values, std::string& reason, std::size_t& at) {
    values.clear();
    at = 0;
    if (encoding.bits != 32 && encoding.bits != 64) {
        reason = "values of " + std::to_string(encoding.bits) + " bits";
        return false;
    }
    if (count > kMaxArrayValues) {
        reason = "array of " + std::to_string(count) + " values, more than " + std::to_string(kMaxArrayValues);
        return false;
    }
    const std::size_t width = static_cast<std::size_t>(encoding.bits / 8);
    std::string bytes;
    if (!DecodeBase64(text, bytes, reason, at)) return false;
    if (encoding.zlib) {
        std::string packed;
        packed.swap(bytes);
        if (!Inflate(packed, count * width, bytes, reason)) return false;
    }
    if (bytes.size() != count * width) {
        reason = "array holds " + std::to_string(bytes.size() / width) + (bytes.size() % width ? "+" : "") +
                 " values, its length states " + std::to_string(count);
        return false;
    }
    values.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        unsigned char raw[8];
        std::memcpy(raw, bytes.data() + i * width, width);
        if (encoding.bigEndian) {
            for (std::size_t k = 0; k < width / 2; ++k) std::swap(raw[k], raw[width - 1 - k]);
        }
        // The host is little-endian (x86); the bytes are now in its order.
        if (width == 4) {
            float value;
            std::memcpy(&value, raw, 4);
            values[i] = value;
        } else {
            std::memcpy(&values[i], raw, 8);
        }
    }
    return true;
}

}  // namespace ionsift
