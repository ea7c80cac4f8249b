#include "picture/picture_animation.h"

#include <QPainter>
#include <utility>

namespace tapwright {

PictureSurface::PictureSurface(int width, int height, QRgb fill, QRgb background_colour)
    : pixels(width, height, QImage::Format_RGB32), background(background_colour) {
    pixels.fill(fill);
}

std::uint32_t FrameWaitMilliseconds(int delay) {
    const std::uint32_t d = static_cast<std::uint32_t>(delay);
    return d >= 5 ? d * 10u : 100u;
}

bool DrawCurrentFrame(PictureSurface& surface, const PictureFrameList& frames) {
    std::lock_guard lock(surface.mutex);
    const PictureFrame& f = frames[surface.current_frame];
    if (f.picture.isNull() || surface.pixels.isNull()) return false;
    if (f.disposal == 3) surface.saved_area = surface.pixels.copy(f.left, f.top, f.width, f.height);
    QPainter painter(&surface.pixels);
    painter.drawImage(QRect(f.left, f.top, f.width, f.height), f.picture);
    return true;
}

void DisposeCurrentFrame(PictureSurface& surface, const PictureFrameList& frames) {
    std::lock_guard lock(surface.mutex);
    const PictureFrame& f = frames[surface.current_frame];
    if (f.disposal == 2) {
        QPainter painter(&surface.pixels);
        painter.fillRect(QRect(f.left, f.top, f.width, f.height), QColor(surface.background));
    } else if (f.disposal == 3 && !surface.saved_area.isNull()) {
        QPainter painter(&surface.pixels);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPoint(f.left, f.top), surface.saved_area);
        painter.end();
        surface.saved_area = QImage();
    }
}

void AdvanceFrame(PictureSurface& surface, const PictureFrameList& frames) {
    std::lock_guard lock(surface.mutex);
    ++surface.current_frame;
    if (surface.current_frame >= static_cast<int>(frames.size())) {
        surface.current_frame = 0;
        surface.pixels.fill(surface.background);
    }
}

AnimationRun::AnimationRun(std::function<void()> invalidate) : invalidate_(std::move(invalidate)) {}

void AnimationRun::RequestExit() {
    {
        std::lock_guard lock(mutex_);
        exit_ = true;
        stop_event_ = true;
    }
    changed_.notify_all();
}

bool AnimationRun::ExitRequested() const {
    std::lock_guard lock(mutex_);
    return exit_;
}

void AnimationRun::WaitForStop(std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, wait, [this] { return stop_event_; });
}

void AnimationRun::Invalidate() {
    // Under the lock, so that once RequestExit has returned no request can follow:
    // the control may be gone by then.
    std::lock_guard lock(mutex_);
    if (!exit_ && invalidate_) invalidate_();
}

void AnimationRun::MarkFinished() {
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    changed_.notify_all();
}

bool AnimationRun::WaitFinished(std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, wait, [this] { return finished_; });
}

void AnimationThread(std::shared_ptr<AnimationRun> run, std::shared_ptr<PictureSurface> surface,
                     std::shared_ptr<const PictureFrameList> frames) {
    DisposeCurrentFrame(*surface, *frames);
    while (!run->ExitRequested()) {
        if (DrawCurrentFrame(*surface, *frames)) run->Invalidate();
        if (run->ExitRequested()) break;
        int delay = 0;
        {
            std::lock_guard lock(surface->mutex);
            delay = (*frames)[surface->current_frame].delay;
        }
        run->WaitForStop(std::chrono::milliseconds(FrameWaitMilliseconds(delay)));
        if (run->ExitRequested()) break;
        DisposeCurrentFrame(*surface, *frames);
        AdvanceFrame(*surface, *frames);
    }
    run->MarkFinished();
}

}  // namespace tapwright
