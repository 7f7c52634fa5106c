// Feeds arbitrary SMILES, SD and CSV text through the import's record reader
// and the toolkit. Every record gives a row or a reason with its category; a
// row has a UTF-8 name, a finite, positive mass that its formula text gives
// again, and a structure the host's CML reader reads back to the same formula.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "host/chem/cml_reader.h"
#include "host/chem/formula.h"
#include "host/dbtool/record_conversion.h"
#include "host/dbtool/record_reader.h"
#include "text/utf8_text.h"

namespace {

using namespace ionsift;
using namespace ionsift::dbtool;

// The first byte picks the format; inputs stay small, as the toolkit's layout
// grows quickly with the molecule.
constexpr FileFormat kFormats[] = {FileFormat::kSmiles, FileFormat::kSd, FileFormat::kCsv, FileFormat::kTsv};
constexpr std::size_t kMaxInput = 4096;
constexpr int kMaxRecords = 32;

void CheckRow(const ConvertedRecord& converted) {
    const MoleculeRow& row = converted.row;
    if (!std::isfinite(row.massMI) || row.massMI <= 0) std::abort();
    const chem::FormulaParse parsed = chem::ParseFormula(row.formula);
    if (!parsed.ok || chem::HillFormula(parsed.formula) != row.formula) std::abort();
    if (std::abs(chem::MonoisotopicMass(parsed.formula) - row.massMI) > 1e-6 * row.massMI) std::abort();
    if (!IsValidUtf8(row.name)) std::abort();
    if (!row.structure) return;
    const chem::CmlRead read = chem::ReadCml(*row.structure);
    if (!read.ok || chem::HillFormula(chem::FormulaOf(read.molecule)) != row.formula) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > kMaxInput) return 0;
    const FileFormat format = kFormats[data[0] % std::size(kFormats)];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    RecordReader reader(format, "NAME");
    reader.OpenText(text);
    ImportRecord record;
    for (int count = 0; count < kMaxRecords && reader.Next(record); ++count) {
        if (record.line < 1 || record.number != count + 1) std::abort();
        if (record.problem.empty() != record.problemCategory.empty()) std::abort();
        const ConvertedRecord converted = ConvertRecord(record, record.title);
        if (converted.ok) {
            CheckRow(converted);
        } else if (converted.error.empty() || converted.category.empty() || converted.line < record.line) {
            std::abort();
        }
    }
    return 0;
}
