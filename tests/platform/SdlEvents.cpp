#include "SdlEvents.h"

#include <SDL.h>

#include <cstring>

namespace veltrix::test {

void pushSdlComposition(const char* utf8, int caret) {
    SDL_Event e{};
    e.type = SDL_TEXTEDITING;
    e.edit.windowID = SDL_GetWindowID(SDL_GetKeyboardFocus());
    std::strncpy(e.edit.text, utf8, sizeof e.edit.text - 1);
    e.edit.start = caret;
    e.edit.length = 0;
    SDL_PushEvent(&e);
}

void pushSdlText(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = SDL_GetWindowID(SDL_GetKeyboardFocus());
    std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
    SDL_PushEvent(&e);
}

}  // namespace veltrix::test
