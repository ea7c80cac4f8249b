// The Qt window, offscreen: its build from the control table, the mirror of the
// control model, the graphs against the plot command, the worker-thread design
// with its cancel, and the message boxes the user sees.

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "core/design_measure.h"
#include "core/messages.h"
#include "core/quantize.h"
#include "core/word_length.h"
#include "files/coefficient_export.h"
#include "printing/print_job.h"
#include "tests/printing/pdf_text.h"
#include "tests/support/test_support.h"
#include "ui/about_dlg.h"
#include "ui/control_ids.h"
#include "ui/filter_design_dlg.h"
#include "ui/window_widgets.h"

namespace tapwright::ui {
namespace {

namespace fs = std::filesystem;

const std::string kExamples = TAPWRIGHT_EXAMPLES;

using test::TempDir;

// Answers the modal windows as a user would: records and closes message boxes,
// and gives file dialogs the name set beforehand.
class ModalAnswerer {
  public:
    struct Box {
        QMessageBox::Icon icon;
        std::string title;
        std::string text;
    };

    ModalAnswerer() {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
        timer_.start(5);
    }
    void AnswerFileDialogWith(const std::string& path) { fileName_ = path; }
    // Answers the modal windows these do not know (and file dialogs before the file
    // name is given) when it returns true.
    std::function<bool(QWidget* modal)> answerOther;

    std::vector<Box> boxes;
    std::vector<QStringList> fileFilters;
    std::vector<QString> defaultSuffixes;

  private:
    void Answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && answerOther && answerOther(modal)) return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            boxes.push_back(
                {box->icon(), box->windowTitle().toStdString(), box->text().toStdString()});
            box->accept();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            fileFilters.push_back(dialog->nameFilters());
            defaultSuffixes.push_back(dialog->defaultSuffix());
            if (fileName_.empty()) {
                dialog->reject();
            } else {
                dialog->selectFile(QString::fromStdString(fileName_));
                QMetaObject::invokeMethod(dialog, "accept");
            }
        }
    }

    QTimer timer_;
    std::string fileName_;
};

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetUpApplicationLook();
        window = std::make_unique<CFilterDesignDlg>(design, canvases);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        Settle();
    }
    void TearDown() override { window.reset(); }

    // Lets queued work run, and waits for a running design to end.
    void Settle(int atLeastMs = 20) {
        QElapsedTimer t;
        t.start();
        do {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        } while ((window->DesignRunning() || t.elapsed() < atLeastMs) && t.elapsed() < 60000);
    }
    template <typename T>
    T* Get(int id) {
        auto* w = qobject_cast<T*>(window->Control(id));
        EXPECT_NE(w, nullptr) << "control " << id;
        return w;
    }
    const ControlModel& Model() { return window->Logic().Model(); }

    // Clicks control `id`; a design started by the click is waited for only when
    // `wait` is set.
    void Click(int id, bool wait = true) {
        QTest::mouseClick(window->Control(id), Qt::LeftButton);
        if (wait) Settle();
    }
    void Select(int id, int index) {
        Get<QComboBox>(id)->setCurrentIndex(index);
        Settle();
    }
    // Types `text` over the field's text and leaves it with Tab.
    void Type(int id, const std::string& text) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        auto* edit = Get<QLineEdit>(id);
        edit->setFocus(Qt::MouseFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromStdString(text));
        QTest::keyClick(edit, Qt::Key_Tab);
        Settle();
    }
    void Load(const std::string& path) {
        window->LoadStartupFile(path);
        Settle();
    }

    CFirDesign design;
    GraphCanvases canvases;
    std::unique_ptr<CFilterDesignDlg> window;
    ModalAnswerer answerer;
};

// Every control the issue names, by id, with the name screen readers find.
TEST_F(WindowTest, EveryControlCarriesItsAccessibleName) {
    const std::pair<int, const char*> names[] = {
        {1023, "Quit"},
        {1024, "Load"},
        {1025, "Save"},
        {1026, "Apply"},
        {1125, "View"},
        {1127, "Print Response"},
        {1128, "Print Coefficients"},
        {1011, "Auto Design Filter"},
        {1035, "Grid On"},
        {1055, "Curve Fitting"},
        {1059, "Log Scale"},
        {1061, "Degrees"},
        {1090, "Hold On"},
        {1123, "Zoom"},
        {1085, "Iterations"},
        {1086, "Peak Error Ratio"},
        {1056, "Sampling Frequency"},
        {1019, "1st Cutoff Frequency"},
        {1020, "2nd Cutoff Frequency"},
        {1013, "Filter Length"},
        {1017, "Beta"},
        {1016, "Transition Width"},
        {1063, "No of Iterations"},
        {1066, "Peak Error Ripple Ratio"},
        {1014, "Pass Band Ripple"},
        {1015, "Stop Band Ripple"},
        {1107, "Lower Bandedge Frequency"},
        {1110, "Upper Bandedge Frequency"},
        {1111, "Desired Band Amplitude"},
        {1117, "No of Bands"},
        {1120, "View Range Low"},
        {1121, "View Range High"},
        {1010, "Response Type"},
        {1099, "Filter Type"},
        {1012, "Function Type"},
        {1052, "FFT Size"},
        {1104, "Band"},
        {1033, "Graph Response Type"},
        {1058, "Display Type"},
        {1089, "Coefficient Values"},
        {1021, "Main Graph"},
        {1060, "Small Graph"},
        {1067, "Start-up Picture"},
        {1070, "Start-up Letter 1"},
        {1071, "Start-up Letter 2"},
        {1072, "Start-up Letter 3"},
        {1074, "Logo"},
    };
    for (const auto& [id, name] : names) {
        ASSERT_NE(window->Control(id), nullptr) << id;
        EXPECT_EQ(window->Control(id)->accessibleName().toStdString(), name) << id;
    }
    // Every caption on screen, mnemonics included.
    // clang-format off
    const std::pair<int, const char*> captions[] = {
        {1093, "Sa&mpling Frequency :"}, {1095, "Hz"}, {1094, "&Response Type :"},
        {1042, "Custom Design Specifications"}, {1011, "A&uto Design Filter"},
        {kFunctionTypeLabel, "Func&tion Type:"}, {1043, "Filter L&ength :"},
        {1044, "&Pass Band Ripple :"}, {1046, "Stop &Band Ripple :  (-)"}, {1045, "dB"}, {1047, "dB"},
        {1048, "Transition &Width :"}, {1049, "Hz"}, {1115, "Filter Frequency Specifications"},
        {1036, "&1st Cutoff Frequency :"}, {1038, "Hz"}, {1037, "&2nd Cutoff Frequency :"},
        {1039, "Hz"}, {kMenuGroup, "Menu"}, {1023, "&Quit"}, {1024, "&Load"}, {1025, "&Save"},
        {1026, "&Apply"}, {1114, "Filter Specifications"},
        {kGraphSpecGroup, "Graph Specifications"}, {1096, "Respo&nse Type :"}, {1035, "&Grid On"},
        {1084, "&FFT Size :"}, {1055, "Cur&ve Fitting"}, {1097, "&Display Type :"},
        {1059, "Log Sc&ale"}, {1061, "&Degrees"}, {1062, "&Beta :"}, {1064, "&No of Iterations :"},
        {1065, "Pea&k Error Ripple Ratio :"}, {1079, " Processing ......... 25% completed"},
        {1080, " Processing ......... 50% completed"},
        {1081, " Processing ......... 75% completed"}, {1082, " Processing ......... "},
        {1085, "Iterati&ons"}, {1086, "&Peak Error Ratio"}, {kCoefficientGroup, "Coeff&icient Values"},
        {1090, "&Hold On"}, {1098, "Filter T&ype :"}, {1050, "Equiripple Specifications"},
        {1100, "&Band :"}, {1108, "Lo&wer Bandedge Frequency :"},
        {1109, "&Upper Bandedge Frequency :"}, {1040, "Hz"}, {1041, "Hz"},
        {1112, "&Desired Band Amplitude :"}, {1113, "Filter Specifications"},
        {1116, "(Difference of 2 consecutive error ripples)"}, {1118, "No o&f Bands:"},
        {1119, "View R&ange :"}, {1124, "_"}, {1123, "&Zoom"}, {1125, "&View"}, {1127, "Resp&onse"},
        {kPrintingGroup, "Printing Options"}, {1128, "&Coefficients"}};
    // clang-format on
    for (const auto& [id, caption] : captions) {
        QWidget* w = window->Control(id);
        ASSERT_NE(w, nullptr) << id;
        QString text;
        if (auto* button = qobject_cast<QAbstractButton*>(w)) text = button->text();
        if (auto* label = qobject_cast<QLabel*>(w)) text = label->text();
        if (auto* group = qobject_cast<QGroupBox*>(w)) text = group->title();
        EXPECT_EQ(text.toStdString(), caption) << id;
    }
}

