// The program's entry. The main window and the message loop join these first
// steps as the toolkit comes into being.
#include "app/AudioMessages.h"
#include "app/Settings.h"
#include "platform/win32.h"
#include "text/NarrowText.h"

int wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    setNarrowCodePage(932);
    prepareSettingsFile();
    connectAudioMessages();
    return 0;
}
