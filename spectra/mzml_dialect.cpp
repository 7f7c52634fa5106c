// mzML: a spectrum's cvParams (its own and its param groups') for the list,
// and its binary data arrays for the peaks.
#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>
#include <string_view>

#include "spectra/binary_array.h"
#include "spectra/xml_dialect.h"

namespace ionsift {
namespace {

// Every cvParam of `node`, its referenced param groups' included:
// (accession, value) pairs, with a unit for times as "value unitAccession".
template <typename Visit>
void ForEachParam(pugi::xml_node node, const ParamGroups& groups, Visit visit) {
    for (pugi::xml_node child : node.children()) {
        if (std::strcmp(child.name(), "cvParam") == 0) {
            visit(child.attribute("accession").value(), child);
        } else if (std::strcmp(child.name(), "referenceableParamGroupRef") == 0) {
            const auto group = groups.find(child.attribute("ref").value());
            if (group == groups.end()) continue;
            for (const auto& [accession, value] : group->second) {
                pugi::xml_document one;
                pugi::xml_node param = one.append_child("cvParam");
                param.append_attribute("value") = value.c_str();
                visit(accession.c_str(), param);
            }
        }
    }
}

double Minutes(double value, pugi::xml_node param) {
    const std::string unit = param.attribute("unitAccession").value();
    const std::string unitName = param.attribute("unitName").value();
    if (unit == "UO:0000031" || unitName == "minute") return value;
    if (unit == "UO:0000032" || unitName == "hour") return value * 60;
    return value / 60;  // seconds, the unit mzML's scan start time is usually in
}

// The scan number from an id such as "controllerType=0 controllerNumber=1 scan=17".
std::optional<long long> ScanFromId(std::string_view id) {
    for (const char* key : {"scan=", "scanId=", "spectrum="}) {
        const std::size_t at = id.find(key);
        if (at == std::string_view::npos || (at > 0 && id[at - 1] != ' ')) continue;
        long long scan = 0;
        const char* first = id.data() + at + std::strlen(key);
        const auto result = std::from_chars(first, id.data() + id.size(), scan);
        if (result.ec == std::errc() && scan >= 0) return scan;
    }
    return std::nullopt;
}

bool ReadMzmlHead(pugi::xml_node spectrum, const ParamGroups& groups, XmlHead& head, std::string& reason) {
    head.entry.title = spectrum.attribute("id").value();
    head.entry.scan = ScanFromId(head.entry.title);
    std::size_t index = 0;
    if (!head.entry.scan && XmlCount(spectrum.attribute("index").value(), index)) {
        head.entry.scan = static_cast<long long>(index) + 1;
    }
    bool ok = true;
    ForEachParam(spectrum, groups, [&](std::string_view accession, pugi::xml_node param) {
        double value = 0;
        const bool number = XmlNumber(param.attribute("value").value(), value);
        if (accession == "MS:1000511") {
            if (!number || value < 1 || value > 100) ok = false;
            else head.msLevel = static_cast<int>(value);
        } else if (accession == "MS:1000580") {
            head.msnType = true;
        } else if (accession == "MS:1000504" && number) {
            head.entry.basePeakMz = value;
        } else if (accession == "MS:1000505" && number) {
            head.entry.basePeakIntensity = value;
        }
    });
    if (!ok) {
        reason = "ms level is not a number from 1 to 100";
        return false;
    }
    for (pugi::xml_node scan : spectrum.child("scanList").children("scan")) {
        ForEachParam(scan, groups, [&](std::string_view accession, pugi::xml_node param) {
            double value = 0;
            if (accession == "MS:1000016" && XmlNumber(param.attribute("value").value(), value))
                head.entry.retentionMinutes = Minutes(value, param);
        });
    }
    return true;
}

bool ReadMzmlPeaks(pugi::xml_node spectrum, const ParamGroups& groups, XmlPeaks& peaks, std::string& reason, std::size_t& at) {
    std::size_t defaultLength = 0;
    if (!XmlCount(spectrum.attribute("defaultArrayLength").value(), defaultLength)) {
        reason = "defaultArrayLength is not a count";
        return false;
    }
    ForEachParam(spectrum, groups, [&](std::string_view accession, pugi::xml_node) {
        if (accession == "MS:1000128") peaks.profile = true;
    });
    bool haveMz = false, haveIntensity = false;
    for (pugi::xml_node array : spectrum.child("binaryDataArrayList").children("binaryDataArray")) {
        ArrayEncoding encoding;
        enum { Other, Mz, Intensity } kind = Other;
        std::string unsupported;
        ForEachParam(array, groups, [&](std::string_view accession, pugi::xml_node param) {
            if (accession == "MS:1000514") kind = Mz;
            else if (accession == "MS:1000515") kind = Intensity;
            else if (accession == "MS:1000521") encoding.bits = 32;
            else if (accession == "MS:1000523") encoding.bits = 64;
            else if (accession == "MS:1000519" || accession == "MS:1000522") unsupported = "integer values";
            else if (accession == "MS:1000574") encoding.zlib = true;
            else if (accession == "MS:1000576") {
            } else if (accession.substr(0, 9) == "MS:100231" || accession.substr(0, 9) == "MS:100274" ||
                       accession == "MS:1002746" || accession == "MS:1002747" || accession == "MS:1002748") {
                unsupported = std::string("compression ") + param.attribute("name").value();
            }
        });
        if (kind == Other) continue;
        if (!unsupported.empty()) {
            reason = "binary array with " + unsupported + ", which is not read";
            return false;
        }
        std::size_t count = defaultLength;
        if (array.attribute("arrayLength") && !XmlCount(array.attribute("arrayLength").value(), count)) {
            reason = "arrayLength is not a count";
            return false;
        }
        const pugi::xml_node binary = array.child("binary");
        const std::string_view text = binary.child_value();
        std::size_t encoded = 0;
        if (array.attribute("encodedLength") && XmlCount(array.attribute("encodedLength").value(), encoded)) {
            const std::size_t have = static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
                return c != ' ' && c != '\t' && c != '\r' && c != '\n';
            }));
            if (have < encoded) {
                reason = "truncated base64 array (" + std::to_string(have) + " of " + std::to_string(encoded) +
                         " characters)";
                at = XmlOffset(binary.first_child());
                return false;
            }
        }
        std::vector<double>& values = kind == Mz ? peaks.mz : peaks.intensity;
        std::size_t where = 0;
        if (!DecodeArray(text, encoding, count, values, reason, where)) {
            reason = (kind == Mz ? "m/z array: " : "intensity array: ") + reason;
            at = binary.first_child() ? XmlOffset(binary.first_child()) + where : XmlOffset(array);
            return false;
        }
        (kind == Mz ? haveMz : haveIntensity) = true;
    }
    if (!haveMz || !haveIntensity) {
        reason = haveMz ? "no intensity array" : "no m/z array";
        return false;
    }
    return true;
}

