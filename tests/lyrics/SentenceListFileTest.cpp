// Sentence-list files: the exact bytes written, round trips, audio resolution,
// bad files, and the reduced forms.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <filesystem>

#include "lyrics/AudioPath.h"
#include "lyrics/SentenceListFile.h"
#include "lyrics/TimeCode.h"
#include "support/TempDir.h"
#include "xml/XMLParser.h"

namespace {

// Stands in for the player: records what the reader asks of it.
struct FakeHost : SentenceListHost {
    bool openResult = true;
    std::u16string choice;  // what the dialog answers; empty: cancelled
    std::vector<std::u16string> opened;
    std::vector<std::pair<std::u16string, std::u16string>> dialogs;  // filter, initial path
    std::vector<std::pair<std::u16string, MessageOwner>> messages;

    bool openAudio(const std::u16string& path) override {
        opened.push_back(path);
        return openResult;
    }
    std::u16string chooseAudioFile(std::u16string_view filter, const std::u16string& initialPath) override {
        dialogs.emplace_back(filter, initialPath);
        return choice;
    }
    void showMessage(const std::u16string& text, MessageOwner owner) override { messages.emplace_back(text, owner); }
};

std::string utf16le(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    return bytes;
}

std::u16string fromUtf16le(const std::string& bytes) {
    std::u16string text((bytes.size() - 2) / 2, u'\0');
    std::memcpy(text.data(), bytes.data() + 2, text.size() * 2);
    return text;
}

// A document that plays "a.mp3" beside "a.xml" in dir.
void placeIn(const TempDir& dir, SentenceList& list) {
    dir.write("a.mp3", "audio");
    list.setAudioPath(dir.file("a.mp3"));
    list.setXmlPath(dir.file("a.xml"));
}

}  // namespace

TEST(SentenceListWriter, ExactBytes) {
    TempDir dir;
    SentenceList list;
    placeIn(dir, list);
    list.id3().setChildText(u"title", u"T");
    list.id3().setChildInt(u"year", 2024);
    Element* word = list.wordList().appendChild(std::make_unique<Element>(u"Word"));
    word->appendChild(std::make_unique<Element>(u"key"))->appendChild(std::make_unique<Element>())->setCData(u"k");
    list.appendEntry({1234, 5000, u"Hello ]]>world.", u"こんにちは。", u""});
    list.appendEntry({6000, 6000, u"Line\r\nbreak", u"", u"Ex]]>"});
    FakeHost host;
    ASSERT_TRUE(writeSentenceList(list, host));
    EXPECT_TRUE(host.messages.empty());
    const std::u16string expected =
        u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
        u"<SentenceList audio=\"a.mp3\">\r\n"
        u"<WordList>\r\n\t<Word>\r\n\t\t<key>\r\n\t\t\t<![CDATA[k]]>\r\n\t\t</key>\r\n\t</Word>\r\n</WordList>\r\n"
        u"<id3>\r\n\t<title>T</title>\r\n\t<year>2024</year>\r\n</id3>\r\n"
        u"\t<SentenceGroup startTime='00:01:23' endTime='00:05:00'>\r\n"
        u"\t\t<sentence>\r\n<![CDATA[Hello world.]]>\r\n\t\t</sentence>\r\n"
        u"\t\t<translation>\r\n<![CDATA[こんにちは。]]>\r\n\t\t</translation>\r\n"
        u"\t</SentenceGroup>\r\n"
        u"\t<SentenceGroup startTime='00:06:00'>\r\n"
        u"\t\t<sentence>\r\n<![CDATA[Line\r\nbreak]]>\r\n\t\t</sentence>\r\n"
        u"\t\t<translation>\r\n<![CDATA[]]>\r\n\t\t</translation>\r\n"
        u"\t\t<explanation>\r\n<![CDATA[Ex]]>\r\n\t\t</explanation>\r\n"
        u"\t</SentenceGroup>\r\n"
        u"</SentenceList>\r\n";
    EXPECT_EQ(dir.read("a.xml"), utf16le(expected));
    EXPECT_EQ(sentenceListBytes(list), utf16le(expected));
}

TEST(SentenceListWriter, EmptyDocumentStillWritesItsBlocks) {
    TempDir dir;
    SentenceList list;
    placeIn(dir, list);
    EXPECT_EQ(fromUtf16le(sentenceListBytes(list)),
              u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<SentenceList audio=\"a.mp3\">\r\n"
              u"<WordList></WordList>\r\n<id3></id3>\r\n</SentenceList>\r\n");
}

