// What reading and writing a sentence-list file need from the player that owns
// the document: opening the audio, the open-file dialog and message boxes. The
// player implements it; tests give their own.
#pragma once

#include <string>
#include <string_view>

// Whose window a message box belongs to.
enum class MessageOwner { Player, None };

class SentenceListHost {
public:
    virtual ~SentenceListHost() = default;

    // Opens the audio file in the audio player; false when it cannot be played.
    virtual bool openAudio(const std::u16string& path) = 0;
    // The open-file dialog with the given filter text, starting at initialPath;
    // the chosen path, or an empty text when the user cancels.
    virtual std::u16string chooseAudioFile(std::u16string_view filter, const std::u16string& initialPath) = 0;
    // A top-most message box captioned "Veltrix" with an OK button.
    virtual void showMessage(const std::u16string& text, MessageOwner owner) = 0;
};
