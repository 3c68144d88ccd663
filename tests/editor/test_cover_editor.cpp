// The Cover Manipulator window with a stand-in main window: loading, the menus and tools, the
// undo step, Accept and Cancel, the busy state, cancelling a running effect, the caption.
#include "editor/CoverEditor.h"
#include "editor/CoverEditorCommand.h"
#include "editor/CoverTools.h"
#include "editor/EditorTexts.h"
#include "notify/MessageNoticeWindow.h"
#include "notify/PopupGeometry.h"
#include "support/FakeCoverHost.h"
#include "support/FakeXdgOpen.h"
#include "support/LetterboxProbe.h"
#include "support/TestSupport.h"
#include "widgets/PictureHolder.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <functional>
#include <vector>

using namespace vexa;
using editor::EffectMenu;
using effects::EffectResult;
using effects::EffectStatus;
using vexa::test::FakeCoverHost;
using vexa::test::patternImage;

namespace {

struct RunnerCall {
    std::int32_t effectId;
    std::int32_t parameter;
};

// An effect of known behaviour: inverts the picture row by row, yielding after each row like
// the engine does, and stops (leaving the picture as it was) when the hook says so. It runs on
// the window's worker; what it records is read once the window says it is no longer busy.
struct ScriptedRunner {
    std::vector<RunnerCall> calls;
    std::atomic<bool> hold = false; // while set, the effect waits after its first row, yielding
    EffectStatus answer = EffectStatus::Done;
    std::atomic<int> rowsDone = 0;
    bool stoppedByHook = false;

    editor::EffectRunner runner() {
        return [this](std::int32_t id, QImage& picture, std::int32_t parameter,
                      std::int32_t& progress, const effects::YieldHook& yield) {
            calls.push_back({id, parameter});
            if (answer != EffectStatus::Done) return EffectResult{answer, "too large"};
            QImage work = picture.copy();
            const auto goOn = [&] {
                if (!yield || yield()) return true;
                stoppedByHook = true;
                return false;
            };
            for (int y = 0; y < work.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(work.scanLine(y));
                for (int x = 0; x < work.width(); ++x) line[x] ^= 0x00FFFFFFu;
                progress = (y + 1) * 100 / work.height();
                ++rowsDone;
                if (!goOn()) return EffectResult{EffectStatus::Cancelled, {}};
                while (y == 0 && hold) {
                    QThread::msleep(1);
                    if (!goOn()) return EffectResult{EffectStatus::Cancelled, {}};
                }
            }
            picture = work;
            return EffectResult{};
        };
    }
};

// Lets the window's effect run to its end.
void finishEffect(const editor::CoverEditor& window) {
    ASSERT_TRUE(test::waitUntil([&] { return !window.isBusy(); }));
}

QImage inverted(const QImage& picture) {
    QImage copy = picture.convertToFormat(QImage::Format_RGB32);
    copy.invertPixels();
    return copy;
}

class CoverEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.putPicture(QStringLiteral("Image4"), slotPicture);
        host.select(QStringLiteral("Image4"));
    }

    std::unique_ptr<editor::CoverEditor> openWindow() {
        auto window = std::make_unique<editor::CoverEditor>(host, nullptr, script.runner());
        window->show();
        return window;
    }

    QAction* effectItem(editor::CoverEditor& window, const char* name) {
        return window.findChild<QAction*>(QLatin1String(name));
    }

    FakeCoverHost host;
    ScriptedRunner script;
    const QImage slotPicture = patternImage(64, 48);
};

} // namespace

