#pragma once

// A small GIF writer, used by the tool that draws our own pictures and by the
// tests that build GIF byte sequences. The program itself only reads GIFs.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tapwright {

// Writes a GIF: a small encoder for pictures drawn by our own tools and for tests.
// Pixels are colour indices, one byte each, row by row; `palette` holds 3 bytes per
// colour (2..256 colours, rounded up to a power of two with black entries).
struct GifEncodeFrame {
    std::vector<std::uint8_t> indices;  // width * height entries
    int left = 0, top = 0, width = 0, height = 0;
    int delay = 10;        // hundredths of a second
    int disposal = 0;      // 0..7
    int transparent = -1;  // colour index shown as transparent, or -1
    std::string comment;   // when not empty, a comment between the frame's
                           // graphic control extension and its image
};

// Image data of one frame: the LZW minimum code size byte and the sub-block chain.
std::vector<std::uint8_t> EncodeGifImageData(std::span<const std::uint8_t> indices,
                                             int colour_bits);

// A whole GIF89a file. With `loop`, a looping application extension is written.
std::vector<std::uint8_t> EncodeGif(int screen_width, int screen_height,
                                    std::span<const std::uint8_t> palette,
                                    std::span<const GifEncodeFrame> frames, bool loop);

}  // namespace tapwright
