#include "core/minimax_design.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>

#include "core/minimax_exchange.h"

namespace tapwright {
namespace {

namespace fs = std::filesystem;

struct Case {
    std::string name;
    MinimaxRequest request;
};

const char* KindWord(MinimaxResponse r) {
    switch (r) {
        case MinimaxResponse::Differentiator:
            return "differentiator";
        case MinimaxResponse::Hilbert:
            return "hilbert";
        default:
            return "bandpass";
    }
}

struct Reference {
    bool scipyConverged = false;
    double scipyError = 0.0;
    double ourError = 0.0;
};

// Designs every case, then has scipy's remez (Debian's /usr/bin/python3) design the
// same specs and measure both designs' worst weighted band error the same way.
std::map<std::string, Reference> CompareWithScipy(const std::vector<Case>& cases) {
    std::ostringstream unique;
    unique << "tapwright_minimax_" << getpid();
    const fs::path dir = fs::temp_directory_path() / unique.str();
    fs::create_directories(dir);
    const fs::path in = dir / "specs.txt", out = dir / "reference.txt";
    {
        std::ofstream f(in);
        f.precision(17);
        for (const Case& c : cases) {
            const MinimaxRequest& r = c.request;
            f << "spec " << c.name << ' ' << KindWord(r.response) << ' ' << r.taps << ' '
              << r.bands.size();
            for (const MinimaxBand& b : r.bands)
                f << ' ' << b.lower << ' ' << b.upper << ' ' << b.desired << ' ' << b.weight;
            f << "\ntaps " << c.name;
            const MinimaxResult res = DesignMinimax(r);
            EXPECT_EQ(res.status, MinimaxStatus::Converged) << c.name << ": " << res.detail;
            for (double h : res.taps) f << ' ' << h;
            f << '\n';
        }
    }
    std::ostringstream command;
    command << "/usr/bin/python3 '" << TAPWRIGHT_SOURCE_DIR << "/tests/core/minimax_reference.py' '"
            << in.string() << "' > '" << out.string() << "'";
    const std::string cmd = command.str();
    const int rc = std::system(cmd.c_str());
    std::map<std::string, Reference> refs;
    if (rc != 0) {
        ADD_FAILURE() << "The scipy reference did not run (" << cmd
                      << "): /usr/bin/python3 needs python3-scipy (tools/install-deps.sh).";
    } else {
        std::ifstream f(out);
        std::string id, ok;
        Reference r;
        while (f >> id >> ok >> r.scipyError >> r.ourError) {
            r.scipyConverged = ok == "ok";
            refs[id] = r;
        }
    }
    if (!std::getenv("TAPWRIGHT_KEEP_MINIMAX_FILES")) fs::remove_all(dir);
    return refs;
}

MinimaxRequest Request(int taps, MinimaxResponse response, std::vector<MinimaxBand> bands) {
    MinimaxRequest r;
    r.taps = taps;
    r.response = response;
    r.bands = std::move(bands);
    return r;
}

// The four example designs of McClellan, Parks and Rabiner's program ("A computer
// program for designing optimum FIR linear phase digital filters", 1973): low pass,
// band pass with weighted stop bands, full-band differentiator and Hilbert
// transformer. Their deviations are checked against the same program's algorithm
// as scipy ships it, and each result must be exactly (anti)symmetric.
TEST(MinimaxDesign, ClassicExamplesMatchTheReferenceProgram) {
    const std::vector<Case> cases = {
        {"lowpass24",
         Request(24, MinimaxResponse::Multiband, {{0.0, 0.08, 1.0, 1.0}, {0.16, 0.5, 0.0, 1.0}})},
        {"bandpass32",
         Request(32, MinimaxResponse::Multiband,
                 {{0.0, 0.1, 0.0, 10.0}, {0.2, 0.35, 1.0, 1.0}, {0.425, 0.5, 0.0, 10.0}})},
        {"differentiator32", Request(32, MinimaxResponse::Differentiator, {{0.0, 0.5, 1.0, 1.0}})},
        {"hilbert20", Request(20, MinimaxResponse::Hilbert, {{0.05, 0.5, 1.0, 1.0}})},
        {"hilbert21", Request(21, MinimaxResponse::Hilbert, {{0.05, 0.45, 1.0, 1.0}})},
    };
    const auto refs = CompareWithScipy(cases);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(refs.count(c.name));
        const Reference& r = refs.at(c.name);
        ASSERT_TRUE(r.scipyConverged);
        const double db = 20 * std::log10(r.ourError / r.scipyError);
        EXPECT_LE(db, 0.01);
        EXPECT_GE(db, -0.2);
        const MinimaxResult res = DesignMinimax(c.request);
        ASSERT_EQ(static_cast<int>(res.taps.size()), c.request.taps);
        const bool anti = c.request.response != MinimaxResponse::Multiband;
        const int N = c.request.taps;
        for (int k = 0; k < N; ++k)
            ASSERT_EQ(res.taps[k], anti ? -res.taps[N - 1 - k] : res.taps[N - 1 - k]) << k;
        EXPECT_LE(res.spread, kMinimaxSpreadTolerance);
    }
}

// Random low, high, band pass, band stop and multiband specs, equal and unequal
// weights: where remez converges our worst band error is within 0.01 dB of its.
TEST(MinimaxDesign, AgreesWithScipyRemezOnRandomSpecs) {
    std::mt19937 rng(20261208);
    auto uni = [&](double a, double b) {
        return a + (b - a) * (static_cast<double>(rng()) / 4294967296.0);
    };
    std::vector<Case> cases;
    for (int i = 0; cases.size() < 220 && i < 5000; ++i) {
        const int shape = i % 5;  // low, high, band pass, band stop, multiband
        const int nb = shape < 2 ? 2 : shape < 4 ? 3 : 4 + static_cast<int>(rng() % 2);
        // Edges: nb bands separated by nb - 1 transitions of one width, 0.03 ... 0.12.
        std::vector<double> cuts;
        for (int k = 0; k < nb - 1; ++k) cuts.push_back(uni(0.05, 0.45));
        std::sort(cuts.begin(), cuts.end());
        const double width = uni(0.03, 0.12);
        std::vector<MinimaxBand> bands;
        double lo = 0.0;
        bool ok = true;
        for (int k = 0; k < nb; ++k) {
            const double hi = k + 1 < nb ? cuts[k] - width / 2 : 0.5;
            const double next = k + 1 < nb ? cuts[k] + width / 2 : 0.5;
            if (!(hi > lo + 0.01)) ok = false;
            const bool pass = (shape == 1 || shape == 2) ? k % 2 == 1 : k % 2 == 0;
            bands.push_back({lo, hi, pass ? 1.0 : 0.0, i % 2 ? uni(0.1, 10.0) : 1.0});
            lo = next;
        }
        if (!ok) continue;
        // A length for 30 ... 110 dB by the usual rule of thumb (Kaiser's).
        double narrowest = 0.5;
        for (size_t k = 1; k < bands.size(); ++k)
            narrowest = std::min(narrowest, bands[k].lower - bands[k - 1].upper);
        int taps = static_cast<int>((uni(30.0, 110.0) - 13.0) / (14.6 * narrowest)) + 1;
        taps = std::clamp(taps, 11, 151);
        if (bands.back().desired != 0 && taps % 2 == 0) ++taps;  // a pass band at Fs/2
        std::ostringstream name;
        name << 'r' << i;
        cases.push_back({name.str(), Request(taps, MinimaxResponse::Multiband, bands)});
    }
    ASSERT_GE(cases.size(), 200u);
    const auto refs = CompareWithScipy(cases);
    int compared = 0;
    for (const Case& c : cases) {
        ASSERT_TRUE(refs.count(c.name)) << c.name;
        const Reference& r = refs.at(c.name);
        if (!r.scipyConverged) continue;
        ++compared;
        // Never worse than remez by more than 0.01 dB (better where its grid misses
        // peaks, or where it stops on a poor design).
        EXPECT_LE(20 * std::log10(r.ourError / r.scipyError), 0.01)
            << c.name << " taps " << c.request.taps;
    }
    EXPECT_GE(compared, 150);
}

// What is not a valid problem is refused with the rule it breaks, and a design past
// what the arithmetic resolves says so and returns no taps.
TEST(MinimaxDesign, RefusesInvalidSpecsAndReportsNoConvergence) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Row {
        MinimaxRequest request;
        const char* message;
    };
    const std::vector<Row> rows = {
        {Request(31, MinimaxResponse::Multiband, {{0, 0.2, 1, 1}, {0.3, 0.5, 0, -1}}),
         "weight of band 2 must be a finite positive"},
        {Request(31, MinimaxResponse::Multiband, {{0, 0.2, 1, inf}, {0.3, 0.5, 0, 1}}),
         "weight of band 1 must be a finite positive"},
        {Request(31, MinimaxResponse::Multiband, {{0, 0.3, 1, 1}, {0.3, 0.5, 0, 1}}),
         "Bands 1 and 2 overlap"},
        {Request(32, MinimaxResponse::Multiband, {{0, 0.2, 0, 1}, {0.3, 0.5, 1, 1}}),
         "even-length symmetric filter has a zero at Fs/2"},
        {Request(21, MinimaxResponse::Differentiator, {{0, 0.5, 1, 1}}),
         "odd-length antisymmetric filter has a zero at Fs/2"},
        {Request(20, MinimaxResponse::Hilbert, {{0, 0.45, 1, 1}}),
         "antisymmetric filter has a zero at 0 Hz"},
        {Request(2, MinimaxResponse::Multiband, {{0, 0.2, 1, 1}, {0.3, 0.5, 0, 1}}),
         "length must be 3"},
    };
    for (const Row& row : rows) {
        const MinimaxResult res = DesignMinimax(row.request);
        EXPECT_EQ(res.status, MinimaxStatus::Refused) << row.message;
        EXPECT_NE(res.detail.find(row.message), std::string::npos) << res.detail;
        EXPECT_TRUE(res.taps.empty());
    }
    // A 0.4 wide transition at 151 taps: a deviation near 1e-20, beyond what double
    // or long double resolve.
    const MinimaxResult res = DesignMinimax(
        Request(151, MinimaxResponse::Multiband, {{0, 0.05, 1, 1}, {0.45, 0.5, 0, 1}}));
    EXPECT_EQ(res.status, MinimaxStatus::NoConvergence);
    EXPECT_NE(res.detail.find("did not converge"), std::string::npos) << res.detail;
    EXPECT_TRUE(res.taps.empty());
}

