#include "platform/services/HttpTransfer.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string_view>

#include "platform/api/Internet.h"
#include "platform/api/Services.h"
#include "platform/common/AsciiCase.h"

namespace platform {

namespace curl {

void initialiseOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace curl

namespace {

// As many as a browser follows; a loop ends with ERROR_HTTP_REDIRECT_FAILED.
constexpr long kMaxRedirects = 20;

bool isFollowedRedirect(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

DWORD errorOf(CURLcode code) {
    switch (code) {
        case CURLE_OK:
            return ERROR_SUCCESS;
        case CURLE_UNSUPPORTED_PROTOCOL:
            return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
        case CURLE_URL_MALFORMAT:
            return ERROR_INTERNET_INVALID_URL;
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_RESOLVE_HOST:
            return ERROR_INTERNET_NAME_NOT_RESOLVED;
        case CURLE_COULDNT_CONNECT:
            return ERROR_INTERNET_CANNOT_CONNECT;
        case CURLE_OPERATION_TIMEDOUT:
            return ERROR_INTERNET_TIMEOUT;
        case CURLE_TOO_MANY_REDIRECTS:
            return ERROR_HTTP_REDIRECT_FAILED;
        case CURLE_WEIRD_SERVER_REPLY:
            return ERROR_HTTP_INVALID_SERVER_RESPONSE;
        case CURLE_ABORTED_BY_CALLBACK:
            return ERROR_INTERNET_OPERATION_CANCELLED;
        case CURLE_GOT_NOTHING:
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
        case CURLE_PARTIAL_FILE:
            return ERROR_INTERNET_CONNECTION_RESET;
        default:
            return ERROR_INTERNET_INTERNAL_ERROR;
    }
}

}  // namespace

HttpTransfer::HttpTransfer(const HttpSettings& settings, std::string url,
                           std::shared_ptr<const std::atomic<bool>> sessionClosed)
    : m_url(std::move(url)), m_sessionClosed(std::move(sessionClosed)), m_receiveTimeoutMs(settings.receiveTimeoutMs) {
    curl::initialiseOnce();
    m_multi.reset(curl_multi_init());
    m_easy.reset(curl_easy_init());
    if (!m_multi || !m_easy) return;

    CURL* e = m_easy.get();
    curl_easy_setopt(e, CURLOPT_URL, m_url.c_str());
    // Only the web: a URL taken from a page must never read a local file or
    // reach another kind of server, neither directly nor by a redirect.
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(e, CURLOPT_USERAGENT, settings.agent.c_str());
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(settings.connectTimeoutMs));
    if (settings.direct) {
        // An empty proxy also keeps the environment's proxy variables out.
        curl_easy_setopt(e, CURLOPT_PROXY, "");
    } else {
        curl_easy_setopt(e, CURLOPT_PROXY, settings.proxy.c_str());
        curl_easy_setopt(e, CURLOPT_NOPROXY, settings.noProxy.c_str());
    }

