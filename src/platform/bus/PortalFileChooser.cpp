#include "platform/bus/PortalFileChooser.h"

#include <atomic>
#include <cctype>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/api/Desktop.h"
#include "platform/bus/SessionBus.h"
#include "platform/common/Unicode.h"
#include "platform/controls/ModalLoop.h"
#include "platform/services/NativePath.h"
#include "platform/win32.h"

namespace veltrix::platform::bus {

namespace {

constexpr char kPortalName[] = "org.freedesktop.portal.Desktop";
constexpr char kPortalPath[] = "/org/freedesktop/portal/desktop";
// Long enough for a portal that is started on demand; the window thread keeps
// running its messages meanwhile.
constexpr int kCallTimeoutMs = 5000;

// One request, shared by the window thread (which waits in its message loop)
// and the bus thread (which talks to the portal).
struct Exchange {
    DWORD thread = 0;  // the window thread, woken by a message when done
    std::mutex mutex;
    bool done = false;
    bool abandoned = false;  // the window thread stopped waiting (quit)
    PortalAnswer answer;
    // Bus thread only.
    std::string handle;
    guint subscription = 0;
};
using ExchangePtr = std::shared_ptr<Exchange>;

void finish(Exchange& x, PortalAnswer answer) {
    std::lock_guard lock(x.mutex);
    if (x.done) return;
    x.done = true;
    x.answer = std::move(answer);
    PostThreadMessageW(x.thread, WM_NULL, 0, 0);
}

PortalAnswer unavailable() { return {}; }

std::string utf8(std::u16string_view text) { return unicode::utf16ToUtf8(text); }

GVariant* filterVariant(const controls::FileFilter& filter) {
    GVariantBuilder globs;
    g_variant_builder_init(&globs, G_VARIANT_TYPE("a(us)"));
    for (const std::string& glob : portalGlobs(filter.patterns))
        g_variant_builder_add(&globs, "(us)", 0u, glob.c_str());
    return g_variant_new("(sa(us))", utf8(filter.label).c_str(), &globs);
}

GVariant* requestOptions(const PortalRequest& r, const std::string& token) {
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE("a{sv}"));
    g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
    g_variant_builder_add(&options, "{sv}", "modal", g_variant_new_boolean(r.owner != nullptr));
    if (!r.filters.empty()) {
        GVariantBuilder filters;
        g_variant_builder_init(&filters, G_VARIANT_TYPE("a(sa(us))"));
        for (const auto& f : r.filters) g_variant_builder_add_value(&filters, filterVariant(f));
        g_variant_builder_add(&options, "{sv}", "filters", g_variant_builder_end(&filters));
        std::size_t index = r.filterIndex >= 0 && static_cast<std::size_t>(r.filterIndex) < r.filters.size()
                                ? static_cast<std::size_t>(r.filterIndex)
                                : 0;
        g_variant_builder_add(&options, "{sv}", "current_filter", filterVariant(r.filters[index]));
    }
    if (!r.folder.empty())
        g_variant_builder_add(&options, "{sv}", "current_folder",
                              g_variant_new_bytestring(::platform::nativePath(r.folder).c_str()));
    if (r.mode == controls::FileDialogMode::Save && !r.initialName.empty())
        g_variant_builder_add(&options, "{sv}", "current_name", g_variant_new_string(utf8(r.initialName).c_str()));
    return g_variant_builder_end(&options);
}

// The portal's results: the first URI as a path, and the filter it names.
PortalAnswer chosen(GVariant* results, const std::vector<controls::FileFilter>& filters) {
    PortalAnswer answer;
    const gchar** uris = nullptr;
    if (!g_variant_lookup(results, "uris", "^a&s", &uris) || !uris || !uris[0]) {
        g_free(uris);
        return answer;  // nothing chosen that we can open: the own dialog instead
    }
    UniqueGString path(g_filename_from_uri(uris[0], nullptr, nullptr));
    g_free(uris);
    if (!path) return answer;
    answer.outcome = PortalAnswer::Outcome::Chosen;
    answer.path = ::platform::programPath(path.get());
    const gchar* label = nullptr;
    GVariant* ignored = nullptr;
    if (g_variant_lookup(results, "current_filter", "(&s@a(us))", &label, &ignored)) {
        UniqueVariant owned(ignored);
        for (std::size_t i = 0; i < filters.size(); ++i)
            if (utf8(filters[i].label) == label) answer.filterIndex = static_cast<int>(i);
    }
    return answer;
}

struct ResponseContext {
    ExchangePtr exchange;
    std::vector<controls::FileFilter> filters;
};

void onResponse(GDBusConnection* connection, const gchar*, const gchar*, const gchar*, const gchar*,
                GVariant* parameters, gpointer data) {
    auto* context = static_cast<ResponseContext*>(data);
    Exchange& x = *context->exchange;
    guint32 response = 2;
    GVariant* results = nullptr;
    g_variant_get(parameters, "(u@a{sv})", &response, &results);
    UniqueVariant owned(results);
    PortalAnswer answer;
    if (response == 0)
        answer = chosen(results, context->filters);
    else if (response == 1)
        answer.outcome = PortalAnswer::Outcome::Cancelled;
    // The context may be freed by the unsubscription: everything is read first.
    guint subscription = std::exchange(x.subscription, 0);
    finish(x, std::move(answer));
    if (subscription) g_dbus_connection_signal_unsubscribe(connection, subscription);
}

void subscribe(GDBusConnection* connection, const ExchangePtr& x, const std::vector<controls::FileFilter>& filters) {
    auto context = std::make_unique<ResponseContext>(ResponseContext{x, filters});
    x->subscription = g_dbus_connection_signal_subscribe(
        connection, kPortalName, "org.freedesktop.portal.Request", "Response", x->handle.c_str(), nullptr,
        G_DBUS_SIGNAL_FLAGS_NONE, onResponse, context.release(),
        [](gpointer data) { std::unique_ptr<ResponseContext> owned(static_cast<ResponseContext*>(data)); });
}

void closeRequest(GDBusConnection* connection, const std::string& handle) {
    g_dbus_connection_call(connection, kPortalName, handle.c_str(), "org.freedesktop.portal.Request", "Close", nullptr,
                           nullptr, G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, nullptr, nullptr);
}

struct CallContext {
    ExchangePtr exchange;
    std::vector<controls::FileFilter> filters;
};

void onCalled(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<CallContext> context(static_cast<CallContext*>(data));
    auto* connection = G_DBUS_CONNECTION(source);
    Exchange& x = *context->exchange;
    GError* error = nullptr;
    UniqueVariant reply(g_dbus_connection_call_finish(connection, result, &error));
    UniqueError failed(error);
    if (!reply) {
        // No portal on this bus (or it failed): the own dialog answers instead.
        if (x.subscription) g_dbus_connection_signal_unsubscribe(connection, std::exchange(x.subscription, 0));
        finish(x, unavailable());
        return;
    }
    const gchar* handle = nullptr;
    g_variant_get(reply.get(), "(&o)", &handle);
    if (handle && x.handle != handle && x.subscription) {
        // An older portal chose another path than the one asked for.
        g_dbus_connection_signal_unsubscribe(connection, std::exchange(x.subscription, 0));
        x.handle = handle;
        subscribe(connection, context->exchange, context->filters);
    }
    bool abandoned = false;
    {
        std::lock_guard lock(x.mutex);
        abandoned = x.abandoned;
    }
    if (abandoned) closeRequest(connection, x.handle);
}

// The request's object path, known before the call so that no answer is missed.
std::string requestPath(GDBusConnection* connection, const std::string& token) {
    std::string sender =
        g_dbus_connection_get_unique_name(connection) ? g_dbus_connection_get_unique_name(connection) : "";
    if (!sender.empty() && sender[0] == ':') sender.erase(0, 1);
    for (char& c : sender)
        if (c == '.') c = '_';
    return std::string(kPortalPath) + "/request/" + sender + "/" + token;
}

void start(GDBusConnection* connection, const ExchangePtr& x, const PortalRequest& request, const std::string& token) {
    if (!connection) {
        finish(*x, unavailable());
        return;
    }
    x->handle = requestPath(connection, token);
    subscribe(connection, x, request.filters);
    std::string title = utf8(request.title);
    const char* method = request.mode == controls::FileDialogMode::Save ? "SaveFile" : "OpenFile";
    auto context = std::make_unique<CallContext>(CallContext{x, request.filters});
    g_dbus_connection_call(
        connection, kPortalName, kPortalPath, "org.freedesktop.portal.FileChooser", method,
        g_variant_new("(ss@a{sv})", request.parent.c_str(), title.c_str(), requestOptions(request, token)),
        G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, onCalled, context.release());
}

}  // namespace

