#include "picture/picture_decode.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <cstdlib>

#include "picture/gif_walk.h"

namespace tapwright {

namespace {

QImage DecodeBytes(std::span<const std::uint8_t> data, bool gif) {
    // The reader is told the format of a GIF, so it takes any version bytes.
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()),
                                               static_cast<qsizetype>(data.size()));
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly)) return {};
    QImageReader reader(&buffer, gif ? QByteArray("gif") : QByteArray());
    reader.setAutoTransform(false);
    QImage image = reader.read();
    if (image.isNull()) return {};
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const long long product = static_cast<long long>(a) * b;
    const long long half = std::llabs(static_cast<long long>(c)) / 2;
    const bool negative = (product < 0) != (c < 0);
    const long long q = (std::llabs(product) + half) / std::llabs(static_cast<long long>(c));
    return static_cast<int>(negative ? -q : q);
}

int HimetricFromPixels(int pixels, int dots_per_metre) {
    // 96 dots per inch, the resolution of a picture that states none.
    constexpr int kDefaultDotsPerMetre = 3780;
    return MulDiv(pixels, 100000, dots_per_metre > 0 ? dots_per_metre : kDefaultDotsPerMetre);
}

std::optional<DecodedPicture> DecodePicture(std::span<const std::uint8_t> data, int dpi_x,
                                            int dpi_y) {
    DecodedPicture result;
    if (!HasGifSignature(data)) {
        result.still = DecodeBytes(data, false);
        if (result.still.isNull()) return std::nullopt;
        result.width = PixelsFromHimetric(
            HimetricFromPixels(result.still.width(), result.still.dotsPerMeterX()), dpi_x);
        result.height = PixelsFromHimetric(
            HimetricFromPixels(result.still.height(), result.still.dotsPerMeterY()), dpi_y);
        return result;
    }

    result.gif = true;
    GifWalk walk(data);
    result.width = walk.ScreenWidth();
    result.height = walk.ScreenHeight();
    const int graphic_blocks = walk.CountGraphicBlocks();
    if (graphic_blocks == 0) return std::nullopt;
    if (graphic_blocks == 1) {
        result.still = DecodeBytes(data, true);
        if (result.still.isNull()) return std::nullopt;
        return result;
    }

    walk.SetOffset(walk.FirstBlockOffset());
    while (std::optional<GifFrameBlock> block = walk.ExtractFrame()) {
        QImage screen = DecodeBytes(block->bytes, true);
        if (screen.isNull()) continue;  // a frame that does not decode is left out
        PictureFrame frame;
        frame.width = block->width;
        frame.height = block->height;
        frame.left = block->left;
        frame.top = block->top;
        frame.delay = block->delay;
        frame.disposal = block->disposal;
        // The reader places the frame on a canvas of the logical screen's size;
        // the record keeps only the frame's own rectangle.
        if (screen.size() == QSize(result.width, result.height)) {
            frame.picture = screen.copy(frame.left, frame.top, frame.width, frame.height);
        } else {
            frame.picture = screen;
        }
        result.frames.push_back(std::move(frame));
    }
    if (result.frames.empty()) return std::nullopt;
    return result;
}

}  // namespace tapwright
