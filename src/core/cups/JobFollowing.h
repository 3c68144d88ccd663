#pragma once

#include "core/cups/PrintFailure.h"

#include <QString>

#include <chrono>
#include <functional>
#include <vector>

namespace vexa::cups {

// True when the printer is paused ("stopped" in CUPS' words): it takes jobs and holds them in
// its queue until it is resumed. False also when it cannot be asked.
bool printerPaused(const QString& printer);

// A job CUPS took.
struct SentJob {
    QString printer;
    int id = 0;
    std::chrono::steady_clock::time_point sent;
};

// What became of a sent job while it was followed.
struct JobFate {
    // Why it will not print, as it follows "was not printed: " (its printer's filters stopped
    // or aborted it, with what CUPS said, or it was cancelled in the queue); empty while it
    // goes on and once it has printed.
    QString failure;
    // Its printer was paused meanwhile and holds it.
    bool held = false;
};

// How long a job is followed after it was sent: a job its filters turn down is stopped well
// within this; one that fails later is seen in the system's print queue.
inline constexpr std::chrono::milliseconds kJobFollowTime{4000};

// Asks CUPS about each job, about ten times a second, until it has printed or failed or
// `limit` has passed since it was sent. `keepGoing` is asked between looks; false ends the
// following at once. One fate per job, in order; a job CUPS no longer knows has no news.
std::vector<JobFate> followJobs(const std::vector<SentJob>& jobs, JobContent content,
                                std::chrono::milliseconds limit,
                                const std::function<bool()>& keepGoing);

} // namespace vexa::cups
