#include "app/UnreadablePictureNotice.h"

#include "core/base/PrintableText.h"
#include "notify/MessageNoticeWindow.h"
#include "notify/NoticeLock.h"
#include "widgets/CoverHost.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>

namespace vexa::app {

QString unreadablePictureText(const QString& file, const QString& reason) {
    const QString what =
        file.isEmpty() ? QStringLiteral("the picture on the clipboard")
                       : QStringLiteral("'%1'").arg(base::printable(QFileInfo(file).fileName()));
    if (reason.isEmpty())
        return QStringLiteral("VEXA cannot read %1: it is missing, damaged or not a picture.")
            .arg(what);
    return QStringLiteral("VEXA cannot read %1. %2").arg(what, reason);
}

namespace {

bool fitsLabel(const QLabel& label, const QString& text) {
    const QRect room = label.contentsRect();
    const QRect needed =
        QFontMetrics(label.font()).boundingRect(room, Qt::TextWordWrap | Qt::AlignLeft, text);
    return needed.width() <= room.width() && needed.height() <= room.height();
}

// The longest sentence these notices say, with a short name: the size their words are set in
// is the one it fits at, so every such notice reads in the same size.
const QString& longestSentence() {
    static const QString sentence = unreadablePictureText(
        QStringLiteral("photo.jpg"), QStringLiteral("The picture is 65535 x 65535 pixels (4295 "
                                                    "megapixels); VEXA reads pictures of up to "
                                                    "250 megapixels."));
    return sentence;
}

void setNoticeTextSize(QLabel& label) {
    QFont font = label.font();
    for (double points = font.pointSizeF(); points >= 7.0; points -= 0.25) {
        font.setPointSizeF(points);
        label.setFont(font);
        if (fitsLabel(label, longestSentence())) return;
    }
}

// The notice is small and of a fixed size: a long reason or file name would run under its
// button and out of sight. The words are set in one size for every notice of this kind; where
// the whole sentence does not fit, the file's name is shortened in its middle. The whole
// sentence stays the tool tip and what a screen reader reads.
void fitIntoNotice(QLabel& label, const QString& file, const QString& reason) {
    setNoticeTextSize(label);
    const QString whole = unreadablePictureText(file, reason);
    label.setToolTip(whole);
    label.setAccessibleDescription(whole);
    QString shown = whole;
    const QFontMetrics metrics(label.font());
    const QString name = QFileInfo(file).fileName();
    for (int width = name.isEmpty() || fitsLabel(label, whole) ? 0 : label.contentsRect().width();
         width >= 16; width -= 8) {
        const QString part = metrics.elidedText(name, Qt::ElideMiddle, width);
        if (part.isEmpty()) break;
        shown = unreadablePictureText(part, reason);
        if (fitsLabel(label, shown)) break;
    }
    label.setText(shown);
}

} // namespace

UnreadablePictureNotice::UnreadablePictureNotice(widgets::CoverHost& host, QObject* parent)
    : QObject(parent), m_host(host) {}

void UnreadablePictureNotice::show(const QString& file, const QString& reason) {
    // One notice at a time, the others waiting their turn; the same file twice in a row (a
    // click, then a drop of it) is told once.
    const Waiting next{file, reason};
    if (openNotice()) {
        if (m_shownFile == file || (!m_waiting.isEmpty() && m_waiting.last().file == file)) return;
        // The main window stays locked from one notice to the next.
        if (m_waiting.isEmpty()) notify::lockForNotice(m_host.hostWindow());
        m_waiting.append(next);
        return;
    }
    open(next);
}

void UnreadablePictureNotice::open(const Waiting& notice) {
    m_shownFile = notice.file;
    m_notice = notify::MessageNoticeWindow::open(
        m_host, unreadablePictureText(notice.file, notice.reason), QStringLiteral("picture"));
    // A file name is shown as it is, never taken for markup.
    m_notice->messageLabel()->setTextFormat(Qt::PlainText);
    fitIntoNotice(*m_notice->messageLabel(), notice.file, notice.reason);
    connect(m_notice, &QObject::destroyed, this, [this] {
        m_shownFile.clear();
        if (m_waiting.isEmpty()) return;
        open(m_waiting.takeFirst());
        if (m_waiting.isEmpty()) notify::unlockAfterNotice(m_host.hostWindow());
    });
}

notify::MessageNoticeWindow* UnreadablePictureNotice::openNotice() const {
    return m_notice ? m_notice.data() : nullptr;
}

} // namespace vexa::app
