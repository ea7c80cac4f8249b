// Equiripple design by iteratively reweighted least squares.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "core/design_constants.h"
#include "core/equiripple_steps.h"
#include "core/fir_design.h"
#include "core/matrix.h"

namespace tapwright {

namespace {

using equiripple::Constraints;
using equiripple::Envelope;
using equiripple::Extrema;
using equiripple::FindExtrema;
using equiripple::LiftSmallExtrema;
using equiripple::Reweight;

// Number of half coefficients (basis functions) of a length-N filter.
int HalfCount(int N, SymmetryType symmetry) {
    return symmetry == SymmetricOdd ? N / 2 + 1 : N / 2;
}

// Basis function i at angular frequency w (radians per sample). The amplitude of the
// filter written from the half coefficients Q is sum_i Q(i) * b_i(w).
double Basis(SymmetryType symmetry, int i, double w) {
    switch (symmetry) {
        case SymmetricOdd:
            return std::cos(i * w);
        case SymmetricEven:
            return std::cos((i + 0.5) * w);
        case AntisymmetricOdd:
            return std::sin((i + 1) * w);
        default:
            return std::sin((i + 0.5) * w);
    }
}

enum class RatioTest { Difference, Quotient };

class ProgressTexts {
  public:
    ProgressTexts(ProgressSink* sink, int limit) : sink_(sink), limit_(limit) {}

    void Start() {
        Set(ProgressText::Processing, true);
        Repaint(ProgressText::Processing);
    }

    // After solve number `done` (1-based) of `limit_`.
    void AfterSolve(int done) {
        if (sink_) sink_->SolvesDone(done, limit_);
        if (limit_ > 3) {
            const int stage = done / (limit_ / 4);
            if (stage != stage_ && stage >= 1 && stage <= 3) {
                static constexpr ProgressText kShown[] = {ProgressText::Quarter, ProgressText::Half,
                                                          ProgressText::ThreeQuarters};
                static constexpr ProgressText kHidden[] = {
                    ProgressText::Processing, ProgressText::Quarter, ProgressText::Half};
                Change(kShown[stage - 1], kHidden[stage - 1]);
            }
            stage_ = stage;
        } else if (limit_ == 3) {
            if (done == 1) Change(ProgressText::Quarter, ProgressText::Processing);
            if (done == 2) Change(ProgressText::ThreeQuarters, ProgressText::Quarter);
        } else if (limit_ == 2) {
            Change(ProgressText::Half, ProgressText::Processing);
        }
        Repaint(ProgressText::Processing);
    }

    void Finish() {
        for (int t = 0; t < kProgressTextCount; ++t) Set(static_cast<ProgressText>(t), false);
        for (int t = 0; t < kProgressTextCount; ++t) Repaint(static_cast<ProgressText>(t));
    }

  private:
    void Change(ProgressText shown, ProgressText hidden) {
        Set(shown, true);
        Set(hidden, false);
        Repaint(shown);
        Repaint(hidden);
    }
    void Set(ProgressText t, bool visible) {
        if (sink_) sink_->SetProgressVisible(t, visible);
    }
    void Repaint(ProgressText t) {
        if (sink_) sink_->RepaintProgress(t);
    }

    ProgressSink* sink_;
    int limit_;
    int stage_ = 0;
};

// Q = (A^T W A)^-1 (A^T W d) with W = diag(w), or nothing for a singular matrix.
// Without weights the plain normal equations are solved. The inverse is applied to
// the n-vector A^T W d rather than to the n x L matrix A^T W: the same product,
// without a second n * n * L multiplication. The products reuse the storage of the
// previous solve.
class Solver {
  public:
    Solver(const Matrix& a, const Matrix& d) : a_(a), d_(d) {}

