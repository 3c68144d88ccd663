// The Cover Manipulator's menus with the real effect engine: every item runs its effect on a
// picture of ordinary size, and "Cancel" stops an effect in the middle of a large picture.
#include "editor/CoverEditor.h"
#include "editor/EditorTexts.h"
#include "editor/EffectMenus.h"
#include "effects/QImageEffect.h"
#include "support/FakeCoverHost.h"
#include "support/FakeXdgOpen.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace vexa;
using vexa::test::FakeCoverHost;
using vexa::test::patternImage;

TEST(CoverEditorWithEngine, EveryMenuItemChangesThePictureAsItsEffectDoes) {
    FakeCoverHost host;
    const QImage opened = patternImage(640, 480);
    host.putPicture(QStringLiteral("Image1"), opened);
    host.select(QStringLiteral("Image1"));
    editor::CoverEditor window(host);
    window.show();

    for (const editor::EffectMenuItem& item : editor::effectMenuItems()) {
        SCOPED_TRACE(item.objectName);
        const QImage before = window.pictures().current();
        // What the engine makes of the same picture with the item's id and parameter.
        QImage expected = before;
        std::int32_t progress = 0;
        effects::EffectEngine engine;
        ASSERT_EQ(
            effects::applyEffect(engine, expected, item.effectId, item.parameter, progress).status,
            effects::EffectStatus::Done);

        window.findChild<QAction*>(QLatin1String(item.objectName))->trigger();
        ASSERT_TRUE(test::waitUntil([&] { return !window.isBusy(); }));
        EXPECT_EQ(window.findChild<QMessageBox*>(QStringLiteral("effectRefused")), nullptr);
        EXPECT_EQ(window.pictures().undoPicture(), before);
        EXPECT_NE(window.pictures().current(), before);
        // Diffuse and Add Noise draw further random numbers each time; the others match.
        if (item.effectId != 4 && item.effectId != 29) {
            EXPECT_EQ(window.pictures().current(), expected);
        }
        EXPECT_EQ(window.progressCell(), 100);
        EXPECT_FALSE(window.isBusy());
        // Back to the pattern, so that no effect meets a picture an earlier one flattened.
        window.undoLastChange();
        ASSERT_EQ(window.pictures().current(), opened);
    }
    window.acceptButton()->click();
    EXPECT_EQ(host.slotPicture(QStringLiteral("Image1")), window.pictures().current());
}

TEST(CoverEditorWithEngine, CancelStopsARunningEffectAndTheSlotKeepsItsPicture) {
    FakeCoverHost host;
    const QImage opened = patternImage(1200, 900);
    host.putPicture(QStringLiteral("Image3"), opened);
    host.select(QStringLiteral("Image3"));
    auto window = std::make_unique<editor::CoverEditor>(host);
    window->show();

    // "Cancel" as soon as the caption shows the effect at work.
    QString captionWhileRunning;
    QObject::connect(window.get(), &QWidget::windowTitleChanged, [&](const QString& caption) {
        if (!captionWhileRunning.isEmpty()) return;
        captionWhileRunning = caption;
        window->cancelButton()->click();
    });
    window->findChild<QAction*>(QStringLiteral("diffuse"))->trigger();
    ASSERT_TRUE(test::waitUntil([&] { return !window->isBusy(); }));

    EXPECT_TRUE(captionWhileRunning.startsWith(QStringLiteral("Cover Manipulator - working ")))
        << captionWhileRunning.toStdString();
    EXPECT_LT(window->progressCell(), 100);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_EQ(window->pictures().current(), opened);
    EXPECT_EQ(host.slotWrites(), 0);
    EXPECT_EQ(host.slotPicture(QStringLiteral("Image3")), opened);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    window.reset(); // freed right after: nothing of the effect may still refer to it

    // The engine is idle again: the next call is accepted.
    QImage picture = patternImage(8, 8);
    std::int32_t progress = 0;
    EXPECT_EQ(effects::applyEffect(editor::programEffectEngine(), picture, 2, 0, progress).status,
              effects::EffectStatus::Done);
}
