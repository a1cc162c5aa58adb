#include "EditorWindowFixture.h"

namespace veltrix::test {

namespace {

const char* codeName(WORD code) {
    switch (code) {
        case EN_SETFOCUS:
            return "EN_SETFOCUS";
        case EN_KILLFOCUS:
            return "EN_KILLFOCUS";
        case EN_CHANGE:
            return "EN_CHANGE";
        case EN_UPDATE:
            return "EN_UPDATE";
        case EN_HSCROLL:
            return "EN_HSCROLL";
        case EN_VSCROLL:
            return "EN_VSCROLL";
        default:
            return "EN_?";
    }
}

LRESULT frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && lParam != 0) {
        // The editor names itself with control id 0.
        std::string entry = codeName(HIWORD(wParam));
        if (LOWORD(wParam) != 0) entry += "(id!=0)";
        eventLog().push_back(entry);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LPCWSTR frameClass() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = frameProc;
        wc.lpszClassName = u"EditorTestFrame";
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
    return u"EditorTestFrame";
}

}  // namespace

std::vector<std::string>& eventLog() {
    static std::vector<std::string> log;
    return log;
}

void EditorWindow::SetUp() {
    ASSERT_TRUE(platform::headless::active());
    platform::headless::pumpMessages();
    frame = CreateWindowExW(0, frameClass(), u"Editor", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 80, kWidth,
                            kHeight, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(frame, nullptr);
    recreate(TextEditor::kDefaultStyle);
}

void EditorWindow::recreate(DWORD style) {
    editor.setListener(nullptr);
    editor.setStyle(style);
    ASSERT_TRUE(editor.createAt(frame, 0, 0, kWidth, kHeight));
    editor.setListener(&listener);
    platform::headless::pumpMessages();
    eventLog().clear();
}

void EditorWindow::TearDown() {
    editor.setListener(nullptr);
    editor.destroyWindow();
    if (frame) DestroyWindow(frame);
    platform::headless::pumpMessages();
    eventLog().clear();
}

std::u16string EditorWindow::windowText() {
    const auto length = static_cast<int>(send(WM_GETTEXTLENGTH));
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    const auto copied = static_cast<int>(send(WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

POINT EditorWindow::screen(int x, int y) {
    POINT point{x, y};
    ClientToScreen(editor.getHandle(), &point);
    return point;
}

std::vector<std::string> EditorWindow::takeEvents() {
    std::vector<std::string> events = eventLog();
    eventLog().clear();
    return events;
}

}  // namespace veltrix::test
