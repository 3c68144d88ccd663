#include "support/XWindowProbe.h"

#include <xcb/xcb.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace vexa::test {

XWindowProbe::XWindowProbe() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    m_connection = connection;
}

XWindowProbe::~XWindowProbe() {
    if (m_connection) xcb_disconnect(m_connection);
}

std::uint32_t XWindowProbe::atom(const char* name) const {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        m_connection,
        xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    const std::uint32_t result = reply ? reply->atom : 0;
    std::free(reply);
    return result;
}

namespace {

QList<std::uint32_t> cardinals(xcb_connection_t* connection, WId window, std::uint32_t property,
                               std::uint32_t type, std::uint32_t count) {
    QList<std::uint32_t> values;
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, static_cast<xcb_window_t>(window),
                                                property, type, 0, count),
                               nullptr);
    if (reply && reply->format == 32) {
        const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        const int length = xcb_get_property_value_length(reply) / 4;
        for (int i = 0; i < length; ++i) values.append(data[i]);
    }
    std::free(reply);
    return values;
}

} // namespace

std::optional<std::uint32_t> XWindowProbe::cardinal(WId window, const char* property) const {
    if (!m_connection) return std::nullopt;
    const auto values = cardinals(m_connection, window, atom(property), XCB_ATOM_CARDINAL, 1);
    if (values.isEmpty()) return std::nullopt;
    return values.front();
}

std::optional<QRect> XWindowProbe::frame(WId window) const {
    if (!m_connection) return std::nullopt;
    const auto id = static_cast<xcb_window_t>(window);
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, id), nullptr);
    if (!geometry) return std::nullopt;
    xcb_translate_coordinates_reply_t* where = xcb_translate_coordinates_reply(
        m_connection, xcb_translate_coordinates(m_connection, id, geometry->root, 0, 0), nullptr);
    QRect inside;
    if (where) inside = QRect(where->dst_x, where->dst_y, geometry->width, geometry->height);
    std::free(where);
    std::free(geometry);
    if (inside.isNull()) return std::nullopt;
    const auto extents =
        cardinals(m_connection, window, atom("_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 4);
    if (extents.size() != 4) return inside;
    const int left = static_cast<int>(extents[0]), right = static_cast<int>(extents[1]);
    const int top = static_cast<int>(extents[2]), bottom = static_cast<int>(extents[3]);
    return inside.adjusted(-left, -top, right, bottom);
}

WId XWindowProbe::transientFor(WId window) const {
    if (!m_connection) return 0;
    const auto values =
        cardinals(m_connection, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 1);
    return values.isEmpty() ? 0 : values.front();
}

void XWindowProbe::askToClose(WId window) const {
    if (!m_connection) return;
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = static_cast<xcb_window_t>(window);
    event.type = atom("WM_PROTOCOLS");
    event.data.data32[0] = atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(m_connection, 0, event.window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(m_connection);
}

OpacitySampler::OpacitySampler(WId window) : m_window(window) {
    m_thread = std::thread([this] {
        XWindowProbe probe;
        int last = -2;
        while (!m_stop.load()) {
            const auto value = probe.cardinal(m_window, "_NET_WM_WINDOW_OPACITY");
            const int alpha =
                value ? static_cast<int>(std::lround(*value * 255.0 / 0xffffffffu)) : -1;
            if (alpha != last) m_changes.append(alpha);
            last = alpha;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
}

OpacitySampler::~OpacitySampler() {
    stop();
}

QList<int> OpacitySampler::stop() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    return m_changes;
}

} // namespace vexa::test
