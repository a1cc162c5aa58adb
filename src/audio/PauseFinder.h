// Finds the pauses in speech: the stretches where nobody speaks, by the
// energy and the zero crossings of 10 ms frames of 16 kHz audio. Audio is fed
// block by block; only two numbers per frame are kept (an hour is 360,000
// frames), never the samples.
//
// A frame is speech when its energy stands well above the quietest frames
// heard so far (the noise floor), or a little above it with many zero
// crossings (the hiss of an "s" or "f" that starts a word). A pause is a run
// of at least kMinPauseMs of frames that are not speech; runs of speech
// shorter than kMinSpeechMs inside one are clicks and do not end it.
//
// Invariants: pauses come in time order, do not overlap, and are measured in
// milliseconds of the fed audio at 10 ms resolution: a pause's end is the
// first speech frame after it (where speech resumes), its start the first
// quiet frame.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

struct Pause {
    std::uint32_t startMs = 0;
    std::uint32_t endMs = 0;
};

class PauseFinder {
public:
    static constexpr int kFrameSamples = 160;  // 10 ms at 16 kHz
    static constexpr std::uint32_t kFrameMs = 10;
    static constexpr std::uint32_t kMinPauseMs = 80;
    static constexpr std::uint32_t kMinSpeechMs = 30;

    void push(std::span<const std::int16_t> samples);
    std::uint32_t lengthMs() const { return static_cast<std::uint32_t>(frames_.size()) * kFrameMs; }

    // The pauses that overlap [fromMs, toMs), judged by everything fed so far.
    std::vector<Pause> pauses(std::uint32_t fromMs, std::uint32_t toMs) const;
    // Per frame of [fromMs, toMs): whether it is speech (before the click rule).
    std::vector<bool> speechFrames(std::uint32_t fromMs, std::uint32_t toMs) const;

private:
    struct Frame {
        float energyDb;
        float crossings;  // zero crossings per sample, 0 to 1
    };
    struct Levels {
        float threshold;
        float hissThreshold;
    };
    Levels levels() const;
    void addFrame(std::span<const std::int16_t> frame);

    std::vector<Frame> frames_;
    std::vector<std::int16_t> partial_;  // samples of an unfinished frame
    // Frames per half decibel from -100 dB to 0 dB, for the percentiles.
    std::array<std::uint32_t, 201> histogram_{};
};
