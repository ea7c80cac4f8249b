#include "core/minimax_exchange.h"

#include <Eigen/Core>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <limits>
#include <unsupported/Eigen/FFT>

#include "core/messages.h"

namespace tapwright::minimax {

namespace {

constexpr long double kPiL = 3.141592653589793238462643383279502884L;

long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int NextPow2(long long v) {
    int p = 1;
    while (p < v && p < (1 << 30)) p <<= 1;
    return p;
}

// Smallest 2^a 3^b 5^c >= v: sizes the FFT handles quickly.
int NextSmooth(int v) {
    for (int k = std::max(v, 1);; ++k) {
        int r = k;
        for (int f : {2, 3, 5})
            while (r % f == 0) r /= f;
        if (r == 1) return k;
    }
}

template <typename Real>
Real QOf(QKind q, Real w) {
    switch (q) {
        case QKind::One:
            return Real(1);
        case QKind::CosHalf:
            return std::cos(w / 2);
        case QKind::Sin:
            return std::sin(w);
        case QKind::SinHalf:
            return std::sin(w / 2);
    }
    return Real(1);
}

// D' and W' at w in band b.
template <typename Real>
void Target(const Problem& p, int b, Real w, Real& dp, Real& wp) {
    const Band& band = p.bands[b];
    Real d = band.desired;
    Real wt = band.weight;
    if (band.slope) {
        const Real f = w / (2 * Real(kPiL));
        d = Real(band.desired) * f;
        if (band.desired != 0) wt = Real(band.weight) / f;
    }
    const Real q = QOf<Real>(p.q, w);
    dp = d / q;
    wp = wt * q;
}

// Differences of cosines below this are taken from the product form.
constexpr double kClose = 1e-5;

// cos(a) - cos(b) given xa = cos(a), xb = cos(b); close values (near +-1 the points
// crowd) are taken from the product form, which keeps their relative accuracy.
template <typename Real>
inline Real CosDiff(Real xa, Real a, Real xb, Real b) {
    const Real d = xa - xb;
    if (std::abs(d) < Real(kClose)) return -2 * std::sin((a + b) / 2) * std::sin((a - b) / 2);
    return d;
}

template <typename Real>
struct Candidate {
    Real w;
    Real e;
    int band;
    // Interior extrema: the bracketing grid samples, for refinement.
    bool interior = false;
    Real w0 = 0, e0 = 0, w2 = 0, e2 = 0;
};

// The vertex of the parabola through three points of a maximum; false when they do
// not bracket one.
template <typename Real>
bool Vertex(Real x0, Real f0, Real x1, Real f1, Real x2, Real f2, Real& v, Real& fv) {
    const Real d10 = x1 - x0, d12 = x1 - x2;
    const Real den = d10 * (f1 - f2) - d12 * (f1 - f0);
    if (den == 0) return false;
    v = x1 - Real(0.5) * (d10 * d10 * (f1 - f2) - d12 * d12 * (f1 - f0)) / den;
    if (!(v > x0 && v < x2)) return false;
    const Real l0 = (v - x1) * (v - x2) / ((x0 - x1) * (x0 - x2));
    const Real l1 = (v - x0) * (v - x2) / ((x1 - x0) * (x1 - x2));
    const Real l2 = (v - x0) * (v - x1) / ((x2 - x0) * (x2 - x1));
    fv = l0 * f0 + l1 * f1 + l2 * f2;
    return true;
}

template <typename Real>
class Exchange {
    using Array = Eigen::Array<Real, Eigen::Dynamic, 1>;

