// The editor window on the headless display with a 20 MB text, word wrap on:
// opening the file up to its first paint, scrolling one page, jumping to the
// end, and typing at the end (each of these includes the paint it causes);
// a keystroke at the start, the middle and the end and the undo of one, as
// the window's messages do them (the paint comes later and is measured by
// the typing benchmark); and a pattern that backtracks without end, over a
// line of a megabyte, highlighted while painting and run by Replace All;
// pasting ten megabytes of mixed text (as UTF-8 it would fill a 10 MB file)
// into a short text, and the undo of that paste, each with its paint.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "editor/TextEditor.h"
#include "platform/display/Headless.h"
#include "text/EncodingCode.h"
#include "text/TextFile.h"

namespace {

constexpr std::size_t kFileSize = 20u << 20;

// Paragraph-long lines, so that most lines wrap into several rows.
const std::u16string kSample =
    u"The city council approved a plan on Tuesday to plant ten thousand trees along its riverside paths over "
    u"the next five years, and officials said the trees would cool the streets in summer.\r\n"
    u"市議会は火曜日、今後5年間で川沿いの遊歩道に1万本の木を植える計画を承認しました。"
    u"当局によると、木々は夏の通りを涼しくし、鳥にすみかを与えるということです。\r\n"
    u"Read the sentence aloud twice, then shadow the speaker without looking at the text.\r\n";

std::u16string sampleFile() {
    auto path = std::filesystem::temp_directory_path() / "veltrix-editor-view-bench.txt";
    if (!std::filesystem::exists(path) || std::filesystem::file_size(path) < kFileSize) {
        const std::string unit = encodeText(kSample, encoding::kUtf8);
        std::ofstream out(path, std::ios::binary);
        for (std::size_t written = 0; written < kFileSize; written += unit.size()) out << unit;
    }
    return path.u16string();
}

LRESULT frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

struct Window {
    HWND frame = nullptr;
    std::unique_ptr<TextEditor> editor = std::make_unique<TextEditor>();

