#include "core/coefficient_list.h"

#include <gtest/gtest.h>

namespace tapwright {
namespace {

TEST(CoefficientList, RowTexts) {
    std::vector<double> h(100, 0.0);
    h[0] = 0.159155;
    h[1] = -1.5e-12;
    const auto rows = CoefficientListRows(h, 100);
    ASSERT_EQ(rows.size(), 100u);
    EXPECT_EQ(rows[0].number, "  01");
    EXPECT_EQ(rows[8].number, "  09");
    EXPECT_EQ(rows[30].number, "  31");
    EXPECT_EQ(rows[99].number, "  100");
    EXPECT_EQ(rows[0].value, "1.59155e-01");
    EXPECT_EQ(rows[1].value, "-1.50000e-12");
    EXPECT_EQ(rows[2].value, "0.00000e+00");
    // Never reads past the coefficients it is given.
    const auto longer = CoefficientListRows({1.0}, 3);
    ASSERT_EQ(longer.size(), 3u);
    EXPECT_EQ(longer[2].value, "");
    ASSERT_EQ(CoefficientListRows({0.5}, 1).size(), 1u);
    EXPECT_TRUE(CoefficientListRows({0.5}, 0).empty());
}

TEST(CoefficientList, ListedCoefficientsStopAtTheLength) {
    const std::vector<double> h = {1.0, 2.0, 3.0};
    EXPECT_EQ(ListedCoefficients(h, 2), (std::vector<double>{1.0, 2.0}));
    EXPECT_EQ(ListedCoefficients(h, 5), h);  // never past the coefficients given
    EXPECT_TRUE(ListedCoefficients(h, 0).empty());
    EXPECT_TRUE(ListedCoefficients(h, -1).empty());
}

}  // namespace
}  // namespace tapwright
