// Opening the phrase and the lecture downloaders as the player's menu is to
// open them: each modal over its owner, the phrase downloader with its start
// address taken from the settings (section "NHK", key "GogakuruURL") and the
// address it ends with written back.
//
// Until the menu offers them, the environment variable
// VELTRIX_OPEN_DOWNLOADER names one to open once the main window is up:
// "phrases" or "lectures".
#pragma once

#include <string_view>

#include "platform/win32.h"

inline constexpr const char* kOpenDownloaderVariable = "VELTRIX_OPEN_DOWNLOADER";

// Opens the downloader the name gives and returns when it is closed; false
// when the name is none of ours.
bool openLessonDownloader(HWND owner, std::string_view name);
// The same for the name the variable holds; false when it is not set.
bool openLessonDownloaderFromEnvironment(HWND owner);
