// A record read by the toolkit (RDKit) and made a database row: the formula
// of the molecule as drawn, implicit hydrogens included, in Hill order; the
// monoisotopic mass from host/chem's isotope table (the sum of the atoms, a
// charge changing nothing); the structure as CML, with a 2-D layout from the
// toolkit where the record has no coordinates. A record the toolkit cannot
// read, or whose mass cannot be told exactly (a query or dummy atom, an
// element without stable isotopes, an isotope label other than deuterium),
// gives the reason instead; no row ever gets a guessed mass.
// Thread-safe: workers convert records side by side.
#pragma once

#include <string>

#include "host/dbtool/import_record.h"
#include "host/dbtool/molecule_row.h"

namespace ionsift::dbtool {

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
ConvertedRecord ConvertRecord(const ImportRecord& record, std::string name, bool layout = true,
                              ToolkitSeconds* seconds = nullptr);

}  // namespace ionsift::dbtool
