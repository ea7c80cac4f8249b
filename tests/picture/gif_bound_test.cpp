#include "picture/gif_bound.h"

#include <gtest/gtest.h>

#include "picture/gif_encode.h"
#include "picture/gif_walk.h"
#include "tests/picture/gif_bytes.h"

namespace tapwright {
namespace {

using test::Bytes;

TEST(GifBound, FrameClippedToTheScreen) {
    struct Case {
        int left, top, width, height;  // descriptor
        GifRect expected;              // on a 36 x 50 screen
    } cases[] = {
        {0, 0, 36, 50, {0, 0, 36, 50}},
        {6, 26, 9, 9, {6, 26, 9, 9}},
        {30, 45, 9, 9, {30, 45, 6, 5}},                // over the right and bottom edges
        {16, 2, 211, 9, {16, 2, 20, 9}},               // wider than the screen
        {0, 0, 65535, 65535, {0, 0, 36, 50}},          // the largest claim
        {65535, 65535, 65535, 65535, {36, 50, 0, 0}},  // sums past 16 bits
        {23, 38408, 50889, 29530, {23, 50, 0, 0}},     // below the screen
        {36, 0, 5, 5, {36, 0, 0, 0}},                  // just right of it
        {3, 4, 0, 7, {3, 4, 0, 0}},                    // no width
    };
    for (const Case& c : cases) {
        const GifRect r = ClipToScreen(c.left, c.top, c.width, c.height, 36, 50);
        EXPECT_EQ((std::vector<int>{r.left, r.top, r.width, r.height}),
                  (std::vector<int>{c.expected.left, c.expected.top, c.expected.width,
                                    c.expected.height}))
            << c.left << "," << c.top << " " << c.width << "x" << c.height;
        EXPECT_EQ(r.Empty(), c.expected.width == 0);
    }
}

TEST(GifBound, PixelsUpToTheLastOneOnTheScreen) {
    struct Case {
        int left, top, width, height;
        bool interlaced;
        std::int64_t expected;  // on a 36 x 50 screen
    } cases[] = {
        {0, 0, 36, 50, false, 36 * 50},
        {0, 0, 36, 50, true, 36 * 50},
        {30, 45, 9, 9, false, 4 * 9 + 6},  // rows 45..49, columns 30..35
        {30, 45, 9, 9, true, 5 * 9},       // whole rows of the on-screen part
        {0, 0, 65535, 65535, false, 49 * 65535 + 36},
        {0, 0, 65535, 65535, true, std::int64_t{50} * 65535},
        {23, 38408, 50889, 29530, false, 0},
        {40, 0, 5, 5, true, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PixelsUpToLastOnScreen(c.left, c.top, c.width, c.height, c.interlaced, 36, 50),
                  c.expected)
            << c.left << "," << c.top << " " << c.width << "x" << c.height << " " << c.interlaced;
    }
}

TEST(GifBound, CutImageKeepsTheBlocksAroundIt) {
    // Screen 8 x 4; the image claims 8 x 64 and carries all 512 pixels.
    const Bytes palette = {0, 0, 0, 255, 255, 255};
    GifEncodeFrame tall;
    tall.width = 8;
    tall.height = 64;
    tall.indices.assign(512, 0);
    for (std::size_t i = 0; i < tall.indices.size(); i += 3) tall.indices[i] = 1;
    Bytes gif = EncodeGif(8, 4, palette, std::vector<GifEncodeFrame>{tall}, false);
    gif.insert(gif.end() - 1, {0x21, 0xFE, 0x02, 'o', 'k', 0x00});  // a comment after it

    GifWalk walk(gif);
    ASSERT_TRUE(walk.SkipGraphicBlock());
    const std::size_t image_at = walk.GraphicOffset();
    const auto cut = CutImageToScreen(gif, image_at, 8, 4);
    ASSERT_TRUE(cut);
    EXPECT_LT(cut->size(), gif.size());
    // Everything up to the code size byte, and everything after the image, unchanged.
    const std::size_t code_size_at = image_at + 10;
    EXPECT_EQ(test::Slice(*cut, 0, code_size_at + 1), test::Slice(gif, 0, code_size_at + 1));
    EXPECT_EQ(test::Slice(*cut, cut->size() - 7, cut->size()),
              test::Slice(gif, gif.size() - 7, gif.size()));
    GifWalk again(*cut);
    EXPECT_EQ(again.CountGraphicBlocks(), 1);

    // On a screen that shows the whole image, the bytes go as they are.
    EXPECT_FALSE(CutImageToScreen(gif, image_at, 8, 64));
    // No descriptor there, or too few bytes for one.
    EXPECT_FALSE(CutImageToScreen(gif, gif.size() - 3, 8, 4));
    EXPECT_FALSE(CutImageToScreen(gif, gif.size() + 5, 8, 4));
}

}  // namespace
}  // namespace tapwright
