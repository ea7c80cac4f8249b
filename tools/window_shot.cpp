// Drives the Tapwright window without a display and writes pictures of it, so the
// README's screenshot can be made again (tools/make_screenshot.sh).
//
//   tapwright_window_shot STEP...
//
// Steps run in order, each as the user would do it on the widgets:
//   load FILE          load a spec file as the Load button does (no success box)
//   apply              press Apply and wait until the design has finished
//   select ID INDEX    choose item INDEX of combo ID
//   click ID           click button or check box ID
//   resize W H         resize the window to W x H pixels (at least its default size)
//   shot OUT.png       write the whole window as it is on screen
// Message boxes that come up are closed at once; their texts go to standard error.

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QSaveFile>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/fir_design.h"
#include "graphs/graph_canvases.h"
#include "ui/control_ids.h"
#include "ui/filter_design_dlg.h"

namespace {

using tapwright::ui::CFilterDesignDlg;

void CloseBoxes() {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        std::fprintf(stderr, "box: %s\n", box->text().toLocal8Bit().constData());
        box->accept();
    }
}

void Settle(CFilterDesignDlg& window) {
    QElapsedTimer timer;
    timer.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    } while ((window.DesignRunning() || timer.elapsed() < 100) && timer.elapsed() < 600000);
}

int Fail(const char* what, const char* arg) {
    std::fprintf(stderr, "tapwright_window_shot: %s %s\n", what, arg);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tapwright::ui::SetUpApplicationLook();
    QTimer boxCloser;
    QObject::connect(&boxCloser, &QTimer::timeout, &CloseBoxes);
    boxCloser.start(50);

    tapwright::CFirDesign design;
    tapwright::GraphCanvases canvases;
    CFilterDesignDlg window(design, canvases);
    window.show();
    Settle(window);

    for (int i = 1; i < argc; ++i) {
        const std::string step = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (step == "load") {
            const char* file = next();
            if (file == nullptr || !window.LoadStartupFile(file)) return Fail("cannot load", file);
        } else if (step == "apply") {
            auto* apply = qobject_cast<QPushButton*>(window.Control(tapwright::ui::kApplyButton));
            apply->click();
        } else if (step == "select") {
            const char* id = next();
            const char* index = next();
            auto* combo = id ? qobject_cast<QComboBox*>(window.Control(std::atoi(id))) : nullptr;
            if (combo == nullptr || index == nullptr) return Fail("no combo", id ? id : "");
            combo->setCurrentIndex(std::atoi(index));
        } else if (step == "click") {
            const char* id = next();
            auto* button =
                id ? qobject_cast<QAbstractButton*>(window.Control(std::atoi(id))) : nullptr;
            if (button == nullptr) return Fail("no button", id ? id : "");
            button->click();
        } else if (step == "resize") {
            const char* w = next();
            const char* h = next();
            if (w == nullptr || h == nullptr) return Fail("resize needs", "W H");
            window.resize(std::atoi(w), std::atoi(h));
        } else if (step == "shot") {
            const char* out = next();
            if (out == nullptr) return Fail("shot needs", "a file name");
            Settle(window);
            QSaveFile file(QString::fromLocal8Bit(out));
            if (!file.open(QIODevice::WriteOnly) || !window.grab().save(&file, "PNG") ||
                !file.commit()) {
                return Fail("cannot write", out);
            }
        } else {
            return Fail("unknown step", step.c_str());
        }
        Settle(window);
    }
    return 0;
}
