// The message queue: sent, posted and input messages, WM_PAINT, timers, and
// the waits between them.
#include <algorithm>

#include "platform/display/Display.h"
#include "platform/window/WindowManager.h"

namespace veltrix::platform {

namespace {

thread_local int insideIncomingSend = 0;
thread_local DWORD lastMessageTime = 0;

bool matches(const WindowState& m, const MSG& msg, HWND filter, UINT low, UINT high) {
    if (msg.message == WM_QUIT) return true;
    if (filter && msg.hwnd != filter && !m.isDescendant(filter, msg.hwnd)) return false;
    if (low == 0 && high == 0) return true;
    return msg.message >= low && msg.message <= high;
}

bool takeFrom(WindowState& m, std::deque<MSG>& from, MSG* out, HWND filter, UINT low, UINT high, bool remove) {
    for (auto it = from.begin(); it != from.end(); ++it) {
        if (!matches(m, *it, filter, low, high)) continue;
        *out = *it;
        if (remove) from.erase(it);
        return true;
    }
    return false;
}

// A window of this thread whose update region is not empty, parents first.
HWND findInvalid(WindowState& m, const ThreadQueue& q, HWND filter) {
    std::vector<HWND> stack(m.topLevels.rbegin(), m.topLevels.rend());
    while (!stack.empty()) {
        HWND h = stack.back();
        stack.pop_back();
        Window* w = m.find(h);
        if (!w || !(w->style & WS_VISIBLE) || w->destroying) continue;
        if (w->queue.get() == &q && !w->update.empty() && (!filter || m.isDescendant(filter, h))) return h;
        for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) stack.push_back(*it);
    }
    return nullptr;
}

bool takeTimer(const WindowState& m, ThreadQueue& q, MSG* out, HWND filter, UINT low, UINT high, bool remove,
               Clock::time_point now) {
    if (!(low == 0 && high == 0) && (WM_TIMER < low || WM_TIMER > high)) return false;
    for (Timer& t : q.timers) {
        if (t.due > now) continue;
        if (filter && t.window != filter) continue;
        *out = MSG{t.window, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc), currentTime(), m.cursor};
        if (remove) t.due = now + std::chrono::milliseconds(t.interval);
        return true;
    }
    return false;
}

// Posts WM_MOUSEHOVER once the pointer has rested over the hover window of
// this thread long enough; hover tracking then ends, as on Windows.
bool takeHover(WindowState& m, ThreadQueue& q, Clock::time_point now) {
    if (!m.hovering || now < m.hoverDue) return false;
    Window* w = m.find(m.hovering);
    if (!w || w->queue.get() != &q) return false;
    HWND h = m.hovering;
    m.hovering = nullptr;
    POINT o = m.clientOrigin(*w);
    WPARAM keys = 0;
    if (m.keys[VK_LBUTTON] & 0x80) keys |= MK_LBUTTON;
    if (m.keys[VK_RBUTTON] & 0x80) keys |= MK_RBUTTON;
    if (m.keys[VK_MBUTTON] & 0x80) keys |= MK_MBUTTON;
    if (m.keys[VK_SHIFT] & 0x80) keys |= MK_SHIFT;
    if (m.keys[VK_CONTROL] & 0x80) keys |= MK_CONTROL;
    postTo(m, q, h, WM_MOUSEHOVER, keys, MAKELPARAM(m.cursor.x - o.x, m.cursor.y - o.y), true);
    return true;
}

