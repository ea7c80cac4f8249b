#include "files/spec_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>

#include "core/fir_design.h"
#include "core/spec_fields.h"
#include "core/spec_rules.h"
#include "tests/support/test_support.h"

namespace tapwright {
namespace {

std::string DefaultText(int taps = 31) {
    FilterSpec spec = DefaultFilterSpec();
    std::vector<double> coeffs(static_cast<std::size_t>(taps), 0.0);
    return FormatSpecFile(spec, 6, 1, coeffs);
}

TEST(SpecFile, DefaultHeaderIsExact) {
    const std::string text = DefaultText();
    const std::string header =
        "FChar: 0\n"
        "FType: 0\n"
        "WType: 0\n"
        "   Fs: 8000.000000\n"
        "   Tw: 1.000000\n"
        "  Fc1: 0.000000\n"
        "  Fc2: 0.000000\n"
        "TBand: 2\n"
        "Bd1L: 0.000000\n"
        "Bd1U: 0.000000\n"
        "Bd1A: 1.000000\n"
        "Bd2L: 0.000000\n"
        "Bd2U: 4000.000000\n"
        "Bd2A: 0.000000\n"
        "  FFT: 6\n"
        " Taps: 31\n"
        " Beta: 4.000000\n"
        "PBrip: 0.000000\n"
        "SBrip: 0.000000\n"
        "AutoD: 1\n"
        "TerCr: 0\n"
        "Itern: 0\n"
        "Ratio: 0.000000\n"
        "Coeff:\n";
    ASSERT_EQ(text.substr(0, header.size()), header);
    std::istringstream rest(text.substr(header.size()));
    std::string line;
    int lines = 0;
    while (std::getline(rest, line)) {
        EXPECT_EQ(line, "0.000000e+00");
        ++lines;
    }
    EXPECT_EQ(lines, 31);
}

TEST(SpecFile, CoefficientsAndNegativeZero) {
    FilterSpec spec = DefaultFilterSpec();
    spec.SBrip = -40.0;
    spec.Fc1 = 1000.0f;
    spec.Fc2 = 2000.0f;
    std::vector<double> coeffs = {-0.0, 0.15915494, -1.5e-300};
    const std::string text = FormatSpecFile(spec, 6, 1, coeffs);
    EXPECT_NE(text.find("  Fc1: 1000.000000\n  Fc2: 2000.000000\n"), std::string::npos);
    EXPECT_NE(text.find("SBrip: -40.000000\n"), std::string::npos);
    EXPECT_NE(text.find("Coeff:\n0.000000e+00\n1.591549e-01\n-1.500000e-300\n"), std::string::npos);
    EXPECT_FALSE(std::signbit(coeffs[0]));  // the array is mended too
}

TEST(SpecFile, RoundTripOfTenBands) {
    FilterSpec spec = DefaultFilterSpec();
    spec.FType = Multiband;
    spec.WType = Equiripple;
    spec.FChar = SymmetricEven;
    spec.TBand = 10;
    for (int i = 0; i < 10; ++i) spec.Bands[i] = {i * 400.0, i * 400.0 + 300.0, i % 2 * 1.0};
    spec.Bands[3].Lower = 1234.567891;
    spec.TerCr = ByPeakRatio;
    spec.Ratio = 0.25;
    spec.Itern = 12;
    spec.Fs = 44100.0f;
    spec.Tw = 50.5f;
    spec.Fc1 = 1000.0f;
    spec.Fc2 = 3000.0f;
    spec.Taps = 95;
    spec.Beta = 5.5;
    spec.PBrip = 0.5;
    spec.SBrip = -60.0;
    std::vector<double> none;
    const std::string text = FormatSpecFile(spec, 9, 0, none);
    EXPECT_NE(text.find("Bd10L: 3600.000000\nBd10U: 3900.000000\nBd10A: 1.000000\n"),
              std::string::npos);
    const SpecReadResult read = ParseSpecFile(text, DefaultFilterSpec());
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.fileFChar, SymmetricEven);
    EXPECT_EQ(read.spec.TBand, 10);
    EXPECT_EQ(read.spec.FFT, 4096);
    EXPECT_EQ(read.fftIndex, 9);
    EXPECT_EQ(read.spec.AutoD, 0);
    EXPECT_EQ(read.spec.Itern, 12);
    EXPECT_EQ(read.spec.RatioTarget, 0.25);
    // Reals travel as 32-bit floats: 1234.567891 comes back as the nearest float.
    EXPECT_EQ(read.spec.Bands[3].Lower, static_cast<double>(1234.567891f));
    std::vector<double> again;
    const std::string second = FormatSpecFile(read.spec, 9, 0, again);
    // Every other field is read back as it was written.
    std::string expected = text;
    expected.replace(expected.find("Bd4L: 1234.567891"), 17, "Bd4L: 1234.567871");
    EXPECT_EQ(second, expected);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(read.spec.Bands[i].Upper, spec.Bands[i].Upper);
}

// Band weights: a Parks-McClellan file holds one per band and reads it back; a file
// of any other method holds none and ignores the weights in memory; a weight that
// is not a finite number above 0 refuses the file, naming the field.
TEST(SpecFile, BandWeightsOnlyForParksMcClellan) {
    FilterSpec spec = DefaultFilterSpec();
    spec.WType = ParksMcClellan;
    spec.TBand = 3;
    spec.Bands[0] = {0.0, 1000.0, 0.0, 12.5};
    spec.Bands[1] = {1500.0, 2500.0, 1.0, 1.0};
    spec.Bands[2] = {3000.0, 4000.0, 0.0, 0.25};
    std::vector<double> none;
    const std::string text = FormatSpecFile(spec, 6, 1, none);
    EXPECT_NE(text.find("Bd1A: 0.000000\nBd1W: 12.500000\nBd2L:"), std::string::npos) << text;
    const SpecReadResult read = ParseSpecFile(text, DefaultFilterSpec());
    ASSERT_TRUE(read.ok) << read.error;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(read.spec.Bands[i], spec.Bands[i]) << i;
    EXPECT_EQ(FormatSpecFile(read.spec, 6, 1, none), text);

    // The same spec under the least-squares method: no weight line, and the file
    // reads back with the weights of the base.
    spec.WType = Equiripple;
    const std::string plain = FormatSpecFile(spec, 6, 1, none);
    std::istringstream lines(text);
    std::string expected, line;
    while (std::getline(lines, line)) {
        if (line == "WType: 6") line = "WType: 5";
        if (line.find("W: ") == std::string::npos) expected += line + "\n";
    }
    EXPECT_EQ(plain, expected);
    const SpecReadResult readPlain = ParseSpecFile(plain, DefaultFilterSpec());
    ASSERT_TRUE(readPlain.ok) << readPlain.error;
    EXPECT_EQ(readPlain.spec.Bands[0].Weight, 1.0);

    for (const auto& [value, expected] :
         std::vector<std::pair<std::string, std::string>>{{"0", "Bd1W: 0 is not above 0"},
                                                          {"-2", "Bd1W: -2 is not above 0"},
                                                          {"1e-60", "Bd1W: 0 is not above 0"},
                                                          {"nan", "Bd1W: nan is not a finite"},
                                                          {"inf", "Bd1W: inf is not a finite"},
                                                          {"heavy", "is not a number"}}) {
        std::string bad = text;
        bad.replace(bad.find("Bd1W: 12.500000"), 15, "Bd1W: " + value);
        const SpecReadResult r = ParseSpecFile(bad, DefaultFilterSpec());
        EXPECT_FALSE(r.ok) << value;
        EXPECT_NE(r.error.find(expected), std::string::npos) << value << " gave: " << r.error;
    }
}

TEST(SpecFile, RowsBeyondTheBandCountKeepTheBase) {
    FilterSpec base = DefaultFilterSpec();
    base.Bands[5] = {1.0, 2.0, 3.0};
    const SpecReadResult read = ParseSpecFile(DefaultText(), base);
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.spec.Bands[5].Upper, 2.0);
    EXPECT_EQ(read.spec.RatioTarget, -1.0);
}

