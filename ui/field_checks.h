#pragma once

// The checks a field's value passes when the field loses the focus, as pure
// functions: given the values just pulled and the committed filter spec, a field's
// value is accepted or refused with a numbered message. Restoring the last good
// value and committing an accepted one are separate steps, so the window can show
// the message in between. Pure C++.

#include "core/filter_spec.h"
#include "core/messages.h"
#include "ui/spec_edit_buffer.h"

namespace tapwright::ui {

struct FieldVerdict {
    bool accepted = true;
    MessageCode code = MessageCode::NotANumber;  // when refused
    MessageArgs args;
    bool focusBack = true;  // when refused: the focus goes back to the field
};

// Whether `id` is an edit field with a focus-loss check.
bool IsCheckedField(int id);

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
