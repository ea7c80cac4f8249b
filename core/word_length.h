#pragma once

// The shortest word length whose fixed-point taps still meet the design's pass-band
// ripple and stop-band attenuation (tapwright-cli measure --meet, the Measure
// dialog's "Shortest Word Length").

#include <string>
#include <vector>

#include "core/design_measure.h"
#include "core/filter_spec.h"
#include "core/fir_design.h"
#include "core/quantize.h"

namespace tapwright {

// How far, in dB, the fixed-point taps may fall short of the full-precision ones
// where the spec sets no figure: the attenuation may drop by it, and the pass-band
// ripple and slope error may grow by its factor 10^(margin/20).
inline constexpr double kDefaultMeetMarginDb = 1.0;

// One figure a band must meet.
struct WordLengthTarget {
    std::size_t band = 0;  // index into the measured bands
    BandKind kind = BandKind::Pass;
    double limit = 0.0;     // pass: largest ripple, dB; stop: least attenuation, dB;
                            // slope: largest error (linear)
    bool fromSpec = false;  // PBrip or SBrip of the spec, not the design's own figure
};

struct WordLengthResult {
    std::vector<WordLengthTarget> targets;
    bool fullMeets = false;  // the full-precision design meets every target
    bool found = false;
    int bits = 0;                 // the shortest word length that meets every target
    DesignMeasurements measured;  // the design and its form at `bits` (or at 32 bits)
    bool belowMeasured = false;   // bits - 1 was measured (bits > 2)
    ResponseMeasurements below;   // the form at bits - 1, which misses a target
};

// Whether `r` meets every target.
bool MeetsTargets(const ResponseMeasurements& r, const std::vector<WordLengthTarget>& targets);

// Searches B = 2 ... 32 upward under the rounding, overflow and scale choices of
// `choice` (its bits are ignored; a form that overflows under Overflow::Error
// counts as missing). marginDb >= 0. False with `error` set for a design that
// cannot be measured; a design that no word length satisfies gives true with
// found false.
bool FindShortestWordLength(const FilterSpec& spec, const CFirDesign& design,
                            const QuantizeOptions& choice, double marginDb, WordLengthResult& out,
                            std::string* error = nullptr);

// The targets with the figures at full precision, at bits - 1 and at bits, then
// the measurement table at bits. A full-precision design that misses a target says so.
std::string FormatWordLengthResult(const WordLengthResult& r);

}  // namespace tapwright
