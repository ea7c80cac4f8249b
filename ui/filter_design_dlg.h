#pragma once

// CFilterDesignDlg: Tapwright's one window. Its widgets are built from the control
// table and mirror the control model of DialogLogic, which holds every rule; the
// window forwards each user action to the logic and copies back whatever changed.
// Its desktop (boxes, file dialogs, focus, pictures, the worker thread of long
// designs) is a QtWindowPlatform it owns and hands to the logic.

#include <QElapsedTimer>
#include <QRegion>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

#include "core/fir_design.h"
#include "graphs/graph_canvases.h"
#include "ui/dialog_logic.h"
#include "ui/qt_window_platform.h"

class QLabel;

namespace tapwright {
class PrintDialogRunner;
}

namespace tapwright::ui {

class CoefficientListModel;
class GraphArea;

// Window size in pixels: 675 x 336 dialog units.
inline constexpr int kWindowWidthPx = DialogUnitsToPixelsX(kWindowWidthDu);
inline constexpr int kWindowHeightPx = DialogUnitsToPixelsY(kWindowHeightDu);

// Widths of the coefficient list's columns, pixels.
inline constexpr int kNumberColumnWidth = 35;
inline constexpr int kValueColumnWidth = 94;

// The look every Tapwright window shares: the Fusion style (the captions are
// measured for it) and the application icon. Call once after QApplication exists.
void SetUpApplicationLook();

class CFilterDesignDlg : public QWidget {
  public:
    // Builds every control and runs the window's initialisation. The design object
    // and the canvases must outlive the window.
    CFilterDesignDlg(CFirDesign& design, GraphCanvases& canvases, QWidget* parent = nullptr);
    ~CFilterDesignDlg() override;
    CFilterDesignDlg(const CFilterDesignDlg&) = delete;
    CFilterDesignDlg& operator=(const CFilterDesignDlg&) = delete;

    // Loads a spec file given on the command line exactly as Load does, without the
    // success box. False (its message shown, nothing changed) when it cannot be read.
    bool LoadStartupFile(const std::string& path);

    // The widget of control `id`, or null when no control has that id.
    QWidget* Control(int id) const;
    const DialogLogic& Logic() const { return *logic_; }
    // True while a design runs on the worker thread.
    bool DesignRunning() const { return platform_->DesignRunning(); }
    // True while a report is drawn (after its print dialog).
    bool Printing() const { return printing_; }

    // The print dialog of the print buttons: null (the default) shows QPrintDialog
    // over the window; tests give a runner that answers it. Not owned.
    void SetPrintDialogRunner(PrintDialogRunner* runner) { printDialog_ = runner; }

    // Called once after the window's first paint (start-up measurements).
    void SetFirstPaintCallback(std::function<void()> callback);

    // The desktop the logic reaches through this window.
    QtWindowPlatform& Platform() { return *platform_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void BuildControls();
    void PlacePrintProgress(QSize extra);
    QWidget* MakeControl(const ControlDef& def);
    void ConnectControl(const ControlDef& def, QWidget* widget);

    // Copies every state whose version changed since it was last copied.
    void Mirror();
    // Copies one control's whole state, whatever its version.
    void ApplyState(int id);
    // Repaints at once the controls mirrored since the last time, and the graphs.
    void RepaintChanged();
    // Runs a forwarded user action, then mirrors. Pending focus checks run first;
    // when one of them showed a message the action is dropped, as the box took it.
    void Forward(int id, const std::function<void()>& action);
    void RunPendingFocusCheck();
    void QueueFocusLost(int id);

    // Enter in a field: its check runs as when it loses the focus; the window stays.
    void CommitField(int id);
    // Quit, Escape and Enter outside the fields: the focused field is checked and the
    // edit buffer pulled; then the window closes (asking first about unsaved inputs).
    void RequestQuit();
    // The field (edit or combo) with the keyboard focus, or 0.
    int FocusedField() const;
    int FieldOf(const QObject* object) const;
    // Asks whether to discard the unsaved inputs when they changed since the
    // last Save, Load or start. True when the window may end: nothing unsaved,
    // Discard, or Save that saved.
    bool MayDiscardInputs();
    void ShowAbout();
    // A design runs or a report is drawn: the window takes only Escape.
    bool Busy() const { return platform_->DesignRunning() || printing_; }

    // The print buttons: the report of the design on screen on the printer the dialog
    // chooses (or a PDF), its pages counted in the window while they are drawn.
    void PrintReportOf(int id);
    bool ShowPrintProgress(int done, int total);
    void HidePrintProgress();
    // The right-click menus of the coefficient list and the main graph, and what
    // their items do on the desktop (dialogs, clipboard).
    int DesignMenuAt(const QPoint& pos) const;
    void ShowDesignMenu(int id, const QPoint& globalPos);
    void RunDesignAction(DesignAction action);
    bool IsOurs(QObject* object) const;

    // Made before the logic, which keeps a reference, and gone after it.
    std::unique_ptr<QtWindowPlatform> platform_;
    std::unique_ptr<DialogLogic> logic_;
    std::unordered_map<int, QWidget*> widgets_;
    std::unordered_map<const QObject*, int> ids_;
    std::unordered_map<int, std::uint64_t> mirrored_;  // version last copied per id
    std::uint64_t mirroredModel_ = UINT64_MAX;         // model version last mirrored
    QRegion changed_;  // places of the controls mirrored since the last RepaintChanged
    CoefficientListModel* listModel_ = nullptr;
    GraphArea* mainGraph_ = nullptr;
    GraphArea* smallGraph_ = nullptr;

    bool mirroring_ = false;
    int pendingFocusCheck_ = 0;  // id whose focus loss is still to be handled

    // The report being drawn.
    bool printing_ = false;
    bool printCancel_ = false;  // Escape pressed
    bool closeAfterPrint_ = false;
    QLabel* printProgress_ = nullptr;
    QElapsedTimer printEvents_;  // since the window last handled its events
    PrintDialogRunner* printDialog_ = nullptr;

    std::function<void()> firstPaint_;
};

}  // namespace tapwright::ui
