#include "platform/display/X11Keyboard.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include "platform/api/Messages.h"

namespace veltrix::platform::x11 {

namespace {

bool wmInfo(SDL_Window* window, SDL_SysWMinfo& info) {
    SDL_VERSION(&info.version);
    return window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11;
}

}  // namespace

void* displayOf(SDL_Window* window) {
    SDL_SysWMinfo info;
    return wmInfo(window, info) ? info.info.x11.display : nullptr;
}

int connectionFd(void* display) { return display ? ConnectionNumber(static_cast<::Display*>(display)) : -1; }

unsigned long windowIdOf(SDL_Window* window) {
    SDL_SysWMinfo info;
    return wmInfo(window, info) ? info.info.x11.window : 0;
}

bool eventsQueued(void* display) {
    return display && XEventsQueued(static_cast<::Display*>(display), QueuedAlready) > 0;
}

void detectAutoRepeat(void* display) {
    if (display) XkbSetDetectableAutoRepeat(static_cast<::Display*>(display), True, nullptr);
}

bool keyOf(const SDL_SysWMmsg& message, Key& key) {
    if (message.subsystem != SDL_SYSWM_X11) return false;
    XEvent event = message.msg.x11.event;
    if (event.type != KeyPress && event.type != KeyRelease) return false;
    key.down = event.type == KeyPress;
    key.window = event.xkey.window;
    // The unshifted symbol names the key whatever the modifiers (Shift+1 is still VK '1').
    key.virtualKey = virtualKeyOfKeySym(XLookupKeysym(&event.xkey, 0));
    return true;
}

int virtualKeyOfKeySym(unsigned long sym) {
    if (sym >= XK_a && sym <= XK_z) return 'A' + static_cast<int>(sym - XK_a);
    if (sym >= XK_A && sym <= XK_Z) return 'A' + static_cast<int>(sym - XK_A);
    if (sym >= XK_0 && sym <= XK_9) return '0' + static_cast<int>(sym - XK_0);
    if (sym >= XK_F1 && sym <= XK_F12) return VK_F1 + static_cast<int>(sym - XK_F1);
    if (sym >= XK_KP_0 && sym <= XK_KP_9) return VK_NUMPAD0 + static_cast<int>(sym - XK_KP_0);
    switch (sym) {
        case XK_BackSpace:
            return VK_BACK;
        case XK_Tab:
        case XK_ISO_Left_Tab:
            return VK_TAB;
        case XK_Return:
        case XK_KP_Enter:
            return VK_RETURN;
        case XK_Shift_L:
            return VK_LSHIFT;
        case XK_Shift_R:
            return VK_RSHIFT;
        case XK_Control_L:
            return VK_LCONTROL;
        case XK_Control_R:
            return VK_RCONTROL;
        case XK_Alt_L:
        case XK_Alt_R:
        case XK_Meta_L:
        case XK_Meta_R:
            return VK_MENU;
        case XK_Super_L:
            return VK_LWIN;
        case XK_Super_R:
            return VK_RWIN;
        case XK_Menu:
            return VK_APPS;
        case XK_Pause:
            return VK_PAUSE;
        case XK_Caps_Lock:
            return VK_CAPITAL;
        case XK_Num_Lock:
            return VK_NUMLOCK;
        case XK_Scroll_Lock:
            return VK_SCROLL;
        case XK_Print:
            return VK_SNAPSHOT;
        case XK_Escape:
            return VK_ESCAPE;
        case XK_space:
            return VK_SPACE;
        case XK_Prior:
        case XK_KP_Prior:
            return VK_PRIOR;
        case XK_Next:
        case XK_KP_Next:
            return VK_NEXT;
        case XK_End:
        case XK_KP_End:
            return VK_END;
        case XK_Home:
        case XK_KP_Home:
            return VK_HOME;
        case XK_Left:
        case XK_KP_Left:
            return VK_LEFT;
        case XK_Up:
        case XK_KP_Up:
            return VK_UP;
        case XK_Right:
        case XK_KP_Right:
            return VK_RIGHT;
        case XK_Down:
        case XK_KP_Down:
            return VK_DOWN;
        case XK_Insert:
        case XK_KP_Insert:
            return VK_INSERT;
        case XK_Delete:
        case XK_KP_Delete:
            return VK_DELETE;
        case XK_KP_Multiply:
            return VK_MULTIPLY;
        case XK_KP_Add:
            return VK_ADD;
        case XK_KP_Subtract:
            return VK_SUBTRACT;
        case XK_KP_Decimal:
            return VK_DECIMAL;
        case XK_KP_Divide:
            return VK_DIVIDE;
        case XK_semicolon:
            return VK_OEM_1;
        case XK_equal:
            return VK_OEM_PLUS;
        case XK_comma:
            return VK_OEM_COMMA;
        case XK_minus:
            return VK_OEM_MINUS;
        case XK_period:
            return VK_OEM_PERIOD;
        case XK_slash:
            return VK_OEM_2;
        case XK_grave:
            return VK_OEM_3;
        case XK_bracketleft:
            return VK_OEM_4;
        case XK_backslash:
            return VK_OEM_5;
        case XK_bracketright:
            return VK_OEM_6;
        case XK_apostrophe:
            return VK_OEM_7;
        case XK_Henkan_Mode:
            return VK_CONVERT;
        case XK_Muhenkan:
            return VK_NONCONVERT;
        case XK_Zenkaku_Hankaku:
        case XK_Kanji:
            return VK_KANJI;
        default:
            return 0;
    }
}

}  // namespace veltrix::platform::x11
