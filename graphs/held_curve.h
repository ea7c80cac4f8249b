#pragma once

// The dB curve Hold On keeps. Plain data without Qt: the window's model keeps it
// beside the design on screen, the plots read it.

#include <vector>

#include "core/filter_spec.h"

namespace tapwright {

struct HeldCurve {
    std::vector<double> magnitudeDb;    // dB response of the held design
    DesignMethod method = Rectangular;  // its points follow this method's layout
    int pointCount = 0;                 // points of that layout
    int iterations = 0;                 // the legend's iteration count of an equiripple design
};

}  // namespace tapwright
