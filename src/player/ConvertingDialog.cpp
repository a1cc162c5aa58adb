#include "player/ConvertingDialog.h"

#include <algorithm>
#include <cstdint>
#include <string>

ConvertingDialog::ConvertingDialog(BassPlayer& player) : player_(&player) {}

ConvertingDialog::~ConvertingDialog() { bar_.destroyWindow(); }

bool ConvertingDialog::createContents() {
    setTitle(u"Converting");
    bar_.createAt(handle(), 8, 8, 300, 20);
    addStandardButtons(kCancelButton);
    setSizeCentered(kWidth, kHeight);
    running_ = SetTimer(handle(), kTimer, kTimerMs, nullptr) != 0;
    return true;
}

bool ConvertingDialog::pumpForTick() {
    const auto started = std::chrono::steady_clock::now();
    do {
        if (!player_->pumpEncoder()) return false;
    } while (std::chrono::steady_clock::now() - started < kTickBudget);
    return true;
}

void ConvertingDialog::showProgress() {
    const auto position = static_cast<std::uint64_t>(std::max(player_->getPosition(), 0));
    const std::uint64_t length = player_->lengthMs;
    // 64-bit, so that a recording of many hours does not wrap the percentage.
    bar_.setPosition(length ? static_cast<int>(position * 100 / length) : 0);
    const std::string text = std::to_string(position) + "/" + std::to_string(length);
    const std::u16string wide(text.begin(), text.end());
    SetWindowTextW(bar_.handle(), wide.c_str());
    // Painted now: the next tick keeps the loop busy again at once.
    UpdateWindow(bar_.handle());
}

bool ConvertingDialog::onTimer(UINT_PTR id, LPARAM) {
    if (id != kTimer || !running_) return true;
    if (pumpForTick()) {
        showProgress();
        return true;
    }
    stop();
    close(kOkButton);
    return true;
}

void ConvertingDialog::stop() {
    if (!running_) return;
    running_ = false;
    KillTimer(handle(), kTimer);
    encoderFinished_ = player_->stopEncoding();
}

bool ConvertingDialog::onCancel() {
    stop();
    return true;
}

bool ConvertingDialog::onClose() {
    stop();
    return true;
}
