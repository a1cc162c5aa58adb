// Opening the phrase and the lecture downloaders as the player's menu is to
// open them: each modal over its owner, the phrase downloader with its start
// address taken from the settings (section "NHK", key "GogakuruURL") and the
// address it ends with written back.
#pragma once

#include <string_view>

#include "platform/win32.h"

// Opens the downloader the name gives ("phrases" or "lectures") and returns
// when it is closed; false when the name is none of these.
bool openLessonDownloader(HWND owner, std::string_view name);
