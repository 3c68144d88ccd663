#include "app/SingleInstance.h"

#include "core/base/FilePath.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#include <memory>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace vexa::app {

namespace {

// The message: this header, then each path followed by a NUL, then one more NUL. Paths
// travel as file-system bytes (FilePath's mapping both ways), so names that are not UTF-8
// arrive unchanged.
const QByteArray kHeader = QByteArrayLiteral("VEXA-OPEN 1");
constexpr char kAccepted = '\x06';

QByteArray encodeMessage(const QStringList& files) {
    QByteArray message = kHeader;
    message.append('\0');
    for (const QString& file : files) {
        if (file.isEmpty()) continue;
        message.append(base::fileNameBytes(file));
        message.append('\0');
    }
    message.append('\0');
    return message;
}

// The files of a complete message; nothing while it is incomplete.
std::optional<QStringList> decodeMessage(const QByteArray& message) {
    if (message.size() < kHeader.size() + 2 || !message.startsWith(kHeader) ||
        message.at(kHeader.size()) != '\0' || !message.endsWith(QByteArrayLiteral("\0\0")))
        return std::nullopt;
    QStringList files;
    const QByteArray body = message.mid(kHeader.size() + 1);
    for (const QByteArray& part : body.split('\0'))
        if (!part.isEmpty()) files.append(base::fileNameText(part));
    return files;
}

// Only a socket of this user is another VEXA of this user. In the shared temporary folder
// anybody can create a socket under the expected name first, answer as VEXA would, and so
// read the file names and keep this user's VEXA from starting.
bool isOwnSocket(const QString& socketPath) {
    struct stat info {};
    return ::lstat(QFile::encodeName(socketPath).constData(), &info) == 0 &&
           S_ISSOCK(info.st_mode) && info.st_uid == ::geteuid();
}

bool belongsToAnotherUser(const QString& socketPath) {
    struct stat info {};
    return ::lstat(QFile::encodeName(socketPath).constData(), &info) == 0 &&
           info.st_uid != ::geteuid();
}

} // namespace

QString instanceSocketPath() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return QDir(runtime).filePath(QStringLiteral("vexa-instance"));
    return QDir(QDir::tempPath()).filePath(QStringLiteral("vexa-instance-%1").arg(getuid()));
}

bool handOverToRunningInstance(const QString& socketPath, const QStringList& files, int timeoutMs) {
    if (!isOwnSocket(socketPath)) return false;
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(encodeMessage(files));
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    while (socket.bytesAvailable() < 1)
        if (!socket.waitForReadyRead(timeoutMs)) return false;
    char answer = 0;
    return socket.getChar(&answer) && answer == kAccepted;
}

InstanceServer::InstanceServer(QObject* parent)
    : QObject(parent), m_server(new QLocalServer(this)) {
    // Outside $XDG_RUNTIME_DIR the socket would otherwise be open to every user.
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::acceptConnection);
}

bool InstanceServer::listen(const QString& socketPath) {
    // Asked first, since listening with the access option replaces whatever is at the path:
    // a VEXA started at the same moment keeps its socket; one that crashed left a socket
    // nobody answers at, which goes. Another user's socket (root's VEXA started in this
    // user's session, say) is never removed: it is not this VEXA's to take.
    if (belongsToAnotherUser(socketPath)) return false;
    if (isOwnSocket(socketPath)) {
        QLocalSocket probe;
        probe.connectToServer(socketPath);
        if (probe.waitForConnected(1000)) return false;
    }
    QLocalServer::removeServer(socketPath);
    return m_server->listen(socketPath);
}

void InstanceServer::acceptConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            const bool foreign = !buffer->startsWith(kHeader.left(buffer->size()));
            if (foreign || buffer->size() > kMaxMessageBytes) {
                socket->abort();
                return;
            }
            const std::optional<QStringList> files = decodeMessage(*buffer);
            if (!files) return;
            buffer->clear();
            socket->putChar(kAccepted);
            socket->flush();
            socket->disconnectFromServer();
            emit filesHandedOver(*files);
        });
    }
}

} // namespace vexa::app
