#pragma once

#include <optional>

namespace vexa::shell {

// The splash window's fade: in from alpha 5 to 255 in steps of 5, held, then out to 5 again,
// after which the splash closes and the main window appears. The window's timers drive it; each
// tick returns the alpha to set, or nothing when the tick has nothing to do.
class SplashFade {
public:
    static constexpr int kFirstAlpha = 5;
    static constexpr int kOpaque = 255;
    static constexpr int kStep = 5;
    static constexpr int kTickMs = 5;    // both fade timers
    static constexpr int kHoldMs = 4000; // from load to the start of the fade-out

    // Back to the start: alpha 5, fading in.
    void load();

    std::optional<int> fadeInTick();
    // The hold time has passed. The fade-out starts only from a fully opaque splash: should
    // the fade-in still be running (a busy machine delays timers), the fade-out waits for it.
    void holdElapsed();
    std::optional<int> fadeOutTick();

    int alpha() const { return m_alpha; }
    bool fadingIn() const { return m_fadingIn; }
    bool fadingOut() const { return m_fadingOut; }
    // The fade-out has reached alpha 5: time to close the splash.
    bool finished() const { return m_finished; }

private:
    int m_alpha = kFirstAlpha;
    bool m_fadingIn = false;
    bool m_holdElapsed = false;
    bool m_fadingOut = false;
    bool m_finished = false;
};

} // namespace vexa::shell
