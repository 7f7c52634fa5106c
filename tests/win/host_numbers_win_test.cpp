// The locale-free number helpers as the 32-bit DLL gets them: MinGW's C
// runtime and libstdc++, with a comma locale set in the process the way a
// host may set it.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>

#include "shell/host_numbers.h"

namespace ionsift {
namespace {

TEST(HostNumbersOnWindows, PointStaysThePointUnderAGermanCRuntimeLocale) {
    ASSERT_NE(std::setlocale(LC_ALL, "German_Germany.1252"), nullptr);
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");

    EXPECT_EQ(FormatFixed(499.999, 6), "499.999000");
    EXPECT_EQ(FormatFixed(1234567.0625, 3), "1234567.062");
    const char* end = nullptr;
    EXPECT_DOUBLE_EQ(ReadHostReal("180.063388;C6H12O6", &end), 180.063388);
    EXPECT_EQ(*end, ';');
    EXPECT_DOUBLE_EQ(ReadHostReal("1,5"), 1.0);
    EXPECT_EQ(ReadHostInt("  -42;"), -42);
    std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace ionsift
