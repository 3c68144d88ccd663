#include "app/TerminationSignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vexa::app {

namespace {

constexpr std::array kWatchedSignals{SIGTERM, SIGHUP, SIGINT};

// The write end, set before any handler is installed and never changed afterwards.
volatile sig_atomic_t writeEnd = -1;

extern "C" void onTerminationSignal(int signalNumber) {
    const int savedErrno = errno;
    const char number = static_cast<char>(signalNumber);
    // Non-blocking: with the socket full the signal is already on its way.
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &number, 1);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    int pair[2];
    if (writeEnd >= 0 ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pair) != 0)
        return;
    writeEnd = pair[1];
    m_notifier = new QSocketNotifier(pair[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignals);

    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : kWatchedSignals) ::sigaction(signalNumber, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
    if (!m_notifier) return;
    // From here on the signals end the program at once, as they do without this object.
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : kWatchedSignals) ::sigaction(signalNumber, &action, nullptr);
    const int readEnd = static_cast<int>(m_notifier->socket());
    delete m_notifier;
    ::close(readEnd);
    ::close(writeEnd);
    writeEnd = -1;
}

void TerminationSignals::readSignals() {
    std::array<char, 16> numbers{};
    ssize_t count = 0;
    while ((count = ::read(static_cast<int>(m_notifier->socket()), numbers.data(),
                           numbers.size())) > 0) {
        for (ssize_t i = 0; i < count; ++i)
            emit terminationRequested(numbers[static_cast<size_t>(i)]);
    }
}

} // namespace vexa::app