  public:
    Exchange(const Problem& p, Ticker& ticker) : p_(p), ticker_(ticker) {
        const int n = p.n;
        double measure = 0.0;
        for (const Band& b : p.bands) measure += b.hi - b.lo;
        const long long want =
            static_cast<long long>(std::ceil(p.density * (n + 1.0) * M_PI / (2 * measure)));
        const int cap = sizeof(Real) > sizeof(double) ? (1 << 20) : (1 << 21);
        m_ = NextSmooth(std::max(n - 1, 1));
        L_ = std::max(NextPow2(std::max<long long>(want, 64)), NextPow2(m_ + 1));
        L_ = std::min(L_, std::max(cap, NextPow2(m_ + 1)));
        fine_.SetFlag(Eigen::FFT<Real>::HalfSpectrum);
        dct_.SetFlag(Eigen::FFT<Real>::HalfSpectrum);
        // Fine-grid points strictly inside each band, with their D' and W'. Every
        // candidate is refined exactly, so half the nominal density finds them all.
        for (int b = 0; b < static_cast<int>(p.bands.size()); ++b) {
            const Band& band = p.bands[b];
            int j0 = static_cast<int>(std::floor(band.lo * L_ / M_PI)) + 1;
            int j1 = static_cast<int>(std::ceil(band.hi * L_ / M_PI)) - 1;
            j0 = std::max(j0, 0);
            j1 = std::min(j1, L_);
            first_.push_back(static_cast<int>(gridIndex_.size()));
            for (int j = j0; j <= j1; ++j) {
                const Real w = Real(kPiL) * j / L_;
                if (w <= Real(band.lo) || w >= Real(band.hi)) continue;
                Real dp, wp;
                Target<Real>(p, b, w, dp, wp);
                gridIndex_.push_back(j);
                gridD_.push_back(dp);
                gridW_.push_back(wp);
            }
        }
        first_.push_back(static_cast<int>(gridIndex_.size()));
    }

    int GridSize() const { return L_; }

