#include "support/JpegTables.h"

#include <algorithm>

namespace vexa::test {

namespace {

constexpr int kLuminance[64] = {16,  11,  10,  16,  24, 40, 51,  61,  12,  12,  14,  19,  26,
                                58,  60,  55,  14,  13, 16, 24,  40,  57,  69,  56,  14,  17,
                                22,  29,  51,  87,  80, 62, 18,  22,  37,  56,  68,  109, 103,
                                77,  24,  35,  55,  64, 81, 104, 113, 92,  49,  64,  78,  87,
                                103, 121, 120, 101, 72, 92, 95,  98,  112, 100, 103, 99};

constexpr int kZigZag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                             12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                             35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                             58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

int byteAt(const QByteArray& data, qsizetype i) {
    return i < data.size() ? static_cast<unsigned char>(data[i]) : -1;
}

} // namespace

std::map<int, QuantTable> jpegQuantTables(const QByteArray& file) {
    std::map<int, QuantTable> tables;
    if (byteAt(file, 0) != 0xFF || byteAt(file, 1) != 0xD8) return tables;
    qsizetype pos = 2;
    while (byteAt(file, pos) == 0xFF) {
        const int marker = byteAt(file, pos + 1);
        const int length = byteAt(file, pos + 2) * 256 + byteAt(file, pos + 3);
        if (marker == 0xDA || length < 2) // start of scan: no tables after this
            break;
        if (marker == 0xDB) {
            qsizetype p = pos + 4;
            while (p < pos + 2 + length) {
                const int precisionAndId = byteAt(file, p++);
                const int size = (precisionAndId >> 4) ? 2 : 1;
                QuantTable table{};
                for (int& v : table) {
                    v = size == 2 ? byteAt(file, p) * 256 + byteAt(file, p + 1) : byteAt(file, p);
                    p += size;
                }
                tables[precisionAndId & 15] = table;
            }
        }
        pos += 2 + length;
    }
    return tables;
}

QuantTable libjpegLuminanceTable(int quality) {
    const int scale = quality < 50 ? 5000 / quality : 200 - quality * 2;
    QuantTable table{};
    for (int i = 0; i < 64; ++i)
        table[static_cast<size_t>(i)] =
            std::clamp((kLuminance[kZigZag[i]] * scale + 50) / 100, 1, 255);
    return table;
}

} // namespace vexa::test
