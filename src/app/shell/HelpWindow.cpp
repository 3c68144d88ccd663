#include "HelpWindow.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QUrl>

#include <algorithm>
#include <utility>

namespace vexa {

namespace {
constexpr int kFileRole = Qt::UserRole;
}

HelpWindow::HelpWindow(HelpBook book, QWidget* owner)
    : QWidget(owner, Qt::Window), m_book(std::move(book)) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("VEXA 6 Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(860, 600);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("tvwContents"));
    m_list->setHeaderHidden(true);
    m_list->setRootIsDecorated(true);
    m_page = new QTextBrowser(this);
    m_page->setObjectName(QStringLiteral("txtPage"));
    m_page->setOpenLinks(false); // every link goes through followLink
    m_page->setSearchPaths({m_book.folder()});

    auto* splitter = new QSplitter(this);
    splitter->addWidget(m_list);
    splitter->addWidget(m_page);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 620});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    fillContents();
    connect(m_list, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { showTopic(item->data(0, kFileRole).toString()); });
    connect(m_list, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { showTopic(item->data(0, kFileRole).toString()); });
    connect(m_page, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
}

void HelpWindow::fillContents() {
    QList<QTreeWidgetItem*> parents; // the last item of each level
    for (const HelpTopic& topic : m_book.topics()) {
        const int level = std::min<int>(topic.level, static_cast<int>(parents.size()));
        parents.resize(level);
        auto* item = level == 0 ? new QTreeWidgetItem(m_list) : new QTreeWidgetItem(parents.back());
        item->setText(0, topic.title);
        item->setData(0, kFileRole, topic.file);
        parents.append(item);
    }
    m_list->expandAll();
}

void HelpWindow::showContents() {
    if (m_book.isEmpty()) {
        m_page->setHtml(m_book.missingMessage());
        m_current.clear();
        return;
    }
    m_page->setHtml(m_book.contentsPage());
    m_current = QLatin1String(kContentsPage);
    m_list->clearSelection();
}

bool HelpWindow::showTopic(const QString& file) {
    if (!m_book.contains(file)) {
        showContents();
        return false;
    }
    QFile page(m_book.filePath(file));
    if (!page.open(QIODevice::ReadOnly)) {
        m_page->setHtml(QStringLiteral("<html><body><h2>This help page is missing</h2>"
                                       "<p>The file <tt>%1</tt> could not be read. The other "
                                       "pages may still be there: choose one on the left.</p>"
                                       "</body></html>")
                            .arg(QDir::toNativeSeparators(page.fileName()).toHtmlEscaped()));
        m_current = file;
        selectInList(file);
        return true;
    }
    m_page->setHtml(QString::fromUtf8(page.readAll()));
    m_current = file;
    selectInList(file);
    return true;
}

void HelpWindow::selectInList(const QString& file) {
    for (QTreeWidgetItemIterator it(m_list); *it; ++it) {
        if ((*it)->data(0, kFileRole).toString() == file) {
            m_list->setCurrentItem(*it);
            return;
        }
    }
}

void HelpWindow::followLink(const QUrl& link) {
    if (link.isRelative() && link.path().isEmpty() && link.hasFragment()) {
        m_page->scrollToAnchor(link.fragment());
        return;
    }
    if (link.isRelative()) {
        if (link.path() == QLatin1String(kContentsPage))
            showContents();
        else if (showTopic(link.path()) && link.hasFragment())
            m_page->scrollToAnchor(link.fragment());
        return;
    }
    // The maker's web site, mail addresses and the like.
    QDesktopServices::openUrl(link);
}

} // namespace vexa
