#pragma once

#include "core/cups/SystemPrinters.h"

#include <QMessageBox>
#include <QWidget>

#include <functional>
#include <memory>

class QListWidget;
class QPushButton;

namespace vexa::cups {
class DefaultPrinter;
}

namespace vexa::print {

// "Set Temporary Printer": lists the installed printers, the default one in bold, and makes
// the chosen one the default printer for as long as the program runs. Not modal; Enter
// selects, Escape closes.
class PrinterChooser : public QWidget {
    Q_OBJECT
public:
    // How the window tells the user something; a message box unless a test listens instead.
    using MessageSink = std::function<void(QMessageBox::Icon icon, const QString& text)>;

    explicit PrinterChooser(QWidget* parent = nullptr);
    ~PrinterChooser() override;

    void setMessageSink(MessageSink sink) { m_message = std::move(sink); }

private:
    void select();
    void showMessage(QMessageBox::Icon icon, const QString& text);

    QListWidget* m_list = nullptr;
    cups::PrinterListing::Status m_listingStatus = cups::PrinterListing::Status::Ok;
    std::unique_ptr<cups::DefaultPrinter> m_setter; // made at the first Select, kept afterwards
    MessageSink m_message;
};

} // namespace vexa::print
