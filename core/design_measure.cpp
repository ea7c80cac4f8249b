#include "core/design_measure.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "core/design_constants.h"
#include "core/design_methods.h"
#include "core/messages.h"
#include "core/real_fft.h"

namespace tapwright {

namespace {

constexpr double kExactPi = 3.141592653589793;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double Db(double gain) {
    return 20.0 * std::log10(gain);
}

// The attenuation (dB) that the Kaiser rule of the window designs turns into this
// beta: the inverse of beta = 0.1102 (A - 8.7) above 50 dB and of
// 0.5842 (A - 21)^0.4 + 0.07886 (A - 21) from 21 to 50 dB.
double KaiserAttenuationForBeta(double beta) {
    if (!(beta > 0.0)) return 21.0;
    auto middle = [](double x) { return 0.5842 * std::pow(x, 0.4) + 0.07886 * x; };
    if (beta >= middle(29.0)) return std::max(50.0, beta / 0.1102 + 8.7);
    double lo = 0.0, hi = 29.0;
    for (int i = 0; i < 100; ++i) {
        const double mid = 0.5 * (lo + hi);
        (middle(mid) < beta ? lo : hi) = mid;
    }
    return 21.0 + 0.5 * (lo + hi);
}

// |H(f)| by the direct sum, f in cycles per sample; the angle of each tap is
// reduced to one turn first, so long filters keep their accuracy.
double DirectGain(const std::vector<double>& h, double f) {
    double re = 0.0, im = 0.0;
    for (std::size_t n = 0; n < h.size(); ++n) {
        const double turns = static_cast<double>(n) * f;
        const double theta = 2.0 * kExactPi * (turns - std::floor(turns));
        re += h[n] * std::cos(theta);
        im -= h[n] * std::sin(theta);
    }
    return std::sqrt(re * re + im * im);
}

// |H(0)| and |H(1/2)|, summed in mirrored pairs: exactly 0 where the symmetry of the
// taps forces a zero.
void EndGains(const std::vector<double>& h, double& dc, double& nyquist) {
    const std::size_t N = h.size();
    double sum = 0.0, alternating = 0.0;
    for (std::size_t n = 0; n < N / 2; ++n) {
        const std::size_t m = N - 1 - n;
        sum += h[n] + h[m];
        const double sn = n % 2 == 0 ? 1.0 : -1.0;
        const double sm = m % 2 == 0 ? 1.0 : -1.0;
        alternating += sn * h[n] + sm * h[m];
    }
    if (N % 2 == 1) {
        sum += h[N / 2];
        alternating += (N / 2) % 2 == 0 ? h[N / 2] : -h[N / 2];
    }
    dc = std::fabs(sum);
    nyquist = std::fabs(alternating);
}

bool LinearPhase(const std::vector<double>& h) {
    const std::size_t N = h.size();
    bool symmetric = true, antisymmetric = true;
    for (std::size_t n = 0; n < N; ++n) {
        symmetric = symmetric && h[n] == h[N - 1 - n];
        antisymmetric = antisymmetric && h[n] == -h[N - 1 - n];
    }
    return symmetric || antisymmetric;
}

// The gain on the grid: point k at k * step Hz, k = 0 ... last.
struct Grid {
    std::vector<double> gain;
    double step = 0.0;  // Hz
    int Last() const { return static_cast<int>(gain.size()) - 1; }
    double DbAt(int k) const { return Db(gain[static_cast<std::size_t>(k)]); }
};

// Frequency (Hz) where the dB gain passes `level` between points a and b (linear in
// dB between them).
double CrossingBetween(const Grid& g, int a, int b, double level) {
    const double da = g.DbAt(a), db = g.DbAt(b);
    double t = (level - da) / (db - da);
    if (!(t >= 0.0)) t = 0.0;  // also NaN
    if (t > 1.0) t = 1.0;
    return (a + t * (b - a)) * g.step;
}

// First crossing below `level` walking from `start` in direction `dir` (+1 or -1);
// NaN when the gain at the start is already below it or never falls below it.
double CrossingFrom(const Grid& g, int start, int dir, double level) {
    // The walk compares gains, not dB values: one power instead of a logarithm per
    // point.
    const double threshold = std::pow(10.0, level / 20.0);
    if (!(g.gain[start] >= threshold)) return kNaN;
    for (int k = start + dir; k >= 0 && k <= g.Last(); k += dir) {
        if (g.gain[k] < threshold) return CrossingBetween(g, k - dir, k, level);
    }
    return kNaN;
}

int GridIndexAtOrAbove(double f, const Grid& g) {
    return TruncClamp(std::ceil(f / g.step), 0, g.Last() + 1);
}

int GridIndexAtOrBelow(double f, const Grid& g) {
    return TruncClamp(std::floor(f / g.step), -1, g.Last());
}

std::vector<double> Crossings(const Grid& g, int responseType,
                              const std::vector<MeasureBand>& bands, double level) {
    switch (responseType) {
        case LowPass:
            return {CrossingFrom(g, 0, +1, level)};
        case HighPass:
            return {CrossingFrom(g, g.Last(), -1, level)};
        case BandStop:
            return {CrossingFrom(g, 0, +1, level), CrossingFrom(g, g.Last(), -1, level)};
        case BandPass: {
            // Outward from the peak of the pass band (of the whole grid without one).
            int from = 0, to = g.Last();
            for (const MeasureBand& b : bands) {
                if (b.kind != BandKind::Pass) continue;
                const int lo = GridIndexAtOrAbove(b.lower, g), hi = GridIndexAtOrBelow(b.upper, g);
                if (lo <= hi) {
                    from = lo;
                    to = hi;
                }
                break;
            }
            int peak = from;
            for (int k = from; k <= to; ++k) {
                if (g.gain[k] > g.gain[peak]) peak = k;
            }
            return {CrossingFrom(g, peak, -1, level), CrossingFrom(g, peak, +1, level)};
        }
        default:
            return {};
    }
}

BandMeasurement MeasureBandOn(const Grid& g, const std::vector<double>& h, double Fs,
                              const MeasureBand& band) {
    BandMeasurement m;
    m.band = band;
    double lowest = std::numeric_limits<double>::infinity();
    double highest = 0.0;
    double error = 0.0;
    auto take = [&](double f, double gain) {
        lowest = std::min(lowest, gain);
        highest = std::max(highest, gain);
        const double aim = band.desired + band.slope * (f - band.origin);
        error = std::max(error, std::fabs(gain - aim));
        ++m.points;
    };
    // The edges themselves, by the direct sum where they fall between grid points:
    // the extremes of a band usually lie there.
    const int first = GridIndexAtOrAbove(band.lower, g);
    const int last = GridIndexAtOrBelow(band.upper, g);
    if (first * g.step != band.lower) take(band.lower, DirectGain(h, band.lower / Fs));
    if (last * g.step != band.upper) take(band.upper, DirectGain(h, band.upper / Fs));
    for (int k = first; k <= last; ++k) take(k * g.step, g.gain[k]);

    m.minGainDb = Db(lowest);
    m.maxGainDb = Db(highest);
    m.largestError = error;
    m.rippleDb = band.kind == BandKind::Pass ? m.maxGainDb - m.minGainDb : kNaN;
    m.attenuationDb = band.kind == BandKind::Stop ? -m.maxGainDb : kNaN;
    return m;
}

void AddBand(std::vector<MeasureBand>& bands, int number, BandKind kind, double lower, double upper,
             double desired, double half) {
    MeasureBand b;
    b.number = number;
    b.kind = kind;
    b.lower = std::max(lower, 0.0);
    b.upper = std::min(upper, half);
    b.desired = desired;
    if (b.lower < b.upper) bands.push_back(b);
}

std::vector<MeasureBand> EquirippleBands(const FilterSpec& spec, double half) {
    std::vector<MeasureBand> bands;
    const auto kindOf = [](double amplitude) {
        return amplitude != 0.0 ? BandKind::Pass : BandKind::Stop;
    };
    const BandSpec* t = spec.Bands.data();
    if (spec.FType == Differentiator && spec.WType == ParksMcClellan) {
        // Each band of a nonzero amplitude A aims at the line through 0 Hz that
        // reaches A at its upper edge; the others are stop bands.
        const int count = std::clamp(spec.TBand, 1, kMaxBands);
        for (int j = 0; j < count; ++j) {
            if (t[j].Amplitude == 0.0 || !(t[j].Upper > 0.0)) {
                AddBand(bands, j + 1, BandKind::Stop, t[j].Lower, t[j].Upper, 0.0, half);
                continue;
            }
            MeasureBand slope;
            slope.number = j + 1;
            slope.kind = BandKind::Slope;
            slope.lower = std::max(t[j].Lower, 0.0);
            slope.upper = std::min(t[j].Upper, half);
            slope.slope = t[j].Amplitude / slope.upper;
            if (slope.lower < slope.upper) bands.push_back(slope);
        }
        return bands;
    }
    if (spec.FType == Differentiator) {
        // The differentiator fits its first band from 0, the rising line of its
        // second band (0 at the lower edge, one grid step of the design after
        // another), and its third band up to Fs/2.
        AddBand(bands, 1, kindOf(t[0].Amplitude), 0.0, t[0].Upper, t[0].Amplitude, half);
        const double Fs = spec.Fs;
        const double df = 0.5 / (32.0 * spec.Taps + 1.0);
        const int steps = TruncClamp((t[1].Upper / Fs - t[1].Lower / Fs) / df, 0, 1 << 30);
        MeasureBand slope;
        slope.number = 2;
        slope.kind = BandKind::Slope;
        slope.lower = std::max(t[1].Lower, 0.0);
        slope.upper = std::min(t[1].Upper, half);
        slope.origin = t[1].Lower;
        slope.slope = steps > 1 ? (t[1].Amplitude - t[0].Amplitude) / ((steps - 1) * df * Fs) : 0.0;
        if (slope.lower < slope.upper) bands.push_back(slope);
        AddBand(bands, 3, kindOf(t[2].Amplitude), t[2].Lower, half, t[2].Amplitude, half);
        return bands;
    }
    const int count = std::clamp(spec.TBand, 1, kMaxBands);
    for (int j = 0; j < count; ++j) {
        AddBand(bands, j + 1, kindOf(t[j].Amplitude), t[j].Lower, t[j].Upper, t[j].Amplitude, half);
    }
    return bands;
}

// Window designs. A design of a given length places its ideal edges at the cutoffs;
// its transition, centred on each edge, is the width the length rule gives that
// length (the transition width field is not an input then). A design whose length
// was estimated from Tw places its ideal edges Tw/2 beyond the cutoffs (low and
// high pass above f1; band pass and band stop below f1 and above f2), so each
// transition of width Tw runs from the cutoff outward: [f1, f1 + Tw] for low and
// high pass, [f1 - Tw, f1] and [f2, f2 + Tw] for band pass and band stop.
std::vector<MeasureBand> WindowBands(const FilterSpec& spec, double half) {
    std::vector<MeasureBand> bands;
    const bool given = spec.AutoD != 0 || spec.FType == Differentiator || spec.FType == Hilbert;
    const double T = given ? ImpliedTransitionWidth(spec.WType, spec.Taps, spec.Beta, spec.Fs)
                           : static_cast<double>(spec.Tw);
    double f1 = spec.Fc1, f2 = spec.Fc2;
    if ((spec.FType == BandPass || spec.FType == BandStop) && f1 > f2) std::swap(f1, f2);
    double e1 = f1, e2 = f2;  // ideal edges
    if (!given) {
        const double shift = 0.5 * static_cast<double>(spec.Tw);
        if (spec.FType == LowPass || spec.FType == HighPass) {
            e1 = f1 + shift;
        } else {
            e1 = f1 - shift;
            e2 = f2 + shift;
        }
    }
    const double t = 0.5 * T;
    switch (spec.FType) {
        case LowPass:
            AddBand(bands, 1, BandKind::Pass, 0.0, e1 - t, 1.0, half);
            AddBand(bands, 2, BandKind::Stop, e1 + t, half, 0.0, half);
            break;
        case HighPass:
            AddBand(bands, 1, BandKind::Stop, 0.0, e1 - t, 0.0, half);
            AddBand(bands, 2, BandKind::Pass, e1 + t, half, 1.0, half);
            break;
        case BandPass:
            AddBand(bands, 1, BandKind::Stop, 0.0, e1 - t, 0.0, half);
            AddBand(bands, 2, BandKind::Pass, e1 + t, e2 - t, 1.0, half);
            AddBand(bands, 3, BandKind::Stop, e2 + t, half, 0.0, half);
            break;
        case BandStop:
            AddBand(bands, 1, BandKind::Pass, 0.0, e1 - t, 1.0, half);
            AddBand(bands, 2, BandKind::Stop, e1 + t, e2 - t, 0.0, half);
            AddBand(bands, 3, BandKind::Pass, e2 + t, half, 1.0, half);
            break;
        case Differentiator: {
            // The slope 2*pi*f/Fs between the cutoffs; a cutoff at 0 or Fs/2 needs no
            // transition (the slope starts from 0, and the even length leaves Fs/2
            // free).
            const double lo = std::min(f1, f2), hi = std::max(f1, f2);
            const bool lowCut = lo > 0.0, highCut = hi < half;
            if (lowCut) AddBand(bands, 1, BandKind::Stop, 0.0, lo - t, 0.0, half);
            MeasureBand slope;
            slope.number = 2;
            slope.kind = BandKind::Slope;
            slope.lower = std::max(lowCut ? lo + t : 0.0, 0.0);
            slope.upper = std::min(highCut ? hi - t : half, half);
            slope.slope = 2.0 * kExactPi / spec.Fs;
            if (slope.lower < slope.upper) bands.push_back(slope);
            if (highCut) AddBand(bands, 3, BandKind::Stop, hi + t, half, 0.0, half);
            break;
        }
        default:
            // Hilbert transformer: unit gain between the zeros its symmetry forces at
            // 0 and Fs/2, half a transition in from each.
            AddBand(bands, 1, BandKind::Pass, t, half - t, 1.0, half);
            break;
    }
    return bands;
}

std::string GainText(double gain) {
    if (gain == 0.0) return "0 (-inf dB)";
    return FormatString("%.6g (%.2f dB)", gain, Db(gain));
}

std::string DbText(double db) {
    if (std::isinf(db)) return db < 0 ? "-inf" : "inf";
    return FormatString("%.4f", db);
}

std::string FrequenciesText(const std::vector<double>& f) {
    std::string text;
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (i > 0) text += ", ";
        text += std::isnan(f[i]) ? std::string("none") : FormatString("%.2f Hz", f[i]);
    }
    return text;
}

std::string BandLabel(const MeasureBand& b) {
    const char* kind = b.kind == BandKind::Pass   ? "pass band"
                       : b.kind == BandKind::Stop ? "stop band"
                                                  : "slope band";
    std::string label =
        FormatString("Band %d, %s %.2f ... %.2f Hz", b.number, kind, b.lower, b.upper);
    if (b.kind == BandKind::Pass && b.desired != 1.0) {
        label += FormatString(" (amplitude %g)", b.desired);
    }
    return label;
}

}  // namespace