TEST_F(CoverEditorTest, ALaidOutWindowThatGrowsAndHasEveryCommandByKeyboard) {
    auto window = openWindow();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Cover Manipulator"));
    EXPECT_TRUE(window->isModal());
    // Its first size fits a 1366 x 768 screen with a panel; it can be made larger.
    EXPECT_LE(window->frameGeometry().width(), 1366);
    EXPECT_LE(window->frameGeometry().height(), 768 - 40);
    EXPECT_LT(window->minimumSize().width(), window->maximumSize().width());

    for (const auto& [name, text] : {std::pair{"brightnessFrame", "Brightness &Level"},
                                     {"originalCaption", "Original Picture"},
                                     {"modifiedCaption", "Modified Picture"},
                                     {"acceptButton", "Accept Changes"},
                                     {"cancelButton", "Cancel"}}) {
        QWidget* w = window->findChild<QWidget*>(QLatin1String(name));
        ASSERT_NE(w, nullptr) << name;
        QString shown = w->toolTip();
        if (auto* label = qobject_cast<QLabel*>(w)) shown = label->text();
        if (auto* box = qobject_cast<QGroupBox*>(w)) shown = box->title();
        EXPECT_EQ(shown, QLatin1String(text)) << name;
    }
    EXPECT_EQ(window->acceptButton()->text(), QStringLiteral("&Accept"));
    EXPECT_EQ(window->cancelButton()->text(), QStringLiteral("Canc&el"));
    EXPECT_EQ(window->brightnessBar()->minimum(), -99);
    EXPECT_EQ(window->brightnessBar()->maximum(), 99);
    EXPECT_EQ(window->brightnessBar()->value(), 0);

    // The previews grow with the window, side by side and alike.
    const QSize before = window->editedView()->size();
    window->resize(window->size() + QSize(300, 200));
    QApplication::processEvents();
    EXPECT_GT(window->editedView()->width(), before.width());
    EXPECT_GT(window->editedView()->height(), before.height());
    EXPECT_EQ(window->editedView()->size(), window->originalView()->size());

    // The tools: icons on the toolbar, items with keys in the Tools menu, one action each.
    const struct {
        const char* tip;
        const char* item;
        const char* key;
    } tools[] = {{"Rotate", "&Rotate", "Ctrl+R"},
                 {"Mirror", "&Mirror", "Ctrl+M"},
                 {"Flip", "&Flip", "Ctrl+F"},
                 {"Brightness", "&Brightness", "Ctrl+B"},
                 {"Undo Last Change", "&Undo Last Change", "Ctrl+Z"}};
    EXPECT_EQ(window->toolbarButton(6), nullptr);
    QMenu* toolsMenu = window->findChild<QMenu*>(QStringLiteral("toolsMenu"));
    ASSERT_NE(toolsMenu, nullptr);
    QList<QAction*> items = toolsMenu->actions();
    items.removeIf([](QAction* a) { return a->isSeparator(); });
    for (int position = 1; position <= 5; ++position) {
        QAction* action = window->toolbarButton(position);
        EXPECT_EQ(action->toolTip(), tools[position - 1].tip);
        EXPECT_EQ(action->text(), tools[position - 1].item);
        EXPECT_EQ(action->shortcut(), QKeySequence(QLatin1String(tools[position - 1].key)));
        EXPECT_FALSE(action->icon().pixmap(32, 32).isNull());
        EXPECT_EQ(items.value(position - 1), action);
    }
    EXPECT_EQ(window->toolbar()->iconSize(), QSize(32, 32));
    // The brightness bar takes the focus and answers the arrow keys.
    EXPECT_EQ(window->brightnessBar()->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    window->brightnessBar()->setFocus();
    QTest::keyClick(window->brightnessBar(), Qt::Key_Right);
    EXPECT_EQ(window->brightnessBar()->value(), 1);
}

TEST_F(CoverEditorTest, MenusRunTheirItemsEffectsInOrder) {
    auto window = openWindow();
    const QList<QAction*> bar = window->menus()->actions();
    ASSERT_EQ(bar.size(), 5);
    EXPECT_EQ(bar[0]->text(), QStringLiteral("&Normal"));
    EXPECT_EQ(bar[1]->text(), QStringLiteral("&Special"));
    EXPECT_EQ(bar[2]->text(), QStringLiteral("&Colors"));
    EXPECT_EQ(bar[3]->text(), QStringLiteral("&Tools"));
    EXPECT_EQ(bar[4]->text(), QStringLiteral("Sha&pe"));
    // "&Black & White" keeps its ampersand; separators follow "&Negative" and "Contrast -".
    QStringList colours;
    for (QAction* a : window->menu(EffectMenu::Colors)->actions())
        colours << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(colours,
              (QStringList{"&Black && White", "&Gray Scale", "&Negative", "-", "&Contrast +",
                           "Con&trast -", "-", "&Saturation +", "Sat&uration -"}));
    // Alt and one letter reach every item: each has its own in its menu.
    for (EffectMenu kind : {EffectMenu::Normal, EffectMenu::Special, EffectMenu::Colors}) {
        QString letters;
        for (QAction* a : window->menu(kind)->actions()) {
            if (a->isSeparator()) continue;
            const QString text = QString(a->text()).replace("&&", "");
            const qsizetype amp = text.indexOf('&');
            ASSERT_GE(amp, 0) << a->text().toStdString();
            EXPECT_FALSE(letters.contains(text.at(amp + 1).toLower())) << a->text().toStdString();
            letters += text.at(amp + 1).toLower();
        }
    }

    // Every item sits in its menu, in table order, and hands its id and parameter over.
    std::array<int, 3> position{};
    for (const editor::EffectMenuItem& item : editor::effectMenuItems()) {
        SCOPED_TRACE(item.objectName);
        QMenu* menu = window->menu(item.menu);
        QList<QAction*> entries = menu->actions();
        entries.removeIf([](QAction* a) { return a->isSeparator(); });
        QAction* action = entries.value(position[static_cast<std::size_t>(item.menu)]++);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->objectName(), QLatin1String(item.objectName));
        script.calls.clear();
        action->trigger();
        finishEffect(*window);
        ASSERT_EQ(script.calls.size(), 1u);
        EXPECT_EQ(script.calls[0].effectId, item.effectId);
        EXPECT_EQ(script.calls[0].parameter, item.parameter);
    }
    EXPECT_EQ(position, (std::array<int, 3>{4, 9, 7}));
    // Colours travel as red + 256 green + 65536 blue.
    effectItem(*window, "emboss")->trigger();
    finishEffect(*window);
    EXPECT_EQ(script.calls.back().parameter, 120 * 256 + 120 * 65536);
    effectItem(*window, "decreasecontrast")->trigger();
    finishEffect(*window);
    EXPECT_EQ(script.calls.back().parameter, -10);
}

