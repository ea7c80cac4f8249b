#pragma once

// The pieces the animation thread of a picture control works with: the surface it
// draws on, the steps that draw and dispose of one frame, and the run object
// through which the control tells the thread to end.
//
// Ownership: the control and its thread each hold a shared reference to the
// surface, the frame list and the run, so a thread that outlives the control's
// wait for it still only touches objects that are alive; the control drops its
// references on unload and never shows them again.

#include <QImage>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "picture/picture_decode.h"

namespace tapwright {

// Off-screen pixels of a picture control. Every member but `background` is
// guarded by `mutex`: the animation thread draws while painting copies.
struct PictureSurface {
    PictureSurface(int width, int height, QRgb fill, QRgb background_colour);

    std::mutex mutex;
    QImage pixels;          // RGB32, the picture's size in pixels
    QImage saved_area;      // the area under a frame of disposal 3 while that frame shows
    int current_frame = 0;  // index into the frame list
    const QRgb background;  // colour that disposal 2 and the wrap to frame 0 clear to
};

// Milliseconds the thread waits after drawing a frame of `delay` hundredths of a
// second: delay * 10 when the delay, taken as an unsigned 32-bit number, is 5 or
// more, otherwise 100. The product wraps at 32 bits, so a frame without a delay
// (-1) waits 4294967286 ms, which lasts until the animation is stopped.
std::uint32_t FrameWaitMilliseconds(int delay);

// The steps of the animation, each taking the surface's lock. `frames` must not be
// empty and the surface's current frame must index it.
//
// Draws the current frame at its position, first saving the area under it when
// its disposal is 3. Returns false, leaving the surface as it was, when the
// frame's picture cannot be drawn.
bool DrawCurrentFrame(PictureSurface& surface, const PictureFrameList& frames);
// Disposes of the current frame: disposal 2 clears its rectangle to the background
// colour; disposal 3 puts back the saved area; other methods leave it.
void DisposeCurrentFrame(PictureSurface& surface, const PictureFrameList& frames);
// Moves to the next frame; after the last one, back to frame 0 with the whole
// surface cleared to the background colour.
void AdvanceFrame(PictureSurface& surface, const PictureFrameList& frames);

// One run of an animation thread: its exit flag, its stop event (manual reset)
// and the news that it has ended. A run is never reused, so a thread that is
// still winding down cannot be revived by the next start.
class AnimationRun {
  public:
    // `invalidate` asks for a repaint; it is called only while no exit is requested.
    explicit AnimationRun(std::function<void()> invalidate);

    // Sets the exit flag and signals the stop event, ending any wait at once.
    void RequestExit();
    bool ExitRequested() const;
    // Waits until the stop event is signalled or `wait` has passed.
    void WaitForStop(std::chrono::milliseconds wait);
    // Asks for a repaint unless an exit has been requested.
    void Invalidate();

    // Called by the thread as its last act on the run.
    void MarkFinished();
    // Waits at most `wait` for the thread to end; true when it has.
    bool WaitFinished(std::chrono::milliseconds wait);

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool exit_ = false;
    bool stop_event_ = false;
    bool finished_ = false;
    std::function<void()> invalidate_;
};

// Body of the animation thread: disposes of the current frame once, then draws
// frame after frame with their delays until an exit is requested.
void AnimationThread(std::shared_ptr<AnimationRun> run, std::shared_ptr<PictureSurface> surface,
                     std::shared_ptr<const PictureFrameList> frames);

}  // namespace tapwright
