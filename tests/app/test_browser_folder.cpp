#include "app/BrowserFolder.h"
#include "core/base/FilePath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vexa;

// Every format VEXA opens: GIF, JPG, JPEG and BMP, and PNG, TIF, TIFF and WEBP.
TEST(BrowserFolder, PatternMatchesTheExtensionsOfEveryFormatVexaOpensInAnyCase) {
    for (const char* name : {"a.gif", "B.JPG", "c.Jpeg", "d.bmp", "x.y.JPG", "a.png", "e.PNG",
                             "f.tif", "g.Tiff", "h.TIFF", "i.webp", "j.WebP"})
        EXPECT_TRUE(app::matchesPicturePattern(name)) << name;
    for (const char* name :
         {"b.jpe", "c.bmpx", "gif", ".gif.txt", "jpg", "png", "k.tga", "l.pngx", "m.web", "n.ti"})
        EXPECT_FALSE(app::matchesPicturePattern(name)) << name;
}

TEST(BrowserFolder, JoiningAddsASlashOnlyWhenMissing) {
    EXPECT_EQ(app::joinFolderAndFile("/", "a.jpg"), "/a.jpg");
    EXPECT_EQ(app::joinFolderAndFile("/media/usb/", "a.jpg"), "/media/usb/a.jpg");
    EXPECT_EQ(app::joinFolderAndFile("/home/ann", "a.jpg"), "/home/ann/a.jpg");
}

TEST(BrowserFolder, ListsPicturesAndFoldersSortedWithoutHiddenOnes) {
    QTemporaryDir dir;
    for (const char* name : {"b.JPG", "A.gif", "c.png", ".hidden.jpg", "z.bmp", "notes.txt"}) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    for (const char* name : {"Zeta", "alpha", ".cache", "Beta.jpg"})
        ASSERT_TRUE(QDir(dir.path()).mkdir(name));
    // Links count by what they lead to: a file yes; a folder or nothing no.
    ASSERT_TRUE(QFile::link(dir.filePath("z.bmp"), dir.filePath("link.jpg")));
    ASSERT_TRUE(QFile::link(dir.filePath("alpha"), dir.filePath("folder.jpg")));
    ASSERT_TRUE(QFile::link(dir.filePath("gone.gif"), dir.filePath("dangling.gif")));
    EXPECT_EQ(app::pictureFilesIn(dir.path()),
              QStringList({"A.gif", "b.JPG", "c.png", "link.jpg", "z.bmp"}));
    EXPECT_EQ(app::subfoldersOf(dir.path()),
              QStringList({"alpha", "Beta.jpg", "folder.jpg", "Zeta"}));
    EXPECT_TRUE(app::pictureFilesIn(dir.filePath("missing")).isEmpty());
}

// Names are bytes: one that is not UTF-8 is listed as text that gives its bytes back.
TEST(BrowserFolder, ListsNamesThatAreNotUtf8SoThatTheyOpen) {
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + "/d\xe9j\xe0";
    ASSERT_EQ(::mkdir(folder.constData(), 0700), 0);
    const QByteArray file = folder + "/caf\xe9.jpg";
    ASSERT_EQ(::close(::open(file.constData(), O_WRONLY | O_CREAT, 0600)), 0);
    const QString folderText = vexa::base::fileNameText(folder);
    EXPECT_EQ(app::subfoldersOf(dir.path()), QStringList{vexa::base::fileNameText("d\xe9j\xe0")});
    const QStringList files = app::pictureFilesIn(folderText);
    ASSERT_EQ(files, QStringList{vexa::base::fileNameText("caf\xe9.jpg")});
    EXPECT_EQ(vexa::base::FilePath::fromText(app::joinFolderAndFile(folderText, files[0])).bytes(),
              file);
}

TEST(BrowserFolder, TreeShowsTheWayDownFromTheDriveThenTheSubfolders) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("covers/dvd"));
    ASSERT_TRUE(QDir(dir.path()).mkpath("covers/cd"));
    const QString covers = dir.filePath("covers");
    const QList<app::FolderTreeEntry> tree = app::folderTree(dir.path(), covers);
    ASSERT_EQ(tree.size(), 4);
    EXPECT_EQ(tree[0].path, dir.path());
    EXPECT_TRUE(tree[0].open);
    EXPECT_EQ(tree[1].name, "covers");
    EXPECT_EQ(tree[1].depth, 1);
    EXPECT_TRUE(tree[1].open);
    EXPECT_EQ(tree[2].path, covers + "/cd");
    EXPECT_FALSE(tree[2].open);
    EXPECT_EQ(tree[3].name, "dvd");
    EXPECT_EQ(tree[3].depth, 2);

    // A folder that is not on the given drive is shown from the root down.
    const QList<app::FolderTreeEntry> elsewhere = app::folderTree("/media/none", covers);
    EXPECT_EQ(elsewhere.first().path, "/");
}
