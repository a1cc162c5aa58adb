// The published functions of libbassmix.so.
#include "audio/BassApi.h"
#include "core/Export.h"
#include "core/Library.h"
#include "mix/MixerStream.h"

using namespace bass;

BASS_EXPORT BASS_DWORD BASS_Mixer_GetVersion() { return 0x02041000; }

BASS_EXPORT HSTREAM BASS_Mixer_StreamCreate(BASS_DWORD freq, BASS_DWORD channels, BASS_DWORD flags) {
    std::lock_guard<std::recursive_mutex> lock(libraryLock());
    if (freq == 0 || channels == 0 || channels > 2) {
        setError(BASS_ERROR_FORMAT);
        return 0;
    }
    if (!(flags & BASS_STREAM_DECODE) && !isInitialized()) {
        setError(BASS_ERROR_INIT);
        return 0;
    }
    auto mixer = std::make_shared<MixerStream>(static_cast<int>(freq), static_cast<int>(channels),
                                               flags & (BASS_STREAM_DECODE | BASS_SAMPLE_FLOAT | BASS_MIXER_END));
    HSTREAM handle = addChannel(std::move(mixer));
    setError(BASS_OK);
    return handle;
}

BASS_EXPORT BASS_BOOL BASS_Mixer_StreamAddChannel(HSTREAM mixerHandle, BASS_DWORD channel, BASS_DWORD flags) {
    std::lock_guard<std::recursive_mutex> lock(libraryLock());
    auto mixer = std::dynamic_pointer_cast<MixerStream>(findChannel(mixerHandle));
    if (!mixer) {
        setError(BASS_ERROR_HANDLE);
        return 0;
    }
    auto source = findChannel(channel);
    if (!source) return 0;
    if (!mixer->add(source)) return 0;
    setError(BASS_OK);
    return 1;
}
