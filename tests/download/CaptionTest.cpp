// The caption downloader: video ids, the track list and its menu, a track's
// text with references and line breaks split into sentences, and the silent
// ends (no id, an empty list, an error page, no choice).
#include <gtest/gtest.h>

#include <string>

#include "download/CaptionText.h"
#include "download/YoutubeLyricsDialog.h"
#include "platform/display/HeadlessAnswers.h"
#include "support/HttpTestServer.h"
#include "text/NarrowText.h"
#include "toolkit/ToolkitTestSupport.h"

using namespace veltrix::test;

namespace {

const std::string kTrackList =
    "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<transcript_list docid=\"1\">\n"
    "<track id=\"0\" name=\"\" lang_code=\"ja\" lang_original=\"日本語\" lang_translated=\"Japanese\"/>\n"
    "<track id=\"1\" name=\"CC &amp; notes\" lang_code=\"en\" lang_original=\"English\" lang_translated=\"English\"/>\n"
    "</transcript_list>\n";

// Caption lines as the service sends them: references escaped twice, a
// sentence broken across lines and elements.
const std::string kTrack =
    "<?xml version=\"1.0\" encoding=\"utf-8\" ?><transcript>"
    "<text start=\"0.5\" dur=\"2\">Good morning, everyone. It&amp;#39;s a</text>"
    "<text start=\"2.5\" dur=\"2\">fine day\ntoday. Mr. Smith said &amp;quot;Hi&amp;quot;.</text>"
    "<text start=\"5\" dur=\"1\">See you!</text></transcript>";

std::u16string wide(const std::string& s) { return decodeCodePage(s, CP_UTF8); }

}  // namespace

TEST(CaptionText, TheVideoIdEndsAtAnAmpersandOrASlash) {
    EXPECT_EQ(captions::videoIdOf(u"http://www.youtube.com/watch?v=abc_-1", u"youtube.com"), u"abc_-1");
    EXPECT_EQ(captions::videoIdOf(u"https://youtube.com/watch?v=abc&feature=related&t=1", u"youtube.com"), u"abc");
    EXPECT_EQ(captions::videoIdOf(u"youtube.com/watch?v=abc/more/path", u"youtube.com"), u"abc");
    EXPECT_EQ(captions::videoIdOf(u"http://www.youtube.com/embed/abc", u"youtube.com"), u"");
    EXPECT_EQ(captions::videoIdOf(u"http://example.com/watch?v=abc", u"youtube.com"), u"");
}

TEST(CaptionText, TheRequestsCarryTheQueryKeysWithValuesEncoded) {
    EXPECT_EQ(captions::trackListUrl(u"127.0.0.1:80", u"abc"), u"http://127.0.0.1:80/timedtext?type=list&v=abc");
    EXPECT_EQ(captions::trackUrl(u"h", captions::Track{u"English", u"en", u"CC & notes"}, u"abc"),
              u"http://h/timedtext?hl=en&lang=en&name=CC%20%26%20notes&v=abc");
    EXPECT_EQ(captions::trackUrl(u"h", captions::Track{u"日本語", u"ja", u"字幕"}, u"x"),
              u"http://h/timedtext?hl=ja&lang=ja&name=%E5%AD%97%E5%B9%95&v=x");
}

TEST(CaptionText, TracksInDocumentOrderAndNothingFromABrokenList) {
    auto tracks = captions::readTrackList(wide(kTrackList));
    ASSERT_EQ(tracks.size(), 2u);
    EXPECT_EQ(tracks[0].label, u"日本語");
    EXPECT_EQ(tracks[0].code, u"ja");
    EXPECT_EQ(tracks[0].name, u"");
    EXPECT_EQ(tracks[1].label, u"English");
    EXPECT_EQ(tracks[1].name, u"CC & notes");
    EXPECT_TRUE(captions::readTrackList(u"<html><body>Error 404 <p>not found</body>").empty());
    EXPECT_TRUE(captions::readTrackList(u"").empty());
    EXPECT_TRUE(captions::readTrackList(u"<?xml version=\"1.0\"?><transcript_list/>").empty());
}

TEST(CaptionText, ReferencesAndLineBreaksDecodedAndElementsJoinedBySpaces) {
    EXPECT_EQ(captions::captionText(wide(kTrack)),
              u"Good morning, everyone. It's a fine day today. Mr. Smith said \"Hi\". See you! ");
    EXPECT_EQ(captions::captionText(u"<transcript><text>a\r\nb\rc</text></transcript>"), u"a b c ");
    EXPECT_EQ(captions::captionText(u"not xml"), u"");
}

TEST(CaptionText, SentencesRunFromTheLastEndWithoutAFinalSpace) {
    EXPECT_EQ(captions::splitSentences(captions::captionText(wide(kTrack))),
              (std::vector<std::u16string>{u"Good morning, everyone.", u"It's a fine day today.",
                                           u"Mr. Smith said \"Hi\".", u"See you!"}));
    EXPECT_TRUE(captions::splitSentences(u"  \r\n ").empty());
    EXPECT_TRUE(captions::splitSentences(u"a").empty());
}

