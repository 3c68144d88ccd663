#pragma once

#include "app/MainActions.h"
#include "core/cover/CoverSet.h"
#include "core/cups/StartupPrinter.h"
#include "widgets/CoverHost.h"

#include <QMainWindow>
#include <QPointer>
#include <QSize>
#include <QString>

#include <array>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QPushButton;
class QTabWidget;
class QToolBar;

namespace vexa::print {
class PrinterChooser;
}

namespace vexa::scan {
struct ScanTabCommands;
}

namespace vexa::imageio {
class PictureWriter;
}

namespace vexa::shell {
class ShellCommands;
}

namespace vexa::widgets {
class PictureHolder;
}

namespace vexa::app {

class PictureBrowser;
class PictureLoader;
class ProjectCommands;

// The main window: eleven cover slots and the Scan tab on a tab strip, the picture browser
// beside them, the toolbar and the File and Help menus. It can be resized; the slots and the
// browser grow with it. The slots
// show the pictures of its cover set, redrawn as the set changes.
class MainWindow : public QMainWindow, public widgets::CoverHost {
    Q_OBJECT
public:
    // The size it opens with the first time: room for a cover's picture and the browser, and
    // the whole window on a 1366 x 768 screen with a panel. It grows and shrinks from there,
    // and comes back at the size and place it had when it was last closed.
    static constexpr QSize kDefaultSize{1000, 640};

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up, in order: create the picture writer, show the window, set up help,
    // remember the start-up printer, restore the settings.
    void start();

    void readSettings();
    void writeSettings();

    // Shut-down, as closing the window does it (also when asked to end by a signal): cancel
    // running print jobs, put the start-up printer back, save the settings, quit.
    void shutDown();

    // CoverHost
    cover::CoverSet& covers() override { return m_covers; }
    std::optional<cover::CoverKind> selectedKind() const override { return m_selectedKind; }
    QWidget* hostWindow() override { return this; }
    // The Cover Manipulator's Accept, as a step of Undo.
    void acceptEdit(cover::CoverKind kind, picture::LoadedPicture picture,
                    const cover::Framing& framing) override;

    // Loads the browser's selected files into the slot of the open tab.
    void loadSelectedFiles();

    // Pictures from outside the browser (MainWindowOpen.cpp).
    // Files named on the command line or handed over by a second start: one per slot in tab
    // order from the open tab on; a notice tells how many were left out.
    void openFiles(const QStringList& files);
    // Shows the window (out of the tray when it is there) and brings it to the front.
    void bringToFront();
    // Ctrl+V: the clipboard's picture into the open tab's slot.
    void pasteIntoOpenSlot();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildTabs();
    void connectCommands();
    void setCommandsEnabled(bool enabled);
    void setUpPictureLoading(); // MainWindowOpen.cpp
    void setUpProject();        // MainWindowProject.cpp
    // Picture loading, or a project's open or save, runs: the window takes no commands.
    void updateBusy();
    void openPrintCovers();    // "Print Cover", "&Print": the modal print window
    void openPrinterChooser(); // "&Select Printer": the temporary printer, not modal
    // "Cover &Manipulator" (Ctrl+E): selects the open tab's cover, as a click on its picture
    // does, and opens the Cover Manipulator on it when it holds a picture.
    void editOpenTabsCover();

    // The pictures the slots show; dialogs opened from here read it while they are open.
    cover::CoverSet m_covers;
    QTabWidget* m_tabs = nullptr;
    PictureBrowser* m_browser = nullptr;
    std::array<widgets::PictureHolder*, 11> m_slots{};
    widgets::PictureHolder* m_scanned = nullptr;
    QPushButton* m_sourceButton = nullptr;
    QPushButton* m_acquireButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QToolBar* m_toolbar = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_recentMenu = nullptr; // File > Open Recent
    MainActions m_actions;

    std::optional<cover::CoverKind> m_selectedKind;
    bool m_unloaded = false;
    std::unique_ptr<imageio::PictureWriter>
        m_pictureWriter;                              // the picture writer, from start to shutDown
    std::unique_ptr<scan::ScanTabCommands> m_scanTab; // Source, Acquire, Save
    shell::ShellCommands* m_shell = nullptr;          // help, mail, web site, About, updates, tray
    cups::SavedUserDefault m_startupPrinter; // the user's default at start-up, put back at exit
    QPointer<print::PrinterChooser> m_printerChooser;
    PictureLoader* m_loader = nullptr;
    ProjectCommands* m_projects = nullptr; // the set as a document: New, Open, Save, Undo, ...
    bool m_busy = false;
    bool m_closeSettled = false; // unsaved changes saved or discarded: closing goes on
};

} // namespace vexa::app
