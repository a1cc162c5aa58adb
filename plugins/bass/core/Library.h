// The library's process-wide state: the handle table, the per-thread error
// code, and the output device while one is initialised. Exported from
// libbass.so for the sibling modules (tempo, encoder, mixer), which link
// against it as the published modules do.
//
// The library lock guards the table and the device; it is held only to look
// things up and change them, never while decoding, and the output's thread
// never takes it.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "audio/BassApi.h"
#include "core/Channel.h"

namespace bass {

class Device;
class Playback;

std::recursive_mutex& libraryLock();

// The calling thread's last error; every public function sets it.
void setError(int code);
int lastError();

// A handle's channel, and its playback when the channel is playable.
struct ChannelEntry {
    std::shared_ptr<Channel> channel;
    std::shared_ptr<Playback> playback;
};

// What a function releases once it has dropped the library lock: freeing a
// playback waits for its feeder, and must not keep other callers waiting.
using Released = std::vector<ChannelEntry>;

// Lets go of freed channels, without the library lock: their taps finish and
// their playbacks' feeders end. Channels that played are let go on a thread
// of the library's own, so that the caller never waits for a feeder that is
// in the middle of a block; purely decoding ones at once, on the caller's
// thread (an encoder attached to one has finished when its channel is freed).
void letGo(Released& released);
// Waits until every channel handed to letGo is gone (BASS_Free).
void waitForLetGo();

// With the lock held: adds a channel to the handle table and returns its new
// non-zero handle. A playable channel gets its playback on the output device,
// which must be initialised.
BASS_DWORD addChannel(std::shared_ptr<Channel> channel);
// The channel a handle names, or null (and BASS_ERROR_HANDLE).
std::shared_ptr<Channel> findChannel(BASS_DWORD handle);
ChannelEntry findEntry(BASS_DWORD handle);
// With the lock held: frees a handle (its work in progress is cancelled, its
// playback leaves the output, the sources it owns are freed too) into
// `released`. False when the handle is not known.
bool freeChannel(BASS_DWORD handle, Released& released);
// With the lock held: every handle in the table.
std::vector<BASS_DWORD> allHandles();

// With the lock held: the output device, null unless BASS_Init has succeeded
// and BASS_Free has not been called since. BASS_Init and BASS_Free set it.
Device* outputDevice();
std::unique_ptr<Device>& deviceSlot();
bool isInitialized();

}  // namespace bass
