// Invalidation, WM_PAINT, BeginPaint clipping and children on their
// top-level's picture.
#include <gtest/gtest.h>

#include "MessageLog.h"
#include "platform/api/GdiHandles.h"
#include "platform/display/Headless.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;

namespace {

struct Painter {
    COLORREF colour;
    int paints = 0;
    RECT lastPaint{};
};

LRESULT paintingProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    auto* p = reinterpret_cast<Painter*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    if (m == WM_PAINT && p) {
        const PaintDC painting(w);
        ++p->paints;
        p->lastPaint = painting.area();
        RECT r;
        GetClientRect(w, &r);
        const UniqueBrush b(CreateSolidBrush(p->colour));
        FillRect(painting.get(), &r, b.get());
        return 0;
    }
    return DefWindowProcW(w, m, wp, lp);
}

LPCWSTR painterClass() {
    WNDCLASSEXW wc{};
    if (!GetClassInfoExW(nullptr, u"Painter", &wc)) {
        wc = WNDCLASSEXW{sizeof wc, 0,       paintingProc, 0,       0,          nullptr,
                         nullptr,   nullptr, nullptr,      nullptr, u"Painter", nullptr};
        RegisterClassExW(&wc);
    }
    return u"Painter";
}

struct Paint : ::testing::Test {
    Painter framePainter{RGB(255, 255, 255)}, aPainter{RGB(255, 0, 0)}, bPainter{RGB(0, 0, 255)};
    HWND frame = nullptr, a = nullptr, b = nullptr;
    void SetUp() override {
        headless::pumpMessages();
        frame = make(nullptr, WS_OVERLAPPED | WS_CLIPCHILDREN, 0, 0, 200, 100, framePainter);
        a = make(frame, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 10, 10, 50, 50, aPainter);
        b = make(frame, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 40, 20, 50, 50, bPainter);
        ShowWindow(frame, SW_SHOW);
        headless::pumpMessages();
    }
    void TearDown() override {
        DestroyWindow(frame);
        headless::pumpMessages();
    }
    HWND make(HWND parent, DWORD style, int x, int y, int w, int h, Painter& p) {
        HWND hwnd = CreateWindowExW(0, painterClass(), u"", style, x, y, w, h, parent, nullptr, nullptr, nullptr);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&p));
        InvalidateRect(hwnd, nullptr, TRUE);
        return hwnd;
    }
};

TEST_F(Paint, ChildrenPaintIntoTheirTopLevelsPictureClippedBySiblingsAbove) {
    EXPECT_EQ(headless::pixel(frame, 5, 5), RGB(255, 255, 255));
    EXPECT_EQ(headless::pixel(frame, 15, 15), RGB(255, 0, 0));
    // b was created after a, so it lies below a; a keeps the overlap.
    EXPECT_EQ(headless::pixel(frame, 45, 25), RGB(255, 0, 0));
    EXPECT_EQ(headless::pixel(frame, 80, 60), RGB(0, 0, 255));
    EXPECT_EQ(headless::pixel(b, 0, 0), RGB(255, 0, 0));
}

TEST_F(Paint, InvalidationCoalescesIntoOnePaintOfTheUnion) {
    aPainter.paints = 0;
    RECT r1{0, 0, 5, 5}, r2{10, 10, 20, 20};
    InvalidateRect(a, &r1, FALSE);
    InvalidateRect(a, &r2, FALSE);
    RECT update;
    EXPECT_TRUE(GetUpdateRect(a, &update, FALSE));
    headless::pumpMessages();
    EXPECT_EQ(aPainter.paints, 1);
    EXPECT_EQ(aPainter.lastPaint.left, 0);
    EXPECT_EQ(aPainter.lastPaint.right, 20);
    EXPECT_FALSE(GetUpdateRect(a, &update, FALSE));
}

TEST_F(Paint, UpdateWindowPaintsNowAndValidatedWindowsGetNoPaint) {
    aPainter.paints = 0;
    InvalidateRect(a, nullptr, FALSE);
    UpdateWindow(a);
    EXPECT_EQ(aPainter.paints, 1);
    InvalidateRect(a, nullptr, FALSE);
    ValidateRect(a, nullptr);
    headless::pumpMessages();
    EXPECT_EQ(aPainter.paints, 1);
}

TEST_F(Paint, RaisingASiblingRepaintsTheOverlap) {
    SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    headless::pumpMessages();
    EXPECT_EQ(headless::pixel(frame, 45, 25), RGB(0, 0, 255));
}

TEST_F(Paint, HidingAChildUncoversTheParent) {
    ShowWindow(a, SW_HIDE);
    headless::pumpMessages();
    EXPECT_EQ(headless::pixel(frame, 15, 15), RGB(255, 255, 255));
    EXPECT_EQ(headless::pixel(frame, 45, 25), RGB(0, 0, 255));
}

TEST_F(Paint, ResizingTheFrameResizesItsPicture) {
    MoveWindow(frame, 0, 0, 300, 150, TRUE);
    headless::pumpMessages();
    EXPECT_EQ(headless::pixel(frame, 250, 120), RGB(255, 255, 255));
    EXPECT_EQ(headless::pixel(frame, 350, 10), CLR_INVALID);
}

TEST_F(Paint, ErasingUsesTheClassBackground) {
    HWND plain = CreateWindowExW(0, loggedClass(), u"", WS_CHILD | WS_VISIBLE, 100, 70, 20, 20, frame, nullptr, nullptr,
                                 nullptr);
    headless::pumpMessages();
    EXPECT_EQ(headless::pixel(plain, 5, 5), GetSysColor(COLOR_WINDOW));
}

TEST_F(Paint, SavesThePictureAsPng) {
    std::string path = ::testing::TempDir() + "/paint.png";
    EXPECT_TRUE(headless::savePicture(a, path));
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    unsigned char sig[8] = {};
    EXPECT_EQ(std::fread(sig, 1, 8, f), 8u);
    std::fclose(f);
    EXPECT_EQ(sig[1], 'P');
    EXPECT_EQ(sig[2], 'N');
    EXPECT_EQ(sig[3], 'G');
}

}  // namespace