TEST_F(WindowTest, StartsAtItsSmallestSizeWithGraphAreasOfTheCanvasSizes) {
    EXPECT_EQ(window->size(), QSize(1012, 546));
    EXPECT_EQ(window->minimumSize(), QSize(1012, 546));
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(window->windowTitle().toStdString(), "Tapwright");
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_EQ(window->Control(kMainGraph)->contentsRect().size(), QSize(584, 342));
    EXPECT_EQ(window->Control(kSmallGraph)->contentsRect().size(), QSize(294, 155));
    EXPECT_EQ(window->Control(kQuitButton)->geometry(), QRect(175, 26, 58, 26));
    // The coefficient list: "H(n)" 35 pixels and "Values" 94 pixels wide, no rows.
    auto* list = Get<QTableView>(kCoefficientList);
    EXPECT_EQ(list->model()->rowCount(), 0);
    EXPECT_EQ(list->model()->headerData(0, Qt::Horizontal).toString(), "H(n)");
    EXPECT_EQ(list->model()->headerData(1, Qt::Horizontal).toString(), "Values");
    EXPECT_EQ(list->columnWidth(0), kNumberColumnWidth);
    EXPECT_EQ(list->columnWidth(1), kValueColumnWidth);
}

// Nothing of a caption is cut: the text, with a check box's or radio button's
// indicator, fits the width the table gives the control.
TEST_F(WindowTest, EveryCaptionFitsItsControl) {
    for (const ControlDef& def : ControlTable()) {
        QWidget* w = window->Control(def.id);
        const QFontMetrics metrics(w->font());
        const QString caption = QString::fromUtf8(def.caption.data(), def.caption.size());
        int needed = metrics.horizontalAdvance(QString(caption).remove('&'));
        switch (def.kind) {
            case ControlKind::CheckBox:
            case ControlKind::RadioButton:
                needed = w->sizeHint().width();
                break;
            case ControlKind::GroupBox:
            case ControlKind::PushButton:
                needed += 8;  // the frame and the title's padding
                break;
            case ControlKind::Label:
            case ControlKind::CentredLabel:
                EXPECT_LE(w->sizeHint().height(), w->height() + 4) << def.caption;
                break;
            default:
                continue;
        }
        EXPECT_LE(needed, w->width()) << def.caption;
    }
}

// Every widget shows its state of the model, after start-up and after actions that
// change many of them.
TEST_F(WindowTest, WidgetsMirrorTheModel) {
    auto check = [&](const char* when) {
        for (const ControlDef& def : ControlTable()) {
            SCOPED_TRACE(std::string(when) + ", control " + std::to_string(def.id));
            QWidget* w = window->Control(def.id);
            const ControlState& s = Model().State(def.id);
            EXPECT_EQ(!w->isHidden(), s.visible);
            EXPECT_EQ(w->testAttribute(Qt::WA_Disabled), !s.enabled);
            if (auto* edit = qobject_cast<QLineEdit*>(w)) {
                EXPECT_EQ(edit->text().toStdString(), s.text);
            } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
                ASSERT_EQ(combo->count(), static_cast<int>(s.items.size()));
                for (int i = 0; i < combo->count(); ++i) {
                    EXPECT_EQ(combo->itemText(i).toStdString(), s.items[static_cast<size_t>(i)]);
                }
                EXPECT_EQ(combo->currentIndex(), s.selection);
                // The edit text is the selected item's, or nothing without one.
                EXPECT_EQ(combo->currentText().toStdString(),
                          s.selection >= 0 ? s.items[static_cast<size_t>(s.selection)] : "");
            } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                if (button->isCheckable()) {
                    EXPECT_EQ(button->isChecked(), s.checked);
                }
            } else if (auto* view = qobject_cast<QTableView*>(w)) {
                EXPECT_EQ(view->model()->rowCount(), s.rows ? static_cast<int>(s.rows->size()) : 0);
            }
        }
    };
    check("start-up");
    Click(kApplyButton);
    check("after Apply");
    Select(kFunctionTypeCombo, Equiripple);
    check("after choosing Equiripple");
    Select(kResponseTypeCombo, Multiband);
    Click(kPeakRatioRadio);
    check("after choosing Multiband and the peak error ratio");
    EXPECT_TRUE(answerer.boxes.empty());
}

