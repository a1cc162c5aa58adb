// The list of folders and files inside the open and save dialogs: a window
// class of the layer ("VeltrixFileList") drawing the rows of a Listing, with
// a selection, keyboard and mouse. Internal to src/platform.
//
// It reads its rows from the FileListModel its parent dialog keeps in
// DWLP_USER, and tells the parent with WM_COMMAND: LBN_SELCHANGE when the
// selection changes, LBN_DBLCLK on a double click, and BN_CLICKED of the
// parent's "Up" button (kUpButtonId) on Backspace.
#pragma once

#include "platform/controls/FileDialogModel.h"

namespace veltrix::platform::controls {

inline constexpr const char16_t* kFileListClass = u"VeltrixFileList";
// The controls of the file dialogs (numbers of the system's own dialog).
inline constexpr int kUpButtonId = 0x4A0;
inline constexpr int kLookInLabelId = 0x443;
inline constexpr int kFolderEditId = 0x481;
inline constexpr int kFileListId = 0x460;
inline constexpr int kNameLabelId = 0x442;
inline constexpr int kNameEditId = 0x480;
inline constexpr int kTypeLabelId = 0x441;
inline constexpr int kFilterComboId = 0x470;
inline constexpr WORD LBN_SELCHANGE = 1;
inline constexpr WORD LBN_DBLCLK = 2;

struct FileListModel {
    Listing listing;
    int selected = -1;  // index into listing.entries, -1 for none
    int top = 0;        // first row shown
};

// The model of a list window (from its parent dialog), or null.
FileListModel* fileListModelOf(HWND list);
// Selects a row (clamped; -1 for none), scrolls it into view and repaints;
// notifies the parent when notify is set and the selection changed.
enum class Notify { No, Yes };
void selectRow(HWND list, int row, Notify notify);

LRESULT fileListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void registerFileListClass();

}  // namespace veltrix::platform::controls