int MeasurementGridSize(int taps) {
    const long long wanted = std::max(32LL * std::max(taps, 1), 16384LL);
    long long M = 1;
    while (M < wanted) M *= 2;
    return static_cast<int>(std::min(M, 1LL << 30));
}

double ImpliedTransitionWidth(int method, int N, double beta, double Fs) {
    if (N < 1 || !(Fs > 0.0)) return 0.0;
    const DesignMethodInfo* info = MethodInfo(static_cast<DesignMethod>(method));
    if (info == nullptr || info->family != DesignFamily::Window) return 0.0;
    if (method == Kaiser) return (KaiserAttenuationForBeta(beta) - 7.95) / (14.36 * N) * Fs;
    return info->lengthRule * Fs / N;
}

std::vector<MeasureBand> MeasurementBands(const FilterSpec& spec) {
    const double half = 0.5 * static_cast<double>(spec.Fs);
    return UsesBandTable(spec.WType) ? EquirippleBands(spec, half) : WindowBands(spec, half);
}

ResponseMeasurements MeasureTaps(const std::vector<double>& h, double Fs, int responseType,
                                 const std::vector<MeasureBand>& bands) {
    ResponseMeasurements m;
    const int N = static_cast<int>(h.size());
    const int M = MeasurementGridSize(N);
    Grid g;
    g.gain = ZeroPaddedMagnitude(h.data(), N, M);
    g.step = Fs / M;
    EndGains(h, m.dcGain, m.nyquistGain);
    if (g.gain.empty()) return m;
    g.gain.front() = m.dcGain;
    g.gain.back() = m.nyquistGain;

    for (const MeasureBand& b : bands) m.bands.push_back(MeasureBandOn(g, h, Fs, b));
    m.minus3DbHz = Crossings(g, responseType, bands, -3.0);
    m.minus6DbHz = Crossings(g, responseType, bands, -6.0);
    m.linearPhase = LinearPhase(h);
    m.groupDelay = m.linearPhase ? 0.5 * (N - 1) : kNaN;
    return m;
}

