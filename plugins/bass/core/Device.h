// The output device BASS_Init opens: one driver, running from BASS_Init to
// BASS_Free, whose thread sums the buffers of every playable channel into each
// block it takes. Channels at another rate or with one channel are converted
// by their feeders, so this thread only copies and adds.
//
// Invariant: the output frame count grows by each block rendered; a buffer is
// attached from the creation of its channel until the channel is freed.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "core/OutputDriver.h"
#include "core/PlaybackBuffer.h"

namespace bass {

class Device final : public OutputRenderer {
public:
    // Null with a BASS error code when the output cannot be opened.
    static std::unique_ptr<Device> open(const OutputDevice& device, int rate, int& error);
    // Stops the driver first: no block is rendered once it has returned.
    ~Device() override;

    int rate() const { return m_rate; }
    Clock::duration latency() const { return m_driver->latency(); }
    void attach(std::shared_ptr<PlaybackBuffer> buffer);
    void detach(const PlaybackBuffer* buffer);

    void render(float* out, std::size_t frames, Clock::time_point heardAt) override;
    // The frames the output has taken since it was opened: its own clock,
    // which runs slower than the wall clock when the machine is busy. Of them,
    // `dry` receives those in which a playing channel had nothing to give.
    std::uint64_t framesRendered(std::uint64_t& dry);

private:
    explicit Device(int rate) : m_rate(rate) {}

    const int m_rate;
    std::mutex m_mutex;  // held by render for the copies, and briefly to attach or detach
    std::vector<std::shared_ptr<PlaybackBuffer>> m_buffers;
    std::uint64_t m_frame = 0;
    std::uint64_t m_dryFrames = 0;
    std::unique_ptr<OutputDriver> m_driver;
};

}  // namespace bass
