#pragma once

// The small dialogs behind the right-click menus of the coefficient list and the
// main graph: the save dialog of an export with its fixed-point choices, the save
// dialog of the graph picture, and the table of Measure Design with the search for
// the shortest word length. They only ask and show;
// what the actions do is DialogLogic's.

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/quantize.h"
#include "core/word_length.h"
#include "files/coefficient_export.h"
#include "ui/dialog_logic.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace tapwright::ui {

// Word length a fixed-point choice starts at, bits.
inline constexpr int kDefaultWordLength = 16;

// The fixed-point choices beside the word length.
struct FixedPointChoices {
    std::optional<int> fractionBits;  // none: the largest at which every tap fits
    Rounding rounding = Rounding::Nearest;
    Overflow overflow = Overflow::Saturate;
    int inputBits = 0;  // input width of the filter, 2 ... 32; 0: as wide as the taps

    // The quantization of a word length (0: none) under these choices.
    QuantizeOptions Quantize(int bits) const;
};

struct ExportChoice {
    std::string path;
    ExportFormat format = ExportFormat::Text;
    int bits = 0;  // 0: full precision; 2 ... 32: signed fixed point
    FixedPointChoices fixed;

    // The export options of the choice (the name comes from the file).
    ExportOptions Options() const;
};

// The widgets of the fixed point: in `wordRow` "Fixed point, word length" (off at
// first), in `choiceRow` "Fraction bits" (auto unless ticked), "Rounding",
// "Overflow" and "Input width". The word length and the choices are enabled while
// fixed point is on.
struct FixedPointChoiceRow {
    QCheckBox* fixedPoint;
    QSpinBox* bits;
    QCheckBox* fixedFraction;
    QSpinBox* fraction;
    QComboBox* rounding;
    QComboBox* overflow;
    QSpinBox* inputBits;

    FixedPointChoiceRow(QWidget* parent, QHBoxLayout* wordRow, QHBoxLayout* choiceRow);
    FixedPointChoices Choices() const;
    void SetEnabled(bool on);
};

// The save dialog of "Export Coefficients...": one filter per export format and,
// below them, "Fixed point" with a word length of 2 ... 32 bits, always on for a
// format that holds integers only, and the fixed-point choices (the input width
// for Verilog and VHDL only). The file gets the format's extension when it has
// none. Nothing when cancelled.
std::optional<ExportChoice> AskExportTarget(QWidget* parent);

// "Measure Design...": the measurement table of the design on screen, with a
// fixed-point column while "Fixed point" is checked, and the conditioning warning
// when there is one. `measure` fills the table for a word length (0: none) under
// the choices and returns false when it cannot (it has shown why). "Shortest Word
// Length" runs `meet` with the margin (dB), then shows the word length it found
// with its figures and measures at it.
class MeasureDialog : public QDialog {
  public:
    using Measure = std::function<bool(const QuantizeOptions& quantize, int inputBits,
                                       MeasurementTable& table)>;
    using Meet = std::function<bool(const QuantizeOptions& choice, double marginDb,
                                    WordLengthResult& result)>;
    MeasureDialog(Measure measure, Meet meet, QWidget* parent);
    ~MeasureDialog() override;

    // False when the first measurement failed: the dialog has nothing to show.
    bool Measured() const { return measured_; }

  private:
    void Refresh();
    void FindShortest();

    Measure measure_;
    Meet meet_;
    std::unique_ptr<FixedPointChoiceRow> choices_;
    QDoubleSpinBox* margin_;
    QPushButton* shortest_;
    QLabel* meetResult_;
    QTableWidget* table_;
    QLabel* warning_;
    bool measured_ = false;
};

}  // namespace tapwright::ui
