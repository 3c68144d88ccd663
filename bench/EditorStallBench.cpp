// The longest stall of the window's thread while the Cover Manipulator runs an effect or a tool
// on a 24-megapixel picture (6000 x 4000, a 600-dpi scan of a DVD cover), while the update
// check waits for a slow HTTP server on 127.0.0.1, and when the scanner's source list is
// cancelled during a device search that takes 5 s (a stand-in libsane, as a network backend
// is). A window that stays responsive keeps all of them well under 100 ms. A plain
// executable: each figure is the worst of a few runs. The idle figure first shows what the
// machine's load alone adds to any stall.
//
//   vexa_bench_editor_stall [runs]

#include "../bench/StallProbe.h"
#include "core/base/Job.h"
#include "core/cover/CoverSet.h"
#include "editor/CoverEditor.h"
#include "scan/SaneBackend.h"
#include "scan/SourceDialog.h"
#include "shell/ShellCommands.h"
#include "widgets/CoverHost.h"
#include "widgets/PictureHolder.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLibrary>
#include <QNetworkProxy>
#include <QScrollBar>
#include <QWidget>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

namespace {

using vexa::bench::StallProbe;

class BenchHost : public vexa::widgets::CoverHost {
public:
    explicit BenchHost(QImage picture) {
        m_covers.setPicture(vexa::cover::CoverKind::Front,
                            vexa::picture::LoadedPicture::made(std::move(picture)));
    }
    vexa::cover::CoverSet& covers() override { return m_covers; }
    std::optional<vexa::cover::CoverKind> selectedKind() const override {
        return vexa::cover::CoverKind::Front;
    }
    QWidget* hostWindow() override { return &m_window; }

private:
    vexa::cover::CoverSet m_covers;
    QWidget m_window;
};

QImage photoLike(int w, int h) {
    QImage picture(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgb((x * 7 + y) & 255, (x ^ y) & 255, (x * y / 97) & 255);
    }
    return picture;
}

// Runs the event loop until `done` holds, measuring the longest stall from `start` on.
qint64 stallWhile(const std::function<void()>& start, const std::function<bool()>& done) {
    StallProbe probe;
    probe.start();
    start(); // with the old code this returns only when the work is over
    while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    probe.stop();
    return probe.longestMs();
}

// An effect from the menus, or a tool from the toolbar (by its text).
qint64 editorStall(const char* item) {
    BenchHost host(photoLike(6000, 4000));
    vexa::editor::CoverEditor window(host);
    window.show();
    // The previews of the opened picture are made first, so that only the effect is measured.
    while (window.originalView()->isScaling() || window.editedView()->isScaling() ||
           !window.originalView()->isVisible())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    QAction* action = window.findChild<QAction*>(QLatin1String(item));
    for (QAction* tool : window.findChildren<QAction*>())
        if (!action && tool->text() == QLatin1String(item)) action = tool;
    if (!action) {
        std::fprintf(stderr, "no menu item %s\n", item);
        std::exit(1);
    }
    window.brightnessBar()->setValue(40); // Brightness at 0 would change nothing
    QElapsedTimer clock;
    clock.start();
    const qint64 stall = stallWhile([&] { action->trigger(); }, [&] { return !window.isBusy(); });
    std::printf("  %-10s took %6lld ms, longest stall %5lld ms\n", item,
                static_cast<long long>(clock.elapsed()), static_cast<long long>(stall));
    return stall;
}

// An HTTP server on its own thread that answers every request after `delayMs`, then sends the
// version file a byte at a time.
class SlowServer {
public:
    explicit SlowServer(int delayMs) : m_delayMs(delayMs) {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        if (m_socket < 0 ||
            ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) ||
            ::listen(m_socket, 4)) {
            std::perror("slow server");
            std::exit(1);
        }
        socklen_t length = sizeof address;
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~SlowServer() {
        m_stop = true;
        ::shutdown(m_socket, SHUT_RDWR);
        ::close(m_socket);
        m_thread.join();
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/vexaver.txt").arg(m_port)); }

private:
    void serve() {
        while (!m_stop) {
            const int client = ::accept(m_socket, nullptr, nullptr);
            if (client < 0) return;
            char request[4096];
            std::string seen;
            while (seen.find("\r\n\r\n") == std::string::npos) {
                const ssize_t n = ::recv(client, request, sizeof request, 0);
                if (n <= 0) break;
                seen.append(request, std::size_t(n));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(m_delayMs));
            const std::string body = "7.00\r\n";
            const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n"
                                     "Connection: close\r\nContent-Length: " +
                                     std::to_string(body.size()) + "\r\n\r\n";
            ::send(client, head.data(), head.size(), MSG_NOSIGNAL);
            for (char c : body) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                ::send(client, &c, 1, MSG_NOSIGNAL);
            }
            ::close(client);
        }
    }

