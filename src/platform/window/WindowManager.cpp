#include "platform/window/WindowManager.h"

#include <algorithm>
#include <atomic>

#include "platform/common/AsciiCase.h"
#include "platform/display/Display.h"

namespace veltrix::platform {

WindowManager& WindowManager::instance() {
    // Never destroyed: worker threads and static destructors may still ask it.
    static WindowManager* manager = new WindowManager;
    return *manager;
}

namespace {
thread_local int windowLocksHeld = 0;
}  // namespace

WindowManager::Guard WindowManager::lock() {
    WindowManager& manager = instance();
    return Guard(manager.mutex_, manager.state_);
}

bool WindowManager::heldByThisThread() noexcept { return windowLocksHeld > 0; }

WindowManager::Guard::Guard(std::mutex& mutex, WindowState& state) : lock_(mutex), state_(&state) { ++windowLocksHeld; }

WindowManager::Guard::~Guard() {
    if (lock_.owns_lock()) --windowLocksHeld;
}

void WindowManager::Guard::unlock() {
    lock_.unlock();
    --windowLocksHeld;
}

void WindowManager::Guard::relock() {
    lock_.lock();
    ++windowLocksHeld;
}

std::shared_ptr<WindowClass> WindowState::findClass(const std::u16string& name) const {
    for (const auto& c : classes)
        if (ascii::equalsIgnoringCase(c->name, name)) return c;
    return nullptr;
}

std::shared_ptr<ThreadQueue> WindowState::queueOf(std::thread::id thread, DWORD threadId) {
    // The library may give a new thread the std::thread::id of one that has
    // ended; the thread number (never reused) tells them apart, and the ended
    // thread's queue is dropped rather than inherited.
    for (auto it = queues_.begin(); it != queues_.end(); ++it) {
        if ((*it)->thread != thread) continue;
        if ((*it)->threadId == threadId) return *it;
        queues_.erase(it);
        break;
    }
    auto q = std::make_shared<ThreadQueue>();
    q->thread = thread;
    q->threadId = threadId;
    queues_.push_back(q);
    return q;
}

std::shared_ptr<ThreadQueue> WindowState::currentQueue() {
    return queueOf(std::this_thread::get_id(), GetCurrentThreadId());
}

std::shared_ptr<ThreadQueue> WindowState::findQueue(DWORD threadId) const {
    for (const auto& q : queues_)
        if (q->threadId == threadId) return q;
    return nullptr;
}

std::vector<HWND>& WindowState::siblingsOf(const Window& w) {
    if (w.parent) return find(w.parent)->children;
    return topLevels;
}

POINT WindowState::clientOrigin(const Window& w) const {
    RECT r = screenRect(w);
    return {r.left + w.client.left, r.top + w.client.top};
}

RECT WindowState::screenRect(const Window& w) const {
    RECT r = w.rect;
    if (w.parent) {
        if (const Window* p = find(w.parent)) {
            POINT o = clientOrigin(*p);
            OffsetRect(&r, o.x, o.y);
        }
    }
    return r;
}

Window* WindowState::topLevelOf(Window* w) const {
    while (w && w->parent) w = find(w->parent);
    return w;
}

bool WindowState::isVisible(const Window& w) const {
    const Window* p = &w;
    while (p) {
        if (!(p->style & WS_VISIBLE)) return false;
        p = p->parent ? find(p->parent) : nullptr;
    }
    return true;
}

bool WindowState::isEnabled(const Window& w) const { return !(w.style & WS_DISABLED); }

bool WindowState::isDescendant(HWND ancestor, HWND window) const {
    const Window* w = find(window);
    while (w) {
        if (w->handle == ancestor) return true;
        w = w->parent ? find(w->parent) : nullptr;
    }
    return false;
}

Region WindowState::visibleRegion(const Window& w, bool clientOnly) const {
    const Window* top = topLevelOf(const_cast<Window*>(&w));
    POINT topOrigin = clientOrigin(*top);
    auto toPicture = [&](RECT r) {
        OffsetRect(&r, -topOrigin.x, -topOrigin.y);
        return r;
    };
    RECT own = screenRect(w);
    if (clientOnly) {
        POINT o = clientOrigin(w);
        own = {o.x, o.y, o.x + (w.client.right - w.client.left), o.y + (w.client.bottom - w.client.top)};
    }
    Region region(toPicture(own));
    if (w.style & WS_CLIPCHILDREN && clientOnly) {
        for (HWND c : w.children) {
            const Window* child = find(c);
            if (child && (child->style & WS_VISIBLE)) region.subtract(toPicture(screenRect(*child)));
        }
    }
    // Walk up: each ancestor's client area bounds, and siblings above clip
    // when the window in question asks for WS_CLIPSIBLINGS.
    const Window* cur = &w;
    while (cur->parent) {
        const Window* parent = find(cur->parent);
        if (!parent) break;
        POINT po = clientOrigin(*parent);
        RECT pc{po.x, po.y, po.x + (parent->client.right - parent->client.left),
                po.y + (parent->client.bottom - parent->client.top)};
        region.intersect(toPicture(pc));
        if (cur->style & WS_CLIPSIBLINGS) {
            for (HWND s : parent->children) {
                if (s == cur->handle) break;
                const Window* sib = find(s);
                if (sib && (sib->style & WS_VISIBLE)) region.subtract(toPicture(screenRect(*sib)));
            }
        }
        cur = parent;
    }
    return region;
}

void WindowState::invalidate(Window& w, const Region& clientRegion, bool erase, bool allChildren) {
    RECT client{0, 0, w.client.right - w.client.left, w.client.bottom - w.client.top};
    Region add = clientRegion;
    add.intersect(client);
    if (add.empty()) return;
    w.update.unite(add);
    if (erase) w.eraseOnPaint = true;
    if (w.queue) wakeQueue(*w.queue);
    if (!allChildren && (w.style & WS_CLIPCHILDREN)) return;
    for (HWND c : w.children) {
        Window* child = find(c);
        if (!child || !(child->style & WS_VISIBLE)) continue;
        Region part = add;
        part.translate(-(child->rect.left + child->client.left), -(child->rect.top + child->client.top));
        invalidate(*child, part, erase, allChildren);
    }
}

void WindowState::wakeQueue(ThreadQueue& q) {
    q.wakeUp.notify_all();
    if (q.isDisplayThread) display().wake();
}

void WindowState::recomputeClient(Window& w) {
    int width = w.rect.right - w.rect.left;
    int height = w.rect.bottom - w.rect.top;
    int inset = 0;
    if (w.parent) {
        if (w.exStyle & WS_EX_CLIENTEDGE) inset += 2;
        if (w.style & WS_BORDER) inset += 1;
    }
    w.client = {inset, inset, std::max(inset, width - inset), std::max(inset, height - inset)};
}

void WindowState::ensurePicture(Window& w) {
    int width = std::max(1, static_cast<int>(w.client.right - w.client.left));
    int height = std::max(1, static_cast<int>(w.client.bottom - w.client.top));
    if (w.picture && cairo_image_surface_get_width(w.picture.get()) == width &&
        cairo_image_surface_get_height(w.picture.get()) == height)
        return;
    UniqueCairoSurface fresh(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    if (w.picture) {
        // Keep what was drawn so a resize shows no black flash before the paint.
        UniqueCairo cr(cairo_create(fresh.get()));
        cairo_set_source_surface(cr.get(), w.picture.get(), 0, 0);
        cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr.get());
    }
    w.picture = std::move(fresh);
}

DWORD currentTime() {
    using namespace std::chrono;
    static const Clock::time_point start = Clock::now();
    return static_cast<DWORD>(duration_cast<milliseconds>(Clock::now() - start).count());
}

}  // namespace veltrix::platform

DWORD GetTickCount() { return veltrix::platform::currentTime(); }

DWORD GetCurrentThreadId() {
    static std::atomic<DWORD> next{1};
    thread_local DWORD id = next++;
    return id;
}
