// The program's start-up, message loop and shut-down after the settings file
// is prepared.
#pragma once

#include <string>

#include "platform/win32.h"

// Initialises the services, builds the accelerators, creates the main window
// with its settings path, runs the message loop and shuts everything down in
// order. Answers the quit message's exit code.
//
// Two environment switches serve measurement and scripted runs:
// VELTRIX_STARTUP_TIMING=1 prints "startup-to-first-paint-ms: N" on the
// standard error once the main window's content has painted, and
// VELTRIX_CLOSE_AFTER_START=1 then closes the main window as a user would.
int runApplication(const std::u16string& settingsPath, int showCommand);

// One turn of the message loop's routing: accelerators first (the given table,
// then the study modes' table beside it; sent to the content window), then
// the wheel redirection, then translation and dispatch.
void routeMessage(MSG& msg, HWND contentWindow, HACCEL accelerators);
