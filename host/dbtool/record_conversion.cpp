#include "host/dbtool/record_conversion.h"

#include <GraphMol/Depictor/RDDepictor.h>
#include <RDGeneral/FileParseException.h>
#include <GraphMol/FileParsers/FileParsers.h>
#include <GraphMol/GraphMol.h>
#include <GraphMol/MolOps.h>
#include <GraphMol/SanitException.h>
#include <GraphMol/SmilesParse/SmilesParse.h>
#include <RDGeneral/Invariant.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "host/chem/elements.h"
#include "host/chem/formula.h"
#include "host/dbtool/cpu_time.h"
#include "host/dbtool/structure_cml.h"
#include "host/dbtool/toolkit_log.h"

namespace ionsift::dbtool {
namespace {

double Since(double start) { return ThreadCpuSeconds() - start; }

struct Failure {
    std::string reason;
    std::string category;
    long long lineInRecord = 0;  // 0: the record as a whole
};

// "Counts line too short: '' on line4": the toolkit counts the block's lines from 1.
Failure FromParseException(const std::string& message) {
    Failure failure{message, "unreadable"};
    const auto at = message.rfind(" on line");
    if (at == std::string::npos) return failure;
    const char* digits = message.c_str() + at + 8;
    while (*digits == ' ') ++digits;
    char* end = nullptr;
    const long line = std::strtol(digits, &end, 10);
    if (end == digits || *end != '\0' || line < 1) return failure;
    failure.reason = message.substr(0, at);
    failure.lineInRecord = line;
    return failure;
}

std::string Trimmed(std::string text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    return text;
}

// Atoms as the record writes them, told without the toolkit: a SMILES's
// element symbols and bracket atoms, or a MOL block's counts line (V2000, or
// the V3000 COUNTS line), which is what the toolkit's reader reads. -1 when
// the block says nothing readable, which the toolkit then reports.
long long WrittenAtoms(const ImportRecord& record) {
    const std::string& text = record.structure;
    if (record.kind == StructureKind::kSmiles) {
        long long atoms = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '[') {
                ++atoms;
                i = std::min(text.find(']', i), text.size());
            } else if (std::strchr("BCNOPSFIbcnops*", text[i]) && text[i] != '\0') {
                ++atoms;  // the second letters of Cl and Br are no atoms of their own
            }
        }
        return atoms;
    }
    std::size_t counts = 0;
    for (int line = 0; line < 3 && counts != std::string::npos; ++line) {
        counts = text.find('\n', counts);
        if (counts != std::string::npos) ++counts;
    }
    if (counts == std::string::npos) return -1;
    const std::string_view countsLine(text.c_str() + counts, std::min<std::size_t>(text.size() - counts, 40));
    std::string number;
    if (countsLine.find("V3000") != std::string_view::npos) {
        const auto at = text.find("M  V30 COUNTS ", counts);
        if (at == std::string::npos) return -1;
        number = text.substr(at + 14, 12);
    } else {
        number = std::string(countsLine.substr(0, 3));
    }
    char* end = nullptr;
    const long long atoms = std::strtoll(number.c_str(), &end, 10);
    return end == number.c_str() ? -1 : atoms;
}

std::string CategoryOf(const RDKit::MolSanitizeException& e) {
    const std::string type = e.getType();
    if (type == "AtomValenceException") return "valence";
    if (type == "KekulizeException" || type == "AtomKekulizeException" || type == "AtomSanitizeException") {
        return "aromaticity";  // the sanitizer's atom faults are aromatic flags it cannot place
    }
    return "unreadable";
}

