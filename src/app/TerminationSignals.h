#pragma once

#include <QObject>

class QSocketNotifier;

namespace vexa::app {

// Turns SIGTERM (a logout or shutdown), SIGHUP (the terminal went away) and SIGINT (Ctrl+C)
// into a Qt signal on the window's thread, so that the program ends the way closing its window
// does instead of dying where it stands. The handler only writes the signal's number into a
// socket pair; a QSocketNotifier reads it in the event loop.
//
// One per process at a time; when it goes away the signals get their default action back.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // False when the socket pair or a handler could not be set up: the signals then end the
    // program as they would without this object.
    bool isWatching() const { return m_notifier != nullptr; }

signals:
    // Once per signal that arrives; `signalNumber` is SIGTERM, SIGHUP or SIGINT.
    void terminationRequested(int signalNumber);

private:
    void readSignals();

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace vexa::app
