// The library's process-wide state: the lock that guards every channel, the
// handle table, the per-thread error code and whether an output device is
// initialised. Exported from libbass.so for the sibling modules (tempo,
// encoder, mixer), which link against it as the published modules do.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio/BassApi.h"
#include "core/Channel.h"

namespace bass {

std::recursive_mutex& libraryLock();

// The calling thread's last error; every public function sets it.
void setError(int code);
int lastError();

// Adds a channel to the handle table and returns its new non-zero handle.
BASS_DWORD addChannel(std::shared_ptr<Channel> channel);
// The channel a handle names, or null (and BASS_ERROR_HANDLE).
std::shared_ptr<Channel> findChannel(BASS_DWORD handle);
// Frees a handle: stops its playback, calls onFree and drops it from the table.
// Returns false when the handle is not known. Must be called with the library
// lock held; outputs to close are handed to `closing`, to be released after the
// lock is dropped.
bool freeChannel(BASS_DWORD handle, std::vector<std::shared_ptr<Output>>& closing);

// Every handle in the table (with the lock held).
std::vector<BASS_DWORD> allHandles();

// Whether BASS_Init has succeeded and BASS_Free has not been called since.
bool isInitialized();

}  // namespace bass
