#pragma once

#include "core/base/FilePath.h"
#include "core/picture/PictureFile.h"
#include "core/project/Project.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>
#include <optional>

namespace vexa::project {

// A .vexa file is never larger than eleven pictures at the largest file VEXA reads and a
// description.
qint64 maxProjectFileBytes();

// What opening a project file gave: the complete project, or nothing and one sentence.
struct OpenedProject {
    std::optional<Project> project;
    // A recovery copy: the project file the set belongs to; empty otherwise.
    base::FilePath savedAs;
    // Why there is no project: one sentence naming the file and what is wrong with it.
    QString failure;
};

// Reads a project file completely, in memory (nothing is ever extracted to disk), and
// decodes each picture once, on every core. Refused with one sentence ("'covers.vexa' cannot
// be opened: it is damaged or cut short."): a file that is missing, empty, no regular file or too
// large; no ZIP archive or cut short; entries of the same name or whose names hold "..",
// "/" or NUL; a ZIP bomb (thousands of entries, or entries that declare or expand to more
// than a set of covers could hold); a project.json over 1 MiB, not of the shape VEXA writes,
// or from a newer VEXA; a picture entry that is missing, over the picture file limit, not
// the size or SHA-256 project.json records, or refused by VEXA's picture reader. Either the
// whole project comes back or none of it: the caller's set stays as it was. Safe to call
// from a worker. With `only`, the pictures of the other kinds are neither read nor checked,
// and come back empty (a print of some covers). With Decoding::NotForPassThrough, a JPEG a
// page takes as its own data is checked as thoroughly but not decoded (see
// picture::readPictureFile): opening is then mostly reading, and the pixels can follow
// (decodeCheckedPictures).
OpenedProject openProject(const base::FilePath& path,
                          cover::CoverKinds only = cover::kEveryCoverKind,
                          picture::Decoding decoding = picture::Decoding::Always);

// The same for a file's bytes already in memory, named `fileName` in the sentence.
OpenedProject readProject(const QByteArray& data, const QString& fileName,
                          cover::CoverKinds only = cover::kEveryCoverKind,
                          picture::Decoding decoding = picture::Decoding::Always);

// Gets the pixels of a picture that was checked but not decoded: its file's bytes and
// their pixels. Called on the worker that decoded them.
using DecodedPixels = std::function<void(const QByteArray& bytes, const QImage& pixels)>;

// Decodes the pictures of `records` that were checked but not decoded, each file's bytes
// once, side by side on every core, handing each to `decoded` as it is done. Stops starting
// new ones once `cancelled` says so. A picture that no longer decodes (memory ran out) is
// left out.
void decodeCheckedPictures(const cover::CoverRecords& records, const DecodedPixels& decoded,
                           const std::function<bool()>& cancelled = {});

} // namespace vexa::project
