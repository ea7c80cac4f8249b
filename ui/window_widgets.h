#pragma once

// Widgets of the main window that Qt has no ready-made form of: the sunken graph
// frame that shows a front canvas, and the coefficient list's model, which formats
// its texts on demand so that a list of any length fills at once.

#include <QAbstractTableModel>
#include <QFrame>
#include <memory>
#include <vector>

#include "graphs/mem_canvas.h"

namespace tapwright::ui {

// A sunken frame with a 2-pixel border whose client area shows a canvas. The
// canvas is copied on every paint; nothing else is drawn inside the frame.
class GraphArea : public QFrame {
  public:
    explicit GraphArea(QWidget* parent = nullptr);

    // The canvas to show (owned elsewhere, outlives the widget), or null.
    void SetCanvas(const CMemCanvas* canvas) { canvas_ = canvas; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const CMemCanvas* canvas_ = nullptr;
};

// Two columns, "H(n)" and "Values", one row per coefficient; row i shows the
// number i + 1 and h[i]. The coefficients are shared and never change once set.
class CoefficientListModel : public QAbstractTableModel {
  public:
    using QAbstractTableModel::QAbstractTableModel;

    // Replaces the rows (null: none). Views reset whenever the pointer changes.
    void SetRows(std::shared_ptr<const std::vector<double>> rows);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::shared_ptr<const std::vector<double>> rows_;
};

}  // namespace tapwright::ui
