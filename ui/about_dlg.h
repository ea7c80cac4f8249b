#pragma once

// The About box: the program's icon, name and version, and what it is.

#include <QDialog>

namespace tapwright::ui {

// Version of the program, as the build names it ("0.1.0").
const char* ProgramVersion();

class CAboutDlg : public QDialog {
  public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace tapwright::ui
