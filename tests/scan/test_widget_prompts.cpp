#include "scan/WidgetPrompts.h"

#include "support/ModalDriver.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using vexa::scan::qtFileFilter;
using vexa::scan::UserPrompts;
using vexa::scan::WidgetPrompts;
using vexa::test::whenModal;

namespace {

TEST(WidgetPrompts, MessageBoxesShowTextTitleAndIcon) {
    WidgetPrompts prompts(nullptr);
    whenModal<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->text(), "File Not Saved");
        EXPECT_EQ(box->windowTitle(), "Unable to save file.");
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        box->button(QMessageBox::Ok)->click();
    });
    prompts.message("File Not Saved", "Unable to save file.", UserPrompts::Icon::Error);

    whenModal<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        box->button(QMessageBox::Ok)->click();
    });
    prompts.message("File Saved", "Successfully saved file.", UserPrompts::Icon::Information);
}

TEST(WidgetPrompts, BoxesAreWideEnoughForTheirWholeTitle) {
    // The title bar needs the title in the window manager's title font, plus room for the
    // window icon and three buttons: about 90 pixels in openbox's default theme (measured on a
    // screenshot), so at least 90 more than the text.
    const QFontMetrics titleFont(QFontDatabase::systemFont(QFontDatabase::TitleFont));
    WidgetPrompts prompts(nullptr);
    const struct {
        const char* text;
        const char* title;
        UserPrompts::Icon icon;
    } boxes[] = {
        {"File Not Saved", "Unable to save file.", UserPrompts::Icon::Error},
        {"File Saved", "Successfully saved file.", UserPrompts::Icon::Information},
        {"Unable to acquire image!", "Unable to acquire image!", UserPrompts::Icon::Error}};
    for (const auto& box : boxes) {
        int width = 0;
        whenModal<QMessageBox>([&width](QMessageBox* shown) {
            width = shown->frameGeometry().width();
            shown->button(QMessageBox::Ok)->click();
        });
        prompts.message(box.text, box.title, box.icon);
        EXPECT_GE(width, titleFont.horizontalAdvance(QLatin1String(box.title)) + 90) << box.title;
    }
}

TEST(WidgetPrompts, YesNoQuestion) {
    WidgetPrompts prompts(nullptr);
    for (const auto answer : {QMessageBox::Yes, QMessageBox::No}) {
        whenModal<QMessageBox>([answer](QMessageBox* box) {
            EXPECT_EQ(box->text(), "a.png already exists. Do you want to replace this file?");
            EXPECT_EQ(box->windowTitle(), "File Already Exists");
            EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
            box->button(answer)->click();
        });
        EXPECT_EQ(prompts.askYesNo("a.png already exists. Do you want to replace this file?",
                                   "File Already Exists"),
                  answer == QMessageBox::Yes);
    }
}

TEST(WidgetPrompts, SaveDialogOffersTheFiltersAndReturnsTheNameAsTyped) {
    QTemporaryDir folder;
    QFile existing(folder.filePath("cover.png"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    WidgetPrompts prompts(nullptr);
    whenModal<QFileDialog>([&folder](QFileDialog* dialog) {
        EXPECT_EQ(dialog->nameFilters(), QStringList({"BMP (*.BMP)", "GIF (*.GIF)"}));
        EXPECT_EQ(dialog->selectedNameFilter(), "BMP (*.BMP)");
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_TRUE(dialog->defaultSuffix().isEmpty());
        EXPECT_TRUE(dialog->findChild<QLineEdit*>("fileNameEdit")->text().isEmpty());
        // An existing name is returned without a question of the dialog's own.
        dialog->selectFile(folder.filePath("cover.png"));
        static_cast<QDialog*>(dialog)->accept(); // protected in QFileDialog
    });
    EXPECT_EQ(prompts.saveFileName("BMP|*.BMP|GIF|*.GIF"), folder.filePath("cover.png"));

    whenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(prompts.saveFileName("BMP|*.BMP"), std::nullopt);
}

TEST(QtFileFilter, PairsOfCaptionAndPatterns) {
    EXPECT_EQ(qtFileFilter("BMP|*.BMP|GIF|*.GIF|JPG|*.JPG|PNG|*.PNG|TIF|*.TIF"),
              "BMP (*.BMP);;GIF (*.GIF);;JPG (*.JPG);;PNG (*.PNG);;TIF (*.TIF)");
    EXPECT_EQ(qtFileFilter("Pictures|*.JPG;*.GIF"), "Pictures (*.JPG *.GIF)");
    EXPECT_EQ(qtFileFilter(""), "");
}

} // namespace
