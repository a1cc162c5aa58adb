#include "platform/display/WakePipe.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace veltrix::platform {

WakePipe::WakePipe() {
    int ends[2];
    if (pipe2(ends, O_NONBLOCK | O_CLOEXEC) != 0) throw std::runtime_error("no pipe for the display's wait");
    read_ = ends[0];
    write_ = ends[1];
}

WakePipe::~WakePipe() {
    close(read_);
    close(write_);
}

void WakePipe::notify() const noexcept {
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a wake-up: nothing is lost when this write fails.
    [[maybe_unused]] const auto written = write(write_, &byte, 1);
    errno = saved;
}

void WakePipe::drain() const noexcept {
    char bytes[64];
    while (read(read_, bytes, sizeof bytes) > 0) {}
}

bool waitReadable(const int* fds, int count, int timeoutMs) {
    pollfd polled[4];
    int used = 0;
    for (int i = 0; i < count && used < 4; ++i)
        if (fds[i] >= 0) polled[used++] = pollfd{fds[i], POLLIN, 0};
    // An interrupting signal has written to its pipe, which ends the next wait at once.
    return poll(polled, static_cast<nfds_t>(used), timeoutMs) > 0;
}

}  // namespace veltrix::platform
