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

constexpr const char* kLogoFile = "zeb_logo_orange_bg.jpg";

DialogLogic::DialogLogic(CFirDesign& design, GraphCanvases& canvases, WindowPlatform& platform)
    : design_(design), canvases_(canvases), platform_(platform), rules_(platform) {}

DialogLogic::Inputs DialogLogic::CurrentInputs() const {
    Inputs in{spec_, {}};
    for (const ControlDef& def : ControlTable()) {
        if (!IsSpecInput(def)) continue;
        const ControlState& s = model_.State(def.id);
        // A combo's choice is its selection; its edit text only follows it.
        const bool combo = def.kind == ControlKind::ComboBox;
        in.controls.emplace_back(combo ? std::string() : s.text, s.selection, s.checked);
    }
    return in;
}

// ---- Start-up ----------------------------------------------------------------------

void DialogLogic::Initialise() {
    rules_.Initialise();
    // The small frame stays hidden until the first design; the start-up pictures
    // take its place.
    CreateStartupImages(canvases_, mainRect_, smallRect_);
    platform_.RepaintNow();

    if (platform_.LoadPicture(kPenguinPicture, "penguin.GIF"))
        platform_.StartPicture(kPenguinPicture);
    const std::pair<int, const char*> letters[] = {{kLetterFPicture, "f_md_clr.gif"},
                                                   {kLetterIPicture, "i_md_clr.gif"},
                                                   {kLetterRPicture, "r_md_clr.gif"}};
    bool allLoaded = true;
    for (const auto& [id, file] : letters) {
        if (!platform_.LoadPicture(id, file)) {
            allLoaded = false;
            break;
        }
    }
    if (allLoaded) {
        for (const auto& [id, file] : letters) platform_.StartPicture(id);
    }
    drawnSpec_ = spec_;
    savedInputs_ = CurrentInputs();
}

void DialogLogic::ResizeGraphs(const CanvasRect& newMain, const CanvasRect& newSmall,
                               int newScale) {
    if (newMain.right == mainRect_.right && newMain.bottom == mainRect_.bottom &&
        newSmall.right == smallRect_.right && newSmall.bottom == smallRect_.bottom &&
        newScale == scale_) {
        return;
    }
    mainRect_ = newMain;
    smallRect_ = newSmall;
    scale_ = newScale;
    CreateStartupImages(canvases_, mainRect_, smallRect_, scale_);
    if (shown_ == Shown::Erased) {
        EraseMain();
    } else if (shown_ == Shown::Design) {
        ResetWorkingCanvases(canvases_, drawnOptions_.holdActive);
        DrawDesign(drawnOptions_);
        RefreshGraphs(canvases_, CurrentGraphOptions());
    }
}

// ---- Apply -------------------------------------------------------------------------

GraphOptions DialogLogic::CurrentGraphOptions() const {
    GraphOptions o;
    const int graph = SelectedGraph();
    o.graph = static_cast<GraphType>(graph >= 0 ? graph : flags_.graphSel);
    o.logScale = model_.Checked(kLogScaleCheck);
    const int view = model_.Selection(kDisplayTypeCombo);
    o.view = static_cast<ViewMode>(view >= 0 ? view : flags_.displaySel);
    o.curveFitting = model_.Checked(kCurveFittingCheck);
    o.degrees = model_.Checked(kDegreesCheck);
    o.zoom = model_.Checked(kZoomCheck);
    o.viewLow = rules_.buffer.ViewLow;
    o.viewHigh = rules_.buffer.ViewHigh;
    o.gridOn = model_.Checked(kGridCheck);
    o.holdActive = flags_.holdActive;
    o.seconds = model_.Checked(kSecondsCheck);
    o.fixedPointBits = graphWordLength_;
    return o;
}

void DialogLogic::Apply() {
    // A field whose text is not a number stops Apply before anything changes.
    if (!flags_.holdActive && rules_.RefuseUnparsedField()) return;

    // What a cancelled design puts back.
    const FilterSpec specBefore = spec_;
    const int heldIterationsBefore = held_.iterations;

    if (!flags_.holdActive) {
        rules_.Pull();
        // The Hold On legend names the count the held design was made with.
        held_.iterations = spec_.Itern;
    }
    DesignRequest request;
    request.spec = spec_;
    request.responseSelection = ResponseTypeSelection();
    request.methodSelection = DesignMethodSelection();
    request.lengthGiven = rules_.LengthGiven();
    request.designValid = flags_.designValid;
    request.holdActive = flags_.holdActive;
    if (const std::optional<DesignNotice> refusal = CheckRequest(request)) {
        rules_.ShowMessage(refusal->code, refusal->args);
        return;
    }
    request.previous = design_;

    if (!UsesBandTable(request.methodSelection) || flags_.designValid) {
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
        busy_ = false;
        // The worker showed the progress texts directly; the model has them hidden.
        for (int id : kProgressTexts) {
            model_.Show(id, false);
            model_.MarkChanged(id);
        }
        if (escaped || job->second.status == DesignStatus::Cancelled) {
            spec_ = specBefore;
            held_.iterations = heldIterationsBefore;
            rules_.ApplyControlStates();
            platform_.RepaintNow();
            return;
        }
        TakeOutcome(std::move(job->second));
        rules_.ApplyControlStates();
    };
    busy_ = true;
    platform_.RunDesignJob(std::move(work));
}

