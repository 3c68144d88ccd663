// The two notification popups as windows: what they show, where they slide, the main window
// they disable, and how they go away.
#include "core/base/ProgramFolder.h"
#include "notify/GradientPainter.h"
#include "notify/MessageNoticeWindow.h"
#include "notify/ScreenMetrics.h"
#include "notify/SystemColours.h"
#include "notify/UpdateNoticeWindow.h"
#include "support/FakeCoverHost.h"
#include "support/FakeXdgOpen.h"
#include "support/NoticeKeys.h"
#include "support/TestSupport.h"
#include "widgets/PictureHolder.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

using namespace vexa;
using notify::PopupButton;
using vexa::test::FakeCoverHost;

namespace {

const QUrl kInstaller(QStringLiteral("http://www.vexa.example/vexa/VEXA-Setup.exe"));

void deletePendingWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool shown(const notify::NoticeWindow& popup, PopupButton which) {
    const QPushButton* b = popup.button(which);
    return b && !b->isHidden();
}

// Runs the slide-out to its end, as its timer would; the number of ticks that moved it.
int slideOut(notify::NoticeWindow* popup) {
    QPointer<notify::NoticeWindow> alive(popup);
    int moved = 0;
    while (alive && alive->isVisible()) {
        const double before = alive->twipsGeometry().height;
        alive->slideOutStep();
        if (alive && alive->twipsGeometry().height != before) ++moved;
    }
    return moved;
}

void slideIn(notify::NoticeWindow* popup) {
    for (int tick = 0; tick < 1000 && popup->slideInTimer()->isActive(); ++tick)
        popup->slideInStep();
}

class PopupTest : public ::testing::Test {
protected:
    void SetUp() override {
        notify::resetOpenPopupCountForTesting();
        ASSERT_TRUE(folder.isValid());
        base::setProgramFolderForTesting(folder.path()); // no alert.wav unless a test puts one
        host.window().show();
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<notify::NoticeWindow*>(w)) w->close();
        deletePendingWindows();
        base::setProgramFolderForTesting(QString());
        notify::resetOpenPopupCountForTesting();
    }

    QTemporaryDir folder;
    FakeCoverHost host;
};

} // namespace

