// ToolBar, its glyphs and the bitmap cache, and ToolWindow: the player's tool
// bar built as its owner builds it, then driven through injected input on the
// headless display.
#include <gtest/gtest.h>

#include <array>

#include "ToolkitTestSupport.h"
#include "platform/api/GdiHandles.h"
#include "platform/display/HeadlessAnswers.h"
#include "support/TempDir.h"
#include "toolkit/BitmapCache.h"
#include "toolkit/Component.h"
#include "toolkit/ToolBar.h"
#include "toolkit/ToolWindow.h"

using namespace veltrix::test;

namespace {

const std::u16string kGlyphs = u"" VELTRIX_RESOURCES "/OrvellaTool.bmp";
constexpr COLORREF kKey = 0xE5E5E5;
constexpr std::array<int, 8> kCommands{100, 112, 102, 119, 120, 105, 114, 121};
const char16_t* const kTips[] = {u"音声ファイルを開く (Ctrl+O)",
                                 u"編集中の歌詞を xml ファイルに上書き保存する (Ctrl+S)",
                                 u"選択中のセンテンスを再生 (Ctrl+Shift+P)",
                                 u"前のセンテンスを選択 (Ctrl+Up)",
                                 u"次のセンテンスを選択 (Ctrl+Down)",
                                 u"次のセンテンスを選択して、時間を設定 (Ctrl+Shift+T)",
                                 u"選択中のセンテンスに翻訳文・解説文を設定する (Ctrl+J)",
                                 u"Open/Close the Explanation Window"};

// A frame that also records horizontal scrolling.
class Frame : public RecordingFrame {
public:
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_HSCROLL) scrolls.push_back(static_cast<int>(LOWORD(wParam)));
        return RecordingFrame::windowProc(window, message, wParam, lParam);
    }
    std::vector<int> scrolls;
};

// The player's eight buttons: open has a drop-down arrow, the last is a check button.
void addPlayerButtons(ToolBar& bar) {
    std::array<TBBUTTON, 8> buttons{};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        buttons[i].iBitmap = static_cast<int>(i);
        buttons[i].idCommand = kCommands[i];
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = i == 0 ? BTNS_DROPDOWN : i == 7 ? BTNS_CHECK : BTNS_BUTTON;
        buttons[i].iString = reinterpret_cast<INT_PTR>(kTips[i]);
    }
    SendMessageW(bar.handle(), TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    bar.fitToButtons();
}

POINT centreOf(const ToolBar& bar, int command) {
    RECT r{};
    SendMessageW(bar.handle(), TB_GETRECT, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(&r));
    return screenOf(bar.handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void clickAt(POINT p) {
    headless::mouseMove(p);
    headless::click(headless::Button::Left, p);
    headless::pumpMessages();
}

struct PlayerToolBar : ::testing::Test {
    void SetUp() override {
        headless::pumpMessages();
        ASSERT_TRUE(holder.create(frame.handle()));
        holder.setBounds(0, 240, 400, 24);
        ASSERT_TRUE(bar.create(frame.handle()));
        ASSERT_TRUE(bar.loadGlyphs(kGlyphs, kKey));
        addPlayerButtons(bar);
        holder.addToolBar(&bar);
        headless::pumpMessages();
    }
    void TearDown() override { headless::setMessageBoxResponder({}); }
    Frame frame;
    ToolWindow holder;
    ToolBar bar;
};

TEST_F(PlayerToolBar, IsAFlatSystemBarWithArrowsTipsAndTheGlyphStrip) {
    WCHAR name[64] = {};
    GetClassNameW(bar.handle(), name, 64);
    EXPECT_EQ(std::u16string(name), u"ToolbarWindow32");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(bar.handle(), GWL_STYLE)),
              0x5601004Cu | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS);
    EXPECT_EQ(SendMessageW(bar.handle(), TB_GETEXTENDEDSTYLE, 0, 0), static_cast<LRESULT>(TBSTYLE_EX_DRAWDDARROWS));
    EXPECT_EQ(SendMessageW(bar.handle(), WM_GETFONT, 0, 0),
              reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
    EXPECT_EQ(BaseWindow::fromHandle(bar.handle()), &bar);
    EXPECT_EQ(bar.glyphCount(), 8);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(bar.handle(), TB_GETIMAGELIST, 0, 0)), bar.glyphs());
    EXPECT_EQ(GetParent(bar.handle()), holder.handle());
    ASSERT_EQ(holder.toolBars().size(), 1u);
    EXPECT_EQ(bar.getWidth(), 7 * 24 + 24 + 13);
    EXPECT_EQ(bar.getHeight(), 23);
}

