// Owners of the GLib and GDBus objects the session-bus part holds: each is
// released by its own GLib function exactly once, on every path out.
#pragma once

#include <gio/gio.h>

#include "platform/common/UniqueC.h"

namespace veltrix::platform::bus {

using UniqueVariant = UniqueC<GVariant, g_variant_unref>;
using UniqueError = UniqueC<GError, g_error_free>;
using UniqueMainContext = UniqueC<GMainContext, g_main_context_unref>;
using UniqueMainLoop = UniqueC<GMainLoop, g_main_loop_unref>;
using UniqueConnection = UniqueC<GDBusConnection, g_object_unref>;
using UniqueNodeInfo = UniqueC<GDBusNodeInfo, g_dbus_node_info_unref>;
using UniqueGString = UniqueC<gchar, g_free>;
using UniqueStrv = UniqueC<gchar*, g_strfreev>;

}  // namespace veltrix::platform::bus
