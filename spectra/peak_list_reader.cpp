#include "spectra/peak_list_reader.h"

#include <string>
#include <string_view>
#include <vector>

namespace ionsift {
namespace {

constexpr std::string_view kSeparators = " \t,;";

// The reason a data line cannot be read, or "" when its peak was added.
std::string ReadPeakLine(const std::vector<std::string_view>& fields, std::vector<TPeak>& peaks) {
    if (fields.size() != 2) {
        return "expected two columns, m/z and intensity, found " + std::to_string(fields.size());
    }
    return AddPeak(fields[0], fields[1], peaks);
}

}  // namespace

ReadStep PeakListReader::Next(Spectrum& spectrum, SkippedBlock& skipped) {
    if (read_) return ReadStep::End;
    read_ = true;
    spectrum = Spectrum{};
    spectrum.index = 1;
    spectrum.line = 1;
    std::string line;
    bool tooLong = false;
    bool first = true;
    while (lines_.Next(line, tooLong)) {
        if (tooLong) {
            skipped = {lines_.Number(),
                       "line longer than " + std::to_string(kMaxSpectrumLineBytes) + " bytes"};
            return ReadStep::Skipped;
        }
        const std::vector<std::string_view> fields = SplitFields(line, kSeparators);
        if (fields.empty()) continue;
        double number = 0;
        const bool header = first && !ReadDecimal(fields[0], number);
        first = false;
        if (header) continue;
        const std::string fault = ReadPeakLine(fields, spectrum.peaks);
        if (!fault.empty()) {
            skipped = {lines_.Number(), fault};
            return ReadStep::Skipped;
        }
    }
    if (spectrum.peaks.empty()) {
        skipped = {lines_.Number() == 0 ? 1 : lines_.Number(), "no peaks"};
        return ReadStep::Skipped;
    }
    return ReadStep::Spectrum;
}

}  // namespace ionsift
