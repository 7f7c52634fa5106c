// Reading the host's answer when memory runs out, in the manner of an OOM
// loop: the n-th allocation fails, for every n until the reading succeeds,
// and each outcome must leave the promised state behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "search/results_answer.h"

// The replacements below pair malloc with free themselves; GCC cannot see that.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {

// 0: no failure; otherwise the allocation that fails, counted from 1 after Arm().
int g_failAt = 0;
int g_count = 0;

void Arm(int failAt) {
    g_failAt = failAt;
    g_count = 0;
}

bool ShouldFail() { return g_failAt != 0 && ++g_count == g_failAt; }

}  // namespace

void* operator new(std::size_t size) {
    if (ShouldFail()) throw std::bad_alloc();
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (ShouldFail()) return nullptr;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

namespace ionsift {
namespace {

TEST(ReadingAnswerOutOfMemory, EveryFailingAllocationLeavesAConsistentState) {
    const std::string answer = "12;180.063388;C6H12O6;glucose\n7;18.010565;H2O;water\n";
    bool succeeded = false;
    int failures = 0;
    for (int failAt = 1; !succeeded && failAt < 100; ++failAt) {
        RowIdTable rowIds = {41, 42, 43};  // the previous search's table
        ResultRows rows;
        AnswerCounts counts;
        Arm(failAt);
        const AnswerReading reading = ReadResultsAnswer(answer.c_str(), '.', rowIds, rows, counts);
        Arm(0);
        switch (reading) {
            case AnswerReading::NoMemoryText:
                ++failures;
                EXPECT_EQ(rowIds, (RowIdTable{41, 42, 43})) << "the old table stays";
                EXPECT_TRUE(rows.rows.empty());
                break;
            case AnswerReading::NoMemoryIds:
                ++failures;
                EXPECT_TRUE(rowIds.empty());
                EXPECT_EQ(rowIds.capacity(), 0u) << "no table at all";
                EXPECT_TRUE(rows.rows.empty());
                EXPECT_EQ(rows.text, nullptr);
                break;
            case AnswerReading::Read:
                succeeded = true;
                ASSERT_EQ(rows.rows.size(), 2u);
                EXPECT_EQ(rowIds, (RowIdTable{12, 7}));
                EXPECT_STREQ(rows.rows[1].cells[kNameColumn], "water");
                EXPECT_EQ(counts.newlines, 2u);
                break;
        }
    }
    EXPECT_TRUE(succeeded);
    // The copy, the ID table and the rows each failed once on the way.
    EXPECT_EQ(failures, 3);
}

}  // namespace
}  // namespace ionsift
