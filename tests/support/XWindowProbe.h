#pragma once

#include <QList>
#include <QRect>
#include <QWindow>

#include <atomic>
#include <cstdint>
#include <optional>
#include <thread>

struct xcb_connection_t;

namespace vexa::test {

// Reads windows as the X server has them, over a connection of its own: what the program has
// only queued in its own connection is not there yet.
class XWindowProbe {
public:
    XWindowProbe(); // on $DISPLAY
    ~XWindowProbe();
    XWindowProbe(const XWindowProbe&) = delete;
    XWindowProbe& operator=(const XWindowProbe&) = delete;

    bool connected() const { return m_connection != nullptr; }

    // A 32-bit CARDINAL property; nothing when the window lacks it (or is gone).
    std::optional<std::uint32_t> cardinal(WId window, const char* property) const;
    // The window's outer frame on the screen: its inside where the X server has it, plus the
    // frame the window manager reports (_NET_FRAME_EXTENTS).
    std::optional<QRect> frame(WId window) const;
    // WM_TRANSIENT_FOR, 0 when not set.
    WId transientFor(WId window) const;
    // What the window manager's close button does: a WM_DELETE_WINDOW message.
    void askToClose(WId window) const;

private:
    std::uint32_t atom(const char* name) const;

    xcb_connection_t* m_connection = nullptr;
};

// Reads a window's _NET_WM_WINDOW_OPACITY from the X server over and over on a thread of its
// own, noting each change as an alpha 0 ... 255 (-1 while the property is absent).
class OpacitySampler {
public:
    explicit OpacitySampler(WId window);
    ~OpacitySampler();
    // Stops sampling; the changes seen, in order.
    QList<int> stop();

private:
    WId m_window;
    std::atomic<bool> m_stop{false};
    QList<int> m_changes;
    std::thread m_thread;
};

} // namespace vexa::test
