#include "graphs/mem_canvas.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

namespace tapwright {

namespace {

// Canvases larger than this are refused: no graph area comes near it.
constexpr int kMaxCanvasSide = 16384;

constexpr const char* kCanvasFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
// 13 px bold gives a 15 px line (ascent 12, descent 3), close to the 16 px font the
// fixed label positions were laid out for; with the tighter letter spacing the
// widest labels keep clear of their neighbours ("Total Coefficients :" of the count
// 130 px to its right, "(degrees)" of the frame at x = 80).
constexpr int kCanvasFontPixelSize = 13;
constexpr double kCanvasFontLetterSpacing = -1.0;

struct CanvasFont {
    QFont font;
    QFontMetrics metrics;
};

// The one fixed label font, loaded from the file so that every machine with the
// DejaVu package draws the same pixels. Null without a Qt GUI application.
const CanvasFont* GetCanvasFont() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return nullptr;
    static std::mutex mutex;
    static const CanvasFont* loaded = nullptr;
    std::lock_guard<std::mutex> lock(mutex);
    if (loaded == nullptr) {
        QString family = QStringLiteral("DejaVu Sans");
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(kCanvasFontFile));
        if (id >= 0) {
            const QStringList families = QFontDatabase::applicationFontFamilies(id);
            if (!families.isEmpty()) family = families.front();
        }
        QFont font(family);
        font.setBold(true);
        font.setPixelSize(kCanvasFontPixelSize);
        font.setLetterSpacing(QFont::AbsoluteSpacing, kCanvasFontLetterSpacing);
        font.setKerning(false);
        font.setStyleStrategy(
            QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
        font.setHintingPreference(QFont::PreferFullHinting);
        loaded = new CanvasFont{font, QFontMetrics(font)};
    }
    return loaded;
}

inline QRgb* Row(uchar* bits, qsizetype stride, int y) {
    return reinterpret_cast<QRgb*>(bits + stride * y);
}

}  // namespace

TextExtent CanvasTextExtent(std::string_view text) {
    const CanvasFont* f = GetCanvasFont();
    if (f == nullptr) return {};
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return {f->metrics.horizontalAdvance(s), f->metrics.height(), f->metrics.ascent()};
}

bool CMemCanvas::Create(int left, int top, int right, int bottom, int scale) {
    const long long w = static_cast<long long>(right) - left;
    const long long h = static_cast<long long>(bottom) - top;
    image_ = QImage();
    width_ = 0;
    height_ = 0;
    scale_ = 1;
    if (scale < 1 || scale > 4) return false;
    if (w <= 0 || h <= 0 || w * scale > kMaxCanvasSide || h * scale > kMaxCanvasSide) return false;
    QImage image(static_cast<int>(w * scale), static_cast<int>(h * scale), QImage::Format_RGB32);
    if (image.isNull()) return false;
    image.setDevicePixelRatio(scale);
    image_ = std::move(image);
    width_ = static_cast<int>(w);
    height_ = static_cast<int>(h);
    scale_ = scale;
    curX_ = curY_ = 0;
    textColour_ = MakeRgb(0, 0, 0);
    bkColour_ = MakeRgb(255, 255, 255);
    textAlign_ = TextAlign::LeftTop;
    bkMode_ = BkMode::Opaque;
    Blackness();
    SetPen(PenStyle::Solid, 0, MakeRgb(0, 255, 0));
    SetBrush(MakeRgb(0, 0, 0));
    return true;
}

bool CMemCanvas::SetPen(PenStyle style, int width, Colour colour) {
    if (!IsCreated()) return false;
    pen_ = CPen{style, width, colour};
    return true;
}

bool CMemCanvas::SetBrush(Colour colour) {
    if (!IsCreated()) return false;
    brush_ = CBrush{colour};
    return true;
}

bool CMemCanvas::Clear(Colour colour) {
    if (!IsCreated()) return false;
    const CBrush previous = SelectBrush(CBrush{colour});
    PatBlt(0, 0, width_, height_);
    SelectBrush(previous);
    return true;
}

bool CMemCanvas::Blackness() {
    if (!IsCreated()) return false;
    image_.fill(MakeRgb(0, 0, 0));
    return true;
}

