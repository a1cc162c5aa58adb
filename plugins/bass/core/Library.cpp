#include "core/Library.h"

#include <map>

#include "core/Output.h"

namespace bass {

namespace {

thread_local int t_error = BASS_OK;

std::map<BASS_DWORD, std::shared_ptr<Channel>>& channels() {
    static std::map<BASS_DWORD, std::shared_ptr<Channel>> table;
    return table;
}

BASS_DWORD g_nextHandle = 0x10001;

}  // namespace

std::recursive_mutex& libraryLock() {
    static std::recursive_mutex lock;
    return lock;
}

void setError(int code) { t_error = code; }
int lastError() { return t_error; }

BASS_DWORD addChannel(std::shared_ptr<Channel> channel) {
    std::lock_guard<std::recursive_mutex> lock(libraryLock());
    BASS_DWORD handle;
    do {
        handle = g_nextHandle++;
    } while (handle == 0 || channels().count(handle));
    channel->setHandle(handle);
    channels().emplace(handle, std::move(channel));
    return handle;
}

std::shared_ptr<Channel> findChannel(BASS_DWORD handle) {
    std::lock_guard<std::recursive_mutex> lock(libraryLock());
    auto it = channels().find(handle);
    if (it == channels().end()) {
        setError(BASS_ERROR_HANDLE);
        return nullptr;
    }
    return it->second;
}

bool freeChannel(BASS_DWORD handle, std::vector<std::shared_ptr<Output>>& closing) {
    auto it = channels().find(handle);
    if (it == channels().end()) {
        setError(BASS_ERROR_HANDLE);
        return false;
    }
    std::shared_ptr<Channel> channel = it->second;
    channels().erase(it);
    if (channel->output) {
        channel->output->detach();
        closing.push_back(std::move(channel->output));
    }
    channel->state = PlayState::Stopped;
    channel->onFree(closing);
    return true;
}

std::vector<BASS_DWORD> allHandles() {
    std::vector<BASS_DWORD> handles;
    for (const auto& [handle, channel] : channels()) handles.push_back(handle);
    return handles;
}

}  // namespace bass
