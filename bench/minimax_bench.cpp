// Speed of the minimax (Parks-McClellan) design. Goals, as ratios to scipy's remez
// timed in the same run by bench/minimax_vs_scipy.py: N = 101 at most scipy's time;
// N = 1001 (0.2/0.205) at most half of scipy's at grid density 32; N = 4097
// (0.0117/0.0156) converged within 1 s. The shortest-length search within 5 times
// one design of the length it finds.

#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>

#include "core/minimax_design.h"

namespace {

using namespace tapwright;

MinimaxRequest LowPass(int taps, double pass, double stop) {
    MinimaxRequest r;
    r.taps = taps;
    r.bands = {{0.0, pass, 1.0, 1.0}, {stop, 0.5, 0.0, 1.0}};
    return r;
}

const char* StatusWord(MinimaxStatus s) {
    switch (s) {
        case MinimaxStatus::Converged:
            return "converged";
        case MinimaxStatus::NoConvergence:
            return "no convergence";
        case MinimaxStatus::Refused:
            return "refused";
        case MinimaxStatus::Cancelled:
            return "cancelled";
    }
    return "";
}

void RunDesign(benchmark::State& state, const MinimaxRequest& request) {
    MinimaxResult r;
    for (auto _ : state) {
        r = DesignMinimax(request);
        benchmark::DoNotOptimize(r.taps.data());
    }
    state.SetLabel(StatusWord(r.status));
    state.counters["dB"] = r.deviation > 0 ? 20 * std::log10(r.deviation) : 0.0;
    state.counters["spread"] = r.spread;
    state.counters["iterations"] = r.iterations;
    state.counters["extended"] = r.extendedPrecision ? 1 : 0;
}

void BM_Minimax101(benchmark::State& state) {
    RunDesign(state, LowPass(101, 0.2, 0.25));
}
void BM_Minimax1001(benchmark::State& state) {
    RunDesign(state, LowPass(1001, 0.2, 0.205));
}
void BM_Minimax4097(benchmark::State& state) {
    RunDesign(state, LowPass(4097, 0.0117, 0.0156));
}

// Shortest low pass for 0.1 dB ripple and 40 ... 100 dB; the counters give the
// length found, the designs tried and the search's time over one design's.
void BM_MinimaxShortest(benchmark::State& state) {
    MinimaxLengthSpec spec;
    spec.bands = {{0.0, 0.2, 1.0, 1.0}, {0.22, 0.5, 0.0, 1.0}};
    spec.passRippleDb = 0.1;
    spec.stopAttenDb = static_cast<double>(state.range(0));
    MinimaxLengthResult found;
    for (auto _ : state) {
        found = FindShortestMinimax(spec);
        benchmark::DoNotOptimize(found.taps);
    }
    state.SetLabel(StatusWord(found.status));
    if (found.status != MinimaxStatus::Converged) return;
    // One design of the length found, with the weights the search used.
    MinimaxRequest one;
    one.taps = found.taps;
    one.bands = spec.bands;
    one.bands[0].weight = 1 / PassDeviationFromDb(spec.passRippleDb);
    one.bands[1].weight = 1 / StopDeviationFromDb(spec.stopAttenDb);
    // Processor time, which other work on the machine disturbs less than wall time.
    const int reps = 5;
    const std::clock_t t0 = std::clock();
    for (int i = 0; i < reps; ++i) benchmark::DoNotOptimize(DesignMinimax(one).taps.data());
    const double single = static_cast<double>(std::clock() - t0) / reps;
    const std::clock_t t1 = std::clock();
    for (int i = 0; i < reps; ++i) benchmark::DoNotOptimize(FindShortestMinimax(spec).taps);
    const double search = static_cast<double>(std::clock() - t1) / reps;
    state.counters["taps"] = found.taps;
    state.counters["estimate"] = found.estimate;
    state.counters["designs"] = found.designsTried;
    state.counters["search_over_one"] = search / single;
}

BENCHMARK(BM_Minimax101)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Minimax1001)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Minimax4097)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_MinimaxShortest)->Arg(40)->Arg(60)->Arg(80)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
