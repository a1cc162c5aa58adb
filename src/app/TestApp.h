// The main window: a shell whose whole client area is the player component.
// Commands, from accelerators or children, go to the content unchanged;
// closing asks the content first and saves the window placement to the
// settings file's `Window` section. The end of the session
// (WM_QUERYENDSESSION, WM_ENDSESSION: a signal, or the desktop asking the
// program to quit) is put to the content, then closes the window the same way.
#pragma once

#include <functional>
#include <string>

#include "player/Orvella.h"
#include "toolkit/BaseWindow.h"
#include "toolkit/Component.h"

// Behaviour of the application object this system does not use.
class App {
public:
    virtual ~App() = default;
};

class TestApp : public BaseWindow, public App {
public:
    explicit TestApp(std::u16string settingsPath);
    ~TestApp() override;

    // Registers "MainFrame" and creates the overlapped main window with an
    // empty title at the default position; creation places and shows it.
    bool createMainWindow();

    bool onCreate() override;
    void onCommand(WPARAM wParam, LPARAM lParam) override;
    bool onClose() override;
    LRESULT onSize(WPARAM type, LPARAM size) override;
    LRESULT onNotify(WPARAM wParam, LPARAM lParam) override;
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Reads the rectangle (defaults: 640 x 480 centred on the primary
    // screen), moves it onto the nearest monitor without resizing, and
    // places the window there hidden.
    virtual bool loadPlacement(const std::u16string& settingsPath);
    // Writes MainLeft, MainTop, MainWidth, MainHeight and Zoomed; false when
    // the window is gone.
    virtual bool savePlacement(const std::u16string& settingsPath);
    virtual bool hook() { return true; }

    Orvella& content() { return content_; }
    // Called once, after the content has painted for the first time.
    void setFirstPaintHandler(std::function<void()> handler) { firstPaint_ = std::move(handler); }

private:
    std::u16string settingsPath_;
    Orvella content_;
    std::function<void()> firstPaint_;
};

// The window recorded by the main window on creation (null before).
HWND mainWindow();
// A wheel message goes to the window under the pointer when that window lies
// at most five parent steps below the main window; other messages and other
// windows are left as they are.
void redirectMouseWheel(MSG& msg);
