#include "ui/filter_design_dlg.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>
#include <QTableView>
#include <algorithm>
#include <utility>

#include "core/design_methods.h"
#include "picture/picture_ctrl.h"
#include "printing/print_job.h"
#include "ui/about_dlg.h"
#include "ui/design_dialogs.h"
#include "ui/window_widgets.h"

namespace tapwright::ui {

namespace {

constexpr const char* kIconResource = ":/tapwright/tapwright_icon.png";

// The place of a control in a window `extra` larger than its default size.
QRect PlaceOf(const ControlDef& def, QSize extra = {}) {
    const PixelRect r = PlaceAt(def, std::max(extra.width(), 0), std::max(extra.height(), 0));
    return QRect(r.x, r.y, r.width, r.height);
}

bool IsProgressText(int id) {
    return std::ranges::find(kProgressTexts, id) != kProgressTexts.end();
}

// The window's font: narrow enough that every caption fits the place the table
// gives its control, at the size of the 8-point dialog font it is laid out for.
QFont WindowFont() {
    QFont font(QStringLiteral("DejaVu Sans Condensed"));
    font.setPixelSize(10);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

bool IsFocusChecked(ControlKind kind) {
    return kind == ControlKind::Edit || kind == ControlKind::ComboBox;
}

// Fusion, with what the places of the table are laid out for: a narrower gap
// between a check box and its text, and group boxes whose caption sits on the top
// edge of the frame rather than above it.
class WindowStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_CheckBoxLabelSpacing || metric == PM_RadioButtonLabelSpacing) return 4;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override {
        const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
        if (control != CC_GroupBox || box == nullptr) {
            return QProxyStyle::subControlRect(control, option, sub, widget);
        }
        const QRect r = box->rect;
        const int textHeight = box->fontMetrics.height();
        switch (sub) {
            case SC_GroupBoxFrame:
                return r.adjusted(0, textHeight / 2, 0, 0);
            case SC_GroupBoxContents:
                return r.adjusted(4, textHeight + 2, -4, -4);
            case SC_GroupBoxLabel: {
                const int width = box->fontMetrics.horizontalAdvance(box->text) + 4;
                return QRect(r.left() + 6, r.top(), std::min(width, r.width() - 8), textHeight);
            }
            default:
                return QRect();
        }
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
        if (control != CC_GroupBox || box == nullptr) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        const QRect frame = subControlRect(control, option, SC_GroupBoxFrame, widget);
        const QRect label = subControlRect(control, option, SC_GroupBoxLabel, widget);
        painter->save();
        painter->setClipRegion(QRegion(box->rect).subtracted(label));
        painter->setPen(box->palette.color(QPalette::Mid));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(frame.adjusted(0, 0, -1, -1));
        painter->setClipping(false);
        drawItemText(painter, label, Qt::AlignCenter | Qt::TextShowMnemonic, box->palette,
                     (box->state & State_Enabled) != 0, box->text, QPalette::WindowText);
        painter->restore();
    }
};

}  // namespace

void SetUpApplicationLook() {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        QApplication::setStyle(new WindowStyle(fusion));
    }
    QApplication::setWindowIcon(QIcon(QString::fromLatin1(kIconResource)));
}

CFilterDesignDlg::CFilterDesignDlg(CFirDesign& design, GraphCanvases& canvases, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Tapwright"));
    setWindowIcon(QIcon(QString::fromLatin1(kIconResource)));
    setFont(WindowFont());
    // The default size is the smallest; a larger window gives the graphs and the
    // coefficient list the extra room.
    setMinimumSize(kWindowWidthPx, kWindowHeightPx);
    resize(kWindowWidthPx, kWindowHeightPx);
    setAccessibleName(QStringLiteral("Tapwright"));

    BuildControls();
    // The page count of a report being drawn, where a design shows its progress.
    printProgress_ = new QLabel(this);
    printProgress_->setObjectName(QStringLiteral("printProgress"));
    printProgress_->setAccessibleName(QStringLiteral("Print Progress"));
    printProgress_->setAlignment(Qt::AlignCenter);
    printProgress_->setAutoFillBackground(true);
    PlacePrintProgress({});
    printProgress_->setFrameShape(QFrame::Box);
    printProgress_->hide();

    WindowAccess access;
    access.window = this;
    access.widgetOf = [this](int id) { return Control(id); };
    access.mirrorModel = [this] { Mirror(); };
    access.mirrorControl = [this](int id) { ApplyState(id); };
    access.repaintChanged = [this] { RepaintChanged(); };
    platform_ = std::make_unique<QtWindowPlatform>(std::move(access));
    logic_ = std::make_unique<DialogLogic>(design, canvases, *platform_);
    logic_->SetPrintHandler([this](int id) { PrintReportOf(id); });
    mainGraph_->SetCanvas(&logic_->Canvases().mainFront);
    smallGraph_->SetCanvas(&logic_->Canvases().smallFront);
    qApp->installEventFilter(this);
    logic_->Initialise();
    Mirror();
}

