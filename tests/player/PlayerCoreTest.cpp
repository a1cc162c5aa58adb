// The player core on a stand-in audio player: the playback state machine with
// its two timers, following the position with the highlight, playing one
// sentence alone, opening files (and failing to), and where the sentences of
// an audio file come from.
#include "LyricsViewsFixture.h"

#include <set>

#include "player/PlayerCore.h"

using namespace veltrix::test;
using namespace std::string_literals;

namespace {

// Plays nothing; the test moves the position by hand.
class FakeAudio : public IAudioPlayer {
public:
    bool open(const std::u16string& path) override {
        opened.push_back(path);
        playing = paused = false;
        if (undecodable.count(path)) {
            m_path.clear();
            return false;
        }
        m_path = path;
        return true;
    }
    bool play() override {
        calls.push_back("play");
        if (!playWorks) return false;
        playing = true;
        paused = false;
        return true;
    }
    void stop() override { playing = paused = false; }
    void pause() override {
        if (playing) paused = true, playing = false;
    }
    void resume() override {
        if (paused) playing = true, paused = false;
    }
    bool isPlaying() override { return playing; }
    bool isPaused() override { return paused; }
    void setTempo(int v) override { settings.push_back("tempo " + std::to_string(v)); }
    void setVolume(int v) override { settings.push_back("volume " + std::to_string(v)); }
    void setPitch(int v) override { settings.push_back("pitch " + std::to_string(v)); }
    void setPosition(int ms) override {
        calls.push_back("seek " + std::to_string(ms));
        position = ms;
    }
    int getPosition() override { return position; }

    bool playing = false;
    bool paused = false;
    bool playWorks = true;
    int position = 0;
    std::vector<std::string> calls;  // plays and seeks, in order
    std::uint64_t length = 185000;
    std::set<std::u16string> undecodable;
    std::vector<std::u16string> opened;
    std::vector<std::string> settings;
};

class FakeControls : public PlayerControls {
public:
    int timeSliderValue() const override { return slider; }
    void setTimeSliderValue(int v) override { slider = std::clamp(v, 0, sliderMax); }
    void setTimeSliderRange(int maximum) override { sliderMax = maximum; }
    std::u16string playCaption() const override { return caption; }
    void setPlayCaption(const std::u16string& c) override { caption = c; }
    void enablePlayButton(Enable e) override { playEnabled = e == Enable::On; }
    void enableStopButton(Enable e) override { stopEnabled = e == Enable::On; }
    std::u16string timeLabel() const override { return label; }
    void setTimeLabel(const std::u16string& t) override { label = t; }
    int tempo() const override { return 80; }
    int pitch() const override { return 100; }
    int volume() const override { return 90; }
    void setTitle(const std::u16string& t) override { title = t; }
    void startTimer(UINT_PTR id) override { timers.insert(id); }
    void stopTimer(UINT_PTR id) override { timers.erase(id); }

    int slider = 0;
    int sliderMax = 0;
    std::u16string caption = u"Play";
    bool playEnabled = false;
    bool stopEnabled = false;
    std::u16string label = u"00:00/00:00";
    std::u16string title;
    std::set<UINT_PTR> timers;
};

// The reader asks the player to open the audio a sentence list names.
struct ForwardingHost : RecordingHost {
    bool openAudio(const std::u16string& path) override { return core->openAudioForReader(path); }
    PlayerCore* core = nullptr;
};

std::string be32(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}
std::string syncsafe(std::uint32_t v) {
    return {static_cast<char>((v >> 21) & 0x7F), static_cast<char>((v >> 14) & 0x7F),
            static_cast<char>((v >> 7) & 0x7F), static_cast<char>(v & 0x7F)};
}
std::string utf16(std::u16string_view text) {
    std::string out = "\xFF\xFE";
    for (char16_t c : text) out += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return out + "\0\0"s;
}
// An ID3v2.3 tag with one frame, and a little MPEG audio after it.
std::string mp3WithFrame(const std::string& id, const std::string& data) {
    const std::string body =
        id + be32(static_cast<std::uint32_t>(data.size())) + "\0\0"s + data + std::string(16, '\0');
    return "ID3\x03\0\0"s + syncsafe(static_cast<std::uint32_t>(body.size())) + body + "\xFF\xFB\x90\x64" +
           std::string(413, '\0');
}

class Player : public LyricsViews {
protected:
    void SetUp() override {
        LyricsViews::SetUp();
        forwarding.core = &core;
    }
    // The six-row lesson, opened through its MP3.
    void openSix() {
        loadSix();
        editing.clearSentences();
        ASSERT_TRUE(core.openFile(folder.file("lesson.mp3")));
    }
    void tick(UINT_PTR id = PlayerCore::kPlaybackTimer) { core.onTimer(id); }

    FakeAudio audio;
    FakeControls controls;
    ForwardingHost forwarding;
    PlayerCore core{audio, [this] { return audio.length; }, editing, controls, forwarding};
};

}  // namespace

