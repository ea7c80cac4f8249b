#pragma once

// The behaviour of the main window without its widgets: every handler of the
// window works on the control model, the committed filter spec, the design object
// and the canvases, and reaches the desktop only through WindowPlatform. The Qt
// window (CFilterDesignDlg) builds its widgets from the control table, forwards
// every user action here and mirrors the model after each call.

#include <QImage>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "core/coefficient_list.h"
#include "core/design_measure.h"
#include "core/design_pipeline.h"
#include "core/filter_spec.h"
#include "core/fir_design.h"
#include "core/word_length.h"
#include "files/coefficient_export.h"
#include "graphs/graph_canvases.h"
#include "ui/control_model.h"
#include "ui/window_platform.h"
#include "ui/window_rules.h"

namespace tapwright::ui {

// The actions of the right-click menus of the coefficient list and the main graph.
enum class DesignAction : int {
    CopyCoefficients,
    ExportCoefficients,
    SaveGraphAsPng,
    CopyGraph,
    MeasureDesign,
};
inline constexpr int kDesignActionCount = 5;

// The menu item of an action.
std::string_view DesignActionText(DesignAction action);
// The control whose right-click menu holds the action: the coefficient list or the
// main graph.
int DesignActionControl(DesignAction action);

// The table of Measure Design: column headings (a third for the fixed-point form),
// one row per measurement, and the conditioning warning of a nearly singular
// equiripple design ("" without one).
struct MeasurementTable {
    std::vector<std::string> headings;
    std::vector<MeasurementRow> rows;
    std::string warning;
};

class DialogLogic {
  public:
    // The design object and the canvases live as long as the window; the platform
    // outlives this object.
    DialogLogic(CFirDesign& design, GraphCanvases& canvases, WindowPlatform& platform);
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

    // The client rectangles of the two graph areas (pixels) or the device pixel ratio
    // of the screen (1 to 4) changed: the canvases are made again for them and what
    // they showed is drawn again.
    void ResizeGraphs(const CanvasRect& mainRect, const CanvasRect& smallRect, int scale = 1);

    // Whether the filter spec's inputs (the committed spec and the input controls of
    // the left column) differ from what they were after the last Save, Load or start.
    bool InputsChangedSinceSaved() const;

    // Loads a spec file as the Load button does after its dialog, with or without the
    // success box. False (message shown, nothing changed) when it cannot be read.
    bool LoadSpecFile(const std::string& path, bool showSuccess);

    // True while a design job runs; the window then accepts only Escape.
    bool Busy() const { return busy_; }

    const ControlModel& Model() const { return model_; }
    const FilterSpec& Spec() const { return spec_; }
    const CFirDesign& Design() const { return design_; }
    const GraphCanvases& Canvases() const { return canvases_; }
    const WindowFlags& Flags() const { return flags_; }

    // What the graph controls ask for now, as Apply draws it (the printed response
    // report draws the same).
    GraphOptions CurrentGraphOptions() const;

    // The two print buttons (1127, 1128) call this with their id while a design
    // matches the inputs (DesignValid) and none runs, so that a report reads exactly
    // the design on screen; the printing module sets it. Without a handler the
    // buttons do nothing.
    void SetPrintHandler(std::function<void(int id)> handler);

    // Whether the right-click menus offer `action` now: as Save, only while a design
    // matches the inputs, not under Hold On and not while a design runs.
    bool Offers(DesignAction action) const;

    // What the actions make of the design on screen. Each does nothing (false, an
    // empty result) when it is not offered; a failure shows its message in a stop box
    // and writes nothing.
    // "Copy Coefficients": the listed coefficients, 17 significant digits, one a line.
    std::string CoefficientText() const;
    // "Export Coefficients...": the export of `options` (bits 0: full precision; 2 ...
    // 32: signed fixed point) written to `path` whole or not at all; an empty name
    // comes from the file name, an empty command names the window's Export
    // Coefficients.
    bool ExportCoefficients(const std::string& path, const ExportOptions& options);
    // "Save Graph As PNG..." and "Copy Graph": the main graph as composed on screen.
    QImage GraphImage() const;
    // Writes GraphImage() as a PNG file, whole or not at all.
    bool SaveGraphPng(const std::string& path);
    // "Measure Design...": the measurements, with the fixed-point form of `quantize`
    // (bits 2 ... 32) beside them, or none (bits 0); `inputBits` is the input width of
    // the bit growth (0: as wide as the taps).
    bool Measure(const QuantizeOptions& quantize, int inputBits, MeasurementTable& out);
    // "Shortest Word Length" of Measure Design: FindShortestWordLength of the design
    // on screen under the rounding, overflow and scale of `choice`.
    bool ShortestWordLength(const QuantizeOptions& choice, double marginDb, WordLengthResult& out);

