#include "UpdateCheck.h"

#include <QStringDecoder>

#include <utility>

namespace vexa {

QUrl versionFileUrl() {
    return QUrl(QString::fromLatin1(kMakerHost) + "/vexa/vexaver.txt");
}

QUrl installerUrl() {
    return QUrl(QString::fromLatin1(kMakerHost) + "/vexa/VEXA-Setup.exe");
}

UpdateCheck::UpdateCheck(QUrl versionFile, HttpTransfer::Limits limits)
    : m_versionFile(std::move(versionFile)), m_transfer(limits) {}

std::optional<UpdateNotice> UpdateCheck::run() {
    if (m_transfer.busy()) return std::nullopt;
    const auto document = m_transfer.fetch(m_versionFile);
    if (!document) return noticeFor(UpdateOutcome::Failed);
    return noticeFor(compareVersions(versionText(*document)));
}

QString versionText(const QByteArray& document) {
    QStringDecoder utf8(QStringDecoder::Utf8); // default flags skip a leading byte-order mark
    return utf8.decode(document);
}

} // namespace vexa
