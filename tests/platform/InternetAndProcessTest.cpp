// The internet service and the process services at their Win32 edges: read
// sizes, header queries, closing a handle from another thread, and pipes.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "platform/api/Internet.h"
#include "platform/api/Process.h"
#include "platform/win32.h"
#include "support/HttpTestServer.h"

namespace {

struct Session {
    HINTERNET internet = InternetOpenA("agent", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    ~Session() { InternetCloseHandle(internet); }
};

TEST(InternetService, ABodyOfExactly8191BytesIsOneReadThenAnEmptyOne) {
    HttpTestServer server;
    server.route("/b", HttpTestServer::page(std::string(8191, 'q'), HttpTestServer::Framing::Chunked));
    Session s;
    HINTERNET request = InternetOpenUrlA(s.internet, server.url("/b").c_str(), "Accept:*/*\r\n\r\n", 14, 0, 0);
    ASSERT_NE(request, nullptr) << GetLastError();
    char buffer[8192];
    DWORD got = 0;
    ASSERT_TRUE(InternetReadFile(request, buffer, 8191, &got));
    EXPECT_EQ(got, 8191u);
    ASSERT_TRUE(InternetReadFile(request, buffer, 8191, &got));
    EXPECT_EQ(got, 0u);
    EXPECT_TRUE(InternetCloseHandle(request));
    EXPECT_FALSE(InternetCloseHandle(request));  // never reused, so a second close is refused
}

TEST(InternetService, HeaderQueriesReportSizesAndStatus) {
    HttpTestServer server;
    server.route("/gone", HttpTestServer::status(410, "Gone", "x"));
    Session s;
    HINTERNET request = InternetOpenUrlA(s.internet, server.url("/gone").c_str(), nullptr, 0, 0, 0);
    ASSERT_NE(request, nullptr);
    DWORD status = 0, length = sizeof status;
    ASSERT_TRUE(HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length, nullptr));
    EXPECT_EQ(status, 410u);

    char tiny[8];
    length = sizeof tiny;
    EXPECT_FALSE(HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, tiny, &length, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    std::string text(length, '\0');
    ASSERT_TRUE(HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, text.data(), &length, nullptr));
    text.resize(length);
    EXPECT_EQ(text.rfind("HTTP/1.1 410 Gone\r\n", 0), 0u);
    EXPECT_EQ(text.substr(text.size() - 4), "\r\n\r\n");
    InternetCloseHandle(request);
}

TEST(InternetService, ClosingARequestFromAnotherThreadEndsABlockedRead) {
    HttpTestServer server;
    HttpTestServer::Response stalled = HttpTestServer::page(std::string(100000, 's'));
    stalled.stallAfter = 10;
    server.route("/stall", stalled);
    Session s;
    HINTERNET request = InternetOpenUrlA(s.internet, server.url("/stall").c_str(), nullptr, 0, 0, 0);
    ASSERT_NE(request, nullptr);
    auto read = std::async(std::launch::async, [&] {
        char buffer[100];
        DWORD got = 0;
        BOOL ok = InternetReadFile(request, buffer, sizeof buffer, &got);
        return std::make_pair(ok, GetLastError());
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(InternetCloseHandle(request));
    const auto [ok, error] = read.get();
    EXPECT_FALSE(ok);
    EXPECT_EQ(error, ERROR_INTERNET_OPERATION_CANCELLED);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(InternetService, ErrorsCarryTheirWinInetCodes) {
    Session s;
    const std::string refused = "http://127.0.0.1:" + std::to_string(HttpTestServer::refusedPort()) + "/";
    EXPECT_EQ(InternetOpenUrlA(s.internet, refused.c_str(), nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_CANNOT_CONNECT);
    EXPECT_EQ(InternetOpenUrlA(s.internet, "ftp://127.0.0.1/x", nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    EXPECT_EQ(InternetOpenUrlA(nullptr, "http://127.0.0.1/", nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    DWORD value = 1000;
    EXPECT_FALSE(InternetSetOptionA(s.internet, 999, &value, sizeof value));
    EXPECT_TRUE(InternetSetOptionA(s.internet, INTERNET_OPTION_CONNECT_TIMEOUT, &value, sizeof value));
}

TEST(Pipes, PeekReportsWaitingBytesAndABrokenPipe) {
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 0));
    DWORD available = 99;
    ASSERT_TRUE(PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr));
    EXPECT_EQ(available, 0u);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(writeEnd, "hello", 5, &written, nullptr));
    ASSERT_TRUE(PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr));
    EXPECT_EQ(available, 5u);
    // A read gives what is there rather than waiting to fill the buffer.
    char buffer[64];
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), "hello");
    CloseHandle(writeEnd);
    EXPECT_FALSE(PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_BROKEN_PIPE);
    CloseHandle(readEnd);
}

TEST(Processes, TheExitCodeAndWaitingFollowWin32) {
    std::u16string line = u"/bin/sh -c \"exit 3\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
    EXPECT_EQ(info.hThread, nullptr);
    EXPECT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeProcess(info.hProcess, &code));
    EXPECT_EQ(code, 3u);
    EXPECT_FALSE(TerminateProcess(info.hProcess, 1));  // it has ended
    CloseHandle(info.hProcess);

    line = u"sleep 60";  // a bare name is looked up on PATH
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 50), WAIT_TIMEOUT);
    ASSERT_TRUE(GetExitCodeProcess(info.hProcess, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    ASSERT_TRUE(TerminateProcess(info.hProcess, 42));
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 5000), WAIT_OBJECT_0);
    ASSERT_TRUE(GetExitCodeProcess(info.hProcess, &code));
    EXPECT_EQ(code, 42u);
    CloseHandle(info.hProcess);

    line = u"no-such-program-here";
    EXPECT_FALSE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

}  // namespace
