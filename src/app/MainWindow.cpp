#include "app/MainWindow.h"

#include "widgets/WindowGeometry.h"

#include "notify/MessageNoticeWindow.h"

#include "app/CoverMark.h"
#include "app/Drives.h"
#include "app/PictureBrowser.h"
#include "app/ProjectCommands.h"
#include "app/SettingsRules.h"
#include "app/SlotFraming.h"
#include "app/SlotTable.h"
#include "app/ToolbarIcons.h"
#include "core/base/ProgramFolder.h"
#include "core/cover/CoverFormats.h"
#include "core/cups/StartupPrinter.h"
#include "core/settings/Settings.h"
#include "editor/CoverEditorCommand.h"
#include "imageio/PictureWriter.h"
#include "print/PrintDialog.h"
#include "print/PrinterChooser.h"
#include "scan/ScanTabCommands.h"
#include "shell/ShellCommands.h"
#include "shell/WindowPlacement.h"
#include "widgets/PictureHolder.h"
#include "widgets/ProgramIcon.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace vexa::app {

namespace {

QString emptySlotText() {
    return QStringLiteral("No picture yet.\nClick a picture file on the right to put it here.");
}

// The smallest a slot's picture gets; the slots grow with the window from there.
constexpr QSize kMinimumSlotSize{320, 228};
// Wide enough for the usual names of picture files; the browser grows with the window too.
constexpr int kMinimumBrowserWidth = 240;
constexpr int kPageMargin = 6;

} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("VEXA 6"));
    setWindowIcon(widgets::programIcon());

    buildMenus();
    buildToolbar();

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(8);
    buildTabs();
    m_browser = new PictureBrowser(central);
    m_browser->setMinimumWidth(kMinimumBrowserWidth);
    layout->addWidget(m_tabs, 3);
    layout->addWidget(m_browser, 1);
    setCentralWidget(central);
    resize(kDefaultSize);

    connect(m_browser, &PictureBrowser::filesClicked, this, &MainWindow::loadSelectedFiles);
    setUpProject();
    setUpPictureLoading();
    connectCommands();
}

MainWindow::~MainWindow() {
    // The document works on the cover set, a member that goes before the window's children.
    delete m_projects;
}

void MainWindow::buildMenus() {
    m_actions = makeMainActions(this);
    m_fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    m_fileMenu->setObjectName(QStringLiteral("fileMenu"));
    m_recentMenu = new QMenu(QStringLiteral("Open &Recent"), m_fileMenu);
    m_recentMenu->setObjectName(QStringLiteral("recentMenu"));
    fillFileMenu(*m_fileMenu, *m_recentMenu, m_actions);
    m_editMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
    m_editMenu->setObjectName(QStringLiteral("editMenu"));
    fillEditMenu(*m_editMenu, m_actions);
    m_helpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    m_helpMenu->setObjectName(QStringLiteral("helpMenu"));
    fillHelpMenu(*m_helpMenu, m_actions);
}

void MainWindow::buildToolbar() {
    m_toolbar = addToolBar(QStringLiteral("Toolbar"));
    m_toolbar->setObjectName(QStringLiteral("mainToolbar"));
    // The button that shows the toolbar's overflow; a screen reader lists it even when hidden.
    if (auto* more = m_toolbar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("More commands"));
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setIconSize(QSize(32, 32));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu); // no menu to hide the toolbar
    fillToolbar(*m_toolbar, m_actions);
}

