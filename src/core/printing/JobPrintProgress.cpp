#include "core/printing/JobPrintProgress.h"

#include "core/base/Job.h"
#include "core/printing/SheetRun.h"

namespace vexa::printing {

void JobPrintProgress::coverStarted(const cover::CoverFormat& kind) {
    // The kind is a row of the cover table, which lives as long as the program.
    m_control.post([announce = m_announce, row = &kind] { announce(*row); });
}

void JobPrintProgress::coverFinished(const cover::CoverFormat& kind, const DocumentResult& result) {
    // An empty slot is passed over without a message.
    collect(coverNotice(kind, result), result);
}

void JobPrintProgress::sheetStarted(const cover::Sheet& sheet, int number, int count) {
    static_cast<void>(sheet);
    if (m_announceSheet)
        m_control.post([announce = m_announceSheet, number, count] { announce(number, count); });
}

void JobPrintProgress::sheetFinished(const cover::Sheet& sheet, int number,
                                     const DocumentResult& result) {
    collect(sheetNotice(sheet, number, result), result);
}

void JobPrintProgress::collect(const QString& notice, const DocumentResult& result) {
    QStringList& told = result.sent ? m_cuts : m_refusals;
    if (!notice.isEmpty() && !told.contains(notice)) told << notice;
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
