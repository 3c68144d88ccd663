#include "update/HttpTransfer.h"

#include <QNetworkReply>
#include <QNetworkRequest>

#include <utility>

namespace vexa::update {

HttpTransfer::HttpTransfer() : HttpTransfer(Limits{}) {}

HttpTransfer::HttpTransfer(Limits limits) : m_limits(limits) {
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] { stop(Failure::TimedOut); });
}

HttpTransfer::~HttpTransfer() {
    if (!m_reply) return;
    m_reply->disconnect(this); // aborting reports the end, which nobody waits for any more
    m_reply->abort();
    delete m_reply;
}

std::optional<QByteArray> HttpTransfer::fail(Failure why) {
    m_failure = why;
    return std::nullopt;
}

bool HttpTransfer::fetch(const QUrl& url, Done done) {
    if (m_busy) return false;
    m_busy = true;
    m_done = std::move(done);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        QMetaObject::invokeMethod(
            this, [this] { finish(fail(Failure::BadAddress)); }, Qt::QueuedConnection);
        return true;
    }

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(m_limits.maxRedirects);
    // A cached answer could hide a new release.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);

    m_stopped = Failure::None;
    m_reply = m_network.get(request);
    QNetworkReply* reply = m_reply;
    // Reading stops once one byte more than the cap is waiting, so a huge or endless document
    // costs no more memory than that before it is refused.
    reply->setReadBufferSize(m_limits.maxBytes + 1);
    // The announced length refuses an oversized document before its body arrives; the bytes
    // received catch servers that announce nothing or lie. Nothing is read out before the
    // end, so the bytes waiting are the bytes received.
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status == 200 && length.isValid() && length.toLongLong() > m_limits.maxBytes)
            stop(Failure::TooLarge);
    });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
        if (reply->bytesAvailable() > m_limits.maxBytes) stop(Failure::TooLarge);
    });
    connect(reply, &QNetworkReply::finished, this, &HttpTransfer::replyFinished);
    m_deadline.start(m_limits.timeoutMs);
    return true;
}

void HttpTransfer::stop(Failure why) {
    if (!m_reply || m_stopped != Failure::None || m_reply->isFinished()) return;
    m_stopped = why;
    m_reply->abort(); // reports the end at once
}

void HttpTransfer::replyFinished() {
    m_deadline.stop();
    QNetworkReply* reply = std::exchange(m_reply, nullptr);
    if (!reply) return;
    reply->disconnect(this);
    reply->deleteLater(); // it is still sending the signal that brought us here
    finish(outcome(*reply));
}

std::optional<QByteArray> HttpTransfer::outcome(QNetworkReply& reply) {
    if (m_stopped != Failure::None) return fail(m_stopped);
    if (reply.error() != QNetworkReply::NoError &&
        reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).isNull())
        return fail(Failure::Network);
    if (reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200)
        return fail(Failure::Status);
    if (reply.error() != QNetworkReply::NoError) return fail(Failure::Network);
    QByteArray document = reply.readAll();
    if (document.size() > m_limits.maxBytes) return fail(Failure::TooLarge);
    m_failure = Failure::None;
    return document;
}

void HttpTransfer::finish(std::optional<QByteArray> document) {
    // Not busy any more before the caller hears of it, so that it may fetch again from there.
    m_busy = false;
    const Done done = std::exchange(m_done, nullptr);
    if (done) done(std::move(document));
}

} // namespace vexa::update
