// The dictation pane: while dictation is on it takes the lyrics view's place
// (and the sentence table is put away), so the sentence's text is not seen.
// It shows which sentence is asked and its score so far, a one-line field
// for what the learner heard, and, after Return, the sentence word by word:
// right words in green, missing ones in red within brackets, words typed that
// are not in the sentence in orange, struck through.
//
// The pane does not play anything; the player's keys (Ctrl+Shift+P to hear
// the sentence, Ctrl+Up and Ctrl+Down to move) work as ever around it.
#pragma once

#include <functional>
#include <string>

#include "player/Dictation.h"
#include "toolkit/Component.h"
#include "toolkit/TextField.h"

class DictationPane : public Component {
public:
    static constexpr COLORREF kRightColour = 0x00007000;
    static constexpr COLORREF kMissingColour = 0x000000D0;
    static constexpr COLORREF kWrongColour = 0x000070E0;

    // Return in the field: the typed text.
    using CheckHandler = std::function<void(const std::u16string& typed)>;

    bool create(HWND parent) override;
    void paint(Graphics& g) override;
    void setBounds(int x, int y, int width, int height) override;

    void setCheckHandler(CheckHandler handler) { check_ = std::move(handler); }
    // The heading line ("Sentence 3 of 12 ...").
    void setHeading(const std::u16string& text);
    // The marks of the last check; none clears them.
    void showResult(const DictationResult* result);
    void clearInput();
    void focusInput();
    TextField& input() { return input_; }
    const std::u16string& heading() const { return heading_; }

private:
    class InputField : public TextField {
    public:
        explicit InputField(DictationPane& owner) : owner_(owner) {}
        LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    private:
        DictationPane& owner_;
    };

    InputField input_{*this};
    CheckHandler check_;
    std::u16string heading_;
    DictationResult result_;
    bool hasResult_ = false;
};