TEST_F(PlayerToolBar, ClicksReachTheOwnerAndTheCheckButtonToggles) {
    for (int command : kCommands) clickAt(centreOf(bar, command));
    // The open button's face (left of its arrow) is a plain button.
    EXPECT_EQ(frame.commands, std::vector<int>(kCommands.begin(), kCommands.end()));
    EXPECT_TRUE(SendMessageW(bar.handle(), TB_ISBUTTONCHECKED, 121, 0));
    clickAt(centreOf(bar, 121));
    EXPECT_FALSE(SendMessageW(bar.handle(), TB_ISBUTTONCHECKED, 121, 0));
    // The owner sets it from the settings without a command.
    frame.commands.clear();
    SendMessageW(bar.handle(), TB_CHECKBUTTON, 121, TRUE);
    EXPECT_TRUE(SendMessageW(bar.handle(), TB_ISBUTTONCHECKED, 121, 0));
    EXPECT_TRUE(frame.commands.empty());
}

TEST_F(PlayerToolBar, TheOpenArrowReportsMinus710ToTheOwner) {
    RECT r{};
    SendMessageW(bar.handle(), TB_GETRECT, 100, reinterpret_cast<LPARAM>(&r));
    clickAt(screenOf(bar.handle(), r.right - 5, 10));
    EXPECT_EQ(frame.count(-710), 1);
    EXPECT_TRUE(frame.commands.empty());
}

TEST_F(PlayerToolBar, ABarMadeInsideTheHolderReachesTheHoldersParentToo) {
    ToolBar inner;
    ASSERT_TRUE(inner.create(holder.handle()));
    ASSERT_TRUE(inner.loadGlyphs(kGlyphs, kKey));
    addPlayerButtons(inner);
    holder.addToolBar(&inner);
    holder.layoutToolBars();
    clickAt(centreOf(inner, 102));
    EXPECT_EQ(frame.commands, std::vector<int>{102}) << "posted on by the holder";
    RECT r{};
    SendMessageW(inner.handle(), TB_GETRECT, 100, reinterpret_cast<LPARAM>(&r));
    clickAt(screenOf(inner.handle(), r.right - 5, 10));
    EXPECT_EQ(frame.count(-710), 1);
    // Sliders placed in the holder scroll through it.
    SendMessageW(holder.handle(), WM_HSCROLL, MAKEWPARAM(5, 40), 0);
    headless::pumpMessages();
    EXPECT_EQ(frame.scrolls, std::vector<int>{5});
    holder.destroyWindow();
    EXPECT_TRUE(holder.toolBars().empty());
}