// The common body of GetMessageW and PeekMessageW.
bool retrieve(MSG* msg, HWND filter, UINT low, UINT high, bool remove, bool wait) {
    for (;;) {
        handleIncomingSends();
        std::shared_ptr<ThreadQueue> q;
        {
            auto lock = WindowManager::lock();
            WindowState& m = *lock;
            q = m.currentQueue();
            if (takeFrom(m, q->posted, msg, filter, low, high, remove)) return true;
        }
        bool displayThread = false;
        {
            auto lock = WindowManager::lock();
            displayThread = q->isDisplayThread;
        }
        if (displayThread) {
            // Raw events become messages one at a time, when the input queue
            // is empty, so that the key state GetKeyState reports is the state
            // at the message being handled, as on Windows.
            static thread_local std::deque<RawEvent> raw;
            std::vector<RawEvent> events;
            display().pumpEvents(events);
            raw.insert(raw.end(), events.begin(), events.end());
            while (!raw.empty()) {
                {
                    auto lock = WindowManager::lock();
                    if (!q->input.empty()) break;
                }
                std::vector<RawEvent> one{std::move(raw.front())};
                raw.pop_front();
                processRawEvents(one);
            }
        }
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        if (!q->sent.empty()) continue;
        // Input handling may have posted messages (WM_DROPFILES, leaves).
        if (takeFrom(m, q->posted, msg, filter, low, high, remove)) return true;
        if (takeFrom(m, q->input, msg, filter, low, high, remove)) {
            lastMessageTime = msg->time;
            return true;
        }
        if (q->quit) {
            *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q->quitCode), 0, currentTime(), m.cursor};
            if (remove) q->quit = false;
            return true;
        }
        if ((low == 0 && high == 0) || (WM_PAINT >= low && WM_PAINT <= high)) {
            if (HWND h = findInvalid(m, *q, filter)) {
                *msg = MSG{h, WM_PAINT, 0, 0, currentTime(), m.cursor};
                return true;
            }
        }
        Clock::time_point now = Clock::now();
        if (takeHover(m, *q, now)) continue;
        if (takeTimer(m, *q, msg, filter, low, high, remove, now)) return true;
        if (!wait) {
            lock.unlock();
            presentPictures();
            return false;
        }
        Clock::time_point until = Clock::time_point::max();
        for (const Timer& t : q->timers) until = std::min(until, t.due);
        if (Window* h = m.hovering ? m.find(m.hovering) : nullptr; h && h->queue == q)
            until = std::min(until, m.hoverDue);
        if (displayThread) {
            lock.unlock();
            presentPictures();
            int timeout = -1;
            if (until != Clock::time_point::max()) {
                auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
                timeout = static_cast<int>(std::clamp<long long>(ms, 0, 1 << 30));
                // Round up so that the wait does not end just before the due time.
                if (until > Clock::now()) ++timeout;
            }
            display().wait(timeout);
        } else {
            lock.unlock();
            presentPictures();
            lock.relock();
            // Anything that arrived while presenting was announced before the wait.
            if (!q->sent.empty() || !q->posted.empty() || !q->input.empty() || q->quit) continue;
            if (until == Clock::time_point::max()) {
                lock.wait(q->wakeUp);
            } else {
                lock.waitUntil(q->wakeUp, until);
            }
        }
    }
}

}  // namespace

LRESULT callProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = nullptr;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        Window* w = m.find(window);
        if (!w) return 0;
        proc = w->proc;
    }
    return proc ? proc(window, message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

void handleIncomingSends() {
    for (;;) {
        std::shared_ptr<SentMessage> sent;
        {
            auto lock = WindowManager::lock();
            WindowState& m = *lock;
            auto q = m.currentQueue();
            if (q->sent.empty()) return;
            sent = q->sent.front();
            q->sent.pop_front();
        }
        ++insideIncomingSend;
        LRESULT result = callProcedure(sent->window, sent->message, sent->wParam, sent->lParam);
        --insideIncomingSend;
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        sent->result = result;
        sent->done = true;
        m.wakeQueue(*sent->sender);
    }
}

LRESULT sendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<SentMessage> sent;
    std::shared_ptr<ThreadQueue> own;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        Window* w = m.find(window);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        if (w->queue->thread != std::this_thread::get_id()) {
            own = m.currentQueue();
            sent = std::make_shared<SentMessage>(SentMessage{window, message, wParam, lParam, 0, false, own});
            w->queue->sent.push_back(sent);
            m.wakeQueue(*w->queue);
        }
    }
    if (!sent) return callProcedure(window, message, wParam, lParam);
    for (;;) {
        // Messages sent to this thread meanwhile are handled, so that two
        // threads sending to each other do not wait for ever.
        handleIncomingSends();
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        if (sent->done) return sent->result;
        if (!m.find(window)) return 0;  // destroyed before it was handled
        if (!own->sent.empty()) continue;
        lock.waitFor(own->wakeUp, std::chrono::milliseconds(50));
    }
}