// The steps between the check and the design: the start-up pictures give way to
// the logo, the held curve is kept, the working canvases are erased, and the small
// area is readied for the design family.
void DialogLogic::PrepareForDesign() {
    if (flags_.startupPicture) {
        model_.Show(kPicturePanel, false);
        for (int id : {kPenguinPicture, kLetterFPicture, kLetterIPicture, kLetterRPicture}) {
            platform_.StopAndReleasePicture(id);
        }
        if (platform_.LoadPicture(kLogoPicture, kLogoFile)) {
            platform_.StartPicture(kLogoPicture);
            model_.Show(kLogoPicture, true);
        }
        flags_.startupPicture = false;
        for (int id : {kPenguinPicture, kLetterFPicture, kLetterIPicture, kLetterRPicture}) {
            model_.Show(id, false);
        }
    }
    if (flags_.holdActive) {
        // The design on screen becomes the held one.
        held_.method = spec_.WType;
        const std::size_t count = std::min(
            design_.magnitudeDb.size(), static_cast<std::size_t>(std::max(design_.pointCount, 0)));
        held_.magnitudeDb.assign(design_.magnitudeDb.begin(),
                                 design_.magnitudeDb.begin() + static_cast<std::ptrdiff_t>(count));
    }
    ResetWorkingCanvases(canvases_, flags_.holdActive);
    if (!flags_.designValid) {
        const bool smallGraph = !UsesBandTable(DesignMethodSelection()) || flags_.holdActive;
        model_.Show(kLogoPicture, !smallGraph);
        model_.Show(kSmallGraph, smallGraph);
        platform_.RepaintNow();
    }
}

// Shows what a design that passed its check made: the new design and the values it
// wrote back, its messages, the list, then the graphs.
void DialogLogic::TakeOutcome(DesignOutcome outcome) {
    PrepareForDesign();
    const bool designed = outcome.status == DesignStatus::Designed;
    // The held curve keeps the point count of the design it was taken from.
    if (designed && !outcome.redrawOnly) held_.pointCount = design_.pointCount;
    spec_ = outcome.spec;
    design_ = std::move(outcome.design);
    // The pushes below show the design's own values: no edit, nothing withdrawn.
    rules_.designWritesBack = true;
    if (outcome.equiripple && !designed) {
        for (int id : kProgressTexts) model_.Show(id, false);
    }
    for (const DesignNotice& notice : outcome.notices) {
        if (notice.information) {
            rules_.ShowInformation(notice.text);
        } else {
            rules_.ShowMessage(notice.code, notice.args);
        }
    }
    if (outcome.writesBack) {
        // A design that estimates its length sets Taps; the length field shows it.
        rules_.buffer.Taps = spec_.Taps;
        rules_.Push();
        // A length search also picks the characteristic of the length it found.
        rules_.SelectFilterTypeOf(spec_.FChar);
    }
    rules_.designWritesBack = false;
    if (designed && !outcome.redrawOnly) {
        flags_.designValid = true;
        if (!flags_.holdActive) FillCoefficientList();
    }
    AfterDesign(outcome.r, outcome.equiripple);
}

