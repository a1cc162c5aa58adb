// The image list and the tool bar control, driven through injected input on
// the headless display: where clicks, check buttons, drop-down arrows and tip
// requests go, and what the glyphs look like on the screen.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <thread>

#include "platform/api/GdiHandles.h"
#include "platform/display/Headless.h"
#include "platform/win32.h"

namespace headless = veltrix::platform::headless;
using namespace std::chrono_literals;

namespace {

constexpr COLORREF kKey = RGB(0xE5, 0xE5, 0xE5);
constexpr COLORREF kRed = RGB(0xD0, 0x20, 0x20);
constexpr COLORREF kBlue = RGB(0x20, 0x40, 0xC0);

// A 32-bit DIB section filled by a function of the pixel, released with the object.
class Dib {
public:
    template <typename F>
    Dib(int width, int height, F colourAt) {
        BITMAPINFO info{};
        info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        auto* p = static_cast<BYTE*>(bits);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                COLORREF c = colourAt(x, y);
                BYTE* px = p + (y * width + x) * 4;
                px[0] = GetBValue(c);
                px[1] = GetGValue(c);
                px[2] = GetRValue(c);
                px[3] = 0;
            }
    }
    HBITMAP get() const { return bitmap_.get(); }

private:
    UniqueBitmap bitmap_;
};

// Glyph i of a strip of 16 x 16 cells: a filled square inset by 3 pixels on
// the key colour, red for even cells and blue for odd ones.
COLORREF stripPixel(int x, int y) {
    int cx = x % 16;
    bool inside = cx >= 3 && cx < 13 && y >= 3 && y < 13;
    return inside ? ((x / 16) % 2 ? kBlue : kRed) : kKey;
}

struct Received {
    std::vector<int> commands;  // WM_COMMAND ids
    std::vector<HWND> commandSenders;
    std::vector<HWND> commandReceivers;
    std::vector<NMTOOLBARW> dropDowns;  // TBN_DROPDOWN records
    std::vector<UINT_PTR> tipRequests;  // TTN_GETDISPINFOW ids
    std::map<UINT_PTR, std::u16string> tips;
};

Received* receiver = nullptr;

LRESULT ownerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (receiver && message == WM_COMMAND) {
        receiver->commands.push_back(LOWORD(wParam));
        receiver->commandSenders.push_back(reinterpret_cast<HWND>(lParam));
        receiver->commandReceivers.push_back(window);
        return 0;
    }
    if (receiver && message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == TBN_DROPDOWN) {
            receiver->dropDowns.push_back(*reinterpret_cast<NMTOOLBARW*>(lParam));
            return TBDDRET_DEFAULT;
        }
        if (header->code == TTN_GETDISPINFOW) {
            receiver->tipRequests.push_back(header->idFrom);
            auto it = receiver->tips.find(header->idFrom);
            if (it != receiver->tips.end()) reinterpret_cast<NMTTDISPINFOW*>(lParam)->lpszText = it->second.data();
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND makeWindow(LPCWSTR title, DWORD style, int x, int y, int width, int height, HWND parent) {
    static bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = ownerProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_BTNFACE + 1));
        wc.lpszClassName = u"ToolbarOwner";
        return RegisterClassExW(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    return CreateWindowExW(0, u"ToolbarOwner", title, style, x, y, width, height, parent, nullptr, nullptr, nullptr);
}

POINT screenPoint(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    return p;
}

void pumpFor(std::chrono::milliseconds total) {
    auto end = std::chrono::steady_clock::now() + total;
    while (std::chrono::steady_clock::now() < end) {
        headless::pumpMessages();
        std::this_thread::sleep_for(5ms);
    }
    headless::pumpMessages();
}

TBBUTTON button(int image, int command, BYTE style = BTNS_BUTTON, BYTE state = TBSTATE_ENABLED,
                const char16_t* text = nullptr) {
    TBBUTTON b{};
    b.iBitmap = image;
    b.idCommand = command;
    b.fsState = state;
    b.fsStyle = style;
    b.iString = reinterpret_cast<INT_PTR>(text);
    return b;
}

