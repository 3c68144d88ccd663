#include "EffectYield.h"

#include <QElapsedTimer>

#include <memory>
#include <utility>

namespace vexa::editor {

EffectYield::EffectYield(std::function<void()> processEvents, std::function<bool()> cancelled,
                         Clock clock)
    : m_processEvents(std::move(processEvents)), m_cancelled(std::move(cancelled)),
      m_clock(std::move(clock)) {}

bool EffectYield::operator()() {
    if (m_cancelled()) return false;
    const qint64 now = m_clock();
    if (!m_processedOnce || now - m_lastProcessed >= kIntervalMs) {
        m_processEvents();
        // Counted from the end of the processing, so that the effect itself always gets its turn.
        m_processedOnce = true;
        m_lastProcessed = m_clock();
    }
    return !m_cancelled();
}

EffectYield::Clock EffectYield::steadyClock() {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return timer->elapsed(); };
}

} // namespace vexa::editor
