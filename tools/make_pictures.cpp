// Draws Tapwright's own pictures and writes them into a directory (normally assets/):
//   penguin.GIF             an animated penguin, waddling and waving
//   f_md_clr.gif            the letter F with a shine sweeping across it
//   i_md_clr.gif            the letter I with colour bands running down it
//   r_md_clr.gif            the letter R with a spark travelling along it
//   zeb_logo_orange_bg.jpg  the Tapwright logo on orange
//   tapwright_icon.png      the application icon: a filter's taps on a graph
//
// Build and run:  cmake --build build --target tapwright_make_pictures
//                 build/bin/tapwright_make_pictures assets
//
// Everything is drawn here with QPainter; the GIFs are written by our own encoder.
// The GIF frames are drawn without antialiasing so every pixel is a palette colour.
// The three GIFs use different frame layouts (whole frames with disposal 2, changed
// rectangles with disposal 1, a small frame with disposal 3), so that the pictures
// on screen exercise every way the picture control composes frames.

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QSaveFile>
#include <QTransform>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "graphs/dialog_units.h"
#include "picture/gif_encode.h"

namespace {

using tapwright::DialogUnitsToPixelsX;
using tapwright::DialogUnitsToPixelsY;
using tapwright::EncodeGif;
using tapwright::GifEncodeFrame;

struct Palette {
    std::vector<QRgb> colours;  // index 0 is the transparent colour where one is used

    std::vector<std::uint8_t> Bytes() const {
        std::vector<std::uint8_t> out;
        for (QRgb c : colours) {
            out.push_back(static_cast<std::uint8_t>(qRed(c)));
            out.push_back(static_cast<std::uint8_t>(qGreen(c)));
            out.push_back(static_cast<std::uint8_t>(qBlue(c)));
        }
        return out;
    }

    // Index of the palette colour nearest to `c`; fully transparent pixels give
    // `transparent` when it is 0 or more.
    std::uint8_t IndexOf(QRgb c, int transparent) const {
        if (transparent >= 0 && qAlpha(c) < 128) return static_cast<std::uint8_t>(transparent);
        int best = 0;
        long best_distance = -1;
        for (std::size_t i = 0; i < colours.size(); ++i) {
            if (static_cast<int>(i) == transparent) continue;
            const long dr = qRed(c) - qRed(colours[i]);
            const long dg = qGreen(c) - qGreen(colours[i]);
            const long db = qBlue(c) - qBlue(colours[i]);
            const long d = dr * dr + dg * dg + db * db;
            if (best_distance < 0 || d < best_distance) {
                best_distance = d;
                best = static_cast<int>(i);
            }
        }
        return static_cast<std::uint8_t>(best);
    }
};

std::vector<std::uint8_t> ToIndices(const QImage& image, const Palette& palette, int transparent,
                                    QRect area) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(area.width()) * area.height());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            out.push_back(palette.IndexOf(argb.pixel(x, y), transparent));
        }
    }
    return out;
}

GifEncodeFrame WholeFrame(const QImage& image, const Palette& palette, int transparent, int delay,
                          int disposal) {
    GifEncodeFrame frame;
    frame.width = image.width();
    frame.height = image.height();
    frame.indices = ToIndices(image, palette, transparent, image.rect());
    frame.delay = delay;
    frame.disposal = disposal;
    frame.transparent = transparent;
    return frame;
}

// The rectangle in which two pictures of the same size differ (at least one pixel).
QRect ChangedArea(const QImage& before, const QImage& after) {
    QRect area;
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            if (before.pixel(x, y) != after.pixel(x, y)) area |= QRect(x, y, 1, 1);
        }
    }
    return area.isEmpty() ? QRect(0, 0, 1, 1) : area;
}

bool WriteFile(const std::string& path, const QByteArray& bytes) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes) != bytes.size()) return false;
    return file.commit();
}

bool WriteGif(const std::string& path, int width, int height, const Palette& palette,
              const std::vector<GifEncodeFrame>& frames) {
    const std::vector<std::uint8_t> bytes =
        EncodeGif(width, height, palette.Bytes(), frames, /*loop=*/true);
    return WriteFile(path, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                      static_cast<qsizetype>(bytes.size())));
}

QImage Canvas(int width, int height, QColor fill) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(fill);
    return image;
}

// ---- penguin ------------------------------------------------------------------

