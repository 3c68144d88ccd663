// A 6000 x 4000 photo (a JPEG of quality 92) printed as the DVD cover on a printer of a private
// cupsd (the test suite's server, whose printers keep every job's PDF): the time until CUPS
// has the job and the job's size, on the way VEXA made jobs before (Qt's PDF engine, kept
// here as it was) and on the page writer, for the photo unchanged since it was read (its JPEG
// data goes into the job) and edited (its pixels go in). Then six copies of the photo as the
// CD mini cover, one cover a page (six jobs) and packed (one sheet, the picture stored once):
// the time until CUPS has every job of the run and their size together. Then the peak resident
// memory of `vexa-cli print` with the photo as the DVD cover, and as three covers, and the time
// of `vexa-cli print --pdf` of the photo, baseline and progressive, against djpeg's decoding.
//
//   vexa_bench_print_job [repetitions]     (default 5; each figure is the median)
#include "support/CupsTestServer.h"

#include "core/cover/CoverFormats.h"
#include "core/cover/PaperChoice.h"
#include "core/cups/JobSubmission.h"
#include "core/cups/PrinterMedia.h"
#include "core/picture/PictureFile.h"
#include "core/printing/CupsCoverPrinter.h"
#include "core/printing/SheetRun.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

using namespace vexa;

const cover::CoverFormat& dvd() {
    return *cover::coverFormatForKey(QStringLiteral("DVD"));
}

// Smooth gradients with sensor-like noise, the same in every run: a JPEG of a camera's size.
QByteArray photoJpeg() {
    QImage picture(6000, 4000, QImage::Format_RGB32);
    quint32 seed = 2024;
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int noise = int(seed >> 28) - 8;
            const auto level = [noise](double v) { return std::clamp(int(v) + noise, 0, 255); };
            line[x] = qRgb(level(x * 255.0 / 6000), level(y * 255.0 / 4000),
                           level(127 + 100 * std::sin(x * 0.003 + y * 0.002)));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "JPG", 92)) std::abort();
    return bytes;
}

// The job path as it was: the page drawn by Qt's PDF engine at 1200 dpi, landscape, the
// picture at the printable corner, then handed to CUPS.
bool oldPathJob(const QString& printer, const QImage& picture, const QString& file) {
    const QMarginsF margins = cover::orientedMargins(
        cups::printerPaperMargins(printer, cover::Paper::Legal).value_or(QMarginsF()),
        QPageLayout::Landscape, cups::printerLandscapeTurn(printer));
    const cover::CoverPage page =
        cover::layoutCoverPage(QSizeF(612, 1008), QPageLayout::Landscape, margins,
                               QSizeF(dvd().width.toPoints(), dvd().height.toPoints()));
    {
        QPdfWriter writer(file);
        writer.setResolution(1200);
        writer.setCreator(QStringLiteral("VEXA"));
        writer.setPageLayout(QPageLayout(QPageSize(QSizeF(612, 1008), QPageSize::Point),
                                         QPageLayout::Landscape, QMarginsF(), QPageLayout::Point,
                                         QMarginsF()));
        QPainter painter;
        if (!painter.begin(&writer)) return false;
        const double scale = 1200 / 72.0;
        painter.setRenderHint(QPainter::LosslessImageRendering);
        painter.drawImage(QRectF(page.cover.x() * scale, page.cover.y() * scale,
                                 page.cover.width() * scale, page.cover.height() * scale),
                          picture);
        if (!painter.end()) return false;
    }
    QString error;
    return cups::submitPdfJob(printer, file, cups::JobContent::Covers, cover::Paper::Legal,
                              &error) > 0;
}

bool newPathJob(const QString& printer, const vexa::picture::LoadedPicture& picture) {
    printing::CupsCoverPrinter cups;
    if (!cups.usePrinter(printer) || !cups.setPaperSize(cover::Paper::Legal) ||
        !cups.setOrientation(cover::Orientation::Landscape))
        return false;
    cups.drawPicture(picture, vexa::base::Twips(0), vexa::base::Twips(0), dvd().width,
                     dvd().height);
    return cups.endDocument().sent;
}

struct Figure {
    double ms = 0;
    qint64 bytes = 0;
};

