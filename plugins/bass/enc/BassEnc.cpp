// The published functions of libbassenc.so.
#include <map>
#include <memory>
#include <mutex>

#include "audio/BassApi.h"
#include "core/Export.h"
#include "core/Library.h"
#include "enc/Encoder.h"

using namespace bass;

namespace {

struct Attached {
    BASS_DWORD channel;
    std::shared_ptr<Encoder> encoder;
};

std::map<HENCODE, Attached>& encoders() {
    static std::map<HENCODE, Attached> table;
    return table;
}

HENCODE g_nextEncoder = 0x50000001;

// False when the encoder broke off (see Encoder::finish).
bool detach(HENCODE handle) {
    auto it = encoders().find(handle);
    if (it == encoders().end()) return true;
    if (auto channel = findChannel(it->second.channel)) channel->removeTap(it->second.encoder.get());
    const bool finished = it->second.encoder->finish();
    encoders().erase(it);
    return finished;
}

}  // namespace

BASS_EXPORT BASS_DWORD BASS_Encode_GetVersion() { return 0x02041000; }

BASS_EXPORT HENCODE BASS_Encode_Start(BASS_DWORD handle, const char* commandLine, BASS_DWORD flags, ENCODEPROC* proc,
                                      void* user) {
    std::lock_guard<std::recursive_mutex> lock(libraryLock());
    auto channel = findChannel(handle);
    if (!channel) return 0;
    if (proc || !commandLine || !*commandLine) {
        // Encoders that hand their output back to a callback are not provided.
        setError(BASS_ERROR_NOTAVAIL);
        return 0;
    }
    auto encoder = std::make_shared<Encoder>();
    if (!encoder->start(commandLine, flags, channel->rate(), channel->channels(),
                        (channel->flags() & BASS_SAMPLE_FLOAT) != 0)) {
        setError(BASS_ERROR_FILEOPEN);
        return 0;
    }
    channel->addTap(encoder);
    HENCODE encoderHandle = g_nextEncoder++;
    encoders().emplace(encoderHandle, Attached{handle, encoder});
    setError(BASS_OK);
    return encoderHandle;
}

// Beyond the published behaviour: an encoder that broke off (a full disk, a
// folder it may not write, a crash) makes the stop fail with
// BASS_ERROR_UNKNOWN, so that a truncated file is not taken for a finished one.
BASS_EXPORT BASS_BOOL BASS_Encode_Stop(BASS_DWORD handle) {
    std::lock_guard<std::recursive_mutex> lock(libraryLock());
    // Forget encoders whose channel is gone (they finished with it).
    for (auto it = encoders().begin(); it != encoders().end();) {
        if (!it->second.encoder->running() && !findChannel(it->second.channel))
            it = encoders().erase(it);
        else
            ++it;
    }
    if (encoders().count(handle)) {
        const bool finished = detach(handle);
        setError(finished ? BASS_OK : BASS_ERROR_UNKNOWN);
        return finished ? 1 : 0;
    }
    // A channel handle stops every encoder on that channel.
    bool any = false;
    bool finished = true;
    for (auto it = encoders().begin(); it != encoders().end();) {
        HENCODE current = it->first;
        bool match = it->second.channel == handle;
        ++it;
        if (match) {
            finished = detach(current) && finished;
            any = true;
        }
    }
    setError(!any ? BASS_ERROR_HANDLE : finished ? BASS_OK : BASS_ERROR_UNKNOWN);
    return any && finished ? 1 : 0;
}
