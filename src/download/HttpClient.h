// The blocking HTTP client of the downloaders, on the internet service. Each
// call opens its own session, makes one request and closes both: nothing is
// kept between calls, so several workers may fetch at once.
//
// Every request sends the fixed user agent and the extra header "Accept:*/*",
// with 5000 ms connect, send and receive time-outs. The method is carried for
// the callers' sake but the request is always a GET; "HEAD" only changes what
// fetchUrlText gives back. An empty proxy means a direct connection.
//
// A failed request is never passed off as a page or a file: no connection, a
// time-out, an HTTP error status (400 and above), a body that breaks off, or a
// page larger than kMaxPageBytes gives an empty text or false.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "download/InternetHandle.h"
#include "download/RequestCancel.h"

namespace http {

inline constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR 1.1.4322)";
inline constexpr char kExtraHeaders[] = "Accept:*/*\r\n\r\n";
inline constexpr DWORD kTimeoutMs = 5000;
// Reads ask for one byte less than the buffer, which keeps room for a zero.
inline constexpr DWORD kBufferBytes = 8192;
inline constexpr std::size_t kMaxPageBytes = std::size_t(64) << 20;

}  // namespace http

// The handles of one request; each is closed with the object (the request
// before the session).
struct UrlConnection {
    // -1 when the service reports that no connection can be made, else 1.
    int result = 1;
    InternetHandle internet;
    RequestCancel::Attachment cancelAttachment;
    InternetHandle request;  // empty when the URL could not be opened
};

// cancel (optional) lets another thread end the request while it runs.
UrlConnection openUrl(std::string_view url, std::string_view method, std::string_view proxy,
                      RequestCancel* cancel = nullptr);

// The body as bytes, not decoded. Read in chunks of at most 8191 bytes, each
// cut at its first zero byte, as the callers have always treated pages as
// text. With method "HEAD" the raw response headers instead (whatever the
// status). Empty when nothing could be fetched.
std::string fetchUrlText(std::string_view url, std::string_view method = "GET", std::string_view proxy = {},
                         RequestCancel* cancel = nullptr);

// Copies the body byte for byte into the file at path, which is written only
// when the whole body has arrived: on any failure the file is left as it was
// (or not made) and the result is false. The URL is converted with the system
// code page.
bool downloadUrlToFile(const std::u16string& path, std::u16string_view url, std::string_view method = "GET",
                       std::string_view proxy = {}, RequestCancel* cancel = nullptr);
