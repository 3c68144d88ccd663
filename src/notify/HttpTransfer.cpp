#include "HttpTransfer.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QScopeGuard>
#include <QTimer>

#include <memory>

namespace vexa {

HttpTransfer::HttpTransfer() : HttpTransfer(Limits{}) {}

HttpTransfer::HttpTransfer(Limits limits) : m_limits(limits) {}

std::optional<QByteArray> HttpTransfer::fail(Failure why) {
    m_failure = why;
    return std::nullopt;
}

std::optional<QByteArray> HttpTransfer::fetch(const QUrl& url) {
    if (m_busy) return std::nullopt; // the running fetch keeps its own outcome
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return fail(Failure::BadAddress);

    m_busy = true;
    const auto idle = qScopeGuard([this] { m_busy = false; });

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(m_limits.maxRedirects);
    // A cached answer could hide a new release.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);

    const std::unique_ptr<QNetworkReply> reply(m_network.get(request));
    // Reading stops once one byte more than the cap is waiting, so a huge or endless document
    // costs no more memory than that before it is refused.
    reply->setReadBufferSize(m_limits.maxBytes + 1);
    Failure stopped = Failure::None;
    const auto stop = [&](Failure why) {
        if (stopped == Failure::None && !reply->isFinished()) {
            stopped = why;
            reply->abort();
        }
    };

    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] { stop(Failure::TimedOut); });
    // The announced length refuses an oversized document before its body arrives; the bytes
    // received catch servers that announce nothing or lie. Nothing is read out before the
    // end, so the bytes waiting are the bytes received.
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, &loop, [&] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status == 200 && length.isValid() && length.toLongLong() > m_limits.maxBytes)
            stop(Failure::TooLarge);
    });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, [&] {
        if (reply->bytesAvailable() > m_limits.maxBytes) stop(Failure::TooLarge);
    });
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);

    deadline.start(m_limits.timeoutMs);
    if (!reply->isFinished()) loop.exec();
    // The loop also ends when the program quits; an unfinished transfer is a failed one.
    if (!reply->isFinished()) {
        stop(Failure::Network);
        return fail(Failure::Network);
    }

    if (stopped != Failure::None) return fail(stopped);
    if (reply->error() != QNetworkReply::NoError &&
        reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isNull())
        return fail(Failure::Network);
    if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200)
        return fail(Failure::Status);
    if (reply->error() != QNetworkReply::NoError) return fail(Failure::Network);
    QByteArray document = reply->readAll();
    if (document.size() > m_limits.maxBytes) return fail(Failure::TooLarge);
    m_failure = Failure::None;
    return document;
}

} // namespace vexa
