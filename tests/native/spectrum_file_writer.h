// Real-format spectrum files written by the tests and the benchmarks: mzML
// (indexed or not) and mzXML, arrays of 32- or 64-bit floats, plain or zlib,
// base64 from the encoder here (independent of the reader's decoder).
#pragma once

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace ionsift::spectrum_files {

struct Scan {
    long scan = 1;
    int msLevel = 1;
    double rtSeconds = 0;
    bool profile = false;
    std::vector<double> mz, intensity;
    bool statesBasePeak = true;
};

struct Encoding {
    int bits = 64;
    bool zlib = false;
    bool indexed = true;
};

inline std::string Base64(const std::string& bytes) {
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k)
            group = group << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k) text += k <= n ? kAlphabet[group >> (18 - 6 * k) & 63] : '=';
    }
    return text;
}

// The values as the file's bytes, base64: little-endian (mzML) or network order (mzXML).
inline std::string Pack(const std::vector<double>& values, int bits, bool zlib, bool bigEndian) {
    std::string bytes;
    for (double value : values) {
        char raw[8];
        if (bits == 32) {
            const float single = static_cast<float>(value);
            std::memcpy(raw, &single, 4);
        } else {
            std::memcpy(raw, &value, 8);
        }
        const int width = bits / 8;
        for (int k = 0; k < width; ++k) bytes += raw[bigEndian ? width - 1 - k : k];
    }
    if (zlib) {
        uLongf packedSize = compressBound(static_cast<uLong>(bytes.size()));
        std::string packed(packedSize, '\0');
        compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(bytes.data()),
                  static_cast<uLong>(bytes.size()), 6);
        packed.resize(packedSize);
        bytes = packed;
    }
    return Base64(bytes);
}

inline std::string Number(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.10g", value);
    return buffer;
}

inline std::string MzmlSpectrum(const Scan& s, std::size_t index, const Encoding& e) {
    std::size_t tallest = 0;
    for (std::size_t i = 0; i < s.intensity.size(); ++i)
        if (s.intensity[i] > s.intensity[tallest]) tallest = i;
    std::string text = "<spectrum index=\"" + std::to_string(index) +
                       "\" id=\"controllerType=0 controllerNumber=1 scan=" + std::to_string(s.scan) +
                       "\" defaultArrayLength=\"" + std::to_string(s.mz.size()) + "\">\n";
    text += "  <cvParam cvRef=\"MS\" accession=\"MS:1000511\" name=\"ms level\" value=\"" +
            std::to_string(s.msLevel) + "\"/>\n";
    text += s.msLevel == 1 ? "  <cvParam cvRef=\"MS\" accession=\"MS:1000579\" name=\"MS1 spectrum\" value=\"\"/>\n"
                           : "  <cvParam cvRef=\"MS\" accession=\"MS:1000580\" name=\"MSn spectrum\" value=\"\"/>\n";
    text += s.profile ? "  <cvParam cvRef=\"MS\" accession=\"MS:1000128\" name=\"profile spectrum\" value=\"\"/>\n"
                      : "  <cvParam cvRef=\"MS\" accession=\"MS:1000127\" name=\"centroid spectrum\" value=\"\"/>\n";
    if (s.statesBasePeak && !s.mz.empty()) {
        text += "  <cvParam cvRef=\"MS\" accession=\"MS:1000504\" name=\"base peak m/z\" value=\"" +
                Number(s.mz[tallest]) + "\"/>\n";
        text += "  <cvParam cvRef=\"MS\" accession=\"MS:1000505\" name=\"base peak intensity\" value=\"" +
                Number(s.intensity[tallest]) + "\"/>\n";
    }
    text += "  <scanList count=\"1\"><scan><cvParam cvRef=\"MS\" accession=\"MS:1000016\" name=\"scan start time\" "
            "value=\"" + Number(s.rtSeconds) + "\" unitCvRef=\"UO\" unitAccession=\"UO:0000010\" unitName=\"second\"/>"
            "</scan></scanList>\n  <binaryDataArrayList count=\"2\">\n";
    for (int array = 0; array < 2; ++array) {
        const std::string data = Pack(array == 0 ? s.mz : s.intensity, e.bits, e.zlib, false);
        text += "    <binaryDataArray encodedLength=\"" + std::to_string(data.size()) + "\">\n";
        text += e.bits == 32 ? "      <cvParam cvRef=\"MS\" accession=\"MS:1000521\" name=\"32-bit float\" value=\"\"/>\n"
                             : "      <cvParam cvRef=\"MS\" accession=\"MS:1000523\" name=\"64-bit float\" value=\"\"/>\n";
        text += e.zlib ? "      <cvParam cvRef=\"MS\" accession=\"MS:1000574\" name=\"zlib compression\" value=\"\"/>\n"
                       : "      <cvParam cvRef=\"MS\" accession=\"MS:1000576\" name=\"no compression\" value=\"\"/>\n";
        text += array == 0 ? "      <cvParam cvRef=\"MS\" accession=\"MS:1000514\" name=\"m/z array\" value=\"\"/>\n"
                           : "      <cvParam cvRef=\"MS\" accession=\"MS:1000515\" name=\"intensity array\" value=\"\"/>\n";
        text += "      <binary>" + data + "</binary>\n    </binaryDataArray>\n";
    }
    return text + "  </binaryDataArrayList>\n</spectrum>\n";
}