// Counts every atom and its hydrogens into a formula whose mass host/chem
// knows exactly, or says why it cannot.
bool FormulaOf(const RDKit::ROMol& molecule, chem::Formula& formula, Failure& failure) {
    for (const RDKit::Atom* atom : molecule.atoms()) {
        std::string symbol = atom->getSymbol();
        const std::string where = "atom " + std::to_string(atom->getIdx() + 1) + " ";
        if (atom->getAtomicNum() == 0) {
            failure = {where + symbol + " is a query or dummy atom, not an element", "query atom"};
            return false;
        }
        const chem::Element* element = chem::FindElement(symbol);
        if (!element) {
            failure = {where + symbol + " has no stable isotope, so no monoisotopic mass", "no stable isotope"};
            return false;
        }
        const unsigned isotope = atom->getIsotope();
        // Deuterium has a symbol of its own in formulas; a label naming the
        // most abundant isotope changes no mass. Any other has no place in a formula.
        if (symbol == "H" && isotope == 2) {
            symbol = "D";
        } else if (isotope != 0 && static_cast<int>(isotope) != element->mostAbundant->massNumber) {
            failure = {where + "is the isotope " + std::to_string(isotope) + symbol + ", which a formula cannot hold",
                       "isotope label"};
            return false;
        }
        ++formula.counts[symbol];
        const unsigned hydrogens = atom->getTotalNumHs(false);
        if (hydrogens > 0) formula.counts["H"] += static_cast<long>(hydrogens);
    }
    return true;
}

// The molecule as drawn, valences checked with its drawn hydrogens still
// atoms, and its formula; or null with the reason. The toolkit's readers
// would fold drawn hydrogens into their neighbours before the check and then
// count implicit ones anew (CH5 read as CH4), and their stereo perception
// grows with the cube of the atoms, which the formula and the drawing do not need.
std::unique_ptr<RDKit::RWMol> ReadMolecule(const ImportRecord& record, chem::Formula& formula, Failure& failure) {
    ToolkitLogCapture log;
    std::unique_ptr<RDKit::RWMol> molecule;
    const bool smiles = record.kind == StructureKind::kSmiles;
    try {
        if (smiles) {
            RDKit::SmilesParserParams params;
            params.sanitize = false;
            params.removeHs = false;
            molecule.reset(RDKit::SmilesToMol(record.structure, params));
        } else {
            molecule.reset(RDKit::MolBlockToMol(record.structure, /*sanitize=*/false, /*removeHs=*/false));
        }
        if (molecule && molecule->getNumAtoms() > 0) RDKit::MolOps::sanitizeMol(*molecule);
    } catch (const RDKit::FileParseException& e) {
        failure = FromParseException(e.what());
        return nullptr;
    } catch (const RDKit::MolSanitizeException& e) {
        failure = {Trimmed(e.what()), CategoryOf(e)};
        return nullptr;
    } catch (const Invar::Invariant& e) {
        failure = {"the toolkit found the record inconsistent (" + e.getExpression() + ")", "unreadable"};
        return nullptr;
    } catch (const std::exception& e) {
        failure = {Trimmed(e.what()), "unreadable"};
        return nullptr;
    } catch (...) {
        failure = {"the toolkit could not read the record", "unreadable"};
        return nullptr;
    }
    if (!molecule) {
        failure = {log.FirstMessage(), smiles ? "syntax" : "unreadable"};
        if (failure.reason.empty()) failure.reason = "the toolkit could not read the record";
        return nullptr;
    }
    if (molecule->getNumAtoms() == 0) {
        failure = {"no atoms", "empty"};
        return nullptr;
    }
    if (!FormulaOf(*molecule, formula, failure)) return nullptr;
    bool drawnHydrogens = false;
    for (const RDKit::Atom* atom : molecule->atoms()) drawnHydrogens = drawnHydrogens || atom->getAtomicNum() == 1;
    if (!drawnHydrogens) return molecule;
    // Each hydrogen removed becomes an explicit count of its neighbour, so
    // that no rule of implicit hydrogens counts it again. Hydrogens the
    // toolkit keeps as atoms (isotopes, bridges, stereo) stay in the formula.
    try {
        RDKit::MolOps::removeHs(*molecule, /*implicitOnly=*/false, /*updateExplicitCount=*/true);
    } catch (const RDKit::MolSanitizeException& e) {
        failure = {Trimmed(e.what()), CategoryOf(e)};
        return nullptr;
    } catch (const std::exception& e) {
        failure = {Trimmed(e.what()), "unreadable"};
        return nullptr;
    }
    chem::Formula folded;
    if (!FormulaOf(*molecule, folded, failure)) return nullptr;
    if (folded.counts != formula.counts) {
        failure = {"its drawn hydrogens do not fit the valences: drawn " + chem::HillFormula(formula) + ", read " +
                       chem::HillFormula(folded),
                   "valence"};
        return nullptr;
    }
    return molecule;
}

