#include "core/base/ProgramFolder.h"
#include "core/settings/Settings.h"
#include "support/ScopedEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <ostream>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using vexa::test::ScopedEnvironment;

// The XDG base directory rules: $XDG_CONFIG_HOME when it is an absolute path, otherwise
// $HOME/.config.
TEST(ConfigFolder, FollowsTheBaseDirectoryRules) {
    QTemporaryDir home;
    ScopedEnvironment homeVariable("HOME", QFile::encodeName(home.path()));
    const QString fallback = home.path() + "/.config/vexa";
    const struct {
        QByteArray xdg;
        QString expected;
    } cases[] = {
        {QByteArray("/srv/cfg"), "/srv/cfg/vexa"},
        {QByteArray("/srv/cfg/"), "/srv/cfg/vexa"},
        {QByteArray(), fallback},               // unset
        {QByteArray(""), fallback},             // set but empty
        {QByteArray("relative/cfg"), fallback}, // not absolute: ignored
    };
    for (const auto& c : cases) {
        ScopedEnvironment xdg("XDG_CONFIG_HOME", c.xdg);
        EXPECT_EQ(vexa::base::configFolder(), c.expected) << c.xdg.constData();
    }
    EXPECT_FALSE(QFileInfo::exists(fallback)); // only naming it creates nothing
}

// A program folder laid out as one of the ways VEXA is run.
struct Layout {
    const char* name;
    const char* programFolder; // under the temporary root
    bool installed;            // creates share/vexa beside it
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const Layout& value, std::ostream* out) {
    *out << value.name;
}

class WhereFilesLive : public ::testing::TestWithParam<Layout> {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(root.path()).mkpath(GetParam().programFolder));
        if (GetParam().installed) {
            ASSERT_TRUE(QDir(root.path()).mkpath("usr/share/vexa"));
        }
        vexa::base::setProgramFolderForTesting(program());
    }
    void TearDown() override { vexa::base::setProgramFolderForTesting(QString()); }

    QString program() const { return root.filePath(GetParam().programFolder); }

    QTemporaryDir root;
    QTemporaryDir home;
    ScopedEnvironment xdg{"XDG_CONFIG_HOME", QFile::encodeName(home.filePath("config"))};
};

TEST_P(WhereFilesLive, SettingsAndData) {
    const QString config = home.filePath("config/vexa");
    if (GetParam().installed) {
        EXPECT_TRUE(vexa::base::isInstalledCopy());
        EXPECT_EQ(vexa::base::sharedDataFile("alert.wav"),
                  root.filePath("usr/share/vexa/alert.wav"));
        EXPECT_EQ(vexa::base::sharedDataFile("help"), root.filePath("usr/share/vexa/help"));
        // Even though this (root-run or own) program folder is writable.
        EXPECT_EQ(vexa::settings::settingsFilePath(), config + "/vexa6.ini");
        struct stat info {};
        ASSERT_EQ(stat(QFile::encodeName(config).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0700u);

    } else {
        EXPECT_FALSE(vexa::base::isInstalledCopy());
        EXPECT_EQ(vexa::base::sharedDataFile("alert.wav"), program() + "/alert.wav");
        EXPECT_EQ(vexa::base::sharedDataFile("help"), program() + "/help");
        EXPECT_EQ(vexa::settings::settingsFilePath(), program() + "/vexa6.ini");
        EXPECT_FALSE(QFileInfo::exists(home.filePath("config")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, WhereFilesLive,
    ::testing::Values(Layout{"Installed", "usr/bin", true},
                      Layout{"BuildFolder", "build/vexa", false},
                      // A folder called bin alone does not make an installed copy.
                      Layout{"UnpackedIntoBin", "unpacked/bin", false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
