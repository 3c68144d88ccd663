#include "notify/OpenAddress.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vexa::notify {

AddressOpener* AddressOpener::open(const QUrl& address, QWidget* owner) {
    auto* opener = new AddressOpener(address, owner);
    opener->m_process->start(QString::fromLatin1(kProgram),
                             {QString::fromUtf8(address.toEncoded())});
    return opener;
}

AddressOpener::AddressOpener(const QUrl& address, QWidget* owner)
    : QObject(QCoreApplication::instance()), m_address(address), m_owner(owner),
      m_process(new QProcess(this)) {
    setObjectName(QLatin1String(kObjectName));
    // xdg-open's own complaints mean nothing to the user; the message below says it plainly.
    m_process->setStandardOutputFile(QProcess::nullDevice());
    m_process->setStandardErrorFile(QProcess::nullDevice());
    connect(m_process, &QProcess::finished, this,
            [this](int exitCode, QProcess::ExitStatus status) {
                // 0: a program took it; 1 to 4: bad address, no program, or it failed.
                done(status == QProcess::NormalExit && exitCode == 0);
            });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) done(false); // no xdg-open on this desktop
    });
}

AddressOpener::~AddressOpener() {
    // Only at the program's end can an opener go with xdg-open still running. Deleting the
    // process would end it, and the browser it runs in the foreground with it: let it be.
    if (m_process->state() != QProcess::NotRunning) m_process->setParent(nullptr);
}

void AddressOpener::done(bool opened) {
    if (m_done) return;
    m_done = true;
    if (!opened) {
        auto* message = new AddressMessage(m_address, m_owner);
        message->show();
    }
    emit finished(opened);
    deleteLater();
}

AddressMessage::AddressMessage(const QUrl& address, QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("addressWindow"));
    setWindowTitle(QStringLiteral("VEXA 6"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto* text = new QLabel(QStringLiteral("No program on this computer could open this "
                                           "address. You can copy it from here:"),
                            this);
    text->setWordWrap(true);
    m_line = new QLineEdit(address.toString(), this);
    m_line->setObjectName(QStringLiteral("address"));
    m_line->setAccessibleName(QStringLiteral("Address"));
    m_line->setReadOnly(true);
    m_line->setMinimumWidth(
        std::min(m_line->fontMetrics().horizontalAdvance(m_line->text()) + 16, 640));
    m_line->selectAll();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* copy = buttons->addButton(QStringLiteral("&Copy"), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("copyButton"));
    connect(copy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(m_line->text()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(m_line);
    layout->addWidget(buttons);
}

} // namespace vexa::notify