    MatrixPtr Solve(const std::vector<double>* w) {
        NormalEquationsInto(a_, w ? w->data() : nullptr, d_, normal_, projected_);
        pivots_.clear();
        MatrixPtr inverse = Invert(normal_, &pivots_);
        if (!inverse) return nullptr;
        const auto [smallest, largest] = std::minmax_element(pivots_.begin(), pivots_.end());
        condition_ = pivots_.empty() ? 1.0 : *largest / *smallest;
        return Multiply(*inverse, projected_);
    }

    // Largest over smallest pivot magnitude of the last successful solve.
    double Condition() const { return condition_; }

  private:
    const Matrix& a_;
    const Matrix& d_;
    std::vector<double> pivots_;
    double condition_ = 1.0;
    Matrix normal_;
    Matrix projected_;
};

// Whether the request's cancel flag is raised. A long design asks between its long
// steps, each of which takes up to a good part of a second at 511 taps.
bool CancelRaised(const EquirippleRequest& request) {
    return request.cancel != nullptr && request.cancel->load();
}

struct SolveOutcome {
    bool singular = false;
    bool cancelled = false;
    int solves = 0;         // reweighted solves done
    MatrixPtr q;            // final half coefficients
    bool ratioSet = false;  // whether the stopping test computed a ratio
    double ratio = 0.0;
    double condition = 0.0;  // of the solve that gave q
};

// Most reweighted solves a request allows.
int SolveLimit(const EquirippleRequest& request) {
    return request.termination == ByPeakRatio ? kRatioSolveLimit : request.iterations;
}

// The reweighting loop shared by both variants. Constraint rows of A are the basis
// at each constraint point; errors are read from the dense grid rows.
SolveOutcome RunIterations(const Constraints& c, const Matrix& dense, int n,
                           const EquirippleRequest& request, RatioTest test,
                           ProgressTexts& progress) {
    const SymmetryType symmetry = request.symmetry;
    const double ratioTarget = request.ratioTarget;
    const bool testRatio = request.termination == ByPeakRatio && ratioTarget > 0.0;
    SolveOutcome out;
    auto cancelled = [&] {
        out.cancelled = CancelRaised(request);
        return out.cancelled;
    };
    if (cancelled()) return out;
    const int L = c.Count();
    MatrixPtr a = NewMatrix(L, n);
    MatrixPtr d = NewMatrix(L, 1);
    for (int r = 0; r < L; ++r) {
        // A point on the grid has the very same angle as its grid row.
        if (c.onGrid[r]) {
            a->data[r] = dense.data[c.denseRow[r]];
        } else {
            for (int i = 0; i < n; ++i) a->data[r][i] = Basis(symmetry, i, c.omega[r]);
        }
        d->data[r][0] = c.desired[r];
    }
    if (cancelled()) return out;
    Solver solver(*a, *d);
    if (cancelled()) return out;
    out.q = solver.Solve(nullptr);
    if (!out.q) {
        out.singular = true;
        return out;
    }

    const int limit = SolveLimit(request);
    // The grid rows whose amplitudes the errors compare, packed so that the
    // amplitudes of an iteration come from one pass over them.
    std::vector<const double*> errorRows(limit > 0 ? static_cast<std::size_t>(L) : 0);
    for (std::size_t r = 0; r < errorRows.size(); ++r) {
        errorRows[r] = dense.data[c.denseRow[r]].data();
    }
    const MatrixPtr errorPanels = PackRowPanels(errorRows, static_cast<std::uint32_t>(n));
    std::vector<double> half(static_cast<std::size_t>(n));
    std::vector<double> weights(static_cast<std::size_t>(L), 1.0);
    std::vector<double> peaks(static_cast<std::size_t>(std::max(limit, 0)) + 1, 0.0);
    std::vector<double> error(static_cast<std::size_t>(L));
    std::vector<double> amplitude(static_cast<std::size_t>(L));
    int i = 0;
    while (i < limit) {
        for (int k = 0; k < n; ++k) half[k] = out.q->data[k][0];
        MultiplyPanelsVector(*errorPanels, static_cast<std::uint32_t>(L), half.data(),
                             amplitude.data());
        double peak = 0.0;
        for (int r = 0; r < L; ++r) {
            error[r] = std::fabs(amplitude[r] - c.desired[r]);
            peak = std::max(peak, error[r]);
        }
        peaks[i] = peak;

        if (i > 0 && testRatio) {
            const double ratio = test == RatioTest::Difference ? std::fabs(peaks[i - 1] - peaks[i])
                                                               : std::fabs(peaks[i - 1] / peaks[i]);
            // A quotient of a zero peak has no meaning: keep iterating without a ratio.
            if (std::isfinite(ratio)) {
                out.ratioSet = true;
                out.ratio = ratio;
                if (ratio <= ratioTarget) break;
            }
        }

        Extrema x = FindExtrema(c, error);
        LiftSmallExtrema(x);
        Reweight(Envelope(c, x), request.exponent, weights);

        if (cancelled()) return out;
        MatrixPtr q = solver.Solve(&weights);
        if (!q) {
            out.singular = true;
            return out;
        }
        out.q = std::move(q);
        ++i;
        progress.AfterSolve(i);
    }
    out.solves = i;
    out.condition = solver.Condition();
    return out;
}

// The basis rows of the dense grid, or nothing when the request was cancelled
// meanwhile.
MatrixPtr DenseBasis(int G, double df, int n, const EquirippleRequest& request) {
    const SymmetryType symmetry = request.symmetry;
    if (CancelRaised(request)) return nullptr;
    MatrixPtr b = NewMatrix(G + 1, n);
    for (int t = 0; t <= G; ++t) {
        if (t % 1024 == 0 && CancelRaised(request)) return nullptr;
        const double w = kTwoPi * (t * df);
        for (int i = 0; i < n; ++i) b->data[t][i] = Basis(symmetry, i, w);
    }
    return b;
}

// Writes the N coefficients from the half coefficients; the amplitude of the result
// is exactly sum_i Q(i) * b_i.
void WriteCoefficients(std::vector<double>& h, const Matrix& q, int N, SymmetryType symmetry) {
    h.assign(static_cast<std::size_t>(N), 0.0);
    const int n = static_cast<int>(q.rows);
    const int M = N / 2;
    for (int i = 0; i < n; ++i) {
        const double half = q.data[i][0] / 2.0;
        switch (symmetry) {
            case SymmetricOdd:
                if (i == 0) {
                    h[M] = q.data[0][0];
                } else {
                    h[M - i] = half;
                    h[M + i] = half;
                }
                break;
            case SymmetricEven:
                h[n - 1 - i] = half;
                h[n + i] = half;
                break;
            case AntisymmetricOdd:
                h[M - 1 - i] = half;
                h[M + 1 + i] = -half;
                break;
            default:
                h[n - 1 - i] = half;
                h[n + i] = -half;
                break;
        }
    }
}

// Solves for the constraints, then commits the design with its response on the
// grid, its band table being the rows behind `edges`. A singular matrix leaves the
// previous design whole.
DesignResult SolveAndStore(CFirDesign& design, const Constraints& c, int G, double df, int n,
                           const EquirippleRequest& request,
                           const std::vector<std::pair<double, double>>& edges, RatioTest test,
                           ProgressTexts& progress) {
    const int N = request.taps;
    MatrixPtr dense = DenseBasis(G, df, n, request);
    SolveOutcome outcome;
    if (dense) {
        outcome = RunIterations(c, *dense, n, request, test, progress);
    } else {
        outcome.cancelled = true;
    }
    progress.Finish();
    if (outcome.cancelled) return {DesignStatus::Cancelled};
    if (outcome.singular) return {DesignStatus::Singular};
    if (outcome.ratioSet) design.rippleRatio = outcome.ratio;
    design.conditionEstimate = outcome.condition;

    design.length = N;
    design.responseType = request.responseType;
    design.bandCount = static_cast<int>(edges.size());
    for (std::size_t j = 0; j < edges.size(); ++j) {
        design.bandEdges[j] = edges[j];
        design.bandGains[j] = request.bands[j].Amplitude;
    }
    WriteCoefficients(design.coeffs, *outcome.q, N, request.symmetry);
    design.EvaluateBasisResponse(G, n, *dense, *outcome.q, request.symmetry);
    return {DesignStatus::Designed, N, outcome.solves};
}

// The grid of a design of N taps: points t = 0 ... G at t*df cycles per sample (the
// last at half the sampling rate), and the n half coefficients solved for.
struct Grid {
    int N;
    int n;
    int G;
    double df;
};

Grid GridOf(const EquirippleRequest& request) {
    const int N = request.taps;
    const int G = 32 * N + 1;
    return {N, HalfCount(N, request.symmetry), G, 0.5 / G};
}

// Whether the request can be designed, reading the first `rows` rows of the table.
bool ValidRequest(const EquirippleRequest& request, int rows) {
    const int N = request.taps;
    const SymmetryType symmetry = request.symmetry;
    if (rows < 1 || rows > kDesignBandSlots ||
        static_cast<std::size_t>(rows) > request.bands.size() || !(request.Fs > 0.0f) || N < 3 ||
        N > kMaxEquirippleTaps || symmetry < 0 || symmetry >= kSymmetryTypeCount) {
        return false;
    }
    const bool oddLength = N % 2 == 1;
    return oddLength == (symmetry == SymmetricOdd || symmetry == AntisymmetricOdd);
}

}  // namespace

DesignResult CFirDesign::DesignEquiripple(const EquirippleRequest& request) {
    if (!ValidRequest(request, request.bandCount)) return {};
    const std::span<const BandSpec> bands = request.bands;
    const int bandCount = request.bandCount;
    const float Fs = request.Fs;
    const auto [N, n, G, df] = GridOf(request);
    ProgressTexts progress(request.progress, SolveLimit(request));
    progress.Start();

    std::vector<std::pair<double, double>> edges(static_cast<std::size_t>(bandCount));
    Constraints c;
    for (int j = 0; j < bandCount; ++j) {
        const double lo = bands[j].Lower / Fs;
        const double hi = bands[j].Upper / Fs;
        edges[j] = {lo, hi};
        // Edges beyond half the sampling rate are cut at the end of the grid.
        const int first = TruncClamp(lo / df, 0, G + 1);
        const int end = TruncClamp(hi / df, 0, G + 1);
        const int points = std::max(0, end - first);
        c.bandPoints.push_back(points);
        for (int k = 0; k < points; ++k) {
            const double position = lo / df + k;  // in grid steps
            c.Add(kTwoPi * (position * df), bands[j].Amplitude, first + k,
                  position == static_cast<double>(first + k));
        }
    }
    const int L = c.Count();
    const DesignResult result =
        SolveAndStore(*this, c, G, df, n, request, edges, RatioTest::Difference, progress);
    if (!result.Designed()) return result;
    // The edge markers of the pass and stop band views: the transition between the
    // first two bands, in Hz (the window designs set them from cutoff and width).
    passEdge = bands[0].Upper;
    stopEdge = bandCount >= 2 ? bands[1].Lower : bands[0].Upper;

    const ResponseType responseType = request.responseType;
    if (responseType == LowPass || responseType == HighPass) {
        const int b = TruncClamp(edges[0].second / df, 0, G);
        const double gap = bandCount >= 2 ? std::fabs(bands[1].Lower - bands[0].Upper) : 10.0;
        const int end = gap < 10.0 ? static_cast<int>(gap) + L - 10 : L;
        auto clampIndex = [G](int i) { return std::clamp(i, 0, G); };
        if (responseType == LowPass) {
            passBegin = 0;
            passEnd = clampIndex(b + 1);
            stopBegin = clampIndex(b + 2);
            stopEnd = clampIndex(end);
        } else {
            passBegin = clampIndex(b + 1);
            passEnd = clampIndex(end);
            stopBegin = 0;
            stopEnd = clampIndex(b);
        }
    }
    return result;
}

}  // namespace tapwright

