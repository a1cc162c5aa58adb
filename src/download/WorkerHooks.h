// What a downloader's worker is given by its dialog: how to learn that a
// stop was asked for, how to tell the learner something (a message box shown
// on the dialog's thread), and the switch that cancels its web request. Any
// of them may be missing (tests run the readers without a dialog).
#pragma once

#include <functional>
#include <string>

#include "download/RequestCancel.h"

struct WorkerHooks {
    std::function<bool()> shouldStop;
    std::function<void(const std::u16string& text)> tell;
    RequestCancel* cancel = nullptr;

    bool stopping() const { return shouldStop && shouldStop(); }
};
