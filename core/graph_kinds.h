#pragma once

// The kinds of the main graph, one row each: the item of the graph Response Type
// list and which designs offer it. The list holds the rows in this order; each
// kind's drawing is a function of graphs/ in the same order. A new kind is one row
// here and one drawing function.

#include <array>
#include <string_view>

#include "core/design_methods.h"
#include "core/filter_spec.h"

namespace tapwright {

struct GraphKindInfo {
    GraphType graph;        // its place in the full list
    std::string_view text;  // the list item
    // Drawn after a band-table (equiripple) design; otherwise the window withdraws
    // the item and the impulse graph is drawn in its place.
    bool afterBandTable;
    // Offered after a window design of a differentiator or Hilbert transformer.
    bool forDifferentiatorAndHilbert;
    // The line of a response report that names the graph (the magnitude graph's on
    // a linear scale).
    std::string_view reportLine;
};

// The kinds from GROUP DELAY on compute what they need from the taps, so every
// design offers them.
inline constexpr int kGraphTypeCount = 7;
inline constexpr std::array<GraphKindInfo, kGraphTypeCount> kGraphKinds = {{
    {Impulse, "IMPULSE RESPONSE", true, true, "Graphical Plot : Impulse Response Plot"},
    {Magnitude, "MAGNITUDE RESPONSE", true, true, "Graphical Plot : Magnitude Response Plot"},
    {Phase, "PHASE RESPONSE", false, false, "Graphical Plot : Phase Response Plot"},
    {GroupDelay, "GROUP DELAY", true, true, "Graphical Plot : Group Delay Plot"},
    {UnwrappedPhase, "UNWRAPPED PHASE", true, true, "Graphical Plot : Unwrapped Phase Plot"},
    {PoleZero, "POLE-ZERO", true, true, "Graphical Plot : Pole-Zero Plot"},
    {Step, "STEP RESPONSE", true, true, "Graphical Plot : Step Response Plot"},
}};

// The row of `graph`; null outside the table.
constexpr const GraphKindInfo* GraphKindOf(GraphType graph) {
    return graph >= 0 && graph < kGraphTypeCount ? &kGraphKinds[graph] : nullptr;
}

// Whether a design of `method` can draw `graph` (the complex response it needs
// exists).
constexpr bool GraphDrawable(GraphType graph, DesignMethod method) {
    const GraphKindInfo* kind = GraphKindOf(graph);
    return kind != nullptr && (kind->afterBandTable || !UsesBandTable(method));
}

// Whether the window's list offers `graph` after a design of `method` and `type`.
constexpr bool GraphOffered(GraphType graph, DesignMethod method, ResponseType type) {
    const GraphKindInfo* kind = GraphKindOf(graph);
    if (kind == nullptr || !GraphDrawable(graph, method)) return false;
    const bool special = !UsesBandTable(method) && (type == Differentiator || type == Hilbert);
    return !special || kind->forDifferentiatorAndHilbert;
}

}  // namespace tapwright