// The main graph after Load and Apply is, pixel for pixel, what the plot command
// writes for the same file and options; so is what the window shows on screen.
TEST_F(WindowTest, MainGraphAfterLoadAndApplyEqualsThePlotCommand) {
    TempDir dir;
    struct Case {
        const char* file;
        std::vector<std::string> plot;
        int graph;  // graph type chosen after Apply, -1: none
        bool logScale;
    };
    const Case cases[] = {
        {"bandpass_hamming.txt", {"--graph", "impulse", "--grid"}, -1, false},
        {"lowpass_equiripple.txt", {"--graph", "db", "--grid"}, Magnitude, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string spec = kExamples + "/" + c.file;
        Load(spec);
        Click(kApplyButton);
        if (c.graph >= 0) Select(kGraphTypeCombo, c.graph);
        if (c.logScale && !Get<QCheckBox>(kLogScaleCheck)->isChecked()) Click(kLogScaleCheck);

        const std::string png = (dir / "plot.png").string();
        std::vector<std::string> args = {spec, "-o", png};
        args.insert(args.end(), c.plot.begin(), c.plot.end());
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        ASSERT_EQ(cli::RunPlotCommand(static_cast<int>(argv.size()), argv.data()), 0);
        const QImage expected =
            QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32);

        EXPECT_EQ(canvases.mainFront.Image(), expected);
        QWidget* area = window->Control(kMainGraph);
        const QImage shown =
            area->grab(area->contentsRect()).toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shown, expected);
    }
    EXPECT_TRUE(answerer.boxes.empty());
}

// A larger window gives the graph areas and the list the extra room, leaves the
// left column where it was, and draws the graphs for their real size: the main
// graph is what the plot command draws at that size, and back at the default size
// what it draws by default.
TEST_F(WindowTest, ALargerWindowDrawsTheGraphsForTheirSize) {
    TempDir dir;
    const std::string spec = kExamples + "/bandpass_hamming.txt";
    Load(spec);
    Click(kApplyButton);
    auto plot = [&](const char* size) {
        const std::string png = (dir / "plot.png").string();
        std::vector<std::string> args = {spec, "-o", png, "--graph", "impulse", "--grid"};
        if (size != nullptr) args.insert(args.end(), {"--size", size});
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        EXPECT_EQ(cli::RunPlotCommand(static_cast<int>(argv.size()), argv.data()), 0);
        return QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32);
    };
    const QRect fs = window->Control(kSamplingFrequencyEdit)->geometry();
    const QRect apply = window->Control(kApplyButton)->geometry();
    const QRect list = window->Control(kCoefficientList)->geometry();

    window->resize(1012 + 400, 546 + 300);
    Settle();
    EXPECT_EQ(window->Control(kMainGraph)->contentsRect().size(), QSize(584 + 300, 342 + 150));
    EXPECT_EQ(window->Control(kSmallGraph)->contentsRect().size(), QSize(294 + 300, 155 + 150));
    EXPECT_EQ(window->Control(kSamplingFrequencyEdit)->geometry(), fs);
    EXPECT_EQ(window->Control(kApplyButton)->geometry(), apply.translated(0, 150));
    EXPECT_EQ(window->Control(kCoefficientList)->geometry(),
              list.translated(300, 0).adjusted(0, 0, 100, 300));
    EXPECT_EQ(canvases.mainFront.Image(), plot("884x492"));
    QWidget* area = window->Control(kMainGraph);
    EXPECT_EQ(area->grab(area->contentsRect()).toImage().convertToFormat(QImage::Format_RGB32),
              canvases.mainFront.Image());

    window->resize(1012, 546);
    Settle();
    EXPECT_EQ(canvases.mainFront.Image(), plot(nullptr));
    EXPECT_EQ(window->Control(kApplyButton)->geometry(), apply);
    EXPECT_TRUE(answerer.boxes.empty());
}

// Everything the user sees, and the filter spec and design behind it.
struct Snapshot {
    std::vector<std::tuple<int, bool, bool, std::string, int, bool, const void*>> controls;
    QImage mainFront, smallFront;
    std::vector<double> coeffs;
    int taps = 0;
    int wtype = 0;

    static Snapshot Take(const CFilterDesignDlg& w) {
        Snapshot s;
        const ControlModel& m = w.Logic().Model();
        for (const ControlDef& def : ControlTable()) {
            const ControlState& c = m.State(def.id);
            s.controls.emplace_back(def.id, c.visible, c.enabled, c.text, c.selection, c.checked,
                                    c.rows.get());
        }
        s.mainFront = w.Logic().Canvases().mainFront.Image().copy();
        s.smallFront = w.Logic().Canvases().smallFront.Image().copy();
        s.coeffs = w.Logic().Design().coeffs;
        s.taps = w.Logic().Spec().Taps;
        s.wtype = w.Logic().Spec().WType;
        return s;
    }
    bool operator==(const Snapshot&) const = default;
};

// A long equiripple design on the worker thread: the window keeps painting, and
// Escape stops it, leaving the previous design, graphs, list and spec as they were.
TEST_F(WindowTest, EscapeCancelsARunningDesignAndLeavesEverythingAsItWas) {
    Load(kExamples + "/bandpass_hamming.txt");
    Click(kApplyButton);
    Select(kFunctionTypeCombo, Equiripple);
    Type(kLengthEdit, "511");
    Type(kIterationsEdit, "10000");
    const Snapshot before = Snapshot::Take(*window);

    Click(kApplyButton, false);
    ASSERT_TRUE(window->DesignRunning());
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 200) QApplication::processEvents(QEventLoop::AllEvents, 5);
    ASSERT_TRUE(window->DesignRunning());
    // Input other than Escape is refused while it runs.
    QTest::mouseClick(window->Control(kGridCheck), Qt::LeftButton);
    QTest::keyClick(window.get(), Qt::Key_Return);
    EXPECT_TRUE(window->isVisible());

    QTest::keyClick(window->focusWidget() ? window->focusWidget() : window.get(), Qt::Key_Escape);
    Settle();
    EXPECT_FALSE(window->DesignRunning());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(Snapshot::Take(*window) == before);
    for (int id : {kProcessingText, kProgress25Text, kProgress50Text, kProgress75Text}) {
        EXPECT_TRUE(window->Control(id)->isHidden()) << id;
    }
    EXPECT_TRUE(answerer.boxes.empty());
}

TEST_F(WindowTest, ClosingTheWindowDuringADesignStopsIt) {
    Select(kFunctionTypeCombo, Equiripple);
    Type(kLengthEdit, "511");
    Type(kIterationsEdit, "10000");
    Click(kApplyButton, false);
    ASSERT_TRUE(window->DesignRunning());
    // The inputs changed since the start: the window asks first.
    answerer.answerOther = [](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr || box->icon() != QMessageBox::Question) return false;
        box->button(QMessageBox::Discard)->click();
        return true;
    };
    window->close();
    QElapsedTimer t;
    t.start();
    Settle();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->DesignRunning());
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_TRUE(answerer.boxes.empty());
}

