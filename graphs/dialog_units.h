#pragma once

// Dialog units to pixels, as the window lays out its controls and graph frames:
// x = du * 3/2, y = du * 13/8 (truncated), the 6 x 13 base units of an 8-point
// dialog font. Header only, without Qt.

namespace tapwright {

constexpr int DialogUnitsToPixelsX(int du) {
    return du * 3 / 2;
}
constexpr int DialogUnitsToPixelsY(int du) {
    return du * 13 / 8;
}

}  // namespace tapwright
