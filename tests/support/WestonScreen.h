#pragma once

// The screen of the headless weston a test runs on, as a picture, for tests that must see
// where windows landed: a Wayland client cannot ask where its windows are.

#include <QImage>
#include <QPoint>
#include <QRect>

#include <functional>
#include <optional>

namespace vexa::test {

// The whole screen, taken by weston-screenshooter (weston must run with --debug); a null
// image, with the reason on stderr, when that fails.
QImage westonScreenshot();

// Where `picture` appears pixel for pixel in `screen`: the top-left corner of its first
// whole appearance, row by row; none when it is cut off or not there.
std::optional<QPoint> findPicture(const QImage& screen, const QImage& picture);

// The smallest rectangle holding every pixel of `colour`; empty when there is none.
QRect boundsOfColour(const QImage& screen, QRgb colour);

// Takes screenshots until `found` holds for one (a window is drawn some time after it is
// shown) or `timeoutMs` passed; returns the last screenshot.
QImage screenshotWhen(const std::function<bool(const QImage&)>& found, int timeoutMs = 10000);

} // namespace vexa::test
