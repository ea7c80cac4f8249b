// The report layout: page geometry, slicing and centring of the graph, the header
// lines and their conditions, the pair lines and the pagination.

#include "printing/report_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace tapwright {
namespace {

PageGeometry Geometry(int pageWidth, double scale, int pageHeight = 6000) {
    return PageGeometry{pageWidth, pageHeight, scale, scale};
}

FilterSpec LowPassWindow() {
    FilterSpec s = DefaultFilterSpec();
    s.WType = Hamming;
    s.Fc1 = 1000.0f;
    s.Taps = 31;
    return s;
}

// The texts of a page without its page label (the last text).
std::vector<std::pair<int, std::string>> Lines(const ReportPage& page) {
    std::vector<std::pair<int, std::string>> lines;
    for (std::size_t i = 0; i + 1 < page.texts.size(); ++i) {
        EXPECT_EQ(page.texts[i].x, 150) << page.texts[i].text;
        lines.emplace_back(page.texts[i].y, page.texts[i].text);
    }
    return lines;
}

TEST(PageGeometry, FromPrinterAndScreenResolutions) {
    const std::optional<PageGeometry> a4 = ComputePageGeometry({600, 600, 210, 297}, 96.0, 96.0);
    ASSERT_TRUE(a4);
    EXPECT_EQ(a4->pageWidth, 4960);   // 600 * 210 / 25.4 = 4960.6
    EXPECT_EQ(a4->pageHeight, 7015);  // 600 * 297 / 25.4 = 7015.7
    EXPECT_DOUBLE_EQ(a4->scaleX, 6.25);
    const std::optional<PageGeometry> mixed = ComputePageGeometry({300, 600, 190, 277}, 120, 96);
    ASSERT_TRUE(mixed);
    EXPECT_EQ(mixed->pageWidth, 2244);
    EXPECT_DOUBLE_EQ(mixed->scaleX, 2.5);
    EXPECT_DOUBLE_EQ(mixed->scaleY, 6.25);
    EXPECT_EQ(mixed->pageHeight, 6543);  // 600 * 277 / 25.4 = 6543.3
    // The texts are laid out for 600 dpi.
    EXPECT_DOUBLE_EQ(a4->textScaleY, 1.0);
    EXPECT_DOUBLE_EQ(mixed->textScaleX, 0.5);
    EXPECT_DOUBLE_EQ(mixed->textScaleY, 1.0);

    const PrinterMetrics bad[] = {{0, 600, 210, 297}, {600, 600, 0, 297}, {600, -1, 210, 297}};
    for (const PrinterMetrics& m : bad) EXPECT_FALSE(ComputePageGeometry(m, 96, 96));
    EXPECT_FALSE(ComputePageGeometry({600, 600, 210, 297}, 0.0, 96.0));
    EXPECT_FALSE(ComputePageGeometry({600, 600, 210, 297}, std::nan(""), 96.0));
    EXPECT_FALSE(ComputePageGeometry({1, 1, 10, 10}, 96.0, 96.0));  // less than a pixel
}

TEST(ResponseReport, PagesSlicesAndCentring) {
    struct Case {
        const char* name;
        int pageWidth;
        double scale;
        int pages;
        GraphSlice last;  // the slice of the last page
    };
    const Case cases[] = {
        // 584 px at 600 dpi on a 96 dpi screen: 3650 printer pixels, centred.
        {"A4-like", 4800, 6.25, 1, {0, 0, 584, 342, 575, 1020, 3650, 2137}},
        {"exactly one page wide", 3650, 6.25, 1, {0, 0, 584, 342, 0, 1020, 3650, 2137}},
        // One pixel more than a page: a second page with what is left (nothing).
        {"one pixel more", 3649, 6.25, 2, {583, 0, 0, 342, -1, 1020, 0, 2137}},
        // Wider than the page: the same destination x, the following slice.
        {"two pages", 2000, 6.25, 2, {320, 0, 264, 342, -825, 1020, 1650, 2137}},
        {"scale 3", 1000, 3.0, 2, {333, 0, 250, 342, -376, 1020, 750, 1026}},
    };
    const FilterSpec spec = LowPassWindow();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ResponseReport report(spec, ReportHeaderState{}, Impulse, false, 584, 342,
                                    Geometry(c.pageWidth, c.scale, 7000));
        ASSERT_EQ(report.PageCount(), c.pages);
        const ReportPage last = report.Page(c.pages);
        ASSERT_TRUE(last.graph);
        const GraphSlice& s = *last.graph;
        const GraphSlice& e = c.last;
        EXPECT_EQ(std::vector<int>({s.sourceX, s.sourceY, s.sourceWidth, s.sourceHeight, s.destX,
                                    s.destY, s.destWidth, s.destHeight}),
                  std::vector<int>({e.sourceX, e.sourceY, e.sourceWidth, e.sourceHeight, e.destX,
                                    e.destY, e.destWidth, e.destHeight}));
        // Every page ends with its label, all at the same place; the header is on
        // page 1 only.
        for (int p = 1; p <= c.pages; ++p) {
            const ReportPage page = report.Page(p);
            ASSERT_FALSE(page.texts.empty());
            const ReportText& label = page.texts.back();
            EXPECT_EQ(label.text, "Page:" + std::to_string(p) + " of " + std::to_string(c.pages));
            EXPECT_EQ(label.x, static_cast<int>(0.9 * c.pageWidth) - 250);
            EXPECT_EQ(label.y, 6880);  // trunc(0.99 * 7000) - 50
            EXPECT_EQ(page.texts.size() > 1, p == 1);
        }
    }
    EXPECT_TRUE(ResponseReport(spec, {}, Impulse, false, 584, 342, Geometry(4800, 6.25))
                    .Page(2)
                    .texts.empty());
    // Unequal resolutions scale the graph's width and height each by its own.
    const ResponseReport uneven(spec, {}, Impulse, false, 584, 342, {4800, 7000, 6.25, 3.0});
    EXPECT_EQ(uneven.Page(1).graph->destWidth, 3650);
    EXPECT_EQ(uneven.Page(1).graph->destHeight, 1026);
}

