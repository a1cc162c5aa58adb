// The small interface between the library and a sound output: a driver calls
// its renderer from its own thread for each block of frames it consumes, and
// tells when the first frame of that block will be heard. Everything above it
// (buffering, mixing, timing) is shared by all drivers.
//
// Drivers: SDL's audio (the real one; its dummy driver in most tests) and a
// test output that consumes in real time behind a fixed latency, chosen with
// the environment variable VELTRIX_BASS_OUTPUT=latency[:milliseconds].
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

namespace bass {

using Clock = std::chrono::steady_clock;

// The output device chosen by BASS_Init: the default device (number 1) or a
// named one. Device numbers follow the published convention: 1 is the default.
struct OutputDevice {
    int number = 0;
    std::string name;  // empty for the default device
};

// Called on the driver's thread; fills `frames` interleaved stereo float frames.
class OutputRenderer {
public:
    virtual ~OutputRenderer() = default;
    virtual void render(float* out, std::size_t frames, Clock::time_point heardAt) = 0;
};

class OutputDriver {
public:
    virtual ~OutputDriver() = default;
    // The frame rate the renderer is asked for.
    virtual int rate() const = 0;
    // Begins calling the renderer; the destructor stops and waits for it.
    virtual void start() = 0;
    // How long after a block is taken its first frame is heard.
    virtual Clock::duration latency() const = 0;
};

// Starts the sound system for `device` (a BASS device number, -1 for the
// default) and records the choice. Returns a BASS error code, BASS_OK on success.
int startOutputSystem(int device, OutputDevice& chosen);
void stopOutputSystem();

// Opens the chosen device at `rate`, stereo, calling `renderer` once started.
// Null with a BASS error code on failure.
std::unique_ptr<OutputDriver> openOutput(const OutputDevice& device, int rate, OutputRenderer& renderer, int& error);

}  // namespace bass
