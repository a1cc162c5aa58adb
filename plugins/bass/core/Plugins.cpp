#include "core/Plugins.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "core/Library.h"
#include "platform/common/UniqueC.h"

namespace bass {

namespace {

// Codecs the core leaves to a plug-in, as the published family leaves WMA to
// its WMA add-on.
constexpr std::array<std::string_view, 5> kPluginOnlyCodecs = {"wmav1", "wmav2", "wmapro", "wmalossless", "wmavoice"};

// A module opened with dlopen, closed with its owner.
using Module = veltrix::UniqueC<void, ::dlclose>;

struct LoadedPlugin {
    Module module;
    std::vector<std::string> codecs;
};

std::map<HPLUGIN, LoadedPlugin>& plugins() {
    // Never destroyed: the program frees its plug-ins from its own static
    // objects at exit, which run after this module's statics are gone.
    static auto& table = *new std::map<HPLUGIN, LoadedPlugin>();
    return table;
}

HPLUGIN g_nextPlugin = 0x70000001;

// The plug-in table has a lock of its own: decoders opening files on other
// threads ask it which codecs are available. Never destroyed, like the table.
std::mutex& pluginLock() {
    static auto& lock = *new std::mutex();
    return lock;
}

}  // namespace

bool codecAvailable(const std::string& codecName) {
    if (std::find(kPluginOnlyCodecs.begin(), kPluginOnlyCodecs.end(), codecName) == kPluginOnlyCodecs.end())
        return true;
    std::lock_guard<std::mutex> lock(pluginLock());
    for (const auto& [handle, plugin] : plugins())
        if (std::find(plugin.codecs.begin(), plugin.codecs.end(), codecName) != plugin.codecs.end()) return true;
    return false;
}

HPLUGIN loadPlugin(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        setError(BASS_ERROR_FILEOPEN);
        return 0;
    }
    Module module(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
    if (!module) {
        setError(BASS_ERROR_FILEFORM);
        return 0;
    }
    std::lock_guard<std::mutex> lock(pluginLock());
    for (const auto& [handle, plugin] : plugins()) {
        if (plugin.module == module) {
            // Going out of scope drops the extra reference this call took.
            setError(BASS_ERROR_ALREADY);
            return 0;
        }
    }
    auto entry = reinterpret_cast<BASSplugin_t>(::dlsym(module.get(), "BASSplugin"));
    const BassPluginDescriptor* descriptor = entry ? entry(0) : nullptr;
    if (!descriptor) {
        setError(BASS_ERROR_FILEFORM);
        return 0;
    }
    if ((descriptor->version >> 16) != BASSVERSION) {
        setError(BASS_ERROR_VERSION);
        return 0;
    }
    LoadedPlugin plugin{std::move(module), {}};
    for (const char* const* codec = descriptor->codecs; codec && *codec; ++codec) plugin.codecs.emplace_back(*codec);
    HPLUGIN handle = g_nextPlugin++;
    plugins().emplace(handle, std::move(plugin));
    setError(BASS_OK);
    return handle;
}

bool freePlugin(HPLUGIN handle) {
    std::lock_guard<std::mutex> lock(pluginLock());
    auto it = plugins().find(handle);
    if (it == plugins().end()) {
        setError(BASS_ERROR_HANDLE);
        return false;
    }
    plugins().erase(it);
    setError(BASS_OK);
    return true;
}

void freeAllPlugins() {
    std::lock_guard<std::mutex> lock(pluginLock());
    plugins().clear();
}

}  // namespace bass
