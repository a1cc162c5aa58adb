// The study modes in the whole program on the sample lesson, on the headless
// display, driven by their keys: the loop goes back to its sentence's start,
// auto-pause holds after a sentence with it highlighted, the ladder climbs its
// tempos, and dictation hides the sentences, marks what was typed and keeps
// its score beside the lesson. The settings file's "Study" section is read at
// start-up, as the learner left it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "ProgramSession.h"
#include "app/Paths.h"
#include "app/Settings.h"
#include "platform/display/Headless.h"
#include "platform/display/HeadlessAnswers.h"
#include "support/TempDir.h"

namespace headless = veltrix::platform::headless;

namespace {

class StudyProgram : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        session = std::make_unique<veltrix::test::ProgramSession>();
    }
    static void TearDownTestSuite() { session.reset(); }

    void SetUp() override {
        ASSERT_TRUE(headless::active());
        for (const char* name : {"AskingTheWay.mp3", "AskingTheWay.xml"})
            std::filesystem::copy_file(std::filesystem::path(appDirectory()) / "Samples" / name, folder.native(name));
        ASSERT_TRUE(player().openFile(folder.file("AskingTheWay.mp3")));
        ASSERT_GE(player().lyricsTable().getRowCount(), 4);
        StudySettings settings;
        settings.loopCount = 2;
        settings.gapMs = 300;
        settings.pauseMs = 0;
        settings.ladderTempos = {70, 100};
        settings.ladderRepeats = 1;
        study().controller().setSettings(settings);
        run(50);
    }
    void TearDown() override {
        if (study().dictationOn()) press(VK_F1 + 7);
        study().controller().stop();
        player().core().stopPlayback();
        run(150);
    }

    Orvella& player() { return session->app().content(); }
    StudyTools& study() { return player().study(); }
    void run(int ms) { session->run(ms); }
    template <typename Done>
    bool runUntil(int ms, Done done) {
        return session->runUntil(ms, done);
    }
    void press(int key) {
        headless::pressKey(key);
        run(30);
    }
    std::u16string sentence(int row) { return player().lyricsTable().cell(row, LyricsTable::Sentence); }

    static inline std::unique_ptr<veltrix::test::ProgramSession> session;
    TempDir folder;
};

TEST_F(StudyProgram, F5LoopsTheSelectedSentenceAndEndsWhereTheCountSays) {
    player().editing().selectSentence(1);
    run(30);
    const auto [start, end] = player().core().sentenceRange(1);
    press(VK_F1 + 4);
    ASSERT_EQ(study().controller().mode(), StudyMode::Loop);
    EXPECT_EQ(player().playCaption(), u"Pause") << "the loop plays as normal playback does";
    EXPECT_EQ(study().statusText(), u"Loop 1 of 2, gap 0.3 s, then stop");
    // Back at the start in the gap, then heard again from it.
    ASSERT_TRUE(runUntil(static_cast<int>(end - start) + 3000,
                         [&] { return study().controller().phase() == StudyPhase::Gap; }));
    EXPECT_EQ(player().audio().getPosition(), static_cast<int>(start));
    EXPECT_EQ(player().lyricsView().selectedText(), sentence(1));
    ASSERT_TRUE(runUntil(2000, [&] { return study().controller().phase() == StudyPhase::Playing; }));
    EXPECT_EQ(study().statusText(), u"Loop 2 of 2, gap 0.3 s, then stop");
    // After the second time: stopped, and the player back to its stopped state.
    ASSERT_TRUE(
        runUntil(static_cast<int>(end - start) + 3000, [&] { return study().controller().mode() == StudyMode::Off; }));
    EXPECT_TRUE(runUntil(500, [&] { return player().playCaption() == u"Play"; }));
    EXPECT_TRUE(player().core().isStopped());
    EXPECT_EQ(study().statusText(), u"");
}