namespace {

class CaptionDialog : public ::testing::Test {
protected:
    void SetUp() override {
        hosts.captionService = wide("127.0.0.1:" + std::to_string(server.port()));
        server.route("/timedtext?type=list&v=abc", HttpTestServer::page(kTrackList));
        server.route("/timedtext?hl=en&lang=en&name=CC%20%26%20notes&v=abc", HttpTestServer::page(kTrack));
        headless::setMenuResponder([this](const headless::MenuShown& shown) {
            menus.push_back(shown);
            if (menus.size() == 1) headless::savePicture(shown.popup, "caption-menu.png");
            return choice;
        });
    }
    void TearDown() override { headless::setMenuResponder(nullptr); }

    // Shows the dialog, types the address and clicks "Download..." as often
    // as asked, and returns the editor's text when it closes.
    std::u16string run(const std::u16string& address, int clicks = 1, const std::string& picture = {}) {
        YoutubeLyricsDialog dialog(hosts);
        headless::setDialogResponder([&](const headless::DialogShown& shown) {
            dialogs.push_back(shown);
            SetWindowTextW(dialog.urlField().handle(), address.c_str());
            for (int i = 0; i < clicks; ++i) {
                RECT r{};
                GetWindowRect(dialog.downloadButton().handle(), &r);
                const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
                headless::mouseMove(centre);
                headless::click(headless::Button::Left, centre);
                headless::pumpMessages();
            }
            if (!picture.empty()) headless::savePicture(shown.dialog, picture);
            GetWindowRect(shown.dialog, &placed);
            return static_cast<int>(kCancelButton);
        });
        showModal(frame.handle(), dialog);
        headless::setDialogResponder(nullptr);
        return dialog.editor().text();
    }
    std::vector<std::string> targets() {
        std::vector<std::string> out;
        for (const auto& request : server.requests()) out.push_back(request.target);
        return out;
    }

    HttpTestServer server;
    SiteHosts hosts;
    RecordingFrame frame;
    std::vector<headless::MenuShown> menus;
    std::vector<headless::DialogShown> dialogs;
    RECT placed{};
    int choice = 2;
};

}  // namespace

TEST_F(CaptionDialog, TheChosenTracksSentencesFillTheEditorOnePerLine) {
    const std::u16string text = run(u"http://www.youtube.com/watch?v=abc&feature=related", 1, "caption-dialog.png");
    EXPECT_EQ(text, u"Good morning, everyone.\r\nIt's a fine day today.\r\nMr. Smith said \"Hi\".\r\nSee you!\r\n");
    ASSERT_EQ(menus.size(), 1u);
    ASSERT_EQ(menus[0].items.size(), 2u);
    EXPECT_EQ(menus[0].items[0].text, u"日本語");
    EXPECT_EQ(menus[0].items[0].id, 1u);
    EXPECT_EQ(menus[0].items[1].text, u"English");
    EXPECT_EQ(menus[0].items[1].id, 2u);
    EXPECT_EQ(targets(), (std::vector<std::string>{"/timedtext?type=list&v=abc",
                                                   "/timedtext?hl=en&lang=en&name=CC%20%26%20notes&v=abc"}));
    // 500 x 300, centred on the desktop.
    EXPECT_EQ(placed.right - placed.left, 500);
    EXPECT_EQ(placed.bottom - placed.top, 300);
}

TEST_F(CaptionDialog, ASecondDownloadIsAppendedAfterTheFirst) {
    const std::u16string once =
        u"Good morning, everyone.\r\nIt's a fine day today.\r\nMr. Smith said \"Hi\".\r\nSee you!\r\n";
    EXPECT_EQ(run(u"youtube.com/watch?v=abc", 2), once + once);
}

TEST_F(CaptionDialog, EveryFailureEndsSilentlyAndLeavesTheEditorAlone) {
    // An address without a video id: no request at all.
    EXPECT_EQ(run(u"http://www.youtube.com/user/abc"), u"");
    EXPECT_TRUE(server.requests().empty());
    // The menu closed without a choice.
    choice = 0;
    EXPECT_EQ(run(u"youtube.com/watch?v=abc"), u"");
    EXPECT_EQ(menus.size(), 1u);
    // A list of separators only: nothing can be chosen.
    server.route("/timedtext?type=list&v=sep",
                 HttpTestServer::page("<transcript_list><track lang_code=\"en\" lang_original=\"\"/>"
                                      "<track lang_code=\"ja\" lang_original=\"\"/></transcript_list>"));
    EXPECT_EQ(run(u"youtube.com/watch?v=sep"), u"");
    ASSERT_EQ(menus.size(), 2u);
    ASSERT_EQ(menus[1].items.size(), 2u);
    EXPECT_TRUE(menus[1].items[0].separator && menus[1].items[1].separator);
    // An empty list, an error page, a missing list: no menu.
    server.route("/timedtext?type=list&v=empty", HttpTestServer::page("<?xml version=\"1.0\"?><transcript_list/>"));
    server.route("/timedtext?type=list&v=error",
                 HttpTestServer::page("<html><head><title>Error</title></head><body><p>Sorry</body></html>"));
    for (const char16_t* id : {u"empty", u"error", u"missing"}) {
        EXPECT_EQ(run(u"youtube.com/watch?v=" + std::u16string(id)), u"");
    }
    EXPECT_EQ(menus.size(), 2u);
    // A track that is an error page.
    choice = 1;
    server.route("/timedtext?hl=ja&lang=ja&name=&v=abc", HttpTestServer::page("<html><body>gone"));
    EXPECT_EQ(run(u"youtube.com/watch?v=abc"), u"");
}
