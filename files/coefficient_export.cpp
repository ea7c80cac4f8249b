#include "files/coefficient_export.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "core/design_methods.h"
#include "core/messages.h"
#include "core/quantize.h"
#include "core/spec_fields.h"
#include "files/atomic_file.h"
#include "files/hdl_export.h"

namespace tapwright {

namespace {

constexpr ExportFormatInfo kFormats[kExportFormatCount] = {
    {ExportFormat::Text, "txt", "txt", "Text, one coefficient per line (*.txt)", false, false},
    {ExportFormat::Csv, "csv", "csv", "CSV (*.csv)", false, false},
    {ExportFormat::Json, "json", "json", "JSON with spec and measurements (*.json)", false, false},
    {ExportFormat::CHeader, "c", "h", "C header (*.h)", false, false},
    {ExportFormat::Coe, "coe", "coe", "FPGA coefficient file (*.coe)", true, false},
    {ExportFormat::Mif, "mif", "mif", "Memory initialisation file (*.mif)", true, false},
    {ExportFormat::Verilog, "verilog", "v", "Verilog filter module (*.v)", true, true},
    {ExportFormat::Vhdl, "vhdl", "vhd", "VHDL filter entity (*.vhd)", true, true},
};

// A tap as written: 17 significant digits, a negative zero as 0.
std::string Real(double x) {
    if (x == 0.0) x = 0.0;
    return FormatString("%.17g", x);
}

// JSON text built value by value, two spaces of indentation per level. Numbers that
// are not finite are written as null.
class JsonWriter {
  public:
    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }
    void Key(std::string_view key) {
        Separate();
        Quoted(key);
        text_ += ": ";
        afterKey_ = true;
    }
    void Number(double x) { Value(std::isfinite(x) ? Real(x) : "null"); }
    void Integer(long long x) { Value(FormatString("%lld", x)); }
    void Bool(bool b) { Value(b ? "true" : "false"); }
    void String(std::string_view s) {
        Separate();
        Quoted(s);
    }
    // Key and value at once.
    template <typename T>
    void Field(std::string_view key, T value) {
        Key(key);
        if constexpr (std::is_same_v<T, bool>) {
            Bool(value);
        } else if constexpr (std::is_integral_v<T>) {
            Integer(value);
        } else if constexpr (std::is_enum_v<T>) {
            Integer(static_cast<long long>(value));
        } else if constexpr (std::is_floating_point_v<T>) {
            Number(static_cast<double>(value));
        } else {
            String(value);
        }
    }
    std::string Take() {
        text_ += "\n";
        return std::move(text_);
    }

  private:
    void Open(char c) {
        Separate();
        text_ += c;
        first_.push_back(true);
    }
    void Close(char c) {
        const bool empty = first_.back();
        first_.pop_back();
        if (!empty) Newline();
        text_ += c;
    }
    void Value(const std::string& v) {
        Separate();
        text_ += v;
    }
    // The comma and line break before a value, unless it follows its key.
    void Separate() {
        if (afterKey_) {
            afterKey_ = false;
            return;
        }
        if (first_.empty()) return;
        if (!first_.back()) text_ += ",";
        first_.back() = false;
        Newline();
    }
    void Newline() {
        text_ += "\n";
        text_.append(2 * first_.size(), ' ');
    }
    void Quoted(std::string_view s) {
        text_ += '"';
        for (char c : s) {
            if (c == '"' || c == '\\') {
                text_ += '\\';
                text_ += c;
            } else if (static_cast<unsigned char>(c) < 0x20) {
                text_ += FormatString("\\u%04x", static_cast<unsigned>(c));
            } else {
                text_ += c;
            }
        }
        text_ += '"';
    }

