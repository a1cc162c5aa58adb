// Times an untimed transcript: finds where each sentence starts and ends in
// the audio it was spoken in.
//
// The audio comes in blocks of 16 kHz mono samples as it is decoded and is
// worked through in windows of about half a minute that begin and end in
// pauses; each window's samples are dropped once its words are placed, so an
// hour takes a few megabytes. In each window the recogniser aligns the next
// stretch of the transcript's words; the words placed safely before the
// window's end are kept and the next window starts where they end. A
// sentence then starts where speech resumes after the pause nearest before
// its first word (the recogniser's own word edges are coarser), and ends where
// the pause after its last word begins.
//
// Words the recogniser cannot say (names, numbers, other scripts) are left
// out of the alignment; a sentence with none it can say gets the times
// between its neighbours.
//
// Invariants: a successful outcome has one span per sentence, starts never
// decrease from one sentence to the next, and each end is after its start
// or 0 (none). A transcript that does not fit the audio (the audio holds
// speech it lacks, or lacks a sentence it has, or it is not English) gives
// an error text instead and no spans.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "audio/PauseFinder.h"
#include "audio/SpeechRecognizer.h"

// "m:ss" of a time, as the timer's messages and its progress show it.
std::u16string minutesAndSeconds(std::uint32_t ms);

struct TimedSpan {
    std::uint32_t startMs = 0;
    std::uint32_t endMs = 0;  // 0: none
};

struct TimingOutcome {
    std::vector<TimedSpan> spans;
    std::u16string error;
    bool ok() const { return error.empty(); }
};

class SentenceTimer {
public:
    static constexpr std::uint32_t kRate = 16000;
    static constexpr std::uint32_t kWindowMs = 30000;

    SentenceTimer(SpeechRecognizer& recognizer, const std::vector<std::u16string>& sentences);

    // Empty when the transcript can be timed at all; otherwise why not
    // (checked before any audio is decoded).
    const std::u16string& transcriptError() const { return error_; }

    // More audio; aligns the windows it completes. False once the transcript
    // has been found not to fit (finish() then gives the reason).
    bool addSamples(std::span<const std::int16_t> samples);
    // The audio has ended: aligns the rest and checks the result.
    TimingOutcome finish();

    // Sentences whose start is given (kept from before) take it; the others
    // take the computed one. An error when the result would go backwards.
    static TimingOutcome keepGivenStarts(TimingOutcome computed,
                                         const std::vector<std::optional<std::uint32_t>>& given);

    // The words of a sentence as the recogniser is asked about them: runs of
    // letters, digits and apostrophes, lower-cased.
    static std::vector<std::string> wordsOf(std::u16string_view sentence);

private:
    struct Word {
        std::string spoken;
        std::size_t sentence = 0;
        std::optional<std::pair<std::uint32_t, std::uint32_t>> placed;  // absolute ms
    };

    std::uint64_t bufferEnd() const { return bufferStart_ + buffer_.size(); }
    bool alignWindow(bool last);
    std::uint64_t chooseWindowEnd() const;
    void dropBefore(std::uint64_t sample);
    bool fail(std::u16string message);
    std::u16string checkFit(const std::vector<TimedSpan>& spans) const;
    std::vector<TimedSpan> spansFromWords() const;

    SpeechRecognizer& recognizer_;
    std::vector<std::u16string> sentences_;
    std::vector<Word> words_;  // the words the recogniser can say, in order
    PauseFinder pauses_;
    std::vector<std::int16_t> buffer_;  // samples from bufferStart_ on
    std::uint64_t bufferStart_ = 0;
    std::uint64_t cursor_ = 0;  // the next window's first sample
    std::size_t nextWord_ = 0;
    std::u16string error_;
};
