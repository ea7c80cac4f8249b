#pragma once

// The design pipeline: checks the committed filter spec, keeps the previous
// response under Hold On, runs the chosen design routine and reports its outcome.
// It draws nothing and touches no widget: what it needs from the window comes
// through DesignHost.

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "core/filter_spec.h"
#include "core/fir_design.h"
#include "core/messages.h"

namespace tapwright {

// What the window supplies to the pipeline. The progress texts of an equiripple
// design arrive through the ProgressSink part.
class DesignHost : public ProgressSink {
  public:
    // Reads every input field into the committed values, and writes them back.
    virtual void PullEditBuffer() = 0;
    virtual void PushEditBuffer() = 0;
    // Current selections of the Response Type and Function Type combos.
    virtual ResponseType ResponseTypeSelection() const = 0;
    virtual DesignMethod DesignMethodSelection() const = 0;
    // Whether the user gives the length (and the Kaiser beta): the check state of
    // "Auto Design Filter". Unchecked, a window design estimates its length.
    virtual bool LengthGiven() const = 0;
    // A numbered message in a box with the stop icon; returns when it is closed.
    virtual void ShowMessage(MessageCode code, const MessageArgs& args) = 0;
    // A text in a box with the information icon.
    virtual void ShowInformation(const std::string& text) = 0;
    virtual void SetApplyEnabled(bool enabled) = 0;
    virtual void SetSaveEnabled(bool enabled) = 0;
    // Rebuilds the coefficient list from the design object.
    virtual void FillCoefficientList() = 0;
};

// Window flags the pipeline reads and sets.
struct PipelineFlags {
    bool designValid = false;
    bool holdActive = false;
};

struct CheckOutcome {
    bool passed = false;
    float f1 = 0.0f;  // Hz, the lower cutoff for band pass and band stop
    float f2 = 0.0f;  // Hz
};

struct RunOutcome {
    // Designed also for a display-only run. Singular and Refused have shown their
    // message and left the previous design whole; Cancelled has changed nothing.
    DesignStatus status = DesignStatus::Designed;
    // The pipeline's result r: Itern after a window-method design and a display-only
    // run; after an equiripple design 0, or the reweighted solves done when it stops on
    // the peak-error ratio. -1 for a singular matrix, -2 when the design routine
    // refused its arguments (only what the checks let through by mistake).
    int r = 0;
    bool displayOnly = false;  // the design was still valid: nothing designed
    bool equiripple = false;   // which family ran (or would have run)
};

// Length parity, length limits and band order; the cutoff pair. A failure has shown
// its message and changed nothing but the edit buffer pull.
CheckOutcome CheckSpec(FilterSpec& spec, CFirDesign& design, const PipelineFlags& flags,
                       DesignHost& host);

// Under Hold On: the current dB curve becomes the held curve, and WType follows the
// Function Type selection.
void StashHeldDesign(FilterSpec& spec, CFirDesign& design, DesignHost& host);

// Designs with the method the Function Type selection names (nothing while the
// design is still valid), reports the equiripple outcome and refills the list.
// `cancel` (may be null) stops an equiripple design between its solves: the run
// then returns Cancelled having changed nothing and asked nothing of the host.
RunOutcome RunDesign(FilterSpec& spec, CFirDesign& design, PipelineFlags& flags, DesignHost& host,
                     float f1, float f2, const std::atomic<bool>* cancel = nullptr);

// A host with no window: selections come from the filter spec itself, and
// messages, information texts and progress events are recorded.
class RecordingDesignHost : public DesignHost {
  public:
    explicit RecordingDesignHost(const FilterSpec& spec) : spec_(&spec) {}

    void PullEditBuffer() override {}
    void PushEditBuffer() override { ++pushes; }
    ResponseType ResponseTypeSelection() const override { return spec_->FType; }
    DesignMethod DesignMethodSelection() const override { return spec_->WType; }
    bool LengthGiven() const override { return spec_->AutoD != 0; }
    void ShowMessage(MessageCode code, const MessageArgs& args) override {
        messages.emplace_back(code, FormatMessage(code, args));
    }
    void ShowInformation(const std::string& text) override { information.push_back(text); }
    void SetApplyEnabled(bool enabled) override { applyEnabled = enabled; }
    void SetSaveEnabled(bool enabled) override { saveEnabled = enabled; }
    void FillCoefficientList() override { ++listFills; }
    void SetProgressVisible(ProgressText text, bool visible) override {
        progress.push_back({text, visible ? ProgressEvent::Show : ProgressEvent::Hide});
    }
    void RepaintProgress(ProgressText text) override {
        progress.push_back({text, ProgressEvent::Repaint});
    }

    struct ProgressEvent {
        enum Kind { Show, Hide, Repaint };
        ProgressText text;
        Kind kind;
    };

    std::vector<std::pair<MessageCode, std::string>> messages;
    std::vector<std::string> information;
    std::vector<ProgressEvent> progress;
    int pushes = 0;
    int listFills = 0;
    bool applyEnabled = true;
    bool saveEnabled = true;

  private:
    const FilterSpec* spec_;
};

}  // namespace tapwright