TEST(SpecFile, WindowsLineEndsAreAccepted) {
    std::string text = DefaultText();
    std::string crlf;
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    const SpecReadResult read = ParseSpecFile(crlf, DefaultFilterSpec());
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.spec.Taps, 31);
}

// Each line's key must be the one its place holds: swapped, renamed or missing lines
// are refused with the key expected there.
TEST(SpecFile, KeysMustStandInTheirPlaces) {
    struct Case {
        const char* from;
        const char* to;
        const char* expected;
    };
    const Case cases[] = {
        // Fs and Tw swapped: read blind, this was Fs 1, Tw 8000.
        {"   Fs: 8000.000000\n   Tw: 1.000000\n", "   Tw: 1.000000\n   Fs: 8000.000000\n",
         "line 4: expected the key Fs, found \"Tw:\""},
        {"FChar: 0\n", "Whatever: 0\n", "line 1: expected the key FChar, found \"Whatever:\""},
        {"Bd1U: 0.000000\n", "", "line 10: expected the key Bd1U, found \"Bd1A:\""},
        {"Bd2A: 0.000000\n", "bd2A: 0.000000\n", "expected the key Bd2A"},
        {" Taps: 31\n", " Taps 31\n", "expected the key Taps, found \"Taps\""},
    };
    for (const Case& c : cases) {
        std::string text = DefaultText();
        const std::size_t at = text.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.from;
        text.replace(at, std::strlen(c.from), c.to);
        const SpecReadResult read = ParseSpecFile(text, DefaultFilterSpec());
        EXPECT_FALSE(read.ok) << c.to;
        EXPECT_NE(read.error.find(c.expected), std::string::npos)
            << c.to << " gave: " << read.error;
    }
}

