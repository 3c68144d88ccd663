// `vexa-cli print`: options, messages and exit status, PDF export measured with poppler,
// and printing on the private cupsd, in-process and through the real executable.
#include "support/CupsTestServer.h"
#include "support/JpegEncoder.h"
#include "support/PdfProbe.h"
#include "support/QtPrinting.h"
#include "support/TestSupport.h"

#include "cli/PrintCommand.h"
#include "core/cover/CoverFormats.h"
#include "core/picture/PictureFile.h"
#include "core/project/ProjectSave.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/stat.h>

using namespace vexa;

namespace {

class PrintCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        QImage picture(60, 40, QImage::Format_RGB32);
        picture.fill(qRgb(0, 90, 200));
        ASSERT_TRUE(picture.save(path("blue.png")));
        QFile text(path("notes.png"));
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write("not a picture");
    }

    QString path(const QString& name) const { return folder.filePath(name); }

    int run(const QStringList& arguments) {
        out.clear();
        err.clear();
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        return vexa::cli::runPrintCommand(arguments, outStream, errStream);
    }

    vexa::test::CupsTestServer& printServer() {
        vexa::test::CupsTestServer& server = vexa::test::cupsTestServer();
        QString error;
        EXPECT_TRUE(server.reset(&error)) << error.toStdString();
        return server;
    }

    QTemporaryDir folder;
    QString out;
    QString err;
};

// Page n of the file holds the cover of keys[n - 1] at the page's corner at its exact size.
void expectCoversAtTheCorner(const QString& pdf, const QStringList& keys) {
    for (int page = 1; page <= keys.size(); ++page) {
        const cover::CoverFormat& kind = *cover::coverFormatForKey(keys[page - 1]);
        SCOPED_TRACE(kind.key);
        const QRect box = vexa::test::inkBox(vexa::test::renderPdfPage(pdf, page, 72));
        EXPECT_LE(box.left(), 1);
        EXPECT_LE(box.top(), 1);
        EXPECT_NEAR(box.width(), kind.width.count() / 20.0, 1.5);
        EXPECT_NEAR(box.height(), kind.height.count() / 20.0, 1.5);
    }
}

} // namespace