TEST(SentenceListWriter, AFailedSaveKeepsTheOldFileAndSaysSo) {
    TempDir dir;
    SentenceList list;
    placeIn(dir, list);
    list.appendEntry({0, 0, u"new", u"", u""});
    dir.write("a.xml", "old contents");
    std::filesystem::create_directory(dir.native("a.xml.veltrix-tmp"));  // the new file cannot be made
    FakeHost host;
    EXPECT_FALSE(writeSentenceList(list, host));
    EXPECT_EQ(dir.read("a.xml"), "old contents");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].first, dir.file("a.xml") + u"\r\nファイルの作成に失敗しました。");
    EXPECT_EQ(host.messages[0].second, MessageOwner::None);
}

TEST(SentenceListReader, RoundTripGivesTheSameDocument) {
    TempDir dir;
    SentenceList list;
    placeIn(dir, list);
    list.id3().setChildText(u"title", u"Q&A <special>");
    list.id3().setChildText(u"comments", u"");
    Element* word = list.wordList().appendChild(std::make_unique<Element>(u"Word"));
    word->setAttribute(u"level", u"3");
    word->appendChild(std::make_unique<Element>(u"key"))->appendChild(std::make_unique<Element>())->setCData(u"run");
    const SentenceGroup entries[] = {
        {0, 0, u"First sentence. ", u"最初の文。", u""},
        {12340, 20000, u"日本語と English\r\n", u"訳", u"説明 & <notes>"},
        {20000, 19000, u"  spaces  ", u"", u"x"},
        {90000, 0, u"", u"", u""},
    };
    for (const SentenceGroup& e : entries) list.appendEntry(e);
    FakeHost host;
    ASSERT_TRUE(writeSentenceList(list, host));

    SentenceList read;
    ASSERT_TRUE(readSentenceList(read, dir.file("a.xml"), host));
    EXPECT_TRUE(host.messages.empty());
    ASSERT_EQ(read.size(), list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(read.rows()[i].start, list.rows()[i].start) << i;
        EXPECT_EQ(read.rows()[i].end, list.rows()[i].end) << i;
        EXPECT_EQ(read.rows()[i].sentence, list.rows()[i].sentence) << i;
        EXPECT_EQ(read.rows()[i].translation, list.rows()[i].translation) << i;
        EXPECT_EQ(read.rows()[i].explanation, list.rows()[i].explanation) << i;
    }
    EXPECT_EQ(read.timings()[1].startMs, 12340u);
    EXPECT_EQ(read.joinedText(), list.joinedText());
    EXPECT_EQ(read.id3().toString(), list.id3().toString());
    EXPECT_EQ(read.id3().getTextOf(u"title"), u"Q&A <special>");
    EXPECT_EQ(read.wordList().toString(), list.wordList().toString());
    EXPECT_EQ(read.xmlPath(), dir.file("a.xml"));
    EXPECT_EQ(read.audioPath(), dir.file("a.mp3"));
    ASSERT_EQ(host.opened.size(), 1u);
    EXPECT_EQ(host.opened[0], dir.file("a.mp3"));
    // Written again, the bytes are the same.
    EXPECT_EQ(sentenceListBytes(read), sentenceListBytes(list));
}

TEST(SentenceListReader, TextsLoseOnlyTheCDataEnd) {
    TempDir dir;
    SentenceList list;
    placeIn(dir, list);
    list.appendEntry({0, 0, u"a]]>b", u"]]>]]>", u"c]]"});
    FakeHost host;
    ASSERT_TRUE(writeSentenceList(list, host));
    SentenceList read;
    ASSERT_TRUE(readSentenceList(read, dir.file("a.xml"), host));
    EXPECT_EQ(read.rows()[0].sentence, u"ab");
    EXPECT_EQ(read.rows()[0].translation, u"");
    EXPECT_EQ(read.rows()[0].explanation, u"c]]");
}

