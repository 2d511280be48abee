#include "toolkit/UrgencyHint.h"

#include <QApplication>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <xcb/xcb.h>

namespace dividra::toolkit {

// XUrgencyHint in the window's WM_HINTS, keeping the other hints Qt wrote.
void SetUrgencyHint(QWidget& window, bool urgent) {
    const auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        return;
    }
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    constexpr std::uint32_t kHintsLength = 9; // flags, input, state, ... window_group
    constexpr std::uint32_t kUrgencyHint = 1U << 8;
    std::array<std::uint32_t, kHintsLength> hints{};
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, kHintsLength);
    if (xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr)) {
        if (reply->format == 32) {
            const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
            const auto count = std::min<std::uint32_t>(
                static_cast<std::uint32_t>(xcb_get_property_value_length(reply)) / 4, kHintsLength);
            std::copy(values, values + count, hints.begin());
        }
        std::free(reply);
    }
    hints[0] = urgent ? hints[0] | kUrgencyHint : hints[0] & ~kUrgencyHint;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS,
                        32, kHintsLength, hints.data());
    xcb_flush(connection);
}

} // namespace dividra::toolkit
