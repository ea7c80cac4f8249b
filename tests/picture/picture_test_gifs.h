#pragma once

// Small decodable GIFs for the picture tests, built with our own encoder.

#include <QColor>
#include <cstdint>
#include <vector>

#include "picture/gif_encode.h"

namespace tapwright::test {

// Palette: 0 red, 1 green, 2 blue, 3 white.
inline const std::vector<std::uint8_t> kPalette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
inline const QRgb kRed = qRgb(255, 0, 0);
inline const QRgb kGreen = qRgb(0, 255, 0);
inline const QRgb kBlue = qRgb(0, 0, 255);
inline const QRgb kWhite = qRgb(255, 255, 255);

inline GifEncodeFrame SolidFrame(int left, int top, int width, int height, std::uint8_t index,
                                 int delay = 10, int disposal = 0) {
    GifEncodeFrame f;
    f.left = left;
    f.top = top;
    f.width = width;
    f.height = height;
    f.indices.assign(static_cast<std::size_t>(width) * height, index);
    f.delay = delay;
    f.disposal = disposal;
    return f;
}

// An animation of `frames` whole frames on a screen of width x height, frame k in
// colour k % 3, with the given delay.
inline std::vector<std::uint8_t> SolidAnimation(int width, int height, int frames, int delay) {
    std::vector<GifEncodeFrame> list;
    for (int k = 0; k < frames; ++k) {
        list.push_back(SolidFrame(0, 0, width, height, static_cast<std::uint8_t>(k % 3), delay, 1));
    }
    return EncodeGif(width, height, kPalette, list, true);
}

}  // namespace tapwright::test
