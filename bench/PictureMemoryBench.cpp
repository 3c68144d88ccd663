// Peak memory per megapixel of a picture's way through VEXA: loading it from a JPEG file,
// loading it and running an effect on it as the Cover Manipulator does, and loading it and
// writing it into a PDF as Save as PDF and the print job do, unchanged (its JPEG data goes in)
// and as if edited (its pixels go in). Each step runs in a process of
// its own, so that its peak is not hidden by an earlier one; the figure is that process's
// peak resident size above what it held before the step, over the picture's megapixels.
//
//   vexa_bench_picture_memory [megapixels...]     (default: 24 100)

#include "app/SlotTable.h"
#include "core/cover/CoverSet.h"
#include "core/picture/PictureFile.h"
#include "core/printing/PdfExport.h"
#include "effects/QImageEffect.h"

#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

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

// A photo-like picture of about `megapixels`, 3:2, saved as a JPEG at quality 90.
QString writePhoto(const QTemporaryDir& dir, double megapixels) {
    const int height = int(std::sqrt(megapixels * 1e6 / 1.5));
    const int width = height * 3 / 2;
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb(x * 255 / width, y * 255 / height,
                           int(127 + 120 * std::sin(x * 0.05 + y * 0.031)));
    }
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    if (!picture.save(path, "JPG", 90)) std::abort();
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
    for (const double size : sizes) {
        const QString photo = writePhoto(dir, size);
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
    }
    return 0;
}
