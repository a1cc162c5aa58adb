// The audio player on the real modules: opening, the playback state machine
// on SDL's dummy output (which runs in real time), the position arithmetic,
// attributes, encoding to MP3, the boxes it shows, and missing modules.
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
        EXPECT_TRUE(render(dir.native(name),
                           "sine=frequency=440:sample_rate=44100:duration=" + std::to_string(seconds), options));
        return dir.file(name);
    }
    // Polls as the player component does until playback ends; the wall time taken.
    std::chrono::duration<double> playToEnd() {
        const auto start = std::chrono::steady_clock::now();
        while (player.isPlaying() && std::chrono::steady_clock::now() - start < 10s) std::this_thread::sleep_for(5ms);
        return std::chrono::steady_clock::now() - start;
    }

    TempDir dir;
    MessageRecorder boxes;
    BassLibrary library{pluginsFolder()};
    BassPlayer player{library};
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
            header[25] = 64;  // volume
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
    std::this_thread::sleep_for(300ms);
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
    ASSERT_TRUE(player.play());
    EXPECT_TRUE(player.isPlaying());
    std::this_thread::sleep_for(500ms);
    const int playing = player.getPosition();
    EXPECT_GT(playing, 350);
    EXPECT_LT(playing, 900);

    player.pause();
    EXPECT_TRUE(player.isPaused());
    EXPECT_FALSE(player.isPlaying());
    const int paused = player.getPosition();
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(player.getPosition(), paused);

    player.resume();
    EXPECT_TRUE(player.isPlaying());
    std::this_thread::sleep_for(300ms);
    EXPECT_GT(player.getPosition(), paused + 150);

    player.stop();
    EXPECT_FALSE(player.isPlaying());
    EXPECT_FALSE(player.isPaused());
    const int stopped = player.getPosition();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(player.getPosition(), stopped);
}

TEST_F(BassPlayerTest, PlaybackEndsByItselfInRealTime) {
    ASSERT_TRUE(player.open(tone("a.wav", 1.0)));
    ASSERT_TRUE(player.play());
    // Real time: not faster than the sound, and not much slower on a busy machine.
    const double wall = playToEnd().count();
    EXPECT_GT(wall, 0.85);
    EXPECT_LT(wall, 1.6);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_FALSE(player.isPaused());
    // Playing again starts over.
    ASSERT_TRUE(player.play());
    EXPECT_TRUE(player.isPlaying());
    std::this_thread::sleep_for(200ms);
    EXPECT_LT(player.getPosition(), 600);
}

TEST_F(BassPlayerTest, TempoScalesTheWallTimeToTheEnd) {
    ASSERT_TRUE(player.open(tone("a.wav", 2.0)));
    player.setTempo(200);
    ASSERT_TRUE(player.openAndPlay(dir.file("a.wav")));
    player.setTempo(200);  // open does not re-apply it
    const double fast = playToEnd().count();
    EXPECT_GT(fast, 0.8);
    EXPECT_LT(fast, 1.6);

    player.setTempo(50);
    ASSERT_TRUE(player.openAndPlay(dir.file("a.wav")));
    player.setTempo(50);
    std::this_thread::sleep_for(1000ms);
    EXPECT_NEAR(player.getPosition(), 500, 200);
    // Changing the tempo while playing changes how fast the position moves.
    player.setTempo(300);
    const int before = player.getPosition();
    std::this_thread::sleep_for(300ms);
    EXPECT_NEAR(player.getPosition() - before, 900, 300);
}

TEST_F(BassPlayerTest, SetPositionIsReadBackWithoutAskingTheLibraryWhileStopped) {
    ASSERT_TRUE(player.open(tone("a.wav", 8.0)));
    player.setPosition(5000);
    EXPECT_EQ(player.getPosition(), 5000);
    ASSERT_TRUE(player.play());
    std::this_thread::sleep_for(100ms);
    EXPECT_NEAR(player.getPosition(), 5100, 120);
    // Seeking while playing moves the position at once.
    player.setPosition(1234);
    EXPECT_NEAR(player.getPosition(), 1234, 60);
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
        std::this_thread::sleep_for(400ms);
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
    ASSERT_TRUE(player.startEncoding(dir.file("out.wav"), u"ffmpeg -nostdin -loglevel error -y -i - \"" +
                                                              dir.file("out.wav") + u"\"",
                                     0));
    EXPECT_FALSE(player.play());
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].text,
              u"The channel is not playable; it is a \"decoding channel\".\n\n(error code: 38)");
    while (player.pumpEncoder()) {
    }
    player.stopEncoding();
}

}  // namespace
