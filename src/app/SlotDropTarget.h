#pragma once

#include "core/cover/CoverKind.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QMimeData;
class QWidget;

namespace vexa::app {

// Lets picture files dragged from a file manager be dropped onto a cover slot's picture.
// It watches the slot's window element and reports the dropped local files with the slot's
// cover; the main window loads them as it loads a browser click.
class SlotDropTarget : public QObject {
    Q_OBJECT
public:
    SlotDropTarget(QWidget* slot, cover::CoverKind kind);

    // The local files a drag carries, in its order; empty when it carries none.
    static QStringList localFiles(const QMimeData* data);

signals:
    void filesDropped(vexa::cover::CoverKind kind, const QStringList& paths);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    cover::CoverKind m_kind;
};

} // namespace vexa::app