    curl_slist* list = nullptr;
    std::string_view lines = settings.extraHeaders;
    while (!lines.empty()) {
        std::size_t end = lines.find('\n');
        std::string_view line = lines.substr(0, end);
        lines = end == std::string_view::npos ? std::string_view() : lines.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        curl_slist* longer = curl_slist_append(list, std::string(line).c_str());
        if (!longer) break;
        list = longer;
    }
    m_headerList.reset(list);
    if (list) curl_easy_setopt(e, CURLOPT_HTTPHEADER, list);

    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &HttpTransfer::onHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &HttpTransfer::onBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, &HttpTransfer::onConnected);
    curl_easy_setopt(e, CURLOPT_PREREQDATA, this);
}

bool HttpTransfer::cancelled() const { return m_cancelled.load() || (m_sessionClosed && m_sessionClosed->load()); }

void HttpTransfer::cancel() {
    m_cancelled.store(true);
    if (m_multi) curl_multi_wakeup(m_multi.get());
}

DWORD HttpTransfer::open() {
    if (!m_multi || !m_easy) return ERROR_INTERNET_INTERNAL_ERROR;
    m_attachment = curl::MultiAttachment(m_multi.get(), m_easy.get());
    if (!m_attachment.attached()) return ERROR_INTERNET_INTERNAL_ERROR;
    noteActivity();
    DWORD error = pump([this] { return m_finalHeaders; });
    if (error) return error;
    if (m_done && m_result != CURLE_OK) return errorOf(m_result);
    return ERROR_SUCCESS;
}

DWORD HttpTransfer::read(char* buffer, DWORD size, DWORD& got) {
    got = 0;
    for (;;) {
        std::size_t n = std::min<std::size_t>(size - got, unread());
        std::memcpy(buffer + got, m_buffer.data() + m_readPos, n);
        got += static_cast<DWORD>(n);
        m_readPos += n;
        if (m_readPos == m_buffer.size()) {
            m_buffer.clear();
            m_readPos = 0;
        } else if (m_readPos > kHighWater) {
            m_buffer.erase(0, m_readPos);
            m_readPos = 0;
        }
        if (got == size) return ERROR_SUCCESS;
        if (cancelled()) return ERROR_INTERNET_OPERATION_CANCELLED;
        if (m_done) return errorOf(m_result);
        if (m_paused) {
            m_paused = false;
            noteActivity();
            // May deliver the held bytes at once, through onBody.
            curl_easy_pause(m_easy.get(), CURLPAUSE_CONT);
            continue;
        }
        const std::size_t wanted = size - got;
        DWORD error = pump([this, wanted] { return unread() >= wanted || m_paused; });
        if (error) return error;
    }
}

template <typename Enough>
DWORD HttpTransfer::pump(Enough enough) {
    for (;;) {
        if (cancelled()) return ERROR_INTERNET_OPERATION_CANCELLED;
        int running = 0;
        if (curl_multi_perform(m_multi.get(), &running) != CURLM_OK) return ERROR_INTERNET_INTERNAL_ERROR;
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(m_multi.get(), &left)) {
            if (message->msg == CURLMSG_DONE) {
                m_done = true;
                m_result = message->data.result;
            }
        }
        if (enough() || m_done) return ERROR_SUCCESS;

        int waitMs = 200;
        if (m_connected) {
            auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                              m_lastActivity);
            if (idle.count() >= m_receiveTimeoutMs) return ERROR_INTERNET_TIMEOUT;
            waitMs = static_cast<int>(std::min<long long>(waitMs, m_receiveTimeoutMs - idle.count()));
        }
        // cancel() wakes this wait through curl_multi_wakeup.
        curl_multi_poll(m_multi.get(), nullptr, 0, waitMs, nullptr);
    }
}

std::size_t HttpTransfer::onHeader(char* data, std::size_t size, std::size_t count, void* self) {
    auto* t = static_cast<HttpTransfer*>(self);
    std::string_view line(data, size * count);
    t->noteActivity();
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    if (veltrix::ascii::startsWithIgnoringCase(line, "http/")) {
        // A new response begins (after an interim or a redirect response).
        t->m_headers.assign(line);
        t->m_headers += "\r\n";
        t->m_locationSeen = false;
        t->m_finalHeaders = false;
        std::size_t space = line.find(' ');
        t->m_status =
            space == std::string_view::npos ? 0 : std::strtol(std::string(line.substr(space + 1)).c_str(), nullptr, 10);
    } else if (line.empty()) {
        t->m_headers += "\r\n";
        bool interim = t->m_status >= 100 && t->m_status < 200;
        bool followed = isFollowedRedirect(t->m_status) && t->m_locationSeen;
        if (!interim && !followed) t->m_finalHeaders = true;
    } else {
        if (veltrix::ascii::startsWithIgnoringCase(line, "location:")) t->m_locationSeen = true;
        t->m_headers.append(line);
        t->m_headers += "\r\n";
    }
    return size * count;
}

std::size_t HttpTransfer::onBody(char* data, std::size_t size, std::size_t count, void* self) {
    auto* t = static_cast<HttpTransfer*>(self);
    if (t->cancelled()) return 0;  // aborts the transfer
    if (t->unread() >= kHighWater) {
        t->m_paused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    // Body bytes mean the headers before them were the final ones.
    t->m_finalHeaders = true;
    t->m_buffer.append(data, size * count);
    t->noteActivity();
    return size * count;
}

int HttpTransfer::onConnected(void* self, char*, char*, int, int) {
    auto* t = static_cast<HttpTransfer*>(self);
    t->m_connected = true;
    t->noteActivity();
    return CURL_PREREQFUNC_OK;
}

}  // namespace platform
