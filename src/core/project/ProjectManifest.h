#pragma once

#include "core/base/FilePath.h"
#include "core/cover/CoverFit.h"
#include "core/cover/CoverKind.h"
#include "core/picture/PictureFile.h"
#include "core/project/Project.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <array>
#include <optional>

namespace vexa::project {

// project.json, the description of a .vexa file: its format version, one record per cover
// kind with a picture, and the print choices. Later additions are added keys: a reader
// ignores the keys it does not know, and refuses a file of a higher format version.

// The format this VEXA writes and the highest it reads.
inline constexpr int kProjectFormatVersion = 1;
inline constexpr char kManifestName[] = "project.json";
// A description is a few kilobytes; anything larger is not one VEXA wrote.
inline constexpr qint64 kMaxManifestBytes = qint64(1) << 20;

// One cover's picture as the description records it.
struct CoverEntry {
    QByteArray entry;  // the ZIP entry holding the picture (several covers may share one)
    QByteArray sha256; // of the entry's bytes, 32 bytes
    qint64 bytes = 0;  // the entry's size
    QSize pixels;
    bool edited = false;             // stored as lossless PNG rather than as the file's bytes
    picture::PictureOrigin original; // the file it came from; unknown for a scan or a paste
    cover::Framing framing;          // the cover's fit and crop; Stretch when not recorded
};

struct Manifest {
    std::array<std::optional<CoverEntry>, cover::kCoverKindCount> covers; // by table row
    PrintChoices print;
    // A recovery copy only: the project file the set was opened from or saved to.
    base::FilePath savedAs;
};

// The description as JSON text.
QByteArray manifestJson(const Manifest& manifest);

// The description read from `json`. Nothing, with `problem` set to what is wrong (a phrase
// that completes "'NAME' cannot be opened: "), for text that is no JSON object, a file of a
// newer format version, or a known key whose value is not what VEXA writes.
std::optional<Manifest> parseManifest(const QByteArray& json, QString& problem);

// A name VEXA writes and accepts for an entry of the archive: letters, digits, '.', '-' and
// '_', at most 255 of them, not starting with '.' and holding no "..". So no entry can name a
// folder, a parent folder or a hidden file, and no NUL or separator hides in one.
bool isPlainEntryName(const QByteArray& name);

// The entry name for a kind's picture in `format` (as Qt names it): "front.jpg", "dvd.png".
QByteArray coverEntryName(cover::CoverKind kind, const QByteArray& format);

} // namespace vexa::project
