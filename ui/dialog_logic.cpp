#include "ui/dialog_logic.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <tuple>
#include <utility>

#include "core/design_methods.h"
#include "core/design_pipeline.h"
#include "core/graph_kinds.h"
#include "files/spec_file.h"
#include "graphs/png_file.h"
#include "ui/control_ids.h"
#include "ui/edit_fields.h"

namespace tapwright::ui {

namespace {

constexpr const char* kLogoFile = "zeb_logo_orange_bg.jpg";

// Whatever path a handler takes, it ends with every control derived from the state
// it left.
class DeriveOnExit {
  public:
    explicit DeriveOnExit(WindowRules& rules) : rules_(rules) {}
    DeriveOnExit(const DeriveOnExit&) = delete;
    DeriveOnExit& operator=(const DeriveOnExit&) = delete;
    ~DeriveOnExit() { rules_.ApplyControlStates(); }

  private:
    WindowRules& rules_;
};

// Marks the pushes of the edit buffer while it lives as the design's own values.
class DesignWriteBack {
  public:
    explicit DesignWriteBack(WindowRules& rules) : rules_(rules) { rules_.designWritesBack = true; }
    ~DesignWriteBack() { rules_.designWritesBack = false; }
    DesignWriteBack(const DesignWriteBack&) = delete;
    DesignWriteBack& operator=(const DesignWriteBack&) = delete;

  private:
    WindowRules& rules_;
};

}  // namespace

struct DialogLogic::Impl {
    Impl(CFirDesign& d, GraphCanvases& c, WindowPlatform& p)
        : design(d), canvases(c), platform(p), rules(p) {}

    CFirDesign& design;
    GraphCanvases& canvases;
    WindowPlatform& platform;
    WindowRules rules;
    ControlModel& model = rules.model;
    FilterSpec& spec = rules.spec;
    WindowFlags& flags = rules.flags;
    HeldCurve& held = rules.held;

    bool busy = false;
    std::function<void(int)> printHandler;
    // The word length of the last Measure or Export (0: full precision): the
    // magnitude views draw the taps quantized to it over the design's response.
    int graphWordLength = 0;
    // The user typed a view range; until then the forced range view of the response
    // types without band views opens at 0 ... Fs/2.
    bool viewRangeTyped = false;
    void RedrawMagnitude();
    // The filter spec the design on the canvases was drawn with: the display
    // handlers redraw that design, whatever has been typed since.
    FilterSpec drawnSpec = DefaultFilterSpec();
    // The graph areas' client rectangles, and what their canvases show, so that a
    // resize can draw it again.
    CanvasRect mainRect = kMainClientRect;
    CanvasRect smallRect = kSmallClientRect;
    enum class Shown { Empty, Design, Erased };
    Shown shown = Shown::Empty;
    GraphOptions drawnOptions;
    void DrawDesign(const GraphOptions& o) {
        DrawGraphs(canvases, design, held, drawnSpec, o, mainRect, smallRect);
        drawnOptions = o;
        shown = Shown::Design;
    }
    void EraseMain() {
        EraseMainGraph(canvases, model.Checked(kGridCheck));
        shown = Shown::Erased;
    }
    int scale = 1;
    void ResizeGraphs(const CanvasRect& m, const CanvasRect& s, int newScale);

    // The inputs after the last Save, Load or start.
    struct Inputs {
        FilterSpec spec;
        std::vector<std::tuple<std::string, int, bool>> controls;  // text, selection, check
        bool operator==(const Inputs&) const = default;
    };
    Inputs savedInputs;
    Inputs CurrentInputs() const {
        Inputs in{spec, {}};
        for (const ControlDef& def : ControlTable()) {
            if (!IsSpecInput(def)) continue;
            const ControlState& s = model.State(def.id);
            // A combo's choice is its selection; its edit text only follows it.
            const bool combo = def.kind == ControlKind::ComboBox;
            in.controls.emplace_back(combo ? std::string() : s.text, s.selection, s.checked);
        }
        return in;
    }

