#include "picture/picture_decode.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageWriter>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "picture/gif_bound.h"
#include "picture/gif_walk.h"
#include "picture/picture_files.h"
#include "tests/picture/gif_bytes.h"
#include "tests/picture/picture_test_gifs.h"
#include "tests/support/test_support.h"

namespace tapwright {
namespace {

using test::Bytes;
using test::kBlue;
using test::kGreen;
using test::kPalette;
using test::kRed;
using test::kWhite;
using test::SolidFrame;

QRgb Opaque(QRgb c) {
    return c | 0xFF000000u;
}

TEST(DecodePicture, AnimatedGifBecomesFrameRecords) {
    // Screen 10 x 8. Frame 1 is a small rectangle; frame 2 is a pattern of the
    // screen's width less two, placed at (2, 1), so a misplaced cut would show.
    GifEncodeFrame pattern = SolidFrame(2, 1, 8, 7, 0, 250, 3);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 8; ++x)
            pattern.indices[y * 8 + x] = static_cast<std::uint8_t>((x + y) % 3);
    }
    GifEncodeFrame see_through = SolidFrame(1, 1, 3, 3, 2, 5, 2);
    see_through.indices[4] = 3;
    see_through.transparent = 3;
    const std::vector<GifEncodeFrame> frames = {SolidFrame(0, 0, 10, 8, 0, 0, 1), see_through,
                                                pattern};
    const Bytes gif = EncodeGif(10, 8, kPalette, frames, true);

    const std::optional<DecodedPicture> picture = DecodePicture(gif, 96, 96);
    ASSERT_TRUE(picture);
    EXPECT_TRUE(picture->gif);
    EXPECT_TRUE(picture->IsAnimated());
    EXPECT_TRUE(picture->still.isNull());
    EXPECT_EQ(picture->width, 10);
    EXPECT_EQ(picture->height, 8);
    ASSERT_EQ(picture->frames.size(), 3u);

    const PictureFrame& f0 = picture->frames[0];
    EXPECT_EQ(f0.picture.size(), QSize(10, 8));
    EXPECT_EQ(f0.delay, 0);
    EXPECT_EQ(f0.disposal, 1);
    EXPECT_EQ(Opaque(f0.picture.pixel(9, 7)), kRed);

    const PictureFrame& f1 = picture->frames[1];
    EXPECT_EQ((std::vector<int>{f1.left, f1.top, f1.width, f1.height, f1.delay, f1.disposal}),
              (std::vector<int>{1, 1, 3, 3, 5, 2}));
    ASSERT_EQ(f1.picture.size(), QSize(3, 3));
    EXPECT_EQ(f1.picture.pixel(0, 0), Opaque(kBlue));
    EXPECT_EQ(qAlpha(f1.picture.pixel(1, 1)), 0);  // the transparent colour stays see-through

    const PictureFrame& f2 = picture->frames[2];
    EXPECT_EQ((std::vector<int>{f2.left, f2.top, f2.width, f2.height, f2.delay, f2.disposal}),
              (std::vector<int>{2, 1, 8, 7, 250, 3}));
    ASSERT_EQ(f2.picture.size(), QSize(8, 7));
    const QRgb colours[] = {kRed, kGreen, kBlue};
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(Opaque(f2.picture.pixel(x, y)), colours[(x + y) % 3]) << x << "," << y;
    }
}

TEST(DecodePicture, FramesThatDoNotDecodeAreLeftOut) {
    // A plain text extension counts as a graphic block but gives the reader no image.
    Bytes gif =
        EncodeGif(6, 6, kPalette, std::vector<GifEncodeFrame>{SolidFrame(0, 0, 6, 6, 1)}, false);
    gif.pop_back();  // trailer
    const Bytes text =
        test::GifBytes("89a", 6, 6, -1).GraphicControl(0, 10).PlainText(0, 0, 6, 6).bytes();
    gif.insert(gif.end(), text.begin() + 13, text.end());
    const Bytes again =
        EncodeGif(6, 6, kPalette, std::vector<GifEncodeFrame>{SolidFrame(0, 0, 6, 6, 2)}, false);
    gif.insert(gif.end(), again.begin() + 13 + 12, again.end());

    GifWalk walk(gif);
    ASSERT_EQ(walk.CountGraphicBlocks(), 3);
    const std::optional<DecodedPicture> picture = DecodePicture(gif, 96, 96);
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->frames.size(), 2u);
    EXPECT_EQ(Opaque(picture->frames[0].picture.pixel(0, 0)), kGreen);
    EXPECT_EQ(Opaque(picture->frames[1].picture.pixel(0, 0)), kBlue);

    // Only undecodable frames: nothing loads.
    const Bytes texts = test::GifBytes("89a", 6, 6, 1)
                            .GraphicControl(0, 1)
                            .PlainText(0, 0, 6, 6)
                            .GraphicControl(0, 1)
                            .PlainText(0, 0, 6, 6)
                            .Trailer()
                            .bytes();
    EXPECT_FALSE(DecodePicture(texts, 96, 96));
}

