#include "scan/ScanCommands.h"

#include "core/base/ProgramFolder.h"
#include "imageio/PictureWriter.h"
#include "scan/SaneScannerAccess.h"
#include "support/JpegTables.h"
#include "support/ObeyFilePermissions.h"
#include "support/ScanTestSupport.h"
#include "support/TestSupport.h"
#include "widgets/PictureHolder.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>

using namespace vexa::scan;

namespace {

// Stands in for the scanner: hands over what the test asks for.
class FakeScanner : public ScannerAccess {
public:
    void selectImageSource() override { ++selections; }
    AcquiredScan acquire() override { return outcome; }

    AcquiredScan outcome;
    int selections = 0;
};

struct Shown {
    QString text;
    QString title;
    UserPrompts::Icon icon;
};

// Answers the questions from a script and records every message.
class ScriptedPrompts : public UserPrompts {
public:
    void message(const QString& text, const QString& title, Icon icon) override {
        messages.push_back({text, title, icon});
    }
    bool askYesNo(const QString& text, const QString& title) override {
        questions.push_back({text, title, Icon::Information});
        return answerYes;
    }
    std::optional<QString> saveFileName(const QString& filter) override {
        filters << filter;
        return fileName;
    }

    std::optional<QString> fileName;
    bool answerYes = false;
    std::deque<Shown> messages;
    std::deque<Shown> questions;
    QStringList filters;
};

class ScanTab : public ::testing::Test {
protected:
    void SetUp() override { vexa::base::setProgramFolderForTesting(folder.path()); }
    void TearDown() override { vexa::base::setProgramFolderForTesting(QString()); }

    void expectOnlyMessage(const QString& text, const QString& title, UserPrompts::Icon icon) {
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, text);
        EXPECT_EQ(prompts.messages[0].title, title);
        EXPECT_EQ(prompts.messages[0].icon, icon);
    }
    void expectNotAcquired() {
        expectOnlyMessage("Unable to acquire image!", "Unable to acquire image!",
                          UserPrompts::Icon::Error);
    }
    void expectSaved() {
        expectOnlyMessage("File Saved", "Successfully saved file.", UserPrompts::Icon::Information);
    }
    void expectNotSaved() {
        expectOnlyMessage("File Not Saved", "Unable to save file.", UserPrompts::Icon::Error);
    }

    QTemporaryDir folder;
    vexa::widgets::PictureHolder holder;
    FakeScanner scanner;
    ScriptedPrompts prompts;
    ScanCommands commands{holder, scanner, prompts};
    vexa::imageio::PictureWriter m_pictureWriter;
    const QImage scanned = vexa::test::patternImage(60, 40);
};

TEST_F(ScanTab, SourceAsksTheScanner) {
    commands.source();
    EXPECT_EQ(scanner.selections, 1);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ScanTab, AcquireShowsTheScanWithoutAFileOnDisk) {
    scanner.outcome = {AcquiredScan::Status::Scanned, scanned};
    commands.acquire();
    EXPECT_EQ(holder.picture().convertToFormat(QImage::Format_RGB32), scanned);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList());
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ScanTab, WithoutAScanThePictureStaysAndTheMessageSaysWhy) {
    holder.setPicture(scanned);
    // Cancelled, or a scan that came back empty.
    for (const AcquiredScan& outcome : {AcquiredScan{AcquiredScan::Status::Cancelled, {}},
                                        AcquiredScan{AcquiredScan::Status::Scanned, {}}}) {
        prompts.messages.clear();
        scanner.outcome = outcome;
        commands.acquire();
        expectNotAcquired();
        EXPECT_EQ(holder.picture(), scanned);
    }
    prompts.messages.clear();
    scanner.outcome = {AcquiredScan::Status::NoScanner, {}};
    commands.acquire();
    expectOnlyMessage("No scanner was found. Connect a scanner and choose it with Source.",
                      "Unable to acquire image!", UserPrompts::Icon::Error);
    EXPECT_EQ(holder.picture(), scanned);
}

TEST_F(ScanTab, SaveWritesEachOfTheFiveFormats) {
    holder.setPicture(scanned);
    const struct {
        const char* name;
        const char* format;
    } cases[] = {
        {"a.BMP", "bmp"}, {"a.GIF", "gif"}, {"a.JPG", "jpeg"}, {"a.PNG", "png"}, {"a.TIF", "tiff"}};
    for (const auto& c : cases) {
        prompts.messages.clear();
        prompts.fileName = folder.filePath(c.name);
        commands.save(m_pictureWriter);
        expectSaved();
        QImageReader reader(folder.filePath(c.name));
        reader.setDecideFormatFromContent(true);
        EXPECT_EQ(reader.format(), c.format) << c.name;
        EXPECT_EQ(reader.read().size(), scanned.size()) << c.name;
    }
    EXPECT_EQ(prompts.filters.first(), "BMP|*.BMP|GIF|*.GIF|JPG|*.JPG|PNG|*.PNG|TIF|*.TIF");
    EXPECT_TRUE(prompts.questions.empty());
}

