#include "ui/design_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "core/quantize.h"
#include "ui/qt_window_platform.h"

namespace tapwright::ui {

namespace {

// Names a widget for tests (object name) and for assistive tools (accessible name).
template <typename W>
W* Named(W* widget, const char* objectName, const char* accessibleName) {
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setAccessibleName(QString::fromLatin1(accessibleName));
    return widget;
}

// The rounding rules as the combo box lists them, in the order of Rounding.
constexpr const char* kRoundingTexts[kRoundingCount] = {
    "nearest, ties away from zero", "nearest, ties to even", "floor (truncate)", "toward zero"};

ExportFormat FormatOfFilter(const QStringList& filters, const QString& filter) {
    const qsizetype index = filters.indexOf(filter);
    return static_cast<ExportFormat>(index < 0 ? 0 : index);
}

}  // namespace

QuantizeOptions FixedPointChoices::Quantize(int bits) const {
    QuantizeOptions o;
    o.bits = bits;
    if (bits != 0) {
        o.fraction = fractionBits;
        o.rounding = rounding;
        o.overflow = overflow;
    }
    return o;
}

ExportOptions ExportChoice::Options() const {
    ExportOptions o;
    o.format = format;
    o.bits = bits;
    o.name.clear();
    if (bits != 0) {
        o.fractionBits = fixed.fractionBits;
        o.rounding = fixed.rounding;
        o.overflow = fixed.overflow;
        if (ExportFormatDetails(format).hdl) o.inputBits = fixed.inputBits;
    }
    return o;
}

FixedPointChoiceRow::FixedPointChoiceRow(QWidget* parent, QHBoxLayout* wordRow,
                                         QHBoxLayout* choiceRow) {
    fixedPoint = Named(new QCheckBox(QStringLiteral("Fixed point, word length:"), parent),
                       "fixedPoint", "Fixed Point");
    bits = Named(new QSpinBox(parent), "wordLength", "Word Length");
    bits->setRange(kMinQuantizeBits, kMaxQuantizeBits);
    bits->setValue(kDefaultWordLength);
    bits->setSuffix(QStringLiteral(" bits"));
    // A typed length counts when it is complete, not at every key.
    bits->setKeyboardTracking(false);
    wordRow->addWidget(fixedPoint);
    wordRow->addWidget(bits);
    wordRow->addStretch(1);
    fixedFraction = Named(new QCheckBox(QStringLiteral("Fraction bits:"), parent), "fixedFraction",
                          "Fraction Bits Given");
    fixedFraction->setToolTip(QStringLiteral("Off: the largest scale at which every tap fits"));
    fraction = Named(new QSpinBox(parent), "fractionBits", "Fraction Bits");
    fraction->setRange(-64, 96);
    fraction->setValue(kDefaultWordLength - 1);
    fraction->setKeyboardTracking(false);
    rounding = Named(new QComboBox(parent), "rounding", "Rounding");
    for (const char* text : kRoundingTexts) rounding->addItem(QString::fromUtf8(text));
    overflow = Named(new QComboBox(parent), "overflow", "Overflow");
    overflow->addItem(QStringLiteral("saturate"));
    overflow->addItem(QStringLiteral("refuse (error)"));
    inputBits = Named(new QSpinBox(parent), "inputBits", "Input Width");
    // The lowest value stands for "as wide as the taps".
    inputBits->setRange(kMinInputBits - 1, kMaxInputBits);
    inputBits->setSpecialValueText(QStringLiteral("as the taps"));
    inputBits->setSuffix(QStringLiteral(" bits"));
    inputBits->setValue(kMinInputBits - 1);
    inputBits->setKeyboardTracking(false);
    choiceRow->addWidget(fixedFraction);
    choiceRow->addWidget(fraction);
    choiceRow->addWidget(new QLabel(QStringLiteral("Rounding:"), parent));
    choiceRow->addWidget(rounding);
    choiceRow->addWidget(new QLabel(QStringLiteral("Overflow:"), parent));
    choiceRow->addWidget(overflow);
    choiceRow->addWidget(new QLabel(QStringLiteral("Input width:"), parent));
    choiceRow->addWidget(inputBits);
    choiceRow->addStretch(1);
    QObject::connect(fixedFraction, &QCheckBox::toggled, fraction,
                     [this](bool on) { fraction->setEnabled(on && fixedFraction->isEnabled()); });
    QObject::connect(fixedPoint, &QCheckBox::toggled, bits, [this](bool on) { SetEnabled(on); });
    SetEnabled(false);
}

FixedPointChoices FixedPointChoiceRow::Choices() const {
    FixedPointChoices c;
    if (fixedFraction->isChecked()) c.fractionBits = fraction->value();
    c.rounding = static_cast<Rounding>(std::clamp(rounding->currentIndex(), 0, kRoundingCount - 1));
    c.overflow = overflow->currentIndex() == 1 ? Overflow::Error : Overflow::Saturate;
    c.inputBits = inputBits->value() < kMinInputBits ? 0 : inputBits->value();
    return c;
}

void FixedPointChoiceRow::SetEnabled(bool on) {
    bits->setEnabled(on);
    fixedFraction->setEnabled(on);
    fraction->setEnabled(on && fixedFraction->isChecked());
    rounding->setEnabled(on);
    overflow->setEnabled(on);
    inputBits->setEnabled(on);
}

std::optional<ExportChoice> AskExportTarget(QWidget* parent) {
    QFileDialog dialog(parent, QStringLiteral("Export Coefficients"));
    // Qt's own dialog, so that the word length can sit in it.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (int i = 0; i < kExportFormatCount; ++i) {
        filters << QString::fromUtf8(ExportFormatDetails(static_cast<ExportFormat>(i)).filter);
    }
    dialog.setNameFilters(filters);

