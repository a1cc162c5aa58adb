#include "LyricsViewsFixture.h"

#include "lyrics/TimeCode.h"

namespace veltrix::test {

namespace headless = veltrix::platform::headless;

void LyricsViews::SetUp() {
    ASSERT_TRUE(headless::active());
    ASSERT_TRUE(frame.createFrame());
    MoveWindow(frame.handle(), 40, 40, 640, 480, TRUE);
    ShowWindow(frame.handle(), SW_SHOW);
    ASSERT_TRUE(table.create(frame.handle()));
    table.setBounds(0, 0, 640, 200);
    ASSERT_TRUE(lyrics.createAt(frame.handle(), 0, 200, 640, 120));
    ASSERT_TRUE(translation.createAt(frame.handle(), 0, 320, 640, 60));
    ASSERT_TRUE(explanation.createAt(frame.handle(), 0, 380, 640, 60));
    headless::pumpMessages();
}

void LyricsViews::TearDown() {
    explanation.destroyWindow();
    translation.destroyWindow();
    lyrics.destroyWindow();
    table.destroyWindow();
    frame.destroyWindow();
    headless::pumpMessages();
}

void LyricsViews::loadEntries(const std::vector<SentenceGroup>& entries) {
    folder.write("lesson.mp3", "");
    SentenceList source;
    source.setAudioPath(folder.file("lesson.mp3"));
    source.setXmlPath(folder.file("lesson.xml"));
    for (const SentenceGroup& entry : entries) source.appendEntry(entry);
    ASSERT_TRUE(writeSentenceList(source, host));
    table.document().setAudioPath(folder.file("lesson.mp3"));
    ASSERT_TRUE(readSentenceList(table.document(), folder.file("lesson.xml"), host));
    editing.showDocument();
}

void LyricsViews::loadSix() {
    std::vector<SentenceGroup> entries;
    for (int i = 0; i < 6; ++i) {
        const char16_t digit = static_cast<char16_t>(u'0' + i);
        entries.push_back(SentenceGroup{static_cast<std::uint32_t>(1000 * (i + 1)), 0,
                                        std::u16string(u"S") + digit + u". ", std::u16string(u"T") + digit,
                                        i == 0 ? u"E0" : u""});
    }
    loadEntries(entries);
}

std::unique_ptr<SentenceList> LyricsViews::saveAndReread() {
    editing.collectDocument();
    EXPECT_TRUE(writeSentenceList(table.document(), host));
    auto reread = std::make_unique<SentenceList>();
    reread->setAudioPath(table.document().audioPath());
    EXPECT_TRUE(readSentenceList(*reread, table.document().xmlPath(), host));
    return reread;
}

std::vector<std::u16string> LyricsViews::sentences() const {
    std::vector<std::u16string> out;
    for (int row = 0; row < table.getRowCount(); ++row) out.push_back(sentenceAt(row));
    return out;
}

void LyricsViews::expectInStep() const {
    ASSERT_EQ(table.getRowCount(), lyrics.sentenceCount());
    std::u16string joined;
    for (int row = 0; row < table.getRowCount(); ++row) {
        const auto [start, end] = lyrics.sentenceRange(row);
        EXPECT_EQ(lyrics.timings()[static_cast<std::size_t>(row)].textOffset, static_cast<int>(joined.size()))
            << "row " << row;
        EXPECT_EQ(lyrics.text().substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)),
                  sentenceAt(row))
            << "row " << row;
        EXPECT_EQ(formatTimeCode(lyrics.timings()[static_cast<std::size_t>(row)].startMs),
                  table.getValueAt(row, LyricsTable::Start).empty() ? formatTimeCode(0)
                                                                    : table.getValueAt(row, LyricsTable::Start))
            << "row " << row;
        joined += sentenceAt(row);
    }
    EXPECT_EQ(lyrics.text(), joined);
}

}  // namespace veltrix::test
