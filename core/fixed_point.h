#pragma once

// The integer arithmetic of a fixed-point FIR filter, bit for bit as the exported
// Verilog and VHDL compute it: the model the simulations are checked against.

#include <cstdint>
#include <string>
#include <vector>

#include "core/quantize.h"

namespace tapwright {

// Wide enough for any accumulator: 32-bit taps times 32-bit samples summed over
// far more taps than a design may have need at most 81 bits.
__extension__ typedef __int128 WideInt;

// The filter clock by clock: the delay line of the last N inputs and the sum.
class FirModel {
  public:
    explicit FirModel(std::vector<std::int64_t> taps);
    // Clears the delay line (the inputs before are taken as 0).
    void Reset();
    // Takes the next input; returns y[n] = sum over k of q[k] * x[n - k].
    WideInt Step(std::int64_t x);

  private:
    std::vector<std::int64_t> taps_;
    std::vector<std::int64_t> line_;  // x[n - k] at (newest_ + k) mod N
    std::size_t newest_ = 0;
};

// y[n] = sum over k of q[k] * x[n - k], n = 0 ... x.size() - 1, with the samples
// before x[0] taken as 0 (the state after a reset).
std::vector<WideInt> FilterIntegers(const std::vector<std::int64_t>& q,
                                    const std::vector<std::int64_t>& x);

// v / 2^drop (drop 0 ... 100) rounded by `r`: the output rounding of a filter.
WideInt RoundShift(WideInt v, int drop, Rounding r);

// v clipped to the signed range of `bits` (1 ... 127) bits.
WideInt SaturateTo(WideInt v, int bits);

// Decimal text of v.
std::string WideToString(WideInt v);

}  // namespace tapwright