// A refused value shows exactly one box, puts the last good value back and gives
// the field the focus again; leaving it again unchanged shows nothing more.
TEST_F(WindowTest, ARefusedValueShowsOneMessage) {
    struct Case {
        int field;
        const char* typed;
        std::string message;
        const char* restored;
    };
    const Case cases[] = {
        {kLengthEdit, "abc", "", "31"},
        {kLengthEdit, "2", "Please enter a number greater than 2", "31"},
        {kSamplingFrequencyEdit, "1e999", "", "8000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        answerer.boxes.clear();
        Type(c.field, c.typed);
        ASSERT_EQ(answerer.boxes.size(), 1u);
        EXPECT_EQ(answerer.boxes[0].icon, QMessageBox::Critical);
        EXPECT_EQ(answerer.boxes[0].title, "Tapwright");
        if (!c.message.empty()) {
            EXPECT_EQ(answerer.boxes[0].text, c.message);
        }
        EXPECT_EQ(Get<QLineEdit>(c.field)->text().toStdString(), c.restored);
        EXPECT_EQ(window->focusWidget(), window->Control(c.field));
        QTest::keyClick(Get<QLineEdit>(c.field), Qt::Key_Tab);
        Settle();
        EXPECT_EQ(answerer.boxes.size(), 1u);
    }

    // A click that takes the focus from a refused field does nothing more: Apply
    // designs only when clicked again.
    answerer.boxes.clear();
    auto* length = Get<QLineEdit>(kLengthEdit);
    length->setFocus(Qt::MouseFocusReason);
    length->selectAll();
    QTest::keyClicks(length, QStringLiteral("2"));
    Click(kApplyButton);
    EXPECT_EQ(answerer.boxes.size(), 1u);
    EXPECT_EQ(length->text(), "31");
    EXPECT_FALSE(window->Logic().Flags().designValid);
    Click(kApplyButton);
    EXPECT_EQ(answerer.boxes.size(), 1u);
    EXPECT_TRUE(window->Logic().Flags().designValid);
}

// The keyboard path: Tab visits the enabled controls in the order of the layout
// (each group top to bottom, the left column, the graph controls, the list, the
// print buttons), leaves the list, and reaches every enabled control. Every
// labelled control has a mnemonic, none shared by two controls enabled together,
// and a label's mnemonic leads to its field.
TEST_F(WindowTest, TabFollowsTheLayoutAndMnemonicsAreUnique) {
    const int path[] = {kLoadButton,          kSaveButton,
                        kQuitButton,          kSamplingFrequencyEdit,
                        kResponseTypeCombo,   kFilterTypeCombo,
                        kFunctionTypeCombo,   kFftSizeCombo,
                        kBandCombo,           kBandCountEdit,
                        kLowerEdgeEdit,       kUpperEdgeEdit,
                        kAmplitudeEdit,       kFirstCutoffEdit,
                        kSecondCutoffEdit,    kAutoDesignCheck,
                        kIterationsRadio,     kPeakRatioRadio,
                        kLengthEdit,          kBetaEdit,
                        kTransitionEdit,      kWeightEdit,
                        kIterationsEdit,      kPassRippleEdit,
                        kRatioEdit,           kStopRippleEdit,
                        kGraphTypeCombo,      kDisplayTypeCombo,
                        kViewLowEdit,         kViewHighEdit,
                        kViewButton,          kApplyButton,
                        kGridCheck,           kCurveFittingCheck,
                        kLogScaleCheck,       kZoomCheck,
                        kDegreesCheck,        kSecondsCheck,
                        kHoldOnCheck,         kCoefficientList,
                        kPrintResponseButton, kPrintCoefficientsButton};
    auto idOf = [&](QWidget* w) {
        for (; w != nullptr; w = w->parentWidget()) {
            for (const ControlDef& def : ControlTable()) {
                if (window->Control(def.id) == w) return def.id;
            }
        }
        return 0;
    };
    auto usable = [&](int id) {
        QWidget* w = window->Control(id);
        return w->isVisible() && w->isEnabled();
    };
    auto check = [&](const char* state) {
        SCOPED_TRACE(state);
        std::vector<int> expected;
        for (int id : path) {
            if (usable(id)) expected.push_back(id);
        }
        // Nothing enabled that takes the focus is missing from the path.
        for (const ControlDef& def : ControlTable()) {
            QWidget* w = window->Control(def.id);
            if (usable(def.id) && (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus) {
                EXPECT_NE(std::find(std::begin(path), std::end(path), def.id), std::end(path))
                    << def.id;
            }
        }
        ASSERT_FALSE(expected.empty());
        window->Control(expected[0])->setFocus(Qt::TabFocusReason);
        std::vector<int> walked;
        for (size_t step = 0; step < expected.size() + 1; ++step) {
            walked.push_back(idOf(QApplication::focusWidget()));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QApplication::processEvents();
        }
        EXPECT_EQ(walked.back(), expected[0]);  // round and back to the start
        walked.pop_back();
        EXPECT_EQ(walked, expected);

        std::map<QChar, int> mnemonics;  // character -> control
        for (const ControlDef& def : ControlTable()) {
            const QString caption = QString::fromUtf8(def.caption.data(), def.caption.size());
            const int amp = caption.indexOf('&');
            const int target = BuddyOf(def.id) != 0 ? BuddyOf(def.id) : def.id;
            const bool focusable =
                (window->Control(target)->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
            if (!caption.isEmpty() && focusable && BuddyOf(def.id) == 0 &&
                qobject_cast<QAbstractButton*>(window->Control(def.id)) != nullptr) {
                EXPECT_GE(amp, 0) << def.caption;  // every captioned button
            }
            if (auto* label = qobject_cast<QLabel*>(window->Control(def.id)); label && amp >= 0) {
                EXPECT_NE(label->buddy(), nullptr) << def.caption;  // a label leads to its field
            }
            if (amp < 0 || !usable(def.id) || !usable(target)) continue;
            const QChar key = caption[amp + 1].toUpper();
            EXPECT_EQ(mnemonics.count(key), 0u)
                << def.caption << " and control " << mnemonics[key] << " share " << key.toLatin1();
            mnemonics[key] = def.id;
        }
    };
    check("start-up");
    Click(kApplyButton);
    check("a window design");
    Select(kGraphTypeCombo, Magnitude);
    if (!Get<QCheckBox>(kLogScaleCheck)->isChecked()) Click(kLogScaleCheck);
    Select(kDisplayTypeCombo, SpecifiedRange);
    check("the range view");
    Select(kFunctionTypeCombo, Kaiser);
    Click(kAutoDesignCheck);
    check("Kaiser, length estimated");
    Select(kFunctionTypeCombo, Equiripple);
    check("equiripple");
    Click(kPeakRatioRadio);
    check("equiripple, peak error ratio");
    EXPECT_TRUE(answerer.boxes.empty());
}

// Enter in a field commits that field, as leaving it does, and the window stays:
// a good value is taken, a refused one shows its one message and the last good
// value comes back.
TEST_F(WindowTest, EnterCommitsTheFieldAndKeepsTheWindow) {
    auto* length = Get<QLineEdit>(kLengthEdit);
    const struct {
        const char* typed;
        int taps;      // committed afterwards
        size_t boxes;  // shown so far
        const char* shown;
    } cases[] = {
        {"61", 61, 0, "61"}, {"abc", 61, 1, "61"}, {"2", 61, 2, "61"}, {"45", 45, 2, "45"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        length->setFocus(Qt::MouseFocusReason);
        length->selectAll();
        QTest::keyClicks(length, QString::fromLatin1(c.typed));
        QTest::keyClick(length, Qt::Key_Return);
        Settle();
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(answerer.boxes.size(), c.boxes);
        EXPECT_EQ(window->Logic().Spec().Taps, c.taps);
        EXPECT_EQ(length->text().toStdString(), c.shown);
    }
}

// Quit, Escape, Enter outside the fields and the close box end the window at once
// with nothing unsaved; with inputs changed since the start, Save or Load they ask
// first, and each answer does what it says.
TEST_F(WindowTest, QuitAsksBeforeUnsavedInputsAreLost) {
    TempDir dir;
    enum Way { QuitButton, Escape, EnterOnCheckBox, CloseBox };
    enum Answer { None, Save, SaveCancelled, Discard, Cancel };
    struct Case {
        Way way;
        bool changed;  // Filter Length 61, then Apply
        Answer answer;
        bool closes;
        bool savedFile;  // the spec file was written
    };
    const Case cases[] = {
        {QuitButton, false, None, true, false},
        {Escape, false, None, true, false},
        {EnterOnCheckBox, false, None, true, false},
        {CloseBox, false, None, true, false},
        {QuitButton, true, Cancel, false, false},
        {Escape, true, Discard, true, false},
        {EnterOnCheckBox, true, Save, true, true},
        {CloseBox, true, SaveCancelled, false, false},
        {Escape, true, Save, true, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "case " << n);
        window = std::make_unique<CFilterDesignDlg>(design, canvases);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        Settle();
        if (c.changed) {
            Type(kLengthEdit, "61");
            Click(kApplyButton);
        }
        const std::string file = (dir / ("spec" + std::to_string(n++) + ".txt")).string();
        answerer.AnswerFileDialogWith(c.answer == Save ? file : "");
        answerer.boxes.clear();
        std::vector<std::string> questions;
        answerer.answerOther = [&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box == nullptr || box->icon() != QMessageBox::Question) return false;
            questions.push_back(box->text().toStdString());
            const QMessageBox::StandardButton button = c.answer == Discard  ? QMessageBox::Discard
                                                       : c.answer == Cancel ? QMessageBox::Cancel
                                                                            : QMessageBox::Save;
            EXPECT_NE(box->button(QMessageBox::Save), nullptr);
            EXPECT_NE(box->button(QMessageBox::Discard), nullptr);
            EXPECT_NE(box->button(QMessageBox::Cancel), nullptr);
            if (QAbstractButton* b = box->button(button)) b->click();
            return true;
        };
        switch (c.way) {
            case QuitButton:
                Click(kQuitButton);
                break;
            case Escape:
                QTest::keyClick(Get<QLineEdit>(kLengthEdit), Qt::Key_Escape);
                break;
            case EnterOnCheckBox:
                QTest::keyClick(Get<QCheckBox>(kAutoDesignCheck), Qt::Key_Return);
                break;
            case CloseBox:
                window->close();
                break;
        }
        Settle();
        answerer.answerOther = nullptr;
        EXPECT_EQ(questions.size(), c.answer == None ? 0u : 1u);
        if (!questions.empty()) {
            EXPECT_EQ(questions[0], kDiscardUnsavedText);
        }
        EXPECT_EQ(window->isVisible(), !c.closes);
        EXPECT_EQ(fs::exists(file), c.savedFile);
        if (c.savedFile) {
            ASSERT_EQ(answerer.boxes.size(), 1u);
            EXPECT_EQ(answerer.boxes[0].text, kFileSavedText);
        } else {
            EXPECT_TRUE(answerer.boxes.empty());
        }
        // What was saved or kept is no longer unsaved.
        EXPECT_EQ(window->Logic().InputsChangedSinceSaved(), c.changed && !c.savedFile);
    }
}

// A text with a number printed whole (hundreds of digits, no space) is shown whole:
// the box wraps it within the screen.
TEST_F(WindowTest, ABoxShowsAVeryLongNumberWhole) {
    MessageArgs args;
    args.rangeLow = 1e300;
    args.rangeHigh = 4000.0;
    const std::string text = FormatMessage(MessageCode::ViewHighOutOfRange, args);
    ASSERT_GT(text.size(), 300u);
    QSize boxSize, labelSize, labelHint;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        boxSize = box->size();
        labelSize = label->size();
        labelHint = label->sizeHint();
    });
    window->Platform().ShowBox(BoxIcon::Stop, text);
    ASSERT_EQ(answerer.boxes.size(), 1u);
    QString shown = QString::fromStdString(answerer.boxes[0].text);
    shown.remove(QChar(0x200B));
    EXPECT_EQ(shown.toStdString(), text);
    EXPECT_LE(boxSize.width(), window->screen()->availableGeometry().width());
    EXPECT_GE(labelSize.width(), labelHint.width());
    EXPECT_GE(labelSize.height(), labelHint.height());
}

// Text typed into a combo gives way to its stored item when the combo loses the
// focus, though nothing in the model changed.
TEST_F(WindowTest, AComboShowsItsItemAgainWhenItLosesTheFocus) {
    auto* fft = Get<QComboBox>(kFftSizeCombo);
    fft->setFocus(Qt::MouseFocusReason);
    fft->lineEdit()->selectAll();
    QTest::keyClicks(fft->lineEdit(), QStringLiteral("abc"));
    ASSERT_EQ(fft->currentText(), "abc");
    QTest::keyClick(fft, Qt::Key_Tab);
    Settle();
    EXPECT_EQ(fft->currentText(), "512");
    EXPECT_EQ(fft->currentIndex(), 6);
    EXPECT_TRUE(answerer.boxes.empty());
}

// Save and Load through their buttons and file dialogs; a file given at start-up
// loads without the success box, and one that cannot be read leaves the defaults.
TEST_F(WindowTest, SaveAndLoadThroughTheirDialogs) {
    TempDir dir;
    Click(kApplyButton);
    const std::string saved = (dir / "saved").string();  // the dialog adds ".txt"
    answerer.AnswerFileDialogWith(saved);
    Click(kSaveButton);
    ASSERT_EQ(answerer.fileFilters.size(), 1u);
    EXPECT_EQ(answerer.fileFilters[0], QStringList{"Text Files (*.txt)"});
    EXPECT_EQ(answerer.defaultSuffixes[0], "txt");
    ASSERT_TRUE(fs::exists(saved + ".txt"));
    ASSERT_EQ(answerer.boxes.size(), 1u);
    EXPECT_EQ(answerer.boxes[0].text, kFileSavedText);
    EXPECT_EQ(answerer.boxes[0].icon, QMessageBox::Information);

    answerer.AnswerFileDialogWith(kExamples + "/kaiser_auto.txt");
    Click(kLoadButton);
    ASSERT_EQ(answerer.fileFilters.size(), 2u);
    EXPECT_EQ(answerer.fileFilters[1], (QStringList{"Text Files (*.txt)", "All Files (*.*)"}));
    ASSERT_EQ(answerer.boxes.size(), 2u);
    EXPECT_EQ(answerer.boxes[1].text, kFileLoadedText);
    EXPECT_EQ(window->Logic().Spec().WType, Kaiser);

    answerer.boxes.clear();
    EXPECT_TRUE(window->LoadStartupFile(kExamples + "/multiband_equiripple.txt"));
    EXPECT_TRUE(answerer.boxes.empty());
    EXPECT_EQ(window->Logic().Spec().TBand, 4);

    const Snapshot loaded = Snapshot::Take(*window);
    EXPECT_FALSE(window->LoadStartupFile((dir / "missing.txt").string()));
    Settle();
    ASSERT_EQ(answerer.boxes.size(), 1u);
    EXPECT_EQ(answerer.boxes[0].text, "Error opening file");
    EXPECT_TRUE(Snapshot::Take(*window) == loaded);
}

// ---- Printing and the right-click menus ------------------------------------------

// The print dialog answered at once: the report goes to a PDF file.
class PdfPrintDialog : public PrintDialogRunner {
  public:
    std::string file;
    int shownPageCount = 0;
    std::function<void()> whenShown;

    bool Run(QPrinter& printer, int pageCount) override {
        shownPageCount = pageCount;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(file));
        printer.setPrintRange(QPrinter::AllPages);
        if (whenShown) whenShown();
        return true;
    }
};

