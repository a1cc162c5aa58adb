#include "core/Output.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "core/Channel.h"
#include "core/Library.h"

namespace bass {

namespace {

// Small blocks keep the reported position within a few milliseconds of the
// sound and make tempo and pitch changes take effect at once.
constexpr Uint16 kBlockFrames = 1024;

bool g_audioStarted = false;
bool g_ownDummy = false;

using Clock = std::chrono::steady_clock;

}  // namespace

int startAudio(int device, OutputDevice& chosen) {
    if (!g_audioStarted) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
            g_ownDummy = false;
        } else if (SDL_AudioInit("dummy") == 0) {
            g_ownDummy = true;
        } else {
            return BASS_ERROR_DRIVER;
        }
        g_audioStarted = true;
    }
    const int named = std::max(SDL_GetNumAudioDevices(0), 0);
    if (device == -1) device = 1;
    if (device < 1 || device > named + 1) {
        stopAudio();
        return BASS_ERROR_DEVICE;
    }
    chosen.number = device;
    chosen.name.clear();
    if (device > 1) {
        const char* name = SDL_GetAudioDeviceName(device - 2, 0);
        if (!name) {
            stopAudio();
            return BASS_ERROR_DEVICE;
        }
        chosen.name = name;
    }
    return BASS_OK;
}

void stopAudio() {
    if (!g_audioStarted) return;
    if (g_ownDummy)
        SDL_AudioQuit();
    else
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    g_audioStarted = false;
}

std::shared_ptr<Output> Output::open(const OutputDevice& device, Channel& channel, int& error) {
    std::shared_ptr<Output> output(new Output());
    SDL_AudioSpec want{};
    want.freq = channel.rate();
    want.format = AUDIO_F32SYS;
    want.channels = static_cast<Uint8>(channel.channels());
    want.samples = kBlockFrames;
    want.callback = &Output::callback;
    want.userdata = output.get();
    SDL_AudioSpec have{};
    output->m_device =
        SDL_OpenAudioDevice(device.name.empty() ? nullptr : device.name.c_str(), 0, &want, &have, 0);
    if (output->m_device == 0) {
        error = BASS_ERROR_DEVICE;
        return nullptr;
    }
    output->m_channel = &channel;
    output->m_rate = have.freq;
    output->m_channels = have.channels;
    // The dummy driver "plays" a block while it waits after the callback; a real
    // device first plays the block queued before it.
    const char* driver = SDL_GetCurrentAudioDriver();
    output->m_latencyFrames = driver && std::strcmp(driver, "dummy") == 0 ? 0.0 : double(have.samples);
    output->m_when = Clock::now();
    output->m_startPosition = static_cast<double>(channel.positionFrames());
    return output;
}

Output::~Output() {
    if (m_device) SDL_CloseAudioDevice(m_device);
}

void Output::start() { SDL_PauseAudioDevice(m_device, 0); }

void SDLCALL Output::callback(void* self, Uint8* stream, int bytes) {
    auto* output = static_cast<Output*>(self);
    const std::size_t frames = static_cast<std::size_t>(bytes) / (sizeof(float) * output->m_channels);
    std::lock_guard<std::recursive_mutex> lock(libraryLock());
    output->fill(reinterpret_cast<float*>(stream), frames);
}

void Output::fill(float* out, std::size_t frames) {
    const std::size_t ch = static_cast<std::size_t>(m_channels);
    const std::size_t samples = frames * ch;
    const auto now = Clock::now();
    const std::size_t fade = std::min(frames, static_cast<std::size_t>(m_rate / 200));  // 5 ms
    if (!m_channel || m_channel->state != PlayState::Playing || m_endWritten) {
        std::size_t faded = 0;
        if (m_channel && m_sounding && !m_endWritten && fade > 0) {
            // Pausing mid-wave would click: the sound dies away over a few
            // milliseconds instead (those frames are not heard again on resume).
            faded = m_channel->read(out, fade);
            for (std::size_t f = 0; f < faded; ++f)
                for (std::size_t c = 0; c < ch; ++c)
                    out[f * ch + c] *= 1.0f - static_cast<float>(f + 1) / static_cast<float>(fade);
        }
        m_sounding = false;
        std::fill(out + faded * ch, out + samples, 0.0f);
        if (m_channel && m_channel->state != PlayState::Playing) {
            // Paused: the clock holds still.
            m_when = now;
            m_frames = 0;
        }
        return;
    }
    const double start = static_cast<double>(m_channel->positionFrames());
    const std::size_t got = m_channel->read(out, frames);
    std::fill(out + got * ch, out + samples, 0.0f);
    if (!m_sounding) {
        // Starting, resuming or after a seek: the sound rises over a few
        // milliseconds rather than jumping in.
        for (std::size_t f = 0; f < std::min(fade, got); ++f)
            for (std::size_t c = 0; c < ch; ++c)
                out[f * ch + c] *= static_cast<float>(f + 1) / static_cast<float>(fade);
        m_sounding = true;
    }
    m_when = now;
    m_startPosition = start;
    m_step = m_channel->positionStep();
    m_frames = got;
    if (got < frames && m_channel->ended()) {
        m_endWritten = true;
        m_endHeard = now + std::chrono::microseconds(static_cast<long long>(
                               (m_latencyFrames + double(got)) * 1e6 / double(m_rate)));
    }
}

std::uint64_t Output::heardPosition() const {
    if (m_channel && m_channel->state != PlayState::Playing) return m_channel->heldPosition;
    const double elapsed =
        std::chrono::duration<double>(Clock::now() - m_when).count() * double(m_rate) - m_latencyFrames;
    const double frames = std::clamp(elapsed, -m_latencyFrames, double(m_frames));
    return static_cast<std::uint64_t>(std::max(0.0, m_startPosition + frames * m_step));
}

bool Output::finished() const { return m_endWritten && Clock::now() >= m_endHeard; }

void Output::restartClock(std::uint64_t position) {
    m_sounding = false;
    m_when = Clock::now();
    m_startPosition = static_cast<double>(position);
    m_frames = 0;
    m_endWritten = false;
}

}  // namespace bass
