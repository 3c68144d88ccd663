#pragma once

#include "notify/NoticeWindow.h"

#include <QPointer>
#include <QUrl>

namespace vexa::notify {

// The update check's popup. Kinds "uptodate" and "error" show "OK"; "update" shows "Download",
// which hands `downloadAddress` to the desktop's browser and closes the popup at once, and
// "Cancel".
class UpdateNoticeWindow : public NoticeWindow {
    Q_OBJECT
public:
    UpdateNoticeWindow(widgets::CoverHost& host, const QString& message, const QString& kind,
                       QUrl downloadAddress);

    // Creates the popup and loads it: the main window is disabled until it closes. The popup
    // deletes itself when it closes.
    static UpdateNoticeWindow* open(widgets::CoverHost& host, const QString& message,
                                    const QString& kind, const QUrl& downloadAddress);

    const QUrl& downloadAddress() const { return m_downloadAddress; }

    void download();

private:
    QPointer<QWidget> m_host;
    QUrl m_downloadAddress;
};

} // namespace vexa::notify
