// GetOpenFileNameW and GetSaveFileNameW: a dialog of the layer's own, built
// from an in-memory template and run by the dialog manager.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>
#include <utility>

#include "platform/api/Desktop.h"
#include "platform/bus/PortalFileChooser.h"
#include "platform/controls/DialogClasses.h"
#include "platform/controls/FileDialogModel.h"
#include "platform/controls/FileList.h"
#include "platform/display/DesktopHandle.h"
#include "platform/display/Display.h"
#include "platform/display/HeadlessAnswers.h"
#include "platform/win32.h"

namespace veltrix::platform::controls {

namespace {

constexpr int kListId = kFileListId;
// Posted when the dialog opens: once it runs, the dialog is on the screen and
// a headless test may answer.
constexpr UINT kAnswerMessage = WM_USER + 0x60;

constexpr int kWidth = 640;
constexpr int kHeight = 440;
constexpr int kPad = 12;
constexpr int kRow = 26;
constexpr int kLabelWidth = 96;
constexpr int kButtonWidth = 96;

struct FileDialogState : FileListModel {
    FileDialogMode mode = FileDialogMode::Open;
    DWORD flags = 0;
    HWND owner = nullptr;
    std::u16string title;
    std::vector<FileFilter> filters;
    int filterIndex = 0;
    std::u16string typedPattern;  // a pattern typed into the name field replaces the filter's
    std::u16string folder;
    std::u16string initialName;
    std::u16string defaultExtension;
    bool chosen = false;
    std::u16string result;
    HWND dialog = nullptr;
};

struct Hooks {
    std::mutex mutex;
    headless::FileDialogResponder responder;
    std::vector<headless::FileDialogShown> shown;
    std::set<HWND> running;
};

Hooks& hooks() {
    static Hooks* h = new Hooks;  // outlives static destructors
    return *h;
}

thread_local DWORD lastError = 0;

FileDialogState* stateOf(HWND dialog) {
    return static_cast<FileDialogState*>(reinterpret_cast<FileListModel*>(GetWindowLongPtrW(dialog, DWLP_USER)));
}

std::u16string itemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    int n = GetWindowTextLengthW(item);
    std::u16string s(static_cast<std::size_t>(n) + 1, u'\0');
    n = GetWindowTextW(item, s.data(), n + 1);
    s.resize(static_cast<std::size_t>(std::max(0, n)));
    return s;
}

std::u16string currentPatterns(const FileDialogState& s) {
    if (!s.typedPattern.empty()) return s.typedPattern;
    if (s.filterIndex >= 0 && s.filterIndex < static_cast<int>(s.filters.size()))
        return s.filters[static_cast<std::size_t>(s.filterIndex)].patterns;
    return {};
}

HiddenFiles hiddenOf(const FileDialogState& s) {
    return (s.flags & OFN_FORCESHOWHIDDEN) ? HiddenFiles::Show : HiddenFiles::Skip;
}

void focusName(HWND dialog) {
    HWND name = GetDlgItem(dialog, kNameEditId);
    SetFocus(name);
    SendMessageW(name, EM_SETSEL, 0, -1);
}

// Lists a folder; false (and nothing changed) when it cannot be read.
bool navigate(FileDialogState& s, const std::u16string& folder) {
    Listing listing = listFolder(folder, currentPatterns(s), hiddenOf(s));
    if (!listing.readable) return false;
    s.folder = folder;
    s.listing = std::move(listing);
    s.selected = -1;
    s.top = 0;
    SetDlgItemTextW(s.dialog, kFolderEditId, folder.c_str());
    InvalidateRect(GetDlgItem(s.dialog, kListId), nullptr, FALSE);
    return true;
}

void warn(FileDialogState& s, const std::u16string& text) {
    MessageBoxW(s.dialog, text.c_str(), s.title.c_str(), MB_OK | MB_ICONWARNING);
}

void openFolder(FileDialogState& s, const std::u16string& folder) {
    if (!navigate(s, folder)) warn(s, folder + u"\nis not accessible.\nAccess is denied or the folder cannot be read.");
}

void finish(FileDialogState& s, const std::u16string& path) {
    s.chosen = true;
    s.result = path;
    EndDialog(s.dialog, IDOK);
}

// What Return does with a text typed into the file-name field.
void submit(FileDialogState& s, const std::u16string& typed) {
    TypedOutcome outcome = resolveTyped(s.mode, s.flags, s.folder, typed, s.defaultExtension);
    switch (outcome.action) {
        case TypedOutcome::Action::Nothing:
            return;
        case TypedOutcome::Action::Navigate:
            openFolder(s, outcome.path);
            SetDlgItemTextW(s.dialog, kNameEditId, u"");
            focusName(s.dialog);
            return;
        case TypedOutcome::Action::Filter:
            s.typedPattern = outcome.pattern;
            openFolder(s, outcome.path);
            focusName(s.dialog);
            return;
        case TypedOutcome::Action::Refuse:
            warn(s, outcome.message);
            focusName(s.dialog);
            return;
        case TypedOutcome::Action::AskOverwrite:
            if (MessageBoxW(s.dialog, outcome.message.c_str(), u"Confirm Save As",
                            MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES) {
                finish(s, outcome.path);
            } else {
                focusName(s.dialog);
            }
            return;
        case TypedOutcome::Action::Choose:
            finish(s, outcome.path);
            return;
    }
}

void activateSelected(FileDialogState& s) {
    if (s.selected < 0 || s.selected >= static_cast<int>(s.listing.entries.size())) return;
    const FolderEntry e = s.listing.entries[static_cast<std::size_t>(s.selected)];
    if (e.folder) {
        openFolder(s, e.name == u".." ? parentFolder(s.folder) : normalisePath(e.name, s.folder));
        return;
    }
    SetDlgItemTextW(s.dialog, kNameEditId, e.name.c_str());
    submit(s, e.name);
}

void onOk(FileDialogState& s) {
    HWND focus = GetFocus();
    HWND list = GetDlgItem(s.dialog, kListId);
    if (focus == list && s.selected >= 0) {
        activateSelected(s);
        return;
    }
    if (focus == GetDlgItem(s.dialog, kFolderEditId)) {
        std::u16string folder = normalisePath(itemText(s.dialog, kFolderEditId), s.folder);
        if (isFolder(folder)) {
            openFolder(s, folder);
            focusName(s.dialog);
        } else {
            warn(s, folder + u"\nPath does not exist.\nCheck the path and try again.");
        }
        return;
    }
    std::u16string typed = itemText(s.dialog, kNameEditId);
    if (typed.find_first_not_of(u' ') == std::u16string::npos) {
        if (s.selected >= 0 && s.listing.entries[static_cast<std::size_t>(s.selected)].folder) activateSelected(s);
        return;
    }
    submit(s, typed);
}

void layout(HWND dialog) {
    RECT c;
    GetClientRect(dialog, &c);
    int w = c.right;
    int h = c.bottom;
    auto place = [&](int id, int x, int y, int cx, int cy) {
        SetWindowPos(GetDlgItem(dialog, id), nullptr, x, y, std::max(0, cx), std::max(0, cy),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    int fieldX = kPad + kLabelWidth;
    int buttonX = w - kPad - kButtonWidth;
    place(kLookInLabelId, kPad, kPad + 4, kLabelWidth - 6, kRow - 4);
    place(kFolderEditId, fieldX, kPad, buttonX - 8 - fieldX, kRow);
    place(kUpButtonId, buttonX, kPad - 1, kButtonWidth, kRow + 2);
    int typeY = h - kPad - kRow;
    int nameY = typeY - 10 - kRow;
    int listTop = kPad + kRow + 10;
    place(kListId, kPad, listTop, w - 2 * kPad, nameY - 12 - listTop);
    place(kNameLabelId, kPad, nameY + 4, kLabelWidth - 6, kRow - 4);
    place(kNameEditId, fieldX, nameY, buttonX - 8 - fieldX, kRow);
    place(IDOK, buttonX, nameY - 1, kButtonWidth, kRow + 2);
    place(kTypeLabelId, kPad, typeY + 4, kLabelWidth - 6, kRow - 4);
    // A combo box's height includes its opened list.
    place(kFilterComboId, fieldX, typeY, buttonX - 8 - fieldX, kRow + 160);
    place(IDCANCEL, buttonX, typeY - 1, kButtonWidth, kRow + 2);
}

headless::FileDialogShown describe(const FileDialogState& s) {
    headless::FileDialogShown shown;
    shown.dialog = s.dialog;
    shown.owner = s.owner;
    shown.kind = s.mode == FileDialogMode::Save ? headless::FileDialogKind::Save : headless::FileDialogKind::Open;
    shown.title = s.title;
    for (const auto& f : s.filters) shown.filters.emplace_back(f.label, f.patterns);
    shown.filterIndex = s.filterIndex;
    shown.folder = s.folder;
    shown.fileName = s.dialog && IsWindow(s.dialog) ? itemText(s.dialog, kNameEditId) : s.initialName;
    shown.defaultExtension = s.defaultExtension;
    shown.flags = s.flags;
    for (const auto& e : s.listing.entries)
        shown.entries.push_back(e.folder && e.name != u".." ? e.name + u"/" : e.name);
    shown.result = s.chosen ? s.result : std::u16string();
    return shown;
}

void answerForTest(FileDialogState& s) {
    RedrawWindow(s.dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    headless::FileDialogResponder responder;
    {
        std::lock_guard lock(hooks().mutex);
        responder = hooks().responder;
    }
    headless::FileDialogAnswer answer = responder ? responder(describe(s)) : headless::FileDialogAnswer::cancel();
    if (!IsWindow(s.dialog)) return;
    switch (answer.kind) {
        case headless::FileDialogAnswer::Kind::Cancel:
            EndDialog(s.dialog, IDCANCEL);
            break;
        case headless::FileDialogAnswer::Kind::Choose:
            SetDlgItemTextW(s.dialog, kNameEditId, answer.path.c_str());
            focusName(s.dialog);
            submit(s, answer.path);
            break;
        case headless::FileDialogAnswer::Kind::LetItRun:
            break;
    }
}

INT_PTR fileDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    FileDialogState* s = message == WM_INITDIALOG ? nullptr : stateOf(dialog);
    switch (message) {
        case WM_INITDIALOG: {
            s = reinterpret_cast<FileDialogState*>(lParam);
            s->dialog = dialog;
            SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(static_cast<FileListModel*>(s)));
            {
                std::lock_guard lock(hooks().mutex);
                hooks().running.insert(dialog);
            }
            HWND combo = GetDlgItem(dialog, kFilterComboId);
            for (const auto& f : s->filters)
                SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.label.c_str()));
            SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(s->filterIndex), 0);
            EnableWindow(combo, s->filters.empty() ? FALSE : TRUE);
            SetDlgItemTextW(dialog, kNameEditId, s->initialName.c_str());
            SendDlgItemMessageW(dialog, kNameEditId, EM_LIMITTEXT, 1024, 0);
            // Centred over the owner, or on the screen.
            RECT around{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
            if (s->owner && IsWindowVisible(s->owner)) GetWindowRect(s->owner, &around);
            int x = std::max<int>(0, around.left + (around.right - around.left - kWidth) / 2);
            int y = std::max<int>(0, around.top + (around.bottom - around.top - kHeight) / 2);
            SetWindowPos(dialog, nullptr, x, y, kWidth, kHeight, SWP_NOZORDER | SWP_NOACTIVATE);
            layout(dialog);
            if (!navigate(*s, s->folder)) navigate(*s, currentFolder());
            focusName(dialog);
            if (isHeadlessDisplay()) PostMessageW(dialog, kAnswerMessage, 0, 0);
            return FALSE;  // the focus is set
        }
        case WM_SIZE:
            layout(dialog);
            return TRUE;
        case kAnswerMessage:
            if (s) answerForTest(*s);
            return TRUE;
        case WM_COMMAND: {
            if (!s) return FALSE;
            WORD id = LOWORD(wParam);
            WORD code = HIWORD(wParam);
            if (id == IDOK)
                onOk(*s);
            else if (id == IDCANCEL)
                EndDialog(dialog, IDCANCEL);
            else if (id == kUpButtonId && code == BN_CLICKED)
                openFolder(*s, parentFolder(s->folder));
            else if (id == kListId && code == LBN_DBLCLK)
                activateSelected(*s);
            else if (id == kListId && code == LBN_SELCHANGE && s->selected >= 0) {
                const FolderEntry& e = s->listing.entries[static_cast<std::size_t>(s->selected)];
                if (!e.folder) SetDlgItemTextW(dialog, kNameEditId, e.name.c_str());
            } else if (id == kFilterComboId && code == CBN_SELCHANGE) {
                LRESULT index = SendMessageW(reinterpret_cast<HWND>(lParam), CB_GETCURSEL, 0, 0);
                if (index >= 0) {
                    s->filterIndex = static_cast<int>(index);
                    s->typedPattern.clear();
                    navigate(*s, s->folder);
                }
            }
            return TRUE;
        }
        case WM_DESTROY: {
            std::lock_guard lock(hooks().mutex);
            hooks().running.erase(dialog);
            return FALSE;
        }
        default:
            return FALSE;
    }
}

// Writes the dialog's template: the controls in tab order, placed by layout().
class TemplateWriter {
public:
    TemplateWriter(DWORD style, const std::u16string& title, WORD points, const std::u16string& face) {
        put<DWORD>(style);
        put<DWORD>(0);
        put<WORD>(0);  // item count, patched
        for (int i = 0; i < 4; ++i) put<short>(i < 2 ? 0 : 100);
        put<WORD>(0);
        put<WORD>(0);
        putString(title);
        put<WORD>(points);
        putString(face);
    }
    void item(const std::u16string& className, DWORD style, int id, const std::u16string& text) {
        while (bytes_.size() % 4) bytes_.push_back(0);
        put<DWORD>(style | WS_CHILD | WS_VISIBLE);
        put<DWORD>(0);
        for (int i = 0; i < 4; ++i) put<short>(0);
        put<WORD>(static_cast<WORD>(id));
        putString(className);
        putString(text);
        put<WORD>(0);
        ++count_;
    }
    const DLGTEMPLATE* get() {
        std::memcpy(bytes_.data() + 8, &count_, 2);
        words_.assign((bytes_.size() + 3) / 4, 0);
        std::memcpy(words_.data(), bytes_.data(), bytes_.size());
        return reinterpret_cast<const DLGTEMPLATE*>(words_.data());
    }

private:
    template <typename T>
    void put(T v) {
        BYTE b[sizeof v];
        std::memcpy(b, &v, sizeof v);
        bytes_.insert(bytes_.end(), b, b + sizeof v);
    }
    void putString(const std::u16string& s) {
        for (char16_t c : s) put<char16_t>(c);
        put<char16_t>(0);
    }
    std::vector<BYTE> bytes_;
    std::vector<DWORD> words_;
    WORD count_ = 0;
};

std::u16string boundedString(const WCHAR* s, std::size_t limit) {
    std::u16string out;
    if (!s) return out;
    while (out.size() < limit && s[out.size()]) out.push_back(s[out.size()]);
    return out;
}

void copyOut(LPWSTR buffer, DWORD size, const std::u16string& text) {
    if (!buffer || size == 0) return;
    std::size_t n = std::min<std::size_t>(text.size(), size - 1);
    std::copy_n(text.data(), n, buffer);
    buffer[n] = 0;
}

// The path the portal chose, as this dialog would take it: a saved name
// without an extension gets the default one, and then (the portal asked only
// about the name it saw) the overwrite question is ours. False: not chosen.
bool acceptPortalChoice(FileDialogState& s, const std::u16string& path) {
    std::u16string name = path.substr(path.rfind(u'/') + 1);
    if (s.mode == FileDialogMode::Open || name.find(u'.') != std::u16string::npos) {
        s.result = path;
        return true;
    }
    TypedOutcome outcome = resolveTyped(s.mode, s.flags, parentFolder(path), path, s.defaultExtension);
    switch (outcome.action) {
        case TypedOutcome::Action::Choose:
            s.result = outcome.path;
            return true;
        case TypedOutcome::Action::AskOverwrite:
            if (MessageBoxW(s.owner, outcome.message.c_str(), u"Confirm Save As",
                            MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
                return false;
            s.result = outcome.path;
            return true;
        case TypedOutcome::Action::Refuse:
            MessageBoxW(s.owner, outcome.message.c_str(), s.title.c_str(), MB_OK | MB_ICONWARNING);
            return false;
        default:
            return false;
    }
}

// Asks the desktop's file chooser when the setting allows; false when it
// did not answer, and the own dialog is to be shown.
bool askDesktop(FileDialogState& s) {
    if (!desktop::usesDesktopFileChooser()) return false;
    // The portal's dialog stays above its owner when the desktop knows it.
    std::string parent = s.owner ? desktopHandleOf(s.owner) : std::string();
    bus::PortalRequest request{s.mode, s.owner, parent, s.title, s.filters, s.filterIndex, s.folder, s.initialName};
    bus::PortalAnswer answer = bus::askPortal(request);
    switch (answer.outcome) {
        case bus::PortalAnswer::Outcome::Unavailable:
            return false;
        case bus::PortalAnswer::Outcome::Cancelled:
            return true;
        case bus::PortalAnswer::Outcome::Chosen:
            if (answer.filterIndex >= 0) s.filterIndex = answer.filterIndex;
            s.chosen = acceptPortalChoice(s, answer.path);
            return true;
    }
    return false;
}

INT_PTR runOwnDialog(FileDialogState& s);
BOOL deliver(LPOPENFILENAMEW ofn, const FileDialogState& s);

BOOL runFileDialog(LPOPENFILENAMEW ofn, FileDialogMode mode) {
    lastError = 0;
    if (!ofn || ofn->lStructSize < offsetof(OPENFILENAMEW, pvReserved)) {
        lastError = CDERR_STRUCTSIZE;
        return FALSE;
    }
    if (!ofn->lpstrFile || ofn->nMaxFile == 0) {
        lastError = CDERR_INITIALIZATION;
        return FALSE;
    }
    registerFileListClass();
    FileDialogState s;
    s.mode = mode;
    s.flags = ofn->Flags;
    s.owner = ofn->hwndOwner && IsWindow(ofn->hwndOwner) ? GetAncestor(ofn->hwndOwner, GA_ROOT) : nullptr;
    std::u16string title = boundedString(ofn->lpstrTitle, 1024);
    s.title = !title.empty() ? title : (mode == FileDialogMode::Open ? u"Open" : u"Save As");
    s.filters = parseFilter(ofn->lpstrFilter);
    int wanted = static_cast<int>(ofn->nFilterIndex) - 1;
    s.filterIndex = wanted >= 0 && wanted < static_cast<int>(s.filters.size()) ? wanted : 0;
    s.defaultExtension = boundedString(ofn->lpstrDefExt, 64);

    std::u16string start = boundedString(ofn->lpstrInitialDir, 4096);
    std::u16string base = currentFolder();
    s.folder = !start.empty() && isFolder(normalisePath(start, base)) ? normalisePath(start, base) : base;
    std::u16string initial = boundedString(ofn->lpstrFile, ofn->nMaxFile);
    if (!initial.empty()) {
        std::u16string path = normalisePath(initial, s.folder);
        if (isFolder(path)) {
            s.folder = path;
        } else if (initial.find_first_of(u"/\\") != std::u16string::npos && isFolder(parentFolder(path))) {
            s.folder = parentFolder(path);
            s.initialName = path.substr(path.rfind(u'/') + 1);
        } else {
            s.initialName = initial;
        }
    }

    if (askDesktop(s)) return deliver(ofn, s);
    INT_PTR r = runOwnDialog(s);
    if (r == -1) {
        lastError = CDERR_INITIALIZATION;
        return FALSE;
    }
    return deliver(ofn, s);
}

INT_PTR runOwnDialog(FileDialogState& s) {
    const FileDialogMode mode = s.mode;
    TemplateWriter t(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN | DS_MODALFRAME | DS_SETFONT,
                     s.title, 10, u"Segoe UI");
    t.item(u"STATIC", SS_LEFT, kLookInLabelId, u"Look in:");
    t.item(u"EDIT", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, kFolderEditId, u"");
    t.item(u"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, kUpButtonId, u"Up one level");
    t.item(kFileListClass, WS_TABSTOP, kListId, u"");
    t.item(u"STATIC", SS_LEFT, kNameLabelId, u"File name:");
    t.item(u"EDIT", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, kNameEditId, u"");
    t.item(u"BUTTON", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, mode == FileDialogMode::Open ? u"Open" : u"Save");
    t.item(u"STATIC", SS_LEFT, kTypeLabelId, u"Files of type:");
    t.item(u"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, kFilterComboId, u"");
    t.item(u"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, u"Cancel");

    INT_PTR r =
        runModalDialog(t.get(), s.owner, fileDialogProc, reinterpret_cast<LPARAM>(&s), DialogAnswers::ByOwnCode);
    {
        std::lock_guard lock(hooks().mutex);
        headless::FileDialogShown shown = describe(s);
        hooks().shown.push_back(std::move(shown));
    }
    return r;
}

// Hands the chosen path back as Windows does, or FALSE when none was chosen.
BOOL deliver(LPOPENFILENAMEW ofn, const FileDialogState& s) {
    if (!s.chosen) return FALSE;
    if (s.result.size() + 1 > ofn->nMaxFile) {
        lastError = FNERR_BUFFERTOOSMALL;
        ofn->lpstrFile[0] = static_cast<WCHAR>(std::min<std::size_t>(s.result.size() + 1, 0xFFFF));
        return FALSE;
    }
    copyOut(ofn->lpstrFile, ofn->nMaxFile, s.result);
    std::size_t nameAt = s.result.rfind(u'/') + 1;
    std::u16string name = s.result.substr(nameAt);
    std::size_t dot = name.rfind(u'.');
    ofn->nFileOffset = static_cast<WORD>(nameAt);
    ofn->nFileExtension = static_cast<WORD>(dot == std::u16string::npos ? s.result.size() : nameAt + dot + 1);
    copyOut(ofn->lpstrFileTitle, ofn->nMaxFileTitle, name);
    ofn->nFilterIndex = s.filters.empty() ? 0 : static_cast<DWORD>(s.filterIndex + 1);
    std::u16string extension = s.defaultExtension;
    extension.erase(0, extension.find_first_not_of(u'.'));
    std::u16string chosenExtension = dot == std::u16string::npos ? u"" : name.substr(dot + 1);
    if (!extension.empty() && chosenExtension != extension)
        ofn->Flags |= OFN_EXTENSIONDIFFERENT;
    else
        ofn->Flags &= ~OFN_EXTENSIONDIFFERENT;
    return TRUE;
}

}  // namespace

}  // namespace veltrix::platform::controls

namespace veltrix::platform::headless {

void setFileDialogResponder(FileDialogResponder responder) {
    std::lock_guard lock(controls::hooks().mutex);
    controls::hooks().responder = std::move(responder);
}

FileDialogShown readFileDialog(HWND dialog) {
    {
        std::lock_guard lock(controls::hooks().mutex);
        if (!controls::hooks().running.count(dialog)) return {};
    }
    controls::FileDialogState* s = controls::stateOf(dialog);
    return s ? controls::describe(*s) : FileDialogShown{};
}

std::vector<FileDialogShown> takeFileDialogs() {
    std::lock_guard lock(controls::hooks().mutex);
    return std::exchange(controls::hooks().shown, {});
}

}  // namespace veltrix::platform::headless

using namespace veltrix::platform::controls;

BOOL GetOpenFileNameW(LPOPENFILENAMEW ofn) { return runFileDialog(ofn, FileDialogMode::Open); }
BOOL GetSaveFileNameW(LPOPENFILENAMEW ofn) { return runFileDialog(ofn, FileDialogMode::Save); }
DWORD CommDlgExtendedError() { return lastError; }
