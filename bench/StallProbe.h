#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>

namespace vexa::bench {

// Measures the longest time the calling thread's event loop goes without handling a timer
// while some work runs: start() before starting the work, run the event loop until the work
// reports it has finished, then stop(). A window that stays responsive keeps this short.
class StallProbe : public QObject {
public:
    explicit StallProbe(int intervalMs = 1) {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(intervalMs);
        connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
    }

    void start() {
        m_longest = 0;
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }

    void stop() {
        tick();
        m_timer.stop();
    }

    // The longest gap between two ticks, in milliseconds.
    qint64 longestMs() const { return m_longest; }

private:
    void tick() {
        const qint64 now = m_clock.elapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

} // namespace vexa::bench