bool CMemCanvas::CopyTo(CMemCanvas* target) const {
    if (target == nullptr || !IsCreated() || !target->IsCreated()) return false;
    if (target == this) return true;
    const int w = std::min(ImageWidth(), target->ImageWidth());
    const int h = std::min(ImageHeight(), target->ImageHeight());
    for (int y = 0; y < h; ++y) {
        std::memcpy(target->image_.scanLine(y), image_.constScanLine(y),
                    static_cast<size_t>(w) * sizeof(QRgb));
    }
    return true;
}

bool CMemCanvas::OrTo(CMemCanvas* target) const {
    if (target == nullptr || !IsCreated() || !target->IsCreated()) return false;
    if (target == this) return true;
    const int w = std::min(ImageWidth(), target->ImageWidth());
    const int h = std::min(ImageHeight(), target->ImageHeight());
    for (int y = 0; y < h; ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
        QRgb* dst = reinterpret_cast<QRgb*>(target->image_.scanLine(y));
        for (int x = 0; x < w; ++x) dst[x] |= src[x];
    }
    return true;
}

CPen CMemCanvas::SelectPen(const CPen& pen) {
    const CPen previous = pen_;
    pen_ = pen;
    return previous;
}

CBrush CMemCanvas::SelectBrush(const CBrush& brush) {
    const CBrush previous = brush_;
    brush_ = brush;
    return previous;
}

Colour CMemCanvas::SetTextColour(Colour colour) {
    const Colour previous = textColour_;
    textColour_ = colour;
    return previous;
}

TextAlign CMemCanvas::SetTextAlign(TextAlign align) {
    const TextAlign previous = textAlign_;
    textAlign_ = align;
    return previous;
}

BkMode CMemCanvas::SetBkMode(BkMode mode) {
    const BkMode previous = bkMode_;
    bkMode_ = mode;
    return previous;
}

Colour CMemCanvas::SetBkColour(Colour colour) {
    const Colour previous = bkColour_;
    bkColour_ = colour;
    return previous;
}

void CMemCanvas::MoveTo(int x, int y) {
    curX_ = x;
    curY_ = y;
}

void CMemCanvas::SetPixel(int x, int y, Colour colour) {
    if (!IsCreated() || x < 0 || y < 0 || x >= width_ || y >= height_) return;
    for (int yy = y * scale_; yy < (y + 1) * scale_; ++yy) {
        QRgb* row = reinterpret_cast<QRgb*>(image_.scanLine(yy));
        for (int xx = x * scale_; xx < (x + 1) * scale_; ++xx) row[xx] = colour;
    }
}

Colour CMemCanvas::GetPixel(int x, int y) const {
    if (!IsCreated() || x < 0 || y < 0 || x >= width_ || y >= height_) return MakeRgb(0, 0, 0);
    return reinterpret_cast<const QRgb*>(image_.constScanLine(y * scale_))[x * scale_];
}

void CMemCanvas::PlotDab(int x, int y, int size, Colour colour) {
    // A dab of size s covers x - s/2 ... x - s/2 + s - 1 (for 2: x - 1 and x), so
    // a wide line is centred on the line through the given points.
    const int x0 = std::max(0, x - size / 2);
    const int x1 = std::min(ImageWidth() - 1, x - size / 2 + size - 1);
    const int y0 = std::max(0, y - size / 2);
    const int y1 = std::min(ImageHeight() - 1, y - size / 2 + size - 1);
    for (int yy = y0; yy <= y1; ++yy) {
        QRgb* row = reinterpret_cast<QRgb*>(image_.scanLine(yy));
        for (int xx = x0; xx <= x1; ++xx) row[xx] = colour;
    }
}

void CMemCanvas::LineTo(int x, int y) {
    const int x0 = curX_;
    const int y0 = curY_;
    curX_ = x;
    curY_ = y;
    if (!IsCreated() || pen_.style == PenStyle::Null) return;
    // Thin pens leave out the end point; wide pens have round caps that cover it.
    const int width = pen_.width <= 1 ? 1 : pen_.width;
    if (scale_ == 1) {
        RasterLine(x0, y0, x, y, width, width == 1);
        return;
    }
    // At a larger scale the line joins the middles of its canvas pixels (clamped
    // far outside, as the plots clamp) with dabs as wide as the pen.
    auto image = [this](int v) {
        const long long p = static_cast<long long>(v) * scale_ + scale_ / 2;
        return static_cast<int>(std::clamp<long long>(p, -(1LL << 28), 1LL << 28));
    };
    RasterLine(image(x0), image(y0), image(x), image(y), width * scale_, width == 1);
}

