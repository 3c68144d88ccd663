#include "app/UnreadablePictureNotice.h"

#include "core/base/PrintableText.h"
#include "notify/MessageNoticeWindow.h"

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

// The smallest size the notice's words shrink to before the file's name is shortened.
constexpr double kSmallestPoints = 7.0;

bool fitsLabel(const QLabel& label, const QFont& font, const QString& text) {
    const QRect room = label.contentsRect();
    const QRect needed =
        QFontMetrics(font).boundingRect(room, Qt::TextWordWrap | Qt::AlignLeft, text);
    return needed.width() <= room.width() && needed.height() <= room.height();
}

// The notice is small and of a fixed size: a long reason or file name would run under its
// button and out of sight. The words shrink to fit; where even the smallest size cannot hold
// them, the file's name is shortened in its middle. The whole sentence stays the tool tip.
void fitIntoNotice(QLabel& label, const QString& file, const QString& reason) {
    const QString whole = unreadablePictureText(file, reason);
    label.setToolTip(whole);
    QFont font = label.font();
    for (double points = font.pointSizeF(); points >= kSmallestPoints; points -= 0.25) {
        font.setPointSizeF(points);
        if (fitsLabel(label, font, whole)) {
            label.setFont(font);
            label.setText(whole);
            return;
        }
    }
    font.setPointSizeF(kSmallestPoints);
    label.setFont(font);
    const QFontMetrics metrics(font);
    const QString name = QFileInfo(file).fileName();
    QString shown = whole;
    for (int width = name.isEmpty() ? 0 : label.contentsRect().width(); width >= 16; width -= 8) {
        const QString part = metrics.elidedText(name, Qt::ElideMiddle, width);
        if (part.isEmpty()) break;
        shown = unreadablePictureText(part, reason);
        if (fitsLabel(label, font, shown)) break;
    }
    label.setText(shown);
}

} // namespace

UnreadablePictureNotice::UnreadablePictureNotice(widgets::CoverHost& host, QObject* parent)
    : QObject(parent), m_host(host) {}

void UnreadablePictureNotice::show(const QString& file, const QString& reason) {
    if (openNotice()) return;
    m_notice = notify::MessageNoticeWindow::open(m_host, unreadablePictureText(file, reason),
                                                 QStringLiteral("picture"));
    // A file name is shown as it is, never taken for markup.
    m_notice->messageLabel()->setTextFormat(Qt::PlainText);
    fitIntoNotice(*m_notice->messageLabel(), file, reason);
}

notify::MessageNoticeWindow* UnreadablePictureNotice::openNotice() const {
    return m_notice && m_notice->isVisible() ? m_notice.data() : nullptr;
}

} // namespace vexa::app