TEST(ImageList, MaskedCellsDrawOnlyTheirGlyphsAndStaleHandlesFail) {
    Dib strip(16 * 4 + 5, 16, stripPixel);  // 69 pixels: four whole cells
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 0);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ImageList_AddMasked(list, strip.get(), kKey), 0);
    EXPECT_EQ(ImageList_GetImageCount(list), 4);
    EXPECT_EQ(ImageList_AddMasked(list, strip.get(), kKey), 4) << "appended after the first four";
    int cx = 0, cy = 0;
    EXPECT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);

    HWND frame = makeWindow(u"Images", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 200, 100, nullptr);
    headless::pumpMessages();
    {
        const ClientDC dc(frame);
        RECT white{0, 0, 200, 100};
        FillRect(dc.get(), &white, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        EXPECT_TRUE(ImageList_Draw(list, 1, dc.get(), 10, 10, ILD_TRANSPARENT));
        EXPECT_TRUE(ImageList_Draw(list, 2, dc.get(), 40, 10, ILD_NORMAL));
        EXPECT_FALSE(ImageList_Draw(list, 8, dc.get(), 70, 10, ILD_NORMAL));
    }
    EXPECT_EQ(headless::pixel(frame, 10 + 8, 10 + 8), kBlue);
    EXPECT_EQ(headless::pixel(frame, 10 + 1, 10 + 1), RGB(255, 255, 255)) << "the key colour is masked out";
    EXPECT_EQ(headless::pixel(frame, 40 + 8, 10 + 8), kRed);
    EXPECT_EQ(headless::pixel(frame, 40 + 14, 10 + 14), RGB(255, 255, 255));

    EXPECT_TRUE(ImageList_Remove(list, 0));
    EXPECT_EQ(ImageList_GetImageCount(list), 7);
    EXPECT_TRUE(ImageList_Remove(list, -1));
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
    EXPECT_TRUE(ImageList_Destroy(list));
    EXPECT_FALSE(ImageList_Destroy(list));
    EXPECT_EQ(ImageList_AddMasked(list, strip.get(), kKey), -1);
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
    DestroyWindow(frame);
    headless::pumpMessages();
}

TEST(ImageList, RefusesBadSizesAndBitmapsNarrowerThanACell) {
    EXPECT_EQ(ImageList_Create(0, 16, ILC_COLOR24, 1, 0), nullptr);
    EXPECT_EQ(ImageList_Create(16, -1, ILC_COLOR24, 1, 0), nullptr);
    EXPECT_EQ(ImageList_Create(5000, 16, ILC_COLOR24, 1, 0), nullptr);
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 0);
    Dib narrow(10, 16, [](int, int) { return kRed; });
    EXPECT_EQ(ImageList_AddMasked(list, narrow.get(), kKey), -1);
    EXPECT_EQ(ImageList_AddMasked(list, nullptr, kKey), -1);
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
    ImageList_Destroy(list);
}

// A frame with a tool bar of five buttons: push (1), check (2), separator,
// drop-down (3), disabled (4), and a check group of two (5, 6).
struct Toolbars : ::testing::Test {
    Received got;
    HWND frame = nullptr;
    HWND bar = nullptr;
    HIMAGELIST list = nullptr;