void CMemCanvas::RasterLine(int x0, int y0, int x, int y, int size, bool leaveOutEnd) {
    const std::int64_t dx = static_cast<std::int64_t>(x) - x0;
    const std::int64_t dy = static_cast<std::int64_t>(y) - y0;
    const std::int64_t adx = dx < 0 ? -dx : dx;
    const std::int64_t ady = dy < 0 ? -dy : dy;
    const std::int64_t n = std::max(adx, ady);
    // Leaving out the end point leaves out the dab that would cover it.
    const std::int64_t last = leaveOutEnd ? n - (size == 1 ? 1 : scale_) : n;
    if (last < 0) return;

    const bool xMajor = adx >= ady;
    const std::int64_t major0 = xMajor ? x0 : y0;
    const std::int64_t minor0 = xMajor ? y0 : x0;
    const std::int64_t majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const std::int64_t minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const std::int64_t minorDelta = xMajor ? ady : adx;
    const std::int64_t majorExtent = xMajor ? ImageWidth() : ImageHeight();
    const std::int64_t minorExtent = xMajor ? ImageHeight() : ImageWidth();

    // Only the steps whose major coordinate can touch the canvas are walked, so a
    // line with far-away end points costs no more than one across the canvas.
    const std::int64_t lowMajor = size / 2 - size + 1;
    const std::int64_t highMajor = majorExtent - 1 + size / 2;
    std::int64_t kFirst = 0;
    std::int64_t kLast = last;
    if (majorStep > 0) {
        kFirst = std::max(kFirst, lowMajor - major0);
        kLast = std::min(kLast, highMajor - major0);
    } else {
        kFirst = std::max(kFirst, major0 - highMajor);
        kLast = std::min(kLast, major0 - lowMajor);
    }
    if (kFirst > kLast) return;

    const Colour colour = pen_.colour;
    uchar* bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    for (std::int64_t k = kFirst; k <= kLast; ++k) {
        const std::int64_t major = major0 + majorStep * k;
        // Nearest minor coordinate to the ideal line; halves round away from the start.
        const std::int64_t minor =
            n == 0 ? minor0 : minor0 + minorStep * ((2 * k * minorDelta + n) / (2 * n));
        if (size == 1) {
            if (minor < 0 || minor >= minorExtent) continue;
            const int px = static_cast<int>(xMajor ? major : minor);
            const int py = static_cast<int>(xMajor ? minor : major);
            Row(bits, stride, py)[px] = colour;
        } else {
            if (minor < lowMajor || minor > minorExtent - 1 + size / 2) continue;
            PlotDab(static_cast<int>(xMajor ? major : minor),
                    static_cast<int>(xMajor ? minor : major), size, colour);
        }
    }
}

void CMemCanvas::HorizontalSpan(int x0, int x1, int y, Colour colour) {
    if (y < 0 || y >= ImageHeight()) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, ImageWidth() - 1);
    QRgb* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
    for (int x = x0; x <= x1; ++x) row[x] = colour;
}

void CMemCanvas::Ellipse(int left, int top, int right, int bottom) {
    if (!IsCreated() || right <= left || bottom <= top) return;
    if (right <= 0 || bottom <= 0 || left >= width_ || top >= height_) return;
    if (scale_ == 1) {
        RasterEllipse(left, top, right, bottom);
        return;
    }
    // The box is on the canvas (checked above) or overlaps it: clamp before scaling.
    auto image = [this](int v, int extent) {
        return static_cast<int>(std::clamp<long long>(v, -1, extent + 1) * scale_);
    };
    RasterEllipse(image(left, width_), image(top, height_), image(right, width_),
                  image(bottom, height_));
}

