// The SDL audio driver. SDL calls back on its own thread for each buffer; the
// renderer only copies from the playbacks' buffers. SDL does not report how
// long a buffer waits before it sounds; one buffer (what SDL queues ahead of
// the hardware) is taken as the latency, none for its dummy driver, which
// "plays" a buffer while it waits after the call.
#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "audio/BassApi.h"
#include "core/SdlOutput.h"

namespace bass {

namespace {

constexpr Uint16 kBufferFrames = 1024;

// SDL's audio subsystem, started by BASS_Init and stopped by BASS_Free. Where
// no sound device can be opened it falls back to SDL's dummy driver, so that
// playback still runs in real time.
class SdlAudioSystem {
public:
    SdlAudioSystem() {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
            m_started = true;
        } else if (SDL_AudioInit("dummy") == 0) {
            m_started = true;
            m_ownDummy = true;
        }
    }
    ~SdlAudioSystem() {
        if (!m_started) return;
        if (m_ownDummy)
            SDL_AudioQuit();
        else
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    SdlAudioSystem(const SdlAudioSystem&) = delete;
    SdlAudioSystem& operator=(const SdlAudioSystem&) = delete;
    bool started() const { return m_started; }

private:
    bool m_started = false;
    bool m_ownDummy = false;
};

std::unique_ptr<SdlAudioSystem> g_system;

// An open SDL audio device, closed (after its callback thread has ended) when
// the owner goes.
class SdlDeviceHandle {
public:
    explicit SdlDeviceHandle(SDL_AudioDeviceID id = 0) : m_id(id) {}
    ~SdlDeviceHandle() {
        if (m_id) SDL_CloseAudioDevice(m_id);
    }
    SdlDeviceHandle(const SdlDeviceHandle&) = delete;
    SdlDeviceHandle& operator=(const SdlDeviceHandle&) = delete;
    SDL_AudioDeviceID get() const { return m_id; }

private:
    SDL_AudioDeviceID m_id;
};

class SdlOutput final : public OutputDriver {
public:
    SdlOutput(OutputRenderer& renderer) : m_renderer(renderer) {}

    bool open(const OutputDevice& device, int rate) {
        SDL_AudioSpec want{};
        want.freq = rate;
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        want.samples = kBufferFrames;
        want.callback = &SdlOutput::callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        m_device = std::make_unique<SdlDeviceHandle>(
            SDL_OpenAudioDevice(device.name.empty() ? nullptr : device.name.c_str(), 0, &want, &have, 0));
        if (m_device->get() == 0) return false;
        m_rate = rate;
        const char* driver = SDL_GetCurrentAudioDriver();
        const bool dummy = driver && std::strcmp(driver, "dummy") == 0;
        m_latency = dummy ? Clock::duration::zero()
                          : std::chrono::duration_cast<Clock::duration>(
                                std::chrono::duration<double>(double(have.samples) / double(have.freq)));
        return true;
    }

    int rate() const override { return m_rate; }
    void start() override { SDL_PauseAudioDevice(m_device->get(), 0); }
    Clock::duration latency() const override { return m_latency; }

private:
    static void SDLCALL callback(void* self, Uint8* stream, int bytes) {
        auto* output = static_cast<SdlOutput*>(self);
        const std::size_t frames = static_cast<std::size_t>(bytes) / (2 * sizeof(float));
        output->m_renderer.render(reinterpret_cast<float*>(stream), frames, Clock::now() + output->m_latency);
    }

    OutputRenderer& m_renderer;
    int m_rate = 44100;
    Clock::duration m_latency{};
    std::unique_ptr<SdlDeviceHandle> m_device;
};

}  // namespace

int startSdlAudio(int device, OutputDevice& chosen) {
    if (!g_system) {
        auto system = std::make_unique<SdlAudioSystem>();
        if (!system->started()) return BASS_ERROR_DRIVER;
        g_system = std::move(system);
    }
    const int named = std::max(SDL_GetNumAudioDevices(0), 0);
    if (device == -1) device = 1;
    if (device < 1 || device > named + 1) {
        stopSdlAudio();
        return BASS_ERROR_DEVICE;
    }
    chosen.number = device;
    chosen.name.clear();
    if (device > 1) {
        const char* name = SDL_GetAudioDeviceName(device - 2, 0);
        if (!name) {
            stopSdlAudio();
            return BASS_ERROR_DEVICE;
        }
        chosen.name = name;
    }
    return BASS_OK;
}

void stopSdlAudio() { g_system.reset(); }

std::unique_ptr<OutputDriver> openSdlOutput(const OutputDevice& device, int rate, OutputRenderer& renderer) {
    auto output = std::make_unique<SdlOutput>(renderer);
    if (!output->open(device, rate)) return nullptr;
    return output;
}

}  // namespace bass
