// A top-level frame on the headless display holding one TextEditor, with a
// log of the notifications the editor sends its parent.
#pragma once

#include <gtest/gtest.h>

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

}  // namespace veltrix::test
