// A hidden component that turns clipboard-change messages into one
// ClipboardEvent per burst: changes within 100 ms of the first give a single
// event. It keeps its place in the platform's viewer chain (the next viewer)
// and leaves the chain when its window is destroyed.
#pragma once

#include "toolkit/Component.h"

class ClipboardViewer : public Component {
public:
    ClipboardViewer() = default;
    ~ClipboardViewer() override;

    virtual void onClipboardDraw(UINT message, WPARAM first, LPARAM second);
    virtual void notifyClipboardListener();
    virtual void onChainChanged(UINT message, HWND removed, HWND next);

    // Created hidden, whatever the creation styles say.
    bool create(HWND parent) override;
    bool onCreate() override;
    bool onTimer(UINT_PTR id, LPARAM lParam) override;
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Not owned; one listener at a time, which leaves the viewer when it ends.
    void setClipboardListener(ClipboardListener* listener) { listener_.set(listener); }
    void setSuppressed(bool suppressed) { suppressed_ = suppressed; }
    void setNextViewer(HWND next) { nextViewer_ = next; }
    HWND nextViewer() const { return nextViewer_; }
    bool isNotificationPending() const { return pending_; }

    static constexpr UINT kDelayMs = 100;

private:
    HWND nextViewer_ = nullptr;
    TypedListenerList<ClipboardListener> listener_;
    bool pending_ = false;
    bool suppressed_ = false;
};
