// The WinINet subset on libcurl: sessions and requests behind HINTERNET handles.
//
// The table holds shared owners, so a handle closed by another thread while a
// call is blocked on it stays alive until that call has returned; the close
// itself only cancels. Handle values count up and are never reused, so a
// second close of the same handle is refused instead of reaching another one.
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/api/Internet.h"
#include "platform/api/Services.h"
#include "platform/services/HttpTransfer.h"

namespace {

class InternetObject {
public:
    virtual ~InternetObject() = default;
    // Any thread: make every blocked or later call on the handle fail.
    virtual void cancel() = 0;
};

class SessionObject : public InternetObject {
public:
    explicit SessionObject(platform::HttpSettings given) : settings(std::move(given)) {}

    void cancel() override {
        closed->store(true);
        std::vector<std::shared_ptr<platform::HttpTransfer>> live;
        {
            std::lock_guard guard(lock);
            for (auto& weak : transfers)
                if (auto transfer = weak.lock()) live.push_back(std::move(transfer));
            transfers.clear();
        }
        for (auto& transfer : live) transfer->cancel();
    }

    // Registers a request made on this session; false when the session was
    // closed meanwhile.
    bool adopt(const std::shared_ptr<platform::HttpTransfer>& transfer) {
        std::lock_guard guard(lock);
        if (closed->load()) return false;
        std::erase_if(transfers, [](const auto& weak) { return weak.expired(); });
        transfers.push_back(transfer);
        return true;
    }

    std::mutex lock;
    platform::HttpSettings settings;  // read and written by the owning thread only
    std::shared_ptr<std::atomic<bool>> closed = std::make_shared<std::atomic<bool>>(false);
    std::vector<std::weak_ptr<platform::HttpTransfer>> transfers;
};

class RequestObject : public InternetObject {
public:
    explicit RequestObject(std::shared_ptr<platform::HttpTransfer> started) : transfer(std::move(started)) {}
    void cancel() override { transfer->cancel(); }
    std::shared_ptr<platform::HttpTransfer> transfer;
};

std::mutex tableLock;
std::map<std::uintptr_t, std::shared_ptr<InternetObject>> table;
std::uintptr_t lastHandle = 0;

HINTERNET addHandle(std::shared_ptr<InternetObject> object) {
    std::lock_guard guard(tableLock);
    // Multiples of 4, like Windows handles; never 0.
    lastHandle += 4;
    table.emplace(lastHandle, std::move(object));
    return reinterpret_cast<HINTERNET>(lastHandle);
}

template <typename T>
std::shared_ptr<T> findHandle(HINTERNET handle) {
    std::lock_guard guard(tableLock);
    auto it = table.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == table.end()) return nullptr;
    return std::dynamic_pointer_cast<T>(it->second);
}

// What InternetCanonicalizeUrl does to the bytes a request line cannot carry.
std::string canonicalUrl(const char* url) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char* p = url; *p; ++p) {
        auto c = static_cast<unsigned char>(*p);
        if (c <= 0x20 || c >= 0x7F || c == '"' || c == '<' || c == '>') {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// The bypass list "<local>" names this machine; other entries pass as given.
std::string noProxyList(const char* bypass) {
    if (!bypass) return {};
    std::string out;
    std::string list = bypass;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find_first_of(";, ", start);
        if (end == std::string::npos) end = list.size();
        std::string entry = list.substr(start, end - start);
        if (entry == "<local>") entry = "localhost,127.0.0.1,::1";
        if (!entry.empty()) {
            if (!out.empty()) out += ',';
            out += entry;
        }
        start = end + 1;
    }
    return out;
}

}  // namespace

DWORD InternetAttemptConnect(DWORD) { return ERROR_SUCCESS; }

HINTERNET InternetOpenA(LPCSTR agent, DWORD accessType, LPCSTR proxy, LPCSTR proxyBypass, DWORD) {
    platform::HttpSettings settings;
    settings.agent = agent ? agent : "";
    if (accessType == INTERNET_OPEN_TYPE_PROXY) {
        if (!proxy || !*proxy) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        settings.direct = false;
        settings.proxy = proxy;
        settings.noProxy = noProxyList(proxyBypass);
    }
    return addHandle(std::make_shared<SessionObject>(std::move(settings)));
}

