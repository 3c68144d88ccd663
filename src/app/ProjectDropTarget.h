#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace vexa::app {

// Lets a project file dragged from a file manager be dropped anywhere on the main window; the
// cover slots take their own drops (a project dropped there opens too). Drags that carry no
// project file are refused here.
class ProjectDropTarget : public QObject {
    Q_OBJECT
public:
    explicit ProjectDropTarget(QWidget* window);

signals:
    void projectDropped(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace vexa::app
