#include "core/filter_spec.h"

#include <algorithm>

#include "core/design_methods.h"
#include "core/graph_kinds.h"

namespace tapwright {

namespace {

constexpr std::string_view kResponseTexts[kResponseTypeCount] = {
    "Low Pass", "High Pass", "Band Pass", "Band Stop", "Differentiator", "Hilbert Transform"};
constexpr std::string_view kMultibandText = "Multiband";
constexpr std::string_view kSymmetryTexts[kSymmetryTypeCount] = {
    "Symmetrical, Odd Filter Length", "Symmetrical, Even Filter Length",
    "Asymmetrical, Odd Filter Length", "Asymmetrical, Even Filter Length"};
constexpr std::string_view kViewTexts[] = {"FULL VIEW", "PASSBAND VIEW", "STOPBAND VIEW",
                                           "SPECIFY FREQ RANGE"};
constexpr std::string_view kTerminationTexts[] = {"Iterations", "Peak Error Ratio"};
constexpr std::string_view kFftTexts[kFftIndexCount] = {"8",   "16",  "32",   "64",   "128",
                                                        "256", "512", "1024", "2048", "4096"};

template <std::size_t N>
std::string_view Pick(const std::string_view (&table)[N], int index) {
    return index >= 0 && static_cast<std::size_t>(index) < N ? table[index] : std::string_view();
}

}  // namespace

FilterSpec DefaultFilterSpec() {
    FilterSpec spec;
    ResetBands(spec);
    return spec;
}

int FftSizeFromIndex(int index) {
    if (index < 0 || index >= kFftIndexCount) return 0;
    return 1 << (index + 3);
}

int FftIndexFromSize(int size) {
    for (int i = 0; i < kFftIndexCount; ++i) {
        if (FftSizeFromIndex(i) == size) return i;
    }
    return -1;
}

void ResetBands(FilterSpec& spec) {
    spec.TBand = std::clamp(spec.TBand, 1, kMaxBands);
    for (int i = 0; i < spec.TBand; ++i) {
        spec.Bands[i].Lower = 0.0;
        spec.Bands[i].Upper = 0.0;
        spec.Bands[i].Weight = 1.0;
    }
    spec.Bands[spec.TBand - 1].Upper = spec.Fs * 0.5;
    double amplitude = (spec.FType == LowPass || spec.FType == BandStop) ? 1.0 : 0.0;
    for (int i = 0; i < spec.TBand; ++i) {
        spec.Bands[i].Amplitude = amplitude;
        amplitude = 1.0 - amplitude;
    }
}

std::string_view ResponseTypeText(ResponseType type, bool equiripple) {
    if (IsMultiband(type, equiripple)) return kMultibandText;
    return Pick(kResponseTexts, type);
}

std::string_view DesignMethodText(DesignMethod method) {
    const DesignMethodInfo* info = MethodInfo(method);
    return info ? info->text : std::string_view();
}
std::string_view SymmetryTypeText(SymmetryType symmetry) {
    return Pick(kSymmetryTexts, symmetry);
}
std::string_view GraphTypeText(GraphType graph) {
    const GraphKindInfo* kind = GraphKindOf(graph);
    return kind ? kind->text : std::string_view();
}
std::string_view ViewModeText(ViewMode view) {
    return Pick(kViewTexts, view);
}
std::string_view TerminationText(TerminationCriterion criterion) {
    return Pick(kTerminationTexts, criterion);
}
std::string_view FftSizeText(int index) {
    return Pick(kFftTexts, index);
}

}  // namespace tapwright
