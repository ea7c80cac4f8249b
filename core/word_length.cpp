#include "core/word_length.h"

#include <algorithm>
#include <cmath>

#include "core/messages.h"

namespace tapwright {

namespace {

double Figure(const BandMeasurement& b) {
    switch (b.band.kind) {
        case BandKind::Pass:
            return b.rippleDb;
        case BandKind::Stop:
            return b.attenuationDb;
        default:
            return b.largestError;
    }
}

std::vector<WordLengthTarget> Targets(const FilterSpec& spec, const ResponseMeasurements& full,
                                      double marginDb) {
    const double grow = std::pow(10.0, marginDb / 20.0);
    std::vector<WordLengthTarget> targets;
    for (std::size_t i = 0; i < full.bands.size(); ++i) {
        const BandMeasurement& b = full.bands[i];
        WordLengthTarget t;
        t.band = i;
        t.kind = b.band.kind;
        if (t.kind == BandKind::Pass && spec.PBrip > 0.0) {
            t.limit = spec.PBrip;
            t.fromSpec = true;
        } else if (t.kind == BandKind::Stop && spec.SBrip < 0.0) {
            t.limit = -spec.SBrip;
            t.fromSpec = true;
        } else if (t.kind == BandKind::Stop) {
            t.limit = b.attenuationDb - marginDb;
        } else {
            t.limit = Figure(b) * grow;
        }
        targets.push_back(t);
    }
    return targets;
}

std::string TargetLabel(const WordLengthTarget& t, const MeasureBand& b) {
    switch (t.kind) {
        case BandKind::Pass:
            return FormatString("Band %d ripple <= %.4f dB", b.number, t.limit);
        case BandKind::Stop:
            return FormatString("Band %d attenuation >= %.4f dB", b.number, t.limit);
        default:
            return FormatString("Band %d slope error <= %.4g", b.number, t.limit);
    }
}

std::string FigureText(const WordLengthTarget& t, const BandMeasurement& b) {
    const double v = Figure(b);
    if (t.kind == BandKind::Slope) return FormatString("%.4g", v);
    if (std::isinf(v)) return v > 0 ? "inf dB" : "-inf dB";
    return FormatString("%.4f dB", v);
}

}  // namespace

bool MeetsTargets(const ResponseMeasurements& r, const std::vector<WordLengthTarget>& targets) {
    for (const WordLengthTarget& t : targets) {
        if (t.band >= r.bands.size()) return false;
        const double v = Figure(r.bands[t.band]);
        // NaN never meets a target.
        if (t.kind == BandKind::Stop ? !(v >= t.limit) : !(v <= t.limit)) return false;
    }
    return true;
}

bool FindShortestWordLength(const FilterSpec& spec, const CFirDesign& design,
                            const QuantizeOptions& choice, double marginDb, WordLengthResult& out,
                            std::string* error) {
    if (!(marginDb >= 0.0) || !std::isfinite(marginDb)) {
        if (error) *error = "the margin must be a finite number of dB, 0 or more";
        return false;
    }
    DesignMeasurements full;
    if (!MeasureDesign(spec, design, 0, full, error)) return false;
    WordLengthResult r;
    r.targets = Targets(spec, full.full, marginDb);
    r.fullMeets = MeetsTargets(full.full, r.targets);
    const std::vector<MeasureBand> bands = MeasurementBands(spec);
    QuantizeOptions o = choice;
    ResponseMeasurements previous;
    bool previousMeasured = false;
    for (int B = kMinQuantizeBits; B <= kMaxQuantizeBits && !r.found; ++B) {
        o.bits = B;
        QuantizedTaps q;
        if (!QuantizeTaps(design.coeffs, o, q)) {
            previousMeasured = false;
            continue;
        }
        ResponseMeasurements m = MeasureTaps(q.Taps(), full.Fs, full.responseType, bands);
        if (MeetsTargets(m, r.targets)) {
            r.found = true;
            r.bits = B;
            r.belowMeasured = previousMeasured;
            r.below = std::move(previous);
        } else {
            previous = std::move(m);
            previousMeasured = true;
        }
    }
    o.bits = r.found ? r.bits : kMaxQuantizeBits;
    // The table of the result, with the full report of its fixed-point form; where
    // even 32 bits overflow, the full-precision table alone.
    if (!MeasureDesign(spec, design, o, 0, r.measured, nullptr) &&
        !MeasureDesign(spec, design, 0, r.measured, error)) {
        return false;
    }
    out = std::move(r);
    return true;
}

std::string FormatWordLengthResult(const WordLengthResult& r) {
    const DesignMeasurements& m = r.measured;
    std::string text;
    if (r.found) {
        text = FormatString("Shortest word length: %d bits (%s, rounding %s)\n", r.bits,
                            m.fixedPoint.FormatName().c_str(), RoundingName(m.fixedPoint.rounding));
    } else {
        text = FormatString("No word length up to %d bits meets every target\n", kMaxQuantizeBits);
    }
    if (!r.fullMeets) text += "The full-precision design itself misses a target of the spec\n";
    std::vector<std::vector<std::string>> rows;
    rows.push_back({"Target", "Source", "Full precision"});
    if (r.found && r.belowMeasured) rows.back().push_back(FormatString("%d bits", r.bits - 1));
    if (m.quantized) rows.back().push_back(FormatString("%d bits", m.fixedPoint.bits));
    for (const WordLengthTarget& t : r.targets) {
        if (t.band >= m.full.bands.size()) continue;
        std::vector<std::string> row = {TargetLabel(t, m.full.bands[t.band].band),
                                        t.fromSpec ? "spec" : "design less margin",
                                        FigureText(t, m.full.bands[t.band])};
        if (r.found && r.belowMeasured && t.band < r.below.bands.size()) {
            row.push_back(FigureText(t, r.below.bands[t.band]));
        }
        if (m.quantized && t.band < m.fixed.bands.size()) {
            row.push_back(FigureText(t, m.fixed.bands[t.band]));
        }
        rows.push_back(row);
    }
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size()) line += std::string(widths[c] - row[c].size() + 2, ' ');
        }
        text += line + "\n";
    }
    text += "\n" + FormatMeasurementTable(m);
    return text;
}

}  // namespace tapwright