    // One exchange from ref (n + 1 points). Fills cand with the new reference and
    // cheb with the trial polynomial. False when cancelled or degenerate.
    bool Step(const std::vector<Real>& refW, const std::vector<int>& refBand,
              std::vector<Candidate<Real>>& next, std::vector<Real>& cheb, Real& delta, Real& noise,
              Real& peak) {
        const int n = p_.n;
        const int r = n + 1;
        x_.resize(r);
        angle_ = refW;
        dRef_.resize(r);
        wRef_.resize(r);
        for (int i = 0; i < r; ++i) {
            x_[i] = std::cos(refW[i]);
            Target<Real>(p_, refBand[i], refW[i], dRef_[i], wRef_[i]);
        }
        if (!Weights(refW)) return false;
        Real num = 0, den = 0;
        for (int i = 0; i < r; ++i) {
            num += gamma_[i] * dRef_[i];
            den += gamma_[i] * ((i % 2) ? Real(-1) : Real(1)) / wRef_[i];
        }
        delta = num / den;
        if (!std::isfinite(static_cast<double>(delta)) || delta == 0) return false;
        y_.resize(r);
        noise = 0;
        for (int i = 0; i < r; ++i) {
            y_[i] = dRef_[i] - ((i % 2) ? Real(-1) : Real(1)) * delta / wRef_[i];
            noise = std::max(noise, std::abs(wRef_[i]) * (std::abs(dRef_[i]) + std::abs(y_[i])));
        }
        noise *= std::numeric_limits<Real>::epsilon();

        peak = 0;
        // P at the Chebyshev-Lobatto points cos(pi j / m), then its Chebyshev
        // coefficients by a DCT-I (an FFT of the even extension).
        std::vector<Real> ext(2 * m_);
        for (int j = 0; j <= m_; ++j) {
            if ((j & 63) == 0 && ticker_.Poll()) return false;
            const Real a = Real(kPiL) * j / m_;
            const Real t = std::cos(a);
            const Real v = Eval(t, a);
            peak = std::max(peak, std::abs(v));
            ext[j] = v;
            if (j > 0 && j < m_) ext[2 * m_ - j] = v;
        }
        std::vector<std::complex<Real>> spec;
        dct_.fwd(spec, ext);
        cheb.assign(n, Real(0));
        for (int k = 0; k < n && k <= m_; ++k) {
            Real c = spec[k].real() / m_;
            if (k == 0 || k == m_) c /= 2;
            cheb[k] = c;
        }
        ext.clear();
        ext.shrink_to_fit();

        // The error on the fine grid: P(cos(pi j / L)) = Re sum cheb[k] e^{-i pi j k / L}.
        {
            std::vector<Real> padded(2 * static_cast<size_t>(L_), Real(0));
            std::copy(cheb.begin(), cheb.end(), padded.begin());
            fine_.fwd(spec, padded);
        }
        if (ticker_.Poll()) return false;
        // A large P between the bands swamps the in-band values in the coefficients'
        // rounding: then the grid is evaluated from the barycentric form (slower).
        Real wMax = 0;
        for (Real v : wRef_) wMax = std::max(wMax, std::abs(v));
        const bool direct =
            32 * std::numeric_limits<Real>::epsilon() * peak * wMax > Real(1e-5) * std::abs(delta);
        next.clear();
        std::vector<Real> sw, se;
        for (int b = 0; b < static_cast<int>(p_.bands.size()); ++b) {
            const Band& band = p_.bands[b];
            sw.clear();
            se.clear();
            auto edge = [&](double wEdge) {
                const Real w = wEdge;
                Real dp, wp;
                Target<Real>(p_, b, w, dp, wp);
                sw.push_back(w);
                se.push_back(wp * (dp - Eval(std::cos(w), w)));
            };
            edge(band.lo);
            for (int g = first_[b]; g < first_[b + 1]; ++g) {
                sw.push_back(Real(kPiL) * gridIndex_[g] / L_);
                const Real w = Real(kPiL) * gridIndex_[g] / L_;
                const Real pv = direct ? Eval(std::cos(w), w) : spec[gridIndex_[g]].real();
                se.push_back(gridW_[g] * (gridD_[g] - pv));
                if (direct && (g & 255) == 0 && ticker_.Poll()) return false;
            }
            edge(band.hi);
            Extrema(sw, se, b, next);
        }
        // The old reference alternates at +-delta: with it among the candidates an
        // alternating set of n + 1 always exists.
        std::vector<Candidate<Real>> merged;
        merged.reserve(next.size() + r);
        size_t k = 0;
        for (int i = 0; i < r; ++i) {
            while (k < next.size() && next[k].w < refW[i]) merged.push_back(next[k++]);
            const Real e = (i % 2) ? -delta : delta;
            merged.push_back({refW[i], e, refBand[i], false, 0, 0, 0, 0});
        }
        while (k < next.size()) merged.push_back(next[k++]);
        next.swap(merged);
        return true;
    }

    // Moves the chosen interior extrema onto the true maxima of |E| by successive
    // parabolic steps with exact evaluations (the grid parabola alone misjudges the
    // skewed ripples next to band edges).
    bool Refine(std::vector<Candidate<Real>>& chosen) {
        int count = 0;
        for (auto& c : chosen) {
            if ((++count & 63) == 0 && ticker_.Poll()) return false;
            if (!c.interior) continue;
            const Real sg = c.e > 0 ? Real(1) : Real(-1);
            Real a = c.w0, fa = sg * c.e0, b = c.w, fb = sg * c.e, d = c.w2, fd = sg * c.e2;
            // The grid parabola's value is an estimate: start from an exact one.
            fb = sg * ErrorAt(c.band, b);
            for (int step = 0; step < 3; ++step) {
                Real v, fv;
                if (!Vertex(a, fa, b, fb, d, fd, v, fv)) break;
                if (std::abs(v - b) <= std::numeric_limits<Real>::epsilon() * 4 * std::abs(b))
                    break;
                fv = sg * ErrorAt(c.band, v);
                if (fv >= fb) {
                    (v < b ? d : a) = b;
                    (v < b ? fd : fa) = fb;
                    b = v;
                    fb = fv;
                } else {
                    (v < b ? a : d) = v;
                    (v < b ? fa : fd) = fv;
                }
            }
            c.w = b;
            c.e = sg * fb;
        }
        return true;
    }

