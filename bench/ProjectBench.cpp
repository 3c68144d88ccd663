// Saving and opening a project of eleven covers made from 6 MB JPEG photos (6000 x 4000, a
// different photo each), the way Save and Open do it: the goal is under a second each. Save
// neither decodes nor compresses an unchanged picture. Open checks every picture whole (a JPEG
// through libjpeg's 1/8-scale decoding, which finds the same damage), on every core, and the
// set is there; the window then decodes the pixels on its worker. Also: that decoding, the
// whole open with every picture decoded at once, and for comparison Qt's bare decoding of the
// eleven files, one after the other and side by side. Median of five runs of each.
//
//   vexa_bench_project [runs]

#include "core/base/RegularFileRead.h"
#include "core/base/Sha256.h"
#include "core/picture/PictureFile.h"
#include "core/project/ProjectArchive.h"
#include "core/project/ProjectManifest.h"
#include "core/project/ProjectOpen.h"
#include "core/project/ProjectSave.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

using namespace vexa;

namespace {

// A photo-like picture: gradients, waves and grain, so that its JPEG is of a camera's size.
QString writePhoto(const QTemporaryDir& dir, int index) {
    QImage picture(6000, 4000, QImage::Format_RGB32);
    QRandomGenerator grain(quint32(index) + 1);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const int noise = int(grain.bounded(36));
            line[x] =
                qRgb(std::min(255, x * 220 / 6000 + noise), (y * 200 / 4000 + index * 20) & 255,
                     int(127 + 100 * std::sin(x * 0.011 * (index + 1) + y * 0.007)) + noise / 2);
        }
    }
    const QString path = dir.filePath(QStringLiteral("photo%1.jpg").arg(index));
    if (!picture.save(path, "JPG", 92)) std::abort();
    return path;
}

double medianMs(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir dir;
    std::vector<QString> photos;
    qint64 photoBytes = 0;
    project::Project project;
    for (int i = 0; i < int(cover::kCoverKindCount); ++i) {
        photos.push_back(writePhoto(dir, i));
        photoBytes += QFileInfo(photos.back()).size();
        project.covers[cover::coverKindAt(std::size_t(i))] =
            picture::readPictureFile(base::FilePath::fromText(photos.back()));
        if (project.covers[cover::coverKindAt(std::size_t(i))].isNull()) std::abort();
    }
    project.print.chosen = cover::kEveryCoverKind;
    std::printf("eleven photos of 6000 x 4000 pixels, %.1f MB on average\n",
                double(photoBytes) / 11 / 1e6);

    const base::FilePath file = base::FilePath::fromText(dir.filePath(QStringLiteral("set.vexa")));
    project::EncodedPictures encoded;
    const double save = medianMs(runs, [&] {
        const QString failure = project::saveProject(file, project, encoded);
        if (!failure.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(failure));
            std::abort();
        }
    });
    if (encoded.size() != 0) std::abort(); // nothing was compressed again
    std::printf("save:  %7.0f ms  (%.1f MB file, written and synced)\n", save,
                double(QFileInfo(file.text()).size()) / 1e6);

    const auto openWith = [&file](picture::Decoding decoding) {
        project::OpenedProject opened =
            project::openProject(file, cover::kEveryCoverKind, decoding);
        if (!opened.project) {
            std::fprintf(stderr, "%s\n", qPrintable(opened.failure));
            std::abort();
        }
        return *opened.project;
    };
    const double open = medianMs(runs, [&] { openWith(picture::Decoding::NotForPassThrough); });
    std::printf("open:  %7.0f ms  (read, SHA-256 and VEXA's checks of every picture, the set "
                "there; %d threads)\n",
                open, QThread::idealThreadCount());
    const project::Project checked = openWith(picture::Decoding::NotForPassThrough);
    const double pixels = medianMs(runs, [&] {
        std::atomic<int> decoded{0};
        project::decodeCheckedPictures(checked.covers,
                                       [&decoded](const QByteArray&, const QImage&) { ++decoded; });
        if (decoded != int(cover::kCoverKindCount)) std::abort();
    });
    std::printf("then   %7.0f ms  decoding their pixels on the window's worker\n", pixels);
    const double whole = medianMs(runs, [&] { openWith(picture::Decoding::Always); });
    std::printf("       %7.0f ms  to open with every picture decoded at once\n", whole);

    // The part of opening that is not decoding: the file read, its entries expanded and hashed.
    const double unpack = medianMs(runs, [&] {
        const std::optional<QByteArray> data =
            base::readRegularFile(file, project::maxProjectFileBytes());
        QString problem;
        const auto archive =
            project::ArchiveReader::open(*data, project::maxProjectFileBytes(), problem);
        for (int i = 0; i < int(cover::kCoverKindCount); ++i) {
            const QByteArray name =
                project::coverEntryName(cover::coverKindAt(std::size_t(i)), "jpeg");
            const std::optional<QByteArray> entry =
                archive->read(name, picture::kMaxPictureFileBytes, problem);
            if (!entry || base::sha256(*entry).isEmpty()) std::abort();
        }
    });
    std::printf("       %7.0f ms  of it reading the file, expanding and hashing its entries\n",
                unpack);

    const auto decode = [&photos](std::size_t i) {
        if (QImageReader(photos[i]).read().isNull()) std::abort();
    };
    const double sequential = medianMs(runs, [&] {
        for (std::size_t i = 0; i < photos.size(); ++i) decode(i);
    });
    const double parallel = medianMs(runs, [&] {
        std::vector<std::thread> threads;
        std::atomic<std::size_t> next{0};
        for (int t = 0; t < QThread::idealThreadCount(); ++t)
            threads.emplace_back([&] {
                for (std::size_t i = next++; i < photos.size(); i = next++) decode(i);
            });
        for (std::thread& thread : threads) thread.join();
    });
    std::printf("Qt's bare decoding of the eleven files: %.0f ms one after the other, %.0f ms "
                "side by side\n",
                sequential, parallel);
    return 0;
}
