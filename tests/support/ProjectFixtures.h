#pragma once

// Sets of covers for the tests of project files, made from picture files a test writes.

#include "support/JpegEncoder.h"
#include "support/TestSupport.h"

#include "core/base/FilePath.h"
#include "core/picture/PictureFile.h"
#include "core/project/Project.h"

#include <QDir>
#include <QImage>
#include <QString>

namespace vexa::test {

// Writes `bytes` as the file `name` in `folder` and reads it as VEXA reads a picture file.
inline picture::LoadedPicture pictureFile(const QString& folder, const QString& name,
                                          const QByteArray& bytes) {
    const QString path = QDir(folder).filePath(name);
    writeFileBytes(path, bytes);
    return picture::readPictureFile(base::FilePath::fromText(path));
}

// A JPEG written by libjpeg's own encoder.
inline QByteArray jpegFile(int width, int height) {
    return encodeJpeg(patternImage(width, height), JpegCoding{});
}

// A set of every kind of record a project keeps, its files written into `folder`: Front an
// unchanged JPEG, DVD the same file again, Back an unchanged PNG with transparent parts,
// Inside an edited JPEG, Mini a grey scan made in VEXA. Front, DVD and Mini are chosen, on
// A4 with marks and 3 mm of bleed.
inline project::Project sampleProject(const QString& folder) {
    project::Project project;
    const picture::LoadedPicture front = pictureFile(folder, "front.jpg", jpegFile(64, 48));
    project.covers[cover::CoverKind::Front] = front;
    project.covers[cover::CoverKind::Dvd] = pictureFile(folder, "front.jpg", jpegFile(64, 48));
    QImage seeThrough(30, 20, QImage::Format_ARGB32);
    seeThrough.fill(qRgba(200, 40, 40, 100));
    project.covers[cover::CoverKind::Back] =
        pictureFile(folder, "back.png", encodeWithQt(seeThrough, "png"));
    const picture::LoadedPicture inside = pictureFile(folder, "inside.jpg", jpegFile(40, 30));
    project.covers[cover::CoverKind::Inside] = inside.edited(inside.pixels.mirrored(true, false));
    QImage scan(25, 35, QImage::Format_Grayscale8);
    for (int y = 0; y < scan.height(); ++y)
        for (int x = 0; x < scan.width(); ++x) scan.scanLine(y)[x] = uchar(x * 9 + y * 3);
    project.covers[cover::CoverKind::Mini] = picture::LoadedPicture::made(scan);
    project.print.chosen = cover::CoverKind::Front | cover::CoverKind::Dvd | cover::CoverKind::Mini;
    project.print.paper = cover::PaperChoice::A4;
    project.print.trim = cover::TrimOptions{true, 3.0};
    project.print.sheets = cover::SheetChoices{cover::SheetLayout::AsManyAsFit, 3};
    project.covers.framing(cover::CoverKind::Dvd) = {cover::CoverFit::Fill, {0.25, 0.75}};
    project.covers.framing(cover::CoverKind::Mini) = {cover::CoverFit::Fit, {0.5, 0.5}};
    return project;
}

} // namespace vexa::test