    std::string text_;
    std::vector<bool> first_;
    bool afterKey_ = false;
};

const char* KindName(BandKind kind) {
    switch (kind) {
        case BandKind::Pass:
            return "pass";
        case BandKind::Stop:
            return "stop";
        default:
            return "slope";
    }
}

void WriteMeasurements(JsonWriter& j, const ResponseMeasurements& r, const DesignMeasurements& m) {
    j.BeginObject();
    j.Field("gridPoints", m.gridPoints);
    j.Field("gridStepHz", m.gridStepHz);
    j.Key("bands");
    j.BeginArray();
    for (const BandMeasurement& b : r.bands) {
        j.BeginObject();
        j.Field("band", b.band.number);
        j.Field("kind", KindName(b.band.kind));
        j.Field("lowerHz", b.band.lower);
        j.Field("upperHz", b.band.upper);
        if (b.band.kind == BandKind::Slope) {
            j.Field("slopePerHz", b.band.slope);
            j.Field("originHz", b.band.origin);
        } else {
            j.Field("desired", b.band.desired);
        }
        j.Field("minGainDb", b.minGainDb);
        j.Field("maxGainDb", b.maxGainDb);
        if (b.band.kind == BandKind::Pass) j.Field("rippleDb", b.rippleDb);
        if (b.band.kind == BandKind::Stop) j.Field("attenuationDb", b.attenuationDb);
        j.Field("largestError", b.largestError);
        j.EndObject();
    }
    j.EndArray();
    if (!r.minus3DbHz.empty()) {
        for (const auto& [key, values] :
             {std::pair{"minus3DbHz", &r.minus3DbHz}, std::pair{"minus6DbHz", &r.minus6DbHz}}) {
            j.Key(key);
            j.BeginArray();
            for (double f : *values) j.Number(f);
            j.EndArray();
        }
    }
    j.Field("dcGain", r.dcGain);
    j.Field("dcGainDb", 20.0 * std::log10(r.dcGain));
    j.Field("nyquistGain", r.nyquistGain);
    j.Field("nyquistGainDb", 20.0 * std::log10(r.nyquistGain));
    j.Field("linearPhase", r.linearPhase);
    if (r.linearPhase) j.Field("groupDelaySamples", r.groupDelay);
    if (m.method == Equiripple) j.Field("conditionEstimate", m.conditionEstimate);
    const SpecCompliance c = ComplianceOf(m, r);
    if (c.asked) {
        // NaN (a figure not asked, or no such band) is written as null.
        j.Key("asked");
        j.BeginObject();
        j.Field("rippleDb", m.askedRippleDb);
        j.Field("attenuationDb", m.askedAttenuationDb);
        j.Field("achievedRippleDb", c.rippleDb);
        j.Field("achievedAttenuationDb", c.attenuationDb);
        j.Field("meets", c.meets);
        j.EndObject();
    }
    j.EndObject();
}

// `report`: the format, rounding, errors and bit growth too (left out of the
// export made with the default choices, which stays as it always was).
void WriteQuantized(JsonWriter& j, const DesignMeasurements& m, bool withTaps, bool report) {
    const QuantizedTaps& q = m.fixedPoint;
    j.BeginObject();
    j.Field("bits", q.bits);
    j.Field("fractionBits", q.fractionBits);
    j.Field("guardBits", q.guardBits);
    j.Field("scale", q.Scale());
    j.Field("saturated", q.saturated);
    if (report) {
        j.Field("format", q.FormatName());
        j.Field("rounding", RoundingName(q.rounding));
        j.Field("overflow", OverflowName(q.overflow));
        j.Field("largestError", q.largestError);
        j.Field("coefficientSum", q.CoefficientSum());
        j.Field("integerSum", static_cast<long long>(q.integerSum));
        j.Field("absoluteSum", static_cast<long long>(q.absoluteSum));
        j.Field("inputBits", m.growth.inputBits);
        j.Field("accumulatorBits", m.growth.accumulatorBits);
        j.Field("accumulatorBoundBits", m.growth.boundBits);
        j.Field("accumulatorFractionBits", m.growth.accumulatorFractionBits);
        j.Field("outputBits", m.growth.outputBits);
        j.Field("outputFractionBits", m.growth.outputFractionBits);
    }
    if (withTaps) {
        j.Key("taps");
        j.BeginArray();
        for (std::int64_t v : q.values) j.Integer(v);
        j.EndArray();
    }
    j.Key("measurements");
    WriteMeasurements(j, m.fixed, m);
    j.EndObject();
}

void WriteSpec(JsonWriter& j, const FilterSpec& spec) {
    j.BeginObject();
    for (const SpecField& field : kSpecFields) {
        if (field.Whole()) {
            j.Field(field.key, static_cast<long long>(field.get(spec)));
        } else {
            j.Field(field.key, field.get(spec));
        }
        if (field.key != kBandCountKey) continue;
        j.Key("Bands");
        j.BeginArray();
        for (int i = 0; i < BandRowsOf(spec); ++i) {
            j.BeginObject();
            for (const BandField& band : kBandFields) {
                if (BandFieldStored(band, spec.WType))
                    j.Field(band.name, spec.Bands[i].*band.member);
            }
            j.EndObject();
        }
        j.EndArray();
    }
    j.EndObject();
}

// Whether `o` departs from the fitted scale, nearest rounding and saturation.
bool NonDefaultChoice(const ExportOptions& o) {
    return o.fractionBits.has_value() || o.rounding != Rounding::Nearest ||
           o.overflow != Overflow::Saturate;
}

std::string FixedPointText(const QuantizedTaps& q, bool nonDefault) {
    std::string text = FormatString(
        "%d-bit signed fixed point: coefficient = value / 2^%d (%d guard bits, %d saturated)",
        q.bits, q.fractionBits, q.guardBits, q.saturated);
    if (nonDefault) {
        text += FormatString(", %s, rounding %s, overflow %s", q.FormatName().c_str(),
                             RoundingName(q.rounding), OverflowName(q.overflow));
    }
    return text;
}

std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

// The C integer type that holds B-bit values.
const char* IntegerType(int bits) {
    return bits <= 8 ? "int8_t" : (bits <= 16 ? "int16_t" : "int32_t");
}

// An integer literal of the C type for `bits`; the most negative 32-bit value is
// written as an expression, since 2147483648 alone does not fit an int.
std::string IntegerLiteral(std::int64_t v) {
    if (v == INT32_MIN) return "(-2147483647 - 1)";
    return FormatString("%lld", static_cast<long long>(v));
}

std::string CHeader(const FilterSpec& spec, const std::vector<double>& h, const ExportOptions& o,
                    const QuantizedTaps* q) {
    const bool nonDefault = NonDefaultChoice(o);
    const std::string macro = Upper(o.name);
    std::string t = "/* " + o.name + ": FIR filter coefficients designed by Tapwright.\n";
    t += " * " + DesignDescription(spec, static_cast<int>(h.size())) + ".\n";
    if (q) t += " * " + FixedPointText(*q, nonDefault) + ".\n";
    t += " */\n";
    t += "#ifndef " + macro + "_H\n#define " + macro + "_H\n\n";
    if (q) t += "#include <stdint.h>\n\n";
    t += FormatString("#define %s_LENGTH %zu\n", macro.c_str(), h.size());
    if (q) t += FormatString("#define %s_FRACTION_BITS %d\n", macro.c_str(), q->fractionBits);
    const char* type = q ? IntegerType(q->bits) : (o.singlePrecision ? "float" : "double");
    t += FormatString("\nstatic const %s %s[%s_LENGTH] = {\n", type, o.name.c_str(), macro.c_str());
    for (std::size_t i = 0; i < h.size(); ++i) {
        std::string value;
        if (q) {
            value = IntegerLiteral(q->values[i]);
        } else if (o.singlePrecision) {
            // Nine significant digits give the float back exactly.
            const float f = static_cast<float>(h[i]);
            value = FormatString("%.8ef", f == 0.0f ? 0.0 : static_cast<double>(f));
        } else {
            value = FormatString("%.16e", h[i] == 0.0 ? 0.0 : h[i]);
        }
        t += "    " + value + (i + 1 < h.size() ? ",\n" : "\n");
    }
    t += "};\n\n#endif /* " + macro + "_H */\n";
    return t;
}

std::string CoeFile(const FilterSpec& spec, const ExportOptions& o, const QuantizedTaps& q) {
    std::string t = "; " + o.name + ": FIR filter coefficients designed by Tapwright.\n";
    t += "; " + DesignDescription(spec, static_cast<int>(q.values.size())) + ".\n";
    t += "; " + FixedPointText(q, NonDefaultChoice(o)) + ".\n";
    t += "radix=10;\ncoefdata=\n";
    for (std::size_t i = 0; i < q.values.size(); ++i) {
        t += FormatString("%lld", static_cast<long long>(q.values[i]));
        t += i + 1 < q.values.size() ? ",\n" : ";\n";
    }
    return t;
}

// The memory initialisation file: one signed word per address, in decimal.
std::string MifFile(const FilterSpec& spec, const ExportOptions& o, const QuantizedTaps& q) {
    std::string t = "-- " + o.name + ": FIR filter coefficients designed by Tapwright.\n";
    t += "-- " + DesignDescription(spec, static_cast<int>(q.values.size())) + ".\n";
    t += "-- " + QuantizationSummary(q, nullptr) + ".\n";
    t += FormatString("DEPTH = %zu;\nWIDTH = %d;\n", q.values.size(), q.bits);
    t += "ADDRESS_RADIX = UNS;\nDATA_RADIX = DEC;\nCONTENT BEGIN\n";
    for (std::size_t i = 0; i < q.values.size(); ++i) {
        t += FormatString("    %zu : %lld;\n", i, static_cast<long long>(q.values[i]));
    }
    t += "END;\n";
    return t;
}

bool IsCKeyword(std::string_view name) {
    static constexpr const char* kKeywords[] = {
        "auto",       "break",     "case",           "char",
        "const",      "continue",  "default",        "do",
        "double",     "else",      "enum",           "extern",
        "float",      "for",       "goto",           "if",
        "inline",     "int",       "long",           "register",
        "restrict",   "return",    "short",          "signed",
        "sizeof",     "static",    "struct",         "switch",
        "typedef",    "union",     "unsigned",       "void",
        "volatile",   "while",     "_Alignas",       "_Alignof",
        "_Atomic",    "_Bool",     "_Complex",       "_Generic",
        "_Imaginary", "_Noreturn", "_Static_assert", "_Thread_local",
        "bool",       "true",      "false",          "nullptr"};
    for (const char* k : kKeywords) {
        if (name == k) return true;
    }
    return false;
}

}  // namespace

