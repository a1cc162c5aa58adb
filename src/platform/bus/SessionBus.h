// The session bus as the desktop parts of the native layer use it (media
// controls, the portal's file chooser, notifications): one connection, made
// and served by a thread of its own that runs its own GMainContext, so the
// window thread never waits for the bus. Work reaches that thread through
// post(); what the bus answers reaches a window thread only as posted
// messages.
//
// Invariants: the connection is touched on the bus thread only; it exists
// from the first work item on, or never (no address, or the bus refused us),
// in which case every work item runs with null, so that a waiting caller
// still hears that no bus answers. The address is read once,
// from DBUS_SESSION_BUS_ADDRESS: no address, no bus (the layer never starts a
// bus of its own).
#pragma once

#include <gio/gio.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "platform/bus/GlibHandles.h"

namespace veltrix::platform::bus {

class SessionBus {
public:
    using Work = std::function<void(GDBusConnection*)>;

    // Whether the environment names a session bus.
    static bool configured();
    // The process's bus; its thread starts on the first call.
    static SessionBus& instance();

    // Runs work on the bus thread with the connection, or with null when there
    // is none. Work still queued when the program ends is dropped unrun.
    void post(Work work);
    // The bus thread's context, for sources the desktop parts attach (time-outs).
    GMainContext* context() const { return context_.get(); }

    ~SessionBus();
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

private:
    explicit SessionBus(std::string address);
    void run();

    std::string address_;
    UniqueMainContext context_;
    UniqueMainLoop loop_;
    UniqueConnection connection_;               // bus thread only
    GDBusConnection* rawConnection_ = nullptr;  // connection_, for the work items; bus thread only
    std::thread thread_;
};

}  // namespace veltrix::platform::bus
