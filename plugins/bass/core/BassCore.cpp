// The published functions of libbass.so. Each takes the library lock, does its
// work, and releases any output device only after dropping the lock (an
// output's callback takes the same lock).
#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <type_traits>
#include <vector>

#include "audio/BassApi.h"
#include "core/Export.h"
#include "core/FileStream.h"
#include "core/Library.h"
#include "core/Output.h"
#include "core/Plugins.h"
#include "core/Text.h"

namespace bass {

namespace {

constexpr BASS_DWORD kVersion = 0x02041100;
constexpr BASS_QWORD kFailed = static_cast<BASS_QWORD>(-1);

bool g_initialized = false;
OutputDevice g_device;

using Closing = std::vector<std::shared_ptr<Output>>;

// Outputs collected under the lock are closed when this goes out of scope,
// after the lock guard declared after it.
struct Session {
    Closing closing;
    std::unique_lock<std::recursive_mutex> lock{libraryLock()};
    ~Session() {
        lock.unlock();
        closing.clear();
    }
};

// A playing channel whose last frame has been heard becomes stopped.
void settle(Channel& channel, Closing& closing) {
    if (channel.state == PlayState::Playing && channel.output && channel.output->finished()) {
        channel.state = PlayState::Stopped;
        channel.heldPosition = channel.positionFrames();
        channel.output->detach();
        closing.push_back(std::move(channel.output));
        if (channel.flags() & BASS_STREAM_AUTOFREE) freeChannel(channel.handle(), closing);
    }
}

std::uint64_t reportedPosition(Channel& channel) {
    if (channel.isDecoding()) return channel.positionFrames();
    if (channel.state == PlayState::Playing && channel.output) return channel.output->heardPosition();
    return channel.heldPosition;
}

template <typename Sample>
void convertSamples(const float* in, std::size_t count, Sample* out) {
    for (std::size_t i = 0; i < count; ++i) {
        float v = std::clamp(in[i], -1.0f, 1.0f);
        if constexpr (std::is_same_v<Sample, float>)
            out[i] = v;
        else
            out[i] = static_cast<Sample>(std::lrintf(v * 32767.0f));
    }
}

}  // namespace

bool isInitialized() { return g_initialized; }

}  // namespace bass

using namespace bass;

BASS_EXPORT BASS_DWORD BASS_GetVersion() { return kVersion; }

BASS_EXPORT int BASS_ErrorGetCode() { return lastError(); }

BASS_EXPORT BASS_BOOL BASS_Init(int device, BASS_DWORD freq, BASS_DWORD flags, void* window, const void* clsid) {
    Session session;
    if (g_initialized) {
        setError(BASS_ERROR_ALREADY);
        return 0;
    }
    if (device == 0) {
        // The published "no sound" device is not provided; decoding channels
        // need no device at all here.
        setError(BASS_ERROR_DEVICE);
        return 0;
    }
    int error = startAudio(device, g_device);
    if (error != BASS_OK) {
        setError(error);
        return 0;
    }
    g_initialized = true;
    setError(BASS_OK);
    return 1;
}

BASS_EXPORT BASS_BOOL BASS_Free() {
    Session session;
    if (!g_initialized) {
        setError(BASS_ERROR_INIT);
        return 0;
    }
    for (BASS_DWORD handle : allHandles()) freeChannel(handle, session.closing);
    session.lock.unlock();
    session.closing.clear();
    session.lock.lock();
    stopAudio();
    g_initialized = false;
    setError(BASS_OK);
    return 1;
}

