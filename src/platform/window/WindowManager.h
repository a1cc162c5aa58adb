// The window manager's state: the window and class tables, the per-thread
// message queues and the process-wide input state. The state is reachable only
// through the guard WindowManager::lock() returns, which holds the window lock
// for as long as it lives.
//
// Lock order: the GDI lock (Gdi::mutex, gdi/GdiObjects.h) is taken before the
// window lock. Drawing through a window DC marks the top-level picture for
// presenting with the GDI lock held, so a thread holding the window lock
// never takes the GDI lock (no GDI call, no DeleteObject, no DC).
//
// Locking rule: the lock is held only while state is read or changed, never
// while a window procedure, a timer procedure or the display runs. Window
// procedures may destroy any window, so callers look a window up again by its
// handle after every call that may run one.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/api/Gdi.h"
#include "platform/display/Display.h"
#include "platform/gdi/Region.h"
#include "platform/win32.h"
#include "platform/window/HandleTable.h"

namespace veltrix::platform {

using Clock = std::chrono::steady_clock;

struct WindowClass {
    std::u16string name;
    WNDCLASSEXW info{};
};

struct ThreadQueue;

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<WindowClass> windowClass;
    WNDPROC proc = nullptr;
    HWND parent = nullptr;  // null for top-level windows (their parent is the desktop)
    HWND owner = nullptr;
    std::vector<HWND> children;  // z-order, topmost first
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    HINSTANCE instance = nullptr;
    std::u16string text;
    RECT rect{};    // window rectangle: parent client coordinates (screen for top-level)
    RECT client{};  // client rectangle relative to the window rectangle's top-left
    std::vector<unsigned char> extra;
    Region update;  // client coordinates
    bool eraseOnPaint = false;
    bool destroying = false;
    std::shared_ptr<ThreadQueue> queue;
    HFONT font = nullptr;  // WM_SETFONT of DefWindowProcW
    // Top-level windows only.
    UniqueCairoSurface picture;  // client-sized RGB24 backing picture
    Region presentPending;       // picture coordinates
    HWND lastFocus = nullptr;

    bool isTopLevel() const { return parent == nullptr; }
};

struct SentMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool done = false;
    std::shared_ptr<ThreadQueue> sender;
};

struct Timer {
    HWND window;
    UINT_PTR id;
    UINT interval;
    TIMERPROC proc;
    Clock::time_point due;
};

struct ThreadQueue {
    std::thread::id thread;
    DWORD threadId = 0;
    std::deque<MSG> posted;
    std::deque<MSG> input;
    std::deque<std::shared_ptr<SentMessage>> sent;
    std::vector<Timer> timers;
    std::condition_variable wakeUp;
    bool quit = false;
    int quitCode = 0;
    HWND focus = nullptr;
    HWND active = nullptr;
    bool isDisplayThread = false;
};

// Every function that takes a WindowState runs with the window lock held.
class WindowState {
public:
    HandleTable<Window> windows{HandleKind::Window};
    std::vector<std::shared_ptr<WindowClass>> classes;
    std::vector<HWND> topLevels;  // z-order, topmost first
    HWND capture = nullptr;
    HWND tracking = nullptr;  // TrackMouseEvent(TME_LEAVE) window
    HWND hovering = nullptr;  // TrackMouseEvent(TME_HOVER) window
    UINT hoverTime = 400;
    RECT hoverRect{};  // screen; moving out of it restarts the hover time
    Clock::time_point hoverDue{};
    HWND underMouse = nullptr;
    POINT cursor{0, 0};
    BYTE keys[256]{};
    HCURSOR currentCursor = nullptr;
    HWND foreground = nullptr;
    DWORD lastClickTime = 0;
    UINT lastClickMessage = 0;
    HWND lastClickWindow = nullptr;
    POINT lastClickPoint{0, 0};
    std::thread::id displayThread;
    bool displayThreadSet = false;

