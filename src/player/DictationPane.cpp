#include "player/DictationPane.h"

#include "toolkit/Graphics.h"

namespace {

constexpr int kMargin = 8;
constexpr int kLineHeight = 24;
constexpr int kInputTop = 34;
// Through the middle of a lower-case letter of the pane's font.
constexpr int kStrikeOffset = 8;
constexpr int kResultTop = kInputTop + kLineHeight + 14;
constexpr char16_t kHint[] = u"Return: check   Ctrl+Shift+P: hear the sentence   Ctrl+Up / Ctrl+Down: previous / next";

}  // namespace

bool DictationPane::create(HWND parent) {
    registerWindowClass(u"DictationPane", u"", 0);
    if (!Component::create(parent)) return false;
    setBackground(0xFFFFFF);
    setForeground(0x171717);
    return input_.createAt(handle_, kMargin, kInputTop, 200, kLineHeight);
}

void DictationPane::setBounds(int x, int y, int width, int height) {
    Component::setBounds(x, y, width, height);
    input_.setBounds(kMargin, kInputTop, std::max(40, width - 2 * kMargin), kLineHeight);
}

void DictationPane::setHeading(const std::u16string& text) {
    if (text == heading_) return;
    heading_ = text;
    if (handle_) InvalidateRect(handle_, nullptr, FALSE);
}

void DictationPane::showResult(const DictationResult* result) {
    hasResult_ = result != nullptr;
    result_ = result ? *result : DictationResult{};
    if (handle_) InvalidateRect(handle_, nullptr, FALSE);
}

void DictationPane::clearInput() { input_.setText(u""); }

void DictationPane::focusInput() {
    if (input_.handle()) SetFocus(input_.handle());
}

void DictationPane::paint(Graphics& g) {
    Component::paint(g);
    g.setTextColor(0x171717);
    g.drawText(heading_, kMargin, 8);
    const int width = getWidth();
    int x = kMargin;
    int y = kResultTop;
    if (hasResult_) {
        const int space = std::max(4, g.getTextWidth(std::u16string(u" ")));
        for (const MarkedWord& word : result_.words) {
            const std::u16string text = word.mark == WordMark::Missing ? u"(" + word.text + u")" : word.text;
            const int w = g.getTextWidth(text);
            if (x > kMargin && x + w > width - kMargin) {
                x = kMargin;
                y += kLineHeight;
            }
            switch (word.mark) {
                case WordMark::Right:
                    g.setTextColor(kRightColour);
                    break;
                case WordMark::Missing:
                    g.setTextColor(kMissingColour);
                    break;
                case WordMark::Wrong:
                    g.setTextColor(kWrongColour);
                    break;
            }
            g.drawText(text, x, y);
            if (word.mark == WordMark::Wrong) g.drawLine(x, y + kStrikeOffset, x + w, y + kStrikeOffset, kWrongColour);
            x += w + space;
        }
        y += kLineHeight;
        const std::string score =
            std::to_string(result_.right) + " of " + std::to_string(result_.total) + " words right";
        g.setTextColor(0x171717);
        g.drawText(std::u16string(score.begin(), score.end()), kMargin, y + 6);
        y += kLineHeight;
    }
    g.setTextColor(0x808080);
    g.drawText(kHint, kMargin, y + 12);
}

LRESULT DictationPane::InputField::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && wParam == static_cast<WPARAM>(VK_RETURN)) {
        if (owner_.check_) owner_.check_(getTextCopy());
        return 0;
    }
    // The key down did the work; the character must not reach the control.
    if (message == WM_CHAR && (wParam == u'\r' || wParam == u'\n')) return 0;
    return TextField::windowProc(window, message, wParam, lParam);
}
