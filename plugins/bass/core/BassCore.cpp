// The published functions of libbass.so. Each looks its handle up under the
// library lock and works on the channel outside it: a decoding channel on the
// calling thread, a playable one through its playback, which answers at once
// (Playback.h). What a function frees is let go only after the lock is dropped.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <type_traits>
#include <vector>

#include "audio/BassApi.h"
#include "core/Device.h"
#include "core/Export.h"
#include "core/FileStream.h"
#include "core/Library.h"
#include "core/OutputDriver.h"
#include "core/Playback.h"
#include "core/Plugins.h"
#include "core/Text.h"

namespace bass {

namespace {

constexpr BASS_DWORD kVersion = 0x02041100;
constexpr BASS_QWORD kFailed = static_cast<BASS_QWORD>(-1);

OutputDevice g_device;

// Holds the library lock; what was freed under it goes after the lock.
struct Session {
    Released released;
    std::unique_lock<std::recursive_mutex> lock{libraryLock()};
    ~Session() {
        if (lock.owns_lock()) lock.unlock();
        letGo(released);
    }
};

// A playing channel made with BASS_STREAM_AUTOFREE is freed once it has played
// to its end.
void freeIfDone(BASS_DWORD handle, const ChannelEntry& entry) {
    if (!entry.playback || !(entry.channel->flags() & BASS_STREAM_AUTOFREE) || !entry.playback->playedToEnd()) return;
    Session session;
    freeChannel(handle, session.released);
}

std::uint64_t clampToLength(const Channel& channel, std::uint64_t frames) {
    const std::uint64_t length = channel.lengthFrames();
    return length == kUnknownLength ? frames : std::min(frames, length);
}

template <typename Sample>
void convertSamples(const float* in, std::size_t count, Sample* out) {
    for (std::size_t i = 0; i < count; ++i) {
        const float v = std::clamp(in[i], -1.0f, 1.0f);
        if constexpr (std::is_same_v<Sample, float>)
            out[i] = v;
        else
            out[i] = static_cast<Sample>(std::lrintf(v * 32767.0f));
    }
}

}  // namespace

}  // namespace bass

using namespace bass;

BASS_EXPORT BASS_DWORD BASS_GetVersion() { return kVersion; }

BASS_EXPORT int BASS_ErrorGetCode() { return lastError(); }

BASS_EXPORT BASS_BOOL BASS_Init(int device, BASS_DWORD freq, BASS_DWORD flags, void* window, const void* clsid) {
    Session session;
    if (isInitialized()) {
        setError(BASS_ERROR_ALREADY);
        return 0;
    }
    if (device == 0) {
        // The published "no sound" device is not provided; decoding channels
        // need no device at all here.
        setError(BASS_ERROR_DEVICE);
        return 0;
    }
    OutputDevice chosen;
    int error = startOutputSystem(device, chosen);
    if (error != BASS_OK) {
        setError(error);
        return 0;
    }
    auto opened = Device::open(chosen, freq > 0 ? static_cast<int>(freq) : 44100, error);
    if (!opened) {
        stopOutputSystem();
        setError(error);
        return 0;
    }
    g_device = chosen;
    deviceSlot() = std::move(opened);
    setError(BASS_OK);
    return 1;
}

BASS_EXPORT BASS_BOOL BASS_Free() {
    Session session;
    if (!isInitialized()) {
        setError(BASS_ERROR_INIT);
        return 0;
    }
    for (BASS_DWORD handle : allHandles()) freeChannel(handle, session.released);
    std::unique_ptr<Device> device = std::move(deviceSlot());
    // The feeders end before the device, and the device before the sound system.
    session.lock.unlock();
    letGo(session.released);
    waitForLetGo();
    device.reset();
    session.lock.lock();
    stopOutputSystem();
    setError(BASS_OK);
    return 1;
}

BASS_EXPORT BASS_DWORD BASS_GetDevice() {
    Session session;
    if (!isInitialized()) {
        setError(BASS_ERROR_INIT);
        return static_cast<BASS_DWORD>(-1);
    }
    setError(BASS_OK);
    return static_cast<BASS_DWORD>(g_device.number);
}

