#include "host/dbtool/record_conversion.h"

#include <GraphMol/Depictor/RDDepictor.h>
#include <RDGeneral/FileParseException.h>
#include <GraphMol/FileParsers/FileParsers.h>
#include <GraphMol/GraphMol.h>
#include <GraphMol/MolOps.h>
#include <GraphMol/SmilesParse/SmilesParse.h>
#include <RDGeneral/Invariant.h>

#include <cmath>
#include <cstdlib>
#include <memory>

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
    long long lineInRecord = 0;  // 0: the record as a whole
};

// "Counts line too short: '' on line4": the toolkit counts the block's lines from 1.
Failure FromParseException(const std::string& message) {
    Failure failure{message};
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

// The molecule, or null with the reason. Hydrogens drawn as atoms are folded
// into their neighbours' counts (the toolkit's default).
std::unique_ptr<RDKit::RWMol> ReadMolecule(const ImportRecord& record, Failure& failure) {
    ToolkitLogCapture log;
    std::unique_ptr<RDKit::RWMol> molecule;
    try {
        if (record.kind == StructureKind::kSmiles) {
            molecule.reset(RDKit::SmilesToMol(record.structure));
        } else {
            molecule.reset(RDKit::MolBlockToMol(record.structure));
        }
    } catch (const RDKit::FileParseException& e) {
        failure = FromParseException(e.what());
        return nullptr;
    } catch (const Invar::Invariant& e) {
        failure.reason = "the toolkit found the record inconsistent (" + e.getExpression() + ")";
        return nullptr;
    } catch (const std::exception& e) {
        failure.reason = e.what();
        return nullptr;
    } catch (...) {
        failure.reason = "the toolkit could not read the record";
        return nullptr;
    }
    if (!molecule) {
        failure.reason = log.FirstMessage();
        if (failure.reason.empty()) failure.reason = "the toolkit could not read the record";
        return nullptr;
    }
    if (molecule->getNumAtoms() == 0) {
        failure.reason = "no atoms";
        return nullptr;
    }
    return molecule;
}

// Counts every atom and its hydrogens into a formula whose mass host/chem
// knows exactly, or says why it cannot.
bool FormulaOf(const RDKit::ROMol& molecule, chem::Formula& formula, std::string& reason) {
    for (const RDKit::Atom* atom : molecule.atoms()) {
        std::string symbol = atom->getSymbol();
        const std::string where = "atom " + std::to_string(atom->getIdx() + 1) + " ";
        if (atom->getAtomicNum() == 0) {
            reason = where + symbol + " is a query or dummy atom, not an element";
            return false;
        }
        const chem::Element* element = chem::FindElement(symbol);
        if (!element) {
            reason = where + symbol + " has no stable isotope, so no monoisotopic mass";
            return false;
        }
        const unsigned isotope = atom->getIsotope();
        // Deuterium has a symbol of its own in formulas; a label naming the
        // most abundant isotope changes no mass. Any other has no place in a formula.
        if (symbol == "H" && isotope == 2) {
            symbol = "D";
        } else if (isotope != 0 && static_cast<int>(isotope) != element->mostAbundant->massNumber) {
            reason = where + "is the isotope " + std::to_string(isotope) + symbol +
                     ", which a formula cannot hold";
            return false;
        }
        ++formula.counts[symbol];
        const unsigned hydrogens = atom->getTotalNumHs(false);
        if (hydrogens > 0) formula.counts["H"] += static_cast<long>(hydrogens);
    }
    return true;
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
    result.line = record.line + (failure.lineInRecord > 0 ? failure.lineInRecord - 1 : 0);
    result.error = std::move(failure.reason);
    return result;
}

ConvertedRecord FromFormulaText(const ImportRecord& record, std::string name) {
    const chem::FormulaParse parsed = chem::ParseFormula(record.structure);
    if (!parsed.ok) {
        return Failed(record, {"formula " + record.structure + ": " + parsed.errorReason + " at character " +
                               std::to_string(parsed.errorPosition + 1)});
    }
    ConvertedRecord result;
    result.row.massMI = chem::MonoisotopicMass(parsed.formula);
    result.row.formula = chem::HillFormula(parsed.formula);
    if (!std::isfinite(result.row.massMI) || result.row.massMI <= 0) {
        return Failed(record, {"formula " + record.structure + " has no usable mass"});
    }
    result.ok = true;
    result.row.name = std::move(name);
    return result;
}

}  // namespace

ConvertedRecord ConvertRecord(const ImportRecord& record, std::string name, bool layout,
                              ToolkitSeconds* seconds) {
    if (!record.problem.empty()) return Failed(record, {record.problem});
    if (record.kind == StructureKind::kFormula) return FromFormulaText(record, std::move(name));

    Failure failure;
    const double readStart = ThreadCpuSeconds();
    std::unique_ptr<RDKit::RWMol> molecule = ReadMolecule(record, failure);
    if (seconds) seconds->read += Since(readStart);
    if (!molecule) return Failed(record, std::move(failure));

    chem::Formula formula;
    if (!FormulaOf(*molecule, formula, failure.reason)) return Failed(record, std::move(failure));
    ConvertedRecord result;
    result.row.massMI = chem::MonoisotopicMass(formula);
    if (!std::isfinite(result.row.massMI) || result.row.massMI <= 0) {
        return Failed(record, {"no usable mass"});
    }
    result.row.formula = chem::HillFormula(formula);

    const double drawStart = ThreadCpuSeconds();
    int confId = -1;
    try {
        ToolkitLogCapture log;
        if (HasCoordinates(*molecule)) {
            confId = static_cast<int>(molecule->getConformer().getId());
        } else if (layout) {
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