// The rules between fields, each where the design reads the fields it ties, and only
// there: a file that breaks one is refused naming the field and the window's message.
TEST(SpecFile, ValuesKeepTheRulesBetweenFields) {
    struct Case {
        std::vector<std::pair<const char*, const char*>> lines;
        const char* expected;  // null: read
    };
    const char* aboveHalf = "Please enter a value less than half the sampling rate";
    const Case cases[] = {
        {{{"  Fc1: 0.000000", "  Fc1: 4000.5"}}, "Fc1: 4000.5 is refused: "},
        {{{"  Fc1: 0.000000", "  Fc1: 4000"}}, nullptr},
        // Low pass reads no second cutoff; band pass does.
        {{{"  Fc2: 0.000000", "  Fc2: 5000"}}, nullptr},
        {{{"FType: 0", "FType: 2"}, {"  Fc2: 0.000000", "  Fc2: 5000"}}, "Fc2: 5000"},
        // A window Hilbert transformer takes its cutoffs from Fs.
        {{{"FType: 0", "FType: 5"}, {"  Fc1: 0.000000", "  Fc1: 5000"}}, nullptr},
        // The transition width, while the length is estimated from it.
        {{{"AutoD: 1", "AutoD: 0"},
          {"  Fc1: 0.000000", "  Fc1: 3000"},
          {"   Tw: 1.000000", "   Tw: 1000"}},
         nullptr},
        {{{"AutoD: 1", "AutoD: 0"},
          {"  Fc1: 0.000000", "  Fc1: 3000"},
          {"   Tw: 1.000000", "   Tw: 1000.5"}},
         "Tw: 1000.5 is refused: Transition width out of range. Please enter a value between 1 "
         "and 1000.00 Hz"},
        {{{"  Fc1: 0.000000", "  Fc1: 3000"}, {"   Tw: 1.000000", "   Tw: 1000.5"}}, nullptr},
        {{{"FType: 0", "FType: 3"},
          {"AutoD: 1", "AutoD: 0"},
          {"  Fc1: 0.000000", "  Fc1: 1000"},
          {"  Fc2: 0.000000", "  Fc2: 2000"},
          {"   Tw: 1.000000", "   Tw: 1500.5"}},
         "Tw: 1500.5"},
        // Band edges, for the band-table method only.
        {{{"Bd2U: 4000.000000", "Bd2U: 4000.5"}}, nullptr},
        {{{"WType: 0", "WType: 5"}, {"Bd2U: 4000.000000", "Bd2U: 4000.5"}}, "Bd2U: 4000.5"},
        {{{"WType: 0", "WType: 5"},
          {"Bd1U: 0.000000", "Bd1U: 2500"},
          {"Bd2L: 0.000000", "Bd2L: 2000"},
          {"Bd2U: 4000.000000", "Bd2U: 3000"}},
         "Bd1U: 2500 is refused: Overlapping bandedge frequencies error. Please ensure Band 1 "
         "upper "
         "bandedge frequency is less than Band 2 lower bandedge frequency"},
        {{{"WType: 0", "WType: 5"}, {"Bd1L: 0.000000", "Bd1L: 100"}},
         "Bd1U: 0 is refused: Band 1 frequency range error"},
        {{{"WType: 0", "WType: 5"}, {"  Fc1: 0.000000", "  Fc1: 9000"}}, nullptr},
        // Fs itself: at most 1 THz.
        {{{"   Fs: 8000.000000", "   Fs: 1e12"}}, nullptr},
        {{{"   Fs: 8000.000000", "   Fs: 2e12"}}, "Fs: 2e+12 is refused: Please enter a sampling"},
    };
    for (const Case& c : cases) {
        std::string text = DefaultText();
        std::string shown;
        for (const auto& [from, to] : c.lines) {
            const std::size_t at = text.find(from);
            ASSERT_NE(at, std::string::npos) << from;
            text.replace(at, std::strlen(from), to);
            shown += std::string(to) + " ";
        }
        const SpecReadResult read = ParseSpecFile(text, DefaultFilterSpec());
        if (!c.expected) {
            EXPECT_TRUE(read.ok) << shown << "gave: " << read.error;
            continue;
        }
        EXPECT_FALSE(read.ok) << shown;
        EXPECT_NE(read.error.find(c.expected), std::string::npos)
            << shown << "gave: " << read.error;
        if (std::string(c.expected).find("Fc") == 0) {
            EXPECT_NE(read.error.find(aboveHalf), std::string::npos) << read.error;
        }
    }
}

