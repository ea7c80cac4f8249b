#include "picture/picture_decode.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <cstdlib>
#include <utility>

#include "picture/gif_bound.h"
#include "picture/gif_walk.h"

namespace tapwright {

namespace {

// The reader's image as it comes, in its own format; null when it does not decode.
QImage ReadImage(std::span<const std::uint8_t> data, bool gif) {
    // The reader is told the format of a GIF, so it takes any version bytes.
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()),
                                               static_cast<qsizetype>(data.size()));
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly)) return {};
    QImageReader reader(&buffer, gif ? QByteArray("gif") : QByteArray());
    reader.setAutoTransform(false);
    return reader.read();
}

QImage DecodeBytes(std::span<const std::uint8_t> data, bool gif) {
    QImage image = ReadImage(data, gif);
    if (image.isNull()) return {};
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// A one-image GIF decoded with its image data cut after the pixels that land on the
// screen, so that a descriptor's claim never sets the work.
QImage ReadGifImage(std::span<const std::uint8_t> gif, std::optional<std::size_t> image_at,
                    int screen_width, int screen_height) {
    if (image_at) {
        if (const auto cut = CutImageToScreen(gif, *image_at, screen_width, screen_height))
            return ReadImage(*cut, true);
    }
    return ReadImage(gif, true);
}

bool ScreenWithinBounds(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           static_cast<std::int64_t>(width) * height <= kMaxGifScreenPixels;
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
                                            int dpi_y, PictureRefusal* why) {
    auto refuse = [why](PictureRefusal reason) -> std::optional<DecodedPicture> {
        if (why != nullptr) *why = reason;
        return std::nullopt;
    };
    if (why != nullptr) *why = PictureRefusal::None;
    DecodedPicture result;
    if (!HasGifSignature(data)) {
        result.still = DecodeBytes(data, false);
        if (result.still.isNull()) return refuse(PictureRefusal::NotAPicture);
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
    if (graphic_blocks == 0) return refuse(PictureRefusal::NotAPicture);
    // Every image is decoded onto a canvas of the screen's size, so the screen's
    // size is checked before any decoding.
    if (!ScreenWithinBounds(result.width, result.height)) return refuse(PictureRefusal::ScreenSize);
    if (graphic_blocks == 1) {
        walk.SetOffset(walk.FirstBlockOffset());
        std::optional<std::size_t> image_at;
        if (walk.SkipGraphicBlock() && data[walk.GraphicOffset()] == 0x2C)
            image_at = walk.GraphicOffset();
        QImage image = ReadGifImage(data, image_at, result.width, result.height);
        if (image.isNull()) return refuse(PictureRefusal::NotAPicture);
        result.still = std::move(image);
        result.still.convertTo(QImage::Format_ARGB32_Premultiplied);
        return result;
    }

    // Each frame that meets the screen is decoded onto a canvas of the screen's
    // size: the budget is checked before any of them is.
    const std::int64_t screen_pixels = static_cast<std::int64_t>(result.width) * result.height;
    std::int64_t decoded_pixels = 0;
    walk.SetOffset(walk.FirstBlockOffset());
    while (const std::optional<GifFrameBlock> block = walk.ExtractFrame()) {
        if (block->image_at && !ClipToScreen(block->left, block->top, block->width, block->height,
                                             result.width, result.height)
                                    .Empty()) {
            decoded_pixels += screen_pixels;
            if (decoded_pixels > kMaxGifFramePixels) return refuse(PictureRefusal::TooManyFrames);
        }
    }

    walk.SetOffset(walk.FirstBlockOffset());
    while (std::optional<GifFrameBlock> block = walk.ExtractFrame()) {
        const GifRect on_screen = ClipToScreen(block->left, block->top, block->width, block->height,
                                               result.width, result.height);
        PictureFrame frame;
        frame.left = on_screen.left;
        frame.top = on_screen.top;
        frame.width = on_screen.width;
        frame.height = on_screen.height;
        frame.delay = block->delay;
        frame.disposal = block->disposal;
        if (!on_screen.Empty() && block->image_at) {
            // The reader places the frame on a canvas of the logical screen's size;
            // the record keeps only the frame's part of it.
            const QImage screen =
                ReadGifImage(block->bytes, block->image_at, result.width, result.height);
            if (screen.size() != QSize(result.width, result.height))
                continue;  // a frame that does not decode is left out
            frame.picture = screen.copy(frame.left, frame.top, frame.width, frame.height);
            frame.picture.convertTo(QImage::Format_ARGB32_Premultiplied);
        } else if (!block->image_at) {
            continue;  // a plain text extension gives the reader no image
        }
        result.frames.push_back(std::move(frame));
    }
    if (result.frames.empty()) return refuse(PictureRefusal::NotAPicture);
    return result;
}

}  // namespace tapwright
