// The lyrics view's bilingual tools through its context menu: the items and
// when they are enabled, the swap as one undoable edit, and the two exports,
// whose files are checked byte for byte and read back as the player reads.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "LyricsViewsFixture.h"
#include "lyrics/SentenceListBuilders.h"
#include "platform/display/HeadlessAnswers.h"
#include "xml/XMLParser.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;

namespace {

struct LyricsTools : LyricsViews {
    void TearDown() override {
        headless::setMenuResponder(nullptr);
        headless::setFileDialogResponder(nullptr);
        LyricsViews::TearDown();
    }
    headless::MenuShown rightClickMenu(int command) {
        headless::MenuShown shown;
        headless::setMenuResponder([&](const headless::MenuShown& menu) {
            shown = menu;
            return command;
        });
        POINT p{30, 10};
        ClientToScreen(lyrics.getHandle(), &p);
        headless::click(headless::Button::Right, p);
        headless::pumpMessages();
        headless::setMenuResponder(nullptr);
        return shown;
    }
    // Runs an export command, saving to name in the temporary folder.
    void exportTo(int command, const std::string& name) {
        headless::setFileDialogResponder([&](const headless::FileDialogShown& dialog) {
            shownFilters = dialog.filters;
            shownExtension = dialog.defaultExtension;
            return headless::FileDialogAnswer::choose(folder.file(name));
        });
        rightClickMenu(command);
    }
    std::string bytesOf(const std::string& name) {
        std::ifstream in(folder.native(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static std::string utf16(std::u16string_view text) {
        std::string bytes = "\xFF\xFE";
        bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * 2);
        return bytes;
    }

    std::vector<std::pair<std::u16string, std::u16string>> shownFilters;
    std::u16string shownExtension;
};

TEST_F(LyricsTools, TheFourToolsFollowTheEditorsItemsAndNeedASelection) {
    lyrics.setText(u"Hello.\r\nこんにちは。\r\n");
    lyrics.setSelection(0, 0);
    const auto menu = rightClickMenu(0);
    ASSERT_GE(menu.items.size(), 5u);
    const auto tail = std::vector(menu.items.end() - 5, menu.items.end());
    EXPECT_TRUE(tail[0].separator);
    EXPECT_EQ(tail[1].text, u"選択範囲にある、日本文と英文の位置を入れ替える");
    EXPECT_EQ(tail[1].id, 55u);
    EXPECT_EQ(tail[2].text, u"選択範囲にある、日本文と英文の位置をセンテンスで入れ替える");
    EXPECT_EQ(tail[3].text, u"選択範囲にある、日本文と英文の組を XML 形式にする");
    EXPECT_EQ(tail[4].text, u"選択範囲にある、日単語と英単語の組を XML 形式にする");
    EXPECT_EQ(tail[4].id, 58u);
    for (std::size_t i = 1; i < tail.size(); ++i) EXPECT_FALSE(tail[i].enabled);

    lyrics.setSelection(0, -1);
    rightClickMenu(LyricsTextEditor::kCommandSwapByCharacters);
    EXPECT_EQ(lyrics.text(), u"こんにちは。\r\nHello.\r\n\r\n");
    lyrics.undo();
    EXPECT_EQ(lyrics.text(), u"Hello.\r\nこんにちは。\r\n");
}

TEST_F(LyricsTools, SentencePairsAreSavedAsTheReducedFormAndOpenInThePlayer) {
    lyrics.setText(u"Good morning.\r\nおはよう。\r\nThank you.\r\nありがとう。\r\n");
    lyrics.setSelection(0, -1);
    exportTo(LyricsTextEditor::kCommandSentencePairs, "pairs.xml");
    ASSERT_EQ(shownFilters.size(), 2u);
    EXPECT_EQ(shownFilters[0], std::make_pair(std::u16string(u"XML files {*.xml}"), std::u16string(u"*.xml")));
    EXPECT_EQ(shownFilters[1], std::make_pair(std::u16string(u"All files {*.*}"), std::u16string(u"*.*")));
    EXPECT_EQ(shownExtension, u"xml");
    const std::u16string expected =
        u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<SentenceList>\r\n"
        u"\t<SentenceGroup>\r\n\t\t<sentence>\r\n<![CDATA[Good morning.\r\n]]>\r\n\t\t</sentence>\r\n"
        u"\t\t<translation>\r\n<![CDATA[おはよう。\r\n]]>\r\n\t\t</translation>\r\n\t</SentenceGroup>\r\n"
        u"\t<SentenceGroup>\r\n\t\t<sentence>\r\n<![CDATA[Thank you.\r\n]]>\r\n\t\t</sentence>\r\n"
        u"\t\t<translation>\r\n<![CDATA[ありがとう。\r\n]]>\r\n\t\t</translation>\r\n\t</SentenceGroup>\r\n"
        u"</SentenceList>\r\n";
    EXPECT_EQ(bytesOf("pairs.xml"), utf16(expected));

    // The player opens it, asking for the audio since the file names none.
    struct AudioHost : RecordingHost {
        std::u16string audio;
        std::u16string chooseAudioFile(std::u16string_view, const std::u16string&) override { return audio; }
    } audioHost;
    std::ofstream(folder.native("lesson.mp3")).put('\0');
    audioHost.audio = folder.file("lesson.mp3");
    SentenceList document;
    ASSERT_TRUE(readSentenceList(document, folder.file("pairs.xml"), audioHost));
    ASSERT_EQ(document.size(), 2u);
    EXPECT_EQ(document.rows()[1].sentence, u"Thank you.\r\n");
    EXPECT_EQ(document.rows()[1].translation, u"ありがとう。\r\n");
}

TEST_F(LyricsTools, WordPairsAreSavedAsAWordListAndCancellingWritesNothing) {
    lyrics.setText(u"りんご\r\napple\r\nみかん\r\norange\r\n");
    lyrics.setSelection(0, -1);
    exportTo(LyricsTextEditor::kCommandWordPairs, "words.xml");
    const std::u16string expected =
        u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<SentenceList>\r\n\t<WordList>\r\n"
        u"\t\t<Word>\t\t\t<key>\t\t<![CDATA[apple]]>\r\n\t\t\t</key>\t\t\t<value>\t\t<![CDATA[りんご]]>\r\n"
        u"\t\t\t</value>\t\t</Word>\r\n"
        u"\t\t<Word>\t\t\t<key>\t\t<![CDATA[orange]]>\r\n\t\t\t</key>\t\t\t<value>\t\t<![CDATA[みかん]]>\r\n"
        u"\t\t\t</value>\t\t</Word>\r\n"
        u"\t</WordList>\r\n</SentenceList>\r\n";
    EXPECT_EQ(bytesOf("words.xml"), utf16(expected));
    XMLParser parser;
    ASSERT_TRUE(parser.parse(folder.file("words.xml")));
    const auto words = parser.getElementsByTagName(u"Word");
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(wordKey(*words[1]), u"orange");
    EXPECT_EQ(wordValue(*words[1]), u"みかん");

    headless::setFileDialogResponder(
        [](const headless::FileDialogShown&) { return headless::FileDialogAnswer::cancel(); });
    rightClickMenu(LyricsTextEditor::kCommandSentencePairs);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.native("")), {}), 1);  // words.xml alone
}

}  // namespace
