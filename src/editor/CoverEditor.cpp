#include "editor/CoverEditor.h"

#include "core/cover/CoverFormats.h"
#include "core/cover/CoverSet.h"
#include "editor/CoverTools.h"
#include "editor/EditorTexts.h"
#include "editor/ToolIcons.h"
#include "widgets/CoverHost.h"
#include "widgets/PictureHolder.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>
#include <utility>

namespace vexa::editor {

namespace {

constexpr QSize kClientSize(343, 280);

struct ToolButtonSpec {
    const char* text;
    editor::ToolIcon icon;
};
constexpr std::array<ToolButtonSpec, 5> kToolButtons{{
    {"Rotate", editor::ToolIcon::Rotate},
    {"Mirror", editor::ToolIcon::Mirror},
    {"Flip", editor::ToolIcon::Flip},
    {"Brightness", editor::ToolIcon::Brightness},
    {"Undo Last Change", editor::ToolIcon::Undo},
}};

std::size_t menuIndex(editor::EffectMenu menu) {
    return static_cast<std::size_t>(menu);
}

} // namespace

CoverEditor::CoverEditor(widgets::CoverHost& host, QWidget* parent, editor::EffectRunner runner)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_host(host), m_runner(std::move(runner)) {
    setObjectName(QStringLiteral("frmManipulate"));
    setWindowTitle(QLatin1String(editor::kEditorCaption));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildMenus();
    layout->setMenuBar(m_menuBar);
    auto* client = new QWidget(this);
    client->setFixedSize(kClientSize);
    layout->addWidget(client);
    buildToolbar(client);
    buildBody(client);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Load: the selected cover's picture as opened, and everything else set to it. No
    // selected cover leaves the window empty; its commands then work on nothing.
    const std::optional<cover::CoverKind> kind = m_host.selectedKind();
    const QImage opened = kind ? m_host.covers().picture(*kind).pixels : QImage();
    m_pictures = editor::EditPictures(opened);
    m_original->setPicture(opened);
    // Both previews show the cover in the proportions it prints with.
    if (kind) {
        for (widgets::PictureHolder* view : {m_original, m_newImage})
            view->setPictureShape(cover::coverShape(*kind));
    }
    showCurrent();
}

CoverEditor::~CoverEditor() {
    // Closed while busy (the program ending under a running effect): stop the work before
    // anything it would report to goes, and give the pointer back.
    stopWork();
    if (m_cursorSet) QApplication::restoreOverrideCursor();
}

void CoverEditor::stopWork() {
    if (m_toolRunning)
        m_effect.abandon();
    else
        m_effect.cancelAndWait();
    m_toolRunning = false;
}

void CoverEditor::buildMenus() {
    m_menuBar = new QMenuBar(this);
    for (editor::EffectMenu which :
         {editor::EffectMenu::Normal, editor::EffectMenu::Special, editor::EffectMenu::Colors}) {
        QMenu* menu = m_menuBar->addMenu(QLatin1String(editor::effectMenuTitle(which)));
        menu->setObjectName(QLatin1String(editor::effectMenuObjectName(which)));
        m_menus[menuIndex(which)] = menu;
    }
    for (const editor::EffectMenuItem& item : editor::effectMenuItems()) {
        QMenu* menu = m_menus[menuIndex(item.menu)];
        QAction* action = menu->addAction(QLatin1String(item.caption));
        action->setObjectName(QLatin1String(item.objectName));
        const std::int32_t id = item.effectId, parameter = item.parameter;
        connect(action, &QAction::triggered, this,
                [this, id, parameter] { runEffect(id, parameter); });
        if (item.separatorAfter) menu->addSeparator();
    }
}

void CoverEditor::buildToolbar(QWidget* client) {
    m_toolbar = new QToolBar(client);
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setGeometry(0, 0, kClientSize.width(), 44);
    m_toolbar->setIconSize(QSize(32, 32));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setContentsMargins(0, 0, 0, 0);
    m_toolbar->layout()->setSpacing(0);
    const std::array<void (CoverEditor::*)(), 5> operations{
        &CoverEditor::Rotate, &CoverEditor::Mirror, &CoverEditor::Flip, &CoverEditor::Brightness,
        &CoverEditor::UndoLastChange};
    for (std::size_t i = 0; i < kToolButtons.size(); ++i) {
        QAction* action = m_toolbar->addAction(editor::toolIcon(kToolButtons[i].icon),
                                               QLatin1String(kToolButtons[i].text));
        action->setToolTip(QLatin1String(kToolButtons[i].text));
        connect(action, &QAction::triggered, this, operations[i]);
        m_toolbarButtons[i] = action;
        // Five buttons side by side must end before the brightness frame at x 200.
        if (QWidget* button = m_toolbar->widgetForAction(action)) button->setFixedSize(38, 40);
    }

    m_frame = new QGroupBox(QStringLiteral("Brightness Level"), m_toolbar);
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_frame->setGeometry(200, 2, 137, 41);
    m_scroll = new QScrollBar(Qt::Horizontal, m_frame);
    m_scroll->setObjectName(QStringLiteral("HScroll1"));
    m_scroll->setGeometry(8, 16, 121, 17);
    m_scroll->setRange(-99, 99);
    m_scroll->setSingleStep(1);
    m_scroll->setPageStep(10);
    m_scroll->setValue(0);
    // Moving over the scroll bar is not moving over the frame: the value stays in the caption.
    m_scroll->setAttribute(Qt::WA_NoMousePropagation);
    connect(m_scroll, &QScrollBar::valueChanged, this, &CoverEditor::showBrightnessCaption);
    connect(m_scroll, &QScrollBar::sliderMoved, this, &CoverEditor::showBrightnessCaption);

    // Moving the mouse over the toolbar or the frame puts the plain caption back.
    for (QWidget* watched : std::initializer_list<QWidget*>{m_toolbar, m_frame}) {
        watched->setMouseTracking(true);
        watched->installEventFilter(this);
    }
    for (QToolButton* button : m_toolbar->findChildren<QToolButton*>()) {
        button->setMouseTracking(true);
        button->installEventFilter(this);
    }
}

void CoverEditor::buildBody(QWidget* client) {
    m_label1 = new QLabel(QStringLiteral("Original Picture"), client);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(8, 56, 160, 17);
    m_label2 = new QLabel(QStringLiteral("Modified Picture"), client);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setGeometry(176, 56, 160, 17);

    m_original = new widgets::PictureHolder(client);
    m_original->setObjectName(QStringLiteral("Original"));
    m_original->setGeometry(8, 72, 160, 160);
    m_original->setFramed(true);
    m_newImage = new widgets::PictureHolder(client);
    m_newImage->setObjectName(QStringLiteral("NewImage"));
    m_newImage->setGeometry(176, 72, 160, 160);
    m_newImage->setFramed(true);

    m_accept = new QPushButton(QStringLiteral("Accept"), client);
    m_accept->setObjectName(QStringLiteral("Command5"));
    m_accept->setGeometry(40, 240, 97, 33);
    m_accept->setToolTip(QStringLiteral("Accept Changes"));
    m_cancel = new QPushButton(QStringLiteral("Cancel"), client);
    m_cancel->setObjectName(QStringLiteral("Command2"));
    m_cancel->setGeometry(208, 240, 97, 33);
    m_cancel->setToolTip(QStringLiteral("Cancel"));
    // Enter presses the focused button; neither is the default, so Enter never accepts by
    // surprise after the scroll bar was moved (see setVisible).
    m_accept->setAutoDefault(true);
    m_cancel->setAutoDefault(true);
    connect(m_accept, &QPushButton::clicked, this, &CoverEditor::acceptEdits);
    connect(m_cancel, &QPushButton::clicked, this, &CoverEditor::cancelEdits);
}

QAction* CoverEditor::toolbarButton(int position) const {
    if (position < 1 || position > static_cast<int>(m_toolbarButtons.size())) return nullptr;
    return m_toolbarButtons[static_cast<std::size_t>(position - 1)];
}

QMenu* CoverEditor::menu(editor::EffectMenu which) const {
    return m_menus[menuIndex(which)];
}

void CoverEditor::setVisible(bool visible) {
    QDialog::setVisible(visible);
    // Qt has just made the first auto-default button the dialog's default.
    if (visible) {
        m_accept->setDefault(false);
        m_cancel->setDefault(false);
    }
}

void CoverEditor::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The window is modal, so it becomes the program's active window only when it appears;
    // switching to another program and back must not throw the edits away.
    if (!m_activated) {
        m_activated = true;
        takeOpenedPicture();
    }
}

