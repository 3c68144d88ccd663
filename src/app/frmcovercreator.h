#pragma once

#include "CoverHost.h"
#include "RetainOriginalPrinter.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <array>
#include <memory>

class QAction;
class QMenu;
class QPushButton;
class QTabWidget;
class QToolBar;

namespace vexa::print {
class Form1;
}

namespace vexa::scan {
struct ScanTabCommands;
}

namespace vexa {

class PictureBrowser;
class PictureLoader;
class cGdiPlus;
class ShellCommands;
class PictureHolder;

// The main window: eleven cover slots and the Scan tab on a tab strip, the picture browser
// beside them, the toolbar and the File and Help menus. Its outer size is fixed.
class frmcovercreator : public QMainWindow, public CoverHost {
    Q_OBJECT
public:
    static constexpr int kOuterWidth = 821;  // 12315 twips
    static constexpr int kOuterHeight = 512; // 7680 twips

    explicit frmcovercreator(QWidget* parent = nullptr);
    ~frmcovercreator() override;

    // Start-up, in order: create the picture writer, show the window, set up help,
    // remember the start-up printer, restore the settings.
    void Form_Load();

    void readini();
    void writeini();

    // CoverHost
    QImage slotPicture(const QString& slotName) const override;
    void setSlotPicture(const QString& slotName, const QImage& picture) override;
    QString selectedSlotName() const override { return m_selectedSlot; }
    QWidget* hostWindow() override { return this; }

    // The controls, for the code that wires commands to them and for tests.
    QTabWidget* SSTab1() const { return m_tabs; }
    PictureBrowser* browser() const { return m_browser; }
    PictureHolder* slotHolder(int number) const; // Image1 ... Image11
    PictureHolder* Image20() const { return m_scanned; }
    QToolBar* Toolbar1() const { return m_toolbar; }
    QAction* toolbarButton(int position) const; // 1 ... 6
    QMenu* fileMenu() const { return m_fileMenu; }
    QMenu* helpMenu() const { return m_helpMenu; }
    QPushButton* cmdSource() const { return m_cmdSource; }
    QPushButton* cmdAquire() const { return m_cmdAquire; }
    QPushButton* cmdSave() const { return m_cmdSave; }

    QAction* mnuPrint() const { return m_mnuPrint; }
    QAction* mnuSelectPrinter() const { return m_mnuSelectPrinter; }
    QAction* mnuExit() const { return m_mnuExit; }
    QAction* mnuHelpContents() const { return m_mnuHelpContents; }
    QAction* mnuReportBug() const { return m_mnuReportBug; }
    QAction* mnuVisitWebsite() const { return m_mnuVisitWebsite; }
    QAction* mnuCheckForUpdates() const { return m_mnuCheckForUpdates; }
    QAction* mnuAbout() const { return m_mnuAbout; }
    ShellCommands* shell() const { return m_shell; }

    // Loads the browser's selected files into the slot of the open tab.
    void loadSelectedFiles();

    // Pictures from outside the browser (frmcovercreator_open.cpp).
    // Files named on the command line or handed over by a second start: one per slot in tab
    // order from the open tab on; a notice tells how many were left out.
    void openFiles(const QStringList& files);
    // Shows the window (out of the tray when it is there) and brings it to the front.
    void bringToFront();
    // Ctrl+V: the clipboard's picture into the open tab's slot.
    void pasteIntoOpenSlot();
    // Decodes on a worker thread; the toolbar and menus stay disabled while it works.
    PictureLoader* pictureLoader() const { return m_loader; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildTabs();
    void connectCommands();
    void setCommandsEnabled(bool enabled);
    void setUpPictureLoading(); // frmcovercreator_open.cpp
    void setLoading(bool loading);
    void keepFixedSize();
    void Form_Unload();
    void openPrintCovers();    // "Print Cover", "&Print": the modal print window
    void openPrinterChooser(); // "&Select Printer": the temporary printer, not modal

    QTabWidget* m_tabs = nullptr;
    PictureBrowser* m_browser = nullptr;
    std::array<PictureHolder*, 11> m_slots{};
    PictureHolder* m_scanned = nullptr;
    QPushButton* m_cmdSource = nullptr;
    QPushButton* m_cmdAquire = nullptr;
    QPushButton* m_cmdSave = nullptr;
    QToolBar* m_toolbar = nullptr;
    std::array<QAction*, 6> m_toolbarButtons{};
    QMenu* m_fileMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    QAction* m_mnuPrint = nullptr;
    QAction* m_mnuSelectPrinter = nullptr;
    QAction* m_mnuExit = nullptr;
    QAction* m_mnuHelpContents = nullptr;
    QAction* m_mnuReportBug = nullptr;
    QAction* m_mnuVisitWebsite = nullptr;
    QAction* m_mnuCheckForUpdates = nullptr;
    QAction* m_mnuAbout = nullptr;

    QString m_selectedSlot;
    bool m_unloaded = false;
    std::unique_ptr<cGdiPlus> gdip; // the picture writer, from Form_Load to Form_Unload
    std::unique_ptr<scan::ScanTabCommands> m_scanTab; // Source, Aquire, Save
    ShellCommands* m_shell = nullptr;                 // help, mail, web site, About, updates, tray
    print::SavedUserDefault m_startupPrinter; // the user's default at start-up, put back at exit
    QPointer<print::Form1> m_printerChooser;
    PictureLoader* m_loader = nullptr;
};

} // namespace vexa
