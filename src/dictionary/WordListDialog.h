// The modeless "Word List" dialog: the word list pane above the OK and
// Cancel buttons. OK writes the pane's word table into the WordList element
// and closes; Cancel closes without writing. The pane is made afresh from the
// element each time the dialog opens.
#pragma once

#include <functional>

#include "dictionary/WordListPane.h"
#include "toolkit/Dialog.h"

class WordListDialog : public Dialog {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 400;
    // The strip under the pane where the buttons stand.
    static constexpr int kButtonStrip = 32;

    explicit WordListDialog(Element& wordList) : pane_(wordList) {}
    ~WordListDialog() override;

    bool createContents() override;
    void onSize(WPARAM type, LPARAM size) override;
    bool onOk() override;

    // Called when OK has changed the element.
    void setStoredHandler(std::function<void()> handler) { stored_ = std::move(handler); }
    WordListPane& pane() { return pane_; }

private:
    WordListPane pane_;
    std::function<void()> stored_;
};
