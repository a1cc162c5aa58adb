// Plays one channel on an SDL audio device. Each playing channel has its own
// device stream at the channel's own rate, so SDL does any conversion to what
// the hardware takes. The audio callback only pulls frames from the channel and
// records when they will be heard; the position the library reports is derived
// from that record and the clock, so it follows the sound, not the decoder.
//
// Lifetime: the channel owns its Output through a shared pointer. Destroying an
// Output closes its SDL device and waits for a running callback, so the last
// reference must be dropped without the library lock held (the callback takes
// that lock).
#pragma once

#include <SDL.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace bass {

class Channel;

// The output device chosen by BASS_Init: SDL's default device (device 1) or a
// named one. Device numbers follow the published convention: 1 is the default.
struct OutputDevice {
    int number = 0;
    std::string name;  // empty for the default device
};

// Starts SDL audio (falling back to its dummy driver where no sound device can
// be opened, so that playback still runs in real time) and checks the device
// number. Returns a BASS error code, BASS_OK on success.
int startAudio(int device, OutputDevice& chosen);
void stopAudio();

class Output {
public:
    // Opens a device for `channel`, paused. Null with a BASS error code on failure.
    static std::shared_ptr<Output> open(const OutputDevice& device, Channel& channel, int& error);
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    // Lets the callback run. Call without the library lock.
    void start();
    // With the lock held: the channel is no longer fed.
    void detach() { m_channel = nullptr; }

    // With the lock held: the position, in the channel's frames, heard now.
    std::uint64_t heardPosition() const;
    // With the lock held: the channel ended and its last frame has been heard.
    bool finished() const;
    // With the lock held: after a seek, the clock starts over at `position`.
    void restartClock(std::uint64_t position);

private:
    Output() = default;
    static void SDLCALL callback(void* self, Uint8* stream, int bytes);
    void fill(float* out, std::size_t frames);

    SDL_AudioDeviceID m_device = 0;
    Channel* m_channel = nullptr;
    int m_rate = 44100;
    int m_channels = 2;
    double m_latencyFrames = 0;

    // When the last block was handed to SDL, where it starts on the channel's
    // time line, how far each of its frames moves the position, and its size.
    std::chrono::steady_clock::time_point m_when;
    double m_startPosition = 0;
    double m_step = 1.0;
    std::size_t m_frames = 0;
    bool m_endWritten = false;
    bool m_sounding = false;  // the last block carried sound (fades in and out at changes)
    std::chrono::steady_clock::time_point m_endHeard;
};

}  // namespace bass
