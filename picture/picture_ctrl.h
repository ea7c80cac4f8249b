#pragma once

// CPictureCtrl: a static control that shows one picture loaded from a file. A
// still picture is drawn once onto an off-screen surface of the picture's size;
// an animated GIF gets a worker thread that draws its frames onto the surface
// with their delays and disposal methods until it is stopped. Painting copies
// the surface to the screen.
//
// All operations run on the user-interface thread. The animation thread only
// touches the surface (under its lock), the frame list (read-only) and its run.

#include <QColor>
#include <QImage>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "picture/picture_animation.h"
#include "picture/picture_decode.h"

namespace tapwright {

class CPictureCtrl : public QWidget {
  public:
    // How long Stop waits for the animation thread to end.
    static constexpr std::chrono::milliseconds kStopWait{5000};

    explicit CPictureCtrl(QWidget* parent = nullptr);
    ~CPictureCtrl() override;

    CPictureCtrl(const CPictureCtrl&) = delete;
    CPictureCtrl& operator=(const CPictureCtrl&) = delete;

    // Loads a picture file read whole into memory; the name is used as given (a bare
    // name is relative to the working directory). A file that cannot be opened or
    // read returns false and leaves the control as it was.
    bool LoadFromFile(const std::string& file_name);
    // Loads a picture from `size` bytes at `data`; the caller keeps the bytes. Always
    // unloads first; true when the picture decoded and the surface was prepared.
    bool LoadFromMemory(const std::uint8_t* data, std::size_t size);

    // Renders a still picture onto the surface (true), or starts the animation of an
    // animated GIF (false, as is any failure). While an animation runs, Draw starts
    // no second thread.
    bool Draw();
    // Ends the animation thread, waiting for it at most kStopWait (or the wait set
    // for tests). The surface keeps the last frame drawn.
    void Stop();
    // Stops and releases the picture, the frames and the surface. The picture size
    // keeps its value until the next load.
    void Unload();
    // Resizes the control to width x height pixels (1..kMaxPictureSide each), keeping
    // its top-left corner, and creates the surface filled with the window colour.
    bool PrepareSurface(int width, int height);

    // A GIF of which more than one frame decoded.
    bool IsAnimated() const;
    // True while an animation thread belongs to the control.
    bool IsAnimating() const { return thread_.joinable(); }
    bool IsSurfaceReady() const { return surface_ != nullptr; }
    int PictureWidth() const { return width_; }
    int PictureHeight() const { return height_; }
    // White when empty; the button-face colour once a surface is prepared.
    QColor BackgroundColour() const { return background_; }
    // The surface shared with the animation thread, or null; lock its mutex to read it.
    std::shared_ptr<PictureSurface> Surface() const { return surface_; }
    // The frames of an animated GIF, or null.
    std::shared_ptr<const PictureFrameList> Frames() const { return frames_; }
    // A copy of the surface's pixels taken under its lock; null without a surface.
    QImage SurfaceSnapshot() const;

    // Shortens the wait of Stop, so tests can reach the case of a thread that does
    // not end in time.
    void SetStopWaitForTesting(std::chrono::milliseconds wait) { stop_wait_ = wait; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // Copies the surface to the control; with no surface there is nothing to copy.
    void OnPaint();
    // Ends the animation before the control goes away.
    void OnDestroy();
    void RequestRepaint();

    int width_ = 0;
    int height_ = 0;
    QColor background_{255, 255, 255};
    bool gif_ = false;
    std::chrono::milliseconds stop_wait_ = kStopWait;

    std::shared_ptr<PictureSurface> surface_;
    QImage still_;
    std::shared_ptr<const PictureFrameList> frames_;

    std::shared_ptr<AnimationRun> run_;
    std::thread thread_;
};

}  // namespace tapwright
