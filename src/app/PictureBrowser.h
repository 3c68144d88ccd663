#pragma once

#include "app/BrowserFolder.h"

#include <QHash>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QListWidget;
class QTreeWidget;
class QTimer;

namespace vexa::app {

// The main window's small file browser: drives, folders and the picture files of the
// current folder, each list in a captioned frame, stacked top to bottom. Clicking files
// (or moving through them with the arrow keys) reports `filesClicked`; the main window
// then loads the selected files. Both lists are re-read from disk every 10 seconds.
class PictureBrowser : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRefreshIntervalMs = 10000;

    explicit PictureBrowser(QWidget* parent = nullptr);

    // The drive list's text: the mount point of the current drive.
    QString drive() const;
    // Chooses a drive and moves the folder list to that drive's current folder. False, and
    // no folder change, when the drive is not mounted or its folder cannot be read.
    bool setDrive(const QString& drive);

    QString folder() const { return m_folder; }
    // Makes `folder` the folder list's path; the file list follows. False when it is no
    // readable folder; the lists then stay as they were.
    bool setFolder(const QString& folder);

    // Full paths of the selected files, in list order.
    QStringList selectedFilePaths() const;

    QComboBox* drvSelect() const { return m_drives; }
    QTreeWidget* dirSelect() const { return m_folders; }
    QListWidget* fileSelect() const { return m_files; }

    // Re-reads the lists from disk now (what the refresh timers do).
    void refreshFiles();
    void refreshFolders();

signals:
    void filesClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillDrives();
    void fillFolders();
    void fillFiles();
    void onDriveChosen(int index);
    void onFolderActivated();
    void onFileSelectionChanged();
    void onFileClicked();

    QComboBox* m_drives;
    QTreeWidget* m_folders;
    QListWidget* m_files;
    QTimer* m_fileTimer;
    QTimer* m_folderTimer;
    QStringList m_mounted;
    QString m_folder;
    QStringList m_fileNames;       // what the file list shows, to compare a refresh against
    QList<FolderTreeEntry> m_tree; // what the folder list shows
    QHash<QString, QString> m_driveFolders; // the folder last shown on each drive
    bool m_selectionReported = false;
};

} // namespace vexa::app
