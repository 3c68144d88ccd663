// With one cover a page, jobs and PDF files are byte for byte what VEXA wrote before covers
// could share a sheet: the files in one-cover-a-page/ were written by that VEXA, from the
// same pictures and options, and every job and file written now is compared with them.
#include "support/CupsTestServer.h"
#include "support/TestSupport.h"

#include "cli/PrintCommand.h"
#include "core/base/ProgramFolder.h"
#include "core/cover/CalibrationStore.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace vexa;

namespace {

QString expectedFolder() {
    return vexa::test::sourceDir() + QStringLiteral("/tests/core/printing/one-cover-a-page");
}

class OneCoverAPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        base::setProgramFolderForTesting(folder.path());
        ASSERT_TRUE(vexa::test::patternImage(24, 16).save(path("pattern.png")));
        QString error;
        ASSERT_TRUE(server.reset(&error)) << error.toStdString();
        // Turns landscape pages the other way, has A4, and margins all different.
        vexa::test::TestPpd minus;
        minus.landscape = "Minus90";
        minus.letterArea = "12 30 600 770";
        minus.a4Area = "9 21 583 829";
        ASSERT_TRUE(server.addPrinter("minus", &error, minus)) << error.toStdString();
    }
    void TearDown() override { base::setProgramFolderForTesting(QString()); }

    QString path(const QString& name) const { return folder.filePath(name); }
    static QString photo() { return expectedFolder() + QStringLiteral("/photo.jpg"); }

    int print(const QStringList& arguments) {
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const int status = vexa::cli::runPrintCommand(arguments, outStream, errStream);
        EXPECT_EQ(status, 0) << err.toStdString();
        return status;
    }

    // The file is what `name` in one-cover-a-page/ holds. A file that differs is kept in the
    // system's temporary folder, to be looked at.
    void expectWritten(const QString& file, const QString& name) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray written = vexa::test::fileBytes(file);
        ASSERT_FALSE(written.isEmpty());
        if (written == vexa::test::fileBytes(expectedFolder() + QLatin1Char('/') + name)) return;
        const QString kept = QDir::temp().filePath(QStringLiteral("vexa-one-cover-a-page-") + name);
        vexa::test::writeFileBytes(kept, written);
        ADD_FAILURE() << "differs from one-cover-a-page/" << name.toStdString() << "; written to "
                      << kept.toStdString();
    }

    // Each job the printer received, in order, against `<prefix>-1.pdf`, `<prefix>-2.pdf`, ...
    void expectJobs(const QString& printer, const QString& prefix, int count) {
        ASSERT_TRUE(server.waitUntilIdle());
        const QStringList jobs = server.jobFiles(printer);
        ASSERT_EQ(jobs.size(), count);
        for (int i = 0; i < count; ++i)
            expectWritten(jobs[i], QStringLiteral("%1-%2.pdf").arg(prefix).arg(i + 1));
    }

    vexa::test::CupsTestServer& server = vexa::test::cupsTestServer();
    QTemporaryDir folder;
};

} // namespace

TEST_F(OneCoverAPageTest, JobsOnAPlus90Printer) {
    print({"--front", path("pattern.png"), "--dvd", photo(), "--mini", path("pattern.png"),
           "--printer", "alpha"});
    expectJobs("alpha", "plus90", 3);
}

TEST_F(OneCoverAPageTest, JobsOnAMinus90PrinterOnA4WithMarksAndBleed) {
    print({"--back", photo(), "--ds", path("pattern.png"), "--marks", "--bleed", "3", "--paper",
           "a4", "--printer", "minus"});
    expectJobs("minus", "minus90-a4-trim", 2);
}

TEST_F(OneCoverAPageTest, CalibratedJobs) {
    ASSERT_TRUE(cover::settingsCalibrations().write("alpha", cover::Paper::Letter,
                                                    {1.3, -1.8, 1.01, 0.99}));
    print({"--inside", path("pattern.png"), "--psp", photo(), "--printer", "alpha"});
    expectJobs("alpha", "calibrated", 2);
}

TEST_F(OneCoverAPageTest, SavedAsPdf) {
    print({"--front", photo(), "--hd", path("pattern.png"), "--vita", photo(), "--marks", "--bleed",
           "1.5", "--pdf", path("covers.pdf")});
    expectWritten(path("covers.pdf"), "covers.pdf");
}
