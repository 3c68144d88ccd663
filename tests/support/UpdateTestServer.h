#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

namespace vexa::test {

// A small HTTP/1.1 server on 127.0.0.1 for the update check's tests. It runs in the test's own
// thread: the event loop the test runs while the transfer goes on serves it.
class UpdateTestServer : public QObject {
    Q_OBJECT
public:
    struct Answer {
        int status = 200;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers{};
        bool announceLength = true; // false: the body ends when the connection closes
        bool silent = false;        // read the request and never answer
    };

    UpdateTestServer();

    quint16 port() const { return m_server.serverPort(); }
    QString url(const QString& path) const;

    void answer(const QString& path, Answer answer) { m_answers.insert(path, std::move(answer)); }
    void serve(const QString& path, const QByteArray& body) { answer(path, Answer{200, body, {}}); }

    // Runs when a request has been read, before it is answered.
    void onRequest(std::function<void(const QString& path)> hook) { m_hook = std::move(hook); }

    int requestCount() const { return m_requests; }
    // Bytes the system accepted from the server's sockets so far.
    qint64 bytesSent() const { return m_bytesSent; }

private:
    void handle(QTcpSocket* socket);

    QHash<QString, Answer> m_answers;
    QHash<QTcpSocket*, QByteArray> m_pending; // request bytes read so far
    std::function<void(const QString&)> m_hook;
    int m_requests = 0;
    qint64 m_bytesSent = 0;
    QTcpServer m_server; // last: its sockets still report to the members above as they go
};

} // namespace vexa::test
