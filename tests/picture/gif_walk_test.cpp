#include "picture/gif_walk.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "picture/gif_encode.h"
#include "tests/picture/gif_bytes.h"

namespace tapwright {
namespace {

using test::Bytes;
using test::GifBytes;

TEST(GifWalk, AnyVersionAfterTheSignatureIsWalked) {
    const Bytes b = GifBytes("00a")
                        .GraphicControl(0, 10)
                        .Image(0, 0, 4, 4)
                        .GraphicControl(0, 10)
                        .Image(0, 0, 4, 4)
                        .Trailer()
                        .bytes();
    EXPECT_TRUE(HasGifSignature(b));
    GifWalk walk(b);
    EXPECT_EQ(walk.CountGraphicBlocks(), 2);
    EXPECT_FALSE(HasGifSignature(Bytes{'G', 'I'}));
    EXPECT_FALSE(HasGifSignature(Bytes{'J', 'I', 'F'}));
}

TEST(GifWalk, GlobalColourTableSizeAndFirstBlock) {
    struct Case {
        int code;
        int table;
    } cases[] = {{-1, 0}, {0, 6}, {1, 12}, {3, 48}, {7, 768}};
    for (const Case& c : cases) {
        const Bytes b = GifBytes("89a", 300, 200, c.code).Image(0, 0, 1, 1).Trailer().bytes();
        GifWalk walk(b);
        EXPECT_EQ(walk.GlobalColourTableSize(), c.table) << c.code;
        EXPECT_EQ(walk.FirstBlockOffset(), 13u + c.table) << c.code;
        EXPECT_EQ(walk.Offset(), 13u + c.table) << c.code;
        EXPECT_EQ(walk.ScreenWidth(), 300);
        EXPECT_EQ(walk.ScreenHeight(), 200);
        EXPECT_EQ(walk.BlockKind(), GifBlockType::Image);
    }
    EXPECT_EQ(GifWalk(GifBytes("89a", 1, 1, 7).bytes()).FirstBlockOffset(), 781u);
}

TEST(GifWalk, BlockKindsAndLengths) {
    struct Case {
        const char* name;
        Bytes block;
        GifBlockType kind;
        std::size_t length;
    };
    const auto body = [](GifBytes g) { return Bytes(g.bytes().begin() + 13, g.bytes().end()); };
    const Case cases[] = {
        {"application", body(GifBytes("89a", 1, 1, -1).Application()), GifBlockType::Application,
         19},
        {"comment", body(GifBytes("89a", 1, 1, -1).Comment("hello")), GifBlockType::Comment, 9},
        {"graphic control", body(GifBytes("89a", 1, 1, -1).GraphicControl(2, 7)),
         GifBlockType::GraphicControl, 8},
        {"plain text", body(GifBytes("89a", 1, 1, -1).PlainText(1, 2, 3, 4)),
         GifBlockType::PlainText, 15 + 5},
        // 10-byte descriptor + code size byte, sub-blocks 5 + 3 + terminator
        {"image", body(GifBytes("89a", 1, 1, -1).Image(0, 0, 1, 1)), GifBlockType::Image, 11 + 9},
        {"image with local table", body(GifBytes("89a", 1, 1, -1).Image(0, 0, 1, 1, 2)),
         GifBlockType::Image, 11 + 24 + 9},
        {"image with no sub-blocks", body(GifBytes("89a", 1, 1, -1).Image(0, 0, 1, 1, -1, {})),
         GifBlockType::Image, 12},
        {"trailer", {0x3B}, GifBlockType::Trailer, 1},
        {"other extension label", {0x21, 0x02, 0x00}, GifBlockType::Unrecognised, 0},
        {"introducer as last byte", {0x21}, GifBlockType::Unrecognised, 0},
        {"other byte", {0x00, 0x3B}, GifBlockType::Unrecognised, 0},
        {"no byte", {}, GifBlockType::Unrecognised, 0},
    };
    for (const Case& c : cases) {
        Bytes b = GifBytes("89a", 1, 1, -1).bytes();
        b.insert(b.end(), c.block.begin(), c.block.end());
        GifWalk walk(b);
        EXPECT_EQ(walk.BlockKind(), c.kind) << c.name;
        EXPECT_EQ(walk.BlockLength(), c.length) << c.name;
        EXPECT_EQ(walk.SkipBlock(), c.length > 0) << c.name;
        EXPECT_EQ(walk.Offset(), 13 + c.length) << c.name;
    }
}

TEST(GifWalk, SkipBlockRefusesABlockEndingPastTheData) {
    const Bytes whole = GifBytes("89a", 1, 1, -1).Image(0, 0, 1, 1, -1, {20, 30}).bytes();
    // The block ends exactly at the end of the data: it is skipped.
    GifWalk exact(whole);
    EXPECT_TRUE(exact.SkipBlock());
    EXPECT_EQ(exact.Offset(), whole.size());
    EXPECT_EQ(exact.BlockKind(), GifBlockType::Unrecognised);
    // Every shorter prefix: the block is not skipped and the offset stays.
    for (std::size_t n = 13; n < whole.size(); ++n) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        GifWalk walk(cut);
        EXPECT_FALSE(walk.SkipBlock()) << n;
        EXPECT_EQ(walk.Offset(), 13u) << n;
    }
    // A graphic control extension needs all of its 8 bytes.
    Bytes gce = GifBytes("89a", 1, 1, -1).GraphicControl(0, 5).bytes();
    gce.pop_back();
    GifWalk walk(gce);
    EXPECT_EQ(walk.BlockKind(), GifBlockType::GraphicControl);
    EXPECT_FALSE(walk.SkipBlock());
}

TEST(GifWalk, SkipGraphicBlockSequences) {
    struct Case {
        const char* name;
        GifBytes gif;
        int count;
    };
    const Case cases[] = {
        {"extensions before and between",
         GifBytes()
             .Application()
             .Comment("a")
             .GraphicControl(0, 1)
             .Comment("b")
             .Application()
             .Image(0, 0, 1, 1)
             .Trailer(),
         1},
        {"image without control", GifBytes().Image(0, 0, 1, 1).Image(0, 0, 1, 1).Trailer(), 2},
        {"plain text counts",
         GifBytes().GraphicControl(0, 1).PlainText(0, 0, 8, 8).Image(0, 0, 1, 1).Trailer(), 2},
        {"two controls before one image",
         GifBytes().GraphicControl(0, 1).GraphicControl(2, 3).Image(0, 0, 1, 1).Trailer(), 1},
        {"control then trailer", GifBytes().Image(0, 0, 1, 1).GraphicControl(0, 1).Trailer(), 1},
        {"control then unknown block", GifBytes().GraphicControl(0, 1).Raw({0x21, 0x77, 0}), 0},
        {"trailer first", GifBytes().Trailer().Image(0, 0, 1, 1), 0},
        {"unknown first", GifBytes().Raw({0x00}).Image(0, 0, 1, 1), 0},
        {"nothing after the header", GifBytes(), 0},
        {"no trailer", GifBytes().Image(0, 0, 1, 1).Image(0, 0, 1, 1), 2},
    };
    for (const Case& c : cases) {
        GifWalk walk(c.gif.bytes());
        EXPECT_EQ(walk.CountGraphicBlocks(), c.count) << c.name;
        EXPECT_LE(walk.Offset(), c.gif.size()) << c.name;
    }
}

TEST(GifWalk, FrameIsHeaderControlImageAndTrailer) {
    GifBytes g("89a", 16, 12, 1);
    const std::size_t head = g.size();
    g.Application();
    const std::size_t f0 = g.size();
    g.GraphicControl(2, 25).Image(1, 2, 3, 4);
    const std::size_t f1 = g.size();
    g.GraphicControl(3, 7).Image(5, 6, 7, 8, 0);
    const std::size_t end = g.size();
    g.Trailer();
    const Bytes& b = g.bytes();

    GifWalk walk(b);
    std::optional<GifFrameBlock> first = walk.ExtractFrame();
    ASSERT_TRUE(first);
    // The application extension before the first frame stays out of it.
    EXPECT_EQ(first->bytes,
              test::Concat({test::Slice(b, 0, head), test::Slice(b, f0, f1), {0x3B}}));
    EXPECT_EQ(first->delay, 25);
    EXPECT_EQ(first->disposal, 2);
    EXPECT_EQ(first->left, 1);
    EXPECT_EQ(first->top, 2);
    EXPECT_EQ(first->width, 3);
    EXPECT_EQ(first->height, 4);

    std::optional<GifFrameBlock> second = walk.ExtractFrame();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->bytes,
              test::Concat({test::Slice(b, 0, head), test::Slice(b, f1, end), {0x3B}}));
    EXPECT_EQ(second->delay, 7);
    EXPECT_EQ(second->disposal, 3);
    EXPECT_EQ(second->left, 5);
    EXPECT_EQ(second->top, 6);
    EXPECT_EQ(second->width, 7);
    EXPECT_EQ(second->height, 8);

