#include "print/PrinterChooser.h"

#include "core/cups/DefaultPrinter.h"
#include "core/cups/SystemPrinters.h"
#include "widgets/AccessibleRole.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace vexa::print {

// A dialog to the window system, so that it stays with the main window (transient for it).
PrinterChooser::PrinterChooser(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName(QStringLiteral("printerChooser"));
    setWindowTitle(QStringLiteral("Set Temporary Printer"));

    widgets::setAccessibleRole(this, QAccessible::Dialog); // a window, not a filler
    auto* label = new QLabel(QStringLiteral("Select a &printer:"), this);
    label->setObjectName(QStringLiteral("printerPrompt"));

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("printerList"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    label->setBuddy(m_list);
    m_list->setAccessibleName(QStringLiteral("Select a printer:")); // read out with the list
    const cups::PrinterListing printers = cups::listPrinters();
    m_listingStatus = printers.status;
    for (const QString& name : printers.names) {
        auto* item = new QListWidgetItem(name, m_list);
        if (name != printers.defaultName) continue;
        // The default printer stands out, to the eye and to a screen reader.
        QFont font = item->font();
        font.setBold(true);
        item->setFont(font);
        item->setToolTip(QStringLiteral("The default printer"));
        item->setData(Qt::AccessibleTextRole, name + QStringLiteral(", the default printer"));
    }
    connect(m_list, &QListWidget::itemDoubleClicked, this, &PrinterChooser::select);

    auto* selectButton = new QPushButton(QStringLiteral("&Select"), this);
    selectButton->setObjectName(QStringLiteral("selectButton"));
    connect(selectButton, &QPushButton::clicked, this, &PrinterChooser::select);

    auto* cancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    connect(cancelButton, &QPushButton::clicked, this, &QWidget::close);

    // A dialog's keys: Enter selects, Escape cancels.
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)})
        connect(new QShortcut(key, this), &QShortcut::activated, this, &PrinterChooser::select);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(selectButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    resize(320, 260);
}

PrinterChooser::~PrinterChooser() = default;

void PrinterChooser::select() {
    const QList<QListWidgetItem*> chosen = m_list->selectedItems();
    if (m_list->count() == 0) {
        showMessage(QMessageBox::Warning, cups::noPrinterText(m_listingStatus));
        return;
    }
    if (chosen.size() != 1) {
        showMessage(QMessageBox::Warning, QStringLiteral("Please select a printer from the list."));
        return;
    }
    const QString name = chosen.front()->text();
    if (!m_setter) m_setter = std::make_unique<cups::DefaultPrinter>();
    if (m_setter->makeDefault(name)) {
        showMessage(QMessageBox::Information,
                    name + QStringLiteral(" has successfully been set as the temporary printer."));
        close();
    } else {
        showMessage(QMessageBox::Warning,
                    name + QStringLiteral(" has failed to be set as the temporary printer."));
    }
}

void PrinterChooser::showMessage(QMessageBox::Icon icon, const QString& text) {
    if (m_message) {
        m_message(icon, text);
        return;
    }
    QMessageBox box(icon, QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok, this);
    box.exec();
}

} // namespace vexa::print
