// The work of `tapwright-cli response` beyond process start-up, for the longest
// Kaiser design: read the spec file, design 95,849 taps, evaluate 4096 points and
// write the CSV. Goal: 20 ms.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "core/filter_spec.h"
#include "files/atomic_file.h"
#include "files/spec_file.h"

namespace tapwright {
namespace {

void BM_ResponseCommandLongestKaiser(benchmark::State& state) {
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() / ("tapwright-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    // Tw 1 Hz at 8 kHz with both ripples 0, Auto Design off, FFT 4096.
    FilterSpec spec = DefaultFilterSpec();
    spec.WType = Kaiser;
    spec.Fc1 = 1000.0f;
    spec.Tw = 1.0f;
    spec.FFT = 4096;
    spec.AutoD = 0;
    std::vector<double> noCoefficients;
    std::string input = (dir / "kaiser.txt").string();
    std::string option = "-o";
    std::string output = (dir / "response.csv").string();
    if (!WriteFileAtomically(
            input, FormatSpecFile(spec, FftIndexFromSize(spec.FFT), spec.AutoD, noCoefficients),
            nullptr)) {
        state.SkipWithError("cannot write the spec file");
    }
    char* argv[] = {input.data(), option.data(), output.data()};
    for (auto _ : state) {
        if (cli::RunResponseCommand(3, argv) != 0) {
            state.SkipWithError("the response command failed");
            break;
        }
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_ResponseCommandLongestKaiser)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tapwright
