#pragma once

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

namespace vexa::test {

// Stands in for xdg-open while it lives (first on PATH): writes each address it is handed to a
// file and exits with the status chosen, as the real one does when a program took the address
// (0) or no program was found (3). Nothing reaches a real browser or mail program.
class FakeXdgOpen {
public:
    // `delaySeconds`: how long it takes before it notes the address and ends.
    explicit FakeXdgOpen(int exitStatus = 0, int delaySeconds = 0);
    ~FakeXdgOpen();
    FakeXdgOpen(const FakeXdgOpen&) = delete;
    FakeXdgOpen& operator=(const FakeXdgOpen&) = delete;

    // The addresses handed over so far, in order, as xdg-open received them.
    QStringList addresses() const;
    // Runs the event loop until `count` addresses have arrived and the program has seen every
    // hand-over end, or 20 s have passed.
    QStringList waitForAddresses(int count) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldPath;
};

// Runs the event loop until `done` is true or 20 s have passed; the last value of `done`.
bool waitUntil(const std::function<bool()>& done);

} // namespace vexa::test
