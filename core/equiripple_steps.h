#pragma once

// The steps of one reweighting of the equiripple design: constraint points, the
// extrema of the error, the envelope through them and the new weights. Internal to
// the design; declared here so that tests can check each rule on small data.

#include <vector>

namespace tapwright::equiripple {

// The constraint set of one design: a row per constraint point, grouped in bands.
struct Constraints {
    std::vector<double> omega;    // radians per sample
    std::vector<double> desired;  // amplitude
    std::vector<int> denseRow;    // grid row whose amplitude is compared
    std::vector<int> bandPoints;  // points per band, in order
    std::vector<char> onGrid;     // the point is the grid point denseRow itself

    void Add(double w, double d, int row, bool exact) {
        omega.push_back(w);
        desired.push_back(d);
        denseRow.push_back(row);
        onGrid.push_back(exact ? 1 : 0);
    }
    int Count() const { return static_cast<int>(omega.size()); }
};

// Corner points of the error envelope: values and positions, and which extremum
// ends each band.
struct Extrema {
    std::vector<double> value;
    std::vector<double> position;
    std::vector<bool> endsBand;
};

// The first and last point of every band and each interior point whose error is
// strictly above both neighbours'. A band's last point with an error of exactly 0
// takes 0.5 * |e_r + e_(r+1)| (0 at the very last point).
Extrema FindExtrema(const Constraints& c, const std::vector<double>& error);

// Raises extrema below a tenth of their neighbours, in order; the last is not visited.
void LiftSmallExtrema(Extrema& x);

// The envelope at every constraint point: an extremum's value at its position,
// straight lines between them.
std::vector<double> Envelope(const Constraints& c, const Extrema& x);

// w(r) = (s * R_r)^exponent * (w(r) + 1e-7), s the mean of 1/R. Returns false and
// leaves w as it was when an envelope value or a new weight is zero or not finite.
bool Reweight(const std::vector<double>& envelope, double exponent, std::vector<double>& w);

}  // namespace tapwright::equiripple
