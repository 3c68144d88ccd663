#pragma once

#include <QByteArray>

#include <cstdint>

namespace vexa::picture {

// Reading the numbers of picture file headers. The caller checks that the bytes are there.

inline std::uint8_t byteAt(const QByteArray& d, qsizetype i) {
    return static_cast<std::uint8_t>(d[i]);
}

inline std::uint32_t le16(const QByteArray& d, qsizetype i) {
    return byteAt(d, i) | (std::uint32_t(byteAt(d, i + 1)) << 8);
}

inline std::uint32_t le32(const QByteArray& d, qsizetype i) {
    return le16(d, i) | (le16(d, i + 2) << 16);
}

inline std::uint32_t be16(const QByteArray& d, qsizetype i) {
    return (std::uint32_t(byteAt(d, i)) << 8) | byteAt(d, i + 1);
}

inline std::uint32_t be32(const QByteArray& d, qsizetype i) {
    return (be16(d, i) << 16) | be16(d, i + 2);
}

} // namespace vexa::picture
