// The window's behaviour with canvases and files: Apply draws what the plot command
// draws, Load settles a file as the batch designer does, Save and Load round trip,
// a damaged file or a cancelled design changes nothing.

#include "ui/dialog_logic.h"

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <functional>

#include "cli/commands.h"
#include "core/graph_kinds.h"
#include "files/spec_file.h"
#include "tests/support/test_support.h"
#include "tests/ui/fake_platform.h"
#include "ui/control_ids.h"

namespace tapwright::ui {
namespace {

namespace fs = std::filesystem;

const std::string kExamples = TAPWRIGHT_EXAMPLES;

// Measure Design's fixed-point choice of `bits` (0: none), the rest as the dialog opens.
QuantizeOptions WordLength(int bits) {
    QuantizeOptions q;
    q.bits = bits;
    return q;
}

using test::ReadFile;
using test::TempDir;

std::string In(const TempDir& dir, const std::string& name) {
    return (dir / name).string();
}

struct Dialog {
    FakePlatform platform;
    CFirDesign design;
    GraphCanvases canvases;
    DialogLogic logic{design, canvases, platform};
    const ControlModel& model = logic.Model();

    Dialog() { logic.Initialise(); }
    void Enter(int id, const std::string& text) {
        logic.OnUserEdited(id, text);
        logic.OnFocusLost(id);
    }
    void Apply() { logic.OnClicked(kApplyButton); }
    bool Enabled(int id) const { return model.State(id).enabled; }
    bool Visible(int id) const { return model.State(id).visible; }
    QImage MainImage() const {
        return canvases.mainFront.Image().convertToFormat(QImage::Format_RGB32);
    }
    QImage SmallImage() const {
        return canvases.smallFront.Image().convertToFormat(QImage::Format_RGB32);
    }
};

// The image `tapwright-cli plot` writes for the arguments.
QImage Plot(const TempDir& dir, std::vector<std::string> args) {
    const std::string out = In(dir, "plot.png");
    args.insert(args.begin() + 1, {"-o", out});
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    EXPECT_EQ(cli::RunPlotCommand(static_cast<int>(argv.size()), argv.data()), 0);
    QImage image(QString::fromStdString(out));
    fs::remove(out);
    return image.convertToFormat(QImage::Format_RGB32);
}

TEST(DialogLogic, LoadSettlesEveryExampleAsTheBatchDesignerDoes) {
    TempDir dir;
    std::vector<std::string> paths;
    for (const auto& entry : fs::directory_iterator(kExamples)) paths.push_back(entry.path());
    // A band pass with an even symmetric characteristic keeps it.
    std::string text = ReadFile(kExamples + "/bandpass_hamming.txt");
    text.replace(text.find("FChar: 0"), 8, "FChar: 1");
    text.replace(text.find(" Taps: 61"), 9, " Taps: 30");
    paths.push_back(dir.Write("bandpass_even.txt", text));
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        // The batch designer's load step.
        const SpecReadResult cli = ReadSettledSpecFile(path, DefaultFilterSpec());
        ASSERT_TRUE(cli.ok);

        // Loaded over a Hilbert window design, whose method list lacks Equiripple.
        Dialog d;
        d.logic.OnUserSelected(kFunctionTypeCombo, Hamming);
        d.logic.OnUserSelected(kResponseTypeCombo, Hilbert);
        ASSERT_EQ(d.model.ItemCount(kFunctionTypeCombo), 5);
        ASSERT_TRUE(d.logic.LoadSpecFile(path, false));
        EXPECT_TRUE(d.platform.boxes.empty());
        EXPECT_TRUE(d.logic.Spec() == cli.spec);
        // The controls show the file.
        EXPECT_EQ(d.model.Selection(kResponseTypeCombo), cli.spec.FType);
        EXPECT_EQ(d.model.Selection(kFunctionTypeCombo), cli.spec.WType);
        EXPECT_EQ(d.model.Selection(kFftSizeCombo), cli.fftIndex);
        EXPECT_EQ(d.model.Checked(kAutoDesignCheck), cli.spec.AutoD != 0);
        EXPECT_EQ(d.model.ItemCount(kBandCombo), cli.spec.TBand);
        EXPECT_EQ(d.model.Text(kLengthEdit), std::to_string(cli.spec.Taps));
        for (const auto& [id, text] :
             {std::pair{kSamplingFrequencyEdit, FormatFieldNumber(cli.spec.Fs)},
              {kTransitionEdit, FormatFieldNumber(cli.spec.Tw)},
              {kFirstCutoffEdit, FormatFieldNumber(cli.spec.Fc1)},
              {kSecondCutoffEdit, FormatFieldNumber(cli.spec.Fc2)},
              {kPassRippleEdit, FormatFieldNumber(cli.spec.PBrip)},
              {kStopRippleEdit, FormatFieldNumber(-cli.spec.SBrip)}}) {
            EXPECT_EQ(d.model.Text(id), text) << id;
        }
        const int item = d.model.Selection(kFilterTypeCombo);
        ASSERT_GE(item, 0);
        EXPECT_EQ(d.model.State(kFilterTypeCombo).items[item], SymmetryTypeText(cli.spec.FChar));
    }
    EXPECT_GE(paths.size(), 7u);
}

TEST(DialogLogic, ApplyDrawsWhatThePlotCommandDraws) {
    TempDir dir;
    struct Case {
        const char* file;
        int graph;
        bool logScale, degrees, curve;
        std::vector<std::string> plot;
    };
    const Case cases[] = {
        {"lowpass_default.txt", Impulse, false, false, false, {"--graph", "impulse"}},
        {"lowpass_default.txt", Magnitude, true, false, false, {"--graph", "db"}},
        {"bandpass_hamming.txt", Magnitude, true, false, false, {"--graph", "db"}},
        {"kaiser_auto.txt", Phase, false, true, true, {"--graph", "phase", "--degrees", "--curve"}},
        {"multiband_equiripple.txt", Magnitude, false, false, false, {"--graph", "magnitude"}},
        {"multiband_equiripple.txt", Magnitude, true, false, false, {"--graph", "db"}},
        {"differentiator_equiripple.txt", Impulse, false, false, false, {"--graph", "impulse"}},
    };
    for (const Case& c : cases) {
        const std::string file = kExamples + "/" + c.file;
        SCOPED_TRACE(file + " " + c.plot[1]);
        Dialog d;
        ASSERT_TRUE(d.logic.LoadSpecFile(file, false));
        d.Apply();
        ASSERT_TRUE(d.logic.Flags().designValid);
        if (c.graph != Impulse) d.logic.OnUserSelected(kGraphTypeCombo, c.graph);
        if (c.logScale) d.logic.OnUserToggled(kLogScaleCheck, true);
        if (c.curve) d.logic.OnUserToggled(kCurveFittingCheck, true);
        if (c.degrees) d.logic.OnUserToggled(kDegreesCheck, true);
        EXPECT_TRUE(d.platform.boxes.empty());

        std::vector<std::string> args = {file, "--grid"};  // Grid On starts checked
        args.insert(args.end(), c.plot.begin(), c.plot.end());
        EXPECT_TRUE(d.MainImage() == Plot(dir, args));
        if (c.logScale) {
            // Other than low and high pass show the range view, Zoom in Log Scale's place.
            const bool lowOrHigh = d.logic.Spec().FType <= HighPass;
            EXPECT_EQ(d.model.Selection(kDisplayTypeCombo) == SpecifiedRange, !lowOrHigh);
            EXPECT_EQ(d.Visible(kZoomCheck) && d.Visible(kViewLowEdit), !lowOrHigh);
            EXPECT_EQ(d.Visible(kLogScaleCheck), lowOrHigh);
            // No Hold On for a differentiator, a Hilbert transformer or a multiband.
            EXPECT_EQ(d.Visible(kHoldOnCheck), d.logic.Spec().FType < Differentiator);
        }
    }
}

// Every example offers and draws every view computed from the taps, in the window
// as the plot command draws it; each view shows its own option, which the plot
// command's flag matches.
TEST(DialogLogic, EveryExampleDrawsTheTapViewsAsThePlotCommandDoes) {
    TempDir dir;
    struct View {
        GraphType graph;
        const char* name;
        int option;  // 0: none
        const char* flag;
    };
    const View views[] = {{GroupDelay, "group-delay", kSecondsCheck, "--seconds"},
                          {UnwrappedPhase, "unwrapped-phase", kDegreesCheck, "--degrees"},
                          {PoleZero, "pole-zero", 0, nullptr},
                          {Step, "step", kCurveFittingCheck, "--curve"}};
    bool optionsTried = false;
    for (const auto& entry : fs::directory_iterator(kExamples)) {
        const std::string file = entry.path().string();
        Dialog d;
        ASSERT_TRUE(d.logic.LoadSpecFile(file, false));
        d.Apply();
        ASSERT_TRUE(d.logic.Flags().designValid) << file;
        for (const View& v : views) {
            SCOPED_TRACE(file + " " + v.name);
            const int item = GraphItemOf(d.model, v.graph);
            ASSERT_GE(item, 0);
            d.logic.OnUserSelected(kGraphTypeCombo, item);
            EXPECT_TRUE(d.platform.boxes.empty());
            EXPECT_TRUE(d.MainImage() == Plot(dir, {file, "--grid", "--graph", v.name}));
            for (int id : {kSecondsCheck, kDegreesCheck, kCurveFittingCheck, kLogScaleCheck}) {
                EXPECT_EQ(d.Visible(id) && d.Enabled(id), id == v.option) << id;
            }
            // The options once, on a window design.
            if (v.option == 0 || d.logic.Spec().WType == Equiripple) continue;
            d.logic.OnUserToggled(v.option, true);
            EXPECT_TRUE(d.MainImage() == Plot(dir, {file, "--grid", "--graph", v.name, v.flag}));
            d.logic.OnUserToggled(v.option, false);
            optionsTried = true;
        }
    }
    EXPECT_TRUE(optionsTried);
}

// The forced range view of a band pass opens at 0 ... Fs/2 of the design's Fs; a
// range the user typed is kept.
TEST(DialogLogic, ForcedRangeViewStartsAtHalfTheSamplingRate) {
    Dialog d;
    d.logic.OnUserSelected(kResponseTypeCombo, BandPass);
    d.Enter(kSamplingFrequencyEdit, "48000");
    d.Enter(kSecondCutoffEdit, "9000");
    d.Enter(kFirstCutoffEdit, "3000");
    d.Apply();
    ASSERT_TRUE(d.logic.Flags().designValid);
    d.logic.OnUserSelected(kGraphTypeCombo, Magnitude);
    d.logic.OnUserToggled(kLogScaleCheck, true);
    EXPECT_EQ(d.model.Selection(kDisplayTypeCombo), SpecifiedRange);
    EXPECT_EQ(d.model.Text(kViewLowEdit), "0");
    EXPECT_EQ(d.model.Text(kViewHighEdit), "24000");
    d.Enter(kViewHighEdit, "12000");
    d.Apply();
    d.logic.OnUserSelected(kGraphTypeCombo, Impulse);
    d.logic.OnUserSelected(kGraphTypeCombo, Magnitude);
    EXPECT_EQ(d.model.Text(kViewHighEdit), "12000");
    EXPECT_TRUE(d.platform.boxes.empty());
}

// The word length of Measure Design draws the quantized taps' response over the
// magnitude graph; a measure at full precision takes it away.
TEST(DialogLogic, MeasuredWordLengthShowsTheQuantizedResponse) {
    Dialog d;
    ASSERT_TRUE(d.logic.LoadSpecFile(kExamples + "/kaiser_auto.txt", false));
    d.Apply();
    d.logic.OnUserSelected(kGraphTypeCombo, Magnitude);
    d.logic.OnUserToggled(kLogScaleCheck, true);
    const auto quantizedPixels = [&] {
        const QImage image = d.MainImage();
        int n = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == kQuantizedCurveColour;
        }
        return n;
    };
    EXPECT_EQ(quantizedPixels(), 0);
    MeasurementTable table;
    ASSERT_TRUE(d.logic.Measure(WordLength(8), 0, table));
    EXPECT_GT(quantizedPixels(), 100);
    ASSERT_TRUE(d.logic.Measure(WordLength(0), 0, table));
    EXPECT_EQ(quantizedPixels(), 0);

