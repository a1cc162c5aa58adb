// The modules in Plugins/, driven through their published functions as the
// player looks them up: lengths, seeking, tempo, pitch, volume, plug-ins,
// encoders and the error codes of bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <random>

#include "AudioTestSupport.h"

using namespace audiotest;

namespace {

class BassModulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        useDummyAudio();
        ASSERT_TRUE(library.load());
    }

    HSTREAM openDecoding(const std::u16string& path, BASS_DWORD flags = 0) {
        return f().StreamCreateFile(0, path.c_str(), 0, 0, BASS_UNICODE | BASS_STREAM_DECODE | flags);
    }
    const BassFunctions& f() const { return library.functions(); }
    double seconds(HSTREAM h, BASS_QWORD bytes) const { return extra.ChannelBytes2Seconds(h, bytes); }

    TempDir dir;
    MessageRecorder boxes;
    BassLibrary library{pluginsFolder()};
    ExtraFunctions extra{pluginsFolder()};
};

struct LengthCase {
    const char* file;
    const char* options;
};

void PrintTo(const LengthCase& c, std::ostream* os) { *os << c.file << " " << c.options; }

class PrescanLength : public BassModulesTest, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(PrescanLength, IsTheDecodedLength) {
    const auto& c = GetParam();
    ASSERT_TRUE(render(dir.native(c.file), "sine=frequency=440:sample_rate=44100:duration=2.5", c.options));
    HSTREAM h = openDecoding(dir.file(c.file), BASS_STREAM_PRESCAN);
    ASSERT_NE(h, 0u) << f().ErrorGetCode();
    const double length = seconds(h, f().ChannelGetLength(h, BASS_POS_BYTE));
    // Within 30 ms of what the file decodes to (encoders may drop a partial
    // last frame), and of what was rendered.
    EXPECT_NEAR(length, secondsDecodedByFfmpeg(dir.native(c.file)), 0.03);
    EXPECT_NEAR(length, 2.5, 0.05);
    // What the stream decodes agrees with the length it reports.
    const auto samples = decodeAll(f(), h);
    EXPECT_NEAR(samples.size() / 2.0 / 44100.0, length, 0.002);
    EXPECT_EQ(f().ChannelIsActive(h), BASS_ACTIVE_STOPPED);
    EXPECT_TRUE(f().StreamFree(h));
}

INSTANTIATE_TEST_SUITE_P(Formats, PrescanLength,
                         ::testing::Values(LengthCase{"tone.wav", "-ac 2"}, LengthCase{"tone.mp3", "-ac 2 -b:a 128k"},
                                           LengthCase{"vbr.mp3", "-ac 2 -q:a 4"},
                                           LengthCase{"tone.ogg", "-ac 2 -c:a libvorbis"},
                                           LengthCase{"tone.wma", "-ac 2 -c:a wmav2"}),
                         [](const auto& test) {
                             std::string name = test.param.file;
                             for (auto& ch : name)
                                 if (ch == '.') ch = '_';
                             return name;
                         });

