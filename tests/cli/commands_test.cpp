// The sub-commands called in-process: arguments, exit codes, and the pictures they
// write whole or not at all.

#include "cli/commands.h"

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "cli/graph_args.h"
#include "tests/picture/picture_test_gifs.h"
#include "tests/support/test_support.h"

namespace tapwright::cli {
namespace {

namespace fs = std::filesystem;

int CallCommand(int (*command)(int, char**), std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return command(static_cast<int>(args.size()), argv.data());
}

const std::string kExample = std::string(TAPWRIGHT_EXAMPLES) + "/lowpass_default.txt";

TEST(PlotCommand, RefusesBadArguments) {
    const test::TempDir dir;
    const std::string out = (dir / "x.png").string();
    EXPECT_EQ(CallCommand(RunPlotCommand, {kExample, "-o", out}), 2);  // no graph
    EXPECT_EQ(CallCommand(RunPlotCommand, {kExample, "-o", out, "--graph", "bode"}),
              2);  // unknown graph
    EXPECT_EQ(CallCommand(RunPlotCommand, {kExample, "-o", out, "--graph", "legend"}),
              2);  // legend needs hold
    EXPECT_EQ(CallCommand(RunPlotCommand,
                          {kExample, "-o", out, "--graph", "impulse", "--hold", kExample}),
              2);
    EXPECT_EQ(CallCommand(RunPlotCommand,
                          {kExample, "-o", out, "--graph", "range", "--range", "3000:1000"}),
              2);
    EXPECT_EQ(
        CallCommand(RunPlotCommand, {kExample, "-o", out, "--graph", "range", "--range", "abc"}),
        2);
    EXPECT_EQ(
        CallCommand(RunPlotCommand, {(dir / "missing.txt").string(), "-o", out, "--graph", "db"}),
        2);
    EXPECT_FALSE(fs::exists(out));
    EXPECT_NE(std::string(PlotCommandHelp()).find("offscreen"), std::string::npos);
}

TEST(PlotCommand, WritesTheComposedImageOfEachArea) {
    const test::TempDir dir;
    struct Case {
        std::vector<std::string> extra;
        int width, height;
    };
    const Case cases[] = {
        {{"--graph", "db", "--grid"}, 584, 342},
        {{"--graph", "range", "--range", "500:1500", "--zoom"}, 584, 342},
        {{"--graph", "phase", "--degrees", "--curve"}, 584, 342},
        {{"--graph", "window"}, 294, 155},
        {{"--graph", "legend", "--hold", kExample}, 294, 155},
    };
    for (const Case& k : cases) {
        const std::string out = (dir / "g.png").string();
        std::vector<std::string> args = {kExample, "-o", out};
        args.insert(args.end(), k.extra.begin(), k.extra.end());
        ASSERT_EQ(CallCommand(RunPlotCommand, args), 0) << k.extra[1];
        const QImage image(QString::fromStdString(out));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), k.width);
        EXPECT_EQ(image.height(), k.height);
        // The background colour of every graph fills the corner.
        EXPECT_EQ(image.pixel(2, k.height - 2), qRgb(40, 85, 85));
        // Nothing but the image is left in the folder.
        EXPECT_EQ(test::Entries(dir.path()), std::vector<std::string>{"g.png"});
        fs::remove(out);
    }
}

// Parse and check errors of the graph arguments, for plot (both areas) or report.
std::string GraphArgsError(GraphAreas areas, std::vector<std::string> args, GraphCommandArgs& out,
                           std::string* own = nullptr) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    const OwnOption take = [own](const std::string& arg, const ArgValue& value,
                                 std::string& error) {
        if (arg != "--own") return false;
        if (!value(*own)) error = "--own needs a value";
        return true;
    };
    out = GraphCommandArgs();
    const std::string error = ParseGraphCommandArgs(
        static_cast<int>(argv.size()), argv.data(), areas,
        areas == GraphAreas::Both ? "OUT.png" : "OUT.pdf", own ? take : OwnOption(), out);
    return error.empty() ? CheckGraphArgs(out.graph, areas) : error;
}