TEST_F(PopupTest, SelectCoverPopupShowsItsMessageWithOkAndDisablesTheMainWindow) {
    const QString message =
        QStringLiteral("Please select a cover by clicking on it and try again!");
    QPointer<notify::MessageNoticeWindow> popup =
        notify::MessageNoticeWindow::open(host, message, QStringLiteral("picture"));
    ASSERT_TRUE(popup);
    EXPECT_FALSE(host.window().isEnabled());
    EXPECT_TRUE(popup->isVisible());
    EXPECT_TRUE(popup->isEnabled());
    EXPECT_TRUE(popup->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(popup->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(popup->messageLabel()->text(), message);
    EXPECT_TRUE(shown(*popup, PopupButton::Ok));
    EXPECT_EQ(popup->button(PopupButton::Ok)->text(), QStringLiteral("OK"));
    EXPECT_EQ(popup->button(PopupButton::Download), nullptr);
    EXPECT_EQ(popup->popupIndex(), 1);
}

TEST_F(PopupTest, UpdatePopupButtonsFollowTheKind) {
    struct Case {
        const char* kind;
        bool ok, download, cancel;
    };
    for (const Case& c : {Case{"uptodate", true, false, false}, Case{"error", true, false, false},
                          Case{"update", false, true, true},
                          // An unknown kind still gets a way out.
                          Case{"surprise", true, false, false}}) {
        QPointer<notify::UpdateNoticeWindow> popup = notify::UpdateNoticeWindow::open(
            host, QStringLiteral("VEXA is up to date!"), QLatin1String(c.kind), kInstaller);
        EXPECT_EQ(shown(*popup, PopupButton::Ok), c.ok) << c.kind;
        EXPECT_EQ(shown(*popup, PopupButton::Download), c.download) << c.kind;
        EXPECT_EQ(shown(*popup, PopupButton::Cancel), c.cancel) << c.kind;
        popup->close();
        deletePendingWindows();
        EXPECT_FALSE(popup);
    }
    QPointer<notify::MessageNoticeWindow> small =
        notify::MessageNoticeWindow::open(host, QStringLiteral("x"), QStringLiteral("update"));
    EXPECT_TRUE(shown(*small, PopupButton::Ok));
}

TEST_F(PopupTest, LayoutIsPlacedInTwipsAtTheScreensResolution) {
    const auto pixels = [](int left, int top, int width, int height) {
        return QRect(notify::twipsToPixelsX(left), notify::twipsToPixelsY(top),
                     notify::twipsToPixelsX(width), notify::twipsToPixelsY(height));
    };
    QPointer<notify::MessageNoticeWindow> small =
        notify::MessageNoticeWindow::open(host, QStringLiteral("m"), QStringLiteral("picture"));
    EXPECT_EQ(small->background()->geometry(), pixels(0, 0, 2055, 1455));
    EXPECT_EQ(small->messageLabel()->geometry(), pixels(120, 240, 1815, 855));
    EXPECT_EQ(small->button(PopupButton::Ok)->geometry(), pixels(600, 1080, 855, 255));
    const QFont smallFont = small->messageLabel()->font();
    EXPECT_EQ(smallFont.families().value(0), QStringLiteral("Arial Narrow"));
    EXPECT_DOUBLE_EQ(smallFont.pointSizeF(), 9.75);
    EXPECT_FALSE(smallFont.bold());

    QPointer<notify::UpdateNoticeWindow> wide = notify::UpdateNoticeWindow::open(
        host, QStringLiteral("m"), QStringLiteral("update"), kInstaller);
    EXPECT_EQ(wide->background()->geometry(), pixels(0, 0, 5415, 1335));
    // The message is widened to reach the background's right edge.
    EXPECT_EQ(wide->messageLabel()->geometry().right(), wide->background()->width() - 1);
    EXPECT_EQ(wide->button(PopupButton::Download)->geometry(), pixels(1200, 840, 1335, 375));
    EXPECT_EQ(wide->button(PopupButton::Ok)->geometry(), pixels(2040, 840, 1335, 375));
    EXPECT_EQ(wide->button(PopupButton::Cancel)->geometry(), pixels(2880, 840, 1335, 375));
    EXPECT_DOUBLE_EQ(wide->messageLabel()->font().pointSizeF(), 18.0);
    EXPECT_TRUE(wide->messageLabel()->font().bold());
}

TEST_F(PopupTest, SlidesUpFromTheBottomOfTheScreenAndStaysUntilOk) {
    QPointer<notify::MessageNoticeWindow> popup =
        notify::MessageNoticeWindow::open(host, QStringLiteral("m"), QStringLiteral("picture"));
    EXPECT_FALSE(popup->anchoredToHost()); // only on Wayland
    const notify::ScreenTwips screen = notify::primaryScreenTwips();
    const notify::TwipsRect start = popup->twipsGeometry();
    EXPECT_DOUBLE_EQ(start.height, 90);
    // Just below the usable height, unless that would put the bottom edge below the screen.
    EXPECT_DOUBLE_EQ(start.top,
                     std::min(screen.fullScreenHeightPixels * screen.twipsPerPixelY + 300,
                              screen.heightPixels * screen.twipsPerPixelY - 90));
    EXPECT_EQ(popup->geometry(), notify::toPixels(start, screen));
    EXPECT_TRUE(popup->slideInTimer()->isActive());
    EXPECT_EQ(popup->slideInTimer()->interval(), 10);
    EXPECT_EQ(popup->slideOutTimer()->interval(), 10);
    // The display time is kept but nothing starts its timer: the popup waits for a button.
    EXPECT_EQ(popup->displayTimer()->interval(), 3000);
    EXPECT_FALSE(popup->displayTimer()->isActive());

    popup->slideInStep();
    EXPECT_DOUBLE_EQ(popup->twipsGeometry().height, 120);
    EXPECT_DOUBLE_EQ(popup->twipsGeometry().top, start.top - 30);
    EXPECT_EQ(popup->geometry(), notify::toPixels(popup->twipsGeometry(), screen));

    slideIn(popup);
    EXPECT_FALSE(popup->slideInTimer()->isActive());
    const double full = popup->background()->height() * screen.twipsPerPixelY;
    EXPECT_DOUBLE_EQ(popup->twipsGeometry().height, full);
    EXPECT_DOUBLE_EQ(popup->twipsGeometry().top + full, start.top + 90);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_FALSE(host.window().isEnabled());

    popup->button(PopupButton::Ok)->click();
    EXPECT_TRUE(popup->slideOutTimer()->isActive());
    EXPECT_EQ(slideOut(popup), 45);
    EXPECT_TRUE(host.window().isEnabled());
    deletePendingWindows();
    EXPECT_FALSE(popup);
    EXPECT_EQ(notify::openPopupCount(), 0);
}

TEST_F(PopupTest, OkWhileStillRisingSinksInsteadOfHanging) {
    QPointer<notify::MessageNoticeWindow> popup =
        notify::MessageNoticeWindow::open(host, QStringLiteral("m"), QStringLiteral("picture"));
    for (int tick = 0; tick < 40; ++tick) popup->slideInStep();
    popup->button(PopupButton::Ok)->click();
    EXPECT_FALSE(popup->slideInTimer()->isActive());
    EXPECT_GT(slideOut(popup), 0);
    EXPECT_TRUE(host.window().isEnabled());
}

TEST_F(PopupTest, TwoPopupsStackAndTheCountEmptiesWithTheUpperOne) {
    QPointer<notify::MessageNoticeWindow> lower =
        notify::MessageNoticeWindow::open(host, QStringLiteral("1"), QStringLiteral("picture"));
    QPointer<notify::MessageNoticeWindow> upper =
        notify::MessageNoticeWindow::open(host, QStringLiteral("2"), QStringLiteral("picture"));
    EXPECT_EQ(lower->popupIndex(), 1);
    EXPECT_EQ(upper->popupIndex(), 2);
    slideIn(lower);
    slideIn(upper);
    EXPECT_DOUBLE_EQ(upper->twipsGeometry().top + upper->twipsGeometry().height,
                     lower->twipsGeometry().top);
    EXPECT_EQ(upper->geometry().bottom() + 1, lower->geometry().top());

    lower->button(PopupButton::Ok)->click();
    slideOut(lower);
    // The main window stays locked until the last notice is answered.
    EXPECT_FALSE(host.window().isEnabled());
    EXPECT_EQ(notify::openPopupCount(), 2);
    upper->button(PopupButton::Ok)->click();
    slideOut(upper);
    EXPECT_TRUE(host.window().isEnabled());
    EXPECT_EQ(notify::openPopupCount(), 0);
}

TEST_F(PopupTest, DownloadOpensTheInstallerAndClosesAtOnce) {
    test::FakeXdgOpen browser;
    QPointer<notify::UpdateNoticeWindow> popup = notify::UpdateNoticeWindow::open(
        host, QStringLiteral("A new version of VEXA is available!"), QStringLiteral("update"),
        kInstaller);
    slideIn(popup);
    popup->button(PopupButton::Download)->click();
    EXPECT_FALSE(popup->isVisible());
    EXPECT_FALSE(popup->slideOutTimer()->isActive());
    EXPECT_TRUE(host.window().isEnabled());
    EXPECT_EQ(notify::openPopupCount(), 0);
    deletePendingWindows();
    EXPECT_FALSE(popup);
    EXPECT_EQ(browser.waitForAddresses(1), QStringList{kInstaller.toString()});
}

TEST_F(PopupTest, CancelSlidesOutLikeOk) {
    test::FakeXdgOpen browser;
    QPointer<notify::UpdateNoticeWindow> popup = notify::UpdateNoticeWindow::open(
        host, QStringLiteral("m"), QStringLiteral("update"), kInstaller);
    slideIn(popup);
    popup->button(PopupButton::Cancel)->click();
    EXPECT_TRUE(popup->slideOutTimer()->isActive());
    EXPECT_GT(slideOut(popup), 0);
    EXPECT_TRUE(browser.addresses().isEmpty());
    EXPECT_TRUE(host.window().isEnabled());
}

TEST_F(PopupTest, TheNoticeTakesTheFocusAndAnswersEnterAndEscape) {
    for (const test::NoticeKey& c : test::kNoticeKeys) {
        SCOPED_TRACE(std::string(c.kind) + " " + QKeySequence(c.key).toString().toStdString());
        test::FakeXdgOpen browser;
        QPointer<notify::NoticeWindow> popup =
            c.kind == std::string("update")
                ? static_cast<notify::NoticeWindow*>(notify::UpdateNoticeWindow::open(
                      host, QStringLiteral("m"), QStringLiteral("update"), kInstaller))
                : notify::MessageNoticeWindow::open(host, QStringLiteral("m"),
                                                    QStringLiteral("picture"));
        ASSERT_TRUE(QTest::qWaitForWindowActive(popup));
        EXPECT_EQ(
            QApplication::focusWidget(),
            popup->button(c.pressed == PopupButton::Cancel ? PopupButton::Download : c.pressed));
        EXPECT_EQ(popup->accessibleName(), "VEXA notice");
        EXPECT_EQ(popup->accessibleDescription(), "m");
        PopupButton clicked{};
        bool anyClicked = false;
        for (PopupButton b : {PopupButton::Ok, PopupButton::Download, PopupButton::Cancel})
            if (QPushButton* button = popup->button(b))
                QObject::connect(button, &QPushButton::clicked, [&, b] {
                    clicked = b;
                    anyClicked = true;
                });
        QTest::keyClick(QApplication::focusWidget(), c.key);
        EXPECT_TRUE(anyClicked);
        EXPECT_EQ(clicked, c.pressed);
        if (c.pressed == PopupButton::Download) {
            EXPECT_EQ(browser.waitForAddresses(1), QStringList{kInstaller.toString()});
        }
        if (popup) popup->close();
        deletePendingWindows();
    }
}

TEST_F(PopupTest, ClosedAnyOtherWayTheMainWindowIsEnabledAgain) {
    QPointer<notify::MessageNoticeWindow> closed =
        notify::MessageNoticeWindow::open(host, QStringLiteral("m"), QStringLiteral("picture"));
    closed->close();
    EXPECT_TRUE(host.window().isEnabled());

    auto* deleted =
        notify::MessageNoticeWindow::open(host, QStringLiteral("m"), QStringLiteral("picture"));
    EXPECT_FALSE(host.window().isEnabled());
    delete deleted;
    EXPECT_TRUE(host.window().isEnabled());
    EXPECT_EQ(notify::openPopupCount(), 0);

    // A main window gone first is simply not enabled again.
    auto owner = std::make_unique<FakeCoverHost>();
    QPointer<notify::MessageNoticeWindow> orphan =
        notify::MessageNoticeWindow::open(*owner, QStringLiteral("m"), QStringLiteral("picture"));
    owner.reset();
    orphan->close();
}

TEST_F(PopupTest, BackgroundIsTheBlueToWhiteGradient) {
    QPointer<notify::MessageNoticeWindow> popup =
        notify::MessageNoticeWindow::open(host, QStringLiteral("m"), QStringLiteral("picture"));
    const notify::GradientPainter* gradient = popup->gradient();
    ASSERT_NE(gradient, nullptr);
    EXPECT_FLOAT_EQ(gradient->angle(), 260.0f);
    EXPECT_EQ(gradient->colour1(), 61 + 149 * 256 + 255 * 65536);
    EXPECT_EQ(gradient->colour2(), 0xFFFFFF);
    const QImage background = popup->background()->picture();
    ASSERT_EQ(background.size(), popup->background()->size());
    const QRgb top = background.pixel(background.width() - 1, 0);
    const QRgb bottom = background.pixel(0, background.height() - 1);
    EXPECT_LT(qRed(top), 80);
    EXPECT_EQ(qBlue(top), 255);
    EXPECT_GT(qRed(bottom), 235);
}

TEST_F(PopupTest, ChimePlaysOnlyWhenTheFileIsThere) {
    QPointer<notify::MessageNoticeWindow> silent =
        notify::MessageNoticeWindow::open(host, QStringLiteral("m"), QStringLiteral("picture"));
    EXPECT_EQ(silent->alertSound(), nullptr);
    silent->close();

    const QString wav = folder.filePath(QStringLiteral("alert.wav"));
    ASSERT_TRUE(QFile::copy(vexa::test::sourceDir() + "/resources/alert.wav", wav));
    QPointer<notify::MessageNoticeWindow> chiming =
        notify::MessageNoticeWindow::open(host, QStringLiteral("m"), QStringLiteral("picture"));
    ASSERT_NE(chiming->alertSound(), nullptr);
    EXPECT_EQ(chiming->alertSound()->source(), QUrl::fromLocalFile(wav));

    // Qt Multimedia reads the sound on a thread of its own; a program that quits while it
    // reads loses what that thread had in hand, so let the reading end before the test does.
    QSoundEffect* sound = chiming->alertSound();
    EXPECT_TRUE(QTest::qWaitFor(
        [sound] {
            return sound->status() == QSoundEffect::Ready || sound->status() == QSoundEffect::Error;
        },
        5000));
    chiming->close();
    deletePendingWindows();
    QTest::qWait(50);
}

TEST(GradientColours, DesktopColourNumbersTakeThePalettesColours) {
    const auto asValue = [](const QColor& c) {
        return c.red() + c.green() * 256 + c.blue() * 65536;
    };
    const QPalette palette = QGuiApplication::palette();
    notify::GradientPainter gradient;
    gradient.setColour1(static_cast<std::int32_t>(0x8000000Fu)); // button face
    EXPECT_EQ(gradient.colour1(), asValue(palette.color(QPalette::Active, QPalette::Button)));
    gradient.setColour2(static_cast<std::int32_t>(0x80000008u)); // window text
    EXPECT_EQ(gradient.colour2(), asValue(palette.color(QPalette::Active, QPalette::Text)));

    // Numbers past the desktop colours, and ordinary colours, are kept as they are.
    gradient.setColour1(static_cast<std::int32_t>(0x80000019u));
    EXPECT_EQ(gradient.colour1(), static_cast<std::int32_t>(0x80000019u));
    EXPECT_FALSE(notify::systemColour(0x00123456).has_value());
    EXPECT_TRUE(notify::systemColour(static_cast<std::int32_t>(0x80000000u)).has_value());
}

TEST(GradientBox, PaintsTheWholeBoxAndRefusesATinyOne) {
    widgets::PictureHolder box;
    box.resize(50, 20);
    ASSERT_TRUE(notify::GradientPainter().paint(box));
    EXPECT_EQ(box.picture().size(), QSize(50, 20));

    widgets::PictureHolder tiny;
    tiny.resize(1, 1);
    EXPECT_FALSE(notify::GradientPainter().paint(tiny));
    EXPECT_FALSE(tiny.hasPicture());
}

#include "test_popups.moc"
