#pragma once

// The one table of the main window's controls: id, kind, caption (with its
// mnemonic), accessible name, place in dialog units and the field a label names.
// The window is built from it in table order, and the control model holds one
// state per row. Pure C++.

#include <span>
#include <string_view>

#include "ui/control_ids.h"

namespace tapwright::ui {

enum class ControlKind {
    Label,         // static text, left aligned
    CentredLabel,  // static text, centred
    GroupBox,
    PushButton,
    FlatButton,  // the flat, disabled panel behind the start-up pictures
    CheckBox,
    RadioButton,
    Edit,        // one line, scrolls horizontally
    ComboBox,    // editable drop-down; the height is that of the open list
    ListView,    // report style, no sortable headers
    GraphFrame,  // sunken frame whose client area shows a front canvas
    Picture,     // a picture control
};

struct ControlDef {
    int id;
    ControlKind kind;
    std::string_view caption;         // "" where the control has none
    std::string_view accessibleName;  // what screen readers and UI automation find
    int x, y, width, height;          // dialog units
    int buddy = 0;                    // the field a label names, or 0
};

// Every control, in template order.
std::span<const ControlDef> ControlTable();

// The row of `id`, or null when no control has that id.
const ControlDef* FindControl(int id);

// The controls that take the keyboard focus, in the order Tab visits them.
std::span<const int> TabOrder();
// The field a label (or the coefficient group box) names, or 0.
int BuddyOf(int id);

// The filter spec's inputs: the edits, combos, check boxes and radio buttons of
// the left column (left of the graphs). The graph controls are not part of it.
bool IsSpecInput(const ControlDef& def);

// A control's place in pixels.
struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// The place of a control in pixels in a window `extraWidth` x `extraHeight` pixels
// larger than its default size (both >= 0). At the default size it is the table's
// place (dialog units to pixels; a combo box at its closed height). Larger, the
// graph areas take three quarters of the extra width and the coefficient list the
// rest; the main graph takes half of the extra height, the small graph, with the
// graph controls moving down beside it, the other half; the list takes all of it.
// The left column never moves; what lies over a graph keeps its place on it.
PixelRect PlaceAt(const ControlDef& def, int extraWidth, int extraHeight);

// Closed height of a drop-down combo, dialog units (the table gives the height of
// the open list).
inline constexpr int kComboClosedHeightDu = 13;

// Size of the window's client area in dialog units.
inline constexpr int kWindowWidthDu = 675;
inline constexpr int kWindowHeightDu = 336;

}  // namespace tapwright::ui
