// mzXML: a scan's attributes for the list, its <peaks> for the peaks.
#include <string_view>

#include "spectra/binary_array.h"
#include "spectra/xml_dialect.h"

namespace ionsift {
namespace {

// xs:duration as mzXML writes retention times: "PT12.5S", "PT1M2.5S", "P0DT0H1M2S".
bool Duration(std::string_view text, double& minutes) {
    text = TrimBlanks(text);
    if (text.empty() || text.front() != 'P') return false;
    text.remove_prefix(1);
    double seconds = 0;
    bool inTime = false;
    while (!text.empty()) {
        if (text.front() == 'T') {
            inTime = true;
            text.remove_prefix(1);
            continue;
        }
        const std::size_t unit = text.find_first_of("YMWDHS");
        if (unit == std::string_view::npos || unit == 0) return false;
        double value = 0;
        if (!ReadDecimal(text.substr(0, unit), value)) return false;
        switch (text[unit]) {
            case 'D': seconds += value * 86400; break;
            case 'H': seconds += value * 3600; break;
            case 'M': if (!inTime) return false; seconds += value * 60; break;
            case 'S': seconds += value; break;
            default: return false;
        }
        text.remove_prefix(unit + 1);
    }
    minutes = seconds / 60;
    return true;
}

bool ReadMzxmlHead(pugi::xml_node scan, const ParamGroups&, XmlHead& head, std::string& reason) {
    std::size_t number = 0;
    if (XmlCount(scan.attribute("num").value(), number)) head.entry.scan = static_cast<long long>(number);
    head.entry.title = std::string("scan ") + scan.attribute("num").value();
    if (scan.attribute("msLevel")) {
        std::size_t level = 0;
        if (!XmlCount(scan.attribute("msLevel").value(), level) || level < 1 || level > 100) {
            reason = "msLevel is not a number from 1 to 100";
            return false;
        }
        head.msLevel = static_cast<int>(level);
    }
    double value = 0, minutes = 0;
    if (Duration(scan.attribute("retentionTime").value(), minutes)) head.entry.retentionMinutes = minutes;
    if (XmlNumber(scan.attribute("basePeakMz").value(), value)) head.entry.basePeakMz = value;
    if (XmlNumber(scan.attribute("basePeakIntensity").value(), value)) head.entry.basePeakIntensity = value;
    return true;
}

bool ReadMzxmlPeaks(pugi::xml_node scan, const ParamGroups&, XmlPeaks& peaks, std::string& reason, std::size_t& at) {
    std::size_t count = 0;
    if (!XmlCount(scan.attribute("peaksCount").value(), count)) {
        reason = "peaksCount is not a count";
        return false;
    }
    const std::string centroided = scan.attribute("centroided").value();
    peaks.profile = centroided == "0" || centroided == "false";
    const pugi::xml_node data = scan.child("peaks");
    if (!data) {
        reason = "no peaks element";
        return false;
    }
    ArrayEncoding encoding;
    encoding.bits = data.attribute("precision") ? data.attribute("precision").as_int() : 32;
    const std::string order = data.attribute("byteOrder").value();
    encoding.bigEndian = order.empty() || order == "network" || order == "big";
    const std::string compression = data.attribute("compressionType").value();
    encoding.zlib = compression == "zlib";
    if (!compression.empty() && compression != "none" && compression != "zlib") {
        reason = "peaks with compression " + compression + ", which is not read";
        return false;
    }
    std::string pairs = data.attribute("pairOrder").value();
    if (pairs.empty()) pairs = data.attribute("contentType").value();
    if (!pairs.empty() && pairs != "m/z-int") {
        reason = "peaks as " + pairs + ", not m/z-int";
        return false;
    }
    if (count > kMaxArrayValues / 2) {
        reason = "peaksCount " + std::to_string(count) + ", more than " + std::to_string(kMaxArrayValues / 2);
        return false;
    }
    std::vector<double> values;
    std::size_t where = 0;
    if (!DecodeArray(data.child_value(), encoding, 2 * count, values, reason, where)) {
        reason = "peaks: " + reason;
        at = data.first_child() ? XmlOffset(data.first_child()) + where : XmlOffset(data);
        return false;
    }
    peaks.mz.resize(count);
    peaks.intensity.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        peaks.mz[i] = values[2 * i];
        peaks.intensity[i] = values[2 * i + 1];
    }
    return true;
}

void NoFileHead(FileBytes&, ParamGroups&) {}

}  // namespace

const XmlDialect& MzxmlDialect() {
    static const XmlDialect dialect{SpectrumFileFormat::MzXML, "mzXML", "<mzXML", "<scan", "</scan>", "<peaks",
                                    "</peaks>", "<indexOffset>", "</index>", "scan", NoFileHead, ReadMzxmlHead,
                                    ReadMzxmlPeaks};
    return dialect;
}

}  // namespace ionsift
