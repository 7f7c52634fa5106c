// The rows ionsift-annotate writes: tab-separated, one header row, LF line
// ends, numbers with a "." whatever the C locale.
//
//   spectrum  rank  id  name  formula  ion  mz  error_ppm  score  rms
//
// mz with six decimals, error_ppm signed with two, score and rms with two
// ("" when there is none). Tabs and line breaks inside a text (a title, a
// name) become blanks, since the format has no quoting.
#pragma once

#include <string>
#include <string_view>

#include "ions/candidate_fit.h"

namespace ionsift::annotate {

std::string AnnotationHeader();

std::string AnnotationRow(std::string_view spectrum, int rank, const Candidate& candidate,
                          const CandidateFit& fit);

// The text with each tab, CR and LF replaced by a blank.
std::string TsvText(std::string_view text);

}  // namespace ionsift::annotate