CFilterDesignDlg::~CFilterDesignDlg() {
    qApp->removeEventFilter(this);
    platform_->AbandonDesignJob();
}

void CFilterDesignDlg::PlacePrintProgress(QSize extra) {
    // Two lines, wide enough for the longest count, centred where a design's
    // progress shows.
    const QRect place = PlaceOf(*FindControl(kProcessingText), extra);
    const QFontMetrics metrics(printProgress_->font());
    const int w = std::max(
        place.width(), metrics.horizontalAdvance(QStringLiteral("Printing page 99999 of 99999")) +
                           2 * metrics.averageCharWidth());
    const int h = std::max(place.height(), 2 * metrics.lineSpacing() + metrics.height() / 2);
    printProgress_->setGeometry(
        QRect(0, 0, w, h).translated(place.center() - QRect(0, 0, w, h).center()));
}

void CFilterDesignDlg::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QSize extra = size() - QSize(kWindowWidthPx, kWindowHeightPx);
    for (const ControlDef& def : ControlTable()) {
        QWidget* w = Control(def.id);
        if (w == nullptr) continue;
        if (def.kind == ControlKind::Picture) {
            w->move(PlaceOf(def, extra).topLeft());  // a picture keeps its own size
        } else {
            w->setGeometry(PlaceOf(def, extra));
        }
    }
    if (auto* list = qobject_cast<QTableView*>(Control(kCoefficientList))) {
        // The Values column takes the list's extra width.
        const PixelRect normal = PlaceAt(*FindControl(kCoefficientList), 0, 0);
        list->horizontalHeader()->resizeSection(
            1, kValueColumnWidth + std::max(0, list->width() - normal.width));
    }
    if (printProgress_ != nullptr) PlacePrintProgress(extra);
    // The graphs are drawn again for the size of their areas.
    if (logic_ != nullptr) {
        const QRect main = mainGraph_->contentsRect();
        const QRect small = smallGraph_->contentsRect();
        // At a device pixel ratio above 1 the graphs are drawn at the screen's
        // resolution, not magnified.
        const int scale = std::clamp(qRound(devicePixelRatioF()), 1, 4);
        logic_->ResizeGraphs(CanvasRect{0, 0, main.width(), main.height()},
                             CanvasRect{0, 0, small.width(), small.height()}, scale);
        Mirror();
    }
}

void CFilterDesignDlg::BuildControls() {
    for (const ControlDef& def : ControlTable()) {
        QWidget* w = MakeControl(def);
        w->setGeometry(PlaceOf(def));
        w->setAccessibleName(ToQString(def.accessibleName));
        widgets_[def.id] = w;
        ids_[w] = def.id;
        ConnectControl(def, w);
    }
    // The keyboard path, and the labels' mnemonics leading to their fields.
    QWidget* previous = nullptr;
    for (const int id : TabOrder()) {
        QWidget* w = widgets_.at(id);
        if (previous != nullptr) QWidget::setTabOrder(previous, w);
        previous = w;
    }
    for (const ControlDef& def : ControlTable()) {
        auto* label = qobject_cast<QLabel*>(widgets_[def.id]);
        if (label != nullptr && BuddyOf(def.id) != 0) label->setBuddy(widgets_[BuddyOf(def.id)]);
    }
    // Frames lie behind what they frame: the start-up panel above the graph frames,
    // the group boxes at the bottom (they would otherwise take the clicks meant for
    // the controls inside them).
    for (ControlKind kind :
         {ControlKind::FlatButton, ControlKind::GraphFrame, ControlKind::GroupBox}) {
        for (const ControlDef& def : ControlTable()) {
            if (def.kind == kind) widgets_[def.id]->lower();
        }
    }
}

