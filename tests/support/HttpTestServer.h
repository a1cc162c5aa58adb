// A small HTTP/1.1 server on 127.0.0.1 (an ephemeral port) for tests that need
// web pages: fixed responses per path, with a length or chunked, redirects,
// error statuses, bodies that break off, and connections that are accepted
// and never answered. One connection per request ("Connection: close"); HEAD
// gets the headers of the same response without its body. Every request it
// received is kept for the test to read.
//
// Stopping (the destructor) shuts every open connection down, so a silent
// route never keeps a test waiting.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

class HttpTestServer {
public:
    enum class Framing {
        Length,   // Content-Length
        Chunked,  // Transfer-Encoding: chunked, in chunks of chunkSize bytes
        Close,    // neither: the body ends when the connection closes
    };

    struct Response {
        int status = 200;
        std::string reason = "OK";
        std::vector<std::pair<std::string, std::string>> headers;
        std::string body;
        Framing framing = Framing::Length;
        std::size_t chunkSize = 4096;
        // Read the request, then answer nothing until the server stops.
        bool silent = false;
        // Send the headers (announcing the whole body) and only this many
        // bytes of the body, then close the connection.
        std::size_t breakOffAfter = static_cast<std::size_t>(-1);
        // Send the headers and this many body bytes, then hold the connection
        // without a word until the server stops.
        std::size_t stallAfter = static_cast<std::size_t>(-1);
    };

    struct Request {
        std::string method;
        std::string target;
        std::vector<std::pair<std::string, std::string>> headers;  // names as sent
        std::string raw;                                           // the request head, as received
        std::string header(std::string_view name) const;           // first value, name without case; empty when absent
    };

    HttpTestServer();
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    // Answers requests for target (the path with its query, matched exactly,
    // else the path alone). Unknown targets get a 404 page.
    void route(const std::string& target, Response response);
    static Response page(std::string body, Framing framing = Framing::Length);
    static Response status(int status, std::string reason, std::string body);
    static Response redirect(int status, std::string location);

    int port() const { return m_port; }
    // "http://127.0.0.1:<port>" + path.
    std::string url(std::string_view path) const;
    std::vector<Request> requests() const;

    // A port on 127.0.0.1 where nothing listens: connections are refused.
    static int refusedPort();

private:
    void acceptLoop();
    void serve(int fd);
    void sendResponse(int fd, const Request& request, const Response& response);
    void holdUntilStopped(int fd);

    int m_listener = -1;
    int m_port = 0;
    int m_stopPipe[2] = {-1, -1};
    std::atomic<bool> m_stopping{false};
    mutable std::mutex m_lock;
    std::map<std::string, Response> m_routes;
    std::vector<Request> m_requests;
    std::set<int> m_open;
    std::vector<std::thread> m_connections;
    std::thread m_acceptor;
};
