// Speed of the design engine: equiripple solves and the window design with its
// response evaluation. Goals: the equiripple low pass within 2 ms (N = 31), 20 ms
// (N = 101) and 450 ms (N = 301), the longest equiripple design within 2 s, and the
// longest Kaiser design with its 4096-point response within 10 ms.

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "core/design_measure.h"
#include "core/filter_spec.h"
#include "core/fir_design.h"

namespace {

using namespace tapwright;

// Low pass, Fs 8000, bands 0-1600 and 2000-4000 Hz, 40 reweighted solves.
EquirippleRequest LowPassRequest(int taps) {
    static const BandSpec kBands[2] = {{0.0, 1600.0, 1.0}, {2000.0, 4000.0, 0.0}};
    EquirippleRequest request;
    request.bands = kBands;
    request.bandCount = 2;
    request.Fs = 8000.0f;
    request.taps = taps;
    request.iterations = 40;
    return request;
}

void BM_EquirippleLowPass(benchmark::State& state) {
    const EquirippleRequest request = LowPassRequest(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CFirDesign design;
        const DesignResult r = design.DesignEquiripple(request);
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(design.coeffs.data());
    }
}
BENCHMARK(BM_EquirippleLowPass)->Arg(31)->Arg(101)->Arg(301)->Unit(benchmark::kMillisecond);

// The longest equiripple design the program accepts.
void BM_EquirippleLongest(benchmark::State& state) {
    const EquirippleRequest request = LowPassRequest(kMaxEquirippleTaps);
    for (auto _ : state) {
        CFirDesign design;
        const DesignResult r = design.DesignEquiripple(request);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_EquirippleLongest)->Unit(benchmark::kMillisecond)->Iterations(1);

// Time from raising the cancel flag to the return of the longest equiripple design
// (511 taps, 10,000 iterations), raised from another thread the argument's
// milliseconds into the run (while it builds its grid, during the first solves), as
// Escape does while the design runs on its worker. One solve is the most it waits.
void BM_EquirippleCancelLatency(benchmark::State& state) {
    EquirippleRequest request = LowPassRequest(kMaxEquirippleTaps);
    request.iterations = 10000;
    for (auto _ : state) {
        std::atomic<bool> cancel{false};
        request.cancel = &cancel;
        CFirDesign design;
        DesignResult result;
        std::thread worker([&] { result = design.DesignEquiripple(request); });
        std::this_thread::sleep_for(std::chrono::milliseconds(state.range(0)));
        const auto raised = std::chrono::steady_clock::now();
        cancel = true;
        worker.join();
        const std::chrono::duration<double> waited = std::chrono::steady_clock::now() - raised;
        state.SetIterationTime(waited.count());
        if (result.status != DesignStatus::Cancelled) state.SkipWithError("not cancelled");
    }
}
BENCHMARK(BM_EquirippleCancelLatency)
    ->Arg(50)
    ->Arg(150)
    ->Arg(300)
    ->Arg(1000)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

// Kaiser auto design, Fs 8000, Tw 1, PBrip 0, SBrip 0, FFT 4096, evaluation included.
void BM_KaiserAutoLongest(benchmark::State& state) {
    for (auto _ : state) {
        CFirDesign design;
        const int n =
            design
                .DesignWindowAuto(LowPass, Kaiser, 1000.0f, 0.0f, 1.0f, 8000.0f, 31, 4096, 0.0, 0.0)
                .length;
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
        design.DesignWindowAuto(LowPass, Kaiser, 1000.0f, 0.0f, 1.0f, 8000.0f, 31, 4096, 0.0, 0.0)
            .length;
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