    Real ErrorAt(int band, Real w) const {
        Real dp, wp;
        Target<Real>(p_, band, w, dp, wp);
        return wp * (dp - Eval(std::cos(w), w));
    }

  private:
    // Barycentric weights 1 / prod (x_i - x_j), kept in range by carrying a binary
    // exponent, then scaled by a common power of two.
    bool Weights(const std::vector<Real>& refW) {
        const int r = static_cast<int>(x_.size());
        gamma_.resize(r);
        std::vector<int> ex(r);
        int maxEx = std::numeric_limits<int>::min();
        Eigen::Map<const Array> X(x_.data(), r);
        for (int i = 0; i < r; ++i) {
            if ((i & 63) == 0 && ticker_.Poll()) return false;
            const Real xi = x_[i], wi = refW[i];
            Real prod = 1;
            int e = 0, k;
            // The run of points close to x_i (x_ descends) takes the accurate form.
            int a = i, b = i + 1;
            while (a > 0 && x_[a - 1] - xi < kClose) --a;
            while (b < r && xi - x_[b] < kClose) ++b;
            for (int j = a; j < b; ++j) {
                if (j == i) continue;
                prod *= CosDiff(xi, wi, x_[j], refW[j]);
                prod = std::frexp(prod, &k);
                e += k;
            }
            // Blocks of 16 factors, each in 1e-5 ... 2, cannot leave the range.
            auto block = [&](int from, int to) {
                for (int j = from; j < to; j += 16) {
                    const int len = std::min(16, to - j);
                    prod *= (xi - X.segment(j, len)).prod();
                    prod = std::frexp(prod, &k);
                    e += k;
                }
            };
            block(0, a);
            block(b, r);
            if (prod == 0 || !std::isfinite(static_cast<double>(prod))) return false;
            gamma_[i] = 1 / prod;
            ex[i] = -e;
            maxEx = std::max(maxEx, ex[i]);
        }
        for (int i = 0; i < r; ++i) gamma_[i] = std::ldexp(gamma_[i], ex[i] - maxEx);
        return true;
    }

    // P(t), t = cos(a), by the barycentric formula over the reference.
    Real Eval(Real t, Real a) const {
        const int r = static_cast<int>(x_.size());
        const int lo = static_cast<int>(
            std::partition_point(x_.begin(), x_.end(), [&](Real v) { return v >= t + kClose; }) -
            x_.begin());
        int hi = lo;
        while (hi < r && x_[hi] > t - kClose) ++hi;
        Real num = 0, den = 0;
        for (int i = lo; i < hi; ++i) {
            const Real d = -2 * std::sin((a + angle_[i]) / 2) * std::sin((a - angle_[i]) / 2);
            if (d == 0) return y_[i];
            const Real c = gamma_[i] / d;
            num += c * y_[i];
            den += c;
        }
        Sums(0, lo, t, num, den);
        Sums(hi, r, t, num, den);
        return num / den;
    }

    // The barycentric sums over points from ... to - 1, vectorized.
    void Sums(int from, int to, Real t, Real& num, Real& den) const {
        const int k = to - from;
        if (k <= 0) return;
        if (scratch_.size() < k) scratch_.resize(x_.size());
        Eigen::Map<const Array> X(x_.data() + from, k), G(gamma_.data() + from, k),
            Y(y_.data() + from, k);
        auto s = scratch_.head(k);
        s = G / (t - X);
        den += s.sum();
        num += (s * Y).sum();
    }

