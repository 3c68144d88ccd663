#include "app/PictureBrowser.h"

#include "app/BrowserFolder.h"
#include "app/Drives.h"
#include "core/base/FilePath.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QItemSelection>
#include <QKeyEvent>
#include <QListWidget>
#include <QSet>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexa::app {

namespace {

QGroupBox* framed(const QString& caption, QWidget* list, QWidget* parent) {
    auto* frame = new QGroupBox(caption, parent);
    list->setAccessibleName(caption);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->addWidget(list);
    return frame;
}

// Asked by the bytes of the name: a folder whose name is not UTF-8 opens too.
bool isReadableFolder(const QString& path) {
    const QByteArray name = base::fileNameBytes(path);
    struct stat info {};
    return !path.isEmpty() && ::stat(name.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           ::faccessat(AT_FDCWD, name.constData(), R_OK | X_OK, AT_EACCESS) == 0;
}

} // namespace

PictureBrowser::PictureBrowser(QWidget* parent)
    : QWidget(parent), m_drives(new QComboBox(this)), m_folders(new QTreeWidget(this)),
      m_files(new QListWidget(this)), m_fileTimer(new QTimer(this)),
      m_folderTimer(new QTimer(this)) {
    m_drives->setObjectName(QStringLiteral("driveList"));
    m_drives->setToolTip(QStringLiteral("Current drive."));
    m_drives->view()->setAccessibleName(QStringLiteral("Drives")); // the list it drops down
    m_folders->setObjectName(QStringLiteral("folderList"));
    m_folders->setToolTip(QStringLiteral("Current directory."));
    m_files->setObjectName(QStringLiteral("fileList"));
    m_files->setToolTip(QStringLiteral("Available files."));
    m_files->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_folders->setHeaderHidden(true);
    m_folders->setIndentation(10);
    m_folders->setItemsExpandable(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(framed(QStringLiteral("Drives"), m_drives, this));
    layout->addWidget(framed(QStringLiteral("Directories"), m_folders, this), 1);
    layout->addWidget(framed(QStringLiteral("Files"), m_files, this), 1);

    connect(m_drives, &QComboBox::activated, this, &PictureBrowser::onDriveChosen);
    connect(m_folders, &QTreeWidget::itemActivated, this, &PictureBrowser::onFolderActivated);
    connect(m_files, &QListWidget::itemSelectionChanged, this,
            &PictureBrowser::onFileSelectionChanged);
    connect(m_files, &QListWidget::itemClicked, this, &PictureBrowser::onFileClicked);
    m_files->viewport()->installEventFilter(this);

    m_fileTimer->setInterval(kRefreshIntervalMs);
    m_folderTimer->setInterval(kRefreshIntervalMs);
    connect(m_fileTimer, &QTimer::timeout, this, &PictureBrowser::refreshFiles);
    connect(m_folderTimer, &QTimer::timeout, this, &PictureBrowser::refreshFolders);
    m_fileTimer->start();
    m_folderTimer->start();

    fillDrives();
}

QString PictureBrowser::drive() const {
    return m_drives->currentText();
}

bool PictureBrowser::setDrive(const QString& drive) {
    fillDrives();
    const int index = m_drives->findText(drive, Qt::MatchExactly);
    if (drive.isEmpty() || index < 0) return false;
    const QString target = m_driveFolders.value(drive, drive);
    if (!isReadableFolder(target) && !isReadableFolder(drive)) return false;
    m_drives->setCurrentIndex(index);
    return setFolder(isReadableFolder(target) ? target : drive);
}

bool PictureBrowser::setFolder(const QString& folder) {
    if (!isReadableFolder(folder)) return false;
    m_folder = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QString drive = driveOfPath(m_mounted, m_folder);
    if (!drive.isEmpty()) m_driveFolders.insert(drive, m_folder);
    fillFolders();
    fillFiles();
    return true;
}

QStringList PictureBrowser::selectedFilePaths() const {
    QStringList paths;
    for (int row = 0; row < m_files->count(); ++row) {
        const QListWidgetItem* item = m_files->item(row);
        if (item->isSelected()) paths.append(joinFolderAndFile(m_folder, item->text()));
    }
    return paths;
}

void PictureBrowser::refreshFiles() {
    fillFiles();
}

void PictureBrowser::refreshFolders() {
    fillDrives();
    fillFolders();
}

void PictureBrowser::fillDrives() {
    const QStringList mounted = mountedDrives();
    if (mounted == m_mounted) return;
    m_mounted = mounted;
    const QSignalBlocker block(m_drives);
    const QString current = m_drives->currentText();
    m_drives->clear();
    m_drives->addItems(m_mounted);
    if (!current.isEmpty()) {
        if (m_drives->findText(current) < 0)
            m_drives->addItem(current); // a drive that went away stays shown until changed
        m_drives->setCurrentIndex(m_drives->findText(current));
    }
}

void PictureBrowser::fillFolders() {
    if (m_folder.isEmpty()) return;
    QList<FolderTreeEntry> tree = folderTree(driveOfPath(m_mounted, m_folder), m_folder);
    // Unchanged on disk: the list keeps its items, scroll position and current entry.
    if (tree == m_tree && m_folders->topLevelItemCount() > 0) return;
    m_tree = std::move(tree);
    const QSignalBlocker block(m_folders);
    m_folders->clear();
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    // The open folders nest one in the other; the current folder's subfolders hang below it.
    QTreeWidgetItem* current = nullptr;
    for (const FolderTreeEntry& entry : m_tree) {
        auto* item = current ? new QTreeWidgetItem(current) : new QTreeWidgetItem(m_folders);
        item->setText(0, entry.name);
        item->setIcon(0, entry.open ? openIcon : closedIcon);
        item->setData(0, Qt::UserRole, entry.path);
        if (entry.open) current = item;
    }
    m_folders->expandAll();
    m_folders->setCurrentItem(current);
    if (current) m_folders->scrollToItem(current);
}

void PictureBrowser::fillFiles() {
    if (m_folder.isEmpty()) return;
    QStringList names = pictureFilesIn(m_folder);
    // Unchanged on disk: nothing is touched, so a refresh costs one reading of the folder
    // however many files are selected.
    if (names == m_fileNames && m_files->count() == names.size()) return;

    QSet<QString> selected;
    for (const QListWidgetItem* item : m_files->selectedItems()) selected.insert(item->text());
    const QString current = m_files->currentItem() ? m_files->currentItem()->text() : QString();
    const QSignalBlocker block(m_files);
    m_files->clear();
    m_files->addItems(names);
    // The names still there stay selected, set as whole runs in one step: selecting item by
    // item would lay the list out again for each one.
    QItemSelection selection;
    int runStart = -1;
    for (int row = 0; row <= names.size(); ++row) {
        const bool isSelected = row < names.size() && selected.contains(names[row]);
        if (isSelected && runStart < 0) runStart = row;
        if (!isSelected && runStart >= 0) {
            selection.select(m_files->model()->index(runStart, 0),
                             m_files->model()->index(row - 1, 0));
            runStart = -1;
        }
    }
    if (!selection.isEmpty())
        m_files->selectionModel()->select(selection, QItemSelectionModel::Select);
    if (!current.isEmpty()) {
        const qsizetype row = names.indexOf(current);
        if (row >= 0)
            m_files->selectionModel()->setCurrentIndex(m_files->model()->index(int(row), 0),
                                                       QItemSelectionModel::NoUpdate);
    }
    m_fileNames = std::move(names);
}

void PictureBrowser::onDriveChosen(int index) {
    const QString chosen = m_drives->itemText(index);
    const QString target = m_driveFolders.value(chosen, chosen);
    if (isReadableFolder(target)) {
        setFolder(target);
    } else if (isReadableFolder(chosen)) {
        setFolder(chosen);
    } else {
        // Drive not ready: the lists stay on the previous folder, no message.
        fillFolders();
        fillFiles();
    }
}

void PictureBrowser::onFolderActivated() {
    if (const QTreeWidgetItem* item = m_folders->currentItem())
        setFolder(item->data(0, Qt::UserRole).toString());
}

void PictureBrowser::onFileSelectionChanged() {
    m_selectionReported = true;
    emit filesClicked();
}

void PictureBrowser::onFileClicked() {
    // A click that changed the selection was reported already; a click on the entry that
    // was selected before loads it again, as a file list reports every click.
    if (m_selectionReported) {
        m_selectionReported = false;
        return;
    }
    emit filesClicked();
}

bool PictureBrowser::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_files->viewport() && event->type() == QEvent::MouseButtonPress)
        m_selectionReported = false;
    return QWidget::eventFilter(watched, event);
}

} // namespace vexa::app
