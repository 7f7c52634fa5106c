#include "ions/ion_cells.h"

#include <algorithm>
#include <numeric>

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

// A key as the list shows it: two decimals, so that the order never hangs on
// digits the user cannot see.
Key Shown(Key key) {
    if (key.has) key.value = std::round(key.value * 100.0);
    return key;
}

// -1, 0 or 1; a key without value after every key with one.
int CompareKeys(const Key& a, const Key& b, bool descending) {
    if (a.has != b.has) return a.has ? -1 : 1;
    if (!a.has || a.value == b.value) return 0;
    const int order = a.value < b.value ? -1 : 1;
    return descending ? -order : order;
}

// Each row's keys worked out once, then the rows rearranged.
template <class Less>
void SortRowsBy(std::vector<ResultRow>& rows, const IonCells& cells, const RowIdTable& ids,
                Less less) {
    std::vector<const IonCell*> cellOfRow(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) cellOfRow[i] = &CellOf(cells, ids, rows[i]);
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return less(*cellOfRow[a], *cellOfRow[b]);
    });
    std::vector<ResultRow> sorted;
    sorted.reserve(rows.size());
    for (std::size_t index : order) sorted.push_back(rows[index]);
    rows.swap(sorted);
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
    SortRowsBy(rows, cells, ids, [](const IonCell& a, const IonCell& b) {
        const Key scoreA = Shown(ScoreKey(a)), scoreB = Shown(ScoreKey(b));
        const int byScore = CompareKeys(scoreA, scoreB, true);
        if (byScore != 0) return byScore < 0;
        if (scoreA.has) return CompareKeys(Shown(ErrorKey(a)), Shown(ErrorKey(b)), false) < 0;
        const int byRms = CompareKeys(RmsKey(a), RmsKey(b), false);
        if (byRms != 0) return byRms < 0;
        return CompareKeys(ErrorKey(a), ErrorKey(b), false) < 0;
    });
}

}  // namespace ionsift
