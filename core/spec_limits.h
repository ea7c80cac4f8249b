#pragma once

// The limits of a filter spec's values, in one place: the spec file reader, the
// window's field checks and the design all take them from here.

namespace tapwright {

// Filter length: at least 3 taps; automatic lengths above the maximum are refused.
inline constexpr int kMinTaps = 3;
inline constexpr int kMaxTaps = 131071;
// Longest equiripple filter: the reweighted solves grow with the cube of the length.
inline constexpr int kMaxEquirippleTaps = 511;
// Rows of the equiripple band table.
inline constexpr int kMaxBands = 10;
// Sampling frequency, Hz: above 0 and at most 1 THz. Far beyond any converter, and
// far below where squares of frequencies overflow the single-precision steps.
inline constexpr double kMaxFs = 1e12;
// Kaiser beta.
inline constexpr double kMinBeta = 0.0;
inline constexpr double kMaxBeta = 15.0;
// FFT size indices 0 ... kFftIndexCount - 1 (sizes 8 ... 4096).
inline constexpr int kFftIndexCount = 10;

}  // namespace tapwright
