// Pictures of the controls as a user sees them, saved as PNG files beside
// the test programs (controls-*.png) for a look by eye; the test checks that
// the focus colour shows where it should.
#include <gtest/gtest.h>

#include "ControlHost.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;

namespace {

constexpr COLORREF kFocus = RGB(0x00, 0x78, 0xD4);

bool anyPixel(HWND window, const RECT& area, COLORREF colour) {
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (headless::pixel(window, x, y) == colour) return true;
    return false;
}

TEST(ControlPictures, EditFieldsWithSelectionsInEnglishAndJapanese) {
    ControlHost host;
    const UniqueFont font(CreateFontW(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"MS UI Gothic"));
    HWND english = host.create(u"EDIT", u"Listen to the news in English",
                               WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 16, 16, 260, 26, 1);
    HWND japanese = host.create(u"EDIT", u"英語のニュースを聞きましょう",
                                WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 16, 56, 260, 26, 2);
    HWND area =
        host.create(u"EDIT", u"One line\r\n二行目の文章です\r\nThird line",
                    WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 16, 96, 260, 70, 3, WS_EX_CLIENTEDGE);
    HWND readOnly = host.create(u"EDIT", u"読み取り専用 read-only", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_READONLY, 16,
                                180, 260, 26, 4);
    for (HWND w : {english, japanese, area, readOnly})
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    SendMessageW(english, EM_SETSEL, 10, 18);
    SendMessageW(japanese, EM_SETSEL, 0, 2);
    SendMessageW(area, EM_SETSEL, 9, 12);
    SetFocus(japanese);
    ControlHost::pump();
    EXPECT_TRUE(headless::savePicture(host.frame(), "controls-edit.png"));
    RECT client;
    GetClientRect(japanese, &client);
    EXPECT_TRUE(anyPixel(japanese, client, kFocus));  // its selection
    DestroyWindow(english);
    DestroyWindow(japanese);
    DestroyWindow(area);
    DestroyWindow(readOnly);
}

TEST(ControlPictures, AnOpenComboList) {
    ControlHost host;
    HWND combo =
        host.create(u"COMBOBOX", u"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 16, 16, 220, 160, 1);
    HWND dropDown = host.create(u"COMBOBOX", u"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                                250, 16, 150, 160, 2);
    for (const char16_t* item : {u"Choose a dictionary", u"Dictionaries/PDIC/EIJIRO.DIC",
                                 u"Dictionaries/PDIC/REIJIRO.DIC", u"Dictionaries/WordNet/wnjpn.db", u"英辞郎",
                                 u"例辞郎", u"WordNet 日本語", u"Extra 1", u"Extra 2", u"Extra 3"})
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    SendMessageW(dropDown, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"find history"));
    SetWindowTextW(dropDown, u"検索語");
    SetFocus(combo);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageW(combo, WM_KEYDOWN, VK_DOWN, 0);
    ControlHost::pump();
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(combo, &info);
    EXPECT_TRUE(headless::savePicture(host.frame(), "controls-combo.png"));
    EXPECT_TRUE(headless::savePicture(info.hwndList, "controls-combo-list.png"));
    RECT list;
    GetClientRect(info.hwndList, &list);
    EXPECT_TRUE(anyPixel(info.hwndList, list, kFocus));  // the highlighted row
    // Ten items in a list of seven rows: the scroll indicator shows at the right.
    RECT strip{list.right - 7, 2, list.right - 3, list.bottom - 2};
    EXPECT_TRUE(anyPixel(info.hwndList, strip, RGB(0xAD, 0xAD, 0xAD)));
    RECT rect;
    GetWindowRect(info.hwndList, &rect);
    EXPECT_EQ(rect.right - rect.left, 220) << list.right << " " << list.bottom;
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST(ControlPictures, AnOpenCalendar) {
    ControlHost host;
    HWND picker = host.create(u"SysDateTimePick32", u"", 0x50800004, 16, 16, 140, 24, 1);
    SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(u"yyy'/'MM'/'dd'"));
    SYSTEMTIME d{2012, 5, 0, 14, 0, 0, 0, 0};
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&d));
    SetFocus(picker);
    ControlHost::chord({}, VK_F1 + 3);
    HWND calendar = reinterpret_cast<HWND>(SendMessageW(picker, DTM_GETMONTHCAL, 0, 0));
    ASSERT_TRUE(calendar);
    EXPECT_TRUE(headless::savePicture(host.frame(), "controls-date.png"));
    EXPECT_TRUE(headless::savePicture(calendar, "controls-calendar.png"));
    RECT c;
    GetClientRect(calendar, &c);
    EXPECT_TRUE(anyPixel(calendar, c, kFocus));  // the highlighted day
    ControlHost::chord({}, VK_ESCAPE);
}

}  // namespace
