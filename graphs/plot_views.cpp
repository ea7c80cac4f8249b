// The views computed from the taps: group delay, unwrapped phase and pole-zero.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/messages.h"
#include "core/response_views.h"
#include "graphs/graph_plotter.h"
#include "graphs/plot_drawing.h"

namespace tapwright {

using plot::CurveY;
using plot::DrawingScope;
using plot::Polyline;
using plot::TruncPixel;
using plot::Usable;

namespace {

constexpr Colour kAxisLineColour = MakeRgb(90, 140, 140);
constexpr Colour kPoleColour = MakeRgb(255, 120, 60);

// A value axis of ten rows: `top` on the first label row, falling by `step` per
// row. Rows are r = (H - 65) / 10 pixels apart as in the dB views.
struct ValueAxis {
    double top = 1.0;
    double step = 0.2;
    int decimals = 1;
};

// 1, 2 or 5 times a power of ten, the smallest not below x (x > 0).
double NiceStep(double x) {
    const double p = std::pow(10.0, std::floor(std::log10(x)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * p >= x * (1.0 - 1e-12)) return m * p;
    }
    return 10.0 * p;
}

// Nine steps of a round size covering lo ... hi (finite), at least `minSpan` wide,
// with the values centred when they need fewer rows.
ValueAxis FitAxis(double lo, double hi, double minSpan) {
    const double span = std::max(hi - lo, minSpan);
    double step = NiceStep(span / 9.0);
    double bottom = 0.0;
    for (int tries = 0; tries < 8; ++tries) {
        bottom = std::floor(lo / step) * step;
        if (bottom + 9.0 * step >= hi) break;
        step = NiceStep(step * 1.5);
    }
    const double spare = std::floor((bottom + 9.0 * step - hi) / step);
    bottom -= std::floor(spare / 2.0) * step;
    ValueAxis axis;
    axis.step = step;
    axis.top = bottom + 9.0 * step;
    axis.decimals = std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 9);
    return axis;
}

// The finite range of `v`; false when it has no finite value.
bool FiniteRange(const std::vector<double>& v, double& lo, double& hi) {
    bool any = false;
    for (double x : v) {
        if (!std::isfinite(x)) continue;
        lo = any ? std::min(lo, x) : x;
        hi = any ? std::max(hi, x) : x;
        any = true;
    }
    return any;
}

// Labels and curve of values on the views' grid over 0 ... Fs/2 against a fitted
// axis: point i of the M + 1 at x = 80 + i * w / M, the polyline broken at NaN.
void DrawFrequencyCurve(CMemCanvas* dc, const PlotBox& box, const std::vector<double>& v,
                        double minSpan) {
    const int H = box.bottom - box.top;
    const int r = (H - 65) / 10;
    const int w = box.right - box.left - 130;
    double lo = 0.0, hi = 0.0;
    if (!FiniteRange(v, lo, hi)) lo = hi = 0.0;
    const ValueAxis axis = FitAxis(lo, hi, minSpan);
    const double scale = 9.0 * r / (9.0 * axis.step);
    const double base = r + 30 + scale * axis.top;
    const size_t M = v.size() > 1 ? v.size() - 1 : 1;
    Polyline line(*dc);
    int lastX = -1, lastY = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        int y = 0;
        if (!CurveY(v[i], scale, base, box.top + 30, box.bottom - 35, y)) {
            line.Break();
            lastX = -1;
            continue;
        }
        const int x = 80 + TruncPixel(static_cast<double>(i) * w / static_cast<double>(M));
        if (x == lastX && y == lastY) continue;
        line.Add(x, y);
        lastX = x;
        lastY = y;
    }
    dc->SetTextAlign(TextAlign::Right);
    for (int k = 0; k <= 9; ++k) {
        double value = axis.top - k * axis.step;
        if (std::fabs(value) < 1e-9 * axis.step) value = 0.0;  // no "-0"
        DrawShadowText(dc, 65, 50 + k * r, kTickLabelColour,
                       FormatString("%.*f", axis.decimals, value));
    }
}

