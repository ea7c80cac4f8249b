#include "app/run_window.h"

#include <QApplication>
#include <QTimer>
#include <string>

#include "core/fir_design.h"
#include "graphs/graph_canvases.h"
#include "ui/about_dlg.h"
#include "ui/filter_design_dlg.h"

namespace tapwright::app {

const char* ProgramVersionText() {
    return ui::ProgramVersion();
}

int RunWindow(int& argc, char** argv, const char* file, std::function<void()> firstPaint) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tapwright"));
    // The installed desktop entry, whose icon the desktop shows for the window.
    QApplication::setDesktopFileName(QStringLiteral(TAPWRIGHT_APP_ID));
    ui::SetUpApplicationLook();

    // The design and the graph layers live as long as the window.
    CFirDesign design;
    GraphCanvases canvases;
    ui::CFilterDesignDlg window(design, canvases);
    if (firstPaint) window.SetFirstPaintCallback(std::move(firstPaint));
    window.show();
    if (file != nullptr) {
        // Once the window is on screen, so that a file that cannot be read shows its
        // box over it; the window keeps its defaults then.
        const std::string path = file;
        QTimer::singleShot(0, &window, [&window, path] { window.LoadStartupFile(path); });
    }
    return QApplication::exec();
}

}  // namespace tapwright::app