TEST(DecodePicture, SingleImageIsStillAndSizedByTheScreen) {
    for (bool control : {false, true}) {
        GifEncodeFrame only = SolidFrame(2, 3, 4, 4, 2);
        Bytes gif = EncodeGif(20, 10, kPalette, std::vector<GifEncodeFrame>{only}, false);
        if (!control)
            gif.erase(gif.begin() + 13 + 12, gif.begin() + 13 + 12 + 8);  // drop the extension
        const std::optional<DecodedPicture> picture = DecodePicture(gif, 120, 120);
        ASSERT_TRUE(picture) << control;
        EXPECT_TRUE(picture->gif);
        EXPECT_FALSE(picture->IsAnimated());
        EXPECT_TRUE(picture->frames.empty());
        EXPECT_EQ(picture->width, 20);
        EXPECT_EQ(picture->height, 10);
        ASSERT_FALSE(picture->still.isNull());
        EXPECT_EQ(Opaque(picture->still.pixel(3, 4)), kBlue);
    }
}

TEST(DecodePicture, AnyGifVersionDecodes) {
    Bytes gif = test::SolidAnimation(4, 4, 2, 10);
    gif[3] = '0';
    gif[4] = '0';
    const std::optional<DecodedPicture> picture = DecodePicture(gif, 96, 96);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->frames.size(), 2u);
}

TEST(DecodePicture, RefusesWhatIsNoPicture) {
    const Bytes cases[] = {
        {},
        {'G', 'I', 'F'},
        test::GifBytes().Trailer().bytes(),              // no graphic block
        test::GifBytes().Comment("just words").bytes(),  // no graphic block
        {0x12, 0x34, 0x56, 0x78, 0x9A},                  // not any picture format
    };
    for (const Bytes& bytes : cases) EXPECT_FALSE(DecodePicture(bytes, 96, 96)) << bytes.size();
}

// Image descriptor offset of graphic block `index` of a GIF.
std::size_t ImageAt(const Bytes& gif, int index) {
    GifWalk walk(gif);
    for (int i = 0; i <= index; ++i) EXPECT_TRUE(walk.SkipGraphicBlock());
    return walk.GraphicOffset();
}

