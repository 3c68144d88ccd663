#include "Job.h"

#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

namespace vexa {

void JobControl::post(std::function<void()> call) {
    // The job outlives its work (its destructor waits), so it can be reached from here; the
    // run number drops calls of work that was abandoned before they arrived.
    Job* job = &m_job;
    QMetaObject::invokeMethod(
        job,
        [job, run = m_run, call = std::move(call)] {
            if (job->m_running && job->m_run == run) call();
        },
        Qt::QueuedConnection);
}

Job::Job(QObject* parent) : QObject(parent) {}

Job::~Job() {
    cancelAndWait();
}

bool Job::start(Work work, Finished finished) {
    if (m_running) return false;
    m_running = true;
    m_finished = std::move(finished);
    const std::uint64_t run = ++m_run;
    auto* watcher = new QFutureWatcher<void>(this);
    m_watcher = watcher;
    connect(watcher, &QFutureWatcher<void>::finished, this, [this, watcher] { done(watcher); });
    connect(watcher, &QFutureWatcher<void>::progressValueChanged, this, &Job::progressChanged);
    watcher->setFuture(
        QtConcurrent::run([this, run, work = std::move(work)](QPromise<void>& promise) {
            JobControl control(promise, *this, run);
            work(control);
        }));
    emit runningChanged(true);
    return true;
}

void Job::cancel() {
    if (m_running) m_watcher->cancel();
}

void Job::cancelAndWait() {
    if (!m_running) return;
    QFutureWatcher<void>* watcher = std::exchange(m_watcher, nullptr);
    watcher->disconnect(this);
    watcher->cancel();
    watcher->waitForFinished();
    watcher->deleteLater();
    m_finished = nullptr;
    m_running = false;
    emit runningChanged(false);
}

void Job::waitForFinished() {
    if (m_running) m_watcher->waitForFinished();
}

void Job::done(QFutureWatcher<void>* watcher) {
    if (watcher != m_watcher) return;
    m_watcher = nullptr;
    watcher->deleteLater();
    m_running = false;
    // Not running any more before the caller hears of it, so that it may start the next job.
    const Finished finished = std::exchange(m_finished, nullptr);
    emit runningChanged(false);
    if (finished) finished();
}

} // namespace vexa
