// The order of the results list when a column header is clicked: masses by
// value, formulas and names as text without regard to ASCII letter case.
#pragma once

#include <vector>

#include "search/result_rows.h"

namespace ionsift {

// Bytes compared as unsigned values after a-z are folded to A-Z; the first
// unequal pair gives the difference of the folded bytes, and when one text is
// a prefix of the other, the shorter comes first by the difference of the
// lengths. Letters outside a-z are not folded.
int CompareFoldedText(const char* a, const char* b);

// A mass caption as a real in the user's separator; 0 when it does not convert.
double CaptionMass(const char* caption, char separator);

// Negative, zero or positive as row `a` sorts before, with or after `b` on
// `column`: numerically on the mass, folded text on the others; negated when
// `descending`.
int CompareResultRows(const ResultRow& a, const ResultRow& b, int column, bool descending,
                      char separator);

// Sorts the rows as CompareResultRows orders them. Rows that compare equal
// keep their order. Masses are converted once per row, not once per compare.
void SortResultRows(std::vector<ResultRow>& rows, int column, bool descending, char separator);

}  // namespace ionsift
