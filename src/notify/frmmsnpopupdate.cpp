#include "frmmsnpopupdate.h"

#include <QDesktopServices>
#include <QPushButton>

#include <utility>

namespace vexa {

frmmsnpopupdate::frmmsnpopupdate(CoverHost& host, const QString& message, const QString& kind,
                                 QUrl downloadAddress)
    : MsnPopupWindow(host, notify::updatePopupDesign(), message, kind),
      m_downloadAddress(std::move(downloadAddress)) {
    connect(button(notify::PopupButton::Download), &QPushButton::clicked, this,
            &frmmsnpopupdate::cmdDownload_Click);
}

frmmsnpopupdate* frmmsnpopupdate::open(CoverHost& host, const QString& message, const QString& kind,
                                       const QUrl& downloadAddress) {
    auto* popup = new frmmsnpopupdate(host, message, kind, downloadAddress);
    popup->load();
    return popup;
}

void frmmsnpopupdate::cmdDownload_Click() {
    // Without a browser the address simply goes nowhere; the popup closes all the same.
    QDesktopServices::openUrl(m_downloadAddress);
    close();
}

} // namespace vexa
