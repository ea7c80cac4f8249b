#include "core/minimax_design.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <deque>
#include <limits>

#include "core/messages.h"
#include "core/minimax_exchange.h"
#include "core/real_fft.h"

namespace tapwright {

namespace {

using minimax::QKind;

struct Kind {
    bool antisymmetric = false;
    bool odd = true;
    int n = 0;
    QKind q = QKind::One;
    bool zeroAtDc = false;
    bool zeroAtHalf = false;
};

Kind KindOf(const MinimaxRequest& r) {
    Kind k;
    k.antisymmetric = r.response != MinimaxResponse::Multiband || r.antisymmetric;
    k.odd = r.taps % 2 != 0;
    if (!k.antisymmetric && k.odd) {
        k.n = (r.taps + 1) / 2;
        k.q = QKind::One;
    } else if (!k.antisymmetric) {
        k.n = r.taps / 2;
        k.q = QKind::CosHalf;
        k.zeroAtHalf = true;
    } else if (k.odd) {
        k.n = (r.taps - 1) / 2;
        k.q = QKind::Sin;
        k.zeroAtDc = k.zeroAtHalf = true;
    } else {
        k.n = r.taps / 2;
        k.q = QKind::SinHalf;
        k.zeroAtDc = true;
    }
    return k;
}

const char* KindName(const Kind& k) {
    if (!k.antisymmetric) return k.odd ? "odd-length symmetric" : "even-length symmetric";
    return k.odd ? "odd-length antisymmetric" : "even-length antisymmetric";
}

// The wanted gain of a band at frequency f.
double GainAt(const MinimaxRequest& r, const MinimaxBand& b, double f) {
    return r.response == MinimaxResponse::Differentiator ? b.desired * f : b.desired;
}

bool Finite(double v) {
    return std::isfinite(v);
}

// The largest weighted error over [f0, f1] on a dense grid of the magnitude mag
// (point k at k / M cycles per sample), with the two edge errors exact. No
// interpolation between points: |E| has kinks where E changes sign.
template <typename ErrorAt>
double BandMax(const std::vector<double>& mag, int M, double f0, double f1, double edge0,
               double edge1, ErrorAt errorAt) {
    double worst = std::max(edge0, edge1);
    const int k0 = static_cast<int>(std::floor(f0 * M)) + 1;
    const int k1 = static_cast<int>(std::ceil(f1 * M)) - 1;
    for (int k = std::max(k0, 0); k <= k1 && k < static_cast<int>(mag.size()); ++k)
        worst = std::max(worst, errorAt(k, mag[k]));
    return worst;
}

// The smallest power-of-two grid with `perTap` points a tap (at least 4096, at most
// 2^22, which still gives the longest filters 32 points a tap).
int DenseGrid(int N, int perTap) {
    int M = 4096;
    while (M < perTap * N && M < (1 << 22)) M <<= 1;
    return M;
}

double MagnitudeAt(const std::vector<double>& h, double f) {
    std::complex<double> s = 0.0;
    for (size_t k = 0; k < h.size(); ++k)
        s += h[k] * std::polar(1.0, -2.0 * M_PI * f * static_cast<double>(k));
    return std::abs(s);
}

// The largest weighted error the taps realize over the request's bands, measured on
// a dense grid of their own response (edges exact). Used to check that the rounded
// taps hold the design.
double RealizedError(const MinimaxRequest& r, const std::vector<double>& h) {
    const int N = static_cast<int>(h.size());
    // 32 points a tap read a peak to about 1e-3: enough to catch taps that have
    // lost the design, not to judge its last digits (the exchange does that).
    const int M = DenseGrid(N, 32);
    const std::vector<double> mag = ZeroPaddedMagnitude(h.data(), N, M);
    if (mag.empty()) return std::nan("");
    const bool slope = r.response == MinimaxResponse::Differentiator;
    double worst = 0.0;
    for (const MinimaxBand& b : r.bands) {
        auto errorAtF = [&](double f, double m) {
            if (slope && b.desired != 0) {
                if (f < 1e-7) return 0.0;  // 0 / 0: the design leaves it out too
                return std::abs(m - std::abs(b.desired) * f) * b.weight / f;
            }
            return std::abs(m - std::abs(GainAt(r, b, f))) * b.weight;
        };
        auto errorAt = [&](int k, double m) { return errorAtF(static_cast<double>(k) / M, m); };
        const double e0 = errorAtF(b.lower, MagnitudeAt(h, b.lower));
        const double e1 = errorAtF(b.upper, MagnitudeAt(h, b.upper));
        worst = std::max(worst, BandMax(mag, M, b.lower, b.upper, e0, e1, errorAt));
    }
    return worst;
}

// Solves p and turns P into the taps; false (with res filled) when there are none.
bool DesignTaps(const MinimaxRequest& request, const Kind& kind, const minimax::Problem& p,
                minimax::Ticker& ticker, double lo, double hi, MinimaxResult& res,
                std::vector<double>& h) {
    minimax::Solution s = minimax::Solve(p, kMinimaxSpreadTolerance, ticker, lo, hi);
    res.iterations = s.iterations;
    res.spread = s.spread;
    res.deviation = s.deviation;
    res.extendedPrecision = s.extended;
    if (s.outcome == minimax::Outcome::Cancelled) {
        res.status = MinimaxStatus::Cancelled;
        res.detail = "The design was cancelled.";
        return false;
    }
    if (s.outcome != minimax::Outcome::Converged) {
        res.status = MinimaxStatus::NoConvergence;
        res.detail = "The minimax design did not converge: " + s.detail + ".";
        return false;
    }

    // Taps from P's Chebyshev coefficients c: A(w) = Q(w) sum c_k cos(k w).
    const int N = request.taps;
    const int n = kind.n;
    const std::vector<double>& c = s.cheb;
    h.assign(N, 0.0);
    if (kind.q == QKind::One) {
        const int M = n - 1;
        h[M] = c[0];
        for (int k = 1; k < n; ++k) h[M - k] = h[M + k] = c[k] / 2;
    } else {
        // b[m], m = 1 ... n: A = sum b_m cos((m - 1/2) w), sin(m w) or sin((m - 1/2) w).
        std::vector<double> b(n + 2, 0.0);
        b[1] += c[0];
        for (int k = 1; k < n; ++k) {
            b[k + 1] += c[k] / 2;
            if (kind.q == QKind::CosHalf) b[k] += c[k] / 2;
            if (kind.q == QKind::SinHalf) b[k] -= c[k] / 2;
            if (kind.q == QKind::Sin && k >= 2) b[k - 1] -= c[k] / 2;
        }
        if (kind.q == QKind::CosHalf) {
            for (int m = 1; m <= n; ++m) h[n - m] = h[n - 1 + m] = b[m] / 2;
        } else if (kind.q == QKind::SinHalf) {
            for (int m = 1; m <= n; ++m) {
                h[n - m] = b[m] / 2;
                h[n - 1 + m] = -h[n - m];
            }
        } else {  // Sin: N = 2n + 1, centre n
            for (int m = 1; m <= n; ++m) {
                h[n - m] = b[m] / 2;
                h[n + m] = -h[n - m];
            }
        }
    }
    for (double v : h)
        if (!std::isfinite(v)) {
            res.status = MinimaxStatus::NoConvergence;
            res.detail = "The minimax design did not converge: non-finite coefficients.";
            return false;
        }
    res.status = MinimaxStatus::Converged;
    res.reference = std::move(s.refW);
    res.referenceBand = std::move(s.refBand);
    return true;
}

}  // namespace

std::string CheckMinimaxRequest(const MinimaxRequest& r) {
    if (r.taps < kMinimaxMinTaps || r.taps > kMinimaxMaxTaps)
        return FormatString("The length must be %d ... %d taps.", kMinimaxMinTaps, kMinimaxMaxTaps);
    if (r.gridDensity < 4 || r.gridDensity > 64) return "The grid density must be 4 ... 64.";
    const int nb = static_cast<int>(r.bands.size());
    if (nb < 1 || nb > kMinimaxMaxBands)
        return FormatString("The design needs 1 ... %d bands.", kMinimaxMaxBands);
    for (int i = 0; i < nb; ++i) {
        const MinimaxBand& b = r.bands[i];
        if (!Finite(b.lower) || !Finite(b.upper) || !Finite(b.desired))
            return FormatString("Band %d has a value that is not a number.", i + 1);
        if (!Finite(b.weight) || !(b.weight > 0))
            return FormatString("The weight of band %d must be a finite positive number.", i + 1);
        if (!(b.lower >= 0 && b.lower < b.upper && b.upper <= 0.5))
            return FormatString("Band %d must satisfy 0 <= lower < upper <= Fs/2.", i + 1);
        if (i > 0 && !(r.bands[i - 1].upper < b.lower))
            return FormatString("Bands %d and %d overlap or touch.", i, i + 1);
    }
    if (r.response == MinimaxResponse::Differentiator && !r.bands.empty()) {
        bool any = false;
        for (const auto& b : r.bands) any = any || b.desired != 0;
        if (!any) return "A differentiator needs a band with a nonzero slope.";
    }
    const Kind k = KindOf(r);
    if (k.zeroAtDc && r.bands.front().lower == 0 && GainAt(r, r.bands.front(), 0.0) != 0)
        return FormatString(
            "An %s filter has a zero at 0 Hz: band 1 may reach it only with a gain of 0.",
            KindName(k));
    if (k.zeroAtHalf && r.bands.back().upper == 0.5 && GainAt(r, r.bands.back(), 0.5) != 0)
        return FormatString(
            "An %s filter has a zero at Fs/2: band %d may reach it only with a gain of 0.",
            KindName(k), nb);
    return "";
}

MinimaxResult DesignMinimax(const MinimaxRequest& request, const std::atomic<bool>* cancel,
                            const std::function<void(double)>& progress) {
    MinimaxResult res;
    res.detail = CheckMinimaxRequest(request);
    if (!res.detail.empty()) {
        res.status = MinimaxStatus::Refused;
        return res;
    }
    const Kind kind = KindOf(request);
    minimax::Problem p;
    p.n = kind.n;
    p.q = kind.q;
    p.density = request.gridDensity;
    // A band edge on a zero of Q moves in a hair: there D / Q and W * Q are 0 / 0.
    const double trim = 1e-7;
    for (const MinimaxBand& b : request.bands) {
        minimax::Band pb;
        pb.lo = 2 * M_PI * b.lower;
        pb.hi = 2 * M_PI * b.upper;
        if (kind.zeroAtDc && b.lower == 0) pb.lo = trim;
        if (kind.zeroAtHalf && b.upper == 0.5) pb.hi = M_PI - trim;
        if (!(pb.lo < pb.hi)) {
            res.status = MinimaxStatus::Refused;
            res.detail = "A band is too narrow for this length.";
            return res;
        }
        pb.desired = b.desired;
        pb.weight = b.weight;
        pb.slope = request.response == MinimaxResponse::Differentiator;
        p.bands.push_back(pb);
    }

    p.startW = request.startReference;
    p.startBand = request.startReferenceBand;
    minimax::Ticker ticker(cancel, progress);
    std::vector<double> h;
    // The barycentric values the exchange judges and the coefficients the taps come
    // from can part in double on very deep designs: then once more in long double.
    for (int attempt = 0; attempt < 2; ++attempt) {
        p.extended = attempt > 0;
        if (!DesignTaps(request, kind, p, ticker, attempt ? 0.9 : 0.0, attempt ? 0.99 : 0.9, res,
                        h))
            return res;
        // The response the taps realize must show the design's deviation.
        const double realized = RealizedError(request, h);
        // Taps in double hold the response only to about their rounding, and the grid
        // reads it to that of its FFT: both grow with the sum of |h|.
        // (A differentiator's weight / f has no such bound: none is allowed there.)
        double mass = 0.0, wMax = 0.0;
        for (double v : h) mass += std::abs(v);
        for (const MinimaxBand& b : request.bands) wMax = std::max(wMax, b.weight);
        const double floor = request.response == MinimaxResponse::Differentiator
                                 ? 0.0
                                 : 16 * std::numeric_limits<double>::epsilon() * mass * wMax;
        if (realized <= res.deviation * 1.001 + floor) break;
        res.status = MinimaxStatus::NoConvergence;
        res.detail = FormatString(
            "The minimax design did not converge: its taps realize a deviation of %.4g, not "
            "the design's %.4g (beyond the precision of the arithmetic).",
            realized, res.deviation);
        if (res.extendedPrecision) return res;
    }
    res.taps = std::move(h);
    res.status = MinimaxStatus::Converged;
    if (progress) progress(1.0);
    return res;
}

double PassDeviationFromDb(double rippleDb) {
    if (!std::isfinite(rippleDb) || !(rippleDb > 0)) return std::nan("");
    const double g = std::pow(10.0, rippleDb / 20.0);
    return (g - 1) / (g + 1);
}

double StopDeviationFromDb(double attenDb) {
    if (!std::isfinite(attenDb) || !(attenDb > 0)) return std::nan("");
    return std::pow(10.0, -attenDb / 20.0);
}

int EstimateMinimaxLength(double dp, double ds, double df) {
    if (!(dp > 0 && dp < 1 && ds > 0 && ds < 1 && df > 0 && std::isfinite(df))) return 0;
    // Herrmann, Rabiner and Chan's D_inf and f(dp, ds); the formula takes dp >= ds.
    if (dp < ds) std::swap(dp, ds);
    const double lp = std::log10(dp), ls = std::log10(ds);
    const double dinf = (0.005309 * lp * lp + 0.07114 * lp - 0.4761) * ls +
                        (-0.00266 * lp * lp - 0.5941 * lp - 0.4278);
    const double f = 11.01217 + 0.51244 * (lp - ls);
    const double n = dinf / df - f * df + 1;
    if (!std::isfinite(n)) return 0;
    return static_cast<int>(std::clamp(std::ceil(n), 3.0, 1e9));
}

double SpecWeightedError(const std::vector<double>& taps, const MinimaxLengthSpec& spec) {
    const double dp = PassDeviationFromDb(spec.passRippleDb);
    const double ds = StopDeviationFromDb(spec.stopAttenDb);
    const int N = static_cast<int>(taps.size());
    if (N == 0 || !std::isfinite(dp) || !std::isfinite(ds)) return std::nan("");
    const int M = DenseGrid(N, 64);
    const std::vector<double> mag = ZeroPaddedMagnitude(taps.data(), N, M);
    if (mag.empty()) return std::nan("");
    double worst = 0.0;
    for (const MinimaxBand& b : spec.bands) {
        const bool pass = b.desired > 0;
        auto errorAt = [&](int, double m) {
            return pass ? std::abs(m - b.desired) / (dp * b.desired) : m / ds;
        };
        const double e0 = errorAt(0, MagnitudeAt(taps, b.lower));
        const double e1 = errorAt(0, MagnitudeAt(taps, b.upper));
        worst = std::max(worst, BandMax(mag, M, b.lower, b.upper, e0, e1, errorAt));
    }
    return worst;
}

MinimaxLengthResult FindShortestMinimax(const MinimaxLengthSpec& spec,
                                        const std::atomic<bool>* cancel,
                                        const std::function<void(double)>& progress) {
    MinimaxLengthResult out;
    const double dp = PassDeviationFromDb(spec.passRippleDb);
    const double ds = StopDeviationFromDb(spec.stopAttenDb);
    if (!std::isfinite(dp) || !std::isfinite(ds)) {
        out.detail = "The pass-band ripple and stop-band attenuation must be positive numbers.";
        return out;
    }
    if (spec.bands.size() < 2) {
        out.detail = "The search needs at least two bands (one transition).";
        return out;
    }
    MinimaxRequest req;
    req.response = MinimaxResponse::Multiband;
    req.antisymmetric = spec.antisymmetric;
    req.gridDensity = spec.gridDensity;
    req.bands = spec.bands;
    double df = 0.5;
    for (size_t i = 0; i < req.bands.size(); ++i) {
        MinimaxBand& b = req.bands[i];
        if (b.desired < 0 || !std::isfinite(b.desired)) {
            out.detail = "Each band's gain must be 0 (stop) or positive (pass).";
            return out;
        }
        b.weight = b.desired > 0 ? 1.0 / (dp * b.desired) : 1.0 / ds;
        if (i > 0) df = std::min(df, b.lower - req.bands[i - 1].upper);
    }
    const int maxTaps = std::clamp(spec.maxTaps, kMinimaxMinTaps, kMinimaxMaxTaps);
    auto allowed = [&](int N) {
        req.taps = N;
        return N >= kMinimaxMinTaps && N <= maxTaps && (!spec.oddOnly || N % 2 != 0) &&
               CheckMinimaxRequest(req).empty();
    };
    req.taps = maxTaps;
    if (std::string why = CheckMinimaxRequest(req); !why.empty() && allowed(maxTaps - 1) == false) {
        out.detail = why;
        return out;
    }
    out.estimate = EstimateMinimaxLength(dp, ds, df);
    auto snap = [&](int N) {  // nearest allowed length at or above N (or below the top)
        N = std::clamp(N, kMinimaxMinTaps, maxTaps);
        for (int k = N; k <= maxTaps; ++k)
            if (allowed(k)) return k;
        for (int k = N; k >= kMinimaxMinTaps; --k)
            if (allowed(k)) return k;
        return 0;
    };
    auto below = [&](int N) {
        for (int k = N - 1; k >= kMinimaxMinTaps; --k)
            if (allowed(k)) return k;
        return 0;
    };

    minimax::Ticker ticker(cancel, progress);
    struct Trial {
        int N;
        double err;  // the spec-weighted error on the dense grid
        MinimaxResult design;
    };
    std::deque<Trial> tried;  // stable addresses: trials are referred to by pointer
    std::string failure;
    auto design = [&](int N) -> const Trial* {
        for (const Trial& t : tried)
            if (t.N == N) return &t;
        req.taps = N;
        // Start from the reference of the nearest length designed so far.
        const Trial* near = nullptr;
        for (const Trial& t : tried)
            if (!near || std::abs(t.N - N) < std::abs(near->N - N)) near = &t;
        req.startReference = near ? near->design.reference : std::vector<double>{};
        req.startReferenceBand = near ? near->design.referenceBand : std::vector<int>{};
        ++out.designsTried;
        ticker.Set(std::min(0.95, 0.15 * out.designsTried));
        MinimaxResult r = DesignMinimax(req, cancel, [&](double) { ticker.Poll(); });
        if (r.status != MinimaxStatus::Converged) {
            failure = r.detail;
            if (r.status == MinimaxStatus::Cancelled) ticker.Set(0);
            out.status = r.status;
            return nullptr;
        }
        // The exchange's own deviation is the spec-weighted error (the weights are
        // the spec's), read at refined peaks, and the taps were checked to realize
        // it; the length found is verified on the spec's grid at the end.
        const double err = r.deviation;
        tried.push_back({N, err, std::move(r)});
        return &tried.back();
    };

    // dB of weighted error gained per tap, first from the usual rule of thumb, then
    // from the designs themselves.
    double slope = std::max(14.6 * df, 1e-6);
    int N = snap(out.estimate);
    int lowFail = 0, highPass = 0;
    const Trial* highTrial = nullptr;
    for (int guard = 0; guard < 60; ++guard) {
        if (N == 0) break;
        const Trial* t = design(N);
        if (!t) {
            out.detail = failure;
            return out;
        }
        const double db = 20 * std::log10(std::max(t->err, 1e-300));
        if (t->err <= 1.0) {
            if (!highPass || N < highPass) {
                highPass = N;
                highTrial = t;
            }
        } else if (N > lowFail) {
            lowFail = N;
        }
        // The slope from the last two designs, when they are far enough apart: odd
        // and even lengths alternate around the trend.
        if (tried.size() >= 2) {
            const Trial& a = tried[tried.size() - 2];
            const Trial& b = tried.back();
            if (std::abs(a.N - b.N) >= 4 && a.err > 0 && b.err > 0) {
                const double s = (20 * std::log10(a.err) - 20 * std::log10(b.err)) / (b.N - a.N);
                if (s > 1e-6 && std::isfinite(s)) slope = s;
            }
        }
        if (highPass && (below(highPass) == 0 || below(highPass) <= lowFail)) break;
        int next;
        if (highPass && lowFail) {
            // Inside the bracket: step from the failing end by the predicted count.
            next = N + static_cast<int>(std::lround(db / slope));
            next = std::clamp(next, lowFail + 1, highPass - 1);
        } else {
            const int step = static_cast<int>(std::ceil(std::abs(db) / slope));
            next = t->err > 1.0 ? N + std::max(step, 1) : N - std::max(step - 1, 1);
        }
        if (highPass) next = std::min(next, below(highPass));
        if (next <= lowFail) next = lowFail + 1;
        next = snap(next);
        if (highPass && next >= highPass) next = below(highPass);
        if (next == N || next == 0) {
            if (t->err > 1.0 && N >= maxTaps) break;
            next = t->err > 1.0 ? snap(N + 1) : below(N);
            if (next == 0) break;
        }
        N = next;
        if (ticker.Poll()) break;
    }
    if (ticker.cancelled()) {
        out.status = MinimaxStatus::Cancelled;
        out.detail = "The search was cancelled.";
        return out;
    }
    // A length whose taps miss the spec on the dense grid (by the taps check's last
    // 0.1 %) gives way to the next one.
    while (highTrial &&
           !(highTrial->err <= 1.0 && SpecWeightedError(highTrial->design.taps, spec) <= 1.0)) {
        const int next = snap(highTrial->N + 1);
        highTrial = next > highTrial->N ? design(next) : nullptr;
        if (!highTrial && !failure.empty()) {
            out.detail = failure;  // design() has set the status
            return out;
        }
    }
    if (!highTrial) {
        out.status = MinimaxStatus::NoConvergence;
        out.detail = FormatString("No length up to %d taps meets the spec.", maxTaps);
        return out;
    }
    out.status = MinimaxStatus::Converged;
    out.taps = highTrial->N;
    out.design = highTrial->design;
    if (progress) progress(1.0);
    return out;
}

}  // namespace tapwright
