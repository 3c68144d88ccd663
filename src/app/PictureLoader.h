#pragma once

#include "core/base/Job.h"
#include "core/cover/CoverKind.h"
#include "core/picture/PictureFile.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

namespace vexa::app {

// One cover's share of a load: the files meant for it, of which the last readable one wins
// (as if each were loaded in turn), or a picture that is ready already (a pasted one), or
// the bytes of a picture file that another program put on the clipboard.
struct SlotLoad {
    cover::CoverKind kind;
    QStringList paths;
    QImage ready;
    QByteArray fileBytes;
};

// What a slot's load brought: the picture record (made in VEXA for a pasted bitmap), null
// when none of its files was readable; and
// whether the file meant to end in the slot (the last one, or the clipboard's bytes) could
// not be read, with the reason when there is more to say than "not a readable picture".
struct SlotResult {
    picture::LoadedPicture picture;
    bool refused = false;
    QString refusedFile; // empty for the clipboard's bytes
    QString reason;
};

// Decodes picture files for the cover slots on a worker thread, so that a large photo does
// not freeze the window. Loads run one after the other in the order they were asked for;
// each delivers its pictures only once all of them are decoded. A browser click replaces
// the browser clicks before it that have not delivered yet, so moving quickly through the
// file list ends with the last file, without waiting for every one in between.
class PictureLoader : public QObject {
    Q_OBJECT
public:
    explicit PictureLoader(QObject* parent = nullptr);
    // Waits for a decode still running; its result is dropped.
    ~PictureLoader() override;

    // A browser click: drops earlier browser clicks still queued or running.
    void loadReplacing(const SlotLoad& load);
    // Files handed in otherwise (dropped, pasted, named on the command line): never dropped.
    void load(const QList<SlotLoad>& loads);

    // True from the first request until the last one has delivered.
    bool isBusy() const { return m_job.isRunning(); }

signals:
    void busyChanged(bool busy);
    // A readable picture for a cover, on the thread that owns the loader.
    void pictureLoaded(vexa::cover::CoverKind kind, const vexa::picture::LoadedPicture& picture);
    // The file meant for a slot is no readable picture: `file` names it (empty for bytes from
    // the clipboard), `reason` is a sentence when there is more to say, else empty. Sent after
    // the slot's pictureLoaded, when an earlier file of the same load was readable.
    void pictureRefused(vexa::cover::CoverKind kind, const QString& file, const QString& reason);

private:
    void enqueue(const QList<SlotLoad>& loads, bool replaceable);

    // Browser clicks not yet delivered, each with the flag that drops it.
    QList<std::shared_ptr<std::atomic<bool>>> m_replaceable;
    // Loads run one after the other, in the order asked for.
    base::Job m_job;
};

} // namespace vexa::app