    // In a larger window the curve is drawn for the graph's size, and a later resize
    // keeps it.
    TempDir dir;
    const QImage large = Plot(dir, {kExamples + "/kaiser_auto.txt", "--graph", "db", "--grid",
                                    "--bits", "8", "--size", "700x400"});
    d.logic.ResizeGraphs({0, 0, 700, 400}, {0, 0, 300, 150});
    ASSERT_TRUE(d.logic.Measure(WordLength(8), 0, table));
    EXPECT_TRUE(d.MainImage() == large);
    d.logic.ResizeGraphs({0, 0, 701, 400}, {0, 0, 300, 150});
    d.logic.ResizeGraphs({0, 0, 700, 400}, {0, 0, 300, 150});
    EXPECT_TRUE(d.MainImage() == large);
}

TEST(DialogLogic, RangeViewRedrawsWithTheTypedLimits) {
    TempDir dir;
    const std::string file = kExamples + "/lowpass_default.txt";
    Dialog d;
    ASSERT_TRUE(d.logic.LoadSpecFile(file, false));
    d.Apply();
    d.logic.OnUserSelected(kGraphTypeCombo, Magnitude);
    d.logic.OnUserToggled(kLogScaleCheck, true);
    d.logic.OnUserSelected(kDisplayTypeCombo, SpecifiedRange);
    d.Enter(kViewHighEdit, "1500");
    d.Enter(kViewLowEdit, "500");
    d.logic.OnUserToggled(kZoomCheck, true);
    EXPECT_TRUE(d.platform.boxes.empty());
    EXPECT_TRUE(d.MainImage() ==
                Plot(dir, {file, "--grid", "--graph", "range", "--range", "500:1500", "--zoom"}));
    // The estimated length of a design without Auto Design shows in its field.
    d.logic.OnUserToggled(kAutoDesignCheck, false);
    d.logic.OnUserSelected(kFunctionTypeCombo, Hamming);
    d.Enter(kFirstCutoffEdit, "1000");
    d.Enter(kTransitionEdit, "500");
    d.Apply();
    EXPECT_EQ(d.logic.Spec().Taps, 53);
    EXPECT_EQ(d.model.Text(kLengthEdit), "53");
    EXPECT_TRUE(d.logic.Flags().designValid);
}

