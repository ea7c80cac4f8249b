#pragma once

// Measurements of a design on a dense grid of its own: the gain in each band, the
// ripple and attenuation, the -3 dB and -6 dB frequencies, the gains at 0 and Fs/2,
// the group delay, and the conditioning of an equiripple solve. The window's
// Measure Design table and tapwright-cli measure show the same rows.

#include <limits>
#include <string>
#include <vector>

#include "core/filter_spec.h"
#include "core/fir_design.h"
#include "core/quantize.h"

namespace tapwright {

// Above this estimate the equiripple normal equations are nearly singular: the
// solve succeeds, but rounding decides the coefficients.
inline constexpr double kIllConditionedAbove = 1e12;

enum class BandKind : int { Pass, Stop, Slope };

// A band a design is measured over. Edges in Hz, 0 <= lower <= upper <= Fs/2. The
// design aims at desired + slope * (f - origin) in the band (slope 0 but for the
// differentiator's slope band).
struct MeasureBand {
    int number = 0;  // counted from 1, in the order of the design's bands
    BandKind kind = BandKind::Pass;
    double lower = 0.0;    // Hz
    double upper = 0.0;    // Hz
    double desired = 0.0;  // amplitude
    double slope = 0.0;    // amplitude per Hz
    double origin = 0.0;   // Hz
};

struct BandMeasurement {
    MeasureBand band;
    int points = 0;              // grid points in the band and its two edges
    double minGainDb = 0.0;      // dB (-inf for an exact zero)
    double maxGainDb = 0.0;      // dB
    double rippleDb = 0.0;       // pass band: max - min, dB peak to peak
    double attenuationDb = 0.0;  // stop band: -max, dB
    double largestError = 0.0;   // max | |H(f)| - aim(f) | (linear)
};

// Measurements of one set of taps.
struct ResponseMeasurements {
    std::vector<BandMeasurement> bands;
    // Hz, ascending; one entry for low and high pass, two for band pass and band
    // stop, none for the other types. NaN where the gain never crosses the level.
    std::vector<double> minus3DbHz;
    std::vector<double> minus6DbHz;
    double dcGain = 0.0;       // |H(0)|, linear
    double nyquistGain = 0.0;  // |H(Fs/2)|, linear
    bool linearPhase = false;  // the taps are exactly symmetric or antisymmetric
    double groupDelay = 0.0;   // samples, (N - 1)/2 when linearPhase
};

struct DesignMeasurements {
    int responseType = LowPass;
    int method = Rectangular;
    bool equiripple = false;  // a band-table method
    double Fs = 0.0;          // Hz
    int taps = 0;
    int gridPoints = 0;  // over 0 ... Fs/2, both included
    double gridStepHz = 0.0;
    ResponseMeasurements full;
    bool quantized = false;
    QuantizedTaps fixedPoint;        // when quantized
    BitGrowth growth;                // when quantized: for an input as wide as the taps
    ResponseMeasurements fixed;      // the measurements of fixedPoint.Taps()
    double conditionEstimate = 0.0;  // equiripple: largest / smallest pivot; else 0
    // What the spec asks for (PBrip > 0, SBrip < 0), NaN where it asks nothing: the
    // pass band ripple as dB peak to peak (a window method's PBrip, the largest
    // gain above 1 in dB, turned into the ripple it allows), the stop band
    // attenuation in dB.
    double askedRippleDb = std::numeric_limits<double>::quiet_NaN();
    double askedAttenuationDb = std::numeric_limits<double>::quiet_NaN();
};

// What a design achieves against the figures asked for: its worst pass band ripple
// (dB peak to peak) and its least stop band attenuation (dB), NaN where it has no
// such band, and whether both meet what is asked (a figure not asked is met).
struct SpecCompliance {
    bool asked = false;
    double rippleDb = 0.0;
    double attenuationDb = 0.0;
    bool meets = false;
};
SpecCompliance ComplianceOf(const DesignMeasurements& m, const ResponseMeasurements& r);

// FFT length of the measurement grid of N taps: the smallest power of two with at
// least 16 points per tap and at least 8192 points over 0 ... Fs/2 (M/2 + 1 points).
int MeasurementGridSize(int taps);

// Transition width (Hz) that the length rule of the window methods gives to a
// length N (3 ... kMaxTaps) at Fs > 0: the inverse of the estimate a window design
// makes its length from (Kaiser: the attenuation that beta 0 ... 15 stands for).
double ImpliedTransitionWidth(int method, int N, double beta, double Fs);

// The bands of the design made from `spec` (as designed: Taps is the length the
// design has). Equiripple designs measure their band table; window designs the pass
// and stop bands around their cutoffs (see the definition for where the edges lie).
// Bands of no width are left out.
std::vector<MeasureBand> MeasurementBands(const FilterSpec& spec);

// Measures taps h (finite, at most kMaxTaps) sampled at Fs > 0 (Hz) over `bands`.
// `responseType` decides which -3 dB and -6 dB frequencies apply (value 5, a
// Hilbert transformer or a multiband design, has none).
ResponseMeasurements MeasureTaps(const std::vector<double>& h, double Fs, int responseType,
                                 const std::vector<MeasureBand>& bands);

// Measures the design in `design` made from `spec`, and, with bits 2 ... 32, its
// fixed-point form too (bits 0: none). Returns false with `error` set for a design
// without coefficients, a coefficient that is not finite, or bits out of range.
bool MeasureDesign(const FilterSpec& spec, const CFirDesign& design, int bits,
                   DesignMeasurements& out, std::string* error = nullptr);

// The same with every fixed-point choice (quantize.bits 0: none) and the input
// width the bit growth is reported for (0: as wide as the taps). Also false when
// the taps overflow under Overflow::Error.
bool MeasureDesign(const FilterSpec& spec, const CFirDesign& design,
                   const QuantizeOptions& quantize, int inputBits, DesignMeasurements& out,
                   std::string* error = nullptr);

// The same with the output of the filter rounded (under quantize.rounding) to
// `outputBits` (0: full precision; else 2 ... the accumulator width), reported with
// the bit growth.
bool MeasureDesign(const FilterSpec& spec, const CFirDesign& design,
                   const QuantizeOptions& quantize, int inputBits, int outputBits,
                   DesignMeasurements& out, std::string* error = nullptr);

// The conditioning warning of an equiripple design made from `spec` whose estimate
// lies above kIllConditionedAbove, or an empty text.
std::string ConditioningWarning(const FilterSpec& spec, const CFirDesign& design);

// One row of the measurement table: its label, the full-precision value, and the
// value of the fixed-point form (empty without one).
struct MeasurementRow {
    std::string label;
    std::string value;
    std::string quantized;
};

std::vector<MeasurementRow> MeasurementRows(const DesignMeasurements& m);
// The headings of the table's columns: the label, the full-precision value and,
// when quantized, the fixed-point value.
std::vector<std::string> MeasurementHeadings(const DesignMeasurements& m);

// The rows as an aligned plain-text table with a header line.
std::string FormatMeasurementTable(const DesignMeasurements& m);

}  // namespace tapwright
