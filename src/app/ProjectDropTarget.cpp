#include "app/ProjectDropTarget.h"

#include "app/OpenedFiles.h"
#include "app/SlotDropTarget.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QWidget>

namespace vexa::app {

ProjectDropTarget::ProjectDropTarget(QWidget* window) : QObject(window) {
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

bool ProjectDropTarget::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (firstProjectFile(SlotDropTarget::localFiles(drag->mimeData())).isEmpty()) {
            drag->ignore();
        } else {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString project = firstProjectFile(SlotDropTarget::localFiles(drop->mimeData()));
        if (project.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        emit projectDropped(project);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace vexa::app
