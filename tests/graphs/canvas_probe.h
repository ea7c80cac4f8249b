#pragma once

// Pixel probes shared by the graphs tests.

#include <functional>
#include <vector>

#include "graphs/mem_canvas.h"

namespace tapwright::test {

inline constexpr Colour kBlack = MakeRgb(0, 0, 0);

// Pixels of `colour` inside [x0, x1] x [y0, y1] (inclusive).
inline int CountColour(const CMemCanvas& c, Colour colour, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) n += c.GetPixel(x, y) == colour ? 1 : 0;
    }
    return n;
}

inline int CountColour(const CMemCanvas& c, Colour colour) {
    return CountColour(c, colour, 0, 0, c.Width() - 1, c.Height() - 1);
}

// Rows of column x that hold `colour`, top to bottom.
inline std::vector<int> RowsWith(const CMemCanvas& c, int x, Colour colour) {
    std::vector<int> rows;
    for (int y = 0; y < c.Height(); ++y) {
        if (c.GetPixel(x, y) == colour) rows.push_back(y);
    }
    return rows;
}

// Columns of row y that hold `colour`, left to right.
inline std::vector<int> ColumnsWith(const CMemCanvas& c, int y, Colour colour) {
    std::vector<int> cols;
    for (int x = 0; x < c.Width(); ++x) {
        if (c.GetPixel(x, y) == colour) cols.push_back(x);
    }
    return cols;
}

// Topmost row of column x with `colour`, or -1.
inline int TopRow(const CMemCanvas& c, int x, Colour colour) {
    for (int y = 0; y < c.Height(); ++y) {
        if (c.GetPixel(x, y) == colour) return y;
    }
    return -1;
}

}  // namespace tapwright::test
