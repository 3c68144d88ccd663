#pragma once

#include "core/base/FilePath.h"
#include "core/base/Job.h"
#include "core/project/EncodedPictures.h"
#include "core/project/Project.h"
#include "core/project/RecoveryCopy.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

namespace vexa::project {

// What a recovery copy holds: the set as it is and the project file it belongs to.
struct RecoverySnapshot {
    Project project;
    base::FilePath savedAs;
};

// Keeps this VEXA's recovery copy (see RecoverySlot) while the set has unsaved changes: a few
// seconds after a change it takes the set as it is then and writes it on a worker, so the
// window never waits for it. Changes that follow each other quickly make one write. Edited
// pictures are compressed at a fast level, once per change (see EncodedPictures).
class RecoveryKeeper : public QObject {
    Q_OBJECT
public:
    static constexpr int kDelayMs = 3000;

    // `snapshot` gives the set as it is when a copy is written; it is asked on this thread.
    RecoveryKeeper(std::function<RecoverySnapshot()> snapshot, EncodedPictures& encoded,
                   const QString& folder = recoveryFolder(), int delayMs = kDelayMs,
                   QObject* parent = nullptr);
    // Waits for a write still running; the copy stays (an ended session removes it first).
    ~RecoveryKeeper() override;

    const RecoverySlot& slot() const { return *m_slot; }

    // The set changed and has unsaved changes: a copy is written after the delay, unless one
    // is due already.
    void changed();
    // The set has no unsaved changes any more (saved, opened, new, discarded): nothing is
    // written any more and the copy is removed, after a write still running.
    void discard();
    // A normal exit: as discard, but done when this returns.
    void endSession();
    // An end that is not normal (a logout, a kill): a copy that is due is written now, and
    // every write is done when this returns. The copy stays, to be offered at the next start.
    void flush();

    // A write is due or running.
    bool isPending() const { return m_timer.isActive() || m_job.isRunning(); }

signals:
    // After each write: `failure` is empty when the copy was written, else one sentence.
    void written(const QString& failure);

private:
    void write();

    std::function<RecoverySnapshot()> m_snapshot;
    EncodedPictures& m_encoded;
    std::shared_ptr<RecoverySlot> m_slot; // shared with the write running on the worker
    QTimer m_timer;
    base::Job m_job;
};

} // namespace vexa::project
