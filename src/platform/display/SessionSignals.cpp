#include "platform/display/SessionSignals.h"

#include <signal.h>
#include <time.h>

#include <atomic>
#include <mutex>

#include "platform/display/WakePipe.h"

namespace veltrix::platform::session {

namespace {

constexpr int kEndingSignals[] = {SIGTERM, SIGINT, SIGHUP};

// A signal sent twice at once is one request: `timeout` signals the process
// and then its process group, which holds it too.
constexpr long long kSameRequestNs = 100'000'000;

// Process-wide and never destroyed: a signal may come while static objects go.
WakePipe* signalPipe = nullptr;
std::atomic<bool> claimed{false};
std::atomic<int> received{0};
std::atomic<int> sender{0};
std::atomic<long long> receivedAt{0};
std::atomic<bool> taken{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<long long>::is_always_lock_free);

long long monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

extern "C" void onEndingSignal(int signal, siginfo_t* info, void*) {
    const int from = info ? info->si_pid : 0;
    const long long now = monotonicNs();
    if (!claimed.exchange(true)) {
        sender.store(from);
        receivedAt.store(now);
        received.store(signal);
        signalPipe->notify();
        return;
    }
    const int first = received.load();
    // The first is being recorded on another thread this very moment.
    if (first == 0) return;
    if (first == signal && sender.load() == from && now - receivedAt.load() < kSameRequestNs) return;
    // The program is already closing and someone insists: the default
    // action, delivered as soon as this handler returns.
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    sigaction(signal, &defaultAction, nullptr);
    raise(signal);
}

}  // namespace

void installSignalHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        signalPipe = new WakePipe;
        for (int signal : kEndingSignals) {
            struct sigaction current {};
            sigaction(signal, nullptr, &current);
            if (current.sa_handler == SIG_IGN) continue;
            struct sigaction action {};
            action.sa_sigaction = onEndingSignal;
            sigemptyset(&action.sa_mask);
            // The other ending signals wait while the handler runs, so two
            // arriving together still count as first and second.
            for (int other : kEndingSignals) sigaddset(&action.sa_mask, other);
            action.sa_flags = SA_RESTART | SA_SIGINFO;
            sigaction(signal, &action, nullptr);
        }
    });
}

int signalFd() { return signalPipe ? signalPipe->fd() : -1; }

int takeSignal() {
    if (!signalPipe) return 0;
    signalPipe->drain();
    const int signal = received.load();
    if (signal == 0 || taken.exchange(true)) return 0;
    return signal;
}

}  // namespace veltrix::platform::session