TEST(GraphArgs, PlotAndReportRefuseAlike) {
    const std::string f = kExample;
    struct Case {
        std::vector<std::string> args;
        std::string plot;    // error text of plot; empty: accepted
        std::string report;  // of report
    };
    const std::string hold = "--hold draws the dB full view (--graph db)";
    const Case cases[] = {
        {{f, "-o", "x"}, "no graph (--graph G)", ""},
        {{f}, "no output file (-o OUT.png)", "no output file (-o OUT.pdf)"},
        {{"-o", "x", "--graph", "db"}, "no spec file", "no spec file"},
        {{f, f, "-o", "x"}, "more than one spec file", "more than one spec file"},
        {{f, "-o"}, "-o needs a file name", "-o needs a file name"},
        {{f, "-o", "x", "--frob"}, "unknown option \"--frob\"", "unknown option \"--frob\""},
        {{f, "-o", "x", "--graph"}, "--graph needs a graph name", "--graph needs a graph name"},
        {{f, "-o", "x", "--graph", "bode"}, "unknown graph \"bode\"", "unknown graph \"bode\""},
        {{f, "-o", "x", "--graph", "window"}, "", "unknown graph \"window\""},
        {{f, "-o", "x", "--graph", "legend"},
         "--graph legend needs --hold",
         "unknown graph \"legend\""},
        {{f, "-o", "x", "--graph", "legend", "--hold", f}, "", "unknown graph \"legend\""},
        {{f, "-o", "x", "--graph", "db", "--hold", f}, "", ""},
        {{f, "-o", "x", "--graph", "phase", "--hold", f},
         hold + " or its legend (--graph legend)",
         hold},
        {{f, "-o", "x", "--graph", "db", "--hold"},
         "--hold needs the previous spec file",
         "--hold needs the previous spec file"},
        {{f, "-o", "x", "--graph", "range", "--range", "100"},
         "--range needs LO:HI in Hz",
         "--range needs LO:HI in Hz"},
        {{f, "-o", "x", "--graph", "range", "--range", "1:inf"},
         "--range needs LO:HI in Hz",
         "--range needs LO:HI in Hz"},
        {{f, "-o", "x", "--graph", "range", "--range", ":2"},
         "--range needs LO:HI in Hz",
         "--range needs LO:HI in Hz"},
        {{f, "-o", "x", "--graph", "range", "--range", "1x:2"},
         "--range needs LO:HI in Hz",
         "--range needs LO:HI in Hz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        GraphCommandArgs out;
        EXPECT_EQ(GraphArgsError(GraphAreas::Both, c.args, out), c.plot);
        EXPECT_EQ(GraphArgsError(GraphAreas::MainOnly, c.args, out), c.report);
    }

    // Every option lands in its field; a command's own options are its own.
    GraphCommandArgs out;
    std::string own;
    ASSERT_EQ(GraphArgsError(GraphAreas::MainOnly,
                             {"--grid", f, "--own", "v", "--curve", "--degrees", "--zoom", "-o",
                              "x", "--graph", "range", "--range", "-1e3:2.5"},
                             out, &own),
              "");
    EXPECT_EQ(own, "v");
    EXPECT_EQ(out.file, f);
    EXPECT_EQ(out.output, "x");
    const GraphArgs& g = out.graph;
    EXPECT_TRUE(g.grid && g.curve && g.degrees && g.zoom && g.rangeGiven && g.kindGiven);
    EXPECT_EQ(g.kind, GraphKind::Range);
    EXPECT_EQ(g.low, -1000.0);
    EXPECT_EQ(g.high, 2.5);
    EXPECT_EQ(GraphArgsError(GraphAreas::Both, {f, "-o", "x", "--own"}, out, &own),
              "--own needs a value");
}

TEST(GraphArgs, LoadsTheHeldAndCurrentDesignsAndChecksTheRange) {
    // The example's Fs is 8000 Hz: the range may reach 4000 Hz.
    struct Case {
        std::string held;
        bool rangeGiven;
        double low, high;
        int exitCode;
        double viewHigh;  // of the options when designed
    };
    const Case cases[] = {
        {"", false, 0, 0, kExitOk, 4000.0},
        {"", true, 0, 4000, kExitOk, 4000.0},
        {"", true, 100, 100, kExitOk, 100.0},
        {"", true, 0, 4000.5, kExitBadInput, 0},
        {"", true, -1, 100, kExitBadInput, 0},
        {"", true, 200, 100, kExitBadInput, 0},
        {kExample, false, 0, 0, kExitOk, 4000.0},
        {kExample + ".missing", false, 0, 0, kExitBadInput, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.high);
        GraphArgs args;
        args.kind = GraphKind::Db;
        args.held = c.held;
        args.rangeGiven = c.rangeGiven;
        args.low = c.low;
        args.high = c.high;
        CFirDesign design;
        const GraphDesign loaded = LoadGraphDesign("plot", kExample, args, design);
        ASSERT_EQ(loaded.exitCode, c.exitCode);
        if (c.exitCode != kExitOk) continue;
        EXPECT_EQ(loaded.spec.Fs, 8000.0f);
        EXPECT_EQ(loaded.options.viewHigh, c.viewHigh);
        EXPECT_EQ(loaded.options.holdActive, !c.held.empty());
        EXPECT_EQ(design.coeffs.size(), static_cast<std::size_t>(loaded.spec.Taps));
    }

    // Each graph gives the window's graph, scale and view.
    const std::tuple<GraphKind, GraphType, bool, ViewMode> kinds[] = {
        {GraphKind::Impulse, Impulse, true, FullView},
        {GraphKind::Window, Impulse, true, FullView},
        {GraphKind::Magnitude, Magnitude, false, FullView},
        {GraphKind::Db, Magnitude, true, FullView},
        {GraphKind::Legend, Magnitude, true, FullView},
        {GraphKind::Passband, Magnitude, true, PassbandView},
        {GraphKind::Stopband, Magnitude, true, StopbandView},
        {GraphKind::Range, Magnitude, true, SpecifiedRange},
        {GraphKind::Phase, Phase, true, FullView}};
    for (const auto& [kind, graph, logScale, view] : kinds) {
        GraphArgs args;
        args.kind = kind;
        CFirDesign design;
        const GraphOptions o = LoadGraphDesign("plot", kExample, args, design).options;
        EXPECT_EQ(std::tuple(o.graph, o.logScale, o.view), std::tuple(graph, logScale, view))
            << static_cast<int>(kind);
    }

    // The held design keeps its own iteration count, which the legend names.
    std::string text = test::ReadFile(kExample);
    const std::size_t at = text.find("Itern: 0\n");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 8, "Itern: 7");
    const test::TempDir dir;
    GraphArgs args;
    args.kind = GraphKind::Db;
    args.held = dir.Write("held.txt", text).string();
    CFirDesign design;
    const GraphDesign loaded = LoadGraphDesign("plot", kExample, args, design);
    ASSERT_EQ(loaded.exitCode, kExitOk);
    EXPECT_EQ(loaded.held.iterations, 7);
}

