// `vexa`'s command line: Qt's own options pass, files keep their bytes, and --help, --version
// and mistakes are answered without a display.

#include "app/AppCommandLine.h"
#include "app/DisplayPlatform.h"
#include "core/base/CommandLine.h"
#include "core/base/FilePath.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

using namespace vexa;

namespace {

using Action = vexa::app::AppCommandLine::Action;

TEST(AppCommandLine, QtsOptionsPassAndEverythingElseIsAFile) {
    const QString byteName = vexa::base::fileNameText("caf\xe9.png");
    const struct {
        QStringList arguments;
        Action action;
        QStringList files;
    } cases[] = {
        {{}, Action::Run, {}},
        {{"-platform", "offscreen", "a.png", "b.jpg"}, Action::Run, {"a.png", "b.jpg"}},
        {{"--platform", "xcb", "-style=fusion", "-reverse", "a.png"}, Action::Run, {"a.png"}},
        {{"a.png", "-qwindowgeometry", "100x100", "-"}, Action::Run, {"a.png", "-"}},
        {{"--", "-platform", "--help"}, Action::Run, {"-platform", "--help"}},
        {{byteName}, Action::Run, {byteName}},
        {{"a.png", "--help"}, Action::Help, {}},
        {{"-h"}, Action::Help, {}},
        {{"--version"}, Action::Version, {}},
        {{"-v", "-platform", "offscreen"}, Action::Version, {}},
        {{"--bogus", "a.png"}, Action::UsageError, {}},
        {{"a.png", "-platform"}, Action::UsageError, {}},
        {{"--version=2"}, Action::UsageError, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const vexa::app::AppCommandLine parsed =
            vexa::app::parseAppCommandLine(QStringList{"vexa"} + c.arguments);
        EXPECT_EQ(parsed.action, c.action);
        EXPECT_EQ(parsed.files, c.files);
        EXPECT_EQ(parsed.error.isEmpty(), c.action != Action::UsageError);
    }
    EXPECT_EQ(vexa::app::parseAppCommandLine({"vexa", "--bogus"}).error,
              "unknown option '--bogus'");
    EXPECT_EQ(vexa::app::parseAppCommandLine({"vexa", "-bogus=1"}).error,
              "unknown option '-bogus'");
    EXPECT_EQ(vexa::app::parseAppCommandLine({"vexa", "-style"}).error, "'-style' needs a value");
    EXPECT_EQ(vexa::app::parseAppCommandLine({"vexa", "--help=x"}).error,
              "'--help' takes no value");
}

TEST(AppCommandLine, ArgumentsKeepEveryByteOfAFileName) {
    char program[] = "vexa";
    char name[] = "caf\xe9 \xff\xfe.png";
    char* argv[] = {program, name, nullptr};
    const QStringList arguments = vexa::base::argumentsAsText(2, argv);
    ASSERT_EQ(arguments.size(), 2);
    EXPECT_EQ(vexa::base::FilePath::fromText(arguments[1]).bytes(), QByteArray(name));
}

struct ProgramRun {
    int status;
    QByteArray out;
    QByteArray err;
};

// The program as a user without a graphical session starts it.
ProgramRun runWithoutDisplay(const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VEXA_APP_PATH), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

TEST(AppCommandLine, HelpVersionAndMistakesNeedNoDisplay) {
    for (const char* option : {"--help", "-h"}) {
        const ProgramRun help = runWithoutDisplay({option});
        EXPECT_EQ(help.status, 0) << help.err.toStdString();
        EXPECT_TRUE(help.out.startsWith("usage: vexa [FILE...]\n")) << help.out.toStdString();
        EXPECT_TRUE(help.out.contains("--version")) << help.out.toStdString();
        EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();
    }
    const ProgramRun version = runWithoutDisplay({"--version"});
    EXPECT_EQ(version.status, 0) << version.err.toStdString();
    EXPECT_EQ(version.out, "vexa " VEXA_VERSION "\n");

    const ProgramRun mistake = runWithoutDisplay({"--bogus\x1b[2J", "a.png"});
    EXPECT_EQ(mistake.status, 2);
    EXPECT_EQ(mistake.err, "vexa: unknown option '--bogus\\x1B[2J' (try 'vexa --help')\n");
    EXPECT_TRUE(mistake.out.isEmpty());
}

} // namespace

TEST(AppCommandLine, APlatformOnTheCommandLineIsNoted) {
    EXPECT_FALSE(vexa::app::parseAppCommandLine({"vexa", "a.png"}).platformChosen);
    EXPECT_TRUE(vexa::app::parseAppCommandLine({"vexa", "-platform", "wayland"}).platformChosen);
    EXPECT_TRUE(
        vexa::app::parseAppCommandLine({"vexa", "--platform", "xcb", "a.png"}).platformChosen);
    // After -- it is a file.
    EXPECT_FALSE(vexa::app::parseAppCommandLine({"vexa", "--", "-platform", "x"}).platformChosen);
}

TEST(DisplayPlatform, AWaylandSessionWithXWaylandRunsVexaOnX11UnlessTheUserChose) {
    const struct {
        const char* what;
        vexa::app::DisplaySession session;
        bool commandLine;
        const char* expected;
    } cases[] = {
        {"Wayland with XWayland", {"", "wayland-0", ":0", "wayland"}, false, "xcb;wayland"},
        {"Wayland socket, no session type", {"", "wayland-1", ":1", ""}, false, "xcb;wayland"},
        {"session type only", {"", "", ":0", "wayland"}, false, "xcb;wayland"},
        {"Wayland only", {"", "wayland-0", "", "wayland"}, false, ""},
        {"X11 session", {"", "", ":0", "x11"}, false, ""},
        {"no display at all", {"", "", "", "tty"}, false, ""},
        {"QT_QPA_PLATFORM chosen", {"wayland", "wayland-0", ":0", "wayland"}, false, ""},
        {"-platform chosen", {"", "wayland-0", ":0", "wayland"}, true, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vexa::app::preferredPlatform(c.session, c.commandLine), QLatin1String(c.expected))
            << c.what;
}