TEST_F(CoverEditorTest, AnEmptySlotOpensEmptyAndNoCommandFails) {
    host.select(QStringLiteral("Image7"));
    auto window = openWindow();
    EXPECT_FALSE(window->originalView()->hasPicture());
    EXPECT_FALSE(window->editedView()->hasPicture());
    window->brightnessBar()->setValue(40);
    for (int position = 1; position <= 5; ++position) window->toolbarButton(position)->trigger();
    for (QAction* action : window->menu(EffectMenu::Special)->actions()) action->trigger();
    EXPECT_TRUE(script.calls.empty()); // nothing to hand to an effect
    EXPECT_TRUE(window->pictures().current().isNull());
    EXPECT_FALSE(window->isBusy());
    window->acceptButton()->click();
    EXPECT_EQ(host.slotWrites(), 1);
    EXPECT_TRUE(host.slotPicture(QStringLiteral("Image7")).isNull());
}

TEST_F(CoverEditorTest, AcceptWritesTheCurrentPictureAndUnknownSlotsGetNothing) {
    auto unchanged = openWindow();
    unchanged->acceptButton()->click();
    EXPECT_EQ(host.slotWrites(), 1);
    EXPECT_EQ(host.slotPicture(QStringLiteral("Image4")), slotPicture);

    auto mirrored = openWindow();
    mirrored->toolbarButton(2)->trigger();
    finishEffect(*mirrored);
    mirrored->acceptButton()->click();
    EXPECT_EQ(mirrored->result(), QDialog::Accepted);
    EXPECT_EQ(host.slotPicture(QStringLiteral("Image4")), editor::mirrorLeftRight(slotPicture));

    host.select(QStringLiteral("scanSlot"));
    auto other = openWindow();
    other->acceptButton()->click();
    EXPECT_FALSE(other->isVisible());
    EXPECT_EQ(host.slotWrites(), 2);
}

TEST_F(CoverEditorTest, CancelAfterEditsLeavesTheSlotAlone) {
    auto window = openWindow();
    window->toolbarButton(1)->trigger();
    finishEffect(*window);
    effectItem(*window, "negative")->trigger();
    finishEffect(*window);
    window->cancelButton()->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_EQ(host.slotWrites(), 0);
    EXPECT_EQ(host.slotPicture(QStringLiteral("Image4")), slotPicture);
}