void PutU16(Bytes& b, std::size_t at, int v) {
    b[at] = static_cast<std::uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

TEST(DecodePicture, FramesAreComposedOnlyOnTheScreen) {
    // Screen 10 x 8. Frame 1 carries an 8 x 7 pattern; its descriptor is then moved
    // and resized. The data's rows follow the descriptor's width.
    GifEncodeFrame pattern = SolidFrame(0, 0, 8, 7, 0, 30, 3);
    for (std::size_t i = 0; i < pattern.indices.size(); ++i)
        pattern.indices[i] = static_cast<std::uint8_t>(i % 3);
    const std::vector<GifEncodeFrame> frames = {SolidFrame(0, 0, 10, 8, 3), pattern};
    const Bytes original = EncodeGif(10, 8, kPalette, frames, false);
    const std::size_t at = ImageAt(original, 1);

    struct Case {
        int left, top, width, height;
        std::vector<int> expected;  // the record's left, top, width, height
    } cases[] = {
        {6, 5, 8, 7, {6, 5, 4, 3}},
        {0, 0, 65535, 65535, {0, 0, 10, 8}},
        {23, 38408, 50889, 29530, {10, 8, 0, 0}},
        {65535, 0, 65535, 2, {10, 0, 0, 0}},
    };
    const QRgb colours[] = {kRed, kGreen, kBlue};
    for (const Case& c : cases) {
        Bytes gif = original;
        PutU16(gif, at + 1, c.left);
        PutU16(gif, at + 3, c.top);
        PutU16(gif, at + 5, c.width);
        PutU16(gif, at + 7, c.height);
        const std::optional<DecodedPicture> picture = DecodePicture(gif, 96, 96);
        ASSERT_TRUE(picture) << c.left;
        ASSERT_EQ(picture->frames.size(), 2u) << c.left;
        const PictureFrame& f = picture->frames[1];
        EXPECT_EQ((std::vector<int>{f.left, f.top, f.width, f.height}), c.expected) << c.left;
        EXPECT_EQ(f.picture.size(), QSize(f.width, f.height)) << c.left;
        EXPECT_EQ(f.delay, 30);  // a frame off the screen still keeps its time
        // The data fills the frame row by row at the descriptor's width.
        for (int y = 0; y < f.height; ++y) {
            for (int x = 0; x < f.width; ++x) {
                const std::int64_t i = static_cast<std::int64_t>(y) * c.width + x;
                if (i >= 56) continue;  // beyond the data
                ASSERT_EQ(Opaque(f.picture.pixel(x, y)), colours[i % 3]) << x << "," << y;
            }
        }
    }
}

TEST(DecodePicture, ScreenSizeIsBoundedBeforeDecoding) {
    struct Case {
        int width, height;
        bool loads;
    } cases[] = {
        {0, 5, false},      {5, 0, false},       {kMaxPictureSide + 1, 2, false},
        {2, 65535, false},  {2048, 2049, false}, {kMaxPictureSide, 2, true},
        {2048, 2048, true},
    };
    const std::vector<GifEncodeFrame> one = {SolidFrame(0, 0, 2, 2, 1)};
    for (const Case& c : cases) {
        PictureRefusal why = PictureRefusal::None;
        const std::optional<DecodedPicture> picture =
            DecodePicture(EncodeGif(c.width, c.height, kPalette, one, false), 96, 96, &why);
        EXPECT_EQ(picture.has_value(), c.loads) << c.width << "x" << c.height;
        EXPECT_EQ(why, c.loads ? PictureRefusal::None : PictureRefusal::ScreenSize)
            << c.width << "x" << c.height;
    }
}

TEST(DecodePicture, AnimationDecodesAtMostItsPixelBudget) {
    // A 4-megapixel screen: four frames that meet it fit the budget, a fifth does
    // not; frames off the screen cost nothing.
    const int side = 2048;
    ASSERT_EQ(std::int64_t{side} * side * 4, kMaxGifFramePixels);
    std::vector<GifEncodeFrame> frames(4, SolidFrame(0, 0, 1, 1, 2));
    frames.push_back(SolidFrame(side - 1, side - 1, 1, 1, 1));
    PictureRefusal why = PictureRefusal::None;
    EXPECT_FALSE(DecodePicture(EncodeGif(side, side, kPalette, frames, true), 96, 96, &why));
    EXPECT_EQ(why, PictureRefusal::TooManyFrames);

    frames.back().left = side;  // now off the screen
    const std::optional<DecodedPicture> picture =
        DecodePicture(EncodeGif(side, side, kPalette, frames, true), 96, 96, &why);
    ASSERT_TRUE(picture);
    EXPECT_EQ(why, PictureRefusal::None);
    EXPECT_EQ(picture->frames.size(), 5u);
}

TEST(DecodePicture, ImageDataStopsAtTheFramesPixels) {
    // A still 4 x 4 image on a 4 x 64 screen whose data holds 4 x 64 red pixels: the
    // reader would paint the rows below the frame; the data stops at the code that
    // gives the frame's 16th pixel.
    GifEncodeFrame frame = SolidFrame(0, 0, 4, 64, 0);
    frame.transparent = 3;  // the screen around the frame is cleared see-through
    Bytes gif = EncodeGif(4, 64, kPalette, std::vector<GifEncodeFrame>{frame}, false);
    PutU16(gif, ImageAt(gif, 0) + 7, 4);
    const std::optional<DecodedPicture> picture = DecodePicture(gif, 96, 96);
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->still.size(), QSize(4, 64));
    EXPECT_EQ(Opaque(picture->still.pixel(3, 3)), kRed);
    for (int y = 8; y < 64; ++y) ASSERT_EQ(qAlpha(picture->still.pixel(0, y)), 0) << y;
}

