#pragma once

// The design object: coefficients, window, responses and band ranges of the
// current design, with the window-method and equiripple designs that fill it.
// Frequencies are in Hz unless a name says "normalised" (cycles per sample).

#include <array>
#include <complex>
#include <utility>
#include <vector>

#include "core/filter_spec.h"

namespace tapwright {

struct Matrix;

// Longest filter any design may produce; automatic lengths above it are refused.
inline constexpr int kMaxTaps = 131071;
// Longest equiripple filter: the reweighted solves grow with the cube of the length.
inline constexpr int kMaxEquirippleTaps = 511;
// Room of the equiripple band table held by the design object.
inline constexpr int kDesignBandSlots = 100;

// The four progress texts of an equiripple design, in the order of the window.
enum class ProgressText : int { Processing = 0, Quarter = 1, Half = 2, ThreeQuarters = 3 };
inline constexpr int kProgressTextCount = 4;

// Control id and exact text of a progress text.
int ProgressTextId(ProgressText text);
const char* ProgressTextString(ProgressText text);

// What an equiripple design shows while it runs. The window shows and repaints its
// static texts at once; tests record the calls.
class ProgressSink {
  public:
    virtual ~ProgressSink() = default;
    virtual void SetProgressVisible(ProgressText text, bool visible) = 0;
    virtual void RepaintProgress(ProgressText text) = 0;
    // True once the user has asked the running design to stop; the equiripple
    // design asks between its solves. May be called from the design's thread.
    virtual bool CancelRequested() const { return false; }
};

// Result of an equiripple design stopped by ProgressSink::CancelRequested.
inline constexpr int kEquirippleCancelled = -3;

class CFirDesign {
  public:
    // I0(x) by its power series with `terms` terms (the constant term included).
    static double BesselI0(double x, int terms);

    // Window design of length N (3 ... kMaxTaps) with K frequency points (>= 2).
    // f1, f2, Fs in Hz; beta 0 ... 15 for the Kaiser window. Returns true, or false
    // (nothing changed) for a length or point count outside its range.
    bool DesignWindow(int responseType, int method, float f1, float f2, float Fs, int N, int K,
                      double beta, int symmetry);

    // Window design whose length (and Kaiser beta) is estimated from the transition
    // width Tw (Hz) and the ripples (PBrip >= 0 dB, SBrip <= 0 dB). Differentiator and
    // Hilbert designs run DesignWindow at the given N, beta and symmetry instead.
    // Returns the length, or 0 (nothing changed) when it would exceed kMaxTaps.
    int DesignWindowAuto(int responseType, int method, float f1, float f2, float Tw, float Fs,
                         int N, int K, double PBrip, double SBrip, double beta = 4.0,
                         int symmetry = SymmetricOdd);

    // The length DesignWindowAuto would choose (before any limit), or N itself for
    // the Differentiator and Hilbert types and for non-window methods.
    static long long EstimateWindowLength(int responseType, int method, float Tw, float Fs, int N,
                                          double PBrip, double SBrip);

    // Complex response of `coeffs` on K points from 0 to Fs inclusive (point i at
    // i*Fs/(K-1)), with the forced zeros of the symmetry and the -3 dB band ranges.
    // f1 and transition in Hz set the pass and stop edge markers.
    bool EvaluateResponse(int K, float f1, float f2, float Fs, float transition, int symmetry);

    // Equiripple designs. Return -1 for a singular normal-equation matrix,
    // kEquirippleCancelled when stopped (the design object unchanged in both), else 0
    // when ratioTarget < 0, else the number of reweighted solves performed.
    // `bands` holds at least bandCount rows (the differentiator reads three).
    int DesignEquiripple(int responseType, const BandSpec* bands, const double* amplitudes,
                         int bandCount, float Fs, int N, int K, double PBrip, double SBrip,
                         int iterations, double exponent, ProgressSink* progress,
                         double ratioTarget, int symmetry);
    int DesignEquirippleDifferentiator(int responseType, const BandSpec* bands,
                                       const double* amplitudes, int bandCount, float Fs, int N,
                                       int K, double PBrip, double SBrip, int iterations,
                                       double exponent, ProgressSink* progress, double ratioTarget,
                                       int symmetry);

    // Real amplitude on K grid points from the basis rows (K x n) and half
    // coefficients a (n x 1); magnitude, dB and the forced zeros (floor 1e-7).
    bool EvaluateBasisResponse(int K, int n, const Matrix& basis, const Matrix& a, int symmetry);

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
    int responseType = LowPass;
    int passBegin = 0, passEnd = 0;  // [begin, end) in magnitudeDb
    int stopBegin = 0, stopEnd = 0;
    std::vector<double> heldMagnitudeDb;
    int heldMethod = Rectangular;
    int heldPointCount = 0;
    int heldIterations = 0;
    std::array<std::pair<double, double>, kDesignBandSlots> bandEdges{};  // normalised
    std::array<double, kDesignBandSlots> bandGains{};
    int bandCount = 0;
};

// The one design object of the program.
extern CFirDesign theFirDesign;

}  // namespace tapwright