// What Save writes, Load reads back: random specs that keep every rule, of every
// method and response type, come back as they were, each real at the file's 32-bit
// precision (and saved again, they come back once more as they were).
TEST(SpecFile, EverySavedSpecLoadsBack) {
    std::mt19937 gen(19);
    auto whole = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
    // A value as typed: up to three decimals.
    auto typed = [&](double lo, double hi) {
        const double v = std::uniform_real_distribution<double>(lo, hi)(gen);
        return std::min(hi, std::round(v * 1000.0) / 1000.0);
    };
    int designs[kDesignMethodCount] = {};
    for (int trial = 0; trial < 3000; ++trial) {
        FilterSpec spec = DefaultFilterSpec();
        spec.WType = static_cast<DesignMethod>(whole(0, kDesignMethodCount - 1));
        spec.FType = static_cast<ResponseType>(whole(0, kResponseTypeCount - 1));
        spec.Fs = static_cast<float>(typed(1.0, 200000.0));
        const double half = spec.Fs * 0.5;
        spec.Fc1 = static_cast<float>(typed(0.0, half));
        spec.Fc2 = static_cast<float>(typed(0.0, half));
        spec.AutoD = whole(0, 1);
        const double room = spec.FType == BandPass || spec.FType == BandStop
                                ? (half - std::fabs(double(spec.Fc2) - spec.Fc1)) / 2.0
                                : half - spec.Fc1;
        spec.Tw = static_cast<float>(typed(0.001, std::max(0.001, room)));
        spec.TBand = whole(1, kMaxBands);
        std::vector<double> edges;
        for (int i = 0; i < 2 * spec.TBand; ++i) edges.push_back(typed(0.0, half));
        std::sort(edges.begin(), edges.end());
        for (int i = 0; i < spec.TBand; ++i) {
            spec.Bands[i] = {edges[2 * i], edges[2 * i + 1], typed(0.0, 2.0)};
        }
        const int fftIndex = whole(0, kFftIndexCount - 1);
        spec.FFT = FftSizeFromIndex(fftIndex);
        spec.Taps = whole(kMinTaps, trial % 2 ? 600 : kMaxTaps);
        spec.Beta = typed(kMinBeta, kMaxBeta);
        spec.PBrip = typed(0.0, 3.0);
        spec.SBrip = -typed(0.0, 120.0);
        spec.TerCr = static_cast<TerminationCriterion>(whole(0, 1));
        spec.Itern = whole(0, 1000);
        spec.Ratio = typed(0.0, 1.0);
        SettleLoadedSpec(spec, static_cast<SymmetryType>(whole(0, kSymmetryTypeCount - 1)));
        if (CheckSpecRules(spec)) continue;  // rounding above half; the window refuses it
        ++designs[spec.WType];

        std::vector<double> coeffs(3, 0.25);
        const std::string text = FormatSpecFile(spec, fftIndex, spec.AutoD, coeffs);
        SpecReadResult read = ParseSpecFile(text, DefaultFilterSpec());
        ASSERT_TRUE(read.ok) << read.error << "\n" << text;
        SettleLoadedSpec(read.spec, read.fileFChar);

        FilterSpec expected = spec;  // every real as the file holds it
        for (const SpecField& field : kSpecFields) {
            if (!field.Whole()) field.set(expected, static_cast<float>(field.get(expected)));
        }
        for (int i = 0; i < spec.TBand; ++i) {
            for (const BandField& band : kBandFields) {
                // Through a volatile float: GCC 12's SLP vectorizer drops the narrowing
                // of a pair of neighbouring doubles (-O2 and above).
                const volatile float narrow = static_cast<float>(expected.Bands[i].*band.member);
                expected.Bands[i].*band.member = narrow;
            }
        }
        expected.RatioTarget = expected.TerCr == ByPeakRatio ? expected.Ratio : -1.0;
        ASSERT_TRUE(read.spec == expected) << text;
        EXPECT_EQ(read.fftIndex, fftIndex);
        // Saved again, it comes back once more unchanged.
        SpecReadResult again = ParseSpecFile(
            FormatSpecFile(read.spec, read.fftIndex, read.spec.AutoD, coeffs), DefaultFilterSpec());
        ASSERT_TRUE(again.ok) << again.error;
        SettleLoadedSpec(again.spec, again.fileFChar);
        ASSERT_TRUE(again.spec == read.spec) << text;
    }
    for (int method = 0; method < kDesignMethodCount; ++method) EXPECT_GT(designs[method], 100);
}

