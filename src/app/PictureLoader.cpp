#include "PictureLoader.h"

#include "PictureFile.h"
#include "PictureOnWhite.h"

#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace vexa {

namespace {

// Runs on the worker: one result per slot, its picture null where none of its files is
// readable. Trying the files from the last one back gives what loading each in turn would
// leave in the slot, and usually decodes just one.
QList<SlotResult> decode(const QList<SlotLoad>& loads,
                         const std::shared_ptr<std::atomic<bool>>& dropped) {
    QList<SlotResult> results;
    for (const SlotLoad& load : loads) {
        SlotResult result;
        // A pasted bitmap is put over white like a picture read from a file.
        if (!load.ready.isNull()) result.picture = LoadedPicture::made(onWhite(load.ready));
        if (result.picture.isNull() && !load.fileBytes.isEmpty()) {
            result.picture = readPictureData(load.fileBytes, &result.reason);
            result.refused = result.picture.isNull();
        }
        for (auto path = load.paths.crbegin();
             result.picture.isNull() && path != load.paths.crend(); ++path) {
            if (dropped->load()) return {};
            QString reason;
            result.picture = readPictureFile(FilePath::fromText(*path), &reason);
            // Only the last file counts as refused: an earlier one was never meant to stay.
            if (result.picture.isNull() && path == load.paths.crbegin()) {
                result.refused = true;
                result.refusedFile = *path;
                result.reason = reason;
            }
        }
        results.append(result);
    }
    return results;
}

} // namespace

PictureLoader::PictureLoader(QObject* parent) : QObject(parent) {
    connect(&m_watcher, &QFutureWatcher<QList<SlotResult>>::finished, this,
            &PictureLoader::finished);
}

PictureLoader::~PictureLoader() {
    m_queue.clear();
    if (m_isRunning) {
        m_running.dropped->store(true);
        m_watcher.waitForFinished();
    }
}

void PictureLoader::loadReplacing(const SlotLoad& load) {
    std::erase_if(m_queue, [](const Job& job) { return job.replaceable; });
    if (m_isRunning && m_running.replaceable) m_running.dropped->store(true);
    Job job;
    job.loads.append(load);
    job.replaceable = true;
    enqueue(std::move(job));
}

void PictureLoader::load(const QList<SlotLoad>& loads) {
    if (loads.isEmpty()) return;
    Job job;
    job.loads = loads;
    enqueue(std::move(job));
}

void PictureLoader::enqueue(Job job) {
    m_queue.push_back(std::move(job));
    setBusy(true);
    if (!m_isRunning) startNext();
}

void PictureLoader::startNext() {
    if (m_queue.empty()) {
        setBusy(false);
        return;
    }
    m_running = std::move(m_queue.front());
    m_queue.pop_front();
    m_isRunning = true;
    m_watcher.setFuture(QtConcurrent::run(decode, m_running.loads, m_running.dropped));
}

void PictureLoader::finished() {
    const Job done = std::move(m_running);
    m_running = Job();
    // Still counted as running while the pictures go out, so a request made by a receiver
    // waits its turn instead of starting a second worker.
    if (!done.dropped->load()) {
        const QList<SlotResult> results = m_watcher.result();
        for (qsizetype i = 0; i < std::min(results.size(), done.loads.size()); ++i) {
            const CoverKind kind = done.loads[i].kind;
            if (!results[i].picture.isNull()) emit pictureLoaded(kind, results[i].picture);
            if (results[i].refused)
                emit pictureRefused(kind, results[i].refusedFile, results[i].reason);
        }
    }
    m_isRunning = false;
    startNext();
}

void PictureLoader::setBusy(bool busy) {
    if (busy == m_busy) return;
    m_busy = busy;
    emit busyChanged(busy);
}

} // namespace vexa
