// Speed of the window, offscreen: start-up to the first painted window, Apply of a
// long Kaiser design, the Grid On toggle, a display-type switch, and how soon a
// long equiripple design stops after Escape. Goals: 300 ms, 30 ms, 2 ms, 5 ms and
// 0.5 s. Every action goes through the widgets, as a user's does.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "core/fir_design.h"
#include "graphs/graph_canvases.h"
#include "picture/picture_files.h"
#include "ui/control_ids.h"
#include "ui/filter_design_dlg.h"

extern char** environ;

namespace {

using namespace tapwright;
using namespace tapwright::ui;
using Clock = std::chrono::steady_clock;

// A spec file in /tmp for as long as the benchmark runs.
struct TempSpec {
    std::string path;
    TempSpec(const std::string& name, const std::string& text)
        : path("/tmp/tapwright_bench_" + std::to_string(getpid()) + "_" + name) {
        std::ofstream(path) << text;
    }
    ~TempSpec() { std::remove(path.c_str()); }
};

// Kaiser low pass, 1001 taps, FFT size 4096 (index 9), Auto Design on.
std::string KaiserSpec() {
    return "FChar: 0\nFType: 0\nWType: 4\n   Fs: 8000.000000\n   Tw: 1.000000\n"
           "  Fc1: 1000.000000\n  Fc2: 0.000000\nTBand: 2\n"
           "Bd1L: 0.000000\nBd1U: 0.000000\nBd1A: 1.000000\n"
           "Bd2L: 0.000000\nBd2U: 4000.000000\nBd2A: 0.000000\n"
           "  FFT: 9\n Taps: 1001\n Beta: 6.000000\nPBrip: 0.000000\nSBrip: 0.000000\n"
           "AutoD: 1\nTerCr: 0\nItern: 0\nRatio: 0.000000\nCoeff:\n";
}

// The same with Auto Design off: the length estimated from a 1 Hz transition
// width and ripples of 0 dB, 95,849 taps.
std::string LongKaiserSpec() {
    std::string text = KaiserSpec();
    text.replace(text.find("AutoD: 1"), 8, "AutoD: 0");
    return text;
}

// Equiripple low pass of the longest length, 10,000 iterations.
std::string LongEquirippleSpec() {
    return "FChar: 0\nFType: 0\nWType: 5\n   Fs: 8000.000000\n   Tw: 1.000000\n"
           "  Fc1: 0.000000\n  Fc2: 0.000000\nTBand: 2\n"
           "Bd1L: 0.000000\nBd1U: 1600.000000\nBd1A: 1.000000\n"
           "Bd2L: 2000.000000\nBd2U: 4000.000000\nBd2A: 0.000000\n"
           "  FFT: 6\n Taps: 511\n Beta: 4.000000\nPBrip: 0.000000\nSBrip: 0.000000\n"
           "AutoD: 1\nTerCr: 0\nItern: 10000\nRatio: 0.000000\nCoeff:\n";
}

QApplication& Application() {
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "window-bench";
        static char* argv[] = {name, nullptr};
        auto* a = new QApplication(argc, argv);
        SetUpApplicationLook();
        // Boxes (such as "Ratio achieved") are closed as soon as they show.
        auto* closer = new QTimer(a);
        QObject::connect(closer, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box->accept();
            }
        });
        closer->start(5);
        return a;
    }();
    return *app;
}

// One window with its own design object and canvases.
struct Window {
    CFirDesign design;
    GraphCanvases canvases;
    std::unique_ptr<CFilterDesignDlg> dlg;

    Window() {
        Application();
        dlg = std::make_unique<CFilterDesignDlg>(design, canvases);
        dlg->show();
        Settle();
    }
    void Settle() {
        do {
            QApplication::processEvents();
        } while (dlg->DesignRunning());
    }
    template <typename T>
    T* Get(int id) {
        return qobject_cast<T*>(dlg->Control(id));
    }
    // Withdraws the design as an edit of the length does, so Apply designs again.
    void Invalidate() {
        auto* length = Get<QLineEdit>(kLengthEdit);
        const QString text = length->text();
        emit length->textEdited(text + QStringLiteral("0"));
        emit length->textEdited(text);
    }
    void Apply() {
        Get<QPushButton>(kApplyButton)->click();
        Settle();
    }
};

