#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <optional>

class QNetworkReply;

namespace vexa::update {

// The program's internet transfer: fetches one document over HTTP while the caller's event
// loop runs on, and hands it over when the transfer ends: on completion, on the time-out, or as
// soon as the document outgrows the size cap, so a dead or misbehaving server can neither hang
// the program nor fill its memory.
class HttpTransfer : public QObject {
    Q_OBJECT
public:
    struct Limits {
        int timeoutMs = 15000;       // for the whole transfer, redirects included
        qint64 maxBytes = 64 * 1024; // larger documents are refused
        int maxRedirects = 3;
    };

    // Why the last fetch gave nothing.
    enum class Failure { None, BadAddress, Network, Status, TimedOut, TooLarge };

    // The document, or nothing when the fetch failed (lastFailure() says why).
    using Done = std::function<void(std::optional<QByteArray> document)>;

    HttpTransfer();
    explicit HttpTransfer(Limits limits);
    // A transfer still running is abandoned: its `done` never runs.
    ~HttpTransfer() override;

    // True from fetch() until its `done` has been called.
    bool busy() const { return m_busy; }

    // Starts fetching the document at an http or https address. `done` runs later on this
    // thread, never from inside fetch(), with the document or with nothing when the server
    // cannot be reached, answers anything but 200 OK, redirects too often or to a less safe
    // scheme, takes longer than the time-out or sends more than the cap. False, and nothing
    // started, while busy: the running fetch keeps its own outcome.
    bool fetch(const QUrl& url, Done done);

    Failure lastFailure() const { return m_failure; }

private:
    void stop(Failure why);
    void replyFinished();
    std::optional<QByteArray> outcome(QNetworkReply& reply);
    std::optional<QByteArray> fail(Failure why);
    void finish(std::optional<QByteArray> document);

    Limits m_limits;
    QNetworkAccessManager m_network;
    QTimer m_deadline;
    QNetworkReply* m_reply = nullptr;
    Failure m_stopped = Failure::None; // why the running transfer was aborted, if it was
    Done m_done;
    bool m_busy = false;
    Failure m_failure = Failure::None;
};

} // namespace vexa::update
