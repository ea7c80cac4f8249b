#include "core/equiripple_steps.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tapwright::equiripple {

Extrema FindExtrema(const Constraints& c, const std::vector<double>& error) {
    Extrema x;
    const int L = c.Count();
    int r = 0;
    for (int points : c.bandPoints) {
        const int first = r;
        const int last = r + points - 1;
        for (; r <= last; ++r) {
            double value = 0.0;
            if (r == first) {
                value = error[r];
            } else if (r == last) {
                value = error[r];
            } else if (error[r] > error[r - 1] && error[r] > error[r + 1]) {
                value = error[r];
            } else {
                continue;
            }
            if (r == last && error[r] == 0.0) {
                // A band edge that meets its target exactly would pull the envelope
                // (and a weight) to zero: take the mean with the next point instead.
                value = r + 1 < L ? 0.5 * std::fabs(error[r] + error[r + 1]) : 0.0;
            }
            x.value.push_back(value);
            x.position.push_back(c.omega[r]);
            x.endsBand.push_back(r == last);
        }
    }
    return x;
}

// Raises extrema below a tenth of their neighbours, so no weight collapses.
void LiftSmallExtrema(Extrema& x) {
    const int m = static_cast<int>(x.value.size()) - 1;
    std::vector<double>& v = x.value;
    for (int u = 0; u < m; ++u) {
        const bool firstOfBand = u == 0 || x.endsBand[u - 1];
        if (firstOfBand && u != m - 1) {
            if (v[u] < 0.1 * v[u + 1]) v[u] = 0.1 * v[u + 1];
        } else if (x.endsBand[u] || u == m - 1) {
            if (u > 0 && v[u] < 0.1 * v[u - 1]) v[u] = 0.1 * v[u - 1];
        } else if (v[u] < 0.1 * v[u - 1] && v[u] < 0.1 * v[u + 1]) {
            v[u] = 0.1 * std::min(v[u - 1], v[u + 1]);
        }
    }
}

std::vector<double> Envelope(const Constraints& c, const Extrema& x) {
    const int L = c.Count();
    const int count = static_cast<int>(x.value.size());
    std::vector<double> envelope(static_cast<std::size_t>(L), 0.0);
    int p = 0;
    for (int r = 0; r < L; ++r) {
        const double w = c.omega[r];
        if (p < count && w == x.position[p]) {
            envelope[r] = x.value[p];
            ++p;
        } else if (p > 0 && p < count) {
            const double x0 = x.position[p - 1];
            const double x1 = x.position[p];
            envelope[r] = ((x1 - w) * x.value[p - 1] + (w - x0) * x.value[p]) / (x1 - x0);
        }
    }
    return envelope;
}

// New diagonal weights from the envelope; false (weights unchanged) when an envelope
// value or a new weight is zero or not finite.
bool Reweight(const std::vector<double>& envelope, double exponent, std::vector<double>& w) {
    const std::size_t L = envelope.size();
    double sum = 0.0;
    for (double r : envelope) {
        if (!(r > 0.0) || !std::isfinite(r)) return false;
        sum += 1.0 / r;
    }
    const double s = (1.0 / static_cast<double>(L)) * sum;
    std::vector<double> next(L);
    for (std::size_t r = 0; r < L; ++r) {
        next[r] = std::pow(s * envelope[r], exponent) * (w[r] + 1e-7);
        if (!std::isfinite(next[r])) return false;
    }
    w.swap(next);
    return true;
}

}  // namespace tapwright::equiripple
