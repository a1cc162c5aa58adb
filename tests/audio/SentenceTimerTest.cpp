// The sentence timer's windows, snapping and checks with a recogniser whose
// answers are known, on synthetic audio: "words" are bursts of noise, pauses
// are quiet. Also the resampler and the pause finder it stands on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "audio/PauseFinder.h"
#include "audio/SentenceTimer.h"
#include "audio/SpeechResampler.h"

namespace {

constexpr std::uint32_t kRate = 16000;

struct Burst {
    std::uint32_t startMs, endMs;
};

// Noise bursts at the given places in quiet with a little hiss (the noise
// floor), in a signal lengthMs long.
std::vector<std::int16_t> bursts(const std::vector<Burst>& at, std::uint32_t lengthMs, unsigned seed = 3) {
    std::mt19937 random(seed);
    std::normal_distribution<float> loud(0, 6000), hiss(0, 60);
    std::vector<std::int16_t> samples(lengthMs * kRate / 1000);
    for (auto& s : samples) s = static_cast<std::int16_t>(hiss(random));
    for (const Burst& b : at)
        for (std::uint32_t i = b.startMs * 16; i < b.endMs * 16 && i < samples.size(); ++i)
            samples[i] = static_cast<std::int16_t>(std::clamp(loud(random), -32000.0f, 32000.0f));
    return samples;
}

// Knows every word but "zorblat"; places the words where the test says each
// is spoken, as far as they lie inside the samples it is given (which it
// finds in the whole signal by their content).
class KnownRecognizer : public SpeechRecognizer {
public:
    KnownRecognizer(const std::vector<std::int16_t>& signal, std::vector<Burst> spoken)
        : signal_(signal), spoken_(std::move(spoken)) {}

    std::string spoken(const std::string& word) override { return word == "zorblat" ? "" : word; }

    std::vector<RecognizedWord> align(std::span<const std::int16_t> samples, std::span<const std::string> words,
                                      bool) override {
        ++calls;
        longestWindow = std::max(longestWindow, samples.size());
        const auto at = std::search(signal_.begin(), signal_.end(), samples.begin(), samples.begin() + 64);
        const auto offsetMs = static_cast<std::uint32_t>((at - signal_.begin()) * 1000 / kRate);
        // The timer starts each window after the last word it kept.
        std::size_t next = 0;
        while (next < spoken_.size() && spoken_[next].startMs < offsetMs) ++next;
        const std::uint32_t endMs = offsetMs + static_cast<std::uint32_t>(samples.size() * 1000 / kRate);
        std::vector<RecognizedWord> found;
        for (std::size_t i = 0; i < words.size() && next + i < spoken_.size(); ++i) {
            const Burst& b = spoken_[next + i];
            if (b.endMs > endMs || b.startMs < offsetMs) break;
            // The recogniser's edges are 20-40 ms off the true ones.
            found.push_back({i, b.startMs - offsetMs + 30, b.endMs - offsetMs - 20});
        }
        return found;
    }

    std::size_t calls = 0, longestWindow = 0;

private:
    const std::vector<std::int16_t>& signal_;
    std::vector<Burst> spoken_;
};

TimingOutcome feed(SentenceTimer& timer, const std::vector<std::int16_t>& signal, std::size_t block) {
    for (std::size_t i = 0; i < signal.size(); i += block)
        if (!timer.addSamples(std::span(signal).subspan(i, std::min(block, signal.size() - i)))) break;
    return timer.finish();
}

TEST(SpeechResamplerTest, KeepsTheBandAndDropsWhatAliases) {
    for (int rate : {44100, 48000, 22050, 16000, 8000}) {
        auto tone = [&](double hz) {
            std::vector<float> in(static_cast<std::size_t>(rate));  // one second
            for (std::size_t i = 0; i < in.size(); ++i)
                in[i] = 0.5f * static_cast<float>(std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / rate));
            SpeechResampler resampler(rate);
            std::vector<std::int16_t> out;
            // Odd blocks: the output must not depend on how the input is cut.
            for (std::size_t i = 0; i < in.size(); i += 997)
                resampler.push(std::span(in).subspan(i, std::min<std::size_t>(997, in.size() - i)), out);
            resampler.finish(out);
            return out;
        };
        const auto low = tone(440);
        EXPECT_NEAR(static_cast<double>(low.size()), 16000, 2) << rate;
        double peak = 0;
        for (std::size_t i = 2000; i < 14000; ++i) peak = std::max(peak, std::abs(low[i] / 32768.0));
        EXPECT_NEAR(peak, 0.5, 0.02) << rate;
        // Sample n of the output is at time n / 16000 of the input: no delay.
        const double expected = 0.5 * std::sin(2 * std::numbers::pi * 440 * 8000 / 16000.0);
        EXPECT_NEAR(low[8000] / 32768.0, expected, 0.02) << rate;
        if (rate > 20000) {
            const auto high = tone(10000);  // above 8 kHz: would fold to 6 kHz
            double highPeak = 0;
            for (std::size_t i = 2000; i < 14000; ++i) highPeak = std::max(highPeak, std::abs(high[i] / 32768.0));
            EXPECT_LT(highPeak, 0.01) << rate;
        }
    }
}

