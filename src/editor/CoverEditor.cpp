#include "editor/CoverEditor.h"

#include "core/cover/CoverFormats.h"
#include "core/cover/CoverSet.h"
#include "core/settings/SettingsKeys.h"
#include "editor/CoverTools.h"
#include "editor/EditorTexts.h"
#include "editor/ToolIcons.h"
#include "widgets/CoverHost.h"
#include "widgets/FitActions.h"
#include "widgets/PictureHolder.h"
#include "widgets/WindowGeometry.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
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

// The window's first size: the two previews large enough to judge an edit, and the whole on a
// 1366 x 768 screen with room for a panel. It grows and shrinks from there.
constexpr QSize kDefaultSize(760, 560);
constexpr QSize kMinimumSize(343, 280);

// The tools, in the toolbar and the "&Tools" menu alike: one action each.
struct ToolSpec {
    const char* text;     // toolbar tip and menu item
    const char* menuText; // with its mnemonic
    const char* objectName;
    editor::ToolIcon icon;
    QKeySequence::StandardKey standardKey; // QKeySequence::UnknownKey: `shortcut` instead
    Qt::Key shortcutKey;                   // with Ctrl
};
constexpr std::array<ToolSpec, 5> kTools{{
    {"Rotate", "&Rotate", "rotateAction", editor::ToolIcon::Rotate, QKeySequence::UnknownKey,
     Qt::Key_R},
    {"Mirror", "&Mirror", "mirrorAction", editor::ToolIcon::Mirror, QKeySequence::UnknownKey,
     Qt::Key_M},
    {"Flip", "&Flip", "flipAction", editor::ToolIcon::Flip, QKeySequence::UnknownKey, Qt::Key_F},
    {"Brightness", "&Brightness", "brightnessAction", editor::ToolIcon::Brightness,
     QKeySequence::UnknownKey, Qt::Key_B},
    {"Undo Last Change", "&Undo Last Change", "undoAction", editor::ToolIcon::Undo,
     QKeySequence::Undo, Qt::Key_unknown},
}};

std::size_t menuIndex(editor::EffectMenu menu) {
    return static_cast<std::size_t>(menu);
}

} // namespace

