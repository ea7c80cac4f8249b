// The Qt side of printing: a page drawn on a device, the printed graph bitmap, and
// the print buttons' jobs run with a stand-in dialog and recorded boxes.

#include "printing/print_job.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/printing/pdf_text.h"

namespace tapwright {
namespace {

namespace fs = std::filesystem;

class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[16] = "printing-tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

struct TempDir {
    fs::path path;
    TempDir() {
        path = fs::temp_directory_path() / ("tapwright-print-" + std::to_string(::getpid()));
        fs::create_directories(path);
    }
    ~TempDir() { fs::remove_all(path); }
    int Files() const {
        int n = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(path)) ++n;
        return n;
    }
};

bool IsPaper(QRgb c) {
    return qRed(c) > 240 && qGreen(c) > 240 && qBlue(c) > 240;
}

TEST(ReportPage, StretchesTheSliceAndAnchorsTextsAtTheirTop) {
    QImage graph(4, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) graph.setPixel(x, y, qRgb(40 * x, 100 + 50 * y, 7));
    }
    ReportPage page;
    page.graph = GraphSlice{1, 0, 3, 2, 10, 20, 30, 20};  // columns 1 ... 3, ten times
    page.texts.push_back({150, 160, "Tapwright"});
    QImage sheet(600, 300, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    {
        QPainter painter(&sheet);
        DrawReportPage(painter, page, &graph);
    }
    for (int y = 0; y < 2; ++y) {
        for (int x = 1; x < 4; ++x) {
            EXPECT_EQ(sheet.pixel(10 + 10 * (x - 1) + 5, 20 + 10 * y + 5), graph.pixel(x, y));
        }
    }
    EXPECT_TRUE(IsPaper(sheet.pixel(9, 25)));
    EXPECT_TRUE(IsPaper(sheet.pixel(40, 25)));
    EXPECT_TRUE(IsPaper(sheet.pixel(15, 19)));
    EXPECT_TRUE(IsPaper(sheet.pixel(15, 40)));

    // The text cell starts at y = 160: ink below it, none above.
    int top = 300, bottom = 0;
    for (int y = 100; y < 300; ++y) {
        for (int x = 140; x < 600; ++x) {
            if (!IsPaper(sheet.pixel(x, y))) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    EXPECT_GE(top, 160);
    EXPECT_LE(top, 175);
    EXPECT_LT(bottom, 160 + 80);  // below the next pair line's place
}

CFirDesign DesignLowPass(int taps, FilterSpec& spec) {
    spec = DefaultFilterSpec();
    spec.WType = Hamming;
    spec.Fc1 = 1000.0f;
    spec.Taps = taps;
    spec.FChar = taps % 2 == 1 ? SymmetricOdd : SymmetricEven;
    CFirDesign design;
    EXPECT_TRUE(
        design.DesignWindow(LowPass, Hamming, 1000.0f, 0.0f, 8000.0f, taps, 512, 4.0, spec.FChar)
            .Designed());
    return design;
}

TEST(ReportGraph, FrameAndGridAreOredOntoThePlainBackground) {
    FilterSpec spec;
    const CFirDesign design = DesignLowPass(31, spec);
    GraphOptions options;
    options.graph = Magnitude;
    options.logScale = false;
    const QImage plain = DrawReportGraph(spec, design, HeldCurve{}, options, kMainClientRect);
    ASSERT_EQ(plain.size(), QSize(584, 342));
    // The left frame line, RGB(105,170,100) ORed onto RGB(40,85,85).
    EXPECT_EQ(plain.pixel(80, 200), qRgb(105, 255, 117));
    EXPECT_EQ(plain.pixel(5, 335), qRgb(40, 85, 85));
    options.gridOn = true;
    const QImage grid = DrawReportGraph(spec, design, HeldCurve{}, options, kMainClientRect);
    // A vertical grid line above the curve's passband: RGB(50,50,50) ORed in.
    EXPECT_EQ(plain.pixel(365, 40), qRgb(40, 85, 85));
    EXPECT_EQ(grid.pixel(365, 40), qRgb(58, 119, 119));
}

class RecordingMessages : public PrintMessages {
  public:
    void ShowMessage(MessageCode code) override { boxes.push_back(FormatMessage(code)); }
    void ShowInformation(const std::string& text) override { boxes.push_back(text); }
    std::vector<std::string> boxes;
};

enum class Script {
    Accept,
    Cancel,
    StopAtFirstPage,
    NoFolder,
    PagesTwoToThree,
    NarrowPagesTwoToThree,
    SpecEdited
};

// The user's choices in the dialog: OK or Cancel, the PDF file, a page range.
class ScriptedDialog : public PrintDialogRunner {
  public:
    Script script = Script::Accept;
    std::string file;
    int shownPageCount = 0;

    bool Run(QPrinter& printer, int pageCount) override {
        shownPageCount = pageCount;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(file));
        printer.setPrintRange(QPrinter::AllPages);
        if (script == Script::NarrowPagesTwoToThree) {
            // Paper 100 mm wide: the response graph needs two pages.
            printer.setPageSize(QPageSize(QSizeF(100, 297), QPageSize::Millimeter));
        }
        if (script == Script::PagesTwoToThree || script == Script::NarrowPagesTwoToThree) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(2, 3);
        }
        return script != Script::Cancel;
    }
};

// One print job per row: the user's choices, and what the job shows and writes.
TEST(PrintJob, BoxesOutcomesAndFiles) {
    const std::string response = "Filter Graphical Response Printed";
    const std::string coefficients = "Filter Coefficients Printed";
    struct Case {
        const char* name;
        ReportKind kind;
        Script script;
        PrintOutcome outcome;
        std::string box;        // the one box shown, if any
        int pages;              // pages drawn
        std::string textStart;  // how the PDF's text begins ("": no file)
    };
    const Case cases[] = {
        {"response", ReportKind::Response, Script::Accept, PrintOutcome::Printed, response, 1,
         "Tapwright ========================= Sampling Frequency : 8000.00 Hz Filter Response "
         "Type : Low Pass Filter"},
        {"response, all pages whatever the range", ReportKind::Response, Script::PagesTwoToThree,
         PrintOutcome::Printed, response, 1, "Tapwright "},
        {"response on two pages, both whatever the range", ReportKind::Response,
         Script::NarrowPagesTwoToThree, PrintOutcome::Printed, response, 2, "Tapwright "},
        {"coefficients, all pages", ReportKind::Coefficients, Script::Accept, PrintOutcome::Printed,
         coefficients, 3, "Tapwright "},
        {"coefficients, pages 2 to 3", ReportKind::Coefficients, Script::PagesTwoToThree,
         PrintOutcome::Printed, coefficients, 2, "H(34) --> "},
        {"dialog cancelled", ReportKind::Response, Script::Cancel, PrintOutcome::Cancelled, "", 0,
         ""},
        {"stopped by Escape", ReportKind::Coefficients, Script::StopAtFirstPage,
         PrintOutcome::Cancelled, "", 1, ""},
        {"file cannot be made", ReportKind::Coefficients, Script::NoFolder, PrintOutcome::Failed,
         "Printing error occured. Unable to find printer.", 0, ""},
        // The report never mixes a new spec with the old design's coefficients.
        {"spec edited after the design", ReportKind::Coefficients, Script::SpecEdited,
         PrintOutcome::NoDesign, "", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FilterSpec spec;
        const CFirDesign design = DesignLowPass(200, spec);
        if (c.script == Script::SpecEdited) spec.Taps = 201;
        TempDir dir;
        const fs::path folder = c.script == Script::NoFolder ? dir.path / "none" : dir.path;
        ScriptedDialog dialog;
        dialog.script = c.script;
        dialog.file = (folder / "report.pdf").string();
        RecordingMessages messages;
        int pages = 0;
        const ReportProgress progress = [&](int done, int total) {
            pages = done;
            EXPECT_LE(done, total);
            return c.script != Script::StopAtFirstPage;
        };
        QPrinter printer(QPrinter::HighResolution);
        EXPECT_EQ(
            PrintReport(c.kind, spec, design, ReportDisplay{}, printer, dialog, messages, progress),
            c.outcome);
        // A printed report's box names the file it wrote.
        const std::string box =
            c.outcome == PrintOutcome::Printed ? c.box + " to " + dialog.file : c.box;
        EXPECT_EQ(messages.boxes,
                  box.empty() ? std::vector<std::string>{} : std::vector<std::string>{box});
        const int pageCount = c.kind == ReportKind::Response ? 1 : 3;
        EXPECT_EQ(dialog.shownPageCount, c.outcome == PrintOutcome::NoDesign ? 0 : pageCount);
        EXPECT_EQ(pages, c.pages);
        // The file, whole, and nothing beside it (no temporary file), or nothing.
        EXPECT_EQ(dir.Files(), c.textStart.empty() ? 0 : 1);
        if (!c.textStart.empty()) {
            const std::string text = testing::PdfText(dialog.file);
            EXPECT_EQ(text.rfind(c.textStart, 0), 0u) << text.substr(0, 200);
            // Every range printed ends at the last page (a response prints them all);
            // no blank page.
            const int count = c.kind == ReportKind::Response ? c.pages : 3;
            EXPECT_EQ(testing::PageFooterFaults(dialog.file, count - c.pages + 1, count), "");
        }
    }
}

// The window's call: the real QPrintDialog, accepted as it opens. Where no printer
// is installed its target is the proposed PDF file in the home folder.
TEST(PrintJob, TheDialogWritesAPdfWhereNoPrinterIsInstalled) {
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
    TempDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(home.path.string()));
    FilterSpec spec;
    const CFirDesign design = DesignLowPass(31, spec);
    RecordingMessages boxes;
    bool dialogSeen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            dialogSeen = true;
            poll.stop();
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        }
    });
    poll.start(10);
    const PrintOutcome outcome =
        PrintReport(ReportKind::Response, spec, design, ReportDisplay{}, nullptr, boxes, {});
    qputenv("HOME", oldHome);
    EXPECT_TRUE(dialogSeen);
    EXPECT_EQ(outcome, PrintOutcome::Printed);
    const std::string pdf = (home.path / "response.pdf").string();
    EXPECT_EQ(boxes.boxes, std::vector<std::string>{"Filter Graphical Response Printed to " + pdf});
    EXPECT_EQ(testing::PdfText(pdf).rfind("Tapwright ", 0), 0u);
}

}  // namespace
}  // namespace tapwright
