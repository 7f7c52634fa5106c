#include "search/result_order.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "text/locale_numbers.h"

namespace ionsift {
namespace {

unsigned char Folded(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'a' && byte <= 'z') ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

int Sign(double a, double b) { return a > b ? 1 : (a < b ? -1 : 0); }

}  // namespace

int CompareFoldedText(const char* a, const char* b) {
    const std::size_t lengthA = std::strlen(a);
    const std::size_t lengthB = std::strlen(b);
    const std::size_t common = std::min(lengthA, lengthB);
    for (std::size_t i = 0; i < common; ++i) {
        const int difference = Folded(a[i]) - Folded(b[i]);
        if (difference != 0) return difference;
    }
    return static_cast<int>(lengthA) - static_cast<int>(lengthB);
}

double CaptionMass(const char* caption, char separator) {
    double mass = 0.0;
    return UserTextToReal(caption, separator, mass) ? mass : 0.0;
}

int CompareResultRows(const ResultRow& a, const ResultRow& b, int column, bool descending,
                      char separator) {
    const int order = column == kMassColumn
                          ? Sign(CaptionMass(a.cells[kMassColumn], separator),
                                 CaptionMass(b.cells[kMassColumn], separator))
                          : CompareFoldedText(a.cells[column], b.cells[column]);
    return descending ? -order : order;
}

void SortResultRows(std::vector<ResultRow>& rows, int column, bool descending, char separator) {
    if (column < 0 || column >= kResultColumnCount) return;
    if (column != kMassColumn) {
        std::stable_sort(rows.begin(), rows.end(), [&](const ResultRow& a, const ResultRow& b) {
            return CompareResultRows(a, b, column, descending, separator) < 0;
        });
        return;
    }
    // Each caption converted once: sort positions by their masses, then
    // rearrange the rows.
    std::vector<double> masses(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        masses[i] = CaptionMass(rows[i].cells[kMassColumn], separator);
    }
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int sign = Sign(masses[a], masses[b]);
        return (descending ? -sign : sign) < 0;
    });
    std::vector<ResultRow> sorted;
    sorted.reserve(rows.size());
    for (std::size_t index : order) sorted.push_back(rows[index]);
    rows.swap(sorted);
}

}  // namespace ionsift
