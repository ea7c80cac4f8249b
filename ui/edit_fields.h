#pragma once

// The main window's edit fields, one table row each: the buffer value the field is
// bound to, the filter-spec value (by its file key) it is committed to, and the
// check its value passes when the field loses the focus. The transfers between the
// fields and the buffer (pull, push), the checks, restoring the last good value and
// committing walk that table. Restoring and committing are separate steps, so the
// window can show a refusal's message in between. Pure C++.
//
// Beta, the iteration count and the ratio have no buffer of their own: a pull
// writes them straight into the filter spec, and a push shows the spec's values;
// so does the termination radio.

#include <vector>

#include "core/filter_spec.h"
#include "core/messages.h"
#include "ui/control_model.h"
#include "ui/spec_edit_buffer.h"

namespace tapwright::ui {

struct FieldVerdict {
    bool accepted = true;
    MessageCode code = MessageCode::NotANumber;  // when refused
    MessageArgs args;
    bool focusBack = true;  // when refused: the focus goes back to the field
};

// Ids of the edit fields the buffer is bound to, in the order a pull reads them.
const std::vector<int>& BoundEditIds();

// Reads every bound field into the buffer, and Beta, Itern, Ratio and TerCr on into
// the filter spec. A field that does not parse keeps its buffer value; the ids of
// those fields are returned, in pull order.
std::vector<int> PullEditBuffer(const ControlModel& model, SpecEditBuffer& buffer,
                                FilterSpec& spec);

// The ids of the bound fields whose text does not parse, without pulling anything.
std::vector<int> UnparsedFields(const ControlModel& model);

// Takes Beta, Itern, Ratio and TerCr from the filter spec, then writes every value
// into its field (and checks the termination radio).
void PushEditBuffer(SpecEditBuffer& buffer, const FilterSpec& spec, ControlModel& model);

// Sets the buffer values of the spec's scalar fields (Fs, Tw, the cutoffs, Taps, the
// ripples, TBand), or of band `band`'s fields, from `spec`. Nothing else changes.
void TakeScalarFields(SpecEditBuffer& buffer, const FilterSpec& spec);
void TakeBandFields(SpecEditBuffer& buffer, const FilterSpec& spec, int band);

// Whether `id` is an edit field with a focus-loss check.
bool IsCheckedField(int id);
// Whether `id` is an edit field of a filter-spec value (all but the view range).
bool IsSpecField(int id);

// Whether a refused value of `id` gives the focus back to the field (all but the
// number of bands and the view range).
bool FocusReturnsTo(int id);

// Checks the value of field `id` in `typed` (the buffer just pulled) against the
// committed filter spec `committed` (as it was before the pull). Frequencies in Hz;
// Fs/2 is the committed Fs times 0.5.
FieldVerdict CheckField(int id, const SpecEditBuffer& typed, const FilterSpec& committed);

// Puts the last good value of field `id` back: into the buffer from the committed
// filter spec, or, for the values without a buffer of their own and the view range,
// the value from before the pull (`before`, `bufferBefore`), into both.
// `band` is the selected band (0 ... kMaxBands - 1).
void RestoreField(int id, SpecEditBuffer& buffer, FilterSpec& spec, const FilterSpec& before,
                  const SpecEditBuffer& bufferBefore, int band);

// Commits the accepted value of field `id` into the filter spec (the band fields
// into band `band`). Follow-ups that reach beyond the filter spec are the window's.
void CommitField(int id, const SpecEditBuffer& buffer, FilterSpec& spec, int band);

}  // namespace tapwright::ui
