#pragma once

#include <QPageLayout>
#include <QPageSize>

#include <optional>

namespace vexa::print {

// The printer's orientation and paper codes as Qt names them; nothing for unknown codes.
std::optional<QPageLayout::Orientation> orientationForCode(int code);
std::optional<QPageSize::PageSizeId> paperForCode(int code);

// A picture as it is put on paper: opaque, so that drawing it is a plain copy.
QImage opaquePicture(const QImage& picture);

} // namespace vexa::print
