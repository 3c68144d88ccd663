// The user's lpoptions file across a run with a temporary printer, on the private cupsd: the
// file before, while the temporary printer is the default, and after exit. The default is read
// with lpstat, a program of its own.
#include "support/CupsTestServer.h"

#include "core/cups/DefaultPrinter.h"
#include "core/cups/StartupPrinter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace vexa;

namespace {

constexpr const char* kNoDefault = "no system default destination";

class DefaultRestoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(server.reset(&error)) << error.toStdString();
    }
    void TearDown() override {
        qunsetenv("PRINTER");
        if (QFileInfo(server.userOptionsFile()).isDir())
            QDir(server.userOptionsFile()).removeRecursively();
    }

    // Writes the user's file, or removes it for std::nullopt.
    void putOptions(const std::optional<QByteArray>& content) {
        QFile::remove(server.userOptionsFile());
        if (!content) return;
        ASSERT_TRUE(QDir().mkpath(QFileInfo(server.userOptionsFile()).absolutePath()));
        QFile file(server.userOptionsFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(*content), content->size());
    }
    // The file's bytes as readable text for the comparisons, "(no file)" when there is none.
    std::string options() {
        QFile file(server.userOptionsFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "(no file)";
    }
    static std::string text(const std::optional<QByteArray>& content) {
        return content ? content->toStdString() : "(no file)";
    }

    static QString lpstat(const QStringList& arguments) {
        QProcess process;
        process.start(QStringLiteral("lpstat"), arguments);
        process.waitForFinished(10000);
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    }
    static QString defaultPrinter() { return lpstat({QStringLiteral("-d")}); }
    static QString isDefault(const char* printer) {
        return QStringLiteral("system default destination: ") + printer;
    }

    vexa::test::CupsTestServer& server = vexa::test::cupsTestServer();
};

struct RunCase {
    const char* name;
    std::optional<QByteArray> before; // the file at start-up; nullopt: no file
    const char* temporary;            // the printer chosen in the run
    QByteArray during;                // the file while it is the default
    QString defaultBefore;            // lpstat -d before and after the run
};

} // namespace

// A run with a temporary printer leaves the file exactly as it found it, whatever the user had.
TEST_F(DefaultRestoreTest, ExitPutsTheFileBackByteForByte) {
    const QByteArray kOthers = "# my printers\n"
                               "\n"
                               "Dest alpha/photo\n"
                               "Dest ghost media=A4\n"
                               "Dest beta/draft   sides=one-sided media=\"na_letter_8.5x11in\"\n";
    const RunCase cases[] = {
        {"no file", std::nullopt, "beta", "Default beta\n", isDefault("alpha")},
        {"no Default line, other lines kept", kOthers + "Dest alpha copies=2", "beta",
         "Default beta\n" + kOthers + "Dest alpha copies=2", isDefault("alpha")},
        {"own Default line", kOthers + "Default beta\n" + "Dest alpha copies=2\n", "alpha",
         "Default alpha\n" + kOthers + "Dest alpha copies=2\n", isDefault("beta")},
        // Its options stay with the printer on a Dest line of the same bytes while it waits.
        {"own Default line with options",
         "Dest alpha copies=2\r\n  default beta media=A4 sides=two-sided-long-edge # mine\r\n",
         "alpha",
         "Default alpha\nDest alpha copies=2\r\n  Dest beta media=A4 sides=two-sided-long-edge "
         "# mine\r\n",
         isDefault("beta")},
        {"several Default lines", "Default beta\n" + kOthers + "Default alpha", "beta",
         "Default beta\n" + kOthers, isDefault("beta")},
        {"own Default of a removed printer", kOthers + "Default ghost\n", "beta",
         "Default beta\n" + kOthers, kNoDefault},
    };
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.name);
        putOptions(c.before);
        ASSERT_EQ(defaultPrinter(), c.defaultBefore);

        const cups::SavedUserDefault startup = cups::rememberStartupPrinter();
        EXPECT_TRUE(cups::DefaultPrinter().makeDefault(c.temporary));
        EXPECT_EQ(options(), c.during.toStdString());
        EXPECT_EQ(defaultPrinter(), isDefault(c.temporary));

        EXPECT_TRUE(cups::restoreStartupPrinter(startup));
        EXPECT_EQ(options(), text(c.before));
        EXPECT_EQ(defaultPrinter(), c.defaultBefore);
    }
}

// Lines another program changes during the run are its business: only Default lines go back.
TEST_F(DefaultRestoreTest, LinesChangedDuringTheRunStayAsTheyAreNow) {
    putOptions("Default beta media=A4\nDest alpha copies=2\n");
    const auto privateMode =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
    ASSERT_TRUE(QFile::setPermissions(server.userOptionsFile(), privateMode));
    const cups::SavedUserDefault startup = cups::rememberStartupPrinter();
    ASSERT_TRUE(cups::DefaultPrinter().makeDefault("alpha"));
    {
        QFile file(server.userOptionsFile());
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write("Dest beta/draft sides=one-sided\n");
    }
    ASSERT_TRUE(cups::DefaultPrinter().makeDefault("beta"));
    ASSERT_TRUE(cups::DefaultPrinter().makeDefault("alpha"));

    EXPECT_TRUE(cups::restoreStartupPrinter(startup));
    EXPECT_EQ(options(), "Default beta media=A4\nDest alpha copies=2\n"
                         "Dest beta/draft sides=one-sided\n");
    EXPECT_EQ(QFile::permissions(server.userOptionsFile()), privateMode);
    EXPECT_EQ(defaultPrinter(), isDefault("beta"));
}

// PRINTER decides the default: nothing was written for a temporary printer, nothing at exit.
TEST_F(DefaultRestoreTest, NothingIsWrittenWhilePrinterDecides) {
    putOptions("Default beta\n");
    const cups::SavedUserDefault startup = cups::rememberStartupPrinter();
    qputenv("PRINTER", "alpha");
    EXPECT_FALSE(cups::DefaultPrinter().makeDefault("beta"));
    putOptions("Default alpha\n"); // changed by another program meanwhile
    EXPECT_TRUE(cups::restoreStartupPrinter(startup));
    EXPECT_EQ(options(), "Default alpha\n");
}

// A file that cannot be read is not replaced: the temporary printer is refused.
TEST_F(DefaultRestoreTest, AnUnreadableFileIsLeftAlone) {
    putOptions(std::nullopt);
    ASSERT_TRUE(QDir().mkpath(server.userOptionsFile()));
    const cups::SavedUserDefault startup = cups::rememberStartupPrinter();
    EXPECT_FALSE(cups::DefaultPrinter().makeDefault("beta"));
    EXPECT_FALSE(cups::restoreStartupPrinter(startup));
    EXPECT_TRUE(QFileInfo(server.userOptionsFile()).isDir());
    EXPECT_EQ(defaultPrinter(), isDefault("alpha"));
}
