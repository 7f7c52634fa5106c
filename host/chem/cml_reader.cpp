#include "host/chem/cml_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>
#include <unordered_map>
#include <utility>

#include "host/chem/cml_limits.h"
#include "host/chem/xml_scanner.h"

namespace ionsift::chem {
namespace {

struct BondOrderName {
    std::string_view text;
    int order;
};

constexpr BondOrderName kBondOrders[] = {
    {"1", 1}, {"S", 1}, {"2", 2}, {"D", 2}, {"3", 3}, {"T", 3}, {"A", 4},
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> SplitSpace(std::string_view text) {
    std::vector<std::string_view> words;
    for (text = Trim(text); !text.empty(); text = Trim(text)) {
        std::size_t end = 0;
        while (end < text.size() && !IsSpace(text[end])) ++end;
        words.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    return words;
}

// Runs of white space become one blank, as names are shown on one line.
std::string CollapseSpace(std::string_view text) {
    std::string out;
    for (std::string_view word : SplitSpace(text)) {
        if (!out.empty()) out.push_back(' ');
        out.append(word);
    }
    return out;
}

// xsd:double as CML writes coordinates, without the C locale.
bool ReadReal(std::string_view text, double& value) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size() && std::isfinite(value);
}

bool ReadCount(std::string_view text, int& value) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool IsHydrogen(const std::string& element) { return element == "H" || element == "D"; }

struct PendingBond {
    std::string refs;
    std::string order;
    bool hasOrder = false;
    int line = 0;
};

// Collects one molecule from the scanner's events; the first fault wins.
class CmlBuilder {
public:
    CmlRead Read(std::string_view text);

private:
    bool OnStart(XmlScanner& scan);
    bool OnEnd(XmlScanner& scan);
    bool ReadAtom(const XmlScanner& scan);
    bool ReadCoordinates(const XmlScanner& scan, CmlAtom& atom);
    bool ResolveBonds();
    void ApplyHydrogenCounts();
    bool Fail(int line, std::string reason);

    CmlMolecule molecule_;
    std::string error_;
    std::size_t moleculeDepth_ = 0;  // 0 outside the molecule
    std::size_t skipDepth_ = 0;      // inside a subtree that holds no structure
    std::size_t nameDepth_ = 0;      // inside the molecule's <name>
    bool nameTaken_ = false;
    int molecules_ = 0;
    std::string nameText_;
    std::string fallbackName_;
    std::unordered_map<std::string, int> atomIndex_;
    std::vector<int> givenHydrogens_;  // -1 where the atom has no hydrogenCount
    std::vector<PendingBond> pendingBonds_;
};

bool CmlBuilder::Fail(int line, std::string reason) {
    error_ = (line > 0 ? "line " + std::to_string(line) + ": " : std::string()) + std::move(reason);
    return false;
}

CmlRead CmlBuilder::Read(std::string_view text) {
    CmlRead result;
    if (text.size() > kMaxCmlBytes) {
        result.error = "the text is larger than " + std::to_string(kMaxCmlBytes >> 20) + " MiB";
        return result;
    }
    XmlScanner scan(text);
    for (;;) {
        const XmlScanner::Event event = scan.Next();
        bool fine = true;
        if (event == XmlScanner::kError) {
            result.error = scan.Error();
            return result;
        }
        if (event == XmlScanner::kDone) break;
        if (event == XmlScanner::kStart) fine = OnStart(scan);
        if (event == XmlScanner::kEnd) fine = OnEnd(scan);
        if (event == XmlScanner::kText && nameDepth_ != 0) {
            nameText_ += scan.Text();
            if (nameText_.size() > kMaxCmlNameBytes) {
                fine = Fail(scan.Line(), "name longer than " + std::to_string(kMaxCmlNameBytes) + " bytes");
            }
        }
        if (!fine) {
            result.error = error_;
            return result;
        }
    }
    if (molecules_ == 0) {
        result.error = "no <molecule> element";
        return result;
    }
    if (molecule_.atoms.empty()) {
        result.error = "the molecule has no atoms";
        return result;
    }
    if (!ResolveBonds()) {
        result.error = error_;
        return result;
    }
    ApplyHydrogenCounts();
    if (molecule_.name.empty()) molecule_.name = fallbackName_;
    result.ok = true;
    result.molecule = std::move(molecule_);
    return result;
}

bool CmlBuilder::OnStart(XmlScanner& scan) {
    const std::string_view name = scan.LocalName();
    const std::size_t depth = scan.Depth();
    if (skipDepth_ != 0) return true;
    if (moleculeDepth_ == 0) {
        if (name != "molecule") return true;
        if (++molecules_ > 1) return Fail(scan.Line(), "more than one <molecule>; one per file is read");
        moleculeDepth_ = depth;
        for (const char* attribute : {"id", "title"}) {
            if (const std::string* value = scan.Attribute(attribute)) {
                const std::string collapsed = CollapseSpace(*value);
                if (!collapsed.empty()) fallbackName_ = collapsed.substr(0, kMaxCmlNameBytes);
            }
        }
        return true;
    }
    // A concise formula may repeat the atoms as an array: not the structure.
    if (name == "formula" || name == "propertyList") {
        skipDepth_ = depth;
        return true;
    }
    if (name == "name" && depth == moleculeDepth_ + 1 && !nameTaken_) {
        nameDepth_ = depth;
        return true;
    }
    if (name == "atom") return ReadAtom(scan);
    if (name == "bond") {
        if (pendingBonds_.size() >= kMaxCmlBonds) {
            return Fail(scan.Line(), "more than " + std::to_string(kMaxCmlBonds) + " bonds");
        }
        const std::string* refs = scan.Attribute("atomRefs2");
        if (!refs) return Fail(scan.Line(), "bond without atomRefs2");
        const std::string* order = scan.Attribute("order");
        pendingBonds_.push_back({*refs, order ? *order : std::string(), order != nullptr, scan.Line()});
        return true;
    }
    if ((name == "atomArray" && scan.Attribute("elementType")) ||
        (name == "bondArray" && scan.Attribute("atomRef1"))) {
        return Fail(scan.Line(), "<" + std::string(name) + "> in array form is not read; "
                                 "give one <atom> or <bond> element each");
    }
    return true;
}

bool CmlBuilder::OnEnd(XmlScanner& scan) {
    // Depth() already counts the element as closed.
    const std::size_t depth = scan.Depth() + 1;
    if (depth == skipDepth_) skipDepth_ = 0;
    if (depth == nameDepth_) {
        nameDepth_ = 0;
        nameTaken_ = true;
        molecule_.name = CollapseSpace(nameText_);
    }
    if (depth == moleculeDepth_) moleculeDepth_ = 0;
    return true;
}

bool CmlBuilder::ReadAtom(const XmlScanner& scan) {
    if (molecule_.atoms.size() >= kMaxCmlAtoms) {
        return Fail(scan.Line(), "more than " + std::to_string(kMaxCmlAtoms) + " atoms");
    }
    CmlAtom atom;
    if (const std::string* id = scan.Attribute("id")) atom.id = std::string(Trim(*id));
    const std::string label = "atom " + (atom.id.empty() ? std::to_string(molecule_.atoms.size() + 1) : atom.id);
    const std::string* element = scan.Attribute("elementType");
    if (!element || Trim(*element).empty()) return Fail(scan.Line(), label + " has no elementType");
    atom.element = std::string(Trim(*element));
    if (const std::string* isotope = scan.Attribute("isotopeNumber")) {
        // Deuterium has a symbol of its own in formulas; other isotopes have none.
        int number = 0;
        if (!ReadCount(*isotope, number)) return Fail(scan.Line(), label + ": bad isotopeNumber");
        if (atom.element == "H" && number == 2) {
            atom.element = "D";
        } else if (!(atom.element == "H" && number == 1)) {
            return Fail(scan.Line(), label + ": isotope " + std::to_string(number) + atom.element +
                                         " cannot be written in a formula");
        }
    }
    int given = -1;
    if (const std::string* count = scan.Attribute("hydrogenCount")) {
        if (!ReadCount(*count, given) || given < 0 || given > kMaxCmlHydrogenCount) {
            return Fail(scan.Line(), label + ": hydrogenCount \"" + *count + "\" is not a count from 0 to " +
                                         std::to_string(kMaxCmlHydrogenCount));
        }
    }
    if (!ReadCoordinates(scan, atom)) return Fail(scan.Line(), label + error_);
    if (!atom.id.empty() &&
        !atomIndex_.emplace(atom.id, static_cast<int>(molecule_.atoms.size())).second) {
        return Fail(scan.Line(), "atom id " + atom.id + " given twice");
    }
    givenHydrogens_.push_back(given);
    molecule_.atoms.push_back(std::move(atom));
    return true;
}

// x2/y2 are meant for drawing and win over x3/y3/z3 when a file has both.
bool CmlBuilder::ReadCoordinates(const XmlScanner& scan, CmlAtom& atom) {
    struct Axis {
        const char* name;
        double* value;
    };
    const Axis flat[] = {{"x2", &atom.x}, {"y2", &atom.y}};
    const Axis space[] = {{"x3", &atom.x}, {"y3", &atom.y}, {"z3", &atom.z}};
    auto readSet = [&](const auto& axes) {
        int present = 0;
        for (const Axis& axis : axes) present += scan.Attribute(axis.name) != nullptr;
        if (present == 0) return 0;
        if (present != static_cast<int>(std::size(axes))) {
            error_ = std::string(": ") + axes[0].name + " without all its companions";
            return -1;
        }
        for (const Axis& axis : axes) {
            const std::string* text = scan.Attribute(axis.name);
            if (!ReadReal(*text, *axis.value)) {
                error_ = std::string(": ") + axis.name + " \"" + *text + "\" is not a number";
                return -1;
            }
        }
        return 1;
    };
    const int flatRead = readSet(flat);
    if (flatRead < 0) return false;
    if (flatRead == 0) {
        const int spaceRead = readSet(space);
        if (spaceRead < 0) return false;
        atom.hasCoordinates = spaceRead > 0;
    } else {
        atom.hasCoordinates = true;
        atom.z = 0;
    }
    return true;
}

bool CmlBuilder::ResolveBonds() {
    std::set<std::pair<int, int>> seen;
    for (const PendingBond& pending : pendingBonds_) {
        const std::vector<std::string_view> refs = SplitSpace(pending.refs);
        if (refs.size() != 2) return Fail(pending.line, "atomRefs2 \"" + pending.refs + "\" does not name two atoms");
        CmlBond bond;
        int* ends[] = {&bond.first, &bond.second};
        for (int i = 0; i < 2; ++i) {
            const auto found = atomIndex_.find(std::string(refs[i]));
            if (found == atomIndex_.end()) {
                return Fail(pending.line, "bond to unknown atom " + std::string(refs[i]));
            }
            *ends[i] = found->second;
        }
        if (bond.first == bond.second) return Fail(pending.line, "bond of atom " + std::string(refs[0]) + " to itself");
        if (!seen.insert(std::minmax(bond.first, bond.second)).second) {
            return Fail(pending.line, "bond " + pending.refs + " given twice");
        }
        if (pending.hasOrder) {
            const std::string_view order = Trim(pending.order);
            const auto* known = std::find_if(std::begin(kBondOrders), std::end(kBondOrders),
                                             [&](const BondOrderName& name) { return name.text == order; });
            if (known == std::end(kBondOrders)) return Fail(pending.line, "unknown bond order \"" + pending.order + "\"");
            bond.order = known->order;
        }
        molecule_.bonds.push_back(bond);
    }
    return true;
}

// hydrogenCount is an atom's total of hydrogens; those drawn as atoms of
// their own and bonded to it are already counted, so only the rest is
// implicit. Summing both would count them twice.
void CmlBuilder::ApplyHydrogenCounts() {
    std::vector<int> explicitHydrogens(molecule_.atoms.size(), 0);
    for (const CmlBond& bond : molecule_.bonds) {
        if (IsHydrogen(molecule_.atoms[bond.second].element)) ++explicitHydrogens[bond.first];
        if (IsHydrogen(molecule_.atoms[bond.first].element)) ++explicitHydrogens[bond.second];
    }
    for (std::size_t i = 0; i < molecule_.atoms.size(); ++i) {
        molecule_.atoms[i].hydrogenCount = std::max(0, givenHydrogens_[i] - explicitHydrogens[i]);
    }
}

}  // namespace

CmlRead ReadCml(std::string_view text) { return CmlBuilder().Read(text); }

Formula FormulaOf(const CmlMolecule& molecule) {
    Formula formula;
    for (const CmlAtom& atom : molecule.atoms) {
        if (!atom.element.empty()) ++formula.counts[atom.element];
        if (atom.hydrogenCount > 0) formula.counts["H"] += atom.hydrogenCount;
    }
    return formula;
}

}  // namespace ionsift::chem
