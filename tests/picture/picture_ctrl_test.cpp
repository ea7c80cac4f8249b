#include "picture/picture_ctrl.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPalette>
#include <QWindow>
#include <atomic>
#include <random>
#include <thread>

#include "tests/picture/gif_bytes.h"
#include "tests/picture/picture_test_gifs.h"
#include "tests/support/test_support.h"

namespace tapwright {
namespace {

using test::kBlue;
using test::kGreen;
using test::kRed;
using namespace std::chrono_literals;

// Waits, handling events, until `done` holds; false after `limit`. Only bounds
// a wait for something that must happen; it measures nothing.
template <typename Predicate>
bool WaitUntil(Predicate done, std::chrono::milliseconds limit = 10s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

bool Load(CPictureCtrl& ctrl, const std::vector<std::uint8_t>& bytes) {
    return ctrl.LoadFromMemory(bytes.data(), bytes.size());
}

QImage Filled(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

PictureFrame Frame(int left, int top, int w, int h, QRgb colour, int disposal) {
    PictureFrame f;
    f.picture = Filled(w, h, colour);
    f.left = left;
    f.top = top;
    f.width = w;
    f.height = h;
    f.delay = 10;
    f.disposal = disposal;
    return f;
}

TEST(FrameWait, DelaysInHundredthsBecomeMilliseconds) {
    struct Case {
        int delay;
        std::uint32_t ms;
    } cases[] = {{0, 100},  {1, 100},    {4, 100},        {5, 50},
                 {10, 100}, {250, 2500}, {65535, 655350}, {-1, 4294967286u}};
    for (const Case& c : cases) EXPECT_EQ(FrameWaitMilliseconds(c.delay), c.ms) << c.delay;
}

constexpr QRgb kFill = 0xFF101010;
constexpr QRgb kBackground = 0xFFC0C0C0;
constexpr QRgb kUnder = 0xFF00FFFF;

TEST(AnimationSteps, DisposalMethods) {
    struct Case {
        int disposal;
        QRgb after;  // inside the frame's rectangle once disposed of
    } cases[] = {{0, kRed}, {1, kRed}, {2, kBackground}, {3, kUnder}, {4, kRed}, {7, kRed}};
    for (const Case& c : cases) {
        PictureSurface surface(10, 10, kFill, kBackground);
        surface.pixels.fill(kUnder);
        surface.pixels.setPixel(2, 3, kBlue);  // marks the corner a restore must put back
        const PictureFrameList frames = {Frame(2, 3, 4, 5, kRed, c.disposal)};
        ASSERT_TRUE(DrawCurrentFrame(surface, frames));
        EXPECT_EQ(surface.pixels.pixel(2, 3), kRed);
        EXPECT_EQ(surface.pixels.pixel(5, 7), kRed);
        EXPECT_EQ(surface.pixels.pixel(6, 7), kUnder);
        DisposeCurrentFrame(surface, frames);
        EXPECT_EQ(surface.pixels.pixel(2, 3), c.after == kUnder ? kBlue : c.after) << c.disposal;
        EXPECT_EQ(surface.pixels.pixel(5, 7), c.after) << c.disposal;
        EXPECT_EQ(surface.pixels.pixel(1, 3), kUnder) << c.disposal;
        EXPECT_EQ(surface.pixels.pixel(6, 7), kUnder) << c.disposal;
        EXPECT_TRUE(surface.saved_area.isNull()) << c.disposal;
    }
}

TEST(AnimationSteps, TransparentPixelsShowWhatIsUnder) {
    PictureSurface surface(4, 4, kUnder, kBackground);
    PictureFrameList frames = {Frame(0, 0, 4, 4, kRed, 0)};
    frames[0].picture.setPixel(1, 1, qRgba(0, 0, 0, 0));
    ASSERT_TRUE(DrawCurrentFrame(surface, frames));
    EXPECT_EQ(surface.pixels.pixel(0, 0), kRed);
    EXPECT_EQ(surface.pixels.pixel(1, 1), kUnder);
}

TEST(AnimationSteps, WrapClearsTheWholeSurface) {
    PictureSurface surface(8, 8, kFill, kBackground);
    const PictureFrameList frames = {Frame(0, 0, 8, 8, kRed, 1), Frame(2, 2, 2, 2, kGreen, 1)};
    DrawCurrentFrame(surface, frames);
    AdvanceFrame(surface, frames);
    EXPECT_EQ(surface.current_frame, 1);
    EXPECT_EQ(surface.pixels.pixel(0, 0), kRed);  // no clearing between frames
    DrawCurrentFrame(surface, frames);
    AdvanceFrame(surface, frames);
    EXPECT_EQ(surface.current_frame, 0);
    EXPECT_EQ(surface.pixels.pixel(0, 0), kBackground);
    EXPECT_EQ(surface.pixels.pixel(2, 2), kBackground);
}

TEST(AnimationSteps, AFrameThatCannotBeDrawnLeavesTheSurface) {
    PictureSurface surface(4, 4, kFill, kBackground);
    PictureFrameList frames = {Frame(0, 0, 4, 4, kRed, 3)};
    frames[0].picture = QImage();
    EXPECT_FALSE(DrawCurrentFrame(surface, frames));
    EXPECT_EQ(surface.pixels.pixel(0, 0), kFill);
}

TEST(PictureTest, EmptyControl) {
    CPictureCtrl ctrl;
    EXPECT_FALSE(ctrl.Draw());
    ctrl.Stop();
    ctrl.Unload();
    EXPECT_EQ(ctrl.BackgroundColour(), QColor(255, 255, 255));
    EXPECT_FALSE(ctrl.IsSurfaceReady());
    EXPECT_TRUE(ctrl.SurfaceSnapshot().isNull());
    ctrl.repaint();  // nothing to copy, nothing to fail
}

TEST(PictureTest, LoadSizesTheControlAndUnloadReleases) {
    QWidget parent;
    CPictureCtrl ctrl(&parent);
    ctrl.move(30, 40);
    ASSERT_TRUE(Load(ctrl, test::SolidAnimation(12, 9, 3, 10)));
    EXPECT_EQ(ctrl.geometry(), QRect(30, 40, 12, 9));
    EXPECT_TRUE(ctrl.IsAnimated());
    EXPECT_EQ(ctrl.BackgroundColour(), ctrl.palette().color(QPalette::Button));
    EXPECT_EQ(ctrl.SurfaceSnapshot().pixel(0, 0), ctrl.palette().color(QPalette::Window).rgb());

    ctrl.Unload();
    EXPECT_FALSE(ctrl.IsSurfaceReady());
    EXPECT_FALSE(ctrl.IsAnimated());
    EXPECT_EQ(ctrl.BackgroundColour(), QColor(255, 255, 255));
    EXPECT_EQ(ctrl.PictureWidth(), 12);  // kept until the next load
    EXPECT_EQ(ctrl.PictureHeight(), 9);
    EXPECT_FALSE(ctrl.Draw());
}

TEST(PictureTest, StillPictureIsDrawnOnce) {
    CPictureCtrl ctrl;
    const std::vector<GifEncodeFrame> one = {test::SolidFrame(0, 0, 5, 4, 1)};
    ASSERT_TRUE(Load(ctrl, EncodeGif(5, 4, test::kPalette, one, false)));
    EXPECT_FALSE(ctrl.IsAnimated());
    EXPECT_TRUE(ctrl.Draw());
    EXPECT_FALSE(ctrl.IsAnimating());
    EXPECT_EQ(ctrl.SurfaceSnapshot().pixel(4, 3), kGreen);

    // Two graphic blocks of which only the image decodes: one frame does not animate.
    std::vector<std::uint8_t> gif = EncodeGif(6, 6, test::kPalette, one, false);
    gif.pop_back();  // trailer
    const std::vector<std::uint8_t> text = test::GifBytes("89a", 6, 6, -1)
                                               .GraphicControl(0, 10)
                                               .PlainText(0, 0, 6, 6)
                                               .Trailer()
                                               .bytes();
    gif.insert(gif.end(), text.begin() + 13, text.end());
    ASSERT_TRUE(Load(ctrl, gif));
    EXPECT_FALSE(ctrl.IsAnimated());
}

TEST(PictureTest, SizeLimitsAndFailedLoads) {
    CPictureCtrl ctrl;
    const std::vector<std::uint8_t> junk = {'G', 'I', 'F', '8', '9', 'a', 1, 2, 3};
    EXPECT_FALSE(Load(ctrl, junk));
    EXPECT_FALSE(ctrl.IsSurfaceReady());
    EXPECT_FALSE(ctrl.LoadFromMemory(nullptr, 0));
    EXPECT_FALSE(ctrl.LoadFromFile("/nonexistent/tapwright/picture.gif"));

    const test::TempDir dir;
    EXPECT_FALSE(ctrl.LoadFromFile(dir.Write("empty.gif", "").string()));

    // A screen larger than any surface the control prepares.
    const std::vector<GifEncodeFrame> one = {test::SolidFrame(0, 0, 2, 2, 1)};
    EXPECT_FALSE(Load(ctrl, EncodeGif(kMaxPictureSide + 1, 2, test::kPalette, one, false)));
    EXPECT_FALSE(ctrl.IsSurfaceReady());
    EXPECT_FALSE(Load(ctrl, EncodeGif(2, kMaxPictureSide + 1, test::kPalette, one, false)));
    // The largest side itself is shown.
    EXPECT_TRUE(Load(ctrl, EncodeGif(kMaxPictureSide, 2, test::kPalette, one, false)));
    EXPECT_TRUE(Load(ctrl, EncodeGif(2, kMaxPictureSide, test::kPalette, one, false)));
    EXPECT_TRUE(ctrl.IsSurfaceReady());
}

TEST(PictureTest, LoadFromFileReadsTheWholeFile) {
    const test::TempDir dir;
    CPictureCtrl ctrl;
    EXPECT_TRUE(
        ctrl.LoadFromFile(dir.Write("anim.gif", test::SolidAnimation(6, 6, 2, 10)).string()));
    EXPECT_TRUE(ctrl.IsAnimated());
}

TEST(PictureTest, AnimationShowsEveryFrameAndWraps) {
    CPictureCtrl ctrl;
    ctrl.show();
    // Three whole frames, red, green, blue, 50 ms each.
    ASSERT_TRUE(Load(ctrl, test::SolidAnimation(6, 5, 3, 5)));
    EXPECT_FALSE(ctrl.Draw());  // starting the animation reports false
    EXPECT_TRUE(ctrl.IsAnimating());
    EXPECT_FALSE(ctrl.Draw());  // no second thread
    for (QRgb colour : {kGreen, kBlue, kRed, kGreen}) {
        EXPECT_TRUE(WaitUntil([&] { return ctrl.SurfaceSnapshot().pixel(3, 2) == colour; }))
            << std::hex << colour;
        ctrl.repaint();
    }
    ctrl.Stop();
    EXPECT_FALSE(ctrl.IsAnimating());
    // After Stop the surface keeps the last frame and stays the same.
    const QImage last = ctrl.SurfaceSnapshot();
    std::this_thread::sleep_for(120ms);
    EXPECT_EQ(ctrl.SurfaceSnapshot(), last);
    // Draw again goes on from the current frame.
    ctrl.Draw();
    EXPECT_TRUE(ctrl.IsAnimating());
    ctrl.Unload();
    EXPECT_FALSE(ctrl.IsAnimating());
}

TEST(PictureTest, LoadingWhileAnimatingEndsTheAnimationFirst) {
    CPictureCtrl ctrl;
    ASSERT_TRUE(Load(ctrl, test::SolidAnimation(6, 5, 3, 5)));
    ctrl.Draw();
    ASSERT_TRUE(ctrl.IsAnimating());
    const std::weak_ptr<PictureSurface> old_surface = ctrl.Surface();
    ASSERT_TRUE(Load(ctrl, test::SolidAnimation(7, 7, 2, 5)));
    EXPECT_FALSE(ctrl.IsAnimating());
    EXPECT_TRUE(old_surface.expired());  // the old thread has let go of it too
    EXPECT_EQ(ctrl.PictureWidth(), 7);
}

TEST(PictureTest, AThreadThatOutlivesStopTouchesOnlyWhatItOwns) {
    auto ctrl = std::make_unique<CPictureCtrl>();
    ctrl->SetStopWaitForTesting(20ms);
    ASSERT_TRUE(Load(*ctrl, test::SolidAnimation(6, 5, 3, 5)));
    std::shared_ptr<PictureSurface> surface = ctrl->Surface();
    const std::weak_ptr<const PictureFrameList> frames = ctrl->Frames();
    const std::weak_ptr<PictureSurface> watch = surface;
    {
        // Holding the surface keeps the thread from drawing, so Stop gives up on it.
        std::unique_lock hold(surface->mutex);
        ctrl->Draw();
        ctrl->Unload();
        EXPECT_FALSE(ctrl->IsAnimating());
        EXPECT_FALSE(ctrl->IsSurfaceReady());
        ctrl.reset();  // the control is gone while its thread still runs
    }
    surface.reset();
    // The thread now runs on alone, sees its exit flag and lets go of everything.
    EXPECT_TRUE(WaitUntil([&] { return watch.expired() && frames.expired(); }));
}

// Runs `use` while another thread holds the surface's lock for a while; true when
// `use` returned only after the lock was given back.
template <typename Use>
bool WaitsForTheSurfaceLock(PictureSurface& surface, Use use) {
    std::atomic<bool> locked{false};
    std::atomic<bool> released{false};
    std::thread holder([&] {
        std::lock_guard hold(surface.mutex);
        locked = true;
        std::this_thread::sleep_for(50ms);
        released = true;
    });
    while (!locked) std::this_thread::yield();
    use();
    const bool waited = released;
    holder.join();
    return waited;
}

TEST(PictureTest, SurfaceIsOnlyTouchedUnderItsLock) {
    CPictureCtrl ctrl;
    ctrl.show();
    ASSERT_TRUE(Load(ctrl, test::SolidAnimation(6, 5, 3, 5)));
    // repaint() paints at once only on a window that is exposed.
    ASSERT_TRUE(WaitUntil([&] { return ctrl.windowHandle() && ctrl.windowHandle()->isExposed(); }));
    PictureSurface& surface = *ctrl.Surface();
    const PictureFrameList& frames = *ctrl.Frames();
    EXPECT_TRUE(WaitsForTheSurfaceLock(surface, [&] { ctrl.repaint(); }));
    EXPECT_TRUE(WaitsForTheSurfaceLock(surface, [&] { (void)ctrl.SurfaceSnapshot(); }));
    EXPECT_TRUE(WaitsForTheSurfaceLock(surface, [&] { DrawCurrentFrame(surface, frames); }));
    EXPECT_TRUE(WaitsForTheSurfaceLock(surface, [&] { DisposeCurrentFrame(surface, frames); }));
    EXPECT_TRUE(WaitsForTheSurfaceLock(surface, [&] { AdvanceFrame(surface, frames); }));
}

TEST(PictureTest, StartStopUnloadManyTimes) {
    const std::vector<std::uint8_t> gif = test::SolidAnimation(16, 12, 4, 5);
    const std::vector<std::uint8_t> other = test::SolidAnimation(9, 9, 2, 5);
    std::mt19937 random(5);
    auto ctrl = std::make_unique<CPictureCtrl>();
    ctrl->show();
    for (int round = 0; round < 300; ++round) {
        if (!ctrl->IsSurfaceReady()) {
            ASSERT_TRUE(Load(*ctrl, round % 2 ? gif : other));
        }
        ctrl->Draw();
        // Let the thread run a little, painting meanwhile as the window would.
        const int pause = std::uniform_int_distribution<int>(0, round % 25 == 0 ? 120 : 3)(random);
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(pause);
        do {
            ctrl->repaint();
            QCoreApplication::processEvents();
        } while (std::chrono::steady_clock::now() < until);
        switch (random() % 4) {
            case 0:
                ctrl->Stop();
                break;
            case 1:
                ctrl->Unload();
                break;
            case 2:
                ASSERT_TRUE(Load(*ctrl, round % 3 ? gif : other));
                break;
            case 3:
                ctrl = std::make_unique<CPictureCtrl>();  // destroyed while animating
                ctrl->show();
                break;
        }
        ASSERT_FALSE(ctrl->IsAnimating()) << round;
    }
    QCoreApplication::processEvents();  // repaint requests for controls long gone
}

}  // namespace
}  // namespace tapwright