BOOL InternetSetOptionA(HINTERNET internet, DWORD option, LPVOID buffer, DWORD bufferLength) {
    auto session = findHandle<SessionObject>(internet);
    if (!session) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!buffer || bufferLength != sizeof(DWORD)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD value;
    std::memcpy(&value, buffer, sizeof value);
    switch (option) {
        case INTERNET_OPTION_CONNECT_TIMEOUT:
            session->settings.connectTimeoutMs = value;
            break;
        case INTERNET_OPTION_RECEIVE_TIMEOUT:
        case INTERNET_OPTION_DATA_RECEIVE_TIMEOUT:
            session->settings.receiveTimeoutMs = value;
            break;
        case INTERNET_OPTION_SEND_TIMEOUT:
        case INTERNET_OPTION_DATA_SEND_TIMEOUT:
            // A GET request is a few hundred bytes: it goes out within the
            // receive time-out that follows it, so there is nothing to time apart.
            break;
        default:
            SetLastError(ERROR_INTERNET_INVALID_OPTION);
            return FALSE;
    }
    return TRUE;
}

HINTERNET InternetOpenUrlA(HINTERNET internet, LPCSTR url, LPCSTR headers, DWORD headersLength, DWORD, DWORD_PTR) {
    auto session = findHandle<SessionObject>(internet);
    if (!session) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!url) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    platform::HttpSettings settings = session->settings;
    if (headers)
        settings.extraHeaders =
            headersLength == static_cast<DWORD>(-1) ? std::string(headers) : std::string(headers, headersLength);
    auto transfer = std::make_shared<platform::HttpTransfer>(settings, canonicalUrl(url), session->closed);
    if (!session->adopt(transfer)) {
        SetLastError(ERROR_INTERNET_OPERATION_CANCELLED);
        return nullptr;
    }
    if (DWORD error = transfer->open()) {
        SetLastError(error);
        return nullptr;
    }
    return addHandle(std::make_shared<RequestObject>(std::move(transfer)));
}

BOOL HttpQueryInfoA(HINTERNET request, DWORD infoLevel, LPVOID buffer, LPDWORD bufferLength, LPDWORD) {
    auto object = findHandle<RequestObject>(request);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!bufferLength || (!buffer && *bufferLength)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (infoLevel == (HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER)) {
        if (*bufferLength < sizeof(DWORD)) {
            *bufferLength = sizeof(DWORD);
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        auto status = static_cast<DWORD>(object->transfer->status());
        std::memcpy(buffer, &status, sizeof status);
        *bufferLength = sizeof status;
        return TRUE;
    }
    if (infoLevel != HTTP_QUERY_RAW_HEADERS_CRLF) {
        SetLastError(ERROR_HTTP_HEADER_NOT_FOUND);
        return FALSE;
    }
    const std::string& text = object->transfer->rawHeaders();
    if (*bufferLength < text.size() + 1) {
        *bufferLength = static_cast<DWORD>(text.size() + 1);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    *bufferLength = static_cast<DWORD>(text.size());
    return TRUE;
}

BOOL InternetReadFile(HINTERNET file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead) {
    if (bytesRead) *bytesRead = 0;
    auto object = findHandle<RequestObject>(file);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!bytesRead || (!buffer && bytesToRead)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD got = 0;
    DWORD error = object->transfer->read(static_cast<char*>(buffer), bytesToRead, got);
    *bytesRead = got;
    if (error) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

BOOL InternetCloseHandle(HINTERNET handle) {
    std::shared_ptr<InternetObject> object;
    {
        std::lock_guard guard(tableLock);
        auto it = table.find(reinterpret_cast<std::uintptr_t>(handle));
        if (it == table.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        object = std::move(it->second);
        table.erase(it);
    }
    // A call still blocked on the object holds its own owner; it wakes, fails
    // and lets the object go when it returns.
    object->cancel();
    return TRUE;
}
