#include "update/UpdateCheck.h"

#include "core/base/Log.h"

#include <QStringDecoder>

#include <utility>

namespace vexa::update {

QUrl versionFileUrl() {
    return QUrl(QString::fromLatin1(kMakerHost) + "/vexa/vexaver.txt");
}

QUrl installerUrl() {
    return QUrl(QString::fromLatin1(kMakerHost) + "/vexa/VEXA-Setup.exe");
}

UpdateCheck::UpdateCheck(QUrl versionFile, HttpTransfer::Limits limits)
    : m_versionFile(std::move(versionFile)), m_transfer(limits) {}

bool UpdateCheck::start(Done done) {
    qCDebug(base::lcUpdate) << "asking" << m_versionFile.toString();
    return m_transfer.fetch(
        m_versionFile, [done = std::move(done)](std::optional<QByteArray> document) {
            const UpdateOutcome outcome =
                document ? compareVersions(versionText(*document)) : UpdateOutcome::Failed;
            qCDebug(base::lcUpdate)
                << (document ? "answered" : "no answer") << static_cast<int>(outcome);
            if (done) done(noticeFor(outcome));
        });
}

QString versionText(const QByteArray& document) {
    QStringDecoder utf8(QStringDecoder::Utf8); // default flags skip a leading byte-order mark
    return utf8.decode(document);
}

} // namespace vexa::update
