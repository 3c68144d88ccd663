#pragma once

#include <QtGlobal>

#include <functional>

namespace vexa::editor {

// The yield hook of an effect run from a window: after each row it lets the window process its
// pending events, at most once per interval so that tiny rows do not spend their time there,
// and asks the effect to stop once the user has cancelled.
class EffectYield {
public:
    static constexpr qint64 kIntervalMs = 15;

    using Clock = std::function<qint64()>; // milliseconds, never going back

    // `processEvents` repaints and handles input; `cancelled` says whether to stop.
    EffectYield(std::function<void()> processEvents, std::function<bool()> cancelled,
                Clock clock = steadyClock());

    // True to go on, false to stop the effect.
    bool operator()();

    static Clock steadyClock();

private:
    std::function<void()> m_processEvents;
    std::function<bool()> m_cancelled;
    Clock m_clock;
    bool m_processedOnce = false;
    qint64 m_lastProcessed = 0;
};

} // namespace vexa::editor
