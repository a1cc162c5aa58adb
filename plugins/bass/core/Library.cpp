#include "core/Library.h"

#include <map>

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
    entry.channel->onFree(released);
    return true;
}

std::vector<BASS_DWORD> allHandles() {
    std::vector<BASS_DWORD> handles;
    for (const auto& [handle, entry] : channels()) handles.push_back(handle);
    return handles;
}

}  // namespace bass
