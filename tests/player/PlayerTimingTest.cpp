// The whole program on the audio modules' test output, which sounds 100 ms
// after it consumes, as a real device does: a sentence played alone, and a
// sentence chosen while the lesson plays, must start at their start times.
// The lesson is white noise, so every piece of what was heard can be found in
// the file by cross-correlation. This executable lives in the program folder
// so that the audio modules and resources are found where the program finds
// them; the audio library is set up once, as in the program.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include "../audio/AudioTestSupport.h"
#include "ProgramSession.h"
#include "platform/display/Headless.h"
#include "platform/display/HeadlessAnswers.h"
#include "support/TempDir.h"

namespace headless = veltrix::platform::headless;
using namespace audiotest;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double kRate = 44100.0;

// Sentence starts (and the end of the last) in milliseconds.
constexpr int kStarts[] = {1000, 3500, 6230, 9070, 12410};
constexpr int kLastEnd = 15000;

std::string timeCode(int ms) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", ms / 60000, ms / 1000 % 60, ms / 10 % 100);
    return text;
}

class PlayerTiming : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        useDummyAudio();
        useLatencyOutput(100);
        session = std::make_unique<veltrix::test::ProgramSession>();
        lesson = std::make_unique<TempDir>();
        ASSERT_TRUE(renderNoise(lesson->native("noise.mp3"), 16.0, "-b:a 192k"));
        std::string xml =
            "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SentenceList audio=\"noise.mp3\">\n";
        for (std::size_t i = 0; i < std::size(kStarts); ++i) {
            const int end = i + 1 < std::size(kStarts) ? kStarts[i + 1] : kLastEnd;
            xml += "<SentenceGroup startTime='" + timeCode(kStarts[i]) + "' endTime='" + timeCode(end) +
                   "'>\n<sentence>\n<![CDATA[Sentence " + std::to_string(i) +
                   ". ]]>\n</sentence>\n"
                   "<translation>\n<![CDATA[]]>\n</translation>\n<explanation>\n<![CDATA[]]>\n</explanation>\n"
                   "</SentenceGroup>\n";
        }
        lesson->write("noise.xml", xml + "</SentenceList>\n");
    }
    static void TearDownTestSuite() {
        session.reset();
        lesson.reset();
        useRealOutput();
    }

    void SetUp() override {
        ASSERT_TRUE(headless::active());
        ASSERT_TRUE(heard.available()) << "the program does not play on the test output";
        ASSERT_TRUE(clock.available());
        headless::setFileDialogResponder([](const headless::FileDialogShown&) {
            return headless::FileDialogAnswer::choose(lesson->file("noise.mp3"));
        });
        ctrl('O');
        headless::setFileDialogResponder(nullptr);
        ASSERT_EQ(player().lyricsTable().getRowCount(), static_cast<int>(std::size(kStarts)));
        reference = decodeReference(BassLibrary::instance().functions(), lesson->file("noise.mp3"));
        ASSERT_GT(reference.size(), static_cast<std::size_t>(15 * kRate));
    }

    void TearDown() override {
        if (!player().core().isStopped() && player().playCaption() == u"Pause") ctrl('P');
        player().core().stopPlayback();
        run(150);
    }

    Orvella& player() { return session->app().content(); }
    void run(int ms) { session->run(ms); }
    // Runs the message loop until the output has taken `ms` milliseconds more
    // of sound: on a busy machine the output, and so what is heard, falls
    // behind the wall clock.
    void runOutput(double ms) {
        const double until = clock.ms() + ms;
        const auto giveUp = Clock::now() + std::chrono::seconds(30);
        while (clock.ms() < until && Clock::now() < giveUp) run(20);
    }
    void ctrl(int key, bool shift = false) { session->ctrl(key, shift); }

    std::vector<float> heardFrames(std::int64_t from, double ms) const {
        return heard.mono(from, static_cast<std::size_t>(ms / 1000 * kRate));
    }
    double correlationWith(const std::vector<float>& window, int sourceMs) const {
        return bestMatch(window, reference, static_cast<std::int64_t>(sourceMs / 1000.0 * kRate), 0).correlation;
    }

    // Where, among the frames heard from `from` on, the sound of `startMs`
    // began: the frame at which the file's sound from `startMs` would have
    // been heard, given where its continuation 10 to 30 ms later was heard.
    std::int64_t heardStartOf(int startMs, std::int64_t from) const {
        const auto later = static_cast<std::int64_t>((startMs + 10) / 1000.0 * kRate);
        const auto window = std::vector<float>(reference.begin() + later, reference.begin() + later + 882);
        const auto region = heard.mono(from, static_cast<std::size_t>(0.8 * kRate));
        const Match match =
            bestMatch(window, region, static_cast<std::int64_t>(0.4 * kRate), static_cast<std::int64_t>(0.4 * kRate));
        EXPECT_GT(match.correlation, 0.9) << "the sound from " << startMs << " ms was never heard";
        return from + static_cast<std::int64_t>(0.4 * kRate) + match.offset - static_cast<std::int64_t>(0.01 * kRate);
    }

    // The sound heard began within 10 ms of `startMs`: the 10 ms from 5 ms
    // after it were heard, in order, and the 10 ms before it were not.
    void expectStartsAt(int startMs, std::int64_t heardStart) {
        const auto fiveMs = static_cast<std::int64_t>(0.005 * kRate);
        EXPECT_GT(correlationWith(heardFrames(heardStart + fiveMs, 10), startMs + 5), 0.9)
            << "the first milliseconds of the sentence were not heard";
        EXPECT_LT(correlationWith(heardFrames(heardStart - 2 * fiveMs - fiveMs / 2, 10), startMs - 12), 0.5)
            << "sound from before the sentence's start was heard";
    }

    static inline std::unique_ptr<veltrix::test::ProgramSession> session;
    static inline std::unique_ptr<TempDir> lesson;
    HeardAudio heard{pluginsFolder()};
    OutputClock clock{pluginsFolder()};
    std::vector<float> reference;
};

}  // namespace

