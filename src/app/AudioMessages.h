// Connects the audio player's messages to the program's message boxes.
#pragma once

// From now on every audio message is a modal box with no owner, an OK button,
// the message's caption and its icon. Where no screen can be shown, the text
// also goes to standard error, so it is never lost.
void connectAudioMessages();
