#include "editor/FindAndReplacePane.h"

#include <algorithm>

#include "editor/regex/ReplaceTemplate.h"
#include "toolkit/PopupMenu.h"

namespace {

constexpr char16_t kCaseSensitiveKey[] = u"CaseSencitive";  // the stored name, misspelt as it always was
constexpr char16_t kFindTextsKey[] = u"FindTexts";
constexpr char16_t kReplaceTextsKey[] = u"ReplaceTexts";
constexpr int kHistoryListHeight = 160;
constexpr int kListMargin = 20;

bool sameSpan(const MatchResult& match, int start, int end) {
    return match.groupStart(0) == start && match.groupEnd(0) == end;
}

}  // namespace

// The fields --------------------------------------------------------------------------------

bool FindAndReplacePane::FindTextField::onKeyDown(int key) {
    if (key == VK_RETURN || key == VK_UP || key == VK_DOWN) {
        if (HWND parent = GetParent(handle_))
            SendMessageW(parent, WM_COMMAND, MAKEWPARAM(0, key), reinterpret_cast<LPARAM>(handle_));
        return true;
    }
    return TextEditor::onKeyDown(key);
}

void FindAndReplacePane::FindListComboBox::onRightMouseReleased() {
    PopupMenu menu;
    menu.addMenuItem(u"Clear History", kClearHistory);
    if (menu.trackAtPointer(handle_) == static_cast<int>(kClearHistory) && handle_)
        SendMessageW(GetParent(handle_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(handle_), kClearHistory),
                     reinterpret_cast<LPARAM>(handle_));
}

// The pane ----------------------------------------------------------------------------------

FindAndReplacePane::~FindAndReplacePane() {
    // The fields' windows go while this object is whole; the dialog's goes with the base.
    findField_.destroyWindow();
    replaceField_.destroyWindow();
}