void DialogLogic::AfterDesign(int r, bool equiripple) {
    if (!equiripple && r >= 0) {
        // The list holds what this design offers (no phase graph for differentiators
        // and Hilbert transformers), in the table's order.
        int item = 0;
        for (const GraphKindInfo& kind : kGraphKinds) {
            const bool listed = GraphItemOf(model_, kind.graph) >= 0;
            if (GraphOffered(kind.graph, spec_.WType, spec_.FType)) {
                if (!listed) model_.InsertItem(kGraphTypeCombo, item, std::string(kind.text));
                ++item;
            } else if (listed) {
                WithdrawGraphItem(kind.graph, false);
            }
        }
    }
    if (equiripple) {
        if (r < 0) {
            EraseMain();
            platform_.RepaintNow();
        }
        for (const GraphKindInfo& kind : kGraphKinds) {
            if (kind.afterBandTable || GraphItemOf(model_, kind.graph) < 0) continue;
            // A design that failed is no valid design: nothing to redraw then.
            if (r >= 0) flags_.designValid = true;
            WithdrawGraphItem(kind.graph, r >= 0);
        }
    }
    if (r < 0) {
        // Nothing was designed: the graphs are empty, and neither the list nor Save
        // nor printing may offer the design before as if it were this one.
        flags_.designValid = false;
        model_.SetRows(kCoefficientList, nullptr);
        return;
    }

    if (SelectedGraph() == Magnitude) {
        if (!model_.Checked(kLogScaleCheck)) {
            model_.Select(kDisplayTypeCombo, FullView);
        } else {
            const bool fullView = model_.Selection(kDisplayTypeCombo) == FullView;
            // Nor for the sixth response type, Hilbert or Multiband.
            flags_.holdOffered = spec_.FType != Differentiator && spec_.FType != Hilbert &&
                                 spec_.FType != Multiband && fullView;
            const int shown = model_.Selection(kResponseTypeCombo);
            // Only low and high pass have full, pass and stop band views.
            flags_.bandViewsOffered = shown == LowPass || shown == HighPass;
            if (!flags_.bandViewsOffered) {
                model_.Select(kDisplayTypeCombo, SpecifiedRange);
                // The forced range view opens at 0 ... Fs/2 unless a range was typed.
                if (!viewRangeTyped_) {
                    rules_.buffer.ViewLow = 0.0;
                    rules_.buffer.ViewHigh = static_cast<double>(spec_.Fs) * 0.5;
                    rules_.Push();
                }
            }
        }
    }
    drawnSpec_ = spec_;
    DrawDesign(CurrentGraphOptions());
    Refresh();
}

// Takes a graph kind out of the graph type list; that graph on show gives way to
// the impulse graph (redrawn when `redraw`).
void DialogLogic::WithdrawGraphItem(GraphType graph, bool redraw) {
    const int item = GraphItemOf(model_, graph);
    if (item < 0) return;
    if (model_.Selection(kGraphTypeCombo) == item) {
        model_.Select(kGraphTypeCombo, GraphItemOf(model_, Impulse));
        OnGraphTypeChanged(redraw);
    }
    // The redraw runs Apply, which may have withdrawn the item already; deleting
    // its old place again would take out the kind listed after it.
    const int now = GraphItemOf(model_, graph);
    if (now >= 0) model_.DeleteItem(kGraphTypeCombo, now);
}

void DialogLogic::OnGraphTypeChanged(bool redraw) {
    const int selection = SelectedGraph();
    if (selection < 0) return;
    flags_.graphSel = selection;
    rules_.ApplyControlStates();
    if (!redraw) return;
    platform_.RepaintNow();
    Apply();
}

void DialogLogic::Refresh() {
    RefreshGraphs(canvases_, CurrentGraphOptions());
    platform_.RepaintNow();
}

void DialogLogic::OnViewChanged() {
    const int view = model_.Selection(kDisplayTypeCombo);
    ResetWorkingCanvases(canvases_, false);
    if (view >= FullView && view <= SpecifiedRange) {
        GraphOptions o = CurrentGraphOptions();
        o.graph = Magnitude;
        o.logScale = true;
        o.holdActive = false;
        DrawDesign(o);
        flags_.holdOffered = view == FullView;
        flags_.displaySel = view;
    }
    rules_.ApplyControlStates();
    Refresh();
}

// Draws the magnitude graph on show again (a new fixed-point word length); other
// graphs and the Hold On overlay are left as they are.
void DialogLogic::RedrawMagnitude() {
    if (!DesignOnShow() || flags_.holdActive || SelectedGraph() != Magnitude) return;
    ResetWorkingCanvases(canvases_, false);
    // At the graph areas' present size, and remembered so that a resize keeps the curve.
    DrawDesign(CurrentGraphOptions());
    Refresh();
}

void DialogLogic::OnHoldOnClicked() {
    const bool held = model_.Checked(kHoldOnCheck);
    flags_.holdActive = held;
    if (held) {
        canvases_.holdLegend.Clear(kBackgroundColour);
        canvases_.holdLegend.CopyTo(&canvases_.smallFront);
        platform_.RepaintNow();
        model_.SetRows(kCoefficientList, nullptr);
    } else {
        canvases_.smallPlot.CopyTo(&canvases_.smallFront);
        FillCoefficientList();
        Refresh();
    }
    // The method list may have changed under Hold On: its choice now counts.
    const bool validBefore = flags_.designValid;
    rules_.OnDesignMethodChange();
    // Holding takes the design on screen as the held one: the next Apply makes
    // another. Released, the design on screen stands unless the inputs changed.
    flags_.designValid = !held && (validBefore || spec_ == drawnSpec_);
    rules_.ApplyControlStates();
}

