#include "audio/SpeechLessons.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <random>

namespace speechtest {

namespace {

constexpr int kRate = 22050;

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::uint32_t le32(const char* p) {
    return static_cast<std::uint8_t>(p[0]) | static_cast<std::uint8_t>(p[1]) << 8 |
           static_cast<std::uint8_t>(p[2]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(p[3])) << 24;
}

// The 16-bit samples of a mono PCM WAV file (what espeak-ng writes).
bool readWav(const std::filesystem::path& path, std::vector<std::int16_t>& samples) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0) return false;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::uint32_t size = le32(&bytes[at + 4]);
        if (bytes.compare(at, 4, "data") == 0) {
            const std::size_t n = std::min<std::size_t>(size, bytes.size() - at - 8) / 2;
            samples.resize(n);
            std::memcpy(samples.data(), &bytes[at + 8], n * 2);
            return true;
        }
        at += 8 + size + (size & 1);
    }
    return false;
}

void put16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}
void put32(std::string& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

// Writes a mono 16-bit WAV file sample by sample, so that an hour of lesson
// is never held in memory; the sizes go into the header at the end.
class WavWriter {
public:
    explicit WavWriter(const std::filesystem::path& path) : file_(path, std::ios::binary) {
        file_.write(std::string(44, '\0').data(), 44);
    }
    void add(float v) {
        put16(buffer_,
              static_cast<std::uint16_t>(static_cast<std::int16_t>(std::clamp(std::lround(v), -32768L, 32767L))));
        ++samples_;
        if (buffer_.size() >= 1 << 16) flush();
    }
    std::size_t samples() const { return samples_; }
    bool finish() {
        flush();
        std::string header = "RIFF";
        put32(header, static_cast<std::uint32_t>(36 + samples_ * 2));
        header += "WAVEfmt ";
        put32(header, 16);
        put16(header, 1);
        put16(header, 1);
        put32(header, kRate);
        put32(header, kRate * 2);
        put16(header, 2);
        put16(header, 16);
        header += "data";
        put32(header, static_cast<std::uint32_t>(samples_ * 2));
        file_.seekp(0);
        file_.write(header.data(), static_cast<std::streamsize>(header.size()));
        file_.close();
        return !file_.fail();
    }

private:
    void flush() {
        file_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
    }
    std::ofstream file_;
    std::string buffer_;
    std::size_t samples_ = 0;
};

}  // namespace

const std::vector<std::string>& sampleSentences() {
    static const std::vector<std::string> sentences = {
        "Excuse me, could you tell me the way to the station?",
        "Go straight along this street and turn left at the second corner.",
        "It takes about ten minutes on foot.",
        "Thank you very much.",
        "The weather was so cold this morning that the lake was frozen.",
        "My brother works at a hospital near the river.",
        "We are going to visit our grandparents next weekend.",
        "Would you like something to drink?",
        "I usually read the newspaper before breakfast.",
        "The museum is closed on Mondays.",
        "She has been studying English for three years.",
        "Please write your name at the top of the page.",
        "How much does this blue shirt cost?",
        "The train to the airport leaves every half hour.",
        "I forgot my umbrella, so I got wet in the rain.",
        "Our teacher gave us a lot of homework today.",
        "Can you help me carry these boxes upstairs?",
        "The children played in the park until it got dark.",
        "He said that he would call me back later.",
        "There is a small bakery next to the post office.",
        "I would like to make a reservation for two people.",
        "The concert starts at seven in the evening.",
        "Could you speak a little more slowly, please?",
        "We watched a very funny movie last night.",
        "Don't forget to turn off the lights when you leave.",
        "My favorite season is autumn because the leaves are beautiful.",
        "The doctor told him to get more sleep.",
        "Where did you buy that beautiful bag?",
        "They have lived in this town since they were young.",
        "Let's meet in front of the library at noon.",
    };
    return sentences;
}

std::vector<LessonSentence> takeSentences(std::size_t first, std::size_t count, const std::string& voice) {
    std::vector<LessonSentence> taken;
    const auto& all = sampleSentences();
    for (std::size_t i = 0; i < count; ++i) taken.push_back({all[(first + i) % all.size()], voice});
    return taken;
}

