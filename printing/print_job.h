#pragma once

// The jobs of the two print buttons: the printer, the print dialog, the messages
// and the success boxes around the drawing of report_painter.h. The dialog sits
// behind PrintDialogRunner and the boxes behind PrintMessages, so a job runs
// whole in tests without either. QtPrintSupport and QtWidgets.

#include <string>

#include "core/filter_spec.h"
#include "core/fir_design.h"
#include "core/messages.h"
#include "printing/report_painter.h"

class QPrinter;
class QWidget;

namespace tapwright {

// The boxes a print job shows: a numbered message with the stop icon, or a text
// with the information icon. Each returns when the box is closed.
class PrintMessages {
  public:
    virtual ~PrintMessages() = default;
    virtual void ShowMessage(MessageCode code) = 0;
    virtual void ShowInformation(const std::string& text) = 0;
};

// The print dialog. Run shows it for `printer` with pages 1 ... pageCount as both
// the allowed and the preset range, and returns true when the user pressed OK;
// the printer then carries the user's choices (a printer, or a PDF file, and the
// page range).
class PrintDialogRunner {
  public:
    virtual ~PrintDialogRunner() = default;
    virtual bool Run(QPrinter& printer, int pageCount) = 0;
};

// QPrintDialog, modal over `parent`; printing a selection is not offered.
class QtPrintDialogRunner : public PrintDialogRunner {
  public:
    explicit QtPrintDialogRunner(QWidget* parent) : parent_(parent) {}
    bool Run(QPrinter& printer, int pageCount) override;

  private:
    QWidget* parent_;
};

enum class PrintOutcome {
    Printed,    // the success box was shown
    Cancelled,  // the dialog was cancelled or the progress callback stopped the job
    Failed,     // a message was shown; nothing was printed
    NoDesign,   // the design does not match the filter spec; nothing shown
};

// The default printer, or, where no printer is installed, the PDF target of the
// print dialog with `pdfPath` as the proposed file.
void SetUpDefaultPrinter(QPrinter& printer, const std::string& pdfPath);

// The PDF file proposed where no printer is installed: "response.pdf" or
// "coefficients.pdf" in the home folder.
std::string DefaultReportPdfPath(ReportKind kind);

// The whole job of the "Response" (kind Response) or "Coefficients" button: the
// report's inputs are copied, the response graph drawn, the printer set up, the
// dialog shown, the pages drawn (all of them for the response report, the chosen
// range for the coefficient report) and the success box shown. A PDF target is
// written whole or not at all. The progress callback runs after every page.
// Messages: ReportBitmapFailed, PrinterNotFound, PrintJobFailed.
PrintOutcome PrintReport(ReportKind kind, const FilterSpec& spec, const CFirDesign& design,
                         const ReportDisplay& display, QPrinter& printer, PrintDialogRunner& dialog,
                         PrintMessages& messages, const ReportProgress& progress);

// PrintReport on the default printer (SetUpDefaultPrinter with DefaultReportPdfPath)
// with QPrintDialog over `parent`.
PrintOutcome PrintReport(ReportKind kind, const FilterSpec& spec, const CFirDesign& design,
                         const ReportDisplay& display, QWidget* parent, PrintMessages& messages,
                         const ReportProgress& progress);

}  // namespace tapwright
