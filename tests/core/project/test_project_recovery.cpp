// Recovery copies: written a few seconds after a change, never offered while the VEXA that
// keeps one still runs, offered and restored after it was killed, removed once the set is
// saved or VEXA ends normally.
#include "support/ProjectFixtures.h"
#include "support/TestSupport.h"

#include "core/project/ProjectDocument.h"
#include "core/project/ProjectOpen.h"
#include "core/project/RecoveryCopy.h"
#include "core/project/RecoveryKeeper.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

using namespace vexa;
using cover::CoverKind;

namespace {

// Waits, with a generous limit, for `condition` while the event loop runs.
bool eventually(const std::function<bool()>& condition) {
    const QDeadlineTimer deadline(60000);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QTest::qWait(10);
    }
    return true;
}

void expectSamePictures(const project::Project& a, const project::Project& b) {
    for (CoverKind kind : cover::kAllCoverKinds) {
        SCOPED_TRACE(cover::coverName(cover::coverFormat(kind)).toStdString());
        EXPECT_EQ(a.covers[kind].pixels, b.covers[kind].pixels);
        EXPECT_EQ(a.covers[kind].changed, b.covers[kind].changed);
    }
    EXPECT_EQ(a.print, b.print);
}

class Recovery : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(state.isValid() && originals.isValid()); }

    QStringList copies() const {
        return QDir(state.path()).entryList({"recovery-*.vexa"}, QDir::Files);
    }

    QTemporaryDir state;
    QTemporaryDir originals;
};

} // namespace

TEST_F(Recovery, ACopyIsOfferedOnlyOnceItsVexaIsGone) {
    QProcess other; // another login's VEXA with unsaved covers
    other.start(QStringLiteral(PROJECT_CHILD_PATH), {"hold", state.path()});
    ASSERT_TRUE(other.waitForStarted(30000));
    while (!other.canReadLine() && other.state() == QProcess::Running)
        other.waitForReadyRead(60000);
    ASSERT_EQ(other.readLine().trimmed(), "held") << other.readAllStandardError().toStdString();
    ASSERT_EQ(copies(), QStringList({"recovery-1.vexa"}));

    EXPECT_FALSE(project::RecoveryOffer::find(state.path()));
    {
        const project::RecoverySlot mine(state.path()); // a slot of its own
        EXPECT_EQ(QFileInfo(mine.path().text()).fileName(), "recovery-2.vexa");
    }

    ::kill(pid_t(other.processId()), SIGKILL); // a crash
    ASSERT_TRUE(other.waitForFinished(30000));
    std::unique_ptr<project::RecoveryOffer> offer = project::RecoveryOffer::find(state.path());
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->time(), QFileInfo(state.filePath("recovery-1.vexa")).lastModified());
    EXPECT_TRUE(QRegularExpression("^VEXA did not close normally\\. Restore the covers of "
                                   "[0-2][0-9]:[0-5][0-9]\\?$")
                    .match(offer->question())
                    .hasMatch())
        << offer->question().toStdString();
    // While this VEXA holds the offer, no other takes it.
    EXPECT_FALSE(project::RecoveryOffer::find(state.path()));
    {
        const project::RecoverySlot mine(state.path());
        EXPECT_EQ(QFileInfo(mine.path().text()).fileName(), "recovery-2.vexa");
    }

    const project::OpenedProject restored = offer->restore();
    ASSERT_TRUE(restored.project) << restored.failure.toStdString();
    expectSamePictures(*restored.project, test::sampleProject(originals.path()));
    EXPECT_EQ(restored.savedAs.text(), "/home/someone/covers.vexa");
    offer->remove();
    EXPECT_TRUE(copies().isEmpty());
    EXPECT_FALSE(project::RecoveryOffer::find(state.path()));
}

TEST_F(Recovery, TheKeeperWritesAfterAChangeAndRemovesTheCopyOnDiscard) {
    project::Project set = test::sampleProject(originals.path());
    project::EncodedPictures encoded;
    project::RecoveryKeeper keeper(
        [&set] {
            return project::RecoverySnapshot{set, {}};
        },
        encoded, state.path(), 10);
    QSignalSpy written(&keeper, &project::RecoveryKeeper::written);
    keeper.changed();
    ASSERT_TRUE(written.wait(60000));
    EXPECT_EQ(written[0][0].toString(), QString());
    const project::OpenedProject copy = project::openProject(keeper.slot().path());
    ASSERT_TRUE(copy.project) << copy.failure.toStdString();
    expectSamePictures(*copy.project, set);

    // Another change: the edits already compressed are not compressed again.
    const QByteArray insidePng = encoded.png(set.covers[CoverKind::Inside].pixels);
    set.covers[CoverKind::Back] = {};
    keeper.changed();
    ASSERT_TRUE(written.wait(60000));
    EXPECT_EQ(encoded.png(set.covers[CoverKind::Inside].pixels).constData(), insidePng.constData());
    EXPECT_TRUE(
        project::openProject(keeper.slot().path()).project->covers[CoverKind::Back].isNull());

    keeper.discard();
    ASSERT_TRUE(eventually([&] { return !keeper.isPending(); }));
    EXPECT_TRUE(copies().isEmpty());
}

