// What `vexa-cli` says when a run fails: one line, no library chatter, no raw control
// characters; "--" before names that look like options; a full disk named as such.

#include "core/base/FilePath.h"
#include "core/picture/PictureFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct CliRun {
    int status;
    QByteArray err;
    QByteArray out;
};

CliRun runCli(const QStringList& arguments, const QString& folder,
              const std::function<void()>& inChild = {}) {
    QProcess process;
    process.setWorkingDirectory(folder);
    if (inChild) process.setChildProcessModifier(inChild);
    process.start(QStringLiteral(VEXA_CLI_PATH), arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << arguments.join(' ').toStdString();
    return {process.exitCode(), process.readAllStandardError(), process.readAllStandardOutput()};
}

class CliMessages : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(qRgb(200, 100, 50));
        ASSERT_TRUE(picture.save(path("in.png")));
        for (const char* format : {"jpg", "png", "tif"}) {
            QFile whole(path(QStringLiteral("whole.%1").arg(format)));
            ASSERT_TRUE(picture.save(whole.fileName(), format));
            ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
            const QByteArray bytes = whole.readAll();
            QFile cut(path(QStringLiteral("cut.%1").arg(format)));
            ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
            // Cut in the picture data; the JPEG gets its end marker back, so that only the
            // decoder can tell.
            cut.write(bytes.left(bytes.size() * 2 / 3));
            if (QByteArray(format) == "jpg") cut.write("\xFF\xD9");
        }
    }
    QString path(const QString& name) const { return folder.filePath(name); }

    QTemporaryDir folder;
};

TEST_F(CliMessages, AFailingRunPrintsOneLineWithControlCharactersEscaped) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo.png")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", path("zero.png")));
    const QString odd = QStringLiteral("bad\x1b[31mred\x07\u202e.png");
    const QStringList inputs = {"cut.jpg", "cut.png", "cut.tif", "fifo.png", "zero.png", odd};
    for (const QString& input : inputs) {
        for (const QStringList& arguments :
             {QStringList{"effect", "negative", input, "out.png"},
              QStringList{"print", "--pdf", "out.pdf", "--front", input}}) {
            SCOPED_TRACE(arguments.join(' ').toStdString());
            const CliRun run = runCli(arguments, folder.path());
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
            EXPECT_TRUE(run.err.endsWith('\n'));
            for (const char c : run.err)
                EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << int(c);
            if (input == odd) {
                EXPECT_TRUE(run.err.contains("bad\\x1B[31mred\\x07\\u202E.png"))
                    << run.err.toStdString();
            }
        }
    }
    EXPECT_FALSE(QFile::exists(path("out.png")));
    EXPECT_FALSE(QFile::exists(path("out.pdf")));
}

