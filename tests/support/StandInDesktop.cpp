// Stand-in desktop services for the tests, on the session bus named by
// DBUS_SESSION_BUS_ADDRESS: a file-chooser portal that answers every request
// at once with the answer it was given ("cancel", or a path to choose) and a
// notification server. Each request is appended to the log file as one line;
// "ready" on standard output says both names are owned.
//
//     veltrix_stand_in_desktop <log file> <answer>
#include <gio/gio.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "platform/bus/GlibHandles.h"

using namespace veltrix::platform::bus;

namespace {

constexpr char kIntrospection[] = R"(<node>
  <interface name="org.freedesktop.portal.FileChooser">
    <method name="OpenFile">
      <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="a{sv}" direction="in"/>
      <arg type="o" direction="out"/>
    </method>
    <method name="SaveFile">
      <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="a{sv}" direction="in"/>
      <arg type="o" direction="out"/>
    </method>
  </interface>
  <interface name="org.freedesktop.Notifications">
    <method name="Notify">
      <arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
      <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="as" direction="in"/>
      <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/><arg type="u" direction="out"/>
    </method>
  </interface>
</node>)";

std::string logPath;
std::string answer;
int namesOwned = 0;

void log(const std::string& line) {
    std::ofstream out(logPath, std::ios::app);
    out << line << '\n';
}

std::string describeFilter(GVariant* filter) {
    const gchar* label = nullptr;
    GVariantIter* globs = nullptr;
    g_variant_get(filter, "(&sa(us))", &label, &globs);
    std::string text = std::string(label) + ":";
    guint32 kind = 0;
    const gchar* glob = nullptr;
    bool first = true;
    while (g_variant_iter_next(globs, "(u&s)", &kind, &glob)) {
        text += (first ? "" : ",") + std::string(glob);
        first = false;
    }
    g_variant_iter_free(globs);
    return text;
}

struct Response {
    UniqueConnection connection;
    std::string sender;
    std::string handle;
    UniqueVariant currentFilter;
};

void chooserCall(GDBusConnection* connection, const gchar* sender, const gchar* method, GVariant* parameters,
                 GDBusMethodInvocation* invocation) {
    const gchar* parent = nullptr;
    const gchar* title = nullptr;
    GVariant* raw = nullptr;
    g_variant_get(parameters, "(&s&s@a{sv})", &parent, &title, &raw);
    UniqueVariant options(raw);
    std::string line = std::string(method) + (*parent ? std::string(" parent=") + parent : "") + " title=" + title;
    const gchar* text = nullptr;
    if (g_variant_lookup(options.get(), "current_folder", "^&ay", &text)) line += std::string(" folder=") + text;
    if (g_variant_lookup(options.get(), "current_name", "&s", &text)) line += std::string(" name=") + text;
    UniqueVariant filters(g_variant_lookup_value(options.get(), "filters", G_VARIANT_TYPE("a(sa(us))")));
    if (filters) {
        line += " filters=";
        for (gsize i = 0; i < g_variant_n_children(filters.get()); ++i) {
            UniqueVariant f(g_variant_get_child_value(filters.get(), i));
            line += (i ? ";" : "") + describeFilter(f.get());
        }
    }
    UniqueVariant current(g_variant_lookup_value(options.get(), "current_filter", G_VARIANT_TYPE("(sa(us))")));
    if (current) line += " current=" + describeFilter(current.get());
    log(line);

    const gchar* token = "t";
    g_variant_lookup(options.get(), "handle_token", "&s", &token);
    std::string name = sender + 1;  // without ':'
    for (char& c : name)
        if (c == '.') c = '_';
    auto response = std::make_unique<Response>(
        Response{UniqueConnection(G_DBUS_CONNECTION(g_object_ref(connection))), sender,
                 "/org/freedesktop/portal/desktop/request/" + name + "/" + token, std::move(current)});
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(o)", response->handle.c_str()));
    // The answer follows the reply, as a portal's does once its dialog closes.
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer data) -> gboolean {
            auto* r = static_cast<Response*>(data);
            GVariantBuilder results;
            g_variant_builder_init(&results, G_VARIANT_TYPE("a{sv}"));
            guint32 code = 1;
            if (answer != "cancel") {
                code = 0;
                UniqueGString uri(g_filename_to_uri(answer.c_str(), nullptr, nullptr));
                const gchar* uris[] = {uri.get(), nullptr};
                g_variant_builder_add(&results, "{sv}", "uris", g_variant_new_strv(uris, -1));
                if (r->currentFilter) g_variant_builder_add(&results, "{sv}", "current_filter", r->currentFilter.get());
            }
            g_dbus_connection_emit_signal(r->connection.get(), r->sender.c_str(), r->handle.c_str(),
                                          "org.freedesktop.portal.Request", "Response",
                                          g_variant_new("(ua{sv})", code, &results), nullptr);
            return G_SOURCE_REMOVE;
        },
        response.release(), [](gpointer data) { std::unique_ptr<Response> owned(static_cast<Response*>(data)); });
}

void methodCall(GDBusConnection* connection, const gchar* sender, const gchar*, const gchar*, const gchar* method,
                GVariant* parameters, GDBusMethodInvocation* invocation, gpointer) {
    if (std::string(method) == "Notify") {
        const gchar* summary = nullptr;
        const gchar* body = nullptr;
        g_variant_get(parameters, "(&su&s&s&sasa{sv}i)", nullptr, nullptr, nullptr, &summary, &body, nullptr, nullptr,
                      nullptr);
        log(std::string("Notify summary=") + summary + " body=" + body);
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(u)", 1u));
        return;
    }
    chooserCall(connection, sender, method, parameters, invocation);
}

const GDBusInterfaceVTable kVTable{methodCall, nullptr, nullptr, {}};

void nameAcquired(GDBusConnection*, const gchar*, gpointer) {
    if (++namesOwned == 2) {
        std::puts("ready");
        std::fflush(stdout);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    logPath = argv[1];
    answer = argv[2];
    GError* error = nullptr;
    UniqueConnection connection(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error));
    UniqueError failed(error);
    if (!connection) return 1;
    UniqueNodeInfo node(g_dbus_node_info_new_for_xml(kIntrospection, nullptr));
    g_dbus_connection_register_object(connection.get(), "/org/freedesktop/portal/desktop", node->interfaces[0],
                                      &kVTable, nullptr, nullptr, nullptr);
    g_dbus_connection_register_object(connection.get(), "/org/freedesktop/Notifications", node->interfaces[1], &kVTable,
                                      nullptr, nullptr, nullptr);
    g_bus_own_name_on_connection(connection.get(), "org.freedesktop.portal.Desktop", G_BUS_NAME_OWNER_FLAGS_NONE,
                                 nameAcquired, nullptr, nullptr, nullptr);
    g_bus_own_name_on_connection(connection.get(), "org.freedesktop.Notifications", G_BUS_NAME_OWNER_FLAGS_NONE,
                                 nameAcquired, nullptr, nullptr, nullptr);
    UniqueMainLoop loop(g_main_loop_new(nullptr, FALSE));
    g_main_loop_run(loop.get());
    return 0;
}