const Palette kPenguinPalette{{
    qRgb(255, 0, 255),    // 0 transparent
    qRgb(22, 26, 36),     // 1 black feathers
    qRgb(250, 250, 252),  // 2 white belly
    qRgb(245, 150, 30),   // 3 orange beak and feet
    qRgb(70, 78, 96),     // 4 feather shine
    qRgb(196, 208, 224),  // 5 belly shade
    qRgb(150, 190, 230),  // 6 ice
    qRgb(230, 70, 40),    // 7 scarf
}};

// One pose of the penguin: `tilt` in degrees, flipper lift 0..1, eyes open or shut.
QImage DrawPenguin(int width, int height, double tilt, double flipper, bool blink) {
    QImage image = Canvas(width, height, Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    const auto colour = [](int i) { return QColor(kPenguinPalette.colours[i]); };

    // Ice floe, which does not move.
    p.setPen(Qt::NoPen);
    p.setBrush(colour(6));
    p.drawEllipse(QRect(8, height - 9, width - 16, 8));

    // The penguin rocks about a point between its feet.
    const QPointF pivot(width / 2.0, height - 6.0);
    QTransform t;
    t.translate(pivot.x(), pivot.y());
    t.rotate(tilt);
    t.translate(-pivot.x(), -pivot.y());
    p.setTransform(t);

    const double cx = width / 2.0;
    // Feet.
    p.setBrush(colour(3));
    p.drawEllipse(QRectF(cx - 14, height - 10, 11, 5));
    p.drawEllipse(QRectF(cx + 3, height - 10, 11, 5));
    // Body and head.
    p.setBrush(colour(1));
    p.drawEllipse(QRectF(cx - 16, 16, 32, 38));
    p.drawEllipse(QRectF(cx - 12, 3, 24, 22));
    p.setBrush(colour(4));
    p.drawEllipse(QRectF(cx - 8, 6, 8, 5));
    // Belly and face.
    p.setBrush(colour(5));
    p.drawEllipse(QRectF(cx - 11, 22, 22, 30));
    p.setBrush(colour(2));
    p.drawEllipse(QRectF(cx - 9, 23, 18, 26));
    p.drawEllipse(QRectF(cx - 9, 9, 8, 9));
    p.drawEllipse(QRectF(cx + 1, 9, 8, 9));
    // Eyes.
    p.setBrush(colour(1));
    if (blink) {
        p.drawRect(QRectF(cx - 7, 13, 5, 1));
        p.drawRect(QRectF(cx + 2, 13, 5, 1));
    } else {
        p.drawEllipse(QRectF(cx - 6, 11, 3, 4));
        p.drawEllipse(QRectF(cx + 3, 11, 3, 4));
    }
    // Beak.
    p.setBrush(colour(3));
    p.drawPolygon(QPolygonF({QPointF(cx - 4, 17), QPointF(cx + 4, 17), QPointF(cx, 22)}));
    // Scarf.
    p.setBrush(colour(7));
    p.drawRect(QRectF(cx - 11, 23, 22, 3));
    p.drawRect(QRectF(cx + 5, 23, 4, 10));
    // Flippers: the left one hangs, the right one waves.
    p.setBrush(colour(1));
    p.drawPolygon(QPolygonF({QPointF(cx - 15, 27), QPointF(cx - 22, 44), QPointF(cx - 13, 40)}));
    // The waving flipper turns about the shoulder, from hanging to raised.
    QTransform wave = t;
    wave.translate(cx + 13, 28);
    wave.rotate(-20 - 110 * flipper);
    p.setTransform(wave);
    p.drawEllipse(QRectF(-3, 0, 7, 17));
    return image;
}

bool MakePenguin(const std::string& dir) {
    const int width = DialogUnitsToPixelsX(47);
    const int height = DialogUnitsToPixelsY(38);
    struct Pose {
        double tilt, flipper;
        bool blink;
    };
    const Pose poses[] = {{0, 0.0, false}, {-6, 0.3, false}, {-9, 0.7, false}, {-5, 1.0, false},
                          {0, 0.7, true},  {5, 0.3, false},  {9, 0.0, false},  {5, 0.0, false}};
    std::vector<GifEncodeFrame> frames;
    for (const Pose& pose : poses) {
        const QImage image = DrawPenguin(width, height, pose.tilt, pose.flipper, pose.blink);
        // Transparent whole frames: each one clears itself away (disposal 2).
        frames.push_back(WholeFrame(image, kPenguinPalette, 0, 15, 2));
    }
    frames[0].comment = "Tapwright penguin";
    return WriteGif(dir + "/penguin.GIF", width, height, kPenguinPalette, frames);
}

// ---- letters ------------------------------------------------------------------

constexpr int kLetterWidth = DialogUnitsToPixelsX(24);   // 36
constexpr int kLetterHeight = DialogUnitsToPixelsY(31);  // 50

void FillPath(QPainter& p, const QPainterPath& path, QColor colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
}

QPainterPath Box(double x, double y, double w, double h) {
    QPainterPath path;
    path.addRect(x, y, w, h);
    return path;
}

QPainterPath LetterF() {
    return Box(7, 5, 8, 40)          // stem
        .united(Box(7, 5, 23, 8))    // top bar
        .united(Box(7, 21, 18, 7));  // middle bar
}

QPainterPath LetterI() {
    return Box(14, 5, 8, 40)         // stem
        .united(Box(8, 5, 20, 6))    // top serif
        .united(Box(8, 39, 20, 6));  // foot serif
}

QPainterPath LetterR() {
    QPainterPath bowl;
    bowl.addRoundedRect(6, 5, 24, 22, 10, 10);
    QPainterPath hole;
    hole.addRoundedRect(14, 12, 9, 8, 4, 4);
    QPainterPath leg;
    leg.addPolygon(QPolygonF({QPointF(15, 25), QPointF(23, 25), QPointF(32, 45), QPointF(23, 45)}));
    leg.closeSubpath();
    return Box(6, 5, 8, 40).united(bowl.subtracted(hole)).united(leg);
}

const Palette kFPalette{{
    qRgb(24, 36, 88),     // 0 night blue background
    qRgb(222, 170, 40),   // 1 gold
    qRgb(255, 236, 150),  // 2 shine
    qRgb(255, 255, 255),  // 3 shine core
    qRgb(40, 56, 120),    // 4 background shine
    qRgb(150, 110, 20),   // 5 gold shadow
}};

QImage DrawF(int step) {
    QImage image = Canvas(kLetterWidth, kLetterHeight, QColor(kFPalette.colours[0]));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QPainterPath f = LetterF();
    FillPath(p, f.translated(2, 2), QColor(kFPalette.colours[5]));
    FillPath(p, f, QColor(kFPalette.colours[1]));
    if (step > 0) {
        // A slanted band of light moving from left to right across the letter.
        const double x = -20 + (step - 1) * 9.0;
        QPainterPath band;
        band.addPolygon(QPolygonF(
            {QPointF(x, 50), QPointF(x + 7, 50), QPointF(x + 23, 0), QPointF(x + 16, 0)}));
        FillPath(p, band.intersected(f), QColor(kFPalette.colours[2]));
        QPainterPath core;
        core.addPolygon(QPolygonF(
            {QPointF(x + 2, 50), QPointF(x + 4, 50), QPointF(x + 20, 0), QPointF(x + 18, 0)}));
        FillPath(p, core.intersected(f), QColor(kFPalette.colours[3]));
        FillPath(p, band.subtracted(f).subtracted(f.translated(2, 2)),
                 QColor(kFPalette.colours[4]));
    }
    return image;
}

bool MakeF(const std::string& dir) {
    // Frame 0 is the whole letter; every later frame is only the rectangle that
    // changed, left in place (disposal 1).
    std::vector<GifEncodeFrame> frames;
    QImage previous;
    for (int step = 0; step <= 7; ++step) {
        const QImage image = DrawF(step);
        if (step == 0) {
            frames.push_back(WholeFrame(image, kFPalette, -1, 80, 1));
        } else {
            const QRect area = ChangedArea(previous, image);
            GifEncodeFrame frame;
            frame.left = area.left();
            frame.top = area.top();
            frame.width = area.width();
            frame.height = area.height();
            frame.indices = ToIndices(image, kFPalette, -1, area);
            frame.delay = 8;
            frame.disposal = 1;
            frames.push_back(std::move(frame));
        }
        previous = image;
    }
    // Back to the plain letter before the loop starts again.
    const QImage plain = DrawF(0);
    const QRect area = ChangedArea(previous, plain);
    GifEncodeFrame last;
    last.left = area.left();
    last.top = area.top();
    last.width = area.width();
    last.height = area.height();
    last.indices = ToIndices(plain, kFPalette, -1, area);
    last.delay = 8;
    last.disposal = 1;
    frames.push_back(std::move(last));
    return WriteGif(dir + "/f_md_clr.gif", kLetterWidth, kLetterHeight, kFPalette, frames);
}

const Palette kIPalette{{
    qRgb(255, 0, 255),   // 0 transparent
    qRgb(230, 60, 50),   // 1 red
    qRgb(245, 150, 30),  // 2 orange
    qRgb(240, 210, 40),  // 3 yellow
    qRgb(60, 170, 80),   // 4 green
    qRgb(40, 120, 210),  // 5 blue
    qRgb(130, 70, 190),  // 6 violet
    qRgb(30, 30, 40),    // 7 outline
}};

QImage DrawI(int step) {
    QImage image = Canvas(kLetterWidth, kLetterHeight, Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QPainterPath letter = LetterI();
    // Outline one pixel round the letter, then colour bands that run downwards.
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy)
            FillPath(p, letter.translated(dx, dy), QColor(kIPalette.colours[7]));
    }
    // Stripe i starts at (i - 6) * band + shift and has colour 1 + i % 6, so a
    // shift of six bands gives the first frame again.
    const int band = 7;
    const int shift = step * 2;
    for (int i = 0; i < 6 + kLetterHeight / band + 2; ++i) {
        QPainterPath stripe;
        stripe.addRect(0, (i - 6) * band + shift, kLetterWidth, band);
        FillPath(p, stripe.intersected(letter), QColor(kIPalette.colours[1 + i % 6]));
    }
    return image;
}

