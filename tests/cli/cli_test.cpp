// tapwright-cli as a script would use it: exit codes, outputs and messages.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "core/quantize.h"
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
            // Every real is printed as %.17g prints it.
            std::istringstream fields(line);
            std::string field;
            std::getline(fields, field, ',');
            while (std::getline(fields, field, ',')) {
                char expected[64];
                std::snprintf(expected, sizeof expected, "%.17g", std::stod(field));
                ASSERT_EQ(field, expected) << c.name << ": " << line;
            }
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

// The lines of a text, without the comment lines that start with `comment`.
std::vector<std::string> Lines(const std::string& text, char comment = '#') {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] != comment) lines.push_back(line);
    }
    return lines;
}

QJsonObject ParseJson(const std::string& text) {
    QJsonParseError error;
    const QJsonDocument doc =
        QJsonDocument::fromJson(QByteArray(text.data(), static_cast<int>(text.size())), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return doc.object();
}

// Every example in every format, read back and compared with the design itself.
TEST_F(Cli, EveryExampleExportsInEveryFormatAndMeasures) {
    for (const char* name : kExamples) {
        SCOPED_TRACE(name);
        const std::string example = Example(name);
        CFirDesign design;
        const cli::LoadedDesign loaded = cli::LoadAndDesign(example, design, nullptr);
        ASSERT_EQ(loaded.exitCode, 0);
        const std::vector<double>& h = design.coeffs;
        QuantizedTaps q;
        ASSERT_TRUE(QuantizeTaps(h, 16, q));

        Result r = Run("export " + example + " --format txt");
        ASSERT_EQ(r.code, 0) << r.err;
        std::vector<std::string> lines = Lines(r.out);
        ASSERT_EQ(lines.size(), h.size());
        for (std::size_t i = 0; i < h.size(); ++i) EXPECT_EQ(std::stod(lines[i]), h[i]) << i;

        r = Run("export " + example + " --format txt --bits 16");
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out.rfind("# 16-bit signed fixed point: coefficient = value / 2^" +
                                  std::to_string(q.fractionBits),
                              0),
                  0u);
        lines = Lines(r.out);
        ASSERT_EQ(lines.size(), h.size());
        for (std::size_t i = 0; i < h.size(); ++i) EXPECT_EQ(std::stoll(lines[i]), q.values[i]);

        r = Run("export " + example + " --format csv --bits 16");
        ASSERT_EQ(r.code, 0) << r.err;
        lines = Lines(r.out);
        ASSERT_EQ(lines.size(), h.size() + 1);
        EXPECT_EQ(lines[0], "n,h,q,scale");
        for (std::size_t i = 0; i < h.size(); ++i) {
            std::istringstream row(lines[i + 1]);
            std::string n, value, integer, scale;
            std::getline(row, n, ',');
            std::getline(row, value, ',');
            std::getline(row, integer, ',');
            std::getline(row, scale);
            EXPECT_EQ(std::stoul(n), i);
            EXPECT_EQ(std::stod(value), h[i]);
            EXPECT_EQ(std::stoll(integer), q.values[i]);
            EXPECT_EQ(std::stod(scale), q.Scale());
        }
        EXPECT_EQ(Lines(Run("export " + example + " --format csv").out)[0], "n,h");

        const fs::path json = dir_ / "out.json";
        r = Run("export " + example + " --format json --bits 16 -o " + json.string());
        ASSERT_EQ(r.code, 0) << r.err;
        const QJsonObject doc = ParseJson(ReadFile(json));
        const QJsonArray taps = doc["taps"].toArray();
        ASSERT_EQ(taps.size(), static_cast<qsizetype>(h.size()));
        for (std::size_t i = 0; i < h.size(); ++i) EXPECT_EQ(taps[i].toDouble(), h[i]) << i;
        EXPECT_EQ(doc["spec"]["Taps"].toInt(), loaded.spec.Taps);
        EXPECT_EQ(doc["spec"]["Bands"].toArray().size(), loaded.spec.TBand);
        EXPECT_EQ(doc["samplingFrequency"].toDouble(), loaded.spec.Fs);
        EXPECT_FALSE(doc["measurements"]["bands"].toArray().isEmpty());
        const QJsonArray fixed = doc["quantized"]["taps"].toArray();
        ASSERT_EQ(fixed.size(), static_cast<qsizetype>(h.size()));
        for (std::size_t i = 0; i < h.size(); ++i) EXPECT_EQ(fixed[i].toInteger(), q.values[i]);
        EXPECT_EQ(doc["quantized"]["fractionBits"].toInt(), q.fractionBits);
        EXPECT_TRUE(doc["quantized"]["measurements"]["bands"].isArray());

        r = Run("export " + example + " --format c");
        ASSERT_EQ(r.code, 0) << r.err;
        std::string macro = name;
        for (char& c : macro) c = static_cast<char>(std::toupper(c));
        EXPECT_NE(r.out.find("#define " + macro + "_LENGTH " + std::to_string(h.size()) + "\n"),
                  std::string::npos);

        r = Run("export " + example + " --format coe --bits 16");
        ASSERT_EQ(r.code, 0) << r.err;
        lines = Lines(r.out, ';');
        ASSERT_EQ(lines.size(), h.size() + 2);
        EXPECT_EQ(lines[0], "radix=10;");
        EXPECT_EQ(lines[1], "coefdata=");
        for (std::size_t i = 0; i < h.size(); ++i) {
            EXPECT_EQ(lines[i + 2], std::to_string(q.values[i]) + (i + 1 < h.size() ? "," : ";"));
        }

        r = Run("measure " + example + " --bits 16");
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_NE(r.out.find("16-bit fixed point"), std::string::npos);
        EXPECT_NE(r.out.find("Group delay"), std::string::npos);
        r = Run("measure " + example + " --json");
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(ParseJson(r.out)["taps"].toInt(), static_cast<int>(h.size()));
    }
}

