// The website downloader against a photo site and a translation service on
// 127.0.0.1 (pictures, captions, hostile names, a dead server), and the
// news-item list manager's id3 block and HTML index with the filing of its
// files. Each test runs in a fresh current folder, where both tools work.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>

#include "download/VoaIndex.h"
#include "download/VoaManagerDialog.h"
#include "download/WebsiteDownloader.h"
#include "platform/display/Headless.h"
#include "platform/display/HeadlessAnswers.h"
#include "support/HttpTestServer.h"
#include "support/TempDir.h"
#include "text/TextFile.h"
#include "xml/XMLParser.h"

namespace headless = veltrix::platform::headless;
namespace fs = std::filesystem;

namespace {

bool pumpUntil(const std::function<bool()>& condition, int milliseconds = 20000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        headless::pumpMessages();
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::u16string wide(const std::string& text) { return fs::path(text).u16string(); }

struct InFolder {
    TempDir dir;
    fs::path previous = fs::current_path();
    InFolder() { fs::current_path(dir.path()); }
    ~InFolder() { fs::current_path(previous); }
};

struct Boxes {
    std::vector<std::u16string> texts;
    std::mutex lock;
    Boxes() {
        headless::setMessageBoxResponder([this](const headless::MessageBoxShown& box) {
            std::lock_guard guard(lock);
            texts.push_back(box.text);
            return IDOK;
        });
    }
    ~Boxes() { headless::setMessageBoxResponder({}); }
};

const char* kListPage =
    "<html><body>"
    "<a itemprop=image rel=x href=\"/pics/bridge.jpg\"><span itemprop=name>A “red” bridge’s arch\r\nat dusk & "
    "dawn</span></a>"
    "<a itemprop=image rel=x href=\"/about.html\"><span itemprop=name>About</span></a>"
    "<a itemprop=image rel=x href=\"/pics/..\"><span itemprop=name>Up</span></a>"
    "<a itemprop=image rel=x href=\"/pics/gone.jpg\"><span itemprop=name>Gone</span></a>"
    "<a itemprop=image rel=x href=\"/pics/bridge.jpg\"><span itemprop=name>Again</span></a>"
    "</body></html>";

struct WebsiteTest : ::testing::Test {
    InFolder folder;
    HttpTestServer site;
    SiteHosts hosts;
    Boxes boxes;
    std::unique_ptr<WebsiteDownloader> dialog;

    void SetUp() override {
        const std::u16string host = wide("127.0.0.1:" + std::to_string(site.port()));
        hosts.photoSite = host;
        hosts.translator = host;
        dialog = std::make_unique<WebsiteDownloader>(hosts);
        ASSERT_TRUE(showModeless(nullptr, *dialog));
        headless::pumpMessages();
    }
    void TearDown() override {
        headless::setFileDialogResponder({});
        dialog->close(0);
        headless::pumpMessages();
    }
    std::u16string cell(int row, int column) { return dialog->table().getValueAt(row, column); }
    std::u16string address(const std::string& path) { return wide(site.url(path)); }
    bool analyze(const std::string& path) {
        dialog->urlField().setText(address(path));
        return dialog->analyze();
    }
};

TEST_F(WebsiteTest, StartsRenamedWithItsFolderAndAListPageGivesItsPicturesOnce) {
    EXPECT_EQ(headless::title(dialog->handle()), u"Website Downloader");
    EXPECT_EQ(dialog->urlField().text(), address("/???"));
    EXPECT_TRUE(fs::is_directory("public_domain"));
    EXPECT_FALSE(dialog->analyze());  // the untouched default

    site.route("/list", HttpTestServer::page(kListPage));
    ASSERT_TRUE(analyze("/list"));
    ASSERT_EQ(dialog->table().getRowCount(), 3);
    EXPECT_EQ(cell(0, 0), address("/pics/bridge.jpg"));
    EXPECT_EQ(cell(0, 1), u"A “red” bridge’s arch\r\nat dusk & dawn");
    EXPECT_EQ(cell(1, 0), address("/pics/.."));
    EXPECT_EQ(cell(2, 1), u"Gone");
    EXPECT_TRUE(dialog->downloadButton().isEnabled());

    // A picture address typed in is a row of its own.
    ASSERT_TRUE(analyze("/pics/typed.png"));
    EXPECT_EQ(cell(3, 1), u"ちょくりん(´・ω・`)！");
}

TEST_F(WebsiteTest, UnsupportedDeadAndBrokenPagesAreTold) {
    dialog->urlField().setText(u"http://elsewhere.example/list");
    EXPECT_FALSE(dialog->analyze());
    EXPECT_FALSE(analyze("/missing"));  // 404
    site.route("/broken", HttpTestServer::page("<a itemprop=image rel=x href=\"/pics/a.jpg\"><span itemprop=name>cut"));
    EXPECT_TRUE(analyze("/broken"));
    EXPECT_EQ(boxes.texts, (std::vector<std::u16string>{u"この URL はサポートしてません(´・ω・`)！",
                                                        u"HTML を取得できませんでした！", u"</span>"}));
    EXPECT_EQ(dialog->table().getRowCount(), 1);

    // A huge page of anchors that never close their texts: read in one pass, told once.
    std::string hostile;
    for (int i = 0; i < 200000; ++i) hostile += "<a itemprop=image rel=x href=\"/pics/";
    site.route("/hostile", HttpTestServer::page(hostile));
    EXPECT_TRUE(analyze("/hostile"));
    EXPECT_EQ(boxes.texts.size(), 4u);
    EXPECT_EQ(dialog->table().getRowCount(), 1);
}

TEST_F(WebsiteTest, DownloadSavesPicturesInsideItsFolderTranslatesAndWritesTheList) {
    const std::u16string request = dialog->translationRequest(u"A “red” bridge’s\r\narch & more");
    EXPECT_EQ(request, u"http://" + hosts.translator +
                           u"/translate_t?hl=ja&langpair=en%7Cja&text=A%20%22red%22%20bridge's%20%20arch%20%26%20more");

    site.route("/list", HttpTestServer::page(kListPage));
    site.route("/pics/bridge.jpg", HttpTestServer::page("JPEGBYTES"));
    const std::string translated =
        "/translate_t?hl=ja&langpair=en%7Cja&text=A%20%22red%22%20bridge's%20arch%20%20at%20dusk%20%26%20dawn";
    site.route(translated,
               HttpTestServer::page(
                   "<div><span id=result_box class=x><span style=\"backgroundColor='#fff'\">赤い橋</span></span>"));
    ASSERT_TRUE(analyze("/list"));

    std::vector<headless::FileDialogShown> asked;
    const std::u16string saved = folder.dir.file("pictures.xml");
    headless::setFileDialogResponder([&](const headless::FileDialogShown& shown) {
        asked.push_back(shown);
        return headless::FileDialogAnswer::choose(saved);
    });
    dialog->startDownload();
    ASSERT_TRUE(pumpUntil([&] { return !dialog->isRunning() && !asked.empty(); }));
    EXPECT_EQ(cell(0, 5), u"OK");
    EXPECT_EQ(cell(0, 2), u"赤い橋");
    EXPECT_EQ(cell(1, 5), u"Failed");
    EXPECT_EQ(cell(2, 5), u"Failed");
    EXPECT_EQ(folder.dir.read("public_domain/bridge.jpg"), "JPEGBYTES");
    EXPECT_EQ(fs::directory_iterator("public_domain")->path().filename(), "bridge.jpg");
    // Names from the page never lead out of the folder.
    EXPECT_EQ(WebsiteDownloader::localFileFor(u"http://h/pics/.."), u"public_domain/%2E%2E");
    EXPECT_EQ(WebsiteDownloader::localFileFor(u"http://h/pics/a\\..\\..\\x.jpg"), u"public_domain/x.jpg");
    EXPECT_EQ(WebsiteDownloader::localFileFor(u"http://h/pics/a.jpg?size=1/../x:y"), u"public_domain/y");
    EXPECT_EQ(asked.at(0).title, u"xml 保存先を選んでください");

    XMLParser parser;
    ASSERT_TRUE(parser.parse(saved));
    const std::vector<Element*> groups = parser.getElementsByTagName(u"SentenceGroup");
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0]->findElement(u"sentence")->getCDataText(), u"A “red” bridge’s arch\r\nat dusk & dawn");
    EXPECT_EQ(groups[0]->findElement(u"translation")->getCDataText(), u"赤い橋");
    EXPECT_EQ(groups[0]->getTextOf(u"image"), u"public_domain/bridge.jpg");

