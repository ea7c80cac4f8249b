#pragma once

// Turning picture bytes into drawable images: a GIF with two or more graphic
// blocks is cut into one stand-alone GIF per frame and each frame is decoded on
// its own; any other picture, and a GIF with a single graphic block, is decoded
// whole. Decoding uses Qt's image readers.

#include <QImage>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tapwright {

// Longest side in pixels of a picture, and so of a picture surface.
inline constexpr int kMaxPictureSide = 4096;
// Most pixels of a GIF's logical screen: a larger one is refused before any decoding.
inline constexpr std::int64_t kMaxGifScreenPixels = std::int64_t{1} << 22;
// Most pixels that the frames of one animated GIF may decode, counted as one logical
// screen per frame that meets the screen: the bound on an animation's memory
// (4 bytes a pixel) and decoding time. A GIF that needs more is refused.
inline constexpr std::int64_t kMaxGifFramePixels = std::int64_t{1} << 24;

// Why DecodePicture gave nothing.
enum class PictureRefusal {
    None,
    NotAPicture,    // bytes that do not decode, a GIF without any frame that decodes
    ScreenSize,     // a GIF logical screen with a side of 0 or above kMaxPictureSide,
                    // or above kMaxGifScreenPixels in all
    TooManyFrames,  // frames of more than kMaxGifFramePixels in all
};

// Frame record of an animated GIF.
// The rectangle is the image descriptor's, clipped to the logical screen: a frame is
// composed only where it meets the screen. A frame that does not meet it keeps an
// empty rectangle and a null picture, and still counts for the timing.
struct PictureFrame {
    QImage picture;    // the frame's own pixels, width x height, with transparency
    int width = 0;     // pixels, 0..screen width
    int height = 0;    // pixels, 0..screen height
    int left = 0;      // pixels from the left edge of the logical screen
    int top = 0;       // pixels from the top edge of the logical screen
    int delay = -1;    // hundredths of a second; -1 without a graphic control extension
    int disposal = 0;  // disposal method 0..7; 0 without a graphic control extension
};

using PictureFrameList = std::vector<PictureFrame>;

// What a successful load keeps: never the file's bytes, only decoded copies.
struct DecodedPicture {
    bool gif = false;
    int width = 0;  // pixels: the logical screen of a GIF, else the decoder's size on screen
    int height = 0;
    QImage still;             // the picture of a still image; null for an animated GIF
    PictureFrameList frames;  // frames of an animated GIF that decoded, in file order

    // A GIF of which more than one frame decoded.
    bool IsAnimated() const { return gif && frames.size() > 1; }
};

// Decodes picture bytes. `dpi_x` and `dpi_y` (dots per inch, > 0) are the screen's,
// used to size a picture that is not a GIF from its natural size. Returns nothing,
// with the reason in `*why` when `why` is given, for bytes that do not decode, a GIF
// without any graphic block, an animated GIF none of whose frames decodes, and a GIF
// beyond the bounds above. A GIF's decoding reads at most the image data that fills
// its frames' pixels on the logical screen.
std::optional<DecodedPicture> DecodePicture(std::span<const std::uint8_t> data, int dpi_x,
                                            int dpi_y, PictureRefusal* why = nullptr);

// a * b / c rounded to the nearest integer, halves away from zero; -1 when c is 0.
int MulDiv(int a, int b, int c);

// Natural size of one side of a picture in HIMETRIC units (0.01 mm) from its
// pixels and its resolution in dots per metre (a resolution of 0 or less counts
// as 96 dots per inch).
int HimetricFromPixels(int pixels, int dots_per_metre);

// Pixels on a screen of `dpi` dots per inch of a side `himetric` units long.
inline int PixelsFromHimetric(int himetric, int dpi) {
    return MulDiv(himetric, dpi, 2540);
}

}  // namespace tapwright