    // Local maxima of |E| along one band's samples (edges included), refined by a
    // parabola through the neighbours.
    void Extrema(const std::vector<Real>& w, const std::vector<Real>& e, int band,
                 std::vector<Candidate<Real>>& out) const {
        const int s = static_cast<int>(w.size());
        for (int k = 0; k < s; ++k) {
            const Real a = std::abs(e[k]);
            if (a == 0) continue;
            // A neighbour of the other sign belongs to another lobe.
            const bool pos = e[k] > 0;
            const bool leftOk = k == 0 || (e[k - 1] > 0) != pos || std::abs(e[k - 1]) < a;
            const bool rightOk = k + 1 == s || (e[k + 1] > 0) != pos || std::abs(e[k + 1]) <= a;
            if (!leftOk || !rightOk) continue;
            if (k == 0 || k + 1 == s) {
                out.push_back({w[k], e[k], band, false, 0, 0, 0, 0});
                continue;
            }
            const Real sg = e[k] > 0 ? Real(1) : Real(-1);
            const Real x0 = w[k - 1], x1 = w[k], x2 = w[k + 1];
            const Real f0 = sg * e[k - 1], f1 = sg * e[k], f2 = sg * e[k + 1];
            Real v = x1, fv = f1, cv, cf;
            if (Vertex(x0, f0, x1, f1, x2, f2, cv, cf) && cf >= f1) {
                v = cv;
                fv = cf;
            }
            out.push_back({v, sg * fv, band, true, x0, e[k - 1], x2, e[k + 1]});
        }
    }

