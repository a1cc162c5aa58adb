// Add-on format plug-ins (BASS_PluginLoad). A plug-in module exports
// `BASSplugin`, which describes the codecs it makes available; the core decodes
// those codecs only while such a plug-in is loaded.
#pragma once

#include <cstdint>
#include <string>

#include "audio/BassApi.h"

extern "C" {
// What a plug-in module's BASSplugin(0) returns.
struct BassPluginDescriptor {
    BASS_DWORD version;         // 0x0204xxxx
    const char* const* codecs;  // FFmpeg codec names, null-terminated list
};
using BASSplugin_t = const BassPluginDescriptor* (*)(BASS_DWORD face);
}

namespace bass {

// Whether a codec is available now: codecs that only a plug-in provides need
// that plug-in loaded; every other codec FFmpeg decodes is built in.
bool codecAvailable(const std::string& codecName);

HPLUGIN loadPlugin(const std::string& path);
bool freePlugin(HPLUGIN plugin);
void freeAllPlugins();

}  // namespace bass
