// Damaged and hostile project files: each is refused with one sentence that names the file
// and what is wrong, and the set that was open stays as it was. The files are made here from
// the format's description: project.json written key by key, archives spoilt byte by byte.
#include "support/ProjectFixtures.h"
#include "support/TestSupport.h"

#include "core/project/ProjectArchive.h"
#include "core/project/ProjectDocument.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

using namespace vexa;
using project::ArchiveEntry;

namespace {

const QByteArray& frontJpeg() {
    static const QByteArray bytes = test::jpegFile(16, 16);
    return bytes;
}

QString hexHash(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QJsonObject coverJson(const QString& entry, const QByteArray& bytes, int width, int height) {
    return {{"entry", entry}, {"sha256", hexHash(bytes)}, {"bytes", bytes.size()},
            {"width", width}, {"height", height},         {"edited", false}};
}

QJsonObject manifestWith(const QJsonObject& covers) {
    return {{"format", "VEXA project"},
            {"version", 1},
            {"covers", covers},
            {"print", QJsonObject{{"covers", QJsonArray{"Front"}},
                                  {"paper", "Letter"},
                                  {"marks", false},
                                  {"bleed", 0}}}};
}

QJsonObject frontManifest() {
    return manifestWith({{"Front", coverJson("front.jpg", frontJpeg(), 16, 16)}});
}

QByteArray archive(const QByteArray& json, QList<ArchiveEntry> entries) {
    entries.prepend({"project.json", json, true});
    return project::zipArchive(entries);
}

QByteArray archive(const QJsonObject& manifest, QList<ArchiveEntry> entries) {
    return archive(QJsonDocument(manifest).toJson(), std::move(entries));
}

QByteArray validProject() {
    return archive(frontManifest(), {{"front.jpg", frontJpeg(), false}});
}

void putLe32(QByteArray& data, qsizetype at, quint32 value) {
    for (int i = 0; i < 4; ++i) data[at + i] = char((value >> (8 * i)) & 255);
}

int le16(const QByteArray& data, qsizetype at) {
    return uchar(data[at]) | (uchar(data[at + 1]) << 8);
}

// Makes the entry `name` declare `size` bytes expanded, in its local header and in the
// central directory alike (the ZIP format's fields at offsets 22 and 24).
QByteArray declaringSize(QByteArray zip, const QByteArray& name, quint32 size) {
    for (qsizetype at = zip.indexOf("PK"); at >= 0; at = zip.indexOf("PK", at + 1)) {
        if (zip.mid(at, 4) == "PK\x03\x04" && le16(zip, at + 26) == name.size() &&
            zip.mid(at + 30, name.size()) == name)
            putLe32(zip, at + 22, size);
        if (zip.mid(at, 4) == "PK\x01\x02" && le16(zip, at + 28) == name.size() &&
            zip.mid(at + 46, name.size()) == name)
            putLe32(zip, at + 24, size);
    }
    return zip;
}

QByteArray withJson(const std::function<void(QJsonObject&)>& change) {
    QJsonObject manifest = frontManifest();
    change(manifest);
    return archive(manifest, {{"front.jpg", frontJpeg(), false}});
}

QByteArray withFrontField(const char* key, const QJsonValue& value) {
    return withJson([key, value](QJsonObject& manifest) {
        QJsonObject covers = manifest["covers"].toObject();
        QJsonObject front = covers["Front"].toObject();
        front[key] = value;
        covers["Front"] = front;
        manifest["covers"] = covers;
    });
}

// A project whose Front entry holds `bytes`, recorded truthfully.
QByteArray frontHolding(const QByteArray& bytes, int width, int height) {
    return archive(manifestWith({{"Front", coverJson("front.jpg", bytes, width, height)}}),
                   {{"front.jpg", bytes, false}});
}

struct Hostile {
    const char* what;
    std::function<QByteArray()> file;
    const char* reason;
};

const Hostile kHostile[] = {
    {"no ZIP", [] { return QByteArray("just some text\n"); },
     "it is not a VEXA project (it is no ZIP archive)"},
    {"empty", [] { return QByteArray(); }, "it is empty"},
    {"cut short", [] { return validProject().left(validProject().size() / 2); },
     "it is damaged or cut short"},
    {"end cut off", [] { return validProject().chopped(8); }, "it is damaged or cut short"},
    {"a byte of a picture changed",
     [] {
         QByteArray zip = validProject();
         zip[zip.indexOf(frontJpeg()) + frontJpeg().size() / 2] ^= 0x40;
         return zip;
     },
     "its entry 'front.jpg' is damaged"},
    {"an entry past the picture budget",
     [] { return declaringSize(withFrontField("bytes", 2147483648.0), "front.jpg", 0x80000000u); },
     "its entry 'front.jpg' would expand to 2 GiB, more than the 1 GiB VEXA reads"},
    {"a ZIP bomb: more than it declares",
     [] {
         const QByteArray zeros(8 << 20, '\0');
         return declaringSize(
             archive(manifestWith({{"Front", coverJson("front.bmp", zeros.left(1000), 1, 1)}}),
                     {{"front.bmp", zeros, true}}),
             "front.bmp", 1000);
     },
     "its entry 'front.bmp' expands past the size it declares (a ZIP bomb)"},
    {"a ZIP bomb: thousands of entries",
     [] {
         QList<ArchiveEntry> entries{{"front.jpg", frontJpeg(), false}};
         for (int i = 0; i < 2000; ++i)
             entries.append({"x" + QByteArray::number(i), QByteArray(1, 'x'), false});
         return archive(frontManifest(), entries);
     },
     "it holds 2002 entries, far more than a VEXA project (a ZIP bomb)"},
    {"a ZIP bomb: entries declaring more than a set",
     [] {
         QList<ArchiveEntry> entries{{"front.jpg", frontJpeg(), false}};
         for (int i = 0; i < 12; ++i) entries.append({"x" + QByteArray::number(i), "x", false});
         QByteArray zip = archive(frontManifest(), entries);
         for (int i = 0; i < 12; ++i)
             zip = declaringSize(zip, "x" + QByteArray::number(i), 0xF0000000u);
         return zip;
     },
     "its entries would expand to more than 11 GiB, far more than a set of covers (a ZIP "
     "bomb)"},
    {"a name with ..",
     [] {
         return archive(frontManifest(),
                        {{"front.jpg", frontJpeg(), false}, {"../evil.sh", "echo", false}});
     },
     "it holds an entry named '../evil.sh', which is no plain file name"},
    {"a name with /",
     [] {
         return archive(frontManifest(),
                        {{"front.jpg", frontJpeg(), false}, {"covers/a.jpg", "x", false}});
     },
     "it holds an entry named 'covers/a.jpg', which is no plain file name"},
    {"a name with NUL",
     [] {
         return archive(frontManifest(),
                        {{"front.jpg", frontJpeg(), false}, {"abXcd.jpg", "x", false}})
             .replace("abXcd.jpg", QByteArray("ab\0cd.jpg", 9));
     },
     "it holds an entry named 'ab cd.jpg', which is no plain file name"},
    {"two entries of one name",
     [] {
         return archive(frontManifest(),
                        {{"front.jpg", frontJpeg(), false}, {"frony.jpg", frontJpeg(), false}})
             .replace("frony.jpg", "front.jpg");
     },
     "it holds two entries of the same name"},
    {"no project.json",
     [] {
         return project::zipArchive({{"front.jpg", frontJpeg(), false}});
     },
     "it is not a VEXA project (it holds no project.json)"},
    {"project.json over 1 MiB", [] { return archive(QByteArray(1 << 20, ' ') + "{}", {}); },
     "its project.json is over 1 MiB"},
    {"project.json no JSON", [] { return archive(QByteArray("{\"format\":"), {}); },
     "its project.json is damaged (no JSON object)"},
    {"another program's JSON",
     [] { return archive(QByteArray("{\"format\": \"OtherApp\", \"version\": 1}"), {}); },
     "it is not a VEXA project (its project.json says otherwise)"},
    {"covers not an object",
     [] { return withJson([](QJsonObject& m) {
              m["covers"] = QJsonArray{1, 2};
          }); },
     "its project.json is damaged (\"covers\" of the project is not an object)"},
    {"a width as text", [] { return withFrontField("width", "wide"); },
     "its project.json is damaged (\"width\" of the CD front cover is not a number)"},
    {"no entry name",
     [] {
         return withJson([](QJsonObject& m) {
             m["covers"] = QJsonObject{{"Front", QJsonObject{{"sha256", hexHash("x")}}}};
         });
     },
     "its project.json is damaged (the CD front cover has no \"entry\")"},
    {"an entry name with ..", [] { return withFrontField("entry", "../front.jpg"); },
     "its project.json is damaged (the entry of the CD front cover is not a plain file name)"},
    {"a paper VEXA does not know",
     [] {
         return withJson([](QJsonObject& m) {
             QJsonObject print = m["print"].toObject();
             print["paper"] = "Tabloid";
             m["print"] = print;
         });
     },
     "its project.json is damaged (the paper \"Tabloid\" is none VEXA knows)"},
    {"a crop off the picture",
     [] {
         return withFrontField("crop", QJsonArray{0.5, 1.5});
     },
     "its project.json is damaged (the crop of the CD front cover is not two fractions)"},
    {"a fit VEXA does not know", [] { return withFrontField("fit", "zoom"); },
     "its project.json is damaged (the fit \"zoom\" of the CD front cover is none VEXA knows)"},
    {"copies past twenty",
     [] {
         return withJson([](QJsonObject& m) {
             QJsonObject print = m["print"].toObject();
             print["copies"] = 1e9;
             m["print"] = print;
         });
     },
     "its project.json is damaged (the copies are not a whole number from 1 to 20)"},
    {"a newer VEXA's", [] { return withJson([](QJsonObject& m) { m["version"] = 2; }); },
     "it was saved by a newer VEXA (project format 2; this VEXA reads format 1 and older)"},
    {"a picture entry missing", [] { return archive(frontManifest(), {}); },
     "it lacks the picture of the CD front cover ('front.jpg')"},
    {"a picture of another size in bytes", [] { return withFrontField("bytes", 12); },
     "the picture of the CD front cover is not the size project.json records"},
    {"a picture of another size in pixels", [] { return withFrontField("width", 17); },
     "the picture of the CD front cover is not the size project.json records"},
    {"a picture that is not the one recorded",
     [] { return withFrontField("sha256", hexHash("another picture")); },
     "the picture of the CD front cover does not match its SHA-256 (it was changed or "
     "damaged)"},
    {"no picture", [] { return frontHolding("not a picture at all", 16, 16); },
     "the picture of the CD front cover is no picture VEXA reads"},
    {"a picture over the pixel limit",
     [] { return frontHolding(test::bmpDeclaring(23000, 23000), 23000, 23000); },
     "the picture of the CD front cover is refused: the picture is 23000 x 23000 pixels (529 "
     "megapixels); VEXA reads pictures of up to 250 megapixels"},
};

class HostileProject : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        covers.setPicture(cover::CoverKind::Dvd,
                          test::pictureFile(folder.path(), "dvd.jpg", test::jpegFile(20, 10)));
    }