    EXPECT_FALSE(walk.ExtractFrame());  // the trailer ends the frames
}

TEST(GifWalk, CommentBetweenControlAndImageIsCarriedOnce) {
    GifBytes g;
    const std::size_t start = g.size();
    g.GraphicControl(1, 9).Comment("between").Image(0, 0, 2, 2);
    const std::size_t end = g.size();
    g.GraphicControl(1, 9).Image(0, 0, 2, 2).Trailer();
    GifWalk walk(g.bytes());
    std::optional<GifFrameBlock> frame = walk.ExtractFrame();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->bytes,
              test::Concat(
                  {test::Slice(g.bytes(), 0, start), test::Slice(g.bytes(), start, end), {0x3B}}));
}

TEST(GifWalk, FrameTimingWithoutOrWithSeveralControls) {
    GifBytes g;
    g.Image(3, 4, 5, 6);
    const std::size_t second = g.size();
    g.GraphicControl(1, 40).GraphicControl(2, 60).Image(0, 0, 1, 1);
    g.GraphicControl(7, 1, 0).PlainText(9, 8, 7, 6).Trailer();  // all three disposal bits
    GifWalk walk(g.bytes());

    std::optional<GifFrameBlock> bare = walk.ExtractFrame();
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->delay, -1);
    EXPECT_EQ(bare->disposal, 0);
    EXPECT_EQ(bare->left, 3);
    EXPECT_EQ(bare->top, 4);
    // Where the image descriptor sits in the frame's own bytes, and in the file.
    EXPECT_EQ(bare->image_at, walk.FirstBlockOffset());
    EXPECT_EQ(walk.GraphicOffset(), walk.FirstBlockOffset());

    std::optional<GifFrameBlock> doubled = walk.ExtractFrame();
    ASSERT_TRUE(doubled);
    // The frame starts at its first control; the later control is the one in force.
    EXPECT_EQ(doubled->bytes[walk.FirstBlockOffset()], 0x21);
    EXPECT_EQ(doubled->bytes.size(), walk.FirstBlockOffset() + 8 + 8 + 20 + 1);
    EXPECT_EQ(test::Slice(doubled->bytes, walk.FirstBlockOffset(), walk.FirstBlockOffset() + 8),
              test::Slice(g.bytes(), second, second + 8));
    EXPECT_EQ(doubled->delay, 60);
    EXPECT_EQ(doubled->disposal, 2);
    EXPECT_EQ(doubled->image_at, walk.FirstBlockOffset() + 16);
    EXPECT_EQ(walk.GraphicOffset(), second + 16);

    std::optional<GifFrameBlock> text = walk.ExtractFrame();
    ASSERT_TRUE(text);
    EXPECT_EQ(text->disposal, 7);
    EXPECT_EQ(text->left, 9);
    EXPECT_EQ(text->top, 8);
    EXPECT_EQ(text->width, 7);
    EXPECT_EQ(text->height, 6);
    EXPECT_FALSE(text->image_at);  // a plain text extension has no image
}

