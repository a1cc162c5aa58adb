#include "platform/bus/SessionBus.h"

#include <cstdlib>
#include <memory>

namespace veltrix::platform::bus {

namespace {

struct Posted {
    SessionBus::Work work;
    GDBusConnection* const* connection;  // the bus's, read on its thread
};

}  // namespace

bool SessionBus::configured() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    return address && *address;
}

SessionBus& SessionBus::instance() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    static SessionBus bus(address ? address : "");
    return bus;
}

SessionBus::SessionBus(std::string address)
    : address_(std::move(address)), context_(g_main_context_new()), loop_(g_main_loop_new(context_.get(), FALSE)) {
    thread_ = std::thread([this] { run(); });
}

SessionBus::~SessionBus() {
    // Quit from inside the loop: a quit before the loop runs would be undone by its start.
    g_main_context_invoke(
        context_.get(),
        [](gpointer loop) -> gboolean {
            g_main_loop_quit(static_cast<GMainLoop*>(loop));
            return G_SOURCE_REMOVE;
        },
        loop_.get());
    if (thread_.joinable()) thread_.join();
}

void SessionBus::run() {
    g_main_context_push_thread_default(context_.get());
    if (!address_.empty()) {
        GError* error = nullptr;
        connection_.reset(g_dbus_connection_new_for_address_sync(
            address_.c_str(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, &error));
        UniqueError failed(error);
        // A bus that goes away must not take the program with it.
        if (connection_) g_dbus_connection_set_exit_on_close(connection_.get(), FALSE);
        rawConnection_ = connection_.get();
    }
    g_main_loop_run(loop_.get());
    if (connection_) g_dbus_connection_flush_sync(connection_.get(), nullptr, nullptr);
    rawConnection_ = nullptr;
    connection_.reset();
    // Sources still queued (work posted while closing) are freed with the context.
    g_main_context_pop_thread_default(context_.get());
}

void SessionBus::post(Work work) {
    auto posted = std::make_unique<Posted>(Posted{std::move(work), &rawConnection_});
    // The context owns the item from here; its destroy notify frees it
    // whether the item ran or was dropped with the context.
    g_main_context_invoke_full(
        context_.get(), G_PRIORITY_DEFAULT,
        [](gpointer data) -> gboolean {
            auto* p = static_cast<Posted*>(data);
            p->work(*p->connection);
            return G_SOURCE_REMOVE;
        },
        posted.release(), [](gpointer data) { std::unique_ptr<Posted> owned(static_cast<Posted*>(data)); });
}

}  // namespace veltrix::platform::bus
