#include "SdlEvents.h"

#include <SDL.h>

#include <cstring>
#include <string>

namespace veltrix::test {

namespace {

char* copied(const char* text) {
    char* copy = static_cast<char*>(SDL_malloc(std::strlen(text) + 1));
    std::strcpy(copy, text);
    return copy;
}

Uint32 windowTitled(const char* title) {
    for (Uint32 id = 1; id < 256; ++id)
        if (SDL_Window* w = SDL_GetWindowFromID(id); w && std::strcmp(SDL_GetWindowTitle(w), title) == 0) return id;
    return 0;
}

}  // namespace

void pushSdlComposition(const char* utf8, int caret) {
    SDL_Event e{};
    const std::size_t length = std::strlen(utf8);
    if (length < sizeof e.edit.text) {
        e.type = SDL_TEXTEDITING;
        e.edit.windowID = SDL_GetWindowID(SDL_GetKeyboardFocus());
        std::strncpy(e.edit.text, utf8, sizeof e.edit.text - 1);
        e.edit.start = caret;
        e.edit.length = 0;
    } else {
        e.type = SDL_TEXTEDITING_EXT;
        e.editExt.windowID = SDL_GetWindowID(SDL_GetKeyboardFocus());
        e.editExt.text = copied(utf8);
        e.editExt.start = caret;
        e.editExt.length = 0;
    }
    SDL_PushEvent(&e);
}

void pushSdlText(const char* utf8) {
    std::string rest = utf8;
    while (!rest.empty()) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        e.text.windowID = SDL_GetWindowID(SDL_GetKeyboardFocus());
        std::size_t cut = std::min(rest.size(), sizeof e.text.text - 1);
        while (cut < rest.size() && (static_cast<unsigned char>(rest[cut]) & 0xC0) == 0x80) --cut;
        std::memcpy(e.text.text, rest.data(), cut);
        SDL_PushEvent(&e);
        rest.erase(0, cut);
    }
}

void pushSdlDrop(const char* windowTitle, const std::vector<const char*>& files, const char* text) {
    const Uint32 window = windowTitled(windowTitle);
    SDL_Event e{};
    e.drop.windowID = window;
    e.type = SDL_DROPBEGIN;
    SDL_PushEvent(&e);
    for (const char* file : files) {
        e.type = SDL_DROPFILE;
        e.drop.file = copied(file);
        SDL_PushEvent(&e);
    }
    if (text) {
        e.type = SDL_DROPTEXT;
        e.drop.file = copied(text);
        SDL_PushEvent(&e);
    }
    e.type = SDL_DROPCOMPLETE;
    e.drop.file = nullptr;
    SDL_PushEvent(&e);
}

void pushSdlQuit() {
    SDL_Event e{};
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
}

}  // namespace veltrix::test