    // The combos' selections; no selection (-1) is neither a band type nor Equiripple.
    ResponseType ResponseTypeSelection() const {
        return static_cast<ResponseType>(model.Selection(kResponseTypeCombo));
    }
    DesignMethod DesignMethodSelection() const {
        return static_cast<DesignMethod>(model.Selection(kFunctionTypeCombo));
    }
    bool LengthGiven() const { return model.Checked(kAutoDesignCheck); }
    void FillCoefficientList() {
        model.SetRows(kCoefficientList,
                      std::make_shared<const std::vector<double>>(ListedCoefficients()));
    }

    // ---- Start-up --------------------------------------------------------------
    void Initialise();

    // ---- Apply and the graphs --------------------------------------------------
    void Apply();
    void PrepareForDesign();
    void TakeOutcome(DesignOutcome outcome);
    void AfterDesign(int r, bool equiripple);
    void OnGraphTypeChanged(bool redraw);
    void WithdrawGraphItem(GraphType graph, bool redraw);
    // The graph kind the graph list's selection shows, or -1.
    int SelectedGraph() const { return GraphKindAt(model, model.Selection(kGraphTypeCombo)); }
    void Refresh();
    void OnViewChanged();
    void OnHoldOnClicked();
    GraphOptions Options() const;

    // ---- The design on screen ---------------------------------------------------
    bool DesignOnShow() const { return flags.designValid && !busy; }
    std::vector<double> ListedCoefficients() const;

