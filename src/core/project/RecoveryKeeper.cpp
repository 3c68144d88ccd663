#include "core/project/RecoveryKeeper.h"

namespace vexa::project {

RecoveryKeeper::RecoveryKeeper(std::function<RecoverySnapshot()> snapshot, EncodedPictures& encoded,
                               const QString& folder, int delayMs, QObject* parent)
    : QObject(parent), m_snapshot(std::move(snapshot)), m_encoded(encoded),
      m_slot(std::make_shared<RecoverySlot>(folder)) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(delayMs);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryKeeper::write);
}

RecoveryKeeper::~RecoveryKeeper() = default; // the job waits for its work

void RecoveryKeeper::changed() {
    if (m_slot->isHeld() && !m_timer.isActive()) m_timer.start();
}

void RecoveryKeeper::write() {
    // A copy waiting behind the running one would be older than this one.
    m_job.clearQueue();
    m_job.enqueueWithResult(
        [slot = m_slot, snapshot = m_snapshot(), &encoded = m_encoded](base::JobControl&) {
            return slot->write(snapshot.project, encoded, snapshot.savedAs);
        },
        [this](const QString& failure) { emit written(failure); });
}

void RecoveryKeeper::discard() {
    m_timer.stop();
    m_job.clearQueue();
    m_job.enqueue([slot = m_slot](base::JobControl&) { slot->remove(); });
}

void RecoveryKeeper::endSession() {
    m_timer.stop();
    m_job.clearQueue();
    m_job.waitForFinished();
    m_slot->remove();
}

void RecoveryKeeper::flush() {
    if (m_timer.isActive()) {
        m_timer.stop();
        write();
    }
    m_job.waitForFinished();
}

} // namespace vexa::project