class SeekAccuracy : public BassModulesTest, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(SeekAccuracy, LandsWithinTenMilliseconds) {
    const auto& c = GetParam();
    ASSERT_TRUE(renderOnset(dir.native(c.file), 3.0, 1.0, c.options));
    HSTREAM h = openDecoding(dir.file(c.file), BASS_STREAM_PRESCAN);
    ASSERT_NE(h, 0u) << f().ErrorGetCode();
    // From the start, the tone begins at 3.000 s (ffmpeg's WMA pair loses its
    // first block, which moves everything 46 ms earlier).
    auto all = decodeAll(f(), h);
    const double onset = firstLoudFrame(all, 2, 0.05f) / 44100.0;
    EXPECT_NEAR(onset, 3.0, std::string(c.file).ends_with(".wma") ? 0.05 : 0.010);
    // Backwards and forwards, the tone starts where the position says it does.
    for (double target : {2.9, 0.5, 2.95, 1.7}) {
        ASSERT_TRUE(f().ChannelSetPosition(h, f().ChannelSeconds2Bytes(h, target), BASS_POS_BYTE)) << target;
        EXPECT_NEAR(seconds(h, f().ChannelGetPosition(h, BASS_POS_BYTE)), target, 0.001);
        auto rest = decodeAll(f(), h);
        EXPECT_NEAR(target + firstLoudFrame(rest, 2, 0.05f) / 44100.0, onset, 0.010) << target;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, SeekAccuracy,
                         ::testing::Values(LengthCase{"onset.wav", ""}, LengthCase{"onset.mp3", "-b:a 128k"},
                                           LengthCase{"onset_vbr.mp3", "-q:a 5"},
                                           LengthCase{"onset.ogg", "-c:a libvorbis"},
                                           LengthCase{"onset.wma", "-c:a wmav2"}),
                         [](const auto& test) {
                             std::string name = test.param.file;
                             for (auto& ch : name)
                                 if (ch == '.') ch = '_';
                             return name;
                         });

TEST_F(BassModulesTest, BytePositionsConvertWithTheStreamsByteRate) {
    ASSERT_TRUE(render(dir.native("mono.wav"), "sine=frequency=440:sample_rate=22050:duration=1", "-ac 1"));
    HSTREAM h = openDecoding(dir.file("mono.wav"), BASS_STREAM_PRESCAN);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(f().ChannelSeconds2Bytes(h, 1.0), 44100u);  // 22050 frames of one 16-bit sample
    EXPECT_EQ(f().ChannelSeconds2Bytes(h, 0.5), 22050u);
    EXPECT_EQ(f().ChannelGetLength(h, BASS_POS_BYTE), 44100u);
}

TEST_F(BassModulesTest, TempoChangesTheOutputLengthButNotThePositions) {
    ASSERT_TRUE(render(dir.native("tone.wav"), "sine=frequency=440:sample_rate=44100:duration=4", "-ac 2"));
    for (float tempo : {100.0f, -50.0f, 260.0f}) {
        HSTREAM source = openDecoding(dir.file("tone.wav"), BASS_STREAM_PRESCAN);
        HSTREAM h = f().FX_TempoCreate(source, BASS_FX_FREESOURCE | BASS_STREAM_DECODE);
        ASSERT_NE(h, 0u);
        ASSERT_TRUE(f().ChannelSetAttribute(h, BASS_ATTRIB_TEMPO, tempo));
        EXPECT_NEAR(seconds(h, f().ChannelGetLength(h, BASS_POS_BYTE)), 4.0, 0.001);
        auto out = decodeAll(f(), h);
        EXPECT_NEAR(out.size() / 2.0 / 44100.0, 4.0 / (1.0 + tempo / 100.0), 0.06) << tempo;
        EXPECT_NEAR(seconds(h, f().ChannelGetPosition(h, BASS_POS_BYTE)), 4.0, 0.001);
        EXPECT_NEAR(toneFrequency(out, 2, 44100), 440.0, 5.0) << tempo;
        EXPECT_TRUE(f().StreamFree(h));
        EXPECT_FALSE(f().StreamFree(source)) << "freed with its tempo stream";
        EXPECT_EQ(f().ErrorGetCode(), BASS_ERROR_HANDLE);
    }
}

// Stretching repeats or skips short pieces of the sound; the position a tempo
// stream reports names the sound it has just delivered, on average over the
// pieces, at every tempo and pitch.
TEST_F(BassModulesTest, TheReportedPositionNamesTheStretchedSound) {
    ASSERT_TRUE(renderNoise(dir.native("noise.wav"), 20.0));
    const auto reference = decodeReference(f(), dir.file("noise.wav"));
    struct Case {
        float tempo;
        float pitch;
    };
    for (const Case c : {Case{-50, 0}, Case{-20, 0}, Case{50, 0}, Case{100, 0}, Case{-30, 3}, Case{0, -4}}) {
        SCOPED_TRACE(::testing::Message() << "tempo " << c.tempo << " pitch " << c.pitch);
        HSTREAM h = f().FX_TempoCreate(openDecoding(dir.file("noise.wav"), BASS_STREAM_PRESCAN),
                                       BASS_FX_FREESOURCE | BASS_STREAM_DECODE);
        ASSERT_NE(h, 0u);
        f().ChannelSetAttribute(h, BASS_ATTRIB_TEMPO, c.tempo);
        f().ChannelSetAttribute(h, BASS_ATTRIB_TEMPO_PITCH, c.pitch);
        ASSERT_TRUE(f().ChannelSetPosition(h, f().ChannelSeconds2Bytes(h, 2.0), BASS_POS_BYTE));
        std::vector<float> block(2048 * 2);
        std::vector<double> offsets;
        for (int i = 0; i < 150; ++i) {
            const BASS_DWORD got =
                f().ChannelGetData(h, block.data(), static_cast<BASS_DWORD>(block.size() * 4) | BASS_DATA_FLOAT);
            if (got != block.size() * 4) break;
            if (c.pitch != 0) continue;  // a shifted pitch is not the file's sound; its positions are checked below
            // The last 10 ms delivered, against the file around the position after them.
            const double position = seconds(h, f().ChannelGetPosition(h, BASS_POS_BYTE)) * 44100;
            std::vector<float> window;
            for (std::size_t k = 2048 - 441; k < 2048; ++k) window.push_back(block[k * 2]);
            const Match m = bestMatch(window, reference, static_cast<std::int64_t>(position) - 441, 2205);
            if (m.correlation > 0.6) offsets.push_back(m.offset / 44.1);
        }
        if (c.pitch == 0) {
            ASSERT_GT(offsets.size(), 50u);
            std::sort(offsets.begin(), offsets.end());
            EXPECT_NEAR(offsets[offsets.size() / 2], 0.0, 5.0) << "ms";
        } else {
            // The time line still follows the tempo alone.
            const double delivered = 150 * 2048 / 44100.0;
            EXPECT_NEAR(seconds(h, f().ChannelGetPosition(h, BASS_POS_BYTE)) - 2.0, delivered * (1 + c.tempo / 100),
                        0.05);
        }
        f().StreamFree(h);
    }
}

TEST_F(BassModulesTest, WithoutPrescanTheEndOfDecodingFixesTheLength) {
    ASSERT_TRUE(render(dir.native("tone.mp3"), "sine=frequency=440:sample_rate=44100:duration=3", "-ac 2 -q:a 6"));
    HSTREAM h = f().FX_TempoCreate(openDecoding(dir.file("tone.mp3")), BASS_FX_FREESOURCE | BASS_STREAM_DECODE);
    ASSERT_NE(h, 0u);
    const double estimate = seconds(h, f().ChannelGetLength(h, BASS_POS_BYTE));
    EXPECT_NEAR(estimate, 3.0, 0.1);
    auto out = decodeAll(f(), h);
    EXPECT_NEAR(out.size() / 2.0 / 44100.0, 3.0, 0.03) << "the whole file plays, whatever the estimate";
    EXPECT_NEAR(seconds(h, f().ChannelGetLength(h, BASS_POS_BYTE)), 3.0, 0.03);
    EXPECT_EQ(f().ChannelGetPosition(h, BASS_POS_BYTE), f().ChannelGetLength(h, BASS_POS_BYTE));
}

TEST_F(BassModulesTest, PitchShiftsTheToneAndKeepsTheLength) {
    ASSERT_TRUE(render(dir.native("tone.wav"), "sine=frequency=440:sample_rate=44100:duration=3", "-ac 2"));
    for (float semitones : {12.0f, -12.0f, 30.0f, -15.0f}) {
        HSTREAM h = f().FX_TempoCreate(openDecoding(dir.file("tone.wav"), BASS_STREAM_PRESCAN),
                                       BASS_FX_FREESOURCE | BASS_STREAM_DECODE);
        ASSERT_NE(h, 0u);
        ASSERT_TRUE(f().ChannelSetAttribute(h, BASS_ATTRIB_TEMPO_PITCH, semitones));
        auto out = decodeAll(f(), h);
        EXPECT_NEAR(out.size() / 2.0 / 44100.0, 3.0, 0.06) << semitones;
        EXPECT_NEAR(toneFrequency(out, 2, 44100), 440.0 * std::pow(2.0, semitones / 12.0), 12.0) << semitones;
        f().StreamFree(h);
    }
}

TEST_F(BassModulesTest, VolumeScalesTheSamples) {
    ASSERT_TRUE(render(dir.native("tone.wav"), "sine=frequency=440:sample_rate=44100:duration=1", "-ac 2"));
    HSTREAM plain = openDecoding(dir.file("tone.wav"));
    HSTREAM quiet = openDecoding(dir.file("tone.wav"));
    ASSERT_TRUE(f().ChannelSetAttribute(quiet, BASS_ATTRIB_VOL, 0.25f));
    float volume = 0;
    ASSERT_TRUE(extra.ChannelGetAttribute(quiet, BASS_ATTRIB_VOL, &volume));
    EXPECT_FLOAT_EQ(volume, 0.25f);
    EXPECT_NEAR(rms(decodeAll(f(), quiet)) / rms(decodeAll(f(), plain)), 0.25, 0.01);
}

TEST_F(BassModulesTest, BadInputGivesTheErrorCodes) {
    dir.write("text.mp3", "This is a text file with an audio file's name.\n");
    dir.write("empty.mp3", "");
    std::filesystem::create_directory(dir.native("folder.mp3"));
    struct Case {
        const char* file;
        int code;
    };
    for (const Case& c : {Case{"missing.mp3", BASS_ERROR_FILEOPEN}, Case{"folder.mp3", BASS_ERROR_FILEOPEN},
                          Case{"text.mp3", BASS_ERROR_FILEFORM}, Case{"empty.mp3", BASS_ERROR_FILEFORM}}) {
        EXPECT_EQ(openDecoding(dir.file(c.file), BASS_STREAM_PRESCAN), 0u) << c.file;
        EXPECT_EQ(f().ErrorGetCode(), c.code) << c.file;
    }
    EXPECT_EQ(f().ChannelPlay(12345, 0), 0);
    EXPECT_EQ(f().ErrorGetCode(), BASS_ERROR_HANDLE);
}

TEST_F(BassModulesTest, DamagedFilesDecodeWhatTheyCanWithoutCrashing) {
    ASSERT_TRUE(render(dir.native("tone.mp3"), "sine=frequency=440:duration=3", "-ac 2 -b:a 128k"));
    ASSERT_TRUE(render(dir.native("tone.ogg"), "sine=frequency=440:duration=3", "-ac 2 -c:a libvorbis"));
    for (const char* name : {"tone.mp3", "tone.ogg"}) {
        const std::string bytes = dir.read(name);
        // Cut in half, and with a stretch of garbage in the middle.
        dir.write(std::string("cut_") + name, bytes.substr(0, bytes.size() / 2));
        std::string garbled = bytes;
        for (std::size_t i = bytes.size() / 3; i < bytes.size() / 3 + 4000 && i < bytes.size(); ++i)
            garbled[i] = static_cast<char>((i * 7919) & 0xFF);
        dir.write(std::string("garbled_") + name, garbled);
        for (const std::string& damaged : {std::string("cut_") + name, std::string("garbled_") + name}) {
            HSTREAM h = openDecoding(dir.file(damaged), BASS_STREAM_PRESCAN);
            if (h == 0) {
                EXPECT_EQ(f().ErrorGetCode(), BASS_ERROR_FILEFORM) << damaged;
                continue;
            }
            auto samples = decodeAll(f(), h);
            EXPECT_LE(samples.size() / 2.0 / 44100.0, 3.1) << damaged;
            // Seeking past what the damaged file holds fails cleanly or lands.
            f().ChannelSetPosition(h, f().ChannelSeconds2Bytes(h, 2.9), BASS_POS_BYTE);
            decodeAll(f(), h);
            f().StreamFree(h);
        }
    }
}

// Random damage to real files: every open either fails with a code or decodes
// to an end. VELTRIX_FUZZ_ROUNDS raises the count for a longer run by hand.
TEST_F(BassModulesTest, RandomlyDamagedFilesNeverCrash) {
    const char* rounds = std::getenv("VELTRIX_FUZZ_ROUNDS");
    const int count = rounds ? std::atoi(rounds) : 40;
    std::mt19937 random(20261209);
    struct Source {
        const char* name;
        const char* options;
    };
    for (const Source& source : {Source{"f.mp3", "-b:a 64k"}, Source{"f.ogg", "-c:a libvorbis"},
                                 Source{"f.wma", "-c:a wmav2"}, Source{"f.wav", ""}}) {
        ASSERT_TRUE(
            render(dir.native(source.name), "sine=frequency=440:duration=0.6", std::string("-ac 2 ") + source.options));
        const std::string original = dir.read(source.name);
        for (int round = 0; round < count; ++round) {
            std::string bytes = original;
            const int damage = 1 + static_cast<int>(random() % 40);
            for (int i = 0; i < damage; ++i) bytes[random() % bytes.size()] = static_cast<char>(random());
            if (random() % 3 == 0) bytes.resize(random() % bytes.size());
            const std::string name = std::string("damaged_") + source.name;
            dir.write(name, bytes);
            HSTREAM h = openDecoding(dir.file(name), BASS_STREAM_PRESCAN);
            if (!h) {
                const int code = f().ErrorGetCode();
                EXPECT_TRUE(code == BASS_ERROR_FILEFORM || code == BASS_ERROR_CODEC) << code;
                continue;
            }
            const auto samples = decodeAll(f(), h);
            EXPECT_LT(samples.size(), 44100u * 2 * 10) << "decoding ends";
            f().ChannelSetPosition(h, f().ChannelGetLength(h, BASS_POS_BYTE) / 2 / 4 * 4, BASS_POS_BYTE);
            decodeAll(f(), h);
            EXPECT_TRUE(f().StreamFree(h));
        }
    }
}

TEST_F(BassModulesTest, PlayingIsRefusedForDecodingChannels) {
    ASSERT_TRUE(render(dir.native("tone.wav"), "sine=frequency=440:duration=1", "-ac 2"));
    HSTREAM h = openDecoding(dir.file("tone.wav"));
    EXPECT_EQ(f().ChannelPlay(h, 0), 0);
    EXPECT_EQ(f().ErrorGetCode(), BASS_ERROR_DECODE);
    EXPECT_EQ(f().ChannelIsActive(h), BASS_ACTIVE_PLAYING);  // data remains to decode
}

TEST_F(BassModulesTest, EncoderReceivesAWaveStream) {
    ASSERT_TRUE(render(dir.native("tone.wav"), "sine=frequency=440:sample_rate=44100:duration=2", "-ac 2"));
    HSTREAM h = openDecoding(dir.file("tone.wav"), BASS_STREAM_PRESCAN);
    const std::string out = dir.native("copy.wav").string();
    const std::string command = "ffmpeg -nostdin -loglevel error -y -i - \"" + out + "\"";
    HENCODE encoder = f().Encode_Start(h, command.c_str(), 0, nullptr, nullptr);
    ASSERT_NE(encoder, 0u) << f().ErrorGetCode();
    decodeAll(f(), h);
    ASSERT_TRUE(f().Encode_Stop(encoder));
    // The copy decodes to the same two seconds, sample for sample.
    HSTREAM copy = openDecoding(dir.file("copy.wav"), BASS_STREAM_PRESCAN);
    ASSERT_NE(copy, 0u);
    EXPECT_NEAR(seconds(copy, f().ChannelGetLength(copy, BASS_POS_BYTE)), 2.0, 0.001);
    HSTREAM original = openDecoding(dir.file("tone.wav"), BASS_STREAM_PRESCAN);
    EXPECT_EQ(decodeAll(f(), copy), decodeAll(f(), original));
}

TEST_F(BassModulesTest, EncoderTakesFloatDataAsFloat) {
    ASSERT_TRUE(render(dir.native("tone.wav"), "sine=frequency=440:sample_rate=44100:duration=1", "-ac 2"));
    HSTREAM h = openDecoding(dir.file("tone.wav"), BASS_STREAM_PRESCAN | BASS_SAMPLE_FLOAT);
    // dd keeps exactly what the encoder module writes.
    const std::string command = "dd status=none \"of=" + dir.native("copy.wav").string() + "\"";
    HENCODE encoder = f().Encode_Start(h, command.c_str(), 0, nullptr, nullptr);
    ASSERT_NE(encoder, 0u) << f().ErrorGetCode();
    std::vector<float> block(4096);
    while (f().ChannelGetData(h, block.data(), static_cast<BASS_DWORD>(block.size() * 4)) !=
           static_cast<BASS_DWORD>(-1)) {}
    ASSERT_TRUE(f().Encode_Stop(h));  // by the channel's handle
    // A WAVE of 32-bit float samples (format 3), the whole second of them.
    const std::string bytes = dir.read("copy.wav");
    ASSERT_EQ(bytes.size(), 44u + 44100u * 8);
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(static_cast<int>(bytes[20]), 3);
    EXPECT_EQ(static_cast<int>(bytes[34]), 32);
    EXPECT_EQ(bytes.substr(36, 4), "data");
}

TEST_F(BassModulesTest, AnEncoderThatQuitsDoesNotTakeTheProgramWithIt) {
    ASSERT_TRUE(render(dir.native("tone.wav"), "sine=frequency=440:duration=3", "-ac 2"));
    HSTREAM h = openDecoding(dir.file("tone.wav"));
    ASSERT_NE(f().Encode_Start(h, "true", BASS_ENCODE_AUTOFREE, nullptr, nullptr), 0u);
    decodeAll(f(), h);  // writes into a closed pipe
    EXPECT_TRUE(f().StreamFree(h));
    EXPECT_EQ(f().Encode_Start(openDecoding(dir.file("tone.wav")), "/no/such/encoder -", 0, nullptr, nullptr), 0u);
    EXPECT_EQ(f().ErrorGetCode(), BASS_ERROR_FILEOPEN);
}

TEST_F(BassModulesTest, MixerSumsItsDecodingSources) {
    ASSERT_TRUE(render(dir.native("tone.wav"), "sine=frequency=440:sample_rate=44100:duration=1", "-ac 2"));
    HSTREAM mixer = f().Mixer_StreamCreate(44100, 2, BASS_STREAM_DECODE | BASS_MIXER_END);
    ASSERT_NE(mixer, 0u);
    HSTREAM a = openDecoding(dir.file("tone.wav"));
    HSTREAM b = openDecoding(dir.file("tone.wav"));
    ASSERT_TRUE(f().ChannelSetAttribute(a, BASS_ATTRIB_VOL, 0.25f));
    ASSERT_TRUE(f().ChannelSetAttribute(b, BASS_ATTRIB_VOL, 0.25f));
    ASSERT_TRUE(f().Mixer_StreamAddChannel(mixer, a, 0));
    ASSERT_TRUE(f().Mixer_StreamAddChannel(mixer, b, 0));
    HSTREAM plain = openDecoding(dir.file("tone.wav"));
    EXPECT_NEAR(rms(decodeAll(f(), mixer)) / rms(decodeAll(f(), plain)), 0.5, 0.01);
}

TEST(BassPlugins, WmaDecodesOnlyWhileItsPluginIsLoaded) {
    useDummyAudio();
    TempDir dir;
    ASSERT_TRUE(render(dir.native("tone.wma"), "sine=frequency=440:duration=1", "-ac 2 -c:a wmav2"));
    BassLibrary without(partialPlugins(dir, {"libbass.so", "libbass_fx.so"}));
    ASSERT_TRUE(without.load());
    EXPECT_EQ(without.wmaPlugin(), 0u);
    const auto& f = without.functions();
    const std::u16string path = dir.file("tone.wma");
    EXPECT_EQ(f.StreamCreateFile(0, path.c_str(), 0, 0, BASS_UNICODE | BASS_STREAM_DECODE), 0u);
    EXPECT_EQ(f.ErrorGetCode(), BASS_ERROR_FILEFORM);
    HPLUGIN wma = f.PluginLoad((std::string(VELTRIX_TEST_PLUGINS_DIR) + "/libbasswma.so").c_str(), 0);
    ASSERT_NE(wma, 0u);
    HSTREAM h = f.StreamCreateFile(0, path.c_str(), 0, 0, BASS_UNICODE | BASS_STREAM_DECODE);
    EXPECT_NE(h, 0u);
    EXPECT_EQ(f.PluginLoad((std::string(VELTRIX_TEST_PLUGINS_DIR) + "/libbasswma.so").c_str(), 0), 0u);
    EXPECT_EQ(f.ErrorGetCode(), BASS_ERROR_ALREADY);
    EXPECT_EQ(f.PluginLoad((std::string(VELTRIX_TEST_PLUGINS_DIR) + "/libbass.so").c_str(), 0), 0u);
    EXPECT_EQ(f.ErrorGetCode(), BASS_ERROR_FILEFORM);
}

}  // namespace
