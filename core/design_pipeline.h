#pragma once

// The design as a function: a request (the committed filter spec, the window's
// selections and the design on screen) goes in, an outcome (status, the notices to
// show, the design and the values it writes back) comes out. The window and the
// batch designer run the same sequence; nothing here knows a control or a view.

#include <atomic>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/filter_spec.h"
#include "core/fir_design.h"
#include "core/messages.h"

namespace tapwright {

// Raised by another thread to stop an equiripple design between its long steps.
using CancelToken = std::atomic<bool>;

// What the design asks of the user, in the order it arose: a numbered message in a
// stop box, or a text in an information box.
struct DesignNotice {
    bool information = false;
    MessageCode code = MessageCode::SingularMatrix;  // when !information
    MessageArgs args;                                // when !information
    std::string text;                                // when information

    static DesignNotice Message(MessageCode code, const MessageArgs& args = {}) {
        DesignNotice n;
        n.code = code;
        n.args = args;
        return n;
    }
    static DesignNotice Information(std::string text) {
        DesignNotice n;
        n.information = true;
        n.text = std::move(text);
        return n;
    }

    // The text as shown.
    std::string Text() const { return information ? text : FormatMessage(code, args); }
};

struct DesignRequest {
    FilterSpec spec;  // the committed filter spec
    // The Response Type and Function Type selections and "Auto Design Filter"
    // (checked: the length and the Kaiser beta are given; unchecked: a window design
    // estimates them). No selection (-1) is neither a band type nor Equiripple.
    ResponseType responseSelection = LowPass;
    DesignMethod methodSelection = Rectangular;
    bool lengthGiven = true;
    // The design on screen matches the inputs: nothing is designed (a redraw run).
    bool designValid = false;
    // Under Hold On the committed method follows the Function Type selection.
    bool holdActive = false;
    // The design on screen; the outcome carries it on unchanged when nothing new is
    // designed, and a new design starts from it (fields a design does not fill keep
    // their values).
    CFirDesign previous;
};

struct DesignOutcome {
    // Whether length parity, length limits, band order and the rules between fields
    // (CheckSpecRules) allowed a design; when not, `notices` holds the one message
    // and nothing else changed.
    bool checked = false;
    // Designed also for a redraw run. Singular, Refused and NotConverged (a
    // Parks-McClellan exchange that did not converge, or a length search that found
    // no length) carry their message and the previous design; Cancelled changes
    // nothing and shows nothing.
    DesignStatus status = DesignStatus::Refused;
    // Itern after a window-method design and a redraw run; after an equiripple design
    // 0, or the reweighted solves done when it stops on the peak-error ratio; after a
    // Parks-McClellan design 0. -1 for a singular matrix or no convergence, -2 when
    // the design routine refused its arguments.
    int r = 0;
    bool redrawOnly = false;  // the design was still valid: nothing designed
    bool equiripple = false;  // which family ran (or would have run)
    std::vector<DesignNotice> notices;
    // The committed filter spec after the design: an estimated length (a
    // Parks-McClellan length search also sets FChar to the length's parity), the
    // iterations and ratio an equiripple design reached, under Hold On the method.
    FilterSpec spec;
    // The input fields must show the values the design wrote back into `spec`.
    bool writesBack = false;
    CFirDesign design;
};

// The message that refuses the request (length parity, length limits, band order, the
// rules between fields), or nothing when it may be designed. Design runs the same
// check first.
std::optional<DesignNotice> CheckRequest(const DesignRequest& request);

// Checks the request and designs it with the method the Function Type selection
// names. `cancel` (may be null) stops an equiripple or Parks-McClellan design;
// `progress` (may be null) receives its progress texts, from the calling thread (a
// Parks-McClellan design repaints one at least once a second).
DesignOutcome Design(DesignRequest request, const CancelToken* cancel = nullptr,
                     ProgressSink* progress = nullptr);

// The selections a spec file stands for when nothing but the file chooses: its
// response type, its method, its Auto Design state.
DesignRequest RequestFromSpec(const FilterSpec& spec);

}  // namespace tapwright
