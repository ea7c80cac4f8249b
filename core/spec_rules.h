#pragma once

// Rules that tie the filter characteristic, the band count and the cutoffs to the
// response type, the design method, the length and whether the user gives the
// length ("Auto Design Filter" checked). The window and the batch designer both
// settle a filter spec through these.

#include <vector>

#include "core/filter_spec.h"

namespace tapwright {

// Characteristics the Filter Type list offers for a response type, in list order.
// `equiripple` decides whether value 5 is Multiband or Hilbert.
std::vector<SymmetryType> AllowedSymmetries(ResponseType responseType, bool equiripple);

// Low and high pass follow the parity of the length: odd gives SymmetricOdd, even
// gives SymmetricEven (low pass) or AntisymmetricEven (high pass). Other types
// return `current` unchanged.
SymmetryType SymmetryForLength(ResponseType responseType, int taps, SymmetryType current);

// FChar after the characteristic list is refilled and the length rule is applied,
// with list item `selectedItem` chosen (item 0 after a refill). `lengthGiven` is
// the state of "Auto Design Filter": checked, the user gives the length; unchecked,
// a window design estimates it. Low and high pass follow the length wherever the
// design uses it (length given, or an equiripple design).
SymmetryType SymmetryForSelection(ResponseType responseType, bool equiripple, bool lengthGiven,
                                  int taps, int selectedItem);

// Band count set when a response type is chosen: 2 for low and high pass and for
// Multiband, 3 for band pass, band stop and differentiator; Hilbert keeps `current`.
int BandCountForResponse(ResponseType responseType, bool equiripple, int current);

// Whether the "Auto Design Filter" box is offered (window types 0 ... 3 only).
bool AutoDesignAvailable(ResponseType responseType);

// Brings a just-read filter spec in line with the window, as Load does: the
// Hilbert cutoffs (0 and Fs/2), the characteristic from the list and the held value
// `fileFChar` (kept while the length is given and the list offers it), and for low
// and high pass the parity of the length. RatioTarget follows TerCr. TBand and the
// band table keep the values read.
void SettleLoadedSpec(FilterSpec& spec, SymmetryType fileFChar);

}  // namespace tapwright
