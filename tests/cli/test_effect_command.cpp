// `vexa-cli effect` as a user runs it: exit statuses, messages, and output files that are
// either complete or absent.

#include "effects/QImageEffect.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CliRun {
    int status;
    QString out;
    QString err;
};

CliRun runCli(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(VEXA_CLI_PATH), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

class EffectCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        picture = QImage(31, 17, QImage::Format_RGB32);
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 31; ++x) picture.setPixel(x, y, qRgb(x * 8, y * 15, (x * y) % 256));
        ASSERT_TRUE(picture.save(path("in.png")));
    }
    QString path(const QString& name) const { return folder.filePath(name); }

    QTemporaryDir folder;
    QImage picture;
};

TEST_F(EffectCommand, WritesTheEffectsResultInTheOutputsFormat) {
    const CliRun run =
        runCli({"effect", "Edge Enhance", "--param", "3", path("in.png"), path("out.png")});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()); // no progress bar when stderr is no terminal
    std::int32_t progress = 0;
    QImage expected = picture;
    vexa::effects::EffectEngine engine;
    ASSERT_EQ(vexa::effects::applyEffect(engine, expected, 6, 3, progress).status,
              vexa::effects::EffectStatus::Done);
    EXPECT_EQ(QImage(path("out.png")).convertToFormat(QImage::Format_RGB32), expected);
    EXPECT_EQ(runCli({"effect", "negative", path("in.png"), path("out.jpg")}).status, 0);
    EXPECT_EQ(QImage(path("out.jpg")).size(), picture.size());
}

TEST_F(EffectCommand, FailuresExitWithOneAndLeaveNoOutputFile) {
    const QStringList failing[] = {
        {"effect", "sharpen", "--param", "-8", path("in.png"), path("out.png")}, // refused
        {"effect", "blur", path("missing.png"), path("out.png")},
        {"effect", "blur", path("in.png"), path("out.unknown")},
        {"effect", "blur", path("in.png"), path("no/such/folder/out.png")},
    };
    for (const QStringList& arguments : failing) {
        const CliRun run = runCli(arguments);
        EXPECT_EQ(run.status, 1) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"in.png"});
    }
}

TEST_F(EffectCommand, UsageErrorsExitWithTwoAndTheListShowsEveryEffect) {
    EXPECT_EQ(runCli({}).status, 2);
    EXPECT_EQ(runCli({"nosuchcommand"}).status, 2);
    EXPECT_EQ(runCli({"effect", "99", path("in.png"), path("out.png")}).status, 2);
    EXPECT_EQ(runCli({"effect", "blur", path("in.png")}).status, 2);
    const CliRun list = runCli({"effect", "--list"});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.out.count('\n'), 32); // a heading and 31 effects
    EXPECT_TRUE(list.out.contains("18  Black & White"));
    EXPECT_EQ(runCli({"--help"}).status, 0);
}

} // namespace
