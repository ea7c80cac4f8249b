#pragma once

// What the graph views beyond magnitude and wrapped phase read from a design's
// taps: group delay, unwrapped phase, the zeros of H(z), the step response, the
// response of quantized taps on the design's own grid, and the frequency of a
// response point. Every function works from the taps alone, so it serves window
// and equiripple designs alike.

#include <complex>
#include <optional>
#include <span>
#include <vector>

#include "core/design_methods.h"

namespace tapwright {

// The views' own grid over 0 ... Fs/2: M + 1 points, point i at i/(2M) cycles per
// sample. M is a power of two of at least 512 and 4 * taps (so the phase of a
// linear-phase filter turns by at most pi/8 between two points), at most 2^20.
int ViewGridIntervals(int taps);

// Group delay in samples on the views' grid of M intervals (M >= 1): the real part
// of sum(n h[n] e^-jwn) / H(e^jw), the derivative of the phase taken exactly.
// Points where |H| is below kGroupDelayFloor times its largest value are NaN:
// there the phase has no usable derivative. Empty taps give M + 1 NaN values.
inline constexpr double kGroupDelayFloor = 1e-6;
std::vector<double> ComputeGroupDelay(std::span<const double> h, int M);

// Phase of H in radians on the views' grid of M intervals, unwrapped: each point
// adds the principal angle of H[i] / H[prev] to the last point with a phase, so the
// curve is continuous where H is not zero and keeps the jump of pi where H changes
// sign at a zero on the unit circle. Points where |H| is below kGroupDelayFloor
// times its largest value are NaN.
std::vector<double> ComputeUnwrappedPhase(std::span<const double> h, int M);

// s[n] = h[0] + ... + h[n]: the response to a unit step; its last value is the gain
// at DC.
std::vector<double> ComputeStepResponse(std::span<const double> h);

// The pole-zero view offers filters of at most this many taps: the eigenvalues of
// the companion matrix cost O(N^3), about 0.1 s at this length, which is as long as
// a view switch may take. (The roots stay accurate well beyond it: at 511 taps of a
// Kaiser low pass every root satisfies the polynomial to 1e-12 of its scale.)
inline constexpr int kMaxPoleZeroTaps = 384;

// One zero of H(z) with its multiplicity. The eigenvalues split a multiple zero
// into a small ring of roots; such a ring is merged back into one zero.
struct ZeroPoint {
    std::complex<double> z;
    int multiplicity = 1;
};

struct PoleZeroMap {
    std::vector<ZeroPoint> zeros;  // distinct zeros, each with its multiplicity
    int zeroCount = 0;             // with multiplicities: N - 1 less the zeros at infinity
    int poleOrder = 0;             // the pole at z = 0: N - 1
};

// The zeros of H(z) = sum h[n] z^-n, from the eigenvalues of the balanced companion
// matrix of z^(N-1) H(z) (Eigen's polynomial solver). Leading zero taps give zeros
// at infinity, which are not listed; trailing zero taps give exact zeros at 0.
// Nothing for 2 > N, N > kMaxPoleZeroTaps, taps that are all zero or not finite.
std::optional<PoleZeroMap> ComputePoleZeros(std::span<const double> h);

// The roots of c[0] + c[1] z + ... + c[n] z^n (c[n] != 0, n >= 1, finite); empty
// otherwise.
std::vector<std::complex<double>> PolynomialRoots(std::span<const double> c);

// Frequency in Hz of (fractional) point i of a design's response of K points: i *
// Fs / (K - 1) for the window layout (0 ... Fs), i * Fs / (2K) for the equiripple
// layout (0 ... Fs/2). 0 for K < 2.
double ResponsePointHz(DesignFamily family, int K, double Fs, double i);

// |H| in dB of `taps` on the K points of a design's response grid (the layout of
// `family`, as ResponsePointHz places them). Empty for K < 2.
std::vector<double> ResponseDbOnGrid(std::span<const double> taps, DesignFamily family, int K);

}  // namespace tapwright
