#include "notify/NoticeAnchor.h"

#include "notify/PopupGeometry.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

#include <utility>

namespace vexa::notify {

NoticeAnchor::NoticeAnchor(QWidget& notice, QWidget& host,
                           std::function<bool(const QKeyEvent&)> answerKey)
    : QObject(&notice), m_notice(notice), m_host(&host), m_answerKey(std::move(answerKey)) {
    host.installEventFilter(this);
}

QRect NoticeAnchor::place(int openCount) {
    m_openCount = openCount;
    // The host's geometry is where Qt believes it is; the popup keeps the same offset from it
    // wherever the compositor put the host.
    const QRect rect = notify::anchoredPopupRect(m_notice.size(),
                                                 m_host ? m_host->geometry() : QRect(), openCount);
    m_notice.setGeometry(rect);
    return rect;
}

void NoticeAnchor::show() {
    m_wanted = true;
    showOverHost();
}

void NoticeAnchor::showOverHost() {
    if (!m_wanted || !m_host || !m_host->isVisible()) return;
    QWindow* hostWindow = m_host->windowHandle();
    if (!hostWindow) return;
    place(m_openCount);
    m_notice.winId(); // the native window, so that it can be given its owner before it maps
    if (QWindow* own = m_notice.windowHandle()) own->setTransientParent(hostWindow);
    if (m_keySource != hostWindow) {
        if (m_keySource) m_keySource->removeEventFilter(this);
        m_keySource = hostWindow;
        hostWindow->installEventFilter(this);
    }
    m_notice.show();
}

bool NoticeAnchor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_host) {
        if (event->type() == QEvent::Show) {
            showOverHost();
        } else if (event->type() == QEvent::Hide) {
            // Hidden first, so that it maps again as a popup when the host comes back.
            m_notice.hide();
        }
        return false;
    }
    if (watched == m_keySource && event->type() == QEvent::KeyPress && m_notice.isVisible())
        return m_answerKey(static_cast<const QKeyEvent&>(*event));
    return false;
}

} // namespace vexa::notify
