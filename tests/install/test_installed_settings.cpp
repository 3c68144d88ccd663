#include "app/MainWindow.h"
#include "app/PictureBrowser.h"
#include "core/base/ProgramFolder.h"
#include "core/settings/ProfileFile.h"
#include "support/MainWindowParts.h"
#include "support/ObeyFilePermissions.h"
#include "support/ScopedEnvironment.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <ostream>

#include <memory>
#include <optional>

namespace {

using vexa::app::MainWindow;

struct Copy {
    const char* name;
    bool installed;       // bin/ with ../share/vexa beside it
    bool readOnlyProgram; // the program folder cannot be written
    bool usesConfig;      // where vexa6.ini is expected
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const Copy& value, std::ostream* out) {
    *out << value.name;
}

class SettingsLocation : public ::testing::TestWithParam<Copy> {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(root.path()).mkpath("bin"));
        if (GetParam().installed) {
            ASSERT_TRUE(QDir(root.path()).mkpath("share/vexa"));
        }
        vexa::base::setProgramFolderForTesting(program());
    }
    void TearDown() override {
        QFile::setPermissions(program(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        vexa::base::setProgramFolderForTesting(QString());
    }

    QString program() const { return root.filePath("bin"); }
    QString configIni() const { return home.filePath("config/vexa/vexa6.ini"); }
    QString programIni() const { return root.filePath("bin/vexa6.ini"); }

    // Opens the main window, lets `use` work with it, and closes it through File > Exit.
    template <typename Use> void runProgram(Use use) {
        std::optional<vexa::test::ObeyFilePermissions> obey;
        if (GetParam().readOnlyProgram) obey.emplace();
        auto window = std::make_unique<MainWindow>();
        window->start();
        use(*window);
        vexa::test::action(*window, "exitAction")->trigger();
    }

    QTemporaryDir root;
    QTemporaryDir home;
    QTemporaryDir pictures;
    vexa::test::ScopedEnvironment xdg{"XDG_CONFIG_HOME",
                                      QFile::encodeName(home.filePath("config"))};
};

TEST_P(SettingsLocation, TabDriveAndDirAreKeptAndRestored) {
    if (GetParam().readOnlyProgram) {
        ASSERT_TRUE(QFile::setPermissions(program(), QFile::ReadOwner | QFile::ExeOwner));
    }

    QString drive;
    runProgram([&](MainWindow& window) {
        // Nothing saved yet: the browser starts where the user's pictures may be, which for
        // an installed copy is not its bin folder.
        EXPECT_EQ(vexa::test::browser(window)->folder(),
                  GetParam().installed ? QDir::homePath() : program());
        ASSERT_TRUE(vexa::test::browser(window)->setFolder(pictures.path()));
        vexa::test::coverTabs(window)->setCurrentIndex(7);
        drive = vexa::test::browser(window)->drive();
    });
    ASSERT_FALSE(drive.isEmpty());

    const QString kept = GetParam().usesConfig ? configIni() : programIni();
    const vexa::settings::ProfileFile file(kept);
    EXPECT_EQ(file.read("MAIN", "Tab"), "7");
    EXPECT_EQ(file.read("MAIN", "Dir"), pictures.path());
    EXPECT_EQ(file.read("MAIN", "Drive"), drive);
    EXPECT_FALSE(QFileInfo::exists(GetParam().usesConfig ? programIni() : configIni()));
    // A copy that keeps its settings beside itself does not even create the folder.
    if (!GetParam().usesConfig) {
        EXPECT_FALSE(QFileInfo::exists(home.filePath("config")));
    }

    runProgram([&](MainWindow& window) {
        EXPECT_EQ(vexa::test::coverTabs(window)->currentIndex(), 7);
        EXPECT_EQ(vexa::test::browser(window)->folder(), pictures.path());
        EXPECT_EQ(vexa::test::browser(window)->drive(), drive);
    });
}

INSTANTIATE_TEST_SUITE_P(Copies, SettingsLocation,
                         ::testing::Values(Copy{"Installed", true, false, true},
                                           Copy{"InstalledReadOnly", true, true, true},
                                           Copy{"BuildFolder", false, false, false},
                                           Copy{"BuildFolderReadOnly", false, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
