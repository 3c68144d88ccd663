#include "core/base/Job.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QPointer>
#include <QThread>
#include <QThreadPool>
#include <QWaitCondition>

#include <algorithm>

namespace vexa::base {

// One piece of work, shared by the job and the worker that runs it: the job may let go of it
// (abandon) while the worker still holds it.
struct JobRun {
    QPromise<void> promise;
    QMutex mutex;
    Job* job = nullptr; // null once the job has let go; guarded by `mutex`
};

namespace {

// The jobs' own threads. Not the global pool: an abandoned scanner search can hold a thread
// for seconds, and effects split their own work over the global pool's threads. Never
// destroyed: its destructor would wait for abandoned work at exit.
QThreadPool& jobThreads() {
    static QThreadPool* pool = [] {
        auto* threads = new QThreadPool;
        threads->setMaxThreadCount(std::max(8, 2 * QThread::idealThreadCount()));
        return threads;
    }();
    return *pool;
}

// Abandoned work still running, counted for the wait at exit.
struct AbandonedWork {
    QMutex mutex;
    QWaitCondition ended;
    int running = 0;
};

AbandonedWork& abandonedWork() {
    static auto* work = new AbandonedWork;
    return *work;
}

} // namespace

bool JobControl::isCancelled() const {
    return m_run->promise.isCanceled();
}

void JobControl::setProgress(int percent) {
    m_run->promise.setProgressValue(percent);
}

void JobControl::post(std::function<void()> call) {
    // Under the run's lock: once the job has let go it gets nothing more, and a call queued
    // before that is dropped when it arrives.
    QMutexLocker lock(&m_run->mutex);
    if (!m_run->job) return;
    QMetaObject::invokeMethod(
        m_run->job,
        [run = m_run, call = std::move(call)] {
            if (run->job && run->job->m_run == run) call();
        },
        Qt::QueuedConnection);
}

Job::Job(QObject* parent) : QObject(parent) {}

Job::~Job() {
    // Quietly: whoever listens may be half destroyed already.
    m_queue.clear();
    if (m_run) release(true);
}

bool Job::start(Work work, Finished finished) {
    if (isRunning()) return false;
    enqueue(std::move(work), std::move(finished));
    return true;
}

void Job::enqueue(Work work, Finished finished) {
    m_queue.push_back({std::move(work), std::move(finished)});
    if (isRunning() || m_finishing) return; // starts when the one before it has finished
    startNext();
    emit runningChanged(true);
}

void Job::clearQueue() {
    m_queue.clear();
}

void Job::startNext() {
    Q_ASSERT(!m_run && !m_queue.isEmpty());
    Queued next = m_queue.takeFirst();
    auto run = std::make_shared<JobRun>();
    run->job = this;
    run->promise.setProgressRange(0, 100);
    run->promise.start();
    m_run = run;
    m_finished = std::move(next.finished);
    m_watcher = new QFutureWatcher<void>(this);
    connect(m_watcher, &QFutureWatcher<void>::finished, this, [this, run] { done(run); });
    connect(m_watcher, &QFutureWatcher<void>::progressValueChanged, this, &Job::progressChanged);
    m_watcher->setFuture(run->promise.future());
    jobThreads().start([run, work = std::move(next.work)]() mutable {
        JobControl control(run);
        work(control);
        // What the work holds (a lock, a file) goes before anyone hears that it has finished:
        // the pool destroys this closure only after it returns, when a waiter may already
        // have gone on and found it still held.
        work = nullptr;
        bool abandoned = false;
        {
            QMutexLocker lock(&run->mutex);
            abandoned = !run->job;
            run->promise.finish();
        }
        if (abandoned) {
            AbandonedWork& left = abandonedWork();
            QMutexLocker lock(&left.mutex);
            --left.running;
            left.ended.wakeAll();
        }
    });
}

void Job::release(bool wait) {
    std::shared_ptr<JobRun> run = std::exchange(m_run, nullptr);
    QFutureWatcher<void>* watcher = std::exchange(m_watcher, nullptr);
    watcher->disconnect(this);
    run->promise.future().cancel();
    {
        QMutexLocker lock(&run->mutex);
        if (!wait && !run->promise.future().isFinished()) {
            QMutexLocker count(&abandonedWork().mutex);
            ++abandonedWork().running;
        }
        run->job = nullptr;
    }
    if (wait) watcher->waitForFinished();
    watcher->deleteLater();
    m_finished = nullptr;
}

void Job::cancel() {
    if (m_run) m_run->promise.future().cancel();
}

void Job::cancelAndWait() {
    m_queue.clear();
    if (!m_run) return;
    release(true);
    emit runningChanged(false);
}

void Job::abandon() {
    m_queue.clear();
    if (!m_run) return;
    release(false);
    emit runningChanged(false);
}

void Job::waitForFinished() {
    if (m_watcher) m_watcher->waitForFinished();
}

bool Job::waitForAbandonedWork(int msecs) {
    AbandonedWork& left = abandonedWork();
    const QDeadlineTimer deadline(msecs);
    QMutexLocker lock(&left.mutex);
    while (left.running > 0)
        if (!left.ended.wait(&left.mutex, deadline)) return left.running == 0;
    return true;
}

void Job::done(const std::shared_ptr<JobRun>& run) {
    if (run != m_run) return;
    Q_ASSERT(m_watcher);
    {
        QMutexLocker lock(&run->mutex);
        run->job = nullptr;
    }
    m_watcher->deleteLater();
    m_watcher = nullptr;
    m_run = nullptr;
    // Work started or queued by `finished` waits until it has returned, so the job stays busy
    // from one piece of work to the next without a gap.
    const Finished finished = std::exchange(m_finished, nullptr);
    m_finishing = true;
    const QPointer<Job> alive(this);
    if (finished) finished();
    if (!alive) return; // `finished` closed the window that owned the job
    m_finishing = false;
    if (m_queue.isEmpty())
        emit runningChanged(false);
    else
        startNext();
}

} // namespace vexa::base
