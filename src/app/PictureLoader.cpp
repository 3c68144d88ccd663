#include "app/PictureLoader.h"

#include "core/picture/ColourProfile.h"
#include "core/picture/PictureFile.h"
#include "core/picture/PictureOnWhite.h"

#include <algorithm>

namespace vexa::app {

namespace {

// Runs on the worker: one result per slot, its picture null where none of its files is
// readable. Trying the files from the last one back gives what loading each in turn would
// leave in the slot, and usually decodes just one.
QList<SlotResult> decode(const QList<SlotLoad>& loads,
                         const std::shared_ptr<std::atomic<bool>>& dropped) {
    QList<SlotResult> results;
    for (const SlotLoad& load : loads) {
        SlotResult result;
        // A pasted bitmap is put over white and into sRGB like a picture read from a file.
        if (!load.ready.isNull())
            result.picture =
                picture::LoadedPicture::made(picture::untaggedSrgb(picture::onWhite(load.ready)));
        if (result.picture.isNull() && !load.fileBytes.isEmpty()) {
            result.picture = picture::readPictureData(load.fileBytes, &result.reason);
            result.refused = result.picture.isNull();
        }
        for (auto path = load.paths.crbegin();
             result.picture.isNull() && path != load.paths.crend(); ++path) {
            if (dropped->load()) return {};
            QString reason;
            result.picture = picture::readPictureFile(base::FilePath::fromText(*path), &reason);
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
    connect(&m_job, &base::Job::runningChanged, this, &PictureLoader::busyChanged);
}

PictureLoader::~PictureLoader() {
    // The job's destructor then waits for the file being read; nothing is delivered.
    for (const auto& dropped : std::as_const(m_replaceable)) dropped->store(true);
}

void PictureLoader::loadReplacing(const SlotLoad& load) {
    for (const auto& dropped : std::as_const(m_replaceable)) dropped->store(true);
    m_replaceable.clear();
    enqueue({load}, true);
}

void PictureLoader::load(const QList<SlotLoad>& loads) {
    if (!loads.isEmpty()) enqueue(loads, false);
}

void PictureLoader::enqueue(const QList<SlotLoad>& loads, bool replaceable) {
    auto dropped = std::make_shared<std::atomic<bool>>(false);
    if (replaceable) m_replaceable.append(dropped);
    m_job.enqueueWithResult(
        [loads, dropped](base::JobControl&) { return decode(loads, dropped); },
        [this, loads, dropped](const QList<SlotResult>& results) {
            m_replaceable.removeOne(dropped);
            if (dropped->load()) return;
            for (qsizetype i = 0; i < std::min(results.size(), loads.size()); ++i) {
                const cover::CoverKind kind = loads[i].kind;
                if (!results[i].picture.isNull()) emit pictureLoaded(kind, results[i].picture);
                if (results[i].refused)
                    emit pictureRefused(kind, results[i].refusedFile, results[i].reason);
            }
        });
}

} // namespace vexa::app
