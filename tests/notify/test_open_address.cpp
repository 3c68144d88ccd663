// Handing an address to the desktop: the outcome is learnt from xdg-open's exit status without
// waiting for it, and an address nothing could open is offered for copying.
#include "notify/OpenAddress.h"
#include "support/FakeXdgOpen.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace vexa;
using vexa::test::FakeXdgOpen;
using vexa::test::waitUntil;

namespace {

QList<notify::AddressMessage*> openMessages() {
    QList<notify::AddressMessage*> found;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* message = qobject_cast<notify::AddressMessage*>(widget);
            message && message->isVisible())
            found.append(message);
    return found;
}

} // namespace

TEST(AddressOpenerTest, TheExitStatusDecidesWhetherTheAddressIsOfferedForCopying) {
    const QUrl address(
        QStringLiteral("mailto:support@vexa.example?subject=VEXA 6 Bug Report (Version 6)"),
        QUrl::TolerantMode);
    // xdg-open's exit statuses: 0 opened, 3 no program for the address, 4 the program failed;
    // nullopt: there is no xdg-open at all.
    const struct {
        std::optional<int> status;
        bool opened;
    } cases[] = {{0, true}, {3, false}, {4, false}, {std::nullopt, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status ? c.status.value() : -1);
        QWidget owner;
        std::unique_ptr<FakeXdgOpen> desktop;
        QTemporaryDir nothing;
        const QByteArray path = qgetenv("PATH");
        if (c.status)
            desktop = std::make_unique<FakeXdgOpen>(*c.status, 1);
        else
            qputenv("PATH", nothing.path().toLocal8Bit());

        std::optional<bool> outcome;
        notify::AddressOpener* opener = notify::AddressOpener::open(address, &owner);
        QObject::connect(opener, &notify::AddressOpener::finished,
                         [&](bool opened) { outcome = opened; });
        qputenv("PATH", path);
        if (desktop) {
            // Handed over without waiting: the stand-in is still in its one-second pause.
            EXPECT_FALSE(outcome.has_value());
            EXPECT_TRUE(desktop->addresses().isEmpty());
        }
        ASSERT_TRUE(waitUntil([&] { return outcome.has_value(); }));
        EXPECT_EQ(*outcome, c.opened);
        if (desktop) {
            // Blanks and brackets reach the mail program escaped, as a mailto address needs.
            EXPECT_EQ(desktop->addresses(),
                      QStringList{"mailto:support@vexa.example?subject=VEXA%206%20Bug%20Report%20("
                                  "Version%206)"});
        }

        const QList<notify::AddressMessage*> messages = openMessages();
        if (c.opened) {
            EXPECT_TRUE(messages.isEmpty());
            continue;
        }
        ASSERT_EQ(messages.size(), 1);
        notify::AddressMessage* message = messages.front();
        EXPECT_EQ(message->parentWidget(), &owner);
        EXPECT_FALSE(message->isModal()); // the main window stays usable
        EXPECT_EQ(message->addressLine()->text(),
                  "mailto:support@vexa.example?subject=VEXA 6 Bug Report (Version 6)");
        EXPECT_TRUE(message->addressLine()->isReadOnly());
        EXPECT_EQ(message->addressLine()->selectedText(), message->addressLine()->text());
        QApplication::clipboard()->clear();
        message->findChild<QPushButton*>("copyButton")->click();
        EXPECT_EQ(QApplication::clipboard()->text(), message->addressLine()->text());
        message->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