const ExportFormatInfo& ExportFormatDetails(ExportFormat format) {
    return kFormats[static_cast<int>(format)];
}

QuantizeOptions QuantizeChoice(const ExportOptions& o) {
    QuantizeOptions q;
    q.bits = o.bits;
    q.fraction = o.fractionBits;
    q.rounding = o.rounding;
    q.overflow = o.overflow;
    return q;
}

std::string HdlNameFromPath(std::string_view path) {
    const std::string name = ExportNameFromPath(path);
    return IsValidHdlName(name) ? name : "fir";
}

std::string DefaultExportName(ExportFormat format, std::string_view path) {
    return ExportFormatDetails(format).hdl ? HdlNameFromPath(path) : ExportNameFromPath(path);
}

std::optional<ExportFormat> ExportFormatFromName(std::string_view name) {
    for (const ExportFormatInfo& f : kFormats) {
        if (name == f.name) return f.format;
    }
    return std::nullopt;
}

bool IsValidExportName(std::string_view name) {
    if (name.empty() || name.size() > 63) return false;
    if (std::isdigit(static_cast<unsigned char>(name[0]))) return false;
    for (char c : name) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
    }
    return !IsCKeyword(name);
}

std::string ExportNameFromPath(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    std::string_view stem = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = stem.find('.');
    if (dot != std::string_view::npos) stem = stem.substr(0, dot);
    std::string name;
    for (char c : stem.substr(0, 63)) {
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    if (!name.empty() && std::isdigit(static_cast<unsigned char>(name[0]))) name = "_" + name;
    if (name.size() > 63) name.resize(63);
    return IsValidExportName(name) ? name : "fir";
}

std::string DesignDescription(const FilterSpec& spec, int taps) {
    const bool equiripple = UsesBandTable(spec.WType);
    std::string text(ResponseTypeText(spec.FType, equiripple));
    const bool weighted = spec.WType == ParksMcClellan;
    text += weighted     ? ", Parks-McClellan"
            : equiripple ? ", equiripple"
                         : ", " + std::string(DesignMethodText(spec.WType)) + " window";
    text += FormatString(", %d taps, Fs %g Hz", taps, static_cast<double>(spec.Fs));
    if (equiripple) {
        text += ", bands";
        const int bands = spec.TBand < 1 ? 1 : (spec.TBand > kMaxBands ? kMaxBands : spec.TBand);
        for (int i = 0; i < bands; ++i) {
            const BandSpec& b = spec.Bands[i];
            text += FormatString("%s %g-%g Hz (amplitude %g", i == 0 ? "" : ";", b.Lower, b.Upper,
                                 b.Amplitude);
            text += weighted ? FormatString(", weight %g)", b.Weight) : ")";
        }
        return text;
    }
    double f1 = spec.Fc1, f2 = spec.Fc2;
    switch (spec.FType) {
        case LowPass:
        case HighPass:
            text += FormatString(", cutoff %g Hz", f1);
            break;
        case BandPass:
        case BandStop:
            if (f1 > f2) std::swap(f1, f2);
            [[fallthrough]];
        case Differentiator:
            text += FormatString(", cutoffs %g and %g Hz", f1, f2);
            break;
        default:
            break;
    }
    if (spec.AutoD == 0 && spec.FType >= LowPass && spec.FType <= BandStop) {
        text += FormatString(", transition width %g Hz", static_cast<double>(spec.Tw));
    }
    return text;
}

bool FormatExport(const FilterSpec& spec, const CFirDesign& design, const ExportOptions& o,
                  std::string& text, std::string* error) {
    auto fail = [&](const std::string& what) {
        if (error) *error = what;
        return false;
    };
    const ExportFormatInfo& info = ExportFormatDetails(o.format);
    const std::vector<double>& h = design.coeffs;
    if (h.empty()) return fail("there is no design to export");
    for (double x : h) {
        if (!std::isfinite(x)) return fail("the design has coefficients that are not finite");
    }
    if (o.bits != 0 && (o.bits < kMinQuantizeBits || o.bits > kMaxQuantizeBits)) {
        return fail(FormatString("the word length must be %d to %d bits", kMinQuantizeBits,
                                 kMaxQuantizeBits));
    }
    if (info.needsBits && o.bits == 0) {
        return fail(std::string("the ") + info.name + " format holds integers: give a word length");
    }
    if (o.singlePrecision && (o.format != ExportFormat::CHeader || o.bits != 0)) {
        return fail("float applies to the full-precision C header only");
    }
    if (info.hdl ? !IsValidHdlName(o.name) : !IsValidExportName(o.name)) {
        return fail("\"" + o.name + "\" is not a valid " +
                    (info.hdl ? "Verilog and VHDL module name" : "C name for the coefficients"));
    }
    if (o.inputBits != 0 && (o.inputBits < kMinInputBits || o.inputBits > kMaxInputBits)) {
        return fail(
            FormatString("the input width must be %d to %d bits", kMinInputBits, kMaxInputBits));
    }
    if (o.bits == 0 && NonDefaultChoice(o)) {
        return fail("the fraction bits, rounding and overflow choices need a word length");
    }

    QuantizedTaps q;
    if (o.bits != 0) {
        std::string why;
        if (!QuantizeTaps(h, QuantizeChoice(o), q, &why)) return fail(why);
    }
    const QuantizedTaps* fixed = o.bits != 0 ? &q : nullptr;
    const bool nonDefault = NonDefaultChoice(o);

    std::string t;
    switch (o.format) {
        case ExportFormat::Text:
            if (!fixed) {
                t = CoefficientClipboardText(h);
                break;
            }
            t = "# " + FixedPointText(q, nonDefault) + "\n";
            for (std::int64_t v : q.values) t += FormatString("%lld\n", static_cast<long long>(v));
            break;
        case ExportFormat::Csv:
            t = fixed ? "n,h,q,scale\n" : "n,h\n";
            for (std::size_t i = 0; i < h.size(); ++i) {
                t += FormatString("%zu,", i) + Real(h[i]);
                if (fixed) {
                    t += FormatString(",%lld,", static_cast<long long>(q.values[i])) +
                         Real(q.Scale());
                }
                t += "\n";
            }
            break;
        case ExportFormat::Json: {
            DesignMeasurements m;
            std::string why;
            if (!MeasureDesign(spec, design, QuantizeChoice(o), 0, m, &why)) return fail(why);
            JsonWriter j;
            j.BeginObject();
            j.Field("name", o.name);
            j.Field("description", DesignDescription(spec, static_cast<int>(h.size())));
            j.Key("spec");
            WriteSpec(j, spec);
            j.Field("samplingFrequency", spec.Fs);
            j.Key("taps");
            j.BeginArray();
            for (double x : h) j.Number(x == 0.0 ? 0.0 : x);
            j.EndArray();
            j.Key("measurements");
            WriteMeasurements(j, m.full, m);
            if (fixed) {
                j.Key("quantized");
                WriteQuantized(j, m, true, nonDefault);
            }
            j.EndObject();
            t = j.Take();
            break;
        }
        case ExportFormat::CHeader:
            t = CHeader(spec, h, o, fixed);
            break;
        case ExportFormat::Coe:
            t = CoeFile(spec, o, q);
            break;
        case ExportFormat::Mif:
            t = MifFile(spec, o, q);
            break;
        case ExportFormat::Verilog:
        case ExportFormat::Vhdl: {
            BitGrowth growth;
            if (!ComputeBitGrowth(q, o.inputBits == 0 ? q.bits : o.inputBits, 0, growth)) {
                return fail("the input width is out of range");
            }
            HdlOptions hdl;
            hdl.name = o.name;
            hdl.description = DesignDescription(spec, static_cast<int>(h.size()));
            hdl.command = o.command.empty() ? std::string("Tapwright") : o.command;
            t = o.format == ExportFormat::Verilog ? VerilogFilter(q, growth, hdl)
                                                  : VhdlFilter(q, growth, hdl);
            break;
        }
    }
    text = std::move(t);
    return true;
}

bool WriteExport(const std::string& path, const FilterSpec& spec, const CFirDesign& design,
                 const ExportOptions& options, std::string* error) {
    std::string text;
    if (!FormatExport(spec, design, options, text, error)) return false;
    return WriteFileAtomically(path, text, error);
}

std::string MeasurementsJson(const DesignMeasurements& m) {
    JsonWriter j;
    j.BeginObject();
    j.Field("samplingFrequency", m.Fs);
    j.Field("taps", m.taps);
    j.Key("measurements");
    WriteMeasurements(j, m.full, m);
    if (m.quantized) {
        j.Key("quantized");
        WriteQuantized(j, m, false, true);
    }
    j.EndObject();
    return j.Take();
}

std::string CoefficientClipboardText(const std::vector<double>& h) {
    std::string text;
    for (double x : h) text += Real(x) + "\n";
    return text;
}

}  // namespace tapwright
