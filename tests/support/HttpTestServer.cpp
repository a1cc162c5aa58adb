#include "support/HttpTestServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <stdexcept>

namespace {

bool sameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// False when the peer went away or the server shut the socket down.
bool sendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string hex(std::size_t n) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%zx", n);
    return buffer;
}

}  // namespace

std::string HttpTestServer::Request::header(std::string_view name) const {
    for (const auto& [key, value] : headers)
        if (sameNoCase(key, name)) return value;
    return {};
}

HttpTestServer::HttpTestServer() {
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 64) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        ::pipe2(m_stopPipe, O_CLOEXEC) != 0)
        throw std::runtime_error("the test server cannot listen on 127.0.0.1");
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { acceptLoop(); });
}

HttpTestServer::~HttpTestServer() {
    m_stopping.store(true);
    (void)!::write(m_stopPipe[1], "x", 1);
    m_acceptor.join();
    {
        std::lock_guard guard(m_lock);
        for (int fd : m_open) ::shutdown(fd, SHUT_RDWR);
    }
    for (auto& connection : m_connections) connection.join();
    ::close(m_listener);
    ::close(m_stopPipe[0]);
    ::close(m_stopPipe[1]);
}

void HttpTestServer::route(const std::string& target, Response response) {
    std::lock_guard guard(m_lock);
    m_routes[target] = std::move(response);
}

HttpTestServer::Response HttpTestServer::page(std::string body, Framing framing) {
    Response r;
    r.body = std::move(body);
    r.framing = framing;
    r.headers.emplace_back("Content-Type", "text/html");
    return r;
}

HttpTestServer::Response HttpTestServer::status(int status, std::string reason, std::string body) {
    Response r = page(std::move(body));
    r.status = status;
    r.reason = std::move(reason);
    return r;
}

HttpTestServer::Response HttpTestServer::redirect(int status, std::string location) {
    Response r = HttpTestServer::status(status, "Moved", "<a href=\"" + location + "\">moved</a>");
    r.headers.emplace_back("Location", std::move(location));
    return r;
}

std::string HttpTestServer::url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + std::string(path);
}

std::vector<HttpTestServer::Request> HttpTestServer::requests() const {
    std::lock_guard guard(m_lock);
    return m_requests;
}

int HttpTestServer::refusedPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);  // bound but never listening: the port is free and refuses
    return ntohs(address.sin_port);
}

void HttpTestServer::acceptLoop() {
    for (;;) {
        pollfd fds[2] = {{m_listener, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno == EINTR) continue;
        if (m_stopping.load() || (fds[1].revents & POLLIN)) return;
        if (!(fds[0].revents & POLLIN)) continue;
        int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        std::lock_guard guard(m_lock);
        m_open.insert(fd);
        m_connections.emplace_back([this, fd] { serve(fd); });
    }
}

void HttpTestServer::serve(int fd) {
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos) {
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        head.append(buffer, static_cast<std::size_t>(n));
    }
    Request request;
    request.raw = head;
    std::size_t lineEnd = head.find("\r\n");
    std::string first = head.substr(0, lineEnd);
    std::size_t space1 = first.find(' '), space2 = first.rfind(' ');
    if (space1 != std::string::npos && space2 > space1) {
        request.method = first.substr(0, space1);
        request.target = first.substr(space1 + 1, space2 - space1 - 1);
    }
    for (std::size_t at = lineEnd; at != std::string::npos && at + 2 < head.size();) {
        std::size_t next = head.find("\r\n", at + 2);
        std::string line = head.substr(at + 2, next == std::string::npos ? std::string::npos : next - at - 2);
        std::size_t colon = line.find(':');
        if (colon != std::string::npos) {
            std::size_t valueStart = line.find_first_not_of(' ', colon + 1);
            request.headers.emplace_back(line.substr(0, colon),
                                         valueStart == std::string::npos ? "" : line.substr(valueStart));
        }
        at = next;
    }

    Response response = status(404, "Not Found", "<html><body>not found</body></html>");
    {
        std::lock_guard guard(m_lock);
        m_requests.push_back(request);
        auto it = m_routes.find(request.target);
        if (it == m_routes.end()) it = m_routes.find(request.target.substr(0, request.target.find('?')));
        if (it != m_routes.end()) response = it->second;
    }
    if (response.silent)
        holdUntilStopped(fd);
    else
        sendResponse(fd, request, response);

    std::lock_guard guard(m_lock);
    m_open.erase(fd);
    ::close(fd);
}

void HttpTestServer::sendResponse(int fd, const Request& request, const Response& response) {
    std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " + response.reason + "\r\n";
    for (const auto& [name, value] : response.headers) head += name + ": " + value + "\r\n";
    if (response.framing == Framing::Length) head += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    if (response.framing == Framing::Chunked) head += "Transfer-Encoding: chunked\r\n";
    head += "Connection: close\r\n\r\n";
    if (!sendAll(fd, head) || request.method == "HEAD") return;

    const std::size_t limit = std::min(response.breakOffAfter, response.stallAfter);
    std::string_view body = response.body;
    if (limit < body.size()) body = body.substr(0, limit);
    if (response.framing == Framing::Chunked) {
        for (std::size_t at = 0; at < body.size(); at += response.chunkSize) {
            std::string_view piece = body.substr(at, response.chunkSize);
            if (!sendAll(fd, hex(piece.size()) + "\r\n") || !sendAll(fd, piece) || !sendAll(fd, "\r\n")) return;
        }
        if (limit >= response.body.size() && !sendAll(fd, "0\r\n\r\n")) return;
    } else if (!sendAll(fd, body)) {
        return;
    }
    if (response.stallAfter < response.body.size()) holdUntilStopped(fd);
    // Let the client see the whole body before the connection goes.
    ::shutdown(fd, SHUT_WR);
}

void HttpTestServer::holdUntilStopped(int fd) {
    // Returns when the server stops (it shuts the socket down) or the client leaves.
    char buffer[256];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 200) < 0 && errno != EINTR) return;
        if (m_stopping.load()) return;
        if (p.revents & (POLLIN | POLLHUP | POLLERR)) {
            ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) return;
        }
    }
}
