// The editor window on the headless display with a 20 MB text, word wrap on:
// opening the file up to its first paint, scrolling one page, jumping to the
// end, and typing at the end. Each timed step includes the paint it causes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "editor/TextEditor.h"
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
    state.counters["rows"] = window.editor->totalRows();
}
BENCHMARK(BM_OpenToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(3);

struct Opened {
    Window window;
    Opened() {
        window.editor->openFile(sampleFile());
        window.paint();
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

}  // namespace

int main(int argc, char** argv) {
    setenv("VELTRIX_DISPLAY", "headless", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
