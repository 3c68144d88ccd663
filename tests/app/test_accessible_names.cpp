// What a screen reader reaches in the windows has a name to read out.
#include "app/MainWindow.h"
#include "core/base/ProgramFolder.h"
#include "notify/MessageNoticeWindow.h"
#include "print/PrintDialog.h"
#include "support/FakeCoverHost.h"

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Roles a user acts on or reads, each of which needs a name of its own.
bool needsName(QAccessible::Role role) {
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ButtonMenu:
    case QAccessible::ComboBox:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::ToolBar:
    case QAccessible::PageTab:
    case QAccessible::Graphic:
    case QAccessible::Window:
    case QAccessible::Dialog:
        return true;
    default:
        return false;
    }
}

// Every object under `node` a screen reader would find without a name, as "role objectName",
// hidden ones too: a reader lists those.
void collectUnnamed(QAccessibleInterface* node, QStringList& unnamed, bool topLevel) {
    if (!node) return;
    const QObject* object = node->object();
    const QString name = node->text(QAccessible::Name).trimmed();
    // A numbered object name ("mainToolbar") read out is no better than none.
    const bool nameless = name.isEmpty() || (object && name == object->objectName() &&
                                             !name.isEmpty() && name.back().isDigit());
    // A window itself is what the reader announces first, whatever its role.
    if (nameless && (topLevel || needsName(node->role()))) {
        const QObject* parent = object ? object->parent() : nullptr;
        unnamed << QStringLiteral("%1 %2 in %3")
                       .arg(node->role())
                       .arg(object ? object->objectName() : QString(),
                            parent ? parent->objectName() : QString());
    }
    for (int i = 0; i < node->childCount(); ++i) collectUnnamed(node->child(i), unnamed, false);
}

std::string unnamedIn(QWidget* window) {
    QStringList unnamed;
    collectUnnamed(QAccessible::queryAccessibleInterface(window), unnamed, true);
    return unnamed.join(QStringLiteral("; ")).toStdString();
}

} // namespace

TEST(AccessibleNames, EveryWindowAndControlHasOne) {
    QTemporaryDir programDir;
    vexa::base::setProgramFolderForTesting(programDir.path());
    {
        auto window = std::make_unique<vexa::app::MainWindow>();
        window->start();
        EXPECT_EQ(unnamedIn(window.get()), "") << "main window";
    }
    vexa::test::FakeCoverHost host;
    host.window().show();
    {
        vexa::print::PrintDialog dialog(host.covers());
        EXPECT_EQ(unnamedIn(&dialog), "") << "print dialog";
        const auto* mini = dialog.findChild<QPushButton*>("miniTile");
        ASSERT_NE(mini, nullptr);
        EXPECT_EQ(mini->accessibleName().toStdString(), "CD mini cover");
    }
    auto* notice = vexa::notify::MessageNoticeWindow::open(
        host, QStringLiteral("Please select a cover."), QStringLiteral("picture"));
    EXPECT_EQ(unnamedIn(notice), "") << "notice";
    notice->close();
    vexa::base::setProgramFolderForTesting(QString());
}
