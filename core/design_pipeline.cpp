#include "core/design_pipeline.h"

#include <algorithm>
#include <utility>

#include "core/design_methods.h"
#include "core/parks_mcclellan.h"
#include "core/spec_rules.h"

namespace tapwright {

namespace {

// Whether a Parks-McClellan design searches the shortest length that meets the
// ripple figures: "Auto Design Filter" unchecked, for the types that offer it.
bool SearchesLength(const FilterSpec& spec, DesignMethod method, bool lengthGiven) {
    return method == ParksMcClellan && !lengthGiven && AutoDesignAvailable(spec.FType);
}

// Whether the design will use the typed length with the characteristic FChar. A
// window design whose length is not given estimates its own (odd) length instead,
// and a Parks-McClellan design may search for it.
bool UsesTypedLength(const FilterSpec& spec, DesignMethod method, bool lengthGiven) {
    if (SearchesLength(spec, method, lengthGiven)) return false;
    if (UsesBandTable(method) || lengthGiven) return true;
    return spec.FType == Differentiator || spec.FType == Hilbert;
}

bool FailWith(std::vector<DesignNotice>& notices, MessageCode code, const MessageArgs& args = {}) {
    notices.push_back(DesignNotice::Message(code, args));
    return false;
}

bool CheckLengths(const FilterSpec& spec, DesignMethod method, bool lengthGiven,
                  std::vector<DesignNotice>& notices) {
    const bool typed = UsesTypedLength(spec, method, lengthGiven);
    // Low and high pass carry a characteristic that follows the length, so they are
    // checked only where a stale pair would reach a design that uses the length.
    const bool lowOrHigh = spec.FType == LowPass || spec.FType == HighPass;
    if (!lowOrHigh || typed) {
        const bool evenChar = spec.FChar == SymmetricEven || spec.FChar == AntisymmetricEven;
        const bool oddTaps = spec.Taps % 2 != 0;
        if (evenChar && oddTaps) return FailWith(notices, MessageCode::NeedEvenLength);
        if (!evenChar && !oddTaps) return FailWith(notices, MessageCode::NeedOddLength);
    }
    MessageArgs args;
    if (method == Equiripple && spec.Taps > kMaxEquirippleTaps) {
        args.limit = kMaxEquirippleTaps;
        return FailWith(notices, MessageCode::EquirippleTooLong, args);
    }
    if (const auto why = CheckGivenLength(spec.Taps); typed && why) {
        return FailWith(notices, why->code, why->args);
    }
    if (!typed && !UsesBandTable(method)) {
        const long long estimate = CFirDesign::EstimateWindowLength(
            spec.FType, spec.WType, spec.Tw, spec.Fs, spec.Taps, spec.PBrip, spec.SBrip);
        if (estimate > kMaxTaps) {
            args.length = estimate;
            args.limit = kMaxTaps;
            return FailWith(notices, MessageCode::LengthTooLarge, args);
        }
    }
    return true;
}

// Length parity, length limits, band order and the rules between fields; the cutoff
// pair in f1, f2 (Hz).
bool CheckSpec(const DesignRequest& request, std::vector<DesignNotice>& notices, float& f1,
               float& f2) {
    const FilterSpec& spec = request.spec;
    if (!CheckLengths(spec, request.methodSelection, request.lengthGiven, notices)) return false;

    if (UsesBandTable(spec.WType)) {
        if (const std::optional<RuleBreak> broken = CheckBandOrder(spec)) {
            return FailWith(notices, broken->code, broken->args);
        }
    }
    // The rules between fields, on the spec as this design reads it and Save then
    // writes it: a value that passed its field's check before Fs changed may break
    // them, and the file would not load back.
    FilterSpec designed = spec;
    designed.WType = request.methodSelection;
    designed.AutoD = request.lengthGiven ? 1 : 0;
    if (const std::optional<SpecRuleBreak> broken = CheckSpecRules(designed)) {
        return FailWith(notices, broken->why.code, broken->why.args);
    }

    f1 = spec.Fc1;
    f2 = spec.Fc2;
    const ResponseType shown = request.responseSelection;
    if ((shown == BandPass || shown == BandStop) && spec.Fc1 > spec.Fc2) std::swap(f1, f2);
    return true;
}

// A Parks-McClellan design: its status, its message when it fails (the previous
// design stays), and the length and characteristic a length search found.
void RunParksMcClellan(DesignRequest& request, const CancelToken* cancel, ProgressSink* progress,
                       DesignOutcome& out) {
    FilterSpec& spec = request.spec;
    ParksMcClellanRequest pm;
    pm.responseType = spec.FType;
    pm.bands = spec.Bands;
    pm.bandCount = std::clamp(spec.TBand, 1, kMaxBands);
    pm.Fs = spec.Fs;
    pm.taps = spec.Taps;
    pm.symmetry = spec.FChar;
    pm.shortest = SearchesLength(spec, ParksMcClellan, request.lengthGiven);
    // The stop band figure is held negative: -60 dB asks for 60 dB of attenuation.
    pm.passRippleDb = spec.PBrip;
    pm.stopAttenDb = -spec.SBrip;
    pm.progress = progress;
    pm.cancel = cancel;
    const ParksMcClellanResult result = DesignParksMcClellan(request.previous, pm);
    out.status = result.status;
    MessageArgs args;
    args.detail = result.detail;
    switch (result.status) {
        case DesignStatus::Designed:
            out.r = 0;
            if (pm.shortest) {
                spec.Taps = result.length;
                spec.FChar = result.symmetry;
                out.writesBack = true;
            }
            return;
        case DesignStatus::Cancelled:
            out.r = spec.Itern;
            return;
        case DesignStatus::NotConverged:
            FailWith(out.notices, MessageCode::MinimaxNotConverged, args);
            out.r = -1;
            return;
        case DesignStatus::Refused:
        case DesignStatus::Singular:
            out.status = DesignStatus::Refused;
            FailWith(out.notices, MessageCode::MinimaxRefused, args);
            out.r = -2;
            return;
    }
}

// Designs with the method the selection names, into request.previous and
// request.spec, and records the status, r, notices and write-back in `out`.
void Run(DesignRequest& request, float f1, float f2, const CancelToken* cancel,
         ProgressSink* progress, DesignOutcome& out) {
    FilterSpec& spec = request.spec;
    CFirDesign& design = request.previous;
    DesignResult result;
    bool byPeakRatio = false;
    if (!out.equiripple) {
        if (request.lengthGiven) {
            result = design.DesignWindow(spec.FType, spec.WType, f1, f2, spec.Fs, spec.Taps,
                                         spec.FFT, spec.Beta, spec.FChar);
        } else {
            result =
                design.DesignWindowAuto(spec.FType, spec.WType, f1, f2, spec.Tw, spec.Fs, spec.Taps,
                                        spec.FFT, spec.PBrip, spec.SBrip, spec.Beta, spec.FChar);
            if (result.Designed()) {
                spec.Taps = result.length;
                out.writesBack = true;
            }
        }
    } else if (request.methodSelection == ParksMcClellan) {
        RunParksMcClellan(request, cancel, progress, out);
        return;
    } else {
        EquirippleRequest er;
        er.responseType = spec.FType;
        er.bands = spec.Bands;
        er.bandCount = std::clamp(spec.TBand, 1, kMaxBands);
        er.Fs = spec.Fs;
        er.taps = spec.Taps;
        er.symmetry = spec.FChar;
        // RatioTarget is -1 while the design runs by iterations.
        byPeakRatio = spec.RatioTarget >= 0.0;
        er.termination = byPeakRatio ? ByPeakRatio : ByIterations;
        er.iterations = spec.Itern;
        er.ratioTarget = spec.RatioTarget;
        er.exponent = 1.5;
        er.progress = progress;
        er.cancel = cancel;
        result = spec.FType == Differentiator ? design.DesignEquirippleDifferentiator(er)
                                              : design.DesignEquiripple(er);
    }

    out.status = result.status;
    switch (result.status) {
        case DesignStatus::Cancelled:
            out.r = spec.Itern;
            return;
        case DesignStatus::Singular:
            FailWith(out.notices, MessageCode::SingularMatrix);
            out.r = -1;
            return;
        case DesignStatus::Refused:
            // Only arguments that the checks let through by mistake get here.
            FailWith(out.notices,
                     spec.Taps % 2 != 0 ? MessageCode::NeedEvenLength : MessageCode::NeedOddLength);
            out.r = -2;
            return;
        case DesignStatus::NotConverged:  // the least-squares designs always end
            FailWith(out.notices, MessageCode::MinimaxNotConverged);
            out.r = -1;
            return;
        case DesignStatus::Designed:
            break;
    }

    if (!out.equiripple) {
        out.r = spec.Itern;
        return;
    }
    out.r = byPeakRatio ? result.solves : 0;
    if (spec.TerCr == ByPeakRatio) {
        spec.Itern = out.r;
        if (design.rippleRatio > spec.RatioTarget) {
            FailWith(out.notices, MessageCode::RatioNotReached);
            spec.Ratio = design.rippleRatio;
        } else {
            out.notices.push_back(
                DesignNotice::Information(RatioAchievedText(out.r, design.rippleRatio)));
        }
        out.writesBack = true;
    }
}

}  // namespace

std::optional<DesignNotice> CheckRequest(const DesignRequest& request) {
    std::vector<DesignNotice> notices;
    float f1 = 0.0f;
    float f2 = 0.0f;
    if (CheckSpec(request, notices, f1, f2)) return std::nullopt;
    return notices.front();
}

DesignRequest RequestFromSpec(const FilterSpec& spec) {
    DesignRequest request;
    request.spec = spec;
    request.responseSelection = spec.FType;
    request.methodSelection = spec.WType;
    request.lengthGiven = spec.AutoD != 0;
    return request;
}

DesignOutcome Design(DesignRequest request, const CancelToken* cancel, ProgressSink* progress) {
    DesignOutcome out;
    out.equiripple = UsesBandTable(request.methodSelection);
    float f1 = 0.0f;
    float f2 = 0.0f;
    out.checked = CheckSpec(request, out.notices, f1, f2);
    FilterSpec& spec = request.spec;
    CFirDesign& design = request.previous;
    if (out.checked) {
        // Under Hold On the method follows the selection once the check has passed.
        if (request.holdActive) spec.WType = request.methodSelection;
        if (request.designValid) {
            out.status = DesignStatus::Designed;
            out.redrawOnly = true;
            out.r = spec.Itern;
        } else {
            Run(request, f1, f2, cancel, progress, out);
        }
    }
    out.spec = std::move(spec);
    out.design = std::move(design);
    return out;
}

}  // namespace tapwright
