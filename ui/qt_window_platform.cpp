#include "ui/qt_window_platform.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <utility>

#include "core/messages.h"
#include "picture/picture_ctrl.h"
#include "picture/picture_files.h"
#include "ui/control_ids.h"

namespace tapwright::ui {

namespace {

// A box's label wraps only where a line may break; a long run without a space (a
// number printed with %f can run to 300 digits) gets invisible break chances every
// few characters, so that the whole text is shown.
QString Breakable(const std::string& text) {
    constexpr int kLongestRun = 40;
    QString out;
    int run = 0;
    for (const QChar c : QString::fromStdString(text)) {
        if (c.isSpace()) {
            run = 0;
        } else if (++run > kLongestRun && !c.isLowSurrogate()) {
            out += QChar(0x200B);  // zero-width space
            run = 1;
        }
        out += c;
    }
    return out;
}

// The text over the main graph while a design runs: the share of its solves done,
// to a hundredth of a percent, so that it moves with every solve of a long design.
QString ProgressLabelText(int done, int limit) {
    const double percent = limit > 0 ? 100.0 * std::clamp(done, 0, limit) / limit : 0.0;
    return QStringLiteral("Processing: %1% completed\nEscape cancels").arg(percent, 0, 'f', 2);
}

// An open combo list would sit between the user and a box.
void ClosePopups() {
    while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
}

}  // namespace

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<std::string> AskFileToSave(QWidget* parent, const QString& title,
                                         const QString& filter, const QString& suffix,
                                         bool confirmOverwrite) {
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    if (!confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return LocalPath(dialog.selectedFiles().first());
}

// Forwards the progress of a design from the worker thread to the window as queued
// calls, at most every 100 ms and at the last solve; calls still queued when the
// window is gone are dropped. The window shows one text of its own for the whole
// design, so the engine's four static texts are not forwarded.
class QtWindowPlatform::ProgressForwarder : public ProgressSink {
  public:
    explicit ProgressForwarder(QtWindowPlatform* platform) : platform_(platform) {}

    void SetProgressVisible(ProgressText, bool) override {}
    void RepaintProgress(ProgressText) override {}

    void SolvesDone(int done, int limit) override {
        const auto now = std::chrono::steady_clock::now();
        if (done < limit && now - last_ < std::chrono::milliseconds(100)) return;
        last_ = now;
        QtWindowPlatform* p = platform_;
        QMetaObject::invokeMethod(
            p->access_.window, [p, done, limit] { p->ShowProgress(done, limit); },
            Qt::QueuedConnection);
    }

  private:
    QtWindowPlatform* platform_;
    std::chrono::steady_clock::time_point last_{};  // worker thread only
};

QtWindowPlatform::QtWindowPlatform(WindowAccess window)
    : access_(std::move(window)), progress_(std::make_unique<ProgressForwarder>(this)) {}

QtWindowPlatform::~QtWindowPlatform() {
    AbandonDesignJob();
}

void QtWindowPlatform::TakeActivationBack() {
    QWidget* w = access_.window;
    if (w->isVisible() && !w->isActiveWindow()) w->activateWindow();
}

void QtWindowPlatform::ExecBox(QMessageBox& box) {
    access_.mirrorModel();
    ClosePopups();
    ++boxesShown_;
    Modal([&] { box.exec(); });
}

void QtWindowPlatform::ShowBox(BoxIcon icon, const std::string& text) {
    QMessageBox box(icon == BoxIcon::Stop ? QMessageBox::Critical : QMessageBox::Information,
                    QStringLiteral("Tapwright"), Breakable(text), QMessageBox::Ok, access_.window);
    box.setTextFormat(Qt::PlainText);
    ExecBox(box);
    TakeActivationBack();
}

DiscardAnswer QtWindowPlatform::AskDiscardInputs(bool saveOffered) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Tapwright"),
                    QString::fromLatin1(kDiscardUnsavedText), QMessageBox::NoButton,
                    access_.window);
    QPushButton* save = saveOffered ? box.addButton(QMessageBox::Save) : nullptr;
    QPushButton* discard = box.addButton(QMessageBox::Discard);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(saveOffered ? save : cancel);
    box.setEscapeButton(cancel);
    ExecBox(box);
    QAbstractButton* answer = box.clickedButton();
    if (answer == discard) return DiscardAnswer::Discard;
    if (save != nullptr && answer == save) return DiscardAnswer::Save;
    TakeActivationBack();
    return DiscardAnswer::Cancel;
}

