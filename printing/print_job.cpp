#include "printing/print_job.h"

#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace tapwright {

bool QtPrintDialogRunner::Run(QPrinter& printer, int pageCount) {
    printer.setFromTo(1, pageCount);
    printer.setPrintRange(QPrinter::PageRange);
    QPrintDialog dialog(&printer, parent_);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setMinMax(1, pageCount);
    dialog.setFromTo(1, pageCount);
    dialog.setPrintRange(QAbstractPrintDialog::PageRange);
    return dialog.exec() == QDialog::Accepted;
}

void SetUpDefaultPrinter(QPrinter& printer, const std::string& pdfPath) {
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdfPath));
        return;
    }
    const QPrinterInfo standard = QPrinterInfo::defaultPrinter();
    if (!standard.isNull()) printer.setPrinterName(standard.printerName());
}

PrintOutcome PrintReport(ReportKind kind, const FilterSpec& spec, const CFirDesign& design,
                         const ReportDisplay& display, QPrinter& printer, PrintDialogRunner& dialog,
                         PrintMessages& messages, const ReportProgress& progress) {
    auto fail = [&](MessageCode code) {
        messages.ShowMessage(code);
        return PrintOutcome::Failed;
    };

    ReportSource source;
    switch (MakeReportSource(kind, spec, design, display, source)) {
        case ReportStatus::Done:
            break;
        case ReportStatus::BitmapFailed:
            return fail(MessageCode::ReportBitmapFailed);
        default:
            return PrintOutcome::NoDesign;
    }

    if (!printer.isValid()) return fail(MessageCode::PrinterNotFound);
    const int count = ReportPageCount(source, DeviceMetrics(printer));
    if (count < 1) return fail(MessageCode::PrinterNotFound);
    if (!dialog.Run(printer, count)) return PrintOutcome::Cancelled;

    // The dialog may have chosen another printer or paper: lay the pages out for
    // the page as it now is.
    const std::unique_ptr<ReportPages> pages = LayOutReport(source, DeviceMetrics(printer));
    if (!pages) return fail(MessageCode::PrinterNotFound);
    PageRange range{1, pages->PageCount()};
    // The response report prints every page whatever range was chosen.
    if (kind == ReportKind::Coefficients && printer.printRange() == QPrinter::PageRange) {
        range = ClampPageRange({printer.fromPage(), printer.toPage()}, pages->PageCount());
    }

    ReportStatus status;
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        // A file target is written whole or not at all, not through the printer.
        const QString path = printer.outputFileName();
        if (path.isEmpty()) return fail(MessageCode::PrintJobFailed);
        status = WriteReportPdf(path.toStdString(), source, printer.resolution(),
                                printer.pageLayout(), range, progress, nullptr);
    } else {
        printer.setDocName(QString());
        const QImage* graph = kind == ReportKind::Response ? &source.graphImage : nullptr;
        status = DrawReportPages(printer, *pages, range, graph, progress, [&] { printer.abort(); });
    }
    switch (status) {
        case ReportStatus::Done: {
            // The box names where the report went: the file written, or the printer.
            std::string done =
                kind == ReportKind::Response ? kResponsePrintedText : kCoefficientsPrintedText;
            if (printer.outputFormat() == QPrinter::PdfFormat) {
                done += " to " + printer.outputFileName().toStdString();
            } else if (!printer.printerName().isEmpty()) {
                done += " on " + printer.printerName().toStdString();
            }
            messages.ShowInformation(done);
            return PrintOutcome::Printed;
        }
        case ReportStatus::Cancelled:
            return PrintOutcome::Cancelled;
        default:
            return fail(MessageCode::PrintJobFailed);
    }
}

std::string DefaultReportPdfPath(ReportKind kind) {
    const QString file = kind == ReportKind::Response ? QStringLiteral("response.pdf")
                                                      : QStringLiteral("coefficients.pdf");
    return QDir::home().filePath(file).toStdString();
}

PrintOutcome PrintReport(ReportKind kind, const FilterSpec& spec, const CFirDesign& design,
                         const ReportDisplay& display, QWidget* parent, PrintMessages& messages,
                         const ReportProgress& progress) {
    QPrinter printer(QPrinter::HighResolution);
    SetUpDefaultPrinter(printer, DefaultReportPdfPath(kind));
    QtPrintDialogRunner dialog(parent);
    return PrintReport(kind, spec, design, display, printer, dialog, messages, progress);
}

}  // namespace tapwright
