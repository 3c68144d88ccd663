#include "notify/ScreenMetrics.h"

#include "core/base/NumberText.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace vexa::notify {

namespace {

double twipsPerPixel(double dotsPerInch) {
    return dotsPerInch > 0 ? 1440.0 / dotsPerInch : 15.0;
}

} // namespace

ScreenTwips primaryScreenTwips() {
    return screenTwipsOf(nullptr);
}

ScreenTwips screenTwipsOf(const QWidget* window) {
    ScreenTwips result;
    const QScreen* screen = window ? window->screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) {
        result.widthPixels = 1024;
        result.heightPixels = 768;
        result.fullScreenHeightPixels = 768;
        return result;
    }
    result.twipsPerPixelX = twipsPerPixel(screen->logicalDotsPerInchX());
    result.twipsPerPixelY = twipsPerPixel(screen->logicalDotsPerInchY());
    result.leftPixels = screen->geometry().left();
    result.topPixels = screen->geometry().top();
    result.widthPixels = screen->geometry().width();
    result.heightPixels = screen->geometry().height();
    const int caption = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    result.fullScreenHeightPixels = screen->availableGeometry().height() - caption;
    return result;
}

int twipsToPixelsX(double twips) {
    return static_cast<int>(base::roundHalfEven(twips / primaryScreenTwips().twipsPerPixelX));
}

int twipsToPixelsY(double twips) {
    return static_cast<int>(base::roundHalfEven(twips / primaryScreenTwips().twipsPerPixelY));
}

} // namespace vexa::notify
