// Turns mono float audio at any rate into the 16 kHz 16-bit samples the speech
// recogniser and the pause finder work on, block by block, so that an hour of
// audio never has to be held at once.
//
// Invariants: the output is the input low-passed below 7.2 kHz and sampled at
// 16 kHz, with output sample n taken at input position n x rate / 16000 (no
// delay: the filter is centred); a block's output depends only on the input so
// far, except for the filter's half width, which finish() flushes. Values are
// clipped to the 16-bit range.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

class SpeechResampler {
public:
    static constexpr int kOutputRate = 16000;

    explicit SpeechResampler(int inputRate);

    // Appends input; the 16 kHz samples it completes are added to out.
    void push(std::span<const float> input, std::vector<std::int16_t>& out);
    // The input has ended: the samples still held back are added to out.
    void finish(std::vector<std::int16_t>& out);

private:
    static constexpr int kPhases = 256;
    void produce(std::vector<std::int16_t>& out, bool flushing);

    double step_;              // input samples per output sample
    int halfWidth_;            // filter taps either side of the centre
    std::vector<float> taps_;  // kPhases + 1 rows of 2 x halfWidth_ + 1 taps
    std::vector<float> held_;  // input from heldStart_ on
    std::int64_t heldStart_ = 0;
    std::int64_t nextOutput_ = 0;
};
