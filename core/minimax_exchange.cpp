#include "core/minimax_exchange.h"

#include <Eigen/Core>
#include <Eigen/LU>
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

// A running sum that carries its rounding error (Kahan): in long double the designs
// are deep enough for the rounding of some thousand additions to show in the spread.
template <typename Real>
struct CompensatedSum {
    Real sum = 0;
    Real carry = 0;
    void Add(Real value) {
        const Real y = value - carry;
        const Real u = sum + y;
        carry = (u - sum) - y;
        sum = u;
    }
};

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
        // With m = n - 1 the Lobatto values define P exactly (no series to truncate);
        // other lengths take the next size the FFT handles quickly.
        m_ = NextSmooth(std::max(n - 1, 1));
        exact_ = m_ == n - 1;
        L_ = std::max(NextPow2(std::max<long long>(want, 64)), NextPow2(m_ + 1));
        L_ = std::min(L_, std::max(cap, NextPow2(m_ + 1)));
        lobX_.resize(m_ + 1);
        lobA_.resize(m_ + 1);
        lobG_.resize(m_ + 1);
        lobV_.resize(m_ + 1);
        for (int j = 0; j <= m_; ++j) {
            lobA_[j] = Real(kPiL) * j / m_;
            lobX_[j] = std::cos(lobA_[j]);
            lobG_[j] = ((j % 2) ? Real(-1) : Real(1)) * ((j == 0 || j == m_) ? Real(0.5) : Real(1));
        }
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
    bool Accurate() const { return accurate_; }

    // One exchange from ref (n + 1 points). Fills cand with the new reference and
    // cheb with the trial polynomial. False when cancelled or degenerate.
    // refE: the last P's errors at refW (empty at the start).
    bool Step(const std::vector<Real>& refW, const std::vector<int>& refBand,
              const std::vector<Real>& refE, bool accurate, std::vector<Candidate<Real>>& next,
              std::vector<Real>& cheb, Real& delta, Real& noise, Real& peak) {
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
        // sum gamma_i p(x_i) = 0 for any p of degree < n, the last P among them: with
        // its errors in place of D the sum does not cancel down from the size of D to
        // that of delta, which would cost the weights' rounding times |D| / delta.
        // Near the optimum without a last P the weights and sums are formed in long
        // double, from the stored nodes.
        const bool fromLast = accurate && haveLast_ && static_cast<int>(refE.size()) == r;
        if (fromLast || !accurate || sizeof(Real) >= sizeof(long double)) {
            if (!Weights(refW, accurate, gamma_)) return false;
            delta = Delta(gamma_, refE, fromLast);
        } else {
            std::vector<long double> g;
            if (!Weights(refW, true, g)) return false;
            delta = Delta(g, refE, false);
            gamma_.assign(g.begin(), g.end());
        }
        if (!std::isfinite(static_cast<double>(delta))) return false;
        if (delta == 0) {
            // D through the reference exactly: any level at the rounding will do.
            Real scale = 0;
            for (int i = 0; i < r; ++i) scale = std::max(scale, std::abs(wRef_[i] * dRef_[i]));
            delta = std::numeric_limits<Real>::epsilon() * scale;
            if (delta == 0) return false;
        }
        y_.resize(r);
        noise = 0;
        for (int i = 0; i < r; ++i) {
            y_[i] = dRef_[i] - ((i % 2) ? Real(-1) : Real(1)) * delta / wRef_[i];
            noise = std::max(noise, std::abs(wRef_[i]) * (std::abs(dRef_[i]) + std::abs(y_[i])));
        }
        noise *= std::numeric_limits<Real>::epsilon();
        std::vector<std::complex<Real>> spec;
        std::vector<Real> ext(2 * m_, Real(0));
        peak = 0;
        drop_ = -1;
        haveLast_ = false;
        accurate_ =
            accurate && BuildAccurate(refW, refBand, refE, fromLast, delta, ext, spec, cheb, peak);
        if (ticker_.cancelled()) return false;
        if (!accurate_) {
            // Far from the optimum: P is the degree-n interpolant of all n + 1 points
            // cut to degree n - 1, its error at the reference only about +-delta.
            drop_ = -1;
            for (int j = 0; j <= m_; ++j) {
                if ((j & 63) == 0 && ticker_.Poll()) return false;
                ext[j] = RefEval(lobX_[j], lobA_[j]);
                peak = std::max(peak, std::abs(ext[j]));
            }
            FromValues(ext, spec, cheb);
        }

        // The error on the fine grid: P(cos(pi j / L)) = Re sum cheb[k] e^{-i pi j k / L}.
        ext.clear();
        ext.shrink_to_fit();
        {
            std::vector<Real> padded(2 * static_cast<size_t>(L_), Real(0));
            std::copy(cheb.begin(), cheb.end(), padded.begin());
            fine_.fwd(spec, padded);
        }
        if (ticker_.Poll()) return false;
        // Far from the optimum a large P between the bands swamps the in-band values
        // in the coefficients' rounding: then the grid is evaluated from the
        // barycentric form (slower).
        Real wMax = 0;
        for (Real v : wRef_) wMax = std::max(wMax, std::abs(v));
        const bool direct = !accurate_ && 32 * std::numeric_limits<Real>::epsilon() * peak * wMax >
                                              Real(1e-5) * std::abs(delta);
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
                const Real w = sw.back();
                const Real pv = direct ? RefEval(std::cos(w), w) : spec[gridIndex_[g]].real();
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
            if (k < next.size() && next[k].w == refW[i]) continue;  // measured there
            const Real e = i == drop_ ? dropE_ : (i % 2) ? -delta : delta;
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
        const Real tolW = Real(1e-4) / p_.n;
        int count = 0;
        for (auto& c : chosen) {
            if ((++count & 63) == 0 && ticker_.Poll()) return false;
            if (!c.interior) continue;
            const Real sg = c.e > 0 ? Real(1) : Real(-1);
            if (Newton(c, sg)) continue;
            Real a = c.w0, fa = sg * c.e0, b = c.w, fb = sg * c.e, d = c.w2, fd = sg * c.e2;
            // A parabola's guess, or in long double a grid value (an FFT with double
            // twiddles) only as good as double: start from an exact value.
            if (sizeof(Real) > sizeof(double) || !accurate_) fb = sg * ErrorAt(c.band, b);
            // Until the step is 1e-4 of a radian of the ripple's phase: the peak's
            // value (taken at b, not at the closer v) is then within about 5e-9 of it.
            for (int step = 0; step < 10; ++step) {
                Real v, fv;
                if (!Vertex(a, fa, b, fb, d, fd, v, fv)) break;
                if (std::abs(v - b) <= tolW) break;
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

    // Where D and W are constant in the band: Newton steps on E' from exact values
    // of P, P' and P'' (one division a node, like P alone), until the step gains
    // less than 1e-6 of |E|; the peak's value is then E - E'^2 / (2 E''). Mostly
    // one evaluation a peak, where the parabolas take two or three. False (c
    // untouched) where the steps leave the grid bracket or do not head for a
    // maximum: the parabolas take over.
    bool Newton(Candidate<Real>& c, Real sg) {
        const Band& band = p_.bands[c.band];
        if (p_.q != QKind::One || band.slope) return false;
        const Real wt = band.weight;
        // From the grid parabola's vertex: the grid values (in long double good to
        // about 1e-4 of the error) place it within about a thousandth of a ripple.
        Real w = c.w, fv;
        if (!Vertex(c.w0, sg * c.e0, c.w, sg * c.e, c.w2, sg * c.e2, w, fv)) w = c.w;
        for (int step = 0; step < 6; ++step) {
            const Real x = std::cos(w), s = std::sin(w);
            Real v, d1, d2;
            if (!Derivatives(x, w, v, d1, d2)) {
                // A grid point can be a Lobatto point: start a hair off it.
                if (step > 0) return false;
                w += Real(1e-3) * (c.w2 - w);
                continue;
            }
            // E = W (D - P(cos w)): E' = W P' sin w, E'' = W (P' cos w - P'' sin^2 w).
            const Real e = wt * (Real(band.desired) - v), e1 = wt * d1 * s,
                       e2 = wt * (d1 * x - d2 * s * s);
            if (!(sg * e2 < 0)) return false;
            const Real dw = -e1 / e2;
            if (!(w + dw > c.w0 && w + dw < c.w2)) return false;
            // The step's gain, (u^2 / 2) |E| for a ripple's phase u: 1e-6 of |E|
            // leaves the peak's value within u^4 / 8 (1e-12) of it.
            if (std::abs(e1 * dw) <= Real(2e-6) * std::abs(e)) {
                c.w = w + dw;
                c.e = e - e1 * e1 / (2 * e2);
                return true;
            }
            w += dw;
        }
        return false;
    }

    // P and its first two derivatives in x at t = cos(a), from the barycentric
    // form of Eval: with r_i = 1 / (t - x_i), q_i = g_i r_i and u_i = (P - v_i) r_i,
    // P' = sum q_i u_i / sum q_i and P'' = 2 (P' sum q_i r_i - sum q_i r_i u_i) /
    // sum q_i. False at a node.
    bool Derivatives(Real t, Real a, Real& v, Real& d1, Real& d2) const {
        const std::vector<Real>& x = accurate_ ? lobX_ : x_;
        const std::vector<Real>& angle = accurate_ ? lobA_ : angle_;
        const std::vector<Real>& g = accurate_ ? lobG_ : gamma_;
        const std::vector<Real>& y = accurate_ ? lobV_ : y_;
        const int r = static_cast<int>(x.size());
        if (deriv_.size() < r) deriv_.resize(r);
        Real* R = deriv_.data();
        const int lo = static_cast<int>(
            std::partition_point(x.begin(), x.end(), [&](Real u) { return u >= t + kClose; }) -
            x.begin());
        int hi = lo;
        for (; hi < r && x[hi] > t - kClose; ++hi) {
            const Real d = -2 * std::sin((a + angle[hi]) / 2) * std::sin((a - angle[hi]) / 2);
            if (d == 0) return false;
            R[hi] = 1 / d;
        }
        if constexpr (sizeof(Real) <= sizeof(double)) {  // vectorized
            Eigen::Map<const Array> X(x.data(), r), G(g.data(), r), Y(y.data(), r);
            Eigen::Map<Array> Rv(R, r);
            Rv.head(lo) = (t - X.head(lo)).inverse();
            Rv.tail(r - hi) = (t - X.tail(r - hi)).inverse();
            const Real den = (G * Rv).sum();
            v = (G * Rv * Y).sum() / den;
            auto qr = G * Rv * Rv;
            d1 = (qr * (v - Y)).sum() / den;
            d2 = 2 * (d1 * qr.sum() - (qr * Rv * (v - Y)).sum()) / den;
            return std::isfinite(d2);
        }
        CompensatedSum<Real> num, denSum;
        for (int i = 0; i < r; ++i) {
            if (i < lo || i >= hi) R[i] = 1 / (t - x[i]);
            const Real q = g[i] * R[i];
            denSum.Add(q);
            num.Add(q * y[i]);
        }
        const Real den = denSum.sum;
        v = num.sum / den;
        Real s1 = 0, s2 = 0, s3 = 0;
        for (int i = 0; i < r; ++i) {
            const Real qr = g[i] * R[i] * R[i], u = (v - y[i]) * R[i];
            s1 += qr * (v - y[i]);
            s2 += qr;
            s3 += qr * u;
        }
        d1 = s1 / den;
        d2 = 2 * (d1 * s2 - s3) / den;
        return std::isfinite(static_cast<double>(d2));
    }

    Real ErrorAt(int band, Real w) const {
        Real dp, wp;
        Target<Real>(p_, band, w, dp, wp);
        return wp * (dp - Eval(std::cos(w), w));
    }
    Real ErrorAtP(int band, Real w) const {
        Real dp, wp;
        Target<Real>(p_, band, w, dp, wp);
        return wp * (dp - EvalP(std::cos(w), w));
    }

  private:
    // Barycentric weights 1 / prod (x_i - x_j), kept in range by carrying a binary
    // exponent, then scaled by a common power of two.
    template <typename Acc>
    bool Weights(const std::vector<Real>& refW, bool plain, std::vector<Acc>& g) {
        using AccArray = Eigen::Array<Acc, Eigen::Dynamic, 1>;
        const int r = static_cast<int>(x_.size());
        g.resize(r);
        std::vector<Acc> xs(x_.begin(), x_.end());
        std::vector<int> ex(r);
        int maxEx = std::numeric_limits<int>::min();
        Eigen::Map<const AccArray> X(xs.data(), r);
        for (int i = 0; i < r; ++i) {
            if ((i & 63) == 0 && ticker_.Poll()) return false;
            const Acc xi = xs[i];
            Acc prod = 1;
            int e = 0, k;
            // plain: differences of the stored nodes, which keeps sum g_i D_i (which
            // cancels down to delta) consistent with one node set. Otherwise the run
            // of points close to x_i (x_ descends) takes their exact cosines' difference.
            int a = i, b = i + 1;
            if (!plain) {
                while (a > 0 && xs[a - 1] - xi < kClose) --a;
                while (b < r && xi - xs[b] < kClose) ++b;
                for (int j = a; j < b; ++j) {
                    if (j == i) continue;
                    prod *= CosDiff<Acc>(xi, Acc(refW[i]), xs[j], Acc(refW[j]));
                    prod = std::frexp(prod, &k);
                    e += k;
                }
            }
            // Blocks of 16 factors, each at least 1e-16 (distinct doubles in -1 ... 1
            // near +-1; the reference is far sparser elsewhere) and at most 2, cannot
            // leave the range.
            auto block = [&](int from, int to) {
                for (int j = from; j < to; j += 16) {
                    const int len = std::min(16, to - j);
                    if (i >= j && i < j + len) {
                        for (int q = j; q < j + len; ++q)
                            if (q != i) prod *= xi - xs[q];
                    } else {
                        prod *= (xi - X.segment(j, len)).prod();
                    }
                    prod = std::frexp(prod, &k);
                    e += k;
                }
            };
            block(0, a);
            block(b, r);
            if (prod == 0 || !std::isfinite(static_cast<double>(prod))) return false;
            g[i] = 1 / prod;
            ex[i] = -e;
            maxEx = std::max(maxEx, ex[i]);
        }
        for (int i = 0; i < r; ++i) g[i] = std::ldexp(g[i], ex[i] - maxEx);
        return true;
    }

    // delta of the reference from the weights g and the numerators' terms.
    template <typename Acc>
    Real Delta(const std::vector<Acc>& g, const std::vector<Real>& refE, bool fromLast) const {
        Acc num = 0, den = 0;
        for (int i = 0; i < static_cast<int>(g.size()); ++i) {
            num += g[i] * Acc(fromLast ? refE[i] / wRef_[i] : dRef_[i]);
            den += g[i] * ((i % 2) ? Acc(-1) : Acc(1)) / Acc(wRef_[i]);
        }
        return static_cast<Real>(num / den);
    }

    // The first n Chebyshev coefficients of the values ext[0 ... m] at the Lobatto
    // points, by a DCT-I (an FFT of the even extension; ext has room for it).
    void ToCheb(std::vector<Real>& ext, std::vector<std::complex<Real>>& spec,
                std::vector<Real>& cheb) {
        const int n = p_.n;
        for (int j = 1; j < m_; ++j) ext[2 * m_ - j] = ext[j];
        dct_.fwd(spec, ext);
        cheb.assign(n, Real(0));
        for (int c = 0; c < n && c <= m_; ++c)
            cheb[c] = spec[c].real() / m_ / ((c == 0 || c == m_) ? 2 : 1);
    }

    // Near the optimum P (degree n - 1) interpolates n of the n + 1 points: through
    // all of them the rounding of delta would add a degree-n term, which the gaps
    // between bands blow up. The point left out is the one of largest weight, where
    // that rounding shows least; its error is measured, not assumed. False (the
    // reference left whole) where delta is too rough for that point or the gaps too
    // wide for the correction below.
    bool BuildAccurate(const std::vector<Real>& refW, const std::vector<int>& refBand,
                       const std::vector<Real>& refE, bool fromLast, Real delta,
                       std::vector<Real>& ext, std::vector<std::complex<Real>>& spec,
                       std::vector<Real>& cheb, Real& peak) {
        const int r = static_cast<int>(x_.size());
        std::vector<Real> allX = x_, allAngle = angle_, allGamma = gamma_, allY = y_;
        auto restore = [&] {
            x_.swap(allX);
            angle_.swap(allAngle);
            gamma_.swap(allGamma);
            y_.swap(allY);
            drop_ = -1;
            haveLast_ = false;
            return false;
        };
        drop_ = 0;
        for (int i = 1; i < r; ++i)
            if (std::abs(gamma_[i]) > std::abs(gamma_[drop_])) drop_ = i;
        for (int i = 0; i < r; ++i)
            if (i != drop_) gamma_[i] *= x_[i] - x_[drop_];
        x_.erase(x_.begin() + drop_);
        angle_.erase(angle_.begin() + drop_);
        gamma_.erase(gamma_.begin() + drop_);
        y_.erase(y_.begin() + drop_);
        const int nodes = r - 1;
        res_.resize(nodes);
        if (fromLast && haveLast_) {
            // P = last P + the interpolant of their small differences at the reference.
            for (int i = 0, src = 0; i < r; ++i) {
                if (i == drop_) continue;
                res_[src++] = (refE[i] - ((i % 2) ? Real(-1) : Real(1)) * delta) / wRef_[i];
            }
            for (int j = 0; j <= m_; ++j) {
                if ((j & 63) == 0 && ticker_.Poll()) return restore();
                ext[j] = lobV_[j] + Bary(x_, angle_, gamma_, res_, lobX_[j], lobA_[j]);
            }
        } else {
            for (int j = 0; j <= m_; ++j) {
                if ((j & 63) == 0 && ticker_.Poll()) return restore();
                ext[j] = RefEval(lobX_[j], lobA_[j]);
            }
        }
        for (int j = 0; j <= m_; ++j) peak = std::max(peak, std::abs(ext[j]));
        // In a wide gap between bands the Lebesgue constant of the reference is large:
        // values found there carry their rounding times it, and through the
        // coefficients they would spoil P in the bands too. The polynomial the
        // coefficients make is corrected by its own residual at the reference, which
        // the Lobatto points (weights known exactly) evaluate well.
        Real wMax = 0;
        for (Real v : wRef_) wMax = std::max(wMax, std::abs(v));
        // Done at the rounding, or where the residual moves the errors by less than
        // 1e-9 of delta (far below the spread the exchange resolves).
        const Real enough = std::max(16 * std::numeric_limits<Real>::epsilon() * peak,
                                     Real(1e-9) * std::abs(delta) / wMax);
        Real lastRes = std::numeric_limits<Real>::max(), rmax = 0;
        for (int pass = 0;; ++pass) {
            FromValues(ext, spec, cheb);
            rmax = 0;
            for (int i = 0; i < nodes; ++i) {
                res_[i] = y_[i] - EvalP(x_[i], angle_[i]);
                rmax = std::max(rmax, std::abs(res_[i]));
            }
            if (pass == 3 || rmax <= enough || !(rmax < Real(0.1) * lastRes)) break;
            lastRes = rmax;
            if (ticker_.Poll()) return restore();
            for (int j = 0; j <= m_; ++j)
                ext[j] = lobV_[j] + Bary(x_, angle_, gamma_, res_, lobX_[j], lobA_[j]);
        }
        dropE_ = ErrorAtP(refBand[drop_], refW[drop_]);
        const Real level = (drop_ % 2) ? -delta : delta;
        if (!((dropE_ > 0) == (level > 0) && std::abs(dropE_) >= std::abs(level) / 2 &&
              std::abs(dropE_) <= 4 * std::abs(level)) ||
            !(rmax * wMax <= Real(1e-2) * std::abs(delta)))
            return restore();
        haveLast_ = true;
        return true;
    }

    // P from its values ext[0 ... m] at the Lobatto points: its first n Chebyshev
    // coefficients, and in lobV_ the values of that series.
    void FromValues(std::vector<Real>& ext, std::vector<std::complex<Real>>& spec,
                    std::vector<Real>& cheb) {
        ToCheb(ext, spec, cheb);
        if (exact_) {
            std::copy(ext.begin(), ext.begin() + m_ + 1, lobV_.begin());
            return;
        }
        std::vector<Real> padded(2 * m_, Real(0));
        std::copy(cheb.begin(), cheb.end(), padded.begin());
        dct_.fwd(spec, padded);
        for (int j = 0; j <= m_; ++j) lobV_[j] = spec[j].real();
    }

    // The interpolant of the reference values at t = cos(a): in the bands as good as
    // the weights, in wide gaps between them only to the rounding times a large
    // Lebesgue constant.
    Real RefEval(Real t, Real a) const { return Bary(x_, angle_, gamma_, y_, t, a); }

    // P(t), t = cos(a): from its values at the Lobatto points, or (far from the
    // optimum) the interpolant of the whole reference.
    Real Eval(Real t, Real a) const { return accurate_ ? EvalP(t, a) : RefEval(t, a); }
    Real EvalP(Real t, Real a) const { return Bary(lobX_, lobA_, lobG_, lobV_, t, a); }

    // The barycentric interpolant of values v at nodes x = cos(angle) (descending)
    // with weights g, at t = cos(a).
    Real Bary(const std::vector<Real>& x, const std::vector<Real>& angle,
              const std::vector<Real>& g, const std::vector<Real>& v, Real t, Real a) const {
        const int r = static_cast<int>(x.size());
        const int lo = static_cast<int>(
            std::partition_point(x.begin(), x.end(), [&](Real u) { return u >= t + kClose; }) -
            x.begin());
        int hi = lo;
        while (hi < r && x[hi] > t - kClose) ++hi;
        Real num = 0, den = 0;
        for (int i = lo; i < hi; ++i) {
            const Real d = -2 * std::sin((a + angle[i]) / 2) * std::sin((a - angle[i]) / 2);
            if (d == 0) return v[i];
            const Real c = g[i] / d;
            num += c * v[i];
            den += c;
        }
        Sums(x, g, v, 0, lo, t, num, den);
        Sums(x, g, v, hi, r, t, num, den);
        return num / den;
    }

    // The barycentric sums over points from ... to - 1, vectorized.
    void Sums(const std::vector<Real>& x, const std::vector<Real>& g, const std::vector<Real>& v,
              int from, int to, Real t, Real& num, Real& den) const {
        const int k = to - from;
        if (k <= 0) return;
        if (scratch_.size() < k) scratch_.resize(k);
        Eigen::Map<const Array> X(x.data() + from, k), G(g.data() + from, k), Y(v.data() + from, k);
        if constexpr (sizeof(Real) > sizeof(double)) {
            CompensatedSum<Real> n1, d1;
            for (int i = 0; i < k; ++i) {
                const Real q = G[i] / (t - X[i]);
                d1.Add(q);
                n1.Add(q * Y[i]);
            }
            den += d1.sum;
            num += n1.sum;
            return;
        }
        auto s = scratch_.head(k);
        s = G / (t - X);
        den += s.sum();
        num += (s * Y).sum();
    }

    // Local maxima of |E| along one band's samples (edges included), with their
    // neighbours for Refine.
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
            // Near the optimum the sample itself, not a parabola's guess: every
            // candidate's value is then the error of this P where it stands (the next
            // delta is formed from them).
            Real v = w[k], fv = e[k];
            if (!accurate_) {
                const Real sg = e[k] > 0 ? Real(1) : Real(-1);
                Real cv, cf;
                if (Vertex(w[k - 1], sg * e[k - 1], w[k], sg * e[k], w[k + 1], sg * e[k + 1], cv,
                           cf) &&
                    cf >= sg * e[k]) {
                    v = cv;
                    fv = sg * cf;
                }
            }
            out.push_back({v, fv, band, true, w[k - 1], e[k - 1], w[k + 1], e[k + 1]});
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
    std::vector<Real> x_, angle_, dRef_, wRef_, gamma_, y_, res_;
    // The Chebyshev-Lobatto points cos(pi j / m), their angles and weights.
    std::vector<Real> lobX_, lobA_, lobG_, lobV_;
    int drop_ = 0;           // the reference point P does not interpolate (-1: none)
    bool accurate_ = false;  // P from BuildAccurate; else from RefEval
    Real dropE_ = 0;         // P's error there
    bool exact_ = false;     // m_ == n - 1
    bool haveLast_ = false;  // lobV_ holds the last P
    mutable Array scratch_, deriv_;
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

// A start near the optimum's own spacing: the extremal points of best approximations
// on a union of intervals crowd toward the inner band edges like the intervals'
// equilibrium measure, |r(x)| / (pi sqrt|q(x)|) in x = cos w, q the product over the
// interval ends and r the monic polynomial of degree (intervals - 1) whose integral
// over each gap vanishes. Each band gets points in proportion to its share, placed
// at equal steps of the measure (a single band gives Chebyshev-Lobatto points).
// False when the measure comes out degenerate (the uniform start serves then).
// share (if given): each band's part of the measure.
bool MeasureReference(const Problem& p, std::vector<double>& w, std::vector<int>& band,
                      std::vector<double>* share = nullptr) {
    const int nb = static_cast<int>(p.bands.size());
    const int r = p.n + 1;
    if (r < 2 * nb) return false;
    // Intervals in x, ascending: band nb - 1 - k is interval k.
    std::vector<double> lo(nb), hi(nb);
    for (int k = 0; k < nb; ++k) {
        const Band& b = p.bands[nb - 1 - k];
        lo[k] = std::cos(b.hi);
        hi[k] = std::cos(b.lo);
        if (!(lo[k] < hi[k])) return false;
    }
    // The integrand over [a, c] after x = m + h cos(t), which takes out the square
    // root of the interval's own two ends: f(x) / sqrt|prod of the other ends|.
    constexpr int kNodes = 96;
    auto rest = [&](double x, double a, double c) {
        double prod = 1.0;
        for (int k = 0; k < nb; ++k)
            for (double e : {lo[k], hi[k]})
                if (e != a && e != c) prod *= x - e;
        return 1.0 / std::sqrt(std::abs(prod));
    };
    // r = x^(nb-1) + sum coef[j] x^j from the gap conditions (monomials are well
    // enough conditioned in -1 ... 1 for so few bands).
    const int g = nb - 1;
    std::vector<double> coef(std::max(g, 0), 0.0);
    if (g > 0) {
        Eigen::MatrixXd A(g, g);
        Eigen::VectorXd rhs(g);
        for (int i = 0; i < g; ++i) {
            const double a = hi[i], c = lo[i + 1];
            const double m = (a + c) / 2, h = (c - a) / 2;
            std::vector<double> row(g + 1, 0.0);
            for (int q = 0; q < kNodes; ++q) {
                const double x = m + h * std::cos(M_PI * (q + 0.5) / kNodes);
                const double f = rest(x, a, c);
                double xp = 1.0;
                for (int j = 0; j <= g; ++j, xp *= x) row[j] += xp * f;
            }
            for (int j = 0; j < g; ++j) A(i, j) = row[j];
            rhs(i) = -row[g];
        }
        const Eigen::VectorXd c = A.partialPivLu().solve(rhs);
        for (int j = 0; j < g; ++j) coef[j] = c(j);
    }
    auto rOf = [&](double x) {
        double v = 1.0;
        for (int j = g - 1; j >= 0; --j) v = v * x + coef[j];
        return std::abs(v);
    };
    // Each interval's cumulative measure over t = 0 ... pi (x from its upper end).
    std::vector<std::vector<double>> cum(nb, std::vector<double>(kNodes + 1, 0.0));
    std::vector<double> mass(nb);
    double total = 0.0;
    for (int k = 0; k < nb; ++k) {
        const double m = (lo[k] + hi[k]) / 2, h = (hi[k] - lo[k]) / 2;
        for (int q = 0; q < kNodes; ++q) {
            const double x = m + h * std::cos(M_PI * (q + 0.5) / kNodes);
            cum[k][q + 1] = cum[k][q] + rOf(x) * rest(x, lo[k], hi[k]);
        }
        mass[k] = cum[k][kNodes];
        if (!(mass[k] > 0) || !std::isfinite(mass[k])) return false;
        total += mass[k];
    }
    if (share) {
        share->resize(nb);
        for (int k = 0; k < nb; ++k) (*share)[nb - 1 - k] = mass[k] / total;
    }
    // Points per band: one each, the rest by share (largest remainders first).
    std::vector<int> count(nb, 1);
    std::vector<std::pair<double, int>> frac;
    int given = nb;
    for (int k = 0; k < nb; ++k) {
        const double want = mass[k] / total * (r - nb);
        const int whole = static_cast<int>(want);
        count[k] += whole;
        given += whole;
        frac.push_back({want - whole, k});
    }
    std::sort(frac.rbegin(), frac.rend());
    for (int i = 0; given < r; ++i, ++given) ++count[frac[i % nb].second];
    w.clear();
    band.clear();
    for (int b = 0; b < nb; ++b) {
        const int k = nb - 1 - b;
        const double m = (lo[k] + hi[k]) / 2, h = (hi[k] - lo[k]) / 2;
        const std::vector<double>& F = cum[k];
        // Ascending w is ascending t; a lone point sits at the band's middle.
        for (int j = 0, q = 0; j < count[k]; ++j) {
            const double u = count[k] == 1 ? 0.5 : static_cast<double>(j) / (count[k] - 1);
            band.push_back(b);
            if (count[k] > 1 && (j == 0 || j == count[k] - 1)) {
                w.push_back(j == 0 ? p.bands[b].lo : p.bands[b].hi);
                continue;
            }
            const double target = u * mass[k];
            while (q < kNodes && F[q + 1] < target) ++q;
            const double span = F[q + 1] - F[q];
            const double t = M_PI * (q + (span > 0 ? (target - F[q]) / span : 0.5)) / kNodes;
            const double x = std::clamp(m + h * std::cos(t), lo[k], hi[k]);
            w.push_back(std::clamp(std::acos(x), p.bands[b].lo, p.bands[b].hi));
        }
    }
    return std::is_sorted(w.begin(), w.end()) && std::adjacent_find(w.begin(), w.end()) == w.end();
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
    // A band's count grows about by its share of the measure per added point, on
    // top of a constant (the inner edges' points): scaling it in proportion
    // misplaces points across a transition, which costs an exchange each to move.
    std::vector<double> share, mw;
    std::vector<int> mb;
    const bool measured = MeasureReference(p, mw, mb, &share);
    int total = 0;
    for (int b = 0; b < nb; ++b) {
        const double grown =
            measured ? have[b] + share[b] * (r - rs) : static_cast<double>(have[b]) * r / rs;
        want[b] = std::max(0, static_cast<int>(std::lround(grown)));
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
             Ticker& ticker, double lo, double hi, bool forTaps, bool scaled) {
    Solution sol;
    sol.extended = sizeof(Real) > sizeof(double);
    Exchange<Real> ex(p, ticker);
    const int r = p.n + 1;
    std::vector<Real> refW(w0.begin(), w0.end());
    std::vector<int> refBand = b0;
    std::vector<Real> refE;
    // The last P's error was within twice its level. From a uniform reference the
    // first exchanges take the whole reference (robust far from the optimum); from
    // one scaled from another length's optimum every exchange tries the exact form.
    bool near = false;
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
        if (!ex.Step(refW, refBand, refE, near || scaled, next, cheb, delta, noise, peak)) {
            sol.iterations = it;
            if (ticker.cancelled()) {
                sol.outcome = Outcome::Cancelled;
                return sol;
            }
            sol.detail = "the exchange met a degenerate reference";
            return sol;
        }
        const Real ad = std::abs(delta);
        // A P that does not hold its reference where double cannot resolve even the
        // loosest spread accepted (1e-3): long double goes on from this reference.
        if ((near || scaled) && !ex.Accurate() && sizeof(Real) == sizeof(double) &&
            64.0 * static_cast<double>(noise / ad) > 1e-3) {
            sol.iterations = it;
            sol.refW.assign(refW.begin(), refW.end());
            sol.refBand = refBand;
            sol.detail = FormatString(
                "the arithmetic cannot resolve the error at this length (deviation near %.3g)",
                static_cast<double>(ad));
            return sol;
        }
        // The grid's parabolas misjudge the skewed ripples next to band edges: the
        // candidates move to the true maxima before they are compared (once the
        // error is within a factor 2 of level; before, the grid's values serve).
        Real peakE = 0;
        for (const auto& c : next) peakE = std::max(peakE, std::abs(c.e));
        near = peakE <= 2 * ad;
        if (near && !ex.Refine(next)) {
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
            // Only refined values show that every error reaches |delta|.
            lastDelta = near ? ad : 0;
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
        refE.resize(r);
        for (int i = 0; i < r; ++i) {
            refW[i] = next[i].w;
            refBand[i] = next[i].band;
            refE[i] = next[i].e;
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

// Basis sizes up to this are solved from the measure's start; longer problems climb
// a ladder of lengths, each level starting from the last one's reference scaled up
// (shallow ones only take its first level).
constexpr int kDirectSize = 96;
// Deviations (of the error's scale) above this count as shallow.
constexpr double kShallow = 1e-8;

// One level: double, or long double once double has stalled at this or a lower level.
Solution SolveLevel(const Problem& p, const std::vector<double>& w, const std::vector<int>& b,
                    double tol, Ticker& ticker, double lo, double hi, bool forTaps, bool scaled,
                    bool& extended) {
    if (extended) return Run<long double>(p, w, b, tol, ticker, lo, hi, forTaps, scaled);
    Solution sol = Run<double>(p, w, b, tol, ticker, lo, hi, forTaps, scaled);
    if (sol.outcome != Outcome::Stalled) return sol;
    // Double stalled: go on in long double from the best reference it found.
    extended = true;
    Solution ext = Run<long double>(p, sol.refW, sol.refBand, tol, ticker, lo, hi, forTaps, true);
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

void StartReference(const Problem& p, std::vector<double>& w, std::vector<int>& band) {
    if (!MeasureReference(p, w, band)) UniformReference(p, w, band);
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
                return SolveLevel(problem, w, b, tol, ticker, lo, hi, true, true, extended);
            w.clear();
            b.clear();
        }
    }
    if (problem.n <= kDirectSize) {
        StartReference(problem, w, b);
        return SolveLevel(problem, w, b, tol, ticker, lo, hi, true, false, extended);
    }
    // The error's scale, against which a level's deviation tells how far the next
    // may reach: the deviation in dB grows about in proportion to the length.
    double scale = 0.0;
    for (const Band& band : problem.bands)
        scale = std::max(scale, band.weight * std::abs(band.desired));
    if (!(scale > 0)) scale = 1.0;
    Problem level = problem;
    level.n = kDirectSize;
    StartReference(level, w, b);
    bool scaled = false;
    const double span = hi - lo;
    for (;;) {
        const bool last = level.n == problem.n;
        // Progress: the levels below fill the first 70 %, the last level the rest.
        const double at = lo + span * 0.7 * level.n / problem.n;
        Solution s = SolveLevel(level, w, b, last ? tol : 1e-3, ticker, last ? at : lo,
                                last ? hi : at, last, scaled, extended);
        if (last || s.outcome == Outcome::Cancelled) return s;
        int next = std::min(problem.n, 2 * level.n);
        // A design that stays shallow (its deviation extrapolated in dB, which
        // overstates the depth) is solved at once from the measure's start: the
        // ladder pays off only where double would not resolve a long jump's start.
        if (s.outcome == Outcome::Converged && level.n == kDirectSize && !extended &&
            s.deviation > 0 && s.deviation < scale &&
            std::log(s.deviation / scale) * problem.n / level.n > std::log(kShallow)) {
            level.n = problem.n;
            StartReference(level, w, b);
            scaled = false;
            continue;
        }
        if (s.outcome == Outcome::Converged) {
            // Keep each step's deviation above 1e-10 of the scale where it can be: a
            // long jump into a deep design starts from a poor reference.
            const double r = s.deviation / scale;
            if (r > 0 && r < 1) {
                const double f = std::clamp(std::log(1e-10) / std::log(r), 1.25, 2.0);
                next = std::min(problem.n, static_cast<int>(std::ceil(level.n * f)));
                // A short last step costs a whole level more than the longer jump.
                if (next < problem.n && 10LL * problem.n <= 14LL * level.n) next = problem.n;
                // Where the next deviation (in dB about in proportion to the length)
                // lies below what double resolves, it starts in long double.
                if (std::log(r) * next / level.n < std::log(1e-11)) extended = true;
            }
            Problem up = level;
            up.n = next;
            ScaleReference(up, s.refW, s.refBand, w, b);
            scaled = true;
        } else {
            Problem up = level;
            up.n = next;
            UniformReference(up, w, b);
            scaled = false;
        }
        level.n = next;
    }
}

}  // namespace tapwright::minimax