QWidget* CFilterDesignDlg::MakeControl(const ControlDef& def) {
    const QString caption = ToQString(def.caption);
    switch (def.kind) {
        case ControlKind::Label:
        case ControlKind::CentredLabel: {
            auto* label = new QLabel(caption, this);
            label->setAlignment(def.kind == ControlKind::CentredLabel
                                    ? Qt::AlignHCenter | Qt::AlignTop
                                    : Qt::AlignLeft | Qt::AlignTop);
            label->setTextFormat(Qt::PlainText);
            // The progress texts are shown over the main graph, on their own
            // background.
            label->setAutoFillBackground(IsProgressText(def.id));
            return label;
        }
        case ControlKind::GroupBox:
            return new QGroupBox(caption, this);
        case ControlKind::PushButton: {
            auto* button = new QPushButton(caption, this);
            // A focused button takes Enter, as a dialog's buttons do.
            button->setAutoDefault(true);
            return button;
        }
        case ControlKind::FlatButton: {
            // A flat button that is never enabled: only its flat frame shows.
            auto* panel = new QFrame(this);
            panel->setFrameStyle(QFrame::Box | QFrame::Plain);
            panel->setForegroundRole(QPalette::Mid);
            return panel;
        }
        case ControlKind::CheckBox:
            return new QCheckBox(caption, this);
        case ControlKind::RadioButton: {
            auto* radio = new QRadioButton(caption, this);
            // The logic decides which radio is checked; the widgets only show it.
            radio->setAutoExclusive(false);
            return radio;
        }
        case ControlKind::Edit:
            return new QLineEdit(this);
        case ControlKind::ComboBox: {
            auto* combo = new QComboBox(this);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setCompleter(nullptr);
            // The table's height is that of the open list.
            const int rowHeight = combo->fontMetrics().height() + 2;
            combo->setMaxVisibleItems(
                std::max(1, (DialogUnitsToPixelsY(def.height - kComboClosedHeightDu)) / rowHeight));
            return combo;
        }
        case ControlKind::ListView: {
            auto* view = new QTableView(this);
            listModel_ = new CoefficientListModel(view);
            view->setModel(listModel_);
            view->verticalHeader()->hide();
            view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
            view->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 3);
            QHeaderView* header = view->horizontalHeader();
            header->setSectionResizeMode(QHeaderView::Fixed);
            header->setSectionsClickable(false);
            header->setSectionsMovable(false);
            header->setHighlightSections(false);
            header->setDefaultAlignment(Qt::AlignCenter);
            header->resizeSection(0, kNumberColumnWidth);
            header->resizeSection(1, kValueColumnWidth);
            view->setShowGrid(false);
            view->setWordWrap(false);
            view->setSortingEnabled(false);
            view->setSelectionBehavior(QAbstractItemView::SelectRows);
            view->setSelectionMode(QAbstractItemView::SingleSelection);
            view->setEditTriggers(QAbstractItemView::NoEditTriggers);
            // Tab leaves the list; the arrow keys move within it.
            view->setTabKeyNavigation(false);
            return view;
        }
        case ControlKind::GraphFrame: {
            auto* area = new GraphArea(this);
            (def.id == kMainGraph ? mainGraph_ : smallGraph_) = area;
            return area;
        }
        case ControlKind::Picture:
            return new CPictureCtrl(this);
    }
    return new QWidget(this);
}

