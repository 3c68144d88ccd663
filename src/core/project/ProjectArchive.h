#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace vexa::project {

// The ZIP archive of a project file, through libzip, always in memory: an archive is built
// into a buffer (the caller writes it with its own atomic writer; libzip's zip_close onto a
// file renames a temporary file of its own and follows links) and read from one (nothing is
// ever extracted to disk).

// One entry of an archive to build.
struct ArchiveEntry {
    QByteArray name;
    QByteArray data;
    bool compress = false; // deflated at a fast level; otherwise stored as it is
};

// The archive of the entries, in their order; empty when libzip cannot build it (memory).
QByteArray zipArchive(const QList<ArchiveEntry>& entries);

// The most entries a project may hold: one description, eleven pictures and room for what
// later versions add. Thousands of entries over the same data are how ZIP bombs expand.
inline constexpr int kMaxArchiveEntries = 256;

// An archive read from memory. Opening refuses, with a phrase that completes "'NAME' cannot
// be opened: ", data that is no ZIP archive or is cut short, entries of the same name, entries
// whose names are no plain file names (see isPlainEntryName: no "..", "/" or NUL), more than
// kMaxArchiveEntries entries, and entries that together declare more than `maxTotalBytes`.
class ArchiveReader {
public:
    static std::unique_ptr<ArchiveReader> open(const QByteArray& data, qint64 maxTotalBytes,
                                               QString& problem);
    ~ArchiveReader();
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    // The size an entry declares it expands to; nothing when there is no such entry.
    std::optional<qint64> declaredSize(const QByteArray& name) const;

    // The entry's data, when it expands to exactly the size it declares, that size is at most
    // `maxBytes` and its CRC matches. Never more than the declared size is expanded, whatever
    // the compressed data holds. Nothing, with `problem` set, otherwise.
    std::optional<QByteArray> read(const QByteArray& name, qint64 maxBytes, QString& problem);

private:
    struct Private;
    explicit ArchiveReader(std::unique_ptr<Private> d);
    std::unique_ptr<Private> d;
};

} // namespace vexa::project
