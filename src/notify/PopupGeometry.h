#pragma once

// Where a notification popup stands and how it slides, in twips (1440 per inch), apart from
// any window so that every tick can be checked. The window converts to pixels at the edge.

#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>

namespace vexa::notify {

struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// What a popup window knows of itself when it is displayed, in twips.
struct PopupFrame {
    double backgroundWidth = 0;
    double backgroundHeight = 0;
    double borderWidth = 0;  // outer width less inner width
    double borderHeight = 0; // outer height less inner height
    double loadedWidth = 0;  // the window's width before it is sized for display
};

// The primary screen as the popups see it.
struct ScreenTwips {
    double twipsPerPixelX = 15;
    double twipsPerPixelY = 15;
    // Where the screen's top-left corner lies on the desktop: a second monitor beside or above
    // the primary one starts away from 0, 0.
    int leftPixels = 0;
    int topPixels = 0;
    int widthPixels = 0;
    int heightPixels = 0; // the whole screen, panels included; 0 when unknown
    // The available height (without panels) less a window caption's height, in pixels.
    int fullScreenHeightPixels = 0;
};

inline constexpr double kPopupStartHeight = 90; // a popup appears as a thin strip
inline constexpr double kPopupSlideStep = 30;   // per tick, in and out
inline constexpr double kPopupBelowEdge = 300;  // how far below the usable height it starts
inline constexpr double kPopupCloseBelow = 121; // a sinking popup closes under this height

// The height of a fully open popup.
double fullPopupHeight(const PopupFrame& frame);

// Where a popup starts its slide-in when `openCount` popups (itself included) are open: a thin
// strip just below the usable screen height, one full popup height higher per popup before it.
// The usable height assumes a task bar at the bottom, which the popup may cover; where there
// is none the strip would start below the screen, so it is moved up (or, for a very tall
// stack, down, and sideways on a narrow screen) until the open popup lies wholly on the screen.
TwipsRect popupStartRect(const PopupFrame& frame, const ScreenTwips& screen, int openCount);

// One tick of the slide-in: grows the popup by up to one step, keeping its bottom edge.
// False, and no change, once it is fully open.
bool slideInStep(TwipsRect& rect, double fullHeight);

// One tick of the slide-out: shrinks the popup by one step, moving its top down. False, and no
// change, once it is low enough to close.
bool slideOutStep(TwipsRect& rect);

// The rectangle in screen pixels.
QRect toPixels(const TwipsRect& rect, const ScreenTwips& screen);

// Whether popups stand over the main window instead of at screen coordinates: on Wayland a
// window cannot choose its place on the screen (a popup placed there lands wherever the
// compositor puts it, possibly below the screen's edge), but a popup of another window is put
// where its owner says, relative to it.
bool popupsAnchoredToHost(const QString& platformName);

// The open popup of `size` over the main window's client area `host`: centred across it, its
// bottom edge on the host's, one popup height higher per popup before it (`openCount`
// includes itself). A stack taller than the host stops at the host's top, a popup wider than
// the host starts at its left edge, so that the first answer is always within reach.
QRect anchoredPopupRect(const QSize& size, const QRect& host, int openCount);

// The number of popups opened since the last one of a stack closed; each popup takes the new
// count as its index and stands one height above the one before it.
std::int16_t openPopupCount();
// Counts a popup that opens and returns its index.
std::int16_t countOpenedPopup();
// A popup with `index` closes: the count starts again from 0 when it held the highest index;
// popups closing below it leave the count alone, so later ones still stack above.
void releasePopupIndex(std::int16_t index);
void resetOpenPopupCountForTesting();

} // namespace vexa::notify
