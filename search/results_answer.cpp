#include "search/results_answer.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "shell/host_numbers.h"

namespace ionsift {
namespace {

const char kNoText[] = "";

// strtol's reading (white space, sign, digits up to the first other byte; no
// digit gives 0), held to the 32 bits of an ID slot.
std::int32_t ReadRowId(const char* field) {
    const long value = ReadHostInt(field);
    return static_cast<std::int32_t>(std::clamp<long>(value, INT32_MIN, INT32_MAX));
}

void UseSeparator(char* mass, char separator) {
    if (separator == '.') return;
    if (char* point = std::strchr(mass, '.')) *point = separator;
}

}  // namespace

AnswerReading ReadResultsAnswer(const char* answer, char separator, RowIdTable& rowIds,
                                ResultRows& rows, AnswerCounts& counts) {
    rows.Clear();
    counts = {};
    const std::size_t length = std::strlen(answer);

    std::unique_ptr<char[]> text(new (std::nothrow) char[length + 1]);
    if (!text) return AnswerReading::NoMemoryText;
    std::memcpy(text.get(), answer, length + 1);
    char* const end = text.get() + length;
    const std::size_t newlines = static_cast<std::size_t>(std::count(text.get(), end, '\n'));

    // The old table goes first, so that the two are never held at once.
    RowIdTable().swap(rowIds);
    try {
        RowIdTable(newlines).swap(rowIds);
        rows.rows.reserve(newlines);
    } catch (const std::bad_alloc&) {
        RowIdTable().swap(rowIds);
        rows.Clear();
        return AnswerReading::NoMemoryIds;
    }

    std::size_t nextSlot = 0;
    ResultRow* row = nullptr;  // the row of the current group; null when it got no slot
    int field = 0;             // 0 ID, 1 mass, 2 formula, 3 name
    char* start = text.get();
    for (char* at = text.get(); at < end; ++at) {
        if (*at != ';' && *at != '\n') continue;
        while (*start == ' ') ++start;  // stops at the delimiter at the latest
        *at = '\0';
        switch (field) {
            case 0:
                row = nullptr;
                if (nextSlot < rowIds.size()) {
                    std::int32_t* slot = &rowIds[nextSlot++];
                    *slot = ReadRowId(start);
                    // The caption exists from the start; formula and name once read.
                    rows.rows.push_back(ResultRow{{kNoText, kNoText, kNoText}, slot, kMassColumn + 1});
                    row = &rows.rows.back();
                }
                break;
            case 1:
                if (row) {
                    UseSeparator(start, separator);
                    row->cells[kMassColumn] = start;
                }
                break;
            case 2:
                if (row) {
                    row->cells[kFormulaColumn] = start;
                    row->texts = kFormulaColumn + 1;
                }
                break;
            default:
                if (row) {
                    row->cells[kNameColumn] = start;
                    row->texts = kNameColumn + 1;
                }
                field = -1;
                break;
        }
        ++field;
        start = at + 1;
    }
    rows.text = std::move(text);
    counts.newlines = newlines;
    return AnswerReading::Read;
}

}  // namespace ionsift