TEST(PictureCommand, WritesComposedFramesAsPngs) {
    const test::TempDir dir;
    // A red screen, then a green square at (1, 1) that disposal 2 clears again,
    // then a blue square at (3, 3) that stays.
    const std::vector<GifEncodeFrame> frames = {
        test::SolidFrame(0, 0, 6, 6, 0, 10, 1),
        test::SolidFrame(1, 1, 2, 2, 1, 10, 2),
        test::SolidFrame(3, 3, 2, 2, 2, 10, 1),
    };
    const std::string gif =
        dir.Write("anim.gif", EncodeGif(6, 6, test::kPalette, frames, true)).string();
    const fs::path out = dir / "out";
    ASSERT_EQ(CallCommand(RunPictureCommand, {gif, "-o", out.string()}), 0);
    ASSERT_EQ(test::Entries(out), (std::vector<std::string>{"frame_000.png", "frame_001.png",
                                                            "frame_002.png", "frame_003.png"}));
    const QImage f0(QString::fromStdString((out / "frame_000.png").string()));
    const QImage f1(QString::fromStdString((out / "frame_001.png").string()));
    const QImage f2(QString::fromStdString((out / "frame_002.png").string()));
    const QImage f3(QString::fromStdString((out / "frame_003.png").string()));
    ASSERT_EQ(f0.size(), QSize(6, 6));
    EXPECT_EQ(f0.pixel(1, 1), test::kRed);
    EXPECT_EQ(f1.pixel(1, 1), test::kGreen);
    EXPECT_EQ(f1.pixel(3, 3), test::kRed);
    const QRgb buttonFace = qRgb(240, 240, 240);
    EXPECT_EQ(f2.pixel(1, 1), buttonFace);  // disposal 2 cleared the green square
    EXPECT_EQ(f2.pixel(3, 3), test::kBlue);
    EXPECT_EQ(f3, f0);  // after the wrap, frame 0 on a cleared surface

    ASSERT_EQ(CallCommand(RunPictureCommand, {gif, "-o", (dir / "two").string(), "-n", "2"}), 0);
    EXPECT_EQ(test::Entries(dir / "two"),
              (std::vector<std::string>{"frame_000.png", "frame_001.png"}));
}