class WindowActionsTest : public WindowTest {
  protected:
    using Items = std::vector<std::pair<std::string, bool>>;  // text, enabled

    // Right-clicks control `id` (0: the window's background) as a user does, and
    // chooses `item` from the menu that opens ("" or a disabled item: closes it).
    // Returns the menu's items.
    Items RightClick(int id, const std::string& item) {
        Items items;
        bool opened = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr || opened) return;
            opened = true;
            QAction* chosen = nullptr;
            for (QAction* a : menu->actions()) {
                items.emplace_back(a->text().toStdString(), a->isEnabled());
                if (a->text().toStdString() == item && a->isEnabled()) chosen = a;
            }
            if (chosen != nullptr) {
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
            } else {
                menu->close();
            }
        });
        poll.start(5);
        QWidget* target = id != 0 ? window->Control(id) : window.get();
        if (auto* area = qobject_cast<QAbstractScrollArea*>(target)) target = area->viewport();
        const QPoint at = id != 0 ? target->rect().center() : QPoint(3, window->height() - 3);
        if (id == 0) {
            EXPECT_EQ(window->childAt(at), nullptr);
        }
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
        QApplication::sendEvent(target, &event);
        Settle();
        EXPECT_TRUE(opened);
        return items;
    }

    // A design of 61 taps on screen.
    void DesignBandPass() {
        Load(kExamples + "/bandpass_hamming.txt");
        Click(kApplyButton);
        ASSERT_TRUE(window->Logic().Flags().designValid);
    }
};

