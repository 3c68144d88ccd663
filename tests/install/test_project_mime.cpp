// The MIME type of project files, as the desktop sees it once the package is installed: the
// installed XML compiled with the system's own types by shared-mime-info's
// update-mime-database into one database, as in /usr/share/mime, read by Qt's MIME database.
#include "support/ScopedEnvironment.h"
#include "support/TestSupport.h"

#include "core/project/ProjectArchive.h"
#include "core/project/ProjectSave.h"

#include <QDir>
#include <QMimeDatabase>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vexa;

TEST(ProjectMimeType, ProjectFilesAreKnownByNameAndByContent) {
    QTemporaryDir data;
    ASSERT_TRUE(QDir().mkpath(data.filePath("mime/packages")));
    ASSERT_TRUE(QFile::copy(test::sourceDir() + "/packaging/vexa-mime.xml",
                            data.filePath("mime/packages/vexa.xml")));
    ASSERT_TRUE(QFile::copy("/usr/share/mime/packages/freedesktop.org.xml",
                            data.filePath("mime/packages/freedesktop.org.xml")));
    // Set before the database is first used in this process.
    const test::ScopedEnvironment folders("XDG_DATA_DIRS", data.path().toUtf8());
    const test::ScopedEnvironment home("XDG_DATA_HOME", data.filePath("home").toUtf8());
    QProcess update;
    update.start("update-mime-database", {data.filePath("mime")});
    ASSERT_TRUE(update.waitForFinished(60000));
    ASSERT_EQ(update.exitCode(), 0);
    EXPECT_EQ(update.readAllStandardError(), QByteArray()); // the XML is valid

    const QMimeDatabase mime;
    project::Project project;
    project::EncodedPictures encoded;
    const QByteArray file = project::projectFileBytes(project, encoded);
    const QMimeType type = mime.mimeTypeForData(file);
    EXPECT_EQ(type.name(), "application/x-vexa-project");
    EXPECT_TRUE(type.inherits("application/zip"));
    EXPECT_EQ(type.iconName(), "application-x-vexa-project");
    EXPECT_EQ(mime.mimeTypeForFile("covers.vexa", QMimeDatabase::MatchExtension).name(),
              "application/x-vexa-project");
    // Other ZIP archives stay what they are.
    EXPECT_EQ(mime.mimeTypeForData(project::zipArchive({{"readme.txt", "hello", true}})).name(),
              "application/zip");
}