    // Again: only the failed row is fetched.
    const std::size_t requests = site.requests().size();
    asked.clear();
    dialog->startDownload();
    ASSERT_TRUE(pumpUntil([&] { return !dialog->isRunning() && dialog->downloadButton().isEnabled(); }));
    EXPECT_EQ(site.requests().size(), requests + 2);
}

// The news-item list ---------------------------------------------------------------------------

std::string sentenceList(const std::string& title, const std::string& day) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SentenceList>\n<id3><title>" + title +
           "</title><officialSite>http://news/" + title + "</officialSite><sourceUrl>http://audio/" + title +
           ".mp3</sourceUrl><year>2009</year><month>5</month>" + day + "<comments>About &lt;" + title +
           "&gt;</comments></id3>\n</SentenceList>\n";
}

struct VoaTest : ::testing::Test {
    InFolder folder;
    void SetUp() override {
        folder.dir.write("a.xml", sentenceList("Alpha", "<day>3</day>"));
        folder.dir.write("b.xml", sentenceList("Beta", ""));  // no day: 30
        folder.dir.write("c.xml", sentenceList("Gamma", "<day>3</day>"));
        folder.dir.write("broken.xml", "<SentenceList>");  // unreadable: 1
        folder.dir.write(
            "voa.xml",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<voa.xml>\n"
            "<TreeItem path=\"Health\"><TreeItem path=\"a.xml\"/><TreeItem path=\"broken.xml\"/></TreeItem>\n"
            "<TreeItem path=\"x/../Science\" name=\"../Science\"><TreeItem path=\"b.xml\"/><TreeItem "
            "path=\"c.xml\"/></TreeItem>\n"
            "</voa.xml>\n");
    }
};

