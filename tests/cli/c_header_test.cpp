// The C headers exported at build time from an example (see CMakeLists.txt), with
// the values of the design itself.

#include <gtest/gtest.h>

#include <type_traits>

#include "bp_double.h"
#include "bp_float.h"
#include "bp_q16.h"
#include "bp_q32.h"
#include "cli/cli_common.h"
#include "core/quantize.h"

namespace tapwright {
namespace {

template <typename Array>
using Element = std::remove_cv_t<std::remove_extent_t<Array>>;

TEST(ExportedCHeader, HoldsTheDesignsCoefficients) {
    static_assert(std::is_same_v<Element<decltype(bp_double)>, double>);
    static_assert(std::is_same_v<Element<decltype(bp_float)>, float>);
    static_assert(std::is_same_v<Element<decltype(bp_q16)>, int16_t>);
    static_assert(std::is_same_v<Element<decltype(bp_q32)>, int32_t>);

    CFirDesign design;
    const cli::LoadedDesign loaded =
        cli::LoadAndDesign(TAPWRIGHT_EXAMPLES "/bandpass_hamming.txt", design, nullptr);
    ASSERT_EQ(loaded.exitCode, 0);
    const std::vector<double>& h = design.coeffs;
    QuantizedTaps q16, q32;
    ASSERT_TRUE(QuantizeTaps(h, 16, q16));
    ASSERT_TRUE(QuantizeTaps(h, 32, q32));
    for (const std::size_t length : {std::size_t{BP_DOUBLE_LENGTH}, std::size_t{BP_FLOAT_LENGTH},
                                     std::size_t{BP_Q16_LENGTH}, std::size_t{BP_Q32_LENGTH}}) {
        ASSERT_EQ(length, h.size());
    }
    EXPECT_EQ(BP_Q16_FRACTION_BITS, q16.fractionBits);
    EXPECT_EQ(BP_Q32_FRACTION_BITS, q32.fractionBits);
    for (std::size_t i = 0; i < h.size(); ++i) {
        EXPECT_EQ(bp_double[i], h[i]) << i;
        EXPECT_EQ(bp_float[i], static_cast<float>(h[i])) << i;
        EXPECT_EQ(bp_q16[i], q16.values[i]) << i;
        EXPECT_EQ(bp_q32[i], q32.values[i]) << i;
    }
}

}  // namespace
}  // namespace tapwright
