#pragma once

// Rules that tie the filter characteristic, the band count and the cutoffs to the
// response type, the design method, the length and Auto Design. The window and the
// batch designer both settle a filter spec through these.

#include <vector>

#include "core/filter_spec.h"

namespace tapwright {

// Characteristics the Filter Type list offers for a response type, in list order.
// `equiripple` decides whether value 5 is Multiband or Hilbert.
std::vector<int> AllowedSymmetries(int responseType, bool equiripple);

// Low and high pass follow the parity of the length: odd gives SymmetricOdd, even
// gives SymmetricEven (low pass) or AntisymmetricEven (high pass). Other types
// return `current` unchanged.
int SymmetryForLength(int responseType, int taps, int current);

// FChar after the characteristic list is refilled and the Auto Design state is
// applied, with list item `selectedItem` chosen (item 0 after a refill). Low and
// high pass follow the length wherever the design uses it (Auto Design on, or an
// equiripple design).
int SymmetryForSelection(int responseType, bool equiripple, bool autoDesign, int taps,
                         int selectedItem);

// Band count set when a response type is chosen: 2 for low and high pass and for
// Multiband, 3 for band pass, band stop and differentiator; Hilbert keeps `current`.
int BandCountForResponse(int responseType, bool equiripple, int current);

// Whether the "Auto Design Filter" box is offered (window types 0 ... 3 only).
bool AutoDesignAvailable(int responseType);

// Brings a just-read filter spec in line with the window, as Load does: the
// Hilbert cutoffs (0 and Fs/2), the characteristic from the list and the held value
// `fileFChar` (kept while Auto Design is on and the list offers it), and for low and
// high pass the parity of the length. RatioTarget follows TerCr. TBand and the band
// table keep the values read.
void SettleLoadedSpec(FilterSpec& spec, int fileFChar);

}  // namespace tapwright