TEST_F(VoaTest, TheIndexListsEveryCategoryAndFilesItsItemsSafely) {
    VoaManagerDialog dialog(SiteHosts{});
    ASSERT_TRUE(showModeless(nullptr, dialog));
    headless::pumpMessages();
    ASSERT_EQ(dialog.categories().size(), 2u);
    EXPECT_EQ(dialog.categories()[1].name, u"../Science");
    fs::create_directories("export/Health");  // a file there is never replaced
    folder.dir.write("export/Health/a.xml", "MINE");
    dialog.setExportFolder(u"export");
    dialog.perform(VoaManagerDialog::kCreateHtml, nullptr);
    const std::u16string html = dialog.textPane().text();
    const std::u16string alpha =
        u"<div class=\"contents\">\r\n<span class=\"date\">2009/5/3</span>\r\n<div class=\"title\">\r\nAlpha</div>\r\n"
        u"<div class=\"description\">\r\nAbout &lt;Alpha&gt;</div>\r\n<div class=\"file\">\r\n"
        u"<a href=\"http://news/Alpha\" target=\"_blank\">Site</a>\r\n"
        u"<a href=\"http://www.example.com/voa/a.xml\" target=\"_blank\">XML</a>\r\n"
        u"<a href=\"http://audio/Alpha.mp3\" target=\"_blank\">MP3</a>\r\n</div>\r\n</div>\r\n";
    EXPECT_TRUE(html.starts_with(
        u"<div class=\"voa\">\r\n<div class=\"category\">\r\n<div class=\"subject\">Health</div>\r\n" + alpha));
    EXPECT_TRUE(html.ends_with(u"</div>\r\n</div>\r\n"));
    EXPECT_NE(html.find(u"<div class=\"subject\">../Science</div>"), std::u16string::npos);
    EXPECT_EQ(folder.dir.read("export/Health/a.xml"), "MINE");
    EXPECT_EQ(folder.dir.read("export/Health/broken.xml"), "<SentenceList>");
    // A category name that tries to leave the export folder stays inside it.
    EXPECT_TRUE(fs::exists("export/..%2FScience/b.xml") || fs::exists("export/%2E%2E%2FScience/b.xml"));
    EXPECT_FALSE(fs::exists("Science"));
    dialog.close(0);
}

TEST_F(VoaTest, TheOrderedIndexFollowsTheDayAndGetMakesTheId3Block) {
    folder.dir.write("voa_temp.txt", "<h1>News</h1>");
    VoaManagerDialog dialog(SiteHosts{});
    ASSERT_TRUE(showModeless(nullptr, dialog));
    dialog.setExportFolder(u"export");
    dialog.perform(VoaManagerDialog::kCreateOrderedHtml, nullptr);
    const std::u16string html = dialog.textPane().text();
    EXPECT_TRUE(html.starts_with(
        u"<h1>News</h1>\r\n<div class=\"voa\">\r\n<div class=\"category\">\r\n<div class=\"contents\">"));
    // Beta (30), then Gamma and Alpha (3, reverse list order), then the broken one (1).
    const std::size_t beta = html.find(u"Beta</div>"), gamma = html.find(u"Gamma</div>"),
                      alpha = html.find(u"Alpha</div>"), broken = html.find(u"/broken.xml");
    EXPECT_LT(beta, gamma);
    EXPECT_LT(gamma, alpha);
    EXPECT_LT(alpha, broken);
    EXPECT_TRUE(fs::is_directory("export"));
    EXPECT_FALSE(fs::exists("export/Health"));

    HttpTestServer site;
    site.route("/story", HttpTestServer::page("<title>Bees Return | VOA</title><p class=\"live_date\">2009/05/14</p>"
                                              "<embed src=\"player?file=http://audio/bees.mp3&autostart=1\">"));
    dialog.addressField().setText(wide(site.url("/story")));
    dialog.get();
    EXPECT_EQ(dialog.textPane().text(),
              u"\t<id3>\r\n\t\t<title>Bees Return</title>\r\n\t\t<category></category>\r\n\t\t<officialSite>" +
                  wide(site.url("/story")) +
                  u"</officialSite>\r\n\t\t<sourceUrl>http://audio/bees.mp3</sourceUrl>\r\n\t\t<year>2009</year>\r\n"
                  u"\t\t<month>05</month>\r\n\t\t<day>14</day>\r\n\t</id3>\r\n");
    // A dead server leaves the fields empty.
    dialog.addressField().setText(wide("http://127.0.0.1:" + std::to_string(HttpTestServer::refusedPort()) + "/x"));
    dialog.get();
    EXPECT_NE(dialog.textPane().text().find(u"<title></title>"), std::u16string::npos);
    dialog.close(0);
    headless::pumpMessages();
}

}  // namespace