void CMemCanvas::RasterEllipse(int left, int top, int right, int bottom) {
    const int imageWidth = ImageWidth();
    const int imageHeight = ImageHeight();
    const double cx = (static_cast<double>(left) + right) / 2.0;
    const double cy = (static_cast<double>(top) + bottom) / 2.0;
    const double a = (static_cast<double>(right) - left) / 2.0;
    const double b = (static_cast<double>(bottom) - top) / 2.0;
    // Row py of the box covers [from, to] of the pixels whose centres lie in the
    // ellipse (empty when from > to). Rows outside the canvas are not needed beyond
    // one row above and below it.
    const int yFirst = std::max(top, -1);
    const int yLast = std::min(bottom - 1, imageHeight);
    const int rows = yLast - yFirst + 1;
    if (rows <= 0) return;
    // Plot dots are a few rows tall: their spans fit on the stack.
    constexpr size_t kStackRows = 32;
    std::pair<int, int> stackSpans[kStackRows];
    std::vector<std::pair<int, int>> heapSpans;
    const size_t spanCount = static_cast<size_t>(rows) + 2;
    std::pair<int, int>* spans = stackSpans;
    if (spanCount > kStackRows) {
        heapSpans.resize(spanCount);
        spans = heapSpans.data();
    }
    std::fill(spans, spans + spanCount, std::pair<int, int>{1, 0});
    for (int py = yFirst; py <= yLast; ++py) {
        const double v = (py + 0.5 - cy) / b;
        const double q = 1.0 - v * v;
        if (q < 0.0) continue;
        const double half = a * std::sqrt(q);
        const int from = std::max(left, static_cast<int>(std::ceil(cx - half - 0.5)));
        const int to = std::min(right - 1, static_cast<int>(std::floor(cx + half - 0.5)));
        spans[static_cast<size_t>(py - yFirst + 1)] = {from, to};
    }
    const Colour border = pen_.style != PenStyle::Null ? pen_.colour : brush_.colour;
    uchar* bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    for (int py = std::max(yFirst, 0); py <= std::min(yLast, imageHeight - 1); ++py) {
        const size_t r = static_cast<size_t>(py - yFirst + 1);
        const auto [from, to] = spans[r];
        if (from > to) continue;
        const auto [upFrom, upTo] = spans[r - 1];
        const auto [downFrom, downTo] = spans[r + 1];
        QRgb* row = Row(bits, stride, py);
        for (int px = std::max(from, 0); px <= std::min(to, imageWidth - 1); ++px) {
            // Border pixels have a 4-neighbour outside the ellipse.
            const bool interior = px > from && px < to && px >= upFrom && px <= upTo &&
                                  px >= downFrom && px <= downTo;
            row[px] = interior ? brush_.colour : border;
        }
    }
}

void CMemCanvas::PatBlt(int x, int y, int w, int h) {
    if (!IsCreated() || w <= 0 || h <= 0) return;
    const long long yEnd = std::min<long long>(static_cast<long long>(y) + h, height_) * scale_;
    const long long xEnd = std::min<long long>(static_cast<long long>(x) + w, width_) * scale_;
    for (long long yy = std::max(y, 0) * static_cast<long long>(scale_); yy < yEnd; ++yy) {
        HorizontalSpan(std::max(x, 0) * scale_, static_cast<int>(xEnd - 1), static_cast<int>(yy),
                       brush_.colour);
    }
}

bool CMemCanvas::TextOut(int x, int y, std::string_view text) {
    if (textLog_ != nullptr) {
        textLog_->push_back(TextRecord{x, y, textAlign_, textColour_, std::string(text)});
    }
    if (!IsCreated()) return false;
    const CanvasFont* f = GetCanvasFont();
    if (f == nullptr) return false;
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const int advance = f->metrics.horizontalAdvance(s);
    int left = x;
    if (textAlign_ == TextAlign::Centre) {
        left = x - advance / 2;
    } else if (textAlign_ == TextAlign::Right) {
        left = x - advance;
    }
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(f->font);
    if (bkMode_ == BkMode::Opaque) {
        painter.fillRect(left, y, advance, f->metrics.height(), QColor::fromRgb(bkColour_));
    }
    painter.setPen(QColor::fromRgb(textColour_));
    painter.drawText(left, y + f->metrics.ascent(), s);
    return true;
}

}  // namespace tapwright
