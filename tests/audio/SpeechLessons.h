// Lessons of known timing for the sentence timer: English sentences spoken by
// espeak-ng, each cut to its speech, joined with chosen pauses (none, or 0.1
// to 1 s), optionally with white noise at a given signal-to-noise ratio,
// written as a 22,050 Hz WAV file (or MP3 through lame). Where each sentence's
// speech starts and ends is known from the join.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace speechtest {

struct LessonSentence {
    std::string text;
    std::string voice = "en-us";
};

struct LessonOptions {
    std::vector<double> pausesSeconds{0.5};  // used in turn, between sentences
    double leadSeconds = 0.5;                // quiet before the first and after the last
    double snrDb = 0;                        // 0: no noise
    unsigned seed = 1;
    bool mp3 = false;
};

struct Lesson {
    std::filesystem::path audio;
    std::vector<std::u16string> sentences;
    std::vector<std::uint32_t> startMs;  // the truth
    std::vector<std::uint32_t> endMs;
    std::uint32_t lengthMs = 0;
};

// A few dozen sentences of everyday English, different lengths.
const std::vector<std::string>& sampleSentences();
// count sentences from sampleSentences(), from first on (wrapping), in voice.
std::vector<LessonSentence> takeSentences(std::size_t first, std::size_t count, const std::string& voice = "en-us");

// Speaks and joins; false when espeak-ng (or lame) failed. Sentences spoken
// alike (same text and voice) are spoken once.
bool makeLesson(const std::filesystem::path& folder, const std::string& name,
                const std::vector<LessonSentence>& sentences, const LessonOptions& options, Lesson& lesson);

// |computed - truth| per sentence, in milliseconds.
std::vector<double> startErrors(const Lesson& lesson, const std::vector<std::uint32_t>& computedStarts);
double percentile(std::vector<double> values, double p);

}  // namespace speechtest
