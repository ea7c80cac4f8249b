#pragma once

// The spectrum of a short real sequence zero-padded to a long power-of-two length,
// for measuring a design on a dense grid of its own.

#include <vector>

namespace tapwright {

// |X[k]| for k = 0 ... M/2 of the M-point DFT X[k] = sum_n h[n] * exp(-2*pi*i*k*n/M)
// of h[0] ... h[N-1] zero-padded to M (point k lies at k/M cycles per sample). M is
// a power of two, 4 ... 2^30, and 0 <= N <= M; otherwise the result is empty.
std::vector<double> ZeroPaddedMagnitude(const double* h, int N, int M);

}  // namespace tapwright
