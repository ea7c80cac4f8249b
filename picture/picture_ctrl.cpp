#include "picture/picture_ctrl.h"

#include <QMetaObject>
#include <QPainter>
#include <QPalette>
#include <fstream>
#include <iterator>
#include <span>
#include <system_error>
#include <vector>

namespace tapwright {

CPictureCtrl::CPictureCtrl(QWidget* parent) : QWidget(parent) {}

CPictureCtrl::~CPictureCtrl() {
    OnDestroy();
    Unload();
}

void CPictureCtrl::OnDestroy() {
    Stop();
}

bool CPictureCtrl::LoadFromFile(const std::string& file_name) {
    std::ifstream file(file_name, std::ios::binary);
    if (!file) return false;
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                    std::istreambuf_iterator<char>());
    if (file.bad()) return false;
    return LoadFromMemory(bytes.data(), bytes.size());
}

bool CPictureCtrl::LoadFromMemory(const std::uint8_t* data, std::size_t size) {
    Unload();
    if (data == nullptr && size != 0) return false;
    std::optional<DecodedPicture> picture =
        DecodePicture(std::span<const std::uint8_t>(data, size), logicalDpiX(), logicalDpiY());
    if (!picture) return false;
    width_ = picture->width;
    height_ = picture->height;
    gif_ = picture->gif;
    still_ = std::move(picture->still);
    if (!picture->frames.empty()) {
        frames_ = std::make_shared<const PictureFrameList>(std::move(picture->frames));
    }
    if (PrepareSurface(width_, height_)) return true;
    // A decoded still picture stays until the next unload; the frames do not.
    gif_ = false;
    frames_.reset();
    return false;
}

bool CPictureCtrl::PrepareSurface(int width, int height) {
    resize(width, height);
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide) {
        return false;
    }
    const QColor button_face = palette().color(QPalette::Active, QPalette::Button);
    const QColor window = palette().color(QPalette::Active, QPalette::Window);
    auto surface = std::make_shared<PictureSurface>(width, height, window.rgb(), button_face.rgb());
    if (surface->pixels.isNull()) return false;
    // A thread drawing on the surface being replaced is ended first.
    Stop();
    surface_ = std::move(surface);
    background_ = button_face;
    return true;
}

bool CPictureCtrl::IsAnimated() const {
    return gif_ && frames_ && frames_->size() > 1;
}

bool CPictureCtrl::Draw() {
    if (!surface_) return false;
    if (IsAnimated()) {
        if (thread_.joinable()) return false;
        auto run = std::make_shared<AnimationRun>([this] { RequestRepaint(); });
        try {
            thread_ = std::thread(AnimationThread, run, surface_, frames_);
        } catch (const std::system_error&) {
            return false;
        }
        run_ = std::move(run);
        return false;
    }
    if (still_.isNull()) return false;
    {
        std::lock_guard lock(surface_->mutex);
        QPainter painter(&surface_->pixels);
        painter.drawImage(QRect(0, 0, width_, height_), still_);
    }
    update();
    return true;
}

void CPictureCtrl::Stop() {
    if (!run_) return;
    run_->RequestExit();
    if (thread_.joinable()) {
        if (run_->WaitFinished(stop_wait_)) {
            thread_.join();
        } else {
            // The thread holds its own references to all it touches and will not
            // ask for a repaint any more, so it may finish on its own.
            thread_.detach();
        }
    }
    run_.reset();
}

void CPictureCtrl::Unload() {
    Stop();
    still_ = QImage();
    frames_.reset();
    surface_.reset();
    gif_ = false;
    background_ = QColor(255, 255, 255);
}

QImage CPictureCtrl::SurfaceSnapshot() const {
    if (!surface_) return {};
    std::lock_guard lock(surface_->mutex);
    return surface_->pixels.copy();
}

void CPictureCtrl::paintEvent(QPaintEvent*) {
    OnPaint();
}

void CPictureCtrl::OnPaint() {
    if (!surface_) return;
    QPainter painter(this);
    std::lock_guard lock(surface_->mutex);
    painter.drawImage(QPoint(0, 0), surface_->pixels);
}

void CPictureCtrl::RequestRepaint() {
    // Called on the animation thread: the repaint itself runs on the control's
    // thread. Queued calls still pending when the control is deleted are dropped.
    QMetaObject::invokeMethod(
        this, [this] { update(); }, Qt::QueuedConnection);
}

}  // namespace tapwright
