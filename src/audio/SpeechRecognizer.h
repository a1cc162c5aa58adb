// What the sentence timer needs from a speech recogniser: whether it can say a
// word, and where a known sequence of words is spoken in a stretch of audio.
// Kept this small so that the timer's windows, snapping and checks are tested
// with a recogniser of known answers, and the real one can be replaced.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct RecognizedWord {
    std::size_t index = 0;      // into the words given to align
    std::uint32_t startMs = 0;  // from the start of the samples given
    std::uint32_t endMs = 0;
};

class SpeechRecognizer {
public:
    virtual ~SpeechRecognizer() = default;

    // The form of word (lower case ASCII) the recogniser can align, or an
    // empty text when it has no pronunciation for it.
    virtual std::string spoken(const std::string& word) = 0;

    // Aligns words, in their order, to 16 kHz mono samples. With toTheEnd the
    // whole list must be spoken; otherwise the speech may stop after any word
    // (the samples end inside the list). The result is in order, one entry per
    // word found, times ascending; empty when nothing could be aligned.
    virtual std::vector<RecognizedWord> align(std::span<const std::int16_t> samples, std::span<const std::string> words,
                                              bool toTheEnd) = 0;
};