TEST_F(Recovery, ADocumentKeepsACopyWhileItHasUnsavedChanges) {
    cover::CoverSet covers;
    project::ProjectDocument document(covers, {qint64(1) << 30, state.path(), 10});
    QSignalSpy modified(&document, &project::ProjectDocument::modifiedChanged);
    document.history().putPicture(
        CoverKind::Front, test::pictureFile(originals.path(), "a.jpg", test::jpegFile(30, 20)));
    EXPECT_TRUE(document.isModified());
    ASSERT_EQ(modified.count(), 1);
    ASSERT_TRUE(eventually([&] { return copies().size() == 1; }));

    // Undo back to where nothing was changed: no copy to keep.
    document.history().stack().undo();
    EXPECT_FALSE(document.isModified());
    ASSERT_TRUE(eventually([&] { return copies().isEmpty(); }));

    // Saved: the file holds the set, the copy goes.
    document.history().stack().redo();
    ASSERT_TRUE(eventually([&] { return copies().size() == 1; }));
    QSignalSpy saved(&document, &project::ProjectDocument::saved);
    document.saveAs(base::FilePath::fromText(originals.filePath("covers.vexa")));
    ASSERT_TRUE(saved.wait(60000));
    EXPECT_FALSE(document.isModified());
    EXPECT_EQ(document.fileName(), "covers.vexa");
    ASSERT_TRUE(eventually([&] { return copies().isEmpty(); }));

    // A change of the print choices is unsaved too; a normal exit removes its copy at once.
    project::PrintChoices choices = document.printChoices();
    choices.paper = cover::PaperChoice::A4;
    document.setPrintChoices(choices);
    EXPECT_TRUE(document.isModified());
    ASSERT_TRUE(eventually([&] { return copies().size() == 1; }));
    document.endSession();
    EXPECT_TRUE(copies().isEmpty());
}

TEST_F(Recovery, ARestoredSetIsUnsavedAndReplacesTheOffer) {
    // A copy left by a VEXA that is gone: written by a slot that was let go of.
    const project::Project lost = test::sampleProject(originals.path());
    {
        const project::RecoverySlot gone(state.path());
        project::EncodedPictures encoded;
        ASSERT_EQ(gone.write(lost, encoded, base::FilePath::fromText("/tmp/lost.vexa")), QString());
    }
    cover::CoverSet covers;
    project::ProjectDocument document(covers, {qint64(1) << 30, state.path(), 10});
    std::unique_ptr<project::RecoveryOffer> offer = project::RecoveryOffer::find(state.path());
    ASSERT_TRUE(offer);
    const QString offered = offer->path().text();
    QSignalSpy opened(&document, &project::ProjectDocument::opened);
    document.restore(std::move(offer));
    ASSERT_TRUE(opened.wait(60000));
    expectSamePictures(document.project(), lost);
    EXPECT_TRUE(document.isModified());
    EXPECT_EQ(document.path().text(), "/tmp/lost.vexa");
    // This VEXA's own copy takes over from the one offered.
    ASSERT_TRUE(eventually([&] { return !QFile::exists(offered); }));
    EXPECT_EQ(copies().size(), 1);
    EXPECT_FALSE(document.history().stack().canUndo());
}

// A logout or a signal ends VEXA before the delay is over: the copy is written at once and
// stays to be offered. After a normal end nothing is written any more.
TEST_F(Recovery, AnEndThatIsNotNormalWritesTheCopyDueAndKeepsIt) {
    {
        cover::CoverSet covers;
        project::ProjectDocument document(covers, {qint64(1) << 30, state.path(), 3600 * 1000});
        document.history().putPicture(
            CoverKind::Front, test::pictureFile(originals.path(), "a.jpg", test::jpegFile(30, 20)));
        EXPECT_TRUE(copies().isEmpty()); // due in an hour
        document.keepRecoveryCopy();
        EXPECT_EQ(copies().size(), 1);
    }
    std::unique_ptr<project::RecoveryOffer> offer = project::RecoveryOffer::find(state.path());
    ASSERT_TRUE(offer);
    const project::OpenedProject restored = offer->restore();
    ASSERT_TRUE(restored.project);
    EXPECT_EQ(restored.project->covers[CoverKind::Front].pixels.size(), QSize(30, 20));
    offer->remove();

    cover::CoverSet covers;
    project::ProjectDocument document(covers, {qint64(1) << 30, state.path(), 10});
    document.endSession();
    document.history().putPicture(
        CoverKind::Back, test::pictureFile(originals.path(), "b.jpg", test::jpegFile(20, 20)));
    document.keepRecoveryCopy();
    EXPECT_TRUE(copies().isEmpty());
}
