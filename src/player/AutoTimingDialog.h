// The modal dialog that times a sentence list automatically: a worker thread
// reads the audio and aligns the sentences (SentenceTimer) while the dialog
// shows how much of the audio is done, "m:ss / m:ss", on its progress bar.
// It ends with OK when the worker has an outcome (times, or why there are
// none) and with Cancel when the user cancels, which stops the worker and
// leaves no outcome.
//
// The worker shares only its Job with the dialog: the inputs, set before it
// starts, and the progress and outcome it writes (the outcome before it
// raises done). The dialog polls them every 100 ms.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/SentenceTimer.h"
#include "toolkit/Dialog.h"
#include "toolkit/ProgressBar.h"
#include "toolkit/Thread.h"

class AutoTimingDialog : public Dialog {
public:
    static constexpr UINT_PTR kTimer = 1;
    static constexpr UINT kTimerMs = 100;
    static constexpr int kWidth = 360, kHeight = 110;

    struct Job {
        std::u16string audioPath;
        std::vector<std::u16string> sentences;
        std::uint32_t lengthMs = 0;  // for the progress; 0 when unknown
        std::atomic<std::uint32_t> doneMs{0};
        std::atomic<bool> done{false};
        TimingOutcome outcome;
    };

    explicit AutoTimingDialog(std::shared_ptr<Job> job);
    ~AutoTimingDialog() override;

    bool createContents() override;
    bool onTimer(UINT_PTR id, LPARAM second) override;
    bool onCancel() override;
    bool onClose() override;

    // The work itself, on the calling thread (the worker's body).
    static void run(Job& job, const std::stop_token& stop);

    ProgressBar& progressBar() { return bar_; }

private:
    void showProgress();

    std::shared_ptr<Job> job_;
    Thread worker_;
    ProgressBar bar_;
};
