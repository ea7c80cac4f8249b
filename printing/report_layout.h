#pragma once

// The two printed reports as plain data. For each page: every text with its place
// in printer pixels (x to the right, y downwards from the printable area's top-left
// corner; y is the top of the text cell) and, for the response report, the slice of
// the graph bitmap with the rectangle it is stretched to. Pages are made one at a
// time on request, so a report of thousands of pages never sits in memory whole.
// Standard library only.

#include <optional>
#include <string>
#include <vector>

#include "core/filter_spec.h"

namespace tapwright {

// What a printer tells about its pages: resolution in pixels per inch and the size
// of the printable area in whole millimetres.
struct PrinterMetrics {
    int dpiX = 0;
    int dpiY = 0;
    int widthMm = 0;
    int heightMm = 0;
};

struct PageGeometry {
    int pageWidth = 0;    // printer pixels
    int pageHeight = 0;   // printer pixels
    double scaleX = 0.0;  // printer pixels per screen pixel
    double scaleY = 0.0;
    // Printer pixels per pixel of a 600 dpi page: the texts are laid out for 600 dpi
    // and keep their size on paper at any resolution.
    double textScaleX = 1.0;
    double textScaleY = 1.0;
};

// The reports' text size on paper, points (1/72 inch). Lines 100 pixels apart at
// 600 dpi (12 pt) leave room for it.
inline constexpr double kReportTextPoints = 9.0;
// The resolution the text positions are laid out for, pixels per inch.
inline constexpr double kReportTextDpi = 600.0;

// Page width trunc(dpiX * widthMm / 25.4), page height likewise, the scales
// printer dpi / screen dpi and the text scales printer dpi / 600. Nothing when a
// value is not positive (or not finite), or the page comes out less than one pixel
// wide or high.
std::optional<PageGeometry> ComputePageGeometry(const PrinterMetrics& printer, double screenDpiX,
                                                double screenDpiY);

// A text's place in printer pixels: at 600 dpi as the header tables give it, scaled
// by the page's text scales at other resolutions.
struct ReportText {
    int x = 0;
    int y = 0;
    std::string text;
};

// StretchBlt of the graph bitmap onto the page: the source rectangle in bitmap
// pixels, the destination in printer pixels. The destination may start left of
// the page (a graph wider than the page continues on the next page).
struct GraphSlice {
    int sourceX = 0;
    int sourceY = 0;
    int sourceWidth = 0;
    int sourceHeight = 0;
    int destX = 0;
    int destY = 0;
    int destWidth = 0;
    int destHeight = 0;
};

struct ReportPage {
    int number = 0;  // from 1
    std::vector<ReportText> texts;
    std::optional<GraphSlice> graph;
};

// The window's state that the header reads besides the filter spec.
struct ReportHeaderState {
    bool equiripple = false;       // the Function Type list shows "Equiripple"
    bool autoDesign = true;        // "Auto Design Filter" is checked
    bool holdActive = false;       // Hold On is active (the response report only)
    int heldMethod = Rectangular;  // DesignMethod of the held design
};

// A report whose pages are made one at a time.
class ReportPages {
  public:
    virtual ~ReportPages() = default;
    virtual int PageCount() const = 0;
    // Page p, 1 <= p <= PageCount(); any other p gives an empty page.
    virtual ReportPage Page(int p) const = 0;
};

// The response report: the header with the filter's input lines and the graph's
// name on page 1, the graph bitmap stretched by the printer/screen scale and, where
// it is wider than the page, continued on the following pages.
class ResponseReport : public ReportPages {
  public:
    // `graph` (GraphType) and `logScale` name the graph shown; the bitmap is
    // bitmapWidth x bitmapHeight screen pixels (both > 0).
    ResponseReport(const FilterSpec& spec, const ReportHeaderState& state, int graph, bool logScale,
                   int bitmapWidth, int bitmapHeight, const PageGeometry& geometry);

    int PageCount() const override { return pageCount_; }
    ReportPage Page(int p) const override;

  private:
    std::vector<ReportText> header_;  // page 1's lines
    int graphY_ = 0;                  // printer pixels
    int bitmapWidth_;
    int bitmapHeight_;
    PageGeometry geometry_;
    int pageCount_ = 1;
};

// The coefficient report: the header on page 1, then one line per symmetric pair
// of coefficients, 33 on page 1 and 45 on every later page, and for an odd length
// the centre line on the last page.
class CoefficientReport : public ReportPages {
  public:
    // N = spec.Taps coefficients are read from `coeffs`, which must hold exactly N.
    // The coefficients are copied: the report never sees a later design.
    CoefficientReport(const FilterSpec& spec, const ReportHeaderState& state,
                      const std::vector<double>& coeffs, const PageGeometry& geometry);

    int PageCount() const override { return pageCount_; }
    ReportPage Page(int p) const override;

    // Page count of a report of `taps` coefficients: 1 below 33 pair lines, then
    // one more page per 45 (whatever the page geometry).
    static int PageCountFor(int taps);

    // Pair line k (0 <= k < N/2) and the centre line of an odd length.
    std::string PairLine(int k) const;
    std::string CentreLine() const;

  private:
    std::string ValueColumn(int k) const;

    FilterSpec spec_;
    std::vector<ReportText> header_;  // page 1's lines, headings included
    int firstPairY_ = 0;              // printer pixels, page 1
    std::vector<double> coeffs_;
    int pairs_ = 0;       // N / 2
    int valueWidth_ = 0;  // characters of the longest value text
    PageGeometry geometry_;
    int pageCount_ = 1;
};

// A page range from 1: first <= last.
struct PageRange {
    int first = 1;
    int last = 1;
};

// The range clamped into 1 ... pageCount (pageCount >= 1).
PageRange ClampPageRange(PageRange range, int pageCount);

}  // namespace tapwright
