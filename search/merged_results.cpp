#include "search/merged_results.h"

#include <algorithm>
#include <new>
#include <utility>

#include "search/result_order.h"

namespace ionsift {
namespace {

struct Placed {
    double mass;
    std::uint16_t part;
    std::size_t row;  // place in the merged rows before sorting
};

void MergeInto(std::vector<ResultPart>& parts, char separator, RowIdTable& ids, ResultRows& rows,
               SlotTags& tags) {
    std::size_t slotCount = 0, rowCount = 0;
    for (const ResultPart& part : parts) {
        slotCount += part.ids.size();
        rowCount += part.rows.rows.size();
    }
    // The merged table never grows once filled, so rows can point into it.
    ids.reserve(slotCount);
    tags.reserve(slotCount);
    rows.moreTexts.reserve(parts.size());
    std::vector<ResultRow> unsorted;
    unsorted.reserve(rowCount);
    std::vector<Placed> order;
    order.reserve(rowCount);

    for (std::size_t p = 0; p < parts.size(); ++p) {
        ResultPart& part = parts[p];
        const std::size_t base = ids.size();
        ids.insert(ids.end(), part.ids.begin(), part.ids.end());
        tags.insert(tags.end(), part.ids.size(), static_cast<std::uint16_t>(p));
        for (ResultRow row : part.rows.rows) {
            row.id = ids.data() + base + static_cast<std::size_t>(row.id - part.ids.data());
            order.push_back({CaptionMass(row.cells[kMassColumn], separator),
                             static_cast<std::uint16_t>(p), unsorted.size()});
            unsorted.push_back(row);
        }
        if (!rows.text) {
            rows.text = std::move(part.rows.text);
        } else if (part.rows.text) {
            rows.moreTexts.push_back(std::move(part.rows.text));
        }
    }
    std::stable_sort(order.begin(), order.end(), [](const Placed& a, const Placed& b) {
        if (a.mass != b.mass) return a.mass < b.mass;
        return a.part < b.part;
    });
    rows.rows.reserve(rowCount);
    for (const Placed& placed : order) rows.rows.push_back(unsorted[placed.row]);
}

}  // namespace

void MergeResultParts(std::vector<ResultPart>& parts, char separator, RowIdTable& ids,
                      ResultRows& rows, SlotTags& tags) {
    ids.clear();
    tags.clear();
    rows.Clear();
    try {
        MergeInto(parts, separator, ids, rows, tags);
    } catch (const std::bad_alloc&) {
        ids.clear();
        tags.clear();
        rows.Clear();
        parts.clear();
        throw;
    }
    parts.clear();
}

}  // namespace ionsift
