#pragma once

// The plotter: every graph of the two graph areas is drawn by one of its
// operations onto a CMemCanvas.
//
// Shared contract of the plot operations:
// - The first argument is the target canvas (the overlay takes three). A null
//   canvas, or one never created, is absent: nothing is drawn and the result is
//   false. Otherwise the result is true.
// - Then the design, the rectangle left, top, right, bottom in pixels (normally the
//   client rectangle of the graph area, left = top = 0), the curve colour(s), then
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

// Curve colours the window passes. The window shape draws in its own colour.
inline constexpr Colour kCurrentCurveColour = MakeRgb(200, 200, 0);
inline constexpr Colour kHeldCurveColour = MakeRgb(0, 200, 200);
inline constexpr Colour kPhaseCurveColour = MakeRgb(100, 200, 187);

class CGraphPlotter {
  public:
    // Text with a black drop shadow offset by (+2, +1), anchored at (x, y) by the
    // canvas's current alignment. Leaves the background mode opaque and the text
    // colour `colour`.
    bool DrawShadowText(CMemCanvas* dc, int x, int y, Colour colour, std::string text) const;

    // Grid of the large area: nine horizontal lines at y = 30 + k(bottom - top - 65)/10
    // from x = 80 to right - 50, and pointCount/step - 1 vertical lines at
    // x = 80 + k*step*w/(pointCount - 1) from top + 30 to bottom - 35. No vertical
    // lines when step <= 0 or pointCount <= 1.
    bool DrawGrid(CMemCanvas* dc, int left, int top, int right, int bottom, Colour colour,
                  int pointCount, int step) const;
    // Closed 2-pixel rectangle (left + 80, top + 30) ... (right - 50, bottom - 35).
    bool DrawMainFrame(CMemCanvas* dc, int left, int top, int right, int bottom,
                       Colour colour) const;
    // Closed 2-pixel rectangle (left + 20, top + 25) ... (right - 20, bottom - 15).
    bool DrawSmallFrame(CMemCanvas* dc, int left, int top, int right, int bottom,
                        Colour colour) const;
    // "Freq", "(Hz)" and nine labels 0 ... Fs/2 (Hz) centred at x = 76 + k*w/8,
    // y = 315. Leaves the alignment centred.
    bool DrawFrequencyAxis(CMemCanvas* dc, int left, int right, float Fs) const;

    // Coefficients as stems with circles, or as one polyline with curveFitting.
    bool DrawImpulse(CMemCanvas* dc, const CFirDesign& design, int left, int top, int right,
                     int bottom, Colour colour, bool curveFitting) const;

    // The magnitude plots draw the response in the layout of the family that made it:
    // points 0 ... K/2 of a window design, points 0 ... K-1 of an equiripple design.

    // Magnitude in dB over 0 ... Fs/2.
    bool DrawMagnitudeDb(CMemCanvas* dc, const CFirDesign& design, int left, int top, int right,
                         int bottom, Colour colour, float Fs, DesignFamily family) const;
    // Magnitude in dB over viewLow ... viewHigh (Hz, expected 0 <= low <= high <= Fs/2;
    // other values draw the points that fall inside the response), on the full dB
    // axis or, with zoom, on an axis centred on 0 dB.
    bool DrawMagnitudeRange(CMemCanvas* dc, const CFirDesign& design, int left, int top, int right,
                            int bottom, Colour colour, float Fs, double viewLow, double viewHigh,
                            bool zoom, DesignFamily family) const;
    // Current and held dB curves on one axis: labels on `axes`, the current curve on
    // `current`, the held curve on `held`; the caller ORs the three together. The
    // held curve is drawn in the layout of the method that made it, with its own
    // point count.
    bool DrawMagnitudeOverlay(CMemCanvas* axes, CMemCanvas* current, CMemCanvas* held,
                              const CFirDesign& design, const HeldCurve& heldCurve, int left,
                              int top, int right, int bottom, Colour currentColour,
                              Colour heldColour, float Fs, DesignFamily family) const;
    // Linear magnitude; a window-method differentiator is scaled to its own peak.
    bool DrawMagnitudeLinear(CMemCanvas* dc, const CFirDesign& design, int left, int top, int right,
                             int bottom, Colour colour, float Fs, DesignFamily family) const;

    // One band of a low-pass or high-pass response stretched over the whole width.
    bool DrawPassband(CMemCanvas* dc, const CFirDesign& design, int left, int top, int right,
                      int bottom, Colour colour, float Fs) const;
    bool DrawStopband(CMemCanvas* dc, const CFirDesign& design, int left, int top, int right,
                      int bottom, Colour colour, float Fs) const;

    // Small area: the stored half window mirrored about the centre as 2N - 1 stems in
    // their own colour, with the window's name (the five windows only).
    bool DrawWindowShape(CMemCanvas* dc, const CFirDesign& design, int left, int top, int right,
                         int bottom, DesignMethod method) const;
    // Small area under Hold On: which curve belongs to which design. Every position is
    // fixed, so it takes no rectangle.
    bool DrawLegend(CMemCanvas* dc, const HeldCurve& held, Colour currentColour, Colour heldColour,
                    DesignMethod method, int iterations) const;

    // Wrapped phase of `spectrum` as dots (joined with curveFitting), radians or degrees
    // labels; antisymmetric characteristics are shifted by -pi/2. At most one dot
    // per pixel column, each at the x of its own frequency on the 0 ... Fs/2 axis.
    bool DrawPhase(CMemCanvas* dc, const CFirDesign& design, int left, int top, int right,
                   int bottom, Colour colour, bool curveFitting, float Fs, bool degrees,
                   SymmetryType symmetry) const;
};

// The one plotter of the program.
extern CGraphPlotter theGraphPlotter;

// Name drawn for a design method in the window-shape title and the legend
// ("Equiripple (N Iterations)" for the equiripple method); empty for other values.
std::string DesignMethodLabel(DesignMethod method, int iterations);

}  // namespace tapwright