    auto* row = new QHBoxLayout;
    auto* choiceRow = new QHBoxLayout;
    FixedPointChoiceRow choices(&dialog, row, choiceRow);
    QCheckBox* fixedPoint = choices.fixedPoint;
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        grid->addLayout(row, grid->rowCount(), 0, 1, grid->columnCount());
        grid->addLayout(choiceRow, grid->rowCount(), 0, 1, grid->columnCount());
    } else {
        dialog.layout()->addItem(row);
        dialog.layout()->addItem(choiceRow);
    }
    bool hdl = false;
    // The choices follow "Fixed point"; the input width belongs to Verilog and VHDL.
    auto enable = [&choices, &hdl, fixedPoint] {
        choices.SetEnabled(fixedPoint->isChecked());
        choices.inputBits->setEnabled(fixedPoint->isChecked() && hdl);
    };
    QObject::connect(fixedPoint, &QCheckBox::toggled, &dialog, enable);
    // A format of integers only needs the word length.
    auto follow = [&dialog, &filters, &hdl, fixedPoint, enable](const QString& filter) {
        const ExportFormatInfo& info = ExportFormatDetails(FormatOfFilter(filters, filter));
        dialog.setDefaultSuffix(QString::fromUtf8(info.extension));
        hdl = info.hdl;
        if (info.needsBits) fixedPoint->setChecked(true);
        fixedPoint->setEnabled(!info.needsBits);
        enable();
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
    follow(filters.first());

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    ExportChoice choice;
    choice.format = FormatOfFilter(filters, dialog.selectedNameFilter());
    const ExportFormatInfo& info = ExportFormatDetails(choice.format);
    QString path = dialog.selectedFiles().first();
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QLatin1Char('.') + QString::fromUtf8(info.extension);
    }
    choice.path = LocalPath(path);
    choice.bits = info.needsBits || fixedPoint->isChecked() ? choices.bits->value() : 0;
    if (choice.bits != 0) choice.fixed = choices.Choices();
    return choice;
}

