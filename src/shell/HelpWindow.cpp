#include "shell/HelpWindow.h"

#include "notify/OpenAddress.h"
#include "widgets/AccessibleRole.h"

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QUrl>

#include <algorithm>
#include <utility>

namespace vexa::shell {

namespace {
constexpr int kFileRole = Qt::UserRole;
}

HelpWindow::HelpWindow(HelpBook book, QWidget* owner)
    // A dialog to the window system, so that it stays with its owner (transient for it), but
    // with the buttons of an ordinary window.
    : QWidget(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_book(std::move(book)) {
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("VEXA 6 Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    widgets::setAccessibleRole(this, QAccessible::Window); // a window, not a filler

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("helpContents"));
    m_list->setAccessibleName(QStringLiteral("Contents"));
    m_list->setHeaderHidden(true);
    m_list->setRootIsDecorated(true);
    m_page = new QTextBrowser(this);
    m_page->setObjectName(QStringLiteral("helpPage"));
    m_page->setAccessibleName(QStringLiteral("Help text"));
    m_page->setOpenLinks(false); // every link goes through followLink
    m_page->setSearchPaths({m_book.folder()});

    fillContents();

    // The contents list as wide as its longest title needs, the page taking the rest.
    const int listWidth = std::max(240, contentsWidth());
    auto* splitter = new QSplitter(this);
    splitter->addWidget(m_list);
    splitter->addWidget(m_page);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({listWidth, 620});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);
    resize(std::max(860, listWidth + 620), 600);

    connect(m_list, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { showTopic(item->data(0, kFileRole).toString()); });
    connect(m_list, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { showTopic(item->data(0, kFileRole).toString()); });
    connect(m_page, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);

    // Closes like other help and document windows: Escape, Ctrl+W.
    for (const QKeySequence& key :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        connect(new QShortcut(key, this), &QShortcut::activated, this, &QWidget::close);
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

int HelpWindow::contentsWidth() const {
    // The widest title with its indent and the margins the list draws beside text, plus the
    // list's frame and room for a vertical scroll bar, which appears when the window is made
    // lower.
    m_list->ensurePolished();
    const QFontMetrics metrics(m_list->font());
    const int textMargins =
        2 * (m_list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_list) + 1);
    int widest = 0;
    for (QTreeWidgetItemIterator it(m_list); *it; ++it) {
        int depth = m_list->rootIsDecorated() ? 1 : 0;
        for (const QTreeWidgetItem* up = (*it)->parent(); up; up = up->parent()) ++depth;
        widest = std::max(widest, depth * m_list->indentation() +
                                      metrics.horizontalAdvance((*it)->text(0)) + textMargins);
    }
    return widest + 2 * m_list->frameWidth() +
           m_list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_list);
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
    notify::AddressOpener::open(link, this);
}

} // namespace vexa::shell
