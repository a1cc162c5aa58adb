// The published functions of libbass_fx.so.
#include "audio/BassApi.h"
#include "core/Export.h"
#include "core/Library.h"
#include "fx/TempoStream.h"

using namespace bass;

BASS_EXPORT BASS_DWORD BASS_FX_GetVersion() { return 0x02040C00; }

BASS_EXPORT HSTREAM BASS_FX_TempoCreate(BASS_DWORD channel, BASS_DWORD flags) {
    std::lock_guard<std::recursive_mutex> lock(libraryLock());
    auto source = findChannel(channel);
    if (!source) return 0;
    if (!source->isDecoding()) {
        setError(BASS_ERROR_DECODE);
        return 0;
    }
    if (!(flags & BASS_STREAM_DECODE) && !isInitialized()) {
        setError(BASS_ERROR_INIT);
        return 0;
    }
    // The tempo stream delivers samples in the source's format.
    const BASS_DWORD own =
        (flags & (BASS_STREAM_DECODE | BASS_STREAM_AUTOFREE)) | (source->flags() & BASS_SAMPLE_FLOAT);
    auto stream = std::make_shared<TempoStream>(source, own, (flags & BASS_FX_FREESOURCE) != 0);
    HSTREAM handle = addChannel(std::move(stream));
    setError(BASS_OK);
    return handle;
}
