#include "player/MediaSession.h"

#include <algorithm>

#include "app/Paths.h"
#include "audio/IAudioPlayer.h"
#include "platform/api/Desktop.h"
#include "player/LyricsEditing.h"
#include "player/PlayerCommands.h"
#include "player/PlayerCore.h"

void MediaSession::attach(HWND player) {
    desktop::MediaCommands commands;
    commands.playPause = player_commands::TogglePlay;
    commands.stop = player_commands::StopPlayback;
    commands.next = player_commands::NextSentence;
    commands.previous = player_commands::PreviousSentence;
    // Without a bus the player is never asked, and each tick costs nothing.
    player_ = desktop::registerMediaControls(player, commands) ? player : nullptr;
}

void MediaSession::detach() {
    if (player_) desktop::unregisterMediaControls(player_);
    player_ = nullptr;
}

void MediaSession::publish(PlayerCore& core, IAudioPlayer& audio, const LyricsEditing& editing,
                           std::uint32_t lengthMs) {
    if (!player_) return;
    desktop::MediaState state;
    std::u16string title;
    std::u16string album;
    if (core.hasAudio()) {
        const bool stopped = core.isStopped();
        state.status = stopped ? desktop::MediaStatus::Stopped
                               : (audio.isPaused() ? desktop::MediaStatus::Paused : desktop::MediaStatus::Playing);
        state.positionMs = stopped ? 0 : static_cast<DWORD>(std::max(audio.getPosition(), 0));
        state.lengthMs = lengthMs;
        album = fileNameOf(core.audioPath());
        const int row = editing.firstSelected();
        const int rows = editing.table().getRowCount();
        if (row >= 0 && row < rows) title = editing.table().cell(row, LyricsTable::Sentence);
        state.canGoNext = row + 1 < rows;
        state.canGoPrevious = row > 0;
    }
    state.title = title.c_str();
    state.album = album.c_str();
    desktop::updateMediaControls(player_, state);
}
