#include "update/UpdateCheck.h"

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
    return m_transfer.fetch(m_versionFile,
                            [done = std::move(done)](std::optional<QByteArray> document) {
                                if (!done) return;
                                done(document ? noticeFor(compareVersions(versionText(*document)))
                                              : noticeFor(UpdateOutcome::Failed));
                            });
}

QString versionText(const QByteArray& document) {
    QStringDecoder utf8(QStringDecoder::Utf8); // default flags skip a leading byte-order mark
    return utf8.decode(document);
}

} // namespace vexa::update