// A GIF of the kind the program meets: real image data, several frames and
// extensions, so that damage lands in every kind of block.
Bytes SampleAnimation() {
    std::vector<GifEncodeFrame> frames(3);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        GifEncodeFrame& f = frames[i];
        f.left = static_cast<int>(i);
        f.top = 1;
        f.width = 9;
        f.height = 7;
        f.disposal = static_cast<int>(i) + 1;
        f.transparent = i == 1 ? 0 : -1;
        for (int p = 0; p < f.width * f.height; ++p)
            f.indices.push_back(static_cast<std::uint8_t>((p * (i + 1)) % 4));
    }
    frames[1].comment = "frame one";
    const Bytes palette = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    return EncodeGif(12, 9, palette, frames, true);
}

// Walks damaged data held in a heap block of exactly its size, so the sanitizer
// build reports any read past the end.
void WalkEverything(const Bytes& data) {
    const std::size_t n = data.size();
    std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[n == 0 ? 1 : n]);
    std::copy(data.begin(), data.end(), exact.get());
    const std::span<const std::uint8_t> span(exact.get(), n);

    GifWalk walk(span);
    const int count = walk.CountGraphicBlocks();
    ASSERT_LE(walk.Offset(), std::max<std::size_t>(n, walk.FirstBlockOffset()));
    walk.SetOffset(walk.FirstBlockOffset());
    int frames = 0;
    while (std::optional<GifFrameBlock> frame = walk.ExtractFrame()) {
        ++frames;
        ASSERT_LE(walk.Offset(), n);
        ASSERT_GE(frame->bytes.size(), walk.FirstBlockOffset() + 2);
        ASSERT_EQ(frame->bytes.back(), 0x3B);
        ASSERT_TRUE(
            std::equal(frame->bytes.begin(),
                       frame->bytes.begin() + static_cast<std::ptrdiff_t>(walk.FirstBlockOffset()),
                       span.begin()));
    }
    ASSERT_EQ(frames, count);
    // Walking again from every position must not read out of bounds either.
    for (std::size_t at = 0; at <= n + 1; ++at) {
        walk.SetOffset(at);
        (void)walk.BlockKind();
        (void)walk.BlockLength();
        (void)walk.SkipBlock();
    }
}