    int m_socket = -1;
    quint16 m_port = 0;
    int m_delayMs;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    // The same loop with nothing but a worker sleeping: what the machine's load alone costs.
    std::printf("Idle window thread, 2 s:\n");
    for (int run = 0; run < runs; ++run) {
        std::atomic<bool> slept = false;
        std::thread sleeper;
        const qint64 stall = stallWhile(
            [&] {
                sleeper = std::thread([&] {
                    std::this_thread::sleep_for(std::chrono::seconds(2));
                    slept = true;
                });
            },
            [&] { return slept.load(); });
        sleeper.join();
        std::printf("  longest stall %5lld ms\n", static_cast<long long>(stall));
    }

    qint64 worstEffect = 0;
    std::printf("Cover Manipulator, 6000 x 4000 picture, effects:\n");
    for (int run = 0; run < runs; ++run)
        for (const char* item : {"blur", "diffuse", "negative"})
            worstEffect = std::max(worstEffect, editorStall(item));
    qint64 worstTool = 0;
    std::printf("Cover Manipulator, 6000 x 4000 picture, tools:\n");
    for (int run = 0; run < runs; ++run)
        for (const char* item : {"Rotate", "Mirror", "Flip", "Brightness"})
            worstTool = std::max(worstTool, editorStall(item));

    qint64 worstSearch = 0;
    std::printf("Source list cancelled during a device search of 5 s:\n");
    QLibrary held(QStringLiteral(VEXA_BENCH_HELD_SANE_PATH));
    const auto hold = reinterpret_cast<void (*)()>(held.resolve("held_sane_hold"));
    const auto release = reinterpret_cast<void (*)()>(held.resolve("held_sane_release"));
    const auto inside = reinterpret_cast<bool (*)()>(held.resolve("held_sane_inside"));
    if (!hold || !release || !inside) {
        std::fprintf(stderr, "no stand-in libsane: %s\n", qPrintable(held.errorString()));
        return 1;
    }
    // Never destroyed: a search abandoned by its window still uses it.
    auto* backend = new vexa::scan::SaneBackend(QStringLiteral(VEXA_BENCH_HELD_SANE_PATH));
    for (int run = 0; run < runs; ++run) {
        hold();
        auto* dialog = new vexa::scan::SourceDialog(*backend, QString(), nullptr);
        dialog->show();
        while (!inside()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        // The search is released 5 s after it started, as a slow network backend answers.
        std::thread answer([release] {
            std::this_thread::sleep_for(std::chrono::seconds(5));
            release();
        });
        QElapsedTimer clock;
        clock.start();
        bool closed = false;
        const qint64 stall = stallWhile(
            [&] {
                dialog->reject();
                delete dialog;
                closed = true;
            },
            [&] { return closed; });
        const qint64 took = clock.elapsed();
        std::printf("  closing took %5lld ms, longest stall %5lld ms\n",
                    static_cast<long long>(took), static_cast<long long>(stall));
        worstSearch = std::max(worstSearch, std::max(stall, took));
        answer.join();
        vexa::base::Job::waitForAbandonedWork(10000);
    }

    qint64 worstCheck = 0;
    std::printf("Update check against a server that answers after 1 s:\n");
    SlowServer server(1000);
    BenchHost host{QImage()};
    QWidget* window = host.hostWindow();
    window->show();
    for (int run = 0; run < runs; ++run) {
        vexa::shell::ShellCommands shell(window, host);
        shell.updateCheck().setVersionFile(server.url());
        QElapsedTimer clock;
        clock.start();
        const qint64 stall = stallWhile([&] { shell.checkForUpdates(); },
                                        [&] { return !shell.updateCheck().busy(); });
        std::printf("  check took %6lld ms, longest stall %5lld ms\n",
                    static_cast<long long>(clock.elapsed()), static_cast<long long>(stall));
        worstCheck = std::max(worstCheck, stall);
        for (QWidget* popup : QApplication::topLevelWidgets())
            if (popup != window) popup->close();
        QCoreApplication::processEvents();
    }
    std::printf("Worst stall: effect %lld ms, tool %lld ms, cancelled scanner search %lld ms, "
                "update check %lld ms\n",
                static_cast<long long>(worstEffect), static_cast<long long>(worstTool),
                static_cast<long long>(worstSearch), static_cast<long long>(worstCheck));
    return 0;
}
