#include "scan/SourceDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vexa::scan {

SourceDialog::SourceDialog(SaneBackend& backend, const QString& current, QWidget* owner)
    : QDialog(owner), m_current(current) {
    setWindowTitle(QStringLiteral("Select Source"));
    m_status = new QLabel(QStringLiteral("Looking for scanners..."), this);
    m_status->setObjectName(QStringLiteral("status"));
    m_busy = new QProgressBar(this);
    m_busy->setObjectName(QStringLiteral("busy"));
    m_busy->setRange(0, 0);
    m_busy->setTextVisible(false);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("sources"));
    m_list->setHeaderLabels(
        {QStringLiteral("Vendor"), QStringLiteral("Model"), QStringLiteral("Name")});
    m_list->setRootIsDecorated(false);
    m_list->setAccessibleName(QStringLiteral("Scanners"));
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->setMinimumSize(460, 160);
    m_buttons = new QDialogButtonBox(this);
    QPushButton* select =
        m_buttons->addButton(QStringLiteral("&Select"), QDialogButtonBox::AcceptRole);
    select->setObjectName(QStringLiteral("select"));
    select->setEnabled(false);
    m_buttons->addButton(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_busy);
    layout->addWidget(m_list);
    layout->addWidget(m_buttons);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::currentItemChanged, this,
            [select](QTreeWidgetItem* item) { select->setEnabled(item != nullptr); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);

    m_search.startWithResult(
        [&backend](base::JobControl&) {
            Search search;
            search.found = backend.devices(&search.error);
            return search;
        },
        [this](const Search& search) { showDevices(search); });
}

// Never waits on the window's thread: a search still in SANE goes on alone and its result is
// dropped.
SourceDialog::~SourceDialog() {
    m_search.abandon();
}

bool SourceDialog::isSearching() const {
    return m_search.isRunning();
}

QString SourceDialog::chosenDevice() const {
    const QTreeWidgetItem* item = m_list->currentItem();
    return item ? item->text(2) : QString();
}

void SourceDialog::showDevices(const Search& search) {
    m_busy->hide();
    QTreeWidgetItem* current = nullptr;
    for (const ScannerInfo& device : search.found) {
        auto* item = new QTreeWidgetItem(m_list, {device.vendor, device.model, device.name});
        if (device.name == m_current || !current) current = item;
    }
    m_list->setCurrentItem(current);
    if (search.found.isEmpty())
        m_status->setText(search.error.isEmpty()
                              ? QStringLiteral("No scanner was found.")
                              : QStringLiteral("No scanner was found: ") + search.error);
    else
        m_status->setText(QStringLiteral("Choose the scanner to use:"));
}

} // namespace vexa::scan
