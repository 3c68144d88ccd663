#include "scan/TitleWidth.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace vexa::scan {

namespace {
constexpr int kTitleBarItems = 4; // icon, minimise, maximise, close
constexpr int kButtonPadding = 6; // around each button's glyph
constexpr int kBarMargins = 16;   // both ends of the bar together
} // namespace

int titleBarWidth(const QString& title) {
    const QFontMetrics metrics(QFontDatabase::systemFont(QFontDatabase::TitleFont));
    return metrics.horizontalAdvance(title) + kTitleBarItems * (metrics.height() + kButtonPadding) +
           kBarMargins;
}

void fitTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    // A row of its own under everything else: it holds the box open, and adds no height.
    grid->addItem(new QSpacerItem(titleBarWidth(box.windowTitle()), 0, QSizePolicy::Fixed,
                                  QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace vexa::scan
