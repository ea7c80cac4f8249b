// The fixed-point tools: the Verilog and VHDL of a 1,001-tap filter (goal 50 ms),
// and the shortest word length of a 255-tap equiripple design (goal 1 s).

#include <benchmark/benchmark.h>

#include <string>

#include "core/filter_spec.h"
#include "core/fir_design.h"
#include "core/word_length.h"
#include "files/coefficient_export.h"

namespace {

using namespace tapwright;

// A Kaiser low pass of 1,001 taps as 16-bit Verilog (argument 0) or VHDL (1): the
// quantization, the bit growth and the text.
void BM_HdlExport1001Taps(benchmark::State& state) {
    FilterSpec spec = DefaultFilterSpec();
    spec.WType = Kaiser;
    spec.Taps = 1001;
    spec.AutoD = 1;
    CFirDesign design;
    design.DesignWindow(LowPass, Kaiser, 1000.0f, 0.0f, 8000.0f, 1001, 4096, 8.0, SymmetricOdd);
    ExportOptions o;
    o.format = state.range(0) == 0 ? ExportFormat::Verilog : ExportFormat::Vhdl;
    o.bits = 16;
    o.command = "bench";
    for (auto _ : state) {
        std::string text, error;
        if (!FormatExport(spec, design, o, text, &error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        benchmark::DoNotOptimize(text.data());
        state.counters["bytes"] = static_cast<double>(text.size());
    }
}
BENCHMARK(BM_HdlExport1001Taps)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// tapwright-cli measure --meet of a Kaiser low pass of 255 taps (beta 10, cutoff
// 1000 Hz at Fs 8000, about 100 dB down): the full-precision measurement and one
// per word length up to the shortest that keeps its attenuation less 1 dB.
void BM_ShortestWordLength255Taps(benchmark::State& state) {
    FilterSpec spec = DefaultFilterSpec();
    spec.WType = Kaiser;
    spec.Taps = 255;
    spec.Beta = 10.0;
    spec.Fc1 = 1000.0f;
    CFirDesign design;
    design.DesignWindow(LowPass, Kaiser, 1000.0f, 0.0f, 8000.0f, 255, 4096, 10.0, SymmetricOdd);
    for (auto _ : state) {
        WordLengthResult r;
        if (!FindShortestWordLength(spec, design, QuantizeOptions{}, kDefaultMeetMarginDb, r)) {
            state.SkipWithError("the design cannot be measured");
            break;
        }
        state.counters["bits"] = r.bits;
        state.counters["attenuationDb"] = r.measured.full.bands.back().attenuationDb;
    }
}
BENCHMARK(BM_ShortestWordLength255Taps)->Unit(benchmark::kMillisecond);

}  // namespace