TEST_F(PlayerToolBar, TipsShowTheButtonTexts) {
    HWND tip = reinterpret_cast<HWND>(SendMessageW(bar.handle(), TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 8);
    for (std::size_t i = 0; i < kCommands.size(); ++i) {
        TOOLINFOW info{};
        info.cbSize = sizeof info;
        info.hwnd = bar.handle();
        info.uId = static_cast<UINT_PTR>(kCommands[i]);
        WCHAR text[128] = {};
        info.lpszText = text;
        SendMessageW(tip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(std::u16string(text), kTips[i]);
    }
    EXPECT_GE(frame.count(static_cast<int>(TTN_GETDISPINFOW)), 8) << "the owner is asked first";
}

TEST_F(PlayerToolBar, TabMovesTheFocusOnFromTheBar) {
    Component next;
    ASSERT_TRUE(next.create(holder.handle()));
    next.setBounds(300, 0, 40, 20);
    SetFocus(bar.handle());
    headless::pressKey(VK_TAB);
    headless::pumpMessages();
    EXPECT_EQ(GetFocus(), next.handle());
    SetFocus(bar.handle());
    headless::key(VK_SHIFT, true);
    headless::pressKey(VK_TAB);
    headless::key(VK_SHIFT, false);
    headless::pumpMessages();
    EXPECT_EQ(GetFocus(), next.handle()) << "the only other tab stop, backwards";
}

TEST_F(PlayerToolBar, PictureWithAHotButtonAndTheCheckedExplanationButton) {
    SendMessageW(bar.handle(), TB_CHECKBUTTON, 121, TRUE);
    SendMessageW(bar.handle(), TB_ENABLEBUTTON, 112, FALSE);
    headless::mouseMove(centreOf(bar, 102));
    headless::pumpMessages();
    EXPECT_TRUE(headless::savePicture(frame.handle(), "toolbar.png"));
    RECT r{};
    SendMessageW(bar.handle(), TB_GETRECT, 119, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(headless::pixel(bar.handle(), r.left + 1, r.top + 1), GetSysColor(COLOR_BTNFACE));
    SendMessageW(bar.handle(), TB_GETRECT, 102, reinterpret_cast<LPARAM>(&r));
    EXPECT_NE(headless::pixel(bar.handle(), r.left + 1, r.top + 1), GetSysColor(COLOR_BTNFACE));
}

TEST(ToolWindowLayout, BarsFollowEachOtherAcrossOrDown) {
    headless::pumpMessages();
    RecordingFrame frame;
    ToolWindow holder;
    ASSERT_TRUE(holder.create(frame.handle()));
    holder.setBounds(0, 0, 400, 100);
    ToolBar a, b, c;
    for (ToolBar* bar : {&a, &b, &c}) ASSERT_TRUE(bar->create(holder.handle()));
    a.setBounds(7, 3, 50, 20);
    b.setBounds(0, 9, 60, 22);
    c.setBounds(0, 2, 30, 24);
    for (ToolBar* bar : {&a, &b, &c}) holder.addToolBar(bar);
    holder.layoutToolBars();
    EXPECT_EQ(a.getX(), 7);
    EXPECT_EQ(b.getX(), 57);
    EXPECT_EQ(b.getY(), 9);
    EXPECT_EQ(c.getX(), 117);
    EXPECT_EQ(c.getY(), 2);
    holder.setOrientation(Orientation::Vertical);
    holder.setBounds(0, 0, 300, 100);  // a resize lays the bars out again
    EXPECT_EQ(a.getY(), 3);
    EXPECT_EQ(b.getX(), 0);
    EXPECT_EQ(b.getY(), 23);
    EXPECT_EQ(c.getX(), 0);
    EXPECT_EQ(c.getY(), 45);
}

TEST(ToolWindowBars, NullIsIgnoredAndABarWithoutAWindowIsRefusedWithAMessage) {
    headless::pumpMessages();
    RecordingFrame frame;
    ToolWindow holder;
    ASSERT_TRUE(holder.create(frame.handle()));
    headless::takeMessageBoxes();
    holder.addToolBar(nullptr);
    ToolBar unmade;
    holder.addToolBar(&unmade);
    EXPECT_TRUE(holder.toolBars().empty());
    auto boxes = headless::takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, u"addToolBar() HWND of the Window is null!");
    EXPECT_EQ(boxes[0].caption, u"Veltrix");
    EXPECT_TRUE(boxes[0].type & MB_TOPMOST);
}

// Glyph strips are cut into cells as high as the strip.
struct Glyphs : ::testing::Test {
    void SetUp() override {
        headless::pumpMessages();
        ASSERT_TRUE(bar.create(frame.handle()));
    }
    // A strip of `count` glyphs, each `side` wide and high: a filled square
    // whose last column is dark red, on the key colour.
    std::u16string writeStrip(const char* name, int side, int count) {
        Bitmap strip;
        EXPECT_TRUE(strip.create(side * count, side, 24));
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side * count; ++x) {
                int cx = x % side;
                strip.setPixel(x, y, cx == side - 1 ? RGB(0x80, 0, 0) : cx >= 2 && y >= 2 ? RGB(0, 0x60, 0xC0) : kKey);
            }
        std::u16string path = dir.file(name);
        EXPECT_TRUE(strip.saveAs(path));
        return path;
    }
    TempDir dir;
    RecordingFrame frame;
    ToolBar bar;
};

TEST_F(Glyphs, AFifteenPixelStripGivesSixteenWideCellsWithWholeGlyphs) {
    std::u16string path = writeStrip("classic.bmp", 15, 10);
    ASSERT_TRUE(bar.loadGlyphs(path, kKey));
    EXPECT_EQ(bar.glyphCount(), 10);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(bar.glyphs(), &cx, &cy);
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 15);
    // The tenth glyph, drawn: its last column is there, the padding column is clear.
    {
        const ClientDC dc(frame.handle());
        RECT white{0, 0, 60, 40};
        FillRect(dc.get(), &white, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ASSERT_TRUE(ImageList_Draw(bar.glyphs(), 9, dc.get(), 10, 10, ILD_TRANSPARENT));
    }
    EXPECT_EQ(headless::pixel(frame.handle(), 10 + 14, 15), RGB(0x80, 0, 0));
    EXPECT_EQ(headless::pixel(frame.handle(), 10 + 15, 15), RGB(255, 255, 255));
    EXPECT_EQ(headless::pixel(frame.handle(), 10 + 0, 15), RGB(255, 255, 255));
    EXPECT_EQ(headless::pixel(frame.handle(), 10 + 5, 15), RGB(0, 0x60, 0xC0));
}

TEST_F(Glyphs, SquareStripsAndACountRoundedDown) {
    std::u16string path = writeStrip("square.bmp", 24, 3);
    ASSERT_TRUE(bar.loadGlyphs(path, kKey));
    EXPECT_EQ(bar.glyphCount(), 3);
    EXPECT_EQ(SendMessageW(bar.handle(), TB_GETBUTTONSIZE, 0, 0), MAKELRESULT(32, 31));
    // Wider than a whole number of cells: the remainder is dropped.
    Bitmap odd;
    ASSERT_TRUE(odd.create(50, 20, 32));
    BitmapCache::instance().put(u"memory:odd", std::make_shared<Bitmap>(odd));
    ASSERT_TRUE(bar.loadGlyphs(u"memory:odd", kKey));
    EXPECT_EQ(bar.glyphCount(), 2);
    BitmapCache::instance().remove(u"memory:odd");
}

TEST_F(Glyphs, AMissingFileKeepsTheOldGlyphsAndLoadedFilesAreCached) {
    ASSERT_TRUE(bar.loadGlyphs(kGlyphs, kKey));
    HIMAGELIST before = bar.glyphs();
    EXPECT_FALSE(bar.loadGlyphs(dir.file("missing.bmp"), kKey));
    EXPECT_FALSE(bar.loadGlyphs(u"", kKey));
    EXPECT_EQ(bar.glyphs(), before);
    EXPECT_EQ(bar.glyphCount(), 8);
    EXPECT_NE(BitmapCache::instance().find(kGlyphs), nullptr);
    EXPECT_EQ(BitmapCache::instance().find(dir.file("missing.bmp")), nullptr);

    // A cached picture wins over the file, which then need not exist.
    std::u16string path = writeStrip("cached.bmp", 16, 4);
    ASSERT_TRUE(bar.loadGlyphs(path, kKey));
    EXPECT_EQ(bar.glyphCount(), 4);
    std::filesystem::remove(dir.native("cached.bmp"));
    ToolBar other;
    ASSERT_TRUE(other.create(frame.handle()));
    ASSERT_TRUE(other.loadGlyphs(path, kKey));
    EXPECT_EQ(other.glyphCount(), 4);
    BitmapCache::instance().remove(path);
    EXPECT_EQ(ImageList_GetImageCount(before), 0) << "the replaced list was destroyed";
}

TEST_F(Glyphs, TheListEndsWithTheBarAndOutlivesItsWindow) {
    HIMAGELIST list = nullptr;
    {
        ToolBar local;
        ASSERT_TRUE(local.loadGlyphs(kGlyphs, kKey));  // no window yet
        list = local.glyphs();
        EXPECT_EQ(ImageList_GetImageCount(list), 8);
        ASSERT_TRUE(local.create(frame.handle()));
        EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(local.handle(), TB_GETIMAGELIST, 0, 0)), list);
        local.destroyWindow();
        EXPECT_EQ(ImageList_GetImageCount(list), 8);
    }
    int cx = 0, cy = 0;
    EXPECT_FALSE(ImageList_GetIconSize(list, &cx, &cy));
}

}  // namespace