std::optional<std::string> QtWindowPlatform::AskSaveFileName() {
    access_.mirrorModel();
    // An existing file is replaced without asking, as Save always did.
    return Modal([this] {
        return AskFileToSave(access_.window, QStringLiteral("Save As"),
                             QStringLiteral("Text Files (*.txt)"), QStringLiteral("txt"), false);
    });
}

std::optional<std::string> QtWindowPlatform::AskOpenFileName() {
    access_.mirrorModel();
    QFileDialog dialog(access_.window, QStringLiteral("Open"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(
        {QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*.*)")});
    const int result = Modal([&] { return dialog.exec(); });
    if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return LocalPath(dialog.selectedFiles().first());
}

void QtWindowPlatform::SetFocus(int id) {
    QWidget* w = access_.widgetOf(id);
    if (w == nullptr) return;
    access_.mirrorModel();
    settingFocus_ = true;
    w->setFocus(Qt::OtherFocusReason);
    settingFocus_ = false;
    // The value put back is selected, ready to be typed over.
    if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->selectAll();
}

void QtWindowPlatform::RepaintNow(int id) {
    access_.mirrorModel();
    if (id == 0) {
        access_.repaintChanged();
    } else if (QWidget* w = access_.widgetOf(id)) {
        w->repaint();
    }
}

bool QtWindowPlatform::LoadPicture(int id, const std::string& file) {
    auto* picture = dynamic_cast<CPictureCtrl*>(access_.widgetOf(id));
    return picture != nullptr && picture->LoadFromFile(FindPictureFile(file));
}

void QtWindowPlatform::StartPicture(int id) {
    if (auto* picture = dynamic_cast<CPictureCtrl*>(access_.widgetOf(id))) picture->Draw();
}

void QtWindowPlatform::StopAndReleasePicture(int id) {
    if (auto* picture = dynamic_cast<CPictureCtrl*>(access_.widgetOf(id))) picture->Unload();
}

void QtWindowPlatform::RunDesignJob(DesignJob job) {
    if (jobRunning_) {
        // One design at a time; the logic never asks for a second.
        if (job.finish) job.finish(true);
        return;
    }
    access_.mirrorModel();
    cancel_ = false;
    finish_ = std::move(job.finish);
    jobRunning_ = true;
    // One text over the main graph for the whole design; the model does not know it,
    // and FinishDesignJob puts its state back.
    if (auto* label = qobject_cast<QLabel*>(access_.widgetOf(kProcessingText))) {
        label->setText(ProgressLabelText(0, 1));
        label->show();
        label->raise();
        label->repaint();
    }
    worker_ = std::thread([this, work = std::move(job.work)] {
        if (work) work(cancel_, *progress_);
        QMetaObject::invokeMethod(
            access_.window, [this] { FinishDesignJob(); }, Qt::QueuedConnection);
    });
}

void QtWindowPlatform::ShowProgress(int done, int limit) {
    auto* label = qobject_cast<QLabel*>(access_.widgetOf(kProcessingText));
    if (!jobRunning_ || label == nullptr) return;
    label->setText(ProgressLabelText(done, limit));
    label->repaint();
}

void QtWindowPlatform::FinishDesignJob() {
    if (!jobRunning_) return;
    if (worker_.joinable()) worker_.join();
    jobRunning_ = false;
    const auto finish = std::move(finish_);
    finish_ = nullptr;
    if (finish) finish(cancel_.load());
    // The progress texts were shown directly; the model says what stays, and their
    // place is painted again.
    for (const int id : kProgressTexts) {
        access_.mirrorControl(id);
        access_.window->update(access_.widgetOf(id)->geometry());
    }
    access_.mirrorModel();
}

void QtWindowPlatform::CancelDesign() {
    if (jobRunning_) cancel_ = true;
}

void QtWindowPlatform::AbandonDesignJob() {
    if (!jobRunning_) return;
    cancel_ = true;
    if (worker_.joinable()) worker_.join();
    jobRunning_ = false;
    finish_ = nullptr;
}

void WindowPrintMessages::ShowMessage(MessageCode code) {
    beforeBox_();
    platform_.ShowBox(BoxIcon::Stop, FormatMessage(code));
}

void WindowPrintMessages::ShowInformation(const std::string& text) {
    beforeBox_();
    platform_.ShowBox(BoxIcon::Information, text);
}

}  // namespace tapwright::ui
