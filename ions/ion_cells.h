// The cells the results list shows beside each candidate: the mass error of
// the candidate as the ion searched for, and, once the list is ranked, the
// RMS deviation of its distribution from the measured peaks and the
// likelihood score of its isotope fit.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ions/ion_table.h"
#include "search/result_rows.h"

namespace ionsift {

// The list's columns after the three of the candidate itself.
enum IonColumn : int { kErrorColumn = 3, kRmsColumn = 4, kScoreColumn = 5, kListColumnCount = 6 };

struct IonCell {
    double errorPpm = std::nan("");  // NaN: no error (a mass that does not convert)
    std::optional<double> rms;       // none: not ranked, or no deviation defined
    std::optional<double> score;     // none: not ranked, or no fit computed; higher is better
};

// One cell per slot of the RowIdTable, so that sorting never separates a row
// from its cells.
using IonCells = std::vector<IonCell>;

// (measured - theoretical) / theoretical x 1e6; NaN when the theoretical
// mass is not above 0 or either is not finite.
double MassErrorPpm(double measured, double theoretical);

// The error of a row's caption (its neutral mass, in the user's separator)
// for the measured value of a search as `ion`: the caption turned into the
// ion's m/z is the theoretical value.
double RowErrorPpm(const char* caption, char separator, double measured, const Ion& ion);

// Sign, two decimals and the user's separator: "+1.23", "-0,45". A value
// that rounds to 0.00 is "+0.00"; NaN is "".
std::string MassErrorText(double ppm, char separator);

// Two decimals in the user's separator; "" when there is no value.
std::string RmsText(const std::optional<double>& rms, char separator);
// The same for a score, with its minus sign: "-3,27"; one that rounds to
// zero is "0.00".
std::string ScoreText(const std::optional<double>& score, char separator);

constexpr std::size_t kNoSlot = static_cast<std::size_t>(-1);

// A row's slot: its ID's place in the RowIdTable; kNoSlot when it is not there.
inline std::size_t SlotOf(const RowIdTable& ids, const ResultRow& row) {
    const std::less<const std::int32_t*> before;
    if (ids.empty() || before(row.id, ids.data()) || !before(row.id, ids.data() + ids.size())) {
        return kNoSlot;
    }
    return static_cast<std::size_t>(row.id - ids.data());
}

// The cell of a row, by its slot; an empty cell when it has none.
inline const IonCell& CellOf(const IonCells& cells, const RowIdTable& ids, const ResultRow& row) {
    static const IonCell kNone;
    const std::size_t slot = SlotOf(ids, row);
    return slot < cells.size() ? cells[slot] : kNone;
}

// Column sorts, stable: the error by its magnitude, the RMS by value; rows
// without a value come last whichever the direction.
void SortByError(std::vector<ResultRow>& rows, const IonCells& cells, const RowIdTable& ids,
                 bool descending);
void SortByRms(std::vector<ResultRow>& rows, const IonCells& cells, const RowIdTable& ids,
               bool descending);
void SortByScore(std::vector<ResultRow>& rows, const IonCells& cells, const RowIdTable& ids,
                 bool descending);
// The ranking: rows with a score first, in RankOrder's order
// (isotopes/fit_rank.h) of the values as shown (two decimals): the score
// descending, equal scores by the error's magnitude. Rows without a score
// follow as the RMS ranks them: RMS ascending, rows without one last, equal
// RMS by the error's magnitude. Rows equal in every key keep their order.
void SortByRank(std::vector<ResultRow>& rows, const IonCells& cells, const RowIdTable& ids);

}  // namespace ionsift
