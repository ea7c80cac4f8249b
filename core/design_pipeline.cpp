#include "core/design_pipeline.h"

#include <algorithm>

#include "core/spec_rules.h"

namespace tapwright {

namespace {

// Whether the design will use the typed length with the characteristic FChar. A
// window design whose length is not given estimates its own (odd) length instead.
bool UsesTypedLength(const FilterSpec& spec, bool equiripple, bool lengthGiven) {
    if (equiripple || lengthGiven) return true;
    return spec.FType == Differentiator || spec.FType == Hilbert;
}

bool FailWith(DesignHost& host, MessageCode code, const MessageArgs& args = {}) {
    host.ShowMessage(code, args);
    return false;
}

bool CheckLengths(const FilterSpec& spec, bool equiripple, bool lengthGiven, DesignHost& host) {
    const bool typed = UsesTypedLength(spec, equiripple, lengthGiven);
    // Low and high pass carry a characteristic that follows the length, so they are
    // checked only where a stale pair would reach a design that uses the length.
    const bool lowOrHigh = spec.FType == LowPass || spec.FType == HighPass;
    if (!lowOrHigh || typed) {
        const bool evenChar = spec.FChar == SymmetricEven || spec.FChar == AntisymmetricEven;
        const bool oddTaps = spec.Taps % 2 != 0;
        if (evenChar && oddTaps) return FailWith(host, MessageCode::NeedEvenLength);
        if (!evenChar && !oddTaps) return FailWith(host, MessageCode::NeedOddLength);
    }
    MessageArgs args;
    if (equiripple && spec.Taps > kMaxEquirippleTaps) {
        args.limit = kMaxEquirippleTaps;
        return FailWith(host, MessageCode::EquirippleTooLong, args);
    }
    if (typed && spec.Taps > kMaxTaps) {
        args.limit = kMaxTaps;
        return FailWith(host, MessageCode::LengthAboveMaximum, args);
    }
    if (typed && spec.Taps < 3) return FailWith(host, MessageCode::LengthTooSmall);
    if (!typed) {
        const long long estimate = CFirDesign::EstimateWindowLength(
            spec.FType, spec.WType, spec.Tw, spec.Fs, spec.Taps, spec.PBrip, spec.SBrip);
        if (estimate > kMaxTaps) {
            args.length = estimate;
            args.limit = kMaxTaps;
            return FailWith(host, MessageCode::LengthTooLarge, args);
        }
    }
    return true;
}

}  // namespace

CheckOutcome CheckSpec(FilterSpec& spec, CFirDesign& design, const PipelineFlags& flags,
                       DesignHost& host) {
    CheckOutcome out;
    if (!flags.holdActive) {
        host.PullEditBuffer();
        design.heldIterations = spec.Itern;
    }
    const bool equiripple = host.DesignMethodSelection() == Equiripple;
    const bool lengthGiven = host.LengthGiven();

    // The parity of the length as the characteristic demands, and the length limits.
    if (!CheckLengths(spec, equiripple, lengthGiven, host)) return out;

    if (spec.WType == Equiripple) {
        const int bands = std::clamp(spec.TBand, 1, kMaxBands);
        MessageArgs args;
        for (int i = 1; i <= bands; ++i) {
            if (spec.Bands[i - 1].Lower > spec.Bands[i - 1].Upper) {
                args.bandA = i;
                host.ShowMessage(MessageCode::BandRangeError, args);
                return out;
            }
        }
        for (int i = 2; i <= bands; ++i) {
            if (spec.Bands[i - 2].Upper > spec.Bands[i - 1].Lower) {
                args.bandA = i - 1;
                args.bandB = i;
                host.ShowMessage(MessageCode::BandOverlapError, args);
                return out;
            }
        }
    }

    out.f1 = spec.Fc1;
    out.f2 = spec.Fc2;
    const ResponseType shown = host.ResponseTypeSelection();
    if ((shown == BandPass || shown == BandStop) && spec.Fc1 > spec.Fc2) {
        std::swap(out.f1, out.f2);
    }
    out.passed = true;
    return out;
}

void StashHeldDesign(FilterSpec& spec, CFirDesign& design, DesignHost& host) {
    design.heldMethod = spec.WType;
    spec.WType = host.DesignMethodSelection();
    const std::size_t count = std::min(design.magnitudeDb.size(),
                                       static_cast<std::size_t>(std::max(design.pointCount, 0)));
    design.heldMagnitudeDb.assign(design.magnitudeDb.begin(),
                                  design.magnitudeDb.begin() + static_cast<std::ptrdiff_t>(count));
}

RunOutcome RunDesign(FilterSpec& spec, CFirDesign& design, PipelineFlags& flags, DesignHost& host,
                     float f1, float f2, const std::atomic<bool>* cancel) {
    RunOutcome out;
    out.equiripple = host.DesignMethodSelection() == Equiripple;
    if (flags.designValid) {
        out.displayOnly = true;
        out.r = spec.Itern;
        return out;
    }

    DesignResult result;
    bool byPeakRatio = false;
    if (!out.equiripple) {
        if (host.LengthGiven()) {
            result = design.DesignWindow(spec.FType, spec.WType, f1, f2, spec.Fs, spec.Taps,
                                         spec.FFT, spec.Beta, spec.FChar);
        } else {
            result =
                design.DesignWindowAuto(spec.FType, spec.WType, f1, f2, spec.Tw, spec.Fs, spec.Taps,
                                        spec.FFT, spec.PBrip, spec.SBrip, spec.Beta, spec.FChar);
            if (result.Designed()) {
                spec.Taps = result.length;
                host.PushEditBuffer();
            }
        }
    } else {
        EquirippleRequest request;
        request.responseType = spec.FType;
        request.bands = spec.Bands;
        request.bandCount = std::clamp(spec.TBand, 1, kMaxBands);
        request.Fs = spec.Fs;
        request.taps = spec.Taps;
        request.symmetry = spec.FChar;
        // RatioTarget is -1 while the design runs by iterations.
        byPeakRatio = spec.RatioTarget >= 0.0;
        request.termination = byPeakRatio ? ByPeakRatio : ByIterations;
        request.iterations = spec.Itern;
        request.ratioTarget = spec.RatioTarget;
        request.exponent = 1.5;
        request.progress = &host;
        request.cancel = cancel;
        result = spec.FType == Differentiator ? design.DesignEquirippleDifferentiator(request)
                                              : design.DesignEquiripple(request);
        if (result.status == DesignStatus::Cancelled) {
            out.status = result.status;
            out.r = spec.Itern;
            return out;
        }
        if (!result.Designed()) {
            host.SetSaveEnabled(false);
            for (int t = 0; t < kProgressTextCount; ++t) {
                host.SetProgressVisible(static_cast<ProgressText>(t), false);
            }
        }
    }

    out.status = result.status;
    if (result.status == DesignStatus::Singular) {
        host.ShowMessage(MessageCode::SingularMatrix, {});
        out.r = -1;
        return out;
    }
    if (result.status == DesignStatus::Refused) {
        // Only arguments that the checks above let through by mistake get here.
        host.ShowMessage(
            spec.Taps % 2 != 0 ? MessageCode::NeedEvenLength : MessageCode::NeedOddLength, {});
        out.r = -2;
        return out;
    }

    if (!out.equiripple) {
        out.r = spec.Itern;
    } else {
        out.r = byPeakRatio ? result.solves : 0;
        if (spec.TerCr == ByPeakRatio) {
            spec.Itern = out.r;
            if (design.rippleRatio > spec.RatioTarget) {
                host.ShowMessage(MessageCode::RatioNotReached, {});
                spec.Ratio = design.rippleRatio;
            } else {
                host.ShowInformation(RatioAchievedText(out.r, design.rippleRatio));
            }
            host.PushEditBuffer();
        }
    }

    flags.designValid = true;
    if (!flags.holdActive) {
        host.SetApplyEnabled(false);
        host.FillCoefficientList();
    }
    return out;
}

}  // namespace tapwright