    const Problem& p_;
    Ticker& ticker_;
    int m_ = 1;
    int L_ = 64;
    Eigen::FFT<Real> fine_, dct_;
    std::vector<int> first_;
    std::vector<int> gridIndex_;
    std::vector<Real> gridD_, gridW_;
    std::vector<Real> x_, angle_, dRef_, wRef_, gamma_, y_;
    mutable Array scratch_;
};

// Keeps an alternating subsequence of exactly r candidates: the larger of each run
// of one sign, then the smallest removed (with a neighbour, inside the sequence).
template <typename Real>
bool Choose(std::vector<Candidate<Real>>& c, int r, Real floor) {
    std::vector<Candidate<Real>> alt;
    alt.reserve(c.size());
    for (const auto& k : c) {
        if (std::abs(k.e) < floor) continue;
        if (!alt.empty() && ((alt.back().e > 0) == (k.e > 0))) {
            if (std::abs(k.e) > std::abs(alt.back().e)) alt.back() = k;
        } else {
            alt.push_back(k);
        }
    }
    if (static_cast<int>(alt.size()) < r) return false;
    while (static_cast<int>(alt.size()) > r) {
        const int s = static_cast<int>(alt.size());
        if (s - r == 1) {
            if (std::abs(alt.front().e) < std::abs(alt.back().e))
                alt.erase(alt.begin());
            else
                alt.pop_back();
            continue;
        }
        int k = 0;
        for (int i = 1; i < s; ++i)
            if (std::abs(alt[i].e) < std::abs(alt[k].e)) k = i;
        if (k == 0 || k == s - 1) {
            alt.erase(alt.begin() + k);
            continue;
        }
        // Removing k leaves its neighbours of one sign: drop the smaller too.
        const int drop = std::abs(alt[k - 1].e) < std::abs(alt[k + 1].e) ? k - 1 : k + 1;
        alt.erase(alt.begin() + std::max(k, drop));
        alt.erase(alt.begin() + std::min(k, drop));
    }
    c.swap(alt);
    return true;
}

// Points spread over the bands in proportion to their widths.
void UniformReference(const Problem& p, std::vector<double>& w, std::vector<int>& band) {
    const int r = p.n + 1;
    double measure = 0.0;
    for (const Band& b : p.bands) measure += b.hi - b.lo;
    w.resize(r);
    band.resize(r);
    int b = 0;
    double start = 0.0;
    for (int i = 0; i < r; ++i) {
        const double s = r == 1 ? 0.0 : measure * i / (r - 1);
        while (b + 1 < static_cast<int>(p.bands.size()) &&
               s > start + (p.bands[b].hi - p.bands[b].lo)) {
            start += p.bands[b].hi - p.bands[b].lo;
            ++b;
        }
        w[i] = std::min(p.bands[b].lo + (s - start), p.bands[b].hi);
        band[i] = b;
    }
}

// A reference of n + 1 points from a shorter design's: each band keeps its share
// of points, placed by interpolating the shorter design's positions.
void ScaleReference(const Problem& p, const std::vector<double>& sw, const std::vector<int>& sb,
                    std::vector<double>& w, std::vector<int>& band) {
    const int r = p.n + 1;
    const int nb = static_cast<int>(p.bands.size());
    const int rs = static_cast<int>(sw.size());
    std::vector<int> have(nb, 0), want(nb, 0);
    for (int b : sb) ++have[b];
    int total = 0;
    for (int b = 0; b < nb; ++b) {
        want[b] = static_cast<int>(std::lround(static_cast<double>(have[b]) * r / rs));
        total += want[b];
    }
    while (total != r) {  // settle the rounding on the band with the most points
        const int b = static_cast<int>(std::max_element(want.begin(), want.end()) - want.begin());
        want[b] += total < r ? 1 : -1;
        total += total < r ? 1 : -1;
    }
    w.clear();
    band.clear();
    int at = 0;
    for (int b = 0; b < nb; ++b) {
        const double* pts = sw.data() + at;
        const int c = have[b];
        at += c;
        for (int j = 0; j < want[b]; ++j) {
            double v;
            if (c < 2 || want[b] < 2) {
                v = p.bands[b].lo +
                    (p.bands[b].hi - p.bands[b].lo) * (want[b] < 2 ? 0.5 : 1.0 * j / (want[b] - 1));
            } else {
                const double s = static_cast<double>(j) * (c - 1) / (want[b] - 1);
                const int k = std::min(static_cast<int>(s), c - 2);
                v = pts[k] + (pts[k + 1] - pts[k]) * (s - k);
            }
            w.push_back(v);
            band.push_back(b);
        }
    }
}

template <typename Real>
Solution Run(const Problem& p, std::vector<double> w0, std::vector<int> b0, double tol,
             Ticker& ticker, double lo, double hi, bool forTaps) {
    Solution sol;
    sol.extended = sizeof(Real) > sizeof(double);
    Exchange<Real> ex(p, ticker);
    const int r = p.n + 1;
    std::vector<Real> refW(w0.begin(), w0.end());
    std::vector<int> refBand = b0;
    std::vector<Candidate<Real>> next;
    std::vector<Real> cheb;
    double best = 2.0;
    int sinceBest = 0;  // exchanges since the spread halved or |delta| grew
    Real grownDelta = 0;
    Real lastDelta = 0;
    const int maxIter = 250;
    sol.refW = w0;
    sol.refBand = b0;
    for (int it = 1; it <= maxIter; ++it) {
        ticker.Set(lo + (hi - lo) * (1.0 - std::exp(-it / 6.0)));
        Real delta, noise, peak;
        if (!ex.Step(refW, refBand, next, cheb, delta, noise, peak)) {
            sol.iterations = it;
            if (ticker.cancelled()) {
                sol.outcome = Outcome::Cancelled;
                return sol;
            }
            sol.detail = "the exchange met a degenerate reference";
            return sol;
        }
        const Real ad = std::abs(delta);
        // The grid's parabolas misjudge the skewed ripples next to band edges: the
        // candidates move to the true maxima before they are compared (once the
        // error is within a factor 2 of level; before, the grid's values serve).
        Real peakE = 0;
        for (const auto& c : next) peakE = std::max(peakE, std::abs(c.e));
        if (peakE <= 2 * ad && !ex.Refine(next)) {
            sol.outcome = Outcome::Cancelled;
            return sol;
        }
        // Every exchange from a reference whose errors all reach |delta| raises
        // |delta|; a fall means the arithmetic no longer resolves the error.
        if (ad < Real(0.99) * lastDelta) {
            sol.iterations = it;
            sol.spread = best;
            sol.detail = FormatString(
                "the arithmetic cannot resolve the error at this length (deviation near %.3g)",
                static_cast<double>(lastDelta));
            return sol;
        }
        if (Choose(next, r, ad * Real(1 - 1e-3))) {
            lastDelta = ad;
        } else if (Choose(next, r, Real(0))) {
            lastDelta = 0;
        } else {
            sol.iterations = it;
            sol.detail = "the error has fewer alternations than the length needs";
            return sol;
        }
        auto extremes = [&](Real& mx, Real& mn) {
            mx = 0;
            mn = std::numeric_limits<Real>::max();
            for (const auto& c : next) {
                mx = std::max(mx, std::abs(c.e));
                mn = std::min(mn, std::abs(c.e));
            }
        };
        Real mx, mn;
        extremes(mx, mn);
        const double spread = static_cast<double>((mx - mn) / mx);
        // The spread the arithmetic can resolve at this deviation.
        const double floorSpread = 64.0 * static_cast<double>(noise / ad);
        for (int i = 0; i < r; ++i) {
            refW[i] = next[i].w;
            refBand[i] = next[i].band;
        }
        sol.iterations = it;
        if (spread < best) {
            if (spread < 0.5 * best) sinceBest = 0;
            best = spread;
            // A reference worth restarting from (in long double) once the error
            // has started to level.
            if (spread < 0.5) {
                sol.refW.assign(refW.begin(), refW.end());
                sol.refBand = refBand;
            }
        }
        if (std::isfinite(spread) && (spread <= tol || (spread <= floorSpread && spread <= 1e-3))) {
            // The taps are rounded to double: their rounding must stay well below
            // the deviation (only the last level of a ladder makes taps).
            double wMax = 0, coefSum = 0;
            for (const auto& c : next) {
                Real dp, wp;
                Target<Real>(p, c.band, c.w, dp, wp);
                wMax = std::max(wMax, static_cast<double>(std::abs(wp)));
            }
            // Independent roundings add up like a random walk.
            for (const Real& c : cheb) coefSum += static_cast<double>(c * c);
            coefSum = std::sqrt(coefSum);
            if (forTaps && 8 * std::numeric_limits<double>::epsilon() * coefSum * wMax >
                               1e-3 * static_cast<double>(mx)) {
                sol.detail =
                    FormatString("the taps cannot hold a deviation of %.3g in double precision",
                                 static_cast<double>(mx));
                return sol;
            }
            sol.outcome = Outcome::Converged;
            sol.spread = spread;
            sol.deviation = static_cast<double>(mx);
            sol.cheb.assign(cheb.begin(), cheb.end());
            for (double c : sol.cheb)
                if (!std::isfinite(c)) {
                    sol.outcome = Outcome::Stalled;
                    sol.detail = "the design has non-finite coefficients";
                    return sol;
                }
            return sol;
        }
        // From a poor start |delta| climbs for many exchanges before the spread
        // falls: either counts as progress.
        if (ad > grownDelta * Real(1 + 1e-6)) {
            grownDelta = ad;
            sinceBest = 0;
        }
        if (++sinceBest > 20) break;
    }
    sol.spread = best;
    sol.detail = FormatString("the error does not equioscillate (spread %.3g after %d exchanges)",
                              best, sol.iterations);
    return sol;
}

// Basis sizes up to this are solved from a uniform reference; longer problems climb
// a ladder of lengths, each level starting from the last one's reference scaled up.
constexpr int kDirectSize = 96;

// One level: double, or long double once double has stalled at this or a lower level.
Solution SolveLevel(const Problem& p, const std::vector<double>& w, const std::vector<int>& b,
                    double tol, Ticker& ticker, double lo, double hi, bool forTaps,
                    bool& extended) {
    if (extended) return Run<long double>(p, w, b, tol, ticker, lo, hi, forTaps);
    Solution sol = Run<double>(p, w, b, tol, ticker, lo, hi, forTaps);
    if (sol.outcome != Outcome::Stalled) return sol;
    // Double stalled: go on in long double from the best reference it found.
    extended = true;
    Solution ext = Run<long double>(p, sol.refW, sol.refBand, tol, ticker, lo, hi, forTaps);
    ext.iterations += sol.iterations;
    if (ext.outcome == Outcome::Stalled && ext.detail.empty()) ext.detail = sol.detail;
    return ext;
}

}  // namespace

Ticker::Ticker(const std::atomic<bool>* cancel, const std::function<void(double)>& progress)
    : cancel_(cancel), progress_(progress ? &progress : nullptr), lastReportNs_(NowNs()) {}

bool Ticker::Poll() {
    if (cancelled_) return true;
    if (cancel_ && cancel_->load(std::memory_order_relaxed)) {
        cancelled_ = true;
        return true;
    }
    if (progress_) {
        const long long now = NowNs();
        if (now - lastReportNs_ >= 200000000LL) {
            lastReportNs_ = now;
            (*progress_)(fraction_);
        }
    }
    return false;
}

void Ticker::Set(double fraction) {
    fraction_ = std::clamp(std::max(fraction_, fraction), 0.0, 1.0);
    Poll();
}

double QValue(QKind q, double w) {
    return QOf<double>(q, w);
}

Solution Solve(const Problem& problem, double tol, Ticker& ticker, double lo, double hi) {
    bool extended = problem.extended;
    std::vector<double> w;
    std::vector<int> b;
    if (!problem.startW.empty() && problem.startW.size() == problem.startBand.size()) {
        // A neighbouring length's reference is a start close to this optimum.
        bool valid = true;
        for (int band : problem.startBand)
            valid = valid && band >= 0 && band < static_cast<int>(problem.bands.size());
        if (valid) {
            ScaleReference(problem, problem.startW, problem.startBand, w, b);
            for (size_t i = 0; i < w.size(); ++i)
                w[i] = std::clamp(w[i], problem.bands[b[i]].lo, problem.bands[b[i]].hi);
            if (std::is_sorted(w.begin(), w.end()) &&
                std::adjacent_find(w.begin(), w.end()) == w.end())
                return SolveLevel(problem, w, b, tol, ticker, lo, hi, true, extended);
            w.clear();
            b.clear();
        }
    }
    if (problem.n <= kDirectSize) {
        UniformReference(problem, w, b);
        return SolveLevel(problem, w, b, tol, ticker, lo, hi, true, extended);
    }
    // The error's scale, against which a level's deviation tells how far the next
    // may reach: the deviation in dB grows about in proportion to the length.
    double scale = 0.0;
    for (const Band& band : problem.bands)
        scale = std::max(scale, band.weight * std::abs(band.desired));
    if (!(scale > 0)) scale = 1.0;
    Problem level = problem;
    level.n = kDirectSize;
    UniformReference(level, w, b);
    const double span = hi - lo;
    for (;;) {
        const bool last = level.n == problem.n;
        // Progress: the levels below fill the first 70 %, the last level the rest.
        const double at = lo + span * 0.7 * level.n / problem.n;
        Solution s = SolveLevel(level, w, b, last ? tol : 1e-3, ticker, last ? at : lo,
                                last ? hi : at, last, extended);
        if (last || s.outcome == Outcome::Cancelled) return s;
        int next = std::min(problem.n, 2 * level.n);
        if (s.outcome == Outcome::Converged) {
            // Keep each step's deviation above 1e-10 of the scale where it can be: a
            // long jump into a deep design starts from a poor reference.
            const double r = s.deviation / scale;
            if (r > 0 && r < 1) {
                const double f = std::clamp(std::log(1e-10) / std::log(r), 1.25, 2.0);
                next = std::min(problem.n, static_cast<int>(std::ceil(level.n * f)));
            }
            Problem up = level;
            up.n = next;
            ScaleReference(up, s.refW, s.refBand, w, b);
        } else {
            Problem up = level;
            up.n = next;
            UniformReference(up, w, b);
        }
        level.n = next;
    }
}

}  // namespace tapwright::minimax
