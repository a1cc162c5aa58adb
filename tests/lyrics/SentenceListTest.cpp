// The document: rows with their time cells, the timing index and the joined text kept in step.
#include <gtest/gtest.h>

#include "lyrics/SentenceList.h"

TEST(SentenceList, AppendKeepsRowsTimingsAndJoinedTextInStep) {
    SentenceList list;
    list.appendEntry({1234, 5000, u"Hello. ", u"こんにちは。", u""});
    list.appendEntry({5000, 5000, u"Bye.\r\n", u"さようなら。", u"note"});
    ASSERT_EQ(list.rows().size(), 2u);
    ASSERT_EQ(list.timings().size(), 2u);
    EXPECT_EQ(list.rows()[0].start, u"00:01:23");
    EXPECT_EQ(list.rows()[0].end, u"00:05:00");
    EXPECT_EQ(list.rows()[1].end, u"");           // not later than the start
    EXPECT_EQ(list.timings()[0].startMs, 1234u);  // exact until read again
    EXPECT_EQ(list.timings()[1].textOffset, 7);
    EXPECT_EQ(list.joinedText(), u"Hello. Bye.\r\n");
    EXPECT_EQ(list.entry(0).startTime, 1230u);
    EXPECT_EQ(list.entry(1).endTime, 0u);
    EXPECT_EQ(list.entry(1).explanation, u"note");
    EXPECT_EQ(list.findEntryAt(4000), 0);
}

TEST(SentenceList, EndTimeRule) {
    SentenceList list;
    list.appendEntry({5000, 0, u"a", u"", u""});
    const std::pair<std::uint32_t, std::u16string> cases[] = {
        {5000, u""},         {5010, u"00:05:01"},
        {4000, u""},         {0, u""},
        {6000, u"00:06:00"}, {SentenceGroup::kNoEndTime, u""},
        {5009, u"00:05:00"},  // later than the start, shown to 10 ms
    };
    for (const auto& [end, cell] : cases) {
        list.setEndTime(0, end);
        EXPECT_EQ(list.rows()[0].end, cell) << end;
    }
}

TEST(SentenceList, StartCellAndTimingAreSetTogether) {
    SentenceList list;
    list.appendEntry({0, 0, u"a", u"", u""});
    list.setStartTime(0, 61239);
    EXPECT_EQ(list.rows()[0].start, u"01:01:23");
    EXPECT_EQ(list.timings()[0].startMs, 61239u);
}

TEST(SentenceList, ClearEmptiesEverythingButThePaths) {
    SentenceList list;
    list.setAudioPath(u"/a.mp3");
    list.setXmlPath(u"/a.xml");
    list.appendEntry({0, 0, u"a", u"", u""});
    list.id3().setChildText(u"title", u"t");
    list.wordList().appendChild(std::make_unique<Element>(u"Word"));
    list.clear();
    EXPECT_EQ(list.size(), 0u);
    EXPECT_TRUE(list.timings().empty());
    EXPECT_EQ(list.joinedText(), u"");
    EXPECT_EQ(list.id3().firstChild(), nullptr);
    EXPECT_EQ(list.id3().getName(), u"id3");
    EXPECT_EQ(list.wordList().firstChild(), nullptr);
    EXPECT_EQ(list.audioPath(), u"/a.mp3");
    EXPECT_EQ(list.findEntryAt(0), -1);
}
