// The demonstration window: a frame with child panels painting English and
// Japanese text. Shown by the headless test and by the SDL2 demonstration.
#include "DemonstrationWindow.h"

#include <string>

#include "platform/api/GdiHandles.h"

namespace {

struct Panel {
    const char16_t* title;
    const char16_t* body;
    COLORREF background;
};

LRESULT panelProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    auto* panel = reinterpret_cast<const Panel*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    if (m == WM_PAINT && panel) {
        const PaintDC painting(w);
        HDC dc = painting.get();
        RECT r;
        GetClientRect(w, &r);
        const UniqueBrush bg(CreateSolidBrush(panel->background));
        FillRect(dc, &r, bg.get());
        LOGFONTW lf{};
        lf.lfHeight = -18;
        lf.lfWeight = FW_BOLD;
        std::u16string face = u"MS UI Gothic";
        std::copy(face.begin(), face.end(), lf.lfFaceName);
        const UniqueFont bold(CreateFontIndirectW(&lf));
        SelectedObject font(dc, bold.get());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(20, 20, 60));
        TextOutW(dc, 10, 8, panel->title, static_cast<int>(std::char_traits<char16_t>::length(panel->title)));
        font.select(dc, GetStockObject(DEFAULT_GUI_FONT));
        RECT text{10, 36, r.right - 10, r.bottom - 10};
        DrawTextW(dc, panel->body, -1, &text, DT_WORDBREAK | DT_NOPREFIX);
        font.restore();
        const UniquePen pen(CreatePen(PS_SOLID, 1, RGB(90, 90, 120)));
        const SelectedObject penSelection(dc, pen.get());
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        RoundRect(dc, 2, 2, r.right - 2, r.bottom - 2, 12, 12);
        return 0;
    }
    return DefWindowProcW(w, m, wp, lp);
}

}  // namespace

namespace veltrix::test {

HWND createDemonstrationWindow(HWND children[3]) {
    WNDCLASSEXW wc{sizeof wc,
                   0,
                   panelProc,
                   0,
                   0,
                   nullptr,
                   nullptr,
                   nullptr,
                   reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1)),
                   nullptr,
                   u"DemoPanel",
                   nullptr};
    RegisterClassExW(&wc);
    WNDCLASSEXW frameClass{sizeof frameClass,
                           0,
                           DefWindowProcW,
                           0,
                           0,
                           nullptr,
                           nullptr,
                           nullptr,
                           reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1)),
                           nullptr,
                           u"DemoFrame",
                           nullptr};
    RegisterClassExW(&frameClass);
    HWND frame = CreateWindowExW(0, u"DemoFrame", u"Veltrix demonstration", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40,
                                 40, 640, 360, nullptr, nullptr, nullptr, nullptr);
    static const Panel panels[] = {
        {u"Sentence", u"The quick brown fox jumps over the lazy dog. Listen, then repeat.", RGB(250, 250, 240)},
        {u"訳 (Translation)", u"素早い茶色の狐がのろまな犬を飛び越える。聞いてから繰り返しましょう。",
         RGB(235, 245, 255)},
        {u"Explanation 解説", u"\"jump over\" は「～を飛び越える」。Mixed text: 英語 and 日本語 on one line.",
         RGB(240, 255, 240)},
    };
    const RECT places[] = {{10, 10, 310, 170}, {320, 10, 620, 170}, {10, 180, 620, 330}};
    for (int i = 0; i < 3; ++i) {
        children[i] = CreateWindowExW(0, u"DemoPanel", u"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, places[i].left,
                                      places[i].top, places[i].right - places[i].left, places[i].bottom - places[i].top,
                                      frame, nullptr, nullptr, nullptr);
        SetWindowLongPtrW(children[i], GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&panels[i]));
    }
    return frame;
}

}  // namespace veltrix::test
