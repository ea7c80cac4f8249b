#include "files/spec_file.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "core/fir_design.h"
#include "core/messages.h"
#include "core/spec_rules.h"
#include "files/atomic_file.h"

namespace tapwright {

namespace {

// Whitespace-delimited tokens of the file text; never reads past its end.
class Tokens {
  public:
    explicit Tokens(std::string_view text) : text_(text) {}

    bool Next(std::string_view& token) {
        while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
        if (pos_ >= text_.size()) return false;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !IsSpace(text_[pos_])) ++pos_;
        token = text_.substr(start, pos_ - start);
        return true;
    }

  private:
    static bool IsSpace(char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    }
    std::string_view text_;
    std::size_t pos_ = 0;
};

// Shortens a token for a message, so a damaged file cannot flood it.
std::string Shown(std::string_view token) {
    constexpr std::size_t kLongest = 40;
    if (token.size() <= kLongest) return std::string(token);
    return std::string(token.substr(0, kLongest)) + "...";
}

class Reader {
  public:
    explicit Reader(std::string_view text) : tokens_(text) {}

    const std::string& error() const { return error_; }

    // A "key value" pair whose value is a whole number in lo ... hi.
    bool Int(const std::string& key, int lo, int hi, int& out) {
        std::string_view token;
        if (!Value(key, token)) return false;
        const std::string text(token);
        errno = 0;
        char* end = nullptr;
        const long value = std::strtol(text.c_str(), &end, 10);
        if (end == text.c_str() || *end != '\0' || errno == ERANGE) {
            return Fail(key + ": \"" + Shown(token) + "\" is not a whole number");
        }
        if (value < lo || value > hi) {
            return Fail(key + ": " + Shown(token) + " is out of range (" + std::to_string(lo) +
                        " to " + std::to_string(hi) + ")");
        }
        out = static_cast<int>(value);
        return true;
    }

    // A "key value" pair whose value is one of the `count` values of an enumeration.
    template <typename E>
    bool Enum(const std::string& key, int count, E& out) {
        int value = 0;
        if (!Int(key, 0, count - 1, value)) return false;
        out = static_cast<E>(value);
        return true;
    }

    // A "key value" pair whose value is a finite real, parsed as a 32-bit float.
    bool Real(const std::string& key, float& out) {
        std::string_view token;
        if (!Value(key, token)) return false;
        const std::string text(token);
        char* end = nullptr;
        const float value = std::strtof(text.c_str(), &end);
        if (end == text.c_str() || *end != '\0') {
            return Fail(key + ": \"" + Shown(token) + "\" is not a number");
        }
        if (!std::isfinite(value)) {
            return Fail(key + ": " + Shown(token) + " is not a finite number");
        }
        out = value;
        return true;
    }

    bool Fail(const std::string& message) {
        error_ = message;
        return false;
    }

  private:
    bool Value(const std::string& key, std::string_view& token) {
        std::string_view ignoredKey;
        if (!tokens_.Next(ignoredKey) || !tokens_.Next(token)) {
            return Fail("the file ends before the value of " + key);
        }
        return true;
    }

    Tokens tokens_;
    std::string error_;
};

bool Check(Reader& reader, bool ok, const std::string& key, float value, const char* rule) {
    if (ok) return true;
    return reader.Fail(key + ": " + FormatString("%g", static_cast<double>(value)) + " " + rule);
}

}  // namespace

std::string FormatSpecFile(const FilterSpec& spec, int fftIndex, int autoDesign,
                           std::vector<double>& coeffs) {
    std::string text;
    text += FormatString("FChar: %d\n", spec.FChar);
    text += FormatString("FType: %d\n", spec.FType);
    text += FormatString("WType: %d\n", spec.WType);
    text += FormatString("   Fs: %f\n", static_cast<double>(spec.Fs));
    text += FormatString("   Tw: %f\n", static_cast<double>(spec.Tw));
    text += FormatString("  Fc1: %f\n", static_cast<double>(spec.Fc1));
    text += FormatString("  Fc2: %f\n", static_cast<double>(spec.Fc2));
    text += FormatString("TBand: %d\n", spec.TBand);
    const int bands = spec.TBand < 0 ? 0 : (spec.TBand > kMaxBands ? kMaxBands : spec.TBand);
    for (int i = 1; i <= bands; ++i) {
        const BandSpec& b = spec.Bands[i - 1];
        text += FormatString("Bd%dL: %f\n", i, b.Lower);
        text += FormatString("Bd%dU: %f\n", i, b.Upper);
        text += FormatString("Bd%dA: %f\n", i, b.Amplitude);
    }
    text += FormatString("  FFT: %d\n", fftIndex);
    text += FormatString(" Taps: %d\n", spec.Taps);
    text += FormatString(" Beta: %f\n", spec.Beta);
    text += FormatString("PBrip: %f\n", spec.PBrip);
    text += FormatString("SBrip: %f\n", spec.SBrip);
    text += FormatString("AutoD: %d\n", autoDesign);
    text += FormatString("TerCr: %d\n", spec.TerCr);
    text += FormatString("Itern: %d\n", spec.Itern);
    text += FormatString("Ratio: %f\n", spec.Ratio);
    text += "Coeff:\n";
    for (double& c : coeffs) {
        if (c == 0.0) c = 0.0;  // a negative zero is written, and kept, as +0
        text += FormatString("%e\n", c);
    }
    return text;
}