TEST(ResponseReport, HeaderLinesAndTheirConditions) {
    struct Case {
        const char* name;
        FilterSpec spec;
        ReportHeaderState state;
        int graph;
        bool logScale;
        std::vector<std::string> tail;  // the lines after "Filter Characteristic"
    };
    FilterSpec bandPass = LowPassWindow();
    bandPass.FType = BandPass;
    bandPass.Fc2 = 2500.0f;
    bandPass.Tw = 150.0f;
    FilterSpec highPass = LowPassWindow();
    highPass.FType = HighPass;
    highPass.Fc2 = 2500.0f;
    FilterSpec hilbert = LowPassWindow();
    hilbert.FType = Hilbert;
    hilbert.FChar = AntisymmetricOdd;
    FilterSpec equiripple = LowPassWindow();
    equiripple.FType = Multiband;
    equiripple.WType = Equiripple;
    equiripple.TBand = 3;
    equiripple.Bands[0] = {0.0, 800.0, 1.0};
    equiripple.Bands[1] = {1000.0, 1800.0, 0.0};
    equiripple.Bands[2] = {2000.0, 4000.0, 0.5};
    equiripple.TerCr = ByPeakRatio;
    equiripple.Ratio = 0.0125;
    FilterSpec byIterations = equiripple;
    byIterations.TerCr = ByIterations;
    byIterations.Itern = 20;
    byIterations.TBand = 1;

    const std::vector<Case> cases = {
        {"low pass, Auto Design",
         LowPassWindow(),
         {},
         Impulse,
         true,
         {"Function Type : Hamming Window", "Filter Length : 31",
          "1st Cutoff Frequency : 1000.00 Hz", "Graphical Plot : Impulse Response Plot"}},
        {"high pass, Auto Design",
         highPass,
         {},
         Impulse,
         true,
         {"Function Type : Hamming Window", "Filter Length : 31",
          "1st Cutoff Frequency : 1000.00 Hz", "Graphical Plot : Impulse Response Plot"}},
        {"band pass, length estimated",
         bandPass,
         {false, false, false, 0},
         Magnitude,
         false,
         {"Function Type : Hamming Window", "Filter Length : 31",
          "1st Cutoff Frequency : 1000.00 Hz", "2nd Cutoff Frequency : 2500.00 Hz",
          "Transition Width : 150.00 Hz", "Graphical Plot : Magnitude Response Plot"}},
        {"Hilbert transformer",
         hilbert,
         {false, false, false, 0},
         Phase,
         false,
         {"Function Type : Hamming Window", "Filter Length : 31", "Transition Width : 1.00 Hz",
          "Graphical Plot : Phase Response Plot"}},
        {"three-band equiripple",
         equiripple,
         {true, true, false, 0},
         Magnitude,
         true,
         {"Function Type : Iterative Least Squares (Equiripple)", "Filter Length : 31",
          "Band 01 Frequency :    0.00 - 800.00 Hz   Band 01 Amplitude : 1.00 ",
          "Band 02 Frequency : 1000.00 - 1800.00 Hz   Band 02 Amplitude : 0.00 ",
          "Band 03 Frequency : 2000.00 - 4000.00 Hz   Band 03 Amplitude : 0.50 ",
          "Peak Error Ripple Ratio : 0.01",
          "Graphical Plot : Magnitude Response Plot (Logarithmic)"}},
        {"equiripple by iterations",
         byIterations,
         {true, true, false, 0},
         Impulse,
         true,
         {"Function Type : Iterative Least Squares (Equiripple)", "Filter Length : 31",
          "Band 01 Frequency :    0.00 - 800.00 Hz   Band 01 Amplitude : 1.00 ",
          "Number of Iterations : 20", "Graphical Plot : Impulse Response Plot"}},
        {"Hold On",
         bandPass,
         {false, false, true, Kaiser},
         Magnitude,
         true,
         {"Function Type 1 : Hamming Window", "Function Type 2 : Kaiser Window",
          "Filter Length : 31", "Graphical Plot : Magnitude Response Plot (Logarithmic)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ResponseReport report(c.spec, c.state, c.graph, c.logScale, 584, 342,
                                    Geometry(4800, 6.25));
        const ReportPage page = report.Page(1);
        const auto lines = Lines(page);
        ASSERT_EQ(lines.size(), 5 + c.tail.size());
        EXPECT_EQ(lines[0], std::make_pair(160, std::string("Tapwright")));
        EXPECT_EQ(lines[1], std::make_pair(220, std::string("=========================")));
        EXPECT_EQ(lines[2].second, "Sampling Frequency : 8000.00 Hz");
        EXPECT_EQ(lines[3].second.rfind("Filter Response Type : ", 0), 0u);
        EXPECT_EQ(lines[4].second.rfind("Filter Characteristic : ", 0), 0u);
        for (std::size_t i = 2; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].first, 320 + 100 * static_cast<int>(i - 2));
            if (i >= 5) {
                EXPECT_EQ(lines[i].second, c.tail[i - 5]);
            }
        }
        // The graph starts 100 below the graph's name.
        EXPECT_EQ(page.graph->destY, lines.back().first + 100);
    }
    // The names that depend on the function type list, and values outside the tables.
    FilterSpec odd = hilbert;
    const auto responseLine = [&](bool eq) {
        return Lines(ResponseReport(odd, {eq, true, false, 0}, Impulse, false, 584, 342,
                                    Geometry(4800, 6.25))
                         .Page(1))[3]
            .second;
    };
    EXPECT_EQ(responseLine(false), "Filter Response Type : Hilbert Transformer Filter");
    EXPECT_EQ(responseLine(true), "Filter Response Type : Multi-Bands Filter");
    const std::pair<int, const char*> names[] = {{LowPass, "Low Pass Filter"},
                                                 {HighPass, "High Pass Filter"},
                                                 {BandPass, "Band Pass Filter"},
                                                 {BandStop, "Band Stop Filter"},
                                                 {Differentiator, "Differentiator Filter"}};
    const char* characteristics[] = {"Symmetrical Impulse Response, Odd Filter Length",
                                     "Symmetrical Impulse Response, Even Filter Length",
                                     "Anti-Symmetrical Impulse Response, Odd Filter Length",
                                     "Anti-Symmetrical Impulse Response, Even Filter Length"};
    for (const auto& [type, name] : names) {
        odd.FType = static_cast<ResponseType>(type);
        odd.FChar = static_cast<SymmetryType>(type % 4);
        const auto lines =
            Lines(ResponseReport(odd, {}, Impulse, false, 584, 342, Geometry(4800, 6.25)).Page(1));
        EXPECT_EQ(lines[3].second, std::string("Filter Response Type : ") + name);
        EXPECT_EQ(lines[4].second,
                  std::string("Filter Characteristic : ") + characteristics[type % 4]);
    }
    odd.FType = static_cast<ResponseType>(9);
    odd.FChar = static_cast<SymmetryType>(-1);
    EXPECT_EQ(responseLine(false), "Filter Response Type : ");
    EXPECT_EQ(
        Lines(ResponseReport(odd, {}, Impulse, false, 584, 342, Geometry(4800, 6.25)).Page(1))[4]
            .second,
        "Filter Characteristic : ");
}

