#include "player/LyricsEditDialog.h"

LyricsEditDialog::LyricsEditDialog(SentenceEdit edit, SentenceTexts texts) : edit_(edit), texts_(std::move(texts)) {}

LyricsEditDialog::~LyricsEditDialog() { editor_.destroyWindow(); }

bool LyricsEditDialog::createContents() {
    setTitle(edit_ == SentenceEdit::Replace ? u"Sentence Editor" : u"Sentence Inserter");
    HWND label = CreateWindowExW(0, u"STATIC", u"Input Sentence:", WS_CHILD | WS_VISIBLE, 8, 10, 200, 18, handle(),
                                 nullptr, nullptr, nullptr);
    if (label) SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    editor_.createAt(handle(), 0, 32, kWidth, 100);
    editor_.setText(texts_.sentence);
    addStandardButtons(kOkButton | kCancelButton);
    setSizeCentered(kWidth, kHeight);
    // The learner starts typing at once, at the end of the sentence.
    SetFocus(editor_.handle());
    const auto end = static_cast<LPARAM>(texts_.sentence.size());
    SendMessageW(editor_.handle(), EM_SETSEL, static_cast<WPARAM>(end), end);
    return false;
}

void LyricsEditDialog::onSize(WPARAM, LPARAM) {
    if (!editor_.handle()) return;
    RECT client{};
    GetClientRect(handle(), &client);
    MoveWindow(editor_.handle(), 0, 36, client.right, std::max<int>(client.bottom - 74, 0), TRUE);
}

bool LyricsEditDialog::onOk() {
    texts_.sentence = editor_.text();
    return true;
}

std::optional<SentenceTexts> LyricsEditDialog::ask(HWND owner, SentenceEdit edit, const SentenceTexts& texts) {
    LyricsEditDialog dialog(edit, texts);
    if (!showModal(owner, dialog)) return std::nullopt;
    return dialog.texts();
}