void CFilterDesignDlg::ConnectControl(const ControlDef& def, QWidget* widget) {
    const int id = def.id;
    switch (def.kind) {
        case ControlKind::PushButton:
            connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, this, [this, id] {
                if (id == kQuitButton) {
                    RequestQuit();
                } else {
                    Forward(id, [this, id] { logic_->OnClicked(id); });
                }
            });
            break;
        case ControlKind::CheckBox:
            connect(static_cast<QCheckBox*>(widget), &QCheckBox::clicked, this,
                    [this, id](bool checked) {
                        Forward(id, [this, id, checked] { logic_->OnUserToggled(id, checked); });
                    });
            break;
        case ControlKind::RadioButton:
            // A click on a radio button always leaves it checked.
            connect(static_cast<QRadioButton*>(widget), &QRadioButton::clicked, this,
                    [this, id] { Forward(id, [this, id] { logic_->OnUserToggled(id, true); }); });
            break;
        case ControlKind::Edit:
            connect(static_cast<QLineEdit*>(widget), &QLineEdit::textEdited, this,
                    [this, id](const QString& text) {
                        const std::string typed = text.toStdString();
                        Forward(id, [this, id, typed] { logic_->OnUserEdited(id, typed); });
                    });
            break;
        case ControlKind::ComboBox: {
            auto* combo = static_cast<QComboBox*>(widget);
            connect(combo, &QComboBox::currentIndexChanged, this, [this, id](int index) {
                Forward(id, [this, id, index] { logic_->OnUserSelected(id, index); });
            });
            // The edit part takes the key presses; it must lead to the same id.
            if (combo->lineEdit() != nullptr) ids_[combo->lineEdit()] = id;
            break;
        }
        default:
            break;
    }
}

QWidget* CFilterDesignDlg::Control(int id) const {
    const auto it = widgets_.find(id);
    return it == widgets_.end() ? nullptr : it->second;
}

void CFilterDesignDlg::RepaintChanged() {
    // Whatever the model changed since the last paint, and the graphs; the rest of
    // the window is as it was.
    changed_ += mainGraph_->geometry();
    changed_ += smallGraph_->geometry();
    repaint(changed_);
    changed_ = QRegion();
}

void CFilterDesignDlg::SetFirstPaintCallback(std::function<void()> callback) {
    firstPaint_ = std::move(callback);
}

bool CFilterDesignDlg::LoadStartupFile(const std::string& path) {
    const bool loaded = logic_->LoadSpecFile(path, false);
    Mirror();
    return loaded;
}

// ---- mirroring ----------------------------------------------------------------

void CFilterDesignDlg::Mirror() {
    const ControlModel& model = logic_->Model();
    if (model.Version() != mirroredModel_) {
        for (const ControlDef& def : ControlTable()) {
            const auto it = mirrored_.find(def.id);
            if (it == mirrored_.end() || it->second != model.State(def.id).version) {
                ApplyState(def.id);
            }
        }
        mirroredModel_ = model.Version();
    }
    // The canvases change without the model (a new design, the grid): the graph
    // areas copy them again at the next paint.
    mainGraph_->update();
    smallGraph_->update();
}

void CFilterDesignDlg::ApplyState(int id) {
    const ControlDef* def = FindControl(id);
    QWidget* w = Control(id);
    if (def == nullptr || w == nullptr) return;
    const ControlState& s = logic_->Model().State(id);
    const bool wasMirroring = mirroring_;
    mirroring_ = true;
    {
        const QSignalBlocker block(w);
        const QString text = ToQString(s.text);
        switch (def->kind) {
            case ControlKind::Label:
            case ControlKind::CentredLabel: {
                auto* label = static_cast<QLabel*>(w);
                if (label->text() != text) label->setText(text);
                break;
            }
            case ControlKind::GroupBox: {
                auto* box = static_cast<QGroupBox*>(w);
                if (box->title() != text) box->setTitle(text);
                break;
            }
            case ControlKind::PushButton:
            case ControlKind::CheckBox:
            case ControlKind::RadioButton: {
                auto* button = static_cast<QAbstractButton*>(w);
                if (button->text() != text) button->setText(text);
                if (def->kind != ControlKind::PushButton) button->setChecked(s.checked);
                break;
            }
            case ControlKind::Edit: {
                auto* edit = static_cast<QLineEdit*>(w);
                if (edit->text() != text) edit->setText(text);
                break;
            }
            case ControlKind::ComboBox: {
                auto* combo = static_cast<QComboBox*>(w);
                bool same = combo->count() == static_cast<int>(s.items.size());
                for (int i = 0; same && i < combo->count(); ++i) {
                    same = combo->itemText(i) == ToQString(s.items[static_cast<size_t>(i)]);
                }
                if (!same) {
                    combo->clear();
                    for (const std::string& item : s.items) combo->addItem(ToQString(item));
                }
                combo->setCurrentIndex(s.selection);
                // Whatever was typed gives way to the selected item.
                combo->setEditText(s.selection >= 0 ? combo->itemText(s.selection) : QString());
                break;
            }
            case ControlKind::ListView:
                listModel_->SetRows(s.rows);
                break;
            case ControlKind::GraphFrame:
                w->update();
                break;
            case ControlKind::FlatButton:
            case ControlKind::Picture:
                break;
        }
        if (w->isHidden() == s.visible) w->setVisible(s.visible);
        if (w->testAttribute(Qt::WA_Disabled) == s.enabled) w->setEnabled(s.enabled);
    }
    changed_ += w->geometry();
    mirrored_[id] = s.version;
    mirroring_ = wasMirroring;
}

