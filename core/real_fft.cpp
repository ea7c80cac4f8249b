#include "core/real_fft.h"

#include <cmath>
#include <cstddef>

#include "core/target_clones.h"

namespace tapwright {

namespace {

constexpr double kExactPi = 3.141592653589793;

// exp(-2*pi*i*k/M) for any k in 0 ... M-1 as the product of a coarse and a fine
// entry (k = coarse * S + fine), each computed directly: about 2*sqrt(M) sines and
// cosines, and a few ulps from the exact value.
class TwiddleTable {
  public:
    explicit TwiddleTable(std::size_t M) {
        shift_ = 0;
        while ((std::size_t{1} << (2 * shift_)) < M) ++shift_;
        const std::size_t S = std::size_t{1} << shift_;
        Fill(fineRe_, fineIm_, S, 1, M);
        Fill(coarseRe_, coarseIm_, (M + S - 1) / S, S, M);
    }

    void At(std::size_t k, double& wr, double& wi) const {
        const std::size_t c = k >> shift_;
        const std::size_t f = k & ((std::size_t{1} << shift_) - 1);
        wr = coarseRe_[c] * fineRe_[f] - coarseIm_[c] * fineIm_[f];
        wi = coarseRe_[c] * fineIm_[f] + coarseIm_[c] * fineRe_[f];
    }

  private:
    static void Fill(std::vector<double>& re, std::vector<double>& im, std::size_t count,
                     std::size_t step, std::size_t M) {
        re.resize(count);
        im.resize(count);
        for (std::size_t j = 0; j < count; ++j) {
            const double theta =
                2.0 * kExactPi * static_cast<double>(j * step) / static_cast<double>(M);
            re[j] = std::cos(theta);
            im[j] = -std::sin(theta);
        }
    }

    unsigned shift_ = 0;
    std::vector<double> fineRe_, fineIm_, coarseRe_, coarseIm_;
};

// The butterfly stages of an L-point transform of bit-reversed data; the twiddles of
// stage len (half = len/2 of them) follow those of the stages before it.
TAPWRIGHT_TARGET_CLONES("avx2", "default")
void Stages(double* re, double* im, std::size_t L, const double* wRe, const double* wIm) {
    std::size_t offset = 0;
    for (std::size_t len = 2; len <= L; len <<= 1) {
        const std::size_t half = len / 2;
        const double* __restrict cr = wRe + offset;
        const double* __restrict ci = wIm + offset;
        offset += half;
        for (std::size_t i = 0; i < L; i += len) {
            double* __restrict ar = re + i;
            double* __restrict ai = im + i;
            double* __restrict br = re + i + half;
            double* __restrict bi = im + i + half;
            for (std::size_t j = 0; j < half; ++j) {
                const double tr = br[j] * cr[j] - bi[j] * ci[j];
                const double ti = br[j] * ci[j] + bi[j] * cr[j];
                br[j] = ar[j] - tr;
                bi[j] = ai[j] - ti;
                ar[j] += tr;
                ai[j] += ti;
            }
        }
    }
}

// An L-point DFT (L a power of two) in place, by radix-2 decimation in time, of
// data the caller has already placed in bit-reversed order (Reversed(m) is the
// place of input m). The twiddles of every stage are laid out one stage after
// another, so each stage reads its own in order.
class SmallTransform {
  public:
    SmallTransform(std::size_t L, std::size_t M, const TwiddleTable& table)
        : L_(L), reversed_(L, 0) {
        for (std::size_t i = 1, j = 0; i < L; ++i) {
            std::size_t bit = L >> 1;
            for (; j & bit; bit >>= 1) j ^= bit;
            j ^= bit;
            reversed_[i] = j;
        }
        for (std::size_t len = 2; len <= L; len <<= 1) {
            for (std::size_t j = 0; j < len / 2; ++j) {
                double wr, wi;
                table.At(j * (M / len), wr, wi);
                wRe_.push_back(wr);
                wIm_.push_back(wi);
            }
        }
    }

    std::size_t Reversed(std::size_t m) const { return reversed_[m]; }

    void Run(double* re, double* im) const { Stages(re, im, L_, wRe_.data(), wIm_.data()); }

