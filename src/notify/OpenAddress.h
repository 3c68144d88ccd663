#pragma once

#include <QDialog>
#include <QPointer>
#include <QUrl>

class QLineEdit;
class QProcess;

namespace vexa::notify {

// Hands an address (a web page, a new mail, a download) to the desktop's program for it
// through xdg-open, and learns how that went from xdg-open's exit status without waiting for
// it. When nothing could open the address (no xdg-open, or no program for it), the address
// appears in an AddressMessage over `owner`, to be copied from there.
class AddressOpener : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kProgram = "xdg-open";
    static constexpr const char* kObjectName =
        "AddressOpener"; // each is a child of the application

    // Starts the hand-over. The opener deletes itself once the outcome is known. While
    // xdg-open still runs (it may run for as long as the browser it started), it is left
    // running when VEXA ends: ending it could take the browser with it.
    static AddressOpener* open(const QUrl& address, QWidget* owner);
    ~AddressOpener() override;

signals:
    // True when a program took the address; false when the message was shown instead.
    void finished(bool opened);

private:
    AddressOpener(const QUrl& address, QWidget* owner);
    void done(bool opened);

    QUrl m_address;
    QPointer<QWidget> m_owner;
    QProcess* m_process = nullptr;
    bool m_done = false;
};

// "No program could open this address": the address in a read-only line, selected, with a
// button that copies it. Not modal; it deletes itself when closed.
class AddressMessage : public QDialog {
    Q_OBJECT
public:
    AddressMessage(const QUrl& address, QWidget* owner);

    QLineEdit* addressLine() const { return m_line; }

private:
    QLineEdit* m_line = nullptr;
};

} // namespace vexa::notify