void postTo(WindowState& m, ThreadQueue& q, HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool input) {
    MSG msg{window, message, wParam, lParam, currentTime(), m.cursor};
    (input ? q.input : q.posted).push_back(msg);
    m.wakeQueue(q);
}

}  // namespace veltrix::platform

using namespace veltrix::platform;

BOOL GetMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    if (window) {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        if (!m.find(window)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return -1;
        }
    }
    retrieve(msg, window, filterMin, filterMax, true, true);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    return retrieve(msg, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0, false) ? TRUE : FALSE;
}

BOOL WaitMessage() {
    MSG msg;
    retrieve(&msg, nullptr, 0, 0, false, true);
    return TRUE;
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    if (!window) {
        postTo(m, *m.currentQueue(), nullptr, message, wParam, lParam, false);
        return TRUE;
    }
    Window* w = m.find(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    postTo(m, *w->queue, window, message, wParam, lParam, false);
    return TRUE;
}

BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    auto q = m.findQueue(threadId);
    if (!q) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    postTo(m, *q, nullptr, message, wParam, lParam, false);
    return TRUE;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return sendTo(window, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    auto q = m.currentQueue();
    q->quit = true;
    q->quitCode = exitCode;
    m.wakeQueue(*q);
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || msg->message != WM_KEYDOWN) return FALSE;
    WCHAR ch = 0;
    bool control = GetKeyState(VK_CONTROL) < 0;
    int vk = static_cast<int>(msg->wParam);
    switch (vk) {
        case VK_RETURN:
            ch = u'\r';
            break;
        case VK_BACK:
            ch = 8;
            break;
        case VK_TAB:
            ch = u'\t';
            break;
        case VK_ESCAPE:
            ch = 27;
            break;
        default:
            if (control && vk >= 'A' && vk <= 'Z') ch = static_cast<WCHAR>(vk - 'A' + 1);
            break;
    }
    if (!ch) return FALSE;
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(msg->hwnd);
    if (!w) return FALSE;
    // Ahead of later input, as the character follows its key on Windows.
    w->queue->input.push_front(MSG{msg->hwnd, WM_CHAR, ch, msg->lParam, msg->time, msg->pt});
    return TRUE;
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (!msg || !msg->hwnd) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        {
            auto lock = WindowManager::lock();
            WindowState& m = *lock;
            if (!m.find(msg->hwnd)) return 0;
        }
        proc(msg->hwnd, WM_TIMER, msg->wParam, currentTime());
        return 0;
    }
    lastMessageTime = msg->time;
    return callProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL InSendMessage() { return insideIncomingSend > 0 ? TRUE : FALSE; }

DWORD GetMessageTime() { return lastMessageTime; }

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    std::shared_ptr<ThreadQueue> q;
    if (window) {
        Window* w = m.find(window);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        q = w->queue;
    } else {
        q = m.currentQueue();
        // Thread timers get a fresh id, as on Windows.
        UINT_PTR next = 0x7FFF;
        for (const Timer& t : q->timers) next = std::max(next, t.id + 1);
        id = next;
    }
    elapse = std::max<UINT>(elapse, 1);
    auto due = Clock::now() + std::chrono::milliseconds(elapse);
    for (Timer& t : q->timers) {
        if (t.window == window && t.id == id) {
            t.interval = elapse;
            t.proc = proc;
            t.due = due;
            m.wakeQueue(*q);
            return id ? id : 1;
        }
    }
    q->timers.push_back(Timer{window, id, elapse, proc, due});
    m.wakeQueue(*q);
    return id ? id : 1;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    std::shared_ptr<ThreadQueue> q;
    if (window) {
        Window* w = m.find(window);
        if (!w) return FALSE;
        q = w->queue;
    } else {
        q = m.currentQueue();
    }
    auto& timers = q->timers;
    auto it =
        std::find_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.window == window && t.id == id; });
    if (it == timers.end()) return FALSE;
    timers.erase(it);
    // A WM_TIMER already generated but not yet handled is dropped too.
    auto& posted = q->posted;
    posted.erase(std::remove_if(posted.begin(), posted.end(),
                                [&](const MSG& message) {
                                    return message.message == WM_TIMER && message.hwnd == window &&
                                           message.wParam == id;
                                }),
                 posted.end());
    return TRUE;
}
