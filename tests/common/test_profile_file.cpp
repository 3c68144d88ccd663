#include "ObeyFilePermissions.h"
#include "ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using vexa::ProfileFile;

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
    EXPECT_EQ(readRaw(), "; written by hand\n[Main]\n\nTab=11\n; keep "
                         "me\nUnknown=abc\nFront=-1\n\n[Other]\nTab=9\n");
}

TEST_F(ProfileFileTest, WindowsLineEndsAreKept) {
    writeRaw("[MAIN]\r\nTab=1\r\n");
    ASSERT_TRUE(ProfileFile(path).write("MAIN", "Dir", "/x"));
    EXPECT_EQ(readRaw(), "[MAIN]\r\nTab=1\r\nDir=/x\r\n");
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
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    EXPECT_FALSE(written);
    EXPECT_EQ(readRaw(), "[MAIN]\nTab=1\n");
}

TEST_F(ProfileFileTest, FileInAMissingFolderIsAFailure) {
    ProfileFile ini(dir.filePath("no/such/folder/vexa6.ini"));
    EXPECT_FALSE(ini.write("MAIN", "Tab", "2"));
    EXPECT_EQ(ini.read("MAIN", "Tab"), "");
}

TEST_F(ProfileFileTest, FolderInPlaceOfTheFileIsAFailureNotACrash) {
    ASSERT_TRUE(QDir().mkpath(path));
    ProfileFile ini(path);
    EXPECT_EQ(ini.read("MAIN", "Tab"), "");
    EXPECT_FALSE(ini.write("MAIN", "Tab", "2"));
}

} // namespace
