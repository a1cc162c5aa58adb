#include "platform/window/InputMethod.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/window/WindowManager.h"

namespace veltrix::platform {

namespace {

// One keyboard, one composition at a time.
struct Composition {
    std::mutex mutex;
    bool running = false;
    std::u16string editing;
    int cursor = 0;
    std::u16string result;
    HWND target = nullptr;
    POINT candidateAt{0, 0};  // client coordinates of the context's window
    DWORD candidateStyle = CFS_DEFAULT;
};

Composition& composition() {
    static Composition* state = new Composition;  // outlives static destructors
    return *state;
}

void postInput(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    if (Window* w = m.find(target)) postTo(m, *w->queue, target, message, wParam, lParam, true);
}

HWND windowOf(HIMC context) { return reinterpret_cast<HWND>(context); }

// The caret rectangle the display's candidate window avoids, in screen
// coordinates: the composition point when one was set, else the window's
// client area.
RECT textInputArea(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    Composition& c = composition();
    std::lock_guard lock(c.mutex);
    if (c.candidateStyle != CFS_DEFAULT && c.target == window)
        r = {c.candidateAt.x, c.candidateAt.y, c.candidateAt.x + 1, c.candidateAt.y + 16};
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    OffsetRect(&r, origin.x, origin.y);
    return r;
}

}  // namespace

void deliverText(HWND target, const RawEvent& event) {
    Composition& c = composition();
    bool wasComposing;
    {
        std::lock_guard lock(c.mutex);
        wasComposing = c.running;
        if (wasComposing) {
            c.result = event.text;
            c.editing.clear();
            c.cursor = 0;
            c.running = false;
        }
    }
    if (!target) return;
    if (!wasComposing) {
        for (char16_t ch : event.text) postInput(target, WM_CHAR, ch, 1);
        return;
    }
    WPARAM last = event.text.empty() ? 0 : event.text.back();
    postInput(target, WM_IME_COMPOSITION, last, GCS_RESULTSTR);
    postInput(target, WM_IME_ENDCOMPOSITION, 0, 0);
}

void deliverComposition(HWND target, const RawEvent& event) {
    Composition& c = composition();
    bool start = false;
    bool end = false;
    {
        std::lock_guard lock(c.mutex);
        if (event.text.empty()) {
            if (!c.running) return;  // nothing was being composed
            c.running = false;
            end = true;
        } else if (!c.running) {
            c.running = true;
            start = true;
        }
        c.editing = event.text;
        c.cursor = std::clamp(event.cursor, 0, static_cast<int>(event.text.size()));
        c.result.clear();
    }
    if (!target) return;
    if (start) postInput(target, WM_IME_STARTCOMPOSITION, 0, 0);
    WPARAM last = event.text.empty() ? 0 : event.text.back();
    postInput(target, WM_IME_COMPOSITION, last, end ? 0 : (GCS_COMPSTR | GCS_CURSORPOS));
    if (end) postInput(target, WM_IME_ENDCOMPOSITION, 0, 0);
}

LRESULT defaultImeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_IME_CHAR) return SendMessageW(window, WM_CHAR, wParam, 1);
    if (message == WM_IME_COMPOSITION && (lParam & GCS_RESULTSTR)) {
        std::u16string result;
        {
            Composition& c = composition();
            std::lock_guard lock(c.mutex);
            result = c.result;
        }
        for (char16_t ch : result) {
            if (!IsWindow(window)) break;
            SendMessageW(window, WM_IME_CHAR, ch, 1);
        }
    }
    return 0;
}

void textInputFocus(HWND focus) {
    if (!focus) {
        // A thread losing its focus leaves the keyboard to another thread's
        // focus window, if one has it (a worker's box ending, say).
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        Window* foreground = m.find(m.foreground);
        if (foreground && foreground->queue->focus && m.find(foreground->queue->focus))
            focus = foreground->queue->focus;
        m.windows.forEach([&](const Window& w) {
            if (!focus && !w.destroying && w.queue->focus == w.handle) focus = w.handle;
        });
    }
    if (!focus) {
        display().stopTextInput();
        return;
    }
    display().startTextInput(GetAncestor(focus, GA_ROOT), textInputArea(focus));
}

}  // namespace veltrix::platform

using namespace veltrix::platform;

HIMC ImmGetContext(HWND window) { return IsWindow(window) ? reinterpret_cast<HIMC>(window) : nullptr; }

BOOL ImmReleaseContext(HWND window, HIMC context) { return context && windowOf(context) == window ? TRUE : FALSE; }

LONG ImmGetCompositionStringW(HIMC context, DWORD index, LPVOID buffer, DWORD bufferBytes) {
    if (!context || !IsWindow(windowOf(context))) return -1;  // IMM_ERROR_GENERAL
    Composition& c = composition();
    std::lock_guard lock(c.mutex);
    if (index == GCS_CURSORPOS) return c.cursor;
    const std::u16string* text = nullptr;
    if (index == GCS_COMPSTR) text = &c.editing;
    if (index == GCS_RESULTSTR) text = &c.result;
    if (!text) return -1;
    DWORD needed = static_cast<DWORD>(text->size() * sizeof(char16_t));
    if (!buffer || bufferBytes == 0) return static_cast<LONG>(needed);
    // Whole units only, so a short buffer never receives half a character.
    DWORD copied = std::min(needed, bufferBytes / 2 * 2);
    std::memcpy(buffer, text->data(), copied);
    return static_cast<LONG>(copied);
}

BOOL ImmSetCompositionWindow(HIMC context, const COMPOSITIONFORM* form) {
    HWND window = windowOf(context);
    if (!form || !context || !IsWindow(window)) return FALSE;
    {
        Composition& c = composition();
        std::lock_guard lock(c.mutex);
        c.target = window;
        c.candidateAt = form->ptCurrentPos;
        c.candidateStyle = form->dwStyle;
    }
    if (GetFocus() == window) display().startTextInput(GetAncestor(window, GA_ROOT), textInputArea(window));
    return TRUE;
}

BOOL ImmGetCompositionWindow(HIMC context, COMPOSITIONFORM* form) {
    HWND window = windowOf(context);
    if (!form || !context || !IsWindow(window)) return FALSE;
    Composition& c = composition();
    std::lock_guard lock(c.mutex);
    *form = COMPOSITIONFORM{};
    if (c.target == window) {
        form->dwStyle = c.candidateStyle;
        form->ptCurrentPos = c.candidateAt;
    }
    return TRUE;
}