TEST_F(CoverEditorTest, ToolsAndEffectsShareTheOneStepUndo) {
    auto window = openWindow();
    const auto current = [&] { return window->pictures().current(); };
    window->toolbarButton(5)->trigger(); // undo right after opening
    EXPECT_EQ(current(), slotPicture);

    window->toolbarButton(1)->trigger(); // Rotate
    finishEffect(*window);
    EXPECT_EQ(window->editedView()->picture(), editor::rotateQuarterClockwise(slotPicture));
    EXPECT_EQ(window->originalView()->picture(), slotPicture);
    window->toolbarButton(5)->trigger();
    window->toolbarButton(5)->trigger(); // twice: the same picture, its size back
    EXPECT_EQ(current(), slotPicture);

    effectItem(*window, "negative")->trigger();
    finishEffect(*window);
    EXPECT_EQ(window->editedView()->picture(), inverted(slotPicture));
    EXPECT_EQ(window->pictures().undoPicture(), slotPicture);
    window->toolbarButton(3)->trigger(); // Flip keeps the negative as its undo step
    finishEffect(*window);
    window->toolbarButton(5)->trigger();
    EXPECT_EQ(current(), inverted(slotPicture));
}

TEST_F(CoverEditorTest, BrightnessButtonAppliesTheScrollBarValue) {
    host.putPicture(QStringLiteral("Image4"), test::solidImage(3, 3, qRgb(200, 10, 0)));
    auto window = openWindow();
    window->brightnessBar()->setValue(99);
    window->toolbarButton(4)->trigger();
    finishEffect(*window);
    EXPECT_EQ(window->pictures().current().pixel(1, 1), qRgb(255, 109, 99));
    window->brightnessBar()->setValue(-99);
    window->toolbarButton(4)->trigger();
    finishEffect(*window);
    EXPECT_EQ(window->pictures().current().pixel(1, 1), qRgb(156, 10, 0));
}

TEST_F(CoverEditorTest, CaptionShowsTheBrightnessValueUntilTheMouseMovesOverTheToolbar) {
    EXPECT_EQ(editor::brightnessCaption(-5),
              QStringLiteral("Cover Manipulator - Brightness Level ->  -5%  <-"));
    EXPECT_EQ(editor::brightnessCaption(0),
              QStringLiteral("Cover Manipulator - Brightness Level ->  0%  <-"));
    EXPECT_EQ(editor::brightnessCaption(42),
              QStringLiteral("Cover Manipulator - Brightness Level ->  42%  <-"));

    auto window = openWindow();
    window->brightnessBar()->setValue(-5);
    EXPECT_EQ(window->windowTitle(), editor::brightnessCaption(-5));
    window->brightnessBar()->setValue(0);
    EXPECT_EQ(window->windowTitle(), editor::brightnessCaption(0));
    window->brightnessBar()->setValue(42);
    EXPECT_EQ(window->windowTitle(), editor::brightnessCaption(42));

    const auto moveOver = [](QWidget* widget) {
        const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    };
    moveOver(window->brightnessBar()); // over the scroll bar the value stays
    EXPECT_EQ(window->windowTitle(), editor::brightnessCaption(42));
    moveOver(window->brightnessFrame());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Cover Manipulator"));
    window->brightnessBar()->setValue(7);
    moveOver(window->toolbar());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Cover Manipulator"));
    // The value itself changes no pixel.
    EXPECT_EQ(window->pictures().current(), slotPicture);
}