TEST_F(PrintCommandTest, UsageErrorsSayWhatIsWrong) {
    const struct {
        QStringList arguments;
        const char* message;
    } cases[] = {
        {{}, "no cover to print"},
        {{"--fron", "a.png"}, "unknown option '--fron'"},
        {{"--Front", "a.png"}, "unknown option '--Front'"},
        {{"--front"}, "'--front' needs a value"},
        {{"--front="}, "'--front' needs a value"},
        {{"--front", "a.png", "--front", "b.png"}, "'--front' is given twice"},
        {{"--front", "a.png", "--printer", "x", "--pdf", "y.pdf"}, "not both"},
        {{"--front", "a.png", "p.vexa"}, "give a project file or pictures, not both"},
        {{"p.vexa", "cd"},
         "no cover is named 'cd' (covers: front, inside, back, mini, dvd, "
         "slim, hd, blu, psp, vita, ds)"},
        {{"p.vexa", "dvd", "front", "dvd"}, "the dvd cover is named twice"},
        {{"p.vexa", "--marks", "--no-marks"}, "give --marks or --no-marks, not both"},
        {{"p.vexa", "--pack", "--no-pack"}, "give --pack or --no-pack, not both"},
        {{"--pdf", "y.pdf"}, "no cover to print"},
        {{"--front", "a.png", "--paper", "legal"}, "'--paper' takes letter or a4, not 'legal'"},
        {{"--front", "a.png", "--paper"}, "'--paper' needs a value"},
        {{"--front", "a.png", "--copies", "0"},
         "'--copies' takes a whole number from 1 to 20, not '0'"},
        {{"--front", "a.png", "--copies=21"}, "not '21'"},
        {{"--front", "a.png", "--copies", "1.5"}, "not '1.5'"},
        {{"--front", "a.png", "--copies"}, "'--copies' needs a value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        EXPECT_EQ(run(c.arguments), 2);
        EXPECT_TRUE(err.contains(QLatin1String(c.message))) << err.toStdString();
        EXPECT_TRUE(out.isEmpty());
    }
}

TEST_F(PrintCommandTest, AnUnreadablePictureStopsBeforeAnythingIsWritten) {
    const QString pdf = path("covers.pdf");
    EXPECT_EQ(run({"--front", path("blue.png"), "--ds", path("notes.png"), "--pdf", pdf}), 1);
    EXPECT_TRUE(err.contains("cannot read '" + path("notes.png") + "'")) << err.toStdString();
    EXPECT_EQ(run({"--front", path("missing.jpg"), "--pdf", pdf}), 1);
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(PrintCommandTest, PdfHasOnePagePerCoverOnItsPaperWithThePictureAtTheCorner) {
    const QString pdf = path("covers.pdf");
    const QString blue = path("blue.png");
    ASSERT_EQ(run({"--ds", blue, "--front", blue, "--mini=" + blue, "--slim", blue, "--pdf", pdf}),
              0)
        << err.toStdString();
    EXPECT_EQ(out, "Printing CD Front Cover.\nPrinting CD Mini Cover.\n"
                   "Printing DVD Slim Cover.\nPrinting DS Cover.\n4 pages written to " +
                       pdf + "\n");

    // Table order, whatever the order of the options.
    EXPECT_EQ(vexa::test::pdfPageSizes(pdf),
              std::vector<QSizeF>({{612, 792}, {792, 612}, {1008, 612}, {1008, 612}}));
    expectCoversAtTheCorner(pdf, {"Front", "Mini", "SLIM", "DS"});
}

// --copies repeats each cover; --pack puts them on as few pages as fit, the whole page
// printable in a file. A page gets the trim box of its cover only when it holds one cover.
TEST_F(PrintCommandTest, CopiesAndPackedSheetsInAPdf) {
    const QString blue = path("blue.png");
    const QString copies = path("copies.pdf");
    ASSERT_EQ(run({"--front", blue, "--back", blue, "--copies", "2", "--pdf", copies}), 0)
        << err.toStdString();
    EXPECT_TRUE(out.endsWith("4 pages written to " + copies + "\n")) << out.toStdString();
    expectCoversAtTheCorner(copies, {"Front", "Front", "Back", "Back"});

    // 792 pt hold a front (342 pt) and a back (334.8 pt) but not two fronts and a back.
    const QString packed = path("packed.pdf");
    ASSERT_EQ(run({"--front", blue, "--back", blue, "--copies", "2", "--pack", "--marks", "--pdf",
                   packed}),
              0)
        << err.toStdString();
    EXPECT_EQ(out, "Printing sheet 1 of 2.\nPrinting sheet 2 of 2.\n2 pages written to " + packed +
                       "\n");
    EXPECT_EQ(vexa::test::pdfPageSizes(packed), std::vector<QSizeF>({{612, 792}, {612, 792}}));
    EXPECT_EQ(vexa::test::pdfPageBox(packed, "TrimBox"),
              vexa::test::pdfPageBox(packed, "MediaBox"));

    // One cover alone on its sheet: its trim box, 7 mm in for the gap and the mark from the
    // top-left corner (PDF's boxes count up from the bottom).
    const QString alone = path("alone.pdf");
    ASSERT_EQ(run({"--front", blue, "--pack", "--marks", "--pdf", alone}), 0) << err.toStdString();
    const double in = 7 * 72 / 25.4;
    const QRectF trim = vexa::test::pdfPageBox(alone, "TrimBox");
    EXPECT_NEAR(trim.left(), in, 0.01);
    EXPECT_NEAR(trim.bottom(), 792 - in, 0.01);
    EXPECT_NEAR(trim.width(), 342, 0.01);
    EXPECT_NEAR(trim.height(), 342, 0.01);
}

TEST_F(PrintCommandTest, PdfThatCannotBeWrittenFails) {
    EXPECT_EQ(run({"--front", path("blue.png"), "--pdf", path("no/such/folder/covers.pdf")}), 1);
    EXPECT_TRUE(err.contains("cannot write")) << err.toStdString();
}

// The export is saved like any file the user writes: a new one gets what the umask leaves
// of rw-rw-rw-, a replaced one keeps its mode (a private file stays private).
TEST_F(PrintCommandTest, TheSavedPdfHasTheModeOfAnOrdinarySave) {
    const QString pdf = path("covers.pdf");
    const QByteArray name = QFile::encodeName(pdf);
    const auto mode = [&name] {
        struct stat status {};
        return ::stat(name.constData(), &status) == 0 ? int(status.st_mode & 0777) : -1;
    };
    const mode_t before = ::umask(027);
    const int created = run({"--front", path("blue.png"), "--pdf", pdf});
    const int newMode = mode();
    ::umask(022);
    ::chmod(name.constData(), 0600);
    const int replaced = run({"--front", path("blue.png"), "--pdf", pdf});
    const int replacedMode = mode();
    ::umask(before);
    EXPECT_EQ(created, 0) << err.toStdString();
    EXPECT_EQ(newMode, 0640);
    EXPECT_EQ(replaced, 0) << err.toStdString();
    EXPECT_EQ(replacedMode, 0600);
}

TEST_F(PrintCommandTest, PrintsOnTheDefaultOrTheNamedPrinter) {
    vexa::test::CupsTestServer& server = printServer();
    ASSERT_EQ(run({"--front", path("blue.png"), "--vita", path("blue.png")}), 0)
        << err.toStdString();
    EXPECT_TRUE(out.endsWith("2 covers sent to alpha\n")) << out.toStdString();
    ASSERT_EQ(run({"--hd", path("blue.png"), "--printer", "beta"}), 0) << err.toStdString();
    EXPECT_TRUE(out.endsWith("1 cover sent to beta\n")) << out.toStdString();
    ASSERT_TRUE(server.waitUntilIdle());
    const QStringList alpha = server.jobFiles("alpha");
    ASSERT_EQ(alpha.size(), 2);
    // The landscape Vita cover goes out turned on portrait paper, as the paper feeds.
    EXPECT_EQ(vexa::test::pdfPageSizes(alpha[1]), std::vector<QSizeF>({{612, 792}}));
    EXPECT_EQ(server.jobFiles("beta").size(), 1);
}

TEST_F(PrintCommandTest, AJpegPhotoGoesIntoTheFileAndTheJobAsItsOwnBytes) {
    const QImage pattern = vexa::test::patternImage(90, 60);
    const QByteArray jpeg =
        vexa::test::encodeJpeg(pattern, vexa::test::JpegCoding{.progressive = true});
    const QString photo = path("photo.jpg");
    QFile file(photo);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(jpeg), jpeg.size());
    file.close();
    const QByteArray cmyk = vexa::test::encodeJpeg(pattern, vexa::test::JpegCoding{.cmyk = true});
    QFile cmykFile(path("cmyk.jpg"));
    ASSERT_TRUE(cmykFile.open(QIODevice::WriteOnly));
    ASSERT_EQ(cmykFile.write(cmyk), cmyk.size());
    cmykFile.close();

    // Two pages of one photo hold its data once.
    const QString pdf = path("covers.pdf");
    ASSERT_EQ(run({"--front", photo, "--dvd", photo, "--back", path("cmyk.jpg"), "--pdf", pdf}), 0)
        << err.toStdString();
    const auto images = vexa::test::pdfImageList(pdf);
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0].encoding, "jpeg");
    EXPECT_EQ(images[1].encoding, "image"); // the CMYK back cover: its pixels
    EXPECT_EQ(images[2].object, images[0].object);
    EXPECT_EQ(vexa::test::firstPdfJpeg(pdf), jpeg);

    vexa::test::CupsTestServer& server = printServer();
    ASSERT_EQ(run({"--dvd", photo}), 0) << err.toStdString();
    ASSERT_TRUE(server.waitUntilIdle());
    const QStringList jobs = server.jobFiles("alpha");
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(vexa::test::firstPdfJpeg(jobs[0]), jpeg);
}

