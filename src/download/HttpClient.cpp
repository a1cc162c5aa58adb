#include "download/HttpClient.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/win32.h"
#include "text/NarrowText.h"
#include "text/ReplacingFile.h"

namespace {

DWORD statusOf(HINTERNET request) {
    DWORD status = 0;
    DWORD length = sizeof status;
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length, nullptr)) return 0;
    return status;
}

bool isErrorStatus(DWORD status) { return status >= 400; }

}  // namespace

UrlConnection openUrl(std::string_view url, std::string_view method, std::string_view proxy, RequestCancel* cancel) {
    (void)method;  // carried for the callers; the request is always a GET
    UrlConnection connection;
    if (InternetAttemptConnect(0) != ERROR_SUCCESS) {
        connection.result = -1;
        return connection;
    }
    const std::string proxyText(proxy);
    connection.internet = InternetHandle(
        proxy.empty() ? InternetOpenA(http::kUserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)
                      : InternetOpenA(http::kUserAgent, INTERNET_OPEN_TYPE_PROXY, proxyText.c_str(), "<local>", 0));
    if (!connection.internet) return connection;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_DATA_SEND_TIMEOUT, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
        DWORD value = http::kTimeoutMs;
        InternetSetOptionA(connection.internet.get(), option, &value, sizeof value);
    }
    if (cancel) {
        connection.cancelAttachment = RequestCancel::Attachment(cancel, connection.internet.get());
        if (!connection.cancelAttachment.attached()) return connection;
    }
    const std::string urlText(url);
    connection.request =
        InternetHandle(InternetOpenUrlA(connection.internet.get(), urlText.c_str(), http::kExtraHeaders,
                                        static_cast<DWORD>(std::strlen(http::kExtraHeaders)), 0, 0));
    return connection;
}

std::string fetchUrlText(std::string_view url, std::string_view method, std::string_view proxy, RequestCancel* cancel) {
    UrlConnection connection = openUrl(url, method, proxy, cancel);
    if (!connection.request) return {};
    HINTERNET request = connection.request.get();

    char buffer[http::kBufferBytes];
    DWORD length = sizeof buffer;
    if (!HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer, &length, nullptr)) buffer[0] = '\0';
    if (method == "HEAD") return std::string(buffer);
    if (isErrorStatus(statusOf(request))) return {};

    std::string result;
    std::size_t received = 0;
    for (;;) {
        DWORD got = 0;
        if (!InternetReadFile(request, buffer, http::kBufferBytes - 1, &got)) return {};
        if (got == 0) break;
        received += got;
        if (received > http::kMaxPageBytes) return {};
        buffer[got] = '\0';
        // Pages are text to the callers: a zero byte ends what this chunk gives.
        result.append(buffer, strnlen(buffer, got));
    }
    return result;
}

bool downloadUrlToFile(const std::u16string& path, std::u16string_view url, std::string_view method,
                       std::string_view proxy, RequestCancel* cancel) {
    ReplacingFile file(path);
    if (!file.file()) return false;

    UrlConnection connection = openUrl(encodeCodePage(url, CP_ACP), method, proxy, cancel);
    if (!connection.request) return false;
    HINTERNET request = connection.request.get();
    if (isErrorStatus(statusOf(request))) return false;

    if (method != "HEAD") {
        char buffer[http::kBufferBytes];
        for (;;) {
            DWORD got = 0;
            if (!InternetReadFile(request, buffer, http::kBufferBytes - 1, &got)) return false;
            if (got == 0) break;
            if (std::fwrite(buffer, 1, got, file.file()) != got) return false;
        }
    }
    return file.commit();
}
