// What differs between mzML and mzXML is one row of kDialects (the element,
// where its head ends, the index) and two functions each: one reading an
// element's head for the list, one its arrays. The XML itself is parsed by
// pugixml, one element at a time, cut from the file by byte offset.
#include "spectra/xml_spectra.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>

#include <pugixml.hpp>

#include "isotopes/instrument_view.h"
#include "spectra/binary_array.h"
#include "spectra/spectrum_text.h"

namespace ionsift {
namespace {

constexpr std::size_t kFirstRead = 16 << 10;
constexpr std::size_t kMaxHeadBytes = 1 << 20;
constexpr std::size_t kMaxIndexBytes = 64 << 20;
constexpr std::size_t kMaxListedSpectra = 2000000;

// A spectrum as the head and the arrays describe it.
struct Peaks {
    std::vector<double> mz, intensity;
    bool profile = false;
};
struct Head {
    int msLevel = 0;  // 0: not stated
    bool msnType = false;
    SpectrumEntry entry;
};

struct Dialect {
    SpectrumFileFormat format;
    const char* name;           // for messages
    const char* root;           // seen near the file's start
    const char* element;        // the spectrum's start tag, without its end
    const char* close;          // its end tag, closing a cut head or body
    const char* headEnd;        // where the list stops reading
    const char* bodyEnd;        // where the peaks end
    const char* indexOffsetTag; // near the file's end: where the index starts
    const char* indexClose;
    const char* indexName;      // <index name="...">
    bool (*readHead)(pugi::xml_node, Head&, std::string&);
    bool (*readPeaks)(pugi::xml_node, Peaks&, std::string&, std::size_t&);
};

// ---------------------------------------------------------------- numbers

bool Number(const char* text, double& value) { return text && ReadDecimal(TrimBlanks(text), value); }

bool Count(const char* text, std::size_t& value) {
    double number = 0;
    if (!Number(text, number) || number < 0 || number != std::floor(number) || number > 1e15) return false;
    value = static_cast<std::size_t>(number);
    return true;
}

std::string ByteWhere(std::uint64_t offset) { return "byte " + std::to_string(offset); }

// Where a node starts in the element's text (0 where pugixml cannot say).
std::size_t At(pugi::xml_node node) {
    const std::ptrdiff_t offset = node ? node.offset_debug() : -1;
    return offset < 0 ? 0 : static_cast<std::size_t>(offset);
}

// ---------------------------------------------------------------- mzML

using ParamGroups = std::map<std::string, std::vector<std::pair<std::string, std::string>>>;
thread_local const ParamGroups* currentGroups = nullptr;

// Every cvParam of `node`, its referenced param groups' included:
// (accession, value) pairs, with a unit for times as "value unitAccession".
template <typename Visit>
void ForEachParam(pugi::xml_node node, Visit visit) {
    for (pugi::xml_node child : node.children()) {
        if (std::strcmp(child.name(), "cvParam") == 0) {
            visit(child.attribute("accession").value(), child);
        } else if (std::strcmp(child.name(), "referenceableParamGroupRef") == 0 && currentGroups) {
            const auto group = currentGroups->find(child.attribute("ref").value());
            if (group == currentGroups->end()) continue;
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

bool ReadMzmlHead(pugi::xml_node spectrum, Head& head, std::string& reason) {
    head.entry.title = spectrum.attribute("id").value();
    head.entry.scan = ScanFromId(head.entry.title);
    std::size_t index = 0;
    if (!head.entry.scan && Count(spectrum.attribute("index").value(), index)) {
        head.entry.scan = static_cast<long long>(index) + 1;
    }
    bool ok = true;
    ForEachParam(spectrum, [&](std::string_view accession, pugi::xml_node param) {
        double value = 0;
        const bool number = Number(param.attribute("value").value(), value);
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
        ForEachParam(scan, [&](std::string_view accession, pugi::xml_node param) {
            double value = 0;
            if (accession == "MS:1000016" && Number(param.attribute("value").value(), value))
                head.entry.retentionMinutes = Minutes(value, param);
        });
    }
    return true;
}

bool ReadMzmlPeaks(pugi::xml_node spectrum, Peaks& peaks, std::string& reason, std::size_t& at) {
    std::size_t defaultLength = 0;
    if (!Count(spectrum.attribute("defaultArrayLength").value(), defaultLength)) {
        reason = "defaultArrayLength is not a count";
        return false;
    }
    ForEachParam(spectrum, [&](std::string_view accession, pugi::xml_node) {
        if (accession == "MS:1000128") peaks.profile = true;
    });
    bool haveMz = false, haveIntensity = false;
    for (pugi::xml_node array : spectrum.child("binaryDataArrayList").children("binaryDataArray")) {
        ArrayEncoding encoding;
        enum { Other, Mz, Intensity } kind = Other;
        std::string unsupported;
        ForEachParam(array, [&](std::string_view accession, pugi::xml_node param) {
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
        if (array.attribute("arrayLength") && !Count(array.attribute("arrayLength").value(), count)) {
            reason = "arrayLength is not a count";
            return false;
        }
        const pugi::xml_node binary = array.child("binary");
        const std::string_view text = binary.child_value();
        std::size_t encoded = 0;
        if (array.attribute("encodedLength") && Count(array.attribute("encodedLength").value(), encoded)) {
            const std::size_t have = static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
                return c != ' ' && c != '\t' && c != '\r' && c != '\n';
            }));
            if (have < encoded) {
                reason = "truncated base64 array (" + std::to_string(have) + " of " + std::to_string(encoded) +
                         " characters)";
                at = At(binary.first_child());
                return false;
            }
        }
        std::vector<double>& values = kind == Mz ? peaks.mz : peaks.intensity;
        std::size_t where = 0;
        if (!DecodeArray(text, encoding, count, values, reason, where)) {
            reason = (kind == Mz ? "m/z array: " : "intensity array: ") + reason;
            at = binary.first_child() ? At(binary.first_child()) + where : At(array);
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

// ---------------------------------------------------------------- mzXML

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

bool ReadMzxmlHead(pugi::xml_node scan, Head& head, std::string& reason) {
    std::size_t number = 0;
    if (Count(scan.attribute("num").value(), number)) head.entry.scan = static_cast<long long>(number);
    head.entry.title = std::string("scan ") + scan.attribute("num").value();
    if (scan.attribute("msLevel")) {
        std::size_t level = 0;
        if (!Count(scan.attribute("msLevel").value(), level) || level < 1 || level > 100) {
            reason = "msLevel is not a number from 1 to 100";
            return false;
        }
        head.msLevel = static_cast<int>(level);
    }
    double value = 0, minutes = 0;
    if (Duration(scan.attribute("retentionTime").value(), minutes)) head.entry.retentionMinutes = minutes;
    if (Number(scan.attribute("basePeakMz").value(), value)) head.entry.basePeakMz = value;
    if (Number(scan.attribute("basePeakIntensity").value(), value)) head.entry.basePeakIntensity = value;
    return true;
}

bool ReadMzxmlPeaks(pugi::xml_node scan, Peaks& peaks, std::string& reason, std::size_t& at) {
    std::size_t count = 0;
    if (!Count(scan.attribute("peaksCount").value(), count)) {
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
        at = data.first_child() ? At(data.first_child()) + where : At(data);
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

const Dialect kDialects[] = {
    {SpectrumFileFormat::MzML, "mzML", "<mzML", "<spectrum", "</spectrum>", "<binaryDataArrayList", "</spectrum>",
     "<indexListOffset>", "</indexList>", "spectrum", ReadMzmlHead, ReadMzmlPeaks},
    {SpectrumFileFormat::MzXML, "mzXML", "<mzXML", "<scan", "</scan>", "<peaks", "</peaks>", "<indexOffset>",
     "</index>", "scan", ReadMzxmlHead, ReadMzxmlPeaks},
};

const Dialect& DialectOf(SpectrumFileFormat format) {
    return format == SpectrumFileFormat::MzXML ? kDialects[1] : kDialects[0];
}


// ---------------------------------------------------------------- elements

bool EndsName(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '>' || c == '/'; }

enum class Cut { Found, NotElement, TooLarge, Truncated, ReadError };

// The element starting at `offset` up to `end` (kept when `keepEnd`), or to
// `close` if that comes first; read in growing pieces, at most `limit` bytes.
Cut CutElement(FileBytes& file, const Dialect& dialect, std::uint64_t offset, const char* end, bool keepEnd,
               std::size_t limit, std::string& text) {
    const std::size_t nameLength = std::strlen(dialect.element);
    std::size_t want = std::min(kFirstRead, limit);
    for (;;) {
        if (!file.ReadAt(offset, want, text)) return Cut::ReadError;
        if (text.size() <= nameLength || text.compare(0, nameLength, dialect.element) != 0 ||
            !EndsName(text[nameLength])) {
            return text.size() <= nameLength && text.compare(0, text.size(), dialect.element, text.size()) == 0
                       ? Cut::Truncated
                       : Cut::NotElement;
        }
        std::size_t at = text.find(end, nameLength);
        const std::size_t closeAt = text.find(dialect.close, nameLength);
        if (closeAt != std::string::npos && (at == std::string::npos || closeAt <= at)) {
            text.resize(closeAt + std::strlen(dialect.close));
            return Cut::Found;
        }
        if (at != std::string::npos) {
            if (keepEnd) at += std::strlen(end);
            text.resize(at);
            text += dialect.close;
            return Cut::Found;
        }
        if (text.size() < want) return Cut::Truncated;  // the file ends inside the element
        if (want >= limit) return Cut::TooLarge;
        want = std::min(limit, want * 4);
    }
}

bool Parse(std::string& text, pugi::xml_document& document, pugi::xml_node& root, std::string& reason,
           std::size_t& at) {
    const pugi::xml_parse_result result =
        document.load_buffer_inplace(text.data(), text.size(), pugi::parse_minimal | pugi::parse_escapes,
                                     pugi::encoding_utf8);
    if (!result) {
        reason = std::string("not well-formed XML: ") + result.description();
        at = static_cast<std::size_t>(result.offset);
        return false;
    }
    root = document.first_child();
    return true;
}

std::string CutReason(Cut cut, const Dialect& dialect, std::size_t limit) {
    switch (cut) {
        case Cut::NotElement: return std::string("the index does not point at a ") + (dialect.element + 1) + " element";
        case Cut::TooLarge: return std::string(dialect.element + 1) + " element larger than " +
                                   std::to_string(limit >> 20) + " MiB";
        case Cut::Truncated: return std::string("the file ends inside a ") + (dialect.element + 1) + " element";
        default: return "read error";
    }
}

// The referenceable param groups of an mzML file, from its head.
bool ReadParamGroups(FileBytes& file, ParamGroups& groups) {
    std::string text;
    if (!file.ReadAt(0, 4 << 20, text)) return false;
    const std::size_t start = text.find("<referenceableParamGroupList");
    const std::size_t end = text.find("</referenceableParamGroupList>");
    if (start == std::string::npos || end == std::string::npos || end < start) return true;
    std::string list = text.substr(start, end + std::strlen("</referenceableParamGroupList>") - start);
    pugi::xml_document document;
    if (!document.load_buffer_inplace(list.data(), list.size(), pugi::parse_minimal | pugi::parse_escapes)) return true;
    for (pugi::xml_node group : document.first_child().children("referenceableParamGroup")) {
        auto& params = groups[group.attribute("id").value()];
        for (pugi::xml_node param : group.children("cvParam"))
            params.emplace_back(param.attribute("accession").value(), param.attribute("value").value());
    }
    return true;
}

// ---------------------------------------------------------------- listing

// Offsets from the file's index; false when it has none that can be used.
bool IndexOffsets(FileBytes& file, const Dialect& dialect, std::vector<std::uint64_t>& offsets) {
    std::string tail;
    const std::uint64_t tailStart = file.Size() > 4096 ? file.Size() - 4096 : 0;
    if (!file.ReadAt(tailStart, 4096, tail)) return false;
    const std::size_t tag = tail.rfind(dialect.indexOffsetTag);
    if (tag == std::string::npos) return false;
    const char* first = tail.data() + tag + std::strlen(dialect.indexOffsetTag);
    unsigned long long indexAt = 0;
    if (std::from_chars(first, tail.data() + tail.size(), indexAt).ec != std::errc()) return false;
    if (indexAt == 0 || indexAt >= file.Size() || file.Size() - indexAt > kMaxIndexBytes) return false;
    std::string index;
    if (!file.ReadAt(indexAt, static_cast<std::size_t>(file.Size() - indexAt), index)) return false;
    const std::size_t close = index.find(dialect.indexClose);
    if (index.compare(0, std::strlen("<index"), "<index") != 0 || close == std::string::npos) return false;
    index.resize(close + std::strlen(dialect.indexClose));
    pugi::xml_document document;
    if (!document.load_buffer_inplace(index.data(), index.size(), pugi::parse_minimal)) return false;
    const pugi::xml_node root = document.first_child();
    std::vector<pugi::xml_node> lists;
    if (std::strcmp(root.name(), "index") == 0) lists.push_back(root);
    for (pugi::xml_node child : root.children("index")) lists.push_back(child);
    for (pugi::xml_node list : lists) {
        if (std::strcmp(list.attribute("name").value(), dialect.indexName) != 0) continue;
        for (pugi::xml_node offset : list.children("offset")) {
            unsigned long long at = 0;
            const std::string_view text = TrimBlanks(offset.child_value());
            if (std::from_chars(text.data(), text.data() + text.size(), at).ec != std::errc() || at >= indexAt)
                return false;
            offsets.push_back(at);
        }
        return !offsets.empty() && std::is_sorted(offsets.begin(), offsets.end());
    }
    return false;
}

// The head of the element at `offset` into `entries` when it is an MS1
// spectrum. NotElement passes the offset over (a scan of the file finds
// "<scanOrigin" as well as "<scan ").
enum class Listed { Yes, NotElement, Failed };

Listed ListOne(FileBytes& file, const Dialect& dialect, std::uint64_t offset, std::vector<SpectrumEntry>& entries,
               SpectrumFileProblem& problem) {
    std::string text;
    const Cut cut = CutElement(file, dialect, offset, dialect.headEnd, false, kMaxHeadBytes, text);
    if (cut == Cut::NotElement) return Listed::NotElement;
    if (cut != Cut::Found) {
        problem = {ByteWhere(offset), CutReason(cut, dialect, kMaxHeadBytes)};
        return Listed::Failed;
    }
    pugi::xml_document document;
    pugi::xml_node root;
    Head head;
    std::string reason;
    std::size_t at = 0;
    if (!Parse(text, document, root, reason, at) || !dialect.readHead(root, head, reason)) {
        problem = {ByteWhere(offset + at), reason};
        return Listed::Failed;
    }
    const bool ms1 = head.msLevel == 1 || (head.msLevel == 0 && !head.msnType);
    if (!ms1) return Listed::Yes;
    if (entries.size() >= kMaxListedSpectra) {
        problem = {ByteWhere(offset), "more than " + std::to_string(kMaxListedSpectra) + " spectra"};
        return Listed::Failed;
    }
    head.entry.offset = offset;
    entries.push_back(std::move(head.entry));
    return Listed::Yes;
}

bool ReadPeaksAt(FileBytes& file, const Dialect& dialect, std::uint64_t offset, Peaks& peaks,
                 SpectrumFileProblem& problem) {
    std::string text;
    const Cut cut = CutElement(file, dialect, offset, dialect.bodyEnd, true, kMaxSpectrumElementBytes, text);
    if (cut != Cut::Found) {
        problem = {ByteWhere(offset), cut == Cut::NotElement
                                          ? std::string("no ") + (dialect.element + 1) + " element here"
                                          : CutReason(cut, dialect, kMaxSpectrumElementBytes)};
        return false;
    }
    pugi::xml_document document;
    pugi::xml_node root;
    std::string reason;
    std::size_t at = 0;
    if (!Parse(text, document, root, reason, at) || !dialect.readPeaks(root, peaks, reason, at)) {
        problem = {ByteWhere(offset + at), reason};
        return false;
    }
    return true;
}

// A listed spectrum without a stated base peak gets it from its peaks.
bool FillBasePeak(FileBytes& file, const Dialect& dialect, SpectrumEntry& entry, SpectrumFileProblem& problem) {
    if (entry.basePeakMz) return true;
    Peaks peaks;
    if (!ReadPeaksAt(file, dialect, entry.offset, peaks, problem)) return false;
    const auto tallest = std::max_element(peaks.intensity.begin(), peaks.intensity.end());
    if (tallest == peaks.intensity.end()) return true;
    entry.basePeakMz = peaks.mz[static_cast<std::size_t>(tallest - peaks.intensity.begin())];
    entry.basePeakIntensity = *tallest;
    return true;
}

}  // namespace

bool ListXmlSpectra(FileBytes& file, SpectrumFileFormat format, std::vector<SpectrumEntry>& entries,
                    SpectrumFileProblem& problem) {
    const Dialect& dialect = DialectOf(format);
    entries.clear();
    std::string start;
    if (!file.ReadAt(0, 64 << 10, start)) {
        problem = {"", "read error"};
        return false;
    }
    if (start.find(dialect.root) == std::string::npos) {
        problem = {"", std::string("not an ") + dialect.name + " file: no " + dialect.root + " element at its start"};
        return false;
    }
    ParamGroups groups;
    if (format == SpectrumFileFormat::MzML) ReadParamGroups(file, groups);
    currentGroups = &groups;
    struct Reset {
        ~Reset() { currentGroups = nullptr; }
    } reset;

    std::vector<std::uint64_t> offsets;
    bool indexed = IndexOffsets(file, dialect, offsets);
    for (std::uint64_t offset : offsets) {
        const Listed listed = ListOne(file, dialect, offset, entries, problem);
        if (listed == Listed::Failed) return false;
        if (listed == Listed::NotElement) {  // an index that does not fit the file: read the file instead
            indexed = false;
            entries.clear();
            break;
        }
    }
    if (!indexed) {
        bool failed = false;
        const bool read = ScanFile(file, dialect.element, [&](std::uint64_t offset) {
            failed = ListOne(file, dialect, offset, entries, problem) == Listed::Failed;
            return !failed;
        });
        if (failed) return false;
        if (!read) {
            problem = {"", "read error"};
            return false;
        }
    }
    for (SpectrumEntry& entry : entries) {
        if (!FillBasePeak(file, dialect, entry, problem)) return false;
    }
    if (entries.empty()) {
        problem = {"", "no MS1 spectrum"};
        return false;
    }
    return true;
}

bool ReadXmlSpectrum(FileBytes& file, SpectrumFileFormat format, const SpectrumEntry& entry, Spectrum& spectrum,
                     SpectrumFileProblem& problem) {
    const Dialect& dialect = DialectOf(format);
    ParamGroups groups;
    if (format == SpectrumFileFormat::MzML) ReadParamGroups(file, groups);
    currentGroups = &groups;
    struct Reset {
        ~Reset() { currentGroups = nullptr; }
    } reset;
    Peaks peaks;
    if (!ReadPeaksAt(file, dialect, entry.offset, peaks, problem)) return false;
    std::vector<ProfilePoint> points(peaks.mz.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double mz = peaks.mz[i], intensity = peaks.intensity[i];
        if (!std::isfinite(mz) || !(mz > 0) || !std::isfinite(intensity)) {
            problem = {ByteWhere(entry.offset), "value " + std::to_string(i + 1) +
                                                    " is not a finite m/z above 0 with a finite intensity"};
            return false;
        }
        points[i] = {mz, std::max(0.0, intensity)};  // a baseline below 0 is no signal
    }
    std::stable_sort(points.begin(), points.end(),
                     [](const ProfilePoint& a, const ProfilePoint& b) { return a.mz < b.mz; });
    if (peaks.profile) points = ProfileCentroids(points);
    spectrum.peaks.clear();
    spectrum.peaks.reserve(points.size());
    for (const ProfilePoint& point : points) {
        if (point.intensity > 0) spectrum.peaks.push_back({false, point.mz, point.intensity});
    }
    if (spectrum.peaks.empty()) {
        problem = {ByteWhere(entry.offset), "no peak above 0"};
        return false;
    }
    return true;
}

}  // namespace ionsift
