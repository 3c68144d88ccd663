#pragma once

#include "core/base/FilePath.h"
#include "core/base/Job.h"
#include "core/cover/CoverSet.h"
#include "core/project/CoverHistory.h"
#include "core/project/EncodedPictures.h"
#include "core/project/Project.h"
#include "core/project/RecoveryCopy.h"
#include "core/project/RecoveryKeeper.h"

#include <QObject>
#include <QString>

#include <memory>

namespace vexa::project {

// Where a document keeps what it keeps; tests give their own.
struct DocumentOptions {
    qint64 undoBudget = defaultUndoMemoryBudget();
    QString recoveryFolder = project::recoveryFolder();
    int recoveryDelayMs = RecoveryKeeper::kDelayMs;
};

// The set of covers as a document, for the window: the file it was opened from or saved to,
// whether it has unsaved changes, its print choices, its Undo history, and its recovery copy,
// kept while it has unsaved changes. Every change to the pictures goes through history();
// the print choices through setPrintChoices(). Opening and saving run on a worker, one after
// the other; the set changes only when a file was read whole.
class ProjectDocument : public QObject {
    Q_OBJECT
public:
    explicit ProjectDocument(cover::CoverSet& covers, const DocumentOptions& options = {},
                             QObject* parent = nullptr);
    // Waits for an open or save still running; the recovery copy stays unless endSession ran.
    ~ProjectDocument() override;

    CoverHistory& history() { return m_history; }
    // The project file; empty for a set never saved.
    const base::FilePath& path() const { return m_path; }
    // Its name for a title ("covers.vexa"); empty for a set never saved.
    QString fileName() const;
    // Unsaved changes: to the pictures since the last save or open (Undo back to that point
    // counts as none), to the print choices, or a set restored from a recovery copy.
    bool isModified() const { return m_modified; }
    // An open or save runs or waits.
    bool isBusy() const { return m_job.isRunning(); }

    const PrintChoices& printChoices() const { return m_choices; }
    void setPrintChoices(const PrintChoices& choices);

    // The set as it is, with its print choices.
    Project project() const;

    // New: every slot empty, the given print choices, no file, nothing to undo or save.
    void newProject(const PrintChoices& choices = {});
    // Reads the file on a worker: opened() once the set is the file's, or openFailed() with
    // one sentence, the set left as it was. A JPEG that prints as its own data is checked
    // whole but decoded after opened(): its cover has no pixels until then (its picture is
    // not null and has its size), and the document stays busy until every picture has them.
    void open(const base::FilePath& path);
    // Save: to path(), which must not be empty. Save As: to `path`, which becomes the
    // document's file. saved() or saveFailed() with one sentence; a failed save leaves the
    // file that was there as it was.
    void save();
    void saveAs(const base::FilePath& path);
    // Restores an offered recovery copy (see RecoveryOffer::find): the set comes back with
    // the file it belonged to, as unsaved changes. opened(), or openFailed(); the offer is
    // removed once this VEXA's own copy holds the set, or at once when it cannot be read.
    void restore(std::unique_ptr<RecoveryOffer> offer);
    // A normal exit: the recovery copy is removed; nothing is written after this.
    void endSession();
    // An end that is not normal (a logout, a signal): the recovery copy is brought up to
    // date before this returns, and stays for the next start.
    void keepRecoveryCopy();

signals:
    void modifiedChanged(bool modified);
    void pathChanged(const vexa::base::FilePath& path);
    void busyChanged(bool busy);
    // 0 ... 100 while a save writes its file.
    void progressChanged(int percent);
    void opened();
    void openFailed(const QString& sentence);
    void saved();
    void saveFailed(const QString& sentence);

private:
    void apply(const Project& project, const base::FilePath& path);
    void setDecodedPixels(const QByteArray& bytes, const QImage& pixels);
    void update();
    RecoverySnapshot snapshot() const;

    cover::CoverSet& m_covers;
    CoverHistory m_history;
    EncodedPictures m_encoded;
    base::FilePath m_path;
    PrintChoices m_choices;
    PrintChoices m_savedChoices;
    bool m_restored = false; // a restored set that was not saved since
    bool m_modified = false;
    bool m_applying = false;
    bool m_ended = false;  // endSession ran: no recovery copy is written any more
    quint64 m_changes = 0; // counts every change, so a save knows whether the set moved on
    std::shared_ptr<RecoveryOffer> m_offer; // restored, removed once this VEXA's copy is there
    RecoveryKeeper m_recovery;
    base::Job m_job;
};

} // namespace vexa::project
