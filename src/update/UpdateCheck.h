#pragma once

#include "update/HttpTransfer.h"
#include "update/UpdateCheckVersion.h"

#include <QUrl>

#include <functional>
#include <optional>

namespace vexa::update {

// The maker's web server. The ".example" domain is reserved and never resolves, so a build
// that has not been given a real host can never reach a stranger's machine.
inline constexpr const char* kMakerHost = "http://www.vexa.example";

// The version file, whose whole content is the number of the newest release.
QUrl versionFileUrl();
// The installer that the update popup's "Download" opens.
QUrl installerUrl();

// "&Check For Updates": asks the maker's server for the newest release and says what the update
// popup should tell. The main window keeps one for the program's run.
class UpdateCheck {
public:
    explicit UpdateCheck(QUrl versionFile = versionFileUrl(), HttpTransfer::Limits limits = {});

    bool busy() const { return m_transfer.busy(); }

    const QUrl& versionFile() const { return m_versionFile; }
    void setVersionFile(const QUrl& versionFile) { m_versionFile = versionFile; }

    using Done = std::function<void(const UpdateNotice& notice)>;

    // Starts a check; `done` later gets the popup's message and kind. Every failure, whatever
    // its cause, is the "error" notice. False, and nothing started (no popup at all), while an
    // earlier check is still running.
    bool start(Done done);

private:
    QUrl m_versionFile;
    HttpTransfer m_transfer;
};

// The version file's bytes as text: UTF-8, a byte-order mark dropped.
QString versionText(const QByteArray& document);

} // namespace vexa::update
