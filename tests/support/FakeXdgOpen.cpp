#include "support/FakeXdgOpen.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

namespace vexa::test {

FakeXdgOpen::FakeXdgOpen(int exitStatus, int delaySeconds) : m_oldPath(qgetenv("PATH")) {
    QFile script(m_dir.filePath("xdg-open"));
    if (script.open(QIODevice::WriteOnly)) {
        script.write("#!/bin/sh\nsleep " + QByteArray::number(delaySeconds) +
                     "\nprintf '%s\\n' \"$1\" >> '" + m_dir.filePath("addresses").toLocal8Bit() +
                     "'\nexit " + QByteArray::number(exitStatus) + "\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    qputenv("PATH", m_dir.path().toLocal8Bit() + ':' + m_oldPath);
}

FakeXdgOpen::~FakeXdgOpen() {
    qputenv("PATH", m_oldPath);
}

QStringList FakeXdgOpen::addresses() const {
    QFile file(m_dir.filePath("addresses"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

QStringList FakeXdgOpen::waitForAddresses(int count) const {
    // Also until the program has seen every hand-over end (its openers are gone).
    waitUntil([&] {
        return addresses().size() >= count &&
               QCoreApplication::instance()
                   ->findChildren<QObject*>(QStringLiteral("AddressOpener"),
                                            Qt::FindDirectChildrenOnly)
                   .isEmpty();
    });
    return addresses();
}

bool waitUntil(const std::function<bool()>& done) {
    QDeadlineTimer deadline(20000);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(5);
    }
    return true;
}

} // namespace vexa::test
