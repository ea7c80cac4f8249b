#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "tests/picture/picture_test_gifs.h"

namespace tapwright {
namespace {

namespace fs = std::filesystem;

int RunCommand(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return cli::RunPictureCommand(static_cast<int>(args.size()), argv.data());
}

class PictureCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tapwright_picture_cmd_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }
    std::vector<std::string> Files(const fs::path& dir) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir_;
};

TEST_F(PictureCommand, WritesComposedFramesAsPngs) {
    // A red screen, then a green square at (1, 1) that disposal 2 clears again,
    // then a blue square at (3, 3) that stays.
    const std::vector<GifEncodeFrame> frames = {
        test::SolidFrame(0, 0, 6, 6, 0, 10, 1),
        test::SolidFrame(1, 1, 2, 2, 1, 10, 2),
        test::SolidFrame(3, 3, 2, 2, 2, 10, 1),
    };
    const std::string gif = Write("anim.gif", EncodeGif(6, 6, test::kPalette, frames, true));
    const fs::path out = dir_ / "out";
    ASSERT_EQ(RunCommand({gif, "-o", out.string()}), 0);
    ASSERT_EQ(Files(out), (std::vector<std::string>{"frame_000.png", "frame_001.png",
                                                    "frame_002.png", "frame_003.png"}));
    const QImage f0(QString::fromStdString((out / "frame_000.png").string()));
    const QImage f1(QString::fromStdString((out / "frame_001.png").string()));
    const QImage f2(QString::fromStdString((out / "frame_002.png").string()));
    const QImage f3(QString::fromStdString((out / "frame_003.png").string()));
    ASSERT_EQ(f0.size(), QSize(6, 6));
    EXPECT_EQ(f0.pixel(1, 1), test::kRed);
    EXPECT_EQ(f1.pixel(1, 1), test::kGreen);
    EXPECT_EQ(f1.pixel(3, 3), test::kRed);
    const QRgb button_face = qRgb(240, 240, 240);
    EXPECT_EQ(f2.pixel(1, 1), button_face);  // disposal 2 cleared the green square
    EXPECT_EQ(f2.pixel(3, 3), test::kBlue);
    EXPECT_EQ(f3, f0);  // after the wrap, frame 0 on a cleared surface

    ASSERT_EQ(RunCommand({gif, "-o", (dir_ / "two").string(), "-n", "2"}), 0);
    EXPECT_EQ(Files(dir_ / "two"), (std::vector<std::string>{"frame_000.png", "frame_001.png"}));
}

TEST_F(PictureCommand, StillPictureGivesOneFrame) {
    const std::vector<GifEncodeFrame> one = {test::SolidFrame(0, 0, 4, 3, 2)};
    const std::string gif = Write("still.gif", EncodeGif(4, 3, test::kPalette, one, false));
    ASSERT_EQ(RunCommand({gif, "-o", (dir_ / "still").string()}), 0);
    EXPECT_EQ(Files(dir_ / "still"), std::vector<std::string>{"frame_000.png"});
    EXPECT_EQ(
        QImage(QString::fromStdString((dir_ / "still" / "frame_000.png").string())).pixel(0, 0),
        test::kBlue);
}

TEST_F(PictureCommand, BadInputGivesExitCodeTwo) {
    const std::string gif = Write("anim.gif", test::SolidAnimation(4, 4, 2, 10));
    const std::string junk = Write("junk.gif", {'G', 'I', 'F', '8', '9', 'a'});
    const std::string out = (dir_ / "out").string();
    const std::vector<std::vector<std::string>> cases = {
        {},
        {gif},
        {"-o", out},
        {gif, "-o"},
        {gif, "-o", out, "-n", "0"},
        {gif, "-o", out, "-n", "x"},
        {gif, "-o", out, "--frames"},
        {gif, gif, "-o", out},
        {(dir_ / "missing.gif").string(), "-o", out},
        {junk, "-o", out},
        {gif, "-o", (dir_ / "anim.gif" / "sub").string()},  // output under a file
    };
    for (const auto& args : cases) {
        std::string line;
        for (const auto& a : args) line += a + " ";
        EXPECT_EQ(RunCommand(args), 2) << line;
    }
    EXPECT_FALSE(fs::exists(out) && !fs::is_empty(out));
    EXPECT_NE(std::string(cli::PictureCommandHelp()).find("picture FILE -o DIR"),
              std::string::npos);
}

}  // namespace
}  // namespace tapwright
