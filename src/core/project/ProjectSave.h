#pragma once

#include "core/base/AtomicWrite.h"
#include "core/base/FilePath.h"
#include "core/project/EncodedPictures.h"
#include "core/project/Project.h"

#include <QByteArray>
#include <QString>

namespace vexa::project {

// The project as the bytes of a .vexa file: project.json and one entry per picture. A
// picture unchanged since it was read goes in as the very bytes read, so nothing is decoded
// or compressed again (JPEG, PNG, GIF and WebP stored as they are, BMP and TIFF deflated);
// an edited one as lossless PNG, from `encoded` when that holds it already. Covers holding
// the same bytes share one entry. `savedAs` is recorded for a recovery copy: the project file
// the set belongs to. Empty when the memory for it cannot be had.
QByteArray projectFileBytes(const Project& project, EncodedPictures& encoded,
                            const base::FilePath& savedAs = {});

// Writes the project to `path` completely or not at all (see writeFileAtomically): a failed
// or killed save leaves the file that was there byte for byte. Empty when saved, otherwise
// one sentence that names the file and what went wrong ("'covers.vexa' was not saved: there
// is not enough space on the disk."). Safe to call from a worker.
QString saveProject(const base::FilePath& path, const Project& project, EncodedPictures& encoded,
                    const base::WriteProgress& progress = {});

// The file's name for a sentence: its last part, shown safely ("covers.vexa").
QString projectFileName(const base::FilePath& path);

} // namespace vexa::project
