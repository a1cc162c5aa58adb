// A toolkit widget: mouse, keyboard, focus and paint messages become
// overridable operations and listener events, and painting is double-buffered
// (the whole component is drawn off screen and copied in one transfer; the
// background is never erased by the system).
//
// Event rules: fireEvent delivers an EventObject to the "EventListener"
// listeners; when there are none, and always for -19 (mouse moved), the parent
// gets WM_NOTIFY with the code instead. A disabled component takes no mouse
// input at all. Listeners are not owned and must outlive the component.
#pragma once

#include <string>

#include "toolkit/BaseWindow.h"
#include "toolkit/ListenerRegistry.h"

class Graphics;

// Codes a component reports through fireEvent.
namespace EventCode {
inline constexpr int Pressed = -2;
inline constexpr int DoubleClicked = -3;
inline constexpr int ReturnPressed = -4;
inline constexpr int RightClicked = -5;
inline constexpr int FocusChanged = -7;
inline constexpr int Painted = -12;
inline constexpr int ValueChanged = -18;
inline constexpr int MouseMoved = -19;
inline constexpr int SelectionChanged = -101;
inline constexpr int RowRemoved = -103;
inline constexpr int AllRowsRemoved = -104;
inline constexpr int HeaderClicked = -108;
inline constexpr int TabChanged = -551;
}  // namespace EventCode

class Component : public BaseWindow {
public:
    Component();
    ~Component() override;

    void setEnabled(bool on) override;
    void destroyWindow() override;
    // A child of class "Component" (or the object's own class) with styles
    // child, visible, clip siblings, clip children and tab stop, at (0, 0)
    // with no size: position it with setBounds.
    bool create(HWND parent) override;
    void setBounds(int x, int y, int width, int height) override;
    void setSize(int width, int height) override;
    bool onFocusGained(HWND previous) override;
    void registerWindowClass(const std::u16string& name, const std::u16string& menuName, UINT classStyle) override;
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    virtual void setFocused(bool on);
    virtual void addEventListener(EventListener* listener);
    virtual void paint(Graphics& g);
    virtual void paintFieldFrame(Graphics& g, int x, int y, int width, int height, int radius);
    virtual void onFocusLost();
    virtual void fireEvent(int code, int value);
    virtual bool onChar(WPARAM character, LPARAM flags);
    // Tab moves the focus (Shift+Tab backward).
    virtual bool onKeyDown(WPARAM key, LPARAM flags);
    virtual bool onKeyUp(WPARAM key, LPARAM flags);
    virtual bool onMouseReleased();
    virtual void onRightMouseReleased();
    // True takes the press: focus, repaint, event -2 and the mouse capture.
    virtual bool onMousePressed(int x, int y);
    virtual bool onRightMousePressed(int x, int y);
    virtual bool onMouseDoubleClicked(int x, int y);
    virtual bool onMouseMoved(int x, int y);
    virtual bool onMouseWheel(int x, int y, int keyState, int notches);
    virtual void onMouseEntered();
    virtual void onMouseExited();
    // True: the message is handled and the system default is skipped.
    virtual bool handleMouse(UINT message, int x, int y, WPARAM wParam);

    void addListener(const std::string& typeName, EventListener* listener) {
        listeners_.addListener(typeName, listener);
    }
    bool fire(const std::string& typeName, const EventObject& event) { return listeners_.fire(typeName, event); }
    ListenerRegistry& listeners() { return listeners_; }

    bool isHovered() const { return hover_; }
    bool isFocused() const { return focused_; }

protected:
    void paintNow();

    bool hover_ = false;
    bool focused_ = false;
    int constructed_ = 1;
    ListenerRegistry listeners_;
};
