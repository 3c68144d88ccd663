#pragma once

#include <QObject>

#include <functional>

class QThread;

namespace vexa::scan {

// Runs one piece of blocking work (a scanner search, a scan) on a thread of its own so
// that its window stays responsive, and says on the GUI thread when it is done. Destroying
// the task waits for the work to end: a scanner call cannot be abandoned half-way.
class BackgroundTask : public QObject {
    Q_OBJECT
public:
    explicit BackgroundTask(QObject* parent = nullptr) : QObject(parent) {}
    ~BackgroundTask() override;

    // Starts `work`; false when earlier work is still running.
    bool start(std::function<void()> work);
    bool isRunning() const { return m_thread != nullptr; }

signals:
    void finished();

private:
    void reap();

    QThread* m_thread = nullptr;
};

} // namespace vexa::scan