TEST(DecodePicture, CutImageDataGivesTheSamePixels) {
    // The reader itself shows that a stream cut for k pixels still gives those k.
    std::mt19937 random(11);
    GifEncodeFrame frame = SolidFrame(0, 0, 40, 30, 0);
    for (std::size_t i = 0; i < frame.indices.size(); ++i)
        frame.indices[i] = static_cast<std::uint8_t>(i < 600 ? random() % 4 : (i / 97) % 3);
    const Bytes gif = EncodeGif(40, 30, kPalette, std::vector<GifEncodeFrame>{frame}, false);
    const std::size_t at = ImageAt(gif, 0);
    const int min_code_size = gif[at + 10];
    Bytes codes;
    std::size_t pos = at + 11;
    for (; gif[pos] != 0; pos += gif[pos] + 1)
        codes.insert(codes.end(), gif.begin() + pos + 1, gif.begin() + pos + 1 + gif[pos]);
    ++pos;  // past the terminator
    const QRgb colours[] = {kRed, kGreen, kBlue, kWhite};
    // All the pixels or more, and code sizes the reader refuses: nothing is cut.
    EXPECT_FALSE(CutLzwStream(min_code_size, codes, 1200));
    EXPECT_FALSE(CutLzwStream(min_code_size, codes, 5000));
    EXPECT_FALSE(CutLzwStream(13, codes, 0));

    std::size_t before = 0;
    for (int k : {1, 37, 599, 600, 601, 1000}) {
        const auto kept = CutLzwStream(min_code_size, codes, k);
        ASSERT_TRUE(kept) << k;
        EXPECT_GE(kept->size(), before) << k;
        before = kept->size();
        EXPECT_FALSE(CutLzwStream(min_code_size, *kept, k)) << k;  // closed by its end code
        Bytes cut(gif.begin(), gif.begin() + at + 11);
        for (std::size_t i = 0; i < kept->size(); i += 255) {
            const std::size_t n = std::min<std::size_t>(255, kept->size() - i);
            cut.push_back(static_cast<std::uint8_t>(n));
            cut.insert(cut.end(), kept->begin() + i, kept->begin() + i + n);
        }
        cut.push_back(0);
        cut.insert(cut.end(), gif.begin() + pos, gif.end());
        const std::optional<DecodedPicture> picture = DecodePicture(cut, 96, 96);
        ASSERT_TRUE(picture) << k;
        for (int i = 0; i < k; ++i) {
            ASSERT_EQ(Opaque(picture->still.pixel(i % 40, i / 40)), colours[frame.indices[i]])
                << k << " " << i;
        }
        // and nothing further: the canvas beyond the cut keeps its cleared black.
        EXPECT_EQ(Opaque(picture->still.pixel(39, 29)), qRgb(0, 0, 0)) << k;
    }
}

Bytes Encoded(const QImage& image, const char* format) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    EXPECT_TRUE(writer.write(image));
    return Bytes(data.begin(), data.end());
}

TEST(DecodePicture, OtherPicturesAreSizedFromTheirNaturalSize) {
    // 48 x 24 pixels at 48 dots per inch: 2540 x 1270 HIMETRIC, 96 x 48 pixels on a
    // 96-dpi screen.
    QImage image(48, 24, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    image.setDotsPerMeterX(1890);
    image.setDotsPerMeterY(1890);
    for (const char* format : {"jpg", "png"}) {
        const std::optional<DecodedPicture> on96 = DecodePicture(Encoded(image, format), 96, 96);
        ASSERT_TRUE(on96) << format;
        EXPECT_FALSE(on96->gif);
        EXPECT_EQ(on96->width, 96) << format;
        EXPECT_EQ(on96->height, 48) << format;
        EXPECT_EQ(on96->still.size(), QSize(48, 24));
        const std::optional<DecodedPicture> on120 = DecodePicture(Encoded(image, format), 120, 144);
        ASSERT_TRUE(on120) << format;
        EXPECT_EQ(on120->width, 120) << format;
        EXPECT_EQ(on120->height, 72) << format;
    }
    // Each direction by its own resolution: 48 dpi across, 96 dpi down.
    image.setDotsPerMeterY(3780);
    const std::optional<DecodedPicture> uneven = DecodePicture(Encoded(image, "png"), 96, 96);
    ASSERT_TRUE(uneven);
    EXPECT_EQ(uneven->width, 96);
    EXPECT_EQ(uneven->height, 24);
    EXPECT_EQ(HimetricFromPixels(48, 1890), 2540);
    EXPECT_EQ(PixelsFromHimetric(2540, 96), 96);
    EXPECT_EQ(PixelsFromHimetric(1270, 96), 48);
}

TEST(DecodePicture, MulDivRoundsHalvesAwayFromZero) {
    struct Case {
        int a, b, c, expected;
    } cases[] = {
        {2540, 96, 2540, 96}, {5, 1, 2, 3}, {-5, 1, 2, -3}, {5, -1, 2, -3},
        {1, 1, 3, 0},         {2, 1, 3, 1}, {7, 1, 0, -1},  {100000, 100000, 100000, 100000},
        {-7, -3, 2, 11}};
    for (const Case& c : cases)
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << " " << c.b << " " << c.c;
}

TEST(DecodePicture, DamagedAnimationsNeverCrash) {
    const Bytes whole = test::SolidAnimation(9, 7, 4, 10);
    std::mt19937 random(77);
    for (int round = 0; round < 400; ++round) {
        Bytes data = whole;
        for (int i = 0; i < 3; ++i) {
            data[std::uniform_int_distribution<std::size_t>(0, data.size() - 1)(random)] =
                static_cast<std::uint8_t>(random());
        }
        if (round % 2)
            data.resize(std::uniform_int_distribution<std::size_t>(0, data.size())(random));
        std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[data.size() + 1]);
        std::copy(data.begin(), data.end(), exact.get());
        const std::optional<DecodedPicture> picture =
            DecodePicture(std::span<const std::uint8_t>(exact.get(), data.size()), 96, 96);
        if (picture && picture->IsAnimated()) {
            // A frame off the screen keeps an empty rectangle and no picture.
            for (const PictureFrame& f : picture->frames)
                ASSERT_EQ(f.picture.size(), QSize(f.width, f.height));
        }
    }
}

