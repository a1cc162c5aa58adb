#include "app/AudioMessages.h"

#include <cstdio>

#include "audio/AudioMessage.h"
#include "platform/win32.h"
#include "text/NarrowText.h"

namespace {

UINT iconFlag(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Error:
            return MB_ICONERROR;
        case MessageIcon::Warning:
            return MB_ICONWARNING;
        default:
            return 0;
    }
}

void showInBox(const AudioMessage& message) {
    if (GetSystemMetrics(SM_CMONITORS) == 0)
        std::fprintf(stderr, "%s: %s\n", encodeCodePage(message.caption, 65001).c_str(),
                     encodeCodePage(message.text, 65001).c_str());
    MessageBoxW(nullptr, message.text.c_str(), message.caption.c_str(), MB_OK | iconFlag(message.icon));
}

}  // namespace

void connectAudioMessages() { setAudioMessageHandler(showInBox); }
