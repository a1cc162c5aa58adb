// The media-player interfaces on the session bus (org.mpris.MediaPlayer2 and
// its .Player), behind desktop::registerMediaControls and its siblings.
//
// The window thread only stores the player's state under a lock and posts
// work to the bus thread; the bus thread answers property reads from that
// state and turns method calls into WM_COMMAND messages posted to the window.
#include <chrono>
#include <mutex>
#include <string>

#include <unistd.h>

#include "platform/api/Desktop.h"
#include "platform/bus/SessionBus.h"
#include "platform/common/Unicode.h"
#include "platform/win32.h"

namespace veltrix::platform::bus {

namespace {

constexpr char kObjectPath[] = "/org/mpris/MediaPlayer2";
constexpr char kRootInterface[] = "org.mpris.MediaPlayer2";
constexpr char kPlayerInterface[] = "org.mpris.MediaPlayer2.Player";
constexpr char kBusName[] = "org.mpris.MediaPlayer2.veltrix";
constexpr char kNoTrack[] = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

constexpr char kIntrospection[] = R"(<node>
  <interface name="org.mpris.MediaPlayer2">
    <method name="Raise"/>
    <method name="Quit"/>
    <property name="CanQuit" type="b" access="read"/>
    <property name="CanRaise" type="b" access="read"/>
    <property name="HasTrackList" type="b" access="read"/>
    <property name="Identity" type="s" access="read"/>
    <property name="DesktopEntry" type="s" access="read"/>
    <property name="SupportedUriSchemes" type="as" access="read"/>
    <property name="SupportedMimeTypes" type="as" access="read"/>
  </interface>
  <interface name="org.mpris.MediaPlayer2.Player">
    <method name="Next"/>
    <method name="Previous"/>
    <method name="Pause"/>
    <method name="PlayPause"/>
    <method name="Stop"/>
    <method name="Play"/>
    <method name="Seek"><arg direction="in" name="Offset" type="x"/></method>
    <method name="SetPosition">
      <arg direction="in" name="TrackId" type="o"/><arg direction="in" name="Position" type="x"/>
    </method>
    <method name="OpenUri"><arg direction="in" name="Uri" type="s"/></method>
    <signal name="Seeked"><arg name="Position" type="x"/></signal>
    <property name="PlaybackStatus" type="s" access="read"/>
    <property name="Rate" type="d" access="read"/>
    <property name="Metadata" type="a{sv}" access="read"/>
    <property name="Position" type="x" access="read"/>
    <property name="MinimumRate" type="d" access="read"/>
    <property name="MaximumRate" type="d" access="read"/>
    <property name="CanGoNext" type="b" access="read"/>
    <property name="CanGoPrevious" type="b" access="read"/>
    <property name="CanPlay" type="b" access="read"/>
    <property name="CanPause" type="b" access="read"/>
    <property name="CanSeek" type="b" access="read"/>
    <property name="CanControl" type="b" access="read"/>
  </interface>
</node>)";

using Clock = std::chrono::steady_clock;

// What the desktop sees; a copy of the player's last MediaState.
struct Snapshot {
    desktop::MediaStatus status = desktop::MediaStatus::Stopped;
    std::string title;
    std::string album;
    DWORD positionMs = 0;
    DWORD lengthMs = 0;
    bool canGoNext = false;
    bool canGoPrevious = false;
    Clock::time_point stamp{};  // when positionMs was read
    unsigned track = 0;         // counts item changes, for the track id

    bool sameItemAndStatus(const Snapshot& o) const {
        return status == o.status && title == o.title && album == o.album && lengthMs == o.lengthMs &&
               canGoNext == o.canGoNext && canGoPrevious == o.canGoPrevious;
    }
};

// Shared between the window thread and the bus thread, under mutex.
struct Shared {
    std::mutex mutex;
    HWND window = nullptr;
    desktop::MediaCommands commands;
    Snapshot state;
};

// The bus thread's own: what it put on the bus.
struct Exported {
    UniqueNodeInfo node;
    guint rootId = 0;
    guint playerId = 0;
    guint nameId = 0;
    bool triedInstanceName = false;
};

// Both outlive static destructors: the bus thread may still answer a call
// while the program's statics go.
Shared& shared() {
    static Shared* s = new Shared;
    return *s;
}

Exported& exported() {
    static Exported* e = new Exported;  // bus thread only
    return *e;
}

std::string utf8(LPCWSTR text) { return text ? unicode::utf16ToUtf8(std::u16string_view(text)) : std::string(); }

const char* statusName(desktop::MediaStatus status) {
    switch (status) {
        case desktop::MediaStatus::Playing:
            return "Playing";
        case desktop::MediaStatus::Paused:
            return "Paused";
        case desktop::MediaStatus::Stopped:
            break;
    }
    return "Stopped";
}

// Where playback is now: the last reading, moved on by the time since while playing.
gint64 positionMicros(const Snapshot& s) {
    std::int64_t ms = s.positionMs;
    if (s.status == desktop::MediaStatus::Playing)
        ms += std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - s.stamp).count();
    if (s.lengthMs && ms > s.lengthMs) ms = s.lengthMs;
    return ms * 1000;
}