bool FindAndReplacePane::createContents() {
    setTitle(u"Find/Replace");
    // A plain captioned pop-up: the pane keeps its size.
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(handle(), GWL_STYLE));
    SetWindowLongPtrW(handle(), GWL_STYLE, style & ~(WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    HWND self = handle();
    findLabel_.createLabel(self, u"検索する文字列(&N):", 12, 15, 102, 18);
    findField_.createAt(self, 114, 12, 236, 20);
    findField_.fieldMode();
    findList_.createBox(self, kFindListId, 350, 12, 20, 20, ComboKind::List, kHistoryListHeight);
    replaceLabel_.createLabel(self, u"置換する文字列(&R):", 12, 39, 102, 18);
    replaceField_.createAt(self, 114, 36, 236, 20);
    replaceField_.fieldMode();
    replaceList_.createBox(self, kReplaceListId, 350, 36, 20, 20, ComboKind::List, kHistoryListHeight);
    for (FindListComboBox* list : {&findList_, &replaceList_}) {
        // The lists are reached from their fields' Up and Down, not by Tab.
        const auto listStyle = static_cast<DWORD>(GetWindowLongPtrW(list->handle(), GWL_STYLE));
        SetWindowLongPtrW(list->handle(), GWL_STYLE, listStyle & ~WS_TABSTOP);
    }
    options_.createGroup(self, u"Options", 12, 60, 359, 64);
    matchCase_.createButton(self, kMatchCaseId, u"大文字と小文字を区別する(&C)", 0, 0, 170, 20);
    regex_.createButton(self, kRegexId, u"正規表現を使用する(&R)", 0, 0, 170, 20);
    backward_.createButton(self, kBackwardId, u"Backward", 0, 0, 68, 20);
    forward_.createButton(self, kForwardId, u"Forward", 0, 0, 68, 20);
    options_.add(matchCase_, 8, 16);
    options_.add(regex_, 8, 38);
    options_.add(backward_, 180, 16);
    options_.add(forward_, 180, 38);
    // Patterns are always regular expressions.
    regex_.setChecked(true);
    regex_.setEnabled(false);
    forward_.setChecked(true);
    find_.createButton(self, kFindId, u"Find", 382, 12, 88, 20);
    replace_.createButton(self, kReplaceId, u"Replace", 382, 36, 88, 20);
    replaceAll_.createButton(self, kReplaceAllId, u"Replace All", 382, 60, 88, 20);
    close_.createButton(self, kCloseId, u"Close", 382, 84, 88, 20);

    loadSettings();
    matchCase_.setChecked(matchCaseSetting_);
    showHistory(findHistory_, findList_, -1);
    showHistory(replaceHistory_, replaceList_, -1);
    setSizeCentered(kWidth, kHeight);
    takeSelection();
    return false;
}

void FindAndReplacePane::takeSelection() {
    if (!handle()) return;
    if (target_ && target_->selectionStart() != target_->selectionEnd()) {
        findField_.setText(target_->selectedText());
        findField_.emptyUndoBuffer();
    }
    findField_.setSelection(0, -1);
    SetFocus(findField_.handle());
}

void FindAndReplacePane::loadSettings() {
    if (settingsPath_.empty()) return;
    WCHAR buffer[FindHistory::kMaxStoredLength] = {};
    matchCaseSetting_ = GetPrivateProfileIntW(kSection, kCaseSensitiveKey, 1, settingsPath_.c_str()) != 0;
    GetPrivateProfileStringW(kSection, kFindTextsKey, u"", buffer, FindHistory::kMaxStoredLength,
                             settingsPath_.c_str());
    findHistory_.load(buffer);
    GetPrivateProfileStringW(kSection, kReplaceTextsKey, u"", buffer, FindHistory::kMaxStoredLength,
                             settingsPath_.c_str());
    replaceHistory_.load(buffer);
}

void FindAndReplacePane::saveSettings() const {
    if (settingsPath_.empty()) return;
    WritePrivateProfileStringW(kSection, kCaseSensitiveKey, matchCaseSetting_ ? u"1" : u"0", settingsPath_.c_str());
    WritePrivateProfileStringW(kSection, kFindTextsKey, findHistory_.joined().c_str(), settingsPath_.c_str());
    WritePrivateProfileStringW(kSection, kReplaceTextsKey, replaceHistory_.joined().c_str(), settingsPath_.c_str());
}

bool FindAndReplacePane::onClose() {
    if (matchCase_.handle()) matchCaseSetting_ = matchCase_.isChecked();
    saveSettings();
    if (target_) target_->setFindHighlight(u"", 0);
    return true;
}

void FindAndReplacePane::closePane() {
    if (handle() && onClose()) close(0);
}

void FindAndReplacePane::onCommand(HWND control, WPARAM first, WORD code) {
    if (control && control == findField_.handle()) {
        if (code == VK_RETURN)
            findNext();
        else if (code == VK_UP || code == VK_DOWN)
            stepHistory(findField_, findList_, code == VK_DOWN ? 1 : -1);
        return;
    }
    if (control && control == replaceField_.handle()) {
        if (code == VK_RETURN)
            replaceOnce();
        else if (code == VK_UP || code == VK_DOWN)
            stepHistory(replaceField_, replaceList_, code == VK_DOWN ? 1 : -1);
        return;
    }
    switch (LOWORD(first)) {
        case kFindId:
            findNext();
            return;
        case kReplaceId:
            replaceOnce();
            return;
        case kReplaceAllId:
            replaceAll();
            return;
        case kCloseId:
        case IDCANCEL:
            closePane();
            return;
        case kMatchCaseId:
            matchCaseSetting_ = matchCase_.isChecked();
            return;
        case kFindListId:
        case kReplaceListId: {
            const bool isFind = LOWORD(first) == kFindListId;
            FindHistory& history = isFind ? findHistory_ : replaceHistory_;
            FindListComboBox& list = isFind ? findList_ : replaceList_;
            FindTextField& field = isFind ? findField_ : replaceField_;
            if (code == CBN_SELCHANGE)
                chooseFromList(history, list, field);
            else if (code == CBN_CLOSEUP)
                SetFocus(field.handle());
            else if (code == FindListComboBox::kClearHistory) {
                history.clear();
                showHistory(history, list, -1);
            }
            return;
        }
        default:
            Dialog::onCommand(control, first, code);
            return;
    }
}

// Histories ---------------------------------------------------------------------------------

void FindAndReplacePane::remember(FindHistory& history, FindListComboBox& list, const std::u16string& text) {
    const int index = history.add(text);
    if (index >= 0) showHistory(history, list, index);
}

void FindAndReplacePane::showHistory(const FindHistory& history, FindListComboBox& list, int selected) {
    if (!list.handle()) return;
    SendMessageW(list.handle(), CB_RESETCONTENT, 0, 0);
    for (const std::u16string& entry : history.entries()) list.addItem(entry);
    // The list opens at least as wide as the field beside it.
    const auto dropped = static_cast<int>(SendMessageW(list.handle(), CB_GETDROPPEDWIDTH, 0, 0));
    SendMessageW(list.handle(), CB_SETDROPPEDWIDTH, static_cast<WPARAM>(std::max(dropped, 236 + kListMargin)), 0);
    list.setSelectedIndex(selected);
}

void FindAndReplacePane::stepHistory(FindTextField& field, FindListComboBox& list, int step) {
    const int index = list.getSelectedIndex() + step;
    if (index < 0 || index >= list.itemCount()) return;
    const std::u16string entry = list.itemText(index);
    if (entry.empty()) return;
    field.setText(entry);
    field.setSelection(0, -1);
    list.setSelectedIndex(index);
}

void FindAndReplacePane::chooseFromList(FindHistory& history, FindListComboBox& list, FindTextField& field) {
    const int index = list.getSelectedIndex();
    if (index < 0) return;
    const std::u16string entry = list.itemText(index);
    remember(history, list, entry);
    field.setText(entry);
    field.setSelection(0, -1);
    SetFocus(field.handle());
}

// Searching ---------------------------------------------------------------------------------

FindAndReplacePane::FindSpec FindAndReplacePane::findSpec() const {
    FindSpec spec;
    spec.text = findField_.text();
    const bool matchCase = matchCase_.handle() ? matchCase_.isChecked() : matchCaseSetting_;
    if (!matchCase) spec.flags |= TextEditor::kFindIgnoreCase;
    if (backward_.handle() && backward_.isChecked()) spec.flags |= TextEditor::kFindBackward;
    if (target_) {
        spec.start = target_->selectionStart();
        spec.end = target_->selectionEnd();
        if (spec.flags & TextEditor::kFindBackward) std::swap(spec.start, spec.end);
    }
    return spec;
}

bool FindAndReplacePane::compile(const FindSpec& spec, RegexPattern& pattern) {
    if (spec.text.empty()) return false;
    int options = regex::multiLine;
    if (spec.flags & TextEditor::kFindIgnoreCase) options |= regex::ignoreCase;
    if (spec.flags & TextEditor::kFindBackward) options |= regex::rightToLeft;
    pattern.compile(spec.text, options);
    if (pattern.error() != RegexError::none) {
        showMessage(describe(pattern.error()));
        return false;
    }
    return pattern.hasTopElement();
}

bool FindAndReplacePane::reportLimit(MatchStatus status) {
    if (status == MatchStatus::found || status == MatchStatus::notFound) return false;
    showMessage(describe(status));
    return true;
}

void FindAndReplacePane::showMessage(std::u16string_view text) {
    const std::u16string message(text);
    MessageBoxW(handle(), message.c_str(), u"Veltrix", MB_OK | MB_TOPMOST);
}

bool FindAndReplacePane::begin(Step step, FindSpec& spec, RegexPattern& pattern) {
    if (!target_) return false;
    remember(findHistory_, findList_, findField_.text());
    if (step == Step::Replace) remember(replaceHistory_, replaceList_, replaceField_.text());
    spec = findSpec();
    target_->setFindHighlight(spec.text, spec.flags);
    return compile(spec, pattern);
}

void FindAndReplacePane::findNext() {
    FindSpec spec;
    RegexPattern pattern;
    if (!begin(Step::Find, spec, pattern)) return;
    const std::u16string text = target_->text();
    MatchContext context = pattern.prepareMatch(text, spec.start);
    MatchResult match = pattern.match(context);
    // The selection is the match found last time: the next one is wanted.
    // The context goes on past it (one further after an empty match).
    if (match.found() && sameSpan(match, target_->selectionStart(), target_->selectionEnd()))
        match = pattern.match(context);
    if (reportLimit(match.status()) || !match.found()) return;
    target_->setSelection(match.groupStart(0), match.groupEnd(0));
    target_->scrollCaretIntoView();
}

void FindAndReplacePane::replaceOnce() {
    FindSpec spec;
    RegexPattern pattern;
    if (!begin(Step::Replace, spec, pattern)) return;
    const std::u16string replacement = replaceField_.text();
    std::u16string text = target_->text();
    MatchContext context = pattern.prepareMatch(text, spec.start);
    MatchResult match = pattern.match(context);
    if (reportLimit(match.status()) || !match.found()) return;
    if (sameSpan(match, target_->selectionStart(), target_->selectionEnd())) {
        const int start = match.groupStart(0);
        const int end = match.groupEnd(0);
        const std::u16string_view matched =
            std::u16string_view(text).substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
        MatchStatus outcome = MatchStatus::notFound;
        std::u16string replaced = pattern.replaceMatches(matched, replacement, -1, -1, &outcome);
        if (reportLimit(outcome)) return;
        // A match that needs its surroundings (a look-behind, "^" inside a
        // line) does not match its text alone; it is replaced as it stands.
        if (outcome == MatchStatus::notFound) {
            replaced.clear();
            ReplaceTemplate(replacement, pattern).expand(match, text, replaced);
        }
        target_->replaceRange(start, end, replaced, Recording::On);
        // Forwards the search goes on after the new text, so that a
        // replacement that matches again is not replaced over and over.
        const int next = (spec.flags & TextEditor::kFindBackward) ? start : start + static_cast<int>(replaced.size());
        text = target_->text();
        context = pattern.prepareMatch(text, next);
        match = pattern.match(context);
        if (reportLimit(match.status()) || !match.found()) return;
    }
    target_->setSelection(match.groupStart(0), match.groupEnd(0));
    target_->scrollCaretIntoView();
}

void FindAndReplacePane::replaceAll() {
    FindSpec spec;
    RegexPattern pattern;
    // The pattern compiled here only tells whether the engine refuses it.
    if (!begin(Step::Replace, spec, pattern)) return;
    reportLimit(target_->replaceAll(spec.text, replaceField_.text(), spec.flags));
}
