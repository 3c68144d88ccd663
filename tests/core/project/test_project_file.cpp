// The .vexa file: saved, its originals deleted, opened again: every picture pixel for pixel,
// unchanged ones as their very bytes, edited ones still naming their original, the print
// choices kept. The archive is read back by a second program, Info-ZIP's unzip.
#include "support/ProjectFixtures.h"
#include "support/TestSupport.h"

#include "core/project/ProjectArchive.h"
#include "core/project/ProjectDocument.h"
#include "core/project/ProjectManifest.h"
#include "core/project/ProjectOpen.h"
#include "core/project/ProjectSave.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

using namespace vexa;
using cover::CoverKind;

namespace {

QByteArray unzip(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("unzip"), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

base::FilePath filePath(const QString& path) {
    return base::FilePath::fromText(path);
}

} // namespace

TEST(ProjectFile, ComesBackWholeWithoutItsOriginals) {
    QTemporaryDir originals;
    QTemporaryDir saved;
    const project::Project project = test::sampleProject(originals.path());
    const QByteArray frontJpeg = test::fileBytes(originals.filePath("front.jpg"));
    const QString path = saved.filePath("covers.vexa");
    project::EncodedPictures encoded;
    ASSERT_EQ(project::saveProject(filePath(path), project, encoded), QString());
    ASSERT_TRUE(QDir(originals.path()).removeRecursively());

    const project::OpenedProject opened = project::openProject(filePath(path));
    ASSERT_TRUE(opened.project) << opened.failure.toStdString();
    const cover::CoverRecords& back = opened.project->covers;
    for (CoverKind kind : cover::kAllCoverKinds) {
        SCOPED_TRACE(cover::coverName(cover::coverFormat(kind)).toStdString());
        const picture::LoadedPicture& before = project.covers[kind];
        EXPECT_EQ(back[kind].isNull(), before.isNull());
        if (before.isNull()) continue;
        EXPECT_EQ(back[kind].pixels, before.pixels); // format, size and every pixel
        EXPECT_EQ(back[kind].changed, before.changed);
        EXPECT_EQ(back[kind].origin.path, before.origin.path);
        EXPECT_EQ(back[kind].origin.size, before.origin.size);
        EXPECT_EQ(back.framing(kind), project.covers.framing(kind));
    }
    // Unchanged: the file's very bytes, its hash as a second SHA-256 gives it.
    EXPECT_EQ(back[CoverKind::Front].bytes, frontJpeg);
    EXPECT_EQ(back[CoverKind::Front].format, "jpeg");
    EXPECT_EQ(back[CoverKind::Front].origin.sha256,
              QCryptographicHash::hash(frontJpeg, QCryptographicHash::Sha256));
    // The same bytes twice are stored and decoded once.
    EXPECT_EQ(back[CoverKind::Dvd].pixels.cacheKey(), back[CoverKind::Front].pixels.cacheKey());
    // Edited: a lossless PNG that still names its original.
    EXPECT_EQ(back[CoverKind::Inside].format, "png");
    EXPECT_EQ(QFileInfo(back[CoverKind::Inside].origin.path.text()).fileName(), "inside.jpg");
    EXPECT_FALSE(back[CoverKind::Mini].origin.isKnown());
    EXPECT_EQ(opened.project->print, project.print);
    EXPECT_TRUE(opened.savedAs.isEmpty());
}

TEST(ProjectFile, IsAZipArchiveOtherProgramsRead) {
    QTemporaryDir folder;
    const project::Project project = test::sampleProject(folder.path());
    const QString path = folder.filePath("covers.vexa");
    project::EncodedPictures encoded;
    ASSERT_EQ(project::saveProject(filePath(path), project, encoded), QString());

    unzip({"-tq", path}); // every entry's CRC
    EXPECT_EQ(
        unzip({"-Z1", path}).split('\n'),
        QByteArrayList({"project.json", "front.jpg", "inside.png", "back.png", "mini.png", ""}));
    // JPEG and PNG data are stored as they are.
    const QByteArray details = unzip({"-Zv", path, "front.jpg", "back.png"});
    EXPECT_EQ(details.count("compression method:                             none (stored)"), 2)
        << details.toStdString();
    EXPECT_EQ(unzip({"-p", path, "front.jpg"}), test::fileBytes(folder.filePath("front.jpg")));
    // libpng reads the edit's PNG as the very pixels.
    EXPECT_EQ(QImage::fromData(unzip({"-p", path, "inside.png"}), "png"),
              project.covers[CoverKind::Inside].pixels);
    const QImage mini = QImage::fromData(unzip({"-p", path, "mini.png"}), "png");
    EXPECT_EQ(mini, project.covers[CoverKind::Mini].pixels);

    const QJsonObject json = QJsonDocument::fromJson(unzip({"-p", path, "project.json"})).object();
    EXPECT_EQ(json["version"].toInt(), 1);
    const QJsonObject dvd = json["covers"].toObject()["DVD"].toObject();
    EXPECT_EQ(dvd["entry"].toString(), "front.jpg");
    EXPECT_EQ(dvd["width"].toInt(), 64);
    EXPECT_EQ(dvd["edited"].toBool(), false);
    EXPECT_EQ(dvd["original"].toObject()["path"].toString(), folder.filePath("front.jpg"));
    EXPECT_EQ(json["print"].toObject()["paper"].toString(), "A4");
    EXPECT_EQ(json["print"].toObject()["bleed"].toDouble(), 3.0);
    EXPECT_EQ(json["print"].toObject()["sheets"].toString(), "AsManyAsFit");
    EXPECT_EQ(json["print"].toObject()["copies"].toInt(), 3);
    EXPECT_EQ(dvd["fit"].toString(), "fill");
    EXPECT_EQ(dvd["crop"].toArray(), QJsonArray({0.25, 0.75}));
    EXPECT_EQ(json["covers"].toObject()["Front"].toObject()["fit"].toString(), "stretch");
}

// Later versions add keys; this one reads past them.
TEST(ProjectFile, KeysItDoesNotKnowAreIgnored) {
    QTemporaryDir folder;
    project::Project project;
    project.covers[CoverKind::Front] =
        test::pictureFile(folder.path(), "front.jpg", test::jpegFile(32, 32));
    project::EncodedPictures encoded;
    const QByteArray file = project::projectFileBytes(project, encoded);
    const QString path = folder.filePath("covers.vexa");
    test::writeFileBytes(path, file);
    QJsonObject json = QJsonDocument::fromJson(unzip({"-p", path, "project.json"})).object();
    json["sheets"] = QJsonObject{{"copies", 2}};
    QJsonObject covers = json["covers"].toObject();
    QJsonObject front = covers["Front"].toObject();
    front["tint"] = "sepia";
    covers["Front"] = front;
    covers["Poster"] = QJsonObject{{"entry", "poster.jpg"}};
    json["covers"] = covers;
    const QByteArray picture = test::fileBytes(folder.filePath("front.jpg"));
    const QByteArray extended = project::zipArchive(
        {{project::kManifestName, QJsonDocument(json).toJson(), true},
         {"front.jpg", picture, false},
         {"thumbnail.png", test::encodeWithQt(test::patternImage(4, 4), "png"), false}});

    const project::OpenedProject opened = project::readProject(extended, "covers.vexa");
    ASSERT_TRUE(opened.project) << opened.failure.toStdString();
    EXPECT_EQ(opened.project->covers[CoverKind::Front].bytes, picture);
}

// An edit is compressed once, however often the set is written; an unchanged picture never.
TEST(ProjectFile, AnEditIsCompressedOncePerChange) {
    QTemporaryDir folder;
    project::Project project = test::sampleProject(folder.path());
    project::EncodedPictures encoded;
    const QByteArray first = project::projectFileBytes(project, encoded);
    EXPECT_EQ(encoded.size(), 2); // Inside and Mini
    const QByteArray inside = encoded.png(project.covers[CoverKind::Inside].pixels);
    ASSERT_FALSE(project::projectFileBytes(project, encoded).isEmpty());
    EXPECT_EQ(encoded.png(project.covers[CoverKind::Inside].pixels).constData(),
              inside.constData()); // the same data, not made again
    project.covers[CoverKind::Inside] = {};
    project.covers[CoverKind::Mini] = {};
    ASSERT_FALSE(project::projectFileBytes(project, encoded).isEmpty());
    EXPECT_EQ(encoded.size(), 0); // forgotten with their pictures
}

// In the window the set is there once every picture is checked; a JPEG that prints as its own
// data gets its pixels after that, on the worker, and the document stays busy until then.
// Nothing of it is a change: no step to undo, nothing unsaved.
TEST(ProjectFile, OpensInADocumentBeforeItsJpegsAreDecoded) {
    QTemporaryDir originals;
    QTemporaryDir saved;
    const project::Project project = test::sampleProject(originals.path());
    const QString path = saved.filePath("covers.vexa");
    project::EncodedPictures encoded;
    ASSERT_EQ(project::saveProject(filePath(path), project, encoded), QString());

    cover::CoverSet covers;
    project::ProjectDocument document(covers, {qint64(1) << 30, saved.filePath("state"), 0});
    std::optional<picture::LoadedPicture> atOpen;
    QObject::connect(&document, &project::ProjectDocument::opened,
                     [&] { atOpen = covers.picture(CoverKind::Front); });
    QSignalSpy busy(&document, &project::ProjectDocument::busyChanged);
    document.open(filePath(path));
    ASSERT_TRUE(QTest::qWaitFor([&] { return busy.count() == 2; }, 60000));
    ASSERT_TRUE(atOpen);
    EXPECT_FALSE(atOpen->isDecoded());
    EXPECT_EQ(atOpen->size(), QSize(64, 48));
    for (CoverKind kind : cover::kAllCoverKinds) {
        SCOPED_TRACE(cover::coverName(cover::coverFormat(kind)).toStdString());
        EXPECT_EQ(covers.picture(kind).pixels, project.covers[kind].pixels);
        EXPECT_EQ(covers.framing(kind), project.covers.framing(kind));
    }
    EXPECT_EQ(covers.picture(CoverKind::Dvd).pixels.cacheKey(),
              covers.picture(CoverKind::Front).pixels.cacheKey()); // decoded once
    EXPECT_EQ(covers.picture(CoverKind::Front).bytes, project.covers[CoverKind::Front].bytes);
    EXPECT_FALSE(document.isModified());
    EXPECT_FALSE(document.history().stack().canUndo());
    EXPECT_EQ(document.printChoices(), project.print);
}