// The pair numbers (k + 1) a page carries, and the centre line's y (0: none).
struct PageContent {
    int firstPair = 0;
    int lastPair = 0;
    int firstY = 0;
    int centreY = 0;
};

PageContent Content(const CoefficientReport& report, int p) {
    PageContent c;
    for (const ReportText& t : report.Page(p).texts) {
        int a = 0, b = 0;
        if (std::sscanf(t.text.c_str(), "H(%d)  -->  %*s  <--  H(%d)", &a, &b) == 2 && a == b) {
            c.centreY = t.y;
        } else if (std::sscanf(t.text.c_str(), "H(%d)  -->", &a) == 1) {
            if (c.firstPair == 0) {
                c.firstPair = a;
                c.firstY = t.y;
            }
            c.lastPair = a;
        }
    }
    return c;
}

std::vector<double> Ramp(int n) {
    std::vector<double> h(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) h[static_cast<std::size_t>(i)] = 0.001 * (i + 1);
    return h;
}

TEST(CoefficientReport, Pagination) {
    struct Case {
        int taps;
        std::vector<PageContent> pages;
    };
    // Header of a window design with Auto Design: last line at 820, pairs from 1100.
    const std::vector<Case> cases = {
        {31, {{1, 15, 1100, 1100 + 15 * 80}}},
        {66, {{1, 33, 1100, 0}, {0, 0, 0, 0}}},
        {67, {{1, 33, 1100, 0}, {0, 0, 0, 160}}},
        {154, {{1, 33, 1100, 0}, {34, 77, 160, 0}, {0, 0, 0, 0}}},
        {200, {{1, 33, 1100, 0}, {34, 78, 160, 0}, {79, 100, 160, 0}}},
        {201, {{1, 33, 1100, 0}, {34, 78, 160, 0}, {79, 100, 160, 160 + 22 * 80}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.taps);
        FilterSpec spec = LowPassWindow();
        spec.Taps = c.taps;
        const CoefficientReport report(spec, {}, Ramp(c.taps), Geometry(4800, 6.25));
        ASSERT_EQ(report.PageCount(), static_cast<int>(c.pages.size()));
        EXPECT_EQ(CoefficientReport::PageCountFor(c.taps), report.PageCount());
        for (int p = 1; p <= report.PageCount(); ++p) {
            const PageContent got = Content(report, p);
            const PageContent& want = c.pages[static_cast<std::size_t>(p - 1)];
            EXPECT_EQ(got.firstPair, want.firstPair) << "page " << p;
            EXPECT_EQ(got.lastPair, want.lastPair) << "page " << p;
            EXPECT_EQ(got.firstY, want.firstY) << "page " << p;
            EXPECT_EQ(got.centreY, want.centreY) << "page " << p;
            EXPECT_EQ(report.Page(p).texts.back().text,
                      "Page:" + std::to_string(p) + " of " + std::to_string(report.PageCount()));
        }
    }
    EXPECT_EQ(CoefficientReport::PageCountFor(95849), 1066);
}

TEST(CoefficientReport, HeaderAndPairLines) {
    FilterSpec spec = LowPassWindow();
    spec.Taps = 5;
    spec.FChar = AntisymmetricOdd;
    const std::vector<double> h = {-1.0, 0.5, 1e-300, -0.5, 1.0};
    const CoefficientReport report(spec, {}, h, Geometry(4800, 6.25));
    const auto lines = Lines(report.Page(1));
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[5], std::make_pair(620, std::string("Function Type : Hamming Window")));
    EXPECT_EQ(lines[7], std::make_pair(820, std::string("1st Cutoff Frequency : 1000.00 Hz")));
    EXPECT_EQ(lines[8], std::make_pair(940, std::string("Filter Coefficients")));
    EXPECT_EQ(lines[9], std::make_pair(1000, std::string("-------------------")));
    // Values right-aligned by blanks; "-H" on pair lines of an antisymmetric
    // response, never on the centre line.
    EXPECT_EQ(lines[10].second, "H(01)  -->  -1.000000e+00  <--  -H(05)");
    EXPECT_EQ(report.PairLine(1), "H(02)  -->   5.000000e-01  <--  -H(04)");
    EXPECT_EQ(report.CentreLine(), "H(03)  -->  1.000000e-300  <--  H(03)");
    EXPECT_EQ(report.PairLine(2), "");  // beyond the pairs
    FilterSpec even = spec;
    even.Taps = 4;
    even.FChar = AntisymmetricEven;
    const CoefficientReport evenReport(even, {}, {-1.0, 0.5, -0.5, 1.0}, Geometry(4800, 6.25));
    EXPECT_EQ(evenReport.PairLine(1), "H(02)  -->   5.000000e-01  <--  -H(03)");

    // The Hold On form belongs to the response report only.
    const CoefficientReport held(spec, {false, true, true, Kaiser}, h, Geometry(4800, 6.25));
    EXPECT_EQ(Lines(held.Page(1))[5].second, "Function Type : Hamming Window");
}