BASS_EXPORT BASS_DWORD BASS_GetDevice() {
    Session session;
    if (!g_initialized) {
        setError(BASS_ERROR_INIT);
        return static_cast<BASS_DWORD>(-1);
    }
    setError(BASS_OK);
    return static_cast<BASS_DWORD>(g_device.number);
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

BASS_DWORD createFileChannel(BASS_BOOL mem, const void* file, BASS_QWORD offset, BASS_DWORD flags,
                             ChannelKind kind) {
    if (mem) {
        // Streams from memory blocks are not provided by this implementation.
        setError(BASS_ERROR_NOTAVAIL);
        return 0;
    }
    if (!(flags & BASS_STREAM_DECODE) && !isInitialized()) {
        setError(BASS_ERROR_INIT);
        return 0;
    }
    int error = BASS_OK;
    auto stream = FileStream::open(fileNameArgument(file, flags), offset, flags, kind, error);
    if (!stream) {
        setError(error);
        return 0;
    }
    BASS_DWORD handle = addChannel(std::move(stream));
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
    freeChannel(handle, session.closing);
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
    Session session;
    auto channel = findChannel(handle);
    if (!channel) return 0;
    if (!channel->setAttribute(attrib, value)) return 0;
    setError(BASS_OK);
    return 1;
}

BASS_EXPORT BASS_BOOL BASS_ChannelGetAttribute(BASS_DWORD handle, BASS_DWORD attrib, float* value) {
    Session session;
    auto channel = findChannel(handle);
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
    Session session;
    auto channel = findChannel(handle);
    if (!channel) return BASS_ACTIVE_STOPPED;
    setError(BASS_OK);
    if (channel->isDecoding()) return channel->ended() ? BASS_ACTIVE_STOPPED : BASS_ACTIVE_PLAYING;
    settle(*channel, session.closing);
    switch (channel->state) {
    case PlayState::Playing:
        return BASS_ACTIVE_PLAYING;
    case PlayState::Paused:
        return BASS_ACTIVE_PAUSED;
    case PlayState::Stopped:
        break;
    }
    return BASS_ACTIVE_STOPPED;
}

BASS_EXPORT BASS_DWORD BASS_ChannelGetData(BASS_DWORD handle, void* buffer, BASS_DWORD length) {
    Session session;
    auto channel = findChannel(handle);
    constexpr BASS_DWORD kFailedCount = static_cast<BASS_DWORD>(-1);
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
    Session session;
    auto channel = findChannel(handle);
    if (!channel) return 0;
    if (channel->isDecoding()) {
        setError(BASS_ERROR_DECODE);
        return 0;
    }
    if (!g_initialized) {
        setError(BASS_ERROR_INIT);
        return 0;
    }
    settle(*channel, session.closing);
    if (restart || channel->ended()) {
        if (!channel->seek(0)) return 0;
        channel->heldPosition = 0;
        if (channel->output) channel->output->restartClock(0);
    } else if (channel->state == PlayState::Playing) {
        setError(BASS_OK);
        return 1;
    }
    if (!channel->output) {
        int error = BASS_OK;
        channel->output = Output::open(g_device, *channel, error);
        if (!channel->output) {
            setError(error);
            return 0;
        }
        channel->state = PlayState::Playing;
        channel->output->start();
    } else {
        channel->output->restartClock(channel->positionFrames());
        channel->state = PlayState::Playing;
    }
    setError(BASS_OK);
    return 1;
}

BASS_EXPORT BASS_BOOL BASS_ChannelPause(BASS_DWORD handle) {
    Session session;
    auto channel = findChannel(handle);
    if (!channel) return 0;
    if (channel->isDecoding()) {
        setError(BASS_ERROR_DECODE);
        return 0;
    }
    settle(*channel, session.closing);
    if (channel->state != PlayState::Playing) {
        setError(channel->state == PlayState::Paused ? BASS_ERROR_ALREADY : BASS_ERROR_NOPLAY);
        return 0;
    }
    channel->heldPosition = channel->output->heardPosition();
    channel->state = PlayState::Paused;
    setError(BASS_OK);
    return 1;
}

BASS_EXPORT BASS_BOOL BASS_ChannelStop(BASS_DWORD handle) {
    Session session;
    auto channel = findChannel(handle);
    if (!channel) return 0;
    settle(*channel, session.closing);
    if (channel->output) {
        if (channel->state == PlayState::Playing) channel->heldPosition = channel->output->heardPosition();
        channel->output->detach();
        session.closing.push_back(std::move(channel->output));
    }
    channel->state = PlayState::Stopped;
    setError(BASS_OK);
    return 1;
}

BASS_EXPORT BASS_QWORD BASS_ChannelGetLength(BASS_DWORD handle, BASS_DWORD mode) {
    Session session;
    auto channel = findChannel(handle);
    if (!channel) return kFailed;
    if (mode != BASS_POS_BYTE || channel->lengthFrames() == kUnknownLength) {
        setError(BASS_ERROR_NOTAVAIL);
        return kFailed;
    }
    setError(BASS_OK);
    return channel->lengthFrames() * static_cast<BASS_QWORD>(channel->bytesPerFrame());
}

BASS_EXPORT BASS_QWORD BASS_ChannelGetPosition(BASS_DWORD handle, BASS_DWORD mode) {
    Session session;
    auto channel = findChannel(handle);
    if (!channel) return kFailed;
    if (mode != BASS_POS_BYTE) {
        setError(BASS_ERROR_NOTAVAIL);
        return kFailed;
    }
    if (!channel->isDecoding()) settle(*channel, session.closing);
    std::uint64_t frames = reportedPosition(*channel);
    if (channel->lengthFrames() != kUnknownLength) frames = std::min(frames, channel->lengthFrames());
    setError(BASS_OK);
    return frames * static_cast<BASS_QWORD>(channel->bytesPerFrame());
}

BASS_EXPORT BASS_BOOL BASS_ChannelSetPosition(BASS_DWORD handle, BASS_QWORD position, BASS_DWORD mode) {
    Session session;
    auto channel = findChannel(handle);
    if (!channel) return 0;
    if (mode != BASS_POS_BYTE) {
        setError(BASS_ERROR_NOTAVAIL);
        return 0;
    }
    const std::uint64_t frame = position / static_cast<BASS_QWORD>(channel->bytesPerFrame());
    if (!channel->seek(frame)) return 0;
    channel->heldPosition = frame;
    if (channel->output) channel->output->restartClock(frame);
    setError(BASS_OK);
    return 1;
}

BASS_EXPORT BASS_QWORD BASS_ChannelSeconds2Bytes(BASS_DWORD handle, double seconds) {
    Session session;
    auto channel = findChannel(handle);
    if (!channel) return kFailed;
    setError(BASS_OK);
    if (!(seconds > 0)) return 0;
    const auto frames = static_cast<BASS_QWORD>(std::floor(seconds * channel->rate()));
    return frames * static_cast<BASS_QWORD>(channel->bytesPerFrame());
}

BASS_EXPORT double BASS_ChannelBytes2Seconds(BASS_DWORD handle, BASS_QWORD bytes) {
    Session session;
    auto channel = findChannel(handle);
    if (!channel) return -1.0;
    setError(BASS_OK);
    return static_cast<double>(bytes / static_cast<BASS_QWORD>(channel->bytesPerFrame())) / channel->rate();
}