GVariant* metadata(const Snapshot& s) {
    GVariantBuilder b;
    g_variant_builder_init(&b, G_VARIANT_TYPE("a{sv}"));
    std::string track = s.title.empty() ? kNoTrack : "/org/veltrix/Veltrix/Track/" + std::to_string(s.track);
    g_variant_builder_add(&b, "{sv}", "mpris:trackid", g_variant_new_object_path(track.c_str()));
    if (!s.title.empty()) g_variant_builder_add(&b, "{sv}", "xesam:title", g_variant_new_string(s.title.c_str()));
    if (!s.album.empty()) g_variant_builder_add(&b, "{sv}", "xesam:album", g_variant_new_string(s.album.c_str()));
    if (s.lengthMs) g_variant_builder_add(&b, "{sv}", "mpris:length", g_variant_new_int64(gint64{s.lengthMs} * 1000));
    return g_variant_builder_end(&b);
}

GVariant* emptyStrings() { return g_variant_new_strv(nullptr, 0); }

GVariant* rootProperty(const char* name) {
    std::string n = name;
    if (n == "CanQuit" || n == "CanRaise" || n == "HasTrackList") return g_variant_new_boolean(FALSE);
    if (n == "Identity") return g_variant_new_string("Veltrix");
    if (n == "DesktopEntry") return g_variant_new_string("veltrix");
    if (n == "SupportedUriSchemes" || n == "SupportedMimeTypes") return emptyStrings();
    return nullptr;
}

GVariant* playerProperty(const char* name, const Snapshot& s) {
    std::string n = name;
    if (n == "PlaybackStatus") return g_variant_new_string(statusName(s.status));
    if (n == "Rate" || n == "MinimumRate" || n == "MaximumRate") return g_variant_new_double(1.0);
    if (n == "Metadata") return metadata(s);
    if (n == "Position") return g_variant_new_int64(positionMicros(s));
    if (n == "CanGoNext") return g_variant_new_boolean(s.canGoNext);
    if (n == "CanGoPrevious") return g_variant_new_boolean(s.canGoPrevious);
    if (n == "CanPlay" || n == "CanPause") return g_variant_new_boolean(!s.album.empty());
    if (n == "CanControl") return g_variant_new_boolean(TRUE);
    if (n == "CanSeek") return g_variant_new_boolean(FALSE);
    return nullptr;
}

GVariant* getProperty(GDBusConnection*, const gchar*, const gchar*, const gchar* interface, const gchar* name,
                      GError** error, gpointer) {
    GVariant* value = nullptr;
    if (std::string(interface) == kRootInterface) {
        value = rootProperty(name);
    } else {
        std::lock_guard lock(shared().mutex);
        value = playerProperty(name, shared().state);
    }
    if (!value) g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "No property %s", name);
    return value;
}

// The command a method call asks for; 0 for none (the call is still answered).
WORD commandFor(const std::string& method) {
    Shared& s = shared();
    const bool playing = s.state.status == desktop::MediaStatus::Playing;
    if (method == "PlayPause") return s.commands.playPause;
    if (method == "Play") return playing ? 0 : s.commands.playPause;
    if (method == "Pause") return playing ? s.commands.playPause : 0;
    if (method == "Stop") return s.state.status == desktop::MediaStatus::Stopped ? 0 : s.commands.stop;
    if (method == "Next") return s.commands.next;
    if (method == "Previous") return s.commands.previous;
    return 0;
}

void methodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method, GVariant*,
                GDBusMethodInvocation* invocation, gpointer) {
    HWND window = nullptr;
    WORD command = 0;
    {
        std::lock_guard lock(shared().mutex);
        window = shared().window;
        command = commandFor(method);
    }
    if (window && command) PostMessageW(window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    g_dbus_method_invocation_return_value(invocation, nullptr);
}

const GDBusInterfaceVTable kVTable{methodCall, getProperty, nullptr, {}};

void ownName(GDBusConnection* connection, const std::string& name);

void nameLost(GDBusConnection* connection, const gchar*, gpointer) {
    // Another copy of the program holds the name: this one takes its own instance name.
    Exported& e = exported();
    if (!connection || e.triedInstanceName || !e.nameId) return;
    e.triedInstanceName = true;
    g_bus_unown_name(e.nameId);
    ownName(connection, std::string(kBusName) + ".instance" + std::to_string(getpid()));
}

void ownName(GDBusConnection* connection, const std::string& name) {
    exported().nameId = g_bus_own_name_on_connection(connection, name.c_str(), G_BUS_NAME_OWNER_FLAGS_DO_NOT_QUEUE,
                                                     nullptr, nameLost, nullptr, nullptr);
}

void exportObjects(GDBusConnection* connection) {
    Exported& e = exported();
    if (!connection || e.rootId) return;
    GError* error = nullptr;
    e.node.reset(g_dbus_node_info_new_for_xml(kIntrospection, &error));
    UniqueError failed(error);
    if (!e.node) return;
    e.rootId = g_dbus_connection_register_object(connection, kObjectPath,
                                                 g_dbus_node_info_lookup_interface(e.node.get(), kRootInterface),
                                                 &kVTable, nullptr, nullptr, nullptr);
    e.playerId = g_dbus_connection_register_object(connection, kObjectPath,
                                                   g_dbus_node_info_lookup_interface(e.node.get(), kPlayerInterface),
                                                   &kVTable, nullptr, nullptr, nullptr);
    e.triedInstanceName = false;
    ownName(connection, kBusName);
}

void withdrawObjects(GDBusConnection* connection) {
    Exported& e = exported();
    if (!connection) return;
    if (e.nameId) g_bus_unown_name(e.nameId);
    if (e.rootId) g_dbus_connection_unregister_object(connection, e.rootId);
    if (e.playerId) g_dbus_connection_unregister_object(connection, e.playerId);
    e.nameId = e.rootId = e.playerId = 0;
}

// Tells the desktop what changed: status, item and what can be done.
void announce(GDBusConnection* connection) {
    if (!connection || !exported().playerId) return;
    GVariantBuilder changed;
    g_variant_builder_init(&changed, G_VARIANT_TYPE("a{sv}"));
    {
        std::lock_guard lock(shared().mutex);
        const Snapshot& s = shared().state;
        for (const char* name : {"PlaybackStatus", "Metadata", "CanGoNext", "CanGoPrevious", "CanPlay", "CanPause"})
            g_variant_builder_add(&changed, "{sv}", name, playerProperty(name, s));
    }
    g_dbus_connection_emit_signal(connection, nullptr, kObjectPath, "org.freedesktop.DBus.Properties",
                                  "PropertiesChanged", g_variant_new("(sa{sv}as)", kPlayerInterface, &changed, nullptr),
                                  nullptr);
}

}  // namespace

}  // namespace veltrix::platform::bus

namespace desktop {

using veltrix::platform::bus::SessionBus;
using veltrix::platform::bus::shared;

BOOL registerMediaControls(HWND window, const MediaCommands& commands) {
    if (!SessionBus::configured()) return FALSE;
    {
        std::lock_guard lock(shared().mutex);
        shared().window = window;
        shared().commands = commands;
    }
    SessionBus::instance().post(veltrix::platform::bus::exportObjects);
    return TRUE;
}

void updateMediaControls(HWND window, const MediaState& state) {
    if (!SessionBus::configured()) return;
    veltrix::platform::bus::Snapshot next;
    next.status = state.status;
    next.title = veltrix::platform::bus::utf8(state.title);
    next.album = veltrix::platform::bus::utf8(state.album);
    next.positionMs = state.positionMs;
    next.lengthMs = state.lengthMs;
    next.canGoNext = state.canGoNext;
    next.canGoPrevious = state.canGoPrevious;
    next.stamp = veltrix::platform::bus::Clock::now();
    bool changed = false;
    {
        std::lock_guard lock(shared().mutex);
        if (shared().window != window) return;
        auto& current = shared().state;
        changed = !current.sameItemAndStatus(next);
        next.track = current.track + (current.title != next.title ? 1 : 0);
        current = std::move(next);
    }
    if (changed) SessionBus::instance().post(veltrix::platform::bus::announce);
}

void unregisterMediaControls(HWND window) {
    if (!SessionBus::configured()) return;
    {
        std::lock_guard lock(shared().mutex);
        if (shared().window != window) return;
        shared().window = nullptr;
        shared().state = {};
    }
    SessionBus::instance().post(veltrix::platform::bus::withdrawObjects);
}

}  // namespace desktop
