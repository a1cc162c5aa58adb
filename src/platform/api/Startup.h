// The process-wide services a Windows program initialises at start-up. COM,
// OLE and Windows Sockets need no set-up on Linux: these succeed and do
// nothing, and each Uninitialize/Cleanup balances its start.
#pragma once

#include "platform/api/Types.h"

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;
HRESULT CoInitializeEx(LPVOID reserved, DWORD flags);
HRESULT CoInitialize(LPVOID reserved);
void CoUninitialize();
HRESULT OleInitialize(LPVOID reserved);
void OleUninitialize();

struct WSADATA {
    WORD wVersion;
    WORD wHighVersion;
    char szDescription[257];
    char szSystemStatus[129];
};
inline constexpr WORD MAKEWORD(int low, int high) { return static_cast<WORD>((low & 0xFF) | ((high & 0xFF) << 8)); }
// 0 on success, with the version asked for.
int WSAStartup(WORD version, WSADATA* data);
int WSACleanup();
