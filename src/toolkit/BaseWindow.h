// A toolkit window: creation (a window class of its own or a wrapped native
// control), geometry, a tooltip, the routing of window messages to overridable
// operations, and keyboard focus traversal.
//
// The object is found from its window through the window's user data. It is
// attached on WM_NCCREATE (own classes) or by subclassWindow (native
// controls), and detached when the window is destroyed: handle() becomes null
// and a wrapped control gets its previous procedure back.
//
// Ownership: the object owns its window and its tooltip window; destroying the
// object destroys both (tooltip first). Construction never creates a window.
#pragma once

#include <string>
#include <vector>

#include "platform/api/CommonControls.h"
#include "toolkit/WinApiWindow.h"

enum class FocusDirection { Forward, Backward };

class BaseWindow : public WinApiWindow {
public:
    BaseWindow() = default;

    ~BaseWindow() override;
    // Destroys the tooltip window and the window; both handles become null.
    virtual void destroyWindow();
    // A child of parent with styles child, visible, clip siblings and clip
    // children; registers "BaseWindowPane" when no class is registered yet.
    virtual bool createAt(HWND parent, int x, int y, int width, int height);
    virtual bool create(HWND parent);
    // An overlapped top-level window of the object's class.
    virtual bool createFrame();
    virtual std::u16string getTextCopy() const;
    // Relative to the parent's window rectangle (the screen without a parent).
    virtual int getX() const;
    virtual int getY() const;
    virtual int getWidth() const;
    virtual int getHeight() const;
    virtual void setText(const std::u16string& text);
    virtual void setTextString(const std::u16string& text);
    virtual void setFontHeight(int height);
    virtual void setBounds(int x, int y, int width, int height);
    virtual void setSize(int width, int height);
    // Empty text is ignored (an existing tooltip stays).
    virtual void setToolTipText(const std::u16string& text);
    virtual void onCommand(WPARAM wParam, LPARAM lParam);
    virtual void centerOnParent();
    virtual std::u16string toDebugString() const;
    virtual std::u16string toXmlString() const;
    // Sends the parent WM_NOTIFY with (own handle, own control id, code).
    virtual void notifyParent(int code);
    // True lets the close go on (the window is destroyed).
    virtual bool onClose();
    virtual LRESULT onCreateDefault(CREATESTRUCTW* createData);
    // True: creation handled, the default is skipped.
    virtual bool onCreate();
    virtual LRESULT onNotify(WPARAM wParam, LPARAM lParam);
    virtual LRESULT onSize(WPARAM type, LPARAM size);
    virtual bool onTimer(UINT_PTR id, LPARAM lParam);
    virtual bool onFocusGained(HWND previous);
    // Collects the paths (each up to 520 characters), releases the drop and
    // answers onFilesDropped.
    virtual bool onDropFiles(HDROP drop);
    virtual bool onFilesDropped(const std::vector<std::u16string>& paths);
    virtual void registerWindowClass(const std::u16string& name, const std::u16string& menuName, UINT classStyle);
    // The previous procedure of a wrapped control, else the system default.
    virtual LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Wraps an existing native control: the object becomes its user data and
    // the toolkit procedure replaces the control's procedure.
    bool subclassWindow(HWND control);
    // Gives the focus to the next (or previous) enabled, visible tab stop
    // among the siblings of `from` (the own window when null), wrapping
    // inside the parent. False when the walk comes back to where it started.
    bool moveFocus(FocusDirection direction, HWND from = nullptr);

    const std::u16string& className() const { return className_; }
    HWND toolTipWindow() const { return toolTip_; }
    WNDPROC previousWindowProc() const { return previousProc_; }

    // The toolkit object attached to a window, or null.
    static BaseWindow* fromHandle(HWND window);
    // The one procedure of every toolkit window class.
    static LRESULT toolkitWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // The class name, or the window's own once a window exists.
    std::u16string effectiveClassName() const;
    void updateToolTipRect();

    WNDPROC previousProc_ = nullptr;
    HWND toolTip_ = nullptr;
    std::u16string toolTipText_;
    std::u16string className_;
};
