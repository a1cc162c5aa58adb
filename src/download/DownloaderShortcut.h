// Opens the downloaders by name ("news", "captions", "phrases", "lectures",
// "website" or "voa"), for the player's menu and for the environment variable
// VELTRIX_OPEN_DOWNLOADER, which names one to open once the main window is up.
// The news downloader opens modeless, with its two options taken from and
// given back to the settings section "NHK"; the others modal (see
// LessonDownloaders.h for the phrase and lecture downloaders).
#pragma once

#include <memory>
#include <string_view>

#include "platform/win32.h"

class NHK_NewsEnglishDialog;

class DownloaderShortcut {
public:
    static constexpr const char* kVariable = "VELTRIX_OPEN_DOWNLOADER";

    DownloaderShortcut();
    ~DownloaderShortcut();
    DownloaderShortcut(const DownloaderShortcut&) = delete;
    DownloaderShortcut& operator=(const DownloaderShortcut&) = delete;

    // Whether the variable names a downloader to open.
    static bool requested();
    // Opens the downloader the variable names over owner; false when it names
    // none (or is not set). The modal ones return when they are closed.
    bool openFromEnvironment(HWND owner);
    bool open(HWND owner, std::string_view name);

    // The news downloader once opened (null before).
    NHK_NewsEnglishDialog* newsDialog() { return news_.get(); }

private:
    std::unique_ptr<NHK_NewsEnglishDialog> news_;
};
