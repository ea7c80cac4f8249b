#pragma once

// The plots: every graph of the two graph areas is drawn by one of these functions
// onto a CMemCanvas.
//
// Shared contract of the plot functions:
// - The first argument is the target canvas (the overlay takes three layers). A
//   null canvas, or one never created, is absent: nothing is drawn and the result
//   is false. Otherwise the result is true.
// - Then the plot box (normally the client rectangle of the graph area, left = top
//   = 0), the data (the design, or a ResponseData view of it), the style, then
//   plot-specific values. Fs is the sampling frequency in Hz.
// - Large-area geometry: the curve runs from x = 80 over w = right - left - 130
//   pixels; the frame spans y = top + 30 ... bottom - 35. Label positions are fixed
//   pixels from the canvas origin.
// - Real-to-pixel conversions truncate toward zero. NaN values are left out of
//   curves (the polyline breaks there); infinite values are drawn on the edge of
//   the plot box they point to; scales come from the finite values only.
// - Each plot restores the canvas's pen and brush and leaves the text alignment
//   left|top and the background mode opaque.

#include <string>
#include <string_view>
#include <vector>

#include "core/design_methods.h"
#include "core/fir_design.h"
#include "graphs/held_curve.h"
#include "graphs/mem_canvas.h"

namespace tapwright {

// Label colours.
inline constexpr Colour kTitleColour = MakeRgb(250, 170, 185);
inline constexpr Colour kAxisNameColour = MakeRgb(0, 200, 0);
inline constexpr Colour kUnitColour = MakeRgb(250, 250, 0);
inline constexpr Colour kTickLabelColour = MakeRgb(255, 255, 255);

// Curve colours the window uses. The window shape draws in its own colour.
inline constexpr Colour kCurrentCurveColour = MakeRgb(200, 200, 0);
inline constexpr Colour kHeldCurveColour = MakeRgb(0, 200, 200);
inline constexpr Colour kPhaseCurveColour = MakeRgb(100, 200, 187);
// The response of the quantized taps drawn over the magnitude views.
inline constexpr Colour kQuantizedCurveColour = MakeRgb(255, 120, 60);

// A rectangle in pixels (right and bottom exclusive).
struct PlotBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// How a plot draws: the curve colour, the held curve's colour (overlay and legend),
// stems or a joined curve (impulse, phase, step), the phase in degrees, the
// specified range on an axis centred on 0 dB, and the group delay in seconds.
struct PlotStyle {
    Colour colour = kCurrentCurveColour;
    Colour heldColour = kHeldCurveColour;
    bool curveFitting = false;
    bool degrees = false;
    bool zoom = false;
    bool seconds = false;
};

// The response of the design's taps quantized to a fixed-point word length, on the
// points of the design's own response (same count and layout).
struct QuantizedCurve {
    std::vector<double> magnitudeDb;
    std::vector<double> magnitude;
    int bits = 0;  // the word length, 2 ... 32
};

// What the response plots read: the design, Fs in Hz, the family that made the
// response (it fixes the layout of the points), the characteristic (the phase
// plot) and, when not null, the quantized taps' response that the magnitude views
// draw over the design's own in kQuantizedCurveColour with a legend entry. A plot
// ignores the fields it does not need.
struct ResponseData {
    const CFirDesign& design;
    float Fs = 0.0f;
    DesignFamily family = DesignFamily::Window;
    SymmetryType symmetry = SymmetricOdd;
    const QuantizedCurve* quantized = nullptr;
};

// The three layers of the Hold On overlay.
struct OverlayLayers {
    CMemCanvas* axes = nullptr;
    CMemCanvas* current = nullptr;
    CMemCanvas* held = nullptr;
};

// Text with a black drop shadow offset by (+2, +1), anchored at (x, y) by the
// canvas's current alignment. Leaves the background mode opaque and the text
// colour `colour`.
bool DrawShadowText(CMemCanvas* dc, int x, int y, Colour colour, std::string_view text);

// Where a label laid out for a graph of the reference size (the main graph's 584 x
// 342 client area, or the small graph's 294 x 155) goes on a canvas of another size:
// titles stay centred over the plot, the value labels of the vertical axis keep their
// place on it, and what sits at the bottom or in the bottom-right corner keeps its
// distance to those edges. At the reference size every label stays where it is.
enum class LabelAnchor {
    TopLeft,      // axis names in the top-left corner: never move
    TopCentre,    // titles
    LeftAxis,     // value labels of the vertical axis
    Bottom,       // frequency labels and totals under the plot
    BottomRight,  // the frequency axis name
};
struct LabelReference {
    int width = 584;
    int height = 342;
};
inline constexpr LabelReference kSmallLabelReference{294, 155};
// DrawShadowText at the place of (x, y) on `dc` for the anchor.
bool DrawLabel(CMemCanvas* dc, LabelAnchor anchor, int x, int y, Colour colour,
               std::string_view text, LabelReference reference = {});

// Grid of the large area: nine horizontal lines at y = 30 + k(bottom - top - 65)/10
// from x = 80 to right - 50, and pointCount/step - 1 vertical lines at
// x = 80 + k*step*w/(pointCount - 1) from top + 30 to bottom - 35. No vertical
// lines when step <= 0 or pointCount <= 1.
bool DrawGrid(CMemCanvas* dc, const PlotBox& box, Colour colour, int pointCount, int step);
// Closed 2-pixel rectangle (left + 80, top + 30) ... (right - 50, bottom - 35).
bool DrawMainFrame(CMemCanvas* dc, const PlotBox& box, Colour colour);
// Closed 2-pixel rectangle (left + 20, top + 25) ... (right - 20, bottom - 15).
bool DrawSmallFrame(CMemCanvas* dc, const PlotBox& box, Colour colour);
// "Freq", "(Hz)" and nine labels 0 ... Fs/2 (Hz) centred at x = 76 + k*w/8,
// y = 315. Leaves the alignment centred.
bool DrawFrequencyAxis(CMemCanvas* dc, const PlotBox& box, float Fs);

// Coefficients as stems with circles, or as one polyline with style.curveFitting.
bool DrawImpulse(CMemCanvas* dc, const PlotBox& box, const CFirDesign& design,
                 const PlotStyle& style);

// The magnitude plots draw the response in the layout of data.family: points
// 0 ... K/2 of a window design, points 0 ... K-1 of an equiripple design.

// Magnitude in dB over 0 ... Fs/2.
bool DrawMagnitudeDb(CMemCanvas* dc, const PlotBox& box, const ResponseData& data,
                     const PlotStyle& style);
// Magnitude in dB over viewLow ... viewHigh (Hz, expected 0 <= low <= high <= Fs/2;
// other values draw the points that fall inside the response), on the full dB
// axis or, with style.zoom, on an axis centred on 0 dB.
bool DrawMagnitudeRange(CMemCanvas* dc, const PlotBox& box, const ResponseData& data,
                        const PlotStyle& style, double viewLow, double viewHigh);
// Current and held dB curves on one axis: labels on layers.axes, the current curve
// (style.colour) on layers.current, the held curve (style.heldColour) on
// layers.held; the caller ORs the three together. The held curve is drawn in the
// layout of the method that made it, with its own point count.
bool DrawMagnitudeOverlay(const OverlayLayers& layers, const PlotBox& box, const ResponseData& data,
                          const HeldCurve& held, const PlotStyle& style);
// Linear magnitude; a window-method differentiator is scaled to its own peak.
bool DrawMagnitudeLinear(CMemCanvas* dc, const PlotBox& box, const ResponseData& data,
                         const PlotStyle& style);

// One band of a low-pass or high-pass response stretched over the whole width.
bool DrawPassband(CMemCanvas* dc, const PlotBox& box, const ResponseData& data,
                  const PlotStyle& style);
bool DrawStopband(CMemCanvas* dc, const PlotBox& box, const ResponseData& data,
                  const PlotStyle& style);

// Small area: the stored half window mirrored about the centre as 2N - 1 stems in
// their own colour, with the window's name (the five windows only).
bool DrawWindowShape(CMemCanvas* dc, const PlotBox& box, const CFirDesign& design,
                     DesignMethod method);
// Small area under Hold On: which curve (style.colour, style.heldColour) belongs to
// which design. Every position is fixed, so it takes no box.
bool DrawLegend(CMemCanvas* dc, const HeldCurve& held, const PlotStyle& style, DesignMethod method,
                int iterations);

// Wrapped phase of the spectrum as dots (joined with style.curveFitting), radians or
// (style.degrees) degrees labels; antisymmetric characteristics (data.symmetry) are
// shifted by -pi/2. At most one dot per pixel column, each at the x of its own
// frequency on the 0 ... Fs/2 axis.
bool DrawPhase(CMemCanvas* dc, const PlotBox& box, const ResponseData& data,
               const PlotStyle& style);

// Group delay of the taps over 0 ... Fs/2 in samples or (style.seconds) seconds,
// on an axis fitted to its values; points where |H| is near zero are left out.
bool DrawGroupDelay(CMemCanvas* dc, const PlotBox& box, const ResponseData& data,
                    const PlotStyle& style);
// Unwrapped phase of the taps over 0 ... Fs/2 in radians or (style.degrees)
// degrees, on an axis fitted to its values.
bool DrawUnwrappedPhase(CMemCanvas* dc, const PlotBox& box, const ResponseData& data,
                        const PlotStyle& style);
// Zeros of H(z) as rings (with their multiplicity beside coinciding ones), the pole
// of order N - 1 at the origin as a cross, the unit circle and equal axes. Beyond
// kMaxPoleZeroTaps taps only a note saying so is drawn.
bool DrawPoleZero(CMemCanvas* dc, const PlotBox& box, const CFirDesign& design,
                  const PlotStyle& style);
// Cumulative sum of the coefficients as stems (a polyline with style.curveFitting).
bool DrawStep(CMemCanvas* dc, const PlotBox& box, const CFirDesign& design, const PlotStyle& style);

// Name drawn for a design method in the window-shape title and the legend
// ("Equiripple (N Iterations)" for the equiripple method); empty for other values.
std::string DesignMethodLabel(DesignMethod method, int iterations);

}  // namespace tapwright