// ---- user actions --------------------------------------------------------------

void CFilterDesignDlg::Forward(int id, const std::function<void()>& action) {
    if (mirroring_ || Busy()) return;
    const int boxesBefore = platform_->BoxesShown();
    RunPendingFocusCheck();
    if (platform_->BoxesShown() == boxesBefore) action();
    // The control shows the model's state even where the logic kept it unchanged
    // (a refused click, a re-selected item).
    ApplyState(id);
    Mirror();
}

void CFilterDesignDlg::QueueFocusLost(int id) {
    // A second field left before the first was checked: check the first now.
    if (pendingFocusCheck_ != 0 && pendingFocusCheck_ != id) RunPendingFocusCheck();
    pendingFocusCheck_ = id;
    QMetaObject::invokeMethod(
        this, [this] { RunPendingFocusCheck(); }, Qt::QueuedConnection);
}

void CFilterDesignDlg::RunPendingFocusCheck() {
    if (pendingFocusCheck_ == 0 || Busy()) return;
    const int id = pendingFocusCheck_;
    pendingFocusCheck_ = 0;
    logic_->OnFocusLost(id);
    // A combo shows its re-selected item again even where the model did not change.
    ApplyState(id);
    Mirror();
}

void CFilterDesignDlg::CommitField(int id) {
    if (Busy()) return;
    if (pendingFocusCheck_ != 0 && pendingFocusCheck_ != id) RunPendingFocusCheck();
    pendingFocusCheck_ = id;
    RunPendingFocusCheck();
}

int CFilterDesignDlg::FocusedField() const {
    return FieldOf(QApplication::focusWidget());
}

int CFilterDesignDlg::FieldOf(const QObject* object) const {
    if (object == nullptr) return 0;
    const auto it = ids_.find(object);
    if (it == ids_.end()) return 0;
    const ControlDef* def = FindControl(it->second);
    return def != nullptr && IsFocusChecked(def->kind) ? def->id : 0;
}

void CFilterDesignDlg::RequestQuit() {
    if (Busy()) return;
    const int boxesBefore = platform_->BoxesShown();
    RunPendingFocusCheck();
    if (platform_->BoxesShown() != boxesBefore) return;
    if (const int id = FocusedField()) CommitField(id);
    if (platform_->BoxesShown() != boxesBefore) return;
    const bool pulled = logic_->OnQuit();
    Mirror();
    if (pulled) close();
}

bool CFilterDesignDlg::MayDiscardInputs() {
    if (!logic_->InputsChangedSinceSaved()) return true;
    // Save writes the design with its inputs: offered only while Save is.
    const bool saveOffered = !Busy() && logic_->Model().State(kSaveButton).enabled;
    switch (platform_->AskDiscardInputs(saveOffered)) {
        case DiscardAnswer::Discard:
            return true;
        case DiscardAnswer::Save:
            logic_->OnClicked(kSaveButton);
            Mirror();
            return !logic_->InputsChangedSinceSaved();
        case DiscardAnswer::Cancel:
            break;
    }
    return false;
}

void CFilterDesignDlg::ShowAbout() {
    CAboutDlg about(this);
    about.setWindowIcon(windowIcon());
    platform_->Modal([&] { about.exec(); });
}