bool MeasureDesign(const FilterSpec& spec, const CFirDesign& design, int bits,
                   DesignMeasurements& out, std::string* error) {
    QuantizeOptions quantize;
    quantize.bits = bits;
    return MeasureDesign(spec, design, quantize, 0, out, error);
}

bool MeasureDesign(const FilterSpec& spec, const CFirDesign& design,
                   const QuantizeOptions& quantize, int inputBits, DesignMeasurements& out,
                   std::string* error) {
    return MeasureDesign(spec, design, quantize, inputBits, 0, out, error);
}

bool MeasureDesign(const FilterSpec& spec, const CFirDesign& design,
                   const QuantizeOptions& quantize, int inputBits, int outputBits,
                   DesignMeasurements& out, std::string* error) {
    const int bits = quantize.bits;
    auto fail = [&](const std::string& what) {
        if (error) *error = what;
        return false;
    };
    const std::vector<double>& h = design.coeffs;
    if (h.empty()) return fail("there is no design to measure");
    for (double x : h) {
        if (!std::isfinite(x)) return fail("the design has coefficients that are not finite");
    }
    if (!(spec.Fs > 0.0f)) return fail("the sampling frequency is not above 0");
    if (bits != 0 && (bits < kMinQuantizeBits || bits > kMaxQuantizeBits)) {
        return fail(FormatString("the word length must be %d to %d bits", kMinQuantizeBits,
                                 kMaxQuantizeBits));
    }
    DesignMeasurements m;
    m.responseType = spec.FType;
    m.equiripple = UsesBandTable(spec.WType);
    m.Fs = spec.Fs;
    m.taps = static_cast<int>(h.size());
    const int M = MeasurementGridSize(m.taps);
    m.gridPoints = M / 2 + 1;
    m.gridStepHz = m.Fs / M;
    const std::vector<MeasureBand> bands = MeasurementBands(spec);
    m.full = MeasureTaps(h, m.Fs, m.responseType, bands);
    if (bits != 0) {
        std::string why;
        if (!QuantizeTaps(h, quantize, m.fixedPoint, &why)) return fail(why);
        const int W = inputBits == 0 ? bits : inputBits;
        if (W < kMinInputBits || W > kMaxInputBits) {
            return fail(FormatString("the input width must be %d to %d bits", kMinInputBits,
                                     kMaxInputBits));
        }
        if (!ComputeBitGrowth(m.fixedPoint, W, 0, m.growth) ||
            !ComputeBitGrowth(m.fixedPoint, W, outputBits, m.growth)) {
            return fail(FormatString("the output width must be 2 to %d bits (the accumulator's)",
                                     m.growth.accumulatorBits));
        }
        m.quantized = true;
        m.fixed = MeasureTaps(m.fixedPoint.Taps(), m.Fs, m.responseType, bands);
    }
    m.conditionEstimate = m.equiripple ? design.conditionEstimate : 0.0;
    m.method = spec.WType;
    m.askedRippleDb = kNaN;
    if (spec.PBrip > 0.0 && std::isfinite(spec.PBrip)) {
        if (spec.WType == ParksMcClellan) {
            m.askedRippleDb = spec.PBrip;
        } else {
            // The window methods read PBrip as the largest gain above 1: 1 + dp.
            const double dp = std::pow(10.0, 0.05 * spec.PBrip) - 1.0;
            if (dp < 1.0) m.askedRippleDb = Db((1.0 + dp) / (1.0 - dp));
        }
    }
    m.askedAttenuationDb = spec.SBrip < 0.0 && std::isfinite(spec.SBrip) ? -spec.SBrip : kNaN;
    out = std::move(m);
    return true;
}

