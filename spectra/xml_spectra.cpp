// How both dialects (spectra/xml_dialect.h) are read: the spectrum elements
// found through the file's index, or by reading the file once when it has
// none that fits, each element cut from the file by its byte offset and
// parsed by pugixml alone.
#include "spectra/xml_spectra.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "isotopes/instrument_view.h"
#include "spectra/xml_dialect.h"

namespace ionsift {
namespace {

constexpr std::size_t kFirstRead = 16 << 10;
constexpr std::size_t kMaxHeadBytes = 1 << 20;
constexpr std::size_t kMaxIndexBytes = 64 << 20;
constexpr std::size_t kMaxListedSpectra = 2000000;

std::string ByteWhere(std::uint64_t offset) { return "byte " + std::to_string(offset); }

// ---------------------------------------------------------------- elements

bool EndsName(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '>' || c == '/'; }

enum class Cut { Found, NotElement, TooLarge, Truncated, ReadError };

// The element starting at `offset` up to `end` (kept when `keepEnd`), or to
// `close` if that comes first; read in growing pieces, at most `limit` bytes.
Cut CutElement(FileBytes& file, const XmlDialect& dialect, std::uint64_t offset, const char* end, bool keepEnd,
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

std::string CutReason(Cut cut, const XmlDialect& dialect, std::size_t limit) {
    switch (cut) {
        case Cut::NotElement: return std::string("the index does not point at a ") + (dialect.element + 1) + " element";
        case Cut::TooLarge: return std::string(dialect.element + 1) + " element larger than " +
                                   std::to_string(limit >> 20) + " MiB";
        case Cut::Truncated: return std::string("the file ends inside a ") + (dialect.element + 1) + " element";
        default: return "read error";
    }
}

// ---------------------------------------------------------------- listing

// Offsets from the file's index; false when it has none that can be used.
bool IndexOffsets(FileBytes& file, const XmlDialect& dialect, std::vector<std::uint64_t>& offsets) {
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

Listed ListOne(FileBytes& file, const XmlDialect& dialect, const ParamGroups& groups, std::uint64_t offset, std::vector<SpectrumEntry>& entries,
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
    XmlHead head;
    std::string reason;
    std::size_t at = 0;
    if (!Parse(text, document, root, reason, at) || !dialect.readHead(root, groups, head, reason)) {
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

bool ReadPeaksAt(FileBytes& file, const XmlDialect& dialect, const ParamGroups& groups, std::uint64_t offset, XmlPeaks& peaks,
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
    if (!Parse(text, document, root, reason, at) || !dialect.readPeaks(root, groups, peaks, reason, at)) {
        problem = {ByteWhere(offset + at), reason};
        return false;
    }
    return true;
}

// A listed spectrum without a stated base peak gets it from its peaks.
bool FillBasePeak(FileBytes& file, const XmlDialect& dialect, const ParamGroups& groups, SpectrumEntry& entry, SpectrumFileProblem& problem) {
    if (entry.basePeakMz) return true;
    XmlPeaks peaks;
    if (!ReadPeaksAt(file, dialect, groups, entry.offset, peaks, problem)) return false;
    const auto tallest = std::max_element(peaks.intensity.begin(), peaks.intensity.end());
    if (tallest == peaks.intensity.end()) return true;
    entry.basePeakMz = peaks.mz[static_cast<std::size_t>(tallest - peaks.intensity.begin())];
    entry.basePeakIntensity = *tallest;
    return true;
}

}  // namespace

bool ListXmlSpectra(FileBytes& file, SpectrumFileFormat format, std::vector<SpectrumEntry>& entries,
                    SpectrumFileProblem& problem) {
    const XmlDialect& dialect = format == SpectrumFileFormat::MzXML ? MzxmlDialect() : MzmlDialect();
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
    dialect.readFileHead(file, groups);

    std::vector<std::uint64_t> offsets;
    bool indexed = IndexOffsets(file, dialect, offsets);
    for (std::uint64_t offset : offsets) {
        const Listed listed = ListOne(file, dialect, groups, offset, entries, problem);
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
            failed = ListOne(file, dialect, groups, offset, entries, problem) == Listed::Failed;
            return !failed;
        });
        if (failed) return false;
        if (!read) {
            problem = {"", "read error"};
            return false;
        }
    }
    for (SpectrumEntry& entry : entries) {
        if (!FillBasePeak(file, dialect, groups, entry, problem)) return false;
    }
    if (entries.empty()) {
        problem = {"", "no MS1 spectrum"};
        return false;
    }
    return true;
}

bool ReadXmlSpectrum(FileBytes& file, SpectrumFileFormat format, const SpectrumEntry& entry, Spectrum& spectrum,
                     SpectrumFileProblem& problem) {
    const XmlDialect& dialect = format == SpectrumFileFormat::MzXML ? MzxmlDialect() : MzmlDialect();
    ParamGroups groups;
    dialect.readFileHead(file, groups);
    XmlPeaks peaks;
    if (!ReadPeaksAt(file, dialect, groups, entry.offset, peaks, problem)) return false;
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