// A picture over the pixel limit is refused from its header; the message says so, with the
// picture's size and the limit, instead of the general "not a picture".
TEST_F(CliMessages, APictureOverThePixelLimitIsNamedWithItsSize) {
    QFile big(path("big.bmp"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(vexa::test::bmpDeclaring(16000, 16000));
    big.close();
    const QByteArray reason = "cannot read 'big.bmp': the picture is 16000 x 16000 pixels (256 "
                              "megapixels); VEXA reads pictures of up to 250 megapixels\n";
    const struct {
        QStringList arguments;
        QByteArray err;
    } runs[] = {
        {{"effect", "negative", "big.bmp", "out.png"}, "vexa-cli effect: " + reason},
        {{"print", "--pdf", "out.pdf", "--front", "in.png", "--inside", "big.bmp"},
         "vexa-cli print: " + reason},
    };
    for (const auto& r : runs) {
        const CliRun run = runCli(r.arguments, folder.path());
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err.toStdString(), r.err.toStdString());
    }
    EXPECT_FALSE(QFile::exists(path("out.png")));
    EXPECT_FALSE(QFile::exists(path("out.pdf")));
}

TEST_F(CliMessages, ASuccessLineShowsControlCharactersEscapedToo) {
    const QString odd = QStringLiteral("covers\x1b]0;owned\x07.pdf");
    const CliRun run = runCli({"print", "--pdf", odd, "--front", "in.png"}, folder.path());
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(QFile::exists(path(odd)));
    EXPECT_TRUE(run.out.contains("1 page written to covers\\x1B]0;owned\\x07.pdf\n"))
        << run.out.toStdString();
}

TEST_F(CliMessages, DoubleDashEndsTheOptions) {
    ASSERT_TRUE(QFile::copy(path("in.png"), path("--help.png")));
    CliRun run = runCli({"effect", "negative", "--", "--help.png", "--out.png"}, folder.path());
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(QImage(path("--out.png")).pixel(0, 0), qRgb(55, 155, 205));
    // Without "--" the same name is an unknown option.
    EXPECT_EQ(runCli({"effect", "negative", "--help.png", "x.png"}, folder.path()).status, 2);

    run = runCli({"print", "--pdf", "covers.pdf", "--front", "--help.png", "--"}, folder.path());
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(QFile::exists(path("covers.pdf")));
    run = runCli({"print", "--pdf", "more.pdf", "--", "--front", "--help.png"}, folder.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.count('\n'), 1);
}

TEST_F(CliMessages, VersionAndMistakesOnTheCommandLine) {
    const CliRun version = runCli({"--version"}, folder.path());
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "vexa-cli " VEXA_VERSION "\n");
    const struct {
        QStringList arguments;
        const char* err;
    } mistakes[] = {
        {{"--bogus", "effect"}, "vexa-cli: unknown option '--bogus' (try 'vexa-cli --help')\n"},
        {{"--version=1"}, "vexa-cli: '--version' takes no value (try 'vexa-cli --help')\n"},
        {{"effect", "blur", "in.png", "out.png", "--param"},
         "vexa-cli effect: '--param' needs a value (see 'vexa-cli effect --help')\n"},
        {{"print", "--pdf=x.pdf", "--front"},
         "vexa-cli print: '--front' needs a value (try 'vexa-cli print --help')\n"},
    };
    for (const auto& mistake : mistakes) {
        const CliRun run = runCli(mistake.arguments, folder.path());
        EXPECT_EQ(run.status, 2) << mistake.arguments.join(' ').toStdString();
        EXPECT_EQ(run.err, mistake.err);
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST_F(CliMessages, AFailedWriteSaysWhy) {
    ASSERT_TRUE(QDir(folder.path()).mkdir("folder.png"));
    const struct {
        const char* output;
        const char* reason;
    } cases[] = {
        {"no/such/folder/out.png", "its folder does not exist"},
        {"in.png/out.png", "its folder does not exist"},
        {"out.xyz", "its extension names no picture format (use .bmp, .jpg, .png, .gif or .tif)"},
        {"folder.png", "is a directory"},
    };
    for (const auto& c : cases) {
        const CliRun run = runCli({"effect", "negative", "in.png", c.output}, folder.path());
        EXPECT_EQ(run.status, 1) << c.output;
        EXPECT_EQ(run.err, QByteArray("vexa-cli effect: cannot write '") + c.output +
                               "': " + c.reason + "\n");
    }
}

// Only a regular file or a new name is written: a FIFO, a device behind a link and links in a
// circle are refused with a sentence and exit 1 and stay as they were (renamed over, /dev/null
// itself would become a file); a link to a file is written through. Names of up to 255 bytes,
// the most a folder holds, are written: the temporary file's name is short.
TEST_F(CliMessages, OnlyRegularFilesAndNewNamesAreWritten) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::copy(path("in.png"), path("target")));
    const struct {
        const char* name;
        QString target; // what the name is a link to; empty: the FIFO itself
        const char* reason;
    } refused[] = {
        {"fifo",
         {},
         "it is no regular file (a device, a FIFO or a socket), and only regular "
         "files are written"},
        {"null", QStringLiteral("/dev/null"),
         "it is no regular file (a device, a FIFO or a socket), and only regular files are "
         "written"},
        {"to-fifo", path("fifo"),
         "it is no regular file (a device, a FIFO or a socket), and only regular files are "
         "written"},
        {"loop", path("loop-other"), "its links lead round in a circle"},
    };
    ASSERT_TRUE(QFile::link(path("loop.png"), path("loop-other")));
    for (const auto& r : refused)
        for (const char* extension : {".png", ".pdf"}) {
            const QString name = path(r.name + QString(extension));
            if (r.target.isEmpty()) {
                ASSERT_EQ(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
            } else {
                ASSERT_TRUE(QFile::link(r.target, name));
            }
        }
    for (const auto& r : refused) {
        for (const auto& [command, extension] :
             {std::pair{QStringList{"effect", "negative", "in.png"}, ".png"},
              std::pair{QStringList{"print", "--front", "in.png", "--pdf"}, ".pdf"}}) {
            const QString name = r.name + QString(extension);
            SCOPED_TRACE(name.toStdString());
            const CliRun run = runCli(command + QStringList{name}, folder.path());
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
            if (command.first() == "effect") {
                EXPECT_EQ(run.err, "vexa-cli effect: cannot write '" + name.toUtf8() +
                                       "': " + r.reason + "\n");
            }
            struct stat after {};
            ASSERT_EQ(::lstat(QFile::encodeName(path(name)).constData(), &after), 0);
            EXPECT_EQ(S_ISLNK(after.st_mode), !r.target.isEmpty());
            EXPECT_EQ(S_ISFIFO(after.st_mode), r.target.isEmpty());
        }
    }
    struct stat null {};
    ASSERT_EQ(::stat("/dev/null", &null), 0);
    EXPECT_TRUE(S_ISCHR(null.st_mode));

    // Written: through a link to a file, and under names of 249 to 255 bytes.
    ASSERT_TRUE(QFile::link(path("target"), path("link.png")));
    EXPECT_EQ(runCli({"effect", "negative", "in.png", "link.png"}, folder.path()).status, 0);
    EXPECT_TRUE(QFileInfo(path("link.png")).isSymLink());
    EXPECT_EQ(QImage(path("target")).pixel(0, 0), qRgb(55, 155, 205));
    for (int length = 249; length <= 255; ++length)
        for (const char* extension : {".png", ".pdf"}) {
            const QString name = QString(length - 4, u'n') + QLatin1String(extension);
            const QStringList command =
                QByteArray(extension) == ".png"
                    ? QStringList{"effect", "negative", "in.png", name}
                    : QStringList{"print", "--front", "in.png", "--pdf", name};
            const CliRun run = runCli(command, folder.path());
            EXPECT_EQ(run.status, 0) << length << extension << ": " << run.err.toStdString();
            EXPECT_TRUE(QFileInfo(path(name)).isFile()) << length << extension;
        }
    // Nothing is left behind: no temporary file.
    EXPECT_TRUE(QDir(folder.path()).entryList({".vexa-*"}, QDir::Hidden | QDir::Files).isEmpty());
}

// The names of `vexa-cli effect 2 "$(printf 'caf\xe9.png')" "$(printf 'out\xe9.png')"` are bytes
// that are not UTF-8: the input is read and the output written under exactly those bytes.
TEST_F(CliMessages, NamesThatAreNotUtf8AreReadAndWrittenByTheirBytes) {
    const QByteArray here = QFile::encodeName(folder.path());
    ASSERT_EQ(::link((here + "/in.png").constData(), (here + "/caf\xe9.png").constData()), 0);
    const auto runInShell = [&](const QString& script) {
        QProcess shell;
        shell.setWorkingDirectory(folder.path());
        shell.start("/bin/sh", {"-c", script, QStringLiteral(VEXA_CLI_PATH)});
        EXPECT_TRUE(shell.waitForFinished(60000));
        return CliRun{shell.exitCode(), shell.readAllStandardError(),
                      shell.readAllStandardOutput()};
    };
    CliRun run =
        runInShell(R"sh(exec "$0" effect 2 "$(printf 'caf\351.png')" "$(printf 'out\351.png')")sh");
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    struct stat info {};
    EXPECT_EQ(::stat((here + "/out\xe9.png").constData(), &info), 0);
    QList<QByteArray> names;
    DIR* entries = ::opendir(here.constData());
    ASSERT_NE(entries, nullptr);
    while (const dirent* entry = ::readdir(entries)) names << entry->d_name;
    ::closedir(entries);
    EXPECT_TRUE(names.contains("out\xe9.png"));
    for (const QByteArray& name : names) EXPECT_FALSE(name.contains("\xEF\xBF\xBD")) << name.data();
    EXPECT_EQ(vexa::picture::loadPictureFile(vexa::base::FilePath::fromBytes(here + "/out\xe9.png"))
                  .pixel(0, 0),
              qRgb(55, 155, 205));

    // Shown in a message, the byte is escaped.
    run = runInShell(R"sh(exec "$0" effect 2 "$(printf 'gone\351.png')" out.png)sh");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "vexa-cli effect: cannot read 'gone\\xE9.png': missing, unreadable or not "
                       "a picture\n");

    // print reads such a name too. Its export names the PDF as text, so a PDF name that is
    // not UTF-8 is refused rather than written under other bytes.
    run = runInShell(R"sh(exec "$0" print --front="$(printf 'caf\351.png')" --pdf c.pdf)sh");
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(QFile::exists(path("c.pdf")));
    run = runInShell(R"sh(exec "$0" print --front in.png --pdf "$(printf 'c\351.pdf')")sh");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "vexa-cli print: cannot write 'c\\xE9.pdf': its name is not UTF-8\n");
    EXPECT_EQ(QDir(folder.path()).entryList({"c*.pdf"}, QDir::Files | QDir::Hidden),
              QStringList{"c.pdf"});
}

TEST_F(CliMessages, AWriteThatFindsNoSpaceSaysSo) {
    QImage big(1500, 1000, QImage::Format_RGB32);
    big.fill(qRgb(1, 2, 3));
    ASSERT_TRUE(big.save(path("big.png")));
    // A file size limit makes every write past 64 KiB fail as a full disk does.
    const CliRun run = runCli({"effect", "negative", "big.png", "out.bmp"}, folder.path(), [] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "vexa-cli effect: cannot write 'out.bmp': not enough space on the disk\n");
    EXPECT_EQ(QDir(folder.path()).entryList({"out*"}, QDir::Files), QStringList{});
}

} // namespace