    Window* find(HWND handle) const { return windows.find(reinterpret_cast<std::uintptr_t>(handle)); }
    std::shared_ptr<WindowClass> findClass(const std::u16string& name) const;
    std::shared_ptr<ThreadQueue> queueOf(std::thread::id thread, DWORD threadId);
    std::shared_ptr<ThreadQueue> currentQueue();
    std::shared_ptr<ThreadQueue> findQueue(DWORD threadId) const;
    std::vector<HWND>& siblingsOf(const Window& w);
    // The window rectangle in screen coordinates, and the client origin in
    // screen coordinates.
    RECT screenRect(const Window& w) const;
    POINT clientOrigin(const Window& w) const;
    Window* topLevelOf(Window* w) const;
    bool isVisible(const Window& w) const;
    bool isEnabled(const Window& w) const;
    bool isDescendant(HWND ancestor, HWND window) const;
    // The part of the window's client area (or whole window rectangle) that
    // shows on its top-level picture, in picture coordinates.
    Region visibleRegion(const Window& w, bool clientOnly) const;
    // Adds a client-coordinate region to the window's update region and, when
    // the window lacks WS_CLIPCHILDREN, to its children's.
    void invalidate(Window& w, const Region& clientRegion, bool erase, bool allChildren);
    void wakeQueue(ThreadQueue& q);
    void recomputeClient(Window& w);
    void ensurePicture(Window& w);

private:
    std::vector<std::shared_ptr<ThreadQueue>> queues_;
};

class WindowManager {
public:
    // The window lock and, through it, the state; the lock ends with the guard.
    class Guard {
    public:
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;
        ~Guard();

        WindowState& operator*() const noexcept { return *state_; }
        WindowState* operator->() const noexcept { return state_; }

        // Waits on a queue's condition with the lock released meanwhile; the
        // lock is held again on return.
        void wait(std::condition_variable& condition) { condition.wait(lock_); }
        void waitUntil(std::condition_variable& condition, Clock::time_point until) {
            condition.wait_until(lock_, until);
        }
        template <class Duration>
        void waitFor(std::condition_variable& condition, Duration duration) {
            condition.wait_for(lock_, duration);
        }
        // Lets go of the lock early (before presenting or waiting on the
        // display) and takes it again; the state must not be touched between.
        void unlock();
        void relock();

    private:
        friend class WindowManager;
        Guard(std::mutex& mutex, WindowState& state);
        std::unique_lock<std::mutex> lock_;
        WindowState* state_;
    };

    // Takes the window lock; see the lock order above.
    static Guard lock();
    // Whether the calling thread holds the window lock; the GDI lock refuses
    // to be taken then (it stops the program: the order above is broken).
    static bool heldByThisThread() noexcept;

private:
    WindowManager() = default;
    static WindowManager& instance();

    std::mutex mutex_;
    WindowState state_;
};

// Calls a window procedure directly (same thread) or through the owner's queue.
LRESULT sendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT callProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Handles messages sent from other threads to the calling thread.
void handleIncomingSends();
void postTo(WindowState& m, ThreadQueue& q, HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool input);
DWORD currentTime();
// Starts the hover time again at the pointer's place.
void restartHover(WindowState& m);
// Ends the windows' input state that refers to a dying window.
void forgetWindowInput(HWND window);
// Presents pending rectangles of every top-level picture of the calling thread.
void presentPictures();
// The window system lost what a top-level window showed (it was covered):
// its whole picture is presented again, without painting anything.
void presentAgain(HWND window);
// Sends WM_PAINT to the window (and, with children, to its invalid descendants) now.
void paintNow(HWND window, bool children);
// Turns raw display events into queued input messages.
void processRawEvents(std::vector<RawEvent>& events);
HDC createWindowDC(HWND window, bool client, const Region* clip);
// Posts WM_DROPFILES (or the registered drop target's delivery) for files
// dropped at a screen point onto the top-level window the display named (null:
// whichever window is under the point); a point outside the window named
// stands for its middle.
void deliverDrop(const std::vector<std::u16string>& files, POINT screen, HWND topLevel);
// Text dropped there goes to a registered drop target as CF_UNICODETEXT.
void deliverTextDrop(const std::u16string& text, POINT screen, HWND topLevel);
// The text of a text drop; false for a file drop.
bool droppedText(HDROP drop, std::u16string& text);
// The window (or its nearest ancestor) registered with RegisterDragDrop, or null.
HWND registeredDropTargetOf(HWND window);
// Hands a desktop drop to the window's registered drop target as a CF_HDROP
// (files) or CF_UNICODETEXT (text) data object, then releases the drop.
void deliverOleFileDrop(HWND window, HDROP drop, POINT screen);
// Posted to a registered window for a desktop file drop; DefWindowProcW
// delivers it to the window's drop target. wParam: the HDROP; lParam: the
// screen point.
inline constexpr UINT kOleFileDropMessage = 0x0049;

}  // namespace veltrix::platform