void MainWindow::buildTabs() {
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("coverTabs"));
    m_tabs->setUsesScrollButtons(false);
    m_tabs->tabBar()->setExpanding(false);
    QFont tabFont = m_tabs->tabBar()->font(); // twelve tabs side by side over one slot's width
    tabFont.setPointSizeF(tabFont.pointSizeF() - 1);
    m_tabs->tabBar()->setFont(tabFont);

    for (const CoverSlot& slot : kCoverSlots) {
        auto* page = new QWidget(m_tabs);
        auto* holder = new widgets::PictureHolder(page);
        holder->setObjectName(QLatin1String(slot.objectName));
        holder->setToolTip(QStringLiteral("Cover image."));
        holder->setSubject(cover::coverName(cover::coverFormat(slot.kind)) +
                           QStringLiteral(" cover"));
        holder->setPlaceholderText(emptySlotText());
        holder->setMinimumSize(kMinimumSlotSize);
        holder->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        holder->setPictureShape(cover::coverShape(slot.kind)); // as it prints
        auto* framing =
            new SlotFraming(*holder, *page, m_covers, slot.kind,
                            [this](cover::CoverKind kind, const cover::Framing& chosen) {
                                m_projects->setFraming(kind, chosen);
                            });
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(kPageMargin, kPageMargin, kPageMargin, kPageMargin);
        layout->addWidget(holder, 1);
        auto* resolution = new QHBoxLayout;
        resolution->addWidget(framing->resolution());
        resolution->addWidget(framing->soft());
        resolution->addStretch(1);
        layout->addLayout(resolution);
        connect(holder, &widgets::PictureHolder::clicked, this,
                [this, kind = slot.kind, tab = slot.tab] {
                    m_selectedKind = kind;
                    markSelectedCover(*m_tabs, m_slots, tab);
                });
        m_slots[static_cast<size_t>(slot.tab)] = holder;
        m_tabs->addTab(page, QLatin1String(slot.caption));
    }

    auto* scanPage = new QWidget(m_tabs);
    m_scanned = new widgets::PictureHolder(scanPage);
    m_scanned->setObjectName(QStringLiteral("scanSlot"));
    m_scanned->setToolTip(QStringLiteral("Scanned Picture"));
    m_scanned->setSubject(QStringLiteral("Scanned picture"));
    m_scanned->setPlaceholderText(QStringLiteral(
        "No scanned picture yet.\nChoose a scanner with Source, then scan with Acquire."));
    m_scanned->setMinimumSize(kMinimumSlotSize);
    m_scanned->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto makeButton = [scanPage](const char* name, const char* caption, const char* tip) {
        auto* button = new QPushButton(QString::fromLatin1(caption), scanPage);
        button->setObjectName(QLatin1String(name));
        button->setToolTip(QString::fromLatin1(tip));
        button->setMinimumWidth(96);
        return button;
    };
    m_sourceButton = makeButton("sourceButton", "&Source", "Select Scanner Source");
    m_acquireButton = makeButton("acquireButton", "&Acquire", "Acquire Image");
    m_saveButton = makeButton("saveScanButton", "Sa&ve", "Save Image");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_sourceButton);
    buttons->addWidget(m_acquireButton);
    buttons->addWidget(m_saveButton);
    buttons->addStretch(1);
    auto* scanLayout = new QVBoxLayout(scanPage);
    scanLayout->setContentsMargins(kPageMargin, kPageMargin, kPageMargin, kPageMargin);
    scanLayout->addWidget(m_scanned, 1);
    scanLayout->addLayout(buttons);
    m_tabs->addTab(scanPage, QLatin1String(kScanCaption));
    reserveRoomForCoverMark(*m_tabs);

    connect(&m_covers, &cover::CoverSet::pictureChanged, this, [this](cover::CoverKind kind) {
        widgets::PictureHolder* holder = m_slots[static_cast<size_t>(slotForKind(kind).tab)];
        const picture::LoadedPicture& picture = m_covers.picture(kind);
        // A project's JPEG is checked at once and decoded just after: the slot says so meanwhile.
        holder->setPlaceholderText(picture.isNull() ? emptySlotText()
                                                    : QStringLiteral("Decoding the picture..."));
        holder->setPicture(picture.pixels);
    });
}

void MainWindow::connectCommands() {
    const MainActions& a = m_actions;
    connect(a.exit, &QAction::triggered, this, &QWidget::close);
    m_scanTab = std::make_unique<scan::ScanTabCommands>(*m_scanned, this);
    connect(m_sourceButton, &QPushButton::clicked, this, [this] { m_scanTab->commands.source(); });
    connect(m_acquireButton, &QPushButton::clicked, this,
            [this] { m_scanTab->commands.acquire(); });
    connect(m_saveButton, &QPushButton::clicked, this, [this] {
        if (m_pictureWriter) m_scanTab->commands.save(*m_pictureWriter);
    });
    m_shell = new shell::ShellCommands(this, *this);
    connect(a.reportBug, &QAction::triggered, m_shell, &shell::ShellCommands::reportBug);
    connect(a.helpIndex, &QAction::triggered, m_shell, &shell::ShellCommands::helpIndex);
    connect(a.about, &QAction::triggered, m_shell, &shell::ShellCommands::about);
    connect(a.visitWebsite, &QAction::triggered, m_shell, &shell::ShellCommands::visitWebsite);
    connect(a.helpContents, &QAction::triggered, m_shell, &shell::ShellCommands::helpContents);
    connect(a.checkForUpdates, &QAction::triggered, m_shell,
            &shell::ShellCommands::checkForUpdates);
    connect(a.print, &QAction::triggered, this, &MainWindow::openPrintCovers);
    connect(a.editSelectedCover, &QAction::triggered, this,
            [this] { editor::openCoverEditor(*this); });
    connect(a.editOpenCover, &QAction::triggered, this, &MainWindow::editOpenTabsCover);
    connect(a.selectPrinter, &QAction::triggered, this, &MainWindow::openPrinterChooser);
}

void MainWindow::openPrintCovers() {
    print::PrintDialog dialog(m_covers, this);
    dialog.exec();
    m_projects->takePrintChoices(); // the covers chosen, paper, marks, bleed and sheets: the set's
}

void MainWindow::openPrinterChooser() {
    // Not modal; a second click brings the open chooser to the front.
    if (!m_printerChooser) {
        m_printerChooser = new print::PrinterChooser(this);
        m_printerChooser->setAttribute(Qt::WA_DeleteOnClose);
        shell::placeOverOwner(m_printerChooser, this, false);
    }
    m_printerChooser->show();
    m_printerChooser->raise();
    m_printerChooser->activateWindow();
}

