#pragma once

#include "MsnPopupWindow.h"

#include <QPointer>
#include <QUrl>

namespace vexa {

// The update check's popup. Kinds "uptodate" and "error" show "Ok"; "update" shows "Download",
// which hands `downloadAddress` to the desktop's browser and closes the popup at once, and
// "Cancel".
class frmmsnpopupdate : public MsnPopupWindow {
    Q_OBJECT
public:
    frmmsnpopupdate(CoverHost& host, const QString& message, const QString& kind,
                    QUrl downloadAddress);

    // Creates the popup and loads it: the main window is disabled until it closes. The popup
    // deletes itself when it closes.
    static frmmsnpopupdate* open(CoverHost& host, const QString& message, const QString& kind,
                                 const QUrl& downloadAddress);

    const QUrl& downloadAddress() const { return m_downloadAddress; }

    void cmdDownload_Click();

private:
    QPointer<QWidget> m_host;
    QUrl m_downloadAddress;
};

} // namespace vexa