BASS_EXPORT BASS_BOOL BASS_GetInfo(BASS_INFO* info) {
    std::lock_guard<std::recursive_mutex> lock(libraryLock());
    Device* device = outputDevice();
    if (!device) {
        setError(BASS_ERROR_INIT);
        return 0;
    }
    if (!info) {
        setError(BASS_ERROR_ILLPARAM);
        return 0;
    }
    *info = BASS_INFO{};
    info->latency =
        static_cast<BASS_DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(device->latency()).count());
    info->freq = static_cast<BASS_DWORD>(device->rate());
    info->speakers = 2;
    setError(BASS_OK);
    return 1;
}

// Tests only: the frames the open output has taken since BASS_Init, and its
// rate in `rate`; 0 when none is open. `dry` receives how many of them a
// playing channel had nothing for (its feeder was late). Timing tests measure
// against this clock rather than the wall clock, which runs ahead of the
// output, and of the feeders, on a busy machine.
BASS_EXPORT BASS_QWORD VeltrixTestOutput_Frames(int* rate, BASS_QWORD* dry) {
    std::lock_guard<std::recursive_mutex> lock(libraryLock());
    Device* device = outputDevice();
    std::uint64_t dryFrames = 0;
    const std::uint64_t frames = device ? device->framesRendered(dryFrames) : 0;
    if (rate) *rate = device ? device->rate() : 0;
    if (dry) *dry = dryFrames;
    return frames;
}

BASS_EXPORT HPLUGIN BASS_PluginLoad(const char* file, BASS_DWORD flags) {
    return loadPlugin(fileNameArgument(file, flags));
}

BASS_EXPORT BASS_BOOL BASS_PluginFree(HPLUGIN plugin) {
    if (plugin == 0) {
        freeAllPlugins();
        setError(BASS_OK);
        return 1;
    }
    return freePlugin(plugin) ? 1 : 0;
}

namespace {

BASS_DWORD createFileChannel(BASS_BOOL mem, const void* file, BASS_QWORD offset, BASS_DWORD flags, ChannelKind kind) {
    if (mem) {
        // Streams from memory blocks are not provided by this implementation.
        setError(BASS_ERROR_NOTAVAIL);
        return 0;
    }
    if (!(flags & BASS_STREAM_DECODE)) {
        std::lock_guard<std::recursive_mutex> lock(libraryLock());
        if (!isInitialized()) {
            setError(BASS_ERROR_INIT);
            return 0;
        }
    }
    int error = BASS_OK;
    auto stream = FileStream::open(fileNameArgument(file, flags), offset, flags, kind, error);
    if (!stream) {
        setError(error);
        return 0;
    }
    const BASS_DWORD handle = addChannel(std::move(stream));
    setError(BASS_OK);
    return handle;
}

bool freeOfKind(BASS_DWORD handle, ChannelKind kind) {
    Session session;
    auto channel = findChannel(handle);
    if (!channel || channel->kind() != kind) {
        setError(BASS_ERROR_HANDLE);
        return false;
    }
    freeChannel(handle, session.released);
    setError(BASS_OK);
    return true;
}

}  // namespace

BASS_EXPORT HSTREAM BASS_StreamCreateFile(BASS_BOOL mem, const void* file, BASS_QWORD offset, BASS_QWORD length,
                                          BASS_DWORD flags) {
    return createFileChannel(mem, file, offset, flags, ChannelKind::Stream);
}

BASS_EXPORT BASS_BOOL BASS_StreamFree(HSTREAM handle) { return freeOfKind(handle, ChannelKind::Stream) ? 1 : 0; }

BASS_EXPORT HMUSIC BASS_MusicLoad(BASS_BOOL mem, const void* file, BASS_QWORD offset, BASS_DWORD length,
                                  BASS_DWORD flags, BASS_DWORD freq) {
    return createFileChannel(mem, file, offset, flags, ChannelKind::Music);
}

BASS_EXPORT BASS_BOOL BASS_MusicFree(HMUSIC handle) { return freeOfKind(handle, ChannelKind::Music) ? 1 : 0; }

