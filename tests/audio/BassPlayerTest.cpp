// The audio player on the real modules: opening, the playback state machine
// on SDL's dummy output (and again on the modules' test output with latency),
// the position arithmetic, attributes, encoding to MP3, the boxes it shows,
// and missing modules. Times are measured on the output's own clock, which
// falls behind the wall clock on a busy machine just as the sound does.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "AudioTestSupport.h"
#include "audio/BassPlayer.h"
#include "text/NarrowText.h"

using namespace audiotest;
using namespace std::chrono_literals;

namespace {

class BassPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        useDummyAudio();
        ASSERT_TRUE(player.initialize());
        ASSERT_TRUE(boxes.messages.empty());
    }
    std::u16string tone(const char* name, double seconds, const char* options = "-ac 2") {
        EXPECT_TRUE(render(dir.native(name), "sine=frequency=440:sample_rate=44100:duration=" + std::to_string(seconds),
                           options));
        return dir.file(name);
    }

    // The position and the output clock around the moment it was read.
    struct Reading {
        double before = 0;
        double after = 0;
        int position = 0;
    };
    Reading read() {
        Reading r;
        for (int attempt = 0; attempt < 100; ++attempt) {
            r.before = clock.ms();
            r.position = player.getPosition();
            r.after = clock.ms();
            // Retried when this thread was held up between the readings.
            if (r.after - r.before < 30) break;
        }
        return r;
    }
    // Playing from `from` since the output clock read `started` at `tempo`
    // percent: never ahead of what the output took (but for the few
    // milliseconds by which the stretcher's pieces wander), and behind it by
    // no more than the latency and `slack` milliseconds of output.
    void expectOnClock(const Reading& r, double from, double started, int tempo, double slack = 60) {
        const double scale = tempo / 100.0;
        const double wander = tempo == 100 ? 1 : 20;
        EXPECT_LE(r.position, from + (r.after - started) * scale + wander);
        EXPECT_GE(r.position, from + (r.before - started - OutputClock::latencyMs() - slack) * scale);
    }
    // Polls as the player component does until playback ends (at most half a
    // minute of wall time). Returns the output clock when the end was seen, and
    // in `lastPlaying` the clock read just before it was last seen playing.
    double playToEnd(double& lastPlaying) {
        const auto giveUp = std::chrono::steady_clock::now() + 30s;
        for (;;) {
            const double now = clock.ms();
            if (!player.isPlaying()) return now;
            lastPlaying = now;
            if (std::chrono::steady_clock::now() > giveUp) return now;
            std::this_thread::sleep_for(5ms);
        }
    }

    TempDir dir;
    MessageRecorder boxes;
    BassLibrary library{pluginsFolder()};
    BassPlayer player{library};
    OutputClock clock{pluginsFolder()};
};

TEST_F(BassPlayerTest, OpensEachFormatWithItsLength) {
    struct Case {
        const char* name;
        const char* options;
    };
    for (const Case& c : {Case{"a.mp3", "-ac 2 -b:a 128k"}, Case{"a.ogg", "-ac 2 -c:a libvorbis"},
                          Case{"a.wma", "-ac 2 -c:a wmav2"}, Case{"a.wav", "-ac 1"}}) {
        ASSERT_TRUE(player.open(tone(c.name, 2.0, c.options))) << c.name;
        EXPECT_NEAR(double(player.lengthMs), 1000 * secondsDecodedByFfmpeg(dir.native(c.name)), 30.0) << c.name;
        EXPECT_NEAR(double(player.lengthMs), 2000.0, 50.0) << c.name;
        EXPECT_EQ(player.path(), dir.file(c.name));
    }
    EXPECT_TRUE(boxes.messages.empty());
}

TEST_F(BassPlayerTest, OpensNamesWithJapaneseAndUrlLikeText) {
    for (const char* name : {"日本語の音声.mp3", "http:not-a-url.mp3", "a b'c\"d.mp3"}) {
        ASSERT_TRUE(render(dir.native("plain.mp3"), "sine=duration=1", "-ac 2"));
        std::filesystem::rename(dir.native("plain.mp3"), dir.path() / std::filesystem::u8path(name));
        EXPECT_TRUE(player.open((dir.path() / std::filesystem::u8path(name)).u16string())) << name;
        EXPECT_NEAR(double(player.lengthMs), 1000.0, 50.0) << name;
    }
}

