#include "core/parks_mcclellan.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "core/messages.h"
#include "core/minimax_design.h"
#include "core/real_fft.h"

namespace tapwright {

namespace {

bool Antisymmetric(SymmetryType s) {
    return s == AntisymmetricOdd || s == AntisymmetricEven;
}

// Shows the four progress texts for a fraction 0 ... 1 of the work, repainting the
// one shown on every report so the window sees the design alive.
class ProgressStages {
  public:
    explicit ProgressStages(ProgressSink* sink) : sink_(sink) {
        if (!sink_) return;
        sink_->SetProgressVisible(ProgressText::Processing, true);
        sink_->RepaintProgress(ProgressText::Processing);
    }
    ~ProgressStages() {
        if (!sink_) return;
        for (int t = 0; t < kProgressTextCount; ++t) {
            sink_->SetProgressVisible(static_cast<ProgressText>(t), false);
            sink_->RepaintProgress(static_cast<ProgressText>(t));
        }
    }
    void Report(double fraction) {
        if (!sink_) return;
        const int stage = std::clamp(static_cast<int>(fraction * 4.0), 0, 3);
        if (stage > stage_) {
            sink_->SetProgressVisible(static_cast<ProgressText>(stage_), false);
            sink_->RepaintProgress(static_cast<ProgressText>(stage_));
            sink_->SetProgressVisible(static_cast<ProgressText>(stage), true);
            stage_ = stage;
        }
        sink_->RepaintProgress(static_cast<ProgressText>(stage_));
    }