Bytes ReadAsset(const char* name) {
    std::ifstream in(std::string(TAPWRIGHT_ASSETS_DIR) + "/" + name, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(OurPictures, AllFiveLoadAndTheGifsAnimate) {
    struct Case {
        const char* name;
        int width, height;
        std::size_t min_frames;  // 0: a still picture
    } cases[] = {
        {"penguin.GIF", 70, 61, 4},
        {"f_md_clr.gif", 36, 50, 4},
        {"i_md_clr.gif", 36, 50, 4},
        {"r_md_clr.gif", 36, 50, 4},
        {"zeb_logo_orange_bg.jpg", 220, 120, 0},
    };
    for (const Case& c : cases) {
        const std::optional<DecodedPicture> picture = DecodePicture(ReadAsset(c.name), 96, 96);
        ASSERT_TRUE(picture) << c.name;
        EXPECT_EQ(picture->width, c.width) << c.name;
        EXPECT_EQ(picture->height, c.height) << c.name;
        if (c.min_frames == 0) {
            EXPECT_FALSE(picture->gif) << c.name;
            EXPECT_FALSE(picture->still.isNull()) << c.name;
            continue;
        }
        EXPECT_TRUE(picture->IsAnimated()) << c.name;
        EXPECT_GE(picture->frames.size(), c.min_frames) << c.name;
        for (const PictureFrame& f : picture->frames) {
            EXPECT_EQ(f.picture.size(), QSize(f.width, f.height)) << c.name;
            EXPECT_GE(f.delay, 5) << c.name;
            EXPECT_LE(f.left + f.width, c.width) << c.name;
            EXPECT_LE(f.top + f.height, c.height) << c.name;
        }
    }
}

TEST(FindPictureFile, WorkingDirectoryThenBesideTheProgramThenTheInstalledDataDirectory) {
    namespace fs = std::filesystem;
    const fs::path program_dir = ProgramDirectory();
    ASSERT_FALSE(program_dir.empty());
    ASSERT_TRUE(fs::exists(program_dir / "picture_decode_test"));
    // PREFIX/bin and PREFIX/share/tapwright: the data directory is a sibling's child.
    const fs::path data_dir = InstalledDataDirectory();
    EXPECT_EQ(data_dir, (program_dir.parent_path() / "share" / "tapwright").string());

    const test::TempDir work;
    const fs::path saved = fs::current_path();
    fs::current_path(work.path());
    const std::string name = "tapwright_find_picture_probe.gif";
    const bool made_data_dir = !fs::exists(data_dir);
    fs::create_directories(data_dir);

    std::ofstream(data_dir / name) << "z";
    EXPECT_EQ(FindPictureFile(name), (data_dir / name).string());
    std::ofstream(program_dir / name) << "x";
    EXPECT_EQ(FindPictureFile(name), (program_dir / name).string());
    work.Write(name, "y");
    EXPECT_EQ(FindPictureFile(name), name);
    EXPECT_EQ(FindPictureFile("tapwright_no_such_picture.gif"), "tapwright_no_such_picture.gif");

    fs::remove(program_dir / name);
    fs::remove(data_dir / name);
    if (made_data_dir) {
        std::error_code ignored;  // removes only what the test made, and only when empty
        fs::remove(data_dir, ignored);
        fs::remove(fs::path(data_dir).parent_path(), ignored);
    }
    fs::current_path(saved);
}

}  // namespace
}  // namespace tapwright
