// desktop::notifyWhenInactive: org.freedesktop.Notifications.Notify, sent
// from the bus thread without waiting for its answer.
#include <string>

#include "platform/api/Desktop.h"
#include "platform/bus/SessionBus.h"
#include "platform/common/Unicode.h"
#include "platform/win32.h"
#include "platform/window/DesktopFocus.h"

namespace desktop {

using veltrix::platform::bus::SessionBus;

BOOL notifyWhenInactive(HWND window, LPCWSTR title, LPCWSTR text) {
    if (!SessionBus::configured() || !IsWindow(window)) return FALSE;
    if (veltrix::platform::programHasDesktopFocus()) return FALSE;
    std::string summary = title ? veltrix::unicode::utf16ToUtf8(std::u16string_view(title)) : std::string();
    std::string body = text ? veltrix::unicode::utf16ToUtf8(std::u16string_view(text)) : std::string();
    SessionBus::instance().post([summary = std::move(summary), body = std::move(body)](GDBusConnection* connection) {
        if (!connection) return;
        GVariantBuilder hints;
        g_variant_builder_init(&hints, G_VARIANT_TYPE("a{sv}"));
        g_variant_builder_add(&hints, "{sv}", "desktop-entry", g_variant_new_string("veltrix"));
        // No server for notifications on this desktop: the call fails quietly.
        g_dbus_connection_call(connection, "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                               "org.freedesktop.Notifications", "Notify",
                               g_variant_new("(susssasa{sv}i)", "Veltrix", 0u, "veltrix", summary.c_str(), body.c_str(),
                                             nullptr, &hints, -1),
                               nullptr, G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr, nullptr);
    });
    return TRUE;
}

}  // namespace desktop
