#pragma once

#include "core/cover/CoverFit.h"

#include <QObject>

#include <array>

class QAction;
class QActionGroup;
class QMenu;

namespace vexa::widgets {

// The three ways a picture takes its cover's shape as menu entries, one checked: "&Stretch",
// "F&ill" and "&Fit" (object names fitStretch, fitFill, fitFit). The cover slots' context
// menu and the Cover Manipulator offer them alike.
class FitActions : public QObject {
    Q_OBJECT
public:
    // The entries, added to `menu` and owned by it.
    explicit FitActions(QMenu& menu);

    // Checks the entry of `fit`, telling no one.
    void showFit(cover::CoverFit fit);
    QAction* action(cover::CoverFit fit) const;

signals:
    // An entry was chosen.
    void fitChosen(vexa::cover::CoverFit fit);

private:
    QActionGroup* m_group;
    std::array<QAction*, 3> m_actions{};
};

} // namespace vexa::widgets