// Every value a window would refuse, or that is not a number, is refused with a
// message naming the field and the value; the values at the ends of each range are
// read (expected null).
TEST(SpecFile, ValuesAreCheckedByName) {
    struct Case {
        const char* line;
        const char* replacement;
        const char* expected;
    };
    // Tokens beyond 40 characters are shown shortened.
    const std::string a40(40, 'a'), e39 = "1" + std::string(39, '0'),
                                    z39 = std::string(38, '0') + "2";
    const std::string longTokens[][2] = {
        {"Ratio: " + a40, "Ratio: \"" + a40 + "\" is not a number"},
        {"Ratio: " + a40 + "b", "Ratio: \"" + a40 + "...\" is not a number"},
        {"   Fs: " + e39, "Fs: " + e39 + " is not a finite number"},
        {"   Fs: " + e39 + "0", "Fs: " + e39 + "... is not a finite number"},
        {" Taps: " + z39, "Taps: " + z39 + " is out of range (3 to"},
        {" Taps: " + e39 + "00", "Taps: \"" + e39 + "...\" is not a whole number"}};
    const Case cases[] = {
        {"Ratio: 0.000000", longTokens[0][0].c_str(), longTokens[0][1].c_str()},
        {"Ratio: 0.000000", longTokens[1][0].c_str(), longTokens[1][1].c_str()},
        {"   Fs: 8000.000000", longTokens[2][0].c_str(), longTokens[2][1].c_str()},
        {"   Fs: 8000.000000", longTokens[3][0].c_str(), longTokens[3][1].c_str()},
        {" Taps: 31", longTokens[4][0].c_str(), longTokens[4][1].c_str()},
        {" Taps: 31", longTokens[5][0].c_str(), longTokens[5][1].c_str()},
        {" Beta: 4.000000", " Beta: 15", nullptr},
        {" Beta: 4.000000", " Beta: 0", nullptr},
        {" Taps: 31", " Taps: 3", nullptr},
        {" Taps: 31", " Taps: 131071", nullptr},
        {"  FFT: 6", "  FFT: 0", nullptr},
        {"  FFT: 6", "  FFT: 9", nullptr},
        {"FChar: 0", "FChar: 3", nullptr},
        {"FChar: 0", "FChar: 4", "FChar: 4 is out of range"},
        {"FType: 0", "FType: -1", "FType: -1 is out of range"},
        {"WType: 0", "WType: 7", "WType: 7 is out of range (0 to 6)"},
        {"   Fs: 8000.000000", "   Fs: 0", "Fs: 0 is not above 0"},
        {"   Tw: 1.000000", "   Tw: -2", "Tw: -2 is not above 0"},
        {"  Fc1: 0.000000", "  Fc1: -1", "Fc1: -1 is negative"},
        {"TBand: 2", "TBand: 11", "TBand: 11 is out of range (1 to 10)"},
        {"TBand: 2", "TBand: 0", "TBand: 0"},
        {"Bd2A: 0.000000", "Bd2A: -0.5", "Bd2A: -0.5 is negative"},
        {"  FFT: 6", "  FFT: 10", "FFT: 10"},
        {" Taps: 31", " Taps: 2", "Taps: 2 is out of range (3 to 131071)"},
        {" Taps: 31", " Taps: 131072", "Taps: 131072"},
        {" Taps: 31", " Taps: 31.5", "Taps: \"31.5\" is not a whole number"},
        {" Beta: 4.000000", " Beta: 15.5", "Beta: 15.5 is out of range (0 to 15)"},
        {"PBrip: 0.000000", "PBrip: -1", "PBrip: -1 is negative"},
        {"SBrip: 0.000000", "SBrip: 40", "SBrip: 40 is above 0"},
        {"AutoD: 1", "AutoD: 2", "AutoD: 2"},
        {"TerCr: 0", "TerCr: 5", "TerCr: 5"},
        {"Itern: 0", "Itern: -3", "Itern: -3"},
        {"Ratio: 0.000000", "Ratio: abc", "Ratio: \"abc\" is not a number"},
        {"   Fs: 8000.000000", "   Fs: nan", "Fs: nan is not a finite number"},
        {"   Fs: 8000.000000", "   Fs: 1e39", "Fs: 1e39 is not a finite number"},
        {"   Fs: 8000.000000", "   Fs: inf", "not a finite number"},
        {"   Fs: 8000.000000", "   Fs: 8000Hz", "Fs: \"8000Hz\" is not a number"},
        {" Taps: 31", " Taps: 99999999999999999999", "is not a whole number"},
    };
    const std::string good = DefaultText();
    const FilterSpec base = DefaultFilterSpec();
    for (const Case& c : cases) {
        std::string text = good;
        const std::size_t at = text.find(c.line);
        ASSERT_NE(at, std::string::npos) << c.line;
        text.replace(at, std::strlen(c.line), c.replacement);
        const SpecReadResult read = ParseSpecFile(text, base);
        if (!c.expected) {
            EXPECT_TRUE(read.ok) << c.replacement << " gave: " << read.error;
            continue;
        }
        EXPECT_FALSE(read.ok) << c.replacement;
        EXPECT_NE(read.error.find(c.expected), std::string::npos)
            << c.replacement << " gave: " << read.error;
    }
}

