#pragma once

// Which controls of the main window are shown and enabled, derived from the
// window's state alone: one row per group of controls, each with the rule that
// shows it and the rule that enables it. Handlers change the state and then ask
// for the derived controls; no handler shows or enables these controls itself.
// Pure C++.

#include <array>
#include <span>

#include "core/filter_spec.h"
#include "ui/control_ids.h"
#include "ui/control_model.h"

namespace tapwright::ui {

// What the rules read. Selections are the combos' items (-1: none).
struct WindowState {
    // The inputs.
    DesignMethod method = Rectangular;  // Function Type selection
    ResponseType response = LowPass;    // Response Type selection
    bool lengthGiven = true;            // "Auto Design Filter" checked
    TerminationCriterion termination = ByIterations;
    int band = 0;       // band shown in the band fields
    int bandCount = 2;  // bands in the table
    bool held = false;  // Hold On checked
    // The design on screen.
    bool designValid = false;  // a design matching the inputs is drawn
    int graph = Impulse;       // graph kind on show (GraphType, -1 none)
    int view = FullView;       // display type selection (ViewMode)
    bool logScale = false;     // "Log Scale" checked
    // Set when the magnitude graph is drawn: whether Hold On may overlay this
    // design, and whether the design has pass and stop band views (low and high
    // pass only; other types are shown in a range view).
    bool holdOffered = false;
    bool bandViewsOffered = true;
};

using StateRule = bool (*)(const WindowState&);

struct ControlRule {
    std::span<const int> ids;
    StateRule shown;
    StateRule enabled;  // read only while shown: a hidden control is disabled
};

// The rows, in no particular order; every id appears in at most one row.
std::span<const ControlRule> ControlRules();

// Sets every control the rules name to its derived state.
void ApplyControlRules(const WindowState& state, ControlModel& model);

}  // namespace tapwright::ui