bool MakeI(const std::string& dir) {
    // Transparent whole frames; the bands move 2 pixels a frame and repeat after a
    // band of 7 pixels has passed 6 colours, that is 21 frames.
    std::vector<GifEncodeFrame> frames;
    for (int step = 0; step < 21; ++step)
        frames.push_back(WholeFrame(DrawI(step), kIPalette, 0, 6, 2));
    return WriteGif(dir + "/i_md_clr.gif", kLetterWidth, kLetterHeight, kIPalette, frames);
}

const Palette kRPalette{{
    qRgb(110, 20, 40),    // 0 wine background
    qRgb(240, 235, 225),  // 1 ivory letter
    qRgb(60, 10, 24),     // 2 shadow
    qRgb(255, 220, 90),   // 3 spark
    qRgb(255, 255, 255),  // 4 spark core
    qRgb(200, 190, 180),  // 5 letter edge
}};

QImage DrawR() {
    QImage image = Canvas(kLetterWidth, kLetterHeight, QColor(kRPalette.colours[0]));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QPainterPath letter = LetterR();
    FillPath(p, letter.translated(2, 2), QColor(kRPalette.colours[2]));
    FillPath(p, letter.translated(1, 1), QColor(kRPalette.colours[5]));
    FillPath(p, letter, QColor(kRPalette.colours[1]));
    return image;
}