const std::string kBandPassHeader =
    "Tapwright ========================= Sampling Frequency : 8000.00 Hz Filter Response Type : "
    "Band Pass Filter Filter Characteristic : Symmetrical Impulse Response, Odd Filter Length "
    "Function Type : Hamming Window Filter Length : 61 1st Cutoff Frequency : 1000.00 Hz 2nd "
    "Cutoff Frequency : 2000.00 Hz ";

// Each print button prints the design on screen: through the dialog a test answers,
// and through the print dialog itself, whose target is a PDF where no printer is
// installed.
TEST_F(WindowActionsTest, PrintButtonsPrintTheDesignOnScreen) {
    struct Case {
        int button;
        bool realDialog;
        std::string file;  // the PDF written
        std::string text;  // how its text begins
        std::string box;
    };
    TempDir dir;
    const Case cases[] = {
        {kPrintResponseButton, false, (dir / "response-test.pdf").string(),
         kBandPassHeader + "Graphical Plot : Impulse Response Plot Page:1 of 1",
         kResponsePrintedText},
        {kPrintCoefficientsButton, false, (dir / "coefficients-test.pdf").string(),
         kBandPassHeader + "Filter Coefficients ------------------- H(01) --> ",
         kCoefficientsPrintedText},
        {kPrintResponseButton, true, (dir / "response.pdf").string(), kBandPassHeader,
         kResponsePrintedText},
    };
    DesignBandPass();
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(dir.path().string()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        if (c.realDialog && !QPrinterInfo::availablePrinters().isEmpty()) continue;
        PdfPrintDialog dialog;
        dialog.file = c.file;
        bool printDialogShown = false;
        bool countShownWithBox = false;
        answerer.answerOther = [&](QWidget* modal) {
            if (qobject_cast<QMessageBox*>(modal) != nullptr) {
                countShownWithBox =
                    window->findChild<QLabel*>(QStringLiteral("printProgress"))->isVisible();
            }
            auto* print = qobject_cast<QPrintDialog*>(modal);
            if (print == nullptr) return false;
            printDialogShown = true;
            print->accept();
            return true;
        };
        window->SetPrintDialogRunner(c.realDialog ? nullptr : &dialog);
        answerer.boxes.clear();
        Click(c.button);
        EXPECT_EQ(printDialogShown, c.realDialog);
        const std::string text = testing::PdfText(c.file);
        EXPECT_EQ(text.rfind(c.text, 0), 0u) << text.substr(0, 400);
        ASSERT_EQ(answerer.boxes.size(), 1u);
        // The box names the file (a long path gets invisible break chances).
        EXPECT_EQ(
            QString::fromStdString(answerer.boxes[0].text).remove(QChar(0x200B)).toStdString(),
            c.box + " to " + c.file);
        EXPECT_EQ(answerer.boxes[0].icon, QMessageBox::Information);
        EXPECT_FALSE(countShownWithBox);  // the box ends the job
    }
    qputenv("HOME", home);
    window->SetPrintDialogRunner(nullptr);
}

