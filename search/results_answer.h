// Reads the host's answer to the mass-window query into result rows.
//
// The answer is a run of fields, each ended by ";" or a newline, grouped in
// fours from the start (ID, mass, formula, name) whichever delimiter ended
// them. Blanks after a delimiter are dropped, blanks before one kept; a
// carriage return is an ordinary byte; bytes after the last delimiter are
// ignored.
#pragma once

#include <cstddef>

#include "search/result_rows.h"

namespace ionsift {

enum class AnswerReading {
    Read,           // rows (possibly none) and a fresh RowIdTable
    NoMemoryText,   // the private copy could not be had: no rows, the table kept
    NoMemoryIds,    // the ID table could not be had: it is released, no rows
};

struct AnswerCounts {
    std::size_t newlines = 0;  // what the count label shows
};

// One pass over a private copy of `answer` (a C string). `rowIds` is replaced
// by a table of one slot per newline; a row whose ID finds no free slot (an
// answer whose last row lacks its newline, or rows shifted by extra fields)
// is not added. `separator` replaces the first "." of each mass.
AnswerReading ReadResultsAnswer(const char* answer, char separator, RowIdTable& rowIds,
                                ResultRows& rows, AnswerCounts& counts);

}  // namespace ionsift
