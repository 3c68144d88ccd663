#include "notify/UpdateNoticeWindow.h"

#include "notify/OpenAddress.h"
#include "widgets/CoverHost.h"

#include <QPushButton>

#include <utility>

namespace vexa::notify {

UpdateNoticeWindow::UpdateNoticeWindow(widgets::CoverHost& host, const QString& message,
                                       const QString& kind, QUrl downloadAddress)
    : NoticeWindow(host, notify::updatePopupDesign(), message, kind), m_host(host.hostWindow()),
      m_downloadAddress(std::move(downloadAddress)) {
    connect(button(notify::PopupButton::Download), &QPushButton::clicked, this,
            &UpdateNoticeWindow::download);
}

UpdateNoticeWindow* UpdateNoticeWindow::open(widgets::CoverHost& host, const QString& message,
                                             const QString& kind, const QUrl& downloadAddress) {
    auto* popup = new UpdateNoticeWindow(host, message, kind, downloadAddress);
    popup->load();
    return popup;
}

void UpdateNoticeWindow::download() {
    // The popup closes at once; should no browser take the address, the main window shows it.
    AddressOpener::open(m_downloadAddress, m_host);
    close();
}

} // namespace vexa::notify