TEST_F(Player, OpeningShowsTheFirstSentenceStopped) {
    openSix();
    EXPECT_EQ(core.audioPath(), folder.file("lesson.mp3"));
    EXPECT_EQ(table.getRowCount(), 6);
    EXPECT_EQ(table.getSelectedRows(), std::vector<int>{0});
    EXPECT_EQ(lyrics.selectedText(), u"S0. ");
    EXPECT_EQ(controls.caption, u"Play");
    EXPECT_TRUE(controls.playEnabled);
    EXPECT_FALSE(controls.stopEnabled);
    EXPECT_EQ(controls.sliderMax, 18500);
    EXPECT_EQ(controls.label, u"00:00/03:05");
    EXPECT_EQ(controls.title, folder.file("lesson.mp3") + u" - veltrix");
}

TEST_F(Player, PlayingFollowsThePositionPausingFreezesStoppingResets) {
    openSix();
    core.togglePlay();
    EXPECT_EQ(controls.caption, u"Pause");
    EXPECT_EQ(controls.timers, std::set<UINT_PTR>{2});
    EXPECT_EQ(audio.settings, (std::vector<std::string>{"pitch 100", "volume 90", "tempo 80"}));
    EXPECT_TRUE(controls.stopEnabled);

    audio.position = 2500;
    tick();
    EXPECT_EQ(lyrics.selectedText(), u"S1. ");
    EXPECT_EQ(translation.text(), u"T1");
    EXPECT_EQ(controls.slider, 250);
    audio.position = 65000;
    tick();
    EXPECT_EQ(controls.label, u"01:05/03:05");
    EXPECT_EQ(lyrics.selectedText(), u"S5. ");

    core.togglePlay();
    EXPECT_EQ(controls.caption, u"Play");
    EXPECT_TRUE(audio.paused);
    audio.position = 70000;  // no updates while paused
    tick();
    EXPECT_EQ(controls.slider, 6500);
    EXPECT_EQ(controls.timers, std::set<UINT_PTR>{2});

    core.togglePlay();  // resumes from the slider's place
    EXPECT_TRUE(audio.playing);
    EXPECT_EQ(audio.position, 65000);
    core.stopPlayback();
    EXPECT_FALSE(controls.stopEnabled);
    tick();
    EXPECT_EQ(controls.caption, u"Play");
    EXPECT_TRUE(controls.timers.empty());
    EXPECT_EQ(audio.position, 0);
    EXPECT_EQ(controls.slider, 0);
}

TEST_F(Player, FailedPlayChangesNothing) {
    openSix();
    audio.playWorks = false;
    core.togglePlay();
    EXPECT_EQ(controls.caption, u"Play");
    EXPECT_TRUE(controls.timers.empty());
}

TEST_F(Player, OneSentencePlaysAloneAndStopsAtItsEnd) {
    openSix();
    editing.selectSentence(2);  // starts 3000, no end: runs to the next start, 4000
    audio.calls.clear();
    core.playSentence();
    EXPECT_TRUE(audio.playing);
    // Sought before playing starts, so nothing of the old position sounds.
    EXPECT_EQ(audio.calls, (std::vector<std::string>{"seek 3000", "play"}));
    EXPECT_EQ(audio.position, 3000);
    EXPECT_EQ(controls.timers, std::set<UINT_PTR>{3});
    EXPECT_FALSE(controls.playEnabled);
    EXPECT_EQ(controls.caption, u"Play");
    EXPECT_EQ(core.rangeEnd(), 4000u);
    audio.position = 3900;
    tick(PlayerCore::kSentenceTimer);
    EXPECT_TRUE(audio.playing);
    EXPECT_EQ(lyrics.selectedText(), u"S2. ");  // the highlight stays while one sentence plays
    audio.position = 4100;
    tick(PlayerCore::kSentenceTimer);
    EXPECT_FALSE(audio.playing);
    EXPECT_TRUE(controls.timers.empty());
    EXPECT_TRUE(controls.playEnabled);
}

TEST_F(Player, LastSentenceRunsToTheEndOfTheFile) {
    openSix();
    editing.setEnd(5, 5500);  // before its start of 6000: no end time
    table.selectOnly(5);
    core.playSentence();
    EXPECT_EQ(core.rangeStart(), 6000u);
    EXPECT_EQ(core.rangeEnd(), 185000u);
}

TEST_F(Player, UntimedSuccessorKeepsTheFirstSentenceHighlighted) {
    loadEntries({{1000, 0, u"A. ", u"", u""}, {0, 0, u"B. ", u"", u""}, {5000, 0, u"C. ", u"", u""}});
    editing.clearSentences();
    ASSERT_TRUE(core.openFile(folder.file("lesson.mp3")));
    core.togglePlay();
    for (int position : {1500, 5000, 9000, 30000}) {
        audio.position = position;
        tick();
        EXPECT_EQ(lyrics.selectedText(), u"A. ") << position;
    }
}

