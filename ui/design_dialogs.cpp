#include "ui/design_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>
#include <utility>

#include "core/quantize.h"

namespace tapwright::ui {

namespace {

QString ToQString(const std::string& s) {
    return QString::fromStdString(s);
}

// "Fixed point, word length: [16 bits]", off at first.
std::pair<QCheckBox*, QSpinBox*> MakeWordLengthRow(QWidget* parent, QHBoxLayout* row) {
    auto* check = new QCheckBox(QStringLiteral("Fixed point, word length:"), parent);
    check->setObjectName(QStringLiteral("fixedPoint"));
    check->setAccessibleName(QStringLiteral("Fixed Point"));
    auto* bits = new QSpinBox(parent);
    bits->setObjectName(QStringLiteral("wordLength"));
    bits->setAccessibleName(QStringLiteral("Word Length"));
    bits->setRange(kMinQuantizeBits, kMaxQuantizeBits);
    bits->setValue(kDefaultWordLength);
    bits->setSuffix(QStringLiteral(" bits"));
    // A typed length counts when it is complete, not at every key.
    bits->setKeyboardTracking(false);
    bits->setEnabled(false);
    row->addWidget(check);
    row->addWidget(bits);
    row->addStretch(1);
    return {check, bits};
}

ExportFormat FormatOfFilter(const QStringList& filters, const QString& filter) {
    const qsizetype index = filters.indexOf(filter);
    return static_cast<ExportFormat>(index < 0 ? 0 : index);
}

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

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
    QCheckBox* fixedPoint = nullptr;
    QSpinBox* bits = nullptr;
    std::tie(fixedPoint, bits) = MakeWordLengthRow(&dialog, row);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        grid->addLayout(row, grid->rowCount(), 0, 1, grid->columnCount());
    } else {
        dialog.layout()->addItem(row);
    }
    QObject::connect(fixedPoint, &QCheckBox::toggled, bits, &QSpinBox::setEnabled);
    // A format of integers only needs the word length.
    auto follow = [&dialog, &filters, fixedPoint, bits](const QString& filter) {
        const ExportFormatInfo& info = ExportFormatDetails(FormatOfFilter(filters, filter));
        dialog.setDefaultSuffix(QString::fromUtf8(info.extension));
        if (info.needsBits) fixedPoint->setChecked(true);
        fixedPoint->setEnabled(!info.needsBits);
        bits->setEnabled(fixedPoint->isChecked());
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
    choice.bits = info.needsBits || fixedPoint->isChecked() ? bits->value() : 0;
    return choice;
}

std::optional<std::string> AskFileToSave(QWidget* parent, const QString& title,
                                         const QString& filter, const QString& suffix,
                                         bool confirmOverwrite) {
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    if (!confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return LocalPath(dialog.selectedFiles().first());
}

MeasureDialog::MeasureDialog(Measure measure, QWidget* parent)
    : QDialog(parent), measure_(std::move(measure)) {
    setWindowTitle(QStringLiteral("Measure Design"));
    setObjectName(QStringLiteral("measureDialog"));

    auto* row = new QHBoxLayout;
    std::tie(fixedPoint_, bits_) = MakeWordLengthRow(this, row);

    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("measurements"));
    table_->setAccessibleName(QStringLiteral("Measurements"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    table_->setShowGrid(false);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);

    warning_ = new QLabel(this);
    warning_->setObjectName(QStringLiteral("conditioningWarning"));
    warning_->setAccessibleName(QStringLiteral("Conditioning Warning"));
    warning_->setWordWrap(true);
    warning_->setTextFormat(Qt::PlainText);
    warning_->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(table_, 1);
    layout->addWidget(warning_);
    layout->addWidget(buttons);

    connect(fixedPoint_, &QCheckBox::toggled, this, [this](bool on) {
        bits_->setEnabled(on);
        Refresh();
    });
    connect(bits_, &QSpinBox::valueChanged, this, [this] {
        if (fixedPoint_->isChecked()) Refresh();
    });
    Refresh();
}

void MeasureDialog::Refresh() {
    MeasurementTable t;
    if (!measure_(fixedPoint_->isChecked() ? bits_->value() : 0, t)) return;
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
