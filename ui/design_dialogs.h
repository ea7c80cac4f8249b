#pragma once

// The small dialogs behind the right-click menus of the coefficient list and the
// main graph: the save dialog of an export with its word length, the save dialog
// of the graph picture, and the table of Measure Design. They only ask and show;
// what the actions do is DialogLogic's.

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "files/coefficient_export.h"
#include "ui/dialog_logic.h"

class QCheckBox;
class QLabel;
class QSpinBox;
class QTableWidget;

namespace tapwright::ui {

// Word length a fixed-point choice starts at, bits.
inline constexpr int kDefaultWordLength = 16;

struct ExportChoice {
    std::string path;
    ExportFormat format = ExportFormat::Text;
    int bits = 0;  // 0: full precision; 2 ... 32: signed fixed point
};

// The save dialog of "Export Coefficients...": one filter per export format and,
// below them, "Fixed point" with a word length of 2 ... 32 bits, always on for a
// format that holds integers only. The file gets the format's extension when it has
// none. Nothing when cancelled.
std::optional<ExportChoice> AskExportTarget(QWidget* parent);

// A save dialog of one file type: `filter` such as "PNG Images (*.png)", `suffix`
// added when the name has none; `confirmOverwrite` false replaces an existing file
// without asking. The chosen path in the local encoding, nothing when cancelled.
std::optional<std::string> AskFileToSave(QWidget* parent, const QString& title,
                                         const QString& filter, const QString& suffix,
                                         bool confirmOverwrite);

// "Measure Design...": the measurement table of the design on screen, with a
// fixed-point column while "Fixed point" is checked, and the conditioning warning
// when there is one. `measure` fills the table for a word length (0: none) and
// returns false when it cannot (it has shown why).
class MeasureDialog : public QDialog {
  public:
    using Measure = std::function<bool(int bits, MeasurementTable& table)>;
    MeasureDialog(Measure measure, QWidget* parent);

    // False when the first measurement failed: the dialog has nothing to show.
    bool Measured() const { return measured_; }

  private:
    void Refresh();

    Measure measure_;
    QCheckBox* fixedPoint_;
    QSpinBox* bits_;
    QTableWidget* table_;
    QLabel* warning_;
    bool measured_ = false;
};

}  // namespace tapwright::ui