// Appends the mzML to `out` (which may already hold other bytes, as a
// benchmark's file does), spectrum by spectrum through `next`.
template <typename Next>
void WriteMzml(std::string& out, const Encoding& e, std::size_t count, Next next) {
    out += "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    if (e.indexed) out += "<indexedmzML xmlns=\"http://psi.hupo.org/ms/mzml\">\n";
    out += "<mzML xmlns=\"http://psi.hupo.org/ms/mzml\" version=\"1.1.0\">\n<run id=\"r\">\n"
           "<spectrumList count=\"" + std::to_string(count) + "\">\n";
    std::vector<std::uint64_t> offsets;
    for (std::size_t i = 0; i < count; ++i) {
        offsets.push_back(out.size());
        out += MzmlSpectrum(next(i), i, e);
    }
    out += "</spectrumList>\n</run>\n</mzML>\n";
    if (!e.indexed) return;
    const std::uint64_t indexAt = out.size();
    out += "<indexList count=\"1\">\n<index name=\"spectrum\">\n";
    for (std::size_t i = 0; i < count; ++i)
        out += "<offset idRef=\"scan=" + std::to_string(i + 1) + "\">" + std::to_string(offsets[i]) + "</offset>\n";
    out += "</index>\n</indexList>\n<indexListOffset>" + std::to_string(indexAt) +
           "</indexListOffset>\n<fileChecksum>0</fileChecksum>\n</indexedmzML>\n";
}

inline std::string Mzml(const std::vector<Scan>& scans, const Encoding& e) {
    std::string out;
    WriteMzml(out, e, scans.size(), [&](std::size_t i) { return scans[i]; });
    return out;
}

// mzXML with each MS2 scan nested in the MS1 scan before it, as older
// converters write them.
inline std::string Mzxml(const std::vector<Scan>& scans, const Encoding& e) {
    std::string out = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                      "<mzXML xmlns=\"http://sashimi.sourceforge.net/schema_revision/mzXML_3.2\">\n"
                      "<msRun scanCount=\"" + std::to_string(scans.size()) + "\">\n";
    std::vector<std::pair<long, std::uint64_t>> offsets;
    bool open = false;
    for (const Scan& s : scans) {
        if (s.msLevel == 1 && open) out += "</scan>\n";
        offsets.emplace_back(s.scan, out.size());
        std::vector<double> pairs;
        for (std::size_t i = 0; i < s.mz.size(); ++i) {
            pairs.push_back(s.mz[i]);
            pairs.push_back(s.intensity[i]);
        }
        out += "<scan num=\"" + std::to_string(s.scan) + "\" msLevel=\"" + std::to_string(s.msLevel) +
               "\" peaksCount=\"" + std::to_string(s.mz.size()) + "\" centroided=\"" + (s.profile ? "0" : "1") +
               "\" retentionTime=\"PT" + Number(s.rtSeconds) + "S\">\n";
        if (s.msLevel > 1) out += "<precursorMz precursorIntensity=\"1\">500</precursorMz>\n";
        out += std::string("<peaks precision=\"") + std::to_string(e.bits) +
               "\" byteOrder=\"network\" contentType=\"m/z-int\" compressionType=\"" + (e.zlib ? "zlib" : "none") +
               "\" compressedLen=\"0\">" + Pack(pairs, e.bits, e.zlib, true) + "</peaks>\n";
        if (s.msLevel > 1) out += "</scan>\n";
        else open = true;
    }
    if (open) out += "</scan>\n";
    out += "</msRun>\n";
    if (e.indexed) {
        const std::uint64_t indexAt = out.size();
        out += "<index name=\"scan\">\n";
        for (const auto& [scan, offset] : offsets)
            out += "<offset id=\"" + std::to_string(scan) + "\">" + std::to_string(offset) + "</offset>\n";
        out += "</index>\n<indexOffset>" + std::to_string(indexAt) + "</indexOffset>\n<sha1>0</sha1>\n";
    }
    return out + "</mzXML>\n";
}

}  // namespace ionsift::spectrum_files
