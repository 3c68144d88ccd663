#pragma once

#include "core/base/FilePath.h"
#include "core/project/EncodedPictures.h"
#include "core/project/Project.h"
#include "core/project/ProjectOpen.h"

#include <QDateTime>
#include <QLockFile>
#include <QString>

#include <memory>

namespace vexa::project {

// Recovery copies: while a set has unsaved changes, each running VEXA keeps a copy of it as
// a project file in the recovery folder, "recovery-N.vexa", held with the lock file
// "recovery-N.lock" (a QLockFile) for as long as that VEXA runs. A copy whose lock can be
// taken was left by a VEXA that no longer runs (a crash, a kill, a logout) and is offered at
// the next start; a copy whose VEXA still runs, in another login, never is.

// "$XDG_STATE_HOME/vexa" (by default "~/.local/state/vexa").
QString recoveryFolder();

// The copy of this VEXA: the first slot N of the folder whose lock it can take and that holds
// no copy waiting to be offered. Taken when made, held until destroyed.
class RecoverySlot {
public:
    explicit RecoverySlot(const QString& folder = recoveryFolder());
    ~RecoverySlot();
    RecoverySlot(const RecoverySlot&) = delete;
    RecoverySlot& operator=(const RecoverySlot&) = delete;

    // False when no slot could be had (the folder cannot be made); nothing is kept then.
    bool isHeld() const { return m_lock != nullptr; }
    const base::FilePath& path() const { return m_path; }

    // Writes the copy, completely or not at all: empty when written, else one sentence.
    // `savedAs` is the project file the set belongs to, empty for none. Safe on a worker.
    QString write(const Project& project, EncodedPictures& encoded,
                  const base::FilePath& savedAs) const;
    // Removes the copy; the slot stays held.
    void remove() const;

private:
    std::unique_ptr<QLockFile> m_lock;
    base::FilePath m_path;
};

// A copy left by a VEXA that did not close normally, held (its lock taken) until it is
// restored and removed, or removed, or this offer is destroyed.
class RecoveryOffer {
public:
    // The newest copy of the folder whose VEXA no longer runs; nothing when there is none.
    static std::unique_ptr<RecoveryOffer> find(const QString& folder = recoveryFolder());
    ~RecoveryOffer();
    RecoveryOffer(const RecoveryOffer&) = delete;
    RecoveryOffer& operator=(const RecoveryOffer&) = delete;

    // When the copy was last written.
    const QDateTime& time() const { return m_time; }
    // "VEXA did not close normally. Restore the covers of HH:MM?"
    QString question() const;
    const base::FilePath& path() const { return m_path; }

    // The set the copy holds, read as any project file is (see openProject); its `savedAs`
    // names the project file the set belonged to.
    OpenedProject restore() const;
    // Removes the copy and lets go of it.
    void remove();

private:
    RecoveryOffer(std::unique_ptr<QLockFile> lock, base::FilePath path, QDateTime time);

    std::unique_ptr<QLockFile> m_lock;
    base::FilePath m_path;
    QDateTime m_time;
};

} // namespace vexa::project