QImage DrawSpark(int size) {
    QImage image = Canvas(size, size, Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    const int c = size / 2;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(kRPalette.colours[3]));
    p.drawRect(c - 1, 0, 3, size);
    p.drawRect(0, c - 1, size, 3);
    p.drawRect(c - 2, c - 2, 5, 5);
    p.setBrush(QColor(kRPalette.colours[4]));
    p.drawRect(c - 1, c - 1, 3, 3);
    return image;
}

bool MakeR(const std::string& dir) {
    // Frame 0 is the letter, kept (disposal 1). Then a spark visits points along
    // the letter; each spark frame is small and puts back what was under it
    // (disposal 3). The spark's own background is transparent.
    std::vector<GifEncodeFrame> frames;
    frames.push_back(WholeFrame(DrawR(), kRPalette, -1, 40, 1));
    const QPoint path[] = {{10, 42}, {10, 30}, {10, 18}, {10, 7},  {20, 6},
                           {27, 12}, {22, 23}, {15, 24}, {23, 32}, {28, 42}};
    const int spark_size = 9;
    const QImage spark = DrawSpark(spark_size);
    Palette spark_palette = kRPalette;
    spark_palette.colours.push_back(qRgb(255, 0, 255));  // 6: transparent for the spark
    for (const QPoint& at : path) {
        GifEncodeFrame frame = WholeFrame(spark, spark_palette, 6, 9, 3);
        frame.left = at.x() - spark_size / 2;
        frame.top = at.y() - spark_size / 2;
        frames.push_back(std::move(frame));
    }
    return WriteGif(dir + "/r_md_clr.gif", kLetterWidth, kLetterHeight, spark_palette, frames);
}