void CoverEditor::takeOpenedPicture() {
    m_pictures.activate();
    showCurrent();
}

void CoverEditor::runEffect(std::int32_t effectId, std::int32_t parameter) {
    if (isBusy() || m_closing) return;
    lockControls();
    m_captionBeforeEffect = windowTitle();
    QImage picture = m_pictures.current();
    if (picture.isNull()) { // nothing to work on: the empty picture stays
        effectFinished(effects::EffectResult{}, picture, m_progress);
        return;
    }
    struct Outcome {
        QImage picture;
        effects::EffectResult result;
        std::int32_t progress = 0;
    };
    m_effect.startWithResult(
        [picture = std::move(picture), progress = m_progress, runner = m_runner, effectId,
         parameter, this](base::JobControl& control) mutable {
            Outcome outcome{std::move(picture), {}, progress};
            std::int32_t shown = outcome.progress;
            // Each new percentage goes to the caption (at most 101 of them), and the effect
            // stops after the row it is on once the job is cancelled.
            const effects::YieldHook yield = [&] {
                if (outcome.progress != shown) {
                    shown = outcome.progress;
                    control.post([this, percent = shown] { showProgress(percent); });
                }
                return !control.isCancelled();
            };
            outcome.result = runner(effectId, outcome.picture, parameter, outcome.progress, yield);
            return outcome;
        },
        [this](const Outcome& outcome) {
            effectFinished(outcome.result, outcome.picture, outcome.progress);
        });
}

