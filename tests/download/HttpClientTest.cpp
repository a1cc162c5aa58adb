// The downloaders' HTTP client against a server on 127.0.0.1: bodies of every
// size around the 8191-byte reads, with a length and chunked, redirects, error
// statuses, silent and refusing servers, HEAD, the page cap, and cancelling a
// request from another thread.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <thread>

#include "download/HttpClient.h"
#include "support/HttpTestServer.h"
#include "support/TempDir.h"

namespace {

using Clock = std::chrono::steady_clock;
using Framing = HttpTestServer::Framing;

std::string patterned(std::size_t size) {
    std::string body(size, '\0');
    for (std::size_t i = 0; i < size; ++i) body[i] = static_cast<char>('a' + (i * 7 + i / 251) % 26);
    return body;
}

std::u16string wide(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

struct HttpClient : ::testing::Test {
    HttpTestServer server;
    TempDir dir;
};

TEST_F(HttpClient, BodiesOfEverySizeArriveWholeWithALengthAndChunked) {
    for (std::size_t size : {std::size_t(0), std::size_t(1), std::size_t(8190), std::size_t(8191), std::size_t(8192),
                             std::size_t(8191 * 2 + 1), std::size_t(10) << 20}) {
        for (Framing framing : {Framing::Length, Framing::Chunked, Framing::Close}) {
            const std::string body = patterned(size);
            HttpTestServer::Response response = HttpTestServer::page(body, framing);
            response.chunkSize = 5000;  // chunks that do not line up with the reads
            server.route("/page", response);
            SCOPED_TRACE(testing::Message() << size << " bytes, framing " << static_cast<int>(framing));

            const std::string text = fetchUrlText(server.url("/page"));
            EXPECT_EQ(text.size(), body.size());
            EXPECT_TRUE(text == body);

            ASSERT_TRUE(downloadUrlToFile(dir.file("page.bin"), wide(server.url("/page"))));
            EXPECT_TRUE(readFile(dir.native("page.bin")) == body);
        }
    }
}

TEST_F(HttpClient, EveryRequestIsAGetWithTheFixedAgentAndAcceptHeader) {
    server.route("/a", HttpTestServer::page("x"));
    fetchUrlText(server.url("/a"), "GET");
    fetchUrlText(server.url("/a"), "HEAD");
    downloadUrlToFile(dir.file("a"), wide(server.url("/a")), "POST");
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    for (const auto& r : requests) {
        EXPECT_EQ(r.method, "GET");
        EXPECT_EQ(r.target, "/a");
        EXPECT_EQ(r.header("User-Agent"), http::kUserAgent);
        EXPECT_EQ(r.header("Accept"), "*/*");
        EXPECT_EQ(r.header("Cookie"), "");
    }
}

TEST_F(HttpClient, AZeroByteCutsOnlyItsChunkOfTextButEveryByteReachesAFile) {
    // Chunks are the 8191-byte reads: the zero in the first one cuts the rest
    // of that chunk; the second chunk comes whole.
    std::string body = std::string(100, 'a') + '\0' + std::string(200, 'b');
    body += std::string(8191 - body.size(), 'c');
    body += std::string(50, 'd') + '\0' + std::string(10, 'e');
    server.route("/zero", HttpTestServer::page(body));

    EXPECT_EQ(fetchUrlText(server.url("/zero")), std::string(100, 'a') + std::string(50, 'd'));
    ASSERT_TRUE(downloadUrlToFile(dir.file("zero.bin"), wide(server.url("/zero"))));
    EXPECT_EQ(readFile(dir.native("zero.bin")), body);
}

TEST_F(HttpClient, RedirectsAreFollowedToTheFinalPage) {
    server.route("/final", HttpTestServer::page("the page"));
    server.route("/moved", HttpTestServer::redirect(301, server.url("/found")));
    server.route("/found", HttpTestServer::redirect(302, "/final"));  // relative, as sites write them
    server.route("/see", HttpTestServer::redirect(303, "/final"));
    server.route("/temp", HttpTestServer::redirect(307, "/final"));
    for (const char* start : {"/moved", "/found", "/see", "/temp"}) {
        EXPECT_EQ(fetchUrlText(server.url(start)), "the page") << start;
        ASSERT_TRUE(downloadUrlToFile(dir.file("r.html"), wide(server.url(start)))) << start;
        EXPECT_EQ(readFile(dir.native("r.html")), "the page");
    }
    // The raw headers are those of the final response.
    const std::string head = fetchUrlText(server.url("/moved"), "HEAD");
    EXPECT_EQ(head.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << head;
}

TEST_F(HttpClient, ARedirectLoopOrAFileUrlFails) {
    server.route("/loop", HttpTestServer::redirect(302, "/loop"));
    server.route("/local", HttpTestServer::redirect(302, "file:///etc/passwd"));
    EXPECT_EQ(fetchUrlText(server.url("/loop")), "");
    EXPECT_EQ(fetchUrlText(server.url("/local")), "");
    EXPECT_EQ(fetchUrlText("file:///etc/passwd"), "");
    EXPECT_FALSE(downloadUrlToFile(dir.file("p"), u"file:///etc/passwd"));
    EXPECT_FALSE(std::filesystem::exists(dir.native("p")));
}

TEST_F(HttpClient, ErrorStatusesAreFailuresAndLeaveNoFile) {
    server.route("/missing", HttpTestServer::status(404, "Not Found", "<html>missing</html>"));
    server.route("/broken", HttpTestServer::status(500, "Internal Server Error", "<html>oops</html>"));
    for (const char* path : {"/missing", "/broken"}) {
        EXPECT_EQ(fetchUrlText(server.url(path)), "") << path;
        EXPECT_FALSE(downloadUrlToFile(dir.file("new.html"), wide(server.url(path)))) << path;
        EXPECT_FALSE(std::filesystem::exists(dir.native("new.html"))) << path;

        // A file already there is kept as it was, not replaced by the error page.
        dir.write("old.html", "keep me");
        EXPECT_FALSE(downloadUrlToFile(dir.file("old.html"), wide(server.url(path))));
        EXPECT_EQ(dir.read("old.html"), "keep me");
    }
    // HEAD still gives the headers: asking for them is how a caller sees the status.
    EXPECT_EQ(fetchUrlText(server.url("/missing"), "HEAD").rfind("HTTP/1.1 404 Not Found\r\n", 0), 0u);
    // No temporary file stays behind either.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

TEST_F(HttpClient, HeadGivesTheRawHeadersOfTheResponse) {
    HttpTestServer::Response response = HttpTestServer::page(std::string(100000, 'x'));
    response.headers.emplace_back("X-Lesson", "42");
    server.route("/h", response);
    const std::string head = fetchUrlText(server.url("/h"), "HEAD");
    EXPECT_EQ(head.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << head;
    EXPECT_NE(head.find("\r\nX-Lesson: 42\r\n"), std::string::npos) << head;
    EXPECT_NE(head.find("\r\nContent-Length: 100000\r\n"), std::string::npos) << head;
    ASSERT_GE(head.size(), 4u);
    EXPECT_EQ(head.substr(head.size() - 4), "\r\n\r\n");
}

TEST_F(HttpClient, ARefusedPortFailsAtOnce) {
    const std::string url = "http://127.0.0.1:" + std::to_string(HttpTestServer::refusedPort()) + "/x";
    const auto start = Clock::now();
    EXPECT_EQ(fetchUrlText(url), "");
    EXPECT_FALSE(downloadUrlToFile(dir.file("x"), wide(url)));
    EXPECT_FALSE(std::filesystem::exists(dir.native("x")));
    EXPECT_LT(secondsSince(start), 4.0);
    UrlConnection connection = openUrl(url, "GET", "");
    EXPECT_EQ(connection.result, 1);  // the network is there; only this URL failed
    EXPECT_TRUE(connection.internet);
    EXPECT_FALSE(connection.request);
}

TEST_F(HttpClient, AServerThatNeverAnswersTimesOutAfterFiveSeconds) {
    HttpTestServer::Response silent;
    silent.silent = true;
    server.route("/silent", silent);
    const auto start = Clock::now();
    EXPECT_EQ(fetchUrlText(server.url("/silent")), "");
    const double waited = secondsSince(start);
    EXPECT_GE(waited, 4.5);
    EXPECT_LT(waited, 20.0);
}

TEST_F(HttpClient, ABodyThatBreaksOffOrStallsIsAFailureNotAShortPage) {
    HttpTestServer::Response broken = HttpTestServer::page(patterned(50000));
    broken.breakOffAfter = 20000;
    server.route("/broken", broken);
    HttpTestServer::Response brokenChunks = HttpTestServer::page(patterned(50000), Framing::Chunked);
    brokenChunks.breakOffAfter = 20000;
    server.route("/broken-chunks", brokenChunks);
    HttpTestServer::Response stalled = HttpTestServer::page(patterned(50000));
    stalled.stallAfter = 20000;
    server.route("/stalled", stalled);

    for (const char* path : {"/broken", "/broken-chunks", "/stalled"}) {
        EXPECT_EQ(fetchUrlText(server.url(path)), "") << path;
        dir.write("keep.bin", "old");
        EXPECT_FALSE(downloadUrlToFile(dir.file("keep.bin"), wide(server.url(path)))) << path;
        EXPECT_EQ(dir.read("keep.bin"), "old") << path;
    }
}

TEST_F(HttpClient, APageLargerThanTheCapIsAFailureWhileAFileMayBeLarger) {
    server.route("/huge", HttpTestServer::page(std::string(http::kMaxPageBytes + 1, 'x')));
    server.route("/limit", HttpTestServer::page(std::string(http::kMaxPageBytes, 'y'), Framing::Chunked));
    EXPECT_EQ(fetchUrlText(server.url("/huge")), "");
    EXPECT_EQ(fetchUrlText(server.url("/limit")).size(), http::kMaxPageBytes);
    ASSERT_TRUE(downloadUrlToFile(dir.file("huge.bin"), wide(server.url("/huge"))));
    EXPECT_EQ(std::filesystem::file_size(dir.native("huge.bin")), http::kMaxPageBytes + 1);
}

TEST_F(HttpClient, AFileThatCannotBeCreatedMakesNoRequest) {
    server.route("/a", HttpTestServer::page("x"));
    EXPECT_FALSE(downloadUrlToFile(dir.file("no/such/folder/a.html"), wide(server.url("/a"))));
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(HttpClient, UrlTextTheRequestLineCannotCarryIsPercentEncoded) {
    server.route("/translate_t", HttpTestServer::page("ok"));
    // Callers pass query text as it is, spaces and all.
    EXPECT_EQ(fetchUrlText(server.url("/translate_t?text=How are you\"<x>") + "\xE3\x81\x82"), "ok");
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].target, "/translate_t?text=How%20are%20you%22%3Cx%3E%E3%81%82");
    // The wide URL of downloadUrlToFile goes out in the system code page (UTF-8).
    ASSERT_TRUE(downloadUrlToFile(dir.file("t"), wide(server.url("/translate_t?q=")) + u"あ"));
    EXPECT_EQ(server.requests()[1].target, "/translate_t?q=%E3%81%82");
}

TEST_F(HttpClient, CancellingEndsARequestInProgressAtOnce) {
    HttpTestServer::Response silent;
    silent.silent = true;
    server.route("/silent", silent);
    HttpTestServer::Response stalled = HttpTestServer::page(patterned(1 << 20));
    stalled.stallAfter = 100000;
    server.route("/stalled", stalled);

    {
        RequestCancel cancel;
        const auto start = Clock::now();
        auto result =
            std::async(std::launch::async, [&] { return fetchUrlText(server.url("/silent"), "GET", "", &cancel); });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        cancel.cancel();
        EXPECT_EQ(result.get(), "");
        EXPECT_LT(secondsSince(start), 2.0);  // well inside the 5000 ms time-out
    }
    {
        RequestCancel cancel;
        dir.write("movie.flv", "old");
        const auto start = Clock::now();
        auto result = std::async(std::launch::async, [&] {
            return downloadUrlToFile(dir.file("movie.flv"), wide(server.url("/stalled")), "GET", "", &cancel);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        cancel.cancel();
        EXPECT_FALSE(result.get());
        EXPECT_LT(secondsSince(start), 2.0);
        EXPECT_EQ(dir.read("movie.flv"), "old");
    }
}

TEST_F(HttpClient, ACancelledSwitchStopsLaterRequestsBeforeTheyConnect) {
    server.route("/a", HttpTestServer::page("x"));
    RequestCancel cancel;
    EXPECT_EQ(fetchUrlText(server.url("/a"), "GET", "", &cancel), "x");
    cancel.cancel();
    EXPECT_TRUE(cancel.isCancelled());
    EXPECT_EQ(fetchUrlText(server.url("/a"), "GET", "", &cancel), "");
    EXPECT_FALSE(downloadUrlToFile(dir.file("a"), wide(server.url("/a")), "GET", "", &cancel));
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(HttpClient, SeveralWorkersFetchAtOnce) {
    server.route("/a", HttpTestServer::page(patterned(300000)));
    std::vector<std::future<std::string>> results;
    for (int i = 0; i < 6; ++i)
        results.push_back(std::async(std::launch::async, [&] { return fetchUrlText(server.url("/a")); }));
    for (auto& r : results) EXPECT_TRUE(r.get() == patterned(300000));
}

}  // namespace
