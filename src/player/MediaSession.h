// The player as the desktop's media controls see it (media keys, the sound
// menu, playerctl): registered while the player's window exists, told on
// every tick and after every command what is playing, and answering with the
// player's own commands, posted to its window.
//
// Without a session bus every call returns at once and nothing is shown.
#pragma once

#include <cstdint>

#include "platform/win32.h"

class IAudioPlayer;
class LyricsEditing;
class PlayerCore;

class MediaSession {
public:
    void attach(HWND player);
    void detach();
    // The current sentence is the title, the audio file the album.
    void publish(PlayerCore& core, IAudioPlayer& audio, const LyricsEditing& editing, std::uint32_t lengthMs);

private:
    HWND player_ = nullptr;
};
