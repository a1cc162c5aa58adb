// The Win32 last error that stands for the C library's errno.
#pragma once

namespace platform {
void setLastErrorFromErrno();
}
