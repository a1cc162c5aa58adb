#include "dictionary/WordListDialog.h"

#include <algorithm>

// The pane's windows go while this object is whole; the dialog's window goes with the base.
WordListDialog::~WordListDialog() { pane_.destroyWindow(); }

bool WordListDialog::createContents() {
    setTitle(u"Word List");
    pane_.create(handle());
    addStandardButtons(kOkButton | kCancelButton);
    setSizeCentered(kWidth, kHeight);
    RECT client{};
    GetClientRect(handle(), &client);
    onSize(SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    // The learner comes to type a word.
    SetFocus(pane_.keyField().handle());
    return false;
}

void WordListDialog::onSize(WPARAM, LPARAM) {
    if (!pane_.handle()) return;
    RECT client{};
    GetClientRect(handle(), &client);
    pane_.setBounds(0, 0, client.right, std::max<int>(0, client.bottom - kButtonStrip));
}

bool WordListDialog::onOk() {
    const std::u16string before = pane_.element().toString();
    pane_.store();
    if (stored_ && pane_.element().toString() != before) stored_();
    return true;
}