// Start of the window program to its first paint (offscreen), measured on a fresh
// process each time.
void BM_StartupToFirstPaint(benchmark::State& state) {
    const std::string probe = ProgramDirectory() + "/tapwright-startup-probe";
    for (auto _ : state) {
        int out[2];
        if (pipe(out) != 0) {
            state.SkipWithError("pipe");
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        char* argv[] = {const_cast<char*>(probe.c_str()), nullptr};
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        const auto start = Clock::now();
        pid_t pid = 0;
        const int rc = posix_spawn(&pid, probe.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        char c = 0;
        const bool painted = rc == 0 && read(out[0], &c, 1) == 1;
        const auto end = Clock::now();
        close(out[0]);
        if (rc == 0) waitpid(pid, nullptr, 0);
        if (!painted) {
            state.SkipWithError("the probe did not report a paint");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}
BENCHMARK(BM_StartupToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// Loads the spec, designs it once, then times Apply after each invalidation
// (optionally with the whole window painted) and returns the last design's length.
int TimeApply(benchmark::State& state, const char* name, const std::string& text, bool paint) {
    Window w;
    const TempSpec spec(name, text);
    w.dlg->LoadStartupFile(spec.path);
    w.Apply();
    for (auto _ : state) {
        state.PauseTiming();
        w.Invalidate();
        state.ResumeTiming();
        w.Apply();
        if (paint) w.dlg->repaint();
    }
    return w.design.length;
}

// Apply of a Kaiser design of length 1001 at FFT size 4096: the design, the graphs
// drawn and composed on the front canvases, the coefficient list refilled and the
// widgets updated.
void BM_ApplyKaiser1001(benchmark::State& state) {
    if (TimeApply(state, "kaiser.txt", KaiserSpec(), false) != 1001)
        state.SkipWithError("the design did not run");
}
BENCHMARK(BM_ApplyKaiser1001)->Unit(benchmark::kMillisecond);

// The same, with the whole window painted after it.
void BM_ApplyKaiser1001Painted(benchmark::State& state) {
    TimeApply(state, "kaiser.txt", KaiserSpec(), true);
}
BENCHMARK(BM_ApplyKaiser1001Painted)->Unit(benchmark::kMillisecond);

// Apply of the 95,849-tap Kaiser design: the list of that many rows fills with the
// rest (its texts are formatted only for the rows shown).
void BM_ApplyLongKaiser(benchmark::State& state) {
    if (TimeApply(state, "long_kaiser.txt", LongKaiserSpec(), false) < 90000)
        state.SkipWithError("the long design did not run");
}
BENCHMARK(BM_ApplyLongKaiser)->Unit(benchmark::kMillisecond);

// Grid On clicked with a design shown: the grid layer combined or left out.
void BM_GridToggle(benchmark::State& state) {
    Window w;
    const TempSpec spec("kaiser.txt", KaiserSpec());
    w.dlg->LoadStartupFile(spec.path);
    w.Apply();
    auto* grid = w.Get<QCheckBox>(kGridCheck);
    if (!grid->isEnabled()) state.SkipWithError("Grid On is not enabled after a design");
    for (auto _ : state) grid->click();
}
BENCHMARK(BM_GridToggle)->Unit(benchmark::kMicrosecond);

// Full view and stopband view in turn, on the dB magnitude graph of a design.
void BM_DisplayTypeSwitch(benchmark::State& state) {
    Window w;
    const TempSpec spec("kaiser.txt", KaiserSpec());
    w.dlg->LoadStartupFile(spec.path);
    w.Apply();
    w.Get<QComboBox>(kGraphTypeCombo)->setCurrentIndex(Magnitude);
    w.Settle();
    w.Get<QCheckBox>(kLogScaleCheck)->click();
    w.Settle();
    auto* display = w.Get<QComboBox>(kDisplayTypeCombo);
    if (!display->isEnabled()) state.SkipWithError("the display type is not enabled");
    int view = FullView;
    for (auto _ : state) {
        view = view == FullView ? StopbandView : FullView;
        display->setCurrentIndex(view);
    }
}
BENCHMARK(BM_DisplayTypeSwitch)->Unit(benchmark::kMicrosecond);

// Escape during a 511-tap equiripple design of 10,000 iterations, pressed the given
// number of milliseconds after Apply (in the setup, in the first solve, in the
// reweighted solves): the time until the window is free again.
void BM_CancelLongEquiripple(benchmark::State& state) {
    Window w;
    const TempSpec spec("long_equiripple.txt", LongEquirippleSpec());
    w.dlg->LoadStartupFile(spec.path);
    for (auto _ : state) {
        w.Invalidate();
        w.Get<QPushButton>(kApplyButton)->click();
        QElapsedTimer running;
        running.start();
        while (running.elapsed() < state.range(0)) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        if (!w.dlg->DesignRunning()) {
            state.SkipWithError("the design was not running on its worker thread");
            return;
        }
        const auto start = Clock::now();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(w.dlg.get(), &escape);
        w.Settle();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
}
BENCHMARK(BM_CancelLongEquiripple)
    ->Arg(100)
    ->Arg(300)
    ->Arg(450)
    ->Arg(1000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
