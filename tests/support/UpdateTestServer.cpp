#include "support/UpdateTestServer.h"

#include <QHostAddress>

namespace vexa::test {

UpdateTestServer::UpdateTestServer() {
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { handle(socket); });
            connect(socket, &QTcpSocket::bytesWritten, this,
                    [this](qint64 written) { m_bytesSent += written; });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                m_pending.remove(socket);
                socket->deleteLater();
            });
        }
    });
}

QString UpdateTestServer::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void UpdateTestServer::handle(QTcpSocket* socket) {
    QByteArray& request = m_pending[socket];
    request += socket->readAll();
    if (!request.contains("\r\n\r\n")) return;
    // "GET /path HTTP/1.1"
    const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
    const QString path = words.size() >= 2 ? QString::fromLatin1(words[1]) : QString();
    request.clear();
    ++m_requests;
    if (m_hook) m_hook(path);

    const Answer answer = m_answers.value(path, Answer{404, "<html><body>Not Found</body></html>"});
    if (answer.silent) return;
    QByteArray response = "HTTP/1.1 " + QByteArray::number(answer.status) + " Test\r\n";
    for (const auto& [name, value] : answer.headers) response += name + ": " + value + "\r\n";
    if (answer.announceLength)
        response += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    response += "Connection: close\r\n\r\n";
    response += answer.body;
    socket->write(response);
    socket->disconnectFromHost();
}

} // namespace vexa::test
