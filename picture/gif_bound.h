#pragma once

// Bounds on the work of decoding one GIF image: the part of a frame that meets the
// logical screen, and image data cut short once it has filled that part. A damaged
// descriptor may claim up to 65535 x 65535 pixels; with these bounds a decode costs
// at most the screen's pixels and the data's length, whatever the claim.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tapwright {

// A rectangle in pixels on the logical screen.
struct GifRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool Empty() const { return width <= 0 || height <= 0; }
};

// The part of a frame's rectangle (each field 0..65535) that lies on a logical screen
// of screen_width x screen_height pixels (>= 0). When they do not meet the result is
// empty: 0 x 0 at the frame's corner moved onto the screen's edge.
GifRect ClipToScreen(int left, int top, int width, int height, int screen_width, int screen_height);

// Number of pixels of an image's data, counted in the order the data holds them, up
// to and including the last one that lands on the screen; 0 when none does.
// Interlaced data counts whole rows of the on-screen part, since its rows come in
// four passes.
std::int64_t PixelsUpToLastOnScreen(int left, int top, int width, int height, bool interlaced,
                                    int screen_width, int screen_height);

// An LZW code stream (an image's sub-block payloads joined) cut for its first
// `pixels` pixels (>= 0): the codes those pixels need, then the end code, so that a
// decoder reads no further. Nothing when the stream ends, meets its end code or is
// damaged before giving more than that, and for a `min_code_size` above 12, which
// decoders refuse: the stream can then be decoded as it is.
std::optional<std::vector<std::uint8_t>> CutLzwStream(int min_code_size,
                                                      std::span<const std::uint8_t> codes,
                                                      std::int64_t pixels);

// A copy of the GIF `gif` in which the image whose descriptor starts at offset
// `image_at` keeps only the image data that fills its pixels on a screen of
// screen_width x screen_height: the stream is cut as CutLzwStream does and re-packed
// into sub-blocks. Nothing when the data holds no more than that, or the descriptor
// cannot be read; the bytes can then be decoded as they are.
std::optional<std::vector<std::uint8_t>> CutImageToScreen(std::span<const std::uint8_t> gif,
                                                          std::size_t image_at, int screen_width,
                                                          int screen_height);

}  // namespace tapwright
