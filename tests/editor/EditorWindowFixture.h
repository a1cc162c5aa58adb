// A top-level frame on the headless display holding one TextEditor, with a
// log of the notifications the editor sends its parent.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "editor/TextEditor.h"
#include "platform/display/Headless.h"

namespace veltrix::test {

struct Notification {
    WORD code;
    WORD id;
    HWND from;
    bool operator==(const Notification&) const = default;
};

// Everything the editor told, in order: notifications to the parent and the
// listener's calls, as short names ("EN_CHANGE", "modifiedChanged" ...).
std::vector<std::string>& eventLog();

class LoggingListener : public TextEditorListener {
public:
    void textChanged(TextEditor&) override { eventLog().push_back("textChanged"); }
    void modifiedChanged(TextEditor&) override { eventLog().push_back("modifiedChanged"); }
    void caretMoved(TextEditor&) override { eventLog().push_back("caretMoved"); }
};

class EditorWindow : public ::testing::Test {
protected:
    static constexpr int kWidth = 480;
    static constexpr int kHeight = 320;

    void SetUp() override;
    void TearDown() override;
    // Re-creates the editor with another style.
    void recreate(DWORD style);
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageW(editor.getHandle(), message, wParam, lParam);
    }
    std::u16string windowText();
    void setText(const char16_t* text) { send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }
    // Input through the display, each followed by a run of the queue.
    void press(int key, int times = 1) {
        for (int i = 0; i < times; ++i) platform::headless::pressKey(key);
        platform::headless::pumpMessages();
    }
    // key with each modifier of modifiers held.
    void chord(std::initializer_list<int> modifiers, int key) {
        for (int modifier : modifiers) platform::headless::key(modifier, true);
        platform::headless::pressKey(key);
        for (int modifier : modifiers) platform::headless::key(modifier, false);
        platform::headless::pumpMessages();
    }
    void chord(int modifier, int key) { chord({modifier}, key); }
    void type(const std::u16string& text) {
        platform::headless::typeText(text);
        platform::headless::pumpMessages();
    }
    // Screen point inside the cell of a position.
    POINT cellOf(int position) {
        const POINT point = pointOf(position);
        return screen(point.x + 1, point.y + 3);
    }
    // Screen point of an editor client point.
    POINT screen(int x, int y);
    // Client point of the top-left of a position's cell (EM_POSFROMCHAR).
    POINT pointOf(int position) {
        const LRESULT packed = send(EM_POSFROMCHAR, static_cast<WPARAM>(position));
        return POINT{GET_X_LPARAM(packed), GET_Y_LPARAM(packed)};
    }
    // A pixel of the editor as last painted.
    COLORREF at(int x, int y) { return platform::headless::pixel(editor.getHandle(), x, y); }
    std::vector<std::string> takeEvents();

    HWND frame = nullptr;
    TextEditor editor;
    LoggingListener listener;
};

// The editor with the keyboard focus, for tests that type and click.
struct FocusedEditorWindow : EditorWindow {
    void SetUp() override {
        EditorWindow::SetUp();
        SetFocus(editor.getHandle());
        platform::headless::pumpMessages();
    }
};

}  // namespace veltrix::test
