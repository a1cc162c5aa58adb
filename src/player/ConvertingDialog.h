// The modal dialog that drives an MP3 export: every 10 ms (timer 1) it
// decodes blocks of the player's encoding stream into the encoder and shows
// how far it got as "position/length" in milliseconds on its progress bar.
// It ends with OK (64) when the file is decoded, or with Cancel; the encoder
// is stopped either way.
//
// A tick decodes blocks until its time budget is spent, so the window stays
// responsive whatever the machine's speed while the export runs far faster
// than one block a tick would allow.
#pragma once

#include <chrono>

#include "audio/BassPlayer.h"
#include "toolkit/Dialog.h"
#include "toolkit/ProgressBar.h"

class ConvertingDialog : public Dialog {
public:
    static constexpr UINT_PTR kTimer = 1;
    static constexpr UINT kTimerMs = 10;
    static constexpr int kWidth = 320, kHeight = 110;
    // The work of one tick stays below the timer's period: the budget plus
    // the last block (decoding it, and waiting while lame catches up).
    static constexpr std::chrono::milliseconds kTickBudget{6};

    // The player must hold an encoding stream (encodeToMp3 succeeded).
    explicit ConvertingDialog(BassPlayer& player);
    ~ConvertingDialog() override;

    bool createContents() override;
    bool onTimer(UINT_PTR id, LPARAM second) override;
    bool onCancel() override;
    bool onClose() override;

    // One tick's work: decodes until the budget is spent; false once the
    // file is exhausted (the dialog then ends itself).
    bool pumpForTick();
    // Until the file is exhausted or the dialog cancelled.
    bool running() const { return running_; }
    // Whether the encoder finished its file (valid after the dialog ended with OK).
    bool encoderFinished() const { return encoderFinished_; }
    ProgressBar& progressBar() { return bar_; }

private:
    void showProgress();
    void stop();

    BassPlayer* player_;
    ProgressBar bar_;
    bool running_ = false;
    bool encoderFinished_ = false;
};
