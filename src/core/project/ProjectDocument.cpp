#include "core/project/ProjectDocument.h"

#include "core/project/ProjectOpen.h"
#include "core/project/ProjectSave.h"

namespace vexa::project {

ProjectDocument::ProjectDocument(cover::CoverSet& covers, const DocumentOptions& options,
                                 QObject* parent)
    : QObject(parent), m_covers(covers), m_history(covers, options.undoBudget),
      m_recovery([this] { return snapshot(); }, m_encoded, options.recoveryFolder,
                 options.recoveryDelayMs) {
    connect(&m_history.stack(), &QUndoStack::indexChanged, this, &ProjectDocument::update);
    connect(&m_history.stack(), &QUndoStack::cleanChanged, this, &ProjectDocument::update);
    connect(&m_recovery, &RecoveryKeeper::written, this, [this](const QString& failure) {
        // The restored set is in this VEXA's own copy now.
        if (failure.isEmpty() && m_offer) {
            m_offer->remove();
            m_offer.reset();
        }
    });
    connect(&m_job, &base::Job::runningChanged, this, &ProjectDocument::busyChanged);
    connect(&m_job, &base::Job::progressChanged, this, &ProjectDocument::progressChanged);
}

ProjectDocument::~ProjectDocument() {
    // The stack tells of its clearing while it is destroyed, after the members update() uses.
    disconnect(&m_history.stack(), nullptr, this, nullptr);
    m_job.waitForFinished();
}

QString ProjectDocument::fileName() const {
    return m_path.isEmpty() ? QString() : projectFileName(m_path);
}

void ProjectDocument::setPrintChoices(const PrintChoices& choices) {
    if (choices == m_choices) return;
    m_choices = choices;
    update();
}

Project ProjectDocument::project() const {
    return Project{m_covers.records(), m_choices};
}

RecoverySnapshot ProjectDocument::snapshot() const {
    return RecoverySnapshot{project(), m_path};
}

void ProjectDocument::update() {
    if (m_applying) return;
    ++m_changes;
    const bool modified = !m_history.stack().isClean() || m_choices != m_savedChoices || m_restored;
    if (modified && !m_ended) m_recovery.changed();
    if (modified == m_modified) return;
    m_modified = modified;
    if (!modified) {
        m_recovery.discard();
        if (m_offer) m_offer->remove();
        m_offer.reset();
    }
    emit modifiedChanged(modified);
}

void ProjectDocument::apply(const Project& project, const base::FilePath& path) {
    m_applying = true;
    for (cover::CoverKind kind : cover::kAllCoverKinds) {
        m_covers.setPicture(kind, project.covers[kind]);
        m_covers.setFraming(kind, project.covers.framing(kind));
    }
    m_history.clear();
    m_history.stack().setClean();
    m_choices = m_savedChoices = project.print;
    m_applying = false;
    if (path != m_path) {
        m_path = path;
        emit pathChanged(m_path);
    }
    update();
}

void ProjectDocument::newProject(const PrintChoices& choices) {
    m_restored = false;
    apply(Project{{}, choices}, {});
}

void ProjectDocument::open(const base::FilePath& path) {
    // The set is there as soon as every picture is checked; the pixels of the JPEGs that were
    // checked without decoding them follow, each as it is decoded, and the document stays busy
    // until the last is in.
    m_job.enqueueWithResult(
        [this, path](base::JobControl& control) {
            OpenedProject result =
                openProject(path, cover::kEveryCoverKind, picture::Decoding::NotForPassThrough);
            if (!result.project) return result.failure;
            const cover::CoverRecords covers = result.project->covers;
            control.post([this, project = std::move(*result.project), path] {
                m_restored = false;
                apply(project, path);
                emit opened();
            });
            decodeCheckedPictures(
                covers,
                [this, &control](const QByteArray& bytes, const QImage& pixels) {
                    control.post([this, bytes, pixels] { setDecodedPixels(bytes, pixels); });
                },
                [&control] { return control.isCancelled(); });
            return QString();
        },
        [this](const QString& failure) {
            if (!failure.isEmpty()) emit openFailed(failure);
        });
}

void ProjectDocument::setDecodedPixels(const QByteArray& bytes, const QImage& pixels) {
    m_covers.setDecodedPixels(bytes, pixels);
    m_history.setDecodedPixels(bytes, pixels);
}

void ProjectDocument::save() {
    saveAs(m_path);
}

void ProjectDocument::saveAs(const base::FilePath& path) {
    const Project project = this->project();
    const quint64 changes = m_changes;
    m_job.enqueueWithResult(
        [path, project, &encoded = m_encoded](base::JobControl& control) {
            return saveProject(path, project, encoded, [&control](qint64 written, qint64 total) {
                control.setProgress(int(written * 100 / std::max<qint64>(total, 1)));
            });
        },
        [this, path, changes, choices = project.print](const QString& failure) {
            if (!failure.isEmpty()) {
                emit saveFailed(failure);
                return;
            }
            if (path != m_path) {
                m_path = path;
                emit pathChanged(m_path);
            }
            // A change made while the file was written is not in it: the set stays modified.
            if (changes == m_changes) {
                m_applying = true;
                m_history.stack().setClean();
                m_savedChoices = choices;
                m_restored = false;
                m_applying = false;
            }
            update();
            emit saved();
        });
}

void ProjectDocument::restore(std::unique_ptr<RecoveryOffer> offer) {
    std::shared_ptr<RecoveryOffer> held(std::move(offer));
    m_job.enqueueWithResult([held](base::JobControl&) { return held->restore(); },
                            [this, held](const OpenedProject& result) {
                                if (!result.project) {
                                    held->remove(); // it would fail the same way every start
                                    emit openFailed(result.failure);
                                    return;
                                }
                                m_restored = true;
                                apply(*result.project, result.savedAs);
                                m_offer = held;
                                emit opened();
                            });
}

void ProjectDocument::endSession() {
    m_ended = true;
    m_job.waitForFinished();
    m_recovery.endSession();
    if (m_offer) m_offer->remove();
    m_offer.reset();
}

void ProjectDocument::keepRecoveryCopy() {
    m_job.waitForFinished();
    m_recovery.flush();
}

} // namespace vexa::project
