#pragma once

// Drawing helpers of the plots: the scope that selects a plot's pen and brush and
// puts the canvas back afterwards, the polyline that breaks at missing points, and
// the safe real-to-pixel conversions and finite maxima they are fed with.

#include <algorithm>
#include <cmath>
#include <vector>

#include "graphs/mem_canvas.h"

namespace tapwright::plot {

// Pixel coordinates beyond this lie far outside any canvas; clamping there keeps
// every conversion in range while the canvas still clips the drawing.
inline constexpr double kFarPixel = 1.0e6;

// trunc(v) as an int, with v clamped to +-kFarPixel; NaN gives 0.
inline int TruncPixel(double v) {
    if (std::isnan(v)) return 0;
    if (v > kFarPixel) v = kFarPixel;
    if (v < -kFarPixel) v = -kFarPixel;
    return static_cast<int>(v);
}

// trunc(v) as an index clamped into [lo, hi]; NaN gives lo.
inline long long TruncIndex(double v, long long lo, long long hi) {
    if (std::isnan(v) || v <= static_cast<double>(lo)) return lo;
    if (v >= static_cast<double>(hi)) return hi;
    return std::clamp(static_cast<long long>(v), lo, hi);
}

// The y pixel of base - trunc(scale * value) for a curve whose values grow upward.
// NaN values have no pixel (false). Infinite values, or a NaN product of a zero
// scale and an infinite value, land on the plot box edge they point to.
inline bool CurveY(double value, double scale, double base, int boxTop, int boxBottom, int& y) {
    if (std::isnan(value)) return false;
    if (std::isinf(value)) {
        y = value > 0 ? boxTop : boxBottom;
        return true;
    }
    const double p = scale * value;
    if (!std::isfinite(p)) {
        if (std::isnan(p)) return false;
        y = p > 0 ? boxTop : boxBottom;
        return true;
    }
    y = TruncPixel(base - TruncPixel(p));
    return true;
}

// Largest |v| over finite values, starting from 0.
inline double MaxAbsFinite(const std::vector<double>& v, size_t begin, size_t end) {
    double m = 0.0;
    end = std::min(end, v.size());
    for (size_t i = begin; i < end; ++i) {
        const double a = std::fabs(v[i]);
        if (std::isfinite(a) && a > m) m = a;
    }
    return m;
}

// Selects a pen and brush for the life of a plot and puts back what was selected
// before, with the alignment left|top and the background opaque.
class DrawingScope {
  public:
    DrawingScope(CMemCanvas& dc, const CPen& pen, const CBrush& brush)
        : dc_(dc), pen_(dc.SelectPen(pen)), brush_(dc.SelectBrush(brush)) {}
    ~DrawingScope() {
        dc_.SetTextAlign(TextAlign::LeftTop);
        dc_.SetBkMode(BkMode::Opaque);
        dc_.SelectPen(pen_);
        dc_.SelectBrush(brush_);
    }
    DrawingScope(const DrawingScope&) = delete;
    DrawingScope& operator=(const DrawingScope&) = delete;

  private:
    CMemCanvas& dc_;
    CPen pen_;
    CBrush brush_;
};

inline bool Usable(const CMemCanvas* dc) {
    return dc != nullptr && dc->IsCreated();
}

// Polyline that breaks at points without a pixel.
class Polyline {
  public:
    explicit Polyline(CMemCanvas& dc) : dc_(dc) {}
    void Add(int x, int y) {
        if (down_) {
            dc_.LineTo(x, y);
        } else {
            dc_.MoveTo(x, y);
            down_ = true;
        }
    }
    void Break() { down_ = false; }

  private:
    CMemCanvas& dc_;
    bool down_ = false;
};

}  // namespace tapwright::plot
