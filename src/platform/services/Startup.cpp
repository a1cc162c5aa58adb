// Start-up services that Linux does not need. They still keep count, so that
// a test can see that start-up and shut-down balance.
#include <atomic>
#include <cstring>

#include "platform/api/CommonControls.h"
#include "platform/api/Startup.h"

namespace {
std::atomic<int> comStarts{0};
std::atomic<int> oleStarts{0};
std::atomic<int> socketStarts{0};
}  // namespace

HRESULT CoInitializeEx(LPVOID, DWORD) { return comStarts++ == 0 ? S_OK : S_FALSE; }
HRESULT CoInitialize(LPVOID reserved) { return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED); }
void CoUninitialize() {
    if (comStarts > 0) --comStarts;
}
HRESULT OleInitialize(LPVOID) {
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ++oleStarts;
    return com;
}
void OleUninitialize() {
    if (oleStarts > 0) {
        --oleStarts;
        CoUninitialize();
    }
}

int WSAStartup(WORD version, WSADATA* data) {
    if (data) {
        std::memset(data, 0, sizeof(*data));
        data->wVersion = version;
        data->wHighVersion = MAKEWORD(2, 2);
        std::strcpy(data->szDescription, "Linux sockets");
        std::strcpy(data->szSystemStatus, "Running");
    }
    ++socketStarts;
    return 0;
}
int WSACleanup() {
    if (socketStarts > 0) --socketStarts;
    return 0;
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) { return init ? TRUE : FALSE; }
