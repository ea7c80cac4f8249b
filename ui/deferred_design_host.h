#pragma once

// A DesignHost for a design that runs off the user-interface thread. It answers
// the selections from a snapshot taken when the design started, forwards the
// progress texts at once, and records every other call (messages, the information
// box, enables, the list refill, pushes) so that the window can replay them in
// order on its own host once it takes the design, or drop them when the design
// was cancelled. Pure C++.

#include <functional>
#include <string>
#include <vector>

#include "core/design_pipeline.h"

namespace tapwright::ui {

class DeferredDesignHost : public DesignHost {
  public:
    DeferredDesignHost(ResponseType responseSelection, DesignMethod methodSelection,
                       bool lengthGiven)
        : responseSelection_(responseSelection),
          methodSelection_(methodSelection),
          lengthGiven_(lengthGiven) {}

    // Where the progress texts go while the design runs (may be null).
    void SetProgressSink(ProgressSink* sink) { progress_ = sink; }

    // Runs the recorded calls, in order, on `host`.
    void Replay(DesignHost& host) const {
        for (const auto& call : calls_) call(host);
    }
    std::size_t RecordedCalls() const { return calls_.size(); }

    void PullEditBuffer() override {
        calls_.push_back([](DesignHost& h) { h.PullEditBuffer(); });
    }
    void PushEditBuffer() override {
        calls_.push_back([](DesignHost& h) { h.PushEditBuffer(); });
    }
    ResponseType ResponseTypeSelection() const override { return responseSelection_; }
    DesignMethod DesignMethodSelection() const override { return methodSelection_; }
    bool LengthGiven() const override { return lengthGiven_; }
    void ShowMessage(MessageCode code, const MessageArgs& args) override {
        calls_.push_back([code, args](DesignHost& h) { h.ShowMessage(code, args); });
    }
    void ShowInformation(const std::string& text) override {
        calls_.push_back([text](DesignHost& h) { h.ShowInformation(text); });
    }
    void SetApplyEnabled(bool enabled) override {
        calls_.push_back([enabled](DesignHost& h) { h.SetApplyEnabled(enabled); });
    }
    void SetSaveEnabled(bool enabled) override {
        calls_.push_back([enabled](DesignHost& h) { h.SetSaveEnabled(enabled); });
    }
    void FillCoefficientList() override {
        calls_.push_back([](DesignHost& h) { h.FillCoefficientList(); });
    }
    void SetProgressVisible(ProgressText text, bool visible) override {
        if (progress_) progress_->SetProgressVisible(text, visible);
    }
    void RepaintProgress(ProgressText text) override {
        if (progress_) progress_->RepaintProgress(text);
    }

  private:
    ResponseType responseSelection_;
    DesignMethod methodSelection_;
    bool lengthGiven_;
    ProgressSink* progress_ = nullptr;
    std::vector<std::function<void(DesignHost&)>> calls_;
};

}  // namespace tapwright::ui