TEST(GifWalkFuzz, EveryTruncationOfAnAnimation) {
    const Bytes whole = SampleAnimation();
    {
        GifWalk walk(whole);
        ASSERT_EQ(walk.CountGraphicBlocks(), 3);
    }
    int previous = 0;
    for (std::size_t n = 0; n <= whole.size(); ++n) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        WalkEverything(cut);
        GifWalk walk(cut);
        const int count = walk.CountGraphicBlocks();
        // Cutting the data can only lose frames, and only from the end.
        ASSERT_GE(count, previous) << n;
        previous = count;
    }
    EXPECT_EQ(previous, 3);
}

TEST(GifWalkFuzz, RandomTruncationsAndByteFlips) {
    const Bytes whole = SampleAnimation();
    std::mt19937 random(20240607);
    for (int round = 0; round < 20000; ++round) {
        Bytes data = whole;
        const int flips = std::uniform_int_distribution<int>(0, 6)(random);
        for (int i = 0; i < flips; ++i) {
            const std::size_t at =
                std::uniform_int_distribution<std::size_t>(0, data.size() - 1)(random);
            data[at] = static_cast<std::uint8_t>(random());
        }
        if (random() % 2)
            data.resize(std::uniform_int_distribution<std::size_t>(0, data.size())(random));
        WalkEverything(data);
        if (HasFatalFailure()) FAIL() << "round " << round;
    }
}

}  // namespace
}  // namespace tapwright
