#include "core/Library.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <thread>

#include "core/Device.h"
#include "core/Playback.h"

namespace bass {

namespace {

thread_local int t_error = BASS_OK;

std::map<BASS_DWORD, ChannelEntry>& channels() {
    static std::map<BASS_DWORD, ChannelEntry> table;
    return table;
}

BASS_DWORD g_nextHandle = 0x10001;

}  // namespace

std::unique_ptr<Device>& deviceSlot() {
    static std::unique_ptr<Device> device;
    return device;
}

std::recursive_mutex& libraryLock() {
    static std::recursive_mutex lock;
    return lock;
}

void setError(int code) { t_error = code; }
int lastError() { return t_error; }

Device* outputDevice() { return deviceSlot().get(); }
bool isInitialized() { return deviceSlot() != nullptr; }

BASS_DWORD addChannel(std::shared_ptr<Channel> channel) {
    std::lock_guard<std::recursive_mutex> lock(libraryLock());
    BASS_DWORD handle;
    do {
        handle = g_nextHandle++;
    } while (handle == 0 || channels().count(handle));
    channel->setHandle(handle);
    ChannelEntry entry{std::move(channel), nullptr};
    if (!entry.channel->isDecoding() && outputDevice()) {
        entry.playback = std::make_shared<Playback>(entry.channel, outputDevice()->rate());
        outputDevice()->attach(entry.playback->buffer());
    }
    channels().emplace(handle, std::move(entry));
    return handle;
}

ChannelEntry findEntry(BASS_DWORD handle) {
    std::lock_guard<std::recursive_mutex> lock(libraryLock());
    auto it = channels().find(handle);
    if (it == channels().end()) {
        setError(BASS_ERROR_HANDLE);
        return {};
    }
    return it->second;
}

std::shared_ptr<Channel> findChannel(BASS_DWORD handle) { return findEntry(handle).channel; }

bool freeChannel(BASS_DWORD handle, Released& released) {
    auto it = channels().find(handle);
    if (it == channels().end()) {
        setError(BASS_ERROR_HANDLE);
        return false;
    }
    ChannelEntry entry = std::move(it->second);
    channels().erase(it);
    if (entry.playback && outputDevice()) outputDevice()->detach(entry.playback->buffer().get());
    // Whatever the channel is doing (a long seek on the feeder's thread) ends now.
    entry.channel->cancel();
    released.push_back(entry);
    entry.channel->freeSources(released);
    return true;
}

namespace {

void release(Released& released) {
    // Feeders end first, so that nothing else holds a channel when its taps finish.
    for (ChannelEntry& entry : released) entry.playback.reset();
    for (ChannelEntry& entry : released) entry.channel->finishTaps();
    released.clear();
}

// The library's thread that lets go of channels that played.
class Reaper {
public:
    ~Reaper() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable()) m_thread.join();
    }

    void add(Released batch) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_batches.push_back(std::move(batch));
        if (!m_thread.joinable()) m_thread = std::thread([this] { run(); });
        m_wake.notify_all();
    }

    void drain() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_drained.wait(lock, [this] { return m_batches.empty() && !m_busy; });
    }

private:
    void run() {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stopping || !m_batches.empty(); });
            if (m_batches.empty()) return;
            Released batch = std::move(m_batches.front());
            m_batches.pop_front();
            m_busy = true;
            lock.unlock();
            release(batch);
            batch.clear();
            lock.lock();
            m_busy = false;
            m_drained.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_drained;
    std::deque<Released> m_batches;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
};

Reaper& reaper() {
    static Reaper instance;
    return instance;
}

}  // namespace

void letGo(Released& released) {
    if (released.empty()) return;
    const bool played =
        std::any_of(released.begin(), released.end(), [](const auto& e) { return e.playback != nullptr; });
    if (played)
        reaper().add(std::move(released));
    else
        release(released);
    released.clear();
}

void waitForLetGo() { reaper().drain(); }

std::vector<BASS_DWORD> allHandles() {
    std::vector<BASS_DWORD> handles;
    for (const auto& [handle, entry] : channels()) handles.push_back(handle);
    return handles;
}

}  // namespace bass
