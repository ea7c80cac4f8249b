#include "ui/window_widgets.h"

#include <QPainter>
#include <limits>

#include "core/coefficient_list.h"

namespace tapwright::ui {

GraphArea::GraphArea(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    // Every pixel of the client area comes from the canvas.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GraphArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect client = contentsRect();
    if (canvas_ != nullptr && canvas_->IsCreated()) {
        painter.drawImage(client.topLeft(), canvas_->Image());
    } else {
        painter.fillRect(client, QColor::fromRgb(kBackgroundColour));
    }
    drawFrame(&painter);
}

void CoefficientListModel::SetRows(std::shared_ptr<const std::vector<double>> rows) {
    if (rows == rows_) return;
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int CoefficientListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !rows_) return 0;
    // A QModelIndex row is an int; no design comes near that many taps.
    return static_cast<int>(std::min<std::size_t>(rows_->size(), std::numeric_limits<int>::max()));
}

int CoefficientListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant CoefficientListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !rows_ || index.row() >= rowCount()) return {};
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    const std::size_t row = static_cast<std::size_t>(index.row());
    const std::string text = index.column() == 0 ? CoefficientNumberText(index.row() + 1)
                                                 : CoefficientValueText((*rows_)[row]);
    return QString::fromStdString(text);
}

QVariant CoefficientListModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole) return {};
    if (section == 0) return QStringLiteral("H(n)");
    if (section == 1) return QStringLiteral("Values");
    return {};
}

}  // namespace tapwright::ui