void MainWindow::setCommandsEnabled(bool enabled) {
    m_toolbar->setEnabled(enabled);
    m_fileMenu->menuAction()->setEnabled(enabled);
    m_helpMenu->menuAction()->setEnabled(enabled);
    m_editMenu->menuAction()->setEnabled(enabled);
    // A disabled menu does not stop its items' shortcuts.
    for (QMenu* menu : {m_fileMenu, m_editMenu, m_helpMenu})
        for (QAction* action : menu->actions()) action->setEnabled(enabled);
    m_projects->setCommandsEnabled(enabled); // Undo and Redo only when there is a step
}

void MainWindow::editOpenTabsCover() {
    const int tab = m_tabs->currentIndex();
    if (tab < 0 || tab >= static_cast<int>(m_slots.size())) return; // the Scan tab
    const cover::CoverKind kind = kCoverSlots[static_cast<size_t>(tab)].kind;
    // An empty slot is nothing to edit: a notice says so, as the toolbar's command does with no
    // cover selected, and the cover selected before stays selected.
    if (m_covers.picture(kind).isNull()) {
        notify::MessageNoticeWindow::open(*this, editor::emptyCoverMessage(kind),
                                          QStringLiteral("picture"));
        return;
    }
    m_selectedKind = kind;
    markSelectedCover(*m_tabs, m_slots, tab);
    editor::openCoverEditor(*this);
}

void MainWindow::start() {
    // Start-up order: create the picture writer, show the window, set up help, remember
    // the start-up printer, restore the settings.
    m_pictureWriter = std::make_unique<imageio::PictureWriter>();
    widgets::restoreWindowGeometry(*this, settings::keys::kMainGeometry);
    show();
    m_shell->setHelpFile();
    m_startupPrinter = cups::rememberStartupPrinter();
    readSettings();
    m_projects->start(); // may offer the covers of a VEXA that did not close normally
}

void MainWindow::readSettings() {
    const std::optional<int> tab = tabFromSetting(settings::readSetting(settings::keys::kTab));
    m_tabs->setCurrentIndex(tab.value_or(0));

    const bool restored = m_browser->setDrive(settings::readSetting(settings::keys::kDrive)) &&
                          m_browser->setFolder(settings::readSetting(settings::keys::kDir));
    if (!restored) {
        // The drive or folder is gone (or was never saved): start at the program's folder,
        // or, for an installed copy, whose program folder holds no pictures, at home.
        const QString folder = base::isInstalledCopy() ? QDir::homePath() : base::programFolder();
        m_browser->setDrive(driveOfPath(mountedDrives(), folder));
        m_browser->setFolder(folder);
        m_tabs->setCurrentIndex(0);
    }
}

void MainWindow::writeSettings() {
    // A settings file that cannot be written loses these values without a message.
    // One write, so that a file near its size limit takes all three keys or none.
    settings::writeSettings(
        {{settings::keys::kDrive, m_browser->drive()},
         {settings::keys::kDir, m_browser->folder()},
         {settings::keys::kTab, QString::number(m_tabs->currentIndex())},
         {settings::keys::kMainGeometry, QString::fromLatin1(saveGeometry().toBase64())}});
}

void MainWindow::shutDown() {
    if (m_unloaded) return;
    m_unloaded = true;
    // Shut-down order: make the start-up printer the default again, release the picture
    // writer, save the settings, close the help windows, end. Each step is complete when it
    // returns, so nothing has to be waited for between them. A print run still going must not
    // send a cover once the start-up printer is back.
    for (print::PrintDialog* dialog : findChildren<print::PrintDialog*>()) dialog->cancelAndWait();
    // Unless the user closed VEXA (the copy is gone then), the set's last changes are in its
    // recovery copy before VEXA ends: a logout or a signal ends it without a question.
    m_projects->keepRecoveryCopy();
    cups::restoreStartupPrinter(m_startupPrinter);
    m_pictureWriter.reset();
    writeSettings();
    m_shell->closeHelp();
    // Closing the main window ends the program, whatever other windows are open.
    QApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!isEnabled()) {
        event->ignore(); // a notice holds the window: it has to be answered first
        return;
    }
    if (!m_closeSettled && m_projects->document().isModified()) {
        // Unsaved changes are saved or discarded first, or Cancel keeps the window open;
        // closing starts again once they are settled (a save runs on a worker).
        event->ignore();
        if (m_busy) return;
        m_projects->settleThen([this] {
            m_closeSettled = true;
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        });
        return;
    }
    m_projects->endSession();
    shutDown();
    event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Minimised: into the notification area, or onto the task bar where there is none.
    if (event->type() == QEvent::WindowStateChange && m_shell) m_shell->windowStateChanged();
}

} // namespace vexa::app
