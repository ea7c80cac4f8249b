#pragma once

// Rules that tie the filter characteristic, the band count and the cutoffs to the
// response type, the design method, the length and whether the user gives the
// length ("Auto Design Filter" checked), and the rules between fields (cutoffs and
// band edges below Fs/2, the transition width, the band order). The window, the spec
// file reader and the batch designer all take them from here.

#include <optional>
#include <string>
#include <vector>

#include "core/filter_spec.h"
#include "core/messages.h"

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

// Why a value breaks a rule: the numbered message that says so.
struct RuleBreak {
    MessageCode code = MessageCode::NotPositive;
    MessageArgs args;
};

// The sampling frequency `fs` (Hz): finite, above 0 and at most kMaxFs.
std::optional<RuleBreak> CheckSamplingFrequency(double fs);

// A length the user gives: kMinTaps ... kMaxTaps taps (the message names the limit).
std::optional<RuleBreak> CheckGivenLength(int taps);

// A cutoff or band edge `value` against 0 ... half (Fs/2, Hz). Cutoffs test the upper
// limit first (`upperFirst`), band edges the lower.
std::optional<RuleBreak> CheckFrequencyRange(double value, double half, bool upperFirst);

// The display range low ... high (Hz) within 0 ... half (Fs/2): the low end
// (`lowEnd`) is refused above high or half, the high end below low or above half
// (messages 18 and 19), either below 0.
std::optional<RuleBreak> CheckViewRange(double low, double high, double half, bool lowEnd);

// The transition width `tw` (Hz) must leave room below half (Fs/2) for the
// transition bands: fc1 + tw for low and high pass, 2 tw + |fc2 - fc1| for band pass
// and band stop; and it must be above 0.
std::optional<RuleBreak> CheckTransitionWidth(double tw, ResponseType type, double fc1, double fc2,
                                              double half);

// Band edges in order: in bands 1 ... TBand (clamped into 1 ... kMaxBands) each
// lower edge is not above its upper edge (message 14) and each upper edge not above
// the next band's lower edge (message 15).
std::optional<RuleBreak> CheckBandOrder(const FilterSpec& spec);

// A rule a whole filter spec breaks: the key of the field it is told at, the value
// there and why.
struct SpecRuleBreak {
    std::string key;
    double value = 0.0;
    RuleBreak why;
};

// The rules between fields, for the fields the spec's design reads: a finite Fs above
// 0 and at most kMaxFs; for a window method the cutoffs it uses within 0 ... Fs/2 and, while it
// estimates its length (Auto Design off, low pass to band stop), the transition
// width; for a band-table method the band edges within 0 ... Fs/2 and in order.
std::optional<SpecRuleBreak> CheckSpecRules(const FilterSpec& spec);

}  // namespace tapwright