TEST_F(StudyProgram, F6HoldsAfterEachSentenceUntilF9) {
    player().editing().selectSentence(0);
    session->ctrl('P');
    ASSERT_EQ(player().playCaption(), u"Pause");
    press(VK_F1 + 5);
    ASSERT_EQ(study().controller().mode(), StudyMode::AutoPause);
    const auto [start, end] = player().core().sentenceRange(0);
    ASSERT_TRUE(
        runUntil(static_cast<int>(end) + 3000, [&] { return study().controller().phase() == StudyPhase::Held; }));
    EXPECT_TRUE(player().audio().isPaused());
    EXPECT_EQ(study().statusText(), u"Auto-pause: F9 to go on");
    EXPECT_EQ(player().lyricsView().selectedText(), sentence(0)) << "the sentence just heard stays highlighted";
    run(400);
    EXPECT_EQ(study().controller().phase(), StudyPhase::Held) << "held until the key";
    press(VK_F1 + 8);
    EXPECT_TRUE(player().audio().isPlaying());
    // From the next sentence's start, whatever the pause overshot (30 ms of the loop have run since).
    EXPECT_GE(player().audio().getPosition(), static_cast<int>(end));
    EXPECT_LT(player().audio().getPosition(), static_cast<int>(end) + 80);
    EXPECT_EQ(study().controller().row(), 1);
    press(VK_F1 + 5);
    EXPECT_EQ(study().controller().mode(), StudyMode::Off);
    EXPECT_TRUE(player().audio().isPlaying()) << "normal playback goes on without the mode";
}

TEST_F(StudyProgram, F7ClimbsTheLadderAndGivesTheTempoFieldsTempoBack) {
    player().editing().selectSentence(2);
    run(30);
    press(VK_F1 + 6);
    ASSERT_EQ(study().controller().mode(), StudyMode::Ladder);
    EXPECT_EQ(player().audio().getTempo(), 70);
    EXPECT_EQ(study().statusText(), u"Ladder 70,100: 70%, 1 of 1");
    ASSERT_TRUE(runUntil(8000, [&] { return study().controller().ladderStep() == 1; }));
    EXPECT_EQ(player().audio().getTempo(), 100);
    EXPECT_EQ(study().controller().row(), 2);
    press(VK_F1 + 6);
    EXPECT_EQ(study().controller().mode(), StudyMode::Off);
    EXPECT_EQ(player().audio().getTempo(), player().tempo());
}

TEST_F(StudyProgram, F8HidesTheSentencesAndReturnMarksWhatWasTypedAndKeepsTheScore) {
    player().editing().selectSentence(2);
    run(30);
    press(VK_F1 + 7);
    ASSERT_TRUE(study().dictationOn());
    EXPECT_FALSE(IsWindowVisible(player().lyricsView().handle()));
    EXPECT_FALSE(IsWindowVisible(player().channels().handle()));
    DictationPane& pane = study().dictationPane();
    EXPECT_TRUE(IsWindowVisible(pane.handle()));
    EXPECT_EQ(GetFocus(), pane.input().handle());
    EXPECT_EQ(pane.heading(), u"Sentence 3 of 8");
    // Typed as heard ("Is it far from here?"), one word wrong.
    headless::typeText(u"is it fair from here");
    press(VK_RETURN);
    EXPECT_EQ(pane.heading(), u"Sentence 3 of 8    best 4 of 5 words, 1 try");
    const std::u16string scores = folder.file("AskingTheWay.dictation.txt");
    EXPECT_EQ(study().scoresPath(), scores);
    DictationScores saved;
    ASSERT_TRUE(saved.load(scores));
    ASSERT_NE(saved.find(2), nullptr);
    EXPECT_EQ(saved.find(2)->lastRight, 4);
    // The marks are drawn: the wrong word in its colour somewhere in the pane.
    headless::savePicture(player().handle(), folder.native("dictation.png").string());
    if (const char* keep = std::getenv("VELTRIX_STUDY_PICTURE")) headless::savePicture(player().handle(), keep);
    // The sentence file itself is not touched.
    EXPECT_FALSE(player().lyricsView().modified());
    // Ctrl+Down asks the next sentence afresh.
    session->ctrl(VK_DOWN);
    EXPECT_EQ(pane.heading(), u"Sentence 4 of 8");
    EXPECT_EQ(pane.input().getTextCopy(), u"");
    press(VK_F1 + 7);
    EXPECT_FALSE(study().dictationOn());
    EXPECT_TRUE(IsWindowVisible(player().lyricsView().handle()));
    EXPECT_TRUE(IsWindowVisible(player().channels().handle()));
}

}  // namespace
