// The plot command end to end: arguments, the written PNG, whole-or-nothing output.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace tapwright::cli {
namespace {

namespace fs = std::filesystem;

int RunPlot(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    return RunPlotCommand(static_cast<int>(argv.size()), argv.data());
}

struct TempDir {
    fs::path path;
    TempDir() {
        path = fs::temp_directory_path() / ("tapwright-plot-" + std::to_string(::getpid()));
        fs::create_directories(path);
    }
    ~TempDir() { fs::remove_all(path); }
};

const std::string kExample = std::string(TAPWRIGHT_EXAMPLES_DIR) + "/lowpass_default.txt";

TEST(PlotCommand, RefusesBadArguments) {
    TempDir dir;
    const std::string out = (dir.path / "x.png").string();
    EXPECT_EQ(RunPlot({kExample, "-o", out}), 2);                       // no graph
    EXPECT_EQ(RunPlot({kExample, "-o", out, "--graph", "bode"}), 2);    // unknown graph
    EXPECT_EQ(RunPlot({kExample, "-o", out, "--graph", "legend"}), 2);  // legend needs hold
    EXPECT_EQ(RunPlot({kExample, "-o", out, "--graph", "impulse", "--hold", kExample}), 2);
    EXPECT_EQ(RunPlot({kExample, "-o", out, "--graph", "range", "--range", "3000:1000"}), 2);
    EXPECT_EQ(RunPlot({kExample, "-o", out, "--graph", "range", "--range", "abc"}), 2);
    EXPECT_EQ(RunPlot({(dir.path / "missing.txt").string(), "-o", out, "--graph", "db"}), 2);
    EXPECT_FALSE(fs::exists(out));
    EXPECT_NE(std::string(PlotCommandHelp()).find("offscreen"), std::string::npos);
}

TEST(PlotCommand, WritesTheComposedImageOfEachArea) {
    TempDir dir;
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
        const std::string out = (dir.path / "g.png").string();
        std::vector<std::string> args = {kExample, "-o", out};
        args.insert(args.end(), k.extra.begin(), k.extra.end());
        ASSERT_EQ(RunPlot(args), 0) << k.extra[1];
        const QImage image(QString::fromStdString(out));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), k.width);
        EXPECT_EQ(image.height(), k.height);
        // The background colour of every graph fills the corner.
        EXPECT_EQ(image.pixel(2, k.height - 2), qRgb(40, 85, 85));
        // Nothing but the image is left in the folder.
        int files = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path)) ++files;
        EXPECT_EQ(files, 1);
        fs::remove(out);
    }
}

}  // namespace
}  // namespace tapwright::cli