// Refused arguments, designs and targets: the message says why, and nothing is
// written (no output file, no temporary file left beside it).
TEST_F(Cli, RefusedExportsWriteNothing) {
    const std::string example = Example("bandpass_hamming");
    std::string damaged = ReadFile(example);
    damaged.replace(damaged.find("TBand: 3"), 8, "TBand: 12");
    const std::string damagedPath = dir_.Write("damaged.txt", damaged).string();
    std::string even = ReadFile(example);
    even.replace(even.find(" Taps: 61"), 9, " Taps: 60");
    const std::string evenPath = dir_.Write("even.txt", even).string();
    fs::create_directory(dir_ / "taken");
    const std::string out = " -o " + (dir_ / "out.h").string();

    struct Case {
        std::string args;
        int code;
        const char* says;
    };
    const Case cases[] = {
        {"export " + example + " --format c -o " + (dir_ / "missing" / "x.h").string(), 2,
         "cannot"},
        {"export " + example + " --format c -o " + (dir_ / "taken").string(), 2, "cannot"},
        {"export " + example + " --format coe" + out, 2, "--bits"},
        {"export " + example + " --format txt --bits 1" + out, 2, "--bits"},
        {"export " + example + " --format txt --bits 33" + out, 2, "--bits"},
        {"export " + example + " --format pdf" + out, 2, "--format"},
        {"export " + example + " --format c --name 9lives" + out, 2, "9lives"},
        {"export " + example + " --format json --float" + out, 2, "--float"},
        {"export " + damagedPath + " --format txt" + out, 2, "TBand: 12 is out of range"},
        {"export " + evenPath + " --format txt" + out, 1, "odd number of filter length"},
        {"measure " + damagedPath, 2, "TBand: 12 is out of range"},
        {"measure " + example + " --bits 40", 2, "--bits"},
    };
    for (const Case& c : cases) {
        const Result r = Run(c.args);
        EXPECT_EQ(r.code, c.code) << c.args;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << ": " << r.err;
        std::vector<std::string> left;
        for (const auto& e : fs::directory_iterator(dir_.path())) {
            left.push_back(e.path().filename().string());
        }
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, (std::vector<std::string>{"damaged.txt", "even.txt", "stderr", "stdout",
                                                  "taken"}))
            << c.args;
        EXPECT_TRUE(fs::is_empty(dir_ / "taken"));
    }
}

TEST_F(Cli, NearlySingularDesignsSaySoInOneLine) {
    // Few taps and a wide don't-care region between two narrow bands.
    std::string text = ReadFile(Example("multiband_equiripple"));
    text.replace(text.find(" Taps: 61"), 9, " Taps: 31");
    text.replace(text.find("TBand: 4"), 8, "TBand: 2");
    text.replace(text.find("Bd1U: 800.000000"), 16, "Bd1U: 100.000000");
    text.replace(text.find("Bd2L: 1000.000000"), 17, "Bd2L: 3900.000000");
    text.replace(text.find("Bd2U: 1800.000000"), 17, "Bd2U: 4000.000000");
    text.erase(text.find("Bd3L:"), text.find("  FFT:") - text.find("Bd3L:"));
    const std::string ill = dir_.Write("ill.txt", text).string();
    for (const char* command : {"design ", "measure "}) {
        const Result r = Run(command + ill);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_NE(r.err.find("nearly singular (condition estimate"), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(r.out.empty());
    }
    EXPECT_NE(Run("measure " + ill).out.find("(nearly singular)"), std::string::npos);
    const Result good = Run("measure " + Example("multiband_equiripple"));
    EXPECT_EQ(good.code, 0);
    EXPECT_EQ(good.err, "");
}

}  // namespace
}  // namespace tapwright