  private:
    ProgressSink* sink_;
    int stage_ = 0;
};

DesignStatus StatusOf(MinimaxStatus s) {
    switch (s) {
        case MinimaxStatus::Converged:
            return DesignStatus::Designed;
        case MinimaxStatus::NoConvergence:
            return DesignStatus::NotConverged;
        case MinimaxStatus::Cancelled:
            return DesignStatus::Cancelled;
        case MinimaxStatus::Refused:
            break;
    }
    return DesignStatus::Refused;
}

// The response on K points over 0 ... Fs/2 (point i at i / (2K) cycles per sample),
// with the zeros the symmetry forces, and the pass and stop index ranges of low and
// high pass.
void StoreResponse(CFirDesign& design, const ParksMcClellanRequest& r, SymmetryType symmetry,
                   const std::vector<std::pair<double, double>>& edges) {
    const int N = static_cast<int>(design.coeffs.size());
    int K = 8192;
    while (K < 8 * N) K *= 2;
    std::vector<double> mag = ZeroPaddedMagnitude(design.coeffs.data(), N, 2 * K);
    mag.resize(static_cast<std::size_t>(K));
    design.pointCount = K;
    design.magnitude = mag;
    design.magnitudeDb.resize(mag.size());
    design.spectrum.assign(mag.size(), {});
    // No phase is shown for band-table designs: the spectrum holds the magnitude.
    for (std::size_t i = 0; i < mag.size(); ++i) {
        design.spectrum[i] = {mag[i], 0.0};
        design.magnitudeDb[i] = 20.0 * std::log10(mag[i]);
    }
    if (Antisymmetric(symmetry)) {
        design.magnitude[0] = 0.0;
        design.magnitudeDb[0] = 20.0 * std::log10(1e-7);
    }
    design.passEdge = r.bands[0].Upper;
    design.stopEdge = r.bandCount >= 2 ? r.bands[1].Lower : r.bands[0].Upper;
    if ((r.responseType == LowPass || r.responseType == HighPass) && edges.size() >= 2) {
        auto index = [K](double f) { return std::clamp(static_cast<int>(f * 2.0 * K), 0, K); };
        const int passTop = index(edges[0].second) + 1;
        const int stopLow = index(edges[1].first);
        if (r.responseType == LowPass) {
            design.passBegin = 0;
            design.passEnd = passTop;
            design.stopBegin = stopLow;
            design.stopEnd = K;
        } else {
            design.stopBegin = 0;
            design.stopEnd = passTop;
            design.passBegin = stopLow;
            design.passEnd = K;
        }
    }
}

}  // namespace

ParksMcClellanResult DesignParksMcClellan(CFirDesign& design, const ParksMcClellanRequest& r) {
    ParksMcClellanResult out;
    const int count = std::clamp(r.bandCount, 1, kMaxBands);
    if (!(r.Fs > 0.0f) || static_cast<std::size_t>(count) > r.bands.size()) {
        out.detail = "the sampling frequency and the band table do not fit.";
        return out;
    }
    const double Fs = r.Fs;
    const bool differentiator = r.responseType == Differentiator;
    std::vector<MinimaxBand> bands;
    std::vector<std::pair<double, double>> edges;
    for (int j = 0; j < count; ++j) {
        const BandSpec& b = r.bands[j];
        const double lo = std::min(b.Lower, 0.5 * Fs) / Fs;
        const double hi = std::min(b.Upper, 0.5 * Fs) / Fs;
        edges.emplace_back(b.Lower / Fs, b.Upper / Fs);
        if (!(hi > lo)) continue;  // a band of no width holds no point
        MinimaxBand m{lo, hi, b.Amplitude, b.Weight};
        if (differentiator && b.Amplitude != 0.0) m.desired = b.Amplitude / hi;
        bands.push_back(m);
    }
    if (bands.empty()) {
        out.detail = "no band of the table has a width.";
        return out;
    }

    ProgressStages stages(r.progress);
    const std::function<void(double)> progress = [&stages](double f) { stages.Report(f); };
    MinimaxResult result;
    SymmetryType symmetry = r.symmetry;
    if (r.shortest) {
        if (r.responseType < LowPass || r.responseType > BandStop) {
            out.detail = "only low, high, band pass and band stop filters have a shortest length.";
            return out;
        }
        if (!(r.passRippleDb > 0.0) || !(r.stopAttenDb > 0.0) || !std::isfinite(r.passRippleDb) ||
            !std::isfinite(r.stopAttenDb)) {
            out.detail =
                "the shortest length needs a pass band ripple above 0 dB and a stop band "
                "attenuation below 0 dB.";
            return out;
        }
        MinimaxLengthSpec spec;
        spec.bands = bands;
        spec.passRippleDb = r.passRippleDb;
        spec.stopAttenDb = r.stopAttenDb;
        spec.oddOnly = r.responseType != LowPass;
        spec.maxTaps = kMaxTaps;
        MinimaxLengthResult found = FindShortestMinimax(spec, r.cancel, progress);
        if (found.status != MinimaxStatus::Converged) {
            out.status = StatusOf(found.status);
            out.detail = found.detail;
            return out;
        }
        result = std::move(found.design);
        symmetry = found.taps % 2 != 0 ? SymmetricOdd : SymmetricEven;
    } else {
        MinimaxRequest req;
        req.taps = r.taps;
        req.bands = bands;
        if (differentiator) {
            req.response = MinimaxResponse::Differentiator;
        } else if (IsMultiband(r.responseType, true) && Antisymmetric(r.symmetry)) {
            req.response = MinimaxResponse::Hilbert;
        } else {
            req.response = MinimaxResponse::Multiband;
            req.antisymmetric = Antisymmetric(r.symmetry);
        }
        const bool odd = r.symmetry == SymmetricOdd || r.symmetry == AntisymmetricOdd;
        if (odd != (r.taps % 2 != 0) || (differentiator && !Antisymmetric(r.symmetry))) {
            out.detail = "the length does not have the characteristic's parity.";
            return out;
        }
        result = DesignMinimax(req, r.cancel, progress);
        if (result.status != MinimaxStatus::Converged) {
            out.status = StatusOf(result.status);
            out.detail = result.detail;
            return out;
        }
    }

    const int N = static_cast<int>(result.taps.size());
    design.coeffs = std::move(result.taps);
    design.window.clear();
    design.length = N;
    design.responseType = r.responseType;
    design.conditionEstimate = 0.0;
    design.bandCount = count;
    for (int j = 0; j < count; ++j) {
        design.bandEdges[j] = edges[j];
        design.bandGains[j] = r.bands[j].Amplitude;
    }
    StoreResponse(design, r, symmetry, edges);
    out.status = DesignStatus::Designed;
    out.length = N;
    out.symmetry = symmetry;
    out.deviation = result.deviation;
    return out;
}

}  // namespace tapwright
