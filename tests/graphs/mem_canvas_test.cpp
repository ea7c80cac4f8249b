#include "graphs/mem_canvas.h"

#include <gtest/gtest.h>

#include "tests/graphs/canvas_probe.h"

namespace tapwright {
namespace {

using test::CountColour;
using test::kBlack;

constexpr Colour kRed = MakeRgb(255, 0, 0);
constexpr Colour kBlue = MakeRgb(0, 0, 255);

CMemCanvas Made(int w, int h) {
    CMemCanvas c;
    EXPECT_TRUE(c.Create(0, 0, w, h));
    return c;
}

TEST(MemCanvas, CreateGivesBlackCanvasWithGreenPenAndBlackBrush) {
    CMemCanvas c;
    EXPECT_FALSE(c.IsCreated());
    ASSERT_TRUE(c.Create(10, 10, 110, 60));
    EXPECT_EQ(c.Width(), 100);
    EXPECT_EQ(c.Height(), 50);
    EXPECT_EQ(CountColour(c, kBlack), 100 * 50);
    EXPECT_EQ(c.Pen().style, PenStyle::Solid);
    EXPECT_EQ(c.Pen().width, 0);
    EXPECT_EQ(c.Pen().colour, MakeRgb(0, 255, 0));
    EXPECT_EQ(c.Brush().colour, kBlack);

    // A second Create replaces the pixels, black again, at the new size.
    c.Clear(kRed);
    c.SetPen(PenStyle::Solid, 2, kRed);
    ASSERT_TRUE(c.Create(0, 0, 30, 20));
    EXPECT_EQ(c.Width(), 30);
    EXPECT_EQ(c.Height(), 20);
    EXPECT_EQ(CountColour(c, kBlack), 30 * 20);
    EXPECT_EQ(c.Pen().colour, MakeRgb(0, 255, 0));
}

TEST(MemCanvas, EmptyCanvasRefusesEverything) {
    CMemCanvas c;
    CMemCanvas target = Made(4, 4);
    EXPECT_FALSE(c.SetPen(PenStyle::Solid, 1, kRed));
    EXPECT_FALSE(c.SetBrush(kRed));
    EXPECT_FALSE(c.Clear(kRed));
    EXPECT_FALSE(c.CopyTo(&target));
    EXPECT_FALSE(c.OrTo(&target));
    EXPECT_FALSE(target.CopyTo(nullptr));
    EXPECT_FALSE(c.TextOut(0, 0, "x"));
    EXPECT_FALSE(c.Create(5, 5, 5, 9));  // zero width
    EXPECT_EQ(CountColour(target, kBlack), 16);
}

TEST(MemCanvas, ClearFillsEveryPixelAndKeepsTheBrush) {
    CMemCanvas c = Made(7, 5);
    c.SetBrush(kBlue);
    ASSERT_TRUE(c.Clear(kBackgroundColour));
    EXPECT_EQ(CountColour(c, kBackgroundColour), 35);
    EXPECT_EQ(c.GetPixel(6, 4), kBackgroundColour);
    EXPECT_EQ(c.Brush().colour, kBlue);
}

TEST(MemCanvas, OrCompositionRules) {
    struct Case {
        Colour source;
        Colour target;
        Colour result;
    };
    const Case cases[] = {
        {kBlack, kBackgroundColour, kBackgroundColour},
        {kBackgroundColour, kBackgroundColour, kBackgroundColour},
        {kFrameColour, kBackgroundColour, MakeRgb(105, 255, 117)},
        {kGridColour, kBackgroundColour, MakeRgb(58, 119, 119)},
    };
    for (const Case& k : cases) {
        CMemCanvas src = Made(3, 2);
        CMemCanvas dst = Made(3, 2);
        src.Clear(k.source);
        dst.Clear(k.target);
        ASSERT_TRUE(src.OrTo(&dst));
        EXPECT_EQ(CountColour(dst, k.result), 6) << std::hex << k.source << " | " << k.target;
    }
}

TEST(MemCanvas, CopyToCopiesOriginToOriginAndClips) {
    CMemCanvas big = Made(10, 8);
    CMemCanvas small = Made(4, 3);
    small.Clear(kRed);
    ASSERT_TRUE(small.CopyTo(&big));
    EXPECT_EQ(CountColour(big, kRed), 12);
    EXPECT_EQ(CountColour(big, kRed, 0, 0, 3, 2), 12);
    big.Clear(kBlue);
    ASSERT_TRUE(big.CopyTo(&small));
    EXPECT_EQ(CountColour(small, kBlue), 12);
}

TEST(MemCanvas, ThinLinesLeaveOutTheirEndPoint) {
    struct Case {
        int x0, y0, x1, y1;
        int pixels;
    };
    const Case cases[] = {
        {2, 5, 12, 5, 10},  // horizontal
        {12, 5, 2, 5, 10},  // leftwards
        {4, 1, 4, 9, 8},    // vertical
        {1, 1, 8, 8, 7},    // diagonal
        {3, 3, 3, 3, 0},    // no length, no pixel
        {0, 0, 15, 4, 15},  // shallow slope: one pixel per column
    };
    for (const Case& k : cases) {
        CMemCanvas c = Made(20, 12);
        c.SelectPen(CPen{PenStyle::Solid, 1, kRed});
        c.MoveTo(k.x0, k.y0);
        c.LineTo(k.x1, k.y1);
        EXPECT_EQ(CountColour(c, kRed), k.pixels)
            << k.x0 << "," << k.y0 << " -> " << k.x1 << "," << k.y1;
        EXPECT_EQ(c.GetPixel(k.x1, k.y1), kBlack);
        if (k.pixels > 0) {
            EXPECT_EQ(c.GetPixel(k.x0, k.y0), kRed);
        }
        EXPECT_EQ(c.CurrentX(), k.x1);
        EXPECT_EQ(c.CurrentY(), k.y1);
    }
}

TEST(MemCanvas, WidePenCoversBothEndsTwoPixelsWide) {
    CMemCanvas c = Made(20, 12);
    c.SelectPen(CPen{PenStyle::Solid, 2, kRed});
    c.MoveTo(5, 6);
    c.LineTo(10, 6);
    // Rows 5 and 6, columns 4 ... 10.
    EXPECT_EQ(CountColour(c, kRed), 14);
    EXPECT_EQ(CountColour(c, kRed, 4, 5, 10, 6), 14);
}

TEST(MemCanvas, FarAwayEndPointsAreClippedNotWalked) {
    CMemCanvas c = Made(50, 40);
    c.SelectPen(CPen{PenStyle::Solid, 1, kRed});
    c.MoveTo(-1000000, 20);
    c.LineTo(1000000, 20);
    EXPECT_EQ(CountColour(c, kRed), 50);
    c.Clear(kBlack);
    // Same pixels inside as the line between nearby points of the same direction.
    c.MoveTo(10, -999990);
    c.LineTo(10, 1000000);
    EXPECT_EQ(CountColour(c, kRed), 40);
}

TEST(MemCanvas, SmallEllipseExcludesRightAndBottom) {
    CMemCanvas c = Made(10, 10);
    c.SelectPen(CPen{PenStyle::Solid, 1, kRed});
    c.SelectBrush(CBrush{kBlue});
    c.Ellipse(3, 3, 7, 7);  // box of a plot dot centred on (5, 5)
    const char* expected[] = {
        ".....",  // row 2
        "..##.",  // row 3
        ".####",  // row 4
        ".####",  // row 5
        "..##.",  // row 6
        ".....",  // row 7
    };
    for (int row = 0; row < 6; ++row) {
        for (int col = 0; col < 5; ++col) {
            const bool lit = c.GetPixel(2 + col, 2 + row) != kBlack;
            EXPECT_EQ(lit, expected[row][col] == '#') << "pixel " << 2 + col << "," << 2 + row;
        }
    }
    // The border takes the pen, the 2 x 2 inside the brush.
    EXPECT_EQ(CountColour(c, kRed), 8);
    EXPECT_EQ(CountColour(c, kBlue, 4, 4, 5, 5), 4);
    // A larger ellipse has an inside in the brush colour.
    c.Clear(kBlack);
    c.Ellipse(0, 0, 8, 8);
    EXPECT_GT(CountColour(c, kBlue), 0);
    EXPECT_EQ(c.GetPixel(7, 4), kRed);
    EXPECT_EQ(c.GetPixel(8, 4), kBlack);
    EXPECT_EQ(c.GetPixel(4, 8), kBlack);
}

// At a device pixel ratio of 2 every canvas pixel is a 2 x 2 block of the image,
// and lines, dots and fills land on the blocks of the pixels they cover at ratio 1:
// the same drawing, at the screen's resolution.
TEST(MemCanvas, ScaledCanvasDrawsTheSamePixelsAtFullResolution) {
    CMemCanvas one;
    CMemCanvas two;
    ASSERT_TRUE(one.Create(0, 0, 60, 40));
    ASSERT_TRUE(two.Create(0, 0, 60, 40, 2));
    EXPECT_EQ(two.Width(), 60);
    EXPECT_EQ(two.Image().size(), QSize(120, 80));
    EXPECT_EQ(two.Image().devicePixelRatio(), 2.0);
    EXPECT_FALSE(CMemCanvas().Create(0, 0, 10, 10, 5));
    for (CMemCanvas* c : {&one, &two}) {
        c->SetPen(PenStyle::Solid, 1, kRed);
        c->MoveTo(3, 5);
        c->LineTo(50, 5);  // horizontal, end left out
        c->MoveTo(7, 2);
        c->LineTo(7, 30);  // vertical
        c->SetPen(PenStyle::Solid, 2, kBlue);
        c->MoveTo(10, 35);
        c->LineTo(40, 35);
        c->SetBrush(kBlue);
        c->PatBlt(55, 20, 4, 30);  // clipped at the edge
        c->SetPixel(59, 0, kRed);
        c->Ellipse(20, 10, 24, 14);
    }
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 60; ++x) {
            const Colour c = one.GetPixel(x, y);
            // The whole 2 x 2 block, but for the wide pen's dabs, centred half a pixel
            // differently, and the ellipse's finer outline.
            if (y >= 33 || (x >= 19 && x <= 24 && y >= 9 && y <= 14)) continue;
            for (int dy = 0; dy < 2; ++dy) {
                for (int dx = 0; dx < 2; ++dx) {
                    ASSERT_EQ(two.Image().pixel(2 * x + dx, 2 * y + dy), c) << x << "," << y;
                }
            }
        }
    }
    // The wide line and the dot are there, on the same canvas pixels.
    EXPECT_EQ(two.GetPixel(25, 35), kBlue);
    EXPECT_EQ(two.GetPixel(22, 12), one.GetPixel(22, 12));
}

