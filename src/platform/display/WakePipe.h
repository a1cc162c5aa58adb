// A self-pipe that ends a display's wait: notify() may be called from any
// thread and from a signal handler (it only writes one byte and never
// blocks); the display thread polls fd() and drains it after waking.
//
// Invariant: both ends are open, non-blocking and close-on-exec for the
// pipe's whole life, so no child process inherits them.
#pragma once

namespace veltrix::platform {

class WakePipe {
public:
    WakePipe();
    ~WakePipe();
    WakePipe(const WakePipe&) = delete;
    WakePipe& operator=(const WakePipe&) = delete;

    void notify() const noexcept;
    void drain() const noexcept;
    int fd() const { return read_; }

private:
    int read_ = -1;
    int write_ = -1;
};

// Waits until one of the descriptors is readable or timeoutMs pass (negative:
// no time-out); true when one is readable. Descriptors below 0 are left out.
bool waitReadable(const int* fds, int count, int timeoutMs);

}  // namespace veltrix::platform
