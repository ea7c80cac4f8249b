#include "printing/report_layout.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "core/coefficient_list.h"
#include "core/design_methods.h"
#include "core/graph_kinds.h"
#include "core/messages.h"
#include "core/spec_rules.h"

namespace tapwright {

namespace {

constexpr double kInchesPerMm = 0.03937007874015748;
constexpr int kTextX = 150;
constexpr int kHeaderTop = 160;
constexpr int kHeaderStep = 100;
constexpr int kPairStep = 80;
// Pair lines: 33 under the header on page 1, 45 on each later page.
constexpr int kFirstPagePairs = 33;
constexpr int kPagePairs = 45;

std::string_view ResponseTypeName(int type, bool equiripple) {
    switch (type) {
        case LowPass:
            return "Low Pass Filter";
        case HighPass:
            return "High Pass Filter";
        case BandPass:
            return "Band Pass Filter";
        case BandStop:
            return "Band Stop Filter";
        case Differentiator:
            return "Differentiator Filter";
        case 5:
            return equiripple ? "Multi-Bands Filter" : "Hilbert Transformer Filter";
        default:
            return "";
    }
}

std::string_view SymmetryName(int symmetry) {
    switch (symmetry) {
        case SymmetricOdd:
            return "Symmetrical Impulse Response, Odd Filter Length";
        case SymmetricEven:
            return "Symmetrical Impulse Response, Even Filter Length";
        case AntisymmetricOdd:
            return "Anti-Symmetrical Impulse Response, Odd Filter Length";
        case AntisymmetricEven:
            return "Anti-Symmetrical Impulse Response, Even Filter Length";
        default:
            return "";
    }
}

// The method as the report names it: a window's name, or the equiripple design's.
std::string MethodName(int method) {
    if (method == Equiripple) return "Iterative Least Squares (Equiripple)";
    if (method == ParksMcClellan) return "Parks-McClellan (Optimal Equiripple)";
    const std::string_view name = DesignMethodText(static_cast<DesignMethod>(method));
    return name.empty() ? std::string() : std::string(name) + " Window";
}

// Appends lines at x = 150, each `step` below the previous one.
class LineWriter {
  public:
    LineWriter(std::vector<ReportText>& out, int y) : out_(out), y_(y) {}
    void Add(std::string text) {
        out_.push_back({kTextX, y_, std::move(text)});
        y_ += kHeaderStep;
    }
    // The position the next line would take.
    int NextY() const { return y_; }