  private:
    std::size_t L_;
    std::vector<std::size_t> reversed_;
    std::vector<double> wRe_, wIm_;
};

}  // namespace

// The real sequence is packed as n = M/2 complex points z[m] = x[2m] + i*x[2m+1],
// of which only the first L (a power of two >= N/2) are non-zero. Its n-point
// transform Z splits by the residue r of k modulo R = n/L:
//   Z[R*s + r] = sum_{m<L} (z[m] * exp(-2*pi*i*m*r/n)) * exp(-2*pi*i*m*s/L),
// an L-point transform per residue, each small enough to stay in cache. The real
// transform is then X[k] = E + W^k * O with E = (Z[k] + conj Z[n-k]) / 2,
// O = -i * (Z[k] - conj Z[n-k]) / 2 and W = exp(-2*pi*i/M); Z[n-k] lies in residue
// R - r, so residues are done in pairs.
std::vector<double> ZeroPaddedMagnitude(const double* h, int N, int M) {
    if (M < 4 || M > (1 << 30) || (M & (M - 1)) != 0 || N < 0 || N > M) return {};
    const std::size_t size = static_cast<std::size_t>(M);
    const std::size_t n = size / 2;
    std::size_t L = 1;
    while (L < (static_cast<std::size_t>(N) + 1) / 2) L *= 2;
    const std::size_t R = n / L;

    std::vector<double> zr(L, 0.0), zi(L, 0.0);
    for (int j = 0; j < N; ++j) {
        (j % 2 == 0 ? zr : zi)[static_cast<std::size_t>(j / 2)] = h[j];
    }
    const TwiddleTable table(size);
    const SmallTransform transform(L, size, table);

    // Y_r = Z[R*s + r] for s = 0 ... L-1.
    std::vector<double> aRe(L), aIm(L), bRe(L), bIm(L);
    auto residue = [&](std::size_t r, std::vector<double>& yr, std::vector<double>& yi) {
        for (std::size_t m = 0; m < L; ++m) {
            double wr, wi;
            table.At(2 * m * r, wr, wi);  // exp(-2*pi*i*m*r/n), 2*m*r < M
            const std::size_t to = transform.Reversed(m);
            yr[to] = zr[m] * wr - zi[m] * wi;
            yi[to] = zr[m] * wi + zi[m] * wr;
        }
        transform.Run(yr.data(), yi.data());
    };

    std::vector<double> magnitude(n + 1);
    // |X[k]| from Z[k] = (zr, zi) and Z[n-k] = (pr, pi).
    auto store = [&](std::size_t k, double zre, double zim, double pre, double pim) {
        const double cr = pre, ci = -pim;
        const double er = 0.5 * (zre + cr), ei = 0.5 * (zim + ci);
        const double dr = 0.5 * (zre - cr), di = 0.5 * (zim - ci);
        const double orr = di, oi = -dr;  // -i * d
        double wr, wi;
        table.At(k, wr, wi);
        const double xr = er + (wr * orr - wi * oi);
        const double xi = ei + (wr * oi + wi * orr);
        magnitude[k] = std::sqrt(xr * xr + xi * xi);
    };

    // Residue 0 pairs with itself: Z[n - R*s] = Y_0[(L - s) mod L].
    residue(0, aRe, aIm);
    for (std::size_t s = 0; s < L; ++s) {
        const std::size_t p = (L - s) % L;
        store(R * s, aRe[s], aIm[s], aRe[p], aIm[p]);
    }
    // X[n] = Re Z[0] - Im Z[0].
    magnitude[n] = std::fabs(aRe[0] - aIm[0]);
    // Residues r and R - r: Z[n - (R*s + r)] = Y_(R-r)[L - 1 - s].
    for (std::size_t r = 1; 2 * r <= R; ++r) {
        const std::size_t r2 = R - r;
        residue(r, aRe, aIm);
        if (r2 != r) residue(r2, bRe, bIm);
        const std::vector<double>& cRe = r2 != r ? bRe : aRe;
        const std::vector<double>& cIm = r2 != r ? bIm : aIm;
        for (std::size_t s = 0; s < L; ++s) {
            const std::size_t p = L - 1 - s;
            store(R * s + r, aRe[s], aIm[s], cRe[p], cIm[p]);
            if (r2 != r) store(R * s + r2, cRe[s], cIm[s], aRe[p], aIm[p]);
        }
    }
    return magnitude;
}

}  // namespace tapwright
