#include "audio/SpeechResampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

std::int16_t toSample(double v) {
    const double scaled = std::round(v * 32767.0);
    return static_cast<std::int16_t>(std::clamp(scaled, -32768.0, 32767.0));
}

}  // namespace

SpeechResampler::SpeechResampler(int inputRate) : step_(static_cast<double>(inputRate) / kOutputRate) {
    // Below 7.2 kHz whatever the input rate, which keeps aliasing out of the
    // band the recogniser listens to; a rate at or below 16 kHz needs only
    // interpolation.
    const double cutoff = std::min(0.45 / step_, 0.45);  // in cycles per input sample
    halfWidth_ = static_cast<int>(std::ceil(8.0 / (2.0 * cutoff) * 0.5)) + 4;
    const int width = 2 * halfWidth_ + 1;
    taps_.resize(static_cast<std::size_t>((kPhases + 1) * width));
    for (int phase = 0; phase <= kPhases; ++phase) {
        const double fraction = static_cast<double>(phase) / kPhases;
        double sum = 0;
        float* row = &taps_[static_cast<std::size_t>(phase * width)];
        for (int k = 0; k < width; ++k) {
            const double t = (k - halfWidth_) - fraction;
            const double x = 2.0 * cutoff * t;
            const double sinc = x == 0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
            const double w = t / (halfWidth_ + 1);
            const double window = std::abs(w) >= 1 ? 0.0 : 0.5 + 0.5 * std::cos(std::numbers::pi * w);
            row[k] = static_cast<float>(sinc * window);
            sum += row[k];
        }
        for (int k = 0; k < width; ++k) row[k] = static_cast<float>(row[k] / sum);
    }
}

void SpeechResampler::push(std::span<const float> input, std::vector<std::int16_t>& out) {
    held_.insert(held_.end(), input.begin(), input.end());
    produce(out, false);
}

void SpeechResampler::finish(std::vector<std::int16_t>& out) { produce(out, true); }

void SpeechResampler::produce(std::vector<std::int16_t>& out, bool flushing) {
    const int width = 2 * halfWidth_ + 1;
    const std::int64_t heldEnd = heldStart_ + static_cast<std::int64_t>(held_.size());
    for (;; ++nextOutput_) {
        const double centre = static_cast<double>(nextOutput_) * step_;
        const auto whole = static_cast<std::int64_t>(std::floor(centre));
        if (flushing ? whole >= heldEnd : whole + halfWidth_ >= heldEnd) break;
        const int phase = static_cast<int>(std::lround((centre - static_cast<double>(whole)) * kPhases));
        const float* row = &taps_[static_cast<std::size_t>(phase * width)];
        double sum = 0;
        for (int k = 0; k < width; ++k) {
            const std::int64_t i = whole - halfWidth_ + k;
            if (i < heldStart_ || i >= heldEnd) continue;  // silence beyond the ends
            sum += row[k] * held_[static_cast<std::size_t>(i - heldStart_)];
        }
        out.push_back(toSample(sum));
    }
    // Keep what the next output's filter still reaches.
    const auto keepFrom = static_cast<std::int64_t>(std::floor(static_cast<double>(nextOutput_) * step_)) - halfWidth_;
    if (keepFrom > heldStart_) {
        const auto drop = std::min<std::int64_t>(keepFrom - heldStart_, static_cast<std::int64_t>(held_.size()));
        held_.erase(held_.begin(), held_.begin() + drop);
        heldStart_ += drop;
    }
}
