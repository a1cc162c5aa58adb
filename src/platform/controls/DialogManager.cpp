// The dialog manager: dialogs from in-memory templates, DefDlgProcW, the modal
// loop and the dialog keyboard interface.
#include <algorithm>
#include <map>
#include <mutex>
#include <utility>

#include "platform/api/GdiHandles.h"
#include "platform/controls/DialogClasses.h"
#include "platform/controls/DialogTemplate.h"
#include "platform/controls/ModalLoop.h"
#include "platform/display/Display.h"
#include "platform/display/HeadlessAnswers.h"
#include "platform/win32.h"

namespace veltrix::platform::controls {

namespace {

// What the manager keeps for each dialog window beside its extra bytes.
struct DialogState {
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
    UniqueFont font;  // made from the template's font, when it names one
    SIZE baseUnits{8, 16};
    WORD defaultId = 0;
};

struct Registry {
    std::mutex mutex;
    std::map<HWND, DialogState> dialogs;
    headless::DialogResponder responder;
    std::vector<headless::DialogShown> shown;
};

Registry& registry() {
    static Registry* r = new Registry;  // outlives static destructors
    return *r;
}

// Runs f on the dialog's state under the lock; false when the window is no dialog.
template <typename F>
bool withState(HWND dialog, F&& f) {
    std::lock_guard lock(registry().mutex);
    auto it = registry().dialogs.find(dialog);
    if (it == registry().dialogs.end()) return false;
    f(it->second);
    return true;
}

// a * b / c rounded half away from zero, as the system's MulDiv.
int mulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    long long p = static_cast<long long>(a) * b;
    long long q = (p >= 0) == (c > 0) ? (p + (c > 0 ? c : -c) / 2) / c : (p - (c > 0 ? c : -c) / 2) / c;
    return static_cast<int>(q);
}

SIZE baseUnitsOf(HFONT font) {
    const UniqueDC dc(CreateCompatibleDC(nullptr));
    const SelectedObject selection(dc.get(), font ? font : GetStockObject(SYSTEM_FONT));
    static const char16_t letters[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), letters, 52, &size);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc.get(), &tm);
    SIZE units{(size.cx / 26 + 1) / 2, tm.tmHeight};
    if (units.cx <= 0) units.cx = 8;
    if (units.cy <= 0) units.cy = 16;
    return units;
}

RECT toPixels(SIZE units, short x, short y, short cx, short cy) {
    return {mulDiv(x, units.cx, 4), mulDiv(y, units.cy, 8), mulDiv(x + cx, units.cx, 4), mulDiv(y + cy, units.cy, 8)};
}

bool isDialog(HWND window) {
    return withState(window, [](DialogState&) {});
}

LRESULT dialogCode(HWND control, LPMSG msg) {
    return SendMessageW(control, WM_GETDLGCODE, msg ? msg->wParam : 0, reinterpret_cast<LPARAM>(msg));
}