    // Opens the file in a document over the set; its sentence, or why there is none.
    QString refusal(const QString& path) {
        const picture::LoadedPicture before = covers.picture(cover::CoverKind::Dvd);
        project::ProjectDocument document(covers, {qint64(1) << 30, folder.filePath("state"), 0});
        QSignalSpy failed(&document, &project::ProjectDocument::openFailed);
        QSignalSpy opened(&document, &project::ProjectDocument::opened);
        document.open(base::FilePath::fromText(path));
        if (!failed.wait(60000)) return QStringLiteral("(opened)");
        // The open set stays as it was.
        EXPECT_EQ(covers.picture(cover::CoverKind::Dvd).pixels.cacheKey(),
                  before.pixels.cacheKey());
        EXPECT_EQ(covers.filled(), cover::CoverKinds(cover::CoverKind::Dvd));
        EXPECT_TRUE(document.path().isEmpty());
        EXPECT_FALSE(document.isModified());
        EXPECT_EQ(opened.count(), 0);
        return failed[0][0].toString();
    }

    QTemporaryDir folder;
    cover::CoverSet covers;
};

} // namespace

TEST_F(HostileProject, IsRefusedWithOneSentenceAndTheSetKept) {
    const QString path = folder.filePath("hostile.vexa");
    for (const Hostile& hostile : kHostile) {
        SCOPED_TRACE(hostile.what);
        test::writeFileBytes(path, hostile.file());
        EXPECT_EQ(refusal(path).toStdString(),
                  QStringLiteral("'hostile.vexa' cannot be opened: %1.")
                      .arg(QLatin1String(hostile.reason))
                      .toStdString());
    }
    // And the untouched project opens.
    test::writeFileBytes(path, validProject());
    EXPECT_TRUE(project::readProject(validProject(), "valid.vexa").project);
}

TEST_F(HostileProject, WhatIsNoFileIsNeverRead) {
    const QString fifo = folder.filePath("fifo.vexa");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    EXPECT_EQ(refusal(fifo).toStdString(), "'fifo.vexa' cannot be opened: it is no regular file.");
    EXPECT_EQ(refusal(folder.path()).toStdString(), ("'" + QFileInfo(folder.path()).fileName() +
                                                     "' cannot be opened: it is no regular file.")
                                                        .toStdString());
    EXPECT_EQ(refusal(folder.filePath("gone.vexa")).toStdString(),
              "'gone.vexa' cannot be opened: it does not exist.");
}
