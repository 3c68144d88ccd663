#include "support/XServerWithTray.h"

#include <QByteArray>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace vexa::test {

namespace {

pid_t spawn(const std::vector<QByteArray>& args, posix_spawn_file_actions_t* actions, char** env) {
    std::vector<char*> argv;
    for (const QByteArray& arg : args) argv.push_back(const_cast<char*>(arg.constData()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], actions, nullptr, argv.data(), env) != 0) return -1;
    return pid;
}

void stop(pid_t& pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

} // namespace

XServerWithTray::~XServerWithTray() {
    stop(m_compositor);
    stop(m_windowManager);
    stop(m_tray);
    stop(m_server);
}

bool XServerWithTray::start() {
    // Xvfb picks a free display number and writes it to the pipe once it accepts clients.
    int fds[2];
    if (pipe(fds) != 0) {
        m_error = QStringLiteral("no pipe");
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const QByteArray screen = m_desktop ? QByteArray::number(kDesktopWidth) + 'x' +
                                              QByteArray::number(kDesktopHeight) + "x24"
                                        : QByteArray("1024x768x24");
    m_server = spawn({"Xvfb", "-displayfd", QByteArray::number(fds[1]), "-screen", "0", screen,
                      "-nolisten", "tcp"},
                     &actions, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (m_server < 0) {
        close(fds[0]);
        m_error = QStringLiteral("Xvfb could not be started (scripts/setup installs it)");
        return false;
    }

    QByteArray number;
    pollfd readable{fds[0], POLLIN, 0};
    while (!number.endsWith('\n') && poll(&readable, 1, 30000) > 0) {
        char c = 0;
        if (read(fds[0], &c, 1) != 1) break;
        number += c;
    }
    close(fds[0]);
    if (number.trimmed().isEmpty()) {
        m_error = QStringLiteral("Xvfb did not report its display");
        return false;
    }
    m_display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());

    // trayer owns the notification-area selection of that display.
    std::vector<QByteArray> env{"DISPLAY=" + m_display.toLatin1(), "PATH=" + qgetenv("PATH"),
                                "HOME=" + qgetenv("HOME")};
    std::vector<char*> envp;
    for (QByteArray& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    m_tray = spawn({"trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                    "--height", "24", "--SetDockType", "true", "--expand", "true"},
                   &quiet, envp.data());
    posix_spawn_file_actions_destroy(&quiet);
    if (m_tray < 0) {
        m_error = QStringLiteral("trayer could not be started (scripts/setup installs it)");
        return false;
    }
    return !m_desktop || startDesktop(envp.data());
}

bool XServerWithTray::startDesktop(char** env) {
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    m_windowManager = spawn({"openbox", "--sm-disable"}, &quiet, env);
    m_compositor = spawn({"xcompmgr"}, &quiet, env);
    posix_spawn_file_actions_destroy(&quiet);
    if (m_windowManager < 0 || m_compositor < 0) {
        m_error = QStringLiteral("openbox or xcompmgr could not be started (scripts/setup "
                                 "installs them)");
        return false;
    }
    return true;
}

} // namespace vexa::test
