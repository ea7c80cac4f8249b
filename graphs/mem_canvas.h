#pragma once

// Off-screen canvas: a QImage (RGB32) holding the pixels, plus our own drawing
// state (pen, brush, current point, text colour, alignment, background mode) and
// raster code that follows the GDI rules every graph is laid out for:
// - LineTo draws from the current point up to, but not including, its end point;
//   pens of width 0 and 1 are one pixel wide. Wider pens are drawn with square
//   dabs that cover both end points, as GDI's round-capped wide pens do.
// - Ellipse fills and outlines its box with the right column and bottom row
//   excluded.
// - CopyTo and OrTo combine whole canvases from origin to origin (SRCCOPY and
//   SRCPAINT, the latter a bitwise OR of the red, green and blue bytes).
// No antialiasing anywhere, so OR-composition of layers stays exact.
// Coordinates are integer pixels, x to the right and y downwards, origin at the
// top-left corner; anything outside the canvas is clipped.

#include <QImage>
#include <QRgb>
#include <string>
#include <string_view>
#include <vector>

namespace tapwright {

// 24-bit RGB colour as stored in an RGB32 pixel (alpha byte always 0xff).
using Colour = QRgb;

constexpr Colour MakeRgb(int r, int g, int b) {
    return qRgb(r, g, b);
}

// Colours shared by every graph.
inline constexpr Colour kBackgroundColour = MakeRgb(40, 85, 85);
inline constexpr Colour kFrameColour = MakeRgb(105, 170, 100);
inline constexpr Colour kGridColour = MakeRgb(50, 50, 50);

// Pen styles: solid, or none (nothing is drawn).
enum class PenStyle { Solid = 0, Null = 5 };

// Text alignments (left|top, right, centre) and background modes, with GDI's values.
enum class TextAlign { LeftTop = 0, Right = 2, Centre = 6 };
enum class BkMode { Transparent = 1, Opaque = 2 };

struct CPen {
    PenStyle style = PenStyle::Solid;
    int width = 0;  // 0 and 1 draw one pixel wide
    Colour colour = MakeRgb(0, 0, 0);
};

struct CBrush {
    Colour colour = MakeRgb(0, 0, 0);
};

// One TextOut call as a canvas with a text log records it (for tests).
struct TextRecord {
    int x = 0;
    int y = 0;
    TextAlign align = TextAlign::LeftTop;
    Colour colour = 0;
    std::string text;
};

class CMemCanvas {
  public:
    CMemCanvas() = default;

    // Makes the canvas (right - left) x (bottom - top) pixels, black, with a solid
    // thinnest green pen and a solid black brush. Only the size of the rectangle
    // matters; every canvas is RGB32, so there is no context to be compatible with.
    // A canvas already created is replaced. Returns false (canvas left empty) for an
    // empty or too large size.
    //
    // `scale` (1 to 4) is the device pixel ratio of the screen the canvas is shown
    // on: the image then holds scale x scale pixels for every pixel of the canvas
    // (and says so in its device pixel ratio), every coordinate stays in canvas
    // pixels, and lines, dots and text are drawn at the image's full resolution.
    // At scale 1 the image is the canvas.
    bool Create(int left, int top, int right, int bottom, int scale = 1);

    bool IsCreated() const { return !image_.isNull(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Scale() const { return scale_; }
    const QImage& Image() const { return image_; }

    // Selects a new pen or brush. False (nothing done) on a canvas never created.
    bool SetPen(PenStyle style, int width, Colour colour);
    bool SetBrush(Colour colour);
    // Fills every pixel with the colour; the current brush is kept.
    bool Clear(Colour colour);
    // Whole-canvas block copies onto another canvas at (0, 0); the part outside
    // the target is clipped. False when either canvas was never created.
    bool CopyTo(CMemCanvas* target) const;
    bool OrTo(CMemCanvas* target) const;
    // Fills the whole canvas with black.
    bool Blackness();

    // Drawing-state selection; each returns what was selected before.
    CPen SelectPen(const CPen& pen);
    CBrush SelectBrush(const CBrush& brush);
    const CPen& Pen() const { return pen_; }
    const CBrush& Brush() const { return brush_; }
    Colour SetTextColour(Colour colour);
    TextAlign SetTextAlign(TextAlign align);
    BkMode SetBkMode(BkMode mode);
    Colour SetBkColour(Colour colour);
    TextAlign TextAlignment() const { return textAlign_; }
    BkMode BackgroundMode() const { return bkMode_; }
    Colour TextColour() const { return textColour_; }

    void MoveTo(int x, int y);
    // Line with the current pen from the current point to (x, y), which becomes
    // the current point.
    void LineTo(int x, int y);
    int CurrentX() const { return curX_; }
    int CurrentY() const { return curY_; }
    void SetPixel(int x, int y, Colour colour);
    // Black when outside the canvas. At a scale above 1, the top-left image pixel of
    // the canvas pixel.
    Colour GetPixel(int x, int y) const;
    // Ellipse inscribed in [left, right) x [top, bottom): the brush fills it and
    // the pen (width 1) draws its border pixels.
    void Ellipse(int left, int top, int right, int bottom);
    // Fills [x, x + w) x [y, y + h) with the current brush.
    void PatBlt(int x, int y, int w, int h);
    // Text in the canvas font at (x, y) anchored by the current alignment (y is
    // the top of the text cell), in the text colour; with an opaque background
    // mode the cell is filled with the background colour first. Returns false
    // when no text can be drawn (canvas never created, or no Qt application).
    bool TextOut(int x, int y, std::string_view text);

    // Records every TextOut call into `log` (null stops recording).
    void SetTextLog(std::vector<TextRecord>* log) { textLog_ = log; }

  private:
    // Raster operations in image pixels.
    void PlotDab(int x, int y, int size, Colour colour);
    void HorizontalSpan(int x0, int x1, int y, Colour colour);
    void RasterLine(int x0, int y0, int x1, int y1, int size, bool leaveOutEnd);
    void RasterEllipse(int left, int top, int right, int bottom);
    int ImageWidth() const { return image_.width(); }
    int ImageHeight() const { return image_.height(); }

    QImage image_;
    int width_ = 0;
    int height_ = 0;
    int scale_ = 1;
    CPen pen_;
    CBrush brush_;
    int curX_ = 0;
    int curY_ = 0;
    Colour textColour_ = MakeRgb(0, 0, 0);
    Colour bkColour_ = MakeRgb(255, 255, 255);
    TextAlign textAlign_ = TextAlign::LeftTop;
    BkMode bkMode_ = BkMode::Opaque;
    std::vector<TextRecord>* textLog_ = nullptr;
};

// Advance width and height of a text in the canvas font, pixels; 0 x 0 without a
// Qt application.
struct TextExtent {
    int width = 0;
    int height = 0;
    int ascent = 0;
};
TextExtent CanvasTextExtent(std::string_view text);

}  // namespace tapwright