TEST(CoefficientReport, PageRangeTwoToThree) {
    FilterSpec spec = LowPassWindow();
    spec.Taps = 200;
    const CoefficientReport report(spec, {}, Ramp(200), Geometry(4800, 6.25));
    const PageRange range = ClampPageRange({2, 3}, report.PageCount());
    EXPECT_EQ(range.first, 2);
    EXPECT_EQ(range.last, 3);
    const ReportPage second = report.Page(range.first);
    EXPECT_EQ(second.texts.front().y, 160);
    EXPECT_EQ(second.texts.front().text.rfind("H(34)  -->  ", 0), 0u);
    // At 1200 dpi every text place is twice as far, the page label's offsets included.
    PageGeometry fine = Geometry(9600, 12.5, 12000);
    fine.textScaleX = fine.textScaleY = 2.0;
    const ReportPage twice = CoefficientReport(spec, {}, Ramp(200), fine).Page(2);
    ASSERT_EQ(twice.texts.size(), second.texts.size());
    for (std::size_t i = 0; i + 1 < twice.texts.size(); ++i) {
        EXPECT_EQ(twice.texts[i].x, 2 * second.texts[i].x);
        EXPECT_EQ(twice.texts[i].y, 2 * second.texts[i].y);
    }
    EXPECT_EQ(twice.texts.back().x, 8640 - 500);  // trunc(0.9 * 9600) - 2 * 250
    EXPECT_EQ(twice.texts.back().y, 11880 - 100);
    const ResponseReport one(spec, {}, Impulse, true, 584, 300, Geometry(4800, 6.25));
    const ResponseReport two(spec, {}, Impulse, true, 584, 300, fine);
    EXPECT_EQ(two.Page(1).graph->destY, 2 * one.Page(1).graph->destY);
    EXPECT_EQ(second.texts.back().text, "Page:2 of 3");
    EXPECT_EQ(report.Page(3).texts.back().text, "Page:3 of 3");

    const std::pair<PageRange, PageRange> clamps[] = {
        {{0, 9}, {1, 3}}, {{3, 1}, {3, 3}}, {{-5, -2}, {1, 1}}, {{4, 5}, {3, 3}}};
    for (const auto& [in, out] : clamps) {
        const PageRange r = ClampPageRange(in, 3);
        EXPECT_EQ(r.first, out.first);
        EXPECT_EQ(r.last, out.last);
    }
}

}  // namespace
}  // namespace tapwright
