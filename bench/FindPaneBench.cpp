// The find-and-replace pane over a 5 MB text of sentences with e-mail-like
// words in them: Replace All of "(\w+)@(\w+)" by "$2 at $1" as the pane runs
// it (one recorded edit), and scrolling one page with every match of that
// pattern highlighted, each with its paint (60 frames a second leave
// 16.7 ms a page).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "editor/FindAndReplacePane.h"
#include "platform/display/Headless.h"

namespace {

constexpr std::size_t kTextSize = 5u << 20;  // code units
constexpr char16_t kPattern[] = u"(\\w+)@(\\w+)";

const std::u16string kSample =
    u"Write to tanaka@example or to the office at info@school before Friday, and keep a copy for yourself.\r\n"
    u"質問は suzuki@kyoto まで送ってください。返事は三日以内に届きます。\r\n"
    u"The list of words for this week is on the board; read each one aloud twice.\r\n";

LRESULT frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

struct PaneOverText {
    HWND frame = nullptr;
    std::unique_ptr<TextEditor> editor = std::make_unique<TextEditor>();
    std::unique_ptr<FindAndReplacePane> pane;
    std::u16string text;

    PaneOverText() {
        static const bool registered = [] {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof wc;
            wc.lpfnWndProc = frameProc;
            wc.lpszClassName = u"FindBenchFrame";
            return RegisterClassExW(&wc) != 0;
        }();
        (void)registered;
        frame = CreateWindowExW(0, u"FindBenchFrame", u"Bench", WS_POPUP | WS_VISIBLE, 0, 0, 900, 700, nullptr, nullptr,
                                nullptr, nullptr);
        editor->createAt(frame, 0, 0, 900, 700);
        while (text.size() < kTextSize) text += kSample;
        reset();
        pane = std::make_unique<FindAndReplacePane>(editor.get());
        showModeless(frame, *pane);
        pane->findField().setText(kPattern);
        pane->replaceField().setText(u"$2 at $1");
    }
    ~PaneOverText() {
        pane.reset();
        editor.reset();
        DestroyWindow(frame);
    }
    void reset() {
        SendMessageW(editor->getHandle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(editor->getHandle(), EM_EMPTYUNDOBUFFER, 0, 0);
        UpdateWindow(editor->getHandle());
    }
};

void BM_ReplaceAllInFiveMegabytes(benchmark::State& state) {
    PaneOverText window;
    for (auto _ : state) {
        window.pane->replaceAll();
        state.PauseTiming();
        if (window.editor->document().length() == static_cast<int>(window.text.size()) || !window.editor->canUndo())
            state.SkipWithError("Replace All changed nothing");
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReplaceAllInFiveMegabytes)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ScrollOnePageHighlighted(benchmark::State& state) {
    PaneOverText window;
    HWND handle = window.editor->getHandle();
    window.editor->setFindHighlight(kPattern, TextEditor::kFindRegex);
    SendMessageW(handle, WM_VSCROLL, SB_TOP, 0);
    UpdateWindow(handle);
    int pages = 0;
    for (auto _ : state) {
        SendMessageW(handle, WM_VSCROLL, ++pages % 200 == 0 ? SB_TOP : SB_PAGEDOWN, 0);
        UpdateWindow(handle);
    }
    if (window.editor->findHighlightStatus() != MatchStatus::found) state.SkipWithError("the highlight was stopped");
}
BENCHMARK(BM_ScrollOnePageHighlighted)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
