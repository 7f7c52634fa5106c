// One record of a compound file as the reader splits it off, before the
// toolkit reads its structure.
#pragma once

#include <string>

namespace ionsift::dbtool {

enum class StructureKind { kSmiles, kMolBlock, kFormula };

struct ImportRecord {
    long long number = 0;  // from 1 within its file
    long long line = 0;    // the record's first line
    StructureKind kind = StructureKind::kSmiles;
    std::string structure;  // SMILES, MOL block (V2000 or V3000) or formula text
    std::string title;      // SD title line, the text after a SMILES, a name or title column
    std::string field;      // the --name-field data item or column, empty when absent
                            // (title and field in UTF-8, converted from Windows-1252 where not)
    std::string problem;    // why the record is unusable before any parsing, else empty
    std::string problemCategory;  // the class of `problem`, as counted in the summary ("too large")
};

}  // namespace ionsift::dbtool