// By the control's own styles, as on Windows: a dialog that is not shown yet
// still has its tab stops.
bool canTakeFocus(HWND window) {
    auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

// The dialog's controls in tab order: children in z-order, with the controls
// of a WS_EX_CONTROLPARENT child in its place. Walked with an explicit stack.
std::vector<HWND> controlsInOrder(HWND dialog) {
    std::vector<HWND> out;
    std::vector<HWND> stack;
    HWND next = GetWindow(dialog, GW_CHILD);
    for (;;) {
        if (!next) {
            if (stack.empty()) break;
            next = GetWindow(stack.back(), GW_HWNDNEXT);
            stack.pop_back();
            continue;
        }
        if ((GetWindowLongW(next, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) && canTakeFocus(next) &&
            GetWindow(next, GW_CHILD) && stack.size() < 32) {
            stack.push_back(next);
            next = GetWindow(next, GW_CHILD);
            continue;
        }
        out.push_back(next);
        next = GetWindow(next, GW_HWNDNEXT);
    }
    return out;
}

// The index of control, or of its nearest ancestor in the list; -1 if none.
int indexIn(const std::vector<HWND>& list, HWND control) {
    for (HWND w = control; w; w = GetAncestor(w, GA_PARENT)) {
        auto it = std::find(list.begin(), list.end(), w);
        if (it != list.end()) return static_cast<int>(it - list.begin());
    }
    return -1;
}

void focusControl(HWND dialog, HWND control) {
    if (!control) return;
    SetFocus(control);
    if (dialogCode(control, nullptr) & DLGC_HASSETSEL) SendMessageW(control, EM_SETSEL, 0, -1);
    (void)dialog;
}

void pressDefault(HWND dialog, HWND from, LRESULT fromCode) {
    int id;
    HWND control;
    if ((fromCode & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) && IsWindowEnabled(from)) {
        control = from;
        id = GetDlgCtrlID(from);
    } else {
        LRESULT def = SendMessageW(dialog, DM_GETDEFID, 0, 0);
        id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
        control = GetDlgItem(dialog, id);
        if (control && !IsWindowEnabled(control)) {
            MessageBeep(0);
            return;
        }
    }
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

HWND createDialog(const DLGTEMPLATE* dialogTemplate, HWND owner, DLGPROC proc, LPARAM param, bool modal) {
    registerDialogClasses();
    auto description = readDialogTemplate(dialogTemplate);
    if (!description) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const DialogDescription& d = *description;
    bool child = (d.style & WS_CHILD) != 0;
    HWND ownerWindow = owner && IsWindow(owner) ? (child ? owner : GetAncestor(owner, GA_ROOT)) : nullptr;

    UniqueFont ownFont;
    if (d.hasFont) {
        LOGFONTW lf{};
        lf.lfHeight = -mulDiv(d.pointSize, 96, 72);
        lf.lfWeight = d.weight ? d.weight : FW_NORMAL;
        lf.lfItalic = d.italic;
        lf.lfCharSet = DEFAULT_CHARSET;
        std::size_t n = std::min<std::size_t>(d.face.size(), LF_FACESIZE - 1);
        std::copy_n(d.face.data(), n, lf.lfFaceName);
        ownFont.reset(CreateFontIndirectW(&lf));
    }
    const HFONT font = ownFont.get();
    SIZE units = d.hasFont ? baseUnitsOf(font) : SIZE{LOWORD(GetDialogBaseUnits()), HIWORD(GetDialogBaseUnits())};
    RECT r = toPixels(units, d.x, d.y, d.cx, d.cy);
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    POINT at{r.left, r.top};
    if (d.style & DS_CENTER) {
        RECT around{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (ownerWindow && !child && IsWindowVisible(ownerWindow)) GetWindowRect(ownerWindow, &around);
        at = {around.left + (around.right - around.left - width) / 2,
              around.top + (around.bottom - around.top - height) / 2};
        if (!child) at = {std::max<LONG>(0, at.x), std::max<LONG>(0, at.y)};
    } else if (ownerWindow && !child && !(d.style & DS_ABSALIGN)) {
        ClientToScreen(ownerWindow, &at);
    }

    std::u16string className = d.windowClass.empty() ? std::u16string(kDialogClassName) : itemClassName(d.windowClass);
    DWORD exStyle = d.exStyle | ((d.style & DS_MODALFRAME) ? WS_EX_DLGMODALFRAME : 0) |
                    ((d.style & DS_CONTROL) ? WS_EX_CONTROLPARENT : 0);
    DWORD style = d.style & ~WS_VISIBLE;
    HWND dialog = CreateWindowExW(exStyle, className.c_str(), d.title.c_str(), style, at.x, at.y, width, height,
                                  ownerWindow, nullptr, nullptr, nullptr);
    if (!dialog) return nullptr;
    {
        std::lock_guard lock(registry().mutex);
        DialogState& s = registry().dialogs[dialog];
        s = DialogState{};
        s.modal = modal;
        s.font = std::move(ownFont);
        s.baseUnits = units;
    }
    SetWindowLongPtrW(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
    if (font) SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    for (const DialogItem& item : d.items) {
        std::u16string itemClass = itemClassName(item.windowClass);
        std::u16string title = item.title.isOrdinal ? std::u16string() : item.title.name;
        RECT ir = toPixels(units, item.x, item.y, item.cx, item.cy);
        HWND control =
            CreateWindowExW(item.exStyle | WS_EX_NOPARENTNOTIFY, itemClass.c_str(), title.c_str(),
                            (item.style | WS_CHILD) & ~WS_POPUP, ir.left, ir.top, ir.right - ir.left,
                            ir.bottom - ir.top, dialog, reinterpret_cast<HMENU>(std::uintptr_t{item.id}), nullptr,
                            item.creationData.empty() ? nullptr : const_cast<BYTE*>(item.creationData.data()));
        if (!control) {
            // As on Windows without DS_NOFAILCREATE: one missing control fails the dialog.
            DestroyWindow(dialog);
            return nullptr;
        }
        if (font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (itemClass == u"BUTTON" && (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            withState(dialog, [&](DialogState& s) {
                if (!s.defaultId) s.defaultId = static_cast<WORD>(item.id);
            });
    }

    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    if (SendMessageW(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) && IsWindow(dialog)) {
        focusControl(dialog, first ? first : dialog);
    }
    if (!IsWindow(dialog)) return nullptr;
    if (!modal && (d.style & WS_VISIBLE)) {
        bool ended = false;
        withState(dialog, [&](DialogState& s) { ended = s.ended; });
        if (!ended) ShowWindow(dialog, SW_SHOWNORMAL);
    }
    return dialog;
}

}  // namespace

LRESULT defaultDialogHandling(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(dialog, &r);
            FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        case WM_CLOSE: {
            HWND cancel = GetDlgItem(dialog, IDCANCEL);
            if (cancel && !IsWindowEnabled(cancel)) {
                MessageBeep(0);
                return 0;
            }
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
            return 0;
        }
        case WM_NEXTDLGCTL: {
            HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                         : GetNextDlgTabItem(dialog, GetFocus(), wParam ? TRUE : FALSE);
            focusControl(dialog, target);
            return 0;
        }
        case WM_SETFOCUS: {
            // The dialog itself never keeps the focus while a control can take it.
            HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
            if (first) SetFocus(first);
            return 0;
        }
        case DM_GETDEFID: {
            WORD id = 0;
            withState(dialog, [&](DialogState& s) { id = s.defaultId; });
            return id ? MAKELRESULT(id, DC_HASDEFID) : 0;
        }
        case DM_SETDEFID:
            withState(dialog, [&](DialogState& s) { s.defaultId = static_cast<WORD>(wParam); });
            return TRUE;
        case WM_GETFONT: {
            HFONT font = nullptr;
            withState(dialog, [&](DialogState& s) { font = s.font.get(); });
            return font ? reinterpret_cast<LRESULT>(font) : DefWindowProcW(dialog, message, wParam, lParam);
        }
        case WM_NCDESTROY: {
            UniqueFont font;
            {
                std::lock_guard lock(registry().mutex);
                auto it = registry().dialogs.find(dialog);
                if (it != registry().dialogs.end()) {
                    font = std::move(it->second.font);
                    registry().dialogs.erase(it);
                }
            }
            font.reset();
            return DefWindowProcW(dialog, message, wParam, lParam);
        }
        default:
            return DefWindowProcW(dialog, message, wParam, lParam);
    }
}

SIZE dialogBaseUnits(HWND dialog) {
    SIZE units{LOWORD(GetDialogBaseUnits()), HIWORD(GetDialogBaseUnits())};
    withState(dialog, [&](DialogState& s) { units = s.baseUnits; });
    return units;
}

}  // namespace veltrix::platform::controls

namespace veltrix::platform::headless {

void setDialogResponder(DialogResponder responder) {
    std::lock_guard lock(controls::registry().mutex);
    controls::registry().responder = std::move(responder);
}

std::vector<DialogShown> takeDialogs() {
    std::lock_guard lock(controls::registry().mutex);
    return std::exchange(controls::registry().shown, {});
}

}  // namespace veltrix::platform::headless

using namespace veltrix::platform;
using namespace veltrix::platform::controls;

LRESULT DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrW(dialog, DWLP_DLGPROC));
    if (proc) {
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 0);
        INT_PTR handled = proc(dialog, message, wParam, lParam);
        if (handled) {
            switch (message) {
                case WM_INITDIALOG:
                case WM_CTLCOLOREDIT:
                case WM_CTLCOLORLISTBOX:
                case WM_CTLCOLORSTATIC:
                case 0x0135:  // WM_CTLCOLORBTN
                case 0x0136:  // WM_CTLCOLORDLG
                case 0x0039:  // WM_COMPAREITEM
                case 0x002E:  // WM_VKEYTOITEM
                case 0x002F:  // WM_CHARTOITEM
                case 0x0037:  // WM_QUERYDRAGICON
                    return handled;
                default:
                    return IsWindow(dialog) ? GetWindowLongPtrW(dialog, DWLP_MSGRESULT) : handled;
            }
        }
        if (!IsWindow(dialog)) return 0;
    }
    if (message == WM_INITDIALOG) return 0;
    return defaultDialogHandling(dialog, message, wParam, lParam);
}

HWND CreateDialogIndirectParamW(HINSTANCE, LPCDLGTEMPLATEW dialogTemplate, HWND owner, DLGPROC proc, LPARAM param) {
    return createDialog(dialogTemplate, owner, proc, param, false);
}

INT_PTR DialogBoxIndirectParamW(HINSTANCE, LPCDLGTEMPLATEW dialogTemplate, HWND owner, DLGPROC proc, LPARAM param) {
    return runModalDialog(dialogTemplate, owner, proc, param, DialogAnswers::ByResponder);
}

INT_PTR veltrix::platform::controls::runModalDialog(const DLGTEMPLATE* dialogTemplate, HWND owner, DLGPROC proc,
                                                    LPARAM param, DialogAnswers answers) {
    HWND top = owner && IsWindow(owner) ? GetAncestor(owner, GA_ROOT) : nullptr;
    HWND dialog = createDialog(dialogTemplate, top, proc, param, true);
    if (!dialog) return -1;
    bool ended = false;
    withState(dialog, [&](DialogState& s) { ended = s.ended; });
    // The owner is disabled only once the dialog exists, so a failed dialog leaves it alone.
    HWND focus = GetFocus();
    if (focus != dialog && !IsChild(dialog, focus)) focus = nullptr;
    bool disabledOwner = top && IsWindowEnabled(top);
    if (disabledOwner) EnableWindow(top, FALSE);
    if (!ended) {
        ShowWindow(dialog, SW_SHOWNORMAL);
        SetActiveWindow(dialog);
        // Disabling the owner or showing may have taken the focus the dialog set on initialisation.
        if (focus && IsWindow(focus) && GetFocus() != focus) SetFocus(focus);
        UpdateWindow(dialog);
        if (isHeadlessDisplay() && answers == DialogAnswers::ByResponder) {
            headless::DialogResponder responder;
            headless::DialogShown shown;
            shown.dialog = dialog;
            shown.owner = top;
            {
                std::lock_guard lock(registry().mutex);
                responder = registry().responder;
            }
            WCHAR title[512] = {};
            GetWindowTextW(dialog, title, 512);
            shown.title = title;
            {
                std::lock_guard lock(registry().mutex);
                registry().shown.push_back(shown);
            }
            int answer = responder ? responder(shown) : headless::kLetItRun;
            if (answer != headless::kLetItRun && IsWindow(dialog)) EndDialog(dialog, answer);
        }
    }
    ModalEnd end = runModalLoop(
        [&] {
            bool done = true;
            withState(dialog, [&](DialogState& s) { done = s.ended; });
            return done;
        },
        [&](MSG& msg) { return IsDialogMessageW(dialog, &msg) != FALSE; });
    INT_PTR result = IDCANCEL;
    bool found = withState(dialog, [&](DialogState& s) {
        if (s.ended) result = s.result;
    });
    if (end != ModalEnd::Done && found) result = IDCANCEL;
    // The owner is enabled before the dialog goes, so that activation returns to it.
    if (disabledOwner && IsWindow(top)) EnableWindow(top, TRUE);
    if (IsWindow(dialog)) DestroyWindow(dialog);
    if (top && IsWindow(top) && GetWindowThreadProcessId(top, nullptr) == GetCurrentThreadId()) SetActiveWindow(top);
    return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    bool modal = false;
    if (!withState(dialog, [&](DialogState& s) {
            s.ended = true;
            s.result = result;
            modal = s.modal;
        })) {
        return FALSE;
    }
    if (modal) {
        // Wakes the modal loop, which checks its end after every message.
        PostMessageW(dialog, WM_NULL, 0, 0);
    } else {
        ShowWindow(dialog, SW_HIDE);
    }
    return TRUE;
}

BOOL IsDialogMessageW(HWND dialog, LPMSG msg) {
    if (!msg || !dialog || !IsWindow(dialog)) return FALSE;
    if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)) return FALSE;
    if (msg->message == WM_KEYDOWN) {
        LRESULT code = dialogCode(msg->hwnd, msg);
        if (!(code & DLGC_WANTMESSAGE)) {
            switch (msg->wParam) {
                case VK_TAB:
                    if (code & DLGC_WANTTAB) break;
                    SendMessageW(dialog, WM_NEXTDLGCTL, GetKeyState(VK_SHIFT) < 0 ? 1 : 0, 0);
                    return TRUE;
                case VK_LEFT:
                case VK_UP:
                case VK_RIGHT:
                case VK_DOWN: {
                    if (code & DLGC_WANTARROWS) break;
                    bool back = msg->wParam == VK_LEFT || msg->wParam == VK_UP;
                    HWND next = GetNextDlgGroupItem(dialog, msg->hwnd, back ? TRUE : FALSE);
                    if (next && next != msg->hwnd) {
                        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
                        if (dialogCode(next, nullptr) & DLGC_RADIOBUTTON) SendMessageW(next, BM_CLICK, 0, 0);
                    }
                    return TRUE;
                }
                case VK_RETURN:
                    pressDefault(dialog, msg->hwnd, code);
                    return TRUE;
                case VK_ESCAPE: {
                    HWND cancel = GetDlgItem(dialog, IDCANCEL);
                    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(cancel));
                    return TRUE;
                }
                default:
                    break;
            }
        }
    } else if (msg->message == WM_CHAR) {
        LRESULT code = dialogCode(msg->hwnd, msg);
        char16_t c = static_cast<char16_t>(msg->wParam);
        bool navigation = c == u'\t' || c == u'\r' || c == 0x1B;
        // The keys behind these characters were handled as navigation above.
        if (navigation && !(code & (DLGC_WANTMESSAGE | DLGC_WANTCHARS)) && !(c == u'\t' && (code & DLGC_WANTTAB)))
            return TRUE;
    }
    TranslateMessage(msg);
    DispatchMessageW(msg);
    return TRUE;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    if (!IsWindow(dialog)) return nullptr;
    std::vector<HWND> all = controlsInOrder(dialog);
    int n = static_cast<int>(all.size());
    if (n == 0) return nullptr;
    int at = control ? indexIn(all, control) : -1;
    int step = previous ? -1 : 1;
    int start = at >= 0 ? at : (previous ? 0 : n - 1);
    for (int k = 1; k <= n; ++k) {
        HWND w = all[static_cast<std::size_t>(((start + step * k) % n + n) % n)];
        if ((GetWindowLongW(w, GWL_STYLE) & WS_TABSTOP) && canTakeFocus(w)) return w;
    }
    return nullptr;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
    if (!IsWindow(dialog) || !control) return nullptr;
    HWND parent = GetAncestor(control, GA_PARENT);
    if (!parent) return nullptr;
    std::vector<HWND> siblings;
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) siblings.push_back(w);
    auto it = std::find(siblings.begin(), siblings.end(), control);
    if (it == siblings.end()) return nullptr;
    int at = static_cast<int>(it - siblings.begin());
    int first = at;
    while (first > 0 && !(GetWindowLongW(siblings[static_cast<std::size_t>(first)], GWL_STYLE) & WS_GROUP)) --first;
    int end = at + 1;
    while (end < static_cast<int>(siblings.size()) &&
           !(GetWindowLongW(siblings[static_cast<std::size_t>(end)], GWL_STYLE) & WS_GROUP))
        ++end;
    int size = end - first;
    for (int k = 1; k < size; ++k) {
        int offset = ((at - first) + (previous ? -k : k)) % size;
        if (offset < 0) offset += size;
        HWND w = siblings[static_cast<std::size_t>(first + offset)];
        if (canTakeFocus(w)) return w;
    }
    return control;
}

BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text) {
    HWND item = GetDlgItem(dialog, id);
    return item ? SetWindowTextW(item, text) : FALSE;
}

UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int size) {
    HWND item = GetDlgItem(dialog, id);
    if (!item) {
        if (buffer && size > 0) buffer[0] = 0;
        return 0;
    }
    return static_cast<UINT>(GetWindowTextW(item, buffer, size));
}

LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND item = GetDlgItem(dialog, id);
    return item ? SendMessageW(item, message, wParam, lParam) : 0;
}

BOOL MapDialogRect(HWND dialog, LPRECT rect) {
    if (!rect || !isDialog(dialog)) return FALSE;
    SIZE units = dialogBaseUnits(dialog);
    *rect = {mulDiv(rect->left, units.cx, 4), mulDiv(rect->top, units.cy, 8), mulDiv(rect->right, units.cx, 4),
             mulDiv(rect->bottom, units.cy, 8)};
    return TRUE;
}

LONG GetDialogBaseUnits() {
    static const SIZE units = baseUnitsOf(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
    return static_cast<LONG>(MAKELPARAM(units.cx, units.cy));
}
