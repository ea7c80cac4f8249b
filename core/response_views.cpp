#include "core/response_views.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <unsupported/Eigen/FFT>
#include <unsupported/Eigen/Polynomials>

#include "core/spectrum_fft.h"

namespace tapwright {

namespace {

constexpr int kMinViewIntervals = 512;
constexpr int kMaxViewIntervals = 1 << 20;

// H on the views' grid: points 0 ... M of a (2M + 1)-point grid over 0 ... Fs.
std::vector<std::complex<double>> HalfGridSpectrum(std::span<const double> h, int M) {
    std::vector<std::complex<double>> X =
        FoldedSpectrum(h.data(), static_cast<int>(h.size()), 2 * M + 1);
    X.resize(static_cast<size_t>(M) + 1);
    return X;
}

double LargestMagnitude(const std::vector<std::complex<double>>& X) {
    double m = 0.0;
    for (const std::complex<double>& x : X) m = std::max(m, std::abs(x));
    return m;
}

// A zero of multiplicity m comes out of the eigenvalues as a ring of m roots of
// radius about (eps * c)^(1/m) around it. Roots that form such a ring (radius at
// most kMultipleZeroScale^(1/m), relative to their distance from the origin when
// that exceeds 1) are one zero at their mean, which is far more accurate than any
// member; distinct zeros of a long filter lie much further apart than that.
constexpr double kMultipleZeroScale = 1e-12;
constexpr double kNeighbourRadius = 0.05;

std::vector<ZeroPoint> MergeMultipleZeros(const std::vector<std::complex<double>>& roots) {
    std::vector<ZeroPoint> out;
    std::vector<bool> taken(roots.size(), false);
    for (size_t a = 0; a < roots.size(); ++a) {
        if (taken[a]) continue;
        // The free roots near this one, nearest first (this one leads).
        std::vector<size_t> near;
        for (size_t b = a; b < roots.size(); ++b) {
            if (!taken[b] && std::abs(roots[b] - roots[a]) < kNeighbourRadius) near.push_back(b);
        }
        std::stable_sort(near.begin(), near.end(), [&](size_t x, size_t y) {
            return std::abs(roots[x] - roots[a]) < std::abs(roots[y] - roots[a]);
        });
        size_t m = near.size();
        std::complex<double> centre = roots[a];
        for (; m >= 2; --m) {
            std::complex<double> sum = 0.0;
            for (size_t j = 0; j < m; ++j) sum += roots[near[j]];
            centre = sum / static_cast<double>(m);
            double radius = 0.0;
            for (size_t j = 0; j < m; ++j)
                radius = std::max(radius, std::abs(roots[near[j]] - centre));
            const double limit = std::pow(kMultipleZeroScale, 1.0 / static_cast<double>(m)) *
                                 std::max(1.0, std::abs(centre));
            if (radius <= limit) break;
        }
        if (m < 2) {
            m = 1;
            centre = roots[a];
        }
        for (size_t j = 0; j < m; ++j) taken[near[j]] = true;
        out.push_back({centre, static_cast<int>(m)});
    }
    return out;
}

// X[k] = sum_n h[n] exp(-2 pi i k n / P) for k = 0 ... count - 1 (P >= 1), by
// Bluestein's chirp transform on Eigen's power-of-two FFT: any P costs
// O(P log P), where the design grids' sizes (2^k - 1, 2 (32 N + 1)) are often prime.
std::vector<std::complex<double>> GridSpectrum(std::span<const double> h, int P, int count) {
    using Complex = std::complex<double>;
    std::vector<Complex> x(static_cast<size_t>(P), 0.0);
    for (size_t n = 0; n < h.size(); ++n) x[n % static_cast<size_t>(P)] += h[n];
    size_t L = 1;
    while (L < 2 * static_cast<size_t>(P) - 1) L *= 2;
    // The chirp exp(-i pi n^2 / P), its angle reduced exactly modulo 2P.
    std::vector<Complex> chirp(static_cast<size_t>(P));
    for (long long n = 0; n < P; ++n) {
        const long long r = (n * n) % (2LL * P);
        chirp[static_cast<size_t>(n)] = std::polar(1.0, -std::numbers::pi * r / P);
    }
    std::vector<Complex> a(L, 0.0), b(L, 0.0);
    for (size_t n = 0; n < static_cast<size_t>(P); ++n) a[n] = x[n] * chirp[n];
    b[0] = std::conj(chirp[0]);
    for (size_t m = 1; m < static_cast<size_t>(P); ++m) b[m] = b[L - m] = std::conj(chirp[m]);
    Eigen::FFT<double> fft;
    std::vector<Complex> A, B, conv;
    fft.fwd(A, a);
    fft.fwd(B, b);
    for (size_t k = 0; k < L; ++k) A[k] *= B[k];
    fft.inv(conv, A);
    std::vector<Complex> X(static_cast<size_t>(count));
    for (size_t k = 0; k < X.size(); ++k) {
        X[k] = conv[k % static_cast<size_t>(P)] * chirp[k % static_cast<size_t>(P)];
    }
    return X;
}

bool AllFinite(std::span<const double> h) {
    return std::all_of(h.begin(), h.end(), [](double v) { return std::isfinite(v); });
}

}  // namespace

int ViewGridIntervals(int taps) {
    int M = kMinViewIntervals;
    while (M < kMaxViewIntervals && M < 4LL * std::max(taps, 0)) M *= 2;
    return M;
}

std::vector<double> ComputeGroupDelay(std::span<const double> h, int M) {
    M = std::max(M, 1);
    std::vector<double> out(static_cast<size_t>(M) + 1, std::nan(""));
    if (h.empty() || !AllFinite(h)) return out;
    std::vector<double> nh(h.size());
    for (size_t n = 0; n < h.size(); ++n) nh[n] = static_cast<double>(n) * h[n];
    const std::vector<std::complex<double>> H = HalfGridSpectrum(h, M);
    const std::vector<std::complex<double>> D = HalfGridSpectrum(nh, M);
    const double floor = kGroupDelayFloor * LargestMagnitude(H);
    for (size_t i = 0; i < out.size(); ++i) {
        if (std::abs(H[i]) > floor && floor > 0.0) out[i] = (D[i] / H[i]).real();
    }
    return out;
}

std::vector<double> ComputeUnwrappedPhase(std::span<const double> h, int M) {
    M = std::max(M, 1);
    std::vector<double> out(static_cast<size_t>(M) + 1, std::nan(""));
    if (h.empty() || !AllFinite(h)) return out;
    const std::vector<std::complex<double>> H = HalfGridSpectrum(h, M);
    const double floor = kGroupDelayFloor * LargestMagnitude(H);
    if (!(floor > 0.0)) return out;
    bool started = false;
    size_t prev = 0;
    for (size_t i = 0; i < H.size(); ++i) {
        if (!(std::abs(H[i]) > floor)) continue;
        // The angle of the quotient is the step; across a sign change it is +-pi.
        out[i] = started ? out[prev] + std::arg(H[i] / H[prev]) : std::arg(H[i]);
        started = true;
        prev = i;
    }
    return out;
}

std::vector<double> ComputeStepResponse(std::span<const double> h) {
    std::vector<double> s(h.size());
    double sum = 0.0;
    for (size_t n = 0; n < h.size(); ++n) {
        sum += h[n];
        s[n] = sum;
    }
    return s;
}

std::vector<std::complex<double>> PolynomialRoots(std::span<const double> c) {
    if (c.size() < 2 || c.back() == 0.0 || !AllFinite(c)) return {};
    if (c.size() == 2) return {std::complex<double>(-c[0] / c[1], 0.0)};
    Eigen::VectorXd poly(static_cast<Eigen::Index>(c.size()));
    for (size_t k = 0; k < c.size(); ++k) poly[static_cast<Eigen::Index>(k)] = c[k];
    // Eigen's balanced companion matrix, solved for its eigenvalues only: the
    // eigenvectors would triple the cost and are not needed.
    Eigen::internal::companion<double, Eigen::Dynamic> companion(poly);
    companion.balance();
    const Eigen::EigenSolver<Eigen::MatrixXd> solver(companion.denseMatrix(), false);
    if (solver.info() != Eigen::Success) return {};
    const auto& roots = solver.eigenvalues();
    std::vector<std::complex<double>> out(static_cast<size_t>(roots.size()));
    for (Eigen::Index k = 0; k < roots.size(); ++k) out[static_cast<size_t>(k)] = roots[k];
    return out;
}

std::optional<PoleZeroMap> ComputePoleZeros(std::span<const double> h) {
    const int N = static_cast<int>(h.size());
    if (N < 2 || N > kMaxPoleZeroTaps || !AllFinite(h)) return std::nullopt;
    // z^(N-1) H(z) = h[0] z^(N-1) + ... + h[N-1]: coefficient of z^k is h[N-1-k].
    size_t first = 0;  // leading zero taps: zeros at infinity
    while (first < h.size() && h[first] == 0.0) ++first;
    if (first == h.size()) return std::nullopt;
    size_t last = h.size();  // trailing zero taps: zeros at the origin
    while (last > first && h[last - 1] == 0.0) --last;

    std::vector<std::complex<double>> roots(h.size() - last, std::complex<double>(0.0, 0.0));
    std::vector<double> poly;
    for (size_t k = last; k-- > first;) poly.push_back(h[k]);
    const std::vector<std::complex<double>> found = PolynomialRoots(poly);
    roots.insert(roots.end(), found.begin(), found.end());

    PoleZeroMap map;
    map.poleOrder = N - 1;
    map.zeroCount = static_cast<int>(roots.size());
    map.zeros = MergeMultipleZeros(roots);
    return map;
}

double ResponsePointHz(DesignFamily family, int K, double Fs, double i) {
    if (K < 2) return 0.0;
    return family == DesignFamily::Equiripple ? i * Fs / (2.0 * K) : i * Fs / (K - 1.0);
}

std::vector<double> ResponseDbOnGrid(std::span<const double> taps, DesignFamily family, int K) {
    if (K < 2) return {};
    // Window layout: K points over a period of K - 1; equiripple: K over 2K.
    const int P = family == DesignFamily::Equiripple ? 2 * K : K - 1;
    const std::vector<std::complex<double>> X = GridSpectrum(taps, P, K);
    std::vector<double> db(X.size());
    for (size_t i = 0; i < X.size(); ++i) db[i] = 20.0 * std::log10(std::abs(X[i]));
    return db;
}

}  // namespace tapwright