// ---- Save and Load -----------------------------------------------------------------

void DialogLogic::OnSave() {
    const std::optional<std::string> path = platform_.AskSaveFileName();
    if (!path) return;
    int fftIndex = model_.Selection(kFftSizeCombo);
    if (fftIndex < 0) fftIndex = FftIndexFromSize(spec_.FFT);
    std::string error;
    if (!SaveSpecFile(*path, spec_, fftIndex, rules_.LengthGiven() ? 1 : 0, design_.coeffs,
                      &error)) {
        rules_.ShowMessage(MessageCode::CannotCreateFile);
        return;
    }
    savedInputs_ = CurrentInputs();
    rules_.ShowInformation(kFileSavedText);
}

void DialogLogic::OnLoad() {
    const std::optional<std::string> path = platform_.AskOpenFileName();
    if (path) Load(*path, true);
}

bool DialogLogic::Load(const std::string& path, bool showSuccess) {
    // The whole file is read and checked before anything changes.
    const SpecReadResult read = ReadSettledSpecFile(path, spec_);
    if (!read.ok) {
        if (read.cannotOpen) {
            rules_.ShowMessage(MessageCode::CannotOpenFile);
        } else {
            MessageArgs args;
            args.detail = read.error;
            rules_.ShowMessage(MessageCode::FileDamaged, args);
        }
        return false;
    }
    // Settled exactly as the batch designer settles a file.
    const FilterSpec& settled = read.spec;

    // The response and method lists, and the inputs they show.
    spec_.FType = settled.FType;
    model_.Select(kResponseTypeCombo, settled.FType);
    rules_.FillFilterTypes();
    spec_.WType = settled.WType;
    rules_.ListMethods(true);
    model_.Select(kFunctionTypeCombo, settled.WType);
    rules_.OnDesignMethodChange();

    // Every value read, then the controls in line with them.
    spec_ = settled;
    model_.SetChecked(kAutoDesignCheck, settled.AutoD != 0);
    model_.Select(kFftSizeCombo, read.fftIndex);
    rules_.ListBands();
    rules_.LoadSelectedBand();

    SpecEditBuffer& b = rules_.buffer;
    b.Fs = spec_.Fs;
    model_.Select(kResponseTypeCombo, spec_.FType);
    rules_.ApplyResponseType(true);
    model_.Select(kFunctionTypeCombo, spec_.WType);
    TakeScalarFields(b, spec_);
    rules_.ApplyAutoDesignState();
    spec_.FChar = settled.FChar;
    rules_.SelectFilterTypeOf(spec_.FChar);
    rules_.Push();

    // No design matches the loaded inputs until Apply.
    flags_.designValid = false;
    rules_.ApplyControlStates();
    model_.Show(kSmallGraph, false);
    model_.SetRows(kCoefficientList, nullptr);
    if (!flags_.startupPicture) model_.Show(kLogoPicture, true);
    EraseMain();
    platform_.RepaintNow();
    savedInputs_ = CurrentInputs();
    if (showSuccess) rules_.ShowInformation(kFileLoadedText);
    return true;
}

// ---- User actions ------------------------------------------------------------------

void DialogLogic::OnUserEdited(int id, const std::string& text) {
    if (busy_) return;
    model_.SetText(id, text);
    rules_.OnFieldEdited(id);
    if (id == kViewLowEdit || id == kViewHighEdit) viewRangeTyped_ = true;
}

void DialogLogic::OnUserToggled(int id, bool checked) {
    if (busy_) return;
    model_.SetChecked(id, checked);
    if (rules_.HandleToggle(id, checked)) return;
    switch (id) {
        case kGridCheck:
            Refresh();
            break;
        case kCurveFittingCheck:
        case kLogScaleCheck:
        case kDegreesCheck:
        case kSecondsCheck:
            Apply();
            break;
        case kHoldOnCheck:
            OnHoldOnClicked();
            break;
        case kZoomCheck:
            OnViewChanged();
            break;
        default:
            break;
    }
    rules_.ApplyControlStates();
}