// The coefficient report of the longest Kaiser design (the length the design chose,
// which Apply writes into its field) counts its pages in the window, takes no input
// but Escape, and Escape stops it leaving no file.
TEST_F(WindowActionsTest, EscapeStopsALongCoefficientReportAndWritesNothing) {
    Select(kFunctionTypeCombo, Kaiser);
    Click(kAutoDesignCheck);
    Type(kFirstCutoffEdit, "1000");
    Click(kApplyButton);
    ASSERT_EQ(window->Logic().Spec().Taps, 95849);
    ASSERT_TRUE(window->Control(kPrintCoefficientsButton)->isEnabled());

    TempDir dir;
    PdfPrintDialog dialog;
    dialog.file = (dir / "coefficients.pdf").string();
    const bool gridBefore = Get<QCheckBox>(kGridCheck)->isChecked();
    std::string progressShown;
    dialog.whenShown = [&] {
        // After the first page has been drawn.
        QTimer::singleShot(0, [&] {
            auto* progress = window->findChild<QLabel*>(QStringLiteral("printProgress"));
            if (progress != nullptr && progress->isVisible()) {
                progressShown = progress->text().toStdString();
            }
            EXPECT_TRUE(window->Printing());
            QTest::mouseClick(window->Control(kGridCheck), Qt::LeftButton);
            QTest::keyClick(window->focusWidget() ? window->focusWidget() : window.get(),
                            Qt::Key_Escape);
        });
    };
    window->SetPrintDialogRunner(&dialog);
    Click(kPrintCoefficientsButton);
    window->SetPrintDialogRunner(nullptr);

    EXPECT_EQ(dialog.shownPageCount, 1066);
    EXPECT_EQ(progressShown, "Printing page 1 of 1066\nEsc cancels");
    EXPECT_FALSE(window->Printing());
    EXPECT_TRUE(fs::is_empty(dir.path()));
    EXPECT_TRUE(answerer.boxes.empty());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Get<QCheckBox>(kGridCheck)->isChecked(), gridBefore);
    EXPECT_TRUE(window->findChild<QLabel*>(QStringLiteral("printProgress"))->isHidden());
}

// The coefficient list's and the main graph's menus, offered only with a design on
// screen; the window's own menu stays everywhere else.
TEST_F(WindowActionsTest, RightClickMenusOfferTheirItemsWithADesign) {
    const Items aboutMenu = {{"&About Quillon Tapwright...", true}};
    auto items = [](bool enabled, std::vector<std::string> texts) {
        Items out;
        for (const std::string& t : texts) out.emplace_back(t, enabled);
        return out;
    };
    const std::vector<std::string> list = {"Copy Coefficients", "Export Coefficients..."};
    const std::vector<std::string> graph = {"Save Graph As PNG...", "Copy Graph",
                                            "Measure Design..."};
    EXPECT_EQ(RightClick(kCoefficientList, ""), items(false, list));
    EXPECT_EQ(RightClick(kMainGraph, ""), items(false, graph));
    EXPECT_EQ(RightClick(0, ""), aboutMenu);
    DesignBandPass();
    EXPECT_EQ(RightClick(kCoefficientList, ""), items(true, list));
    EXPECT_EQ(RightClick(kMainGraph, ""), items(true, graph));
    EXPECT_EQ(RightClick(0, ""), aboutMenu);
    EXPECT_TRUE(answerer.boxes.empty());

    // The About item and F1 open the About box, which names the program's version.
    std::vector<std::string> about;
    answerer.answerOther = [&](QWidget* modal) {
        if (dynamic_cast<CAboutDlg*>(modal) == nullptr) return false;
        about.push_back(modal->windowTitle().toStdString());
        for (QLabel* label : modal->findChildren<QLabel*>()) {
            if (label->text().contains(QStringLiteral("version"))) {
                about.back() += " / " + label->text().toStdString();
            }
        }
        static_cast<QDialog*>(modal)->accept();
        return true;
    };
    RightClick(0, aboutMenu[0].first);
    QTest::keyClick(window.get(), Qt::Key_F1);
    Settle();
    answerer.answerOther = nullptr;
    const std::string shown =
        std::string("About Tapwright / <b>Quillon Tapwright</b> version ") + ProgramVersion();
    EXPECT_EQ(about, (std::vector<std::string>{shown, shown}));
}

// What the items give: the coefficients and the graph on the clipboard, the graph
// as a PNG file, the exports read back.
TEST_F(WindowActionsTest, MenuItemsCopySaveAndExportTheDesignOnScreen) {
    DesignBandPass();
    const std::vector<double> h = window->Logic().Design().coeffs;
    const QImage shown = canvases.mainFront.Image().convertToFormat(QImage::Format_RGB32);

    RightClick(kCoefficientList, "Copy Coefficients");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), CoefficientClipboardText(h));
    RightClick(kMainGraph, "Copy Graph");
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), shown);

    TempDir dir;
    answerer.AnswerFileDialogWith((dir / "graph").string());  // the dialog adds ".png"
    RightClick(kMainGraph, "Save Graph As PNG...");
    EXPECT_EQ(answerer.fileFilters.back(), QStringList{"PNG Images (*.png)"});
    EXPECT_EQ(QImage(QString::fromStdString((dir / "graph.png").string()))
                  .convertToFormat(QImage::Format_RGB32),
              shown);

    // The numbers of an export, one per line after its header lines.
    auto numbers = [](const std::string& text, std::size_t skip, char separator) {
        std::vector<double> values;
        std::istringstream in(text);
        std::string line;
        for (std::size_t n = 0; std::getline(in, line); ++n) {
            if (n < skip) continue;
            const std::size_t at = separator ? line.find(separator) + 1 : 0;
            values.push_back(std::strtod(line.c_str() + at, nullptr));
        }
        return values;
    };
    QuantizedTaps q12;
    ASSERT_TRUE(QuantizeTaps(h, 12, q12));
    const std::vector<double> fixed(q12.values.begin(), q12.values.end());
    struct Case {
        ExportFormat format;
        int bits;  // 0: fixed point left off
        const char* typed;
        const char* written;
        std::size_t skip;  // header lines
        char separator;
        std::vector<double> values;
    };
    const Case cases[] = {
        {ExportFormat::Csv, 0, "taps", "taps.csv", 1, ',', h},
        {ExportFormat::Text, 12, "taps.txt", "taps.txt", 1, 0, fixed},
        {ExportFormat::Coe, 12, "taps", "taps.coe", 5, 0, fixed},
    };
    for (const Case& c : cases) {
        const QString filter = ExportFormatDetails(c.format).filter;
        SCOPED_TRACE(filter.toStdString());
        bool fixedForced = false;
        answerer.answerOther = [&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            auto* fixedPoint = modal->findChild<QCheckBox*>(QStringLiteral("fixedPoint"));
            if (dialog == nullptr || fixedPoint == nullptr) return false;
            EXPECT_EQ(dialog->windowTitle(), "Export Coefficients");
            EXPECT_EQ(fixedPoint->text(), "Fixed point, word length:");
            // The user picks the format from the list, then the word length.
            dialog->selectNameFilter(filter);
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            if (types != nullptr) emit types->textActivated(filter);
            fixedForced = fixedPoint->isChecked() && !fixedPoint->isEnabled();
            if (c.bits != 0) {
                fixedPoint->setChecked(true);
                modal->findChild<QSpinBox*>(QStringLiteral("wordLength"))->setValue(c.bits);
            }
            dialog->selectFile(QString::fromStdString((dir / c.typed).string()));
            QMetaObject::invokeMethod(dialog, "accept");
            return true;
        };
        RightClick(kCoefficientList, "Export Coefficients...");
        answerer.answerOther = nullptr;
        EXPECT_EQ(fixedForced, ExportFormatDetails(c.format).needsBits);
        const std::string text = test::ReadFile(dir / c.written);
        EXPECT_EQ(numbers(text, c.skip, c.separator), c.values) << text.substr(0, 300);
    }
    EXPECT_TRUE(answerer.boxes.empty());
}

