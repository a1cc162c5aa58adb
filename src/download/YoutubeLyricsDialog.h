// The caption downloader: the learner pastes a video's watch address, presses
// "Download...", picks one of the video's caption tracks from a pop-up menu,
// and the track's text is appended to the editor one sentence per line, ready
// to be corrected, copied or saved as the raw material of a sentence list.
//
// Everything runs on the dialog's thread: the requests block the dialog while
// they run (each is bounded by the client's time-outs and page cap). Every
// failure (no video id, an empty or broken track list, no choice, an empty
// track) ends the action silently and leaves the editor as it was.
#pragma once

#include <string>

#include "download/CaptionText.h"
#include "download/SiteHosts.h"
#include "editor/TextEditor.h"
#include "toolkit/Button.h"
#include "toolkit/Dialog.h"
#include "toolkit/TextField.h"

class YoutubeLyricsDialog : public Dialog {
public:
    static constexpr int kWidth = 500;
    static constexpr int kHeight = 300;
    static constexpr int kUrlId = 1001;
    static constexpr int kDownloadId = 1002;

    explicit YoutubeLyricsDialog(SiteHosts hosts = {});
    ~YoutubeLyricsDialog() override;

    bool createContents() override;
    void onCommand(HWND control, WPARAM first, WORD notificationCode) override;

    // What "Download...": the track list, the menu, the chosen track's
    // sentences appended to the editor. False when it ended without text.
    bool download();

    TextField& urlField() { return url_; }
    Button& downloadButton() { return download_; }
    TextEditor& editor() { return editor_; }

private:
    SiteHosts hosts_;
    TextField url_;
    Button download_;
    TextEditor editor_;
};
