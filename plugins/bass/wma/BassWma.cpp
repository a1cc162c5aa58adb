// The WMA add-on: loading it through BASS_PluginLoad makes the core decode the
// Windows Media Audio codecs, which it otherwise refuses.
#include "audio/BassApi.h"
#include "core/Export.h"
#include "core/Plugins.h"

namespace {

constexpr const char* kCodecs[] = {"wmav1", "wmav2", "wmapro", "wmalossless", "wmavoice", nullptr};
constexpr BassPluginDescriptor kDescriptor{0x02041000, kCodecs};

}  // namespace

BASS_EXPORT const BassPluginDescriptor* BASSplugin(BASS_DWORD face) { return face == 0 ? &kDescriptor : nullptr; }
