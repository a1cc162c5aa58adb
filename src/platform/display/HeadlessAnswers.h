// How a test answers the modal boxes and pop-up menus of the native layer on
// the headless display, and reads what they showed. A responder runs inside
// the box's or menu's own loop, once it is on the screen and painted: it may
// save its picture and inject input, then return an answer, or return
// kLetItRun to let the injected input decide. Without a responder a message
// box answers its default button at once and a menu closes without a choice.
// On the headless display no box or menu waits longer than ten seconds: it
// then ends as if cancelled, so a forgotten answer never hangs a test.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32.h"

namespace veltrix::platform::headless {

inline constexpr int kLetItRun = -1;

struct MessageBoxShown {
    HWND box = nullptr;
    HWND owner = nullptr;  // the top-level window disabled while it ran
    std::u16string caption;
    std::u16string text;
    UINT type = 0;
    std::vector<std::u16string> buttons;  // left to right
    int defaultButton = 0;                // index into buttons
    int answer = 0;                       // filled in when the box has ended
};

// Returns the id to answer (IDOK, IDYES ...) or kLetItRun.
using MessageBoxResponder = std::function<int(const MessageBoxShown&)>;
void setMessageBoxResponder(MessageBoxResponder responder);
// Every message box shown since the last call, oldest first; clears the list.
std::vector<MessageBoxShown> takeMessageBoxes();

struct MenuItemShown {
    std::u16string text;  // as given, "&" included; empty for a separator
    UINT id = 0;          // command id; 0 for separators and submenus
    bool separator = false;
    bool checked = false;
    bool enabled = true;
    bool submenu = false;
};

struct MenuShown {
    HWND popup = nullptr;  // the top-level pop-up window showing the items
    POINT at{0, 0};        // its top-left corner on the screen
    std::vector<MenuItemShown> items;
};

// Returns the command id to choose, 0 to close without a choice, or kLetItRun.
using MenuResponder = std::function<int(const MenuShown&)>;
void setMenuResponder(MenuResponder responder);

struct DialogShown {
    HWND dialog = nullptr;
    HWND owner = nullptr;  // the top-level window disabled while it runs
    std::u16string title;
};

// Runs once a modal dialog (DialogBoxIndirectParamW) is on the screen and
// painted; returns the result to end it with (EndDialog) or kLetItRun. Without
// a responder a dialog runs until its own controls end it.
using DialogResponder = std::function<int(const DialogShown&)>;
void setDialogResponder(DialogResponder responder);
// Every modal dialog shown since the last call, oldest first; clears the list.
std::vector<DialogShown> takeDialogs();

enum class FileDialogKind { Open, Save };

struct FileDialogShown {
    HWND dialog = nullptr;
    HWND owner = nullptr;
    FileDialogKind kind = FileDialogKind::Open;
    std::u16string title;                                            // the window title
    std::vector<std::pair<std::u16string, std::u16string>> filters;  // (label, patterns)
    int filterIndex = 0;                                             // 0-based index of the filter in use
    std::u16string folder;                                           // the folder listed
    std::u16string fileName;                                         // the file-name field
    std::u16string defaultExtension;
    DWORD flags = 0;
    // The rows of the list as shown: ".." and folders (with a trailing "/")
    // first, then the files that pass the filter.
    std::vector<std::u16string> entries;
    std::u16string result;  // filled in when the dialog has ended; empty when cancelled
};

// How a test answers a file dialog: choose a path (handled as if typed into
// the file-name field followed by Return, so every check and prompt applies),
// cancel, or let injected input decide.
struct FileDialogAnswer {
    enum class Kind { Choose, Cancel, LetItRun };
    Kind kind = Kind::Cancel;
    std::u16string path;
    static FileDialogAnswer choose(std::u16string path) { return {Kind::Choose, std::move(path)}; }
    static FileDialogAnswer cancel() { return {Kind::Cancel, {}}; }
    static FileDialogAnswer letItRun() { return {Kind::LetItRun, {}}; }
};

// Runs once the file dialog is on the screen and painted. Without a responder
// a file dialog on the headless display is cancelled at once.
using FileDialogResponder = std::function<FileDialogAnswer(const FileDialogShown&)>;
void setFileDialogResponder(FileDialogResponder responder);
// What a running file dialog shows now (for a test that drives it by input).
FileDialogShown readFileDialog(HWND dialog);
// Every file dialog shown since the last call, with its result; clears the list.
std::vector<FileDialogShown> takeFileDialogs();

}  // namespace veltrix::platform::headless
