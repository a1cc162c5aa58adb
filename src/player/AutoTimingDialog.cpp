#include "player/AutoTimingDialog.h"

#include "audio/BassLibrary.h"
#include "audio/SpeechAudio.h"
#include "audio/SphinxRecognizer.h"

AutoTimingDialog::AutoTimingDialog(std::shared_ptr<Job> job) : job_(std::move(job)) {}

AutoTimingDialog::~AutoTimingDialog() {
    worker_.stop();
    bar_.destroyWindow();
}

void AutoTimingDialog::run(Job& job, const std::stop_token& stop) {
    std::u16string error;
    const std::unique_ptr<SphinxRecognizer> recognizer = SphinxRecognizer::create(error);
    if (!recognizer) {
        job.outcome.error = error;
        return;
    }
    SentenceTimer timer(*recognizer, job.sentences);
    if (!timer.transcriptError().empty()) {
        job.outcome.error = timer.transcriptError();
        return;
    }
    std::uint64_t samples = 0;
    const SpeechReadResult read = readSpeechAudio(
        BassLibrary::instance(), job.audioPath,
        [&](std::span<const std::int16_t> block) {
            if (stop.stop_requested()) return false;
            samples += block.size();
            job.doneMs = static_cast<std::uint32_t>(samples * 1000 / SentenceTimer::kRate);
            // A transcript found not to fit needs no more audio.
            return timer.addSamples(block);
        },
        error);
    if (stop.stop_requested()) return;
    if (read == SpeechReadResult::Failed) {
        job.outcome.error = error;
        return;
    }
    job.outcome = timer.finish();
}

bool AutoTimingDialog::createContents() {
    setTitle(u"Time Sentences Automatically");
    bar_.createAt(handle(), 8, 8, kWidth - 20, 20);
    addStandardButtons(kCancelButton);
    setSizeCentered(kWidth, kHeight);
    showProgress();
    // The body holds the job, never the dialog: a cancelled run that outlives
    // the dialog writes only into what it shares.
    std::shared_ptr<Job> job = job_;
    worker_.start([job](WorkerContext& context) -> DWORD {
        run(*job, context.stopToken());
        job->done = true;
        return 0;
    });
    SetTimer(handle(), kTimer, kTimerMs, nullptr);
    return true;
}

void AutoTimingDialog::showProgress() {
    const std::uint32_t done = job_->doneMs;
    const std::uint32_t length = job_->lengthMs;
    bar_.setPosition(length ? static_cast<int>(static_cast<std::uint64_t>(done) * 100 / length) : 0);
    const std::u16string text =
        length ? minutesAndSeconds(done) + u" / " + minutesAndSeconds(length) : minutesAndSeconds(done);
    SetWindowTextW(bar_.handle(), text.c_str());
}

bool AutoTimingDialog::onTimer(UINT_PTR id, LPARAM) {
    if (id != kTimer) return true;
    if (job_->done) {
        KillTimer(handle(), kTimer);
        close(kOkButton);
        return true;
    }
    showProgress();
    return true;
}

bool AutoTimingDialog::onCancel() {
    KillTimer(handle(), kTimer);
    worker_.stop();
    return true;
}

bool AutoTimingDialog::onClose() { return onCancel(); }