// The referenceable param groups, from the file's first 4 MiB.
void ReadParamGroups(FileBytes& file, ParamGroups& groups) {
    std::string text;
    if (!file.ReadAt(0, 4 << 20, text)) return;
    const std::size_t start = text.find("<referenceableParamGroupList");
    const std::size_t end = text.find("</referenceableParamGroupList>");
    if (start == std::string::npos || end == std::string::npos || end < start) return;
    std::string list = text.substr(start, end + std::strlen("</referenceableParamGroupList>") - start);
    pugi::xml_document document;
    if (!document.load_buffer_inplace(list.data(), list.size(), pugi::parse_minimal | pugi::parse_escapes)) return;
    for (pugi::xml_node group : document.first_child().children("referenceableParamGroup")) {
        auto& params = groups[group.attribute("id").value()];
        for (pugi::xml_node param : group.children("cvParam"))
            params.emplace_back(param.attribute("accession").value(), param.attribute("value").value());
    }
}

}  // namespace

const XmlDialect& MzmlDialect() {
    static const XmlDialect dialect{SpectrumFileFormat::MzML, "mzML", "<mzML", "<spectrum", "</spectrum>",
                                    "<binaryDataArrayList", "</spectrum>", "<indexListOffset>", "</indexList>",
                                    "spectrum", ReadParamGroups, ReadMzmlHead, ReadMzmlPeaks};
    return dialect;
}

}  // namespace ionsift
