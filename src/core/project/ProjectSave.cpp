#include "core/project/ProjectSave.h"

#include "core/base/PrintableText.h"
#include "core/base/Sha256.h"
#include "core/project/ProjectArchive.h"
#include "core/project/ProjectManifest.h"

#include <QHash>

namespace vexa::project {

namespace {

// Formats that compress their own data: deflating them again costs time and saves nothing.
bool isCompressedFormat(const QByteArray& format) {
    return format == "jpeg" || format == "png" || format == "gif" || format == "webp";
}

} // namespace

QByteArray projectFileBytes(const Project& project, EncodedPictures& encoded,
                            const base::FilePath& savedAs) {
    Manifest manifest;
    manifest.print = project.print;
    manifest.savedAs = savedAs;
    QList<ArchiveEntry> entries;
    QHash<QByteArray, QByteArray> entryOfHash; // SHA-256 -> entry name
    QSet<qint64> edited;
    for (std::size_t row = 0; row < cover::kCoverKindCount; ++row) {
        const cover::CoverKind kind = cover::coverKindAt(row);
        const picture::LoadedPicture& picture = project.covers[kind];
        if (picture.isNull()) continue;
        // The bytes that hold these pixels: as read, or the PNG of an edit.
        QByteArray data = picture.bytes;
        QByteArray format = picture.format;
        if (data.isEmpty()) {
            data = encoded.png(picture.pixels);
            format = "png";
            edited.insert(picture.pixels.cacheKey());
            if (data.isEmpty()) return {};
        }
        CoverEntry entry;
        entry.sha256 = base::sha256(data);
        entry.bytes = data.size();
        entry.pixels = picture.size();
        entry.edited = picture.changed;
        entry.original = picture.origin;
        entry.framing = project.covers.framing(kind);
        entry.entry = entryOfHash.value(entry.sha256);
        if (entry.entry.isEmpty()) {
            entry.entry = coverEntryName(kind, format);
            entryOfHash.insert(entry.sha256, entry.entry);
            entries.append(ArchiveEntry{entry.entry, data, !isCompressedFormat(format)});
        }
        manifest.covers[row] = entry;
    }
    encoded.keepOnly(edited);
    // The description first, where a person looking into the archive finds it.
    entries.prepend(ArchiveEntry{kManifestName, manifestJson(manifest), true});
    return zipArchive(entries);
}

QString saveProject(const base::FilePath& path, const Project& project, EncodedPictures& encoded,
                    const base::WriteProgress& progress) {
    const QByteArray bytes = projectFileBytes(project, encoded);
    const QString why =
        bytes.isEmpty()
            ? QStringLiteral("there is not enough memory")
            : base::atomicWriteFailureText(base::writeFileAtomically(path, bytes, progress));
    if (why.isEmpty()) return why;
    return QStringLiteral("'%1' was not saved: %2.").arg(projectFileName(path), why);
}

QString projectFileName(const base::FilePath& path) {
    const QByteArray& bytes = path.bytes();
    return base::printable(base::fileNameText(bytes.mid(bytes.lastIndexOf('/') + 1)));
}

} // namespace vexa::project
