#include "app/SlotDropTarget.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace vexa::app {

SlotDropTarget::SlotDropTarget(QWidget* slot, cover::CoverKind kind) : QObject(slot), m_kind(kind) {
    slot->setAcceptDrops(true);
    slot->installEventFilter(this);
}

QStringList SlotDropTarget::localFiles(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) files.append(url.toLocalFile());
    return files;
}

bool SlotDropTarget::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        // Only files can go into a slot; text or addresses of web pages are refused.
        if (localFiles(drag->mimeData()).isEmpty()) {
            drag->ignore();
        } else {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList files = localFiles(drop->mimeData());
        if (files.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        emit filesDropped(m_kind, files);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace vexa::app
