#include "printing/report_painter.h"

#include <QFont>
#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QString>
#include <algorithm>
#include <cmath>

namespace tapwright {

namespace {

// One sans font for every text of a report, kReportTextPoints on paper: at the
// device's resolution, the size the layout's text scale leaves room for.
QFont ReportFont(const QPaintDevice& device) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    const int dpi = device.logicalDpiY() > 0 ? device.logicalDpiY() : 600;
    font.setPixelSize(std::max(1, static_cast<int>(std::ceil(kReportTextPoints * dpi / 72.0))));
    // No ligatures: "Coefficients" keeps its letters in the PDF's text.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

}  // namespace

QImage DrawReportGraph(const FilterSpec& spec, const CFirDesign& design, const HeldCurve& held,
                       const GraphOptions& options, const CanvasRect& rect) {
    GraphCanvases c;
    if (!CreateStartupImages(c, rect, kSmallClientRect)) return QImage();
    ResetWorkingCanvases(c, options.holdActive);
    // The printed plot is drawn on the plain background; the frame is ORed in after.
    c.mainPlot.Clear(kBackgroundColour);
    const GraphDrawn drawn = DrawGraphs(c, design, held, spec, options, rect, kSmallClientRect);
    // The Hold On overlay is printed as shown, grid included; any other graph from
    // its working canvas.
    GraphOptions composed = options;
    composed.holdActive = drawn.overlay;
    composed.gridOn = drawn.overlay && options.gridOn;
    RefreshGraphs(c, composed);
    c.mainBackground.OrTo(&c.mainFront);
    if (options.gridOn) c.gridOverlay.OrTo(&c.mainFront);
    return c.mainFront.Image().copy();
}

ReportStatus MakeReportSource(ReportKind kind, const FilterSpec& spec, const CFirDesign& design,
                              const ReportDisplay& display, ReportSource& out) {
    if (spec.Taps <= 0 || design.coeffs.size() != static_cast<std::size_t>(spec.Taps)) {
        return ReportStatus::NoDesign;
    }
    ReportSource s;
    s.kind = kind;
    s.spec = spec;
    s.header.equiripple = display.equiripple;
    s.header.autoDesign = display.autoDesign;
    static const HeldCurve kNoHeldCurve;
    const HeldCurve& held = display.held ? *display.held : kNoHeldCurve;
    s.header.heldMethod = held.method;
    s.screenDpiX = display.screenDpiX;
    s.screenDpiY = display.screenDpiY;
    if (kind == ReportKind::Response) {
        const GraphDrawn drawn = ResolveGraph(spec, display.graph);
        s.graph = drawn.graph;
        s.logScale = drawn.logScale;
        s.header.holdActive = display.graph.holdActive;
        s.graphImage = DrawReportGraph(spec, design, held, display.graph, display.graphRect);
        if (s.graphImage.isNull()) return ReportStatus::BitmapFailed;
    } else {
        s.coeffs = design.coeffs;
    }
    out = std::move(s);
    return ReportStatus::Done;
}

PrinterMetrics DeviceMetrics(const QPaintDevice& device) {
    PrinterMetrics m;
    m.dpiX = device.logicalDpiX();
    m.dpiY = device.logicalDpiY();
    m.widthMm = device.widthMM();
    m.heightMm = device.heightMM();
    return m;
}

std::unique_ptr<ReportPages> LayOutReport(const ReportSource& source,
                                          const PrinterMetrics& metrics) {
    const std::optional<PageGeometry> geometry =
        ComputePageGeometry(metrics, source.screenDpiX, source.screenDpiY);
    if (!geometry) return nullptr;
    if (source.kind == ReportKind::Response) {
        return std::make_unique<ResponseReport>(source.spec, source.header, source.graph,
                                                source.logScale, source.graphImage.width(),
                                                source.graphImage.height(), *geometry);
    }
    return std::make_unique<CoefficientReport>(source.spec, source.header, source.coeffs,
                                               *geometry);
}

int ReportPageCount(const ReportSource& source, const PrinterMetrics& metrics) {
    const std::unique_ptr<ReportPages> pages = LayOutReport(source, metrics);
    return pages ? pages->PageCount() : 0;
}

void DrawReportPage(QPainter& painter, const ReportPage& page, const QImage* graph) {
    if (page.graph && graph && !graph->isNull()) {
        const GraphSlice& s = *page.graph;
        // Only the part of the slice that lies inside the bitmap.
        const QRect source =
            QRect(s.sourceX, s.sourceY, s.sourceWidth, s.sourceHeight) & graph->rect();
        if (!source.isEmpty() && s.destWidth > 0 && s.destHeight > 0) {
            painter.drawImage(QRect(s.destX, s.destY, s.destWidth, s.destHeight), *graph, source);
        }
    }
    painter.setFont(ReportFont(*painter.device()));
    painter.setPen(Qt::black);
    const int ascent = painter.fontMetrics().ascent();
    for (const ReportText& t : page.texts) {
        painter.drawText(QPoint(t.x, t.y + ascent), QString::fromStdString(t.text));
    }
}

ReportStatus DrawReportPages(QPagedPaintDevice& device, const ReportPages& pages, PageRange range,
                             const QImage* graph, const ReportProgress& progress,
                             const std::function<void()>& abort) {
    range = ClampPageRange(range, pages.PageCount());
    QPainter painter;
    if (!painter.begin(&device)) return ReportStatus::DeviceFailed;
    // Pixel for pixel, as a block stretch does, and never stored as JPEG.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const int total = range.last - range.first + 1;
    for (int p = range.first; p <= range.last; ++p) {
        if (p > range.first && !device.newPage()) {
            painter.end();
            return ReportStatus::DeviceFailed;
        }
        DrawReportPage(painter, pages.Page(p), graph);
        if (progress && !progress(p - range.first + 1, total)) {
            if (abort) abort();
            painter.end();
            return ReportStatus::Cancelled;
        }
    }
    return painter.end() ? ReportStatus::Done : ReportStatus::DeviceFailed;
}

QPageLayout PdfPageLayout(QPageSize::PageSizeId size) {
    return QPageLayout(QPageSize(size), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

ReportStatus WriteReportPdf(const std::string& path, const ReportSource& source, int dpi,
                            const QPageLayout& layout, std::optional<PageRange> range,
                            const ReportProgress& progress, std::string* error) {
    auto fail = [&](ReportStatus status, const std::string& why) {
        if (error) *error = why;
        return status;
    };
    if (dpi < 1 || dpi > 9600) return fail(ReportStatus::NoGeometry, "resolution out of range");

    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        return fail(ReportStatus::DeviceFailed,
                    "cannot create " + path + ": " + file.errorString().toStdString());
    }
    QPdfWriter writer(&file);
    writer.setResolution(dpi);
    writer.setCreator(QStringLiteral("Tapwright"));
    if (!writer.setPageLayout(layout)) {
        file.cancelWriting();
        return fail(ReportStatus::NoGeometry, "the page layout is not usable");
    }
    const std::unique_ptr<ReportPages> pages = LayOutReport(source, DeviceMetrics(writer));
    if (!pages) {
        file.cancelWriting();
        return fail(ReportStatus::NoGeometry, "the page is too small");
    }
    const PageRange all{1, pages->PageCount()};
    const ReportStatus status = DrawReportPages(
        writer, *pages, range.value_or(all),
        source.kind == ReportKind::Response ? &source.graphImage : nullptr, progress);
    if (status != ReportStatus::Done) {
        file.cancelWriting();
        return status == ReportStatus::Cancelled ? status : fail(status, "cannot write " + path);
    }
    if (!file.commit()) {
        return fail(ReportStatus::DeviceFailed,
                    "cannot write " + path + ": " + file.errorString().toStdString());
    }
    return ReportStatus::Done;
}

}  // namespace tapwright
