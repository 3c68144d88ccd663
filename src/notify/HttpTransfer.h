#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QUrl>

#include <optional>

namespace vexa {

// The program's internet transfer: fetches one document over HTTP and keeps the caller waiting
// until it has arrived, while a local event loop keeps the windows painted. The wait ends on
// completion, on the time-out, or as soon as the document outgrows the size cap, so a dead or
// misbehaving server can neither hang the program nor fill its memory.
class HttpTransfer {
public:
    struct Limits {
        int timeoutMs = 15000;       // for the whole transfer, redirects included
        qint64 maxBytes = 64 * 1024; // larger documents are refused
        int maxRedirects = 3;
    };

    // Why the last fetch gave nothing.
    enum class Failure { None, BadAddress, Network, Status, TimedOut, TooLarge };

    HttpTransfer();
    explicit HttpTransfer(Limits limits);

    // True while a fetch runs. Its local event loop delivers other events, so a second command
    // can arrive meanwhile; it has to check this first.
    bool busy() const { return m_busy; }

    // The document at an http or https address, or nothing when the server cannot be reached,
    // answers anything but 200 OK, redirects too often or to a less safe scheme, takes longer
    // than the time-out or sends more than the cap. Nothing at once while busy.
    std::optional<QByteArray> fetch(const QUrl& url);

    Failure lastFailure() const { return m_failure; }

private:
    std::optional<QByteArray> fail(Failure why);

    Limits m_limits;
    QNetworkAccessManager m_network;
    bool m_busy = false;
    Failure m_failure = Failure::None;
};

} // namespace vexa