TEST(DialogLogic, ADesignEnablesItsOptionsAndListsItsCoefficients) {
    Dialog d;
    d.Apply();
    EXPECT_TRUE(d.logic.Flags().designValid);
    EXPECT_FALSE(d.Enabled(kApplyButton));
    for (int id : {kSaveButton, kGraphTypeCombo, kGridCheck, kCurveFittingCheck,
                   kPrintResponseButton, kPrintCoefficientsButton}) {
        EXPECT_TRUE(d.Enabled(id)) << id;
    }
    ASSERT_TRUE(d.model.State(kCoefficientList).rows);
    EXPECT_EQ(d.model.State(kCoefficientList).rows->size(), 31u);
    // The start-up pictures gave way to the logo, once.
    EXPECT_EQ(d.platform.picturesStopped.size(), 4u);
    EXPECT_EQ(d.platform.picturesLoaded.back(), "zeb_logo_orange_bg.jpg");
    EXPECT_FALSE(d.logic.Flags().startupPicture);

    // Redraws do not design again; the grid only combines its layer.
    const auto rows = d.model.State(kCoefficientList).rows;
    d.logic.OnUserToggled(kGridCheck, false);
    EXPECT_TRUE(d.MainImage() == d.canvases.mainPlot.Image().convertToFormat(QImage::Format_RGB32));
    d.logic.OnUserSelected(kGraphTypeCombo, Magnitude);
    d.logic.OnUserToggled(kLogScaleCheck, true);
    EXPECT_EQ(d.model.State(kCoefficientList).rows, rows);
    // Stop band view: Hold On goes; the range view puts Zoom and View in place of Log
    // Scale, and leaving it brings Log Scale back.
    EXPECT_TRUE(d.Visible(kHoldOnCheck));
    d.logic.OnUserSelected(kDisplayTypeCombo, StopbandView);
    EXPECT_FALSE(d.Visible(kHoldOnCheck));
    d.logic.OnUserSelected(kDisplayTypeCombo, SpecifiedRange);
    EXPECT_TRUE(d.Visible(kZoomCheck) && d.Visible(kViewButton) && d.Visible(kViewLowEdit));
    EXPECT_FALSE(d.Visible(kLogScaleCheck));
    d.logic.OnUserSelected(kDisplayTypeCombo, FullView);
    EXPECT_TRUE(d.Visible(kLogScaleCheck));
    EXPECT_FALSE(d.Visible(kZoomCheck));
    EXPECT_EQ(d.logic.Flags().displaySel, FullView);

    // The dB view by response type: Hold On where it is offered, the range view for
    // all but low and high pass; no phase graph for a Hilbert transformer or a
    // differentiator.
    struct Row {
        ResponseType type;
        const char* length;
        bool hold, range;
        int graphs;
    };
    for (const Row& r : {Row{HighPass, "31", true, false, kGraphTypeCount},
                         Row{BandStop, "31", true, true, kGraphTypeCount},
                         Row{Hilbert, "31", false, true, kGraphTypeCount - 1},
                         Row{Differentiator, "32", false, true, kGraphTypeCount - 1}}) {
        Dialog h;
        h.Enter(kSecondCutoffEdit, "3000");
        h.Enter(kFirstCutoffEdit, "1000");
        h.logic.OnUserSelected(kResponseTypeCombo, r.type);
        h.Enter(kLengthEdit, r.length);
        h.Apply();
        ASSERT_TRUE(h.logic.Flags().designValid) << r.type;
        EXPECT_EQ(h.model.ItemCount(kGraphTypeCombo), r.graphs) << r.type;
        h.logic.OnUserSelected(kGraphTypeCombo, Magnitude);
        h.logic.OnUserToggled(kLogScaleCheck, true);
        EXPECT_EQ(h.Visible(kHoldOnCheck), r.hold) << r.type;
        EXPECT_EQ(h.model.Selection(kDisplayTypeCombo) == SpecifiedRange, r.range) << r.type;
        EXPECT_EQ(h.Enabled(kDisplayTypeCombo), !r.range) << r.type;
    }
}

