#include "download/DownloadNotice.h"

#include <algorithm>
#include <string>

#include "platform/api/Desktop.h"

void noticeDownloadEnded(HWND dialog, bool finished) {
    // The dialog's title names what was downloaded.
    std::u16string title(static_cast<std::size_t>(std::max(GetWindowTextLengthW(dialog), 0)) + 1, u'\0');
    title.resize(
        static_cast<std::size_t>(std::max(GetWindowTextW(dialog, title.data(), static_cast<int>(title.size())), 0)));
    desktop::notifyWhenInactive(dialog, finished ? u"Download finished" : u"Download failed", title.c_str());
}
