#pragma once

#include <QImage>

namespace vexa::shell {

// The splash picture, painted by the program itself: a disc half out of its case on a deep
// blue ground, the program's name and its release.
QImage splashPicture();

} // namespace vexa::shell
