// A record read by the toolkit (RDKit) and made a database row: the formula
// of the molecule as drawn, implicit hydrogens included, in Hill order; the
// monoisotopic mass from host/chem's isotope table (the sum of the atoms, a
// charge changing nothing); the structure as CML, with a 2-D layout from the
// toolkit where the record has no coordinates. A record the toolkit cannot
// read, or whose mass cannot be told exactly (a query or dummy atom, an
// element without stable isotopes, an isotope label other than deuterium),
// gives the reason instead; no row ever gets a guessed mass.
// Hydrogens drawn as atoms are checked with the valences while they are still
// atoms, and only then folded into their neighbours' counts; a record whose
// formula would change on the way (a carbon with five drawn hydrogens, a
// neutral nitrogen with four) is skipped with the reason "valence".
// Thread-safe: workers convert records side by side.
#pragma once

#include <string>

#include "host/dbtool/import_record.h"
#include "host/dbtool/molecule_row.h"

namespace ionsift::dbtool {

// Bounds on the toolkit's work per record. Its cost grows much faster than
// the atoms (RDKit 2022.09, one core): the stereo perception of its readers
// takes 3 s for a 1,500-atom polymer chain (dbtool does not ask for it), a
// failed kekulization of a fused aromatic sheet 0.35 s at 961 atoms and 2.3 s
// at 2,025, the 2-D layout 0.05 s at 300 atoms, 0.8 s at 750 and 13 s at 1,500.
// A record of more atoms than kMaxAtoms, as written (a MOL block's counts line,
// drawn hydrogens included; a SMILES's atoms), is skipped as "too large"
// before the toolkit sees it. This is far above the molecules a mass search
// is for (a 1,000-atom peptide weighs about 7 kDa).
constexpr int kMaxAtoms = 1000;
// A record without coordinates of more heavy atoms than this is stored
// without them (the host then lists its atoms) rather than laid out.
constexpr int kMaxLaidOutAtoms = 250;

struct ConvertedRecord {
    bool ok = false;
    MoleculeRow row;       // without an id
    long long line = 0;    // where the fault is, when !ok: the record's first line or, where
                           // the toolkit names one, the line inside the record
    std::string error;
    std::string category;  // the reason's class, counted in the summary ("valence")
};

// CPU seconds spent inside the toolkit, for the benchmark's profile.
struct ToolkitSeconds {
    double read = 0;    // parsing and sanitizing
    double layout = 0;  // 2-D coordinates
};

// `name`: what the row is called (the record's title, data field or place).
// `layout`: lay out records without coordinates (the benchmark turns it off).
// A failure's category is one of "too large", "empty", "syntax" (a SMILES or
// formula the parser rejects), "unreadable" (a MOL block), "valence",
// "aromaticity", "query atom", "no stable isotope", "isotope label", "no mass",
// or the record's own problemCategory ("unterminated quote").
ConvertedRecord ConvertRecord(const ImportRecord& record, std::string name, bool layout = true,
                              ToolkitSeconds* seconds = nullptr);

}  // namespace ionsift::dbtool