// A four-channel ProTracker module: one pattern of 64 rows at the default
// speed (6 ticks of 20 ms a row), one looped sample struck on the first row.
std::string trackerModule() {
    std::string mod(20, '\0');
    mod.replace(0, 4, "test");
    const int sampleWords = 1000;
    for (int i = 0; i < 31; ++i) {
        std::string header(30, '\0');
        if (i == 0) {
            header[22] = static_cast<char>(sampleWords >> 8);
            header[23] = static_cast<char>(sampleWords & 0xFF);
            header[25] = 64;                                   // volume
            header[28] = static_cast<char>(sampleWords >> 8);  // loop over the whole sample
            header[29] = static_cast<char>(sampleWords & 0xFF);
        }
        mod += header;
    }
    mod += static_cast<char>(1);    // song length
    mod += static_cast<char>(127);  // restart byte
    mod += std::string(128, '\0');  // order table: pattern 0
    mod += "M.K.";
    std::string pattern(64 * 4 * 4, '\0');
    const int period = 428;  // C-2
    pattern[0] = static_cast<char>((period >> 8) & 0x0F);
    pattern[1] = static_cast<char>(period & 0xFF);
    pattern[2] = static_cast<char>(1 << 4);  // sample 1, no effect
    mod += pattern;
    for (int i = 0; i < sampleWords * 2; ++i) mod += static_cast<char>((i / 16) % 2 ? 100 : -100);
    return mod;
}

TEST_F(BassPlayerTest, TrackerModulesOpenAsMusic) {
    dir.write("song.mod", trackerModule());
    const std::u16string path = dir.file("song.mod");
    const auto& f = library.functions();
    EXPECT_EQ(f.StreamCreateFile(0, path.c_str(), 0, 0, BASS_UNICODE | BASS_STREAM_DECODE), 0u);
    EXPECT_EQ(f.ErrorGetCode(), BASS_ERROR_FILEFORM);
    ASSERT_TRUE(player.open(path));
    EXPECT_NEAR(double(player.lengthMs), 64 * 120.0, 150.0);
    ASSERT_TRUE(player.play());
    clock.wait(300 + OutputClock::latencyMs());
    EXPECT_GT(player.getPosition(), 150);
    player.close();
    EXPECT_EQ(player.stream(), 0u);
}

TEST_F(BassPlayerTest, BrokenFilesDoNotOpenAndShowNothing) {
    dir.write("text.mp3", "not audio at all\r\n");
    dir.write("empty.ogg", "");
    dir.write("noise.wma", std::string(5000, '\x5a'));
    for (const char* name : {"text.mp3", "empty.ogg", "noise.wma", "missing.mp3"}) {
        EXPECT_FALSE(player.open(dir.file(name))) << name;
        EXPECT_EQ(player.stream(), 0u);
        EXPECT_FALSE(player.play());
        EXPECT_FALSE(player.isPlaying());
    }
    EXPECT_TRUE(boxes.messages.empty());
}

TEST_F(BassPlayerTest, PlayPauseResumeStopFollowTheOutput) {
    ASSERT_TRUE(player.open(tone("a.wav", 3.0)));
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(player.getPosition(), 0);
    ASSERT_TRUE(clock.available());
    const double started = clock.ms();
    ASSERT_TRUE(player.play());
    EXPECT_TRUE(player.isPlaying());
    clock.wait(500);
    const Reading playing = read();
    EXPECT_GT(playing.position, 0);
    expectOnClock(playing, 0, started, 100);

    player.pause();
    EXPECT_TRUE(player.isPaused());
    EXPECT_FALSE(player.isPlaying());
    const int paused = player.getPosition();
    EXPECT_GE(paused, playing.position);
    clock.wait(200);
    EXPECT_EQ(player.getPosition(), paused);

    const double resumed = clock.ms();
    player.resume();
    EXPECT_TRUE(player.isPlaying());
    clock.wait(300);
    const Reading again = read();
    EXPECT_GT(again.position, paused);
    expectOnClock(again, paused, resumed, 100);

    player.stop();
    EXPECT_FALSE(player.isPlaying());
    EXPECT_FALSE(player.isPaused());
    const int stopped = player.getPosition();
    clock.wait(100);
    EXPECT_EQ(player.getPosition(), stopped);
}

