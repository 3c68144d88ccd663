#include "notify/NoticeWindow.h"

#include "notify/NoticeLock.h"

#include "core/base/NumberText.h"
#include "notify/AlertSound.h"
#include "notify/NoticeAnchor.h"
#include "notify/ScreenMetrics.h"
#include "widgets/AccessibleRole.h"
#include "widgets/CoverHost.h"
#include "widgets/PictureHolder.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace vexa::notify {

namespace {

constexpr int kSlideIntervalMs = 10;
constexpr std::int32_t kDisplayTimeMs = 3000;
// The popups' background: light blue at the top fading to white, lines tilted 10 degrees.
constexpr float kGradientAngle = -100.0f;
constexpr std::int32_t kGradientTop = 61 + 149 * 256 + 255 * 65536;
constexpr std::int32_t kGradientBottom = 255 + 255 * 256 + 255 * 65536;

QRect pixelBox(const notify::TwipsBox& box) {
    return QRect(notify::twipsToPixelsX(box.left), notify::twipsToPixelsY(box.top),
                 notify::twipsToPixelsX(box.width), notify::twipsToPixelsY(box.height));
}

bool anchoredTo(const QWidget* host) {
    return host && notify::popupsAnchoredToHost(QGuiApplication::platformName());
}

Qt::WindowFlags noticeFlags(bool anchored) {
    // A tool tip is the one kind of window Qt's Wayland platform makes a popup of without a
    // pointer grab, placed relative to its owner; a grab would close it at the first click
    // elsewhere and needs an input event to start from.
    return (anchored ? Qt::ToolTip : Qt::Tool) | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
}

QTimer* stoppedTimer(QObject* owner, const char* name, int interval) {
    auto* timer = new QTimer(owner);
    timer->setObjectName(QLatin1String(name));
    timer->setInterval(interval);
    return timer;
}

} // namespace

NoticeWindow::NoticeWindow(widgets::CoverHost& host, const notify::PopupDesign& design,
                           QString message, QString kind)
    : QWidget(nullptr, noticeFlags(anchoredTo(host.hostWindow()))), m_design(design),
      m_hostWindow(host.hostWindow()), m_message(std::move(message)), m_kind(std::move(kind)) {
    setObjectName(QLatin1String(design.objectName));
    setAttribute(Qt::WA_DeleteOnClose);
    // A popup left on screen must not keep the program running once the main window is gone.
    setAttribute(Qt::WA_QuitOnClose, false);
    buildBackground(design);
    resize(m_background->size());
    if (anchoredTo(m_hostWindow)) {
        // The popup keeps its full size and the picture rises inside it; what it has not
        // covered yet shows the main window through.
        setAttribute(Qt::WA_TranslucentBackground);
        m_anchor = new NoticeAnchor(*this, *m_hostWindow, [this](const QKeyEvent& key) {
            return !m_tmrClose->isActive() && answerKey(key);
        });
    }

    m_tmrOpen = stoppedTimer(this, "openTimer", kSlideIntervalMs);
    m_tmrClose = stoppedTimer(this, "closeTimer", kSlideIntervalMs);
    m_tmrAlert = stoppedTimer(this, "alertTimer", 0);
    connect(m_tmrOpen, &QTimer::timeout, this, &NoticeWindow::slideInStep);
    connect(m_tmrClose, &QTimer::timeout, this, &NoticeWindow::slideOutStep);
    connect(m_tmrAlert, &QTimer::timeout, this, &NoticeWindow::displayTimeUp);
}

NoticeWindow::~NoticeWindow() {
    finish();
}

void NoticeWindow::buildBackground(const notify::PopupDesign& design) {
    m_background = new widgets::PictureHolder(this);
    m_background->setObjectName(QStringLiteral("noticeBackground"));
    // The backdrop holds the notice's text and buttons; it is not a picture to read out.
    widgets::setAccessibleRole(m_background, QAccessible::Client);
    m_background->setGeometry(0, 0, notify::twipsToPixelsX(design.backgroundWidth),
                              notify::twipsToPixelsY(design.backgroundHeight));

    QFont font;
    font.setFamilies(notify::popupFontFamilies());
    font.setPointSizeF(design.fontPoints);
    font.setBold(design.boldFont);

    m_label = new QLabel(m_background);
    m_label->setObjectName(QStringLiteral("noticeText"));
    m_label->setFont(font);
    m_label->setWordWrap(true);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label->setGeometry(pixelBox(design.label));

    for (const notify::PopupButtonPlace& place : design.buttons) {
        auto* button = new QPushButton(QLatin1String(place.caption), m_background);
        button->setObjectName(QLatin1String(place.objectName));
        button->setGeometry(pixelBox(place.box));
        button->setAutoDefault(false);
        button->hide();
        m_buttons[place.button] = button;
        if (place.button != notify::PopupButton::Download)
            connect(button, &QPushButton::clicked, this, &NoticeWindow::startSlideOut);
    }
}

QPushButton* NoticeWindow::button(notify::PopupButton which) const {
    const auto found = m_buttons.find(which);
    return found == m_buttons.end() ? nullptr : found->second;
}

const GradientPainter* NoticeWindow::gradient() const {
    return m_gradient ? &*m_gradient : nullptr;
}