// Designs below -220 dB, past double: long double reaches the spread tolerance
// itself (not the arithmetic's floor), from a cold start and up the ladder.
TEST(MinimaxDesign, DeepDesignsConvergeInLongDouble) {
    for (const MinimaxRequest& r :
         {Request(301, MinimaxResponse::Multiband, {{0, 0.1, 1, 1}, {0.15, 0.5, 0, 1}}),
          Request(601, MinimaxResponse::Multiband, {{0, 0.05, 1, 1}, {0.075, 0.5, 0, 1}})}) {
        SCOPED_TRACE(r.taps);
        const MinimaxResult res = DesignMinimax(r);
        ASSERT_EQ(res.status, MinimaxStatus::Converged) << res.detail;
        EXPECT_TRUE(res.extendedPrecision);
        EXPECT_LT(res.deviation, 1e-11);
        EXPECT_LE(res.spread, kMinimaxSpreadTolerance);
        ASSERT_EQ(static_cast<int>(res.taps.size()), r.taps);
        for (int k = 0; k < r.taps; ++k) ASSERT_EQ(res.taps[k], res.taps[r.taps - 1 - k]) << k;
    }
}

// The exchange's cold start: n + 1 ascending points inside their bands, each band
// edge next to a transition among them, a lone full band at equal angles (the
// Chebyshev-Lobatto points), mirror-image bands mirrored, and the points crowding
// toward the transitions.
TEST(MinimaxDesign, StartReferenceFollowsTheBands) {
    using minimax::Band;
    struct Row {
        int n;
        std::vector<Band> bands;
    };
    const double pi = M_PI;
    const std::vector<Row> rows = {
        {40, {{0.0, pi, 1, 1}}},
        {51, {{0.0, 0.4 * pi, 1, 1}, {0.6 * pi, pi, 0, 1}}},
        {61, {{0.0, 0.3, 0, 1}, {0.5, 1.2, 1, 1}, {1.4, 2.0, 0, 1}, {2.2, pi, 1, 1}}},
        {9, {{0.1, 0.2, 0, 1}, {0.9, 1.0, 1, 1}, {1.4, 1.5, 0, 1}, {2.9, 3.0, 1, 1}}},
        {96, {{0.0, 0.0735, 1, 1}, {0.098, pi, 0, 1}}},
    };
    for (const Row& row : rows) {
        minimax::Problem p;
        p.n = row.n;
        p.bands = row.bands;
        std::vector<double> w;
        std::vector<int> band;
        minimax::StartReference(p, w, band);
        SCOPED_TRACE(row.n);
        ASSERT_EQ(static_cast<int>(w.size()), row.n + 1);
        ASSERT_EQ(band.size(), w.size());
        const int nb = static_cast<int>(row.bands.size());
        std::vector<int> count(nb, 0);
        for (size_t i = 0; i < w.size(); ++i) {
            if (i > 0) {
                EXPECT_LT(w[i - 1], w[i]) << i;
            }
            ASSERT_TRUE(band[i] >= 0 && band[i] < nb);
            EXPECT_GE(w[i], row.bands[band[i]].lo);
            EXPECT_LE(w[i], row.bands[band[i]].hi);
            ++count[band[i]];
        }
        for (int b = 0; b < nb; ++b) {
            EXPECT_GE(count[b], 1) << b;
            auto has = [&](double edge) {
                for (size_t i = 0; i < w.size(); ++i)
                    if (band[i] == b && w[i] == edge) return true;
                return false;
            };
            if (count[b] > 1 && b > 0) {
                EXPECT_TRUE(has(row.bands[b].lo)) << b;
            }
            if (count[b] > 1 && b + 1 < nb) {
                EXPECT_TRUE(has(row.bands[b].hi)) << b;
            }
        }
        if (nb == 1 && row.bands[0].lo == 0 && row.bands[0].hi == pi) {
            for (size_t i = 0; i < w.size(); ++i) EXPECT_NEAR(w[i], pi * i / row.n, 1e-12);
        }
        if (nb == 2 && row.bands[1].lo == pi - row.bands[0].hi) {
            for (size_t i = 0; i < w.size(); ++i) EXPECT_NEAR(w[i], pi - w[w.size() - 1 - i], 1e-9);
        }
        if (nb == 2 && count[0] >= 5 && count[1] >= 5) {
            // Steps shrink toward the transition on either side of it.
            const int e = count[0] - 1;  // the pass band's upper edge
            EXPECT_LT(w[e] - w[e - 1], w[2] - w[1]);
            EXPECT_LT(w[e + 2] - w[e + 1], w[e + 3] - w[e + 2]);
        }
    }
}

