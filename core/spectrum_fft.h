#pragma once

// The response grid of a window design: K points from 0 to the sampling frequency
// inclusive, point i at i/(K-1) cycles per sample. Point K-1 repeats point 0, so the
// grid is a (K-1)-point DFT of the taps folded modulo K-1, plus its first point again.

#include <complex>
#include <vector>

namespace tapwright {

// X[i] = sum_j h[j] * exp(-2*pi*i*i*j/(K-1)) for i = 0 ... K-1, by a mixed-radix FFT
// of the folded taps, with the angle taken from the design constant 2*pi as the
// direct sum takes it (agreeing to about 1e-15 of sum |h|). K >= 2; N >= 0 taps.
std::vector<std::complex<double>> FoldedSpectrum(const double* h, int N, int K);

// The same grid by the direct sum over all taps (K * N sines and cosines), with the
// angle 2*pi*i*j/(K-1) taken from the design constant 2*pi. For tests and checks.
std::vector<std::complex<double>> DirectSpectrum(const double* h, int N, int K);

}  // namespace tapwright
