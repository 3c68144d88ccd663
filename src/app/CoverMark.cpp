#include "app/CoverMark.h"

#include "widgets/PictureHolder.h"

#include <QPainter>
#include <QPixmap>
#include <QTabBar>
#include <QTabWidget>

namespace vexa::app {

namespace {

constexpr int kDotSize = 8;

QIcon selectedDot(const QColor& colour) {
    QPixmap dot(kDotSize, kDotSize);
    dot.fill(Qt::transparent);
    QPainter painter(&dot);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(0.5, 0.5, kDotSize - 1, kDotSize - 1));
    return QIcon(dot);
}

} // namespace

void reserveRoomForCoverMark(QTabWidget& tabs) {
    if (tabs.count() == 0) return;
    tabs.tabBar()->setIconSize(QSize(kDotSize, kDotSize));
    const QIcon before = tabs.tabIcon(0);
    tabs.setTabIcon(0, selectedDot(Qt::black)); // every tab grows by the same: icon and gap
    tabs.setMinimumWidth(tabs.sizeHint().width());
    tabs.setTabIcon(0, before);
}

void markSelectedCover(QTabWidget& tabs, std::span<widgets::PictureHolder* const> covers,
                       int selectedTab) {
    tabs.tabBar()->setIconSize(QSize(kDotSize, kDotSize));
    const QIcon dot = selectedDot(tabs.palette().color(QPalette::Highlight));
    for (size_t i = 0; i < covers.size(); ++i) {
        const bool selected = static_cast<int>(i) == selectedTab;
        if (covers[i]) covers[i]->setMarked(selected);
        tabs.setTabIcon(static_cast<int>(i), selected ? dot : QIcon());
    }
}

} // namespace vexa::app
