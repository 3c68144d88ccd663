#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

namespace vexa::app {

// One VEXA per user: the first one listens on a local socket private to the user; a later
// start hands its files to it and ends, rather than running beside it and writing vexa6.ini
// over the first one's at exit.

// $XDG_RUNTIME_DIR/vexa-instance, or a name with the user id in the temporary folder.
QString instanceSocketPath();

// Passes `files` (absolute paths; none just brings the running VEXA to the front) to the
// VEXA listening at `socketPath`. False when none listens or it did not confirm in time.
bool handOverToRunningInstance(const QString& socketPath, const QStringList& files,
                               int timeoutMs = 5000);

// The running VEXA's end.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    // A hand-over message is a few paths; anything bigger is not from VEXA and is cut off.
    static constexpr qint64 kMaxMessageBytes = 4 * 1024 * 1024;

    explicit InstanceServer(QObject* parent = nullptr);

    // Starts listening, taking over a socket left behind by a VEXA that crashed. False when
    // another VEXA listens there already (it started at the same moment).
    bool listen(const QString& socketPath);

signals:
    void filesHandedOver(const QStringList& files);

private:
    void acceptConnection();

    QLocalServer* m_server;
};

} // namespace vexa::app
