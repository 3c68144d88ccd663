#include "UnreadablePictureNotice.h"

#include "MessageNoticeWindow.h"
#include "PrintableText.h"

#include <QFileInfo>
#include <QLabel>

namespace vexa {

QString unreadablePictureText(const QString& file, const QString& reason) {
    const QString what = file.isEmpty()
                             ? QStringLiteral("the picture on the clipboard")
                             : QStringLiteral("'%1'").arg(printable(QFileInfo(file).fileName()));
    if (reason.isEmpty())
        return QStringLiteral("VEXA cannot read %1: it is missing, damaged or not a picture.")
            .arg(what);
    return QStringLiteral("VEXA cannot read %1. %2").arg(what, reason);
}

UnreadablePictureNotice::UnreadablePictureNotice(CoverHost& host, QObject* parent)
    : QObject(parent), m_host(host) {}

void UnreadablePictureNotice::show(const QString& file, const QString& reason) {
    if (openNotice()) return;
    m_notice = MessageNoticeWindow::open(m_host, unreadablePictureText(file, reason),
                                         QStringLiteral("picture"));
    // A file name is shown as it is, never taken for markup.
    m_notice->messageLabel()->setTextFormat(Qt::PlainText);
}

MessageNoticeWindow* UnreadablePictureNotice::openNotice() const {
    return m_notice && m_notice->isVisible() ? m_notice.data() : nullptr;
}

} // namespace vexa