TEST_F(BassPlayerTest, PlaybackEndsByItselfInRealTime) {
    ASSERT_TRUE(player.open(tone("a.wav", 1.0)));
    ASSERT_TRUE(clock.available());
    const double started = clock.ms();
    ASSERT_TRUE(player.play());
    // Not before the output took the whole second, and soon after it was heard.
    double lastPlaying = started;
    const double ended = playToEnd(lastPlaying);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_FALSE(player.isPaused());
    EXPECT_GE(ended - started, 1000 - 5);
    EXPECT_LE(lastPlaying - started, 1000 + OutputClock::latencyMs() + 100);
    // Playing again starts over.
    const double restarted = clock.ms();
    ASSERT_TRUE(player.play());
    EXPECT_TRUE(player.isPlaying());
    clock.wait(200);
    expectOnClock(read(), 0, restarted, 100);
}

TEST_F(BassPlayerTest, TempoScalesTheTimeToTheEnd) {
    ASSERT_TRUE(player.open(tone("a.wav", 2.0)));
    ASSERT_TRUE(clock.available());
    player.setTempo(200);
    ASSERT_TRUE(player.open(dir.file("a.wav")));
    EXPECT_EQ(player.getTempo(), 200);
    player.setTempo(200);  // open does not re-apply it
    double started = clock.ms();
    ASSERT_TRUE(player.play());
    double lastPlaying = started;
    const double ended = playToEnd(lastPlaying);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_GE(ended - started, 1000 - 100);
    EXPECT_LE(lastPlaying - started, 1000 + OutputClock::latencyMs() + 150);

    player.setTempo(50);
    ASSERT_TRUE(player.open(dir.file("a.wav")));
    player.setTempo(50);
    started = clock.ms();
    ASSERT_TRUE(player.play());
    clock.wait(1000);
    expectOnClock(read(), 0, started, 50, 150);
    // Changing the tempo while playing changes how fast the position moves;
    // what the output already took still sounds at the old tempo.
    player.setTempo(300);
    const Reading before = read();
    clock.wait(300);
    const Reading after = read();
    const int moved = after.position - before.position;
    EXPECT_LE(moved, (after.after - before.before) * 3 + 60);
    EXPECT_GE(moved, (after.before - before.after - OutputClock::latencyMs() - 60) * 3);
}

TEST_F(BassPlayerTest, SetPositionIsReadBackWithoutAskingTheLibraryWhileStopped) {
    ASSERT_TRUE(player.open(tone("a.wav", 8.0)));
    player.setPosition(5000);
    EXPECT_EQ(player.getPosition(), 5000);
    ASSERT_TRUE(clock.available());
    const double started = clock.ms();
    ASSERT_TRUE(player.play());
    clock.wait(100);
    expectOnClock(read(), 5000, started, 100);
    // Seeking while playing moves the position there at once.
    player.setPosition(1234);
    EXPECT_NEAR(player.getPosition(), 1234, 5);
    // Never before the time asked for: a time stamped right after choosing a
    // sentence must not come out before that sentence's start.
    for (int ms : {5700, 1003, 2999, 4321, 7001}) {
        player.setPosition(ms);
        const int position = player.getPosition();
        EXPECT_GE(position, ms);
        EXPECT_LE(position, ms + 5);
    }
}

TEST_F(BassPlayerTest, APlayerMadeAfterAnotherWasDestroyedPlays) {
    const std::u16string path = tone("a.wav", 3.0);
    {
        // Destroying a player releases the device for the whole process.
        BassPlayer first(library);
        ASSERT_TRUE(first.initialize());
        ASSERT_TRUE(first.open(path));
        ASSERT_TRUE(first.play());
    }
    for (int round = 0; round < 2; ++round) {
        BassPlayer fresh(library);
        ASSERT_TRUE(fresh.initialize());
        ASSERT_TRUE(fresh.open(path));
        ASSERT_TRUE(fresh.play());
        clock.wait(400);
        EXPECT_TRUE(fresh.isPlaying());
        EXPECT_GT(fresh.getPosition(), 150) << round;
    }
    EXPECT_TRUE(boxes.messages.empty());
}

