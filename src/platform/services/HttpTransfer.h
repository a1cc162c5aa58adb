// One GET request of the internet service, driven by the thread that calls it.
// libcurl's multi interface runs only inside open() and read(), so nothing
// happens behind the caller's back and a body is pulled as it is read: while
// the unread bytes exceed a high-water mark, libcurl is paused and the rest of
// the body waits in the socket.
//
// Invariants: the unread body is m_buffer[m_readPos..]; m_paused only while
// that holds at least kHighWater bytes or until read() resumes it; m_done once
// libcurl has ended the transfer, with its result in m_result. cancel() is the
// only member that may be called from another thread.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "platform/api/Types.h"
#include "platform/services/CurlHandles.h"

namespace platform {

struct HttpSettings {
    std::string agent;
    bool direct = true;        // false: go through proxy
    std::string proxy;         // "host:port"
    std::string noProxy;       // curl's list of names that bypass the proxy
    std::string extraHeaders;  // header lines separated by CR LF
    DWORD connectTimeoutMs = 60000;
    DWORD receiveTimeoutMs = 60000;
};

class HttpTransfer {
public:
    HttpTransfer(const HttpSettings& settings, std::string url, std::shared_ptr<const std::atomic<bool>> sessionClosed);
    HttpTransfer(const HttpTransfer&) = delete;
    HttpTransfer& operator=(const HttpTransfer&) = delete;

    // Sends the request and waits for the final response's headers (redirects
    // followed). 0, or the WinINet error code of the failure.
    DWORD open();
    // Fills buffer with up to size bytes; fewer only at the end of the body.
    // 0, or the WinINet error code (the bytes already copied are in got).
    DWORD read(char* buffer, DWORD size, DWORD& got);

    // The final response's status line and header lines, each ending in CR LF,
    // and the empty line that closes them.
    const std::string& rawHeaders() const { return m_headers; }
    long status() const { return m_status; }

    // Any thread: ends a call in progress and every later call.
    void cancel();

    static constexpr std::size_t kHighWater = 1 << 20;

private:
    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self);
    static int onConnected(void* self, char*, char*, int, int);

    // Runs libcurl until enough() holds or the transfer ends; the receive
    // time-out counts from the last bytes that arrived once connected.
    template <typename Enough>
    DWORD pump(Enough enough);
    bool cancelled() const;
    std::size_t unread() const { return m_buffer.size() - m_readPos; }
    void noteActivity() { m_lastActivity = std::chrono::steady_clock::now(); }

    curl::UniqueMulti m_multi;
    curl::UniqueEasy m_easy;
    curl::UniqueSlist m_headerList;
    curl::MultiAttachment m_attachment;
    std::string m_url;
    std::shared_ptr<const std::atomic<bool>> m_sessionClosed;
    std::atomic<bool> m_cancelled{false};
    DWORD m_receiveTimeoutMs;

    std::string m_headers;
    long m_status = 0;
    bool m_locationSeen = false;
    bool m_finalHeaders = false;
    bool m_connected = false;
    std::chrono::steady_clock::time_point m_lastActivity;

    std::string m_buffer;
    std::size_t m_readPos = 0;
    bool m_paused = false;
    bool m_done = false;
    CURLcode m_result = CURLE_OK;
};

}  // namespace platform
