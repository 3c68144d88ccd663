#include "core/cups/JobFollowing.h"

#include "core/cups/SystemPrinters.h"

#include <cups/cups.h>

#include <memory>
#include <optional>
#include <thread>

namespace vexa::cups {

namespace {

constexpr std::chrono::milliseconds kLookInterval{100};

// A job's state and, once it has stopped, what its printer said then.
struct JobState {
    ipp_jstate_t state = IPP_JSTATE_PENDING;
    QString message;
};

std::optional<JobState> askJob(int id) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                     "/jobs/%d", id);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    static const char* const kWanted[] = {"job-state", "job-printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  std::size(kWanted), nullptr, kWanted);
    const std::unique_ptr<ipp_t, void (*)(ipp_t*)> response(
        cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"), ippDelete);
    if (!response) return std::nullopt;
    ipp_attribute_t* state = ippFindAttribute(response.get(), "job-state", IPP_TAG_ENUM);
    if (!state) return std::nullopt;
    JobState job;
    job.state = static_cast<ipp_jstate_t>(ippGetInteger(state, 0));
    if (ipp_attribute_t* message =
            ippFindAttribute(response.get(), "job-printer-state-message", IPP_TAG_TEXT))
        job.message = QString::fromUtf8(ippGetString(message, 0, nullptr)).trimmed();
    return job;
}

// What CUPS said, as a quotation inside a sentence of ours.
QString quoted(QString message) {
    while (message.endsWith(u'.')) message.chop(1);
    return message;
}

} // namespace

bool printerPaused(const QString& printer) {
    const QByteArray full = printer.toLocal8Bit();
    const QByteArray name = queueName(printer);
    const QByteArray instance = full.mid(name.size() + 1);
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(),
                                         instance.isEmpty() ? nullptr : instance.constData());
    if (!dest) return false;
    const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
    const bool paused = state && QByteArray(state).toInt() == IPP_PSTATE_STOPPED;
    cupsFreeDests(1, dest);
    return paused;
}

std::vector<JobFate> followJobs(const std::vector<SentJob>& jobs, JobContent content,
                                std::chrono::milliseconds limit,
                                const std::function<bool()>& keepGoing) {
    std::vector<JobFate> fates(jobs.size());
    // Whether each job is still looked at, and whether it last waited to be printed.
    std::vector<bool> open(jobs.size(), true);
    std::vector<bool> pending(jobs.size(), false);
    for (;;) {
        bool anyOpen = false;
        const auto now = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            if (!open[i]) continue;
            const std::optional<JobState> job = askJob(jobs[i].id);
            pending[i] = job && job->state == IPP_JSTATE_PENDING;
            const bool going =
                job && (job->state == IPP_JSTATE_PENDING || job->state == IPP_JSTATE_PROCESSING);
            if (job && job->state == IPP_JSTATE_CANCELED)
                fates[i].failure = printFailureReason(PrintFailure::JobCancelled, jobs[i].printer,
                                                      QString(), content);
            else if (job && (job->state == IPP_JSTATE_STOPPED || job->state == IPP_JSTATE_ABORTED))
                fates[i].failure = printFailureReason(PrintFailure::JobStopped, jobs[i].printer,
                                                      quoted(job->message), content);
            open[i] = going && now - jobs[i].sent < limit;
            anyOpen = anyOpen || open[i];
        }
        if (!anyOpen || (keepGoing && !keepGoing())) break;
        std::this_thread::sleep_for(kLookInterval);
    }
    // A job still waiting for its printer is held there when the printer was paused meanwhile.
    for (std::size_t i = 0; i < jobs.size(); ++i)
        fates[i].held = pending[i] && printerPaused(jobs[i].printer);
    return fates;
}

} // namespace vexa::cups
