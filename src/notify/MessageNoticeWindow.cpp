#include "notify/MessageNoticeWindow.h"

namespace vexa::notify {

MessageNoticeWindow::MessageNoticeWindow(widgets::CoverHost& host, const QString& message,
                                         const QString& kind)
    : NoticeWindow(host, notify::selectCoverPopupDesign(), message, kind) {}

MessageNoticeWindow* MessageNoticeWindow::open(widgets::CoverHost& host, const QString& message,
                                               const QString& kind) {
    auto* popup = new MessageNoticeWindow(host, message, kind);
    popup->load();
    return popup;
}

} // namespace vexa::notify