  private:
    CFirDesign& design_;
    GraphCanvases& canvases_;
    WindowPlatform& platform_;
    WindowRules rules_;
    ControlModel& model_ = rules_.model;
    FilterSpec& spec_ = rules_.spec;
    WindowFlags& flags_ = rules_.flags;
    HeldCurve& held_ = rules_.held;

    bool busy_ = false;
    std::function<void(int)> printHandler_;
    // The word length of the last Measure or Export (0: full precision): the
    // magnitude views draw the taps quantized to it over the design's response.
    int graphWordLength_ = 0;
    // The user typed a view range; until then the forced range view of the response
    // types without band views opens at 0 ... Fs/2.
    bool viewRangeTyped_ = false;
    void RedrawMagnitude();
    // The filter spec the design on the canvases was drawn with: the display
    // handlers redraw that design, whatever has been typed since.
    FilterSpec drawnSpec_ = DefaultFilterSpec();
    // The graph areas' client rectangles, and what their canvases show, so that a
    // resize can draw it again.
    CanvasRect mainRect_ = kMainClientRect;
    CanvasRect smallRect_ = kSmallClientRect;
    int scale_ = 1;
    enum class Shown { Empty, Design, Erased };
    Shown shown_ = Shown::Empty;
    GraphOptions drawnOptions_;
    void DrawDesign(const GraphOptions& o) {
        DrawGraphs(canvases_, design_, held_, drawnSpec_, o, mainRect_, smallRect_);
        drawnOptions_ = o;
        shown_ = Shown::Design;
    }
    void EraseMain() {
        EraseMainGraph(canvases_, model_.Checked(kGridCheck));
        shown_ = Shown::Erased;
    }

    // The inputs after the last Save, Load or start.
    struct Inputs {
        FilterSpec spec;
        std::vector<std::tuple<std::string, int, bool>> controls;  // text, selection, check
        bool operator==(const Inputs&) const = default;
    };
    Inputs savedInputs_;
    Inputs CurrentInputs() const;

    // The combos' selections; no selection (-1) is neither a band type nor Equiripple.
    ResponseType ResponseTypeSelection() const {
        return static_cast<ResponseType>(model_.Selection(kResponseTypeCombo));
    }
    DesignMethod DesignMethodSelection() const {
        return static_cast<DesignMethod>(model_.Selection(kFunctionTypeCombo));
    }
    void FillCoefficientList() {
        model_.SetRows(kCoefficientList, std::make_shared<const std::vector<double>>(
                                             ListedCoefficients(design_.coeffs, spec_.Taps)));
    }

    // ---- Apply and the graphs --------------------------------------------------
    void Apply();
    void PrepareForDesign();
    void TakeOutcome(DesignOutcome outcome);
    void AfterDesign(int r, bool equiripple);
    void OnGraphTypeChanged(bool redraw);
    void WithdrawGraphItem(GraphType graph, bool redraw);
    // The graph kind the graph list's selection shows, or -1.
    int SelectedGraph() const { return GraphKindAt(model_, model_.Selection(kGraphTypeCombo)); }
    void Refresh();
    void OnViewChanged();
    void OnHoldOnClicked();

    // ---- The design on screen ---------------------------------------------------
    bool DesignOnShow() const { return flags_.designValid && !busy_; }

    // ---- Files -----------------------------------------------------------------
    void OnSave();
    void OnLoad();
    // LoadSpecFile without the busy check and the control states.
    bool Load(const std::string& path, bool showSuccess);
};

}  // namespace tapwright::ui