// Each step sets the state of every graph and action control. A character per
// control: E shown and enabled, d shown and disabled, h hidden. The controls: Log Scale, Curve
// Fitting, Degrees, Grid, Hold On, display type combo and label, Zoom, View, view low and high,
// graph type combo and label, Save, Apply, the two print buttons, the small graph and the logo.
TEST(DialogLogic, EachStepSetsEveryGraphControl) {
    const int ids[] = {
        kLogScaleCheck,       kCurveFittingCheck,       kDegreesCheck,   kGridCheck,  kHoldOnCheck,
        kDisplayTypeCombo,    kDisplayTypeLabel,        kZoomCheck,      kViewButton, kViewLowEdit,
        kViewHighEdit,        kGraphTypeCombo,          kGraphTypeLabel, kSaveButton, kApplyButton,
        kPrintResponseButton, kPrintCoefficientsButton, kSmallGraph,     kLogoPicture};
    struct Step {
        std::function<void(Dialog&)> act;
        const char* states;
    };
    const std::string file = kExamples + "/lowpass_default.txt";
    // clang-format off
    const Step steps[] = {
        {[](Dialog& d) { d.Apply(); }, "hEhEhddhhhhEEEdEEEh"},
        {[](Dialog& d) { d.logic.OnUserSelected(kGraphTypeCombo, Phase); }, "hEEEhddhhhhEEEdEEEh"},
        {[](Dialog& d) { d.logic.OnUserToggled(kDegreesCheck, true); }, "hEEEhddhhhhEEEdEEEh"},
        {[](Dialog& d) { d.logic.OnUserSelected(kGraphTypeCombo, Magnitude); }, "EhhEhddhhhhEEEdEEEh"},
        {[](Dialog& d) { d.logic.OnUserToggled(kLogScaleCheck, true); }, "EhhEEEEhhhhEEEdEEEh"},
        {[](Dialog& d) { d.logic.OnUserSelected(kDisplayTypeCombo, PassbandView); }, "EhhEhEEhhhhEEEdEEEh"},
        {[](Dialog& d) { d.logic.OnUserSelected(kDisplayTypeCombo, SpecifiedRange); }, "hhhEhEEEEEEEEEdEEEh"},
        {[](Dialog& d) { d.logic.OnUserSelected(kDisplayTypeCombo, FullView); }, "EhhEEEEhhhhEEEdEEEh"},
        {[](Dialog& d) { d.logic.OnUserToggled(kHoldOnCheck, true); }, "dhhddddhhhhdddEddEh"},
        {[](Dialog& d) { d.Apply(); }, "dhhEEddhhhhdddEEEEh"},
        {[](Dialog& d) { d.logic.OnUserToggled(kHoldOnCheck, false); }, "EhhEEEEhhhhEEEdEEEh"},
        {[](Dialog& d) { d.logic.OnUserSelected(kFunctionTypeCombo, Kaiser); }, "dhhddddhhhhdddEddEh"},
        {[](Dialog& d) { d.Apply(); }, "EhhEEEEhhhhEEEdEEEh"},
        {[&](Dialog& d) { ASSERT_TRUE(d.logic.LoadSpecFile(file, false)); }, "dhhddddhhhhdddEddhE"},
        {[](Dialog& d) { d.logic.OnUserSelected(kResponseTypeCombo, BandPass); d.Apply(); }, "hhhEEddEEEEEEEdEEEh"},
        {[](Dialog& d) { d.logic.OnUserSelected(kFunctionTypeCombo, Equiripple); d.Enter(kIterationsEdit, "5"); }, "hhhdddddddddddEddhE"},
        {[](Dialog& d) { d.Apply(); }, "hhhEhddEEEEEEEdEEhE"},
        {[](Dialog& d) { d.logic.OnUserSelected(kGraphTypeCombo, Impulse); }, "hEhEhddEEEEEEEdEEhE"},
    };
    // clang-format on
    Dialog d;
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        steps[i].act(d);
        std::string states;
        for (int id : ids) states += d.Visible(id) ? (d.Enabled(id) ? 'E' : 'd') : 'h';
        EXPECT_EQ(states, steps[i].states) << "step " << i;
    }
}

