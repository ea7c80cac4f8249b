#include "ui/window_rules.h"

#include <algorithm>
#include <string>

#include "core/design_methods.h"
#include "core/graph_kinds.h"
#include "core/spec_rules.h"
#include "ui/control_ids.h"
#include "ui/edit_fields.h"

namespace tapwright::ui {

namespace {

constexpr int kResponseItemsWithoutSixth = 5;

}  // namespace

WindowRules::WindowRules(WindowPlatform& platform)
    : spec(DefaultFilterSpec()), platform_(platform) {
    model.SetTextChangeListener([this](int id) {
        // A typed filter-spec value withdraws the last design; the view range does not.
        if (IsSpecField(id) && !designWritesBack) InvalidateDesign();
    });
}

std::vector<int> WindowRules::Pull() {
    return PullEditBuffer(model, buffer, spec);
}

void WindowRules::Push() {
    PushEditBuffer(buffer, spec, model);
}

void WindowRules::OpenBox(BoxIcon icon, const std::string& text) {
    ++boxDepth_;
    platform_.ShowBox(icon, text);
    --boxDepth_;
}

void WindowRules::ShowMessage(MessageCode code, const MessageArgs& args) {
    ShowMessageWithoutPush(code, args);
    Push();
}

void WindowRules::ShowMessageWithoutPush(MessageCode code, const MessageArgs& args) {
    const std::string text = FormatMessage(code, args);
    if (!text.empty()) OpenBox(BoxIcon::Stop, text);
}

void WindowRules::ShowInformation(const std::string& text) {
    OpenBox(BoxIcon::Information, text);
}

void WindowRules::InvalidateDesign() {
    flags.designValid = false;
    ApplyControlStates();
}

WindowState WindowRules::State() const {
    WindowState s;
    s.method = static_cast<DesignMethod>(model.Selection(kFunctionTypeCombo));
    s.response = static_cast<ResponseType>(model.Selection(kResponseTypeCombo));
    s.lengthGiven = LengthGiven();
    s.termination = spec.TerCr;
    s.band = model.Selection(kBandCombo);
    s.bandCount = spec.TBand;
    s.held = flags.holdActive;
    s.designValid = flags.designValid;
    s.graph = GraphKindAt(model, model.Selection(kGraphTypeCombo));
    s.view = model.Selection(kDisplayTypeCombo);
    s.logScale = model.Checked(kLogScaleCheck);
    s.holdOffered = flags.holdOffered;
    s.bandViewsOffered = flags.bandViewsOffered;
    return s;
}

void WindowRules::ApplyControlStates() {
    ApplyControlRules(State(), model);
}

bool WindowRules::EquirippleSelected() const {
    return UsesBandTable(static_cast<DesignMethod>(model.Selection(kFunctionTypeCombo)));
}

bool WindowRules::LengthGiven() const {
    return model.Checked(kAutoDesignCheck);
}

void WindowRules::SelectFilterTypeOf(SymmetryType symmetry) {
    const std::string text(SymmetryTypeText(symmetry));
    const std::vector<std::string>& items = model.State(kFilterTypeCombo).items;
    const auto it = std::find(items.begin(), items.end(), text);
    model.Select(kFilterTypeCombo, it == items.end() ? -1 : static_cast<int>(it - items.begin()));
}

// ---- Start-up --------------------------------------------------------------------

namespace {

// The texts of the first `count` values of an enumeration, in value order.
template <typename E>
std::vector<std::string> Texts(std::string_view (*text)(E), int count) {
    std::vector<std::string> items;
    for (int i = 0; i < count; ++i) items.emplace_back(text(static_cast<E>(i)));
    return items;
}

std::string_view WindowResponseText(ResponseType type) {
    return ResponseTypeText(type, false);
}

}  // namespace

void WindowRules::Initialise() {
    model.SetItems(kResponseTypeCombo, Texts(WindowResponseText, kResponseTypeCount));
    ListMethods(true);
    model.SetItems(kGraphTypeCombo, Texts(GraphTypeText, kGraphTypeCount));
    model.SetItems(kFftSizeCombo, Texts(FftSizeText, kFftIndexCount));
    model.SetItems(kDisplayTypeCombo, Texts(ViewModeText, SpecifiedRange + 1));
    model.SetItems(kFilterTypeCombo, Texts(SymmetryTypeText, kSymmetryTypeCount));
    model.SetItems(kBandCombo, {"1", "2"});
    model.Show(kLogoPicture, false);  // nothing loaded yet

    // The window starts from the default filter spec, and the fields show it.
    spec = DefaultFilterSpec();
    TakeScalarFields(buffer, spec);
    buffer.ViewHigh = spec.Fs * 0.5;
    model.Select(kResponseTypeCombo, spec.FType);
    ApplyResponseType();
    model.Select(kFunctionTypeCombo, spec.WType);
    model.Select(kFftSizeCombo, FftIndexFromSize(spec.FFT));
    model.SetChecked(kAutoDesignCheck, spec.AutoD != 0);
    ApplyAutoDesignState();

    model.Select(kGraphTypeCombo, Impulse);
    flags.graphSel = Impulse;
    model.SetChecked(kCurveFittingCheck, false);
    model.SetChecked(kGridCheck, true);
    model.Select(kDisplayTypeCombo, FullView);
    flags.displaySel = FullView;
    model.Show(kSmallGraph, false);

    flags.designValid = false;
    for (int id : kProgressTexts) model.Show(id, false);
    model.Show(kPenguinPicture, true);
    flags.holdActive = false;

    FillFilterTypes();
    ResetBandTable();
    Push();
    ApplyControlStates();
    flags.startupPicture = true;
}

// ---- Dispatch --------------------------------------------------------------------

bool WindowRules::HandleSelection(int id) {
    switch (id) {
        case kResponseTypeCombo:
            OnResponseTypeChange();
            break;
        case kFunctionTypeCombo:
            OnDesignMethodChange();
            break;
        case kFftSizeCombo:
            OnFftSizeChange();
            break;
        case kFilterTypeCombo:
            OnFilterTypeChange();
            break;
        case kBandCombo:
            LoadSelectedBand();
            break;
        default:
            return false;
    }
    ApplyControlStates();
    return true;
}

bool WindowRules::HandleToggle(int id, bool checked) {
    switch (id) {
        case kAutoDesignCheck:
            spec.AutoD = checked ? 1 : 0;
            ApplyAutoDesignState();
            // Auto Design is part of the filter spec: the design on screen no longer
            // matches it.
            InvalidateDesign();
            break;
        case kIterationsRadio:
        case kPeakRatioRadio:
            if (!checked) break;
            model.SetChecked(id == kIterationsRadio ? kPeakRatioRadio : kIterationsRadio, false);
            OnTerminationRadio(id == kPeakRatioRadio);
            break;
        default:
            return false;
    }
    ApplyControlStates();
    return true;
}

// ---- Response type -------------------------------------------------------------

void WindowRules::OnResponseTypeChange() {
    const int selection = model.Selection(kResponseTypeCombo);
    if (selection < 0) return;
    spec.FType = static_cast<ResponseType>(selection);
    ApplyResponseType();
    FillFilterTypes();
    ResetBandTable();
    LoadSelectedBand();
    InvalidateDesign();
    ApplyAutoDesignState();
}

void WindowRules::ListMethods(bool withBandTable) {
    std::vector<std::string> items;
    for (const DesignMethodInfo& info : kDesignMethods) {
        if (withBandTable || info.family != DesignFamily::Equiripple) {
            items.emplace_back(info.text);
        }
    }
    if (model.State(kFunctionTypeCombo).items == items) return;
    // The band-table methods close the table: the window methods keep their items.
    const int selection = model.Selection(kFunctionTypeCombo);
    model.SetItems(kFunctionTypeCombo, std::move(items));
    if (selection < model.ItemCount(kFunctionTypeCombo))
        model.Select(kFunctionTypeCombo, selection);
}

void WindowRules::ApplyResponseType(bool keepBandCount) {
    ListMethods(true);
    const bool equiripple = EquirippleSelected();
    if (spec.FType == Hilbert) {
        if (equiripple) {
            // Multiband: the cutoffs are left as they are; a list filled for a
            // Hilbert transformer gives way to the multiband characteristics.
            if (!FilterTypesListed()) FillFilterTypes();
        } else {
            // A Hilbert transformer spans the whole band.
            spec.Fc1 = buffer.Fc1 = 0.0f;
            spec.Fc2 = buffer.Fc2 = static_cast<float>(spec.Fs * 0.5);
            Push();
            // Under the band-table methods the sixth type is Multiband.
            ListMethods(false);
            FillFilterTypes();
        }
    }
    if (!keepBandCount) spec.TBand = BandCountForResponse(spec.FType, equiripple, spec.TBand);
}

bool WindowRules::FilterTypesListed() const {
    std::vector<std::string> expected;
    for (SymmetryType s : AllowedSymmetries(spec.FType, EquirippleSelected())) {
        expected.emplace_back(SymmetryTypeText(s));
    }
    return model.State(kFilterTypeCombo).items == expected;
}

void WindowRules::FillFilterTypes() {
    const std::vector<SymmetryType> allowed = AllowedSymmetries(spec.FType, EquirippleSelected());
    std::vector<std::string> items;
    for (SymmetryType s : allowed) items.emplace_back(SymmetryTypeText(s));
    model.SetItems(kFilterTypeCombo, std::move(items));
    model.Select(kFilterTypeCombo, 0);
    if (!allowed.empty()) spec.FChar = allowed.front();
}

void WindowRules::OnFilterTypeChange() {
    if (spec.FType == LowPass || spec.FType == HighPass) {
        // The characteristic follows the parity of the length.
        spec.FChar = SymmetryForLength(spec.FType, spec.Taps, spec.FChar);
        SelectFilterTypeOf(spec.FChar);
    } else {
        const std::vector<SymmetryType> allowed =
            AllowedSymmetries(spec.FType, EquirippleSelected());
        if (!allowed.empty()) {
            const int last = static_cast<int>(allowed.size()) - 1;
            const int item = std::clamp(model.Selection(kFilterTypeCombo), 0, last);
            spec.FChar =
                SymmetryForSelection(spec.FType, EquirippleSelected(), true, spec.Taps, item);
            SelectFilterTypeOf(spec.FChar);
        }
    }
    InvalidateDesign();
}

// ---- Design method -------------------------------------------------------------

void WindowRules::OnDesignMethodChange() {
    const int selection = model.Selection(kFunctionTypeCombo);
    if (selection < 0) return;
    const bool held = flags.holdActive;
    const bool equiripple = UsesBandTable(static_cast<DesignMethod>(selection));
    while (model.ItemCount(kResponseTypeCombo) > kResponseItemsWithoutSixth) {
        model.DeleteItem(kResponseTypeCombo, model.ItemCount(kResponseTypeCombo) - 1);
    }
    model.AddItem(kResponseTypeCombo, std::string(ResponseTypeText(Multiband, equiripple)));
    model.Select(kResponseTypeCombo, spec.FType);
    if (!held) spec.WType = static_cast<DesignMethod>(selection);

    if (equiripple && !held && !flags.designValid) {
        model.Select(kBandCombo, 0);
        ResetBandTable();
        LoadSelectedBand();
    }
    // The band-table methods draw no small graph of their own; under Hold On it
    // shows the legend.
    const bool smallGraph = !equiripple || held;
    model.Show(kSmallGraph, smallGraph && !flags.startupPicture);
    model.Show(kLogoPicture, !smallGraph && !flags.startupPicture);
    ApplyAutoDesignState();
    flags.designValid = false;
    ApplyResponseType();
}

// ---- Auto Design ---------------------------------------------------------------

void WindowRules::ApplyAutoDesignState() {
    if (LengthGiven()) {
        if (!flags.holdActive) OnFilterTypeChange();
        return;
    }
    // Auto Design off: the first characteristic the response allows.
    spec.FChar = SymmetryForSelection(spec.FType, EquirippleSelected(), false, spec.Taps, 0);
    SelectFilterTypeOf(spec.FChar);
}

// ---- Bands, FFT size, termination ------------------------------------------------

void WindowRules::ResetBandTable() {
    ResetBands(spec);
    buffer.TBand = spec.TBand;
    ListBands();
}

void WindowRules::ListBands() {
    std::vector<std::string> items;
    for (int i = 1; i <= spec.TBand; ++i) items.push_back(std::to_string(i));
    model.SetItems(kBandCombo, std::move(items));
    model.Select(kBandCombo, 0);
}

void WindowRules::LoadSelectedBand() {
    int band = model.Selection(kBandCombo);
    if (band < 0 || band >= std::clamp(spec.TBand, 1, kMaxBands)) {
        band = 0;
        model.Select(kBandCombo, 0);
    }
    flags.bandSel = band;
    TakeBandFields(buffer, spec, band);
    Push();
}

void WindowRules::OnFftSizeChange() {
    const int size = FftSizeFromIndex(model.Selection(kFftSizeCombo));
    if (size == 0) return;
    spec.FFT = size;
    InvalidateDesign();
}

void WindowRules::OnTerminationRadio(bool byRatio) {
    Pull();
    // No target ratio (-1) ends the design by its iteration count.
    spec.RatioTarget = byRatio ? spec.Ratio : -1.0;
    InvalidateDesign();
}

void WindowRules::RestoreComboSelection(int comboId) {
    switch (comboId) {
        case kFunctionTypeCombo:
            if (flags.holdActive) return;
            model.Select(comboId, spec.WType);
            break;
        case kResponseTypeCombo:
            model.Select(comboId, spec.FType);
            break;
        case kFilterTypeCombo:
            SelectFilterTypeOf(spec.FChar);
            break;
        case kFftSizeCombo:
            model.Select(comboId, FftIndexFromSize(spec.FFT));
            break;
        case kGraphTypeCombo:
            model.Select(comboId, GraphItemOf(model, static_cast<GraphType>(flags.graphSel)));
            break;
        case kDisplayTypeCombo:
            model.Select(comboId, flags.displaySel);
            break;
        case kBandCombo:
            model.Select(comboId, flags.bandSel);
            break;
        default:
            return;
    }
    // Whatever was typed into the combo gives way to the selected item.
    const ControlState& s = model.State(comboId);
    model.SetText(comboId, s.selection >= 0 ? s.items[s.selection] : std::string());
    Push();
    ApplyControlStates();
}

// ---- Field checks ----------------------------------------------------------------

void WindowRules::Refuse(int id, MessageCode code, const MessageArgs& args, bool focusBack) {
    // Marked first: the box itself moves the focus.
    refused_.insert(id);
    ShowMessage(code, args);
    if (focusBack) platform_.SetFocus(id);
}

void WindowRules::OnFieldEdited(int id) {
    refused_.erase(id);
}

void WindowRules::OnFieldFocusLost(int id) {
    if (!IsCheckedField(id) || BoxOpen() || refused_.count(id) != 0) return;
    CheckLeftField(id);
    ApplyControlStates();
}

void WindowRules::CheckLeftField(int id) {
    const FilterSpec before = spec;
    const SpecEditBuffer bufferBefore = buffer;
    const std::vector<int> unparsed = Pull();
    if (std::find(unparsed.begin(), unparsed.end(), id) != unparsed.end()) {
        // The buffer still holds the last good value; the push shows it.
        Refuse(id, MessageCode::NotANumber, {}, FocusReturnsTo(id));
        return;
    }
    const FieldVerdict verdict = CheckField(id, buffer, before);
    if (!verdict.accepted) {
        refused_.insert(id);
        ShowMessage(verdict.code, verdict.args);
        RestoreField(id, buffer, spec, before, bufferBefore, flags.bandSel);
        Push();
        if (verdict.focusBack) platform_.SetFocus(id);
        return;
    }
    CommitField(id, buffer, spec, flags.bandSel);
    FollowUpCommit(id, bufferBefore);
}

void WindowRules::FollowUpCommit(int id, const SpecEditBuffer& before) {
    switch (id) {
        case kLengthEdit:
            if (spec.FType == LowPass || spec.FType == HighPass) {
                spec.FChar = SymmetryForSelection(spec.FType, EquirippleSelected(), LengthGiven(),
                                                  spec.Taps, model.Selection(kFilterTypeCombo));
                SelectFilterTypeOf(spec.FChar);
            }
            break;
        case kIterationsEdit:
            spec.RatioTarget = -1.0;
            // The Hold On legend names the count the held design was made with.
            held.iterations = before.Itern;
            break;
        case kRatioEdit:
            spec.RatioTarget = spec.Ratio;
            break;
        case kBandCountEdit:
            ResetBandTable();
            LoadSelectedBand();
            break;
        default:
            break;
    }
}

bool WindowRules::RefuseUnparsedField() {
    const std::vector<int> unparsed = UnparsedFields(model);
    if (unparsed.empty()) return false;
    const int id = unparsed.front();
    Refuse(id, MessageCode::NotANumber, {}, true);
    return true;
}

int GraphKindAt(const ControlModel& model, int index) {
    const std::vector<std::string>& items = model.State(kGraphTypeCombo).items;
    if (index < 0 || static_cast<std::size_t>(index) >= items.size()) return -1;
    for (const GraphKindInfo& kind : kGraphKinds) {
        if (kind.text == items[static_cast<std::size_t>(index)]) return kind.graph;
    }
    return -1;
}

int GraphItemOf(const ControlModel& model, GraphType graph) {
    const GraphKindInfo* kind = GraphKindOf(graph);
    if (kind == nullptr) return -1;
    const std::vector<std::string>& items = model.State(kGraphTypeCombo).items;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == kind->text) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace tapwright::ui
