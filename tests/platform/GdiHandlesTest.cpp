// The owners of GDI handles and Cairo objects: each releases once, on every
// path, and a selection guard puts back what the DC had before.
#include <gtest/gtest.h>

#include "platform/api/GdiHandles.h"
#include "platform/display/Headless.h"
#include "platform/gdi/CairoHandles.h"
#include "platform/win32.h"

namespace {

HGDIOBJ currentPen(HDC dc) { return GetCurrentObject(dc, OBJ_PEN); }

// Selects a pen for the drawing and leaves early half the time, the way paint
// code does when there is nothing to draw.
bool drawWithPen(HDC dc, COLORREF colour, bool leaveEarly, HPEN* made) {
    UniquePen pen(CreatePen(PS_SOLID, 1, colour));
    *made = pen.get();
    SelectedObject selection(dc, pen.get());
    if (leaveEarly) return false;
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, 3, 0);
    return true;
}

TEST(GdiHandles, EveryPathOutRestoresTheSelectionAndDeletesTheObject) {
    UniqueDC dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    const HGDIOBJ before = currentPen(dc.get());
    for (bool early : {true, false}) {
        HPEN made = nullptr;
        EXPECT_EQ(drawWithPen(dc.get(), RGB(200, 0, 0), early, &made), !early);
        EXPECT_EQ(currentPen(dc.get()), before) << "early: " << early;
        // Deleted, not merely deselected: the handle is stale now.
        EXPECT_EQ(GetObjectType(made), 0u) << "early: " << early;
    }
}

TEST(GdiHandles, ASecondSelectionStillRestoresTheFirstPrevious) {
    UniqueDC dc(CreateCompatibleDC(nullptr));
    const HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_FONT);
    LOGFONTW lf{};
    lf.lfHeight = -12;
    UniqueFont first(CreateFontIndirectW(&lf));
    lf.lfHeight = -20;
    UniqueFont second(CreateFontIndirectW(&lf));
    {
        SelectedObject selection(dc.get(), first.get());
        selection.select(dc.get(), second.get());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), second.get());
        // GDI refuses to delete what is selected; the first font is free again.
        EXPECT_EQ(GetObjectType(first.get()), static_cast<DWORD>(OBJ_FONT));
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), original);

    SelectedObject early(dc.get(), first.get());
    early.restore();
    EXPECT_FALSE(early);
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), original);
}

TEST(GdiHandles, AStaleObjectSelectsNothingAndRestoresNothing) {
    UniqueDC dc(CreateCompatibleDC(nullptr));
    HBRUSH stale = CreateSolidBrush(RGB(1, 2, 3));
    DeleteObject(stale);
    const HGDIOBJ before = GetCurrentObject(dc.get(), OBJ_BRUSH);
    {
        SelectedObject selection(dc.get(), stale);
        EXPECT_FALSE(selection);
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), before);
}

TEST(GdiHandles, OwnershipMovesAndReleaseHandsTheObjectOn) {
    UniqueBrush a(CreateSolidBrush(RGB(1, 1, 1)));
    const HBRUSH handle = a.get();
    UniqueBrush b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.get(), handle);
    b = UniqueBrush(CreateSolidBrush(RGB(2, 2, 2)));
    EXPECT_EQ(GetObjectType(handle), 0u) << "assigning deletes the object held before";

    UniqueBrush kept(CreateSolidBrush(RGB(3, 3, 3)));
    const HBRUSH released = kept.release();
    EXPECT_EQ(GetObjectType(released), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_TRUE(DeleteObject(released));

    UniqueDC dc(CreateCompatibleDC(nullptr));
    const HDC memory = dc.get();
    EXPECT_EQ(GetObjectType(memory), static_cast<DWORD>(OBJ_MEMDC));
    dc.reset();
    EXPECT_EQ(GetObjectType(memory), 0u);
}

TEST(GdiHandles, TheScreenDcIsReleased) {
    HDC screen = nullptr;
    {
        ClientDC dc(nullptr);
        screen = dc.get();
        ASSERT_TRUE(dc);
        EXPECT_EQ(GetObjectType(screen), static_cast<DWORD>(OBJ_DC));
    }
    EXPECT_EQ(GetObjectType(screen), 0u);
}

TEST(GdiHandles, AWindowDcDrawsOnTheFrameAndAClientDcInsideIt) {
    WNDCLASSEXW wc{sizeof wc, 0,       DefWindowProcW,  0,      0, nullptr, nullptr, nullptr,
                   nullptr,   nullptr, u"HandlesFrame", nullptr};
    RegisterClassExW(&wc);
    HWND frame = CreateWindowExW(0, u"HandlesFrame", u"", WS_POPUP | WS_VISIBLE, 0, 0, 60, 40, nullptr, nullptr,
                                 nullptr, nullptr);
    HWND child = CreateWindowExW(0, u"HandlesFrame", u"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 30, 20, frame,
                                 nullptr, nullptr, nullptr);
    veltrix::platform::headless::pumpMessages();
    const UniqueBrush red(CreateSolidBrush(RGB(255, 0, 0))), blue(CreateSolidBrush(RGB(0, 0, 255)));
    const RECT corner{0, 0, 1, 1};
    {
        const WindowDC whole(child);
        ASSERT_TRUE(whole);
        FillRect(whole.get(), &corner, red.get());
    }
    {
        const ClientDC inside(child);
        FillRect(inside.get(), &corner, blue.get());
    }
    // The border is one pixel: the window's corner lies up and left of the client's.
    EXPECT_EQ(veltrix::platform::headless::pixel(child, -1, -1), RGB(255, 0, 0));
    EXPECT_EQ(veltrix::platform::headless::pixel(child, 0, 0), RGB(0, 0, 255));
    DestroyWindow(frame);
}

TEST(CairoHandles, ASharedSurfaceHoldsAReferenceOfItsOwn) {
    using namespace veltrix::platform;
    UniqueCairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 2, 2));
    {
        UniqueCairoSurface shared = shareSurface(surface.get());
        EXPECT_EQ(cairo_surface_get_reference_count(surface.get()), 2u);
        UniqueCairo cr(cairo_create(shared.get()));
        EXPECT_GT(cairo_surface_get_reference_count(surface.get()), 2u);
    }
    EXPECT_EQ(cairo_surface_get_reference_count(surface.get()), 1u);
    EXPECT_FALSE(shareSurface(nullptr));
}

}  // namespace
