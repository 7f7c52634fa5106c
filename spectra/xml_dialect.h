// What the mzML and mzXML readers share with spectra/xml_spectra.cpp: one
// row per format saying where its spectrum element and its index are and
// how the head and the arrays of an element read, and the number helpers.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "spectra/file_bytes.h"
#include "spectra/spectrum_file.h"
#include "spectra/spectrum_text.h"

namespace ionsift {

// mzML's referenceable param groups: (accession, value) pairs by group id.
using ParamGroups = std::map<std::string, std::vector<std::pair<std::string, std::string>>>;

// A spectrum as its arrays give it.
struct XmlPeaks {
    std::vector<double> mz, intensity;
    bool profile = false;
};

// A spectrum as its head gives it, for the list.
struct XmlHead {
    int msLevel = 0;  // 0: not stated
    bool msnType = false;
    SpectrumEntry entry;
};

struct XmlDialect {
    SpectrumFileFormat format;
    const char* name;            // for messages
    const char* root;            // seen near the file's start
    const char* element;         // the spectrum's start tag, without its end
    const char* close;           // its end tag, closing a cut head or body
    const char* headEnd;         // where the list stops reading
    const char* bodyEnd;         // where the peaks end
    const char* indexOffsetTag;  // near the file's end: where the index starts
    const char* indexClose;
    const char* indexName;       // <index name="...">
    // What the file's own head says for all spectra (mzML's param groups).
    void (*readFileHead)(FileBytes&, ParamGroups&);
    bool (*readHead)(pugi::xml_node, const ParamGroups&, XmlHead&, std::string& reason);
    // `at`: where in the element the fault lies.
    bool (*readPeaks)(pugi::xml_node, const ParamGroups&, XmlPeaks&, std::string& reason, std::size_t& at);
};

const XmlDialect& MzmlDialect();
const XmlDialect& MzxmlDialect();

// An attribute's or element's text as a number, "." as the decimal point.
inline bool XmlNumber(const char* text, double& value) { return text && ReadDecimal(TrimBlanks(text), value); }

inline bool XmlCount(const char* text, std::size_t& value) {
    double number = 0;
    if (!XmlNumber(text, number) || number < 0 || number != std::floor(number) || number > 1e15) return false;
    value = static_cast<std::size_t>(number);
    return true;
}

// Where a node starts in the element's text (0 where pugixml cannot say).
inline std::size_t XmlOffset(pugi::xml_node node) {
    const std::ptrdiff_t offset = node ? node.offset_debug() : -1;
    return offset < 0 ? 0 : static_cast<std::size_t>(offset);
}

}  // namespace ionsift
