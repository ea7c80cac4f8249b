#pragma once

// A WindowPlatform that records what the window asks of the desktop, answers file
// dialogs from a queue and runs design jobs at once (optionally cancelled).

#include <atomic>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/control_model.h"
#include "ui/window_platform.h"

namespace tapwright::ui {

class FakePlatform : public WindowPlatform, public ProgressSink {
  public:
    struct Box {
        BoxIcon icon;
        std::string text;
    };

    std::vector<Box> boxes;
    std::deque<std::optional<std::string>> fileNames;  // answers of both file dialogs
    std::vector<int> focus;
    int repaints = 0;
    std::vector<std::string> picturesLoaded;
    std::vector<int> picturesStarted;
    std::vector<int> picturesStopped;
    bool picturesExist = true;
    int jobs = 0;
    int progressEvents = 0;
    // Cancel the next job after this many progress events (0: before it starts).
    std::optional<int> cancelAfterProgress;
    // Runs while a box is open, as the desktop's focus handling may.
    std::function<void()> duringBox;
    // Keeps the next job running (the window busy) until FinishHeldJob.
    bool holdNextJob = false;

    void ShowBox(BoxIcon icon, const std::string& text) override {
        boxes.push_back({icon, text});
        if (duringBox) duringBox();
    }
    std::optional<std::string> AskSaveFileName() override { return NextName(); }
    std::optional<std::string> AskOpenFileName() override { return NextName(); }
    void SetFocus(int id) override { focus.push_back(id); }
    void RepaintNow(int) override { ++repaints; }
    bool LoadPicture(int, const std::string& file) override {
        picturesLoaded.push_back(file);
        return picturesExist;
    }
    void StartPicture(int id) override { picturesStarted.push_back(id); }
    void StopAndReleasePicture(int id) override { picturesStopped.push_back(id); }

    void RunDesignJob(DesignJob job) override {
        ++jobs;
        if (holdNextJob) {
            holdNextJob = false;
            held_ = std::move(job);
            return;
        }
        cancel_ = cancelAfterProgress && *cancelAfterProgress == 0;
        job.work(cancel_, *this);
        const bool cancelled = cancel_.load();
        cancelAfterProgress.reset();
        job.finish(cancelled);
    }
    void SetProgressVisible(ProgressText, bool) override { Progress(); }
    void RepaintProgress(ProgressText) override { Progress(); }

    void FinishHeldJob() {
        if (!held_) return;
        DesignJob job = std::move(*held_);
        held_.reset();
        cancel_ = false;
        job.work(cancel_, *this);
        job.finish(false);
    }

    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const Box& b : boxes) texts.push_back(b.text);
        return texts;
    }

  private:
    std::optional<std::string> NextName() {
        if (fileNames.empty()) return std::nullopt;
        std::optional<std::string> name = std::move(fileNames.front());
        fileNames.pop_front();
        return name;
    }
    void Progress() {
        ++progressEvents;
        if (cancelAfterProgress && --*cancelAfterProgress <= 0) cancel_ = true;
    }

    std::atomic<bool> cancel_{false};
    std::optional<DesignJob> held_;
};

// A control's state as the test tables write it.
enum S { Hidden, Off, On };

inline S StateOf(const ControlModel& m, int id) {
    const ControlState& s = m.State(id);
    if (!s.visible) return Hidden;
    return s.enabled ? On : Off;
}

}  // namespace tapwright::ui
