// `vexa-cli print`: options, messages and exit status, PDF export measured with poppler,
// and printing on the private cupsd, in-process and through the real executable.
#include "CupsTestServer.h"
#include "PdfProbe.h"
#include "QtPrinting.h"

#include <CoverFormats.h>
#include <PrintCommand.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace vexa::print;

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
        {{"a.png"}, "unexpected argument 'a.png'"},
        {{"--pdf", "y.pdf"}, "no cover to print"},
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
    const char* keys[] = {"Front", "Mini", "SLIM", "DS"};
    EXPECT_EQ(vexa::test::pdfPageSizes(pdf),
              std::vector<QSizeF>({{612, 792}, {792, 612}, {1008, 612}, {1008, 612}}));
    for (int page = 1; page <= 4; ++page) {
        const CoverFormat& kind = *coverFormatForKey(keys[page - 1]);
        SCOPED_TRACE(kind.key);
        const QRect box = vexa::test::inkBox(vexa::test::renderPdfPage(pdf, page, 72));
        EXPECT_LE(box.left(), 1);
        EXPECT_LE(box.top(), 1);
        EXPECT_NEAR(box.width(), kind.width / 20.0, 1.5);
        EXPECT_NEAR(box.height(), kind.height / 20.0, 1.5);
    }
}

TEST_F(PrintCommandTest, PdfThatCannotBeWrittenFails) {
    EXPECT_EQ(run({"--front", path("blue.png"), "--pdf", path("no/such/folder/covers.pdf")}), 1);
    EXPECT_TRUE(err.contains("cannot write")) << err.toStdString();
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
    EXPECT_EQ(vexa::test::pdfPageSizes(alpha[1]), std::vector<QSizeF>({{792, 612}}));
    EXPECT_EQ(server.jobFiles("beta").size(), 1);
}

TEST_F(PrintCommandTest, AMissingPrinterIsNamed) {
    vexa::test::CupsTestServer& server = printServer();
    EXPECT_EQ(run({"--front", path("blue.png"), "--printer", "gamma"}), 1);
    EXPECT_TRUE(err.contains("no printer named 'gamma' (installed: alpha, beta)"))
        << err.toStdString();
    QString error;
    ASSERT_TRUE(server.deletePrinter("alpha", &error));
    ASSERT_TRUE(server.deletePrinter("beta", &error));
    EXPECT_EQ(run({"--front", path("blue.png")}), 1);
    EXPECT_TRUE(err.contains("no printer is installed")) << err.toStdString();
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
    EXPECT_EQ(vexa::test::pdfPageSizes(jobs[0]), std::vector<QSizeF>({{1008, 612}}));
}