// The values a design writes back into its fields (an estimated length, the
// iterations and ratio of an equiripple design stopped at the peak ratio) are no
// edit: what Apply enables stays enabled. A real edit afterwards withdraws it.
TEST(DialogLogic, ValuesTheDesignWritesBackDoNotWithdrawIt) {
    struct Case {
        const char* name;
        std::function<void(Dialog&)> prepare;
        int field;  // the field the design writes into
    };
    const Case cases[] = {
        {"window design of estimated length, range view",
         [](Dialog& d) {
             d.Apply();
             d.logic.OnUserSelected(kGraphTypeCombo, Magnitude);
             d.logic.OnUserToggled(kLogScaleCheck, true);
             d.logic.OnUserSelected(kDisplayTypeCombo, SpecifiedRange);
             d.logic.OnUserToggled(kAutoDesignCheck, false);
             d.logic.OnUserSelected(kFunctionTypeCombo, Hamming);
             d.Enter(kFirstCutoffEdit, "1000");
             d.Enter(kTransitionEdit, "500");
         },
         kLengthEdit},
        {"equiripple design stopped at the peak ratio",
         [](Dialog& d) {
             ASSERT_TRUE(d.logic.LoadSpecFile(kExamples + "/lowpass_equiripple.txt", false));
             d.logic.OnUserToggled(kPeakRatioRadio, true);
             d.Enter(kRatioEdit, "0.001");
         },
         kIterationsEdit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Dialog d;
        c.prepare(d);
        const std::string before = d.model.Text(c.field);
        d.Apply();
        ASSERT_NE(d.model.Text(c.field), before);
        EXPECT_TRUE(d.logic.Flags().designValid);
        EXPECT_FALSE(d.Enabled(kApplyButton));
        std::vector<int> offered = {kSaveButton, kPrintResponseButton, kPrintCoefficientsButton,
                                    kGraphTypeCombo, kGridCheck};
        if (d.model.Selection(kDisplayTypeCombo) == SpecifiedRange) {
            offered.insert(offered.end(), {kViewLowEdit, kViewHighEdit, kZoomCheck, kViewButton});
        }
        for (int id : offered) EXPECT_TRUE(d.Enabled(id)) << id;

        d.logic.OnUserEdited(kSamplingFrequencyEdit, "8001");
        EXPECT_FALSE(d.logic.Flags().designValid);
        EXPECT_TRUE(d.Enabled(kApplyButton));
        for (int id : offered) EXPECT_FALSE(d.Enabled(id)) << id;
    }
}

TEST(DialogLogic, PhaseGraphIsNotOfferedAfterAnEquirippleDesign) {
    Dialog d;
    d.Apply();
    d.logic.OnUserSelected(kGraphTypeCombo, Phase);
    EXPECT_TRUE(d.Visible(kDegreesCheck) && d.Visible(kCurveFittingCheck));
    EXPECT_FALSE(d.Visible(kLogScaleCheck));
    d.logic.OnUserSelected(kFunctionTypeCombo, Equiripple);
    d.Enter(kIterationsEdit, "5");
    d.Apply();
    EXPECT_EQ(d.platform.jobs, 1);
    // Every kind but the wrapped phase.
    EXPECT_EQ(d.model.ItemCount(kGraphTypeCombo), kGraphTypeCount - 1);
    EXPECT_EQ(d.model.Selection(kGraphTypeCombo), Impulse);
    EXPECT_EQ(d.logic.Flags().graphSel, Impulse);
    EXPECT_FALSE(d.Visible(kDegreesCheck));
    EXPECT_TRUE(d.logic.Flags().designValid);
    EXPECT_FALSE(d.Visible(kSmallGraph));  // the logo shows instead
    d.logic.OnUserSelected(kFunctionTypeCombo, Hamming);
    d.Apply();
    EXPECT_EQ(d.model.ItemCount(kGraphTypeCombo), kGraphTypeCount);
    EXPECT_TRUE(d.Visible(kSmallGraph));
}

TEST(DialogLogic, CancelledDesignChangesNothing) {
    Dialog d;
    d.Enter(kFirstCutoffEdit, "1000");
    d.Apply();
    d.logic.OnUserSelected(kFunctionTypeCombo, Equiripple);
    d.Enter(kIterationsEdit, "5");
    d.Enter(kUpperEdgeEdit, "1000");
    d.logic.OnUserSelected(kBandCombo, 1);
    d.Enter(kLowerEdgeEdit, "1500");
    const FilterSpec spec = d.logic.Spec();
    const auto rows = d.model.State(kCoefficientList).rows;
    const std::vector<double> coeffs = d.design.coeffs;
    const QImage main = d.MainImage();
    const QImage small = d.SmallImage();
    const bool printEnabled = d.Enabled(kPrintResponseButton);

    d.platform.cancelAfterProgress = 1;  // Escape as soon as the design shows its progress
    d.Apply();
    EXPECT_EQ(d.platform.jobs, 1);
    // The engine stopped before its first solve: the start shown, then all hidden.
    EXPECT_EQ(d.platform.progressEvents, 2 + 2 * kProgressTextCount);
    EXPECT_FALSE(d.logic.Busy());
    EXPECT_TRUE(d.platform.boxes.empty());
    EXPECT_TRUE(d.logic.Spec() == spec);
    EXPECT_EQ(d.design.coeffs, coeffs);
    EXPECT_EQ(d.model.State(kCoefficientList).rows, rows);
    EXPECT_TRUE(d.MainImage() == main);
    EXPECT_TRUE(d.SmallImage() == small);
    EXPECT_EQ(d.Enabled(kPrintResponseButton), printEnabled);
    EXPECT_FALSE(d.logic.Flags().designValid);
    EXPECT_FALSE(d.Visible(kProcessingText));

    // Not cancelled, the same design is taken.
    d.Apply();
    EXPECT_TRUE(d.logic.Flags().designValid);
    EXPECT_NE(d.design.coeffs, coeffs);
    EXPECT_NE(d.model.State(kCoefficientList).rows, rows);
    EXPECT_EQ(d.logic.Spec().WType, Equiripple);
}

TEST(DialogLogic, ASingularDesignLeavesNoValidDesign) {
    Dialog d;
    d.Apply();
    d.logic.OnUserSelected(kGraphTypeCombo, Phase);
    ASSERT_NE(d.model.State(kCoefficientList).rows, nullptr);
    // Bands without a grid point between them: the normal equations are singular.
    d.logic.OnUserSelected(kFunctionTypeCombo, Equiripple);
    d.logic.OnUserSelected(kBandCombo, 1);
    d.Enter(kLowerEdgeEdit, "4000");
    d.Apply();
    EXPECT_EQ(
        d.platform.BoxTexts(),
        std::vector<std::string>{"Singular matrix encountered! - Filter cannot be designed!"});
    // The main graph shows the empty frame (with the grid); nothing is offered that
    // would show, save or print the previous design as if it were this one.
    GraphCanvases empty;
    CreateStartupImages(empty, kMainClientRect, kSmallClientRect);
    EXPECT_TRUE(d.MainImage() == empty.mainFront.Image().convertToFormat(QImage::Format_RGB32));
    EXPECT_FALSE(d.logic.Flags().designValid);
    EXPECT_FALSE(d.Enabled(kSaveButton) || d.Enabled(kPrintResponseButton) ||
                 d.Enabled(kPrintCoefficientsButton));
    EXPECT_TRUE(d.Enabled(kApplyButton));
    // Nor does the list keep the coefficients of the design before.
    EXPECT_EQ(d.model.State(kCoefficientList).rows, nullptr);
    // The phase graph gave way to the impulse graph and its controls, which wait
    // for a design.
    EXPECT_EQ(d.model.Selection(kGraphTypeCombo), Impulse);
    EXPECT_TRUE(d.Visible(kCurveFittingCheck) && !d.Enabled(kCurveFittingCheck));
    EXPECT_FALSE(d.Visible(kDegreesCheck) || d.Enabled(kDegreesCheck));
}

TEST(DialogLogic, EquirippleOutcomeIsReportedAfterTheWorker) {
    Dialog d;
    ASSERT_TRUE(d.logic.LoadSpecFile(kExamples + "/multiband_equiripple.txt", false));
    d.Enter(kRatioEdit, "0.5");
    d.logic.OnUserToggled(kPeakRatioRadio, true);
    d.Apply();
    ASSERT_EQ(d.platform.boxes.size(), 1u);
    EXPECT_EQ(d.platform.boxes[0].icon, BoxIcon::Information);
    EXPECT_EQ(d.platform.boxes[0].text.rfind("Ratio achieved -- (No of iterations: ", 0), 0u);
    // The replayed push shows the iterations run; the design stays valid after it.
    EXPECT_EQ(d.model.Text(kIterationsEdit), std::to_string(d.logic.Spec().Itern));
    EXPECT_TRUE(d.logic.Flags().designValid);
    EXPECT_FALSE(d.Enabled(kApplyButton));
    EXPECT_TRUE(d.Enabled(kSaveButton));
}

TEST(DialogLogic, HoldOnOverlaysAsThePlotCommandDoes) {
    TempDir dir;
    const std::string first = kExamples + "/lowpass_default.txt";
    std::string text = ReadFile(first);
    text.replace(text.find("WType: 0"), 8, "WType: 2");
    const std::string second = In(dir, "lowpass_hamming.txt");
    dir.Write("lowpass_hamming.txt", text);

    Dialog d;
    ASSERT_TRUE(d.logic.LoadSpecFile(first, false));
    d.Apply();
    d.logic.OnUserSelected(kGraphTypeCombo, Magnitude);
    d.logic.OnUserToggled(kLogScaleCheck, true);
    ASSERT_TRUE(d.Visible(kHoldOnCheck) && d.Enabled(kHoldOnCheck));
    const QImage before = d.MainImage();
    d.logic.OnUserToggled(kHoldOnCheck, true);
    EXPECT_FALSE(d.model.State(kCoefficientList).rows);
    EXPECT_TRUE(d.MainImage() == before);
    EXPECT_TRUE(d.Enabled(kApplyButton));
    EXPECT_FALSE(d.Enabled(kResponseTypeCombo));
    d.logic.OnUserSelected(kFunctionTypeCombo, Hamming);
    d.Apply();
    EXPECT_TRUE(d.MainImage() == Plot(dir, {second, "--graph", "db", "--hold", first, "--grid"}));
    EXPECT_TRUE(d.SmallImage() == Plot(dir, {second, "--graph", "legend", "--hold", first}));
    EXPECT_FALSE(d.model.State(kCoefficientList).rows);  // designs under Hold On leave it

    d.logic.OnUserToggled(kHoldOnCheck, false);
    EXPECT_TRUE(d.MainImage() == Plot(dir, {second, "--graph", "db", "--grid"}));
    ASSERT_TRUE(d.model.State(kCoefficientList).rows);
    EXPECT_EQ(d.model.State(kCoefficientList).rows->size(), 31u);
    EXPECT_TRUE(d.Enabled(kResponseTypeCombo));
}

// Hold On locks the inputs of the design on screen; another function type chosen
// under it shows its own inputs, and releasing Hold On opens them again (with
// Apply on when that method differs from the design on screen).
TEST(DialogLogic, HoldOnLocksTheInputsAndReleasingItOpensThem) {
    constexpr S H = Hidden;
    // The states, in this order, of the length, transition width, ripples, Beta,
    // filter type, iterations, ratio, termination, FFT size, Auto Design, Apply,
    // response type, Load, Fs, Hold On, small graph, logo and band edge controls.
    const int ids[] = {
        kLengthEdit,      kTransitionEdit,        kPassRippleEdit, kBetaEdit,
        kFilterTypeCombo, kIterationsEdit,        kRatioEdit,      kIterationsRadio,
        kFftSizeCombo,    kAutoDesignCheck,       kApplyButton,    kResponseTypeCombo,
        kLoadButton,      kSamplingFrequencyEdit, kHoldOnCheck,    kSmallGraph,
        kLogoPicture,     kLowerEdgeEdit,         kUpperEdgeEdit};
    struct Case {
        const char* file;
        int method;     // chosen under Hold On
        bool released;  // Hold On unchecked afterwards
        std::vector<S> states;
    };
    // An equiripple design made with Auto Design unchecked.
    TempDir dir;
    std::string text = ReadFile(kExamples + "/lowpass_equiripple.txt");
    text.replace(text.find("AutoD: 1"), 8, "AutoD: 0");
    const std::string autoOff = dir.Write("auto_off.txt", text);
    // clang-format off
    const Case cases[] = {
        {"lowpass_default.txt", Kaiser, false, {Off, Off, Off, Off, Off, H, H, H, Off, Off, On, Off, Off, Off, Off, On, H, H, H}},
        {"lowpass_default.txt", Kaiser, true, {On, Off, Off, On, Off, H, H, H, On, On, On, On, On, On,Off, On, H, H, H}},
        {"lowpass_default.txt", Equiripple, false, {Off, H, H, H, Off, On, Off, On, H, H, On, Off, Off, Off, Off, On, H, Off, On}},
        {"lowpass_default.txt", Equiripple, true, {On, H, H, H, Off, On, Off, On, H, H, On, On, On, On,Off, H, On, Off, On}},
        {"lowpass_equiripple.txt", Equiripple, false, {Off, H, H, H, Off, On, Off, On, H, H, On, Off, Off, Off, Off, On, H, Off, On}},
        {"lowpass_equiripple.txt", Rectangular, false, {Off, Off, Off, H, Off, H, H, H, Off, Off, On, Off, Off, Off, Off, On, H, H, H}},
        {autoOff.c_str(), Equiripple, false, {Off, H, H, H, On, On, Off, On, H, H, On, Off, Off, Off, Off, On, H, Off, On}},
        {"kaiser_auto.txt", Kaiser, false, {Off, Off, Off, H, Off, H, H, H, Off, Off, On, Off, Off, Off, Off, On, H, H, H}},
        {"kaiser_auto.txt", Kaiser, true, {Off, On, On, H, Off, H, H, H, On, On, Off, On, On, On, On, On, H, H, H}},
        {"kaiser_auto.txt", Rectangular, true, {Off, On, Off, H, Off, H, H, H, On, On, On, On, On, On,Off, On, H, H, H}},
        {"kaiser_auto.txt", Equiripple, false, {Off, H, H, H, On, On, Off, On, H, H, On, Off, Off, Off, Off, On, H, Off, On}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.file << " method " << c.method << " released " << c.released);
        Dialog d;
        ASSERT_TRUE(
            d.logic.LoadSpecFile(c.file[0] == '/' ? c.file : kExamples + "/" + c.file, false));
        d.Apply();
        d.logic.OnUserSelected(kGraphTypeCombo, Magnitude);
        d.logic.OnUserToggled(kLogScaleCheck, true);
        d.logic.OnUserToggled(kHoldOnCheck, true);
        d.logic.OnUserSelected(kFunctionTypeCombo, c.method);
        if (c.released) d.logic.OnUserToggled(kHoldOnCheck, false);
        for (std::size_t i = 0; i < std::size(ids); ++i) {
            EXPECT_EQ(StateOf(d.model, ids[i]), c.states[i]) << "control " << ids[i];
        }
    }
}

// A loaded file is no unsaved change: its values shown as typed read back to
// themselves when the window ends (0.1 stored as a 32-bit float included).
TEST(DialogLogic, ALoadedFileEndsWithoutAPrompt) {
    for (const char* file : {"lowpass_parks_mcclellan.txt", "kaiser_auto.txt"}) {
        Dialog d;
        ASSERT_TRUE(d.logic.LoadSpecFile(kExamples + "/" + file, false));
        EXPECT_TRUE(d.logic.OnQuit());
        EXPECT_FALSE(d.logic.InputsChangedSinceSaved()) << file;
    }
}

TEST(DialogLogic, SaveAndLoadRoundTrip) {
    TempDir dir;
    Dialog d;
    ASSERT_TRUE(d.logic.LoadSpecFile(kExamples + "/multiband_equiripple.txt", false));
    d.Apply();
    const FilterSpec designed = d.logic.Spec();
    d.platform.fileNames = {In(dir, "a.txt"), In(dir, "b.txt")};
    d.logic.OnClicked(kSaveButton);
    EXPECT_EQ(d.platform.BoxTexts(), std::vector<std::string>{"File saved successfully"});

    Dialog e;
    e.platform.fileNames = {In(dir, "a.txt")};
    e.logic.OnClicked(kLoadButton);
    EXPECT_EQ(e.platform.BoxTexts(), std::vector<std::string>{"File loaded successfully!"});
    EXPECT_TRUE(e.logic.Spec() == designed);
    EXPECT_EQ(e.model.ItemCount(kBandCombo), 4);
    EXPECT_EQ(e.model.Text(kUpperEdgeEdit), "800");
    EXPECT_FALSE(e.Enabled(kSaveButton));
    EXPECT_TRUE(e.Enabled(kApplyButton));
    // Saving what was loaded and designed again writes the same file.
    e.Apply();
    e.logic.OnClicked(kSaveButton);
    d.logic.OnClicked(kSaveButton);
    EXPECT_EQ(ReadFile(In(dir, "a.txt")), ReadFile(In(dir, "b.txt")));
    // Load withdraws the design on screen.
    ASSERT_TRUE(d.logic.LoadSpecFile(In(dir, "a.txt"), false));
    EXPECT_TRUE(d.Enabled(kApplyButton));
}

TEST(DialogLogic, FailedSaveOrLoadChangesNothing) {
    TempDir dir;
    Dialog d;
    d.Apply();
    // A name that cannot be written: message 3, nothing left behind.
    fs::create_directories(dir / "taken");
    d.platform.fileNames = {In(dir, "taken"), std::nullopt};
    d.logic.OnClicked(kSaveButton);
    d.logic.OnClicked(kSaveButton);  // cancelled dialog: nothing happens
    EXPECT_EQ(d.platform.BoxTexts(), std::vector<std::string>{"Error creating output file"});
    EXPECT_EQ(test::Entries(dir.path()), std::vector<std::string>{"taken"});
    EXPECT_TRUE(fs::is_directory(dir / "taken"));

    // A damaged file names what is wrong and changes nothing; a missing one says so.
    std::string text = ReadFile(kExamples + "/bandpass_hamming.txt");
    text.replace(text.find(" Taps: "), 10, " Taps: 3x1");
    dir.Write("damaged.txt", text);
    const FilterSpec spec = d.logic.Spec();
    const auto version = d.model.Version();
    d.platform.boxes.clear();
    EXPECT_FALSE(d.logic.LoadSpecFile(In(dir, "damaged.txt"), true));
    EXPECT_FALSE(d.logic.LoadSpecFile(In(dir, "missing.txt"), true));
    ASSERT_EQ(d.platform.boxes.size(), 2u);
    EXPECT_EQ(d.platform.boxes[0].text.rfind("The file cannot be loaded: ", 0), 0u);
    EXPECT_NE(d.platform.boxes[0].text.find("Taps"), std::string::npos);
    EXPECT_EQ(d.platform.boxes[1].text, "Error opening file");
    EXPECT_TRUE(d.logic.Spec() == spec);
    EXPECT_EQ(d.model.Version(), version);
    EXPECT_TRUE(d.logic.Flags().designValid);
}

TEST(DialogLogic, StartUpPicturesAndQuit) {
    FakePlatform missing;
    missing.picturesExist = false;
    CFirDesign design;
    GraphCanvases canvases;
    DialogLogic logic(design, canvases, missing);
    logic.Initialise();
    EXPECT_TRUE(missing.picturesStarted.empty());
    EXPECT_EQ(missing.picturesLoaded.size(), 2u);  // the penguin, then the first letter

    Dialog d;
    EXPECT_EQ(d.platform.picturesStarted.size(), 4u);
    // The empty graph shows the grid.
    EXPECT_TRUE(d.canvases.mainFront.Image() != d.canvases.mainBackground.Image());
    // A failed check leaves the pictures running.
    d.logic.OnUserSelected(kResponseTypeCombo, BandStop);
    d.Enter(kLengthEdit, "30");
    d.Apply();
    EXPECT_EQ(d.platform.BoxTexts(),
              std::vector<std::string>{"Please enter an odd number of filter length"});
    EXPECT_TRUE(d.platform.picturesStopped.empty());
    EXPECT_TRUE(d.logic.Flags().startupPicture);

    // Enter pulls the fields; one that is not a number keeps the window open.
    d.logic.OnUserEdited(kBetaEdit, "abc");
    EXPECT_FALSE(d.logic.OnQuit());
    EXPECT_EQ(d.platform.boxes.back().text, "Please enter a number");
    EXPECT_EQ(d.model.Text(kBetaEdit), "4");
    d.logic.OnUserEdited(kBetaEdit, "5");
    EXPECT_TRUE(d.logic.OnQuit());
    EXPECT_EQ(d.logic.Spec().Beta, 5.0);
}

// The print buttons print, and the right-click menus act on, only the design on
// screen: while it matches the inputs and no design runs; the menus, as Save, not
// under Hold On.
TEST(DialogLogic, ActionsAreOfferedOnlyForTheDesignOnScreen) {
    auto magnitudeDb = [](Dialog& d) {
        d.Apply();
        d.logic.OnUserSelected(kGraphTypeCombo, Magnitude);
        d.logic.OnUserToggled(kLogScaleCheck, true);
    };
    auto equiripple = [](Dialog& d) {
        d.Apply();
        d.logic.OnUserSelected(kFunctionTypeCombo, Equiripple);
        d.Enter(kIterationsEdit, "5");
        d.platform.holdNextJob = true;
        d.Apply();
    };
    struct Case {
        const char* name;
        std::function<void(Dialog&)> reach;
        bool menus;
        bool print;
    };
    const Case cases[] = {
        {"start-up", [](Dialog&) {}, false, false},
        {"after Apply", [](Dialog& d) { d.Apply(); }, true, true},
        {"after an edit",
         [](Dialog& d) {
             d.Apply();
             d.logic.OnUserEdited(kFirstCutoffEdit, "100");
         },
         false, false},
        {"after a failed check",
         [](Dialog& d) {
             d.Apply();
             d.logic.OnUserSelected(kResponseTypeCombo, BandStop);
             d.Enter(kLengthEdit, "30");
             d.Apply();
         },
         false, false},
        {"after Load of the same values",
         [](Dialog& d) {
             d.Apply();
             ASSERT_TRUE(d.logic.LoadSpecFile(kExamples + "/lowpass_default.txt", false));
         },
         false, false},
        {"another function type",
         [](Dialog& d) {
             d.Apply();
             d.logic.OnUserSelected(kFunctionTypeCombo, Hamming);
         },
         false, false},
        // Hold On withdraws the design as a change of function type does; the design
        // made under it prints, with its overlay.
        {"a design under Hold On",
         [&](Dialog& d) {
             magnitudeDb(d);
             d.logic.OnUserToggled(kHoldOnCheck, true);
             d.logic.OnUserSelected(kFunctionTypeCombo, Hamming);
             d.Apply();
         },
         false, true},
        {"Hold On released, designed again",
         [&](Dialog& d) {
             magnitudeDb(d);
             d.logic.OnUserToggled(kHoldOnCheck, true);
             d.logic.OnUserToggled(kHoldOnCheck, false);
             d.Apply();
         },
         true, true},
        {"while an equiripple design runs", equiripple, false, false},
        {"after it",
         [&](Dialog& d) {
             equiripple(d);
             d.platform.FinishHeldJob();
         },
         true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Dialog d;
        c.reach(d);
        for (int a = 0; a < kDesignActionCount; ++a) {
            EXPECT_EQ(d.logic.Offers(static_cast<DesignAction>(a)), c.menus) << a;
        }
        EXPECT_EQ(d.logic.CoefficientText().empty(), !c.menus);
        EXPECT_EQ(d.logic.GraphImage().isNull(), !c.menus);
        std::vector<int> printed;
        d.logic.SetPrintHandler([&](int id) { printed.push_back(id); });
        d.logic.OnClicked(kPrintResponseButton);
        d.logic.OnClicked(kPrintCoefficientsButton);
        EXPECT_EQ(printed.size(), c.print ? 2u : 0u);
        // A running design leaves the window no input to press them with.
        if (!d.logic.Busy()) {
            EXPECT_EQ(d.Enabled(kPrintResponseButton), c.print);
            EXPECT_EQ(d.Enabled(kPrintCoefficientsButton), c.print);
        }
    }
}

// A failed export, picture or measurement shows one message, writes nothing and
// leaves the design on screen.
TEST(DialogLogic, FailedActionsShowTheirMessageAndWriteNothing) {
    TempDir dir;
    Dialog d;
    d.Apply();
    const std::string missing = In(dir, "missing");
    EXPECT_FALSE(d.logic.ExportCoefficients(missing + "/taps.txt", {}));
    ExportOptions coe;
    coe.format = ExportFormat::Coe;
    EXPECT_FALSE(d.logic.ExportCoefficients(In(dir, "taps.coe"), coe));
    EXPECT_FALSE(d.logic.SaveGraphPng(missing + "/graph.png"));
    MeasurementTable table;
    EXPECT_FALSE(d.logic.Measure(WordLength(40), 0, table));
    const std::vector<std::pair<const char*, const char*>> expected = {
        {"The coefficients cannot be exported: ", "cannot create a temporary file"},
        {"The coefficients cannot be exported: ", "give a word length"},
        {"The graph cannot be saved: ", "cannot create a temporary file"},
        {"The design cannot be measured: ", ""},
    };
    ASSERT_EQ(d.platform.boxes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const std::string& text = d.platform.boxes[i].text;
        EXPECT_EQ(d.platform.boxes[i].icon, BoxIcon::Stop);
        EXPECT_EQ(text.rfind(expected[i].first, 0), 0u) << text;
        EXPECT_NE(text.find(expected[i].second), std::string::npos) << text;
    }
    EXPECT_TRUE(fs::is_empty(dir.path()));
    EXPECT_TRUE(d.logic.Offers(DesignAction::ExportCoefficients));
}

}  // namespace
}  // namespace tapwright::ui

