#include "core/equiripple_steps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tapwright::equiripple {
namespace {

// Constraint points at positions 0, 1, 2, ... grouped into bands of the given sizes.
Constraints Points(std::vector<int> bands) {
    Constraints c;
    int r = 0;
    for (int points : bands) {
        for (int k = 0; k < points; ++k, ++r) c.Add(r, 0.0, r, true);
    }
    c.bandPoints = std::move(bands);
    return c;
}

TEST(EquirippleSteps, Extrema) {
    struct Case {
        const char* name;
        std::vector<int> bands;
        std::vector<double> error;
        std::vector<double> value;
        std::vector<double> position;
        std::vector<bool> endsBand;
    };
    const Case cases[] = {
        {"edges and strict interior peaks",
         {5},
         {0.5, 0.2, 0.3, 0.1, 0.4},
         {0.5, 0.3, 0.4},
         {0, 2, 4},
         {false, false, true}},
        {"a plateau is no peak", {4}, {0.1, 0.3, 0.3, 0.1}, {0.1, 0.1}, {0, 3}, {false, true}},
        {"an exact band edge takes the mean with the next point",
         {3, 2},
         {0.1, 0.3, 0.0, 0.2, 0.5},
         {0.1, 0.3, 0.1, 0.2, 0.5},
         {0, 1, 2, 3, 4},
         {false, false, true, false, true}},
        {"an exact last point takes 0", {2}, {0.4, 0.0}, {0.4, 0.0}, {0, 1}, {false, true}},
        {"a one-point band is one extremum",
         {1, 3},
         {0.2, 0.1, 0.05, 0.3},
         {0.2, 0.1, 0.3},
         {0, 1, 3},
         {true, false, true}},
        {"an empty band adds nothing",
         {2, 0, 2},
         {0.1, 0.2, 0.3, 0.4},
         {0.1, 0.2, 0.3, 0.4},
         {0, 1, 2, 3},
         {false, true, false, true}},
    };
    for (const Case& c : cases) {
        const Extrema x = FindExtrema(Points(c.bands), c.error);
        EXPECT_EQ(x.value, c.value) << c.name;
        EXPECT_EQ(x.position, c.position) << c.name;
        EXPECT_EQ(x.endsBand, c.endsBand) << c.name;
    }
}

TEST(EquirippleSteps, LiftSmallExtrema) {
    struct Case {
        const char* name;
        std::vector<double> value;
        std::vector<bool> endsBand;
        std::vector<double> lifted;
    };
    const Case cases[] = {
        {"first by next, interior by the smaller neighbour, last one untouched",
         {0.001, 1.0, 0.02, 0.5, 0.3},
         {false, false, false, false, true},
         {0.1, 1.0, 0.05, 0.5, 0.3}},
        {"a band's first and last extrema",
         {1.0, 0.01, 0.002, 2.0, 0.5},
         {false, true, false, false, true},
         {1.0, 0.1, 0.2, 2.0, 0.5}},
        {"the one before the last takes the previous",
         {0.5, 1.0, 0.01, 0.0},
         {false, false, false, true},
         {0.5, 1.0, 0.1, 0.0}},
        {"two extrema: the first has no previous", {0.001, 1.0}, {false, true}, {0.001, 1.0}},
        {"an interior point below only one neighbour stays",
         {1.0, 0.05, 0.1, 1.0},
         {false, false, false, true},
         {1.0, 0.05, 0.1, 1.0}},
    };
    for (const Case& c : cases) {
        Extrema x;
        x.value = c.value;
        x.endsBand = c.endsBand;
        x.position.resize(c.value.size());
        LiftSmallExtrema(x);
        ASSERT_EQ(x.value.size(), c.lifted.size());
        for (std::size_t u = 0; u < c.lifted.size(); ++u) {
            EXPECT_DOUBLE_EQ(x.value[u], c.lifted[u]) << c.name << " at " << u;
        }
    }
}

// An extremum's value at its position, straight lines between: each point weighs
// the nearer extremum more.
TEST(EquirippleSteps, EnvelopeIsPiecewiseLinearThroughTheExtrema) {
    struct Case {
        std::vector<int> bands;
        std::vector<double> value;
        std::vector<double> position;
        std::vector<double> envelope;
    };
    const Case cases[] = {
        {{5}, {1.0, 3.0, 1.0}, {0.0, 2.0, 4.0}, {1.0, 2.0, 3.0, 2.0, 1.0}},
        {{3, 5}, {1.0, 4.0, 2.0}, {0.0, 3.0, 7.0}, {1.0, 2.0, 3.0, 4.0, 3.5, 3.0, 2.5, 2.0}},
    };
    for (const Case& c : cases) {
        Extrema x;
        x.value = c.value;
        x.position = c.position;
        x.endsBand.assign(c.value.size(), false);
        EXPECT_EQ(Envelope(Points(c.bands), x), c.envelope);
    }
}

TEST(EquirippleSteps, Reweight) {
    std::vector<double> w = {1.0, 1.0};
    ASSERT_TRUE(Reweight({1.0, 2.0}, 1.5, w));
    const double s = 0.5 * (1.0 + 0.5);
    EXPECT_DOUBLE_EQ(w[0], std::pow(s * 1.0, 1.5) * (1.0 + 1e-7));
    EXPECT_DOUBLE_EQ(w[1], std::pow(s * 2.0, 1.5) * (1.0 + 1e-7));

    const std::vector<double> before = w;
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const std::vector<double>& envelope :
         {std::vector<double>{0.0, 1.0}, std::vector<double>{inf, 1.0},
          std::vector<double>{nan, 1.0}, std::vector<double>{1e-300, 1e300}}) {
        EXPECT_FALSE(Reweight(envelope, 1.5, w));
        EXPECT_EQ(w, before);
    }
}

}  // namespace
}  // namespace tapwright::equiripple
