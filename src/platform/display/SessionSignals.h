// The signals that end a session (SIGTERM, SIGINT, SIGHUP) as the window
// system's "the session is ending" notice. The handler does no work: it
// records the signal and writes one byte to a pipe that the display's wait
// watches, and the display thread turns it into WM_QUERYENDSESSION /
// WM_ENDSESSION with ENDSESSION_CRITICAL. A second signal after the first has
// been recorded ends the process at once with the signal's default action;
// the same signal from the same sender within a tenth of a second is the
// same request delivered twice (`timeout` signals the process and then its
// process group), not a second one.
//
// A signal the process was started with ignored (nohup, a background job)
// stays ignored.
#pragma once

namespace veltrix::platform::session {

// Installs the handlers once; later calls do nothing.
void installSignalHandlers();
// The pipe the handler writes to (-1 before installSignalHandlers).
int signalFd();
// The signal received and not yet taken, else 0; drains the pipe. A signal is
// taken once: the session ends only once.
int takeSignal();

}  // namespace veltrix::platform::session