std::vector<std::string> portalGlobs(std::u16string_view patterns) {
    std::vector<std::string> globs;
    std::size_t from = 0;
    while (from <= patterns.size()) {
        std::size_t end = patterns.find(u';', from);
        if (end == std::u16string_view::npos) end = patterns.size();
        std::string pattern = utf8(patterns.substr(from, end - from));
        from = end + 1;
        if (pattern.empty()) continue;
        if (pattern == "*.*") pattern = "*";
        std::string glob;
        for (char c : pattern) {
            if (std::isalpha(static_cast<unsigned char>(c))) {
                glob += '[';
                glob += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                glob += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                glob += ']';
            } else {
                glob += c;
            }
        }
        globs.push_back(glob);
    }
    return globs;
}

PortalAnswer askPortal(const PortalRequest& request) {
    if (!SessionBus::configured()) return unavailable();
    static std::atomic<unsigned> counter{0};
    const std::string token = "veltrix" + std::to_string(++counter);
    auto x = std::make_shared<Exchange>();
    x->thread = GetCurrentThreadId();
    SessionBus::instance().post(
        [x, request, token](GDBusConnection* connection) { start(connection, x, request, token); });

    const bool ownerWasEnabled = request.owner && IsWindowEnabled(request.owner);
    if (ownerWasEnabled) EnableWindow(request.owner, FALSE);
    ModalEnd end = runModalLoop([&] {
        std::lock_guard lock(x->mutex);
        return x->done;
    });
    if (ownerWasEnabled) EnableWindow(request.owner, TRUE);

    std::lock_guard lock(x->mutex);
    if (end != ModalEnd::Done && !x->done) {
        // The program is quitting (or a headless test gave up): the portal's dialog goes too.
        x->abandoned = true;
        SessionBus::instance().post([x](GDBusConnection* connection) {
            if (!connection) return;
            if (x->subscription) g_dbus_connection_signal_unsubscribe(connection, std::exchange(x->subscription, 0));
            closeRequest(connection, x->handle);
        });
        return PortalAnswer{PortalAnswer::Outcome::Cancelled, {}, -1};
    }
    return x->answer;
}

}  // namespace veltrix::platform::bus

namespace desktop {

namespace {
std::atomic<bool> desktopChooser{true};
}

void useDesktopFileChooser(BOOL use) { desktopChooser = use != FALSE; }
BOOL usesDesktopFileChooser() { return desktopChooser ? TRUE : FALSE; }

}  // namespace desktop
