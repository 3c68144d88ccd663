// The user's lpoptions when the program with a temporary printer is ended by a signal (a
// logout sends TERM, a closed terminal HUP) or killed outright and started again, on the
// private cupsd. The process is tests/print/default_printer_guard.cpp, which does what `vexa`
// does with the default printer; the last test starts `vexa` itself.
#include "support/CupsTestServer.h"

#include "core/base/ProgramFolder.h"
#include "core/cups/DefaultPrinterUndo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <QProcessEnvironment>
#include <QThread>

#include <csignal>
#include <string>

namespace {

class DefaultPrinterSignalsTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(server.reset(&error)) << error.toStdString();
        ASSERT_TRUE(settings.isValid());
    }
    void TearDown() override { vexa::base::setProgramFolderForTesting(QString()); }

    void putOptions(const QByteArray& content) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(server.userOptionsFile()).absolutePath()));
        QFile file(server.userOptionsFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(content), content.size());
    }
    std::string options() const {
        QFile file(server.userOptionsFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "(no file)";
    }
    QString undoFile() const { return settings.filePath(QStringLiteral("lpoptions-undo")); }

    // Starts the guard with `printer` as the temporary default; waits until it is.
    void startGuard(QProcess& guard, const char* printer) {
        guard.start(QStringLiteral(DEFAULT_PRINTER_GUARD_PATH), {settings.path(), printer});
        ASSERT_TRUE(guard.waitForStarted(10000));
        while (!guard.canReadLine() && guard.state() == QProcess::Running)
            guard.waitForReadyRead(30000);
        ASSERT_EQ(guard.readLine().trimmed().toStdString(), "ready")
            << guard.readAllStandardError().toStdString();
    }
    int runRecovery() {
        QProcess guard;
        guard.start(QStringLiteral(DEFAULT_PRINTER_GUARD_PATH),
                    {settings.path(), QStringLiteral("--recover")});
        guard.waitForFinished(30000);
        return guard.exitStatus() == QProcess::NormalExit ? guard.exitCode() : -1;
    }

    vexa::test::CupsTestServer& server = vexa::test::cupsTestServer();
    QTemporaryDir settings;
};

// The user's own default with options, other printers' lines and a comment around it.
const QByteArray kUsersFile = "# my printers\n"
                              "Dest alpha/photo media=A4\n"
                              "Default alpha sides=two-sided-long-edge copies=2\n"
                              "Dest beta/draft   sides=one-sided\n";
constexpr const char* kWhileBeta = "Default beta\n"
                                   "# my printers\n"
                                   "Dest alpha/photo media=A4\n"
                                   "Dest alpha sides=two-sided-long-edge copies=2\n"
                                   "Dest beta/draft   sides=one-sided\n";

} // namespace

// TERM (logout, shutdown), HUP and INT end the run the way closing the window does.
TEST_F(DefaultPrinterSignalsTest, ASignalPutsTheUsersLinesBackBeforeTheEnd) {
    for (const int signalNumber : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(signalNumber);
        putOptions(kUsersFile);
        QProcess guard;
        startGuard(guard, "beta");
        EXPECT_EQ(options(), kWhileBeta);
        EXPECT_TRUE(QFileInfo::exists(undoFile()));

        ASSERT_EQ(::kill(static_cast<pid_t>(guard.processId()), signalNumber), 0);
        ASSERT_TRUE(guard.waitForFinished(30000));
        EXPECT_EQ(guard.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(guard.exitCode(), 0);
        EXPECT_EQ(options(), kUsersFile.toStdString());
        EXPECT_FALSE(QFileInfo::exists(undoFile()));
    }
}

// KILL leaves the temporary printer behind; the next start puts the user's lines back. With a
// second temporary printer chosen in the run, either one written is recognised.
TEST_F(DefaultPrinterSignalsTest, TheStartAfterAKillPutsTheUsersLinesBack) {
    for (const char* printer : {"beta", "beta/draft"}) {
        SCOPED_TRACE(printer);
        putOptions(kUsersFile);
        QProcess guard;
        startGuard(guard, printer);
        guard.kill();
        ASSERT_TRUE(guard.waitForFinished(30000));
        EXPECT_EQ(options().rfind(std::string("Default ") + printer + "\n", 0), 0u);

        EXPECT_EQ(runRecovery(), 0);
        EXPECT_EQ(options(), kUsersFile.toStdString());
        EXPECT_FALSE(QFileInfo::exists(undoFile()));
    }
}

// A default the user chose after the kill (another program wrote it) is theirs: the undo file
// goes, their choice stays.
TEST_F(DefaultPrinterSignalsTest, ADefaultChangedAfterTheKillIsLeftAlone) {
    putOptions(kUsersFile);
    QProcess guard;
    startGuard(guard, "beta");
    guard.kill();
    ASSERT_TRUE(guard.waitForFinished(30000));
    const QByteArray chosenLater = "Default alpha/photo\nDest beta media=A4\n";
    putOptions(chosenLater);

    EXPECT_EQ(runRecovery(), 0);
    EXPECT_EQ(options(), chosenLater.toStdString());
    EXPECT_FALSE(QFileInfo::exists(undoFile()));
}

// Undo files that are not whole or not ours change nothing and are removed; none at all is the
// normal case.
TEST_F(DefaultPrinterSignalsTest, AnUnreadableUndoFileChangesNothing) {
    vexa::base::setProgramFolderForTesting(settings.path());
    putOptions(kWhileBeta);
    EXPECT_EQ(vexa::cups::recoverDefaultPrinter(), vexa::cups::DefaultPrinterRecovery::NothingToDo);
    const QByteArray broken[] = {
        "",
        "VEXA lpoptions undo 1\nexisted 1\nline 2 44656661756c7\n",
        "VEXA lpoptions undo 1\nline 0 2d\nwrote 62657461\n",
        "[General]\nTab=1\n",
    };
    for (const QByteArray& content : broken) {
        SCOPED_TRACE(content.toStdString());
        QFile file(undoFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(content), content.size());
        file.close();
        EXPECT_EQ(vexa::cups::recoverDefaultPrinter(),
                  vexa::cups::DefaultPrinterRecovery::LeftAlone);
        EXPECT_EQ(options(), kWhileBeta);
        EXPECT_FALSE(QFileInfo::exists(undoFile()));
    }
}

// `vexa` itself: the start after a kill puts the user's lines back, and TERM ends it as closing
// the window does instead of killing it. A copy of its own, so that its settings and the undo
// file live in the test's folder.
TEST_F(DefaultPrinterSignalsTest, VexaRecoversAtStartAndEndsOnTerm) {
    const QString vexa = settings.filePath(QStringLiteral("vexa"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VEXA_APP_PATH), vexa));
    putOptions(kUsersFile);
    QProcess guard;
    startGuard(guard, "beta");
    guard.kill();
    ASSERT_TRUE(guard.waitForFinished(30000));
    ASSERT_EQ(options(), kWhileBeta);

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.start(vexa, {});
    ASSERT_TRUE(program.waitForStarted(10000));
    for (int i = 0; i < 300 && QFileInfo::exists(undoFile()); ++i) QThread::msleep(100);
    EXPECT_FALSE(QFileInfo::exists(undoFile()));
    EXPECT_EQ(options(), kUsersFile.toStdString());

    ASSERT_EQ(::kill(static_cast<pid_t>(program.processId()), SIGTERM), 0);
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(options(), kUsersFile.toStdString());
}