TEST_F(BassPlayerTest, AttributesReachTheStream) {
    ExtraFunctions extra(pluginsFolder());
    ASSERT_TRUE(player.open(tone("a.wav", 1.0)));
    struct Case {
        void (BassPlayer::*set)(int);
        int value;
        BASS_DWORD attribute;
        float expected;
    };
    for (const Case& c : {Case{&BassPlayer::setTempo, 100, BASS_ATTRIB_TEMPO, 0.0f},
                          Case{&BassPlayer::setTempo, 50, BASS_ATTRIB_TEMPO, -50.0f},
                          Case{&BassPlayer::setTempo, 360, BASS_ATTRIB_TEMPO, 260.0f},
                          Case{&BassPlayer::setPitch, 100, BASS_ATTRIB_TEMPO_PITCH, 0.0f},
                          Case{&BassPlayer::setPitch, 0, BASS_ATTRIB_TEMPO_PITCH, -15.0f},
                          Case{&BassPlayer::setPitch, 200, BASS_ATTRIB_TEMPO_PITCH, 15.0f},
                          Case{&BassPlayer::setPitch, 300, BASS_ATTRIB_TEMPO_PITCH, 30.0f},
                          Case{&BassPlayer::setVolume, 100, BASS_ATTRIB_VOL, 1.0f},
                          Case{&BassPlayer::setVolume, 40, BASS_ATTRIB_VOL, 0.4f}}) {
        (player.*c.set)(c.value);
        float value = -999;
        ASSERT_TRUE(extra.ChannelGetAttribute(player.stream(), c.attribute, &value));
        EXPECT_FLOAT_EQ(value, c.expected) << c.attribute << " " << c.value;
    }
    EXPECT_EQ(player.getTempo(), 360);
    // Stored without a stream, and not re-applied by open.
    player.close();
    player.setTempo(80);
    EXPECT_EQ(player.getTempo(), 80);
}

TEST_F(BassPlayerTest, PitchLeavesTheLengthAlone) {
    ASSERT_TRUE(player.open(tone("a.mp3", 2.0, "-ac 2 -b:a 128k")));
    const auto length = player.lengthMs;
    player.setPitch(300);
    ASSERT_TRUE(player.open(dir.file("a.mp3")));
    EXPECT_EQ(player.lengthMs, length);
}

TEST_F(BassPlayerTest, TheDeviceInUseIsNotReinitialised) {
    EXPECT_EQ(library.outputDevice(), 1);
    ASSERT_TRUE(player.open(tone("a.wav", 2.0)));
    EXPECT_TRUE(player.setOutputDevice(0));
    // Not re-initialised: the open stream survives.
    EXPECT_TRUE(player.play());
    // A device that does not exist fails with the message and leaves the number.
    EXPECT_FALSE(player.setOutputDevice(40));
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].caption, u"Error");
    EXPECT_EQ(boxes.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(boxes.messages[0].text,
              u"Failed BASS_Init in setOutputDevice()\nCan't initialize device\n\n(error code: 23)");
    EXPECT_EQ(library.outputDevice(), 1);
}

TEST_F(BassPlayerTest, EncodingToTheOpenFileShowsTheInUseBox) {
    const std::u16string path = tone("a.mp3", 1.0, "-ac 2 -b:a 128k");
    ASSERT_TRUE(player.open(path));
    const HSTREAM stream = player.stream();
    EXPECT_FALSE(player.encodeToMp3(path));
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].text, u"現在このファイルは使用中です。\r\n" + path);
    EXPECT_EQ(boxes.messages[0].caption, path);
    EXPECT_EQ(boxes.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(player.stream(), stream);
}

TEST_F(BassPlayerTest, EncodesToMp3AtTheChosenTempo) {
    ASSERT_TRUE(player.open(tone("ten.wav", 10.0)));
    player.setTempo(150);
    // The name reaches lame intact under the narrow code page the program runs with.
    setNarrowCodePage(932);
    const std::u16string out = (dir.path() / std::filesystem::u8path("速い 版.mp3")).u16string();
    ASSERT_TRUE(player.encodeToMp3(out));
    int blocks = 0;
    while (player.pumpEncoder()) {
        ++blocks;
        EXPECT_LE(player.getPosition(), 10000);
    }
    EXPECT_GT(blocks, 50);
    player.stopEncoding();
    setNarrowCodePage(0);
    EXPECT_TRUE(boxes.messages.empty());
    // The player reopens its file afterwards; the export plays as about 6.7 s.
    BassPlayer check(library);
    ASSERT_TRUE(check.open(out));
    EXPECT_NEAR(double(check.lengthMs), 10000.0 / 1.5, 120.0);
}

