#include "core/LatencyOutput.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/BassApi.h"
#include "core/Export.h"

namespace bass {

namespace {

constexpr std::size_t kBlockFrames = 512;
constexpr std::size_t kCaptureSeconds = 60;

// What the test output has consumed: the last minute, and when frame 0 of it
// is heard. Written by the output's thread, read by tests.
struct Capture {
    std::mutex mutex;
    std::vector<float> ring;  // stereo frames, frame k at (k mod capacity)
    std::uint64_t total = 0;
    Clock::time_point origin;
    int rate = 0;
};

Capture& capture() {
    static auto& instance = *new Capture();  // outlives every output, even at exit
    return instance;
}

class LatencyOutput final : public OutputDriver {
public:
    LatencyOutput(int rate, std::chrono::milliseconds latency, OutputRenderer& renderer)
        : m_rate(rate), m_latency(latency), m_renderer(renderer), m_block(kBlockFrames * 2) {
        Capture& c = capture();
        std::lock_guard<std::mutex> lock(c.mutex);
        c.ring.assign(static_cast<std::size_t>(rate) * kCaptureSeconds * 2, 0.0f);
        c.total = 0;
        c.rate = rate;
    }

    ~LatencyOutput() override {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable()) m_thread.join();
    }

    int rate() const override { return m_rate; }

    void start() override {
        if (!m_thread.joinable()) m_thread = std::thread([this] { run(); });
    }

private:
    void run() {
        const Clock::time_point origin = Clock::now();
        {
            Capture& c = capture();
            std::lock_guard<std::mutex> lock(c.mutex);
            c.origin = origin + m_latency;
        }
        std::uint64_t consumed = 0;
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            // Frame k is taken at origin + k / rate; a late wake-up catches up
            // block by block, so the output never drifts from real time.
            const auto due = origin + std::chrono::duration_cast<Clock::duration>(
                                          std::chrono::duration<double>(double(consumed) / m_rate));
            if (m_wake.wait_until(lock, due, [this] { return m_stopping; })) break;
            lock.unlock();
            m_renderer.render(m_block.data(), kBlockFrames, due + m_latency);
            keep(consumed);
            consumed += kBlockFrames;
            lock.lock();
        }
    }

    void keep(std::uint64_t first) {
        Capture& c = capture();
        std::lock_guard<std::mutex> lock(c.mutex);
        const std::size_t capacity = c.ring.size() / 2;
        for (std::size_t f = 0; f < kBlockFrames; ++f) {
            const std::size_t at = static_cast<std::size_t>((first + f) % capacity) * 2;
            c.ring[at] = m_block[f * 2];
            c.ring[at + 1] = m_block[f * 2 + 1];
        }
        c.total = first + kBlockFrames;
    }

    int m_rate;
    std::chrono::milliseconds m_latency;
    OutputRenderer& m_renderer;
    std::vector<float> m_block;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::thread m_thread;
};

}  // namespace

std::optional<std::chrono::milliseconds> requestedTestLatency() {
    const char* value = std::getenv("VELTRIX_BASS_OUTPUT");
    if (!value) return std::nullopt;
    const std::string text(value);
    if (text == "latency") return std::chrono::milliseconds(100);
    if (text.rfind("latency:", 0) == 0) return std::chrono::milliseconds(std::max(0, std::atoi(text.c_str() + 8)));
    return std::nullopt;
}

std::unique_ptr<OutputDriver> openLatencyOutput(int rate, std::chrono::milliseconds latency, OutputRenderer& renderer) {
    return std::make_unique<LatencyOutput>(rate, latency, renderer);
}

}  // namespace bass

// Tests only: copies up to `frames` stereo frames that the latency output
// consumed, from frame `from` of everything it consumed since it was opened,
// into `out`. Returns the number copied (0 for frames not consumed yet or no
// longer kept). `originNs` receives when frame 0 is heard, in nanoseconds of
// the steady clock; `rate` the output's frame rate.
BASS_EXPORT BASS_DWORD VeltrixTestOutput_Read(BASS_QWORD from, float* out, BASS_DWORD frames, std::int64_t* originNs,
                                               int* rate) {
    bass::Capture& c = bass::capture();
    std::lock_guard<std::mutex> lock(c.mutex);
    if (originNs)
        *originNs = std::chrono::duration_cast<std::chrono::nanoseconds>(c.origin.time_since_epoch()).count();
    if (rate) *rate = c.rate;
    const std::size_t capacity = c.ring.size() / 2;
    if (capacity == 0 || from >= c.total || c.total - from > capacity) return 0;
    const auto count = static_cast<BASS_DWORD>(std::min<BASS_QWORD>(frames, c.total - from));
    for (BASS_DWORD f = 0; f < count; ++f) {
        const std::size_t at = static_cast<std::size_t>((from + f) % capacity) * 2;
        out[f * 2] = c.ring[at];
        out[f * 2 + 1] = c.ring[at + 1];
    }
    return count;
}