bool makeLesson(const std::filesystem::path& folder, const std::string& name,
                const std::vector<LessonSentence>& sentences, const LessonOptions& options, Lesson& lesson) {
    lesson = {};
    // Each sentence spoken once per voice and cut to its speech: from the
    // first to the last sample above 1 % of full scale.
    std::map<std::pair<std::string, std::string>, std::vector<std::int16_t>> spoken;
    double speechPower = 0;
    std::size_t speechSamples = 0;
    for (std::size_t i = 0; i < sentences.size(); ++i) {
        const LessonSentence& s = sentences[i];
        auto& samples = spoken[{s.text, s.voice}];
        if (samples.empty()) {
            const std::filesystem::path wav = folder / (name + "-" + std::to_string(i) + ".wav");
            const std::string command = "espeak-ng -v " + s.voice + " -w " + shellQuoted(wav.string()) + " " +
                                        shellQuoted(s.text) + " >/dev/null 2>&1";
            if (std::system(command.c_str()) != 0 || !readWav(wav, samples) || samples.empty()) return false;
            std::filesystem::remove(wav);
            auto loud = [](std::int16_t v) { return std::abs(static_cast<int>(v)) > 328; };
            const auto first = std::find_if(samples.begin(), samples.end(), loud);
            const auto last = std::find_if(samples.rbegin(), samples.rend(), loud).base();
            if (first >= last) return false;
            samples = std::vector<std::int16_t>(first, last);
        }
        for (std::int16_t v : samples) speechPower += static_cast<double>(v) * v;
        speechSamples += samples.size();
    }
    const double noiseRms =
        options.snrDb > 0 && speechSamples > 0
            ? std::sqrt(speechPower / static_cast<double>(speechSamples)) / std::pow(10.0, options.snrDb / 20.0)
            : 0.0;
    std::mt19937 random(options.seed);
    std::normal_distribution<float> noise(0.0f, static_cast<float>(std::max(noiseRms, 1e-9)));
    const std::filesystem::path wav = folder / (name + ".wav");
    WavWriter writer(wav);
    auto add = [&](float v) { writer.add(noiseRms > 0 ? v + noise(random) : v); };
    auto quiet = [&](double seconds) {
        for (auto n = static_cast<std::size_t>(seconds * kRate); n > 0; --n) add(0.0f);
    };
    auto nowMs = [&] { return static_cast<std::uint32_t>(writer.samples() * 1000 / kRate); };
    quiet(options.leadSeconds);
    for (std::size_t i = 0; i < sentences.size(); ++i) {
        const LessonSentence& s = sentences[i];
        if (i > 0) quiet(options.pausesSeconds[(i - 1) % options.pausesSeconds.size()]);
        lesson.startMs.push_back(nowMs());
        for (std::int16_t v : spoken[{s.text, s.voice}]) add(v);
        lesson.endMs.push_back(nowMs());
        lesson.sentences.push_back(std::u16string(s.text.begin(), s.text.end()));
    }
    quiet(options.leadSeconds);
    lesson.lengthMs = nowMs();
    if (!writer.finish()) return false;
    lesson.audio = wav;
    if (options.mp3) {
        const std::filesystem::path mp3 = folder / (name + ".mp3");
        const std::string command = "lame --quiet -b 64 " + shellQuoted(wav.string()) + " " + shellQuoted(mp3.string());
        if (std::system(command.c_str()) != 0) return false;
        std::filesystem::remove(wav);
        lesson.audio = mp3;
    }
    return true;
}

std::vector<double> startErrors(const Lesson& lesson, const std::vector<std::uint32_t>& computedStarts) {
    std::vector<double> errors;
    for (std::size_t i = 0; i < lesson.startMs.size() && i < computedStarts.size(); ++i)
        errors.push_back(std::abs(static_cast<double>(computedStarts[i]) - lesson.startMs[i]));
    return errors;
}

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(std::ceil(p * static_cast<double>(values.size()))) - 1;
    return values[std::min(index, values.size() - 1)];
}

}  // namespace speechtest