    // ---- Files -----------------------------------------------------------------
    void OnSave();
    void OnLoad();
    bool LoadSpecFile(const std::string& path, bool showSuccess);
};

// ---- Start-up ----------------------------------------------------------------------

void DialogLogic::Impl::Initialise() {
    rules.Initialise();
    // The small frame stays hidden until the first design; the start-up pictures
    // take its place.
    CreateStartupImages(canvases, mainRect, smallRect);
    platform.RepaintNow();

    if (platform.LoadPicture(kPenguinPicture, "penguin.GIF"))
        platform.StartPicture(kPenguinPicture);
    const std::pair<int, const char*> letters[] = {{kLetterFPicture, "f_md_clr.gif"},
                                                   {kLetterIPicture, "i_md_clr.gif"},
                                                   {kLetterRPicture, "r_md_clr.gif"}};
    bool allLoaded = true;
    for (const auto& [id, file] : letters) {
        if (!platform.LoadPicture(id, file)) {
            allLoaded = false;
            break;
        }
    }
    if (allLoaded) {
        for (const auto& [id, file] : letters) platform.StartPicture(id);
    }
    drawnSpec = spec;
    savedInputs = CurrentInputs();
}

void DialogLogic::Impl::ResizeGraphs(const CanvasRect& m, const CanvasRect& s, int newScale) {
    if (m.right == mainRect.right && m.bottom == mainRect.bottom && s.right == smallRect.right &&
        s.bottom == smallRect.bottom && newScale == scale) {
        return;
    }
    mainRect = m;
    smallRect = s;
    scale = newScale;
    CreateStartupImages(canvases, mainRect, smallRect, scale);
    if (shown == Shown::Erased) {
        EraseMain();
    } else if (shown == Shown::Design) {
        ResetWorkingCanvases(canvases, drawnOptions.holdActive);
        DrawDesign(drawnOptions);
        RefreshGraphs(canvases, Options());
    }
}

// ---- Apply -------------------------------------------------------------------------

GraphOptions DialogLogic::Impl::Options() const {
    GraphOptions o;
    const int graph = SelectedGraph();
    o.graph = static_cast<GraphType>(graph >= 0 ? graph : flags.graphSel);
    o.logScale = model.Checked(kLogScaleCheck);
    const int view = model.Selection(kDisplayTypeCombo);
    o.view = static_cast<ViewMode>(view >= 0 ? view : flags.displaySel);
    o.curveFitting = model.Checked(kCurveFittingCheck);
    o.degrees = model.Checked(kDegreesCheck);
    o.zoom = model.Checked(kZoomCheck);
    o.viewLow = rules.buffer.ViewLow;
    o.viewHigh = rules.buffer.ViewHigh;
    o.gridOn = model.Checked(kGridCheck);
    o.holdActive = flags.holdActive;
    o.seconds = model.Checked(kSecondsCheck);
    o.fixedPointBits = graphWordLength;
    return o;
}

void DialogLogic::Impl::Apply() {
    // A field whose text is not a number stops Apply before anything changes.
    if (!flags.holdActive && rules.RefuseUnparsedField()) return;

    // What a cancelled design puts back.
    const FilterSpec specBefore = spec;
    const int heldIterationsBefore = held.iterations;

    if (!flags.holdActive) {
        rules.Pull();
        // The Hold On legend names the count the held design was made with.
        held.iterations = spec.Itern;
    }
    DesignRequest request;
    request.spec = spec;
    request.responseSelection = ResponseTypeSelection();
    request.methodSelection = DesignMethodSelection();
    request.lengthGiven = LengthGiven();
    request.designValid = flags.designValid;
    request.holdActive = flags.holdActive;
    if (const std::optional<DesignNotice> refusal = CheckRequest(request)) {
        rules.ShowMessage(refusal->code, refusal->args);
        return;
    }
    request.previous = design;

    if (!UsesBandTable(request.methodSelection) || flags.designValid) {
        TakeOutcome(tapwright::Design(std::move(request)));
        return;
    }
    // An equiripple design runs on a worker thread. When it is cancelled, what Apply
    // changed before the design is put back, so the previous design, graphs, list and
    // filter spec stay exactly as they were and no message shows.
    auto job = std::make_shared<std::pair<DesignRequest, DesignOutcome>>(std::move(request),
                                                                         DesignOutcome{});
    DesignJob work;
    work.work = [job](const std::atomic<bool>& cancel, ProgressSink& progress) {
        job->second = tapwright::Design(std::move(job->first), &cancel, &progress);
    };
    work.finish = [this, job, specBefore, heldIterationsBefore](bool escaped) {
        busy = false;
        // The worker showed the progress texts directly; the model has them hidden.
        for (int id : kProgressTexts) {
            model.Show(id, false);
            model.MarkChanged(id);
        }
        if (escaped || job->second.status == DesignStatus::Cancelled) {
            spec = specBefore;
            held.iterations = heldIterationsBefore;
            rules.ApplyControlStates();
            platform.RepaintNow();
            return;
        }
        TakeOutcome(std::move(job->second));
        rules.ApplyControlStates();
    };
    busy = true;
    platform.RunDesignJob(std::move(work));
}

// The steps between the check and the design: the start-up pictures give way to
// the logo, the held curve is kept, the working canvases are erased, and the small
// area is readied for the design family.
void DialogLogic::Impl::PrepareForDesign() {
    if (flags.startupPicture) {
        model.Show(kPicturePanel, false);
        for (int id : {kPenguinPicture, kLetterFPicture, kLetterIPicture, kLetterRPicture}) {
            platform.StopAndReleasePicture(id);
        }
        if (platform.LoadPicture(kLogoPicture, kLogoFile)) {
            platform.StartPicture(kLogoPicture);
            model.Show(kLogoPicture, true);
        }
        flags.startupPicture = false;
        for (int id : {kPenguinPicture, kLetterFPicture, kLetterIPicture, kLetterRPicture}) {
            model.Show(id, false);
        }
    }
    if (flags.holdActive) {
        // The design on screen becomes the held one.
        held.method = spec.WType;
        const std::size_t count = std::min(
            design.magnitudeDb.size(), static_cast<std::size_t>(std::max(design.pointCount, 0)));
        held.magnitudeDb.assign(design.magnitudeDb.begin(),
                                design.magnitudeDb.begin() + static_cast<std::ptrdiff_t>(count));
    }
    ResetWorkingCanvases(canvases, flags.holdActive);
    if (!flags.designValid) {
        const bool smallGraph = !UsesBandTable(DesignMethodSelection()) || flags.holdActive;
        model.Show(kLogoPicture, !smallGraph);
        model.Show(kSmallGraph, smallGraph);
        platform.RepaintNow();
    }
}

// Shows what a design that passed its check made: the new design and the values it
// wrote back, its messages, the list, then the graphs.
void DialogLogic::Impl::TakeOutcome(DesignOutcome outcome) {
    PrepareForDesign();
    const bool designed = outcome.status == DesignStatus::Designed;
    // The held curve keeps the point count of the design it was taken from.
    if (designed && !outcome.redrawOnly) held.pointCount = design.pointCount;
    spec = outcome.spec;
    design = std::move(outcome.design);
    {
        const DesignWriteBack writeBack(rules);
        if (outcome.equiripple && !designed) {
            for (int id : kProgressTexts) model.Show(id, false);
        }
        for (const DesignNotice& notice : outcome.notices) {
            if (notice.information) {
                rules.ShowInformation(notice.text);
            } else {
                rules.ShowMessage(notice.code, notice.args);
            }
        }
        if (outcome.writesBack) {
            // A design that estimates its length sets Taps; the length field shows it.
            rules.buffer.Taps = spec.Taps;
            rules.Push();
            // A length search also picks the characteristic of the length it found.
            rules.SelectFilterTypeOf(spec.FChar);
        }
    }
    if (designed && !outcome.redrawOnly) {
        flags.designValid = true;
        if (!flags.holdActive) FillCoefficientList();
    }
    AfterDesign(outcome.r, outcome.equiripple);
}

void DialogLogic::Impl::AfterDesign(int r, bool equiripple) {
    if (!equiripple && r >= 0) {
        // The list holds what this design offers (no phase graph for differentiators
        // and Hilbert transformers), in the table's order.
        int item = 0;
        for (const GraphKindInfo& kind : kGraphKinds) {
            const bool listed = GraphItemOf(model, kind.graph) >= 0;
            if (GraphOffered(kind.graph, spec.WType, spec.FType)) {
                if (!listed) model.InsertItem(kGraphTypeCombo, item, std::string(kind.text));
                ++item;
            } else if (listed) {
                WithdrawGraphItem(kind.graph, false);
            }
        }
    }
    if (equiripple) {
        if (r < 0) {
            EraseMain();
            platform.RepaintNow();
        }
        for (const GraphKindInfo& kind : kGraphKinds) {
            if (kind.afterBandTable || GraphItemOf(model, kind.graph) < 0) continue;
            // A design that failed is no valid design: nothing to redraw then.
            if (r >= 0) flags.designValid = true;
            WithdrawGraphItem(kind.graph, r >= 0);
        }
    }
    if (r < 0) {
        // Nothing was designed: the graphs are empty, and neither the list nor Save
        // nor printing may offer the design before as if it were this one.
        flags.designValid = false;
        model.SetRows(kCoefficientList, nullptr);
        return;
    }

    if (SelectedGraph() == Magnitude) {
        if (!model.Checked(kLogScaleCheck)) {
            model.Select(kDisplayTypeCombo, FullView);
        } else {
            const bool fullView = model.Selection(kDisplayTypeCombo) == FullView;
            // Nor for the sixth response type, Hilbert or Multiband.
            flags.holdOffered = spec.FType != Differentiator && spec.FType != Hilbert &&
                                spec.FType != Multiband && fullView;
            const int shown = model.Selection(kResponseTypeCombo);
            // Only low and high pass have full, pass and stop band views.
            flags.bandViewsOffered = shown == LowPass || shown == HighPass;
            if (!flags.bandViewsOffered) {
                model.Select(kDisplayTypeCombo, SpecifiedRange);
                // The forced range view opens at 0 ... Fs/2 unless a range was typed.
                if (!viewRangeTyped) {
                    rules.buffer.ViewLow = 0.0;
                    rules.buffer.ViewHigh = static_cast<double>(spec.Fs) * 0.5;
                    rules.Push();
                }
            }
        }
    }
    drawnSpec = spec;
    DrawDesign(Options());
    Refresh();
}

// Takes a graph kind out of the graph type list; that graph on show gives way to
// the impulse graph (redrawn when `redraw`).
void DialogLogic::Impl::WithdrawGraphItem(GraphType graph, bool redraw) {
    const int item = GraphItemOf(model, graph);
    if (item < 0) return;
    if (model.Selection(kGraphTypeCombo) == item) {
        model.Select(kGraphTypeCombo, GraphItemOf(model, Impulse));
        OnGraphTypeChanged(redraw);
    }
    // The redraw runs Apply, which may have withdrawn the item already; deleting
    // its old place again would take out the kind listed after it.
    const int now = GraphItemOf(model, graph);
    if (now >= 0) model.DeleteItem(kGraphTypeCombo, now);
}

void DialogLogic::Impl::OnGraphTypeChanged(bool redraw) {
    const int selection = SelectedGraph();
    if (selection < 0) return;
    flags.graphSel = selection;
    rules.ApplyControlStates();
    if (!redraw) return;
    platform.RepaintNow();
    Apply();
}

void DialogLogic::Impl::Refresh() {
    RefreshGraphs(canvases, Options());
    platform.RepaintNow();
}

void DialogLogic::Impl::OnViewChanged() {
    const int view = model.Selection(kDisplayTypeCombo);
    ResetWorkingCanvases(canvases, false);
    if (view >= FullView && view <= SpecifiedRange) {
        GraphOptions o = Options();
        o.graph = Magnitude;
        o.logScale = true;
        o.holdActive = false;
        DrawDesign(o);
        flags.holdOffered = view == FullView;
        flags.displaySel = view;
    }
    rules.ApplyControlStates();
    Refresh();
}

// Draws the magnitude graph on show again (a new fixed-point word length); other
// graphs and the Hold On overlay are left as they are.
void DialogLogic::Impl::RedrawMagnitude() {
    if (!DesignOnShow() || flags.holdActive || SelectedGraph() != Magnitude) return;
    ResetWorkingCanvases(canvases, false);
    DrawGraphs(canvases, design, held, drawnSpec, Options(), kMainClientRect, kSmallClientRect);
    Refresh();
}

void DialogLogic::Impl::OnHoldOnClicked() {
    const bool held = model.Checked(kHoldOnCheck);
    flags.holdActive = held;
    if (held) {
        canvases.holdLegend.Clear(kBackgroundColour);
        canvases.holdLegend.CopyTo(&canvases.smallFront);
        platform.RepaintNow();
        model.SetRows(kCoefficientList, nullptr);
    } else {
        canvases.smallPlot.CopyTo(&canvases.smallFront);
        FillCoefficientList();
        Refresh();
    }
    // The method list may have changed under Hold On: its choice now counts.
    const bool validBefore = flags.designValid;
    rules.OnDesignMethodChange();
    // Holding takes the design on screen as the held one: the next Apply makes
    // another. Released, the design on screen stands unless the inputs changed.
    flags.designValid = !held && (validBefore || spec == drawnSpec);
    rules.ApplyControlStates();
}

// ---- The design on screen -------------------------------------------------------

std::vector<double> DialogLogic::Impl::ListedCoefficients() const {
    const std::size_t n =
        std::min(design.coeffs.size(), static_cast<std::size_t>(std::max(spec.Taps, 0)));
    return {design.coeffs.begin(), design.coeffs.begin() + static_cast<std::ptrdiff_t>(n)};
}

// ---- Save and Load -----------------------------------------------------------------

void DialogLogic::Impl::OnSave() {
    const std::optional<std::string> path = platform.AskSaveFileName();
    if (!path) return;
    int fftIndex = model.Selection(kFftSizeCombo);
    if (fftIndex < 0) fftIndex = FftIndexFromSize(spec.FFT);
    std::string error;
    if (!SaveSpecFile(*path, spec, fftIndex, LengthGiven() ? 1 : 0, design.coeffs, &error)) {
        rules.ShowMessage(MessageCode::CannotCreateFile);
        return;
    }
    savedInputs = CurrentInputs();
    rules.ShowInformation(kFileSavedText);
}

void DialogLogic::Impl::OnLoad() {
    const std::optional<std::string> path = platform.AskOpenFileName();
    if (path) LoadSpecFile(*path, true);
}

bool DialogLogic::Impl::LoadSpecFile(const std::string& path, bool showSuccess) {
    // The whole file is read and checked before anything changes.
    const SpecReadResult read = ReadSettledSpecFile(path, spec);
    if (!read.ok) {
        if (read.cannotOpen) {
            rules.ShowMessage(MessageCode::CannotOpenFile);
        } else {
            MessageArgs args;
            args.detail = read.error;
            rules.ShowMessage(MessageCode::FileDamaged, args);
        }
        return false;
    }
    // Settled exactly as the batch designer settles a file.
    const FilterSpec& settled = read.spec;

    // The response and method lists, and the inputs they show.
    spec.FType = settled.FType;
    model.Select(kResponseTypeCombo, settled.FType);
    rules.FillFilterTypes();
    spec.WType = settled.WType;
    rules.ListMethods(true);
    model.Select(kFunctionTypeCombo, settled.WType);
    rules.OnDesignMethodChange();

    // Every value read, then the controls in line with them.
    spec = settled;
    model.SetChecked(kAutoDesignCheck, settled.AutoD != 0);
    model.Select(kFftSizeCombo, read.fftIndex);
    rules.ListBands();
    rules.LoadSelectedBand();

    SpecEditBuffer& b = rules.buffer;
    b.Fs = spec.Fs;
    model.Select(kResponseTypeCombo, spec.FType);
    rules.ApplyResponseType(true);
    model.Select(kFunctionTypeCombo, spec.WType);
    TakeScalarFields(b, spec);
    rules.ApplyAutoDesignState();
    spec.FChar = settled.FChar;
    rules.SelectFilterTypeOf(spec.FChar);
    rules.Push();

    // No design matches the loaded inputs until Apply.
    flags.designValid = false;
    rules.ApplyControlStates();
    model.Show(kSmallGraph, false);
    model.SetRows(kCoefficientList, nullptr);
    if (!flags.startupPicture) model.Show(kLogoPicture, true);
    EraseMain();
    platform.RepaintNow();
    savedInputs = CurrentInputs();
    if (showSuccess) rules.ShowInformation(kFileLoadedText);
    return true;
}

// ---- DialogLogic -------------------------------------------------------------------

DialogLogic::DialogLogic(CFirDesign& design, GraphCanvases& canvases, WindowPlatform& platform)
    : impl_(std::make_unique<Impl>(design, canvases, platform)) {}

DialogLogic::~DialogLogic() = default;

void DialogLogic::Initialise() {
    impl_->Initialise();
}

void DialogLogic::OnUserEdited(int id, const std::string& text) {
    if (impl_->busy) return;
    impl_->model.SetText(id, text);
    impl_->rules.OnFieldEdited(id);
    if (id == kViewLowEdit || id == kViewHighEdit) impl_->viewRangeTyped = true;
}

void DialogLogic::OnUserToggled(int id, bool checked) {
    Impl& m = *impl_;
    if (m.busy) return;
    m.model.SetChecked(id, checked);
    if (m.rules.HandleToggle(id, checked)) return;
    const DeriveOnExit derive(m.rules);
    switch (id) {
        case kGridCheck:
            m.Refresh();
            break;
        case kCurveFittingCheck:
        case kLogScaleCheck:
        case kDegreesCheck:
        case kSecondsCheck:
            m.Apply();
            break;
        case kHoldOnCheck:
            m.OnHoldOnClicked();
            break;
        case kZoomCheck:
            m.OnViewChanged();
            break;
        default:
            break;
    }
}

void DialogLogic::OnUserSelected(int id, int index) {
    Impl& m = *impl_;
    if (m.busy) return;
    m.model.Select(id, index);
    const ControlState& s = m.model.State(id);
    if (s.selection >= 0) m.model.SetText(id, s.items[s.selection]);
    if (m.rules.HandleSelection(id)) return;
    const DeriveOnExit derive(m.rules);
    switch (id) {
        case kGraphTypeCombo:
            m.OnGraphTypeChanged(true);
            break;
        case kDisplayTypeCombo:
            m.OnViewChanged();
            break;
        default:
            break;
    }
}

void DialogLogic::OnClicked(int id) {
    Impl& m = *impl_;
    if (m.busy) return;
    const DeriveOnExit derive(m.rules);
    switch (id) {
        case kLoadButton:
            m.OnLoad();
            break;
        case kSaveButton:
            m.OnSave();
            break;
        case kApplyButton:
            m.Apply();
            break;
        case kViewButton:
            m.OnViewChanged();
            break;
        case kPrintResponseButton:
        case kPrintCoefficientsButton:
            if (m.printHandler && m.DesignOnShow()) m.printHandler(id);
            break;
        default:
            break;  // Quit is OnQuit
    }
}

void DialogLogic::OnFocusLost(int id) {
    Impl& m = *impl_;
    if (m.busy || m.rules.BoxOpen()) return;
    const ControlDef* def = FindControl(id);
    if (def != nullptr && def->kind == ControlKind::ComboBox) {
        m.rules.RestoreComboSelection(id);
    } else {
        m.rules.OnFieldFocusLost(id);
    }
}

bool DialogLogic::OnQuit() {
    Impl& m = *impl_;
    if (m.busy) return false;
    if (m.rules.RefuseUnparsedField()) return false;
    m.rules.Pull();
    return true;
}

void DialogLogic::ResizeGraphs(const CanvasRect& mainRect, const CanvasRect& smallRect, int scale) {
    impl_->ResizeGraphs(mainRect, smallRect, scale);
}

bool DialogLogic::InputsChangedSinceSaved() const {
    return !(impl_->CurrentInputs() == impl_->savedInputs);
}

bool DialogLogic::LoadSpecFile(const std::string& path, bool showSuccess) {
    if (impl_->busy) return false;
    const DeriveOnExit derive(impl_->rules);
    return impl_->LoadSpecFile(path, showSuccess);
}

bool DialogLogic::Busy() const {
    return impl_->busy;
}

const ControlModel& DialogLogic::Model() const {
    return impl_->model;
}
const FilterSpec& DialogLogic::Spec() const {
    return impl_->spec;
}
const CFirDesign& DialogLogic::Design() const {
    return impl_->design;
}
const GraphCanvases& DialogLogic::Canvases() const {
    return impl_->canvases;
}
const WindowFlags& DialogLogic::Flags() const {
    return impl_->flags;
}
GraphOptions DialogLogic::CurrentGraphOptions() const {
    return impl_->Options();
}
void DialogLogic::SetPrintHandler(std::function<void(int id)> handler) {
    impl_->printHandler = std::move(handler);
}

// ---- The right-click menus' actions -----------------------------------------------

std::string_view DesignActionText(DesignAction action) {
    switch (action) {
        case DesignAction::CopyCoefficients:
            return "Copy Coefficients";
        case DesignAction::ExportCoefficients:
            return "Export Coefficients...";
        case DesignAction::SaveGraphAsPng:
            return "Save Graph As PNG...";
        case DesignAction::CopyGraph:
            return "Copy Graph";
        case DesignAction::MeasureDesign:
            return "Measure Design...";
    }
    return "";
}

int DesignActionControl(DesignAction action) {
    return action == DesignAction::CopyCoefficients || action == DesignAction::ExportCoefficients
               ? kCoefficientList
               : kMainGraph;
}

bool DialogLogic::Offers(DesignAction) const {
    // Every action reads the design on screen as Save writes it.
    return impl_->DesignOnShow() && !impl_->flags.holdActive;
}

std::string DialogLogic::CoefficientText() const {
    if (!Offers(DesignAction::CopyCoefficients)) return "";
    return CoefficientClipboardText(impl_->ListedCoefficients());
}

bool DialogLogic::ExportCoefficients(const std::string& path, const ExportOptions& given) {
    Impl& m = *impl_;
    if (!Offers(DesignAction::ExportCoefficients)) return false;
    ExportOptions options = given;
    if (options.name.empty()) {
        options.name = ExportFormatDetails(options.format).hdl ? HdlNameFromPath(path)
                                                               : ExportNameFromPath(path);
    }
    if (options.command.empty()) options.command = "Tapwright window, Export Coefficients";
    MessageArgs args;
    if (!WriteExport(path, m.spec, m.design, options, &args.detail)) {
        m.rules.ShowMessageWithoutPush(MessageCode::ExportFailed, args);
        return false;
    }
    m.graphWordLength = options.bits;
    m.RedrawMagnitude();
    return true;
}

QImage DialogLogic::GraphImage() const {
    if (!Offers(DesignAction::CopyGraph)) return QImage();
    return impl_->canvases.mainFront.Image().copy();
}

bool DialogLogic::SaveGraphPng(const std::string& path) {
    Impl& m = *impl_;
    if (!Offers(DesignAction::SaveGraphAsPng)) return false;
    MessageArgs args;
    if (WritePngFile(path, m.canvases.mainFront.Image(), &args.detail)) return true;
    m.rules.ShowMessageWithoutPush(MessageCode::GraphNotSaved, args);
    return false;
}

bool DialogLogic::Measure(const QuantizeOptions& quantize, int inputBits, MeasurementTable& out) {
    Impl& m = *impl_;
    if (!Offers(DesignAction::MeasureDesign)) return false;
    DesignMeasurements measured;
    MessageArgs args;
    if (!MeasureDesign(m.spec, m.design, quantize, inputBits, measured, &args.detail)) {
        m.rules.ShowMessageWithoutPush(MessageCode::MeasureFailed, args);
        return false;
    }
    MeasurementTable table;
    table.headings = {"Measurement", "Full precision"};
    if (measured.quantized) {
        table.headings.push_back(FormatString("%d-bit fixed point", quantize.bits));
    }
    table.rows = MeasurementRows(measured);
    table.warning = ConditioningWarning(m.spec, m.design);
    out = std::move(table);
    m.graphWordLength = measured.quantized ? quantize.bits : 0;
    m.RedrawMagnitude();
    return true;
}

bool DialogLogic::ShortestWordLength(const QuantizeOptions& choice, double marginDb,
                                     WordLengthResult& out) {
    Impl& m = *impl_;
    if (!Offers(DesignAction::MeasureDesign)) return false;
    MessageArgs args;
    if (!FindShortestWordLength(m.spec, m.design, choice, marginDb, out, &args.detail)) {
        m.rules.ShowMessageWithoutPush(MessageCode::MeasureFailed, args);
        return false;
    }
    return true;
}

}  // namespace tapwright::ui
