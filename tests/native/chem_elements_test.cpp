// The isotope table: consistent per element, and looked up by exact symbol.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>

#include "host/chem/elements.h"

namespace ionsift::chem {
namespace {

TEST(IsotopeTable, EveryElementIsConsistent) {
    std::map<std::string, double> sums;
    std::set<std::string> finished;  // rows of one element must stay together
    std::string current;
    int previousMassNumber = 0;
    for (const Isotope& row : IsotopeTable()) {
        const std::string symbol(row.symbol);
        if (symbol != current) {
            EXPECT_EQ(finished.count(symbol), 0u) << symbol << " rows are split";
            finished.insert(current);
            current = symbol;
            previousMassNumber = 0;
        }
        EXPECT_GT(row.massNumber, previousMassNumber) << symbol << row.massNumber;
        previousMassNumber = row.massNumber;
        // Mass defects stay within 0.1 Da of the mass number for stable nuclides.
        EXPECT_LT(std::fabs(row.mass - row.massNumber), 0.1) << symbol << row.massNumber;
        EXPECT_GT(row.abundance, 0.0) << symbol << row.massNumber;
        sums[symbol] += row.abundance;
    }
    for (const auto& [symbol, sum] : sums) EXPECT_NEAR(sum, 1.0, 1e-4) << symbol;
    // Every element with stable isotopes (H to Bi less Tc and Pm: 81), plus D, Th, Pa and U.
    EXPECT_EQ(sums.size(), 85u);
}

TEST(FindElement, ExactSymbolsOnly) {
    ASSERT_NE(FindElement("Co"), nullptr);
    EXPECT_EQ(FindElement("Co")->isotopes.count, 1u);
    EXPECT_EQ(FindElement("CO"), nullptr);
    EXPECT_EQ(FindElement("co"), nullptr);
    EXPECT_EQ(FindElement(""), nullptr);
    EXPECT_EQ(FindElement("Tc"), nullptr);
    EXPECT_EQ(FindElement("T"), nullptr);  // tritium is not stable
    EXPECT_EQ(FindElement("Cl")->mostAbundant->massNumber, 35);
    EXPECT_EQ(FindElement("Fe")->mostAbundant->massNumber, 56);
    EXPECT_EQ(FindElement("Hg")->mostAbundant->massNumber, 202);
    EXPECT_EQ(FindElement("U")->mostAbundant->massNumber, 238);
}

}  // namespace
}  // namespace ionsift::chem
