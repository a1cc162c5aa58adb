// The sentence table of a long audio book: 100,000 rows of three columns.
// Measures filling it through the list-view messages, selecting a row near
// the end and scrolling it into view, and painting one screen of it.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "toolkit/Graphics.h"
#include "toolkit/TableComponent.h"

namespace {

constexpr int kRows = 100000;
constexpr int kWidth = 800;
constexpr int kHeight = 600;

class Frame : public BaseWindow {
public:
    Frame() {
        createFrame();
        MoveWindow(handle(), 0, 0, kWidth, kHeight, TRUE);
        ShowWindow(handle(), SW_SHOW);
    }
};

std::u16string sentence(int i) {
    return u"Sentence " + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) +
           u": the speaker repeats the phrase slowly.";
}

void addColumns(TableComponent& table) {
    const char16_t* titles[] = {u"Start", u"Sentence", u"Translation"};
    const int widths[] = {60, 360, 360};
    for (int i = 0; i < 3; ++i) {
        std::u16string title = titles[i];
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = title.data();
        column.cx = widths[i];
        SendMessageW(table.handle(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
}

void fill(TableComponent& table) {
    std::u16string start = u"00:00:00";
    std::u16string translation = u"話し手はそのフレーズをゆっくり繰り返します。";
    for (int i = 0; i < kRows; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = start.data();
        const int row =
            static_cast<int>(SendMessageW(table.handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        table.setValueAt(sentence(i), row, 1);
        table.setValueAt(translation, row, 2);
    }
}

struct Fixture {
    Fixture() {
        setenv("VELTRIX_DISPLAY", "headless", 0);
        frame = std::make_unique<Frame>();
        table = std::make_unique<TableComponent>();
        table->create(frame->handle());
        table->setBounds(0, 0, kWidth, kHeight);
        table->setListExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
        addColumns(*table);
    }
    std::unique_ptr<Frame> frame;
    std::unique_ptr<TableComponent> table;
};

void BM_Insert100000Rows(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Fixture f;
        state.ResumeTiming();
        fill(*f.table);
        benchmark::DoNotOptimize(f.table->getRowCount());
        state.PauseTiming();
        f.table.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Insert100000Rows)->Unit(benchmark::kMillisecond);

void BM_SelectNearTheEndAndEnsureVisible(benchmark::State& state) {
    Fixture f;
    fill(*f.table);
    int row = kRows - 100;
    for (auto _ : state) {
        f.table->selectRow(row);
        f.table->ensureVisible(row);
        benchmark::DoNotOptimize(
            SendMessageW(f.table->handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        row = row == kRows - 100 ? kRows - 2000 : kRows - 100;
    }
}
BENCHMARK(BM_SelectNearTheEndAndEnsureVisible)->Unit(benchmark::kMicrosecond);

void BM_PaintOneScreen(benchmark::State& state) {
    Fixture f;
    fill(*f.table);
    f.table->selectRow(kRows - 50);
    f.table->ensureVisible(kRows - 50);
    Graphics g(kWidth, kHeight);
    for (auto _ : state) {
        f.table->paint(g);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PaintOneScreen)->Unit(benchmark::kMicrosecond);

void BM_RepaintWindow(benchmark::State& state) {
    Fixture f;
    fill(*f.table);
    f.table->ensureVisible(kRows - 50);
    for (auto _ : state) {
        InvalidateRect(f.table->handle(), nullptr, FALSE);
        UpdateWindow(f.table->handle());
    }
}
BENCHMARK(BM_RepaintWindow)->Unit(benchmark::kMicrosecond);

// A double click on a header border measures every text of the column.
void BM_AutoSizeColumnOf100000Rows(benchmark::State& state) {
    Fixture f;
    fill(*f.table);
    for (auto _ : state) benchmark::DoNotOptimize(f.table->preferredColumnWidth(1));
}
BENCHMARK(BM_AutoSizeColumnOf100000Rows)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
