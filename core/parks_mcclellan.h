#pragma once

// The Parks-McClellan method: the band table of a filter spec designed by the
// minimax exchange (core/minimax_design.h) into the design object, with the
// response laid out over 0 ... Fs/2 like the equiripple method's.

#include <atomic>
#include <span>
#include <string>

#include "core/filter_spec.h"
#include "core/fir_design.h"

namespace tapwright {

struct ParksMcClellanRequest {
    // LowPass ... BandStop and Multiband: a gain per band. Multiband with an
    // antisymmetric characteristic is a Hilbert transformer. Differentiator: a band
    // of amplitude A > 0 asks for the line through 0 Hz that reaches A at the band's
    // upper edge, its error weighted by 1/f; a band of amplitude 0 is a stop band.
    ResponseType responseType = LowPass;
    // Edges in Hz (cut at Fs/2), amplitudes >= 0, weights finite and > 0. The first
    // bandCount rows (1 ... kMaxBands) are read; rows of no width are left out.
    std::span<const BandSpec> bands;
    int bandCount = 0;
    float Fs = 0.0f;  // Hz, > 0
    // The length (kMinTaps ... kMaxTaps, of the characteristic's parity) when
    // `shortest` is false.
    int taps = 0;
    SymmetryType symmetry = SymmetricOdd;
    // Low, high, band pass and band stop only: the shortest length whose design has
    // at most passRippleDb of peak-to-peak ripple in every pass band and at least
    // stopAttenDb of attenuation in every stop band (both dB, > 0). The band weights
    // then follow from the two figures. Low pass tries either parity, the others
    // odd lengths (the characteristic their list offers first).
    bool shortest = false;
    double passRippleDb = 0.0;
    double stopAttenDb = 0.0;
    ProgressSink* progress = nullptr;           // may be null; told at least once a second
    const std::atomic<bool>* cancel = nullptr;  // may be null; stops within about 0.1 s
};

struct ParksMcClellanResult {
    // Designed; Refused (not a problem the exchange can take: `detail` says which
    // rule); NotConverged (the exchange stalled, or no length meets the figures);
    // Cancelled. Anything but Designed leaves the design object as it was.
    DesignStatus status = DesignStatus::Refused;
    int length = 0;                        // taps designed (the length found when `shortest`)
    SymmetryType symmetry = SymmetricOdd;  // of the taps designed
    double deviation = 0.0;                // the largest weighted error of the design
    std::string detail;
};

// Designs `request` into `design`: coefficients, the magnitude on at least 8192
// points (8 a tap) over 0 ... Fs/2 (point i at i * Fs / (2K)), band edges and gains.
ParksMcClellanResult DesignParksMcClellan(CFirDesign& design, const ParksMcClellanRequest& request);

}  // namespace tapwright
