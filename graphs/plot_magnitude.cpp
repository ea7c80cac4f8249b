// Magnitude response plots: dB full view, specified range, Hold On overlay,
// linear scale, and the passband and stopband views.

#include <algorithm>
#include <cmath>

#include "core/messages.h"
#include "core/response_views.h"
#include "graphs/graph_plotter.h"
#include "graphs/plot_drawing.h"

namespace tapwright {

using plot::CurveY;
using plot::DrawingScope;
using plot::MaxAbsFinite;
using plot::Polyline;
using plot::TruncIndex;
using plot::TruncPixel;
using plot::Usable;

namespace {

// Geometry of the large area shared by the magnitude views.
struct Geometry {
    int w;      // curve width, pixels
    int H;      // rectangle height
    int hplot;  // height of the dB axis, pixels
    int r;      // label row step, pixels
    int top;    // plot box, for values that have no finite pixel
    int bottom;
};

Geometry GeometryOf(const PlotBox& b) {
    const int H = b.bottom - b.top;
    return Geometry{b.right - b.left - 130, H, H - 95, (H - 65) / 10, b.top + 30, b.bottom - 35};
}

// Number of usable response points: never past the arrays actually held.
long long PointsHeld(int pointCount, const std::vector<double>& values) {
    return std::min(static_cast<long long>(std::max(pointCount, 0)),
                    static_cast<long long>(values.size()));
}

// dB axis range: the next multiple of 10 strictly above M (M >= 0, finite).
double AxisRange(double M) {
    return 10.0 * (std::floor(0.1 * M) + 1.0);
}

// Points [first, end) of `values`, point i at x = 80 + trunc((i - origin) * xstep),
// y = base - trunc(scale * (values[i] - offset)).
void DrawCurve(CMemCanvas& dc, const std::vector<double>& values, long long first, long long end,
               long long origin, double xstep, double scale, double base, double offset,
               const Geometry& box) {
    Polyline line(dc);
    for (long long i = first; i < end; ++i) {
        int y = 0;
        if (!CurveY(values[static_cast<size_t>(i)] - offset, scale, base, box.top, box.bottom, y)) {
            line.Break();
            continue;
        }
        line.Add(80 + TruncPixel(static_cast<double>(i - origin) * xstep), y);
    }
}

// Window-method layout: points 0 ... K/2 at xstep = w/(K/2). Equiripple layout:
// points 0 ... K-1 at xstep = w/K.
struct Layout {
    long long end;  // one past the last point drawn
    double xstep;
};

Layout WindowLayout(int K, long long held, int w) {
    const long long half = std::max(K, 0) / 2;
    return Layout{std::min(half + 1, held), half > 0 ? static_cast<double>(w) / half : 0.0};
}

Layout EquirippleLayout(int K, long long held, int w) {
    const long long k = std::max(K, 0);
    return Layout{std::min(k, held), k > 0 ? static_cast<double>(w) / k : 0.0};
}

void DrawDbHeader(CMemCanvas* dc, const char* title, int titleX) {
    dc->SetTextAlign(TextAlign::LeftTop);
    DrawLabel(dc, LabelAnchor::TopCentre, titleX, 5, kTitleColour, title);
    DrawShadowText(dc, 35, 9, kAxisNameColour, "|H(w)|");
    DrawShadowText(dc, 40, 25, kUnitColour, "(dB)");
}

// Rows 0, -R/9, ..., -R, right-aligned at x = 65.
void DrawDbLabels(CMemCanvas* dc, const Geometry& box, double R) {
    dc->SetTextAlign(TextAlign::Right);
    for (int k = 0; k <= 9; ++k) {
        const std::string text = k == 0 ? FormatString("%4.2f", 0.0)
                                        : FormatString("- %4.2f", R * 0.1111111111111111 * k);
        DrawShadowText(dc, 65, 50 + k * box.r, kTickLabelColour, text);
    }
}

// Axis centred on 0 dB: +0.8E ... 0 on the first five rows, -0.2E ... -E below.
void DrawZoomLabels(CMemCanvas* dc, const Geometry& box, double E) {
    dc->SetTextAlign(TextAlign::Right);
    for (int k = 4; k >= 0; --k) {
        DrawShadowText(dc, 65, 50 + (4 - k) * box.r, kTickLabelColour,
                       FormatString("%4.2f", E * 0.2 * k));
    }
    for (int k = 1; k <= 5; ++k) {
        DrawShadowText(dc, 65, 50 + (4 + k) * box.r, kTickLabelColour,
                       FormatString("-%4.2f", E * 0.2 * k));
    }
}

// Half-range E of an axis centred on 0 dB: the larger of the biggest positive value
// and the biggest magnitude of the values <= 0. A band that is flat at 0 dB (or
// holds no finite value) gets a 1 dB axis instead of an undefined scale.
double ZoomHalfRange(const std::vector<double>& v, long long first, long long end) {
    double P = 0.0;
    double Q = 0.0;
    for (long long i = first; i < end; ++i) {
        const double x = v[static_cast<size_t>(i)];
        if (!std::isfinite(x)) continue;
        if (x > 0.0) {
            P = std::max(P, x);
        } else {
            Q = std::max(Q, -x);
        }
    }
    const double E = P > Q ? P : Q;
    return E > 0.0 ? E : 1.0;
}

void DrawRangeFrequencyLabels(CMemCanvas* dc, const Geometry& box, double first, double span) {
    dc->SetTextAlign(TextAlign::Centre);
    for (int k = 0; k <= 8; ++k) {
        DrawShadowText(dc, 76 + (k * box.w) / 8, box.bottom + 8, kTickLabelColour,
                       FormatString("%4.0f", first + span * 0.125 * k));
    }
}

void DrawFreqNames(CMemCanvas* dc) {
    dc->SetTextAlign(TextAlign::LeftTop);
    DrawLabel(dc, LabelAnchor::BottomRight, 535, 279, kAxisNameColour, "Freq");
    DrawLabel(dc, LabelAnchor::BottomRight, 537, 295, kUnitColour, "(Hz)");
}

// The quantized taps' curve over points [first, end) with the very same mapping as
// the design's own curve, kept inside the frame, and its legend entry at the top
// right. Nothing without a quantized curve.
void DrawQuantizedCurve(CMemCanvas* dc, const ResponseData& data, bool linear, long long first,
                        long long end, long long origin, double xstep, double scale, double base,
                        const Geometry& box) {
    const QuantizedCurve* q = data.quantized;
    if (q == nullptr) return;
    const std::vector<double>& values = linear ? q->magnitude : q->magnitudeDb;
    end = std::min(end, static_cast<long long>(values.size()));
    const CPen before = dc->SelectPen(CPen{PenStyle::Solid, 1, kQuantizedCurveColour});
    Polyline line(*dc);
    for (long long i = std::max(first, 0LL); i < end; ++i) {
        int y = 0;
        if (!CurveY(values[static_cast<size_t>(i)], scale, base, box.top, box.bottom, y)) {
            line.Break();
            continue;
        }
        line.Add(80 + TruncPixel(static_cast<double>(i - origin) * xstep),
                 std::clamp(y, box.top, box.bottom));
    }
    dc->SelectPen(CPen{PenStyle::Solid, 2, kQuantizedCurveColour});
    dc->MoveTo(420, 13);
    dc->LineTo(438, 13);
    dc->SelectPen(before);
    dc->SetTextAlign(TextAlign::LeftTop);
    DrawShadowText(dc, 443, 5, kQuantizedCurveColour, FormatString("%d-bit taps", q->bits));
}

// Labels k = 0 ... 8 of a band view whose points [first, end) are spread over the
// width: label k stands where the (fractional) point first + k (end - first) / 8
// is drawn, so it names that point's frequency.
void DrawBandFrequencyLabels(CMemCanvas* dc, const Geometry& box, const ResponseData& data,
                             long long first, long long end) {
    const int K = data.design.pointCount;
    const double Fs = data.Fs;
    const double f0 = ResponsePointHz(data.family, K, Fs, static_cast<double>(first));
    const double f1 = ResponsePointHz(data.family, K, Fs, static_cast<double>(end));
    DrawRangeFrequencyLabels(dc, box, f0, f1 - f0);
}

bool IsLowOrHighPass(ResponseType type) {
    return type == LowPass || type == HighPass;
}

// [first, end) of a band's index fields, kept inside the points held.
void BandRange(int begin, int end, long long held, long long& first, long long& last) {
    first = std::clamp<long long>(begin, 0, held);
    last = std::clamp<long long>(end, first, held);
}

}  // namespace

bool DrawMagnitudeDb(CMemCanvas* dc, const PlotBox& plotBox, const ResponseData& data,
                     const PlotStyle& style) {
    const CFirDesign& design = data.design;
    const bool equiripple = data.family == DesignFamily::Equiripple;
    if (!Usable(dc)) return false;
    DrawingScope scope(*dc, CPen{PenStyle::Solid, 1, style.colour}, CBrush{style.colour});
    const Geometry box = GeometryOf(plotBox);
    const long long held = PointsHeld(design.pointCount, design.magnitudeDb);
    const double R = AxisRange(MaxAbsFinite(design.magnitudeDb, 0, static_cast<size_t>(held)));
    const double scale = box.hplot / R;
    const Layout layout = equiripple ? EquirippleLayout(design.pointCount, held, box.w)
                                     : WindowLayout(design.pointCount, held, box.w);
    DrawCurve(*dc, design.magnitudeDb, 0, layout.end, 0, layout.xstep, scale, box.r + 30, 0.0, box);
    DrawQuantizedCurve(dc, data, false, 0, layout.end, 0, layout.xstep, scale, box.r + 30, box);
    DrawDbHeader(dc, "Magnitude Response", 238);
    DrawDbLabels(dc, box, R);
    DrawFrequencyAxis(dc, plotBox, data.Fs);
    return true;
}

bool DrawMagnitudeRange(CMemCanvas* dc, const PlotBox& plotBox, const ResponseData& data,
                        const PlotStyle& style, double lo, double hi) {
    const CFirDesign& design = data.design;
    const bool equiripple = data.family == DesignFamily::Equiripple;
    if (!Usable(dc)) return false;
    DrawingScope scope(*dc, CPen{PenStyle::Solid, 1, style.colour}, CBrush{style.colour});
    const Geometry box = GeometryOf(plotBox);
    const int K = std::max(design.pointCount, 0);
    const long long held = PointsHeld(design.pointCount, design.magnitudeDb);
    const double nyq = static_cast<double>(data.Fs) * 0.5;
    const bool usable = nyq > 0.0 && std::isfinite(nyq);

    // Plotted points [i0, iend) and, for the zoomed axis, examined points [e0, e1).
    long long i0 = 0, iend = 0, e0 = 0, e1 = 0;
    double xstep = 0.0;
    if (equiripple) {
        const long long limit = std::min<long long>(K, held);
        if (usable) {
            i0 = TruncIndex((lo / nyq) * K, 0, limit);
            iend = TruncIndex((hi / nyq) * K, 0, limit);
        }
        xstep = box.w / (((hi - lo) / nyq) * K);
        e0 = i0;
        e1 = iend;
    } else {
        const long long half = K / 2;
        const long long limit = std::min(half + 1, held);
        if (usable) {
            i0 = TruncIndex(half * lo / nyq, 0, limit);
            iend = TruncIndex(K * (hi / nyq) * 0.5, 0, limit);
            // The zoomed axis looks at one point more than is plotted.
            e0 = TruncIndex(K * (lo / nyq) * 0.5, 0, held);
            e1 = TruncIndex(K * (hi / nyq) * 0.5, -1, held - 1) + 1;
        }
        xstep = box.w / (((hi - lo) / nyq) * half);
    }

    if (!style.zoom) {
        // The window form keeps the full view's axis; the equiripple form scales to
        // the plotted points.
        const double M = equiripple
                             ? MaxAbsFinite(design.magnitudeDb, static_cast<size_t>(i0),
                                            static_cast<size_t>(std::max(i0, iend)))
                             : MaxAbsFinite(design.magnitudeDb, 0, static_cast<size_t>(held));
        const double R = AxisRange(M);
        DrawCurve(*dc, design.magnitudeDb, i0, iend, i0, xstep, box.hplot / R, box.r + 30, 0.0,
                  box);
        DrawQuantizedCurve(dc, data, false, i0, iend, i0, xstep, box.hplot / R, box.r + 30, box);
        DrawDbHeader(dc, "Magnitude Response", 238);
        DrawDbLabels(dc, box, R);
    } else {
        const double E = ZoomHalfRange(design.magnitudeDb, e0, std::max(e0, e1));
        DrawCurve(*dc, design.magnitudeDb, i0, iend, i0, xstep, box.hplot / (2.0 * E),
                  5 * box.r + 30, 0.0, box);
        DrawQuantizedCurve(dc, data, false, i0, iend, i0, xstep, box.hplot / (2.0 * E),
                           5 * box.r + 30, box);
        DrawDbHeader(dc, "Magnitude Response", 238);
        DrawZoomLabels(dc, box, E);
    }
    DrawFreqNames(dc);
    DrawRangeFrequencyLabels(dc, box, lo, hi - lo);
    return true;
}

bool DrawMagnitudeOverlay(const OverlayLayers& layers, const PlotBox& plotBox,
                          const ResponseData& data, const HeldCurve& heldCurve,
                          const PlotStyle& style) {
    const CFirDesign& design = data.design;
    const bool equiripple = data.family == DesignFamily::Equiripple;
    CMemCanvas* axes = layers.axes;
    CMemCanvas* current = layers.current;
    CMemCanvas* held = layers.held;
    if (!Usable(axes) || !Usable(current) || !Usable(held)) return false;
    const Colour currentColour = style.colour;
    const Colour heldColour = style.heldColour;
    DrawingScope axesScope(*axes, CPen{PenStyle::Solid, 1, currentColour}, CBrush{currentColour});
    DrawingScope currentScope(*current, CPen{PenStyle::Solid, 1, currentColour},
                              CBrush{currentColour});
    DrawingScope heldScope(*held, CPen{PenStyle::Solid, 1, heldColour}, CBrush{heldColour});
    const Geometry box = GeometryOf(plotBox);

    const long long currentHeld = PointsHeld(design.pointCount, design.magnitudeDb);
    const long long heldHeld = PointsHeld(heldCurve.pointCount, heldCurve.magnitudeDb);
    const double M1 = MaxAbsFinite(design.magnitudeDb, 0, static_cast<size_t>(currentHeld));
    const double M2 = MaxAbsFinite(heldCurve.magnitudeDb, 0, static_cast<size_t>(heldHeld));
    const double R = AxisRange(std::max(M1, M2));
    const double scale = box.hplot / R;

    const Layout now = equiripple ? EquirippleLayout(design.pointCount, currentHeld, box.w)
                                  : WindowLayout(design.pointCount, currentHeld, box.w);
    DrawCurve(*current, design.magnitudeDb, 0, now.end, 0, now.xstep, scale, box.r + 30, 0.0, box);
    // The held curve keeps the layout and point count of the method that made it, so
    // it lines up with its own frequencies even when its count differs.
    const Layout before = UsesBandTable(heldCurve.method)
                              ? EquirippleLayout(heldCurve.pointCount, heldHeld, box.w)
                              : WindowLayout(heldCurve.pointCount, heldHeld, box.w);
    DrawCurve(*held, heldCurve.magnitudeDb, 0, before.end, 0, before.xstep, scale, box.r + 30, 0.0,
              box);

    DrawDbHeader(axes, "Magnitude Response", 238);
    DrawDbLabels(axes, box, R);
    DrawFrequencyAxis(axes, plotBox, data.Fs);
    return true;
}

bool DrawMagnitudeLinear(CMemCanvas* dc, const PlotBox& plotBox, const ResponseData& data,
                         const PlotStyle& style) {
    const CFirDesign& design = data.design;
    const bool equiripple = data.family == DesignFamily::Equiripple;
    if (!Usable(dc)) return false;
    DrawingScope scope(*dc, CPen{PenStyle::Solid, 1, style.colour}, CBrush{style.colour});
    const Geometry box = GeometryOf(plotBox);
    const long long held = PointsHeld(design.pointCount, design.magnitude);
    const Layout layout = equiripple ? EquirippleLayout(design.pointCount, held, box.w)
                                     : WindowLayout(design.pointCount, held, box.w);
    const int hlin = box.H - 65;
    double scale = 0.8 * hlin;
    const bool differentiator = !equiripple && design.responseType == Differentiator;
    double Mx = 0.0;
    if (differentiator) {
        for (long long i = 0; i < layout.end; ++i) {
            const double m = design.magnitude[static_cast<size_t>(i)];
            if (std::isfinite(m) && m > Mx) Mx = m;
        }
        // A response that is zero everywhere has no peak to scale to.
        scale = Mx > 0.0 ? 0.9 * hlin / Mx : 0.0;
    }
    DrawCurve(*dc, design.magnitude, 0, layout.end, 0, layout.xstep, scale,
              plotBox.bottom - 35 - 0.125, 0.0, box);
    DrawQuantizedCurve(dc, data, true, 0, layout.end, 0, layout.xstep, scale,
                       plotBox.bottom - 35 - 0.125, box);

    dc->SetTextAlign(TextAlign::LeftTop);
    DrawLabel(dc, LabelAnchor::TopCentre, 238, 5, kTitleColour, "Magnitude Response");
    DrawShadowText(dc, 35, 12, kAxisNameColour, "|H(w)|");
    dc->SetTextAlign(TextAlign::Right);
    for (int k = 0; k <= 9; ++k) {
        const double value =
            differentiator ? Mx - k * (Mx * 0.1111111111111111) : 1.125 - 0.125 * k;
        DrawLabel(dc, LabelAnchor::LeftAxis, 70, 50 + 27 * k + k / 4 + k / 8, kTickLabelColour,
                  FormatString("%4.3f", value));
    }
    DrawFrequencyAxis(dc, plotBox, data.Fs);
    return true;
}

bool DrawPassband(CMemCanvas* dc, const PlotBox& plotBox, const ResponseData& data,
                  const PlotStyle& style) {
    if (!Usable(dc)) return false;
    const CFirDesign& design = data.design;
    DrawingScope scope(*dc, CPen{PenStyle::Solid, 1, style.colour}, CBrush{style.colour});
    const Geometry box = GeometryOf(plotBox);
    const long long held = PointsHeld(design.pointCount, design.magnitudeDb);
    long long b0 = 0, b1 = 0;
    BandRange(design.passBegin, design.passEnd, held, b0, b1);
    const double xstep = b1 > b0 ? static_cast<double>(box.w) / static_cast<double>(b1 - b0) : 0.0;
    const double E = ZoomHalfRange(design.magnitudeDb, b0, b1);
    // Other response types get only the first point, which draws nothing.
    const long long end = IsLowOrHighPass(design.responseType) ? b1 : std::min(b1, b0 + 1);
    DrawCurve(*dc, design.magnitudeDb, b0, end, b0, xstep, box.hplot / (2.0 * E), 5 * box.r + 30,
              0.0, box);
    DrawQuantizedCurve(dc, data, false, b0, end, b0, xstep, box.hplot / (2.0 * E), 5 * box.r + 30,
                       box);

    DrawDbHeader(dc, "Passband Response", 238);
    DrawFreqNames(dc);
    DrawZoomLabels(dc, box, E);
    DrawBandFrequencyLabels(dc, box, data, b0, b1);
    return true;
}

bool DrawStopband(CMemCanvas* dc, const PlotBox& plotBox, const ResponseData& data,
                  const PlotStyle& style) {
    if (!Usable(dc)) return false;
    const CFirDesign& design = data.design;
    DrawingScope scope(*dc, CPen{PenStyle::Solid, 1, style.colour}, CBrush{style.colour});
    const Geometry box = GeometryOf(plotBox);
    const long long held = PointsHeld(design.pointCount, design.magnitudeDb);
    long long s0 = 0, s1 = 0;
    BandRange(design.stopBegin, design.stopEnd, held, s0, s1);
    const std::vector<double>& v = design.magnitudeDb;

    // Attenuations over the finite values of the band.
    double Amin = 99999.0;
    double Amax = 0.0;
    bool any = false;
    for (long long i = s0; i < s1; ++i) {
        const double x = v[static_cast<size_t>(i)];
        if (!std::isfinite(x)) continue;
        Amin = std::min(Amin, -x);
        Amax = std::max(Amax, -x);
        any = true;
    }
    if (!any) Amin = Amax = 0.0;

    // Reference: the response at the band edge facing the transition band. When
    // that point is missing or not finite, the band's highest value stands in.
    const long long refIndex = design.responseType == LowPass ? s0 : s1;
    double ref = any ? -Amin : 0.0;
    if (refIndex >= 0 && refIndex < held && std::isfinite(v[static_cast<size_t>(refIndex)])) {
        ref = v[static_cast<size_t>(refIndex)];
    }
    const double depth = Amax + ref;
    // A band with no depth below its edge is drawn flat on the first row.
    const double scale = depth > 0.0 && std::isfinite(depth) ? box.hplot / depth : 0.0;
    const double xstep = s1 > s0 ? static_cast<double>(box.w) / static_cast<double>(s1 - s0) : 0.0;
    const long long end = IsLowOrHighPass(design.responseType) ? s1 : std::min(s1, s0 + 1);
    DrawCurve(*dc, v, s0, end, s0, xstep, scale, box.r + 30, ref, box);
    if (data.quantized != nullptr) {
        // The same mapping with the reference folded into the base.
        DrawQuantizedCurve(dc, data, false, s0, end, s0, xstep, scale, box.r + 30 + scale * ref,
                           box);
    }

    DrawDbHeader(dc, "Stopband Response", 242);
    DrawFreqNames(dc);
    dc->SetTextAlign(TextAlign::Right);
    for (int k = 0; k <= 9; ++k) {
        DrawShadowText(dc, 65, 50 + k * box.r, kTickLabelColour,
                       FormatString("-%4.2f", Amin + k * ((Amax - Amin) * 0.1111111111111111)));
    }
    DrawBandFrequencyLabels(dc, box, data, s0, s1);
    return true;
}

}  // namespace tapwright
