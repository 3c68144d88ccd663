#pragma once

#include "core/printing/PrintJob.h"

#include <QStringList>

#include <functional>

namespace vexa::base {
class JobControl;
}

namespace vexa::printing {

// What a print run or a PDF export running as a job on a worker thread tells the window that
// started it: each cover or packed sheet as it starts, handed to `announce` or
// `announceSheet` on the window's thread in order; the covers and sheets the printer refused
// or its margins cut, and the paused printers that hold covers, collected for the window to
// read once the run has ended. A cancelled job ends the run after the cover or sheet being
// sent, and ends the wait for the jobs sent.
class JobPrintProgress final : public PrintProgress {
public:
    // Run on the job's thread, never on the worker.
    using Announce = std::function<void(const cover::CoverFormat& kind)>;
    using AnnounceSheet = std::function<void(int number, int count)>;

    JobPrintProgress(base::JobControl& control, Announce announce, AnnounceSheet announceSheet = {})
        : m_control(control), m_announce(std::move(announce)),
          m_announceSheet(std::move(announceSheet)) {}

    void coverStarted(const cover::CoverFormat& kind) override;
    void coverFinished(const cover::CoverFormat& kind, const DocumentResult& result) override;
    void sheetStarted(const cover::Sheet& sheet, int number, int count) override;
    void sheetFinished(const cover::Sheet& sheet, int number,
                       const DocumentResult& result) override;
    bool continueAfterCover() override;
    bool keepFollowingJobs() override;

    // The sentences of coverNotice() and sheetNotice(), in print order, each once (copies of a
    // cover are told as one).
    const QStringList& refusals() const { return m_refusals; }
    const QStringList& cuts() const { return m_cuts; }
    // The sentences of heldNotice(), each once.
    const QStringList& held() const { return m_held; }

private:
    void collect(const QString& notice, const DocumentResult& result);

    base::JobControl& m_control;
    Announce m_announce;
    AnnounceSheet m_announceSheet;
    QStringList m_refusals;
    QStringList m_cuts;
    QStringList m_held;
};

} // namespace vexa::printing
