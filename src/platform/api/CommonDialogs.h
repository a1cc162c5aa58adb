// The common open and save dialogs, with Windows' structure, flags and error
// codes.
//
// Contract: the dialog is a modal top-level window of the layer's own, titled
// lpstrTitle (else "Open" or "Save As"), owned by the top-level window of
// hwndOwner, which is disabled while it runs. It lists the folders and the
// files of one folder that pass the chosen filter; the file-name field has the
// focus when it opens. Typing a folder (absolute, or relative to the folder
// shown) and Return opens it; a pattern such as "*.txt" filters the list; a
// file name or a full path chooses that file. A name without an extension gets
// lpstrDefExt (a leading "." in it is ignored). OFN_FILEMUSTEXIST (open only,
// as on Windows) and OFN_PATHMUSTEXIST refuse missing files and folders with a
// message box; a save never goes into a folder that does not exist;
// OFN_OVERWRITEPROMPT asks (Yes/No, No by default) before an existing file is
// chosen in a save. The initial folder is lpstrFile's folder when lpstrFile
// holds a path (an existing folder in lpstrFile is opened with an empty name),
// else lpstrInitialDir, else the current folder. The dialogs never change the
// process's current folder. On the headless display a test answers them (see
// display/HeadlessAnswers.h).
//
// Results: TRUE with the chosen path in lpstrFile ("/"-separated), its name in
// lpstrFileTitle, nFileOffset, nFileExtension and the 1-based nFilterIndex.
// FALSE when cancelled (CommDlgExtendedError 0) or on failure (its code; a
// buffer too small for the path gives FNERR_BUFFERTOOSMALL and the needed
// length in lpstrFile's first unit).
#pragma once

#include "platform/api/Types.h"

using LPOFNHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

struct OPENFILENAMEW {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCWSTR lpstrFilter;
    LPWSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;
    LPWSTR lpstrFile;
    DWORD nMaxFile;
    LPWSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCWSTR lpstrInitialDir;
    LPCWSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    LPCWSTR lpstrDefExt;
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;
    LPCWSTR lpTemplateName;
    void* pvReserved;
    DWORD dwReserved;
    DWORD FlagsEx;
};
using LPOPENFILENAMEW = OPENFILENAMEW*;

inline constexpr DWORD OFN_READONLY = 0x00000001;
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
inline constexpr DWORD OFN_NOVALIDATE = 0x00000100;
inline constexpr DWORD OFN_EXTENSIONDIFFERENT = 0x00000400;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
inline constexpr DWORD OFN_CREATEPROMPT = 0x00002000;
inline constexpr DWORD OFN_EXPLORER = 0x00080000;
inline constexpr DWORD OFN_ENABLESIZING = 0x00800000;
inline constexpr DWORD OFN_FORCESHOWHIDDEN = 0x10000000;

inline constexpr DWORD CDERR_STRUCTSIZE = 0x0001;
inline constexpr DWORD CDERR_INITIALIZATION = 0x0002;
inline constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;

BOOL GetOpenFileNameW(LPOPENFILENAMEW ofn);
BOOL GetSaveFileNameW(LPOPENFILENAMEW ofn);
// The calling thread's last common-dialog error; 0 after a cancel.
DWORD CommDlgExtendedError();
