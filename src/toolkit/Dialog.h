// The base of every dialog of the program: a dialog-manager window (modal or
// modeless) built from an in-memory template, its one dialog procedure that
// routes messages to overridable operations, and the standard OK / Cancel /
// Apply button bar.
//
// Invariants: handle() is the dialog's window while it exists and null
// otherwise (it is forgotten on close and when the window is destroyed);
// the object is found from its window through the window's user data. A
// dialog object outlives its modal run; a modeless dialog's window is
// destroyed with the object.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/Button.h"
#include "toolkit/WinApiWindow.h"

// Flags of addStandardButtons; each is also the button's control id and the
// dialog result it ends with.
enum StandardButton : DWORD { kOkButton = 0x40, kCancelButton = 0x80, kApplyButton = 0x100 };

class Dialog : public WinApiWindow {
public:
    Dialog();
    ~Dialog() override;

    // Modeless: destroys the window; modal: ends the dialog with result. The
    // handle is forgotten either way. True.
    virtual bool close(INT_PTR result);
    virtual void setTitle(const std::u16string& text);
    // The title from narrow text in the process's narrow code page.
    virtual void setText(std::string_view text);
    void setLocation(int x, int y) override;
    // Resizes without moving.
    virtual void setSize(int width, int height);
    // Moves, resizes and repaints.
    virtual void setBounds(int x, int y, int width, int height);
    virtual void repaintAll();
    // Centres a window of this size on the desktop and shows it.
    virtual void setSizeCentered(int width, int height);
    virtual void center();
    // What the dialog procedure answers for messages nobody handled: 0.
    virtual LRESULT defaultProc(HWND window, UINT message, WPARAM first, LPARAM second);
    // Called on WM_INITDIALOG, where subclasses build their children; its
    // answer is WM_INITDIALOG's (true: the dialog manager sets the focus).
    virtual bool createContents();
    virtual bool onOk();
    virtual bool onCancel();
    virtual bool onClose();
    virtual bool onApply();
    virtual bool onFilesDropped(const std::vector<std::u16string>& paths);
    virtual bool onTimer(UINT_PTR id, LPARAM second);
    virtual LRESULT onNotify(WPARAM first, NMHDR* header);
    // 64 onOk then close(64); 128 onCancel then close(128); 256 onApply then
    // disables Apply; anything else goes to defaultProc as WM_COMMAND.
    virtual void onCommand(HWND control, WPARAM first, WORD notificationCode);
    virtual void onSize(WPARAM first, LPARAM second);

    // Creates the buttons the flags name (OK 64, Cancel 128, Apply 256 created
    // disabled), 92 x 21 at y = client height - 30, 100 pixels apart from the
    // left, the first at window width - 112 less 100 for each of Cancel and
    // Apply present.
    void addStandardButtons(DWORD flags);
    // After every resize: from the right Apply, Cancel, OK (those that exist)
    // at window width - 112, then 100 less each; y = client height - 30.
    void layoutStandardButtons();

    Button& okButton() { return ok_; }
    Button& cancelButton() { return cancel_; }
    Button& applyButton() { return apply_; }
    bool isModeless() const { return modeless_; }

    // The one dialog procedure of all dialogs.
    static INT_PTR dialogProc(HWND window, UINT message, WPARAM first, LPARAM second);

private:
    friend bool showModal(HWND parent, Dialog& dialog);
    friend bool showModeless(HWND parent, Dialog& dialog);

    Button ok_;
    Button cancel_;
    Button apply_;
    bool modeless_ = false;
};

// Runs the dialog modally (640 x 480 dialog units until the dialog sizes
// itself). False when it ended with 0, IDCANCEL (2) or Cancel (128), and when
// no dialog could be made; true for every other result (OK is 64).
bool showModal(HWND parent, Dialog& dialog);
// Shows the dialog modeless; a dialog whose window exists is left alone.
// True when the dialog has a window afterwards.
bool showModeless(HWND parent, Dialog& dialog);
