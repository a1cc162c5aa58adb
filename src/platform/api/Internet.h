// The internet service: the blocking subset of WinINet the downloaders use,
// with WinINet's names, numbers and results.
//
// Contract: InternetOpenA gives a session that holds the user agent, the proxy
// and the time-outs; InternetOpenUrlA makes one GET request on it (http and
// https only), follows redirects as the service does, and returns once the
// final response's headers have arrived; InternetReadFile then reads the body,
// filling the buffer unless the body ends first, and reports the end with TRUE
// and 0 bytes. A body that breaks off early, or a wait longer than the receive
// time-out for the next bytes, is a failed read, never an end.
//
// Handles are never reused. InternetCloseHandle may be called from any thread:
// closing a request, or the session it was made on, ends a call blocked on it
// at once with ERROR_INTERNET_OPERATION_CANCELLED, as on Windows.
#pragma once

#include "platform/api/Types.h"

using HINTERNET = void*;
using LPDWORD = DWORD*;
using INTERNET_PORT = WORD;

inline constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG = 0;
inline constexpr DWORD INTERNET_OPEN_TYPE_DIRECT = 1;
inline constexpr DWORD INTERNET_OPEN_TYPE_PROXY = 3;

// Time-outs in milliseconds (a DWORD value, length 4).
inline constexpr DWORD INTERNET_OPTION_CONNECT_TIMEOUT = 2;
inline constexpr DWORD INTERNET_OPTION_SEND_TIMEOUT = 5;
inline constexpr DWORD INTERNET_OPTION_RECEIVE_TIMEOUT = 6;
inline constexpr DWORD INTERNET_OPTION_DATA_SEND_TIMEOUT = 7;
inline constexpr DWORD INTERNET_OPTION_DATA_RECEIVE_TIMEOUT = 8;

inline constexpr DWORD HTTP_QUERY_STATUS_CODE = 19;
inline constexpr DWORD HTTP_QUERY_RAW_HEADERS_CRLF = 22;
inline constexpr DWORD HTTP_QUERY_FLAG_NUMBER = 0x20000000;

inline constexpr DWORD ERROR_INTERNET_TIMEOUT = 12002;
inline constexpr DWORD ERROR_INTERNET_INTERNAL_ERROR = 12004;
inline constexpr DWORD ERROR_INTERNET_INVALID_URL = 12005;
inline constexpr DWORD ERROR_INTERNET_UNRECOGNIZED_SCHEME = 12006;
inline constexpr DWORD ERROR_INTERNET_NAME_NOT_RESOLVED = 12007;
inline constexpr DWORD ERROR_INTERNET_INVALID_OPTION = 12009;
inline constexpr DWORD ERROR_INTERNET_OPERATION_CANCELLED = 12017;
inline constexpr DWORD ERROR_INTERNET_INCORRECT_HANDLE_TYPE = 12018;
inline constexpr DWORD ERROR_INTERNET_CANNOT_CONNECT = 12029;
inline constexpr DWORD ERROR_INTERNET_CONNECTION_ABORTED = 12030;
inline constexpr DWORD ERROR_INTERNET_CONNECTION_RESET = 12031;
inline constexpr DWORD ERROR_HTTP_HEADER_NOT_FOUND = 12150;
inline constexpr DWORD ERROR_HTTP_INVALID_SERVER_RESPONSE = 12152;
inline constexpr DWORD ERROR_HTTP_REDIRECT_FAILED = 12156;

// ERROR_SUCCESS: a Linux machine has no "offline" state to report.
DWORD InternetAttemptConnect(DWORD reserved);
// accessType DIRECT ignores the environment's proxy variables; PROXY uses
// proxy ("host:port") and bypasses it for the names in proxyBypass ("<local>":
// this machine). Time-outs start at 60000 ms.
HINTERNET InternetOpenA(LPCSTR agent, DWORD accessType, LPCSTR proxy, LPCSTR proxyBypass, DWORD flags);
BOOL InternetSetOptionA(HINTERNET internet, DWORD option, LPVOID buffer, DWORD bufferLength);
// headers: extra request header lines separated by CR LF; headersLength is
// their length, or (DWORD)-1 for a zero-terminated text. Bytes of the URL a
// request line cannot carry (spaces, control and non-ASCII bytes, quotes,
// angle brackets) are sent percent-encoded, as the service canonicalises them.
HINTERNET InternetOpenUrlA(HINTERNET internet, LPCSTR url, LPCSTR headers, DWORD headersLength, DWORD flags,
                           DWORD_PTR context);
// RAW_HEADERS_CRLF: the final response's status line and header lines, each
// ending in CR LF, then an empty line, zero-terminated; *length gets the bytes
// without the zero. STATUS_CODE | FLAG_NUMBER: the status as a DWORD. A buffer
// too small fails with ERROR_INSUFFICIENT_BUFFER and *length set to the size needed.
BOOL HttpQueryInfoA(HINTERNET request, DWORD infoLevel, LPVOID buffer, LPDWORD bufferLength, LPDWORD index);
BOOL InternetReadFile(HINTERNET file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead);
BOOL InternetCloseHandle(HINTERNET handle);
