#include "host/dbtool/structure_cml.h"

#include <GraphMol/Conformer.h>
#include <GraphMol/ROMol.h>

#include <charconv>
#include <exception>
#include <utility>

#include "host/chem/cml_blob.h"

namespace ionsift::dbtool {
namespace {

// Four decimals, as laid-out coordinates have no more; without the zeros
// that end them ("1.5", not "1.5000"), which change no value and shorten
// every structure.
void AppendNumber(std::string& out, double value) {
    char text[32];
    char* end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 4).ptr;
    while (end[-1] == '0') --end;
    if (end[-1] == '.') --end;
    if (end - text == 2 && text[0] == '-' && text[1] == '0') {
        out += '0';  // -0.00001 rounds to 0, which needs no sign
        return;
    }
    out.append(text, end);
}

void AppendInteger(std::string& out, long long value) {
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

void AppendAttribute(std::string& out, const char* name, double value) {
    out += ' ';
    out += name;
    out += "=\"";
    AppendNumber(out, value);
    out += '"';
}

const char* BondOrder(const RDKit::Bond& bond) {
    switch (bond.getBondType()) {
        case RDKit::Bond::DOUBLE: return "2";
        case RDKit::Bond::TRIPLE: return "3";
        case RDKit::Bond::AROMATIC: return "A";
        default: return "1";
    }
}

}  // namespace

std::string XmlEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default: out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
        }
    }
    return out;
}

std::string CmlText(const RDKit::ROMol& molecule, std::string_view name, int confId) {
    std::string out;
    out.reserve(200 + 110 * molecule.getNumAtoms() + 40 * molecule.getNumBonds());
    out += "<molecule>";
    if (!name.empty()) {
        out += "<name>";
        out += XmlEscaped(name);
        out += "</name>";
    }
    const RDKit::Conformer* conformer = confId >= 0 ? &molecule.getConformer(confId) : nullptr;
    const bool space = conformer && conformer->is3D();
    out += "<atomArray>";
    for (const RDKit::Atom* atom : molecule.atoms()) {
        const unsigned index = atom->getIdx();
        out += "<atom id=\"a";
        AppendInteger(out, index + 1);
        out += "\" elementType=\"";
        out += atom->getSymbol();
        // No charge is CML's default; leaving it out keeps large databases smaller.
        if (atom->getFormalCharge() != 0) {
            out += "\" formalCharge=\"";
            AppendInteger(out, atom->getFormalCharge());
        }
        out += "\" hydrogenCount=\"";
        AppendInteger(out, atom->getTotalNumHs(true));
        out += '"';
        if (atom->getIsotope() != 0) {
            out += " isotopeNumber=\"";
            AppendInteger(out, atom->getIsotope());
            out += '"';
        }
        if (conformer) {
            const RDGeom::Point3D& at = conformer->getAtomPos(index);
            AppendAttribute(out, space ? "x3" : "x2", at.x);
            AppendAttribute(out, space ? "y3" : "y2", at.y);
            if (space) AppendAttribute(out, "z3", at.z);
        }
        out += "/>";
    }
    out += "</atomArray><bondArray>";
    for (const RDKit::Bond* bond : molecule.bonds()) {
        out += "<bond atomRefs2=\"a";
        AppendInteger(out, bond->getBeginAtomIdx() + 1);
        out += " a";
        AppendInteger(out, bond->getEndAtomIdx() + 1);
        out += "\" order=\"";
        out += BondOrder(*bond);
        out += "\"/>";
    }
    out += "</bondArray></molecule>";
    return out;
}

StoredStructure StructureCml(const RDKit::ROMol& molecule, std::string_view name, int confId) {
    // One packer per worker thread, its zlib state reused record after record.
    thread_local chem::CmlPacker packer;
    std::string text = CmlText(molecule, name, confId);
    try {
        std::string packed = packer.Pack(text);
        return StoredStructure(std::move(text), std::move(packed));
    } catch (const std::exception&) {
        // Beyond what a structure may be, or no memory for zlib: kept as
        // text, which the host refuses with its reason rather than a guess.
        return StoredStructure(std::move(text));
    }
}

}  // namespace ionsift::dbtool
