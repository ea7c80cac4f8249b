// Frame, grid, shadowed text and frequency axis helpers, and the impulse,
// window-shape, legend and phase plots.

#include "graphs/graph_plotter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <span>
#include <utility>
#include <vector>

#include "core/design_constants.h"
#include "core/messages.h"
#include "core/response_views.h"
#include "graphs/plot_drawing.h"

namespace tapwright {

using plot::CurveY;
using plot::DrawingScope;
using plot::Polyline;
using plot::TruncPixel;
using plot::Usable;

namespace {

constexpr Colour kBlack = MakeRgb(0, 0, 0);
constexpr Colour kWhite = MakeRgb(255, 255, 255);
constexpr Colour kMethodNameColour = MakeRgb(170, 250, 185);

}  // namespace

std::string DesignMethodLabel(DesignMethod method, int iterations) {
    if (method == Equiripple) return FormatString("Equiripple (%d Iterations)", iterations);
    if (method == ParksMcClellan) return std::string(DesignMethodText(method));
    const std::string_view name = DesignMethodText(method);
    return name.empty() ? std::string() : std::string(name) + " Window";
}

bool DrawShadowText(CMemCanvas* dc, int x, int y, Colour colour, std::string_view text) {
    if (!Usable(dc)) return false;
    dc->SetBkMode(BkMode::Transparent);
    dc->SetTextColour(kBlack);
    dc->TextOut(x + 2, y + 1, text);
    dc->SetTextColour(colour);
    dc->TextOut(x, y, text);
    dc->SetBkMode(BkMode::Opaque);
    return true;
}

bool DrawLabel(CMemCanvas* dc, LabelAnchor anchor, int x, int y, Colour colour,
               std::string_view text, LabelReference ref) {
    if (!Usable(dc)) return false;
    const int extraW = dc->Width() - ref.width;
    const int extraH = dc->Height() - ref.height;
    switch (anchor) {
        case LabelAnchor::TopLeft:
            break;
        case LabelAnchor::TopCentre:
            x += extraW / 2;
            break;
        case LabelAnchor::LeftAxis: {
            // The text cell's middle keeps its share of the axis (frame top 30 px,
            // bottom 35 px from the edges).
            const int axis = ref.height - 65;
            const long long middle = y + 8 - 30;
            y = static_cast<int>(30 + middle * (axis + extraH) / axis - 8);
            break;
        }
        case LabelAnchor::Bottom:
            x += extraW / 2;
            y += extraH;
            break;
        case LabelAnchor::BottomRight:
            x += extraW;
            y += extraH;
            break;
    }
    return DrawShadowText(dc, x, y, colour, text);
}

bool DrawGrid(CMemCanvas* dc, const PlotBox& box, Colour colour, int pointCount, int step) {
    if (!Usable(dc)) return false;
    const auto [left, top, right, bottom] = box;
    DrawingScope scope(*dc, CPen{PenStyle::Solid, 0, colour}, CBrush{colour});
    const long long h = static_cast<long long>(bottom) - top - 65;
    for (int k = 1; k <= 9; ++k) {
        const int y = static_cast<int>(30 + (k * h) / 10);
        dc->MoveTo(80, y);
        dc->LineTo(right - 50, y);
    }
    if (step <= 0 || pointCount <= 1) return true;
    const long long w = static_cast<long long>(right) - left - 130;
    const int n = pointCount / step;
    for (int k = 1; k <= n - 1; ++k) {
        const int x =
            static_cast<int>(80 + (static_cast<long long>(k) * step * w) / (pointCount - 1));
        dc->MoveTo(x, top + 30);
        dc->LineTo(x, bottom - 35);
    }
    return true;
}

namespace {

void ClosedRectangle(CMemCanvas& dc, int x0, int y0, int x1, int y1) {
    dc.MoveTo(x0, y0);
    dc.LineTo(x0, y1);
    dc.LineTo(x1, y1);
    dc.LineTo(x1, y0);
    dc.LineTo(x0, y0);
}

}  // namespace

bool DrawMainFrame(CMemCanvas* dc, const PlotBox& box, Colour colour) {
    if (!Usable(dc)) return false;
    DrawingScope scope(*dc, CPen{PenStyle::Solid, 2, colour}, CBrush{colour});
    ClosedRectangle(*dc, box.left + 80, box.top + 30, box.right - 50, box.bottom - 35);
    return true;
}

bool DrawSmallFrame(CMemCanvas* dc, const PlotBox& box, Colour colour) {
    if (!Usable(dc)) return false;
    DrawingScope scope(*dc, CPen{PenStyle::Solid, 2, colour}, CBrush{colour});
    ClosedRectangle(*dc, box.left + 20, box.top + 25, box.right - 20, box.bottom - 15);
    return true;
}

bool DrawFrequencyAxis(CMemCanvas* dc, const PlotBox& box, float Fs) {
    if (!Usable(dc)) return false;
    dc->SetTextAlign(TextAlign::LeftTop);
    DrawLabel(dc, LabelAnchor::BottomRight, 535, 279, kAxisNameColour, "Freq");
    DrawLabel(dc, LabelAnchor::BottomRight, 537, 295, kUnitColour, "(Hz)");
    dc->SetTextAlign(TextAlign::Centre);
    const long long w = static_cast<long long>(box.right) - box.left - 130;
    const double step = static_cast<double>(Fs) * 0.5 * 0.125;
    for (int k = 0; k <= 8; ++k) {
        DrawShadowText(dc, static_cast<int>(76 + (k * w) / 8), box.bottom - 27, kTickLabelColour,
                       FormatString("%4.0f", k * step));
    }
    return true;
}

namespace {

// The values as stems with circles (a polyline with style.curveFitting), N over the
// plot width, scaled so that the largest |value| reaches 0.8 of the half height
// above or below the zero line. Returns that largest |value|.
double DrawStems(CMemCanvas* dc, const PlotBox& box, const std::vector<double>& values, int N,
                 const PlotStyle& style) {
    const Colour colour = style.colour;
    const size_t count = std::min(static_cast<size_t>(std::max(N, 0)), values.size());
    const double w = static_cast<double>(box.right) - box.left - 130;
    const double xstep = N > 1 ? w / (N - 1) : 0.0;
    const double M = plot::MaxAbsFinite(values, 0, count);
    const int half = (box.bottom - box.top - 65) / 2;
    const int y0 = 30 + half;
    // All-zero values have no scale: every stem then sits on the zero line.
    const double scale = M > 0.0 ? half * 0.8 / M : 0.0;
    const int boxTop = y0 - half;
    const int boxBottom = y0 + half;

    Polyline line(*dc);
    int lastX = 0;
    int lastY = 0;
    bool drawn = false;
    for (size_t i = 0; i < count; ++i) {
        const int x = 80 + TruncPixel(static_cast<double>(i) * xstep);
        int y = 0;
        if (!CurveY(values[i], scale, y0, boxTop, boxBottom, y)) {
            line.Break();
            continue;
        }
        if (style.curveFitting) {
            line.Add(x, y);
            continue;
        }
        // Long filters put hundreds of stems on one column; a stem equal to the one
        // just drawn would set the same pixels again.
        if (drawn && x == lastX && y == lastY) continue;
        drawn = true;
        lastX = x;
        lastY = y;
        dc->MoveTo(x, y0);
        if (y != y0) {
            dc->LineTo(x, y);
        } else {
            dc->SetPixel(x, y0, colour);
        }
        dc->Ellipse(x - 2, y - 2, x + 2, y + 2);
    }
    return M;
}

}  // namespace

bool DrawImpulse(CMemCanvas* dc, const PlotBox& box, const CFirDesign& design,
                 const PlotStyle& style) {
    if (!Usable(dc)) return false;
    DrawingScope scope(*dc, CPen{PenStyle::Solid, 1, style.colour}, CBrush{style.colour});
    const int N = design.length;
    DrawStems(dc, box, design.coeffs, N, style);

    dc->SetTextAlign(TextAlign::LeftTop);
    DrawLabel(dc, LabelAnchor::TopCentre, 245, 5, kTitleColour, "Impulse Response");
    DrawLabel(dc, LabelAnchor::LeftAxis, 60, 48, kWhite, "1");
    DrawLabel(dc, LabelAnchor::LeftAxis, 60, 158, kWhite, "0");
    DrawLabel(dc, LabelAnchor::LeftAxis, 54, 268, kWhite, "- 1");
    DrawLabel(dc, LabelAnchor::Bottom, 225, 315, MakeRgb(30, 200, 60), "Total Coefficients :");
    DrawLabel(dc, LabelAnchor::Bottom, 355, 315, MakeRgb(130, 200, 240), FormatString("%d", N));
    return true;
}

bool DrawStep(CMemCanvas* dc, const PlotBox& box, const CFirDesign& design,
              const PlotStyle& style) {
    if (!Usable(dc)) return false;
    DrawingScope scope(*dc, CPen{PenStyle::Solid, 1, style.colour}, CBrush{style.colour});
    const int N = design.length;
    const size_t count = std::min(static_cast<size_t>(std::max(N, 0)), design.coeffs.size());
    const std::vector<double> s =
        ComputeStepResponse(std::span<const double>(design.coeffs.data(), count));
    const double M = DrawStems(dc, box, s, N, style);

    // The largest |s| stands 0.8 of the half height from the zero line: the rows at
    // y = 48 and 268 read +-M.
    dc->SetTextAlign(TextAlign::LeftTop);
    DrawShadowText(dc, 255, 5, kTitleColour, "Step Response");
    DrawShadowText(dc, 30, 9, kAxisNameColour, "s[n]");
    dc->SetTextAlign(TextAlign::Right);
    DrawShadowText(dc, 70, 48, kTickLabelColour, FormatString("%.4g", M));
    DrawShadowText(dc, 70, 158, kTickLabelColour, "0");
    DrawShadowText(dc, 70, 268, kTickLabelColour, FormatString("%.4g", -M));
    dc->SetTextAlign(TextAlign::LeftTop);
    DrawShadowText(dc, 535, 279, kAxisNameColour, "n");
    DrawShadowText(dc, 527, 295, kUnitColour, "(taps)");
    DrawShadowText(dc, 175, 315, MakeRgb(30, 200, 60), "Final value (DC gain) :");
    DrawShadowText(dc, 335, 315, MakeRgb(130, 200, 240),
                   FormatString("%.6g", s.empty() ? 0.0 : s.back()));
    return true;
}

bool DrawWindowShape(CMemCanvas* dc, const PlotBox& box, const CFirDesign& design,
                     DesignMethod method) {
    if (!Usable(dc)) return false;
    const auto [left, top, right, bottom] = box;
    DrawingScope scope(*dc, CPen{PenStyle::Solid, 1, MakeRgb(100, 200, 187)}, dc->Brush());

    const int N = design.length;
    const int W = right - left - 60;
    const double A = static_cast<double>(bottom) - top - 45;
    const int base = bottom - 15;
    if (N >= 1) {
        const long long positions = 2LL * N - 1;
        const double dx = N > 1 ? static_cast<double>(W) / (2.0 * (N - 1)) : 0.0;
        for (long long k = 0; k < positions; ++k) {
            // A single stem stands in the middle of the row.
            const int x = N > 1 ? TruncPixel(static_cast<double>(k) * dx) + 30 : 30 + W / 2;
            const long long index = std::llabs(k - (N - 1));
            // Positions beyond the stored half window have no value: they show no stem.
            const double value =
                index < static_cast<long long>(design.window.size()) ? design.window[index] : 0.0;
            int y = 0;
            if (!CurveY(value, A, base, top + 25, bottom - 1, y)) continue;
            dc->MoveTo(x, base);
            dc->LineTo(x, y);
        }
    }

    static constexpr int kTitleX[] = {77, 92, 87, 80, 98};
    if (method >= Rectangular && method <= Kaiser) {
        dc->SetTextAlign(TextAlign::LeftTop);
        DrawLabel(dc, LabelAnchor::TopCentre, kTitleX[method], 5, kMethodNameColour,
                  DesignMethodLabel(method, 0), kSmallLabelReference);
    }
    return true;
}

bool DrawLegend(CMemCanvas* dc, const HeldCurve& held, const PlotStyle& style, DesignMethod method,
                int iterations) {
    if (!Usable(dc)) return false;
    const CPen currentPen{PenStyle::Solid, 2, style.colour};
    const CPen heldPen{PenStyle::Solid, 2, style.heldColour};
    const CPen samePen{PenStyle::Solid, 1, MakeRgb(250, 250, 250)};
    DrawingScope scope(*dc, currentPen, dc->Brush());

    dc->SetTextAlign(TextAlign::LeftTop);
    DrawShadowText(dc, 10, 2, MakeRgb(185, 170, 250), "Legend:");
    const bool same =
        method == held.method && (method != Equiripple || iterations == held.iterations);
    if (same) {
        dc->SelectPen(samePen);
        dc->MoveTo(12, 38);
        dc->LineTo(29, 38);
    } else {
        dc->SelectPen(currentPen);
        dc->MoveTo(12, 38);
        dc->LineTo(29, 38);
        dc->SelectPen(heldPen);
        dc->MoveTo(12, 64);
        dc->LineTo(29, 64);
    }
    const std::string current = DesignMethodLabel(method, iterations);
    if (!current.empty()) DrawShadowText(dc, 44, 30, kMethodNameColour, current);
    if (!same) {
        const std::string label = DesignMethodLabel(held.method, held.iterations);
        if (!label.empty()) DrawShadowText(dc, 44, 56, kMethodNameColour, label);
    }
    return true;
}

bool DrawPhase(CMemCanvas* dc, const PlotBox& box, const ResponseData& data,
               const PlotStyle& style) {
    if (!Usable(dc)) return false;
    const CFirDesign& design = data.design;
    const CPen curvePen{PenStyle::Solid, 2, style.colour};
    const CPen dotPen{PenStyle::Solid, 1, MakeRgb(250, 250, 250)};
    DrawingScope scope(*dc, curvePen, CBrush{style.colour});

    const int W = box.right - box.left - 130;
    const int H = (box.bottom - box.top - 65) / 2;
    const int x0 = box.left + 80;
    const double S = H * 0.8 * 0.3182686187141948;  // pixels per radian
    const int zeroY = H + 30;
    const bool antisymmetric =
        data.symmetry == AntisymmetricOdd || data.symmetry == AntisymmetricEven;

    // Entry i lies at i*Fs/(K-1). Only entries up to Fs/2 are drawn, each at the x of
    // its own frequency, taking every s-th so that two dots never share a column.
    const long long K = std::min(static_cast<long long>(std::max(design.pointCount, 0)),
                                 static_cast<long long>(design.spectrum.size()));
    struct Dot {
        int x;
        int y;
        bool valid;
    };
    std::vector<Dot> dots;
    if (K >= 1) {
        const long long last = K >= 2 ? (K - 1) / 2 : 0;
        const long long span = 2LL * std::max(W, 1);
        const long long stride = K >= 2 ? std::max(1LL, (K - 1 + span - 1) / span) : 1;
        dots.reserve(static_cast<size_t>(last / stride + 1));
        for (long long i = 0; i <= last; i += stride) {
            const int x =
                x0 +
                (K >= 2 ? TruncPixel(2.0 * static_cast<double>(i) * W / static_cast<double>(K - 1))
                        : 0);
            const std::complex<double> c = design.spectrum[static_cast<size_t>(i)];
            // 0/0 has no phase: that point is left out and the line breaks there.
            double theta = std::atan(c.imag() / c.real());
            if (antisymmetric) theta -= kHalfPi;
            int y = 0;
            const bool valid = CurveY(theta, S, zeroY, zeroY - H, zeroY + H, y);
            dots.push_back(Dot{x, y, valid});
        }
    }

    if (style.curveFitting) {
        Polyline line(*dc);
        for (const Dot& d : dots) {
            if (d.valid) {
                line.Add(d.x, d.y);
            } else {
                line.Break();
            }
        }
    }
    dc->SelectPen(dotPen);
    dc->SelectBrush(CBrush{MakeRgb(250, 250, 250)});
    for (const Dot& d : dots) {
        if (d.valid) dc->Ellipse(d.x - 2, d.y - 2, d.x + 2, d.y + 2);
    }

    dc->SetTextAlign(TextAlign::LeftTop);
    DrawLabel(dc, LabelAnchor::TopCentre, 251, 5, kTitleColour, "Phase Response");
    DrawShadowText(dc, 18, 9, kAxisNameColour, "Theta(w)");
    struct Tick {
        int x;
        int y;
        const char* text;
    };
    if (style.degrees) {
        DrawShadowText(dc, 14, 25, kUnitColour, "(degrees)");
        static constexpr Tick kTicks[] = {
            {40, 48, "180"}, {46, 104, "90"}, {48, 160, "0"}, {40, 214, "-90"}, {35, 270, "-180"}};
        for (const Tick& t : kTicks) {
            DrawLabel(dc, LabelAnchor::LeftAxis, t.x, t.y, kTickLabelColour, t.text);
        }
    } else {
        DrawShadowText(dc, 16, 25, kUnitColour, "(radians)");
        static constexpr Tick kTicks[] = {{32, 48, "3.142"},
                                          {32, 104, "1.571"},
                                          {48, 160, "0"},
                                          {28, 214, "-1.571"},
                                          {28, 270, "-3.142"}};
        for (const Tick& t : kTicks) {
            DrawLabel(dc, LabelAnchor::LeftAxis, t.x, t.y, kTickLabelColour, t.text);
        }
    }
    DrawFrequencyAxis(dc, box, data.Fs);
    return true;
}

}  // namespace tapwright
