#pragma once

// What the window's handlers need from the desktop that the control model cannot
// hold: modal boxes, file dialogs, focus, immediate repaints, the pictures and a
// worker thread for long designs. The Qt window implements it; tests implement it
// with a recording fake that answers at once. Pure C++.

#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "core/fir_design.h"

namespace tapwright::ui {

enum class BoxIcon { Stop, Information };

// A design that runs off the user-interface thread.
struct DesignJob {
    // Runs on the worker thread. `cancel` becomes true when the user presses Escape
    // or closes the window; `progress` forwards the progress texts to the window
    // (it is safe to call from the worker thread).
    std::function<void(const std::atomic<bool>& cancel, ProgressSink& progress)> work;
    // Runs on the user-interface thread after `work` has returned, with whether it
    // was cancelled. Not run when the window is closing.
    std::function<void(bool cancelled)> finish;
};

class WindowPlatform {
  public:
    virtual ~WindowPlatform() = default;

    // A modal box with the caption "Tapwright", `text` whole, an OK button and the
    // icon; returns when the user has closed it. The window shows the model's
    // current state behind it.
    virtual void ShowBox(BoxIcon icon, const std::string& text) = 0;

    // File dialogs; nothing when the user cancels. Save: filter "Text Files (*.txt)",
    // default suffix "txt". Open: "Text Files (*.txt)" and "All Files (*.*)",
    // existing files only.
    virtual std::optional<std::string> AskSaveFileName() = 0;
    virtual std::optional<std::string> AskOpenFileName() = 0;

    // Gives the keyboard focus to control `id`.
    virtual void SetFocus(int id) = 0;
    // Mirrors the model and repaints the whole window (or only control `id`) at once.
    virtual void RepaintNow(int id = 0) = 0;

    // Picture controls: load a file looked up by bare name (true when it loaded),
    // start showing it (animated pictures start their thread), stop and release it.
    virtual bool LoadPicture(int id, const std::string& file) = 0;
    virtual void StartPicture(int id) = 0;
    virtual void StopAndReleasePicture(int id) = 0;

    // Runs a design job. The Qt window runs `work` on a worker thread, keeps
    // repainting and accepts only Escape until `finish` has run; a fake may run both
    // at once.
    virtual void RunDesignJob(DesignJob job) = 0;
};

}  // namespace tapwright::ui
