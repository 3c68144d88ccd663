#include "shell/SplashFade.h"

namespace vexa::shell {

void SplashFade::load() {
    *this = SplashFade{};
    m_fadingIn = true;
}

std::optional<int> SplashFade::fadeInTick() {
    if (!m_fadingIn) return std::nullopt;
    m_alpha += kStep;
    if (m_alpha >= kOpaque) {
        m_alpha = kOpaque;
        m_fadingIn = false;
        m_fadingOut = m_holdElapsed;
    }
    return m_alpha;
}

void SplashFade::holdElapsed() {
    if (m_holdElapsed) return; // the hold fires again and again; only the first time counts
    m_holdElapsed = true;
    m_fadingOut = !m_fadingIn;
}

std::optional<int> SplashFade::fadeOutTick() {
    if (!m_fadingOut) return std::nullopt;
    m_alpha -= kStep;
    if (m_alpha <= kFirstAlpha) {
        m_alpha = kFirstAlpha;
        m_fadingOut = false;
        m_finished = true;
    }
    return m_alpha;
}

} // namespace vexa::shell