TEST_F(PlayerTiming, ASentencePlayedAloneStartsAtItsStart) {
    for (int row : {2, 0, 4}) {
        SCOPED_TRACE(row);
        player().editing().selectSentence(row);
        run(30);
        const auto pressed = Clock::now();
        ctrl('P', true);
        ASSERT_TRUE(player().audio().isPlaying());
        runOutput(600);
        const std::int64_t from = heard.frameAt(pressed);
        const std::int64_t start = heardStartOf(kStarts[row], from);
        expectStartsAt(kStarts[row], start);
        // Before it (up to a millisecond), silence: nothing of where the player
        // stood before sounded.
        const std::int64_t silent = std::max<std::int64_t>(start - from - static_cast<std::int64_t>(kRate / 1000), 0);
        EXPECT_LT(rms(heard.mono(from, static_cast<std::size_t>(silent))), 0.001);
        // The sentence timer stops it once the position passes its end.
        const auto until = Clock::now() + std::chrono::seconds(5);
        while (!player().core().isStopped() && Clock::now() < until) run(20);
        EXPECT_TRUE(player().core().isStopped());
        run(300);  // what the output still held when it stopped dies away
    }
}

TEST_F(PlayerTiming, ASentenceChosenWhilePlayingStartsAtItsStart) {
    ctrl('P');
    ASSERT_EQ(player().playCaption(), u"Pause");
    runOutput(700);
    for (int row : {3, 1}) {
        SCOPED_TRACE(row);
        const auto chosen = Clock::now();
        player().editing().selectSentence(row);  // as a click on the row does
        const int position = player().audio().getPosition();
        // Read back exactly, unless this thread woke so late that the sentence
        // has been heard since.
        if (Clock::now() - chosen < std::chrono::milliseconds(95)) {
            EXPECT_NEAR(position, kStarts[row], 5);
        }
        runOutput(600);
        expectStartsAt(kStarts[row], heardStartOf(kStarts[row], heard.frameAt(chosen)));
        EXPECT_EQ(player().lyricsTable().getValueAt(row, LyricsTable::Sentence),
                  u"Sentence " + std::u16string(1, static_cast<char16_t>(u'0' + row)) + u". ");
        EXPECT_EQ(player().lyricsView().selectedText(), player().lyricsTable().getValueAt(row, LyricsTable::Sentence));
    }
}

// F5 loops the selected sentence: the program's own timer pauses it where the
// output has taken the sentence's end, so that it is heard to stop there, and
// resumes it from the start after the gap, as heard.
TEST_F(PlayerTiming, TheStudyLoopIsHeardFromStartToEndWithItsGap) {
    StudySettings settings;
    settings.loopCount = 2;
    settings.gapMs = 600;
    StudyController& study = player().study().controller();
    study.setSettings(settings);
    player().editing().selectSentence(1);
    run(30);
    const auto pressed = Clock::now();
    const std::int64_t from = heard.frameAt(pressed);
    headless::pressKey(VK_F1 + 4);
    run(30);
    ASSERT_EQ(study.mode(), StudyMode::Loop);
    // The program's loop, woken as often as a real one would be for its timers.
    const auto until = Clock::now() + std::chrono::seconds(12);
    while (study.mode() != StudyMode::Off && Clock::now() < until) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(study.mode(), StudyMode::Off);
    run(300);
    const auto stretches = heard.stretches(from, heard.frameAt(Clock::now()));
    ASSERT_EQ(stretches.size(), 2u);
    const auto tenMs = static_cast<std::int64_t>(0.01 * kRate);
    const auto range = static_cast<std::int64_t>(0.06 * kRate);
    for (const auto& s : stretches) {
        const Match began = bestMatch(heard.mono(s.first, 441), reference,
                                      static_cast<std::int64_t>(kStarts[1] / 1000.0 * kRate), range);
        EXPECT_GT(began.correlation, 0.9);
        EXPECT_NEAR(began.offset / kRate * 1000, 0, 20) << "restarted away from the sentence's start";
        const Match ended = bestMatch(heard.mono(s.end - tenMs, 441), reference,
                                      static_cast<std::int64_t>((kStarts[2] - 10) / 1000.0 * kRate), range);
        EXPECT_GT(ended.correlation, 0.9);
        EXPECT_NEAR(ended.offset / kRate * 1000, 0, 30) << "stopped away from the sentence's end";
    }
    const auto now = Clock::now();
    const double gap = std::chrono::duration<double, std::milli>(heard.heardAt(stretches[1].first, pressed, now) -
                                                                 heard.heardAt(stretches[0].end, pressed, now))
                           .count();
    EXPECT_NEAR(gap, 600, 20);
}
