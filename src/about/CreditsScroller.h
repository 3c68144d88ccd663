#pragma once

#include "about/CreditsScroll.h"

#include <QStringList>
#include <QWidget>

class QTimer;

namespace vexa::about {

// A view in which the credits scroll upwards, one pixel per tick of its timer.
class CreditsScroller : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTickMs = 30;

    explicit CreditsScroller(QStringList lines, QWidget* parent = nullptr);

    void start();
    void stop();
    bool isRunning() const;

    // One step of the animation (the timer's handler).
    void tick();
    int textTop() const { return m_scroll.textTop(); }
    int textHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QStringList m_lines;
    CreditsScroll m_scroll;
    QTimer* m_timer = nullptr;
};

} // namespace vexa::about
