// Save never damages the file it replaces: killed while it writes, or failing part way as on a
// full disk, it leaves the old file byte for byte.
#include "support/ProjectFixtures.h"
#include "support/TestSupport.h"

#include "core/project/ProjectOpen.h"
#include "core/project/ProjectSave.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace vexa;

namespace {

class ProjectSave : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        ASSERT_EQ(project::saveProject(path(), test::sampleProject(folder.path()), encoded),
                  QString());
        old = test::fileBytes(path().text());
        ASSERT_FALSE(old.isEmpty());
    }

    base::FilePath path() const { return base::FilePath::fromText(folder.filePath("covers.vexa")); }

    // The old file is there as it was, and opens.
    void expectOldFileIntact() {
        EXPECT_EQ(test::fileBytes(path().text()), old);
        EXPECT_TRUE(project::openProject(path()).project);
    }

    QTemporaryDir folder;
    project::EncodedPictures encoded;
    QByteArray old;
};

} // namespace

TEST_F(ProjectSave, KilledWhileWritingLeavesTheOldFile) {
    QProcess child;
    child.start(QStringLiteral(PROJECT_CHILD_PATH), {"save", path().text()});
    ASSERT_TRUE(child.waitForStarted(30000));
    while (!child.canReadLine() && child.state() == QProcess::Running)
        child.waitForReadyRead(60000);
    ASSERT_EQ(child.readLine().trimmed(), "writing") << child.readAllStandardError().toStdString();
    ::kill(pid_t(child.processId()), SIGKILL);
    ASSERT_TRUE(child.waitForFinished(30000));
    expectOldFileIntact();
}

TEST_F(ProjectSave, AWriteThatFailsPartWayLeavesTheOldFile) {
    // The file size limit stops the write part way, as a full disk would.
    QImage large(1500, 1000, QImage::Format_RGB32); // noise: megabytes of PNG
    QRandomGenerator noise(26);
    for (int y = 0; y < large.height(); ++y)
        for (int x = 0; x < large.width(); ++x)
            reinterpret_cast<QRgb*>(large.scanLine(y))[x] = noise.generate();
    project::Project project;
    project.covers[cover::CoverKind::Dvd] = picture::LoadedPicture::made(large);
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = before;
    limited.rlim_cur = 1 << 20;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const QString failure = project::saveProject(path(), project, encoded);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(failure.toStdString(),
              "'covers.vexa' was not saved: there is not enough space on the disk.");
    expectOldFileIntact();
    // Nothing is left behind in the folder.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"back.png", "covers.vexa", "front.jpg", "inside.jpg"}));
}

TEST_F(ProjectSave, ThroughALinkReplacesTheFileItPointsTo) {
    const QString link = folder.filePath("link.vexa");
    ASSERT_TRUE(QFile::link(path().text(), link));
    project::Project project;
    project.covers[cover::CoverKind::Ds] = picture::LoadedPicture::made(test::patternImage(9, 9));
    ASSERT_EQ(project::saveProject(base::FilePath::fromText(link), project, encoded), QString());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    const project::OpenedProject opened = project::openProject(path());
    ASSERT_TRUE(opened.project) << opened.failure.toStdString();
    EXPECT_EQ(opened.project->covers[cover::CoverKind::Ds].pixels, test::patternImage(9, 9));
}

TEST_F(ProjectSave, IntoAFolderThatIsNotThereSaysSo) {
    EXPECT_EQ(project::saveProject(base::FilePath::fromText(folder.filePath("no/covers.vexa")),
                                   project::Project{}, encoded)
                  .toStdString(),
              "'covers.vexa' was not saved: its folder does not exist.");
}