void DrawTitle(CMemCanvas* dc, int x, const char* title, const char* name, const char* unit) {
    dc->SetTextAlign(TextAlign::LeftTop);
    DrawShadowText(dc, x, 5, kTitleColour, title);
    DrawShadowText(dc, 12, 9, kAxisNameColour, name);
    DrawShadowText(dc, 12, 25, kUnitColour, unit);
}

std::span<const double> TapsOf(const CFirDesign& design) {
    const size_t count =
        std::min(static_cast<size_t>(std::max(design.length, 0)), design.coeffs.size());
    return {design.coeffs.data(), count};
}

// A ring of radius 3 around (x, y), drawn with the current pen.
void Ring(CMemCanvas& dc, int x, int y) {
    static constexpr int kRing[][2] = {{3, 0},  {3, 1},  {2, 2},  {1, 3},   {0, 3},   {-1, 3},
                                       {-2, 2}, {-3, 1}, {-3, 0}, {-3, -1}, {-2, -2}, {-1, -3},
                                       {0, -3}, {1, -3}, {2, -2}, {3, -1},  {3, 0}};
    dc.MoveTo(x + kRing[0][0], y + kRing[0][1]);
    for (const auto& p : kRing) dc.LineTo(x + p[0], y + p[1]);
    dc.SetPixel(x + 3, y, dc.Pen().colour);
}

}  // namespace

bool DrawGroupDelay(CMemCanvas* dc, const PlotBox& box, const ResponseData& data,
                    const PlotStyle& style) {
    if (!Usable(dc)) return false;
    DrawingScope scope(*dc, CPen{PenStyle::Solid, 1, style.colour}, CBrush{style.colour});
    const std::span<const double> h = TapsOf(data.design);
    std::vector<double> tau = ComputeGroupDelay(h, ViewGridIntervals(static_cast<int>(h.size())));
    const double Fs = data.Fs;
    const bool seconds = style.seconds && Fs > 0.0 && std::isfinite(Fs);
    if (seconds) {
        for (double& t : tau) t /= Fs;
    }
    // A constant delay gets an axis one sample wide around it.
    DrawFrequencyCurve(dc, box, tau, seconds ? 1.0 / Fs : 1.0);
    DrawTitle(dc, 260, "Group Delay", "Delay", seconds ? "(s)" : "(samples)");
    DrawFrequencyAxis(dc, box, data.Fs);
    return true;
}

bool DrawUnwrappedPhase(CMemCanvas* dc, const PlotBox& box, const ResponseData& data,
                        const PlotStyle& style) {
    if (!Usable(dc)) return false;
    DrawingScope scope(*dc, CPen{PenStyle::Solid, 1, style.colour}, CBrush{style.colour});
    const std::span<const double> h = TapsOf(data.design);
    std::vector<double> phase =
        ComputeUnwrappedPhase(h, ViewGridIntervals(static_cast<int>(h.size())));
    if (style.degrees) {
        for (double& p : phase) p *= 180.0 / std::numbers::pi;
    }
    DrawFrequencyCurve(dc, box, phase, style.degrees ? 10.0 : 0.2);
    DrawTitle(dc, 232, "Unwrapped Phase", "Theta(w)", style.degrees ? "(degrees)" : "(radians)");
    DrawFrequencyAxis(dc, box, data.Fs);
    return true;
}

