#include "host/chem/cml_blob.h"

#include <zlib.h>

#include <cstdint>
#include <new>
#include <stdexcept>

#include "host/chem/cml_limits.h"

namespace ionsift::chem {
namespace {

constexpr char kMagic[] = {'\x89', 'C', 'M', 'Z'};
constexpr unsigned char kVersion = 1;
constexpr std::size_t kHeaderBytes = sizeof kMagic + 1 + 4;

// Version 1's preset dictionary: the markup dbtool's CML writer repeats in
// every structure, so that even a small molecule's first atoms and bonds
// compress to back-references. Deflate codes nearer matches in fewer bits,
// so the commonest text comes last. Never edit: a new dictionary is a new
// version.
constexpr std::string_view kDictionaryV1 =
    "<atom id=\"a\" elementType=\"Cl\" formalCharge=\"-1\" isotopeNumber=\"2\" x3=\"\" y3=\"\" z3=\"\"/>"
    "<atom id=\"a\" elementType=\"Br\" formalCharge=\"1\" hydrogenCount=\"0\"/>"
    "<atom id=\"a\" elementType=\"P\" hydrogenCount=\"0\" x2=\"-"
    "<atom id=\"a\" elementType=\"S\" hydrogenCount=\"0\" x2=\"-"
    "<atom id=\"a\" elementType=\"F\" hydrogenCount=\"0\" x2=\""
    "<atom id=\"a\" elementType=\"N\" hydrogenCount=\"2\" x2=\"-"
    "<atom id=\"a\" elementType=\"N\" hydrogenCount=\"1\" x2=\""
    "<atom id=\"a\" elementType=\"O\" hydrogenCount=\"1\" x2=\"-"
    "<atom id=\"a\" elementType=\"N\" hydrogenCount=\"0\" x2=\""
    "<atom id=\"a\" elementType=\"O\" hydrogenCount=\"0\" x2=\"-"
    "<atom id=\"a\" elementType=\"C\" hydrogenCount=\"3\" x2=\""
    "<atom id=\"a\" elementType=\"C\" hydrogenCount=\"2\" x2=\"-"
    "<atom id=\"a\" elementType=\"C\" hydrogenCount=\"0\" x2=\""
    "<atom id=\"a\" elementType=\"C\" hydrogenCount=\"1\" x2=\"-"
    "\" y2=\"-\" y2=\"\"/></atomArray><bondArray>"
    "<bond atomRefs2=\"a\" order=\"3\"/><bond atomRefs2=\"a\" order=\"2\"/>"
    "<bond atomRefs2=\"a\" order=\"A\"/><bond atomRefs2=\"a\" order=\"1\"/>"
    "</bondArray></molecule><molecule><name></name><atomArray><atom id=\"a1\" elementType=\"C\" ";

void PutLength(std::string& out, std::uint32_t length) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((length >> shift) & 0xFF));
}

std::uint32_t GetLength(std::string_view bytes) {
    std::uint32_t length = 0;
    for (int i = 3; i >= 0; --i) length = (length << 8) | static_cast<unsigned char>(bytes[i]);
    return length;
}

const Bytef* DictionaryBytes() { return reinterpret_cast<const Bytef*>(kDictionaryV1.data()); }

CmlUnpack Refused(std::string why) {
    CmlUnpack result;
    result.error = "damaged compact structure: " + std::move(why);
    return result;
}

}  // namespace

bool IsPackedCml(std::string_view bytes) {
    return bytes.size() >= sizeof kMagic && bytes.substr(0, sizeof kMagic) == std::string_view(kMagic, sizeof kMagic);
}

struct CmlPacker::State {
    z_stream stream{};
};

