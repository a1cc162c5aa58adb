#include "audio/AudioMessage.h"

#include <cstdio>
#include <utility>

#include "text/NarrowText.h"

namespace {

AudioMessageHandler& handler() {
    static AudioMessageHandler current;
    return current;
}

}  // namespace

void showAudioMessage(const AudioMessage& message) {
    if (handler()) {
        handler()(message);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", encodeCodePage(message.caption, 65001).c_str(),
                 encodeCodePage(message.text, 65001).c_str());
}

void setAudioMessageHandler(AudioMessageHandler replacement) { handler() = std::move(replacement); }