    void SetUp() override {
        headless::pumpMessages();
        receiver = &got;
        frame = makeWindow(u"Tool bar", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 420, 200, nullptr);
        bar = CreateWindowExW(
            0, TOOLBARCLASSNAMEW, nullptr,
            WS_CHILD | WS_VISIBLE | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS,
            10, 10, 300, 24, frame, reinterpret_cast<HMENU>(static_cast<std::intptr_t>(77)), nullptr, nullptr);
        ASSERT_NE(bar, nullptr);
        SendMessageW(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
        SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        Dib strip(16 * 8, 16, stripPixel);
        list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 8, 0);
        ImageList_AddMasked(list, strip.get(), kKey);
        SendMessageW(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
        TBBUTTON buttons[] = {
            button(0, 1, BTNS_BUTTON, TBSTATE_ENABLED, u"Open"),
            button(1, 2, BTNS_CHECK),
            button(0, 0, BTNS_SEP, 0),
            button(2, 3, BTNS_DROPDOWN),
            button(3, 4, BTNS_BUTTON, 0),
            button(4, 5, BTNS_CHECKGROUP),
            button(5, 6, BTNS_CHECKGROUP),
        };
        ASSERT_TRUE(SendMessageW(bar, TB_ADDBUTTONSW, 7, reinterpret_cast<LPARAM>(buttons)));
        headless::pumpMessages();
    }
    void TearDown() override {
        if (GetCapture()) ReleaseCapture();
        DestroyWindow(frame);
        ImageList_Destroy(list);
        headless::pumpMessages();
        receiver = nullptr;
    }
    RECT rectOf(int command) {
        RECT r{};
        SendMessageW(bar, TB_GETRECT, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(&r));
        return r;
    }
    POINT centreOf(int command) {
        RECT r = rectOf(command);
        return screenPoint(bar, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void clickAt(POINT p) {
        headless::mouseMove(p);
        headless::click(headless::Button::Left, p);
        headless::pumpMessages();
    }
    bool checked(int command) { return SendMessageW(bar, TB_ISBUTTONCHECKED, static_cast<WPARAM>(command), 0) != 0; }
};

TEST_F(Toolbars, ButtonsAreLaidOutLeftToRightWithArrowsAndSeparators) {
    EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 7);
    EXPECT_EQ(SendMessageW(bar, TB_GETBUTTONSIZE, 0, 0), MAKELRESULT(24, 23));
    struct Expected {
        int command;
        RECT rect;
    };
    const Expected expected[] = {
        {1, {0, 0, 24, 23}},   {2, {24, 0, 48, 23}},   {3, {56, 0, 93, 23}},
        {4, {93, 0, 117, 23}}, {5, {117, 0, 141, 23}}, {6, {141, 0, 165, 23}},
    };
    for (const Expected& e : expected) {
        RECT r = rectOf(e.command);
        EXPECT_EQ(r.left, e.rect.left) << e.command;
        EXPECT_EQ(r.right, e.rect.right) << e.command;
        EXPECT_EQ(r.bottom, e.rect.bottom) << e.command;
    }
    SIZE max{};
    EXPECT_TRUE(SendMessageW(bar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&max)));
    EXPECT_EQ(max.cx, 165);
    EXPECT_EQ(max.cy, 23);
    // Hiding a button closes the gap; the index and the record stay.
    SendMessageW(bar, TB_HIDEBUTTON, 2, TRUE);
    EXPECT_EQ(rectOf(3).left, 32);
    EXPECT_EQ(SendMessageW(bar, TB_COMMANDTOINDEX, 3, 0), 3);
    TBBUTTON record{};
    ASSERT_TRUE(SendMessageW(bar, TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&record)));
    EXPECT_EQ(record.idCommand, 2);
    EXPECT_EQ(record.fsState, TBSTATE_ENABLED | TBSTATE_HIDDEN);
    EXPECT_TRUE(SendMessageW(bar, TB_DELETEBUTTON, 0, 0));
    EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 6);
    EXPECT_EQ(SendMessageW(bar, TB_COMMANDTOINDEX, 1, 0), -1);
    EXPECT_FALSE(SendMessageW(bar, TB_DELETEBUTTON, 40, 0));
    // A glyph size given later makes larger buttons.
    SendMessageW(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(24, 24));
    EXPECT_EQ(SendMessageW(bar, TB_GETBUTTONSIZE, 0, 0), MAKELRESULT(32, 31));
    SendMessageW(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(40, 30));
    EXPECT_EQ(SendMessageW(bar, TB_GETBUTTONSIZE, 0, 0), MAKELRESULT(40, 30));
}