void NoticeWindow::load() {
    notify::lockForNotice(m_hostWindow);
    m_locked = true;
    for (notify::PopupButton shown : notify::visibleButtons(m_design, m_kind)) {
        QPushButton* b = button(shown);
        if (!b) continue;
        b->show();
        if (!m_defaultButton) m_defaultButton = b;
        m_escapeButton = b;
    }
    if (m_defaultButton) m_defaultButton->setDefault(true);
    display(m_message, kDisplayTimeMs);
}

void NoticeWindow::display(const QString& message, std::int32_t displayTime) {
    if (!m_counted) {
        m_popupIndex = notify::countOpenedPopup();
        m_counted = true;
    }
    if (m_design.labelSpansBackground) m_label->setFixedWidth(m_background->width() - m_label->x());
    m_label->setText(message);
    m_tmrAlert->setInterval(displayTime);

    // On the monitor that holds the main window, wherever that monitor lies on the desktop.
    m_screen = notify::screenTwipsOf(m_hostWindow);
    if (m_anchor) {
        placeOverHost();
    } else {
        placeOnScreen();
        show();
    }
    // A screen reader announces the notice by name, then reads the message.
    setAccessibleName(QStringLiteral("VEXA notice"));
    setAccessibleDescription(message);
    // An anchored popup cannot be activated; the keys reach it through the main window.
    if (!m_anchor) activateWindow();
    if (m_defaultButton) m_defaultButton->setFocus(Qt::ActiveWindowFocusReason);

    if (!m_sound) m_sound = notify::playAlertSound(this);

    if (!m_gradient) m_gradient.emplace();
    m_gradient->setAngle(kGradientAngle);
    m_gradient->setColour1(kGradientTop);
    m_gradient->setColour2(kGradientBottom);
    m_gradient->paint(*m_background);

    m_tmrOpen->start();
}

void NoticeWindow::placeOnScreen() {
    notify::PopupFrame frame;
    frame.backgroundWidth = m_background->width() * m_screen.twipsPerPixelX;
    frame.backgroundHeight = m_background->height() * m_screen.twipsPerPixelY;
    frame.borderWidth =
        base::roundHalfEven((frameGeometry().width() - width()) * m_screen.twipsPerPixelX);
    frame.borderHeight =
        base::roundHalfEven((frameGeometry().height() - height()) * m_screen.twipsPerPixelY);
    frame.loadedWidth = width() * m_screen.twipsPerPixelX;
    m_fullHeight = notify::fullPopupHeight(frame);
    m_rect = notify::popupStartRect(frame, m_screen, notify::openPopupCount());
    applyGeometry();
}

void NoticeWindow::placeOverHost() {
    const QRect open = m_anchor->place(notify::openPopupCount());
    m_fullHeight = open.height() * m_screen.twipsPerPixelY;
    // The same thin strip as on the screen, on the popup's bottom edge.
    m_rect.left = open.left() * m_screen.twipsPerPixelX;
    m_rect.width = open.width() * m_screen.twipsPerPixelX;
    m_rect.height = notify::kPopupStartHeight;
    m_rect.top = (open.top() + open.height()) * m_screen.twipsPerPixelY - m_rect.height;
    applyGeometry();
    m_anchor->show();
}

void NoticeWindow::applyGeometry() {
    if (m_anchor) {
        // The slide moves the picture inside the popup, which cannot move once shown.
        const double hidden = std::max(m_fullHeight - m_rect.height, 0.0);
        m_background->move(0,
                           static_cast<int>(base::roundHalfEven(hidden / m_screen.twipsPerPixelY)));
        return;
    }
    // Frameless: the geometry is the whole window.
    setGeometry(notify::toPixels(m_rect, m_screen));
}

void NoticeWindow::slideInStep() {
    if (!notify::slideInStep(m_rect, m_fullHeight)) {
        m_tmrOpen->stop();
        return;
    }
    applyGeometry();
}

void NoticeWindow::slideOutStep() {
    if (!notify::slideOutStep(m_rect)) {
        m_tmrClose->stop();
        close();
        return;
    }
    applyGeometry();
}

void NoticeWindow::displayTimeUp() {
    m_tmrAlert->stop();
    startSlideOut();
}

void NoticeWindow::startSlideOut() {
    // A button pressed while the popup still rises: growing and sinking by the same step at
    // once would hold it in place for ever.
    m_tmrOpen->stop();
    m_tmrClose->start();
}

void NoticeWindow::closeEvent(QCloseEvent* event) {
    m_tmrOpen->stop();
    m_tmrClose->stop();
    finish();
    event->accept();
}

void NoticeWindow::keyPressEvent(QKeyEvent* event) {
    if (!answerKey(*event)) QWidget::keyPressEvent(event);
}

bool NoticeWindow::answerKey(const QKeyEvent& event) {
    QPushButton* target = nullptr;
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        target = m_defaultButton;
        break;
    case Qt::Key_Escape:
        target = m_escapeButton;
        break;
    default:
        break;
    }
    if (!target || !target->isVisible() || !target->isEnabled() ||
        (event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    target->click();
    return true;
}

void NoticeWindow::finish() {
    if (m_finished) return;
    m_finished = true;
    if (m_counted) notify::releasePopupIndex(m_popupIndex);
    if (m_locked) notify::unlockAfterNotice(m_hostWindow);
}

} // namespace vexa::notify
