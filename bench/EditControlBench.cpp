// Typing one character at the end of a one-line field that already holds a
// long text, with the repaint that follows, as a user types into the field
// of a combo box or a path field: what each keystroke costs for the field's
// length.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "platform/display/Headless.h"
#include "platform/win32.h"

namespace {

void BM_TypeAtTheEndOfAField(benchmark::State& state) {
    setenv("VELTRIX_DISPLAY", "headless", 0);
    WNDCLASSEXW wc{sizeof wc, 0,       DefWindowProcW, 0,      0, nullptr, nullptr, nullptr,
                   nullptr,   nullptr, u"EditBench",   nullptr};
    RegisterClassExW(&wc);
    HWND frame = CreateWindowExW(0, u"EditBench", u"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 120, nullptr,
                                 nullptr, nullptr, nullptr);
    std::u16string text;
    const std::u16string piece = u"Listen to 英語のニュース ";
    while (text.size() < static_cast<std::size_t>(state.range(0))) text += piece;
    text.resize(static_cast<std::size_t>(state.range(0)));
    HWND edit = CreateWindowExW(0, u"EDIT", text.c_str(), WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10, 10,
                                600, 24, frame, nullptr, nullptr, nullptr);
    SendMessageW(edit, EM_LIMITTEXT, 0, 0);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, text.size(), text.size());
    veltrix::platform::headless::pumpMessages();
    for (auto _ : state) {
        SendMessageW(edit, WM_CHAR, u'a', 1);
        UpdateWindow(edit);
        state.PauseTiming();
        SendMessageW(edit, WM_CHAR, 8, 1);
        UpdateWindow(edit);
        state.ResumeTiming();
    }
    DestroyWindow(frame);
}
BENCHMARK(BM_TypeAtTheEndOfAField)->Arg(40)->Arg(1000)->Arg(30000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