TEST_F(Player, SelectingSeeksOnlyToTimedRows) {
    loadEntries({{1000, 0, u"A. ", u"", u""}, {0, 0, u"B. ", u"", u""}, {5000, 0, u"C. ", u"", u""}});
    editing.clearSentences();
    ASSERT_TRUE(core.openFile(folder.file("lesson.mp3")));
    core.selectAndSeek(1);
    EXPECT_EQ(lyrics.selectedText(), u"B. ");
    EXPECT_EQ(controls.slider, 0);
    core.selectAndSeek(2);
    EXPECT_EQ(controls.slider, 500);
    EXPECT_EQ(controls.label, u"00:05/03:05");

    core.togglePlay();
    audio.calls.clear();
    audio.position = 4960;
    core.selectAndSeek(2);
    // One exact seek: the position read back is what is heard, so nothing is "corrected".
    EXPECT_EQ(audio.calls, std::vector<std::string>{"seek 5000"});
    EXPECT_EQ(audio.position, 5000);
}

TEST_F(Player, StampingUsesThePlaybackPositionOrTheSlider) {
    openSix();
    controls.slider = 1234;
    EXPECT_EQ(core.stampPosition(), 12340u);
    core.togglePlay();
    audio.position = 4321;
    EXPECT_EQ(core.stampPosition(), 4321u);
}

TEST_F(Player, CommandsDoNothingWithoutAudio) {
    core.togglePlay();
    core.playSentence();
    core.stopPlayback();
    EXPECT_FALSE(audio.playing);
    EXPECT_TRUE(controls.timers.empty());
    EXPECT_EQ(controls.caption, u"Play");
}

TEST_F(Player, UndecodableFileKeepsThePreviousOneOpenWithItsSentences) {
    openSix();
    folder.write("broken.mp3", "not audio at all");
    audio.undecodable.insert(folder.file("broken.mp3"));
    folder.write("notes.txt", "text");
    EXPECT_FALSE(core.openFile(folder.file("broken.mp3")));
    EXPECT_FALSE(core.openFile(folder.file("notes.txt")));
    EXPECT_FALSE(core.openFile(folder.file("missing.mp3")));
    EXPECT_EQ(core.audioPath(), folder.file("lesson.mp3"));
    EXPECT_EQ(audio.path(), folder.file("lesson.mp3"));
    EXPECT_EQ(table.getRowCount(), 6);
    core.togglePlay();
    EXPECT_TRUE(audio.playing);
}

TEST_F(Player, OpeningTheSentenceListFindsItsAudio) {
    loadSix();
    editing.clearSentences();
    ASSERT_TRUE(core.openFile(folder.file("lesson.xml")));
    EXPECT_EQ(core.audioPath(), folder.file("lesson.mp3"));
    EXPECT_EQ(audio.opened.back(), folder.file("lesson.mp3"));
    EXPECT_EQ(table.getRowCount(), 6);
    folder.write("other.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><SentenceList audio=\"gone.mp3\"/>");
    EXPECT_FALSE(core.openFile(folder.file("other.xml")));
    EXPECT_EQ(core.audioPath(), folder.file("lesson.mp3"));
    EXPECT_EQ(table.getRowCount(), 6);
}

TEST_F(Player, SynchronisedLyricsBecomeTimedRows) {
    std::string sylt =
        "\x01"
        "eng"
        "\x02\x01"s +
        utf16(u"");
    sylt += utf16(u"Excuse me.\r\n") + be32(1200) + utf16(u"Where is the bank?") + be32(3400);
    folder.write("song.mp3", mp3WithFrame("SYLT", sylt));
    ASSERT_TRUE(core.openFile(folder.file("song.mp3")));
    ASSERT_EQ(table.getRowCount(), 2);
    EXPECT_EQ(table.getValueAt(1, LyricsTable::Start), u"00:03:40");
    EXPECT_EQ(lyrics.text(), u"Excuse me.\r\nWhere is the bank?");
    expectInStep();
    EXPECT_EQ(editing.document().xmlPath(), folder.file("song.xml"));
}

TEST_F(Player, UnsynchronisedLyricsAreSplitIntoSentences) {
    const std::string uslt =
        "\x01"
        "eng"s +
        utf16(u"") + utf16(u"Where is the station? It is over there.");
    folder.write("talk.mp3", mp3WithFrame("USLT", uslt));
    ASSERT_TRUE(core.openFile(folder.file("talk.mp3")));
    EXPECT_EQ(sentences(), (std::vector<std::u16string>{u"Where is the station? ", u"It is over there."}));
    EXPECT_EQ(table.getValueAt(0, LyricsTable::Start), u"00:00:00");
    expectInStep();
}

TEST_F(Player, TitleMarksUnsavedEditsUntilSaved) {
    openSix();
    table.selectOnly(1);
    editing.setRowStart(2220);
    core.updateTitle();
    EXPECT_EQ(controls.title, u"* " + folder.file("lesson.mp3") + u" - veltrix");
    ASSERT_TRUE(core.writeSentences());
    EXPECT_EQ(controls.title, folder.file("lesson.mp3") + u" - veltrix");
    editing.clearSentences();
    ASSERT_TRUE(core.openFile(folder.file("lesson.mp3")));
    EXPECT_EQ(table.getValueAt(1, LyricsTable::Start), u"00:02:22");
}