  private:
    std::vector<ReportText>& out_;
    int y_;
};

// The header shared by both reports, with the lines of the filter's inputs
// (rate, cutoffs, length, ripples). `holdForm` gives the response report's Hold On
// form: both methods and none of those input lines. Returns the lines; the last one is the last
// header line.
std::vector<ReportText> ReportHeader(const FilterSpec& spec, const ReportHeaderState& state,
                                     bool holdForm) {
    std::vector<ReportText> lines;
    lines.push_back({kTextX, 160, "Tapwright"});
    lines.push_back({kTextX, 220, "========================="});
    LineWriter w(lines, 320);
    w.Add(FormatString("Sampling Frequency : %.2f Hz", static_cast<double>(spec.Fs)));
    w.Add("Filter Response Type : " + std::string(ResponseTypeName(spec.FType, state.equiripple)));
    w.Add("Filter Characteristic : " + std::string(SymmetryName(spec.FChar)));
    if (holdForm) {
        w.Add("Function Type 1 : " + MethodName(spec.WType));
        w.Add("Function Type 2 : " + MethodName(state.heldMethod));
    } else {
        w.Add("Function Type : " + MethodName(spec.WType));
    }
    w.Add(FormatString("Filter Length : %d", spec.Taps));
    if (holdForm) return lines;

    if (UsesBandTable(spec.WType)) {
        const int bands = std::clamp(spec.TBand, 0, kMaxBands);
        for (int b = 1; b <= bands; ++b) {
            const BandSpec& band = spec.Bands[static_cast<std::size_t>(b - 1)];
            // The first band's line has four blanks after "Frequency :".
            const char* format =
                b == 1 ? "Band %02d Frequency :    %.2f - %.2f Hz   Band %02d Amplitude : %.2f "
                       : "Band %02d Frequency : %.2f - %.2f Hz   Band %02d Amplitude : %.2f ";
            std::string line = FormatString(format, b, band.Lower, band.Upper, b, band.Amplitude);
            if (spec.WType == ParksMcClellan) line += FormatString("  Weight : %g", band.Weight);
            w.Add(line);
        }
        if (spec.WType == ParksMcClellan) {
            // The figures a length search met; a given length has none.
            if (!state.autoDesign && AutoDesignAvailable(spec.FType)) {
                w.Add(FormatString("Pass Band Ripple : %.2f dB   Stop Band Attenuation : %.2f dB",
                                   spec.PBrip, -spec.SBrip));
            }
        } else if (spec.TerCr == ByIterations) {
            w.Add(FormatString("Number of Iterations : %d", spec.Itern));
        } else {
            w.Add(FormatString("Peak Error Ripple Ratio : %.2f", spec.Ratio));
        }
    } else {
        if (spec.FType != 5) {
            w.Add(FormatString("1st Cutoff Frequency : %.2f Hz", static_cast<double>(spec.Fc1)));
        }
        if (spec.FType != LowPass && spec.FType != HighPass && spec.FType != 5) {
            w.Add(FormatString("2nd Cutoff Frequency : %.2f Hz", static_cast<double>(spec.Fc2)));
        }
        if (!state.autoDesign) {
            w.Add(FormatString("Transition Width : %.2f Hz", static_cast<double>(spec.Tw)));
        }
    }
    return lines;
}

std::string_view GraphLine(int graph, bool logScale) {
    if (graph == Magnitude && logScale) {
        return "Graphical Plot : Magnitude Response Plot (Logarithmic)";
    }
    const GraphKindInfo* kind = GraphKindOf(static_cast<GraphType>(graph));
    return kind != nullptr ? kind->reportLine : "";
}

// Truncation toward zero, clamped into the int range (NaN gives 0): the figures
// come from the printer.
int SafeTrunc(double v) {
    if (!(v == v)) return 0;
    return static_cast<int>(std::clamp(v, -2147483647.0, 2147483647.0));
}

int ScaledX(int x, const PageGeometry& g) {
    return SafeTrunc(x * g.textScaleX);
}
int ScaledY(int y, const PageGeometry& g) {
    return SafeTrunc(y * g.textScaleY);
}

// Texts laid out at 600 dpi, placed on the page.
void PlaceTexts(std::vector<ReportText> texts, const PageGeometry& g, ReportPage& page) {
    for (ReportText& t : texts) page.texts.push_back({ScaledX(t.x, g), ScaledY(t.y, g), t.text});
}

ReportText PageLabel(int p, int count, const PageGeometry& g) {
    const int x = static_cast<int>(0.9 * g.pageWidth) - ScaledX(250, g);
    const int y = static_cast<int>(0.99 * g.pageHeight) - ScaledY(50, g);
    return {x, y, FormatString("Page:%d of %d", p, count)};
}

}  // namespace

std::optional<PageGeometry> ComputePageGeometry(const PrinterMetrics& printer, double screenDpiX,
                                                double screenDpiY) {
    if (printer.dpiX <= 0 || printer.dpiY <= 0 || printer.widthMm <= 0 || printer.heightMm <= 0) {
        return std::nullopt;
    }
    if (!(screenDpiX > 0.0 && screenDpiY > 0.0) || !std::isfinite(screenDpiX) ||
        !std::isfinite(screenDpiY)) {
        return std::nullopt;
    }
    PageGeometry g;
    g.pageWidth = SafeTrunc(static_cast<double>(printer.dpiX) * printer.widthMm * kInchesPerMm);
    g.pageHeight = SafeTrunc(static_cast<double>(printer.heightMm) * printer.dpiY * kInchesPerMm);
    g.scaleX = printer.dpiX / screenDpiX;
    g.scaleY = printer.dpiY / screenDpiY;
    g.textScaleX = printer.dpiX / kReportTextDpi;
    g.textScaleY = printer.dpiY / kReportTextDpi;
    if (g.pageWidth < 1 || g.pageHeight < 1) return std::nullopt;
    return g;
}

ResponseReport::ResponseReport(const FilterSpec& spec, const ReportHeaderState& state, int graph,
                               bool logScale, int bitmapWidth, int bitmapHeight,
                               const PageGeometry& geometry)
    : bitmapWidth_(std::max(bitmapWidth, 0)),
      bitmapHeight_(std::max(bitmapHeight, 0)),
      geometry_(geometry) {
    header_ = ReportHeader(spec, state, state.holdActive);
    // The graph's name stands 100 below the last line; whatever the graph, the
    // position then moves on by 100 and the graph starts 100 further down.
    const int graphLineY = header_.back().y + kHeaderStep;
    const std::string_view name = GraphLine(graph, logScale);
    if (!name.empty()) header_.push_back({kTextX, graphLineY, std::string(name)});
    graphY_ = graphLineY + kHeaderStep;

    const double pw = std::max(geometry_.pageWidth, 1);
    pageCount_ = std::max(1, SafeTrunc((bitmapWidth_ * geometry_.scaleX + pw - 1) / pw));
}

ReportPage ResponseReport::Page(int p) const {
    ReportPage page;
    page.number = p;
    if (p < 1 || p > pageCount_) return page;
    if (p == 1) PlaceTexts(header_, geometry_, page);

    const double sx = geometry_.scaleX;
    const double shift = (p - 1) * static_cast<double>(geometry_.pageWidth) / sx;
    GraphSlice s;
    s.sourceX = SafeTrunc(shift);
    s.sourceY = 0;
    s.sourceWidth = SafeTrunc(bitmapWidth_ - shift);
    s.sourceHeight = bitmapHeight_;
    // The integer half of the page width less the real half of the scaled width:
    // the same on every page.
    s.destX = SafeTrunc(geometry_.pageWidth / 2 - 0.5 * bitmapWidth_ * sx);
    s.destY = ScaledY(graphY_, geometry_);
    s.destWidth = SafeTrunc(s.sourceWidth * sx);
    s.destHeight = SafeTrunc(bitmapHeight_ * geometry_.scaleY);
    page.graph = s;
    page.texts.push_back(PageLabel(p, pageCount_, geometry_));
    return page;
}

CoefficientReport::CoefficientReport(const FilterSpec& spec, const ReportHeaderState& state,
                                     const std::vector<double>& coeffs,
                                     const PageGeometry& geometry)
    : spec_(spec), geometry_(geometry) {
    coeffs_ = ListedCoefficients(coeffs, spec.Taps);
    const std::size_t n = coeffs_.size();
    pairs_ = static_cast<int>(n / 2);
    for (double h : coeffs_) {
        valueWidth_ = std::max(valueWidth_, static_cast<int>(FormatString("%e", h).size()));
    }
    pageCount_ = PageCountFor(static_cast<int>(n));

    header_ = ReportHeader(spec, state, false);
    const int lastY = header_.back().y;
    header_.push_back({kTextX, lastY + 120, "Filter Coefficients"});
    header_.push_back({kTextX, lastY + 180, "-------------------"});
    firstPairY_ = lastY + 280;
}

int CoefficientReport::PageCountFor(int taps) {
    const int pairs = std::max(taps, 0) / 2;
    return pairs < kFirstPagePairs ? 1 : (pairs - 32) / kPagePairs + 2;
}

std::string CoefficientReport::ValueColumn(int k) const {
    const std::string value = FormatString("%e", coeffs_[static_cast<std::size_t>(k)]);
    // Values are right-aligned by blanks.
    const std::size_t width = static_cast<std::size_t>(valueWidth_);
    return std::string(width > value.size() ? width - value.size() : 0, ' ') + value;
}

std::string CoefficientReport::PairLine(int k) const {
    if (k < 0 || k >= pairs_) return "";
    const int n = static_cast<int>(coeffs_.size());
    const bool anti = spec_.FChar == AntisymmetricOdd || spec_.FChar == AntisymmetricEven;
    return FormatString("H(%02d)  -->  ", k + 1) + ValueColumn(k) +
           FormatString(anti ? "  <--  -H(%02d)" : "  <--  H(%02d)", n - k);
}

std::string CoefficientReport::CentreLine() const {
    if (coeffs_.size() % 2 == 0) return "";
    return FormatString("H(%02d)  -->  ", pairs_ + 1) + ValueColumn(pairs_) +
           FormatString("  <--  H(%02d)", pairs_ + 1);
}

ReportPage CoefficientReport::Page(int p) const {
    ReportPage page;
    page.number = p;
    if (p < 1 || p > pageCount_) return page;
    int y = 160;
    int first = 0;
    int last = kFirstPagePairs - 1;
    std::vector<ReportText> texts;
    if (p == 1) {
        texts = header_;
        y = firstPairY_;
    } else {
        first = kPagePairs * p - 57;
        last = kPagePairs * p - 13;
    }
    for (int k = first; k <= last && k < pairs_; ++k) {
        texts.push_back({kTextX, y, PairLine(k)});
        y += kPairStep;
    }
    if (p == pageCount_ && coeffs_.size() % 2 == 1) texts.push_back({kTextX, y, CentreLine()});
    PlaceTexts(std::move(texts), geometry_, page);
    page.texts.push_back(PageLabel(p, pageCount_, geometry_));
    return page;
}

PageRange ClampPageRange(PageRange range, int pageCount) {
    const int count = std::max(pageCount, 1);
    range.first = std::clamp(range.first, 1, count);
    range.last = std::clamp(range.last, range.first, count);
    return range;
}

}  // namespace tapwright
