#pragma once

// The desktop of the Qt window: its message boxes, file dialogs, focus, immediate
// repaints, the picture controls and the worker thread of long designs. The window
// owns one and hands it to its logic; it reaches the window only through
// WindowAccess, so it knows neither the window nor the logic.

#include <QScopeGuard>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "printing/print_job.h"
#include "ui/window_platform.h"

class QMessageBox;
class QWidget;

namespace tapwright::ui {

// What the desktop needs of the window it serves.
struct WindowAccess {
    QWidget* window = nullptr;
    // The widget of control `id`, or null when no control has that id.
    std::function<QWidget*(int id)> widgetOf;
    // Copies every state of the control model that changed into the widgets.
    std::function<void()> mirrorModel;
    // Copies the whole state of control `id` into its widget, changed or not.
    std::function<void(int id)> mirrorControl;
    // Repaints at once the controls mirrored since the last time, and the graphs.
    std::function<void()> repaintChanged;
};

// A path the user chose, in the local file-name encoding.
std::string LocalPath(const QString& path);
// A UTF-8 text for a widget.
QString ToQString(std::string_view text);

// A save dialog of one file type: `filter` such as "PNG Images (*.png)", `suffix`
// added when the name has none; `confirmOverwrite` false replaces an existing file
// without asking. The chosen path in the local encoding, nothing when cancelled.
std::optional<std::string> AskFileToSave(QWidget* parent, const QString& title,
                                         const QString& filter, const QString& suffix,
                                         bool confirmOverwrite);

// The answer to the question about unsaved inputs when the window ends.
enum class DiscardAnswer { Save, Discard, Cancel };

class QtWindowPlatform : public WindowPlatform {
  public:
    explicit QtWindowPlatform(WindowAccess window);
    // Stops a design still running (cancel flag, then join).
    ~QtWindowPlatform() override;
    QtWindowPlatform(const QtWindowPlatform&) = delete;
    QtWindowPlatform& operator=(const QtWindowPlatform&) = delete;

    void ShowBox(BoxIcon icon, const std::string& text) override;
    std::optional<std::string> AskSaveFileName() override;
    std::optional<std::string> AskOpenFileName() override;
    void SetFocus(int id) override;
    void RepaintNow(int id) override;
    bool LoadPicture(int id, const std::string& file) override;
    void StartPicture(int id) override;
    void StopAndReleasePicture(int id) override;
    void RunDesignJob(DesignJob job) override;

    // Asks whether to discard the unsaved inputs; Save is offered only when
    // `saveOffered`. Counts as a box.
    DiscardAnswer AskDiscardInputs(bool saveOffered);

    // Boxes shown so far (a handler that showed one has been answered by it).
    int BoxesShown() const { return boxesShown_; }
    // Runs `show` (one of our own boxes, dialogs or menus) and returns what it
    // returns; while it is open a focus loss is none of a field's.
    template <typename Show>
    decltype(auto) Modal(Show&& show) {
        ++modalDepth_;
        const auto leave = qScopeGuard([this] { --modalDepth_; });
        return show();
    }
    bool InModal() const { return modalDepth_ > 0; }
    // True while SetFocus moves the focus (the user did not leave a field).
    bool SettingFocus() const { return settingFocus_; }

    // True while a design runs on the worker thread.
    bool DesignRunning() const { return jobRunning_; }
    // Escape during a design: the design stops at its next check.
    void CancelDesign();
    // Stops a running design (cancel flag, then join); its finish does not run.
    void AbandonDesignJob();

  private:
    class ProgressForwarder;

    // Gives the window the activation back, so that the focus the logic gives a
    // field after a box lands there.
    void TakeActivationBack();
    // Shows a box over the mirrored window until the user closes it, counted as a
    // box and as modal.
    void ExecBox(QMessageBox& box);
    // The progress of a running design: `done` of at most `limit` solves.
    void ShowProgress(int done, int limit);
    void FinishDesignJob();

    WindowAccess access_;
    int modalDepth_ = 0;
    int boxesShown_ = 0;
    bool settingFocus_ = false;

    // The design job running on worker_.
    bool jobRunning_ = false;
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    std::function<void(bool)> finish_;
    std::unique_ptr<ProgressForwarder> progress_;
};

// The boxes of a print job are the window's: the stop icon for the numbered
// messages, the information icon for the success texts. A box ends the job, so
// `beforeBox` (the page count goes) runs first.
class WindowPrintMessages : public PrintMessages {
  public:
    WindowPrintMessages(WindowPlatform& platform, std::function<void()> beforeBox)
        : platform_(platform), beforeBox_(std::move(beforeBox)) {}
    void ShowMessage(MessageCode code) override;
    void ShowInformation(const std::string& text) override;

  private:
    WindowPlatform& platform_;
    std::function<void()> beforeBox_;
};

}  // namespace tapwright::ui