TEST(BassPlayerMissing, LameMissingShowsItsBox) {
    useDummyAudio();
    TempDir dir;
    MessageRecorder boxes;
    BassLibrary library(partialPlugins(dir, {"libbass.so", "libbass_fx.so", "libbassenc.so"}));
    BassPlayer player(library);
    ASSERT_TRUE(player.initialize());
    ASSERT_TRUE(render(dir.native("a.wav"), "sine=duration=1", "-ac 2"));
    ASSERT_TRUE(player.open(dir.file("a.wav")));
    const HSTREAM stream = player.stream();
    EXPECT_FALSE(player.encodeToMp3(dir.file("out.mp3")));
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].text, u"Plugins フォルダーに lame.exe ファイルを入れてください。");
    EXPECT_EQ(boxes.messages[0].caption, u"lame.exe was not found in the plugins folder");
    EXPECT_EQ(player.stream(), stream);
    EXPECT_FALSE(std::filesystem::exists(dir.native("out.mp3")));
}

TEST(BassPlayerMissing, WithoutTheTempoModuleNothingOpens) {
    useDummyAudio();
    TempDir dir;
    MessageRecorder boxes;
    BassLibrary library(partialPlugins(dir, {"libbass.so"}));
    BassPlayer player(library);
    EXPECT_FALSE(player.initialize());
    EXPECT_TRUE(library.isBassLoaded());
    EXPECT_FALSE(player.initialize()) << "the first result stands";
    ASSERT_TRUE(render(dir.native("a.wav"), "sine=duration=1", "-ac 2"));
    EXPECT_FALSE(player.open(dir.file("a.wav")));
    EXPECT_FALSE(player.play());
    EXPECT_TRUE(boxes.messages.empty());
}

TEST(BassPlayerMissing, WithoutAnyModuleEveryOperationIsHarmless) {
    TempDir dir;
    MessageRecorder boxes;
    BassLibrary library(dir.file("Plugins/"));
    BassPlayer player(library);
    EXPECT_FALSE(player.initialize());
    EXPECT_FALSE(player.isPlaying());
    EXPECT_FALSE(player.open(dir.file("a.mp3")));
    EXPECT_FALSE(player.play());
    EXPECT_FALSE(player.openAndPlay(dir.file("a.mp3")));
    player.pause();
    player.resume();
    player.stop();
    player.setTempo(120);
    player.setPitch(150);
    player.setVolume(50);
    player.setPosition(1000);
    EXPECT_EQ(player.getPosition(), 0);
    EXPECT_EQ(player.getTempo(), 120);
    EXPECT_FALSE(player.pumpEncoder());
    player.stopEncoding();
    EXPECT_FALSE(player.encodeToMp3(dir.file("out.mp3")));
    ASSERT_FALSE(boxes.messages.empty());
    // Without BASS_Init the device cannot change; the box says why.
    boxes.messages.clear();
    EXPECT_FALSE(player.setOutputDevice(1));
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].text,
              u"Failed setOutputDevice because of BASS_Init is null.\nMaybe you need to put bass.dll into the "
              u"Plugins folder. (InitializeError)");
    EXPECT_EQ(boxes.messages[0].caption, u"Error");
}

TEST(BassErrorTexts, PlayFailuresHaveTheirTexts) {
    EXPECT_EQ(playErrorText(BASS_ERROR_HANDLE), u"handle is not a valid channel.");
    EXPECT_EQ(playErrorText(BASS_ERROR_DECODE), u"The channel is not playable; it is a \"decoding channel\".");
    EXPECT_EQ(playErrorText(BASS_ERROR_START), u"The output is paused/stopped, use BASS_Start to start it.");
    EXPECT_EQ(playErrorText(BASS_ERROR_BUFLOST),
              u"Should not happen... check that a valid window handle was used with BASS_Init.");
    EXPECT_TRUE(playErrorText(BASS_ERROR_FILEFORM).empty());
}

TEST_F(BassPlayerTest, PlayingADecodingStreamShowsTheDecodeText) {
    ASSERT_TRUE(player.open(tone("a.wav", 1.0)));
    ASSERT_TRUE(player.startEncoding(dir.file("out.wav"),
                                     u"ffmpeg -nostdin -loglevel error -y -i - \"" + dir.file("out.wav") + u"\"", 0));
    EXPECT_FALSE(player.play());
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].text,
              u"The channel is not playable; it is a \"decoding channel\".\n\n(error code: 38)");
    while (player.pumpEncoder()) {}
    player.stopEncoding();
}

}  // namespace