void DialogLogic::OnUserSelected(int id, int index) {
    if (busy_) return;
    model_.Select(id, index);
    const ControlState& s = model_.State(id);
    if (s.selection >= 0) model_.SetText(id, s.items[s.selection]);
    if (rules_.HandleSelection(id)) return;
    switch (id) {
        case kGraphTypeCombo:
            OnGraphTypeChanged(true);
            break;
        case kDisplayTypeCombo:
            OnViewChanged();
            break;
        default:
            break;
    }
    rules_.ApplyControlStates();
}

void DialogLogic::OnClicked(int id) {
    if (busy_) return;
    switch (id) {
        case kLoadButton:
            OnLoad();
            break;
        case kSaveButton:
            OnSave();
            break;
        case kApplyButton:
            Apply();
            break;
        case kViewButton:
            OnViewChanged();
            break;
        case kPrintResponseButton:
        case kPrintCoefficientsButton:
            if (printHandler_ && DesignOnShow()) printHandler_(id);
            break;
        default:
            break;  // Quit is OnQuit
    }
    rules_.ApplyControlStates();
}

void DialogLogic::OnFocusLost(int id) {
    if (busy_ || rules_.BoxOpen()) return;
    const ControlDef* def = FindControl(id);
    if (def != nullptr && def->kind == ControlKind::ComboBox) {
        rules_.RestoreComboSelection(id);
    } else {
        rules_.OnFieldFocusLost(id);
    }
}

bool DialogLogic::OnQuit() {
    if (busy_) return false;
    if (rules_.RefuseUnparsedField()) return false;
    rules_.Pull();
    return true;
}

bool DialogLogic::InputsChangedSinceSaved() const {
    return !(CurrentInputs() == savedInputs_);
}

bool DialogLogic::LoadSpecFile(const std::string& path, bool showSuccess) {
    if (busy_) return false;
    const bool loaded = Load(path, showSuccess);
    rules_.ApplyControlStates();
    return loaded;
}

void DialogLogic::SetPrintHandler(std::function<void(int id)> handler) {
    printHandler_ = std::move(handler);
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
    return DesignOnShow() && !flags_.holdActive;
}

std::string DialogLogic::CoefficientText() const {
    if (!Offers(DesignAction::CopyCoefficients)) return "";
    return CoefficientClipboardText(ListedCoefficients(design_.coeffs, spec_.Taps));
}

bool DialogLogic::ExportCoefficients(const std::string& path, const ExportOptions& given) {
    if (!Offers(DesignAction::ExportCoefficients)) return false;
    ExportOptions options = given;
    if (options.name.empty()) options.name = DefaultExportName(options.format, path);
    if (options.command.empty()) options.command = "Tapwright window, Export Coefficients";
    MessageArgs args;
    if (!WriteExport(path, spec_, design_, options, &args.detail)) {
        rules_.ShowMessageWithoutPush(MessageCode::ExportFailed, args);
        return false;
    }
    graphWordLength_ = options.bits;
    RedrawMagnitude();
    return true;
}

QImage DialogLogic::GraphImage() const {
    if (!Offers(DesignAction::CopyGraph)) return QImage();
    return canvases_.mainFront.Image().copy();
}

bool DialogLogic::SaveGraphPng(const std::string& path) {
    if (!Offers(DesignAction::SaveGraphAsPng)) return false;
    MessageArgs args;
    if (WritePngFile(path, canvases_.mainFront.Image(), &args.detail)) return true;
    rules_.ShowMessageWithoutPush(MessageCode::GraphNotSaved, args);
    return false;
}

bool DialogLogic::Measure(const QuantizeOptions& quantize, int inputBits, MeasurementTable& out) {
    if (!Offers(DesignAction::MeasureDesign)) return false;
    DesignMeasurements measured;
    MessageArgs args;
    if (!MeasureDesign(spec_, design_, quantize, inputBits, measured, &args.detail)) {
        rules_.ShowMessageWithoutPush(MessageCode::MeasureFailed, args);
        return false;
    }
    MeasurementTable table;
    table.headings = MeasurementHeadings(measured);
    table.rows = MeasurementRows(measured);
    table.warning = ConditioningWarning(spec_, design_);
    out = std::move(table);
    graphWordLength_ = measured.quantized ? quantize.bits : 0;
    RedrawMagnitude();
    return true;
}

bool DialogLogic::ShortestWordLength(const QuantizeOptions& choice, double marginDb,
                                     WordLengthResult& out) {
    if (!Offers(DesignAction::MeasureDesign)) return false;
    MessageArgs args;
    if (!FindShortestWordLength(spec_, design_, choice, marginDb, out, &args.detail)) {
        rules_.ShowMessageWithoutPush(MessageCode::MeasureFailed, args);
        return false;
    }
    return true;
}

}  // namespace tapwright::ui
