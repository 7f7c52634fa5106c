#include "annotate/annotation_table.h"

#include <cmath>

#include "ions/ion_cells.h"
#include "shell/host_numbers.h"

namespace ionsift::annotate {
namespace {

// Two decimals, and never "-0.00" for a value that rounds to zero.
std::string TwoDecimals(const std::optional<double>& value) {
    if (!value || !std::isfinite(*value)) return "";
    const std::string text = FormatFixed(*value, 2);
    return text == "-0.00" ? "0.00" : text;
}

}  // namespace

std::string AnnotationHeader() {
    return "spectrum\trank\tid\tname\tformula\tion\tmz\terror_ppm\tscore\trms\n";
}

std::string AnnotationRow(std::string_view spectrum, int rank, const Candidate& candidate,
                          const CandidateFit& fit) {
    std::string row = TsvText(spectrum);
    for (const std::string& field :
         {std::to_string(rank), std::to_string(candidate.id), TsvText(candidate.name), TsvText(candidate.formula),
          std::string(fit.ion ? fit.ion->notation : ""), FormatFixed(fit.mz, 6), MassErrorText(fit.errorPpm, '.'),
          TwoDecimals(fit.score), TwoDecimals(fit.rms)}) {
        row += '\t';
        row += field;
    }
    row += '\n';
    return row;
}

std::string TsvText(std::string_view text) {
    std::string clean(text);
    for (char& c : clean) {
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    }
    return clean;
}

}  // namespace ionsift::annotate