MeasureDialog::MeasureDialog(Measure measure, Meet meet, QWidget* parent)
    : QDialog(parent), measure_(std::move(measure)), meet_(std::move(meet)) {
    setWindowTitle(QStringLiteral("Measure Design"));
    setObjectName(QStringLiteral("measureDialog"));

    auto* row = new QHBoxLayout;
    auto* choiceRow = new QHBoxLayout;
    choices_ = std::make_unique<FixedPointChoiceRow>(this, row, choiceRow);
    auto* meetRow = new QHBoxLayout;
    shortest_ = Named(new QPushButton(QStringLiteral("Shortest Word Length"), this),
                      "shortestWordLength", "Shortest Word Length");
    shortest_->setAutoDefault(false);
    margin_ = Named(new QDoubleSpinBox(this), "meetMargin", "Margin");
    margin_->setRange(0.0, 60.0);
    margin_->setDecimals(2);
    margin_->setSingleStep(0.5);
    margin_->setValue(kDefaultMeetMarginDb);
    margin_->setSuffix(QStringLiteral(" dB"));
    margin_->setToolTip(
        QStringLiteral("Where the spec sets no ripple or attenuation: how far the fixed-point "
                       "taps may fall short of the design's own figures"));
    meetRow->addWidget(shortest_);
    meetRow->addWidget(new QLabel(QStringLiteral("margin:"), this));
    meetRow->addWidget(margin_);
    meetRow->addStretch(1);
    meetResult_ = Named(new QLabel(this), "shortestResult", "Shortest Word Length Result");
    meetResult_->setTextFormat(Qt::PlainText);
    meetResult_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    meetResult_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    meetResult_->hide();

    table_ = Named(new QTableWidget(this), "measurements", "Measurements");
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    table_->setShowGrid(false);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);

    warning_ = Named(new QLabel(this), "conditioningWarning", "Conditioning Warning");
    warning_->setWordWrap(true);
    warning_->setTextFormat(Qt::PlainText);
    warning_->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(choiceRow);
    layout->addLayout(meetRow);
    layout->addWidget(meetResult_);
    layout->addWidget(table_, 1);
    layout->addWidget(warning_);
    layout->addWidget(buttons);

    // The row enables its widgets first.
    connect(choices_->fixedPoint, &QCheckBox::toggled, this, &MeasureDialog::Refresh);
    auto refreshFixed = [this] {
        if (choices_->fixedPoint->isChecked()) Refresh();
    };
    connect(choices_->bits, &QSpinBox::valueChanged, this, refreshFixed);
    connect(choices_->fixedFraction, &QCheckBox::toggled, this, refreshFixed);
    connect(choices_->fraction, &QSpinBox::valueChanged, this, refreshFixed);
    connect(choices_->rounding, &QComboBox::currentIndexChanged, this, refreshFixed);
    connect(choices_->overflow, &QComboBox::currentIndexChanged, this, refreshFixed);
    connect(choices_->inputBits, &QSpinBox::valueChanged, this, refreshFixed);
    connect(shortest_, &QPushButton::clicked, this, &MeasureDialog::FindShortest);
    Refresh();
}

MeasureDialog::~MeasureDialog() = default;

void MeasureDialog::FindShortest() {
    WordLengthResult r;
    if (!meet_ || !meet_(choices_->Choices().Quantize(kMaxQuantizeBits), margin_->value(), r)) {
        return;
    }
    // The figures only: the table below shows the measurements at the length found.
    std::string text = FormatWordLengthResult(r);
    const std::size_t blank = text.find("\n\n");
    if (blank != std::string::npos) text.resize(blank);
    meetResult_->setText(ToQString(text));
    meetResult_->show();
    if (r.found) {
        const QSignalBlocker block(choices_->bits);
        choices_->bits->setValue(r.bits);
    }
    if (r.found && !choices_->fixedPoint->isChecked()) {
        choices_->fixedPoint->setChecked(true);  // refreshes the table
    } else {
        Refresh();
    }
}

void MeasureDialog::Refresh() {
    MeasurementTable t;
    const FixedPointChoices c = choices_->Choices();
    const int bits = choices_->fixedPoint->isChecked() ? choices_->bits->value() : 0;
    if (!measure_(c.Quantize(bits), bits != 0 ? c.inputBits : 0, t)) return;
    measured_ = true;
    table_->clear();
    table_->setColumnCount(static_cast<int>(t.headings.size()));
    QStringList headings;
    for (const std::string& h : t.headings) headings << ToQString(h);
    table_->setHorizontalHeaderLabels(headings);
    table_->setRowCount(static_cast<int>(t.rows.size()));
    for (int r = 0; r < table_->rowCount(); ++r) {
        const MeasurementRow& row = t.rows[static_cast<std::size_t>(r)];
        const std::string* cells[] = {&row.label, &row.value, &row.quantized};
        for (int c = 0; c < table_->columnCount() && c < 3; ++c) {
            table_->setItem(r, c, new QTableWidgetItem(ToQString(*cells[c])));
        }
    }
    table_->resizeColumnsToContents();
    warning_->setText(ToQString(t.warning));
    warning_->setVisible(!t.warning.empty());
    adjustSize();
    // adjustSize stops at two thirds of the screen, which clips the fixed-point
    // column; the table's whole width is wanted, up to the screen's.
    int wanted = 2 * table_->frameWidth() + layout()->contentsMargins().left() +
                 layout()->contentsMargins().right();
    for (int c = 0; c < table_->columnCount(); ++c) wanted += table_->columnWidth(c);
    if (table_->verticalScrollBar()->isVisible()) wanted += table_->verticalScrollBar()->width();
    if (const QScreen* s = screen()) wanted = std::min(wanted, s->availableGeometry().width());
    if (wanted > width()) resize(wanted, height());
}

}  // namespace tapwright::ui
