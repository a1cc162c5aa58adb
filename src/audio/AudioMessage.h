// The message boxes of the audio player: modal, with an OK button, no owner
// window, and the caption and icon each message names. The program connects
// them to its message box at start-up; until then (and in tools without
// windows) they are written to standard error so they are never lost.
#pragma once

#include <functional>
#include <string>

enum class MessageIcon { None, Warning, Error };

struct AudioMessage {
    std::u16string text;
    std::u16string caption;
    MessageIcon icon = MessageIcon::None;
};

using AudioMessageHandler = std::function<void(const AudioMessage&)>;

// Shows the message and returns when it has been dismissed.
void showAudioMessage(const AudioMessage& message);
// Replaces the box that shows the messages; an empty handler restores the default.
void setAudioMessageHandler(AudioMessageHandler handler);