TEST(SentenceListReader, ChildrenAreTakenByPositionAndMissingOnesAreEmpty) {
    TempDir dir;
    dir.write("a.mp3", "audio");
    dir.write("a.xml", utf16le(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
                               u"<Anything audio=\"a.mp3\"><wrap>"
                               u"<SentenceGroup startTime='00:01:00'><a><![CDATA[s]]></a><b>plain</b>"
                               u"<c>\r\n<![CDATA[e]]>\r\n</c><image>pic.jpg</image></SentenceGroup>"
                               u"<SentenceGroup endTime='00:02:00'/>"
                               u"<SentenceGroup startTime='00:03:00' endTime='00:02:00'><x/></SentenceGroup>"
                               u"</wrap></Anything>"));
    SentenceList list;
    FakeHost host;
    ASSERT_TRUE(readSentenceList(list, dir.file("a.xml"), host));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list.rows()[0].sentence, u"s");
    EXPECT_EQ(list.rows()[0].translation, u"");  // plain character data is not read
    EXPECT_EQ(list.rows()[0].explanation, u"e");
    EXPECT_EQ(list.rows()[1].start, u"00:00:00");
    EXPECT_EQ(list.rows()[1].end, u"00:02:00");
    EXPECT_EQ(list.rows()[2].end, u"");
    EXPECT_EQ(list.timings().size(), 3u);
    EXPECT_EQ(list.timings()[2].textOffset, 1);
}

TEST(SentenceListReader, MissingId3IsMadeFromTheFileDate) {
    TempDir dir;
    dir.write("a.mp3", "audio");
    dir.write("a.xml", utf16le(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><SentenceList audio=\"a.mp3\">"
                               u"<SentenceGroup/></SentenceList>"));
    SentenceList list;
    FakeHost host;
    ASSERT_TRUE(readSentenceList(list, dir.file("a.xml"), host));
    std::vector<std::u16string> names;
    for (const Element* child : list.id3().getChildren()) names.push_back(child->getName());
    EXPECT_EQ(names, (std::vector<std::u16string>{u"title", u"officialSite", u"sourceUrl", u"category", u"day",
                                                  u"month", u"year", u"comments"}));
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    // Made a moment ago (a test run across midnight would see yesterday).
    const std::string year = std::to_string(local.tm_year + 1900);
    EXPECT_EQ(list.id3().getTextOf(u"year"), std::u16string(year.begin(), year.end()));
    EXPECT_EQ(list.id3().findElement(u"title")->getChildren().size(), 1u);
    EXPECT_EQ(list.wordList().firstChild(), nullptr);
}

