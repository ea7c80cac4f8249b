// Speed of the design engine: equiripple solves and the window design with its
// response evaluation.

#include <benchmark/benchmark.h>

#include "core/design_measure.h"
#include "core/filter_spec.h"
#include "core/fir_design.h"

namespace {

using namespace tapwright;

// Low pass, Fs 8000, bands 0-1600 and 2000-4000 Hz, 40 reweighted solves.
void BM_EquirippleLowPass(benchmark::State& state) {
    const int taps = static_cast<int>(state.range(0));
    BandSpec bands[2] = {{0.0, 1600.0, 1.0}, {2000.0, 4000.0, 0.0}};
    double amplitudes[2] = {1.0, 0.0};
    for (auto _ : state) {
        CFirDesign design;
        const int r = design.DesignEquiripple(LowPass, bands, amplitudes, 2, 8000.0f, taps, 512,
                                              0.0, 0.0, 40, 1.5, nullptr, -1.0, SymmetricOdd);
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(design.coeffs.data());
    }
}
BENCHMARK(BM_EquirippleLowPass)->Arg(31)->Arg(101)->Arg(301)->Unit(benchmark::kMillisecond);

// The longest equiripple design the program accepts.
void BM_EquirippleLongest(benchmark::State& state) {
    BandSpec bands[2] = {{0.0, 1600.0, 1.0}, {2000.0, 4000.0, 0.0}};
    double amplitudes[2] = {1.0, 0.0};
    for (auto _ : state) {
        CFirDesign design;
        const int r =
            design.DesignEquiripple(LowPass, bands, amplitudes, 2, 8000.0f, kMaxEquirippleTaps, 512,
                                    0.0, 0.0, 40, 1.5, nullptr, -1.0, SymmetricOdd);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_EquirippleLongest)->Unit(benchmark::kMillisecond)->Iterations(1);

// Kaiser auto design, Fs 8000, Tw 1, PBrip 0, SBrip 0, FFT 4096, evaluation included.
void BM_KaiserAutoLongest(benchmark::State& state) {
    for (auto _ : state) {
        CFirDesign design;
        const int n = design.DesignWindowAuto(LowPass, Kaiser, 1000.0f, 0.0f, 1.0f, 8000.0f, 31,
                                              4096, 0.0, 0.0);
        benchmark::DoNotOptimize(n);
        state.counters["taps"] = n;
    }
}
BENCHMARK(BM_KaiserAutoLongest)->Unit(benchmark::kMillisecond);

// Measuring that design (95,849 taps, a grid of 2^21 + 1 points), at full precision
// (argument 0) and with its 16-bit fixed-point form as well.
void BM_MeasureKaiserLongest(benchmark::State& state) {
    FilterSpec spec = DefaultFilterSpec();
    spec.WType = Kaiser;
    spec.AutoD = 0;
    spec.Fc1 = 1000.0f;
    spec.Tw = 1.0f;
    CFirDesign design;
    spec.Taps =
        design.DesignWindowAuto(LowPass, Kaiser, 1000.0f, 0.0f, 1.0f, 8000.0f, 31, 4096, 0.0, 0.0);
    for (auto _ : state) {
        DesignMeasurements m;
        const bool ok = MeasureDesign(spec, design, static_cast<int>(state.range(0)), m);
        benchmark::DoNotOptimize(ok);
        state.counters["taps"] = m.taps;
        state.counters["points"] = m.gridPoints;
    }
}
BENCHMARK(BM_MeasureKaiserLongest)->Arg(0)->Arg(16)->Unit(benchmark::kMillisecond);

}  // namespace
