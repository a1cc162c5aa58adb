#include "ClippedTexts.h"

#include "player/Orvella.h"
#include "toolkit/Button.h"
#include "toolkit/Graphics.h"
#include "toolkit/LabelComponent.h"
#include "toolkit/Slider.h"
#include "toolkit/TabbedPane.h"
#include "toolkit/UpDownTextField.h"

namespace veltrix::test {

namespace {

int textWidth(const WinApiWindow& window, const std::u16string& text) {
    Graphics g(1, 1);
    g.setFont(window.font());
    return g.getTextWidth(text);
}

RECT clientOf(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return r;
}

// Class names and captions here are ASCII.
std::string ascii(const std::u16string& text) {
    std::string narrow;
    for (char16_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

std::string windowName(HWND window) {
    WCHAR name[64] = {};
    GetClassNameW(window, name, 64);
    return ascii(name);
}

}  // namespace

std::vector<std::string> clippedTexts(Orvella& player) {
    std::vector<std::string> problems;
    auto report = [&](HWND window, const std::string& what, int need, int have) {
        if (need > have)
            problems.push_back(windowName(window) + ": " + what + " needs " + std::to_string(need) + " px, has " +
                               std::to_string(have));
    };
    std::vector<HWND> children;
    EnumChildWindows(
        player.handle(),
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        if (!IsWindowVisible(child)) continue;
        const RECT parent = clientOf(GetParent(child));
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
        if (r.right > r.left && r.bottom > r.top &&
            (r.left < 0 || r.top < 0 || r.right > parent.right || r.bottom > parent.bottom))
            problems.push_back(windowName(child) + ": outside its parent at " + std::to_string(r.left) + "," +
                               std::to_string(r.top) + "-" + std::to_string(r.right) + "," + std::to_string(r.bottom) +
                               " in " + std::to_string(parent.right) + "x" + std::to_string(parent.bottom));
        BaseWindow* window = BaseWindow::fromHandle(child);
        const int width = clientOf(child).right;
        if (auto* slider = dynamic_cast<Slider*>(window)) {
            report(child, "the slider's value", slider->widestValueWidth() + 2 * Slider::kValueMargin,
                   slider->thumbWidth());
            report(child, "the slider's thumb", slider->thumbWidth(), width);
        } else if (auto* field = dynamic_cast<UpDownTextField*>(window)) {
            report(child, "the field \"" + ascii(field->getText()) + "\"",
                   field->packedWidth(), width);
        } else if (auto* label = dynamic_cast<LabelComponent*>(window)) {
            report(child, "the label", 2 + textWidth(*label, label->getText()), width);
        } else if (auto* button = dynamic_cast<Button*>(window);
                   button && !dynamic_cast<Orvella::FaceButton*>(window)) {
            report(child, "the button's caption", textWidth(*button, button->getText()) + 4, width);
        } else if (auto* tabs = dynamic_cast<TabbedPane*>(window)) {
            for (int i = 0; i < tabs->count(); ++i) {
                const RECT tab = tabs->tabBounds(i);
                report(child, "a tab's title", textWidth(*tabs, tabs->tab(i)->title) + 6, tab.right - tab.left);
            }
        }
    }
    LyricsTable& table = player.lyricsTable();
    for (int column : {LyricsTable::Start, LyricsTable::End})
        report(table.handle(), "a time column", table.preferredColumnWidth(column), table.getColumnWidth(column));
    return problems;
}

}  // namespace veltrix::test
