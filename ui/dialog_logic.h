#pragma once

// The behaviour of the main window without its widgets: every handler of the
// window works on the control model, the committed filter spec, the design object
// and the canvases, and reaches the desktop only through WindowPlatform. The Qt
// window (CFilterDesignDlg) builds its widgets from the control table, forwards
// every user action here and mirrors the model after each call.

#include <functional>
#include <memory>
#include <string>

#include "core/filter_spec.h"
#include "core/fir_design.h"
#include "graphs/graph_canvases.h"
#include "ui/control_model.h"
#include "ui/window_platform.h"
#include "ui/window_rules.h"

namespace tapwright::ui {

class DialogLogic {
  public:
    // The design object and the canvases live as long as the window; the platform
    // outlives this object.
    DialogLogic(CFirDesign& design, GraphCanvases& canvases, WindowPlatform& platform);
    ~DialogLogic();
    DialogLogic(const DialogLogic&) = delete;
    DialogLogic& operator=(const DialogLogic&) = delete;

    // Window initialisation: defaults, combo lists, control states, the canvases and
    // empty graphs, the start-up pictures. Run once, before the window is shown.
    void Initialise();

    // User actions, forwarded by the window. Each sets the control's new state in
    // the model first (text, check, selection) and then runs the window's handler
    // for that notification.
    void OnUserEdited(int id, const std::string& text);  // edit text typed
    void OnUserToggled(int id, bool checked);            // check box or radio clicked
    void OnUserSelected(int id, int index);              // combo selection changed
    void OnClicked(int id);                              // push button clicked
    void OnFocusLost(int id);                            // edit or combo lost the focus

    // Enter: pulls the edit buffer as Quit does; false (with a message shown) when a
    // field does not parse, so the window stays open. Escape needs no logic.
    bool OnQuit();

    // Loads a spec file as the Load button does after its dialog, with or without the
    // success box. False (message shown, nothing changed) when it cannot be read.
    bool LoadSpecFile(const std::string& path, bool showSuccess);

    // True while a design job runs; the window then accepts only Escape.
    bool Busy() const;

    const ControlModel& Model() const;
    const FilterSpec& Spec() const;
    const CFirDesign& Design() const;
    const GraphCanvases& Canvases() const;
    const WindowFlags& Flags() const;
    // The view range as the fields hold it (Hz).
    const SpecEditBuffer& EditBuffer() const;

    // What the graph controls ask for now, as Apply draws it (the printed response
    // report draws the same).
    GraphOptions CurrentGraphOptions() const;

    // The two print buttons (1127, 1128) call this with their id; the printing
    // module sets it. Without a handler the buttons do nothing.
    void SetPrintHandler(std::function<void(int id)> handler);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tapwright::ui
