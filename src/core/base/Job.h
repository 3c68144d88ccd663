#pragma once

#include <QFutureWatcher>
#include <QList>
#include <QObject>
#include <QPromise>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

namespace vexa::base {

class Job;
struct JobRun;

// What a job's work sees of its job: how far it has come, whether it should stop, and a way
// to hand something to the thread that started it.
class JobControl {
public:
    explicit JobControl(std::shared_ptr<JobRun> run) : m_run(std::move(run)) {}

    // True once the job was cancelled or abandoned; the work should stop at its next step.
    bool isCancelled() const;
    // 0 ... 100. Qt passes on at most a few values a second, enough for a bar or a caption.
    void setProgress(int percent);
    // Runs `call` on the job's thread, in the order posted and before the job's `finished`,
    // unless the job was abandoned meanwhile (cancelAndWait, abandon, or destroyed). Every
    // call arrives, so it suits a status line that names each step.
    void post(std::function<void()> call);

private:
    std::shared_ptr<JobRun> m_run;
};

// Long work on a worker thread, so that the window that started it keeps drawing and answering.
// One piece of work at a time, the others waiting in order: the job is the window's busy
// state. The work reports progress and is asked to stop through its JobControl; `finished`
// runs on the job's own thread once the work has returned, cancelled or not, and gets the
// work's result by value. Destroying the job cancels the work and waits for it, so nothing
// runs on behalf of a window that is gone, unless the work was abandoned.
class Job : public QObject {
    Q_OBJECT
public:
    using Work = std::function<void(JobControl& control)>;
    using Finished = std::function<void()>;

    explicit Job(QObject* parent = nullptr);
    ~Job() override;

    // Starts `work` on a worker thread. False, and nothing started, while a job runs.
    bool start(Work work, Finished finished = {});
    // The same for work that returns a result: `finished(result)` gets it.
    template <typename WorkFn, typename FinishedFn>
    bool startWithResult(WorkFn work, FinishedFn finished) {
        if (isRunning()) return false;
        enqueueWithResult(std::move(work), std::move(finished));
        return true;
    }
    // Runs `work` once everything started or queued before it has finished.
    void enqueue(Work work, Finished finished = {});
    template <typename WorkFn, typename FinishedFn>
    void enqueueWithResult(WorkFn work, FinishedFn finished) {
        using Result = std::invoke_result_t<WorkFn&, JobControl&>;
        auto result = std::make_shared<std::optional<Result>>();
        enqueue([result, work = std::move(work)](
                    JobControl& control) mutable { result->emplace(work(control)); },
                [result, finished = std::move(finished)]() mutable {
                    if (*result) finished(std::move(**result));
                });
    }
    // Drops the work queued behind the running one; the running one goes on.
    void clearQueue();

    // Work runs or waits in the queue (not while `finished` of the last one runs).
    bool isRunning() const { return m_run != nullptr; }
    // Asks the running work to stop; `finished` still runs when it has.
    void cancel();
    // Cancels and waits for the work to return; neither `finished`, anything the work posted,
    // nor anything queued runs then.
    void cancelAndWait();
    // Lets the running work go on alone: it is asked to stop, but neither its `finished` nor
    // anything it posts runs, nothing is waited for, and the job is free for new work at once.
    // For work that cannot be interrupted (a scanner search); see waitForAbandonedWork.
    void abandon();
    // Waits for the work to return (a test, or a benchmark); `finished` runs once control is
    // back in the event loop.
    void waitForFinished();

    // At exit: waits up to `msecs` for abandoned work still running; false when some still is.
    static bool waitForAbandonedWork(int msecs);

signals:
    void runningChanged(bool running);
    void progressChanged(int percent);

private:
    friend class JobControl;
    struct Queued {
        Work work;
        Finished finished;
    };
    void startNext();
    void done(const std::shared_ptr<JobRun>& run);
    // Forgets the running work: nothing of it reaches this job any more.
    void release(bool wait);

    std::shared_ptr<JobRun> m_run; // the running work, null when idle
    QFutureWatcher<void>* m_watcher = nullptr;
    Finished m_finished;
    QList<Queued> m_queue;
    bool m_finishing = false; // `finished` is running
};

} // namespace vexa::base
