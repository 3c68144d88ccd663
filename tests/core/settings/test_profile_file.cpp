#include "core/settings/ProfileFile.h"
#include "support/ObeyFilePermissions.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

using vexa::settings::ProfileFile;

namespace {

class ProfileFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("vexa6.ini");

    void writeRaw(const QByteArray& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray readRaw() {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(ProfileFileTest, ReadsValuesWithoutRegardToCaseAndTrimsBlanks) {
    writeRaw("; a comment\n[main]\n  tAB =  7 \nDir= /home/a b/\t\nEmpty=\n");
    ProfileFile ini(path);
    EXPECT_EQ(ini.read("MAIN", "Tab"), "7");
    EXPECT_EQ(ini.read("Main", "DIR"), "/home/a b/");
    EXPECT_EQ(ini.read("MAIN", "Empty"), "");
}

TEST_F(ProfileFileTest, ValueIsTheTextAfterTheFirstEqualsSign) {
    writeRaw("[MAIN]\nDir=/a=b/c\n");
    EXPECT_EQ(ProfileFile(path).read("MAIN", "Dir"), "/a=b/c");
}

TEST_F(ProfileFileTest, MissingFileSectionOrKeyReadsEmpty) {
    EXPECT_EQ(ProfileFile(path).read("MAIN", "Tab"), "");
    writeRaw("[OTHER]\nTab=3\n");
    EXPECT_EQ(ProfileFile(path).read("MAIN", "Tab"), "");
    writeRaw("[MAIN]\nDrive=/\n[OTHER]\nTab=3\n");
    EXPECT_EQ(ProfileFile(path).read("MAIN", "Tab"), "");
}

TEST_F(ProfileFileTest, LongValuesAreCutTo1999Characters) {
    writeRaw("[MAIN]\nDir=" + QByteArray(2000, 'x') + "y\n");
    const QString value = ProfileFile(path).read("MAIN", "Dir");
    EXPECT_EQ(value.size(), 1999);
    EXPECT_EQ(value, QString(1999, u'x'));
}

TEST_F(ProfileFileTest, WriteCreatesFileAndSection) {
    ProfileFile ini(path);
    ASSERT_TRUE(ini.write("MAIN", "Tab", "4"));
    EXPECT_EQ(readRaw(), "[MAIN]\nTab=4\n");
    EXPECT_EQ(ini.read("MAIN", "Tab"), "4");

    writeRaw("[OTHER]\nx=1\n");
    ASSERT_TRUE(ini.write("MAIN", "Tab", "5"));
    EXPECT_EQ(readRaw(), "[OTHER]\nx=1\n[MAIN]\nTab=5\n");
}

TEST_F(ProfileFileTest, WriteReplacesOnlyTheKeyAndKeepsEveryOtherLine) {
    writeRaw("; written by hand\n[Main]\n\nTAB = 1\n; keep me\nUnknown=abc\n\n[Other]\nTab=9\n");
    ProfileFile ini(path);
    ASSERT_TRUE(ini.write("MAIN", "Tab", "11"));
    ASSERT_TRUE(ini.write("MAIN", "Front", "-1"));
    EXPECT_EQ(readRaw(), "; written by hand\n[Main]\n\nTAB=11\n; keep "
                         "me\nUnknown=abc\nFront=-1\n\n[Other]\nTab=9\n");
}

TEST_F(ProfileFileTest, SeveralValuesGoInWithOneWriteOrNotAtAll) {
    const QByteArray before = "; by hand\n[Main]\nTab=1\n[PRINT]\nPaper=A4\n";
    const QByteArray after =
        "; by hand\n[Main]\nTab=2\nFront=-1\n[PRINT]\nPaper=Letter\n[SCAN]\nSource=x\n";
    writeRaw(before);
    ProfileFile ini(path);
    ASSERT_TRUE(ini.write({{"MAIN", "Tab", "2"},
                           {"MAIN", "Front", "-1"},
                           {"PRINT", "Paper", "Letter"},
                           {"SCAN", "Source", "x"}}));
    EXPECT_EQ(readRaw(), after);
    // One value that would break the file keeps every other one out too.
    EXPECT_FALSE(ini.write({{"MAIN", "Tab", "3"}, {"MAIN", "Dir", "/a\nTab=5"}}));
    EXPECT_EQ(readRaw(), after);
}

TEST_F(ProfileFileTest, WindowsLineEndsAreKept) {
    writeRaw("[MAIN]\r\nTab=1\r\n");
    ASSERT_TRUE(ProfileFile(path).write("MAIN", "Dir", "/x"));
    EXPECT_EQ(readRaw(), "[MAIN]\r\nTab=1\r\nDir=/x\r\n");
}

TEST_F(ProfileFileTest, AByteOrderMarkAndOldMacLineEndsAreReadAndKept) {
    struct Case {
        const char* name;
        QByteArray before;
        QByteArray after; // once Tab is changed and Dir added
    };
    const Case cases[] = {
        {"byte-order mark", "\xEF\xBB\xBF[MAIN]\nTab=3\n", "\xEF\xBB\xBF[MAIN]\nTab=5\nDir=/d\n"},
        {"byte-order mark, CRLF", "\xEF\xBB\xBF[MAIN]\r\nTab=3\r\n",
         "\xEF\xBB\xBF[MAIN]\r\nTab=5\r\nDir=/d\r\n"},
        {"CR only", "[MAIN]\rTab=3\r", "[MAIN]\rTab=5\rDir=/d\r"},
        {"CR only, no last line end", "[MAIN]\rTab=3", "[MAIN]\rTab=5\rDir=/d\r"},
        {"nothing but the mark", "\xEF\xBB\xBF", "\xEF\xBB\xBF[MAIN]\nTab=5\nDir=/d\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeRaw(c.before);
        ProfileFile ini(path);
        EXPECT_EQ(ini.read("MAIN", "Tab"), c.before.contains("Tab") ? "3" : "");
        ASSERT_TRUE(ini.write({{"MAIN", "Tab", "5"}, {"MAIN", "Dir", "/d"}}));
        EXPECT_EQ(readRaw(), c.after);
        EXPECT_EQ(ini.read("MAIN", "Tab"), "5");
    }
}

TEST_F(ProfileFileTest, AWriteThatWouldTakeTheFileOverItsLimitLeavesItAsItIs) {
    // Just under the limit: still read, but two more keys would take it over.
    QByteArray text = "[MAIN]\nTab=3\n;";
    text += QByteArray(ProfileFile::kMaxFileBytes - text.size() - 1 - 8, 'x') + '\n';
    writeRaw(text);
    ProfileFile ini(path);
    ASSERT_EQ(ini.read("MAIN", "Tab"), "3");
    EXPECT_FALSE(ini.write({{"MAIN", "Tab", "4"}, {"MAIN", "Dir", "/a/long/folder"}}));
    EXPECT_EQ(readRaw(), text);
    EXPECT_EQ(ini.read("MAIN", "Tab"), "3");
    EXPECT_TRUE(ini.write("MAIN", "Tab", "4")); // one that fits still goes in
    EXPECT_EQ(ini.read("MAIN", "Tab"), "4");
}

TEST_F(ProfileFileTest, ValuesThatWouldBreakTheFileAreRefused) {
    writeRaw("[MAIN]\nTab=1\n");
    ProfileFile ini(path);
    EXPECT_FALSE(ini.write("MAIN", "Dir", "/a\nTab=5"));
    EXPECT_FALSE(ini.write("MAIN", "A=B", "1"));
    EXPECT_EQ(readRaw(), "[MAIN]\nTab=1\n");
}

TEST_F(ProfileFileTest, UnwritableFileKeepsItsContentAndReportsFailure) {
    writeRaw("[MAIN]\nTab=1\n");
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    bool written = true;
    {
        const vexa::test::ObeyFilePermissions asAnOrdinaryUser;
        written = ProfileFile(path).write("MAIN", "Tab", "2");
    }
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(written);
    EXPECT_EQ(readRaw(), "[MAIN]\nTab=1\n");
}

TEST_F(ProfileFileTest, FileInAMissingFolderIsAFailure) {
    ProfileFile ini(dir.filePath("no/such/folder/vexa6.ini"));
    EXPECT_FALSE(ini.write("MAIN", "Tab", "2"));
    EXPECT_EQ(ini.read("MAIN", "Tab"), "");
}

TEST_F(ProfileFileTest, EveryByteOutsideTheWrittenLineIsKept) {
    // A Latin-1 comment, mixed line ends, a key spelled in lower case, a last line without
    // a line end, and binary junk with NUL bytes.
    const QByteArray junk("\x00\xff\xfe\x80=\x01", 6);
    writeRaw("; Einstellungen f\xfcr Caf\xe9\r\n[MAIN]\ntab=4\r\n" + junk + "\nDir=/x");
    ProfileFile ini(path);
    ASSERT_TRUE(ini.write("MAIN", "Tab", "7"));
    EXPECT_EQ(readRaw(), "; Einstellungen f\xfcr Caf\xe9\r\n[MAIN]\ntab=7\r\n" + junk + "\nDir=/x");
    ASSERT_TRUE(ini.write("MAIN", "Drive", "/"));
    EXPECT_EQ(readRaw(), "; Einstellungen f\xfcr Caf\xe9\r\n[MAIN]\ntab=7\r\n" + junk +
                             "\nDir=/x\r\nDrive=/\r\n");

    // 64 KiB of every byte value: the section is added after it, nothing else changes.
    QByteArray binary;
    for (int i = 0; i < 65536; ++i) binary += char(i & 255);
    writeRaw(binary);
    ASSERT_TRUE(ini.write("MAIN", "Tab", "4"));
    EXPECT_EQ(readRaw(), binary + "\n[MAIN]\nTab=4\n");

    // A 10 MB file is read and kept.
    QByteArray big = "[MAIN]\nTab=1\n";
    while (big.size() < 10'000'000) big += "; " + QByteArray(200, 'x') + "\n";
    writeRaw(big);
    EXPECT_EQ(ini.read("MAIN", "Tab"), "1");
    ASSERT_TRUE(ini.write("MAIN", "Tab", "2"));
    big[11] = '2';
    EXPECT_EQ(readRaw(), big);
}

TEST_F(ProfileFileTest, QuotesAreStrippedAndBytesThatAreNoUtf8AreKept) {
    writeRaw("[MAIN]\nA=\"3\"\nB='3'\nC=\"3'\nD=\"\nE=\"\"\nF= \" x \" \nG=/home/caf\xe9\n"
             "H=/home/caf\xc3\xa9\n");
    ProfileFile ini(path);
    const std::pair<const char*, QString> expected[] = {
        {"A", "3"},
        {"B", "3"},
        {"C", "\"3'"},
        {"D", "\""},
        {"E", ""},
        {"F", " x "},
        {"G", QStringLiteral("/home/caf") + QChar(0xDCE9)},
        {"H", QStringLiteral("/home/caf\u00e9")},
    };
    for (const auto& [key, value] : expected) EXPECT_EQ(ini.read("MAIN", key), value) << key;
    // A folder named in Latin-1 goes back as its bytes, as the browser writes it at exit.
    ASSERT_TRUE(ini.write("MAIN", "G", ini.read("MAIN", "G")));
    ASSERT_TRUE(ini.write("MAIN", "Dir", ini.read("MAIN", "G") + "/sub"));
    EXPECT_TRUE(
        readRaw().endsWith("G=/home/caf\xe9\nH=/home/caf\xc3\xa9\nDir=/home/caf\xe9/sub\n"));
}

TEST_F(ProfileFileTest, FilesThatAreNoRegularFilesReadEmptyAndAreNeverReplaced) {
    const QString fifo = dir.filePath("fifo.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = dir.filePath("zero.ini");
    ASSERT_TRUE(QFile::link("/dev/zero", zero));
    const QString dangling = dir.filePath("dangling.ini");
    ASSERT_TRUE(QFile::link(dir.filePath("nowhere"), dangling));
    const QString huge = dir.filePath("huge.ini");
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[MAIN]\nTab=3\n");
        ASSERT_TRUE(file.resize(ProfileFile::kMaxFileBytes + 1));
    }
    for (const QString& name : {fifo, zero, dangling, huge}) {
        const QFileInfo before(name);
        ProfileFile ini(name);
        EXPECT_EQ(ini.read("MAIN", "Tab"), "") << name.toStdString();
        EXPECT_FALSE(ini.write("MAIN", "Tab", "1")) << name.toStdString();
        const QFileInfo after(name);
        EXPECT_EQ(after.isSymLink(), before.isSymLink()) << name.toStdString();
        EXPECT_EQ(after.size(), before.size()) << name.toStdString();
    }
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("nowhere")));
}

TEST_F(ProfileFileTest, FolderInPlaceOfTheFileIsAFailureNotACrash) {
    ASSERT_TRUE(QDir().mkpath(path));
    ProfileFile ini(path);
    EXPECT_EQ(ini.read("MAIN", "Tab"), "");
    EXPECT_FALSE(ini.write("MAIN", "Tab", "2"));
}

TEST_F(ProfileFileTest, RemoveTakesOutOnlyThatKeysLineInItsOwnSection) {
    writeRaw("; mine\r\n[Other]\r\nGone=1\r\n[CAL]\r\ngone = 2\r\nKept=3\r\n[CAL]\r\nGone=4\r\n");
    ProfileFile ini(path);
    ASSERT_TRUE(ini.remove("cal", "GONE"));
    EXPECT_EQ(readRaw(), "; mine\r\n[Other]\r\nGone=1\r\n[CAL]\r\nKept=3\r\n[CAL]\r\nGone=4\r\n");
    EXPECT_EQ(ini.read("CAL", "Gone"), "");
    // Nothing to remove, no file: both leave everything as it was.
    ASSERT_TRUE(ini.remove("CAL", "Never"));
    EXPECT_EQ(readRaw(), "; mine\r\n[Other]\r\nGone=1\r\n[CAL]\r\nKept=3\r\n[CAL]\r\nGone=4\r\n");
    const QString missing = dir.filePath("missing.ini");
    EXPECT_TRUE(ProfileFile(missing).remove("CAL", "Gone"));
    EXPECT_FALSE(QFileInfo::exists(missing));
    // A folder where the file should be cannot be read, so nothing was removed.
    ASSERT_TRUE(QDir().mkpath(dir.filePath("folder.ini")));
    EXPECT_FALSE(ProfileFile(dir.filePath("folder.ini")).remove("CAL", "Gone"));
}

// An ordinary user's id for the rows run as one (nobody, as Debian has it).
constexpr uid_t kOrdinaryUser = 65534;

struct GuardRun {
    bool firstWrite = false;
    QString readBack;
    QByteArray said; // on stderr
};

// Writes Tab=7 twice to the settings file at `path` and reads it back, in a child process (its
// run, with a memory of its own), as root or as an ordinary user.
GuardRun writeInChild(const QString& path, bool asRoot) {
    int out[2];
    int err[2];
    EXPECT_EQ(::pipe(out), 0);
    EXPECT_EQ(::pipe(err), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(err[1], STDERR_FILENO);
        if (!asRoot && ::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 ||
             ::setresgid(kOrdinaryUser, kOrdinaryUser, kOrdinaryUser) != 0 ||
             ::setresuid(kOrdinaryUser, kOrdinaryUser, kOrdinaryUser) != 0))
            ::_exit(3);
        const ProfileFile ini(path);
        const char first = ini.write("MAIN", "Tab", "7") ? '1' : '0';
        ini.write("MAIN", "Tab", "7");
        const QByteArray reply = first + ini.read("MAIN", "Tab").toUtf8();
        ::_exit(::write(out[1], reply.constData(), size_t(reply.size())) == reply.size() ? 0 : 4);
    }
    ::close(out[1]);
    ::close(err[1]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const auto drain = [](int fd) {
        QByteArray bytes;
        char buffer[512];
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
        ::close(fd);
        return bytes;
    };
    const QByteArray reply = drain(out[0]);
    return {reply.startsWith('1'), QString::fromUtf8(reply.mid(1)), drain(err[0])};
}

// A settings file behind a link or of a kind VEXA may not write: a link is followed only to
// a regular file of the user's own, never as root; a read-only file is left alone, changed or
// not; a UTF-16 file is not written. Where it is not written, the run says so once and keeps
// its settings in memory (it reads back what it wrote); a link to a device or in a circle is
// read as empty and never written, as any file that cannot be read.
TEST(ProfileFileGuard, LinksAndFilesVexaMayNotWrite) {
    const bool root = ::geteuid() == 0;
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::setPermissions(
        dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                        QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther));
    const auto make = [&](const QString& name, const QByteArray& text, uid_t owner, int mode) {
        const QString file = dir.filePath(name);
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        f.close();
        if (root) {
            EXPECT_EQ(::chown(QFile::encodeName(file).constData(), owner, owner), 0);
        }
        EXPECT_EQ(::chmod(QFile::encodeName(file).constData(), mode_t(mode)), 0);
        return file;
    };
    const auto link = [&](const QString& name, const QString& target) {
        const QString at = dir.filePath(name);
        EXPECT_TRUE(QFile::link(target, at));
        if (root) ::lchown(QFile::encodeName(at).constData(), kOrdinaryUser, kOrdinaryUser);
        return at;
    };
    const uid_t me = root ? kOrdinaryUser : ::geteuid();
    const QByteArray text = "[MAIN]\nTab=3\n";
    const QByteArray utf16("\xff\xfe[\0M\0A\0I\0N\0]\0\n\0", 16);
    struct Case {
        const char* name;
        bool asRoot;
        QString path;   // what is written
        QString target; // the file that must be (or not be) changed
        bool written;
        const char* said; // in the one line said, when not written
    };
    const std::vector<Case> cases = {
        {"link to a file of one's own", false, link("own.ini", make("own", text, me, 0644)),
         dir.filePath("own"), true, nullptr},
        {"link as root", true, link("root.ini", make("root", text, 0, 0644)), dir.filePath("root"),
         false, "as root"},
        {"link to another's file", false,
         link("other.ini", root ? make("other", text, 0, 0666) : QStringLiteral("/etc/passwd")),
         root ? dir.filePath("other") : QStringLiteral("/etc/passwd"), false,
         "no regular file of yours"},
        {"read-only file", false, make("readonly.ini", text, me, 0444),
         dir.filePath("readonly.ini"), false, "read-only"},
        {"read-only file, as root", true, make("readonly-root.ini", text, 0, 0444),
         dir.filePath("readonly-root.ini"), false, "read-only"},
        {"UTF-16 file", false, make("utf16.ini", utf16, me, 0644), dir.filePath("utf16.ini"), false,
         "UTF-16"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.asRoot && !root) continue; // a row of root's: the tests do not run as root
        const QByteArray before = vexa::test::fileBytes(c.target);
        const GuardRun run = writeInChild(c.path, c.asRoot);
        EXPECT_EQ(run.firstWrite, c.written);
        EXPECT_EQ(run.readBack, "7"); // from the disk, or from the run's memory
        const QByteArray after = vexa::test::fileBytes(c.target);
        if (c.written) {
            EXPECT_EQ(after, "[MAIN]\nTab=7\n");
            EXPECT_TRUE(QFileInfo(c.path).isSymLink());
            EXPECT_TRUE(run.said.isEmpty()) << run.said.toStdString();
        } else {
            EXPECT_EQ(after, before);
            EXPECT_EQ(run.said.count('\n'), 1) << run.said.toStdString(); // said once
            EXPECT_TRUE(run.said.contains(c.said)) << run.said.toStdString();
        }
    }

    // A read-only file is not even rewritten when the value written is the one it holds.
    const QString same = make("same.ini", "[MAIN]\nTab=7\n", me, 0444);
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(same).constData(), &before), 0);
    const GuardRun unchanged = writeInChild(same, root);
    EXPECT_TRUE(unchanged.firstWrite);
    EXPECT_TRUE(unchanged.said.isEmpty()) << unchanged.said.toStdString();
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(same).constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);

    // Links to a device and in a circle read empty and are never written.
    const QString device = link("null.ini", QStringLiteral("/dev/null"));
    link("loop-a.ini", dir.filePath("loop-b.ini"));
    const QString loop = link("loop-b.ini", dir.filePath("loop-a.ini"));
    for (const QString& name : {device, loop}) {
        const GuardRun run = writeInChild(name, root);
        EXPECT_FALSE(run.firstWrite) << name.toStdString();
        EXPECT_EQ(run.readBack, "") << name.toStdString();
        EXPECT_TRUE(QFileInfo(name).isSymLink()) << name.toStdString();
    }
    struct stat null {};
    ASSERT_EQ(::stat("/dev/null", &null), 0);
    EXPECT_TRUE(S_ISCHR(null.st_mode));
}

} // namespace
