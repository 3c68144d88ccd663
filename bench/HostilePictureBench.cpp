// Time and peak memory of reading hostile picture files, each in a process of its own: a valid
// progressive JPEG of 499 scans, a 29-byte GIF whose frames decide its size, a ZIP TIFF whose
// header declares far more than its data holds, and, for comparison, a 24-megapixel photo.
//
//   vexa_bench_hostile_pictures [scan JPEG side]     (default: 12000, a 144-megapixel JPEG)

#include "core/picture/PictureFile.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QByteArray>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QtEndian>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <jpeglib.h>

namespace {

long peakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A gradient of `side` x `side` pixels, 4:2:0, in 499 progressive scans: the DC of all
// components in 11 scans (first at bit 10, libjpeg's deepest, then one bit each), the chroma AC
// in one scan each, the luma AC one coefficient at a time for coefficients 1 to 44 (11 scans
// each) and in two bands after that. Every scan codes something new, as a valid file must.
QByteArray manyScanJpeg(int side) {
    std::vector<jpeg_scan_info> scans;
    const auto add = [&](std::vector<int> components, int ss, int se, int ah, int al) {
        jpeg_scan_info scan{};
        scan.comps_in_scan = int(components.size());
        for (std::size_t i = 0; i < components.size(); ++i) scan.component_index[i] = components[i];
        scan.Ss = ss;
        scan.Se = se;
        scan.Ah = ah;
        scan.Al = al;
        scans.push_back(scan);
    };
    add({0, 1, 2}, 0, 0, 0, 10);
    for (int al = 9; al >= 0; --al) add({0, 1, 2}, 0, 0, al + 1, al);
    add({1}, 1, 63, 0, 0);
    add({2}, 1, 63, 0, 0);
    for (int k = 1; k <= 44; ++k) {
        add({0}, k, k, 0, 10);
        for (int al = 9; al >= 0; --al) add({0}, k, k, al + 1, al);
    }
    add({0}, 45, 54, 0, 0);
    add({0}, 55, 63, 0, 0);

    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = JDIMENSION(side);
    info.image_height = JDIMENSION(side);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    info.scan_info = scans.data();
    info.num_scans = int(scans.size());
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(std::size_t(side) * 3);
    while (info.next_scanline < info.image_height) {
        const int y = int(info.next_scanline);
        for (int x = 0; x < side; ++x) {
            row[std::size_t(x) * 3] = JSAMPLE(x * 255 / side);
            row[std::size_t(x) * 3 + 1] = JSAMPLE(y * 255 / side);
            row[std::size_t(x) * 3 + 2] = 90;
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(out), qsizetype(size));
    std::free(out);
    return bytes;
}

// A logical screen of 65535 x 0 and one frame of 1 x 3800 pixels: 29 bytes.
QByteArray frameSizedGif() {
    return QByteArray::fromHex("474946383961ffff0000000000"
                               "2c00000000"
                               "0100d80e00"
                               "02"
                               "028401"
                               "00"
                               "3b");
}

// An RGB TIFF of 12900 x 12900 pixels in one deflate strip of 13 KB of zeros: its data holds
// about 13 MB, its header declares 499 MB.
QByteArray zipTiffBomb() {
    const QByteArray strip = qCompress(QByteArray(13'000'000, '\0'), 9).mid(4);
    const QByteArray bits("\x08\0\x08\0\x08\0", 6);
    return vexa::test::littleEndianTiff(bits + strip, {{256, 4, 1, 12900},
                                                       {257, 4, 1, 12900},
                                                       {258, 3, 3, 8},
                                                       {259, 3, 1, 8},
                                                       {262, 3, 1, 2},
                                                       {273, 4, 1, 14},
                                                       {277, 3, 1, 3},
                                                       {278, 4, 1, 12900},
                                                       {279, 4, 1, quint32(strip.size())},
                                                       {284, 3, 1, 1}});
}

QByteArray photoJpeg() {
    QImage picture(6000, 4000, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            line[x] = qRgb(x * 255 / 6000, y * 255 / 4000,
                           int(127 + 120 * std::sin(x * 0.05 + y * 0.031)));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "JPG", 90)) std::abort();
    return bytes;
}

struct Outcome {
    double seconds = 0;
    double peakMiB = 0;
    int width = 0;
    int height = 0;
};

// Reads `bytes` in a child process: its time, its peak above its start, what it read.
Outcome readInChild(const QByteArray& bytes) {
    int ends[2];
    if (pipe(ends) != 0) std::abort();
    const pid_t child = fork();
    if (child == 0) {
        const long before = peakKiB();
        QElapsedTimer timer;
        timer.start();
        const QImage picture = vexa::picture::readPictureData(bytes).pixels;
        Outcome outcome{timer.nsecsElapsed() / 1e9, double(peakKiB() - before) / 1024.0,
                        picture.width(), picture.height()};
        if (write(ends[1], &outcome, sizeof outcome) != sizeof outcome) _exit(1);
        _exit(0);
    }
    Outcome outcome;
    if (read(ends[0], &outcome, sizeof outcome) != sizeof outcome) outcome.seconds = -1;
    waitpid(child, nullptr, 0);
    close(ends[0]);
    close(ends[1]);
    return outcome;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int side = argc > 1 ? std::atoi(argv[1]) : 12000;
    const std::vector<std::pair<QString, std::function<QByteArray()>>> files = {
        {QStringLiteral("JPEG photo, 6000 x 4000"), photoJpeg},
        {QStringLiteral("JPEG, %1 x %1, 499 scans").arg(side),
         [side] { return manyScanJpeg(side); }},
        {QStringLiteral("GIF, screen 65535 x 0, frame 1 x 3800"), frameSizedGif},
        {QStringLiteral("TIFF, ZIP, 12900 x 12900 declared"), zipTiffBomb},
    };
    std::printf("%-40s %12s %9s %10s  %s\n", "file", "bytes", "seconds", "peak MiB", "read as");
    for (const auto& [name, make] : files) {
        const QByteArray bytes = make();
        const Outcome o = readInChild(bytes);
        const QString result = o.width > 0 ? QStringLiteral("%1 x %2").arg(o.width).arg(o.height)
                                           : QStringLiteral("refused");
        std::printf("%-40s %12lld %9.2f %10.1f  %s\n", qPrintable(name),
                    static_cast<long long>(bytes.size()), o.seconds, o.peakMiB, qPrintable(result));
    }
    return 0;
}