// ---- logo ---------------------------------------------------------------------

bool MakeLogo(const std::string& dir) {
    const int width = 220;
    const int height = 120;
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient orange(0, 0, 0, height);
    orange.setColorAt(0, QColor(252, 150, 40));
    orange.setColorAt(1, QColor(226, 96, 18));
    p.fillRect(image.rect(), orange);

    // A tapped delay line's impulse response: stems of a windowed sinc.
    const QColor ink(70, 28, 6);
    const QColor light(255, 244, 224);
    const int taps = 15;
    const double base = 62;
    for (int n = 0; n < taps; ++n) {
        const double k = n - (taps - 1) / 2.0;
        const double sinc =
            k == 0 ? 1.0 : std::sin(std::numbers::pi * k / 3.0) / (std::numbers::pi * k / 3.0);
        const double window = 0.54 + 0.46 * std::cos(2 * std::numbers::pi * k / (taps - 1));
        const double h = 44 * sinc * window;
        const double x = 20 + n * 12;
        p.setPen(QPen(light, 2));
        p.drawLine(QPointF(x, base), QPointF(x, base - h));
        p.setPen(Qt::NoPen);
        p.setBrush(light);
        p.drawEllipse(QPointF(x, base - h), 3.2, 3.2);
    }
    p.setPen(QPen(ink, 1.5));
    p.drawLine(QPointF(10, base), QPointF(width - 10, base));

    QFont font("DejaVu Sans");
    font.setPixelSize(34);
    font.setBold(true);
    p.setFont(font);
    const QRect text_box(0, 70, width, 44);
    p.setPen(ink);
    p.drawText(text_box.translated(2, 1), Qt::AlignCenter, "Tapwright");
    p.setPen(light);
    p.drawText(text_box, Qt::AlignCenter, "Tapwright");
    p.end();

    // 96 dots per inch, so the picture shows at its own size in pixels.
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    QSaveFile file(QString::fromStdString(dir + "/zeb_logo_orange_bg.jpg"));
    if (!file.open(QIODevice::WriteOnly)) return false;
    QImageWriter writer(&file, "jpg");
    writer.setQuality(92);
    if (!writer.write(image)) return false;
    return file.commit();
}

// ---- application icon ------------------------------------------------------------

// The graphs' own colours: the stems of an impulse response in the current-design
// yellow over the graph background, framed in the frame green.
bool MakeIcon(const std::string& dir) {
    const int size = 128;
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF tile(4, 4, size - 8, size - 8);
    p.setPen(QPen(QColor(105, 170, 100), 6));
    p.setBrush(QColor(40, 85, 85));
    p.drawRoundedRect(tile, 22, 22);

    const QColor stem(200, 200, 0);
    const int taps = 9;
    const double base = 88;
    p.setPen(QPen(QColor(50, 110, 110), 3));
    p.drawLine(QPointF(18, base), QPointF(size - 18, base));
    for (int n = 0; n < taps; ++n) {
        const double k = n - (taps - 1) / 2.0;
        const double sinc =
            k == 0 ? 1.0 : std::sin(std::numbers::pi * k / 2.5) / (std::numbers::pi * k / 2.5);
        const double h = 58 * sinc;
        const double x = 24 + n * 10;
        p.setPen(QPen(stem, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(x, base), QPointF(x, base - h));
        p.setPen(Qt::NoPen);
        p.setBrush(stem);
        p.drawEllipse(QPointF(x, base - h), 5, 5);
    }
    p.end();

    QSaveFile file(QString::fromStdString(dir + "/tapwright_icon.png"));
    if (!file.open(QIODevice::WriteOnly)) return false;
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) return false;
    return file.commit();
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = true;
    ok = MakePenguin(dir) && ok;
    ok = MakeF(dir) && ok;
    ok = MakeI(dir) && ok;
    ok = MakeR(dir) && ok;
    ok = MakeLogo(dir) && ok;
    ok = MakeIcon(dir) && ok;
    if (!ok) {
        std::fprintf(stderr, "could not write every picture into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