BASS_EXPORT BASS_BOOL BASS_ChannelSetAttribute(BASS_DWORD handle, BASS_DWORD attrib, float value) {
    const ChannelEntry entry = findEntry(handle);
    if (!entry.channel) return 0;
    float before = 0;
    const bool known = entry.channel->getAttribute(attrib, before);
    if (!entry.channel->setAttribute(attrib, value)) return 0;
    float after = 0;
    if (known && entry.channel->getAttribute(attrib, after) && after == before) {
        setError(BASS_OK);
        return 1;
    }
    // Changes are heard at once: the volume is applied as the frames sound, and
    // frames buffered at the old tempo or pitch are made again.
    if (entry.playback) {
        if (attrib == BASS_ATTRIB_VOL)
            entry.playback->buffer()->setVolume(entry.channel->volume());
        else
            entry.playback->remake();
    }
    setError(BASS_OK);
    return 1;
}

BASS_EXPORT BASS_BOOL BASS_ChannelGetAttribute(BASS_DWORD handle, BASS_DWORD attrib, float* value) {
    const auto channel = findChannel(handle);
    if (!channel) return 0;
    if (!value) {
        setError(BASS_ERROR_ILLPARAM);
        return 0;
    }
    if (!channel->getAttribute(attrib, *value)) return 0;
    setError(BASS_OK);
    return 1;
}

BASS_EXPORT BASS_DWORD BASS_ChannelIsActive(BASS_DWORD handle) {
    const ChannelEntry entry = findEntry(handle);
    if (!entry.channel) return BASS_ACTIVE_STOPPED;
    setError(BASS_OK);
    if (!entry.playback) return entry.channel->ended() ? BASS_ACTIVE_STOPPED : BASS_ACTIVE_PLAYING;
    switch (entry.playback->state()) {
        case PlayState::Playing:
            return BASS_ACTIVE_PLAYING;
        case PlayState::Paused:
            return BASS_ACTIVE_PAUSED;
        case PlayState::Stopped:
            break;
    }
    freeIfDone(handle, entry);
    return BASS_ACTIVE_STOPPED;
}

BASS_EXPORT BASS_DWORD BASS_ChannelGetData(BASS_DWORD handle, void* buffer, BASS_DWORD length) {
    constexpr BASS_DWORD kFailedCount = static_cast<BASS_DWORD>(-1);
    const auto channel = findChannel(handle);
    if (!channel) return kFailedCount;
    if (!channel->isDecoding()) {
        // Peeking at the data a playing channel is sending is not provided.
        setError(BASS_ERROR_NOTAVAIL);
        return kFailedCount;
    }
    const bool asFloat = (length & BASS_DATA_FLOAT) || (channel->flags() & BASS_SAMPLE_FLOAT);
    const BASS_DWORD bytes = length & 0x0FFFFFFF;
    if (bytes == 0) {
        setError(BASS_OK);
        return 0;
    }
    if (!buffer) {
        setError(BASS_ERROR_ILLPARAM);
        return kFailedCount;
    }
    if (channel->ended()) {
        setError(BASS_ERROR_ENDED);
        return kFailedCount;
    }
    const std::size_t sampleBytes = asFloat ? sizeof(float) : sizeof(std::int16_t);
    const std::size_t frames = bytes / (sampleBytes * static_cast<std::size_t>(channel->channels()));
    std::vector<float> samples(frames * static_cast<std::size_t>(channel->channels()));
    const std::size_t got = channel->read(samples.data(), frames);
    const std::size_t count = got * static_cast<std::size_t>(channel->channels());
    if (asFloat)
        convertSamples(samples.data(), count, static_cast<float*>(buffer));
    else
        convertSamples(samples.data(), count, static_cast<std::int16_t*>(buffer));
    setError(BASS_OK);
    return static_cast<BASS_DWORD>(count * sampleBytes);
}

BASS_EXPORT BASS_BOOL BASS_ChannelPlay(BASS_DWORD handle, BASS_BOOL restart) {
    const ChannelEntry entry = findEntry(handle);
    if (!entry.channel) return 0;
    if (entry.channel->isDecoding()) {
        setError(BASS_ERROR_DECODE);
        return 0;
    }
    if (!entry.playback) {
        setError(BASS_ERROR_INIT);
        return 0;
    }
    entry.playback->play(restart != 0);
    setError(BASS_OK);
    return 1;
}