// Measure Design shows the rows of the design's measurements, and beside them those
// of its fixed-point form once a word length is chosen.
TEST_F(WindowActionsTest, MeasureDesignShowsTheMeasurementRows) {
    DesignBandPass();
    auto expected = [&](int bits) {
        DesignMeasurements m;
        EXPECT_TRUE(MeasureDesign(window->Logic().Spec(), window->Logic().Design(), bits, m));
        std::vector<std::vector<std::string>> rows;
        for (const MeasurementRow& r : MeasurementRows(m)) {
            rows.push_back({r.label, r.value});
            if (bits != 0) rows.back().push_back(r.quantized);
        }
        return rows;
    };
    std::vector<std::vector<std::vector<std::string>>> shown;
    bool warningShown = true;
    bool bitsOffUntilTicked = false;  // the word length waits for "Fixed point"
    answerer.answerOther = [&](QWidget* modal) {
        if (modal->objectName() != QStringLiteral("measureDialog")) return false;
        EXPECT_EQ(modal->windowTitle(), "Measure Design");
        EXPECT_EQ(modal->findChild<QCheckBox*>(QStringLiteral("fixedPoint"))->text(),
                  "Fixed point, word length:");
        auto* table = modal->findChild<QTableWidget*>(QStringLiteral("measurements"));
        auto read = [&] {
            std::vector<std::vector<std::string>> rows;
            for (int r = 0; r < table->rowCount(); ++r) {
                rows.emplace_back();
                for (int c = 0; c < table->columnCount(); ++c) {
                    rows.back().push_back(table->item(r, c)->text().toStdString());
                }
            }
            shown.push_back(rows);
        };
        read();
        auto* bits = modal->findChild<QSpinBox*>(QStringLiteral("wordLength"));
        bitsOffUntilTicked = !bits->isEnabled();
        bits->setValue(10);
        modal->findChild<QCheckBox*>(QStringLiteral("fixedPoint"))->setChecked(true);
        bitsOffUntilTicked = bitsOffUntilTicked && bits->isEnabled();
        read();
        EXPECT_EQ(table->horizontalHeaderItem(2)->text(), "10-bit fixed point");
        modal->findChild<QSpinBox*>(QStringLiteral("wordLength"))->setValue(12);
        read();
        warningShown =
            modal->findChild<QLabel*>(QStringLiteral("conditioningWarning"))->isVisible();
        static_cast<QDialog*>(modal)->reject();
        return true;
    };
    RightClick(kMainGraph, "Measure Design...");
    answerer.answerOther = nullptr;
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], expected(0));
    EXPECT_EQ(shown[1], expected(10));
    EXPECT_EQ(shown[2], expected(12));
    EXPECT_FALSE(warningShown);  // a window design has none
    EXPECT_TRUE(bitsOffUntilTicked);
    EXPECT_TRUE(answerer.boxes.empty());
}

// The fixed-point choices of the export dialog reach the file, and "Shortest Word
// Length" of Measure Design sets the word length the search finds.
TEST_F(WindowActionsTest, FixedPointChoicesReachTheExportAndTheSearch) {
    DesignBandPass();
    TempDir dir;
    answerer.answerOther = [&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (dialog == nullptr) return false;
        const QString filter = ExportFormatDetails(ExportFormat::Verilog).filter;
        dialog->selectNameFilter(filter);
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        if (types != nullptr) emit types->textActivated(filter);
        modal->findChild<QSpinBox*>(QStringLiteral("wordLength"))->setValue(12);
        modal->findChild<QComboBox*>(QStringLiteral("rounding"))
            ->setCurrentIndex(static_cast<int>(Rounding::NearestEven));
        modal->findChild<QSpinBox*>(QStringLiteral("inputBits"))->setValue(10);
        dialog->selectFile(QString::fromStdString((dir / "taps").string()));
        QMetaObject::invokeMethod(dialog, "accept");
        return true;
    };
    RightClick(kCoefficientList, "Export Coefficients...");
    ExportOptions o;
    o.format = ExportFormat::Verilog;
    o.bits = 12;
    o.rounding = Rounding::NearestEven;
    o.inputBits = 10;
    o.name = "taps";
    o.command = "Tapwright window, Export Coefficients";
    std::string expected, error;
    ASSERT_TRUE(
        FormatExport(window->Logic().Spec(), window->Logic().Design(), o, expected, &error));
    EXPECT_EQ(test::ReadFile(dir / "taps.v"), expected);

    int bitsShown = 0;
    bool fixedShown = false;
    std::string result;
    answerer.answerOther = [&](QWidget* modal) {
        if (modal->objectName() != QStringLiteral("measureDialog")) return false;
        modal->findChild<QPushButton*>(QStringLiteral("shortestWordLength"))->click();
        bitsShown = modal->findChild<QSpinBox*>(QStringLiteral("wordLength"))->value();
        fixedShown = modal->findChild<QCheckBox*>(QStringLiteral("fixedPoint"))->isChecked();
        auto* label = modal->findChild<QLabel*>(QStringLiteral("shortestResult"));
        if (label->isVisibleTo(modal)) result = label->text().toStdString();
        static_cast<QDialog*>(modal)->reject();
        return true;
    };
    RightClick(kMainGraph, "Measure Design...");
    answerer.answerOther = nullptr;
    WordLengthResult r;
    ASSERT_TRUE(FindShortestWordLength(window->Logic().Spec(), window->Logic().Design(),
                                       QuantizeOptions{}, kDefaultMeetMarginDb, r));
    ASSERT_TRUE(r.found);
    EXPECT_EQ(bitsShown, r.bits);
    EXPECT_TRUE(fixedShown);
    EXPECT_EQ(result.rfind("Shortest word length: " + std::to_string(r.bits) + " bits", 0), 0u)
        << result;
    EXPECT_TRUE(answerer.boxes.empty());
}

}  // namespace
}  // namespace tapwright::ui