namespace tapwright::ui {
namespace {

// Measure Design's table: the rows of the measurements, a fixed-point column once a
// word length is given, and the warning of a nearly singular equiripple solve.
TEST(DialogLogic, MeasureTableCarriesTheConditioningWarning) {
    TempDir dir;
    std::string ill = ReadFile(kExamples + "/lowpass_equiripple.txt");
    ill.replace(ill.find("Bd1U: 1600"), 10, "Bd1U: 100");
    ill.replace(ill.find("Bd2L: 2000"), 10, "Bd2L: 3900");
    ill.replace(ill.find(" Taps: 51"), 9, " Taps: 31");
    struct Case {
        std::string file;
        int bits;
        bool warned;
    };
    const Case cases[] = {
        {kExamples + "/lowpass_equiripple.txt", 0, false},
        {kExamples + "/lowpass_equiripple.txt", 12, false},
        {dir.Write("ill.txt", ill), 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + " " + std::to_string(c.bits));
        Dialog d;
        ASSERT_TRUE(d.logic.LoadSpecFile(c.file, false));
        d.Apply();
        ASSERT_TRUE(d.logic.Flags().designValid);
        MeasurementTable table;
        ASSERT_TRUE(d.logic.Measure(WordLength(c.bits), 0, table));
        DesignMeasurements m;
        ASSERT_TRUE(MeasureDesign(d.logic.Spec(), d.logic.Design(), c.bits, m));
        const std::vector<MeasurementRow> rows = MeasurementRows(m);
        ASSERT_EQ(table.rows.size(), rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(table.rows[i].label, rows[i].label);
            EXPECT_EQ(table.rows[i].value, rows[i].value);
            EXPECT_EQ(table.rows[i].quantized, rows[i].quantized);
        }
        std::vector<std::string> headings = {"Measurement", "Full precision"};
        if (c.bits != 0) headings.push_back(std::to_string(c.bits) + "-bit fixed point");
        EXPECT_EQ(table.headings, headings);
        EXPECT_EQ(table.warning.find("nearly singular") != std::string::npos, c.warned)
            << table.warning;
    }
}

}  // namespace
}  // namespace tapwright::ui