CoverEditor::CoverEditor(widgets::CoverHost& host, QWidget* parent, editor::EffectRunner runner)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowMaximizeButtonHint),
      m_host(host), m_runner(std::move(runner)) {
    setObjectName(QStringLiteral("coverEditor"));
    setWindowTitle(QLatin1String(editor::kEditorCaption));
    setModal(true);
    setSizeGripEnabled(true);
    setMinimumSize(kMinimumSize);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildMenus();
    layout->setMenuBar(m_menuBar);
    auto* client = new QWidget(this);
    auto* body = new QVBoxLayout(client);
    body->setContentsMargins(8, 0, 8, 8);
    buildToolbar(client, *body);
    buildBody(client, *body);
    layout->addWidget(client, 1);
    resize(kDefaultSize);
    widgets::restoreWindowGeometry(*this, settings::keys::kEditorGeometry);

    // Load: the selected cover's picture as opened, and everything else set to it. No
    // selected cover leaves the window empty; its commands then work on nothing.
    const std::optional<cover::CoverKind> kind = m_host.selectedKind();
    const QImage opened = kind ? m_host.covers().picture(*kind).pixels : QImage();
    m_pictures = editor::EditPictures(opened);
    m_original->setPicture(opened);
    // Both previews show the cover in the proportions it prints with, fitted as it prints.
    if (kind) {
        m_framing = m_host.covers().framing(*kind);
        m_fits->showFit(m_framing.fit);
        for (widgets::PictureHolder* view : {m_original, m_newImage}) {
            view->setPictureShape(cover::coverShape(*kind));
            view->setFraming(m_framing);
        }
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

    // The toolbar's tools, reachable by keyboard too.
    m_toolsMenu = m_menuBar->addMenu(QStringLiteral("&Tools"));
    m_toolsMenu->setObjectName(QStringLiteral("toolsMenu"));
    const std::array<void (CoverEditor::*)(), 5> operations{
        &CoverEditor::rotate, &CoverEditor::mirror, &CoverEditor::flip,
        &CoverEditor::applyBrightness, &CoverEditor::undoLastChange};
    for (std::size_t i = 0; i < kTools.size(); ++i) {
        auto* action =
            new QAction(editor::toolIcon(kTools[i].icon), QLatin1String(kTools[i].menuText), this);
        action->setObjectName(QLatin1String(kTools[i].objectName));
        action->setIconText(QLatin1String(kTools[i].text));
        action->setToolTip(QLatin1String(kTools[i].text));
        action->setShortcut(kTools[i].standardKey != QKeySequence::UnknownKey
                                ? QKeySequence(kTools[i].standardKey)
                                : QKeySequence(Qt::CTRL | kTools[i].shortcutKey));
        connect(action, &QAction::triggered, this, operations[i]);
        if (i == kTools.size() - 1) m_toolsMenu->addSeparator();
        m_toolsMenu->addAction(action);
        m_toolbarButtons[i] = action;
    }

    m_shapeMenu = m_menuBar->addMenu(QStringLiteral("Sha&pe"));
    m_shapeMenu->setObjectName(QStringLiteral("shapeMenu"));
    m_fits = new widgets::FitActions(*m_shapeMenu);
    connect(m_fits, &widgets::FitActions::fitChosen, this, [this](cover::CoverFit fit) {
        m_framing.fit = fit;
        for (widgets::PictureHolder* view : {m_original, m_newImage}) view->setFraming(m_framing);
    });
}

void CoverEditor::buildToolbar(QWidget* client, QVBoxLayout& body) {
    m_toolbar = new QToolBar(client);
    m_toolbar->setObjectName(QStringLiteral("editorToolbar"));
    m_toolbar->setAccessibleName(QStringLiteral("Tools"));
    if (auto* more = m_toolbar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("More tools"));
    m_toolbar->setIconSize(QSize(32, 32));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    for (QAction* action : m_toolbarButtons) m_toolbar->addAction(action);

    m_frame = new QGroupBox(QStringLiteral("Brightness &Level"), client);
    m_frame->setObjectName(QStringLiteral("brightnessFrame"));
    m_scroll = new QScrollBar(Qt::Horizontal, m_frame);
    m_scroll->setObjectName(QStringLiteral("brightnessLevel"));
    m_scroll->setAccessibleName(QStringLiteral("Brightness Level"));
    m_scroll->setRange(-99, 99);
    m_scroll->setSingleStep(1);
    m_scroll->setPageStep(10);
    m_scroll->setValue(0);
    // Reached with Tab and Alt+L, and moved with the arrow keys, Page Up and Page Down.
    m_scroll->setFocusPolicy(Qt::StrongFocus);
    m_scroll->setInvertedControls(false); // the Right key makes it brighter
    m_frame->setFocusProxy(m_scroll);
    auto* frameLayout = new QHBoxLayout(m_frame);
    frameLayout->addWidget(m_scroll);
    // Moving over the scroll bar is not moving over the frame: the value stays in the caption.
    m_scroll->setAttribute(Qt::WA_NoMousePropagation);
    connect(m_scroll, &QScrollBar::valueChanged, this, &CoverEditor::showBrightnessCaption);
    connect(m_scroll, &QScrollBar::sliderMoved, this, &CoverEditor::showBrightnessCaption);

    auto* row = new QHBoxLayout;
    row->addWidget(m_toolbar);
    row->addWidget(m_frame, 1);
    body.addLayout(row);

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

void CoverEditor::buildBody(QWidget* client, QVBoxLayout& body) {
    m_label1 = new QLabel(QStringLiteral("Original Picture"), client);
    m_label1->setObjectName(QStringLiteral("originalCaption"));
    m_label2 = new QLabel(QStringLiteral("Modified Picture"), client);
    m_label2->setObjectName(QStringLiteral("modifiedCaption"));

    m_original = new widgets::PictureHolder(client);
    m_original->setObjectName(QStringLiteral("originalPicture"));
    m_original->setAccessibleName(QStringLiteral("Original Picture"));
    m_original->setFramed(true);
    m_newImage = new widgets::PictureHolder(client);
    m_newImage->setObjectName(QStringLiteral("modifiedPicture"));
    m_newImage->setAccessibleName(QStringLiteral("Modified Picture"));
    m_newImage->setFramed(true);
    for (widgets::PictureHolder* view : {m_original, m_newImage}) {
        view->setMinimumSize(160, 160);
        view->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }
    auto* views = new QGridLayout;
    views->addWidget(m_label1, 0, 0);
    views->addWidget(m_label2, 0, 1);
    views->addWidget(m_original, 1, 0);
    views->addWidget(m_newImage, 1, 1);
    views->setRowStretch(1, 1);
    views->setColumnStretch(0, 1);
    views->setColumnStretch(1, 1);
    body.addLayout(views, 1);

    m_accept = new QPushButton(QStringLiteral("&Accept"), client);
    m_accept->setObjectName(QStringLiteral("acceptButton"));
    m_accept->setToolTip(QStringLiteral("Accept Changes"));
    m_cancel = new QPushButton(QStringLiteral("Canc&el"), client);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setToolTip(QStringLiteral("Cancel"));
    for (QPushButton* button : {m_accept, m_cancel}) button->setMinimumSize(97, 33);
    // Enter presses the focused button; neither is the default, so Enter never accepts by
    // surprise after the scroll bar was moved (see setVisible).
    m_accept->setAutoDefault(true);
    m_cancel->setAutoDefault(true);
    connect(m_accept, &QPushButton::clicked, this, &CoverEditor::acceptEdits);
    connect(m_cancel, &QPushButton::clicked, this, &CoverEditor::cancelEdits);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_accept);
    buttons->addSpacing(40);
    buttons->addWidget(m_cancel);
    buttons->addStretch(1);
    body.addLayout(buttons);
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

void CoverEditor::rotate() {
    runTool(editor::rotateQuarterClockwise);
}

void CoverEditor::mirror() {
    runTool(editor::mirrorLeftRight);
}

void CoverEditor::flip() {
    runTool(editor::flipTopBottom);
}

void CoverEditor::applyBrightness() {
    const int value = m_scroll->value();
    runTool([value](const QImage& picture) { return editor::shiftBrightness(picture, value); });
}

void CoverEditor::undoLastChange() {
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

void CoverEditor::done(int result) {
    widgets::saveWindowGeometry(*this, settings::keys::kEditorGeometry);
    QDialog::done(result);
}

void CoverEditor::acceptEdits() {
    if (isBusy() || m_closing) return;
    if (const std::optional<cover::CoverKind> kind = m_host.selectedKind()) {
        // A picture left as it was opened keeps its record: the bytes it was read from still
        // hold it exactly.
        const picture::LoadedPicture& before = m_host.covers().picture(*kind);
        m_host.acceptEdit(
            *kind,
            m_pictures.current() == before.pixels ? before : before.edited(m_pictures.current()),
            m_framing);
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