bool CFilterDesignDlg::IsOurs(QObject* object) const {
    if (!object->isWidgetType()) return false;
    return static_cast<QWidget*>(object)->window() == this;
}

bool CFilterDesignDlg::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    switch (type) {
        case QEvent::KeyPress: {
            if (!IsOurs(watched)) return false;
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (Busy()) {
                // Only Escape reaches a running design or report: it cancels it.
                if (key == Qt::Key_Escape) {
                    platform_->CancelDesign();
                    if (printing_) printCancel_ = true;
                }
                return true;
            }
            if (key == Qt::Key_Escape) {
                RequestQuit();
                return true;
            }
            if (key == Qt::Key_F1) {
                ShowAbout();
                return true;
            }
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
                qobject_cast<QPushButton*>(watched) == nullptr) {
                // A focused button takes Enter itself (a click).
                if (const int id = FieldOf(watched)) {
                    CommitField(id);
                } else {
                    RequestQuit();
                }
                return true;
            }
            return false;
        }
        case QEvent::Shortcut:
            if (Busy() && IsOurs(watched)) return true;
            // The group box's mnemonic names the list it frames (not its child).
            if (watched == Control(kCoefficientGroup)) {
                Control(kCoefficientList)->setFocus(Qt::ShortcutFocusReason);
                return true;
            }
            return false;
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
            return Busy() && IsOurs(watched);
        case QEvent::FocusOut: {
            if (Busy() || mirroring_ || platform_->InModal() || platform_->SettingFocus())
                return false;
            if (!IsOurs(watched)) return false;
            // The window losing the activation (to our own box, or to another
            // program) and a combo opening its list are no focus loss of a field.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
                return false;
            }
            if (const int id = FieldOf(watched)) QueueFocusLost(id);
            return false;
        }
        default:
            return false;
    }
}

void CFilterDesignDlg::closeEvent(QCloseEvent* event) {
    if (printing_) {
        // The report stops at its next page, writing nothing; the window closes then.
        printCancel_ = true;
        closeAfterPrint_ = true;
        event->ignore();
        return;
    }
    if (!MayDiscardInputs()) {
        event->ignore();
        return;
    }
    platform_->AbandonDesignJob();
    event->accept();
}

void CFilterDesignDlg::contextMenuEvent(QContextMenuEvent* event) {
    if (const int id = DesignMenuAt(event->pos())) {
        ShowDesignMenu(id, event->globalPos());
        return;
    }
    QMenu menu(this);
    QAction* about = menu.addAction(QStringLiteral("&About Quillon Tapwright..."));
    QAction* chosen = platform_->Modal([&] { return menu.exec(event->globalPos()); });
    if (chosen == about) ShowAbout();
}

void CFilterDesignDlg::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (firstPaint_) {
        // After this paint has reached the screen, children included.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (auto callback = std::move(firstPaint_)) {
                    firstPaint_ = nullptr;
                    callback();
                }
            },
            Qt::QueuedConnection);
    }
}

// ---- Printing -------------------------------------------------------------------

void CFilterDesignDlg::PrintReportOf(int id) {
    const ControlModel& model = logic_->Model();
    const ReportKind kind =
        id == kPrintResponseButton ? ReportKind::Response : ReportKind::Coefficients;
    ReportDisplay display;
    display.graph = logic_->CurrentGraphOptions();
    display.equiripple =
        UsesBandTable(static_cast<DesignMethod>(model.Selection(kFunctionTypeCombo)));
    display.autoDesign = model.Checked(kAutoDesignCheck);
    display.screenDpiX = logicalDpiX();
    display.screenDpiY = logicalDpiY();
    const QRect client = mainGraph_->contentsRect();
    display.graphRect = CanvasRect{0, 0, client.width(), client.height()};

    Mirror();
    QPrinter printer(QPrinter::HighResolution);
    SetUpDefaultPrinter(printer, DefaultReportPdfPath(kind));
    QtPrintDialogRunner qtDialog(this);
    PrintDialogRunner& dialog = printDialog_ != nullptr ? *printDialog_ : qtDialog;
    WindowPrintMessages messages(*platform_, [this] { HidePrintProgress(); });

    // The dialog counts as a box; the pages are drawn while the window takes only
    // Escape.
    printCancel_ = false;
    closeAfterPrint_ = false;
    platform_->Modal([&] {
        PrintReport(kind, logic_->Spec(), logic_->Design(), display, printer, dialog, messages,
                    [this](int done, int total) { return ShowPrintProgress(done, total); });
    });
    HidePrintProgress();
    if (closeAfterPrint_) {
        QMetaObject::invokeMethod(
            this, [this] { close(); }, Qt::QueuedConnection);
    }
}

