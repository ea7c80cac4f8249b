// Costs of the printed reports written as PDF at 600 dpi on A4. Goals: the response
// report of a 4096-point design within 300 ms; the coefficient report of the
// longest Kaiser design (95,849 taps, 1,066 pages) within 10 s and 200 MB. The
// counter peak_rss_mb is the process's peak so far; bench/report_memory.sh
// measures the command-line report alone.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QGuiApplication>
#include <filesystem>
#include <string>

#include "printing/report_painter.h"

namespace tapwright {
namespace {

void EnsureApplication() {
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "report-bench";
        static char* argv[] = {name, nullptr};
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

std::string TempPdf() {
    return (std::filesystem::temp_directory_path() /
            ("tapwright-report-bench-" + std::to_string(::getpid()) + ".pdf"))
        .string();
}

double PeakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void WriteReport(benchmark::State& state, ReportKind kind, const FilterSpec& spec,
                 const CFirDesign& design, const ReportDisplay& display) {
    const std::string path = TempPdf();
    int pages = 0;
    for (auto _ : state) {
        ReportSource source;
        if (MakeReportSource(kind, spec, design, display, source) != ReportStatus::Done) {
            state.SkipWithError("no report source");
            break;
        }
        const ReportStatus status = WriteReportPdf(
            path, source, 600, PdfPageLayout(QPageSize::A4), std::nullopt,
            [&](int done, int) {
                pages = done;
                return true;
            },
            nullptr);
        if (status != ReportStatus::Done) {
            state.SkipWithError("the PDF was not written");
            break;
        }
    }
    state.counters["pages"] = pages;
    state.counters["pdf_kb"] = static_cast<double>(std::filesystem::file_size(path)) / 1024.0;
    state.counters["peak_rss_mb"] = PeakRssMb();
    std::filesystem::remove(path);
}

void BM_ResponseReportPdf_4096Points(benchmark::State& state) {
    EnsureApplication();
    FilterSpec spec = DefaultFilterSpec();
    spec.WType = Kaiser;
    spec.Fc1 = 1000.0f;
    spec.Taps = 101;
    spec.FFT = 4096;
    CFirDesign design;
    design.DesignWindow(LowPass, Kaiser, 1000.0f, 0.0f, 8000.0f, 101, 4096, 4.0, SymmetricOdd);
    ReportDisplay display;
    display.graph.graph = Magnitude;
    display.graph.view = FullView;
    display.graph.gridOn = true;
    WriteReport(state, ReportKind::Response, spec, design, display);
}
BENCHMARK(BM_ResponseReportPdf_4096Points)->Unit(benchmark::kMillisecond);

void BM_CoefficientReportPdf_95849Taps(benchmark::State& state) {
    EnsureApplication();
    CFirDesign design;
    const int taps =
        design.DesignWindowAuto(LowPass, Kaiser, 1000.0f, 0.0f, 1.0f, 8000.0f, 31, 4096, 0.0, 0.0)
            .length;
    FilterSpec spec = DefaultFilterSpec();
    spec.WType = Kaiser;
    spec.Fc1 = 1000.0f;
    spec.Tw = 1.0f;
    spec.AutoD = 0;
    spec.Taps = taps;
    ReportDisplay display;
    display.autoDesign = false;
    WriteReport(state, ReportKind::Coefficients, spec, design, display);
    state.counters["taps"] = taps;
}
BENCHMARK(BM_CoefficientReportPdf_95849Taps)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace tapwright
