#include "core/Device.h"

#include <algorithm>

namespace bass {

std::unique_ptr<Device> Device::open(const OutputDevice& device, int rate, int& error) {
    std::unique_ptr<Device> opened(new Device(rate));
    // Room for many channels, so that attaching one seldom allocates while the
    // output's thread waits.
    opened->m_buffers.reserve(16);
    opened->m_driver = openOutput(device, rate, *opened, error);
    if (!opened->m_driver) return nullptr;
    opened->m_driver->start();
    return opened;
}

Device::~Device() { m_driver.reset(); }

void Device::attach(std::shared_ptr<PlaybackBuffer> buffer) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_buffers.push_back(std::move(buffer));
}

void Device::detach(const PlaybackBuffer* buffer) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::erase_if(m_buffers, [buffer](const auto& b) { return b.get() == buffer; });
}

void Device::render(float* out, std::size_t frames, Clock::time_point heardAt) {
    std::fill(out, out + frames * 2, 0.0f);
    std::lock_guard<std::mutex> lock(m_mutex);
    std::size_t dry = 0;
    for (const auto& buffer : m_buffers) dry = std::max(dry, buffer->mixInto(out, frames, m_frame, heardAt));
    m_frame += frames;
    m_dryFrames += dry;
}

std::uint64_t Device::framesRendered(std::uint64_t& dry) {
    std::lock_guard<std::mutex> lock(m_mutex);
    dry = m_dryFrames;
    return m_frame;
}

}  // namespace bass