// A JPEG that would go into the file as its own bytes is checked, not decoded: a cut one is
// still refused before anything is written.
TEST_F(PrintCommandTest, ACutJpegIsRefusedThoughItIsNotDecoded) {
    const QByteArray jpeg = vexa::test::encodeJpeg(vexa::test::patternImage(90, 60), {});
    vexa::test::writeFileBytes(path("cut.jpg"), jpeg.left(jpeg.size() * 6 / 10));
    const QString pdf = path("covers.pdf");
    EXPECT_EQ(run({"--front", path("cut.jpg"), "--pdf", pdf}), 1);
    EXPECT_TRUE(err.contains("cannot read '" + path("cut.jpg") + "'")) << err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(PrintCommandTest, AMissingPrinterIsNamed) {
    printServer();
    EXPECT_EQ(run({"--front", path("blue.png"), "--printer", "gamma"}), 1);
    EXPECT_TRUE(err.contains("no printer named 'gamma' (installed: alpha, beta)"))
        << err.toStdString();
}

TEST_F(PrintCommandTest, WhyNothingPrintedIsSaidInPlainWords) {
    vexa::test::CupsTestServer& server = printServer();
    QString error;
    const QString front = path("blue.png");
    const struct {
        const char* situation;
        std::function<bool()> arrange;
        QStringList arguments;
        QString said;
    } cases[] = {
        {"the printer turns jobs down", [&] { return server.rejectJobs("alpha", &error); },
         QStringList{"--front", front},
         "vexa-cli print: The CD front cover was not printed: printer alpha refused the job "
         "because it is not accepting jobs.\n"},
        {"no default printer",
         [&] {
             // A saved default naming a printer that is gone leaves no default at all.
             QFile options(server.userOptionsFile());
             return QDir().mkpath(QFileInfo(options).path()) &&
                    options.open(QIODevice::WriteOnly) && options.write("Default gamma\n") > 0;
         },
         QStringList{"--front", front},
         "vexa-cli print: There is no default printer. Choose one in your system's printer "
         "settings. --printer NAME prints on one of them.\n"},
        {"no printer at all",
         [&] {
             return server.deletePrinter("alpha", &error) && server.deletePrinter("beta", &error);
         },
         QStringList{"--front", front},
         "vexa-cli print: No printer was found. Add a printer in your system's printer settings. "
         "--pdf FILE writes the covers into a PDF file instead.\n"},
        {"the server is stopped",
         [&] {
             server.halt();
             return true;
         },
         QStringList{"--front", front},
         "vexa-cli print: The print server cannot be reached. Check that CUPS is running.\n"},
        {"the server is stopped, a printer named", [] { return true; },
         QStringList{"--front", front, "--printer", "alpha"},
         "vexa-cli print: The print server cannot be reached. Check that CUPS is running.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        ASSERT_TRUE(c.arrange()) << error.toStdString();
        EXPECT_EQ(run(c.arguments), 1);
        EXPECT_EQ(err, c.said);
    }
    ASSERT_TRUE(server.resume(&error)) << error.toStdString();
    ASSERT_TRUE(server.waitUntilIdle());
    EXPECT_TRUE(server.jobFiles("alpha").isEmpty());
}

TEST_F(PrintCommandTest, TheProgramItselfPrints) {
    vexa::test::CupsTestServer& server = printServer();
    QProcess cli;
    cli.start(QStringLiteral(VEXA_CLI_PATH),
              {"print", "--dvd", path("blue.png"), "--printer", "beta"});
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    EXPECT_TRUE(cli.readAllStandardOutput().contains("1 cover sent to beta"));
    ASSERT_TRUE(server.waitUntilIdle());
    const QStringList jobs = server.jobFiles("beta");
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(vexa::test::pdfPageSizes(jobs[0]), std::vector<QSizeF>({{612, 1008}}));
}

TEST_F(PrintCommandTest, OnA4EveryPageIsA4AndTheCoversKeepTheirSizes) {
    const QString pdf = path("a4.pdf");
    const QString blue = path("blue.png");
    ASSERT_EQ(run({"--front", blue, "--dvd", blue, "--ds", blue, "--paper", "a4", "--pdf", pdf}), 0)
        << err.toStdString();
    // A4 is 210 x 297 mm: 595 x 842 pt.
    EXPECT_EQ(vexa::test::pdfPageSizes(pdf),
              std::vector<QSizeF>({{595, 842}, {842, 595}, {842, 595}}));
    expectCoversAtTheCorner(pdf, {"Front", "DVD", "DS"});
}

TEST_F(PrintCommandTest, ACoverThePrinterRefusesIsNamedAndTheRunFails) {
    // "alpha" has no A4: neither cover gets a job, and each is named on stderr.
    vexa::test::CupsTestServer& server = printServer();
    EXPECT_EQ(run({"--front", path("blue.png"), "--hd", path("blue.png"), "--paper", "A4"}), 1);
    EXPECT_TRUE(err.contains("vexa-cli print: The CD front cover was not printed: printer alpha "
                             "has no A4 paper.\n"
                             "vexa-cli print: The HD-DVD cover was not printed: printer alpha "
                             "has no A4 paper.\n"))
        << err.toStdString();
    ASSERT_TRUE(server.waitUntilIdle());
    EXPECT_TRUE(server.jobFiles("alpha").isEmpty());
    // On Letter the HD-DVD cover prints, and what the margins cut off is told.
    EXPECT_EQ(run({"--hd", path("blue.png")}), 0);
    EXPECT_TRUE(err.contains("The printer's margins cut off 12.7 mm on the right of the HD-DVD "
                             "cover."))
        << err.toStdString();
}

TEST_F(PrintCommandTest, AKilledExportLeavesTheOldFileWhole) {
    // Noise does not compress, so the pages take a while to write.
    QImage noise(2000, 2000, QImage::Format_RGB32);
    quint32 seed = 1;
    for (int y = 0; y < noise.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(noise.scanLine(y));
        for (int x = 0; x < noise.width(); ++x) line[x] = (seed = seed * 1664525u + 1013904223u);
    }
    ASSERT_TRUE(noise.save(path("noise.bmp")));
    const QString pdf = path("covers.pdf");
    QFile old(pdf);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the old file");
    old.close();

    QStringList arguments{"print", "--pdf", pdf};
    for (const cover::CoverFormat& kind : cover::kCoverFormats)
        arguments << "--" + QString(kind.key).toLower() << path("noise.bmp");
    QProcess cli;
    cli.start(QStringLiteral(VEXA_CLI_PATH), arguments);
    ASSERT_TRUE(cli.waitForStarted());
    // Killed as soon as writing has begun: a file beside the target appeared, or the target
    // itself changed.
    const auto writing = [&] {
        return !QDir(folder.path()).entryList({".vexa-*"}, QDir::Files | QDir::Hidden).isEmpty() ||
               QFileInfo(pdf).size() != 12;
    };
    QElapsedTimer clock;
    clock.start();
    while (!writing() && clock.elapsed() < 60000 && cli.state() == QProcess::Running)
        QThread::msleep(2);
    ASSERT_EQ(cli.state(), QProcess::Running) << "the export ended before it could be killed";
    ::kill(static_cast<pid_t>(cli.processId()), SIGKILL);
    cli.waitForFinished();
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "the old file");
}

// A project saved by VEXA prints without its original pictures: its chosen covers with its
// paper, marks and bleed, an unchanged JPEG as its very bytes (pdfimages -j); covers named
// after it and options on the line override its choices.
TEST_F(PrintCommandTest, AProjectPrintsWithItsChoicesAndTheLineOverridesThem) {
    const QByteArray jpeg = vexa::test::encodeJpeg(vexa::test::patternImage(90, 60), {});
    vexa::test::writeFileBytes(path("photo.jpg"), jpeg);
    project::Project project;
    project.covers[cover::CoverKind::Front] =
        picture::readPictureFile(base::FilePath::fromText(path("photo.jpg")));
    project.covers[cover::CoverKind::Dvd] =
        picture::readPictureFile(base::FilePath::fromText(path("blue.png")));
    project.print.chosen =
        cover::CoverKind::Front | cover::CoverKind::Dvd | cover::CoverKind::HdDvd;
    project.print.paper = cover::PaperChoice::A4;
    project.print.trim = cover::TrimOptions{true, 3.0};
    project::EncodedPictures encoded;
    const QString file = path("covers.vexa");
    ASSERT_EQ(project::saveProject(base::FilePath::fromText(file), project, encoded), QString());
    ASSERT_TRUE(QFile::remove(path("photo.jpg")));

    const QString pdf = path("covers.pdf");
    QProcess cli;
    cli.start(QStringLiteral(VEXA_CLI_PATH), {"print", file, "--pdf", pdf});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    EXPECT_EQ(cli.readAllStandardError(),
              "vexa-cli print: The HD-DVD cover has no picture and was left out.\n");
    EXPECT_EQ(vexa::test::pdfPageSizes(pdf), std::vector<QSizeF>({{595, 842}, {842, 595}}));
    EXPECT_EQ(vexa::test::pdfJpegData(pdf), std::vector<QByteArray>({jpeg}));
    // Marks and bleed: the trim box lies inside the page.
    EXPECT_NE(vexa::test::pdfPageBox(pdf, "TrimBox"), vexa::test::pdfPageBox(pdf, "MediaBox"));

    ASSERT_EQ(run({file, "dvd", "--paper", "letter", "--no-marks", "--bleed", "0", "--pdf", pdf}),
              0)
        << err.toStdString();
    EXPECT_EQ(vexa::test::pdfPageSizes(pdf), std::vector<QSizeF>({{1008, 612}}));
    EXPECT_EQ(vexa::test::pdfPageBox(pdf, "TrimBox"), vexa::test::pdfPageBox(pdf, "MediaBox"));
    expectCoversAtTheCorner(pdf, {"DVD"});

    // Its sheets and copies too: two CD fronts of 120.65 mm fit one A4 sheet (297 mm) packed,
    // each the JPEG's own data; --copies overrides the copies, the sheets stay packed (each
    // sheet portrait as the paper feeds).
    project.print.sheets = cover::SheetChoices{cover::SheetLayout::AsManyAsFit, 2};
    const QString packed = path("packed.vexa");
    ASSERT_EQ(project::saveProject(base::FilePath::fromText(packed), project, encoded), QString());
    ASSERT_EQ(run({packed, "front", "--no-marks", "--bleed", "0", "--pdf", pdf}), 0)
        << err.toStdString();
    EXPECT_EQ(vexa::test::pdfPageSizes(pdf), std::vector<QSizeF>({{595, 842}}));
    EXPECT_EQ(vexa::test::pdfJpegData(pdf), std::vector<QByteArray>({jpeg, jpeg}));
    ASSERT_EQ(run({packed, "front", "dvd", "--copies", "1", "--pdf", pdf}), 0) << err.toStdString();
    EXPECT_EQ(vexa::test::pdfPageSizes(pdf), std::vector<QSizeF>({{595, 842}, {595, 842}}));
    ASSERT_EQ(run({packed, "dvd", "--no-pack", "--pdf", pdf}), 0) << err.toStdString();
    EXPECT_EQ(vexa::test::pdfPageSizes(pdf), std::vector<QSizeF>({{842, 595}, {842, 595}}));

    EXPECT_EQ(run({file, "ds", "--pdf", pdf}), 1);
    EXPECT_EQ(err, "vexa-cli print: '" + file + "' has no picture for the DS cover\n");
    EXPECT_EQ(run({path("gone.vexa"), "--pdf", pdf}), 1);
    EXPECT_EQ(err, "vexa-cli print: 'gone.vexa' cannot be opened: it does not exist\n");
    EXPECT_EQ(run({path("blue.png"), "--pdf", pdf}), 1);
    EXPECT_EQ(err, "vexa-cli print: 'blue.png' cannot be opened: it is not a VEXA project (it is "
                   "no ZIP archive)\n");
}
