#include "core/project/ProjectOpen.h"

#include "core/base/Log.h"
#include "core/base/RegularFileRead.h"
#include "core/base/Sha256.h"
#include "core/cover/CoverFormats.h"
#include "core/project/ProjectArchive.h"
#include "core/project/ProjectManifest.h"
#include "core/project/ProjectSave.h"

#include <QHash>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include <sys/stat.h>

namespace vexa::project {

namespace {

// One picture entry of the archive, shared by the covers that name it.
struct StoredPicture {
    QByteArray bytes;
    QByteArray sha256;       // as project.json records it
    cover::CoverKind kind{}; // the first cover that names it, for the sentence
    picture::LoadedPicture decoded;
    QString problem;
};

QString coverPhrase(cover::CoverKind kind) {
    return QStringLiteral("the picture of the %1 cover")
        .arg(cover::coverName(cover::coverFormat(kind)));
}

// Checks and decodes one picture: its hash first, since a picture that is not the one
// recorded is not decoded at all.
void decode(StoredPicture& stored, picture::Decoding decoding) {
    if (base::sha256(stored.bytes) != stored.sha256) {
        stored.problem = coverPhrase(stored.kind) +
                         QStringLiteral(" does not match its SHA-256 (it was changed or damaged)");
        return;
    }
    QString refusal;
    stored.decoded = picture::readPictureData(stored.bytes, &refusal, decoding);
    if (!stored.decoded.isNull()) return;
    if (refusal.endsWith(u'.')) refusal.chop(1);
    if (!refusal.isEmpty()) refusal[0] = refusal[0].toLower();
    stored.problem =
        coverPhrase(stored.kind) + (refusal.isEmpty() ? QStringLiteral(" is no picture VEXA reads")
                                                      : QStringLiteral(" is refused: ") + refusal);
}

// Runs `work(i)` for i in [0, count) side by side, one thread a core, the calling thread
// being one of them.
void onEveryCore(std::size_t count, const std::function<void(std::size_t)>& work) {
    const std::size_t threads =
        std::min(count, std::size_t(std::max(1, QThread::idealThreadCount())));
    std::atomic<std::size_t> next{0};
    const auto run = [&work, &next, count] {
        for (std::size_t i = next++; i < count; i = next++) work(i);
    };
    std::vector<std::thread> workers;
    for (std::size_t i = 1; i < threads; ++i) workers.emplace_back(run);
    run();
    for (std::thread& worker : workers) worker.join();
}

// Checks pictures on every core while the calling thread still reads the next ones out of the
// archive: the reading is one thread's work, and this way it hides behind the checks. The
// calling thread joins the checks once it has read everything (finish()).
class CheckQueue {
public:
    CheckQueue(std::size_t most, picture::Decoding decoding) : m_decoding(decoding) {
        m_pictures.reserve(most); // never moved while a worker checks one
        const int cores = std::max(1, QThread::idealThreadCount());
        for (int i = 1; i < cores; ++i) m_workers.emplace_back([this] { work(); });
    }
    // Stops the workers after the pictures they are checking, unless finish() ran.
    ~CheckQueue() {
        {
            const std::lock_guard lock(m_mutex);
            m_done = m_abandoned = true;
        }
        m_wake.notify_all();
        for (std::thread& worker : m_workers) worker.join();
    }
    CheckQueue(const CheckQueue&) = delete;
    CheckQueue& operator=(const CheckQueue&) = delete;

    // Its index among the pictures added.
    std::size_t add(StoredPicture picture) {
        std::size_t index = 0;
        {
            const std::lock_guard lock(m_mutex);
            Q_ASSERT(m_pictures.size() < m_pictures.capacity());
            index = m_pictures.size();
            m_pictures.push_back(std::move(picture));
        }
        m_wake.notify_one();
        return index;
    }
    const StoredPicture& operator[](std::size_t index) const { return m_pictures[index]; }

    // Every picture checked; the first problem found, in the order they were added.
    QString finish() {
        {
            const std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_all();
        work();
        for (std::thread& worker : m_workers) worker.join();
        m_workers.clear();
        for (const StoredPicture& stored : m_pictures)
            if (!stored.problem.isEmpty()) return stored.problem;
        return {};
    }

private:
    void work() {
        for (;;) {
            std::size_t index = 0;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_next < m_pictures.size() || m_done; });
                if (m_abandoned || m_next >= m_pictures.size()) return;
                index = m_next++;
            }
            decode(m_pictures[index], m_decoding);
        }
    }

    const picture::Decoding m_decoding;
    std::vector<StoredPicture> m_pictures;
    std::vector<std::thread> m_workers;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::size_t m_next = 0;
    bool m_done = false;
    bool m_abandoned = false;
};

OpenedProject refused(const QString& fileName, const QString& problem) {
    OpenedProject opened;
    opened.failure = QStringLiteral("'%1' cannot be opened: %2.").arg(fileName, problem);
    return opened;
}

} // namespace

qint64 maxProjectFileBytes() {
    return qint64(cover::kCoverKindCount) * picture::kMaxPictureFileBytes + kMaxManifestBytes;
}

