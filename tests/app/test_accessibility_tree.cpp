// What a screen reader finds in VEXA's windows, read over AT-SPI from the accessibility bus the
// way Orca reads it: each thing a user acts on or reads has a name and the role that says what
// it is.
#include "about/AboutWindow.h"
#include "app/MainWindow.h"
#include "core/base/ProgramFolder.h"
#include "editor/CoverEditor.h"
#include "notify/OpenAddress.h"
#include "print/PrintDialog.h"
#include "print/PrinterChooser.h"
#include "shell/HelpBook.h"
#include "shell/HelpWindow.h"
#include "support/AtSpiTree.h"
#include "support/MainWindowParts.h"
#include "support/TestSupport.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <algorithm>

#include <gtest/gtest.h>

using namespace vexa;

namespace {

QString describe(const test::AtSpiNode& node) {
    return QStringLiteral("%1 \"%2\"%3")
        .arg(node.role, node.name, node.checked ? QStringLiteral(" checked") : QString());
}

} // namespace

TEST(AccessibilityTree, EachWindowAndControlHasTheNameAndRoleAReaderAnnounces) {
    QTemporaryDir programDir;
    base::setProgramFolderForTesting(programDir.path());
    {
        app::MainWindow window;
        window.start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QImage picture(300, 200, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        window.covers().setPicture(cover::CoverKind::Dvd, picture::LoadedPicture::made(picture));
        test::coverTabs(window)->setCurrentIndex(3); // DVD
        QTest::mouseClick(test::slotHolder(window, 4), Qt::LeftButton);

        print::PrintDialog printDialog(window.covers());
        printDialog.show();
        auto* mini = printDialog.findChild<QPushButton*>(QStringLiteral("miniTile"));
        ASSERT_NE(mini, nullptr);
        const bool miniWasChecked = mini->isChecked();
        mini->setFocus();
        QTest::keyClick(mini, Qt::Key_Space); // as a keyboard user chooses a cover
        ASSERT_NE(mini->isChecked(), miniWasChecked);

        auto* help = new shell::HelpWindow(
            shell::HelpBook::load(test::sourceDir() + QStringLiteral("/resources/help")), &window);
        help->show();
        auto* printers = new print::PrinterChooser(&window);
        printers->show();
        editor::CoverEditor editor(window);
        editor.show();
        about::AboutWindow::open(&window);
        auto* address = new notify::AddressMessage(
            QUrl(QStringLiteral("mailto:support@vexa.example")), &window);
        address->show();

        QString error;
        const std::vector<test::AtSpiNode> nodes = test::readOwnAccessibilityTree(&error);
        ASSERT_FALSE(nodes.empty()) << error.toStdString();
        QStringList seen;
        for (const test::AtSpiNode& node : nodes)
            seen << QString(node.depth * 2, QLatin1Char(' ')) + describe(node);
        const std::string tree = seen.join(QLatin1Char('\n')).toStdString();

        struct Expected {
            const char* role;
            const char* name;
            bool checked;
        };
        const Expected expected[] = {
            // The cover slots: the kind, and whether a picture is in it.
            {"image", "CD front cover, no picture", false},
            {"image", "DVD cover, with a picture", false},
            {"image", "Scanned picture, no picture", false},
            // The print dialog's covers are buttons that say when they are chosen.
            {"panel", "Covers", false},
            {"check box", "CD mini cover", !miniWasChecked},
            {"check box", "Blu-ray cover", false},
            // Help: a window of its own with its contents and text.
            {"frame", "VEXA 6 Help", false},
            {"tree", "Contents", false},
            {"label", "Help text", false},
            // Set Temporary Printer: a dialog; its list named by its caption.
            {"dialog", "Set Temporary Printer", false},
            {"list", "Select a printer:", false},
            // The Cover Manipulator's two previews.
            {"image", "Original Picture", false},
            {"image", "Modified Picture", false},
            {"tool bar", "Tools", false},
            {"tool bar", "Toolbar", false},
            // About's credits, and the address a bug report goes to.
            {"label", "Credits", false},
            {"text", "Address", false},
        };
        for (const Expected& e : expected) {
            const bool found = std::any_of(nodes.begin(), nodes.end(), [&](const auto& node) {
                return node.role == QLatin1String(e.role) && node.name == QLatin1String(e.name) &&
                       node.checked == e.checked;
            });
            EXPECT_TRUE(found) << e.role << " \"" << e.name << "\"" << (e.checked ? " checked" : "")
                               << " is not in the tree:\n"
                               << tree;
        }
        // No window is a nameless filler.
        for (const test::AtSpiNode& node : nodes) {
            if (node.depth != 0) continue;
            EXPECT_NE(node.role, QLatin1String("filler")) << describe(node).toStdString();
            EXPECT_FALSE(node.name.isEmpty()) << describe(node).toStdString();
        }
    }
    base::setProgramFolderForTesting(QString());
}
