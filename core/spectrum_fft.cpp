#include "core/spectrum_fft.h"

#include <cmath>
#include <cstddef>

#include "core/design_constants.h"

namespace tapwright {

namespace {

using Complex = std::complex<double>;

std::vector<int> Factorize(int n) {
    std::vector<int> factors;
    for (int p : {4, 2, 3, 5}) {
        while (n % p == 0) {
            factors.push_back(p);
            n /= p;
        }
    }
    for (int p = 7; p * p <= n; p += 2) {
        while (n % p == 0) {
            factors.push_back(p);
            n /= p;
        }
    }
    if (n > 1) factors.push_back(n);
    return factors;
}

// Recursive decimation in time. Writes the n-point DFT of in[0], in[stride], ...
// to out[0 ... n-1]; `twiddle` holds exp(-2*pi*i*e/P) for the full size P, and
// `step` = P/n.
void Transform(const Complex* in, std::size_t stride, Complex* out, int n, std::size_t step,
               const std::vector<Complex>& twiddle, const std::vector<int>& factors,
               std::size_t level, std::vector<Complex>& scratch) {
    if (n == 1) {
        out[0] = in[0];
        return;
    }
    const int p = factors[level];
    const int m = n / p;
    for (int q = 0; q < p; ++q) {
        Transform(in + q * stride, stride * p, out + q * m, m, step * p, twiddle, factors,
                  level + 1, scratch);
    }
    // The butterflies run after the recursion returns, so one scratch serves all levels.
    const std::size_t P = twiddle.size();
    Complex* sub = scratch.data();
    Complex* t = scratch.data() + p;
    for (int k = 0; k < m; ++k) {
        for (int q = 0; q < p; ++q) sub[q] = out[q * m + k];
        for (int s = 0; s < p; ++s) {
            const std::size_t index = static_cast<std::size_t>(k + s * m);
            Complex sum = sub[0];
            for (int q = 1; q < p; ++q) {
                sum += sub[q] * twiddle[(static_cast<std::size_t>(q) * index * step) % P];
            }
            t[s] = sum;
        }
        for (int s = 0; s < p; ++s) out[k + s * m] = t[s];
    }
}

}  // namespace

std::vector<Complex> FoldedSpectrum(const double* h, int N, int K) {
    std::vector<Complex> result(static_cast<std::size_t>(K));
    if (K < 2) return result;
    const int P = K - 1;
    // The design constant 2*pi (6.28318530718) lies slightly above the true 2*pi, so
    // the direct sum is not exactly periodic in j. Its angle is the periodic one
    // plus delta*i*j/P; the first-order term, the transform of j*h[j], brings the
    // result to the direct sum within (delta*i*j/P)^2, about 1e-15 at the longest.
    const double exactTwoPi = 2.0 * 3.141592653589793;
    const double delta = kTwoPi - exactTwoPi;
    std::vector<Complex> folded(static_cast<std::size_t>(P));
    std::vector<Complex> weighted(static_cast<std::size_t>(P));
    for (int j = 0; j < N; ++j) {
        folded[j % P] += h[j];
        weighted[j % P] += static_cast<double>(j) * h[j];
    }

    std::vector<Complex> twiddle(static_cast<std::size_t>(P));
    for (int e = 0; e < P; ++e) {
        const double theta = exactTwoPi * e / P;
        twiddle[e] = Complex(std::cos(theta), -std::sin(theta));
    }
    const std::vector<int> factors = Factorize(P);
    int largest = 1;
    for (int f : factors) largest = f > largest ? f : largest;
    std::vector<Complex> scratch(2 * static_cast<std::size_t>(largest));
    std::vector<Complex> slope(static_cast<std::size_t>(P));
    Transform(folded.data(), 1, result.data(), P, 1, twiddle, factors, 0, scratch);
    Transform(weighted.data(), 1, slope.data(), P, 1, twiddle, factors, 0, scratch);
    result[P] = result[0];
    for (int i = 0; i <= P; ++i) {
        const Complex turn(0.0, -delta * i / P);  // -i * delta * i / P
        result[i] += turn * slope[i % P];
    }
    return result;
}

std::vector<Complex> DirectSpectrum(const double* h, int N, int K) {
    std::vector<Complex> result(static_cast<std::size_t>(K));
    for (int i = 0; i < K; ++i) {
        double re = 0.0;
        double im = 0.0;
        for (int j = 0; j < N; ++j) {
            const double theta = kTwoPi * i * j / (K - 1);
            re += h[j] * std::cos(theta);
            im -= h[j] * std::sin(theta);
        }
        result[i] = Complex(re, im);
    }
    return result;
}

}  // namespace tapwright