SpecCompliance ComplianceOf(const DesignMeasurements& m, const ResponseMeasurements& r) {
    SpecCompliance c;
    c.asked = !std::isnan(m.askedRippleDb) || !std::isnan(m.askedAttenuationDb);
    c.rippleDb = kNaN;
    c.attenuationDb = kNaN;
    for (const BandMeasurement& b : r.bands) {
        if (b.band.kind == BandKind::Pass)
            c.rippleDb = std::isnan(c.rippleDb) ? b.rippleDb : std::max(c.rippleDb, b.rippleDb);
        if (b.band.kind == BandKind::Stop) {
            c.attenuationDb = std::isnan(c.attenuationDb)
                                  ? b.attenuationDb
                                  : std::min(c.attenuationDb, b.attenuationDb);
        }
    }
    // A figure asked of a design without such a band is met by nothing to measure.
    const bool rippleMet =
        std::isnan(m.askedRippleDb) || std::isnan(c.rippleDb) || c.rippleDb <= m.askedRippleDb;
    const bool attenuationMet = std::isnan(m.askedAttenuationDb) || std::isnan(c.attenuationDb) ||
                                c.attenuationDb >= m.askedAttenuationDb;
    c.meets = rippleMet && attenuationMet;
    return c;
}

std::string ConditioningWarning(const FilterSpec& spec, const CFirDesign& design) {
    if (!UsesBandTable(spec.WType) || !(design.conditionEstimate > kIllConditionedAbove)) return "";
    MessageArgs args;
    args.condition = design.conditionEstimate;
    return FormatMessage(MessageCode::IllConditioned, args);
}