bool SaveSpecFile(const std::string& path, const FilterSpec& spec, int fftIndex, int autoDesign,
                  std::vector<double>& coeffs, std::string* error) {
    return WriteFileAtomically(path, FormatSpecFile(spec, fftIndex, autoDesign, coeffs), error);
}

SpecReadResult ParseSpecFile(std::string_view text, const FilterSpec& base) {
    SpecReadResult result;
    FilterSpec spec = base;
    Reader r(text);
    auto fail = [&]() {
        result.error = r.error();
        return result;
    };
    auto positive = [&](const std::string& key, float& out) {
        return r.Real(key, out) && Check(r, out > 0.0f, key, out, "is not above 0");
    };
    auto nonNegative = [&](const std::string& key, float& out) {
        return r.Real(key, out) && Check(r, out >= 0.0f, key, out, "is negative");
    };

    SymmetryType fileFChar = SymmetricOdd;
    if (!r.Enum("FChar", kSymmetryTypeCount, fileFChar)) return fail();
    if (!r.Enum("FType", kResponseTypeCount, spec.FType)) return fail();
    if (!r.Enum("WType", kDesignMethodCount, spec.WType)) return fail();
    if (!positive("Fs", spec.Fs) || !positive("Tw", spec.Tw)) return fail();
    if (!nonNegative("Fc1", spec.Fc1) || !nonNegative("Fc2", spec.Fc2)) return fail();
    if (!r.Int("TBand", 1, kMaxBands, spec.TBand)) return fail();
    for (int i = 1; i <= spec.TBand; ++i) {
        const std::string prefix = "Bd" + std::to_string(i);
        float lower = 0.0f, upper = 0.0f, amplitude = 0.0f;
        if (!nonNegative(prefix + "L", lower) || !nonNegative(prefix + "U", upper) ||
            !nonNegative(prefix + "A", amplitude)) {
            return fail();
        }
        spec.Bands[i - 1] = {lower, upper, amplitude};
    }
    int fftIndex = 0;
    if (!r.Int("FFT", 0, kFftIndexCount - 1, fftIndex)) return fail();
    spec.FFT = FftSizeFromIndex(fftIndex);
    spec.FChar = fileFChar;
    if (!r.Int("Taps", kMinTaps, kMaxTaps, spec.Taps)) return fail();
    float beta = 0.0f, pbrip = 0.0f, sbrip = 0.0f, ratio = 0.0f;
    if (!r.Real("Beta", beta) || !Check(r, beta >= kMinBeta && beta <= kMaxBeta, "Beta", beta,
                                        "is out of range (0 to 15)")) {
        return fail();
    }
    if (!nonNegative("PBrip", pbrip)) return fail();
    if (!r.Real("SBrip", sbrip) || !Check(r, sbrip <= 0.0f, "SBrip", sbrip,
                                          "is above 0 (a stop band ripple is held as -dB)")) {
        return fail();
    }
    if (!r.Int("AutoD", 0, 1, spec.AutoD)) return fail();
    if (!r.Enum("TerCr", kTerminationCriterionCount, spec.TerCr)) return fail();
    if (!r.Int("Itern", 0, 2147483647, spec.Itern)) return fail();
    if (!nonNegative("Ratio", ratio)) return fail();
    spec.Beta = beta;
    spec.PBrip = pbrip;
    spec.SBrip = sbrip;
    spec.Ratio = ratio;
    spec.RatioTarget = spec.TerCr == ByPeakRatio ? spec.Ratio : -1.0;
    // The coefficient block is not read: a design is made again from the values.

    result.ok = true;
    result.spec = spec;
    result.fileFChar = fileFChar;
    result.fftIndex = fftIndex;
    return result;
}

SpecReadResult ReadSpecFile(const std::string& path, const FilterSpec& base) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        SpecReadResult result;
        result.cannotOpen = true;
        result.error = "cannot open " + path + ": " + std::strerror(errno);
        return result;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        SpecReadResult result;
        result.error = "cannot read " + path;
        return result;
    }
    return ParseSpecFile(content.str(), base);
}

SpecReadResult ReadSettledSpecFile(const std::string& path, const FilterSpec& base) {
    SpecReadResult read = ReadSpecFile(path, base);
    if (read.ok) SettleLoadedSpec(read.spec, read.fileFChar);
    return read;
}

}  // namespace tapwright
