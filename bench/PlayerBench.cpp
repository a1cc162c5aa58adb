// The player on the headless display with SDL's silent real-time audio:
// opening a 5,000-sentence list with its MP3 until the window has painted it,
// and one playback tick (position, current sentence, highlight, panes, label)
// with the paint it causes. Runs from the program folder, where the audio
// modules and resources are.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/Paths.h"
#include "app/Settings.h"
#include "app/TestApp.h"
#include "lyrics/SentenceListFile.h"
#include "platform/display/Headless.h"
#include "text/NarrowText.h"

namespace headless = veltrix::platform::headless;

namespace {

constexpr int kSentences = 5000;

struct QuietHost : SentenceListHost {
    bool openAudio(const std::u16string&) override { return true; }
    std::u16string chooseAudioFile(std::u16string_view, const std::u16string&) override { return {}; }
    void showMessage(const std::u16string&, MessageOwner) override {}
};

// The sample's MP3 beside a list of 5,000 timed sentences with translations.
std::u16string bigLesson() {
    const auto folder = std::filesystem::temp_directory_path() / "veltrix-player-bench";
    std::filesystem::create_directories(folder);
    const auto mp3 = folder / "Lesson.mp3";
    std::filesystem::copy_file(std::filesystem::path(appDirectory()) / "Samples" / "AskingTheWay.mp3", mp3,
                               std::filesystem::copy_options::overwrite_existing);
    SentenceList list;
    list.setAudioPath(mp3.u16string());
    list.setXmlPath((folder / "Lesson.xml").u16string());
    for (int i = 0; i < kSentences; ++i) {
        const auto n = std::to_string(i);
        const std::u16string number(n.begin(), n.end());
        list.appendEntry(SentenceGroup{static_cast<std::uint32_t>(i * 7), 0,
                                       u"Sentence " + number + u" is read aloud slowly and clearly. ",
                                       u"文 " + number + u" はゆっくりはっきり読まれます。", u""});
    }
    QuietHost host;
    writeSentenceList(list, host);
    return list.xmlPath();
}

std::unique_ptr<TestApp> benchWindow;

TestApp& app() {
    if (!benchWindow) {
        setNarrowCodePage(932);
        prepareSettingsFile();
        benchWindow = std::make_unique<TestApp>(settingsFilePath());
        benchWindow->createMainWindow();
        headless::pumpMessages();
    }
    return *benchWindow;
}

void BM_OpenLargeListToFirstPaint(benchmark::State& state) {
    const std::u16string lesson = bigLesson();
    Orvella& player = app().content();
    for (auto _ : state) {
        if (!player.openFile(lesson)) state.SkipWithError("the lesson did not open");
        headless::pumpMessages();
    }
    state.counters["rows"] = player.lyricsTable().getRowCount();
}
BENCHMARK(BM_OpenLargeListToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PlaybackTick(benchmark::State& state) {
    Orvella& player = app().content();
    if (player.lyricsTable().getRowCount() < kSentences) player.openFile(bigLesson());
    player.lyricsTable().selectOnly(kSentences / 2);
    headless::pumpMessages();
    player.core().togglePlay();
    // Each tick finds the next sentence current (they start 7 ms apart), so
    // every tick moves the highlight, refills the panes and repaints.
    int position = 0;
    for (auto _ : state) {
        state.PauseTiming();
        position = (position + 7) % 30000;
        player.audio().setPosition(position);
        state.ResumeTiming();
        player.core().onTimer(PlayerCore::kPlaybackTimer);
        headless::pumpMessages();
    }
    player.core().togglePlay();
    player.core().stopPlayback();
}
BENCHMARK(BM_PlaybackTick)->Unit(benchmark::kMicrosecond)->Iterations(2000);

}  // namespace

int main(int argc, char** argv) {
    ::setenv("VELTRIX_DISPLAY", "headless", 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // Closed as the user closes it, so the audio is released before exit.
    if (benchWindow) {
        benchWindow->content().lyricsView().setModified(false);
        headless::closeWindow(benchWindow->handle());
        headless::pumpMessages();
        benchWindow.reset();
    }
    return 0;
}
