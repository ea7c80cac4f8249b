// Costs of the views computed from the taps. Goals: switching the main graph to any
// view of a 1,001-tap design redraws within 5 ms (the magnitude view with a 16-bit
// quantized curve included); the pole-zero view of 255 taps within 50 ms.

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "core/response_views.h"
#include "graphs/graph_canvases.h"
#include "graphs/graph_plotter.h"

namespace tapwright {
namespace {

void EnsureViewsApplication() {
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "views-bench";
        static char* argv[] = {name, nullptr};
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

// A Kaiser low pass of N taps at Fs 48 kHz on the window's default 512-point grid
// scaled up as the window's FFT size would be for a long design.
CFirDesign KaiserLowPass(int N) {
    CFirDesign d;
    d.responseType = LowPass;
    d.DesignWindow(LowPass, Kaiser, 4000.0f, 0.0f, 48000.0f, N, 8192, 8.0, SymmetricOdd);
    return d;
}

FilterSpec SpecOf(int N) {
    FilterSpec spec = DefaultFilterSpec();
    spec.WType = Kaiser;
    spec.FType = LowPass;
    spec.Fs = 48000.0f;
    spec.Taps = N;
    return spec;
}

// One view switch: erase, draw the chosen graph, compose the front image.
void BM_ViewSwitch_1001Taps(benchmark::State& state) {
    EnsureViewsApplication();
    GraphCanvases c;
    CreateStartupImages(c, kMainClientRect, kSmallClientRect);
    const CFirDesign d = KaiserLowPass(1001);
    const FilterSpec spec = SpecOf(1001);
    GraphOptions options;
    options.graph = static_cast<GraphType>(state.range(0));
    options.fixedPointBits = static_cast<int>(state.range(1));
    const HeldCurve held;
    for (auto _ : state) {
        ResetWorkingCanvases(c, false);
        DrawGraphs(c, d, held, spec, options, kMainClientRect, kSmallClientRect);
        RefreshGraphs(c, options);
        benchmark::DoNotOptimize(c.mainFront.GetPixel(300, 100));
    }
    state.SetLabel(std::string(GraphTypeText(options.graph)));
}
BENCHMARK(BM_ViewSwitch_1001Taps)
    ->Args({Magnitude, 0})
    ->Args({Magnitude, 16})
    ->Args({GroupDelay, 0})
    ->Args({UnwrappedPhase, 0})
    ->Args({Step, 0})
    ->Unit(benchmark::kMillisecond);

// The zeros alone, and the whole pole-zero view, at lengths up to the limit.
void BM_PoleZeros(benchmark::State& state) {
    const CFirDesign d = KaiserLowPass(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(ComputePoleZeros(d.coeffs));
}
// 383: the longest odd length the view offers.
BENCHMARK(BM_PoleZeros)->Arg(255)->Arg(kMaxPoleZeroTaps - 1)->Unit(benchmark::kMillisecond);

// The first magnitude view after a new word length: the quantized curve computed
// anew (a chirp transform of the 8,192-point grid).
void BM_QuantizedCurveFirstDraw_1001Taps(benchmark::State& state) {
    EnsureViewsApplication();
    GraphCanvases c;
    CreateStartupImages(c, kMainClientRect, kSmallClientRect);
    const CFirDesign d = KaiserLowPass(1001);
    const FilterSpec spec = SpecOf(1001);
    GraphOptions options;
    options.graph = Magnitude;
    options.fixedPointBits = 16;
    const HeldCurve held;
    for (auto _ : state) {
        c.quantized = QuantizedCache{};
        ResetWorkingCanvases(c, false);
        DrawGraphs(c, d, held, spec, options, kMainClientRect, kSmallClientRect);
        RefreshGraphs(c, options);
        benchmark::DoNotOptimize(c.mainFront.GetPixel(300, 100));
    }
}
BENCHMARK(BM_QuantizedCurveFirstDraw_1001Taps)->Unit(benchmark::kMillisecond);

void BM_PoleZeroView(benchmark::State& state) {
    EnsureViewsApplication();
    GraphCanvases c;
    CreateStartupImages(c, kMainClientRect, kSmallClientRect);
    const CFirDesign d = KaiserLowPass(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        c.mainBackground.CopyTo(&c.mainPlot);
        DrawPoleZero(&c.mainPlot, kMainClientRect, d, PlotStyle{});
        benchmark::DoNotOptimize(c.mainPlot.GetPixel(300, 100));
    }
}
BENCHMARK(BM_PoleZeroView)->Arg(255)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tapwright
