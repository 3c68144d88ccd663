// What is said after a job is sent, on a private cupsd: a paused printer holds the covers
// (said, exit status 0, nothing lost), and a job the printer's filters stop is told with
// what CUPS said instead of "sent" (exit status 1). The jobs are followed until CUPS gives
// them a state that stays, with a limit far above what that takes.
#include "support/CupsTestServer.h"
#include "support/TestSupport.h"

#include "cli/CalibrateCommand.h"
#include "cli/PrintCommand.h"
#include "core/base/ProgramFolder.h"
#include "core/printing/CalibrationJob.h"

#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace vexa;
using namespace std::chrono_literals;

namespace {

constexpr auto kGenerous = 120s;

class SentJobsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        base::setProgramFolderForTesting(folder.path());
        QString error;
        ASSERT_TRUE(server.reset(&error)) << error.toStdString();
        picture = folder.filePath("cover.png");
        ASSERT_TRUE(vexa::test::solidImage(60, 60, qRgb(0, 90, 200)).save(picture));
    }
    void TearDown() override { base::setProgramFolderForTesting(QString()); }

    int print(const QStringList& arguments) {
        out.clear();
        err.clear();
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        return cli::runPrintCommand(arguments, outStream, errStream, kGenerous);
    }
    int calibrate(const QStringList& arguments) {
        out.clear();
        err.clear();
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        return cli::runCalibrateCommand(arguments, outStream, errStream);
    }

    vexa::test::CupsTestServer& server = vexa::test::cupsTestServer();
    QTemporaryDir folder;
    QString picture;
    QString out;
    QString err;
};

} // namespace

TEST_F(SentJobsTest, APausedPrinterHoldsTheCoversAndSaysSoOnce) {
    QString error;
    ASSERT_TRUE(server.addPrinter("office", &error)) << error.toStdString();
    ASSERT_TRUE(server.pausePrinter("office", &error)) << error.toStdString();

    EXPECT_EQ(print({"--front", picture, "--dvd", picture, "--printer", "office"}), 0);
    EXPECT_EQ(out.toStdString(),
              "Printing CD Front Cover.\nPrinting DVD Cover.\n2 covers sent to office\n");
    EXPECT_EQ(err.toStdString(),
              "vexa-cli print: printer office is paused: the covers wait in its queue\n");
    EXPECT_EQ(calibrate({"--printer", "office"}), 0);
    EXPECT_EQ(err.toStdString(),
              "vexa-cli calibrate: printer office is paused: the page waits in its queue\n");
    EXPECT_EQ(server.queuedJobs("office").size(), 3);

    // Nothing is lost: resumed, the printer prints all three.
    ASSERT_TRUE(server.resumePrinter("office", &error)) << error.toStdString();
    ASSERT_TRUE(server.waitUntilIdle());
    EXPECT_EQ(server.jobFiles("office").size(), 3);
}

TEST_F(SentJobsTest, AJobTheFiltersStopIsToldWithCupsReasonNotAsSent) {
    vexa::test::TestPpd ppd;
    ppd.refusing = true;
    QString error;
    ASSERT_TRUE(server.addPrinter("refusing", &error, ppd)) << error.toStdString();
    // CUPS keeps with a stopped job what its printer last said: the filter's own words, or
    // "Filter failed" once it has taken the filter's end for the last word.
    const auto stopped = [](const QString& text) {
        const QString said = QStringLiteral("printer refusing stopped the job, saying \"%1\"");
        return text == said.arg(QLatin1String(vexa::test::kRefusingFilterMessage)) ||
               text == said.arg(QLatin1String("Filter failed"));
    };

    EXPECT_EQ(print({"--front", picture, "--back", picture, "--printer", "refusing"}), 1);
    const QStringList lines = err.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << err.toStdString();
    const QString front = "vexa-cli print: The CD front cover was not printed: ";
    const QString back = "vexa-cli print: The CD back cover was not printed: ";
    EXPECT_TRUE(lines[0].startsWith(front) && lines[0].endsWith(u'.') &&
                stopped(lines[0].mid(front.size()).chopped(1)))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(back) && lines[1].endsWith(u'.') &&
                stopped(lines[1].mid(back.size()).chopped(1)))
        << lines[1].toStdString();
    EXPECT_TRUE(out.endsWith("0 covers sent to refusing\n")) << out.toStdString();

    const printing::CalibrationPageResult page =
        printing::printCalibrationPage("refusing", cover::Paper::Letter, {}, kGenerous);
    EXPECT_TRUE(stopped(page.refused)) << page.refused.toStdString();
    EXPECT_TRUE(page.heldBy.isEmpty());

    // A printer that prints is told as sent, also by the calibration page.
    EXPECT_EQ(print({"--front", picture, "--printer", "beta"}), 0);
    EXPECT_EQ(err.toStdString(), "");
    EXPECT_EQ(printing::printCalibrationPage("beta", cover::Paper::Letter, {}, kGenerous)
                  .refused.toStdString(),
              "");
}