// Coordinates worth drawing: a toolkit that finds none in a MOL block still
// makes a conformer, with every atom at the origin.
bool HasCoordinates(const RDKit::ROMol& molecule) {
    if (molecule.getNumConformers() == 0) return false;
    if (molecule.getNumAtoms() < 2) return true;
    const RDKit::Conformer& conformer = molecule.getConformer();
    for (const RDGeom::Point3D& at : conformer.getPositions()) {
        if (std::abs(at.x) > 1e-4 || std::abs(at.y) > 1e-4 || std::abs(at.z) > 1e-4) return true;
    }
    return false;
}

ConvertedRecord Failed(const ImportRecord& record, Failure failure) {
    ConvertedRecord result;
    // The toolkit may name a line it expected past the record's end.
    const auto lines = static_cast<long long>(std::count(record.structure.begin(), record.structure.end(), '\n'));
    const long long inRecord = std::min(failure.lineInRecord, std::max(lines, 1LL));
    result.line = record.line + (inRecord > 0 ? inRecord - 1 : 0);
    result.error = std::move(failure.reason);
    result.category = failure.category.empty() ? "unreadable" : std::move(failure.category);
    return result;
}

ConvertedRecord FromFormulaText(const ImportRecord& record, std::string name) {
    const chem::FormulaParse parsed = chem::ParseFormula(record.structure);
    if (!parsed.ok) {
        return Failed(record, {"formula " + record.structure + ": " + parsed.errorReason + " at character " +
                                   std::to_string(parsed.errorPosition + 1),
                               "syntax"});
    }
    ConvertedRecord result;
    result.row.massMI = chem::MonoisotopicMass(parsed.formula);
    result.row.formula = chem::HillFormula(parsed.formula);
    if (!std::isfinite(result.row.massMI) || result.row.massMI <= 0) {
        return Failed(record, {"formula " + record.structure + " has no usable mass", "no mass"});
    }
    result.ok = true;
    result.row.name = std::move(name);
    return result;
}

}  // namespace

ConvertedRecord ConvertRecord(const ImportRecord& record, std::string name, bool layout,
                              ToolkitSeconds* seconds) {
    if (!record.problem.empty()) return Failed(record, {record.problem, record.problemCategory});
    if (record.kind == StructureKind::kFormula) return FromFormulaText(record, std::move(name));
    const long long atoms = WrittenAtoms(record);
    if (atoms > kMaxAtoms) {
        return Failed(record, {std::to_string(atoms) + " atoms, more than the " + std::to_string(kMaxAtoms) +
                                   " a record may have",
                               "too large"});
    }

    Failure failure;
    chem::Formula formula;
    const double readStart = ThreadCpuSeconds();
    std::unique_ptr<RDKit::RWMol> molecule = ReadMolecule(record, formula, failure);
    if (seconds) seconds->read += Since(readStart);
    if (!molecule) return Failed(record, std::move(failure));

    ConvertedRecord result;
    result.row.massMI = chem::MonoisotopicMass(formula);
    if (!std::isfinite(result.row.massMI) || result.row.massMI <= 0) {
        return Failed(record, {"no usable mass", "no mass"});
    }
    result.row.formula = chem::HillFormula(formula);

    const double drawStart = ThreadCpuSeconds();
    int confId = -1;
    try {
        ToolkitLogCapture log;
        if (HasCoordinates(*molecule)) {
            confId = static_cast<int>(molecule->getConformer().getId());
        } else if (layout && molecule->getNumAtoms() <= static_cast<unsigned>(kMaxLaidOutAtoms)) {
            molecule->clearConformers();
            confId = static_cast<int>(RDDepict::compute2DCoords(*molecule));
        }
    } catch (...) {
        confId = -1;  // the formula and mass stand; only the drawing is lost
    }
    try {
        // Alternating single and double bonds draw better than aromatic ones.
        RDKit::MolOps::Kekulize(*molecule);
    } catch (...) {
        // Then the ring is written aromatic, which the host draws as single bonds.
    }
    if (seconds) seconds->layout += Since(drawStart);
    result.row.structure = StructureCml(*molecule, name, confId);
    result.row.name = std::move(name);
    result.ok = true;
    return result;
}

}  // namespace ionsift::dbtool
