#pragma once

// The main window's control-state logic and field checks, over the control model,
// the committed filter spec, the edit buffer and the window's flags: which inputs
// are shown and enabled for a response type, design method and Auto Design state,
// how the combo lists and the band table follow the choices, how a field's value
// is checked when it loses the focus, and how a change withdraws the last design.
// Pure C++: it reaches the desktop only through WindowPlatform.

#include <set>
#include <vector>

#include "core/filter_spec.h"
#include "core/fir_design.h"
#include "core/messages.h"
#include "graphs/held_curve.h"
#include "ui/control_ids.h"
#include "ui/control_model.h"
#include "ui/control_states.h"
#include "ui/spec_edit_buffer.h"
#include "ui/window_platform.h"

namespace tapwright::ui {

struct WindowFlags {
    bool designValid = false;     // the design on screen matches the inputs
    bool startupPicture = false;  // the start-up pictures are shown (until the first Apply)
    bool holdActive = false;      // Hold On as last handled
    int graphSel = Impulse;       // GraphType last chosen
    int displaySel = FullView;    // ViewMode last drawn
    int bandSel = 0;              // band shown in the band fields (0 ... TBand - 1)
    // Set with each magnitude graph drawn: Hold On may overlay it; the design has
    // pass and stop band views.
    bool holdOffered = false;
    bool bandViewsOffered = true;
};

class WindowRules {
  public:
    // The platform outlives this object.
    explicit WindowRules(WindowPlatform& platform);
    WindowRules(const WindowRules&) = delete;
    WindowRules& operator=(const WindowRules&) = delete;

    ControlModel model;
    FilterSpec spec;
    SpecEditBuffer buffer;
    WindowFlags flags;
    // The curve Hold On keeps beside the design on screen.
    HeldCurve held;

    // Window initialisation without the canvases and pictures: defaults, combo
    // lists, the control states of a fresh start. StartupPicture is set.
    void Initialise();

    // Edit buffer transfers. Pull returns the ids of fields that do not parse (they
    // keep their values).
    std::vector<int> Pull();
    void Push();

    // A numbered message in a stop box, then a push of the edit buffer; a code
    // without text only pushes. An information box.
    void ShowMessage(MessageCode code, const MessageArgs& args = {});
    void ShowInformation(const std::string& text);
    // A numbered message in a stop box without the push, for actions that change no
    // field (printing, exports): a push could only withdraw the design.
    void ShowMessageWithoutPush(MessageCode code, const MessageArgs& args = {});
    // True while a box is open: focus changes then are not the user's.
    bool BoxOpen() const { return boxDepth_ > 0; }

    // Every control the control rules name set from the window's state.
    void ApplyControlStates();

    // Set while a design writes its own values back into the fields (an estimated
    // length, the iterations and ratio an equiripple design reached): those text
    // changes are no edit and do not withdraw the design being made.
    bool designWritesBack = false;

    // The check state of "Auto Design Filter": checked, the user gives the length
    // (and the Kaiser beta); unchecked, a window design estimates them.
    bool LengthGiven() const;

    // The handlers of a selection change or a click of the controls these rules own
    // (response, method, filter type, FFT size and band combos; Auto Design and the
    // termination radios), run after the model holds the new state. False for other
    // controls.
    bool HandleSelection(int id);
    bool HandleToggle(int id, bool checked);

    // Selection handlers and the operations they share.
    void OnDesignMethodChange();
    void ApplyAutoDesignState();
    void LoadSelectedBand();
    void RestoreComboSelection(int comboId);
    // `keepBandCount`: Load keeps the band count it read.
    void ApplyResponseType(bool keepBandCount = false);
    void FillFilterTypes();
    // Fills the Function Type list from the method table, without the band-table
    // methods when `withBandTable` is false; the selection stays where it can.
    void ListMethods(bool withBandTable);
    // Only the band combo refilled, for the bands of spec as they are.
    void ListBands();
    // Selects the Filter Type item that shows FChar.
    void SelectFilterTypeOf(SymmetryType symmetry);

    // Field checks. A refused field is not checked again until the user edits it,
    // so focus changes around the message box raise no second message.
    void OnFieldFocusLost(int id);
    void OnFieldEdited(int id);
    // When a field does not parse: its message, its last good value back and the
    // focus on it; returns whether one was refused.
    bool RefuseUnparsedField();

  private:
    // Withdraws what belongs to the last design: Apply on; graph options, Save and
    // printing off.
    void InvalidateDesign();
    // The state the control rules read.
    WindowState State() const;
    bool EquirippleSelected() const;

    void OnResponseTypeChange();
    void OnFilterTypeChange();
    void OnFftSizeChange();
    // The termination radios: by the peak error ratio, or by the iteration count.
    void OnTerminationRadio(bool byRatio);
    // Whether the Filter Type list holds what the response type and method allow.
    bool FilterTypesListed() const;
    // The band reset with the band combo refilled "1" ... TBand and item 0 selected.
    void ResetBandTable();

    void CheckLeftField(int id);
    void Refuse(int id, MessageCode code, const MessageArgs& args, bool focusBack);
    void FollowUpCommit(int id, const SpecEditBuffer& before);
    // A box counted as open while it shows.
    void OpenBox(BoxIcon icon, const std::string& text);

    WindowPlatform& platform_;
    std::set<int> refused_;
    int boxDepth_ = 0;
};

// The graph kind that item `index` of the graph list shows, or -1 (no such item).
// The list holds the kinds a design offers, in the order of kGraphKinds.
int GraphKindAt(const ControlModel& model, int index);
// The item of the graph list that shows `graph`, or -1 when the list lacks it.
int GraphItemOf(const ControlModel& model, GraphType graph);

}  // namespace tapwright::ui
