#pragma once

#include "notify/NoticeWindow.h"

namespace vexa::notify {

// The small notice popup, such as "Please select a cover by clicking on it and try again!"
// (kind "picture"), with an "OK" button.
class MessageNoticeWindow : public NoticeWindow {
    Q_OBJECT
public:
    MessageNoticeWindow(widgets::CoverHost& host, const QString& message, const QString& kind);

    // Creates the popup and loads it: the main window is disabled until it closes. The popup
    // deletes itself when it closes.
    static MessageNoticeWindow* open(widgets::CoverHost& host, const QString& message,
                                     const QString& kind);
};

} // namespace vexa::notify
