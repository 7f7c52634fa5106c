#include "ions/ion_cells.h"

#include <algorithm>
#include <numeric>

#include "isotopes/fit_rank.h"
#include "text/locale_numbers.h"
#include "text/separators.h"
#include "text/shown_numbers.h"

namespace ionsift {
namespace {

constexpr double kPerMillion = 1e6;

// A sort key with "no value" as a flag, so that missing values can go last
// in both directions.
struct Key {
    bool has = false;
    double value = 0.0;
};

Key ErrorKey(const IonCell& cell) {
    return std::isnan(cell.errorPpm) ? Key{} : Key{true, std::fabs(cell.errorPpm)};
}

Key RmsKey(const IonCell& cell) {
    return cell.rms && !std::isnan(*cell.rms) ? Key{true, *cell.rms} : Key{};
}

Key ScoreKey(const IonCell& cell) {
    return cell.score && std::isfinite(*cell.score) ? Key{true, *cell.score} : Key{};
}

// A value as the list shows it (two decimals, rounded as FormatRounded
// rounds), so that the order never hangs on digits the user cannot see.
double Shown(double value) {
    double shown = value;
    if (std::isfinite(value)) UserTextToReal(FormatRounded(value, 2), '.', shown);
    return shown;
}

// A row's place in a ranking: its score and error as shown, and its cell for
// the rows without a score.
struct RankRow {
    FitRankKey shown;
    const IonCell* cell;
};

// -1, 0 or 1; a key without value after every key with one.
int CompareKeys(const Key& a, const Key& b, bool descending) {
    if (a.has != b.has) return a.has ? -1 : 1;
    if (!a.has || a.value == b.value) return 0;
    const int order = a.value < b.value ? -1 : 1;
    return descending ? -order : order;
}

// Each row's keys worked out once, then the rows rearranged.
template <class MakeKey, class Less>
void SortRowsByKey(std::vector<ResultRow>& rows, const IonCells& cells, const RowIdTable& ids,
                   MakeKey makeKey, Less less) {
    std::vector<decltype(makeKey(IonCell{}))> keyOfRow;
    keyOfRow.reserve(rows.size());
    for (const ResultRow& row : rows) keyOfRow.push_back(makeKey(CellOf(cells, ids, row)));
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return less(keyOfRow[a], keyOfRow[b]);
    });
    std::vector<ResultRow> sorted;
    sorted.reserve(rows.size());
    for (std::size_t index : order) sorted.push_back(rows[index]);
    rows.swap(sorted);
}

template <class Less>
void SortRowsBy(std::vector<ResultRow>& rows, const IonCells& cells, const RowIdTable& ids,
                Less less) {
    SortRowsByKey(
        rows, cells, ids, [](const IonCell& cell) { return &cell; },
        [&less](const IonCell* a, const IonCell* b) { return less(*a, *b); });
}

}  // namespace

double MassErrorPpm(double measured, double theoretical) {
    if (!(theoretical > 0) || !std::isfinite(theoretical) || !std::isfinite(measured)) {
        return std::nan("");
    }
    return (measured - theoretical) / theoretical * kPerMillion;
}

double RowErrorPpm(const char* caption, char separator, double measured, const Ion& ion) {
    double neutral = 0.0;
    if (!caption || !UserTextToReal(caption, separator, neutral)) return std::nan("");
    return MassErrorPpm(measured, static_cast<double>(IonMz(neutral, ion)));
}

std::string MassErrorText(double ppm, char separator) {
    if (std::isnan(ppm)) return {};
    std::string magnitude = FormatRounded(std::fabs(ppm), 2);
    const bool zero = magnitude.find_first_not_of("0.") == std::string::npos;
    std::string text = (ppm < 0 && !zero) ? "-" : "+";
    text += magnitude;
    ToLocalSeparator(text, separator);
    return text;
}

std::string RmsText(const std::optional<double>& rms, char separator) {
    if (!rms || !std::isfinite(*rms)) return {};
    std::string text = FormatRounded(*rms, 2);
    ToLocalSeparator(text, separator);
    return text;
}

std::string ScoreText(const std::optional<double>& score, char separator) {
    if (!score || !std::isfinite(*score)) return {};
    std::string text = FormatRounded(*score, 2);
    if (text.find_first_not_of("-0.") == std::string::npos) text = "0.00";
    ToLocalSeparator(text, separator);
    return text;
}

void SortByError(std::vector<ResultRow>& rows, const IonCells& cells, const RowIdTable& ids,
                 bool descending) {
    SortRowsBy(rows, cells, ids, [descending](const IonCell& a, const IonCell& b) {
        return CompareKeys(ErrorKey(a), ErrorKey(b), descending) < 0;
    });
}

void SortByRms(std::vector<ResultRow>& rows, const IonCells& cells, const RowIdTable& ids,
               bool descending) {
    SortRowsBy(rows, cells, ids, [descending](const IonCell& a, const IonCell& b) {
        return CompareKeys(RmsKey(a), RmsKey(b), descending) < 0;
    });
}

void SortByScore(std::vector<ResultRow>& rows, const IonCells& cells, const RowIdTable& ids,
                 bool descending) {
    SortRowsBy(rows, cells, ids, [descending](const IonCell& a, const IonCell& b) {
        return CompareKeys(ScoreKey(a), ScoreKey(b), descending) < 0;
    });
}

void SortByRank(std::vector<ResultRow>& rows, const IonCells& cells, const RowIdTable& ids) {
    const auto rankRow = [](const IonCell& cell) {
        const Key score = ScoreKey(cell);
        return RankRow{{score.has ? std::optional<double>(Shown(score.value)) : std::nullopt,
                        Shown(cell.errorPpm)},
                       &cell};
    };
    SortRowsByKey(rows, cells, ids, rankRow, [](const RankRow& a, const RankRow& b) {
        // Scored rows in the order the command line ranks them too.
        if (a.shown.score || b.shown.score) return RanksBefore(a.shown, b.shown);
        const int byRms = CompareKeys(RmsKey(*a.cell), RmsKey(*b.cell), false);
        if (byRms != 0) return byRms < 0;
        return CompareKeys(ErrorKey(*a.cell), ErrorKey(*b.cell), false) < 0;
    });
}

}  // namespace ionsift
