#pragma once

// The design object: coefficients, window, responses and band ranges of the
// current design, with the window-method and equiripple designs that fill it.
// Frequencies are in Hz unless a name says "normalised" (cycles per sample).

#include <array>
#include <atomic>
#include <complex>
#include <initializer_list>
#include <span>
#include <utility>
#include <vector>

#include "core/filter_spec.h"

namespace tapwright {

struct Matrix;

// Room of the equiripple band table held by the design object.
inline constexpr int kDesignBandSlots = 100;

// The four progress texts of an equiripple design, in the order of the window.
enum class ProgressText : int { Processing = 0, Quarter = 1, Half = 2, ThreeQuarters = 3 };
inline constexpr int kProgressTextCount = 4;

// Exact text of a progress text.
const char* ProgressTextString(ProgressText text);

// What an equiripple design shows while it runs. The window shows and repaints its
// static texts at once; tests record the calls.
class ProgressSink {
  public:
    virtual ~ProgressSink() = default;
    virtual void SetProgressVisible(ProgressText text, bool visible) = 0;
    virtual void RepaintProgress(ProgressText text) = 0;
    // After each reweighted solve: `done` of at most `limit` solves (the design may
    // stop earlier when it reaches its ratio). Called on the designing thread.
    virtual void SolvesDone(int /*done*/, int /*limit*/) {}
};

// What a design routine did. A design that is not Designed has changed nothing.
enum class DesignStatus {
    Designed,
    Singular,      // the equiripple normal equations met a singular matrix
    Refused,       // arguments the routine cannot design (length, parity, points, bands)
    Cancelled,     // the caller's cancel flag was raised while the equiripple design ran
    NotConverged,  // the minimax exchange did not converge, or no length meets the spec
};

struct DesignResult {
    DesignStatus status = DesignStatus::Refused;
    int length = 0;  // taps designed; DesignWindowAuto's estimated length
    int solves = 0;  // equiripple: reweighted solves after the plain least-squares one

    bool Designed() const { return status == DesignStatus::Designed; }
};

// What an equiripple design is asked for.
struct EquirippleRequest {
    ResponseType responseType = LowPass;  // kept with the design; low and high pass get band ranges
    // The band table: edges in Hz (cut at Fs/2), amplitudes >= 0. The first bandCount
    // rows (1 ... kDesignBandSlots) are designed for; the differentiator always reads
    // the first three rows. Rows beyond those are never read.
    std::span<const BandSpec> bands;
    int bandCount = 0;
    float Fs = 0.0f;  // Hz, > 0
    int taps = 0;     // 3 ... kMaxEquirippleTaps, odd exactly for the odd characteristics
    SymmetryType symmetry = SymmetricOdd;
    // ByIterations: `iterations` reweighted solves. ByPeakRatio: at most
    // kRatioSolveLimit, stopping once the change of the peak error between two solves
    // (their quotient for the differentiator) is at most ratioTarget; a target of 0
    // runs them all without testing.
    TerminationCriterion termination = ByIterations;
    int iterations = 0;
    double ratioTarget = 0.0;
    double exponent = 1.5;             // of the reweighting
    ProgressSink* progress = nullptr;  // may be null
    // Read before every solve (may be null): once it is true the design stops and
    // returns Cancelled, changing nothing. Another thread may raise it.
    const std::atomic<bool>* cancel = nullptr;
};

class CFirDesign {
  public:
    // I0(x) by its power series with `terms` terms (the constant term included).
    static double BesselI0(double x, int terms);

    // Window design of length N (1 ... kMaxTaps, of the parity the response type and
    // symmetry place) with K frequency points (>= 2). f1, f2, Fs in Hz; beta 0 ... 15
    // for the Kaiser window. Designed, or Refused (nothing changed).
    DesignResult DesignWindow(ResponseType responseType, DesignMethod method, float f1, float f2,
                              float Fs, int N, int K, double beta, SymmetryType symmetry);

    // Window design whose length (and Kaiser beta) is estimated from the transition
    // width Tw (Hz) and the ripples (PBrip >= 0 dB, SBrip <= 0 dB). Differentiator and
    // Hilbert designs run DesignWindow at the given N, beta and symmetry instead.
    // Designed with the length made, or Refused (nothing changed) when it would
    // exceed kMaxTaps.
    DesignResult DesignWindowAuto(ResponseType responseType, DesignMethod method, float f1,
                                  float f2, float Tw, float Fs, int N, int K, double PBrip,
                                  double SBrip, double beta = 4.0,
                                  SymmetryType symmetry = SymmetricOdd);

    // The length DesignWindowAuto would choose (before any limit), or N itself for
    // the Differentiator and Hilbert types and for non-window methods.
    static long long EstimateWindowLength(ResponseType responseType, DesignMethod method, float Tw,
                                          float Fs, int N, double PBrip, double SBrip);

    // Complex response of `coeffs` on K (>= 2) points from 0 to Fs inclusive (point
    // i at i*Fs/(K-1)), with the forced zeros of the symmetry and the -3 dB band
    // ranges. f1 and transition in Hz set the pass and stop edge markers. False
    // (nothing changed) for K < 2.
    bool EvaluateResponse(int K, float f1, float transition, SymmetryType symmetry);

    // Equiripple designs: every response type but the differentiator, and the
    // differentiator with its rising middle band. Designed (with the solves
    // performed), Singular (the previous design stays whole), Refused (nothing
    // changed) or Cancelled (the request's cancel flag was raised; nothing changed).
    DesignResult DesignEquiripple(const EquirippleRequest& request);
    DesignResult DesignEquirippleDifferentiator(const EquirippleRequest& request);

    // Real amplitude on K grid points from the basis rows (K x n) and half
    // coefficients a (n x 1); magnitude, dB and the forced zeros (floor 1e-7).
    bool EvaluateBasisResponse(int K, int n, const Matrix& basis, const Matrix& a,
                               SymmetryType symmetry);

    // Fields, in the order of the design record. Arrays are empty until filled.
    std::vector<double> coeffs;       // h[0] ... h[N-1]
    std::vector<double> window;       // half window from the centre outward
    std::vector<double> magnitudeDb;  // dB, pointCount entries
    std::vector<double> magnitude;    // linear, pointCount entries
    double passEdge = 0.0;            // Hz
    double stopEdge = 0.0;            // Hz
    double rippleRatio = 0.0;
    std::vector<std::complex<double>> spectrum;  // window designs: complex response
    int length = 0;
    int pointCount = 0;
    ResponseType responseType = LowPass;
    int passBegin = 0, passEnd = 0;  // [begin, end) in magnitudeDb
    int stopBegin = 0, stopEnd = 0;
    std::array<std::pair<double, double>, kDesignBandSlots> bandEdges{};  // normalised
    std::array<double, kDesignBandSlots> bandGains{};
    int bandCount = 0;
    // Equiripple designs: largest / smallest Gauss-Jordan pivot magnitude of the
    // solve that gave the coefficients, an estimate of the normal matrix's condition
    // number. Window designs leave it as it was.
    double conditionEstimate = 0.0;

  private:
    // Sets the response points where the characteristic has a zero to magnitude 0
    // and 20*log10(floor) dB: `atHalfRate` (Fs/2) for SymmetricEven and
    // AntisymmetricOdd, `atZeroRate` (0, and Fs on a grid that reaches it) for the
    // two antisymmetric characteristics.
    void ForceZeros(SymmetryType symmetry, std::initializer_list<int> atHalfRate,
                    std::initializer_list<int> atZeroRate, double floor);
};

}  // namespace tapwright