namespace tapwright {

DesignResult CFirDesign::DesignEquirippleDifferentiator(const EquirippleRequest& request) {
    // The differentiator always reads the first three rows of the band table.
    if (!ValidRequest(request, std::max(request.bandCount, 3))) return {};
    const std::span<const BandSpec> bands = request.bands;
    const float Fs = request.Fs;
    const auto [N, n, G, df] = GridOf(request);
    ProgressTexts progress(request.progress, SolveLimit(request));
    progress.Start();

    const int stored = std::clamp(request.bandCount, 1, kDesignBandSlots);
    std::vector<std::pair<double, double>> edges(static_cast<std::size_t>(std::max(stored, 3)));
    for (std::size_t j = 0; j < edges.size(); ++j) {
        edges[j] = {bands[j].Lower / Fs, bands[j].Upper / Fs};
    }
    const double g0 = bands[0].Amplitude, g1 = bands[1].Amplitude, g2 = bands[2].Amplitude;

    Constraints c;
    // Band 0: grid points from 0 up to its upper edge.
    const int p0 = TruncClamp(edges[0].second / df, 0, G + 1);
    for (int t = 0; t < p0; ++t) c.Add(kTwoPi * (t * df), g0, t, true);
    // Band 1: the rising slope, from its lower edge.
    const double lo1 = edges[1].first;
    const int first1 = TruncClamp(lo1 / df, 0, G + 1);
    const int p1 = std::min(TruncClamp((edges[1].second - lo1) / df, 0, G + 1), G + 1 - first1);
    const double slope = p1 > 1 ? (g1 - g0) / (p1 - 1) : 0.0;
    for (int q = 0; q < p1; ++q) {
        const double position = lo1 / df + q;
        c.Add(kTwoPi * (position * df), q * slope, first1 + q,
              position == static_cast<double>(first1 + q));
    }
    // Band 2: every grid point from its lower edge to half the sampling rate.
    const int s2 = TruncClamp(edges[2].first / df, 0, G + 1);
    const double d2 = s2 == G - 1 ? g1 : g2;
    for (int t = s2; t <= G; ++t) c.Add(kTwoPi * (t * df), d2, t, true);
    c.bandPoints = {p0, p1, G - s2 + 1};

    edges.resize(static_cast<std::size_t>(stored));
    return SolveAndStore(*this, c, G, df, n, request, edges, RatioTest::Quotient, progress);
}

bool CFirDesign::EvaluateBasisResponse(int K, int n, const Matrix& basis, const Matrix& a,
                                       SymmetryType symmetry) {
    if (K < 1 || n < 0 || static_cast<std::uint32_t>(K) > basis.rows ||
        static_cast<std::uint32_t>(n) > basis.cols || static_cast<std::uint32_t>(n) > a.rows) {
        return false;
    }
    pointCount = K;
    spectrum.assign(static_cast<std::size_t>(K), {});
    magnitude.assign(static_cast<std::size_t>(K), 0.0);
    magnitudeDb.assign(static_cast<std::size_t>(K), 0.0);
    for (int i = 0; i < K; ++i) {
        double re = 0.0;
        for (int j = 0; j < n; ++j) re += basis.data[i][j] * a.data[j][0];
        spectrum[i] = {re, 0.0};
        magnitude[i] = std::fabs(re);
        magnitudeDb[i] = 20.0 * std::log10(magnitude[i]);
    }
    ForceZeros(symmetry, {K - 1}, {0}, 1e-7);
    return true;
}

}  // namespace tapwright