    Window() {
        static const bool registered = [] {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof wc;
            wc.lpfnWndProc = frameProc;
            wc.lpszClassName = u"EditorBenchFrame";
            return RegisterClassExW(&wc) != 0;
        }();
        (void)registered;
        frame = CreateWindowExW(0, u"EditorBenchFrame", u"Bench", WS_POPUP | WS_VISIBLE, 0, 0, 900, 700, nullptr,
                                nullptr, nullptr, nullptr);
        editor->createAt(frame, 0, 0, 900, 700);
        SetFocus(editor->getHandle());
        UpdateWindow(editor->getHandle());
    }
    ~Window() {
        editor.reset();
        DestroyWindow(frame);
    }
    void paint() { UpdateWindow(editor->getHandle()); }
};

void BM_OpenToFirstPaint(benchmark::State& state) {
    const std::u16string path = sampleFile();
    Window window;
    for (auto _ : state) {
        if (!window.editor->openFile(path)) state.SkipWithError("cannot open the sample");
        window.paint();
    }
    // Rows laid out by the first paint; the rest follow on the layout timer.
    state.counters["rows"] = window.editor->totalRows();
}
BENCHMARK(BM_OpenToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(3);

// Opened and laid out whole: the layout that goes on after the first paint
// has finished.
struct Opened {
    Window window;
    Opened() {
        window.editor->openFile(sampleFile());
        window.paint();
        while (window.editor->layout().layoutPending()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            veltrix::platform::headless::pumpMessages();
        }
    }
};

Opened& opened() {
    static Opened instance;
    return instance;
}

void BM_ScrollOnePage(benchmark::State& state) {
    Window& window = opened().window;
    HWND handle = window.editor->getHandle();
    SendMessageW(handle, WM_VSCROLL, SB_TOP, 0);
    window.paint();
    for (auto _ : state) {
        SendMessageW(handle, WM_VSCROLL, SB_PAGEDOWN, 0);
        window.paint();
    }
}
BENCHMARK(BM_ScrollOnePage)->Unit(benchmark::kMicrosecond);

void BM_JumpToEnd(benchmark::State& state) {
    Window& window = opened().window;
    HWND handle = window.editor->getHandle();
    for (auto _ : state) {
        state.PauseTiming();
        SendMessageW(handle, EM_SETSEL, 0, 0);
        SendMessageW(handle, EM_SCROLLCARET, 0, 0);
        window.paint();
        state.ResumeTiming();
        // Ctrl+End: the caret to the end of the text, scrolled into view.
        SendMessageW(handle, EM_SETSEL, static_cast<WPARAM>(-1), -1);
        SendMessageW(handle, EM_SCROLLCARET, 0, 0);
        window.paint();
    }
}
BENCHMARK(BM_JumpToEnd)->Unit(benchmark::kMicrosecond);

void BM_TypeAtEnd(benchmark::State& state) {
    Window& window = opened().window;
    HWND handle = window.editor->getHandle();
    SendMessageW(handle, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    SendMessageW(handle, EM_SCROLLCARET, 0, 0);
    window.paint();
    const char16_t typed[] = u"Typing a sentence at the end. ";
    std::size_t next = 0;
    for (auto _ : state) {
        const char16_t c = typed[next++ % (std::size(typed) - 1)];
        SendMessageW(handle, WM_CHAR, c, 0);
        window.paint();
    }
}
BENCHMARK(BM_TypeAtEnd)->Unit(benchmark::kMicrosecond);

enum class Where { Start, Middle, End };

int positionOf(const TextEditor& editor, Where where) {
    const TextDocument& document = editor.document();
    switch (where) {
        case Where::Start:
            return 0;
        case Where::Middle:
            return document.lineStart(document.lineCount() / 2);
        default:
            return document.length();
    }
}

// One iteration is a hundred keystrokes; their undo afterwards is not timed.
void BM_Keystroke(benchmark::State& state, Where where) {
    Window& window = opened().window;
    HWND handle = window.editor->getHandle();
    constexpr int kKeys = 100;
    for (auto _ : state) {
        state.PauseTiming();
        const int at = positionOf(*window.editor, where);
        SendMessageW(handle, EM_SETSEL, static_cast<WPARAM>(at), at);
        state.ResumeTiming();
        for (int k = 0; k < kKeys; ++k) SendMessageW(handle, WM_CHAR, u'a' + k % 26, 0);
        state.PauseTiming();
        for (int k = 0; k < kKeys; ++k) SendMessageW(handle, EM_UNDO, 0, 0);
        SendMessageW(handle, EM_EMPTYUNDOBUFFER, 0, 0);
        window.paint();
        state.ResumeTiming();
    }
    state.counters["keystroke"] = benchmark::Counter(static_cast<double>(state.iterations() * kKeys),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK_CAPTURE(BM_Keystroke, start, Where::Start)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Keystroke, middle, Where::Middle)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Keystroke, end, Where::End)->Unit(benchmark::kMillisecond);

void BM_UndoKeystroke(benchmark::State& state, Where where) {
    Window& window = opened().window;
    HWND handle = window.editor->getHandle();
    for (auto _ : state) {
        state.PauseTiming();
        const int at = positionOf(*window.editor, where);
        SendMessageW(handle, EM_SETSEL, static_cast<WPARAM>(at), at);
        SendMessageW(handle, WM_CHAR, u'x', 0);
        state.ResumeTiming();
        SendMessageW(handle, EM_UNDO, 0, 0);
    }
    SendMessageW(handle, EM_EMPTYUNDOBUFFER, 0, 0);
}
BENCHMARK_CAPTURE(BM_UndoKeystroke, start, Where::Start)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_UndoKeystroke, middle, Where::Middle)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_UndoKeystroke, end, Where::End)->Unit(benchmark::kMicrosecond);

// Every capture up to half the line matches its copy, then "$" fails: some
// 10^11 unit comparisons unless the engine counts them and stops.
struct LongLine {
    Window window;
    LongLine() {
        const std::u16string line = std::u16string(1u << 20, u'a') + u"b";
        SendMessageW(window.editor->getHandle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(line.c_str()));
        window.paint();
    }
};

constexpr char16_t kBackReference[] = u"^(.*)\\1$";

void BM_HighlightBackReferenceOverAMegabyteLine(benchmark::State& state) {
    LongLine long_;
    for (auto _ : state) {
        long_.window.editor->setFindHighlight(kBackReference, TextEditor::kFindRegex);
        long_.window.paint();
        if (long_.window.editor->findHighlightStatus() != MatchStatus::stepLimit)
            state.SkipWithError("the highlight was not stopped as taking too long");
    }
}
BENCHMARK(BM_HighlightBackReferenceOverAMegabyteLine)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReplaceAllBackReferenceOverAMegabyteLine(benchmark::State& state) {
    LongLine long_;
    for (auto _ : state) {
        if (long_.window.editor->replaceAll(kBackReference, u"", 0) != MatchStatus::stepLimit)
            state.SkipWithError("Replace All was not stopped as taking too long");
    }
}
BENCHMARK(BM_ReplaceAllBackReferenceOverAMegabyteLine)->Unit(benchmark::kMillisecond)->Iterations(3);

// The clipboard holds the text, the editor a short one with an empty history.
struct Pasting {
    Window window;
    std::u16string text;
    Pasting() {
        const std::size_t unitBytes = encodeText(kSample, encoding::kUtf8).size();
        for (std::size_t bytes = 0; bytes < (10u << 20); bytes += unitBytes) text += kSample;
        OpenClipboard(nullptr);
        EmptyClipboard();
        HGLOBAL block = GlobalAlloc(GHND, (text.size() + 1) * sizeof(char16_t));
        std::copy(text.begin(), text.end(), static_cast<char16_t*>(GlobalLock(block)));
        GlobalUnlock(block);
        SetClipboardData(CF_UNICODETEXT, block);
        CloseClipboard();
    }
    void reset() {
        HWND handle = window.editor->getHandle();
        SendMessageW(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"A short note.\r\n"));
        SendMessageW(handle, EM_EMPTYUNDOBUFFER, 0, 0);
        SendMessageW(handle, EM_SETSEL, 5, 5);
        window.paint();
    }
};

void BM_PasteTenMegabytes(benchmark::State& state) {
    Pasting pasting;
    HWND handle = pasting.window.editor->getHandle();
    for (auto _ : state) {
        state.PauseTiming();
        pasting.reset();
        state.ResumeTiming();
        SendMessageW(handle, WM_PASTE, 0, 0);
        pasting.window.paint();
    }
    if (pasting.window.editor->document().length() != static_cast<int>(pasting.text.size()) + 15)
        state.SkipWithError("the paste is not all there");
    state.counters["units"] = static_cast<double>(pasting.text.size());
}
BENCHMARK(BM_PasteTenMegabytes)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_UndoPasteOfTenMegabytes(benchmark::State& state) {
    Pasting pasting;
    HWND handle = pasting.window.editor->getHandle();
    for (auto _ : state) {
        state.PauseTiming();
        pasting.reset();
        SendMessageW(handle, WM_PASTE, 0, 0);
        pasting.window.paint();
        state.ResumeTiming();
        SendMessageW(handle, EM_UNDO, 0, 0);
        pasting.window.paint();
    }
    if (pasting.window.editor->document().length() != 15) state.SkipWithError("the undo left text behind");
}
BENCHMARK(BM_UndoPasteOfTenMegabytes)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    setenv("VELTRIX_DISPLAY", "headless", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
