// What the Linux desktop offers a program beyond Windows' interface, reached
// over the session bus: the media controls (media keys, the desktop's sound
// menu, playerctl), notifications, and the choice of the desktop's own file
// chooser behind GetOpenFileNameW and GetSaveFileNameW.
//
// Every call returns at once: the bus is served by a thread of its own, and
// what the desktop asks of the program arrives as messages posted to its
// window. Without a session bus every call does nothing and says nothing.
#pragma once

#include "platform/api/Types.h"

namespace desktop {

enum class MediaStatus { Stopped, Playing, Paused };

// The WM_COMMAND identifiers posted to the registered window when the desktop
// asks for play/pause (also for "play" while not playing and "pause" while
// playing), stop, and the next and previous item.
struct MediaCommands {
    WORD playPause = 0;
    WORD stop = 0;
    WORD next = 0;
    WORD previous = 0;
};

// What the desktop shows of the player. Strings are copied by the call.
struct MediaState {
    MediaStatus status = MediaStatus::Stopped;
    LPCWSTR title = nullptr;  // the item now playing or chosen; null or empty: none
    LPCWSTR album = nullptr;  // what the item belongs to (the open file)
    DWORD positionMs = 0;
    DWORD lengthMs = 0;
    BOOL canGoNext = FALSE;
    BOOL canGoPrevious = FALSE;
};

// Puts the program on the bus as a media player ("veltrix"; a second copy
// takes "veltrix.instance<process id>"). One window at a time; a later call
// replaces the earlier. FALSE, and nothing done, without a session bus.
BOOL registerMediaControls(HWND window, const MediaCommands& commands);
// Cheap enough for every tick: the bus hears of a change of status or item
// only; the position is read from the last state when asked for.
void updateMediaControls(HWND window, const MediaState& state);
void unregisterMediaControls(HWND window);

// Shows a desktop notification, from window, when none of the program's
// windows has the desktop's focus (the learner is elsewhere while a long job
// ends). TRUE when a notification was sent to the bus.
BOOL notifyWhenInactive(HWND window, LPCWSTR title, LPCWSTR text);

// Whether the open and save dialogs ask the desktop's file chooser (the
// portal) first; where no portal answers they fall back to the layer's own
// dialog. On by default.
void useDesktopFileChooser(BOOL use);
BOOL usesDesktopFileChooser();

}  // namespace desktop