TEST_F(Toolbars, AClickSendsTheCommandOnlyWhenReleasedOverTheSameEnabledButton) {
    clickAt(centreOf(1));
    EXPECT_EQ(got.commands, std::vector<int>{1});
    EXPECT_EQ(got.commandSenders, std::vector<HWND>{bar});
    // Pressed on 1, released over 3: nothing.
    headless::mouseButton(headless::Button::Left, true, centreOf(1));
    headless::mouseMove(centreOf(3));
    headless::mouseButton(headless::Button::Left, false, centreOf(3));
    headless::pumpMessages();
    EXPECT_EQ(got.commands.size(), 1u);
    // Dragged off and back on: the click counts.
    headless::mouseButton(headless::Button::Left, true, centreOf(1));
    headless::mouseMove(screenPoint(bar, 200, 100));
    headless::mouseMove(centreOf(1));
    headless::mouseButton(headless::Button::Left, false, centreOf(1));
    headless::pumpMessages();
    EXPECT_EQ(got.commands.size(), 2u);
    // Disabled, separator, and empty space: nothing.
    clickAt(centreOf(4));
    RECT separator{};
    SendMessageW(bar, TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&separator));
    clickAt(screenPoint(bar, separator.left + 3, 10));
    clickAt(screenPoint(bar, 250, 10));
    EXPECT_EQ(got.commands.size(), 2u);
    // Enabled later, it works.
    SendMessageW(bar, TB_ENABLEBUTTON, 4, TRUE);
    EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONENABLED, 4, 0));
    clickAt(centreOf(4));
    EXPECT_EQ(got.commands.back(), 4);
}

TEST_F(Toolbars, CheckButtonsToggleAndGroupsKeepOneChecked) {
    clickAt(centreOf(2));
    EXPECT_TRUE(checked(2));
    EXPECT_EQ(SendMessageW(bar, TB_GETSTATE, 2, 0), TBSTATE_ENABLED | TBSTATE_CHECKED);
    clickAt(centreOf(2));
    EXPECT_FALSE(checked(2));
    EXPECT_EQ(got.commands, (std::vector<int>{2, 2}));

    clickAt(centreOf(5));
    EXPECT_TRUE(checked(5));
    clickAt(centreOf(6));
    EXPECT_TRUE(checked(6));
    EXPECT_FALSE(checked(5));
    clickAt(centreOf(6));
    EXPECT_TRUE(checked(6)) << "a checked group button stays checked";
    // Set by message, the same rules hold and nothing is sent.
    got.commands.clear();
    SendMessageW(bar, TB_CHECKBUTTON, 5, TRUE);
    EXPECT_TRUE(checked(5));
    EXPECT_FALSE(checked(6));
    SendMessageW(bar, TB_SETSTATE, 2, MAKELPARAM(TBSTATE_ENABLED | TBSTATE_CHECKED, 0));
    EXPECT_TRUE(checked(2));
    EXPECT_TRUE(got.commands.empty());
    EXPECT_EQ(SendMessageW(bar, TB_GETSTATE, 99, 0), -1);
    EXPECT_FALSE(SendMessageW(bar, TB_CHECKBUTTON, 99, TRUE));
}

TEST_F(Toolbars, TheArrowPartReportsADropDownAndTheFaceACommand) {
    RECT r = rectOf(3);
    clickAt(screenPoint(bar, r.right - 4, 10));
    ASSERT_EQ(got.dropDowns.size(), 1u);
    const NMTOOLBARW& drop = got.dropDowns[0];
    EXPECT_EQ(static_cast<int>(drop.hdr.code), -710);
    EXPECT_EQ(drop.hdr.hwndFrom, bar);
    EXPECT_EQ(drop.hdr.idFrom, 77u);
    EXPECT_EQ(drop.iItem, 3);
    EXPECT_EQ(drop.rcButton.left, r.left);
    EXPECT_EQ(drop.rcButton.right, r.right);
    EXPECT_TRUE(got.commands.empty());
    clickAt(screenPoint(bar, r.left + 8, 10));
    EXPECT_EQ(got.commands, std::vector<int>{3});
    EXPECT_EQ(got.dropDowns.size(), 1u);
    // A whole drop-down button has no face of its own.
    SendMessageW(bar, TB_SETEXTENDEDSTYLE, 0, 0);
    clickAt(centreOf(3));
    EXPECT_EQ(got.dropDowns.size(), 2u);
    EXPECT_EQ(got.commands.size(), 1u);
}