TEST(MemCanvas, TextAlignmentAnchorsTheCell) {
    const TextExtent e = CanvasTextExtent("88");
    ASSERT_GT(e.width, 0);
    EXPECT_EQ(e.height, 15);
    CMemCanvas c = Made(200, 40);
    c.SetBkMode(BkMode::Transparent);
    c.SetTextColour(kRed);
    struct Case {
        TextAlign align;
        int anchorX;
        int cellLeft;
    };
    const Case cases[] = {{TextAlign::LeftTop, 50, 50},
                          {TextAlign::Right, 100, 100 - e.width},
                          {TextAlign::Centre, 100, 100 - e.width / 2}};
    for (const Case& k : cases) {
        c.Clear(kBlack);
        c.SetTextAlign(k.align);
        ASSERT_TRUE(c.TextOut(k.anchorX, 10, "88"));
        // Ink stays inside the cell [left, left + width) x [10, 10 + height).
        EXPECT_EQ(CountColour(c, kRed, k.cellLeft, 10, k.cellLeft + e.width - 1, 10 + e.height - 1),
                  CountColour(c, kRed))
            << "align " << static_cast<int>(k.align);
        EXPECT_GT(CountColour(c, kRed), 20);
    }
    // An opaque background fills the cell.
    c.Clear(kBlack);
    c.SetTextAlign(TextAlign::LeftTop);
    c.SetBkMode(BkMode::Opaque);
    c.SetBkColour(kBlue);
    c.TextOut(0, 0, "88");
    EXPECT_EQ(CountColour(c, kBlue) + CountColour(c, kRed), e.width * e.height);
}

}  // namespace
}  // namespace tapwright
