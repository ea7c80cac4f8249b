// Drawing costs of the graphs on the window's 584 x 342 area. Goals: the full dB
// view and the impulse plot of a 95,851-tap design each within 20 ms, a 4096-point
// dB view within 2 ms. Each iteration erases the working canvas first, as a redraw
// does.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>
#include <complex>

#include "core/design_constants.h"
#include "graphs/graph_canvases.h"
#include "graphs/graph_plotter.h"

namespace tapwright {
namespace {

constexpr int kLongTaps = 95851;

// The label font needs a GUI application; no display is used.
void EnsureApplication() {
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "graphs-bench";
        static char* argv[] = {name, nullptr};
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

// A Kaiser-like windowed-sinc low pass of N taps with the dB response of K points
// sketched from its shape: the plots only read the arrays.
CFirDesign LongLowPass(int N, int K) {
    CFirDesign d;
    d.length = N;
    d.coeffs.resize(static_cast<size_t>(N));
    d.window.resize(static_cast<size_t>(N / 2 + 1));
    const double u = 0.125;
    const int M = N / 2;
    for (int j = 0; j <= M; ++j) {
        const double r = static_cast<double>(j) / M;
        d.window[static_cast<size_t>(j)] = std::cos(kHalfPi * r) * std::cos(kHalfPi * r);
    }
    for (int i = 0; i < N; ++i) {
        const int l = std::abs(i - M);
        const double x = kTwoPi * u * l;
        d.coeffs[static_cast<size_t>(i)] =
            2.0 * u * (l == 0 ? 1.0 : std::sin(x) / x) * d.window[static_cast<size_t>(l)];
    }
    d.pointCount = K;
    d.magnitudeDb.resize(static_cast<size_t>(K));
    d.magnitude.resize(static_cast<size_t>(K));
    d.spectrum.resize(static_cast<size_t>(K));
    for (int i = 0; i < K; ++i) {
        const double f = static_cast<double>(i) / (K - 1);
        const double db =
            f < u ? 0.01 * std::sin(40.0 * f) : -80.0 - 20.0 * std::fabs(std::sin(300.0 * f));
        d.magnitudeDb[static_cast<size_t>(i)] = db;
        d.magnitude[static_cast<size_t>(i)] = std::pow(10.0, db / 20.0);
        d.spectrum[static_cast<size_t>(i)] =
            std::polar(d.magnitude[static_cast<size_t>(i)], -M * f * kTwoPi);
    }
    return d;
}

struct Area {
    GraphCanvases canvases;
    Area() {
        EnsureApplication();
        CreateStartupImages(canvases, kMainClientRect, kSmallClientRect);
    }
};

const CanvasRect& R() {
    return kMainClientRect;
}

void BM_DbFullView_95851Taps(benchmark::State& state) {
    Area a;
    const CFirDesign d = LongLowPass(kLongTaps, 4096);
    for (auto _ : state) {
        a.canvases.mainBackground.CopyTo(&a.canvases.mainPlot);
        DrawMagnitudeDb(&a.canvases.mainPlot, R(), ResponseData{d, 8000.0f, DesignFamily::Window},
                        PlotStyle{.colour = kCurrentCurveColour});
        benchmark::DoNotOptimize(a.canvases.mainPlot.GetPixel(300, 100));
    }
}
BENCHMARK(BM_DbFullView_95851Taps)->Unit(benchmark::kMillisecond);

void BM_Impulse_95851Taps(benchmark::State& state) {
    Area a;
    const CFirDesign d = LongLowPass(kLongTaps, 8);
    const bool curve = state.range(0) != 0;
    for (auto _ : state) {
        a.canvases.mainBackground.CopyTo(&a.canvases.mainPlot);
        DrawImpulse(&a.canvases.mainPlot, R(), d,
                    PlotStyle{.colour = kCurrentCurveColour, .curveFitting = curve});
        benchmark::DoNotOptimize(a.canvases.mainPlot.GetPixel(300, 100));
    }
}
BENCHMARK(BM_Impulse_95851Taps)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DbFullView_4096Points(benchmark::State& state) {
    Area a;
    const CFirDesign d = LongLowPass(31, 4096);
    const bool equiripple = state.range(0) != 0;
    for (auto _ : state) {
        a.canvases.mainBackground.CopyTo(&a.canvases.mainPlot);
        if (equiripple) {
            DrawMagnitudeDb(&a.canvases.mainPlot, R(),
                            ResponseData{d, 8000.0f, DesignFamily::Equiripple},
                            PlotStyle{.colour = kCurrentCurveColour});
        } else {
            DrawMagnitudeDb(&a.canvases.mainPlot, R(),
                            ResponseData{d, 8000.0f, DesignFamily::Window},
                            PlotStyle{.colour = kCurrentCurveColour});
        }
        benchmark::DoNotOptimize(a.canvases.mainPlot.GetPixel(300, 100));
    }
}
BENCHMARK(BM_DbFullView_4096Points)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_Phase_4096Points(benchmark::State& state) {
    Area a;
    const CFirDesign d = LongLowPass(kLongTaps, 4096);
    for (auto _ : state) {
        a.canvases.mainBackground.CopyTo(&a.canvases.mainPlot);
        DrawPhase(&a.canvases.mainPlot, R(),
                  ResponseData{.design = d, .Fs = 8000.0f, .symmetry = SymmetricOdd},
                  PlotStyle{.colour = kPhaseCurveColour, .curveFitting = true});
        benchmark::DoNotOptimize(a.canvases.mainPlot.GetPixel(300, 100));
    }
}
BENCHMARK(BM_Phase_4096Points)->Unit(benchmark::kMicrosecond);

void BM_WindowShape_95851Taps(benchmark::State& state) {
    Area a;
    const CFirDesign d = LongLowPass(kLongTaps, 8);
    const CanvasRect& s = kSmallClientRect;
    for (auto _ : state) {
        a.canvases.smallBackground.CopyTo(&a.canvases.smallPlot);
        DrawWindowShape(&a.canvases.smallPlot, s, d, Kaiser);
        benchmark::DoNotOptimize(a.canvases.smallPlot.GetPixel(100, 100));
    }
}
BENCHMARK(BM_WindowShape_95851Taps)->Unit(benchmark::kMillisecond);

void BM_ComposeWithGridAndHold(benchmark::State& state) {
    Area a;
    for (auto _ : state) {
        RefreshGraphs(a.canvases, GraphOptions{.gridOn = true, .holdActive = true});
        benchmark::DoNotOptimize(a.canvases.mainFront.GetPixel(300, 100));
    }
}
BENCHMARK(BM_ComposeWithGridAndHold)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tapwright