TEST(SentenceListReader, BadFilesLeaveTheDocumentAlone) {
    TempDir dir;
    dir.write("a.mp3", "audio");
    SentenceList list;
    placeIn(dir, list);
    list.appendEntry({0, 0, u"kept", u"", u""});
    const std::pair<const char*, std::string> files[] = {
        {"unclosed.xml", utf16le(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><a><b></a>")},
        {"no-encoding.xml", utf16le(u"<?xml version=\"1.0\"?><SentenceList><SentenceGroup/></SentenceList>")},
        {"garbage.xml", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        {"no-groups.xml", utf16le(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><SentenceList/>")},
        {"empty.xml", ""},
    };
    for (const auto& [name, bytes] : files) {
        dir.write(name, bytes);
        FakeHost host;
        EXPECT_FALSE(readSentenceList(list, dir.file(name), host)) << name;
        EXPECT_EQ(list.size(), 1u) << name;
        EXPECT_EQ(list.xmlPath(), dir.file("a.xml")) << name;
        const bool parseFailure = std::string(name) != "no-groups.xml";
        ASSERT_EQ(host.messages.empty(), !parseFailure) << name;
        if (parseFailure) {
            EXPECT_EQ(host.messages.back().first, dir.file(name) + u"\nCouldn't parse this file.") << name;
        }
    }
}

TEST(SentenceListReader, AudioAttributeWithBackslashesFromWindows) {
    TempDir dir;
    std::filesystem::create_directories(dir.native("sub/deeper"));
    dir.write("sub/deeper/song.mp3", "audio");
    std::filesystem::create_directories(dir.native("xml"));
    dir.write("xml/a.xml",
              utf16le(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
                      u"<SentenceList audio=\"..\\sub\\deeper\\song.mp3\"><SentenceGroup/></SentenceList>"));
    SentenceList list;
    FakeHost host;
    ASSERT_TRUE(readSentenceList(list, dir.file("xml/a.xml"), host));
    EXPECT_EQ(list.audioPath(), dir.file("sub/deeper/song.mp3"));
    EXPECT_TRUE(host.dialogs.empty());
    // Written back with "/".
    list.setXmlPath(dir.file("xml/b.xml"));
    ASSERT_TRUE(writeSentenceList(list, host));
    EXPECT_NE(fromUtf16le(dir.read("xml/b.xml")).find(u"audio=\"../sub/deeper/song.mp3\""), std::u16string::npos);
}

TEST(SentenceListReader, AudioResolution) {
    TempDir dir;
    dir.write("a.xml", utf16le(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
                               u"<SentenceList audio=\"missing.mp3\"><SentenceGroup/></SentenceList>"));
    dir.write("chosen.mp3", "audio");
    dir.write("current.mp3", "audio");

    {  // Missing audio: the dialog asks; a chosen file is opened.
        SentenceList list;
        FakeHost host;
        host.choice = dir.file("chosen.mp3");
        ASSERT_TRUE(readSentenceList(list, dir.file("a.xml"), host));
        ASSERT_EQ(host.dialogs.size(), 1u);
        EXPECT_EQ(host.dialogs[0].first, u"Audio File (*.ogg,*.mp3,*.wma)");
        EXPECT_EQ(host.dialogs[0].second, dir.file("a.xml"));
        EXPECT_EQ(host.opened, std::vector<std::u16string>{dir.file("chosen.mp3")});
        EXPECT_EQ(list.audioPath(), dir.file("chosen.mp3"));
    }
    {  // Cancelled, or a file the player cannot open: false, document untouched.
        for (bool cancel : {true, false}) {
            SentenceList list;
            list.appendEntry({0, 0, u"kept", u"", u""});
            FakeHost host;
            host.choice = cancel ? u"" : dir.file("chosen.mp3");
            host.openResult = false;
            EXPECT_FALSE(readSentenceList(list, dir.file("a.xml"), host));
            EXPECT_EQ(list.rows()[0].sentence, u"kept");
            EXPECT_EQ(list.xmlPath(), u"");
            EXPECT_EQ(host.opened.size(), cancel ? 0u : 1u);
        }
    }
    {  // The player already has a readable audio file: the attribute is not looked at.
        SentenceList list;
        list.setAudioPath(dir.file("current.mp3"));
        FakeHost host;
        ASSERT_TRUE(readSentenceList(list, dir.file("a.xml"), host));
        EXPECT_TRUE(host.dialogs.empty());
        EXPECT_TRUE(host.opened.empty());
        EXPECT_EQ(list.audioPath(), dir.file("current.mp3"));
    }
}

TEST(AudioPath, RelativeValueForTheAudioAttribute) {
    struct Case {
        std::u16string audio, xml, expected;
    };
    const Case cases[] = {
        {u"/m/study/a.mp3", u"/m/study/a.xml", u"a.mp3"},
        {u"/m/a.mp3", u"/m/study/a.xml", u"../a.mp3"},
        {u"/m/other/a.mp3", u"/m/study/x/a.xml", u"../../other/a.mp3"},
        // Kept with its folder, so that the file still finds its audio when read.
        {u"/m/study/sub/a.mp3", u"/m/study/a.xml", u"sub/a.mp3"},
        {u"/media/usb/a.mp3", u"/home/u/a.xml", u"/media/usb/a.mp3"},  // no common folder
        {u"/m/s\\a.mp3", u"/m/s/a.xml", u"a.mp3"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(relativeAudioPath(c.audio, c.xml), c.expected) << std::string(c.audio.begin(), c.audio.end());
    }
}

TEST(AudioPath, Qualification) {
    EXPECT_EQ(qualifyPath(u"/m/s", u"a.mp3"), u"/m/s/a.mp3");
    EXPECT_EQ(qualifyPath(u"/m/s", u"..\\x\\.\\a.mp3"), u"/m/x/a.mp3");
    EXPECT_EQ(qualifyPath(u"/m/s", u"/abs/a.mp3"), u"/abs/a.mp3");
    EXPECT_EQ(qualifyPath(u"/m", u"../../../a.mp3"), u"/a.mp3");
    EXPECT_EQ(folderOf(u"/m/s/a.xml"), u"/m/s");
    EXPECT_EQ(folderOf(u"a.xml"), u"");
    EXPECT_EQ(folderOf(u"/a.xml"), u"/");
}

TEST(ReducedForms, SentencePairsAndWordList) {
    EXPECT_EQ(sentencePairsXml({{u"A]]>b", u"訳"}}),
              u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<SentenceList>\r\n"
              u"\t<SentenceGroup>\r\n\t\t<sentence>\r\n<![CDATA[Ab]]>\r\n\t\t</sentence>\r\n"
              u"\t\t<translation>\r\n<![CDATA[訳]]>\r\n\t\t</translation>\r\n\t</SentenceGroup>\r\n"
              u"</SentenceList>\r\n");
    const std::u16string words = wordListXml({{u"run", u"走る"}});
    EXPECT_EQ(words,
              u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<SentenceList>\r\n\t<WordList>\r\n"
              u"\t\t<Word>\t\t\t<key>\t\t<![CDATA[run]]>\r\n\t\t\t</key>\t\t\t<value>\t\t<![CDATA[走る]]>\r\n"
              u"\t\t\t</value>\t\t</Word>\r\n\t</WordList>\r\n</SentenceList>\r\n");

    TempDir dir;
    ASSERT_TRUE(saveUtf16File(dir.file("w.xml"), words));
    EXPECT_EQ(dir.read("w.xml"), utf16le(words));
    // Both read back: the word list as words, the pairs as untimed entries.
    XMLParser parser;
    ASSERT_TRUE(parser.parse(dir.file("w.xml")));
    ASSERT_EQ(parser.getElementsByTagName(u"Word").size(), 1u);
    EXPECT_EQ(parser.getRoot()->findElement(u"value")->getCDataText(), u"走る");
}

TEST(SentenceListWriter, AudioNamesWithMarkupCharactersReadBack) {
    TempDir dir;
    dir.write("Q&A \"live\" <1>.mp3", "audio");
    SentenceList list;
    list.setAudioPath(dir.file("Q&A \"live\" <1>.mp3"));
    list.setXmlPath(dir.file("a.xml"));
    list.appendEntry({0, 0, u"s", u"t", u""});
    FakeHost host;
    ASSERT_TRUE(writeSentenceList(list, host));
    EXPECT_NE(fromUtf16le(dir.read("a.xml")).find(u"audio=\"Q&amp;A &quot;live&quot; &lt;1&gt;.mp3\""),
              std::u16string::npos);
    SentenceList read;
    ASSERT_TRUE(readSentenceList(read, dir.file("a.xml"), host));
    EXPECT_EQ(read.audioPath(), dir.file("Q&A \"live\" <1>.mp3"));
    EXPECT_TRUE(host.dialogs.empty());
}

TEST(SentenceListReader, TruncatedAndDeeplyNestedFilesEndCleanly) {
    TempDir dir;
    SentenceList list;
    placeIn(dir, list);
    list.wordList().appendChild(std::make_unique<Element>(u"Word"))->setAttribute(u"level", u"1");
    for (int i = 0; i < 3; ++i)
        list.appendEntry({static_cast<std::uint32_t>(i) * 1000u, 0, u"文 sentence", u"訳", u"e"});
    const std::string whole = sentenceListBytes(list);
    for (std::size_t cut = 0; cut < whole.size(); cut += 7) {
        dir.write("cut.xml", whole.substr(0, cut));
        SentenceList read;
        FakeHost host;
        if (readSentenceList(read, dir.file("cut.xml"), host)) {
            EXPECT_EQ(read.rows().size(), read.timings().size());  // whatever was read is in step
            EXPECT_LE(read.size(), 3u);
        } else {
            EXPECT_EQ(read.size(), 0u);
        }
    }

    std::u16string deep = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><SentenceList audio=\"a.mp3\">";
    for (int i = 0; i < 100000; ++i) deep += u"<WordList>";
    deep += u"<SentenceGroup startTime='00:00:01'><s><![CDATA[bottom]]></s></SentenceGroup>";
    dir.write("deep.xml", utf16le(deep));
    SentenceList read;
    FakeHost host;
    ASSERT_TRUE(readSentenceList(read, dir.file("deep.xml"), host));
    EXPECT_EQ(read.rows().at(0).sentence, u"bottom");
    EXPECT_NE(read.wordList().findElement(u"SentenceGroup"), nullptr);  // the outermost WordList, copied whole
}