BASS_EXPORT BASS_BOOL BASS_ChannelPause(BASS_DWORD handle) {
    const ChannelEntry entry = findEntry(handle);
    if (!entry.channel) return 0;
    if (!entry.playback) {
        setError(BASS_ERROR_DECODE);
        return 0;
    }
    if (!entry.playback->pause()) {
        setError(entry.playback->state() == PlayState::Paused ? BASS_ERROR_ALREADY : BASS_ERROR_NOPLAY);
        return 0;
    }
    setError(BASS_OK);
    return 1;
}

BASS_EXPORT BASS_BOOL BASS_ChannelStop(BASS_DWORD handle) {
    const ChannelEntry entry = findEntry(handle);
    if (!entry.channel) return 0;
    if (entry.playback) entry.playback->stop();
    setError(BASS_OK);
    return 1;
}

BASS_EXPORT BASS_QWORD BASS_ChannelGetLength(BASS_DWORD handle, BASS_DWORD mode) {
    const auto channel = findChannel(handle);
    if (!channel) return kFailed;
    const std::uint64_t length = channel->lengthFrames();
    if (mode != BASS_POS_BYTE || length == kUnknownLength) {
        setError(BASS_ERROR_NOTAVAIL);
        return kFailed;
    }
    setError(BASS_OK);
    return length * static_cast<BASS_QWORD>(channel->bytesPerFrame());
}

BASS_EXPORT BASS_QWORD BASS_ChannelGetPosition(BASS_DWORD handle, BASS_DWORD mode) {
    const ChannelEntry entry = findEntry(handle);
    if (!entry.channel) return kFailed;
    if (mode != BASS_POS_BYTE) {
        setError(BASS_ERROR_NOTAVAIL);
        return kFailed;
    }
    std::uint64_t frames;
    if (entry.playback) {
        frames = static_cast<std::uint64_t>(std::max(0.0, std::floor(entry.playback->position() + 1e-6)));
        freeIfDone(handle, entry);
    } else {
        frames = entry.channel->position();
    }
    setError(BASS_OK);
    return clampToLength(*entry.channel, frames) * static_cast<BASS_QWORD>(entry.channel->bytesPerFrame());
}

BASS_EXPORT BASS_BOOL BASS_ChannelSetPosition(BASS_DWORD handle, BASS_QWORD position, BASS_DWORD mode) {
    const ChannelEntry entry = findEntry(handle);
    if (!entry.channel) return 0;
    if (mode != BASS_POS_BYTE) {
        setError(BASS_ERROR_NOTAVAIL);
        return 0;
    }
    const std::uint64_t frame = position / static_cast<BASS_QWORD>(entry.channel->bytesPerFrame());
    if (entry.playback) {
        // The feeder seeks; whatever it finds, the position reads `frame` until
        // frames from there are heard.
        const std::uint64_t length = entry.channel->lengthFrames();
        if (length != kUnknownLength && frame > length) {
            setError(BASS_ERROR_POSITION);
            return 0;
        }
        entry.playback->seek(frame);
    } else if (!entry.channel->seek(frame)) {
        return 0;
    }
    setError(BASS_OK);
    return 1;
}

BASS_EXPORT BASS_QWORD BASS_ChannelSeconds2Bytes(BASS_DWORD handle, double seconds) {
    const auto channel = findChannel(handle);
    if (!channel) return kFailed;
    setError(BASS_OK);
    if (!(seconds > 0)) return 0;
    const auto frames = static_cast<BASS_QWORD>(std::floor(seconds * channel->rate()));
    return frames * static_cast<BASS_QWORD>(channel->bytesPerFrame());
}

BASS_EXPORT double BASS_ChannelBytes2Seconds(BASS_DWORD handle, BASS_QWORD bytes) {
    const auto channel = findChannel(handle);
    if (!channel) return -1.0;
    setError(BASS_OK);
    return static_cast<double>(bytes / static_cast<BASS_QWORD>(channel->bytesPerFrame())) / channel->rate();
}
