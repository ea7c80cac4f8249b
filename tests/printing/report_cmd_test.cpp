// `tapwright-cli report` end to end: the PDF it writes holds the report's lines.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/printing/pdf_text.h"
#include "tests/support/test_support.h"

namespace tapwright {
namespace {

namespace fs = std::filesystem;

class ReportCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tapwright-report-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Exit code of `tapwright-cli report ARGS` (output discarded).
    int Run(const std::string& args) {
        const std::string command =
            std::string(TAPWRIGHT_CLI) + " report " + args + " >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string Example(const std::string& name) {
        return std::string(TAPWRIGHT_EXAMPLES) + "/" + name;
    }

    fs::path dir_;
};

TEST_F(ReportCommand, WritesTheHeaderLinesOfBothReports) {
    // The default low pass at 201 taps: 100 pair lines on three pages.
    std::ifstream in(Example("lowpass_default.txt"));
    std::stringstream original;
    original << in.rdbuf();
    const fs::path longer = dir_ / "long.txt";
    std::string spec = original.str();
    const std::size_t taps = spec.find(" Taps: 31\n");
    ASSERT_NE(taps, std::string::npos);
    std::ofstream(longer) << spec.replace(taps, 9, " Taps: 201");
    struct Case {
        std::string args;
        std::string start;  // how the text begins
        std::string lines;  // consecutive lines of the report
        int first = 1;      // the first page written
        int count = 1;      // of the report's pages
    };
    const std::string header = "Tapwright ========================= Sampling Frequency : ";
    const Case cases[] = {
        {Example("bandpass_hamming.txt") + " --kind response --graph phase --dpi 300", header,
         "Filter Response Type : Band Pass Filter Filter Characteristic : Symmetrical Impulse "
         "Response, Odd Filter Length Function Type : Hamming Window Filter Length : 61 1st "
         "Cutoff Frequency : 1000.00 Hz 2nd Cutoff Frequency : 2000.00 Hz Graphical Plot : Phase "
         "Response Plot Page:1 of 1"},
        {Example("multiband_equiripple.txt") + " --kind coefficients --page letter", header,
         "Function Type : Iterative Least Squares (Equiripple) Filter Length : 61 Band 01 "
         "Frequency : 0.00 - 800.00 Hz Band 01 Amplitude : 1.00 Band 02 Frequency : 1000.00 - "
         "1800.00 Hz Band 02 Amplitude : 0.00"},
        {Example("kaiser_auto.txt") + " --kind coefficients", header,
         "Filter Length : 145 1st Cutoff Frequency : 1000.00 Hz Transition Width : 200.00 Hz "
         "Filter "
         "Coefficients ------------------- H(01) --> ",
         1, 2},
        {Example("lowpass_default.txt") + " --graph db --hold " + Example("kaiser_auto.txt") +
             " --kind response",
         header,
         "Function Type 1 : Rectangular Window Function Type 2 : Kaiser Window Filter Length : "
         "31 Graphical Plot : Magnitude Response Plot (Logarithmic) Page:1 of 1"},
        {longer.string() + " --kind coefficients --pages 2:3", "H(34) --> ",
         "Page:2 of 3 H(79) --> ", 2, 3},
        {longer.string() + " --kind coefficients", header, "Page:1 of 3 H(34) --> ", 1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const std::string pdf = (dir_ / "r.pdf").string();
        ASSERT_EQ(Run(c.args + " -o " + pdf), 0);
        const std::string text = testing::PdfText(pdf);
        EXPECT_EQ(text.rfind(c.start, 0), 0u) << text.substr(0, 100);
        EXPECT_NE(text.find(c.lines), std::string::npos) << text.substr(0, 600);
        // Page by page: no blank page, each with its own footer.
        EXPECT_EQ(testing::PageFooterFaults(pdf, c.first, c.count), "");
        // A4 unless letter is asked for (points, 1/72 inch).
        const bool letter = c.args.find("--page letter") != std::string::npos;
        EXPECT_NE(test::ReadFile(pdf).find(letter ? "/MediaBox [0 0 612.000000 792.000000]"
                                                  : "/MediaBox [0 0 595.000000 842.000000]"),
                  std::string::npos);
    }
}

// Word boxes of page 1 as pdftotext -bbox gives them, in points from the top.
struct WordBox {
    std::string word;
    double yMin = 0.0;
    double yMax = 0.0;
};

std::vector<WordBox> WordBoxes(const std::string& pdf) {
    std::string xml;
    if (!testing::CommandOutput("pdftotext -bbox -f 1 -l 1 '" + pdf + "' - 2>/dev/null", xml)) {
        return {};
    }
    std::vector<WordBox> boxes;
    auto number = [&](std::size_t from, const char* name) {
        const std::size_t at = xml.find(std::string(name) + "=\"", from);
        return at == std::string::npos ? 0.0 : std::atof(xml.c_str() + at + std::strlen(name) + 2);
    };
    for (std::size_t at = xml.find("<word "); at != std::string::npos;
         at = xml.find("<word ", at + 1)) {
        const std::size_t open = xml.find('>', at);
        const std::size_t close = xml.find("</word>", open);
        boxes.push_back(
            {xml.substr(open + 1, close - open - 1), number(at, "yMin"), number(at, "yMax")});
    }
    return boxes;
}

// The header reads at least 9 pt high on A4 and letter at any resolution, and its
// lines keep apart.
TEST_F(ReportCommand, HeaderTextIsReadableAtAnyResolution) {
    for (const char* page : {"a4", "letter"}) {
        for (int dpi : {72, 300, 600, 1200}) {
            const std::string args = Example("kaiser_auto.txt") + " --kind response --page " +
                                     page + " --dpi " + std::to_string(dpi);
            SCOPED_TRACE(args);
            const std::string pdf = (dir_ / "r.pdf").string();
            ASSERT_EQ(Run(args + " -o " + pdf), 0);
            const std::vector<WordBox> words = WordBoxes(pdf);
            ASSERT_GT(words.size(), 20u);
            double lastBottom = 0.0;
            for (const WordBox& w : words) {
                // The box spans the font's ascent and descent, a little over its size.
                EXPECT_GE(w.yMax - w.yMin, 9.0) << w.word;
                EXPECT_LE(w.yMax - w.yMin, 13.0) << w.word;
                if (w.word == "Frequency" || w.word == "Width" || w.word == "Length") {
                    EXPECT_GE(w.yMin, lastBottom) << w.word;
                    lastBottom = w.yMax;
                }
            }
        }
    }
}

TEST_F(ReportCommand, EveryExampleGivesBothReports) {
    for (const auto& entry : fs::directory_iterator(TAPWRIGHT_EXAMPLES)) {
        for (const char* kind : {"response", "coefficients"}) {
            SCOPED_TRACE(entry.path().filename().string() + " " + kind);
            const std::string pdf = (dir_ / "e.pdf").string();
            ASSERT_EQ(Run(entry.path().string() + " --kind " + kind + " -o " + pdf), 0);
            const std::string text = testing::PdfText(pdf);
            EXPECT_EQ(text.rfind("Tapwright ========================= Sampling Frequency : ", 0),
                      0u);
            EXPECT_NE(text.find("Page:1 of "), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace tapwright
