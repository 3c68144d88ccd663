#include "PrinterChooser.h"

#include "DefaultPrinter.h"
#include "SystemPrinters.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vexa::print {

// A dialog to the window system, so that it stays with the main window (transient for it).
PrinterChooser::PrinterChooser(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Set Temporary Printer"));

    auto* label = new QLabel(QStringLiteral("Select a printer:"), this);
    label->setObjectName(QStringLiteral("Label1"));

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->addItems(installedPrinters());

    auto* selectButton = new QPushButton(QStringLiteral("Select"), this);
    selectButton->setObjectName(QStringLiteral("Command1"));
    connect(selectButton, &QPushButton::clicked, this, &PrinterChooser::select);

    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("Command2"));
    connect(cancelButton, &QPushButton::clicked, this, &QWidget::close);

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
    if (chosen.size() != 1) {
        showMessage(QMessageBox::Warning, QStringLiteral("Please select a printer from the list."));
        return;
    }
    const QString name = chosen.front()->text();
    if (!m_setter) m_setter = std::make_unique<DefaultPrinter>();
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