TEST_F(ScanTab, SaveAsJpegUsesQuality85) {
    holder.setPicture(scanned);
    prompts.fileName = folder.filePath("cover.jpg");
    commands.save(m_pictureWriter);
    expectSaved();
    QFile file(*prompts.fileName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(vexa::test::jpegQuantTables(file.readAll()).at(0),
              vexa::test::libjpegLuminanceTable(85));
}

TEST_F(ScanTab, OnlyAnUpperCaseBmpEndingTakesTheBitmapRoutine) {
    holder.setPicture(scanned);
    // No dot: the bitmap routine writes it anyway, the picture writer finds no extension.
    prompts.fileName = folder.filePath("coverBMP");
    commands.save(m_pictureWriter);
    expectSaved();
    EXPECT_EQ(QImageReader(*prompts.fileName).format(), "bmp");

    prompts.messages.clear();
    prompts.fileName = folder.filePath("coverbmp");
    commands.save(m_pictureWriter);
    expectNotSaved();
    EXPECT_FALSE(QFile::exists(*prompts.fileName));
}

TEST_F(ScanTab, SaveFailsWithOneMessage) {
    // Nothing scanned yet: said so, before any file name is asked for.
    prompts.fileName = folder.filePath("a.png");
    commands.save(m_pictureWriter);
    expectOnlyMessage("There is no scanned picture to save. Scan one with Acquire first.",
                      "File Not Saved", UserPrompts::Icon::Error);
    EXPECT_TRUE(prompts.filters.isEmpty());
    EXPECT_FALSE(QFile::exists(*prompts.fileName));
    holder.setPicture(scanned);
    // Cancelled dialog, no extension, an extension no encoder lists, a missing folder.
    const std::optional<QString> names[] = {std::nullopt, folder.filePath("cover"),
                                            folder.filePath("cover.xyz"),
                                            folder.filePath("missing/cover.png")};
    for (const auto& name : names) {
        prompts.messages.clear();
        prompts.fileName = name;
        commands.save(m_pictureWriter);
        expectNotSaved();
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList());
}

TEST_F(ScanTab, ReplacingAFileAsksFirst) {
    holder.setPicture(scanned);
    const QString name = folder.filePath(".hidden cover.png"); // hidden files count too
    QFile old(name);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();

    prompts.fileName = name;
    prompts.answerYes = false;
    commands.save(m_pictureWriter);
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].text,
              name + " already exists. Do you want to replace this file?");
    EXPECT_EQ(prompts.questions[0].title, "File Already Exists");
    EXPECT_TRUE(prompts.messages.empty());
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old");
    old.close();

    prompts.answerYes = true;
    commands.save(m_pictureWriter);
    expectSaved();
    EXPECT_EQ(QImage(name).size(), scanned.size());
}

TEST_F(ScanTab, AFolderOfThatNameIsNotAFileToReplace) {
    holder.setPicture(scanned);
    ASSERT_TRUE(QDir(folder.path()).mkdir("covers.png"));
    prompts.fileName = folder.filePath("covers.png");
    commands.save(m_pictureWriter);
    EXPECT_TRUE(prompts.questions.empty());
    expectNotSaved();
}

// The Scan tab with the real scanner adapter and the SANE test scanner.
class ScanTabWithScanner : public ScanTab {
protected:
    void SetUp() override {
        ScanTab::SetUp();
        vexa::test::resetTestScanner("test:0");
    }

    SaneScannerAccess sane{nullptr};
    ScanCommands realCommands{holder, sane, prompts};
    const QString transfer = folder.filePath("temp.bmp"); // no scan passes through a file
};

TEST_F(ScanTabWithScanner, ASecondScanReplacesTheFirst) {
    vexa::test::clickScanWhenReady(false);
    realCommands.acquire();
    const QImage first = holder.picture();
    EXPECT_NEAR(first.width(), 40 / 25.4 * 50, 1.0);
    EXPECT_FALSE(QFile::exists(transfer));

    vexa::test::clickScanWhenReady(true);
    realCommands.acquire();
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_FALSE(vexa::test::isGray(first));
    EXPECT_TRUE(vexa::test::isGray(holder.picture()));
    EXPECT_EQ(holder.picture().size(), first.size());
    EXPECT_FALSE(QFile::exists(transfer));
}

TEST_F(ScanTabWithScanner, AnUnwritableProgramFolderScansThroughAPrivateFolder) {
    // The remembered scanner is then looked up in the configuration folder: keep it here.
    QTemporaryDir config;
    const bool hadConfig = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    holder.setPicture(scanned);
    ASSERT_TRUE(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
    {
        vexa::test::ObeyFilePermissions obey;
        vexa::test::clickScanWhenReady(true);
        realCommands.acquire();
    }
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (hadConfig)
        qputenv("XDG_CONFIG_HOME", savedConfig);
    else
        qunsetenv("XDG_CONFIG_HOME");
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(vexa::test::isGray(holder.picture()));
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

} // namespace