CmlPacker::CmlPacker() : state_(new State) {
    // The fastest level: with the dictionary it already packs a laid-out
    // drug-sized molecule into about 430 bytes; level 6 saves another 75 for
    // a third more time, which an import of millions of records would feel.
    if (deflateInit2(&state_->stream, 1, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        delete state_;
        throw std::bad_alloc();
    }
}

CmlPacker::~CmlPacker() {
    deflateEnd(&state_->stream);
    delete state_;
}

std::string CmlPacker::Pack(std::string_view cml) {
    if (cml.size() > kMaxCmlBytes) throw std::length_error("CML text larger than a structure may be");
    z_stream& stream = state_->stream;
    if (deflateReset(&stream) != Z_OK ||
        deflateSetDictionary(&stream, DictionaryBytes(), static_cast<uInt>(kDictionaryV1.size())) != Z_OK) {
        throw std::bad_alloc();
    }
    std::string out(kMagic, sizeof kMagic);
    out.push_back(static_cast<char>(kVersion));
    PutLength(out, static_cast<std::uint32_t>(cml.size()));
    out.resize(kHeaderBytes + deflateBound(&stream, static_cast<uLong>(cml.size())));
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(cml.data()));
    stream.avail_in = static_cast<uInt>(cml.size());
    stream.next_out = reinterpret_cast<Bytef*>(&out[kHeaderBytes]);
    stream.avail_out = static_cast<uInt>(out.size() - kHeaderBytes);
    // deflateBound leaves room for the whole stream, so one call finishes it.
    if (deflate(&stream, Z_FINISH) != Z_STREAM_END) throw std::bad_alloc();
    out.resize(kHeaderBytes + stream.total_out);
    return out;
}

CmlUnpack UnpackCml(std::string_view packed) {
    if (!IsPackedCml(packed)) return Refused("no header");
    if (packed.size() < kHeaderBytes) return Refused("header cut short");
    if (static_cast<unsigned char>(packed[sizeof kMagic]) != kVersion) {
        return Refused("version " + std::to_string(static_cast<unsigned char>(packed[sizeof kMagic])) +
                       " is not known");
    }
    const std::uint32_t length = GetLength(packed.substr(sizeof kMagic + 1, 4));
    if (length > kMaxCmlBytes) {
        return Refused("states " + std::to_string(length) + " bytes, more than a structure may have");
    }
    // Deflate expands a byte into at most 1,032: a stated length beyond that
    // is a damaged header, refused before any memory is taken for it.
    const std::size_t streamBytes = packed.size() - kHeaderBytes;
    if (length > 1032 * static_cast<std::uint64_t>(streamBytes) + 1032) {
        return Refused("states " + std::to_string(length) + " bytes, more than its " + std::to_string(streamBytes) +
                       "-byte stream can hold");
    }
    CmlUnpack result;
    result.cml.resize(length);
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return Refused("no memory to expand it");
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data() + kHeaderBytes));
    stream.avail_in = static_cast<uInt>(streamBytes);
    stream.next_out = reinterpret_cast<Bytef*>(result.cml.data());
    stream.avail_out = length;
    int rc = inflate(&stream, Z_FINISH);
    if (rc == Z_NEED_DICT) {
        rc = inflateSetDictionary(&stream, DictionaryBytes(), static_cast<uInt>(kDictionaryV1.size()));
        if (rc == Z_OK) rc = inflate(&stream, Z_FINISH);
    }
    // With the stated length written, the stream must end here: room for one
    // byte more tells its end (or its trailer) from a stream that goes on.
    char beyond = 0;
    if (rc == Z_BUF_ERROR && stream.avail_out == 0) {
        stream.next_out = reinterpret_cast<Bytef*>(&beyond);
        stream.avail_out = 1;
        rc = inflate(&stream, Z_FINISH);
    }
    const uLong produced = stream.total_out;
    const uInt unread = stream.avail_in;
    const std::string zlibMessage = stream.msg != nullptr ? stream.msg : "";
    inflateEnd(&stream);
    if (rc == Z_MEM_ERROR) return Refused("no memory to expand it");
    if (produced > length) return Refused("expands beyond the " + std::to_string(length) + " bytes stated");
    if (rc == Z_BUF_ERROR) return Refused("the stream is cut short");
    if (rc != Z_STREAM_END) return Refused(zlibMessage.empty() ? "not a zlib stream" : zlibMessage);
    if (produced != length) {
        return Refused("expands to " + std::to_string(produced) + " bytes, not the " + std::to_string(length) +
                       " stated");
    }
    if (unread != 0) return Refused(std::to_string(unread) + " bytes after the end of the stream");
    result.ok = true;
    return result;
}

}  // namespace ionsift::chem
