// The reader of the host's answer on any bytes: rows never outnumber the
// newlines, every row owns the next slot of a table of one slot per newline,
// every cell is a whole field of the private copy; sorting by any column in
// either direction only rearranges the rows.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "search/result_order.h"
#include "search/results_answer.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// A row by the addresses of its slot and cells: sorting moves rows, never
// what they point to.
using RowKey = std::tuple<std::uintptr_t, std::uintptr_t, std::uintptr_t, std::uintptr_t>;

std::uintptr_t Address(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

std::vector<RowKey> Keys(const std::vector<ionsift::ResultRow>& rows) {
    std::vector<RowKey> keys;
    for (const ionsift::ResultRow& row : rows) {
        keys.emplace_back(Address(row.id), Address(row.cells[0]), Address(row.cells[1]), Address(row.cells[2]));
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const char separator = (data[0] & 1) ? ',' : '.';
    // The host's text is a C string: it ends at its first zero byte.
    const std::string answer(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string before = answer;

    ionsift::RowIdTable ids(3, 77);
    ionsift::ResultRows rows;
    ionsift::AnswerCounts counts;
    if (ionsift::ReadResultsAnswer(answer.c_str(), separator, ids, rows, counts) != ionsift::AnswerReading::Read) {
        return 0;
    }
    Check(answer == before);

    const std::size_t length = std::strlen(answer.c_str());
    const std::size_t newlines = static_cast<std::size_t>(std::count(answer.c_str(), answer.c_str() + length, '\n'));
    Check(counts.newlines == newlines);
    Check(ids.size() == newlines);
    Check(rows.rows.size() <= newlines);

    const char* const first = rows.text.get();
    const char* const last = first ? first + length : nullptr;
    for (std::size_t i = 0; i < rows.rows.size(); ++i) {
        const ionsift::ResultRow& row = rows.rows[i];
        Check(row.id == ids.data() + i);  // slots taken in reading order
        for (const char* cell : row.cells) {
            Check(cell != nullptr);
            if (first == nullptr || cell < first || cell > last) {
                Check(*cell == '\0');  // a field the answer never reached
                continue;
            }
            const std::size_t cellLength = std::strlen(cell);
            Check(cell + cellLength <= last);
            Check(std::memchr(cell, ';', cellLength) == nullptr);
            Check(std::memchr(cell, '\n', cellLength) == nullptr);
            Check(cellLength == 0 || cell[0] != ' ');  // blanks after a delimiter dropped
        }
    }

    const std::vector<RowKey> keys = Keys(rows.rows);
    for (int column = 0; column < ionsift::kResultColumnCount; ++column) {
        for (bool descending : {false, true}) {
            ionsift::SortResultRows(rows.rows, column, descending, separator);
            for (std::size_t i = 0; i + 1 < rows.rows.size(); ++i) {
                Check(ionsift::CompareResultRows(rows.rows[i], rows.rows[i + 1], column, descending, separator) <= 0);
            }
            Check(Keys(rows.rows) == keys);
        }
    }
    return 0;
}