TEST(PauseFinderTest, FindsPausesAtTheirEdgesWhateverTheBlocks) {
    const std::vector<Burst> words = {{500, 1700}, {1790, 2600}, {3100, 4000}, {4020, 5000}};
    const auto signal = bursts(words, 6000);
    PauseFinder whole, pieces;
    whole.push(signal);
    for (std::size_t i = 0; i < signal.size(); i += 333)
        pieces.push(std::span(signal).subspan(i, std::min<std::size_t>(333, signal.size() - i)));
    const auto found = whole.pauses(0, 6000);
    // The 20 ms gap is not a pause; the 90 ms and 500 ms gaps and the edges are.
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0].startMs, 0u);
    EXPECT_EQ(found[0].endMs, 500u);
    EXPECT_EQ(found[1].startMs, 1700u);
    EXPECT_EQ(found[1].endMs, 1790u);
    EXPECT_EQ(found[2].startMs, 2600u);
    EXPECT_EQ(found[2].endMs, 3100u);
    EXPECT_EQ(found[3].startMs, 5000u);
    const auto again = pieces.pauses(0, 6000);
    ASSERT_EQ(again.size(), found.size());
    for (std::size_t i = 0; i < found.size(); ++i) EXPECT_EQ(again[i].endMs, found[i].endMs);
    EXPECT_EQ(whole.lengthMs(), 6000u);
}

// Five sentences of two words each, spread over 200 s so that several
// windows are needed; every sentence starts after a pause.
struct LongLesson {
    std::vector<Burst> words;
    std::vector<std::u16string> sentences;
    std::vector<std::int16_t> signal;
};

LongLesson longLesson(std::size_t sentences = 40) {
    LongLesson lesson;
    std::uint32_t at = 700;
    for (std::size_t s = 0; s < sentences; ++s) {
        lesson.words.push_back({at, at + 900});
        lesson.words.push_back({at + 1000, at + 2300});
        lesson.sentences.push_back(u"Word" + std::u16string(1, static_cast<char16_t>(u'a' + s % 26)) + u" two.");
        at += 2300 + 300 + static_cast<std::uint32_t>(s % 4) * 900 + (s == 12 ? 2000 : 0);
    }
    lesson.signal = bursts(lesson.words, at + 1000);
    return lesson;
}

TEST(SentenceTimerTest, WindowsThroughALongFileSnapStartsToPauses) {
    const LongLesson lesson = longLesson();
    KnownRecognizer recognizer(lesson.signal, lesson.words);
    SentenceTimer timer(recognizer, lesson.sentences);
    ASSERT_TRUE(timer.transcriptError().empty());
    const TimingOutcome outcome = feed(timer, lesson.signal, 12345);
    ASSERT_TRUE(outcome.ok()) << std::string(outcome.error.begin(), outcome.error.end());
    ASSERT_EQ(outcome.spans.size(), lesson.sentences.size());
    for (std::size_t s = 0; s < lesson.sentences.size(); ++s) {
        // The recogniser said 30 ms late; the pause's end is exact (10 ms frames).
        EXPECT_EQ(outcome.spans[s].startMs, lesson.words[2 * s].startMs) << s;
        EXPECT_EQ(outcome.spans[s].endMs, lesson.words[2 * s + 1].endMs) << s;
    }
    EXPECT_GT(recognizer.calls, 3u);
    // Windows stay near 30 s: the samples held never grow with the file.
    EXPECT_LT(recognizer.longestWindow, 42u * kRate);
}

TEST(SentenceTimerTest, TranscriptsThatDoNotFitLeaveNoTimes) {
    const LongLesson lesson = longLesson(6);
    {
        // A sentence the audio does not have, at the end.
        auto sentences = lesson.sentences;
        sentences.push_back(u"Extra words here.");
        KnownRecognizer recognizer(lesson.signal, lesson.words);
        SentenceTimer timer(recognizer, sentences);
        const TimingOutcome outcome = feed(timer, lesson.signal, 16000);
        EXPECT_TRUE(outcome.spans.empty());
        EXPECT_EQ(outcome.error,
                  u"The audio ends before Sentence 7 (\"Extra words here.\") is spoken. Is it missing "
                  u"from the audio? The sentences were left as they were.");
    }
    {
        // Speech the transcript lacks: the last sentence is not in it.
        auto sentences = lesson.sentences;
        sentences.pop_back();
        KnownRecognizer recognizer(lesson.signal, lesson.words);
        SentenceTimer timer(recognizer, sentences);
        const TimingOutcome outcome = feed(timer, lesson.signal, 16000);
        EXPECT_TRUE(outcome.spans.empty());
        EXPECT_NE(outcome.error.find(u"that is in none of the sentences"), std::u16string::npos);
    }
    {
        KnownRecognizer recognizer(lesson.signal, lesson.words);
        SentenceTimer timer(recognizer, {u"これは日本語の文です。", u"zorblat zorblat.", u"One."});
        EXPECT_EQ(timer.transcriptError(),
                  u"Most words of the sentences are not English words the recogniser "
                  u"knows, so they cannot be timed. The sentences were left as they were.");
    }
}

TEST(SentenceTimerTest, UnknownWordsAndKeptStarts) {
    EXPECT_EQ(SentenceTimer::wordsOf(u"Don't say \u2018teacher\u2019s\u2019 2 times, Ken-ichi!"),
              (std::vector<std::string>{"don't", "say", "teacher's", "2", "times", "ken", "ichi"}));
    EXPECT_EQ(SentenceTimer::wordsOf(u"日本 and").size(), 2u);

    TimingOutcome computed;
    computed.spans = {{1000, 2000}, {3000, 4000}, {5000, 0}};
    const auto kept = SentenceTimer::keepGivenStarts(computed, {std::nullopt, 3500, std::nullopt});
    ASSERT_TRUE(kept.ok());
    EXPECT_EQ(kept.spans[1].startMs, 3500u);
    EXPECT_EQ(kept.spans[1].endMs, 4000u);
    const auto crossed = SentenceTimer::keepGivenStarts(computed, {std::nullopt, std::nullopt, 2500});
    EXPECT_TRUE(crossed.spans.empty());
    EXPECT_EQ(crossed.error,
              u"The times already set do not fit the audio: sentence 3 would start before sentence "
              u"2. The sentences were left as they were.");
}

}  // namespace
