// Child processes and anonymous pipes, with the Win32 names, numbers and
// results the tool runner relies on.
//
// Contract: CreateProcessW splits the command line by the Windows rules
// (CommandLineToArgvW) and starts the program directly, never through a shell,
// so no text in an argument is ever run as a command. The program is the first
// argument: a path ("\" or "/" separate folders) or a bare name looked up on
// PATH. Only the three standard handles of STARTF_USESTDHANDLES reach the
// child; every other descriptor of this process stays closed to it. The child
// runs in a session of its own, without a controlling terminal, with the
// default signal dispositions and an empty signal mask.
//
// A process handle can be waited on and read for its exit code; a child that
// is still running when its last handle closes is reaped in the background,
// so no child is ever left as a zombie. Pipe ends are HANDLEs for ReadFile,
// WriteFile, FlushFileBuffers and CloseHandle; ReadFile on a pipe returns what
// is there (at least one byte, or 0 at the end), as on Windows.
#pragma once

#include "platform/api/Types.h"

struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
};

struct STARTUPINFOW {
    DWORD cb;
    LPWSTR lpReserved;
    LPWSTR lpDesktop;
    LPWSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    BYTE* lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
};

struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;  // Linux has no separate handle for the first thread: always null
    DWORD dwProcessId;
    DWORD dwThreadId;
};

inline constexpr DWORD STARTF_USESHOWWINDOW = 0x00000001;
inline constexpr DWORD STARTF_USESTDHANDLES = 0x00000100;
inline constexpr DWORD CREATE_NO_WINDOW = 0x08000000;
inline constexpr DWORD DUPLICATE_CLOSE_SOURCE = 0x00000001;
inline constexpr DWORD DUPLICATE_SAME_ACCESS = 0x00000002;

inline constexpr DWORD ERROR_BROKEN_PIPE = 109;
inline constexpr DWORD ERROR_DIRECTORY = 267;

inline constexpr DWORD STILL_ACTIVE = 259;
inline constexpr DWORD INFINITE = 0xFFFFFFFF;
inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_ABANDONED = 0x00000080;
inline constexpr DWORD WAIT_TIMEOUT = 258;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;

// Both ends are closed on exec; only the child's standard handles are passed on.
BOOL CreatePipe(HANDLE* readPipe, HANDLE* writePipe, SECURITY_ATTRIBUTES* attributes, DWORD size);
// Pipe and file handles of this process (GetCurrentProcess() on both sides).
BOOL DuplicateHandle(HANDLE sourceProcess, HANDLE source, HANDLE targetProcess, HANDLE* target, DWORD access,
                     BOOL inheritHandle, DWORD options);
// applicationName must be null: the program is the command line's first
// argument. environment must be null (the caller's). Fails with
// ERROR_FILE_NOT_FOUND when the program does not exist or cannot be run.
BOOL CreateProcessW(LPCWSTR applicationName, LPWSTR commandLine, SECURITY_ATTRIBUTES* processAttributes,
                    SECURITY_ATTRIBUTES* threadAttributes, BOOL inheritHandles, DWORD creationFlags, LPVOID environment,
                    LPCWSTR currentDirectory, STARTUPINFOW* startupInfo, PROCESS_INFORMATION* processInformation);
// Never blocks; *available gets the bytes waiting in the pipe.
BOOL PeekNamedPipe(HANDLE pipe, LPVOID buffer, DWORD bufferSize, DWORD* bytesRead, DWORD* totalAvailable,
                   DWORD* bytesLeftThisMessage);
// Processes only: WAIT_OBJECT_0 once it has ended, WAIT_TIMEOUT otherwise.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
// STILL_ACTIVE while it runs; then its exit status, or 128 + the signal that ended it.
BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode);
// Ends the child and every process it started in its session at once.
BOOL TerminateProcess(HANDLE process, UINT exitCode);
BOOL FlushFileBuffers(HANDLE file);
void Sleep(DWORD milliseconds);
