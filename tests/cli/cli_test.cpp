// tapwright-cli as a script would use it: exit codes, outputs and messages.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <complex>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "core/design_measure.h"
#include "core/messages.h"
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
        // In the temporary directory, where a spec file may be called "-".
        const std::string command = "cd " + dir_.path().string() + " && " +
                                    std::string(TAPWRIGHT_CLI) + " " + args + " >" + out.string() +
                                    " 2>" + err.string();
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

using Values = std::vector<std::pair<std::string, std::string>>;

// The text of an example with the values of some keys replaced.
std::string WithValues(const std::string& example, const Values& values) {
    std::istringstream in(ReadFile(std::string(TAPWRIGHT_EXAMPLES) + "/" + example + ".txt"));
    std::string text, line;
    int replaced = 0;
    while (std::getline(in, line)) {
        const std::size_t colon = line.find(':');
        const std::size_t from = line.find_first_not_of(' ');
        for (const auto& [key, value] : values) {
            if (colon != std::string::npos && line.compare(from, colon - from, key) == 0 &&
                colon - from == key.size()) {
                line = line.substr(0, colon + 1) + " " + value;
                ++replaced;
            }
        }
        text += line + "\n";
    }
    EXPECT_EQ(replaced, static_cast<int>(values.size())) << example;
    return text;
}

