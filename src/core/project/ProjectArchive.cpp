#include "core/project/ProjectArchive.h"

#include "core/base/PrintableText.h"
#include "core/project/ProjectManifest.h"

#include <QHash>

#include <zip.h>

namespace vexa::project {

namespace {

// Deflate's fastest level: BMP and TIFF bytes shrink by much of what level 9 gains, in a
// fraction of the time.
constexpr zip_uint32_t kDeflateLevel = 1;

struct ZipDeleter {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct SourceDeleter {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
struct EntryFileDeleter {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using ZipPointer = std::unique_ptr<zip_t, ZipDeleter>;
using SourcePointer = std::unique_ptr<zip_source_t, SourceDeleter>;

// "1 GiB", "1.5 GiB", "300 MiB", "512 bytes".
QString sizeText(qint64 bytes) {
    const auto inUnit = [bytes](qint64 unit, const char* name) {
        const double value = double(bytes) / double(unit);
        return QStringLiteral("%1 %2")
            .arg(value, 0, 'g', value < 10 ? 2 : 4)
            .arg(QLatin1String(name));
    };
    if (bytes >= (qint64(1) << 30)) return inUnit(qint64(1) << 30, "GiB");
    if (bytes >= (qint64(1) << 20)) return inUnit(qint64(1) << 20, "MiB");
    return QStringLiteral("%1 bytes").arg(bytes);
}

QString quotedName(const QByteArray& name) {
    return QStringLiteral("'%1'").arg(base::printable(QString::fromUtf8(name)));
}

// What libzip's refusal of the whole archive means to the user.
QString openProblem(int zipError, const QByteArray& data) {
    switch (zipError) {
    case ZIP_ER_NOZIP:
        // An archive starts with a local file header; one that does but has no directory at
        // its end was cut short.
        if (data.startsWith("PK\x03\x04")) return QStringLiteral("it is damaged or cut short");
        return QStringLiteral("it is not a VEXA project (it is no ZIP archive)");
    case ZIP_ER_EXISTS:
        return QStringLiteral("it holds two entries of the same name");
    case ZIP_ER_MEMORY:
        return QStringLiteral("there is not enough memory to open it");
    default:
        return QStringLiteral("it is damaged or cut short");
    }
}

} // namespace

QByteArray zipArchive(const QList<ArchiveEntry>& entries) {
    zip_error_t error;
    zip_error_init(&error);
    SourcePointer buffer(zip_source_buffer_create(nullptr, 0, 0, &error));
    zip_error_fini(&error);
    if (!buffer) return {};
    ZipPointer archive(zip_open_from_source(buffer.get(), ZIP_TRUNCATE, nullptr));
    if (!archive) return {};
    zip_source_keep(buffer.get()); // the archive drops its reference when it is closed
    for (const ArchiveEntry& entry : entries) {
        // The data is not copied: the entries outlive the archive's zip_close.
        zip_source_t* data = zip_source_buffer(archive.get(), entry.data.constData(),
                                               zip_uint64_t(entry.data.size()), 0);
        if (!data) return {};
        const zip_int64_t index = zip_file_add(archive.get(), entry.name.constData(), data,
                                               ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (index < 0) {
            zip_source_free(data);
            return {};
        }
        if (zip_set_file_compression(archive.get(), zip_uint64_t(index),
                                     entry.compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE,
                                     entry.compress ? kDeflateLevel : 0) != 0)
            return {};
    }
    if (zip_close(archive.get()) != 0) return {};
    archive.release(); // closed, and freed by zip_close

    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(buffer.get(), &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) ||
        zip_source_open(buffer.get()) != 0)
        return {};
    QByteArray zip;
    try {
        zip.resize(qsizetype(stat.size));
    } catch (const std::bad_alloc&) {
        zip_source_close(buffer.get());
        return {};
    }
    const zip_int64_t read = zip_source_read(buffer.get(), zip.data(), stat.size);
    zip_source_close(buffer.get());
    if (read < 0 || zip_uint64_t(read) != stat.size) return {};
    return zip;
}

struct ArchiveReader::Private {
    QByteArray data; // the archive reads from this buffer
    ZipPointer archive;
    QHash<QByteArray, zip_uint64_t> indexes;
    QHash<QByteArray, qint64> sizes;
};

ArchiveReader::ArchiveReader(std::unique_ptr<Private> p) : d(std::move(p)) {}
ArchiveReader::~ArchiveReader() = default;

std::unique_ptr<ArchiveReader> ArchiveReader::open(const QByteArray& data, qint64 maxTotalBytes,
                                                   QString& problem) {
    auto d = std::make_unique<Private>();
    d->data = data;
    zip_error_t error;
    zip_error_init(&error);
    SourcePointer source(
        zip_source_buffer_create(d->data.constData(), zip_uint64_t(d->data.size()), 0, &error));
    if (source)
        d->archive.reset(zip_open_from_source(source.get(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!d->archive) {
        problem = openProblem(zip_error_code_zip(&error), data);
        zip_error_fini(&error);
        return nullptr;
    }
    zip_error_fini(&error);
    source.release(); // the archive owns it now

    const zip_int64_t count = zip_get_num_entries(d->archive.get(), 0);
    if (count > kMaxArchiveEntries) {
        problem = QStringLiteral("it holds %1 entries, far more than a VEXA project (a ZIP bomb)")
                      .arg(count);
        return nullptr;
    }
    qint64 total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(d->archive.get(), zip_uint64_t(i), ZIP_FL_ENC_RAW, &stat) != 0 ||
            !(stat.valid & ZIP_STAT_NAME) || !(stat.valid & ZIP_STAT_SIZE)) {
            problem = QStringLiteral("it is damaged or cut short");
            return nullptr;
        }
        // libzip shows a NUL inside a name as a blank, which no plain name holds either.
        const QByteArray name(stat.name);
        if (!isPlainEntryName(name)) {
            problem = QStringLiteral("it holds an entry named %1, which is no plain file name")
                          .arg(quotedName(name));
            return nullptr;
        }
        if (d->indexes.contains(name)) {
            problem = QStringLiteral("it holds two entries of the same name");
            return nullptr;
        }
        // Sizes of up to 2^64 are declared; adding them up must not wrap around.
        const qint64 size =
            stat.size > zip_uint64_t(maxTotalBytes) ? maxTotalBytes + 1 : qint64(stat.size);
        total += size;
        if (total > maxTotalBytes) {
            problem = QStringLiteral("its entries would expand to more than %1, far more than a "
                                     "set of covers (a ZIP bomb)")
                          .arg(sizeText(maxTotalBytes));
            return nullptr;
        }
        d->indexes.insert(name, zip_uint64_t(i));
        d->sizes.insert(name, size);
    }
    return std::unique_ptr<ArchiveReader>(new ArchiveReader(std::move(d)));
}

std::optional<qint64> ArchiveReader::declaredSize(const QByteArray& name) const {
    const auto size = d->sizes.constFind(name);
    if (size == d->sizes.constEnd()) return std::nullopt;
    return *size;
}

std::optional<QByteArray> ArchiveReader::read(const QByteArray& name, qint64 maxBytes,
                                              QString& problem) {
    const std::optional<qint64> size = declaredSize(name);
    if (!size) {
        problem = QStringLiteral("it lacks the entry %1").arg(quotedName(name));
        return std::nullopt;
    }
    if (*size > maxBytes) {
        problem = QStringLiteral("its entry %1 would expand to %2, more than the %3 VEXA reads")
                      .arg(quotedName(name), sizeText(*size), sizeText(maxBytes));
        return std::nullopt;
    }
    const std::unique_ptr<zip_file_t, EntryFileDeleter> file(
        zip_fopen_index(d->archive.get(), d->indexes.value(name), 0));
    if (!file) {
        problem = QStringLiteral("its entry %1 cannot be read").arg(quotedName(name));
        return std::nullopt;
    }
    QByteArray bytes;
    try {
        bytes.resize(*size + 1); // one more: data that goes on past its size is caught
    } catch (const std::bad_alloc&) {
        problem = QStringLiteral("there is not enough memory to open it");
        return std::nullopt;
    }
    qint64 done = 0;
    for (;;) {
        const zip_int64_t got =
            zip_fread(file.get(), bytes.data() + done, zip_uint64_t(bytes.size() - done));
        if (got < 0) { // a CRC that does not match, data cut short or damaged
            problem = QStringLiteral("its entry %1 is damaged").arg(quotedName(name));
            return std::nullopt;
        }
        if (got == 0) break;
        done += got;
        if (done > *size) {
            problem = QStringLiteral("its entry %1 expands past the size it declares (a ZIP bomb)")
                          .arg(quotedName(name));
            return std::nullopt;
        }
    }
    if (done != *size) {
        problem = QStringLiteral("its entry %1 is damaged").arg(quotedName(name));
        return std::nullopt;
    }
    bytes.truncate(done);
    return bytes;
}

} // namespace vexa::project
