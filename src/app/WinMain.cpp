// The program's entry: the narrow code page and the settings file first, then
// the main window and its message loop.
#include "app/Application.h"
#include "app/Paths.h"
#include "app/Settings.h"
#include "platform/win32.h"
#include "text/NarrowText.h"

int wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int showCommand) {
    setNarrowCodePage(932);
    prepareSettingsFile();
    return runApplication(settingsFilePath(), showCommand);
}
