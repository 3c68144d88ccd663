#include "core/project/RecoveryCopy.h"

#include "core/base/AtomicWrite.h"
#include "core/base/ProgramFolder.h"
#include "core/project/ProjectSave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace vexa::project {

namespace {

// More VEXAs than this at once, each in a login of its own, keep no recovery copy.
constexpr int kMaxSlots = 64;

QString copyName(int slot) {
    return QStringLiteral("recovery-%1.vexa").arg(slot);
}

QString lockName(int slot) {
    return QStringLiteral("recovery-%1.lock").arg(slot);
}

// The lock of a slot, taken when its VEXA no longer runs. Never stale by age: a VEXA that
// runs for days keeps its copy from every other.
std::unique_ptr<QLockFile> takeLock(const QDir& folder, int slot) {
    auto lock = std::make_unique<QLockFile>(folder.filePath(lockName(slot)));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) return nullptr;
    return lock;
}

} // namespace

QString recoveryFolder() {
    return base::stateFolder();
}

RecoverySlot::RecoverySlot(const QString& folder) {
    if (!base::makePrivateFolder(folder)) return;
    const QDir dir(folder);
    for (int slot = 1; slot <= kMaxSlots && !m_lock; ++slot) {
        std::unique_ptr<QLockFile> lock = takeLock(dir, slot);
        // A copy there waits to be offered: it is not this VEXA's to overwrite.
        if (!lock || QFileInfo::exists(dir.filePath(copyName(slot)))) continue;
        m_lock = std::move(lock);
        m_path = base::FilePath::fromText(dir.filePath(copyName(slot)));
    }
}

RecoverySlot::~RecoverySlot() = default;

QString RecoverySlot::write(const Project& project, EncodedPictures& encoded,
                            const base::FilePath& savedAs) const {
    if (!isHeld()) return QStringLiteral("No recovery copy can be kept.");
    const QByteArray bytes = projectFileBytes(project, encoded, savedAs);
    if (bytes.isEmpty())
        return QStringLiteral("The recovery copy was not written: there is not "
                              "enough memory.");
    const int error = base::writeFileAtomically(m_path, bytes);
    if (error == 0) return {};
    return QStringLiteral("The recovery copy was not written: %1.")
        .arg(base::atomicWriteFailureText(error));
}

void RecoverySlot::remove() const {
    if (isHeld()) QFile::remove(m_path.text());
}

RecoveryOffer::RecoveryOffer(std::unique_ptr<QLockFile> lock, base::FilePath path, QDateTime time)
    : m_lock(std::move(lock)), m_path(std::move(path)), m_time(std::move(time)) {}

RecoveryOffer::~RecoveryOffer() = default;

std::unique_ptr<RecoveryOffer> RecoveryOffer::find(const QString& folder) {
    const QDir dir(folder);
    static const QRegularExpression kCopy(QStringLiteral("^recovery-([1-9][0-9]*)\\.vexa$"));
    std::unique_ptr<RecoveryOffer> newest;
    for (const QFileInfo& file :
         dir.entryInfoList({QStringLiteral("recovery-*.vexa")}, QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch match = kCopy.match(file.fileName());
        if (!match.hasMatch()) continue;
        const QDateTime time = file.lastModified();
        if (newest && newest->m_time >= time) continue;
        std::unique_ptr<QLockFile> lock = takeLock(dir, match.captured(1).toInt());
        if (!lock) continue; // its VEXA still runs
        newest.reset(new RecoveryOffer(std::move(lock),
                                       base::FilePath::fromText(file.absoluteFilePath()), time));
    }
    return newest;
}

QString RecoveryOffer::question() const {
    return QStringLiteral("VEXA did not close normally. Restore the covers of %1?")
        .arg(m_time.toString(QStringLiteral("HH:mm")));
}

OpenedProject RecoveryOffer::restore() const {
    return openProject(m_path);
}

void RecoveryOffer::remove() {
    QFile::remove(m_path.text());
    m_lock.reset();
}

} // namespace vexa::project
