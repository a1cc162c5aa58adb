// The sample lesson laid out in the program folder at build time: its sentence
// list must read back through the player's own reader and fit its recording.
#include <gtest/gtest.h>

#include <filesystem>

#include "audio/Mp3FileScanner.h"
#include "lyrics/SentenceList.h"
#include "lyrics/SentenceListFile.h"
#include "lyrics/SentenceListHost.h"

namespace {

struct QuietHost final : SentenceListHost {
    bool openAudio(const std::u16string&) override { return true; }
    std::u16string chooseAudioFile(std::u16string_view, const std::u16string&) override {
        asked = true;
        return {};
    }
    void showMessage(const std::u16string&, MessageOwner) override { ++messages; }
    bool asked = false;
    int messages = 0;
};

}  // namespace

TEST(SampleLesson, ReadsBackTimedTranslatedAndWithinItsRecording) {
    const std::u16string folder = VELTRIX_PROGRAM_DIR u"/Samples/";
    if (!std::filesystem::exists(std::filesystem::path(folder + u"AskingTheWay.xml"))) {
        GTEST_SKIP() << "no speech tools at build time, so no sample lesson";
    }
    SentenceList list;
    QuietHost host;
    ASSERT_TRUE(readSentenceList(list, folder + u"AskingTheWay.xml", host));
    EXPECT_FALSE(host.asked);  // the audio attribute finds the MP3 beside it
    EXPECT_EQ(host.messages, 0);
    EXPECT_EQ(list.audioPath(), folder + u"AskingTheWay.mp3");
    ASSERT_EQ(list.size(), 8u);

    Mp3FileScanner scanner;
    ASSERT_TRUE(scanner.scan(list.audioPath()));
    std::uint32_t previousEnd = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const SentenceGroup entry = list.entry(i);
        SCOPED_TRACE(i);
        EXPECT_GT(entry.startTime, previousEnd);
        EXPECT_GT(entry.endTime, entry.startTime);
        EXPECT_LE(entry.endTime, scanner.duration());
        EXPECT_FALSE(entry.translation.empty());
        EXPECT_FALSE(entry.explanation.empty());
        EXPECT_EQ(entry.sentence.back(), u'\n');
        previousEnd = entry.endTime;
    }
    EXPECT_EQ(list.entry(2).sentence, u"Is it far from here?\r\n");
    EXPECT_EQ(list.entry(2).translation, u"ここから遠いですか。");
}
