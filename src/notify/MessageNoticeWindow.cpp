#include "MessageNoticeWindow.h"

namespace vexa {

MessageNoticeWindow::MessageNoticeWindow(CoverHost& host, const QString& message,
                                         const QString& kind)
    : NoticeWindow(host, notify::selectCoverPopupDesign(), message, kind) {}

MessageNoticeWindow* MessageNoticeWindow::open(CoverHost& host, const QString& message,
                                               const QString& kind) {
    auto* popup = new MessageNoticeWindow(host, message, kind);
    popup->load();
    return popup;
}

} // namespace vexa
