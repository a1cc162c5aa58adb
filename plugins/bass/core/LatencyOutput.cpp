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

// What the test output has consumed (the last minute), and when each block of
// it is heard. Written by the output's thread, read by tests.
struct Capture {
    std::mutex mutex;
    std::vector<float> ring;            // stereo frames; frame k at (k mod capacity)
    std::vector<std::int64_t> heardAt;  // per block, steady-clock nanoseconds
    std::uint64_t total = 0;            // frames taken since the output was opened
    int rate = 0;
};

Capture& capture() {
    static auto& instance = *new Capture();  // outlives every output, even at exit
    return instance;
}

std::int64_t nanoseconds(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}

class LatencyOutput final : public OutputDriver {
public:
    LatencyOutput(int rate, std::chrono::milliseconds latency, OutputRenderer& renderer)
        : m_rate(rate), m_latency(latency), m_renderer(renderer), m_block(kBlockFrames * 2) {
        Capture& c = capture();
        std::lock_guard<std::mutex> lock(c.mutex);
        c.ring.assign(static_cast<std::size_t>(rate) * kCaptureSeconds * 2, 0.0f);
        c.heardAt.assign(c.ring.size() / 2 / kBlockFrames + 1, 0);
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
    Clock::duration latency() const override { return m_latency; }

    void start() override {
        if (!m_thread.joinable()) m_thread = std::thread([this] { run(); });
    }

private:
    void run() {
        const auto blockTime =
            std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(double(kBlockFrames) / m_rate));
        // When the next block taken starts to sound.
        Clock::time_point next = Clock::now() + m_latency;
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            if (m_wake.wait_until(lock, next - m_latency, [this] { return m_stopping; })) break;
            lock.unlock();
            const Clock::time_point heardAt = std::max(next, Clock::now() + m_latency);
            m_renderer.render(m_block.data(), kBlockFrames, heardAt);
            keep(heardAt);
            next = heardAt + blockTime;
            lock.lock();
        }
    }

    void keep(Clock::time_point heardAt) {
        Capture& c = capture();
        std::lock_guard<std::mutex> lock(c.mutex);
        const std::size_t capacity = c.ring.size() / 2;
        for (std::size_t f = 0; f < kBlockFrames; ++f) {
            const std::size_t at = static_cast<std::size_t>((c.total + f) % capacity) * 2;
            c.ring[at] = m_block[f * 2];
            c.ring[at + 1] = m_block[f * 2 + 1];
        }
        c.heardAt[static_cast<std::size_t>(c.total / kBlockFrames % c.heardAt.size())] = nanoseconds(heardAt);
        c.total += kBlockFrames;
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
// took, from frame `from` of everything it took since it was opened, into
// `out`; returns the number copied (0 for frames not taken yet or no longer
// kept). `rate` receives the output's frame rate.
BASS_EXPORT BASS_DWORD VeltrixTestOutput_Read(BASS_QWORD from, float* out, BASS_DWORD frames, int* rate) {
    bass::Capture& c = bass::capture();
    std::lock_guard<std::mutex> lock(c.mutex);
    if (rate) *rate = c.rate;
    const std::size_t capacity = c.ring.size() / 2;
    if (!out || capacity == 0 || from >= c.total || c.total - from > capacity) return 0;
    const auto count = static_cast<BASS_DWORD>(std::min<BASS_QWORD>(frames, c.total - from));
    for (BASS_DWORD f = 0; f < count; ++f) {
        const std::size_t at = static_cast<std::size_t>((from + f) % capacity) * 2;
        out[f * 2] = c.ring[at];
        out[f * 2 + 1] = c.ring[at + 1];
    }
    return count;
}

// Tests only: the frame (counted as for VeltrixTestOutput_Read) heard at
// `steadyNs` nanoseconds of the steady clock, or in a gap the first heard
// after it; -1 when there is none (before the first kept, after the last taken).
BASS_EXPORT std::int64_t VeltrixTestOutput_FrameAt(std::int64_t steadyNs) {
    bass::Capture& c = bass::capture();
    std::lock_guard<std::mutex> lock(c.mutex);
    if (c.rate == 0 || c.total == 0) return -1;
    const std::uint64_t blocks = c.total / bass::kBlockFrames;
    const std::uint64_t kept = std::min<std::uint64_t>(blocks, c.heardAt.size() - 1);
    const auto blockNs = static_cast<std::int64_t>(1e9 * bass::kBlockFrames / c.rate);
    for (std::uint64_t b = blocks; b-- > blocks - kept;) {
        const std::int64_t start = c.heardAt[static_cast<std::size_t>(b % c.heardAt.size())];
        if (start > steadyNs) continue;
        if (steadyNs >= start + blockNs) {
            // Silence filled a gap here; the block after it sounds next.
            return b + 1 < blocks ? static_cast<std::int64_t>((b + 1) * bass::kBlockFrames) : -1;
        }
        return static_cast<std::int64_t>(b * bass::kBlockFrames) +
               static_cast<std::int64_t>((steadyNs - start) * c.rate / 1000000000);
    }
    return -1;
}
