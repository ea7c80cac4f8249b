#include "ui/spec_edit_buffer.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "ui/control_ids.h"
#include "ui/edit_fields.h"

namespace tapwright::ui {
namespace {

TEST(FieldNumbers, ParsingIsStrict) {
    struct Case {
        const char* text;
        std::optional<double> asFloat, asDouble, asInt;
    };
    const std::nullopt_t no = std::nullopt;
    const Case cases[] = {
        {"4000.5", 4000.5, 4000.5, no},
        {"  12 ", 12.0, 12.0, 12},
        {"\t7\t", 7.0, 7.0, 7},
        {"+5", 5.0, 5.0, 5},
        {"-0", 0.0, 0.0, 0},
        {"1e-50", 0.0, 1e-50, no},  // too small for a float: zero
        {"1e39", no, 1e39, no},     // too large for a float only
        {"abc", no, no, no},
        {"", no, no, no},
        {"   ", no, no, no},
        {"1e999", no, no, no},
        {"nan", no, no, no},
        {"inf", no, no, no},
        {"12abc", no, no, no},
        {"0x10", no, no, no},
        {"+-1", no, no, no},
        {"1 2", no, no, no},
        {"99999999999", 99999997952.0, 99999999999.0, no},  // beyond int
        {"3.0", 3.0, 3.0, no},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<float> f = ParseFloatField(c.text);
        ASSERT_EQ(f.has_value(), c.asFloat.has_value());
        if (f) {
            EXPECT_EQ(*f, static_cast<float>(*c.asFloat));
        }
        const std::optional<double> d = ParseDoubleField(c.text);
        ASSERT_EQ(d.has_value(), c.asDouble.has_value());
        if (d) {
            EXPECT_EQ(*d, *c.asDouble);
        }
        const std::optional<int> i = ParseIntField(c.text);
        ASSERT_EQ(i.has_value(), c.asInt.has_value());
        if (i) {
            EXPECT_EQ(*i, static_cast<int>(*c.asInt));
        }
    }
    EXPECT_FALSE(std::signbit(*ParseDoubleField("-0")));
}

TEST(FieldNumbers, ShortestTextReadsBackTheSameValue) {
    const float floats[] = {0.1f, 1234.567871f, 4000.5f, 8000.0f, FLT_MAX, 1e-45f, -3.25f, 1e20f};
    for (float v : floats) {
        const std::string text = FormatFieldNumber(v);
        EXPECT_EQ(ParseFloatField(text), v) << text;
    }
    const double doubles[] = {0.1, 1.0 / 3.0, 1234.567871, DBL_MAX, 5e-324, -40.0};
    for (double v : doubles) {
        const std::string text = FormatFieldNumber(v);
        EXPECT_EQ(ParseDoubleField(text), v) << text;
    }
    // A double that holds a float (every real loaded from a spec file) shows at the
    // float's precision, and reads back to it as a float.
    const float loaded[] = {0.1f, 1234.567871f, -40.0f, 3e-39f, FLT_MAX};
    for (float v : loaded) {
        const std::string text = FormatFieldNumber(static_cast<double>(v));
        EXPECT_EQ(text, FormatFieldNumber(v));
        EXPECT_EQ(ParseFloatField(text), v) << text;
    }
    EXPECT_EQ(FormatFieldNumber(static_cast<double>(0.1f)), "0.1");
    EXPECT_EQ(FormatFieldNumber(4000.5f), "4000.5");
    EXPECT_EQ(FormatFieldNumber(0.1f), "0.1");
    EXPECT_EQ(FormatFieldNumber(-0.0), "0");
    EXPECT_EQ(FormatFieldNumber(31), "31");
}

TEST(EditBuffer, PushThenPullGivesTheSameValues) {
    ControlModel model;
    FilterSpec spec;
    spec.Beta = 4.5;
    spec.Itern = 20;
    spec.Ratio = 0.001;
    spec.TerCr = ByPeakRatio;
    SpecEditBuffer pushed;
    pushed.Fc1 = 1234.567871f;
    pushed.Fc2 = 0.1f;
    pushed.Taps = 61;
    pushed.Tw = 250.0f;
    pushed.SBripMagnitude = 40.0;
    pushed.PBrip = 0.5;
    pushed.Fs = 44100.0f;
    pushed.Lower = 1000.0;
    pushed.Upper = 1800.0;
    pushed.Amplitude = 1.0;
    pushed.TBand = 4;
    pushed.ViewLow = 100.0;
    pushed.ViewHigh = 2000.0;
    PushEditBuffer(pushed, spec, model);
    EXPECT_EQ(model.Text(kLengthEdit), "61");
    EXPECT_EQ(model.Text(kBetaEdit), "4.5");
    EXPECT_TRUE(model.Checked(kPeakRatioRadio));
    EXPECT_FALSE(model.Checked(kIterationsRadio));

    SpecEditBuffer pulled;
    FilterSpec into;
    EXPECT_TRUE(PullEditBuffer(model, pulled, into).empty());
    // Pushed again, every field shows the same text.
    ControlModel again;
    PushEditBuffer(pulled, into, again);
    for (int id : BoundEditIds()) EXPECT_EQ(again.Text(id), model.Text(id)) << id;
    EXPECT_EQ(pulled.Fc1, pushed.Fc1);
    EXPECT_EQ(pulled.TBand, 4);
    // The bound values land in the filter spec itself.
    EXPECT_EQ(into.Beta, 4.5);
    EXPECT_EQ(into.Itern, 20);
    EXPECT_EQ(into.Ratio, 0.001);
    EXPECT_EQ(into.TerCr, ByPeakRatio);
}

TEST(EditBuffer, AFieldThatDoesNotParseKeepsItsValue) {
    ControlModel model;
    FilterSpec spec;
    SpecEditBuffer buffer;
    buffer.Fc1 = 500.0f;
    spec.Beta = 4.0;
    PushEditBuffer(buffer, spec, model);
    model.SetText(kFirstCutoffEdit, "abc");
    model.SetText(kBetaEdit, "1e999");
    EXPECT_EQ(UnparsedFields(model), (std::vector<int>{kFirstCutoffEdit, kBetaEdit}));
    EXPECT_EQ(PullEditBuffer(model, buffer, spec), (std::vector<int>{kFirstCutoffEdit, kBetaEdit}));
    EXPECT_EQ(buffer.Fc1, 500.0f);
    EXPECT_EQ(spec.Beta, 4.0);
}

}  // namespace
}  // namespace tapwright::ui
