#pragma once

// The committed filter spec, its band table and the enumerations behind
// the window's combo boxes. Standard library only.

#include <array>
#include <string_view>

#include "core/spec_limits.h"

namespace tapwright {

// Response type (`FType`). Value 5 is a Hilbert transformer under a window method
// and a multiband design under the equiripple method: code that serves both
// families asks IsMultiband; code that only window designs reach names it Hilbert.
enum ResponseType : int {
    LowPass = 0,
    HighPass = 1,
    BandPass = 2,
    BandStop = 3,
    Differentiator = 4,
    Hilbert = 5,
    Multiband = 5,
};
inline constexpr int kResponseTypeCount = 6;

// Whether value 5 of the response type means Multiband (the equiripple method) rather
// than Hilbert (a window method).
constexpr bool IsMultiband(ResponseType type, bool equiripple) {
    return type == Multiband && equiripple;
}

// Function type (`WType`): one of the five windows, the equiripple design by least
// squares, or the optimal (minimax) equiripple design by the Remez exchange.
enum DesignMethod : int {
    Rectangular = 0,
    Hanning = 1,
    Hamming = 2,
    Blackman = 3,
    Kaiser = 4,
    Equiripple = 5,
    ParksMcClellan = 6,
};
inline constexpr int kDesignMethodCount = 7;

// Filter characteristic (`FChar`): symmetry of the impulse response and parity of
// the length.
enum SymmetryType : int {
    SymmetricOdd = 0,
    SymmetricEven = 1,
    AntisymmetricOdd = 2,
    AntisymmetricEven = 3,
};
inline constexpr int kSymmetryTypeCount = 4;

enum TerminationCriterion : int { ByIterations = 0, ByPeakRatio = 1 };
inline constexpr int kTerminationCriterionCount = 2;

enum GraphType : int {
    Impulse = 0,
    Magnitude = 1,
    Phase = 2,
    GroupDelay = 3,
    UnwrappedPhase = 4,
    PoleZero = 5,
    Step = 6,
};

enum ViewMode : int { FullView = 0, PassbandView = 1, StopbandView = 2, SpecifiedRange = 3 };

// One row of the equiripple band table. Edges in Hz, amplitude >= 0. The weight
// (finite, > 0) scales the band's error in a Parks-McClellan design; the other
// methods neither read nor store it.
struct BandSpec {
    double Lower = 0.0;
    double Upper = 0.0;
    double Amplitude = 0.0;
    double Weight = 1.0;

    bool operator==(const BandSpec&) const = default;
};

// The committed filter spec. Field names are the keys of the spec file.
struct FilterSpec {
    SymmetryType FChar = SymmetricOdd;
    ResponseType FType = LowPass;
    DesignMethod WType = Rectangular;
    float Fs = 8000.0f;  // Hz, > 0
    float Tw = 1.0f;     // Hz, > 0
    float Fc1 = 0.0f;    // Hz, 0 ... Fs/2
    float Fc2 = 0.0f;    // Hz, 0 ... Fs/2
    int TBand = 2;       // 1 ... kMaxBands
    std::array<BandSpec, kMaxBands> Bands{};
    int FFT = 512;  // points, 2^(index + 3)
    int Taps = 31;
    double Beta = 4.0;   // 0 ... 15
    double PBrip = 0.0;  // dB, >= 0 (Parks-McClellan: peak-to-peak pass band ripple)
    double SBrip = 0.0;  // dB, <= 0 (the stop band attenuation, held negative)
    int AutoD = 1;       // 1: the length (and Beta) are given
    TerminationCriterion TerCr = ByIterations;
    int Itern = 0;
    double Ratio = 0.0;
    double RatioTarget = -1.0;  // Ratio while TerCr is ByPeakRatio, else -1

    // Field by field (the whole band table included).
    bool operator==(const FilterSpec&) const = default;
};

// The filter spec of a fresh start: the defaults above with the band table reset.
FilterSpec DefaultFilterSpec();

// FFT size for a combo index 0 ... 9: 2^(index + 3). Returns 0 for other indices.
int FftSizeFromIndex(int index);
// Combo index of an FFT size, or -1 when the size is not one of the ten listed.
int FftIndexFromSize(int size);

// Resets the bands in use: edges 0, weights 1, the last band's upper edge Fs/2, amplitudes
// alternating from 1 (low pass, band stop) or from 0 (all other types).
// TBand is clamped into 1 ... kMaxBands first.
void ResetBands(FilterSpec& spec);

// Combo texts. `equiripple` picks the sixth response item ("Multiband" or
// "Hilbert Transform"). Out-of-range values give an empty text.
std::string_view ResponseTypeText(ResponseType type, bool equiripple);
std::string_view DesignMethodText(DesignMethod method);
std::string_view SymmetryTypeText(SymmetryType symmetry);
std::string_view GraphTypeText(GraphType graph);
std::string_view ViewModeText(ViewMode view);
std::string_view TerminationText(TerminationCriterion criterion);
std::string_view FftSizeText(int index);

}  // namespace tapwright