bool DrawPoleZero(CMemCanvas* dc, const PlotBox& box, const CFirDesign& design,
                  const PlotStyle& style) {
    if (!Usable(dc)) return false;
    DrawingScope scope(*dc, CPen{PenStyle::Solid, 1, style.colour}, CBrush{style.colour});
    const std::span<const double> h = TapsOf(design);
    dc->SetTextAlign(TextAlign::LeftTop);
    DrawShadowText(dc, 250, 5, kTitleColour, "Pole-Zero Plot");
    const std::optional<PoleZeroMap> map = ComputePoleZeros(h);
    if (!map) {
        dc->SetTextAlign(TextAlign::Centre);
        const int cx = (box.left + 80 + box.right - 50) / 2;
        const int cy = (box.top + 30 + box.bottom - 35) / 2;
        const std::string note =
            static_cast<int>(h.size()) > kMaxPoleZeroTaps
                ? FormatString("The pole-zero plot is offered up to %d taps;", kMaxPoleZeroTaps)
                : std::string("This design has no zeros to plot;");
        DrawShadowText(dc, cx, cy - 16, kTickLabelColour, note);
        DrawShadowText(dc, cx, cy + 2, kTickLabelColour,
                       FormatString("this design has %d.", static_cast<int>(h.size())));
        return true;
    }

    // Equal axes: a square of side `side` pixels centred in the frame shows
    // -R ... R on both axes.
    double largest = 0.0;
    for (const ZeroPoint& z : map->zeros) largest = std::max(largest, std::abs(z.z));
    const double R = std::clamp(1.1 * largest, 1.25, 3.0);
    const int fx0 = box.left + 80, fx1 = box.right - 50;
    const int fy0 = box.top + 30, fy1 = box.bottom - 35;
    const int cx = (fx0 + fx1) / 2, cy = (fy0 + fy1) / 2;
    const int halfSide = std::max((std::min(fx1 - fx0, fy1 - fy0) - 8) / 2, 1);
    const double ppu = halfSide / R;  // pixels per unit of z
    auto px = [&](double re) { return cx + TruncPixel(re * ppu); };
    auto py = [&](double im) { return cy - TruncPixel(im * ppu); };

    dc->SelectPen(CPen{PenStyle::Solid, 1, kAxisLineColour});
    dc->MoveTo(fx0 + 2, cy);
    dc->LineTo(fx1 - 1, cy);
    dc->MoveTo(cx, fy0 + 2);
    dc->LineTo(cx, fy1 - 1);
    dc->SelectPen(CPen{PenStyle::Solid, 1, kFrameColour});
    constexpr int kCircleSegments = 180;
    dc->MoveTo(px(1.0), py(0.0));
    for (int k = 1; k <= kCircleSegments; ++k) {
        const double a = 2.0 * std::numbers::pi * k / kCircleSegments;
        dc->LineTo(px(std::cos(a)), py(std::sin(a)));
    }

    // Zeros beyond the axes sit on the edge of the square along their own angle.
    int beyond = 0;
    dc->SelectPen(CPen{PenStyle::Solid, 1, style.colour});
    for (const ZeroPoint& z : map->zeros) {
        std::complex<double> shown = z.z;
        if (std::abs(shown) > R) {
            shown *= R / std::abs(shown);
            beyond += z.multiplicity;
        }
        const int x = px(shown.real()), y = py(shown.imag());
        Ring(*dc, x, y);
        if (z.multiplicity > 1) {
            dc->SetTextAlign(TextAlign::LeftTop);
            DrawShadowText(dc, x + 4, y - 17, kUnitColour, FormatString("%d", z.multiplicity));
        }
    }
    // The pole of order N - 1 at the origin.
    dc->SelectPen(CPen{PenStyle::Solid, 2, kPoleColour});
    dc->MoveTo(cx - 4, cy - 4);
    dc->LineTo(cx + 5, cy + 5);
    dc->MoveTo(cx - 4, cy + 4);
    dc->LineTo(cx + 5, cy - 5);
    dc->SetTextAlign(TextAlign::LeftTop);
    DrawShadowText(dc, cx + 6, cy + 2, kPoleColour, FormatString("%d", map->poleOrder));

    // Axis labels: -R, 0, R on both axes.
    DrawShadowText(dc, 18, 9, kAxisNameColour, "Im(z)");
    DrawShadowText(dc, 527, 279, kAxisNameColour, "Re(z)");
    dc->SetTextAlign(TextAlign::Right);
    for (int k = -1; k <= 1; ++k) {
        DrawShadowText(dc, 65, py(k * R) - 8, kTickLabelColour, FormatString("%.2f", k * R));
    }
    dc->SetTextAlign(TextAlign::Centre);
    for (int k = -1; k <= 1; ++k) {
        DrawShadowText(dc, px(k * R), 315, kTickLabelColour, FormatString("%.2f", k * R));
    }
    dc->SetTextAlign(TextAlign::LeftTop);
    std::string counts =
        FormatString("o %d zeros   x pole of order %d at 0", map->zeroCount, map->poleOrder);
    if (beyond > 0) counts += FormatString("   (%d beyond |z| = %.2f)", beyond, R);
    DrawShadowText(dc, 84, fy0 + 3, kTickLabelColour, counts);
    return true;
}

}  // namespace tapwright