TEST(PictureCommand, StillPictureGivesOneFrame) {
    const test::TempDir dir;
    const std::vector<GifEncodeFrame> one = {test::SolidFrame(0, 0, 4, 3, 2)};
    const std::string gif =
        dir.Write("still.gif", EncodeGif(4, 3, test::kPalette, one, false)).string();
    // The listing is the command's output: standard output.
    ::testing::internal::CaptureStdout();
    ASSERT_EQ(CallCommand(RunPictureCommand, {gif, "-o", (dir / "still").string()}), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              (dir / "still" / "frame_000.png").string() + "  still picture 4x3\n");
    EXPECT_EQ(test::Entries(dir / "still"), std::vector<std::string>{"frame_000.png"});
    ASSERT_EQ(CallCommand(RunPictureCommand, {gif, "-o", (dir / "most").string(), "-n", "1000"}),
              0);
    EXPECT_EQ(test::Entries(dir / "most"), std::vector<std::string>{"frame_000.png"});
    EXPECT_EQ(
        QImage(QString::fromStdString((dir / "still" / "frame_000.png").string())).pixel(0, 0),
        test::kBlue);
}

TEST(PictureCommand, BadInputGivesExitCodeTwo) {
    const test::TempDir dir;
    const std::string gif = dir.Write("anim.gif", test::SolidAnimation(4, 4, 2, 10)).string();
    const std::string junk = dir.Write("junk.gif", {'G', 'I', 'F', '8', '9', 'a'}).string();
    const std::string out = (dir / "out").string();
    const std::vector<std::vector<std::string>> cases = {
        {},
        {gif},
        {"-o", out},
        {gif, "-o"},
        {gif, "-o", out, "-n", "0"},
        {gif, "-o", out, "-n", "x"},
        {gif, "-o", out, "-n", "1001"},
        {gif, "-o", out, "--frames"},
        {gif, gif, "-o", out},
        {(dir / "missing.gif").string(), "-o", out},
        {junk, "-o", out},
        {gif, "-o", (dir / "anim.gif" / "sub").string()},  // output under a file
    };
    for (const auto& args : cases) {
        std::string line;
        for (const auto& a : args) line += a + " ";
        EXPECT_EQ(CallCommand(RunPictureCommand, args), 2) << line;
    }
    EXPECT_FALSE(fs::exists(out) && !fs::is_empty(out));
    EXPECT_NE(std::string(PictureCommandHelp()).find("picture FILE -o DIR"), std::string::npos);
}

TEST(PictureCommand, RefusedGifsSayWhy) {
    const test::TempDir dir;
    const std::vector<GifEncodeFrame> one = {test::SolidFrame(0, 0, 2, 2, 1)};
    // Five frames that each decode onto a 4-megapixel screen: more than the budget.
    const std::vector<GifEncodeFrame> five(5, test::SolidFrame(0, 0, 1, 1, 1));
    const struct {
        const char* name;
        std::vector<std::uint8_t> gif;
        const char* reason;
    } cases[] = {
        {"wide.gif", EncodeGif(5000, 2, test::kPalette, one, false),
         "logical screen of 5000x2 pixels is larger than"},
        {"flat.gif", EncodeGif(2, 0, test::kPalette, one, false),
         "logical screen of 2x0 pixels is empty"},
        {"long.gif", EncodeGif(2048, 2048, test::kPalette, five, true),
         "frames would decode more than 16777216 pixels"},
    };
    for (const auto& c : cases) {
        const std::string gif = dir.Write(c.name, c.gif).string();
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(CallCommand(RunPictureCommand, {gif, "-o", (dir / "out").string()}), 2);
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find(gif + ": refused: "), std::string::npos) << said;
        EXPECT_NE(said.find(c.reason), std::string::npos) << said;
    }
}

}  // namespace
}  // namespace tapwright::cli
