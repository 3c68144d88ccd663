// Peak memory per megapixel of a picture's way through VEXA: loading it from a JPEG file,
// loading it and running an effect on it as the Cover Manipulator does, and loading it and
// writing it into a PDF as Save as PDF and the print job do, unchanged (its JPEG data goes in)
// and as if edited (its pixels go in); and loading the same picture from a PNG with
// transparency (8 and 16 bits a sample) and from a TIFF. Each step runs in a process of
// its own, so that its peak is not hidden by an earlier one; the figure is that process's
// peak resident size above what it held before the step, over the picture's megapixels.
//
//   vexa_bench_picture_memory [megapixels...]     (default: 24 100)

#include "app/SlotTable.h"
#include "core/cover/CoverSet.h"
#include "core/picture/PictureFile.h"
#include "core/picture/PictureOnWhite.h"
#include "core/printing/PdfExport.h"
#include "effects/QImageEffect.h"

#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

long peakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A photo-like picture of about `megapixels`, 3:2, its alpha falling from left to right.
QImage photo(double megapixels) {
    const int height = int(std::sqrt(megapixels * 1e6 / 1.5));
    const int width = height * 3 / 2;
    QImage picture(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgba(x * 255 / width, y * 255 / height,
                            int(127 + 120 * std::sin(x * 0.05 + y * 0.031)), 255 - x * 255 / width);
    }
    return picture;
}

// The photo of `megapixels` saved in `format` ("jpg" at quality 90 and "tif", opaque: over
// white; "png", "png16": 8 and 16 bits a sample, with its alpha). Written by a child process:
// converting a large picture starts Qt's thread pool, which a process forked after it could
// not use.
QString writePhoto(const QTemporaryDir& dir, double megapixels, const char* format) {
    const QString path = dir.filePath(QStringLiteral("photo.") + QLatin1String(format));
    const pid_t child = fork();
    if (child == 0) {
        const QByteArray name(format);
        const QImage picture = photo(megapixels);
        const bool saved = name == "jpg" ? vexa::picture::onWhite(picture).save(path, "JPG", 90)
                           : name == "png16"
                               ? picture.convertToFormat(QImage::Format_RGBA64).save(path, "PNG")
                           : name == "tif" ? vexa::picture::onWhite(picture).save(path, "TIFF")
                                           : picture.save(path, "PNG");
        _exit(saved ? 0 : 1);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::abort();
    return path;
}

class QuietProgress final : public vexa::printing::PrintProgress {
public:
    void coverStarted(const vexa::cover::CoverFormat&) override {}
    void coverFinished(const vexa::cover::CoverFormat&,
                       const vexa::printing::DocumentResult&) override {}
    bool continueAfterCover() override { return true; }
};

// Runs `step` in a child process; its peak above its start, in MiB per megapixel.
double peakPerMegapixel(const std::function<double()>& step) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) std::abort();
    const pid_t child = fork();
    if (child == 0) {
        const long before = peakKiB();
        const double megapixels = step();
        const double perMegapixel = double(peakKiB() - before) / 1024.0 / megapixels;
        if (write(pipeEnds[1], &perMegapixel, sizeof perMegapixel) != sizeof perMegapixel) _exit(1);
        _exit(0);
    }
    double result = -1;
    if (read(pipeEnds[0], &result, sizeof result) != sizeof result) result = -1;
    waitpid(child, nullptr, 0);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    return result;
}

double megapixelsOf(const QImage& picture) {
    if (picture.isNull()) std::abort();
    return double(picture.width()) * picture.height() / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::vector<double> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atof(argv[i]));
    if (sizes.empty()) sizes = {24, 100};
    QTemporaryDir dir;
    std::printf("%-12s %12s %12s %12s %12s   (MiB per megapixel, peak above start)\n", "megapixels",
                "load", "load+effect", "load+PDF", "edited+PDF");
    std::vector<std::array<double, 3>> others;
    for (const double size : sizes) {
        const QString photo = writePhoto(dir, size, "jpg");
        const QString pdf = dir.filePath(QStringLiteral("covers.pdf"));
        const double load =
            peakPerMegapixel([&] { return megapixelsOf(vexa::picture::loadPictureFile(photo)); });
        const double effect = peakPerMegapixel([&] {
            QImage picture = vexa::picture::loadPictureFile(photo);
            std::int32_t progress = 0;
            vexa::effects::EffectEngine engine;
            vexa::effects::applyEffect(engine, picture, 3, 0, progress); // Blur
            return megapixelsOf(picture);
        });
        // Unchanged, the photo's JPEG data goes into the page; edited, its pixels do.
        const auto printed = [&](bool edited) {
            return peakPerMegapixel([&] {
                vexa::cover::CoverRecords covers;
                covers[vexa::cover::CoverKind::Front] =
                    vexa::picture::readPictureFile(vexa::base::FilePath::fromText(photo));
                covers[vexa::cover::CoverKind::Front].changed = edited;
                const QImage picture = covers[vexa::cover::CoverKind::Front].pixels;
                QuietProgress progress;
                if (!vexa::printing::exportCoversToPdf(vexa::cover::CoverKind::Front, covers,
                                                       vexa::cover::PaperChoice::A4, pdf, progress))
                    std::abort();
                return megapixelsOf(picture);
            });
        };
        const double print = printed(false);
        const double printEdited = printed(true);
        std::printf("%-12.0f %12.1f %12.1f %12.1f %12.1f\n", size, load, effect, print,
                    printEdited);
        std::array<double, 3> loads{};
        const char* formats[] = {"png", "png16", "tif"};
        for (std::size_t i = 0; i < loads.size(); ++i) {
            const QString file = writePhoto(dir, size, formats[i]);
            loads[i] = peakPerMegapixel(
                [&] { return megapixelsOf(vexa::picture::loadPictureFile(file)); });
        }
        others.push_back(loads);
    }
    std::printf("\n%-12s %12s %12s %12s   (loading, MiB per megapixel)\n", "megapixels", "PNG RGBA",
                "PNG RGBA 16", "TIFF RGB");
    for (std::size_t i = 0; i < sizes.size(); ++i)
        std::printf("%-12.0f %12.1f %12.1f %12.1f\n", sizes[i], others[i][0], others[i][1],
                    others[i][2]);
    return 0;
}