// What a run tells is not looked at here; what the server has is.
struct QuietProgress : printing::PrintProgress {
    void coverStarted(const cover::CoverFormat&) override {}
    void coverFinished(const cover::CoverFormat&, const printing::DocumentResult& result) override {
        sent = sent && result.sent;
    }
    void sheetFinished(const cover::Sheet&, int, const printing::DocumentResult& result) override {
        sent = sent && result.sent;
    }
    bool continueAfterCover() override { return true; }
    bool sent = true;
};

bool sixMinis(const QString& printer, const vexa::picture::LoadedPicture& picture, bool pack) {
    printing::CupsCoverPrinter cups;
    if (!cups.usePrinter(printer)) return false;
    cover::CoverRecords pictures;
    pictures[cover::CoverKind::Mini] = picture;
    QuietProgress progress;
    printing::printCovers(
        cover::CoverKind::Mini, pictures, cups, progress, cover::PaperChoice::LetterLegal,
        {pack ? cover::SheetLayout::AsManyAsFit : cover::SheetLayout::OneCoverAPage, 6}, {});
    return progress.sent;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs one way of printing `repetitions` times: the median time until CUPS had the job (all
// `jobs` of the run), and the size of the last run's jobs together.
Figure measure(vexa::test::CupsTestServer& server, int repetitions,
               const std::function<bool()>& print, int jobs = 1) {
    std::vector<double> times;
    for (int i = 0; i < repetitions; ++i) {
        QElapsedTimer clock;
        clock.start();
        if (!print()) {
            std::fprintf(stderr, "the job was not taken\n");
            std::exit(1);
        }
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
        server.waitUntilIdle();
    }
    const QStringList files = server.jobFiles(QStringLiteral("alpha"));
    qint64 bytes = 0;
    for (qsizetype i = std::max<qsizetype>(0, files.size() - jobs); i < files.size(); ++i)
        bytes += QFileInfo(files[i]).size();
    return Figure{median(times), bytes};
}

// A program's run: its wall time and its peak resident memory in MiB, as GNU time reports it.
// Not this program's own wait4(): a child's figure starts from the memory of the process it
// was forked or spawned from, which here holds the photo several times over.
struct Run {
    double ms = -1;
    double peakMiB = -1;
};

Run timedRun(const QString& program, const QStringList& arguments, const QString& report) {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral("/usr/bin/time"),
                  QStringList{QStringLiteral("-f"), QStringLiteral("%M"), QStringLiteral("-o"),
                              report, program} +
                      arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0) return {};
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    QFile file(report);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return Run{ms, file.readAll().trimmed().toDouble() / 1024.0};
}

double cliPeakMiB(const QStringList& arguments, const QString& report) {
    return timedRun(QStringLiteral(VEXA_CLI_PATH), QStringList{QStringLiteral("print")} + arguments,
                    report)
        .peakMiB;
}

// `vexa-cli print --pdf` of `photo` and djpeg's plain decoding of it, taken in turns: the
// median of each.
struct Comparison {
    Run cli;
    double djpegMs = -1;
};

Comparison printAgainstDjpeg(const QString& photo, const QString& pdf, const QString& report,
                             int repetitions) {
    std::vector<double> cliMs;
    std::vector<double> djpegMs;
    Comparison result;
    for (int i = 0; i < repetitions; ++i) {
        const Run cli = timedRun(
            QStringLiteral(VEXA_CLI_PATH),
            {QStringLiteral("print"), QStringLiteral("--dvd"), photo, QStringLiteral("--pdf"), pdf},
            report);
        const Run djpeg =
            timedRun(QStringLiteral("djpeg"),
                     {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), photo}, report);
        if (cli.ms < 0 || djpeg.ms < 0) return {};
        cliMs.push_back(cli.ms);
        djpegMs.push_back(djpeg.ms);
        result.cli.peakMiB = std::max(result.cli.peakMiB, cli.peakMiB);
    }
    result.cli.ms = median(cliMs);
    result.djpegMs = median(djpegMs);
    return result;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    vexa::test::CupsTestServer server;
    QString error;
    if (!server.start(&error) || !server.reset(&error)) {
        std::fprintf(stderr, "private cupsd: %s\n", qPrintable(error));
        return 1;
    }
    QTemporaryDir folder;
    const QString photoFile = folder.filePath(QStringLiteral("photo.jpg"));
    const QByteArray jpeg = photoJpeg();
    {
        QFile file(photoFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size()) return 1;
    }
    const vexa::picture::LoadedPicture unchanged = vexa::picture::readPictureData(jpeg);
    if (unchanged.isNull()) return 1;
    vexa::picture::LoadedPicture edited = unchanged;
    edited.changed = true;
    std::printf("photo: 6000 x 4000, JPEG quality 92, %lld bytes\n", qlonglong(jpeg.size()));

    const QString oldFile = folder.filePath(QStringLiteral("old.pdf"));
    const Figure old = measure(server, repetitions, [&] {
        return oldPathJob(QStringLiteral("alpha"), unchanged.pixels, oldFile);
    });
    const Figure jpegJob = measure(server, repetitions,
                                   [&] { return newPathJob(QStringLiteral("alpha"), unchanged); });
    const Figure losslessJob =
        measure(server, repetitions, [&] { return newPathJob(QStringLiteral("alpha"), edited); });

    std::printf("until CUPS has the job (median of %d), job size:\n", repetitions);
    std::printf("  before (Qt's PDF engine): %8.0f ms  %11lld bytes\n", old.ms, old.bytes);
    std::printf("  JPEG data as it is:       %8.0f ms  %11lld bytes  %5.1fx faster, "
                "file + %lld bytes\n",
                jpegJob.ms, jpegJob.bytes, old.ms / jpegJob.ms,
                jpegJob.bytes - qlonglong(jpeg.size()));
    std::printf("  edited, lossless:         %8.0f ms  %11lld bytes  %5.1fx faster, "
                "%.2fx the size\n",
                losslessJob.ms, losslessJob.bytes, old.ms / losslessJob.ms,
                double(losslessJob.bytes) / double(old.bytes));

    std::printf("six copies as the CD mini cover, until CUPS has every job (median of %d), "
                "their size together:\n",
                repetitions);
    for (const vexa::picture::LoadedPicture* picture :
         std::initializer_list<const vexa::picture::LoadedPicture*>{&unchanged, &edited}) {
        const bool jpegData = picture == &unchanged;
        const Figure apart = measure(
            server, repetitions, [&] { return sixMinis(QStringLiteral("alpha"), *picture, false); },
            6);
        const Figure packed = measure(
            server, repetitions, [&] { return sixMinis(QStringLiteral("alpha"), *picture, true); });
        std::printf("  %-10s one cover a page (6 jobs): %8.0f ms  %11lld bytes\n",
                    jpegData ? "JPEG data," : "edited,", apart.ms, apart.bytes);
        std::printf("  %-10s as many as fit (1 sheet):  %8.0f ms  %11lld bytes  %4.1fx faster\n",
                    jpegData ? "JPEG data," : "edited,", packed.ms, packed.bytes,
                    apart.ms / packed.ms);
    }

    const QString report = folder.filePath(QStringLiteral("time.txt"));
    const QString p = photoFile;
    const double one = cliPeakMiB({"--dvd", p, "--printer", "alpha"}, report);
    const double three =
        cliPeakMiB({"--front", p, "--back", p, "--dvd", p, "--printer", "alpha"}, report);
    server.waitUntilIdle();
    std::printf("peak resident memory of vexa-cli print (decoded picture: %.1f MiB):\n",
                6000.0 * 4000 * 4 / (1024 * 1024));
    std::printf("  the photo as the DVD cover:                %6.1f MiB\n", one);
    std::printf("  the photo as the front, back and DVD cover: %6.1f MiB\n", three);

    // The photo made progressive by jpegtran (the same coefficients, 4:2:0 kept).
    const QString progressive = folder.filePath(QStringLiteral("progressive.jpg"));
    if (QProcess::execute(QStringLiteral("jpegtran"),
                          {QStringLiteral("-progressive"), QStringLiteral("-outfile"), progressive,
                           photoFile}) != 0)
        return 1;
    const QString pdf = folder.filePath(QStringLiteral("covers.pdf"));
    std::printf("vexa-cli print --dvd PHOTO --pdf FILE against djpeg PHOTO (median of %d, in "
                "turns):\n",
                repetitions);
    for (const auto& [name, file] :
         {std::pair{"baseline", photoFile}, std::pair{"progressive", progressive}}) {
        const Comparison c = printAgainstDjpeg(file, pdf, report, repetitions);
        if (c.cli.ms < 0) return 1;
        std::printf("  %-12s vexa-cli %6.0f ms, %6.1f MiB peak; djpeg %6.0f ms; %.2fx djpeg\n",
                    name, c.cli.ms, c.cli.peakMiB, c.djpegMs, c.cli.ms / c.djpegMs);
    }
    return 0;
}
