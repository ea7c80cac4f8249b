#include "ui/about_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#ifndef TAPWRIGHT_VERSION
#error "the build defines TAPWRIGHT_VERSION"
#endif

namespace tapwright::ui {

const char* ProgramVersion() {
    return TAPWRIGHT_VERSION;
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Tapwright"));
    auto* icon = new QLabel(this);
    icon->setPixmap(windowIcon().pixmap(48, 48));
    icon->setAccessibleName(QStringLiteral("Icon"));

    auto* name = new QLabel(QStringLiteral("<b>Quillon Tapwright</b> version %1")
                                .arg(QString::fromLatin1(ProgramVersion())),
                            this);
    name->setAccessibleName(QStringLiteral("Name and version"));
    auto* what = new QLabel(
        QStringLiteral("Designs FIR digital filters by the window method and by equiripple "
                       "least squares, and draws their responses."),
        this);
    what->setWordWrap(true);
    what->setAccessibleName(QStringLiteral("Description"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(what);
    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setFixedWidth(360);
}

}  // namespace tapwright::ui
