#include "scan/BackgroundTask.h"

#include <QThread>

namespace vexa::scan {

BackgroundTask::~BackgroundTask() {
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

bool BackgroundTask::start(std::function<void()> work) {
    if (m_thread) return false;
    m_thread = QThread::create(std::move(work));
    connect(m_thread, &QThread::finished, this, &BackgroundTask::reap, Qt::QueuedConnection);
    m_thread->start();
    return true;
}

void BackgroundTask::reap() {
    if (!m_thread) return;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    emit finished();
}

} // namespace vexa::scan