void CFilterDesignDlg::HidePrintProgress() {
    printing_ = false;
    if (printProgress_->isVisible()) {
        printProgress_->hide();
        repaint(printProgress_->geometry());
    }
}

// Called after every page: shows the page count, and lets the window repaint and
// hear Escape about every frame.
bool CFilterDesignDlg::ShowPrintProgress(int done, int total) {
    QElapsedTimer& sinceEvents = printEvents_;
    const bool first = !printing_;
    printing_ = true;
    printProgress_->setText(
        QStringLiteral("Printing page %1 of %2\nEsc cancels").arg(done).arg(total));
    if (first || sinceEvents.elapsed() >= 16) {
        if (first) printProgress_->show();
        printProgress_->raise();
        printProgress_->repaint();
        QApplication::processEvents(QEventLoop::AllEvents);
        sinceEvents.start();
    }
    return !printCancel_;
}

// ---- The right-click menus --------------------------------------------------------

// The coefficient list or the main graph under `pos` (window coordinates), or 0.
int CFilterDesignDlg::DesignMenuAt(const QPoint& pos) const {
    for (QWidget* w = childAt(pos); w != nullptr && w != this; w = w->parentWidget()) {
        if (w == mainGraph_) return kMainGraph;
        if (w == Control(kCoefficientList)) return kCoefficientList;
    }
    return 0;
}

void CFilterDesignDlg::ShowDesignMenu(int id, const QPoint& globalPos) {
    QMenu menu(this);
    std::vector<std::pair<QAction*, DesignAction>> items;
    for (int a = 0; a < kDesignActionCount; ++a) {
        const auto action = static_cast<DesignAction>(a);
        if (DesignActionControl(action) != id) continue;
        QAction* item = menu.addAction(ToQString(DesignActionText(action)));
        item->setEnabled(logic_->Offers(action));
        items.emplace_back(item, action);
    }
    QAction* chosen = platform_->Modal([&] { return menu.exec(globalPos); });
    for (const auto& [item, action] : items) {
        if (item == chosen) RunDesignAction(action);
    }
}

void CFilterDesignDlg::RunDesignAction(DesignAction action) {
    if (!logic_->Offers(action)) return;
    Mirror();
    platform_->Modal([&] {
        switch (action) {
            case DesignAction::CopyCoefficients:
                QGuiApplication::clipboard()->setText(ToQString(logic_->CoefficientText()));
                break;
            case DesignAction::ExportCoefficients:
                if (const auto choice = AskExportTarget(this)) {
                    logic_->ExportCoefficients(choice->path, choice->Options());
                }
                break;
            case DesignAction::SaveGraphAsPng:
                if (const auto path = AskFileToSave(this, QStringLiteral("Save Graph As PNG"),
                                                    QStringLiteral("PNG Images (*.png)"),
                                                    QStringLiteral("png"), true)) {
                    logic_->SaveGraphPng(*path);
                }
                break;
            case DesignAction::CopyGraph:
                QGuiApplication::clipboard()->setImage(logic_->GraphImage());
                break;
            case DesignAction::MeasureDesign: {
                MeasureDialog dialog(
                    [this](const QuantizeOptions& quantize, int inputBits,
                           MeasurementTable& table) {
                        return logic_->Measure(quantize, inputBits, table);
                    },
                    [this](const QuantizeOptions& choice, double margin, WordLengthResult& r) {
                        return logic_->ShortestWordLength(choice, margin, r);
                    },
                    this);
                if (dialog.Measured()) dialog.exec();
                break;
            }
        }
    });
    Mirror();
}

}  // namespace tapwright::ui
