#include "core/printing/JobPrintProgress.h"

#include "core/base/Job.h"

namespace vexa::printing {

void JobPrintProgress::coverStarted(const cover::CoverFormat& kind) {
    // The kind is a row of the cover table, which lives as long as the program.
    m_control.post([announce = m_announce, row = &kind] { announce(*row); });
}

void JobPrintProgress::coverFinished(const cover::CoverFormat& kind, const DocumentResult& result) {
    // An empty slot is passed over without a message.
    const QString notice = coverNotice(kind, result);
    if (!notice.isEmpty()) (result.sent ? m_cuts : m_refusals) << notice;
    if (const QString held = heldNotice(result); !held.isEmpty() && !m_held.contains(held))
        m_held << held;
}

bool JobPrintProgress::continueAfterCover() {
    return !m_control.isCancelled();
}

bool JobPrintProgress::keepFollowingJobs() {
    return !m_control.isCancelled();
}

} // namespace vexa::printing
