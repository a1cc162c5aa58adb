// Dictionary look-ups as the word list makes them, on a generated PDIC
// dictionary of 100,000 entries (Shift-JIS and Unicode):
//  - a prefix search in an open dictionary (target: under 1 ms), alone and
//    with the 30 hits' texts fetched;
//  - the engine's whole round (open the file, search, fetch, close), as the
//    word list makes one for every look-up;
//  - a keystroke in the key field to the result table painted (target:
//    under 16 ms), on the headless display;
//  - opening the word list dialog with 10 dictionaries in the folder, to its
//    first paint (target: under 100 ms).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "PDicWriter.h"
#include "dictionary/DictionaryEngine.h"
#include "dictionary/WordListDialog.h"
#include "platform/display/Headless.h"
#include "support/TempDir.h"

using namespace veltrix::test;

namespace {

constexpr int kEntries = 100000;

// The dictionaries and words, made once for the whole run.
struct Data {
    TempDir folder;
    std::vector<std::u16string> words = generatedHeadwords(kEntries, 100000);
    std::u16string sjis, unicode;
    Data() {
        std::vector<PDicEntry> entries;
        for (const std::u16string& word : words)
            entries.push_back(
                {word, u"意味：" + word, u"An example with " + word + u"。", u"／" + word + u"／", 3, {}});
        PDicLayout layout;
        layout.blockSize = 1024;
        layout.indexBits32 = true;
        std::filesystem::create_directories(folder.native("Dictionaries/PDIC"));
        writePDic(folder.native("Dictionaries/PDIC/large-sjis.dic"), entries, layout);
        layout.encoding = PDicLayout::Encoding::Unicode;
        writePDic(folder.native("Dictionaries/PDIC/large-unicode.dic"), entries, layout);
        sjis = folder.file("Dictionaries/PDIC/large-sjis.dic");
        unicode = folder.file("Dictionaries/PDIC/large-unicode.dic");
        // Nine small ones beside them make ten for the dialog.
        for (int i = 0; i < 8; ++i) {
            std::vector<PDicEntry> few(entries.begin() + i * 100, entries.begin() + i * 100 + 100);
            writePDic(folder.native("Dictionaries/PDIC/small" + std::to_string(i) + ".dic"), few, PDicLayout{});
        }
    }
    // Prefixes of 1 to 4 letters of words spread over the dictionary.
    std::u16string prefix(std::size_t i) const {
        const std::u16string& word = words[(i * 7919) % words.size()];
        return word.substr(0, 1 + i % std::min<std::size_t>(4, word.size()));
    }
};

Data& data() {
    static Data d;
    return d;
}

const std::u16string& pathOf(const benchmark::State& state) { return state.range(0) ? data().unicode : data().sjis; }

void BM_PrefixSearchInOpenDictionary(benchmark::State& state) {
    CPDicReader reader;
    reader.open(pathOf(state));
    std::size_t i = 0;
    int truncated = 0;
    for (auto _ : state) benchmark::DoNotOptimize(reader.search(data().prefix(i++), SearchMode::Prefix, 30, truncated));
}
BENCHMARK(BM_PrefixSearchInOpenDictionary)->Arg(0)->Arg(1)->ArgName("unicode")->Unit(benchmark::kMicrosecond);

void BM_PrefixSearchWithHitTexts(benchmark::State& state) {
    CPDicReader reader;
    reader.open(pathOf(state));
    std::size_t i = 0;
    int truncated = 0;
    PDicHitTexts texts;
    for (auto _ : state) {
        const int hits = reader.search(data().prefix(i++), SearchMode::Prefix, 30, truncated);
        for (int n = 0; n < hits; ++n) reader.hitAt(n, texts);
    }
}
BENCHMARK(BM_PrefixSearchWithHitTexts)->Arg(0)->Arg(1)->ArgName("unicode")->Unit(benchmark::kMicrosecond);

void BM_EngineOpenSearchFetchClose(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        DictionaryEngine engine;
        engine.open(pathOf(state));
        int truncated = 0;
        const int hits = engine.search(data().prefix(i++), SearchMode::Prefix, 30, truncated);
        DictionaryHit hit;
        for (int n = 0; n < hits; ++n) engine.hitAt(n, hit);
    }
}
BENCHMARK(BM_EngineOpenSearchFetchClose)->Arg(0)->Arg(1)->ArgName("unicode")->Unit(benchmark::kMicrosecond);

class Frame : public BaseWindow {
public:
    Frame() {
        createFrame();
        MoveWindow(handle(), 0, 0, 800, 600, TRUE);
        ShowWindow(handle(), SW_SHOW);
    }
};

void BM_KeystrokeToResultsPainted(benchmark::State& state) {
    Frame frame;
    Element words(u"WordList");
    WordListDialog dialog(words);
    dialog.pane().setDictionaryRoot(data().folder.path().u16string() + u"/");
    showModeless(frame.handle(), dialog);
    WordListPane& pane = dialog.pane();
    // The large dictionary of the benchmark's encoding.
    const std::u16string chosen =
        state.range(0) ? u"Dictionaries/PDIC/large-unicode.dic" : u"Dictionaries/PDIC/large-sjis.dic";
    for (int i = 0; i < pane.dictionaryBox().itemCount(); ++i)
        if (pane.dictionaryBox().itemText(i) == chosen) pane.dictionaryBox().setSelectedIndex(i);
    veltrix::platform::headless::pumpMessages();
    SetFocus(pane.keyField().handle());
    std::size_t i = 0;
    std::u16string word;
    std::size_t next = 0;
    for (auto _ : state) {
        // One more letter of a word (up to four, then the next word), the
        // look-up that the pause in typing starts, and the paint.
        if (next >= std::min<std::size_t>(4, word.size())) {
            word = data().words[(i++ * 7919) % data().words.size()];
            pane.keyField().setText(u"");
            next = 0;
        }
        veltrix::platform::headless::typeText(std::u16string(1, word[next++]));
        SendMessageW(pane.handle(), WM_TIMER, WordListPane::kSearchTimer, 0);
        veltrix::platform::headless::pumpMessages();
    }
    state.counters["rows"] = pane.resultTable().getRowCount();
    dialog.close(0);
}
BENCHMARK(BM_KeystrokeToResultsPainted)->Arg(0)->Arg(1)->ArgName("unicode")->Unit(benchmark::kMillisecond);

void BM_OpenDialogWithTenDictionaries(benchmark::State& state) {
    Frame frame;
    Element words(u"WordList");
    for (int i = 0; i < 200; ++i) {
        auto word = std::make_unique<Element>(u"Word");
        word->setAttribute(u"key", data().words[static_cast<std::size_t>(i)]);
        words.appendChild(std::move(word));
    }
    WordListDialog dialog(words);
    dialog.pane().setDictionaryRoot(data().folder.path().u16string() + u"/");
    for (auto _ : state) {
        showModeless(frame.handle(), dialog);
        veltrix::platform::headless::pumpMessages();
        state.PauseTiming();
        state.counters["dictionaries"] = dialog.pane().dictionaryBox().itemCount() - 1;
        dialog.close(0);
        veltrix::platform::headless::pumpMessages();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenDialogWithTenDictionaries)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("VELTRIX_DISPLAY", "headless", 0);
    benchmark::Initialize(&argc, argv);
    data();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
