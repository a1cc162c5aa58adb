// The desktop notification at the end of a download: the learner who went to
// another program while it ran hears that it finished (or failed). Nothing is
// shown while the program has the focus, or without a session bus.
#pragma once

#include "platform/win32.h"

void noticeDownloadEnded(HWND dialog, bool finished);
