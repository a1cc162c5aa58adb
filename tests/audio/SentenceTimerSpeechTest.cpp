// The sentence timer on the real path: lessons spoken by espeak-ng, read by
// the audio modules, aligned by PocketSphinx, compared with the join's truth.
#include <gtest/gtest.h>

#include <memory>

#include "audio/AudioTestSupport.h"
#include "audio/SentenceTimer.h"
#include "audio/SpeechAudio.h"
#include "audio/SpeechLessons.h"
#include "audio/SphinxRecognizer.h"

namespace {

using speechtest::Lesson;
using speechtest::LessonOptions;

class SentenceTimerSpeechTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        audiotest::useDummyAudio();
        library_ = new BassLibrary(audiotest::pluginsFolder());
        std::u16string error;
        recognizer_ = SphinxRecognizer::create(error).release();
    }
    static void TearDownTestSuite() {
        delete recognizer_;
        delete library_;
    }
    void SetUp() override {
        ASSERT_TRUE(library_->load());
        ASSERT_NE(recognizer_, nullptr);
    }

    TimingOutcome time(const Lesson& lesson, const std::vector<std::u16string>& sentences) {
        SentenceTimer timer(*recognizer_, sentences);
        if (!timer.transcriptError().empty()) return {{}, timer.transcriptError()};
        std::u16string error;
        const auto result = readSpeechAudio(
            *library_, lesson.audio.u16string(),
            [&](std::span<const std::int16_t> block) { return timer.addSamples(block); }, error);
        EXPECT_NE(result, SpeechReadResult::Failed) << std::string(error.begin(), error.end());
        return timer.finish();
    }

    static std::vector<std::uint32_t> starts(const TimingOutcome& outcome) {
        std::vector<std::uint32_t> s;
        for (const auto& span : outcome.spans) s.push_back(span.startMs);
        return s;
    }

    void expectWithin(const Lesson& lesson, const TimingOutcome& outcome, double medianMs, double worstMs) {
        ASSERT_TRUE(outcome.ok()) << std::string(outcome.error.begin(), outcome.error.end());
        ASSERT_EQ(outcome.spans.size(), lesson.startMs.size());
        const auto errors = speechtest::startErrors(lesson, starts(outcome));
        std::string listing;
        for (std::size_t i = 0; i < errors.size(); ++i)
            listing += "\nsentence " + std::to_string(i) + ": true start " + std::to_string(lesson.startMs[i]) +
                       ", computed " + std::to_string(outcome.spans[i].startMs);
        EXPECT_LE(speechtest::percentile(errors, 0.5), medianMs) << listing;
        EXPECT_LE(speechtest::percentile(errors, 1.0), worstMs) << listing;
        for (std::size_t i = 1; i < outcome.spans.size(); ++i)
            EXPECT_GE(outcome.spans[i].startMs, outcome.spans[i - 1].startMs);
    }

    TempDir dir_;
    static inline BassLibrary* library_ = nullptr;
    static inline SphinxRecognizer* recognizer_ = nullptr;
};

TEST_F(SentenceTimerSpeechTest, PausesOfATenthToOneSecond) {
    Lesson lesson;
    LessonOptions options;
    options.pausesSeconds = {0.1, 1.0, 0.3, 0.6};
    ASSERT_TRUE(speechtest::makeLesson(dir_.path(), "pauses", speechtest::takeSentences(0, 5), options, lesson));
    expectWithin(lesson, time(lesson, lesson.sentences), 60, 150);
}

TEST_F(SentenceTimerSpeechTest, NoPausesTwoVoicesAndNoise) {
    Lesson lesson;
    LessonOptions options;
    options.pausesSeconds = {0.0};
    auto sentences = speechtest::takeSentences(5, 4);
    sentences[1].voice = sentences[3].voice = "en-gb";
    ASSERT_TRUE(speechtest::makeLesson(dir_.path(), "nopause", sentences, options, lesson));
    expectWithin(lesson, time(lesson, lesson.sentences), 150, 300);

    options.pausesSeconds = {0.4, 0.2};
    options.snrDb = 20;
    ASSERT_TRUE(speechtest::makeLesson(dir_.path(), "noise", speechtest::takeSentences(10, 4), options, lesson));
    expectWithin(lesson, time(lesson, lesson.sentences), 60, 150);
}

}  // namespace

namespace {

TEST_F(SentenceTimerSpeechTest, TranscriptsThatDoNotMatchTheSpeech) {
    Lesson lesson;
    LessonOptions options;
    options.pausesSeconds = {0.5, 0.8};
    ASSERT_TRUE(speechtest::makeLesson(dir_.path(), "mismatch", speechtest::takeSentences(20, 4), options, lesson));
    auto error = [&](std::vector<std::u16string> sentences) {
        const TimingOutcome outcome = time(lesson, sentences);
        EXPECT_TRUE(outcome.spans.empty());
        return std::string(outcome.error.begin(), outcome.error.end());
    };
    // The list lacks a sentence the audio has.
    auto missing = lesson.sentences;
    missing.erase(missing.begin() + 2);
    EXPECT_NE(error(missing).find("Is a sentence missing from the list?"), std::string::npos);
    // The list has a sentence the audio lacks.
    auto extra = lesson.sentences;
    extra.insert(extra.begin() + 2, u"My favorite season is autumn because the leaves are beautiful.");
    EXPECT_NE(error(extra).find("Is it missing from the audio?"), std::string::npos);
    // Another language altogether.
    EXPECT_NE(error({u"二人分の予約をしたいのですが。", u"コンサートは夜七時に始まります。"}).find("not English words"),
              std::string::npos);
}

}  // namespace