OpenedProject openProject(const base::FilePath& path, cover::CoverKinds only,
                          picture::Decoding decoding) {
    const QString name = projectFileName(path);
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return refused(name, QStringLiteral("it does not exist"));
    if (!S_ISREG(info.st_mode)) return refused(name, QStringLiteral("it is no regular file"));
    const std::optional<QByteArray> data = base::readRegularFile(path, maxProjectFileBytes());
    if (!data)
        return refused(name, info.st_size > maxProjectFileBytes()
                                 ? QStringLiteral("it is far larger than a set of covers")
                                 : QStringLiteral("it cannot be read"));
    return readProject(*data, name, only, decoding);
}

OpenedProject readProject(const QByteArray& data, const QString& fileName, cover::CoverKinds only,
                          picture::Decoding decoding) {
    // libzip takes no bytes at all for an empty archive.
    if (data.isEmpty()) return refused(fileName, QStringLiteral("it is empty"));
    QString problem;
    const std::unique_ptr<ArchiveReader> archive =
        ArchiveReader::open(data, maxProjectFileBytes(), problem);
    if (!archive) return refused(fileName, problem);
    const std::optional<qint64> manifestSize = archive->declaredSize(kManifestName);
    if (!manifestSize)
        return refused(fileName, QStringLiteral("it is not a VEXA project (it holds no %1)")
                                     .arg(QLatin1String(kManifestName)));
    if (*manifestSize > kMaxManifestBytes)
        return refused(fileName, QStringLiteral("its project.json is over 1 MiB"));
    const std::optional<QByteArray> json = archive->read(kManifestName, kMaxManifestBytes, problem);
    if (!json) return refused(fileName, problem);
    const std::optional<Manifest> manifest = parseManifest(*json, problem);
    if (!manifest) return refused(fileName, problem);

    // Each entry read once, however many covers name it.
    CheckQueue pictures(cover::kCoverKindCount, decoding);
    QHash<QByteArray, std::size_t> pictureOfEntry;
    for (std::size_t row = 0; row < cover::kCoverKindCount; ++row) {
        const cover::CoverKind kind = cover::coverKindAt(row);
        const std::optional<CoverEntry>& entry = manifest->covers[row];
        if (!entry || !only.testFlag(kind)) continue;
        const std::optional<qint64> size = archive->declaredSize(entry->entry);
        if (!size)
            return refused(fileName,
                           QStringLiteral("it lacks %1 ('%2')")
                               .arg(coverPhrase(kind), QString::fromLatin1(entry->entry)));
        if (*size != entry->bytes)
            return refused(fileName, coverPhrase(kind) + QStringLiteral(" is not the size "
                                                                        "project.json records"));
        if (const auto known = pictureOfEntry.constFind(entry->entry);
            known != pictureOfEntry.constEnd()) {
            if (pictures[*known].sha256 != entry->sha256)
                return refused(fileName, coverPhrase(kind) + QStringLiteral(" does not match its "
                                                                            "SHA-256"));
            continue;
        }
        std::optional<QByteArray> bytes =
            archive->read(entry->entry, picture::kMaxPictureFileBytes, problem);
        if (!bytes) return refused(fileName, problem);
        pictureOfEntry.insert(entry->entry, pictures.add(StoredPicture{
                                                std::move(*bytes), entry->sha256, kind, {}, {}}));
    }
    if (const QString problem = pictures.finish(); !problem.isEmpty())
        return refused(fileName, problem);

    Project project;
    project.print = manifest->print;
    for (std::size_t row = 0; row < cover::kCoverKindCount; ++row) {
        const cover::CoverKind kind = cover::coverKindAt(row);
        const std::optional<CoverEntry>& entry = manifest->covers[row];
        if (!entry || !only.testFlag(kind)) continue;
        picture::LoadedPicture picture = pictures[pictureOfEntry.value(entry->entry)].decoded;
        if (picture.size() != entry->pixels)
            return refused(fileName, coverPhrase(kind) + QStringLiteral(" is not the size "
                                                                        "project.json records"));
        picture.changed = entry->edited;
        picture.origin = entry->original;
        project.covers[kind] = picture;
        project.covers.framing(kind) = entry->framing;
    }
    OpenedProject opened;
    opened.project = std::move(project);
    opened.savedAs = manifest->savedAs;
    return opened;
}

void decodeCheckedPictures(const cover::CoverRecords& records, const DecodedPixels& decoded,
                           const std::function<bool()>& cancelled) {
    // Each file's bytes once, however many covers share them.
    std::vector<QByteArray> undecoded;
    QSet<const char*> seen;
    for (cover::CoverKind kind : cover::kAllCoverKinds) {
        const picture::LoadedPicture& picture = records[kind];
        if (picture.isNull() || picture.isDecoded()) continue;
        if (!seen.contains(picture.bytes.constData())) undecoded.push_back(picture.bytes);
        seen.insert(picture.bytes.constData());
    }
    onEveryCore(undecoded.size(), [&](std::size_t i) {
        if (cancelled && cancelled()) return;
        QString refusal;
        const picture::LoadedPicture picture = picture::readPictureData(undecoded[i], &refusal);
        if (picture.isDecoded())
            decoded(undecoded[i], picture.pixels);
        else // checked whole a moment ago: memory ran out; it still prints as its own data
            qCWarning(base::lcPicture) << "a checked picture of" << undecoded[i].size()
                                       << "bytes was not decoded" << refusal;
    });
}

} // namespace vexa::project
