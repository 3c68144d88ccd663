#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QPromise>

#include <cstdint>
#include <functional>

namespace vexa {

class Job;

// What a job's work sees of its job: how far it has come, whether it should stop, and a way
// to hand something to the thread that started it.
class JobControl {
public:
    JobControl(QPromise<void>& promise, Job& job, std::uint64_t run)
        : m_promise(promise), m_job(job), m_run(run) {}

    // True once the job was cancelled; the work should stop at its next step.
    bool isCancelled() const { return m_promise.isCanceled(); }
    // 0 ... 100. Qt passes on at most a few values a second, enough for a bar or a caption.
    void setProgress(int percent) { m_promise.setProgressValue(percent); }
    // Runs `call` on the job's thread, in the order posted and before the job's `finished`,
    // unless the job was abandoned meanwhile (cancelAndWait or destroyed). Every call arrives,
    // so it suits a status line that names each step.
    void post(std::function<void()> call);

private:
    QPromise<void>& m_promise;
    Job& m_job;
    std::uint64_t m_run;
};

// Long work on a worker thread, so that the window that started it keeps drawing and answering.
// One piece of work at a time: the job is the window's busy state. The work reports progress
// and is asked to stop through its JobControl; `finished` runs on the job's own thread once the
// work has returned, cancelled or not. Destroying the job cancels the work and waits for it, so
// nothing runs on behalf of a window that is gone.
class Job : public QObject {
    Q_OBJECT
public:
    using Work = std::function<void(JobControl& control)>;
    using Finished = std::function<void()>;

    explicit Job(QObject* parent = nullptr);
    ~Job() override;

    // Starts `work` on a worker thread. False, and nothing started, while a job runs.
    bool start(Work work, Finished finished = {});
    bool isRunning() const { return m_running; }
    // Asks the running work to stop; `finished` still runs when it has.
    void cancel();
    // Cancels and waits for the work to return; neither `finished` nor anything the work
    // posted runs then.
    void cancelAndWait();
    // Waits for the work to return (a test, or a benchmark); `finished` runs once control is
    // back in the event loop.
    void waitForFinished();

signals:
    void runningChanged(bool running);
    void progressChanged(int percent);

private:
    friend class JobControl;
    void done(QFutureWatcher<void>* watcher);

    // One watcher per piece of work: a new job never hears what an abandoned one still had
    // queued for its owner.
    QFutureWatcher<void>* m_watcher = nullptr;
    Finished m_finished;
    std::uint64_t m_run = 0; // counts the pieces of work started
    bool m_running = false;
};

} // namespace vexa