TEST(MinimaxDesign, CancelStopsTheDesign) {
    std::atomic<bool> cancel{true};
    int reports = 0;
    const MinimaxResult res = DesignMinimax(
        Request(2001, MinimaxResponse::Multiband, {{0, 0.2, 1, 1}, {0.21, 0.5, 0, 1}}), &cancel,
        [&](double) { ++reports; });
    EXPECT_EQ(res.status, MinimaxStatus::Cancelled);
    EXPECT_TRUE(res.taps.empty());
}

// The length found meets the spec and the two lengths below it do not.
TEST(MinimaxDesign, ShortestLengthMeetsTheSpecAndNoShorterDoes) {
    struct Row {
        std::vector<MinimaxBand> bands;
        double rippleDb, attenDb;
    };
    const std::vector<Row> rows = {
        {{{0, 0.2, 1, 1}, {0.25, 0.5, 0, 1}}, 0.1, 80.0},
        {{{0, 0.1, 1, 1}, {0.13, 0.5, 0, 1}}, 1.0, 45.0},
    };
    for (const Row& row : rows) {
        MinimaxLengthSpec spec;
        spec.bands = row.bands;
        spec.passRippleDb = row.rippleDb;
        spec.stopAttenDb = row.attenDb;
        const MinimaxLengthResult found = FindShortestMinimax(spec);
        ASSERT_EQ(found.status, MinimaxStatus::Converged) << found.detail;
        EXPECT_GT(found.estimate, 0);
        EXPECT_LE(SpecWeightedError(found.design.taps, spec), 1.0);
        for (int shorter : {found.taps - 1, found.taps - 2}) {
            MinimaxRequest r = Request(shorter, MinimaxResponse::Multiband, row.bands);
            const double dp = PassDeviationFromDb(row.rippleDb);
            const double ds = StopDeviationFromDb(row.attenDb);
            for (MinimaxBand& b : r.bands) b.weight = b.desired > 0 ? 1 / dp : 1 / ds;
            const MinimaxResult res = DesignMinimax(r);
            ASSERT_EQ(res.status, MinimaxStatus::Converged) << res.detail;
            EXPECT_GT(SpecWeightedError(res.taps, spec), 1.0) << shorter;
        }
    }
}

}  // namespace
}  // namespace tapwright