std::vector<MeasurementRow> MeasurementRows(const DesignMeasurements& m) {
    std::vector<MeasurementRow> rows;
    // Adds a row whose values come from the same rule applied to both measurements.
    auto add = [&](const std::string& label, auto&& text) {
        rows.push_back({label, text(m.full), m.quantized ? text(m.fixed) : std::string()});
    };
    if (m.quantized) {
        const QuantizedTaps& q = m.fixedPoint;
        rows.push_back({"Fixed point", "",
                        FormatString("%d bits, scale 2^%d, %d guard bits, %d saturated", q.bits,
                                     q.fractionBits, q.guardBits, q.saturated)});
        rows.push_back({"Fixed-point format", "",
                        FormatString("%s, rounding %s, overflow %s", q.FormatName().c_str(),
                                     RoundingName(q.rounding), OverflowName(q.overflow))});
        rows.push_back({"Largest quantization error", "", FormatString("%.4g", q.largestError)});
        rows.push_back({"Coefficient sum", "",
                        FormatString("%.10g (%lld / 2^%d)", q.CoefficientSum(),
                                     static_cast<long long>(q.integerSum), q.fractionBits)});
        const BitGrowth& g = m.growth;
        rows.push_back({"Accumulator width", "",
                        FormatString("%d bits for %d-bit input (W + ceil(log2 sum|q|) = %d), "
                                     "Q%d.%d",
                                     g.accumulatorBits, g.inputBits, g.boundBits,
                                     g.accumulatorBits - 1 - g.accumulatorFractionBits,
                                     g.accumulatorFractionBits)});
        if (g.outputBits != g.accumulatorBits) {
            rows.push_back(
                {"Output width", "",
                 FormatString("%d bits, Q%d.%d: %d low bits dropped, rounding %s", g.outputBits,
                              g.outputBits - 1 - g.outputFractionBits, g.outputFractionBits,
                              g.accumulatorBits - g.outputBits, RoundingName(q.rounding))});
        }
    }
    rows.push_back({"Measurement grid",
                    FormatString("%d points, 0 ... %.2f Hz, step %.6g Hz", m.gridPoints, 0.5 * m.Fs,
                                 m.gridStepHz),
                    ""});
    for (std::size_t i = 0; i < m.full.bands.size(); ++i) {
        const MeasureBand& b = m.full.bands[i].band;
        auto band = [i](const ResponseMeasurements& r) -> const BandMeasurement& {
            return r.bands[i];
        };
        add(BandLabel(b) + ", gain", [&](const ResponseMeasurements& r) {
            return DbText(band(r).minGainDb) + " ... " + DbText(band(r).maxGainDb) + " dB";
        });
        if (b.kind == BandKind::Pass) {
            add(FormatString("Band %d ripple (peak to peak)", b.number),
                [&](const ResponseMeasurements& r) { return DbText(band(r).rippleDb) + " dB"; });
        } else if (b.kind == BandKind::Stop) {
            add(FormatString("Band %d attenuation", b.number), [&](const ResponseMeasurements& r) {
                return DbText(band(r).attenuationDb) + " dB";
            });
        } else {
            add(FormatString("Band %d largest slope error", b.number),
                [&](const ResponseMeasurements& r) {
                    return FormatString("%.4g", band(r).largestError);
                });
        }
        if (!m.equiripple && m.responseType == Hilbert) {
            add(FormatString("Band %d largest magnitude ripple", b.number),
                [&](const ResponseMeasurements& r) {
                    return FormatString("%.4g", band(r).largestError);
                });
        }
    }
    if (!m.full.minus3DbHz.empty()) {
        add("-3 dB frequency",
            [](const ResponseMeasurements& r) { return FrequenciesText(r.minus3DbHz); });
        add("-6 dB frequency",
            [](const ResponseMeasurements& r) { return FrequenciesText(r.minus6DbHz); });
    }
    add("DC gain", [](const ResponseMeasurements& r) { return GainText(r.dcGain); });
    add("Nyquist gain", [](const ResponseMeasurements& r) { return GainText(r.nyquistGain); });
    add("Group delay", [&](const ResponseMeasurements& r) {
        if (!r.linearPhase) return std::string("not linear phase");
        return FormatString("%g samples (%.6g ms)", r.groupDelay, 1000.0 * r.groupDelay / m.Fs);
    });
    if (!std::isnan(m.askedRippleDb) || !std::isnan(m.askedAttenuationDb)) {
        auto figure = [](double asked, double achieved) {
            const std::string a =
                std::isnan(asked) ? std::string("not asked") : "asked " + DbText(asked) + " dB";
            return a + ", achieved " +
                   (std::isnan(achieved) ? std::string("no such band") : DbText(achieved) + " dB");
        };
        add("Pass band ripple (peak to peak)", [&](const ResponseMeasurements& r) {
            return figure(m.askedRippleDb, ComplianceOf(m, r).rippleDb);
        });
        add("Stop band attenuation", [&](const ResponseMeasurements& r) {
            return figure(m.askedAttenuationDb, ComplianceOf(m, r).attenuationDb);
        });
        add("Meets the ripple and attenuation asked", [&](const ResponseMeasurements& r) {
            return std::string(ComplianceOf(m, r).meets ? "yes" : "no");
        });
    }
    if (m.method == Equiripple) {
        std::string text = FormatString("%.2e", m.conditionEstimate);
        if (m.conditionEstimate > kIllConditionedAbove) text += " (nearly singular)";
        rows.push_back({"Condition estimate", text, ""});
    }
    return rows;
}

std::vector<std::string> MeasurementHeadings(const DesignMeasurements& m) {
    std::vector<std::string> headings = {"Measurement", "Full precision"};
    if (m.quantized) headings.push_back(FormatString("%d-bit fixed point", m.fixedPoint.bits));
    return headings;
}

std::string FormatMeasurementTable(const DesignMeasurements& m) {
    std::vector<MeasurementRow> rows = MeasurementRows(m);
    std::vector<std::string> headings = MeasurementHeadings(m);
    headings.resize(3);
    rows.insert(rows.begin(), {headings[0], headings[1], headings[2]});
    std::size_t w0 = 0, w1 = 0;
    for (const MeasurementRow& r : rows) {
        w0 = std::max(w0, r.label.size());
        w1 = std::max(w1, r.value.size());
    }
    std::string text;
    for (const MeasurementRow& r : rows) {
        std::string line = r.label + std::string(w0 - r.label.size() + 2, ' ') + r.value;
        if (m.quantized) line += std::string(w1 - r.value.size() + 2, ' ') + r.quantized;
        while (!line.empty() && line.back() == ' ') line.pop_back();
        text += line + "\n";
    }
    return text;
}

}  // namespace tapwright
