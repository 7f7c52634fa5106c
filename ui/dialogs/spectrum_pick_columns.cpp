#include "ui/dialogs/spectrum_pick_columns.h"

#include <optional>

#include "text/separators.h"
#include "text/shown_numbers.h"

namespace ionsift {
namespace {

constexpr int kScanId = 106, kRetentionId = 107, kBasePeakId = 108, kTitleId = 109,
              kPrecursorId = 110, kNameId = 111;

constexpr SpectrumPickColumn kScans[] = {
    {SpectrumCell::Scan, kScanId, 70},
    {SpectrumCell::RetentionTime, kRetentionId, 80},
    {SpectrumCell::BasePeak, kBasePeakId, 110},
};
constexpr SpectrumPickColumn kBlocks[] = {
    {SpectrumCell::Title, kTitleId, 260},
    {SpectrumCell::Precursor, kPrecursorId, 100},
};
constexpr SpectrumPickColumn kRecords[] = {
    {SpectrumCell::Title, kNameId, 260},
    {SpectrumCell::Precursor, kPrecursorId, 100},
};

template <std::size_t N>
constexpr SpectrumPickColumns Columns(const SpectrumPickColumn (&columns)[N]) {
    return {columns, N};
}

std::string Shown(const std::optional<double>& value, int decimals, char separator) {
    if (!value) return "";
    std::string text = FormatRounded(*value, decimals);
    ToLocalSeparator(text, separator);
    return text;
}

}  // namespace

SpectrumPickColumns PickColumnsFor(SpectrumFileFormat format) {
    switch (format) {
        case SpectrumFileFormat::MzML:
        case SpectrumFileFormat::MzXML:
            return Columns(kScans);
        case SpectrumFileFormat::Msp:
            return Columns(kRecords);
        case SpectrumFileFormat::Mgf:
        case SpectrumFileFormat::PeakTable:
            break;
    }
    return Columns(kBlocks);
}

std::string SpectrumCellText(SpectrumCell cell, const SpectrumEntry& entry, char separator) {
    switch (cell) {
        case SpectrumCell::Scan:
            return entry.scan ? std::to_string(*entry.scan) : "";
        case SpectrumCell::RetentionTime:
            return Shown(entry.retentionMinutes, 2, separator);
        case SpectrumCell::BasePeak:
            return Shown(entry.basePeakMz, 4, separator);
        case SpectrumCell::Title:
            return entry.title;
        case SpectrumCell::Precursor:
            return Shown(entry.precursorMz, 4, separator);
    }
    return "";
}

}  // namespace ionsift
