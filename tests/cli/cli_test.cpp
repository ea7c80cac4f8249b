// tapwright-cli as a script would use it: exit codes, outputs and messages.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "files/spec_file.h"
#include "tests/support/test_support.h"

namespace tapwright {
namespace {

namespace fs = std::filesystem;

struct Result {
    int code = -1;
    std::string out;
    std::string err;
};

using test::ReadFile;

class Cli : public ::testing::Test {
  protected:
    Result Run(const std::string& args) {
        const fs::path out = dir_ / "stdout", err = dir_ / "stderr";
        const std::string command =
            std::string(TAPWRIGHT_CLI) + " " + args + " >" + out.string() + " 2>" + err.string();
        const int status = std::system(command.c_str());
        Result r;
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = ReadFile(out);
        r.err = ReadFile(err);
        return r;
    }

    static std::string Example(const std::string& name) {
        return std::string(TAPWRIGHT_EXAMPLES) + "/" + name + ".txt";
    }

    test::TempDir dir_;
};

const char* kExamples[] = {"lowpass_default",           "kaiser_auto",
                           "bandpass_hamming",          "multiband_equiripple",
                           "differentiator_equiripple", "hilbert_hamming"};

TEST_F(Cli, EveryExampleDesignsAndReadsBack) {
    for (const char* name : kExamples) {
        const Result r = Run("design " + Example(name));
        ASSERT_EQ(r.code, 0) << name << ": " << r.err;
        const SpecReadResult read = ParseSpecFile(r.out, DefaultFilterSpec());
        ASSERT_TRUE(read.ok) << name << ": " << read.error;
        // One coefficient line per tap, all finite.
        const std::string block = r.out.substr(r.out.find("Coeff:\n") + 7);
        std::istringstream lines(block);
        std::string line;
        int count = 0;
        while (std::getline(lines, line)) {
            EXPECT_TRUE(std::isfinite(std::stod(line))) << name << ": " << line;
            ++count;
        }
        EXPECT_EQ(count, read.spec.Taps) << name;
    }
}

TEST_F(Cli, ResponseRowsAndFrequencies) {
    struct Case {
        const char* name;
        int rows;
        double lastFrequency;
    };
    // Window designs cover 0 ... Fs on FFT points; the equiripple grid has 32N + 1
    // points below Fs/2.
    const Case cases[] = {{"lowpass_default", 512, 8000.0},
                          {"multiband_equiripple", 32 * 61 + 1, 1952 * 8000.0 / (2 * 1953)}};
    for (const Case& c : cases) {
        const Result r = Run("response " + Example(c.name));
        ASSERT_EQ(r.code, 0) << r.err;
        std::istringstream lines(r.out);
        std::string line;
        std::getline(lines, line);
        EXPECT_EQ(line, "index,frequency_hz,real,imag,magnitude,magnitude_db");
        int rows = 0;
        std::string last;
        while (std::getline(lines, line)) {
            last = line;
            ++rows;
        }
        EXPECT_EQ(rows, c.rows) << c.name;
        const std::size_t a = last.find(','), b = last.find(',', a + 1);
        EXPECT_DOUBLE_EQ(std::stod(last.substr(a + 1, b - a - 1)), c.lastFrequency) << c.name;
    }
    // An exact zero (the default low pass with a cutoff of 0) prints -inf dB.
    const std::string spec = ReadFile(Example("lowpass_default"));
    std::string zero = spec;
    zero.replace(zero.find("  Fc1: 1000.000000"), 18, "  Fc1: 0.000000");
    const Result r = Run("response " + dir_.Write("zero.txt", zero).string());
    ASSERT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("\n1,15.655577299412915,0,0,0,-inf\n"), std::string::npos);
}

TEST_F(Cli, RefusedDamagedAndMissingFiles) {
    std::string text = ReadFile(Example("bandpass_hamming"));
    text.replace(text.find(" Taps: 61"), 9, " Taps: 60");
    Result r = Run("design " + dir_.Write("even.txt", text).string());
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Please enter an odd number of filter length"), std::string::npos);
    EXPECT_TRUE(r.out.empty());

    std::string damaged = ReadFile(Example("bandpass_hamming"));
    damaged.replace(damaged.find("TBand: 3"), 8, "TBand: 12");
    r = Run("design " + dir_.Write("damaged.txt", damaged).string());
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("TBand: 12 is out of range"), std::string::npos) << r.err;

    r = Run("design " + (dir_ / "absent.txt").string());
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("cannot open"), std::string::npos);

    r = Run("design");
    EXPECT_EQ(r.code, 2);
    r = Run("frobnicate");
    EXPECT_EQ(r.code, 2);
}

TEST_F(Cli, WarningsGoToStandardErrorAndTheDesignIsWritten) {
    std::string text = ReadFile(Example("multiband_equiripple"));
    text.replace(text.find("TerCr: 0"), 8, "TerCr: 1");
    text.replace(text.find("Ratio: 0.000000"), 15, "Ratio: 0.000000000001");
    const fs::path out = dir_ / "out.txt";
    const Result r =
        Run("design " + dir_.Write("ratio.txt", text).string() + " -o " + out.string());
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("Peak ripple ratio cannot be reach after 40 iterations"),
              std::string::npos);
    const SpecReadResult read = ParseSpecFile(ReadFile(out), DefaultFilterSpec());
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.spec.Itern, 40);
    EXPECT_GT(read.spec.Ratio, 0.0f);
}

TEST_F(Cli, AutomaticLengthIsWrittenAndHelpExplains) {
    const Result r = Run("design " + Example("kaiser_auto"));
    ASSERT_EQ(r.code, 0) << r.err;
    const SpecReadResult read = ParseSpecFile(r.out, DefaultFilterSpec());
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.spec.Taps % 2, 1);
    EXPECT_GT(read.spec.Taps, 31);

    const Result help = Run("--help");
    EXPECT_EQ(help.code, 0);
    for (const char* word : {"design FILE", "response FILE", "Exit status"}) {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
}

}  // namespace
}  // namespace tapwright