TEST_F(Toolbars, NotificationsStayWithTheCreatorAfterReparentingUntilTBSetParent) {
    HWND holder = makeWindow(u"", WS_CHILD | WS_VISIBLE, 0, 60, 400, 30, frame);
    SetParent(bar, holder);
    MoveWindow(bar, 10, 2, 300, 24, TRUE);
    headless::pumpMessages();
    clickAt(centreOf(1));
    EXPECT_EQ(got.commands, std::vector<int>{1});
    EXPECT_EQ(SendMessageW(bar, TB_SETPARENT, reinterpret_cast<WPARAM>(holder), 0), reinterpret_cast<LRESULT>(frame));
    clickAt(centreOf(1));
    EXPECT_EQ(got.commandReceivers, (std::vector<HWND>{frame, holder}));
    EXPECT_EQ(GetParent(bar), holder);
}

TEST_F(Toolbars, TipsAskTheOwnerAndFallBackToTheButtonText) {
    HWND tip = reinterpret_cast<HWND>(SendMessageW(bar, TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 6) << "one tool per button, none for the separator";
    got.tips[2] = u"次のセンテンスを選択 (Ctrl+Down)";
    SendMessageW(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 20);

    POINT p = centreOf(2);
    headless::mouseMove(screenPoint(bar, 1, 1));
    headless::mouseMove(p);
    pumpFor(300ms);
    EXPECT_TRUE(IsWindowVisible(tip));
    ASSERT_FALSE(got.tipRequests.empty());
    EXPECT_EQ(got.tipRequests.back(), 2u);
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = bar;
    info.uId = 2;
    WCHAR text[80] = {};
    info.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(std::u16string(text), u"次のセンテンスを選択 (Ctrl+Down)");
    EXPECT_TRUE(headless::savePicture(tip, "toolbar-tip.png"));

    info.uId = 1;
    SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(std::u16string(text), u"Open") << "no answer: the button's own text";
    // Pressing a button hides the tip.
    headless::click(headless::Button::Left, p);
    headless::pumpMessages();
    EXPECT_FALSE(IsWindowVisible(tip));
}

TEST_F(Toolbars, LooksHotPressedCheckedAndDisabled) {
    SendMessageW(bar, TB_CHECKBUTTON, 2, TRUE);
    headless::mouseMove(centreOf(1));
    headless::pumpMessages();
    EXPECT_EQ(SendMessageW(bar, TB_GETHOTITEM, 0, 0), 0);
    RECT hot = rectOf(1), check = rectOf(2), off = rectOf(4), plain = rectOf(5);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(headless::pixel(bar, plain.left + 1, plain.top + 1), face);
    EXPECT_NE(headless::pixel(bar, hot.left + 1, hot.top + 1), face) << "hot buttons are highlighted";
    EXPECT_NE(headless::pixel(bar, check.left + 1, check.top + 1), face);
    EXPECT_EQ(headless::pixel(bar, plain.left + 8, plain.top + 8), kRed) << "glyph 4 is red";
    // The disabled glyph (blue when enabled) is a grey on the face: no colour dominates.
    COLORREF grey = headless::pixel(bar, off.left + 8, off.top + 8);
    EXPECT_NE(grey, face);
    EXPECT_LT(std::abs(GetBValue(grey) - GetRValue(grey)), 12) << std::hex << grey;
    EXPECT_TRUE(headless::savePicture(frame, "toolbar-states.png"));
    headless::mouseMove(screenPoint(frame, 400, 150));
    headless::pumpMessages();
    EXPECT_EQ(SendMessageW(bar, TB_GETHOTITEM, 0, 0), -1);
}

}  // namespace
