// Repaints a 1280x800 window the way the toolkit does: everything is drawn
// into an off-screen picture, then one block transfer puts it on the window.
// The picture holds 40 lines of mixed English and Japanese text and a grid of
// 30 rows by 5 cells, each cell with its own short text.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "platform/api/GdiHandles.h"
#include "platform/win32.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;

void BM_RepaintWindow(benchmark::State& state) {
    setenv("VELTRIX_DISPLAY", "headless", 0);
    WNDCLASSEXW wc{sizeof wc, 0,       DefWindowProcW, 0,      0, nullptr, nullptr, nullptr,
                   nullptr,   nullptr, u"BenchFrame",  nullptr};
    RegisterClassExW(&wc);
    HWND frame = CreateWindowExW(0, u"BenchFrame", u"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                 nullptr, nullptr, nullptr, nullptr);
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const UniqueBitmap picture(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0));
    const UniqueDC memoryDc(CreateCompatibleDC(nullptr));
    HDC memory = memoryDc.get();
    const SelectedObject bitmapSelection(memory, picture.get());
    LOGFONTW lf{};
    lf.lfHeight = -14;
    std::u16string face = u"MS UI Gothic";
    std::copy(face.begin(), face.end(), lf.lfFaceName);
    const UniqueFont font(CreateFontIndirectW(&lf));
    const SelectedObject fontSelection(memory, font.get());
    const UniqueBrush backgroundBrush(CreateSolidBrush(RGB(255, 255, 255)));
    const UniqueBrush alternateBrush(CreateSolidBrush(RGB(240, 240, 255)));
    const UniqueBrush highlightBrush(CreateSolidBrush(RGB(255, 230, 150)));
    const HBRUSH background = backgroundBrush.get(), alternate = alternateBrush.get(), highlight = highlightBrush.get();
    const UniquePen grid(CreatePen(PS_SOLID, 1, RGB(200, 200, 200)));
    const SelectedObject penSelection(memory, grid.get());
    const std::u16string line =
        u"Listen carefully: the speaker says 彼は毎朝六時に起きて、駅まで歩きます and then repeats it slowly.";
    const std::u16string cell = u"00:12:34 日本語 cell";

    for (auto _ : state) {
        RECT all{0, 0, kWidth, kHeight};
        FillRect(memory, &all, background);
        SetBkMode(memory, TRANSPARENT);
        // The grid: 30 rows of 5 cells in the upper part.
        const int rowHeight = 18, cellWidth = kWidth / 5;
        for (int row = 0; row < 30; ++row) {
            RECT r{0, row * rowHeight, kWidth, (row + 1) * rowHeight};
            FillRect(memory, &r, row == 7 ? highlight : (row % 2 ? alternate : background));
            for (int col = 0; col < 5; ++col)
                TextOutW(memory, col * cellWidth + 4, row * rowHeight + 1, cell.data(), static_cast<int>(cell.size()));
            MoveToEx(memory, 0, (row + 1) * rowHeight - 1, nullptr);
            LineTo(memory, kWidth, (row + 1) * rowHeight - 1);
        }
        for (int col = 1; col < 5; ++col) {
            MoveToEx(memory, col * cellWidth, 0, nullptr);
            LineTo(memory, col * cellWidth, 30 * rowHeight);
        }
        // 40 lines of text below and over the rest.
        for (int i = 0; i < 40; ++i) TextOutW(memory, 8, 545 + i * 6, line.data(), static_cast<int>(line.size()));
        const ClientDC window(frame);
        BitBlt(window.get(), 0, 0, kWidth, kHeight, memory, 0, 0, SRCCOPY);
    }
    DestroyWindow(frame);
}
BENCHMARK(BM_RepaintWindow)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