TEST_F(CoverEditorTest, WhileAnEffectRunsOnlyCancelAnswers) {
    auto window = openWindow();
    editor::CoverEditor* w = window.get();
    script.hold = true;
    effectItem(*window, "grayscale")->trigger();
    // The window is back in its event loop while the effect holds after its first row.
    ASSERT_TRUE(test::waitUntil([&] { return script.rowsDone > 0; }));
    const auto checkWhileRunning = [&] {
        EXPECT_TRUE(w->isBusy());
        EXPECT_FALSE(w->toolbar()->isEnabled());
        for (EffectMenu m : {EffectMenu::Normal, EffectMenu::Special, EffectMenu::Colors})
            EXPECT_FALSE(w->menu(m)->menuAction()->isEnabled());
        EXPECT_FALSE(w->brightnessBar()->isEnabled());
        EXPECT_FALSE(w->acceptButton()->isEnabled());
        EXPECT_TRUE(w->cancelButton()->isEnabled());
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        // A second command arriving meanwhile starts nothing.
        w->rotate();
        w->runEffect(2, 0);
        w->acceptButton()->click();
    };
    checkWhileRunning();
    EXPECT_EQ(host.slotWrites(), 0); // Accept is no way out while the effect runs
    script.hold = false;
    finishEffect(*window);
    EXPECT_EQ(script.calls.size(), 1u);
    EXPECT_EQ(window->pictures().current(), inverted(slotPicture)); // no rotation slipped in
    EXPECT_FALSE(window->isBusy());
    EXPECT_TRUE(window->toolbar()->isEnabled());
    for (EffectMenu m : {EffectMenu::Normal, EffectMenu::Special, EffectMenu::Colors})
        EXPECT_TRUE(window->menu(m)->menuAction()->isEnabled());
    EXPECT_TRUE(window->brightnessBar()->isEnabled());
    EXPECT_TRUE(window->acceptButton()->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(CoverEditorTest, ProgressShowsInTheCaptionWhileAnEffectRuns) {
    host.putPicture(QStringLiteral("Image4"), patternImage(10, 4));
    auto window = openWindow();
    QStringList captions;
    QObject::connect(window.get(), &QWidget::windowTitleChanged,
                     [&](const QString& caption) { captions << caption; });
    effectItem(*window, "smooth")->trigger();
    finishEffect(*window);
    // Every percentage the effect stored, in order, then the plain caption again.
    EXPECT_EQ(captions, (QStringList{editor::progressCaption(25), editor::progressCaption(50),
                                     editor::progressCaption(75), editor::progressCaption(100),
                                     QStringLiteral("Cover Manipulator")}));
    ASSERT_FALSE(captions.isEmpty());
    EXPECT_EQ(captions.front(), editor::progressCaption(25));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Cover Manipulator"));
    EXPECT_EQ(window->progressCell(), 100);
}

TEST_F(CoverEditorTest, CancelWhileAnEffectRunsStopsItAndLeavesTheSlot) {
    host.putPicture(QStringLiteral("Image4"), patternImage(50, 400));
    auto window = openWindow();
    window->toolbarButton(2)->trigger(); // Mirror, so the window has an edit to lose
    finishEffect(*window);
    const QImage beforeEffect = window->pictures().current();
    const QImage undoBefore = window->pictures().undoPicture();
    // The click arrives while the effect runs on.
    script.hold = true;
    effectItem(*window, "blur")->trigger();
    ASSERT_TRUE(test::waitUntil([&] { return script.rowsDone > 0; }));
    window->cancelButton()->click(); // returns once the effect has stopped
    EXPECT_FALSE(window->isBusy());

    EXPECT_TRUE(script.stoppedByHook);
    EXPECT_LT(script.rowsDone, 400);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_EQ(host.slotWrites(), 0);
    EXPECT_EQ(window->pictures().current(), beforeEffect);
    EXPECT_EQ(window->pictures().undoPicture(), undoBefore);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // Nothing more happens once it is closing.
    window->toolbarButton(1)->trigger();
    finishEffect(*window);
    window->acceptButton()->click();
    EXPECT_EQ(host.slotWrites(), 0);
}

TEST_F(CoverEditorTest, ClosingTheWindowUnderARunningEffectStopsAndJoinsIt) {
    host.putPicture(QStringLiteral("Image4"), patternImage(50, 400));
    auto window = openWindow();
    script.hold = true; // the effect would run until released
    effectItem(*window, "blur")->trigger();
    ASSERT_TRUE(test::waitUntil([&] { return script.rowsDone > 0; }));
    window.reset(); // returns only once the effect has stopped
    EXPECT_TRUE(script.stoppedByHook);
    EXPECT_LT(script.rowsDone, 400);
    EXPECT_EQ(host.slotWrites(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(); // nothing reaches the window
}

TEST_F(CoverEditorTest, ARefusedEffectChangesNothingAndSaysSo) {
    auto window = openWindow();
    window->toolbarButton(3)->trigger(); // Flip
    finishEffect(*window);
    const QImage current = window->pictures().current();
    const QImage undo = window->pictures().undoPicture();
    script.answer = EffectStatus::Refused;
    effectItem(*window, "diffuse")->trigger();
    finishEffect(*window);
    EXPECT_EQ(window->pictures().current(), current);
    EXPECT_EQ(window->pictures().undoPicture(), undo);
    EXPECT_FALSE(window->isBusy());
    EXPECT_TRUE(window->acceptButton()->isEnabled());
    auto* box = window->findChild<QMessageBox*>(QStringLiteral("effectRefused"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->informativeText(), QStringLiteral("too large"));
    box->close();
}

TEST_F(CoverEditorTest, OpensOnTheSlotPictureAndShowsItAgainWhenItAppears) {
    auto window = std::make_unique<editor::CoverEditor>(host, nullptr, script.runner());
    EXPECT_EQ(window->pictures().opened(), slotPicture);
    EXPECT_EQ(window->originalView()->picture(), slotPicture);
    window->toolbarButton(2)->trigger(); // an edit before the window ever appeared
    finishEffect(*window);
    window->show();
    EXPECT_EQ(window->pictures().current(), slotPicture);
    EXPECT_EQ(window->editedView()->picture(), slotPicture);
    EXPECT_EQ(window->pictures().undoPicture(), slotPicture);
    // Later appearances (switching back from another program) keep the edits.
    window->toolbarButton(2)->trigger();
    finishEffect(*window);
    window->hide();
    window->show();
    EXPECT_EQ(window->pictures().current(), editor::mirrorLeftRight(slotPicture));
}

TEST_F(CoverEditorTest, BothPreviewsShowTheCoverInThePrintedProportions) {
    // Inside the 160 x 160 frame 158 x 158 pixels are left, from (1, 1). Worked out by hand:
    // the DVD cover is 1.5 : 1, 158 / 1.5 = 105.3, 26 pixels above (53 / 2); the DS cover
    // 15652.8 x 6580.8 twips, 66.4 high, 46 above.
    const struct {
        const char* slot;
        QRect picture;
    } cases[] = {{"Image4", {1, 27, 158, 105}}, {"Image7", {1, 47, 158, 66}}};
    const QRgb green = qRgb(0, 160, 0);
    for (const auto& c : cases) {
        host.putPicture(c.slot, test::solidImage(30, 90, green));
        host.select(c.slot);
        auto window = openWindow();
        window->toolbarButton(1)->trigger(); // turned a quarter: it still prints as the cover
        finishEffect(*window);
        ASSERT_EQ(window->pictures().current().size(), QSize(90, 30));
        for (widgets::PictureHolder* view : {window->originalView(), window->editedView()}) {
            view->setFixedSize(160, 160); // the views grow with the window; measured at this size
            const QRgb background = view->palette().color(view->backgroundRole()).rgb();
            EXPECT_TRUE(test::showsLetterboxed(view->grab().toImage(), QRect(1, 1, 158, 158),
                                               c.picture, green, background))
                << c.slot << " " << view->objectName().toStdString();
        }
    }
}

TEST(CoverManipulatorCommand, WithoutASelectedSlotShowsTheSelectCoverPopup) {
    notify::resetOpenPopupCountForTesting();
    FakeCoverHost host;
    host.window().show();
    editor::openCoverEditor(host);
    notify::MessageNoticeWindow* popup = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<notify::MessageNoticeWindow*>(w)) popup = p;
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->popupKind(), QStringLiteral("picture"));
    EXPECT_EQ(popup->messageLabel()->text(),
              QStringLiteral("Please select a cover by clicking on it and try again!"));
    EXPECT_FALSE(host.window().isEnabled());
    popup->close();
    EXPECT_TRUE(host.window().isEnabled());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    notify::resetOpenPopupCountForTesting();
}

TEST(CoverManipulatorCommand, WithASelectedSlotOpensTheEditorModally) {
    FakeCoverHost host;
    host.window().show();
    const QImage picture = patternImage(20, 10);
    host.putPicture(QStringLiteral("Image2"), picture);
    host.select(QStringLiteral("Image2"));
    QPointer<editor::CoverEditor> seen;
    QTimer::singleShot(0, [&] {
        seen = qobject_cast<editor::CoverEditor*>(QApplication::activeModalWidget());
        if (!seen) return QApplication::exit(1);
        EXPECT_EQ(seen->parentWidget(), &host.window());
        seen->toolbarButton(1)->trigger();
        finishEffect(*seen);
        seen->acceptButton()->click();
    });
    editor::openCoverEditor(host); // returns once the window has closed
    EXPECT_FALSE(seen);            // unloaded when it closed
    EXPECT_EQ(host.slotPicture(QStringLiteral("Image2")), editor::rotateQuarterClockwise(picture));
}

// The busy state disables Accept, which moves the keyboard focus on to Cancel; once the work is
// done the focus goes back, so Space presses Accept as before instead of throwing the edit away.
TEST_F(CoverEditorTest, AfterAnEffectOrAToolTheFocusIsWhereItWas) {
    for (const char* step : {"negative", "rotate"}) {
        SCOPED_TRACE(step);
        const int writes = host.slotWrites();
        auto window = openWindow();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->acceptButton()->setFocus();
        ASSERT_TRUE(test::waitUntil([&] { return window->acceptButton()->hasFocus(); }));
        if (QLatin1String(step) == QLatin1String("rotate"))
            window->toolbarButton(1)->trigger();
        else
            effectItem(*window, step)->trigger();
        finishEffect(*window);
        ASSERT_NE(window->focusWidget(), nullptr);
        QTest::keyClick(window->focusWidget(), Qt::Key_Space);
        EXPECT_EQ(window->result(), QDialog::Accepted);
        EXPECT_EQ(host.slotWrites(), writes + 1);
        EXPECT_EQ(host.slotPicture(QStringLiteral("Image4")),
                  QLatin1String(step) == QLatin1String("rotate")
                      ? editor::rotateQuarterClockwise(slotPicture)
                      : inverted(slotPicture));
        host.putPicture(QStringLiteral("Image4"), slotPicture);
    }
}

// Enter presses the focused button and nothing else: after moving the brightness bar it
// accepts nothing; on Cancel it cancels.
TEST_F(CoverEditorTest, EnterPressesOnlyTheFocusedButton) {
    auto window = openWindow();
    window->brightnessBar()->setValue(20);
    QTest::keyClick(window->brightnessBar(), Qt::Key_Return);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(host.slotWrites(), 0);
    QTest::keyClick(window->cancelButton(), Qt::Key_Return);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_EQ(host.slotWrites(), 0);
}

TEST_F(CoverEditorTest, TheShapeMenuFitsBothPreviewsAndAcceptKeepsTheFitAndTheCrop) {
    const cover::Framing filled{cover::CoverFit::Fill, {0.2, 0.5}};
    host.covers().setFraming(cover::CoverKind::Dvd, filled);
    auto window = openWindow();
    // The previews show the cover as it prints: filled, cropped where the slot has it.
    EXPECT_EQ(window->originalView()->framing(), filled);
    EXPECT_EQ(window->editedView()->framing(), filled);
    QAction* fill = window->findChild<QAction*>(QStringLiteral("fitFill"));
    QAction* fit = window->findChild<QAction*>(QStringLiteral("fitFit"));
    ASSERT_TRUE(fill && fit);
    EXPECT_TRUE(fill->isChecked());
    fit->trigger();
    EXPECT_EQ(window->originalView()->framing().fit, cover::CoverFit::Fit);
    EXPECT_EQ(window->editedView()->framing().fit, cover::CoverFit::Fit);
    // Cancel leaves the cover's fit as it was.
    window->cancelButton()->click();
    EXPECT_EQ(host.covers().framing(cover::CoverKind::Dvd), filled);

    auto accepted = openWindow();
    accepted->findChild<QAction*>(QStringLiteral("fitFit"))->trigger();
    accepted->toolbarButton(2)->trigger(); // an edit: the picture is replaced, the crop kept
    finishEffect(*accepted);
    accepted->acceptButton()->click();
    EXPECT_EQ(host.covers().framing(cover::CoverKind::Dvd),
              (cover::Framing{cover::CoverFit::Fit, {0.2, 0.5}}));
}
