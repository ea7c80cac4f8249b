#include "core/design_pipeline.h"

#include <gtest/gtest.h>

namespace tapwright {
namespace {

struct Session {
    FilterSpec spec = DefaultFilterSpec();
    CFirDesign design;
    bool designValid = false;
    bool holdActive = false;
    DesignOutcome run;

    // Designs as Apply does: the selections are the spec's own; the outcome's spec,
    // design and validity are taken as the window takes them.
    bool Apply() {
        DesignRequest request = RequestFromSpec(spec);
        request.designValid = designValid;
        request.holdActive = holdActive;
        request.previous = design;
        run = Design(std::move(request));
        if (!run.checked) return false;
        spec = run.spec;
        design = run.design;
        if (run.status == DesignStatus::Designed) designValid = true;
        return true;
    }
    std::vector<std::string> Messages(bool information = false) const {
        std::vector<std::string> texts;
        for (const DesignNotice& n : run.notices) {
            if (n.information == information) texts.push_back(n.Text());
        }
        return texts;
    }
    MessageCode LastCode() const { return run.notices.back().code; }
};

// Band pass and band stop take their cutoffs in ascending order; the other types
// pass them on as typed.
TEST(Pipeline, CutoffsAreOrderedForBandPassAndBandStop) {
    for (const ResponseType type : {BandPass, BandStop, LowPass, Differentiator}) {
        Session swapped, typed;
        for (Session* r : {&swapped, &typed}) {
            r->spec.FType = type;
            r->spec.FChar = type == Differentiator ? AntisymmetricEven : SymmetricOdd;
            r->spec.Taps = type == Differentiator ? 30 : 31;
        }
        swapped.spec.Fc1 = typed.spec.Fc2 = 3000.0f;
        swapped.spec.Fc2 = typed.spec.Fc1 = 1000.0f;
        ASSERT_TRUE(swapped.Apply()) << type;
        ASSERT_TRUE(typed.Apply()) << type;
        const bool ordered = type == BandPass || type == BandStop;
        EXPECT_EQ(swapped.design.coeffs == typed.design.coeffs, ordered) << type;
    }
}

TEST(Pipeline, RefusalsShowTheirMessageAndDesignNothing) {
    struct Case {
        const char* name;
        void (*setup)(FilterSpec&);
        MessageCode code;
        const char* text;
    };
    const Case cases[] = {
        {"band stop, odd characteristic, even length",
         [](FilterSpec& s) {
             s.FType = BandStop;
             s.Taps = 30;
         },
         MessageCode::NeedOddLength, "Please enter an odd number of filter length"},
        {"band pass, even characteristic, odd length",
         [](FilterSpec& s) {
             s.FType = BandPass;
             s.FChar = SymmetricEven;
         },
         MessageCode::NeedEvenLength, nullptr},
        {"band range",
         [](FilterSpec& s) {
             s.WType = Equiripple;
             s.TBand = 3;
             s.Bands[0] = {0, 500, 1};
             s.Bands[1] = {1000, 900, 0};
             s.Bands[2] = {1000, 4000, 0};
         },
         MessageCode::BandRangeError,
         "Band 2 frequency range error. Please ensure upper bandedge frequency is greater than "
         "lower bandedge frequency"},
        {"band overlap",
         [](FilterSpec& s) {
             s.WType = Equiripple;
             s.Bands[0] = {0, 1200, 1};
             s.Bands[1] = {1100, 4000, 0};
         },
         MessageCode::BandOverlapError,
         "Overlapping bandedge frequencies error. Please ensure Band 1 upper bandedge frequency "
         "is less than Band 2 lower bandedge frequency"},
        {"equiripple too long",
         [](FilterSpec& s) {
             s.WType = Equiripple;
             s.Taps = kMaxEquirippleTaps + 2;
         },
         MessageCode::EquirippleTooLong, nullptr},
        {"window length too long", [](FilterSpec& s) { s.Taps = kMaxTaps + 2; },
         MessageCode::LengthAboveMaximum, nullptr},
        {"a length of 2",
         [](FilterSpec& s) {
             s.FChar = SymmetricEven;
             s.Taps = 2;
         },
         MessageCode::LengthTooSmall, "Please enter a number greater than 2"},
        {"estimated length too long",
         [](FilterSpec& s) {
             s.AutoD = 0;
             s.WType = Blackman;
             s.Tw = 0.1f;
         },
         MessageCode::LengthTooLarge, nullptr},
        {"band pass parity is checked even when the length is estimated",
         [](FilterSpec& s) {
             s.FType = BandPass;
             s.AutoD = 0;
             s.Taps = 30;
         },
         MessageCode::NeedOddLength, nullptr},
        // A Hilbert transformer keeps its typed length with Auto Design off.
        {"Hilbert too long",
         [](FilterSpec& s) {
             s.FType = Hilbert;
             s.FChar = AntisymmetricOdd;
             s.AutoD = 0;
             s.Taps = kMaxTaps + 2;
         },
         MessageCode::LengthAboveMaximum, "Please enter a number not above 131071"},
        {"Hilbert of one tap",
         [](FilterSpec& s) {
             s.FType = Hilbert;
             s.FChar = AntisymmetricOdd;
             s.AutoD = 0;
             s.Taps = 1;
         },
         MessageCode::LengthTooSmall, nullptr},
        {"stale characteristic of a low pass",
         [](FilterSpec& s) {
             s.WType = Equiripple;
             s.Taps = 30;
         },
         MessageCode::NeedOddLength, nullptr},
        // The rules between fields: a value typed before Fs fell, or before the cutoff
        // moved, would be saved in a file that does not load back.
        {"a cutoff above Fs/2",
         [](FilterSpec& s) {
             s.Fc1 = 3000.0f;
             s.Fs = 5000.0f;
         },
         MessageCode::AboveHalfFs, "Please enter a value less than half the sampling rate"},
        {"a band edge above Fs/2",
         [](FilterSpec& s) {
             s.WType = Equiripple;
             s.Fs = 6000.0f;
         },
         MessageCode::AboveHalfFs, nullptr},
        {"a transition width without room",
         [](FilterSpec& s) {
             s.AutoD = 0;
             s.Fc1 = 3000.0f;
             s.Tw = 1500.0f;
         },
         MessageCode::TransitionWidthRange, nullptr},
    };
    for (const Case& c : cases) {
        Session r;
        c.setup(r.spec);
        EXPECT_FALSE(r.Apply()) << c.name;
        ASSERT_EQ(r.run.notices.size(), 1u) << c.name;
        EXPECT_EQ(r.LastCode(), c.code) << c.name;
        ASSERT_TRUE(CheckRequest(RequestFromSpec(r.spec)).has_value()) << c.name;
        EXPECT_EQ(CheckRequest(RequestFromSpec(r.spec))->code, c.code) << c.name;
        if (c.text) {
            EXPECT_EQ(r.Messages().back(), c.text) << c.name;
        }
        EXPECT_EQ(r.run.design.length, 0) << c.name;
        EXPECT_FALSE(r.designValid);
    }
    // What passes: touching bands, the shortest length, the longest equiripple length,
    // a typed length beyond the limit while the length is estimated, and a transition
    // width the design does not read.
    for (void (*setup)(FilterSpec&) : {+[](FilterSpec& s) {
                                           s.WType = Equiripple;
                                           s.Bands[0] = {0, 1000, 1};
                                           s.Bands[1] = {1000, 4000, 0};
                                       },
                                       +[](FilterSpec& s) { s.Taps = 3; },
                                       +[](FilterSpec& s) {
                                           s.WType = Equiripple;
                                           s.Taps = kMaxEquirippleTaps;
                                       },
                                       +[](FilterSpec& s) {
                                           s.AutoD = 0;
                                           s.Tw = 500.0f;
                                           s.Taps = kMaxTaps + 2;
                                       },
                                       // The transition width is not read.
                                       +[](FilterSpec& s) {
                                           s.Fc1 = 3000.0f;
                                           s.Tw = 1500.0f;
                                       }}) {
        Session r;
        setup(r.spec);
        EXPECT_FALSE(CheckRequest(RequestFromSpec(r.spec)).has_value()) << r.spec.Taps;
    }
}

TEST(Pipeline, AutomaticLengthIsCommitted) {
    Session r;
    r.spec.AutoD = 0;
    r.spec.WType = Hamming;
    r.spec.Tw = 500.0f;
    r.spec.Fc1 = 1000.0f;
    ASSERT_TRUE(r.Apply());
    EXPECT_EQ(r.spec.Taps, 53);
    EXPECT_EQ(r.design.length, 53);
    EXPECT_TRUE(r.run.writesBack);
}

TEST(Pipeline, AfterADesignApplyIsOffAndARerunOnlyRedraws) {
    Session r;
    r.spec.Fc1 = 1000.0f;
    r.spec.Itern = 9;
    ASSERT_TRUE(r.Apply());
    EXPECT_TRUE(r.designValid);
    EXPECT_FALSE(r.run.redrawOnly);
    EXPECT_EQ(r.run.r, 9);
    r.spec.Fc1 = 2000.0f;  // not a user edit: the design stays valid
    const auto coeffs = r.design.coeffs;
    ASSERT_TRUE(r.Apply());
    EXPECT_TRUE(r.run.redrawOnly);
    EXPECT_EQ(r.run.r, 9);
    EXPECT_EQ(r.design.coeffs, coeffs);
}

TEST(Pipeline, PeakRatioOutcomes) {
    Session reached;
    reached.spec.WType = Equiripple;
    reached.spec.Bands[0] = {0, 1600, 1};
    reached.spec.Bands[1] = {2000, 4000, 0};
    reached.spec.Taps = 21;
    reached.spec.TerCr = ByPeakRatio;
    reached.spec.Ratio = 1e-3;
    reached.spec.RatioTarget = 1e-3;
    ASSERT_TRUE(reached.Apply());
    ASSERT_GT(reached.run.r, 0);
    EXPECT_EQ(reached.spec.Itern, reached.run.r);
    ASSERT_EQ(reached.Messages(true).size(), 1u);
    EXPECT_EQ(reached.Messages(true)[0],
              RatioAchievedText(reached.run.r, reached.design.rippleRatio));
    EXPECT_TRUE(reached.Messages().empty());
    EXPECT_TRUE(reached.run.writesBack);
    EXPECT_EQ(reached.spec.Ratio, 1e-3);

    // A target equal to the ratio reached is met, after as many solves.
    Session exact;
    exact.spec = reached.spec;
    exact.spec.Ratio = exact.spec.RatioTarget = reached.design.rippleRatio;
    ASSERT_TRUE(exact.Apply());
    EXPECT_EQ(exact.run.r, reached.run.r);
    EXPECT_EQ(exact.Messages(true).size(), 1u);
    EXPECT_TRUE(exact.Messages().empty());

    Session missed;
    missed.spec = reached.spec;
    missed.spec.Ratio = 1e-30;
    missed.spec.RatioTarget = 1e-30;
    ASSERT_TRUE(missed.Apply());
    EXPECT_EQ(missed.run.r, 40);
    ASSERT_EQ(missed.Messages().size(), 1u);
    EXPECT_EQ(missed.LastCode(), MessageCode::RatioNotReached);
    EXPECT_EQ(missed.spec.Ratio, missed.design.rippleRatio);
    EXPECT_EQ(missed.spec.Itern, 40);
    EXPECT_TRUE(missed.designValid);

    // A target of 0 still runs by peak ratio: all 40 solves.
    Session zero;
    zero.spec = reached.spec;
    zero.spec.Ratio = zero.spec.RatioTarget = 0.0;
    ASSERT_TRUE(zero.Apply());
    EXPECT_EQ(zero.run.r, 40);
    EXPECT_EQ(zero.spec.Itern, 40);
}

TEST(Pipeline, SingularMatrixKeepsThePreviousDesign) {
    Session r;
    r.spec.WType = Equiripple;
    r.spec.Bands[0] = {0, 1600, 1};
    r.spec.Bands[1] = {2000, 4000, 0};
    r.spec.Itern = 3;
    ASSERT_TRUE(r.Apply());
    EXPECT_EQ(r.run.r, 0);  // by iterations: the result is 0, not the solves done
    const auto coeffs = r.design.coeffs;
    r.designValid = false;
    r.spec.TBand = 1;  // a single band without a grid point; the second is never read
    r.spec.Bands[0] = {0, 0, 1};
    ASSERT_TRUE(r.Apply());
    EXPECT_EQ(r.run.r, -1);
    EXPECT_EQ(r.run.status, DesignStatus::Singular);
    EXPECT_EQ(r.LastCode(), MessageCode::SingularMatrix);
    EXPECT_FALSE(r.designValid);
    EXPECT_EQ(r.design.coeffs, coeffs);

    // A length the checks let through by mistake (a band stop's placement is odd
    // whatever its characteristic): the design refuses it, naming the parity.
    r.spec = DefaultFilterSpec();
    r.spec.FType = BandStop;
    r.spec.FChar = SymmetricEven;
    r.spec.Taps = 30;
    ASSERT_TRUE(r.Apply());
    EXPECT_EQ(r.run.r, -2);
    EXPECT_EQ(r.run.status, DesignStatus::Refused);
    EXPECT_EQ(r.LastCode(), MessageCode::NeedOddLength);
    EXPECT_EQ(r.design.coeffs, coeffs);
}

TEST(Pipeline, UnderHoldOnTheMethodFollowsTheSelectionAfterTheCheck) {
    Session r;
    r.spec.Fc1 = 1000.0f;
    ASSERT_TRUE(r.Apply());
    DesignRequest request = RequestFromSpec(r.spec);
    request.previous = r.design;
    request.holdActive = true;
    request.methodSelection = Kaiser;
    const DesignOutcome held = Design(request);
    EXPECT_EQ(held.spec.WType, Kaiser);
    EXPECT_NE(held.design.coeffs, r.design.coeffs);
    // Without Hold On the committed method designs, whatever the selection names.
    request.holdActive = false;
    EXPECT_EQ(Design(request).spec.WType, Rectangular);
}

}  // namespace
}  // namespace tapwright
