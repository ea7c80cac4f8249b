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
#include "core/number_text.h"
#include "core/spec_fields.h"
#include "core/spec_rules.h"
#include "files/atomic_file.h"

namespace tapwright {

namespace {

// Whitespace-delimited tokens of the file text; never reads past its end.
class Tokens {
  public:
    explicit Tokens(std::string_view text) : text_(text) {}

    bool Next(std::string_view& token) {
        while (pos_ < text_.size() && IsSpace(text_[pos_])) {
            if (text_[pos_] == '\n') ++line_;
            ++pos_;
        }
        if (pos_ >= text_.size()) return false;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !IsSpace(text_[pos_])) ++pos_;
        token = text_.substr(start, pos_ - start);
        return true;
    }

    // The line of the token Next gave last, from 1.
    int line() const { return line_; }

  private:
    static bool IsSpace(char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    }
    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
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
    // The label must be the key the line's place holds ("Fs:"), so lines that were
    // swapped or left out are refused, not read into the wrong field.
    bool Value(const std::string& key, std::string_view& token) {
        std::string_view label;
        if (!tokens_.Next(label)) return Fail("the file ends before the value of " + key);
        if (label != key + ":") {
            return Fail("line " + std::to_string(tokens_.line()) + ": expected the key " + key +
                        ", found \"" + Shown(label) + "\"");
        }
        if (!tokens_.Next(token)) return Fail("the file ends before the value of " + key);
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
    // The FFT index and Auto Design are written as the window's controls hold them.
    FilterSpec shown = spec;
    shown.AutoD = autoDesign;
    std::string text;
    for (const SpecField& field : kSpecFields) {
        const double value = field.key == "FFT" ? fftIndex : field.get(shown);
        if (field.Whole()) {
            text +=
                FormatString("%5s: %d\n", std::string(field.key).c_str(), static_cast<int>(value));
        } else {
            text += FormatString("%5s: %f\n", std::string(field.key).c_str(), value);
        }
        if (field.key != kBandCountKey) continue;
        for (int i = 1; i <= BandRowsOf(spec); ++i) {
            for (const BandField& band : kBandFields) {
                if (!BandFieldStored(band, spec.WType)) continue;
                text +=
                    FormatString("Bd%d%c: %f\n", i, band.suffix, spec.Bands[i - 1].*band.member);
            }
        }
    }
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
    // A real is read as a 32-bit float and must keep its field's rule.
    auto real = [&](const std::string& key, FieldRule rule, double lo, double hi,
                    const char* refusal, float& out) {
        if (!r.Real(key, out)) return false;
        bool ok = true;
        switch (rule) {
            case FieldRule::Positive:
                ok = out > 0.0f;
                break;
            case FieldRule::NonNegative:
                ok = out >= 0.0f;
                break;
            case FieldRule::NonPositive:
                ok = out <= 0.0f;
                break;
            case FieldRule::Between:
                ok = out >= lo && out <= hi;
                break;
            case FieldRule::Whole:
                break;
        }
        return Check(r, ok, key, out, refusal);
    };

    for (const SpecField& field : kSpecFields) {
        const std::string key(field.key);
        if (field.Whole()) {
            int value = 0;
            if (!r.Int(key, static_cast<int>(field.min), static_cast<int>(field.max), value)) {
                return fail();
            }
            field.set(spec, value);
        } else {
            float value = 0.0f;
            if (!real(key, field.rule, field.min, field.max, field.refusal, value)) return fail();
            field.set(spec, value);
        }
        if (field.key != kBandCountKey) continue;
        for (int i = 1; i <= spec.TBand; ++i) {
            for (const BandField& band : kBandFields) {
                if (!BandFieldStored(band, spec.WType)) continue;
                float value = 0.0f;
                if (!real("Bd" + std::to_string(i) + band.suffix, band.rule, 0.0, 0.0, band.refusal,
                          value)) {
                    return fail();
                }
                spec.Bands[i - 1].*band.member = value;
            }
        }
    }
    spec.RatioTarget = spec.TerCr == ByPeakRatio ? spec.Ratio : -1.0;
    // The coefficient block is not read: a design is made again from the values.

    // The rules between fields that the window keeps while values are typed.
    if (const std::optional<SpecRuleBreak> broken = CheckSpecRules(spec)) {
        result.error = broken->key + ": " + StoredValueText(broken->value) +
                       " is refused: " + FormatMessage(broken->why.code, broken->why.args);
        return result;
    }

    result.ok = true;
    result.spec = spec;
    result.fileFChar = spec.FChar;
    result.fftIndex = FftIndexFromSize(spec.FFT);
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