// Every prefix of a good file is refused with a message, never read past its end
// (the sanitizer build watches that), and random byte damage never crashes.
TEST(SpecFile, TruncatedAndDamagedFiles) {
    const std::string good = DefaultText(3);
    const std::size_t headerEnd = good.find("Coeff:");
    for (std::size_t n = 0; n < headerEnd - 1; ++n) {
        const std::string cut = good.substr(0, n);
        const SpecReadResult read =
            ParseSpecFile(std::string_view(cut.data(), cut.size()), DefaultFilterSpec());
        // A cut inside the last value can still leave a whole number.
        if (n + 9 < headerEnd) {
            EXPECT_FALSE(read.ok) << n;
            EXPECT_FALSE(read.error.empty()) << n;
        }
    }
    std::mt19937 gen(7);
    for (int trial = 0; trial < 2000; ++trial) {
        std::string text = good;
        const int flips = 1 + static_cast<int>(gen() % 4);
        for (int f = 0; f < flips; ++f) text[gen() % text.size()] = static_cast<char>(gen());
        const SpecReadResult read = ParseSpecFile(text, DefaultFilterSpec());
        if (read.ok) {
            EXPECT_GE(read.spec.TBand, 1);
            EXPECT_LE(read.spec.TBand, kMaxBands);
            EXPECT_GE(read.spec.Taps, 3);
        } else {
            EXPECT_FALSE(read.error.empty());
        }
    }
}

TEST(SpecFile, WritesWholeFilesOrNothing) {
    const test::TempDir dir;
    const std::string path = (dir / "spec.txt").string();
    FilterSpec spec = DefaultFilterSpec();
    std::vector<double> coeffs(31, 0.5);
    std::string error;
    ASSERT_TRUE(SaveSpecFile(path, spec, 6, 1, coeffs, &error)) << error;
    SpecReadResult read = ReadSpecFile(path, DefaultFilterSpec());
    EXPECT_TRUE(read.ok) << read.error;
    EXPECT_FALSE(read.cannotOpen);
    EXPECT_EQ(test::Entries(dir.path()), std::vector<std::string>{"spec.txt"});  // nothing else

    // A file in a folder that does not exist cannot be written; nothing appears.
    EXPECT_FALSE(SaveSpecFile((dir / "missing" / "x.txt").string(), spec, 6, 1, coeffs, &error));
    EXPECT_FALSE(error.empty());
    read = ReadSpecFile((dir / "absent.txt").string(), DefaultFilterSpec());
    EXPECT_FALSE(read.ok);
    EXPECT_TRUE(read.cannotOpen);
}

}  // namespace
}  // namespace tapwright