// Designs as Load and Apply make them, pinned to the coefficients the engine gives:
// the estimated lengths and cutoffs, each branch of the Kaiser beta estimate, both
// differentiators, a band stop typed with its cutoffs reversed, a design loaded to
// run by iterations, a small equiripple system, Beta 15 and the longest estimated
// length. The design command writes the same taps.
TEST_F(Cli, PinnedDesigns) {
    struct Pin {
        int index;
        double value;
    };
    struct Case {
        const char* name;
        const char* example;
        Values values;
        int taps;
        std::vector<Pin> pins;
    };
    const Case cases[] = {
        {"Kaiser from Tw, A = 60: beta 0.1102 (A - 8.7)",
         "kaiser_auto",
         {},
         145,
         {{0, -5.2979824722368755e-05}, {36, -0.0013828068047823867}, {72, 0.2750000059604645}}},
        {"Kaiser from Tw, A = 49: the middle beta",
         "kaiser_auto",
         {{"SBrip", "-49"}},
         115,
         {{0, -0.00029136750201679435}, {28, -0.0005049893748204312}, {56, 0.24190010432236053}}},
        {"Kaiser from Tw, A = 40: beta raised to 4",
         "kaiser_auto",
         {{"Tw", "500"}, {"PBrip", "3"}, {"SBrip", "-40"}},
         35,
         {{0, -0.0013775116603974256}, {8, 0.011731649026273135}, {16, 0.26308697383349533}}},
        {"Blackman high pass from Tw",
         "lowpass_default",
         {{"FType", "1"}, {"WType", "3"}, {"AutoD", "0"}, {"Tw", "400"}, {"Fc1", "2000"}},
         109,
         {{27, -0.001819747716865051}, {53, -0.31395494760437515}, {54, 0.44999998807907104}}},
        {"Hamming differentiator",
         "lowpass_default",
         {{"FChar", "3"},
          {"FType", "4"},
          {"WType", "2"},
          {"Taps", "30"},
          {"Fc1", "500"},
          {"Fc2", "3000"}},
         30,
         {{0, -0.00507670458592041}, {7, 0.03584180539246122}, {14, -0.5990944141319948}}},
        {"band stop with its cutoffs reversed",
         "bandpass_hamming",
         {{"FType", "3"}, {"Fc1", "2500"}, {"Fc2", "1000"}},
         61,
         {{0, -0.0014600846761160502}, {15, 0.0025385160565600156}, {30, 0.625}}},
        {"multiband by 20 iterations",
         "multiband_equiripple",
         {},
         61,
         {{0, -0.0023767571809446553}, {15, -0.0026184048678626892}, {30, 0.47399150431492104}}},
        {"equiripple differentiator",
         "differentiator_equiripple",
         {},
         40,
         {{0, 0.002380536940033373}, {10, -0.008558091711937998}, {19, 0.3033234918084}}},
        {"19-tap equiripple low pass",
         "lowpass_default",
         {{"WType", "5"}, {"Bd1U", "1600"}, {"Bd2L", "2000"}, {"Taps", "19"}, {"Itern", "10"}},
         19,
         {{0, 0.0068046789662232765}, {4, 0.03919987427131939}, {9, 0.44835250766872514}}},
        {"Kaiser window with Beta 15",
         "lowpass_default",
         {{"WType", "4"}, {"Beta", "15"}},
         31,
         {{1, -2.5765815049274607e-06}, {14, 0.21793893578976994}, {15, 0.25}}},
        {"the longest estimated length",
         "lowpass_default",
         {{"AutoD", "0"}, {"Tw", "0.0549317"}},
         131071,
         {{0, 2.845192566698624e-06},
          {32767, 6.299699267237733e-06},
          {65534, 0.22508392587466491}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir_.Write("pinned.txt", WithValues(c.example, c.values)).string();
        CFirDesign design;
        ASSERT_EQ(cli::LoadAndDesign(path, design, nullptr).exitCode, 0);
        ASSERT_EQ(static_cast<int>(design.coeffs.size()), c.taps);
        for (const Pin& pin : c.pins) {
            EXPECT_NEAR(design.coeffs[pin.index], pin.value, 1e-12) << "tap " << pin.index;
        }

        const Result r = Run("design " + path);
        ASSERT_EQ(r.code, 0) << r.err;
        const SpecReadResult read = ParseSpecFile(r.out, DefaultFilterSpec());
        ASSERT_TRUE(read.ok) << read.error;
        EXPECT_EQ(read.spec.Taps, c.taps);
        EXPECT_EQ(read.spec.AutoD, ParseSpecFile(ReadFile(path), DefaultFilterSpec()).spec.AutoD);
        std::istringstream lines(r.out.substr(r.out.find("Coeff:\n") + 7));
        std::string line;
        std::size_t count = 0;
        while (std::getline(lines, line) && count < design.coeffs.size()) {
            ASSERT_EQ(line, FormatString("%e", design.coeffs[count])) << "tap " << count;
            ++count;
        }
        EXPECT_EQ(count, design.coeffs.size());
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
        CFirDesign design;
        ASSERT_EQ(cli::LoadAndDesign(Example(c.name), design, nullptr).exitCode, 0);
        while (std::getline(lines, line)) {
            last = line;
            // Every real is printed as %.17g prints it, in the order of the header.
            const std::complex<double> h = design.spectrum[rows];
            const double columns[] = {h.real(), h.imag(), design.magnitude[rows],
                                      design.magnitudeDb[rows]};
            std::istringstream fields(line);
            std::string field;
            std::getline(fields, field, ',');
            ASSERT_EQ(field, std::to_string(rows));
            std::getline(fields, field, ',');
            for (const double value : columns) {
                ASSERT_TRUE(std::getline(fields, field, ',')) << line;
                ASSERT_EQ(field, FormatString("%.17g", value)) << c.name << ": " << line;
            }
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

// A row per invocation: the exit code, what standard error says, and the one file
// it writes (whole, with the mode a new file gets) or that it writes nothing at all,
// not even a temporary file.
TEST_F(Cli, ExitCodesAndWrittenFiles) {
    const std::string example = Example("bandpass_hamming");
    const std::string damaged =
        dir_.Write("damaged.txt", WithValues("bandpass_hamming", {{"TBand", "12"}})).string();
    const std::string even =
        dir_.Write("even.txt", WithValues("bandpass_hamming", {{"Taps", "60"}})).string();
    const std::string singular =
        dir_.Write("singular.txt",
                   WithValues("lowpass_default", {{"WType", "5"}, {"Bd2L", "4000"}}))
            .string();
    const std::string missed =
        dir_.Write("missed.txt", WithValues("multiband_equiripple",
                                            {{"TerCr", "1"}, {"Ratio", "0.000000000001"}}))
            .string();
    const std::string tooLong =
        dir_.Write("toolong.txt",
                   WithValues("lowpass_default", {{"AutoD", "0"}, {"Tw", "0.0549316"}}))
            .string();
    const std::string longer =
        dir_.Write("longer.txt", WithValues("lowpass_default", {{"Taps", "601"}})).string();
    const std::string lastReversed =
        dir_.Write("reversed.txt",
                   WithValues("multiband_equiripple", {{"Bd4L", "4000"}, {"Bd4U", "3000"}}))
            .string();
    const std::string reached =
        dir_.Write("reached.txt",
                   WithValues("multiband_equiripple", {{"TerCr", "1"}, {"Ratio", "0.5"}}))
            .string();
    // Fs and Tw lines swapped in a Kaiser file (Fs 500, Tw 48000 if read blind).
    std::string swappedText = WithValues("kaiser_auto", {{"Fs", "48000"}, {"Tw", "500"}});
    const std::string inOrder = "   Fs: 48000\n   Tw: 500\n";
    swappedText.replace(swappedText.find(inOrder), inOrder.size(), "   Tw: 500\n   Fs: 48000\n");
    const std::string swapped = dir_.Write("swapped.txt", swappedText).string();
    dir_.Write("-", ReadFile(example));
    fs::create_directory(dir_ / "taken");
    const std::string out = (dir_ / "out.txt").string();

    struct Case {
        std::string args;
        int code;
        const char* says;              // in standard error; null: nothing
        bool writes;                   // out.txt
        const char* prints = nullptr;  // the start of standard output; null: nothing
    };
    const char* spec = "FChar: ";
    const Case cases[] = {
        {"", 2, "Usage: tapwright-cli", false},
        {"frobnicate", 2, "unknown command", false},
        {"--help", 0, nullptr, false, "Usage: tapwright-cli"},
        {"--version", 0, nullptr, false, "tapwright-cli 0."},
        {"design --help", 0, nullptr, false, "Usage: tapwright-cli"},
        {"design", 2, "no spec file given", false},
        {"design " + example + " -o", 2, "-o needs a file name", false},
        {"response " + example + " --output", 2, "--output needs a file name", false},
        {"design " + example + " -q", 2, "unknown option -q", false},
        {"response " + example + " -q", 2, "unknown option -q", false},
        {"design " + example + " " + example, 2, "more than one input file", false},
        {"export " + example + " " + example + " --format txt", 2, "more than one input", false},
        {"design - -o " + out, 0, nullptr, true},
        {"response - -o " + out, 0, nullptr, true},
        {"export - --format txt -o " + out, 0, nullptr, true},
        {"measure -", 0, nullptr, false, "Measurement "},
        {"design " + example + " -o " + (dir_ / "first.txt").string() + " -o " + out, 0, nullptr,
         true},
        {"design " + example, 0, nullptr, false, spec},
        {"design " + reached, 0, "Ratio achieved -- (No of iterations: 1", false, spec},
        {"design " + missed, 0, "Peak ripple ratio cannot be reached", false, spec},
        {"response " + example, 0, nullptr, false, "index,frequency_hz,real,imag,magnitude,"},
        {"export " + example + " --format csv", 0, nullptr, false, "n,h\n0,"},
        {"export " + example + " --format txt --bits", 2, "--bits", false},
        {"export " + example + " --format", 2, "--format", false},
        {"export " + example + " --format c --name", 2, "--name", false},
        {"export " + example + " --format txt --format pdf", 2, "--format", false},
        {"export " + example + " --format pdf --format txt -o " + out, 0, nullptr, true},
        {"measure " + example + " --format txt", 2, "unknown option --format", false},
        {"measure " + example + " -o " + out, 2, "unknown option -o", false},
        {"measure " + example + " --json --bits", 2, "--bits", false},
        {"design " + (dir_ / "absent.txt").string() + " -o " + out, 2, "cannot open", false},
        {"design " + damaged + " -o " + out, 2, "TBand: 12 is out of range", false},
        {"design " + even + " -o " + out, 1, "odd number of filter length", false},
        {"design " + singular + " -o " + out, 1, "Singular matrix encountered!", false},
        {"design " + tooLong + " -o " + out, 1, "needs 131073 coefficients", false},
        {"design " + lastReversed + " -o " + out, 2,
         "Bd4U: 3000 is refused: Band 4 frequency range", false},
        {"design " + swapped + " -o " + out, 2, "line 4: expected the key Fs, found \"Tw:\"",
         false},
        {"design " + example + " -o " + (dir_ / "missing" / "x.txt").string(), 2, "cannot", false},
        {"design " + example + " -o " + (dir_ / "taken").string(), 2, "cannot", false},
        {"design " + example + " -o " + out, 0, nullptr, true},
        {"design " + missed + " -o " + out, 0,
         "Peak ripple ratio cannot be reached after 40 iterations", true},
        {"response " + example + " -o " + out, 0, nullptr, true},
        {"response " + even + " -o " + out, 1, "odd number of filter length", false},
        {"export " + example + " --format c -o " + (dir_ / "missing" / "x.h").string(), 2, "cannot",
         false},
        {"export " + example + " --format c -o " + (dir_ / "taken").string(), 2, "cannot", false},
        {"export " + example + " --format coe -o " + out, 2, "--bits", false},
        {"export " + example + " --format txt --bits 1 -o " + out, 2, "--bits", false},
        {"export " + example + " --format txt --bits 33 -o " + out, 2, "--bits", false},
        {"export " + example + " --format pdf -o " + out, 2, "--format", false},
        {"export " + example + " --format c --name 9lives -o " + out, 2, "9lives", false},
        {"export " + example + " --format json --float -o " + out, 2, "--float", false},
        {"export " + example + " --format c --bits 16 --float -o " + out, 2, "--float", false},
        {"export " + damaged + " --format txt -o " + out, 2, "TBand: 12 is out of range", false},
        {"export " + even + " --format txt -o " + out, 1, "odd number of filter length", false},
        {"export " + example + " --format coe --bits 16 -o " + out, 0, nullptr, true},
        {"export " + example + " --format txt --bits 2 -o " + out, 0, nullptr, true},
        {"export " + example + " --format txt --bits 32 -o " + out, 0, nullptr, true},
        {"export " + example + " --format txt --json -o " + out, 2, "unknown option --json", false},
        {"measure " + damaged, 2, "TBand: 12 is out of range", false},
        // The fixed-point choices and the forms made of the filter.
        {"export " + example + " --format mif -o " + out, 2, "--bits", false},
        {"export " + example + " --format vhdl --bits 16 --name Signal -o " + out, 2,
         "not a valid Verilog and VHDL module name", false},
        {"export " + example + " --format verilog --bits 16 --input-bits 33 -o " + out, 2,
         "--input-bits needs", false},
        {"export " + example + " --format c --bits 16 --input-bits 12 -o " + out, 2,
         "--input-bits applies to verilog and vhdl", false},
        {"export " + example + " --format txt --bits 8 --round up -o " + out, 2, "--round needs",
         false},
        {"export " + example + " --format txt --frac 7 -o " + out, 2, "need --bits B", false},
        {"export " + example + " --format coe --bits 8 --frac 12 --overflow error -o " + out, 1,
         "tap ", false},
        {"export " + example + " --format verilog --bits 12 --round even --overflow error -o " +
             out,
         0, nullptr, true},
        {"measure " + example + " --meet --bits 12", 2, "--meet", false},
        {"measure " + example + " --output-bits 12", 2, "need --bits B", false},
        {"measure " + example + " --bits 12 --output-bits 99", 1, "the output width must be",
         false},
        {"measure " + example + " --margin 2", 2, "--margin belongs to --meet", false},
        {"measure " + example + " --meet --margin -1", 2, "--margin needs", false},
        {"measure " + Example("lowpass_equiripple") + " --meet --margin 0.5", 0, nullptr, false,
         "Shortest word length: "},
        {"measure " + example + " --bits 40", 2, "--bits", false},
        {"report " + example + " --kind coefficients -o " + out, 0, nullptr, true},
        {"report " + example + " -o " + out, 2, "no report (--kind", false},
        {"report " + example + " --kind summary -o " + out, 2, "unknown report", false},
        {"report " + example + " -o " + out + " --kind", 2, "--kind needs", false},
        {"report " + example + " --kind coefficients -o " + out + " --dpi", 2, "--dpi", false},
        {"report " + example + " --kind coefficients --page a5 -o " + out, 2, "unknown page size",
         false},
        {"report " + example + " --kind coefficients --pages 1 -o " + out, 2,
         "--pages needs FROM:TO", false},
        {"report " + example + " --kind coefficients -o " + out + " --pages", 2,
         "--pages needs FROM:TO", false},
        {"report " + example + " " + example + " --kind coefficients -o " + out, 2,
         "more than one spec file", false},
        {"report " + example + " --kind coefficients --frob -o " + out, 2,
         "unknown option \"--frob\"", false},
        {"report " + example + " --kind response", 2, "no output file", false},
        {"report " + example + " --kind response --graph window -o " + out, 2, "unknown graph",
         false},
        {"report " + example + " --kind coefficients --hold " + example + " -o " + out, 2,
         "--graph and --hold belong to the response report", false},
        {"report " + example + " --kind response --pages 1:1 -o " + out, 2,
         "--pages selects pages of the coefficient report", false},
        {"report " + example + " --kind coefficients --pages 2:2 -o " + out, 2,
         "--pages must satisfy 1 <= FROM <= TO <= 1", false},
        {"report " + example + " --kind coefficients --pages 0:1 -o " + out, 2,
         "--pages must satisfy", false},
        {"report " + example + " --kind coefficients --pages 1:1 -o " + out, 0, nullptr, true},
        {"report " + example + " --kind response --graph db --hold " + example + " -o " + out, 0,
         "Hold On overlays only the dB full view", true},
        {"report " + example + " --kind coefficients --dpi 10 -o " + out, 2, "--dpi", false},
        {"report " + example + " --kind coefficients --dpi 72 -o " + out, 0, nullptr, true},
        {"report " + example + " --kind response --graph impulse --hold " + example + " -o " + out,
         2, "--hold draws the dB full view (--graph db)", false},
        {"report " + example + " --kind response --graph range --range 3000:100 -o " + out, 2,
         "--range must satisfy", false},
        {"report " + damaged + " --kind response -o " + out, 2, "TBand: 12 is out of range", false},
        {"report " + example + " --kind response -o " + (dir_ / "missing" / "x.pdf").string(), 2,
         "cannot create", false},
        {"plot " + example + " --graph impulse -o " + out, 0, nullptr, true},
        {"plot " + example + " --graph db -o " + out, 0,
         "dB views of this response type show the specified range 0 ... 4000 Hz", true},
        {"plot " + Example("multiband_equiripple") + " --graph phase -o " + out, 0,
         "the phase graph is not offered after an equiripple design", true},
        {"plot " + Example("multiband_equiripple") + " --graph window -o " + out, 0,
         "an equiripple design has no window shape", true},
        {"plot " + Example("hilbert_hamming") + " --graph phase -o " + out, 0,
         "the window does not offer the phase graph for this response type", true},
        {"plot " + example + " --graph db --hold " + example + " -o " + out, 0,
         "Hold On overlays only the dB full view of low-pass and high-pass designs", true},
        {"plot " + example + " --graph pole-zero -o " + out, 0, nullptr, true},
        {"plot " + longer + " --graph pole-zero -o " + out, 0,
         "the pole-zero plot is offered up to 384 taps; this design has 601", true},
        {"plot " + example + " --graph step --bits 12 -o " + out, 0,
         "--bits adds the quantized response to the magnitude views only", true},
        {"plot " + example + " --graph db --bits 1 -o " + out, 2,
         "--bits needs a word length of 2 to 32", false},
        {"report " + example + " --kind response --graph group-delay --seconds -o " + out, 0,
         nullptr, true},
    };
    const Result help = Run("--help");
    for (const char* word : {"design FILE", "response FILE", "export FILE", "Exit status"}) {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
    // An unusual mask, so that the mode of a written file shows it was applied.
    const mode_t mask = ::umask(027);
    const std::vector<std::string> before = test::Entries(dir_.path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const Result r = Run(c.args);
        EXPECT_EQ(r.code, c.code) << r.err;
        if (c.says) {
            EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        } else {
            EXPECT_EQ(r.err, "");
        }
        // Standard output holds only the data: never a message.
        if (c.prints) {
            EXPECT_EQ(r.out.rfind(c.prints, 0), 0u) << r.out.substr(0, 80);
        } else {
            EXPECT_EQ(r.out, "");
        }
        std::vector<std::string> expected = before;
        if (c.writes) {
            expected.push_back("out.txt");
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(fs::status(out).permissions(), fs::perms(0640));
            EXPECT_GT(fs::file_size(out), 0u);
        }
        EXPECT_EQ(test::Entries(dir_.path()), expected);
        EXPECT_TRUE(fs::is_empty(dir_ / "taken"));
        fs::remove(out);
    }
    ::umask(mask);
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

// A number as written: not finite numbers are written as null.
void ExpectNumber(const QJsonValue& v, double expected, const std::string& what) {
    if (std::isfinite(expected)) {
        EXPECT_EQ(v.toDouble(-1), expected) << what;
    } else {
        EXPECT_TRUE(v.isNull()) << what;
    }
}

// The JSON measurements object against the measurements themselves: each band's
// fields by its kind, the -3 and -6 dB frequencies, the gains and delay.
void ExpectMeasurements(const QJsonObject& o, const ResponseMeasurements& r,
                        const DesignMeasurements& m) {
    EXPECT_EQ(o["gridPoints"].toInt(), m.gridPoints);
    EXPECT_EQ(o["gridStepHz"].toDouble(), m.gridStepHz);
    const QJsonArray bands = o["bands"].toArray();
    ASSERT_EQ(bands.size(), static_cast<qsizetype>(r.bands.size()));
    for (std::size_t i = 0; i < r.bands.size(); ++i) {
        const BandMeasurement& b = r.bands[i];
        const QJsonObject j = bands[static_cast<qsizetype>(i)].toObject();
        const char* kinds[] = {"pass", "stop", "slope"};
        EXPECT_EQ(j["kind"].toString().toStdString(), kinds[static_cast<int>(b.band.kind)]);
        std::vector<std::pair<std::string, double>> fields = {
            {"band", b.band.number},    {"lowerHz", b.band.lower},
            {"upperHz", b.band.upper},  {"minGainDb", b.minGainDb},
            {"maxGainDb", b.maxGainDb}, {"largestError", b.largestError}};
        if (b.band.kind == BandKind::Slope) {
            fields.insert(fields.end(),
                          {{"slopePerHz", b.band.slope}, {"originHz", b.band.origin}});
        } else {
            fields.push_back({"desired", b.band.desired});
        }
        if (b.band.kind == BandKind::Pass) fields.push_back({"rippleDb", b.rippleDb});
        if (b.band.kind == BandKind::Stop) fields.push_back({"attenuationDb", b.attenuationDb});
        EXPECT_EQ(j.size(), static_cast<qsizetype>(fields.size() + 1));  // and the kind
        for (const auto& [key, value] : fields) ExpectNumber(j[key.c_str()], value, key);
    }
    for (const auto& [key, values] :
         {std::pair{"minus3DbHz", &r.minus3DbHz}, std::pair{"minus6DbHz", &r.minus6DbHz}}) {
        const QJsonArray a = o[key].toArray();
        ASSERT_EQ(a.size(), static_cast<qsizetype>(values->size())) << key;
        for (std::size_t i = 0; i < values->size(); ++i) {
            ExpectNumber(a[static_cast<qsizetype>(i)], (*values)[i], key);
        }
    }
    ExpectNumber(o["dcGain"], r.dcGain, "dcGain");
    ExpectNumber(o["dcGainDb"], 20.0 * std::log10(r.dcGain), "dcGainDb");
    ExpectNumber(o["nyquistGain"], r.nyquistGain, "nyquistGain");
    ExpectNumber(o["nyquistGainDb"], 20.0 * std::log10(r.nyquistGain), "nyquistGainDb");
    EXPECT_EQ(o["linearPhase"].toBool(!r.linearPhase), r.linearPhase);
    EXPECT_EQ(o.contains("groupDelaySamples"), r.linearPhase);
    if (r.linearPhase) {
        EXPECT_EQ(o["groupDelaySamples"].toDouble(), r.groupDelay);
    }
    EXPECT_EQ(o.contains("conditionEstimate"), m.equiripple);
    if (m.equiripple) {
        EXPECT_EQ(o["conditionEstimate"].toDouble(), m.conditionEstimate);
    }
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
        // Every field of the spec and of both sets of measurements, by name.
        const FilterSpec& s = loaded.spec;
        const std::pair<const char*, double> fields[] = {
            {"FChar", s.FChar}, {"FType", s.FType}, {"WType", s.WType},
            {"Fs", s.Fs},       {"Tw", s.Tw},       {"Fc1", s.Fc1},
            {"Fc2", s.Fc2},     {"TBand", s.TBand}, {"FFT", FftIndexFromSize(s.FFT)},
            {"Taps", s.Taps},   {"Beta", s.Beta},   {"PBrip", s.PBrip},
            {"SBrip", s.SBrip}, {"AutoD", s.AutoD}, {"TerCr", s.TerCr},
            {"Itern", s.Itern}, {"Ratio", s.Ratio}};
        const QJsonObject spec = doc["spec"].toObject();
        EXPECT_EQ(spec.size(), static_cast<qsizetype>(std::size(fields)) + 1);
        for (const auto& [key, value] : fields) EXPECT_EQ(spec[key].toDouble(-1), value) << key;
        const QJsonArray bands = spec["Bands"].toArray();
        ASSERT_EQ(bands.size(), s.TBand);
        for (int i = 0; i < s.TBand; ++i) {
            const BandSpec& b = s.Bands[i];
            EXPECT_EQ(bands[i]["Lower"].toDouble(-1), b.Lower);
            EXPECT_EQ(bands[i]["Upper"].toDouble(-1), b.Upper);
            EXPECT_EQ(bands[i]["Amplitude"].toDouble(-1), b.Amplitude);
        }
        EXPECT_EQ(doc["samplingFrequency"].toDouble(), loaded.spec.Fs);
        DesignMeasurements m;
        ASSERT_TRUE(MeasureDesign(s, design, 16, m, nullptr));
        ExpectMeasurements(doc["measurements"].toObject(), m.full, m);
        const QJsonObject quantized = doc["quantized"].toObject();
        ExpectMeasurements(quantized["measurements"].toObject(), m.fixed, m);
        const QJsonArray fixed = quantized["taps"].toArray();
        ASSERT_EQ(fixed.size(), static_cast<qsizetype>(h.size()));
        for (std::size_t i = 0; i < h.size(); ++i) EXPECT_EQ(fixed[i].toInteger(), q.values[i]);
        const std::pair<const char*, double> quantizedFields[] = {{"bits", 16},
                                                                  {"fractionBits", q.fractionBits},
                                                                  {"guardBits", q.guardBits},
                                                                  {"scale", q.Scale()},
                                                                  {"saturated", q.saturated}};
        for (const auto& [key, value] : quantizedFields) {
            EXPECT_EQ(quantized[key].toDouble(-1), value) << key;
        }

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
        const QJsonObject measured = ParseJson(r.out);
        EXPECT_EQ(measured["taps"].toInt(), static_cast<int>(h.size()));
        EXPECT_EQ(measured["samplingFrequency"].toDouble(), s.Fs);
        ExpectMeasurements(measured["measurements"].toObject(), m.full, m);
        EXPECT_FALSE(measured.contains("quantized"));
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
