#include "shell/OpenMail.h"

#include "notify/OpenAddress.h"

#include <QUrl>

namespace vexa::shell {

QString mailtoAddress(const QString& address, const QString& subject, const QString& body) {
    QString mailto = address;
    if (address.left(7).toLower() != QLatin1String("mailto:"))
        mailto.prepend(QLatin1String("mailto:"));
    if (!subject.isEmpty()) mailto += QLatin1String("?subject=") + subject;
    if (!body.isEmpty())
        mailto += (subject.isEmpty() ? QLatin1String("?") : QLatin1String("&")) +
                  QLatin1String("body=") + body;
    return mailto;
}

void openMail(const QString& address, const QString& subject, const QString& body, QWidget* owner) {
    // Tolerant parsing escapes what a mail program cannot take as it is (blanks, for one).
    notify::AddressOpener::open(QUrl(mailtoAddress(address, subject, body), QUrl::TolerantMode),
                                owner);
}

} // namespace vexa::shell
