#pragma once

// Optimal (minimax, Parks-McClellan) linear-phase FIR design by the Remez exchange,
// and the search for the shortest such filter that meets a ripple/attenuation spec.
// Pure C++; every frequency here is in cycles per sample (0 ... 0.5 = Fs/2).

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace tapwright {

inline constexpr int kMinimaxMinTaps = 3;
inline constexpr int kMinimaxMaxTaps = 131071;
inline constexpr int kMinimaxMaxBands = 10;

// One band of the approximation. lower < upper, both in 0 ... 0.5; bands ascend and
// do not touch (upper of one < lower of the next). desired: the gain for Multiband
// and Hilbert; for Differentiator the slope, the wanted gain being desired * f.
// weight: finite and > 0; the error in the band is multiplied by it (for a
// Differentiator band with a nonzero slope, by weight / f).
struct MinimaxBand {
    double lower = 0.0;
    double upper = 0.0;
    double desired = 0.0;
    double weight = 1.0;
};

enum class MinimaxResponse { Multiband, Differentiator, Hilbert };

// Linear phase of the four kinds: odd/even length x symmetric/antisymmetric.
// Symmetric even length has a zero at 0.5, antisymmetric odd length zeros at 0 and
// 0.5, antisymmetric even length a zero at 0: a band reaching such a zero with a
// nonzero gain there is refused.
struct MinimaxRequest {
    int taps = 0;  // kMinimaxMinTaps ... kMinimaxMaxTaps
    MinimaxResponse response = MinimaxResponse::Multiband;
    // Multiband only: antisymmetric taps (h[k] = -h[N-1-k]); Differentiator and
    // Hilbert are always antisymmetric.
    bool antisymmetric = false;
    std::vector<MinimaxBand> bands;  // 1 ... kMinimaxMaxBands
    // Fine-grid points per extremal frequency, 4 ... 64; extrema found on the grid
    // are refined between grid points.
    int gridDensity = 16;
    // The `reference` of a converged design over the same bands at another length,
    // to start the exchange from (the length search passes it on); may be empty.
    std::vector<double> startReference;
    std::vector<int> startReferenceBand;
};

enum class MinimaxStatus {
    Converged,      // taps are the minimax design; spread <= the tolerance
    NoConvergence,  // the exchange stalled; taps empty, detail says why
    Refused,        // the request is not a valid problem; detail says which rule
    Cancelled,      // *cancel became true; taps empty
};

struct MinimaxResult {
    MinimaxStatus status = MinimaxStatus::Refused;
    std::vector<double> taps;        // Converged only: exactly (anti)symmetric, all finite
    double deviation = 0.0;          // the largest weighted error at the extremal frequencies
    double spread = 0.0;             // (max - min) / max of the extremal weighted errors
    int iterations = 0;              // exchanges of the final (full-length) problem
    bool extendedPrecision = false;  // the design needed long double
    std::string detail;              // the reason when not Converged
    // Converged only: the final reference (radians, band index each), for
    // MinimaxRequest::startReference.
    std::vector<double> reference;
    std::vector<int> referenceBand;
};

// Relative spread of the extremal errors below which the exchange has converged.
inline constexpr double kMinimaxSpreadTolerance = 1e-6;

// The minimax design. Double precision first; long double where double stalls or
// where the taps would not realize the design's deviation. Converged taps are checked
// on a dense grid of their own response (largest weighted error within 0.1 % of
// deviation). cancel (may be null) is polled often enough to stop within about
// 0.1 s; progress (may be empty) gets a fraction 0 ... 1 at least once a second.
MinimaxResult DesignMinimax(const MinimaxRequest& request,
                            const std::atomic<bool>* cancel = nullptr,
                            const std::function<void(double)>& progress = {});

// "" when the request is a valid problem, else the reason it is refused.
std::string CheckMinimaxRequest(const MinimaxRequest& request);

// Shortest-length search. Bands with desired > 0 are pass bands (gain = desired,
// allowed deviation passRipple * desired), desired == 0 stop bands (allowed
// deviation from the stop attenuation). Band weights are ignored: they follow from
// the two allowed deviations (weight = 1 / allowed deviation, so the spec is met
// when the weighted minimax deviation is at most 1).
struct MinimaxLengthSpec {
    std::vector<MinimaxBand> bands;
    double passRippleDb = 1.0;   // > 0: 20*log10((1 + dp) / (1 - dp))
    double stopAttenDb = 60.0;   // > 0: -20*log10(ds)
    bool antisymmetric = false;  // as in MinimaxRequest (Multiband)
    bool oddOnly = false;        // only odd lengths are tried
    int gridDensity = 16;
    int maxTaps = kMinimaxMaxTaps;
};

struct MinimaxLengthResult {
    MinimaxStatus status = MinimaxStatus::Refused;
    int estimate = 0;      // the length formula's first guess
    int taps = 0;          // the shortest length found (Converged only)
    int designsTried = 0;  // full designs run by the search
    MinimaxResult design;  // the design of that length
    std::string detail;
};

// Deviations from the dB figures: dp from the peak-to-peak pass ripple, ds from
// the stop attenuation. Non-positive or non-finite figures give NaN.
double PassDeviationFromDb(double rippleDb);
double StopDeviationFromDb(double attenDb);

// Herrmann's length estimate for the narrowest transition of the bands, >= 3.
// Not finite or not positive inputs give 0.
int EstimateMinimaxLength(double passDeviation, double stopDeviation, double transitionWidth);

// The largest weighted error of taps against the spec's bands on a dense grid
// (the weights as in MinimaxLengthSpec); <= 1 means the spec is met.
double SpecWeightedError(const std::vector<double>& taps, const MinimaxLengthSpec& spec);

// The shortest length whose minimax design meets the spec, verified on a dense grid
// (and the length one shorter verified not to meet it).
MinimaxLengthResult FindShortestMinimax(const MinimaxLengthSpec& spec,
                                        const std::atomic<bool>* cancel = nullptr,
                                        const std::function<void(double)>& progress = {});

}  // namespace tapwright
