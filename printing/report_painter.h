#pragma once

// Drawing the two reports with QPainter on any paged device (a printer, a PDF
// writer), and writing them as PDF files. The pages come from report_layout.h; the
// response report's graph is drawn again by the window's own plot operations.
// QtGui only.

#include <QImage>
#include <QPageLayout>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/filter_spec.h"
#include "core/fir_design.h"
#include "graphs/graph_canvases.h"
#include "printing/report_layout.h"

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace tapwright {

enum class ReportKind { Response, Coefficients };

// What the window shows when a report is made, besides the filter spec and the
// design: the graph controls, and the two design inputs the header reads.
struct ReportDisplay {
    GraphOptions graph;       // graph type, Log Scale, view and range, Grid On, Hold On ...
    bool equiripple = false;  // the Function Type list shows "Equiripple"
    bool autoDesign = true;   // "Auto Design Filter" is checked
    // The main window's resolution, pixels per inch, and the client rectangle of
    // its main graph area in those pixels.
    double screenDpiX = 96.0;
    double screenDpiY = 96.0;
    CanvasRect graphRect = kMainClientRect;
    // The curve Hold On keeps (its method is named in the header); null without one.
    const HeldCurve* held = nullptr;
};

enum class ReportStatus {
    Done,
    Cancelled,     // the progress callback asked to stop; nothing is kept
    NoDesign,      // the design does not hold the filter spec's Taps coefficients
    BitmapFailed,  // the graph bitmap cannot be made
    NoGeometry,    // the device gives no usable resolution or page size
    DeviceFailed,  // the painter cannot start, a page cannot be added, or the file
                   // cannot be written
};

// Called on the drawing thread after each page with the pages done and the pages
// of the job (done <= total); returning false cancels the job.
using ReportProgress = std::function<bool(int done, int total)>;

// Everything a report reads, copied when the job starts: a report never mixes the
// filter spec of one design with the coefficients of another.
struct ReportSource {
    ReportKind kind = ReportKind::Response;
    FilterSpec spec;
    ReportHeaderState header;
    int graph = Impulse;  // GraphType shown (response report)
    bool logScale = true;
    QImage graphImage;  // the graph bitmap (response report)
    std::vector<double> coeffs;
    double screenDpiX = 96.0;
    double screenDpiY = 96.0;
};

// The response report's bitmap: the graph the display shows, drawn again on
// canvases of `rect`'s size by the window's plot operations on the plain
// background, the frame ORed in, and the grid with Grid On. The Hold On overlay is
// the composed image as shown. Null when the canvases cannot be made.
QImage DrawReportGraph(const FilterSpec& spec, const CFirDesign& design, const HeldCurve& held,
                       const GraphOptions& options, const CanvasRect& rect);

// Copies what the report reads (and draws the response report's bitmap). NoDesign,
// BitmapFailed or Done.
ReportStatus MakeReportSource(ReportKind kind, const FilterSpec& spec, const CFirDesign& design,
                              const ReportDisplay& display, ReportSource& out);

// Resolution and printable size of a device.
PrinterMetrics DeviceMetrics(const QPaintDevice& device);

// The pages of `source` on a device with these metrics; null without a page
// geometry.
std::unique_ptr<ReportPages> LayOutReport(const ReportSource& source,
                                          const PrinterMetrics& metrics);

// Draws one page with a painter active on the device: the graph slice stretched
// pixel for pixel (no smoothing, stored losslessly), then the texts in one sans
// font of kReportTextPoints at the device's resolution, each anchored at the top-left of its cell.
void DrawReportPage(QPainter& painter, const ReportPage& page, const QImage* graph);

// Draws pages range.first ... range.last (clamped into the report) on the device
// with a painter of its own, a new device page between pages. On cancel, `abort`
// (when given) runs while the painter is still active. Done, Cancelled or
// DeviceFailed.
ReportStatus DrawReportPages(QPagedPaintDevice& device, const ReportPages& pages, PageRange range,
                             const QImage* graph, const ReportProgress& progress,
                             const std::function<void()>& abort = {});

// Page layout of a PDF report: the page size, portrait, 10 mm margins (the
// printable area of Qt's own PDF printer).
QPageLayout PdfPageLayout(QPageSize::PageSizeId size);

// Writes the report as a PDF file at `dpi` pixels per inch (1 ... 9600), whole or
// not at all: drawn into a temporary file beside `path` that is renamed into place
// when complete. `range` is clamped into the report; nothing means every page.
// `error` gets a description of a DeviceFailed or NoGeometry.
ReportStatus WriteReportPdf(const std::string& path, const ReportSource& source, int dpi,
                            const QPageLayout& layout, std::optional<PageRange> range,
                            const ReportProgress& progress, std::string* error);

// Page count of a report on a device with these metrics (0 without a geometry).
int ReportPageCount(const ReportSource& source, const PrinterMetrics& metrics);

}  // namespace tapwright
