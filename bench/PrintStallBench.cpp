// The longest stall of the print window's thread while it prints three 6000 x 4000 photo
// covers on a printer of a private cupsd (the test suite's server: its printers keep every
// job as a PDF file), and while it saves the same covers as one PDF file. A window that keeps
// drawing and answering stays well under 100 ms.
//
//   vexa_bench_print_stall [repetitions]
#include "StallProbe.h"
#include "support/CupsTestServer.h"

#include "core/base/ProgramFolder.h"
#include "core/cover/CoverFormats.h"
#include "core/cover/CoverSet.h"
#include "core/settings/Settings.h"
#include "print/PrintDialog.h"
#include "print/SavePrompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

using vexa::print::PrintDialog;

// A photo-like picture: gradients with fine detail, different for each cover.
QImage photo(int seed) {
    QImage picture(6000, 4000, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            line[x] = qRgb((x + seed * 40) * 255 / 6240, y * 255 / 4000,
                           static_cast<int>(127 + 120 * std::sin(x * 0.05 + y * 0.031 + seed)));
    }
    return picture;
}

// Saves into one file, replacing it, without asking.
class FixedSavePrompts final : public vexa::print::SavePrompts {
public:
    explicit FixedSavePrompts(QString path) : m_path(std::move(path)) {}
    std::optional<QString> pdfFileName(const QString&) override { return m_path; }
    bool replaceFile(const QString&) override { return true; }
    void tell(bool, const QString&) override {}

private:
    QString m_path;
};

struct Figures {
    qint64 longestStallMs = 0;
    qint64 clickMs = 0; // until the button's handler returned
    qint64 totalMs = 0;
    QString status;
};

// Presses a button of the dialog as the user would and runs the event loop until the dialog
// is idle again.
Figures press(PrintDialog& dialog, const char* button) {
    vexa::bench::StallProbe probe;
    QElapsedTimer clock;
    probe.start();
    clock.start();
    dialog.findChild<QPushButton*>(QString::fromLatin1(button))->click();
    const qint64 clickMs = clock.elapsed();
    while (dialog.isPrinting()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    probe.stop();
    return {probe.longestMs(), clickMs, clock.elapsed(),
            dialog.findChild<QLabel*>(QStringLiteral("printStatus"))->text()};
}

void report(const char* what, const Figures& figures) {
    std::printf("%-28s longest stall %6lld ms   click %6lld ms   whole run %6lld ms   \"%s\"\n",
                what, static_cast<long long>(figures.longestStallMs),
                static_cast<long long>(figures.clickMs), static_cast<long long>(figures.totalMs),
                figures.status.simplified().toLocal8Bit().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2;

    vexa::test::CupsTestServer server;
    QString error;
    if (!server.start(&error) || !server.reset(&error)) {
        std::fprintf(stderr, "private cupsd: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    QTemporaryDir folder;
    vexa::base::setProgramFolderForTesting(folder.path());

    // Front, Inside and Back, the covers printed on the default printer "alpha".
    vexa::cover::CoverSet pictures;
    for (std::size_t i = 0; i < vexa::cover::kCoverFormats.size(); ++i) {
        const vexa::cover::CoverFormat& kind = vexa::cover::kCoverFormats[i];
        const bool chosen = i < 3;
        vexa::settings::writeSetting(QString::fromLatin1(kind.key), chosen ? "-1" : "0");
        if (chosen)
            pictures.setPicture(kind.id,
                                vexa::picture::LoadedPicture::made(photo(static_cast<int>(i))));
    }

    PrintDialog dialog(pictures);
    dialog.setSavePrompts(std::make_unique<FixedSavePrompts>(folder.filePath("covers.pdf")));
    dialog.show();
    // As a user finds it: drawn once (fonts loaded and all) before anything is pressed.
    QElapsedTimer shown;
    shown.start();
    while (shown.elapsed() < 500) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    for (int run = 0; run < repetitions; ++run) {
        report("print run, 3 photo covers", press(dialog, "printButton"));
        server.waitUntilIdle();
        report("Save as PDF, 3 photo covers", press(dialog, "savePdfButton"));
    }
    return 0;
}