void CoverEditor::showProgress(std::int32_t percent) {
    m_progress = percent;
    setWindowTitle(editor::progressCaption(percent));
}

void CoverEditor::effectFinished(const effects::EffectResult& result, const QImage& picture,
                                 std::int32_t progress) {
    m_progress = progress;
    setWindowTitle(m_captionBeforeEffect);
    if (result.status == effects::EffectStatus::Done) {
        m_pictures.apply(picture);
        showCurrent();
    }
    unlockControls();
    if (result.status == effects::EffectStatus::Refused ||
        result.status == effects::EffectStatus::Busy)
        tellRefused(QString::fromStdString(result.reason));
}

void CoverEditor::tellRefused(const QString& reason) {
    auto* box = new QMessageBox(QMessageBox::Warning, QLatin1String(editor::kEditorCaption),
                                QStringLiteral("The effect could not be applied to this picture."),
                                QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("effectRefused"));
    box->setInformativeText(reason);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void CoverEditor::runTool(std::function<QImage(const QImage&)> tool) {
    if (isBusy() || m_closing || m_pictures.current().isNull()) return; // nothing to work on
    lockControls();
    m_toolRunning = true;
    m_effect.startWithResult([tool = std::move(tool), picture = m_pictures.current()](
                                 base::JobControl&) { return tool(picture); },
                             [this](const QImage& result) {
                                 m_toolRunning = false;
                                 m_pictures.apply(result);
                                 showCurrent();
                                 unlockControls();
                             });
}

void CoverEditor::Rotate() {
    runTool(editor::rotateQuarterClockwise);
}

void CoverEditor::Mirror() {
    runTool(editor::mirrorLeftRight);
}

void CoverEditor::Flip() {
    runTool(editor::flipTopBottom);
}

void CoverEditor::Brightness() {
    const int value = m_scroll->value();
    runTool([value](const QImage& picture) { return editor::shiftBrightness(picture, value); });
}

void CoverEditor::UndoLastChange() {
    if (isBusy() || m_closing) return;
    lockControls();
    m_pictures.undo();
    showCurrent();
    unlockControls();
}

void CoverEditor::showCurrent() {
    m_newImage->setPicture(m_pictures.current());
}

void CoverEditor::lockControls() {
    if (!m_focusBeforeBusy) m_focusBeforeBusy = focusWidget();
    if (!m_cursorSet) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_cursorSet = true;
    }
    m_toolbar->setEnabled(false);
    for (QMenu* menu : m_menus) menu->menuAction()->setEnabled(false);
    m_scroll->setEnabled(false);
    m_accept->setEnabled(false);
}

void CoverEditor::unlockControls() {
    if (m_cursorSet) {
        QApplication::restoreOverrideCursor();
        m_cursorSet = false;
    }
    for (QMenu* menu : m_menus) menu->menuAction()->setEnabled(true);
    m_scroll->setEnabled(true);
    m_accept->setEnabled(true);
    m_toolbar->setEnabled(true);
    // Disabling the focused control moved the focus on (from Accept to Cancel): put it back.
    if (QWidget* before = m_focusBeforeBusy.data(); before && before->isEnabled() && !m_closing)
        before->setFocus(Qt::OtherFocusReason);
    m_focusBeforeBusy = nullptr;
}

void CoverEditor::acceptEdits() {
    if (isBusy() || m_closing) return;
    if (const std::optional<cover::CoverKind> kind = m_host.selectedKind()) {
        cover::CoverSet& covers = m_host.covers();
        // A picture left as it was opened keeps its record: the bytes it was read from still
        // hold it exactly.
        const picture::LoadedPicture& before = covers.picture(*kind);
        covers.setPicture(*kind, m_pictures.current() == before.pixels
                                     ? before
                                     : before.edited(m_pictures.current()));
    }
    m_closing = true;
    accept();
}

void CoverEditor::cancelEdits() {
    reject();
}

void CoverEditor::reject() {
    // A running effect stops after the row it is on; its result, or a tool's, is dropped, so
    // the slot is never touched.
    stopWork();
    m_closing = true;
    unlockControls();
    QDialog::reject();
}

void CoverEditor::showBrightnessCaption() {
    setWindowTitle(editor::brightnessCaption(m_scroll->value()));
}

bool CoverEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove && !isBusy())
        setWindowTitle(QLatin1String(editor::kEditorCaption));
    return QDialog::eventFilter(watched, event);
}

} // namespace vexa::editor
