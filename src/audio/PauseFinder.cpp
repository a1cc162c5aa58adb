#include "audio/PauseFinder.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kFloorDb = -100.0f;

int binOf(float db) { return std::clamp(static_cast<int>((db - kFloorDb) * 2.0f), 0, 200); }
float dbOfBin(int bin) { return kFloorDb + static_cast<float>(bin) * 0.5f; }

}  // namespace

void PauseFinder::push(std::span<const std::int16_t> samples) {
    std::size_t i = 0;
    if (!partial_.empty()) {
        const std::size_t take = std::min(samples.size(), kFrameSamples - partial_.size());
        partial_.insert(partial_.end(), samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(take));
        i = take;
        if (partial_.size() < static_cast<std::size_t>(kFrameSamples)) return;
        addFrame(partial_);
        partial_.clear();
    }
    for (; i + kFrameSamples <= samples.size(); i += kFrameSamples) addFrame(samples.subspan(i, kFrameSamples));
    partial_.assign(samples.begin() + static_cast<std::ptrdiff_t>(i), samples.end());
}

void PauseFinder::addFrame(std::span<const std::int16_t> frame) {
    double power = 0;
    int crossings = 0;
    for (std::size_t i = 0; i < frame.size(); ++i) {
        const double v = frame[i] / 32768.0;
        power += v * v;
        if (i > 0 && ((frame[i] >= 0) != (frame[i - 1] >= 0))) ++crossings;
    }
    power /= static_cast<double>(frame.size());
    const float db = std::max(kFloorDb, static_cast<float>(10.0 * std::log10(power + 1e-12)));
    frames_.push_back({db, static_cast<float>(crossings) / static_cast<float>(frame.size())});
    ++histogram_[static_cast<std::size_t>(binOf(db))];
}

PauseFinder::Levels PauseFinder::levels() const {
    const std::uint32_t total = static_cast<std::uint32_t>(frames_.size());
    auto percentile = [&](double p) {
        const auto wanted = static_cast<std::uint32_t>(p * total);
        std::uint32_t seen = 0;
        for (int bin = 0; bin <= 200; ++bin) {
            seen += histogram_[static_cast<std::size_t>(bin)];
            if (seen > wanted) return dbOfBin(bin);
        }
        return 0.0f;
    };
    const float floor = percentile(0.05);
    const float loud = percentile(0.95);
    // Speech sits 20 dB or more above the noise at the signal-to-noise ratios
    // this is meant for; a quarter of the way up catches word onsets without
    // taking the noise's own swings for speech.
    const float threshold = floor + std::max(6.0f, 0.25f * (loud - floor));
    return {threshold, floor + std::max(3.0f, 0.12f * (loud - floor))};
}

std::vector<bool> PauseFinder::speechFrames(std::uint32_t fromMs, std::uint32_t toMs) const {
    const std::size_t from = std::min<std::size_t>(fromMs / kFrameMs, frames_.size());
    const std::size_t to = std::clamp<std::size_t>(toMs / kFrameMs, from, frames_.size());
    std::vector<bool> speech(to - from);
    const Levels l = levels();
    for (std::size_t f = from; f < to; ++f) {
        const Frame& frame = frames_[f];
        speech[f - from] = frame.energyDb > l.threshold || (frame.energyDb > l.hissThreshold && frame.crossings > 0.3f);
    }
    return speech;
}

std::vector<Pause> PauseFinder::pauses(std::uint32_t fromMs, std::uint32_t toMs) const {
    // Judge a little beyond the range, so that a pause crossing its ends is
    // measured whole.
    const std::uint32_t margin = 2000;
    const std::uint32_t start = fromMs > margin ? fromMs - margin : 0;
    std::vector<bool> speech = speechFrames(start, toMs + margin);
    // Clicks: short runs of speech inside quiet are quiet.
    const std::size_t minSpeech = kMinSpeechMs / kFrameMs;
    for (std::size_t i = 0; i < speech.size();) {
        if (!speech[i]) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < speech.size() && speech[j]) ++j;
        if (j - i < minSpeech && i > 0 && j < speech.size()) std::fill(speech.begin() + i, speech.begin() + j, false);
        i = j;
    }
    std::vector<Pause> found;
    const std::size_t minPause = kMinPauseMs / kFrameMs;
    for (std::size_t i = 0; i < speech.size();) {
        if (speech[i]) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < speech.size() && !speech[j]) ++j;
        const auto pauseStart = start + static_cast<std::uint32_t>(i) * kFrameMs;
        const auto pauseEnd = start + static_cast<std::uint32_t>(j) * kFrameMs;
        // The audio's start and end count as pauses however short.
        const bool atEdge = pauseStart == 0 || j == speech.size();
        if ((j - i >= minPause || atEdge) && pauseEnd > fromMs && pauseStart < toMs)
            found.push_back({pauseStart, pauseEnd});
        i = j;
    }
    return found;
}
