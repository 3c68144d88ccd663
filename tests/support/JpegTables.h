#pragma once

#include <QByteArray>

#include <array>
#include <map>

namespace vexa::test {

using QuantTable = std::array<int, 64>;

// The quantisation tables stored in a JPEG file, by table number, in file (zig-zag) order.
std::map<int, QuantTable> jpegQuantTables(const QByteArray& file);

// The luminance table libjpeg writes for a quality 1 ... 100, in file order.
QuantTable libjpegLuminanceTable(int quality);

} // namespace vexa::test
