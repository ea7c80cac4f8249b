#pragma once

// The Remez exchange behind DesignMinimax, in a form independent of filter types:
// approximate D'(w) by a polynomial P(cos w) of degree n - 1 with weight W'(w) over
// a union of bands of w in 0 ... pi (radians). The filter type enters through
// Q(w), with D' = D / Q and W' = W * Q.

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace tapwright::minimax {

enum class QKind { One, CosHalf, Sin, SinHalf };

struct Band {
    double lo = 0.0, hi = 0.0;  // radians, lo < hi, zeros of Q already trimmed off
    double desired = 0.0;
    double weight = 1.0;
    bool slope = false;  // desired is a slope: D = desired * f, W = weight / f
};

struct Problem {
    int n = 0;  // basis functions: P has degree n - 1, the reference n + 1 points
    QKind q = QKind::One;
    std::vector<Band> bands;
    int density = 16;
    bool extended = false;  // long double from the start
    // A reference of the same bands at another length (radians, band indices) to
    // start from, scaled to this one; empty: a uniform start, or the ladder.
    std::vector<double> startW;
    std::vector<int> startBand;
};

// Polls cancel and reports progress at most every 0.2 s.
class Ticker {
  public:
    Ticker(const std::atomic<bool>* cancel, const std::function<void(double)>& progress);
    // True once cancelled; also reports the stored fraction when it is due.
    bool Poll();
    void Set(double fraction);
    bool cancelled() const { return cancelled_; }

  private:
    const std::atomic<bool>* cancel_;
    const std::function<void(double)>* progress_;
    double fraction_ = 0.0;
    long long lastReportNs_ = 0;
    bool cancelled_ = false;
};

enum class Outcome { Converged, Stalled, Cancelled };

struct Solution {
    Outcome outcome = Outcome::Stalled;
    std::vector<double> cheb;  // P(cos w) = sum cheb[k] cos(k w), k = 0 ... n - 1
    std::vector<double> refW;  // the last reference (radians, ascending)
    std::vector<int> refBand;  // band index of each reference point
    double deviation = 0.0;    // largest |E| at the reference
    double spread = 1.0;       // (max - min) / max of |E| at the reference
    int iterations = 0;
    bool extended = false;  // solved in long double
    std::string detail;
};

// Minimax solution to relative spread tol: double first, long double where double
// stalls. progress runs from lo to hi.
Solution Solve(const Problem& problem, double tol, Ticker& ticker, double lo, double hi);

// A start for the exchange from the bands alone: n + 1 points (radians, ascending,
// band index each) spaced like the extremal points of best approximations on the
// bands, so crowding toward the edges between bands.
void StartReference(const Problem& p, std::vector<double>& w, std::vector<int>& band);

// Q(w) for the kind.
double QValue(QKind q, double w);

}  // namespace tapwright::minimax
