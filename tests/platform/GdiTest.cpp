// Drawing on DIB sections: GDI's pixel rules, block transfers, objects and text.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "platform/api/GdiHandles.h"
#include "platform/win32.h"

namespace {

// A memory DC with a white top-down 32-bit section selected.
struct Canvas {
    UniqueBitmap section;
    UniqueDC memory;
    SelectedObject selection;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    unsigned char* bits = nullptr;
    int width, height;
    Canvas(int w, int h) : width(w), height(h) {
        BITMAPINFO info{};
        info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* p = nullptr;
        section.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0));
        bitmap = section.get();
        bits = static_cast<unsigned char*>(p);
        memory.reset(CreateCompatibleDC(nullptr));
        dc = memory.get();
        selection.select(dc, bitmap);
        PatBlt(dc, 0, 0, w, h, WHITENESS);
    }
    COLORREF at(int x, int y) const { return GetPixel(dc, x, y); }
    // Read from the memory: GetPixel answers CLR_INVALID outside the clip.
    int inkedPixels(int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const unsigned char* p = bits + y * width * 4 + x * 4;
                if (p[0] != 255 || p[1] != 255 || p[2] != 255) ++n;
            }
        return n;
    }
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

TEST(Gdi, DibSectionsAreTopDownBgrMemory) {
    Canvas c(4, 3);
    SetPixel(c.dc, 1, 2, RGB(10, 20, 30));
    const unsigned char* p = c.bits + 2 * 16 + 1 * 4;
    EXPECT_EQ(p[0], 30);
    EXPECT_EQ(p[1], 20);
    EXPECT_EQ(p[2], 10);
    // Memory written by the caller is what drawing reads.
    c.bits[0] = 0x11;
    c.bits[1] = 0x22;
    c.bits[2] = 0x33;
    EXPECT_EQ(c.at(0, 0), RGB(0x33, 0x22, 0x11));
    DIBSECTION ds{};
    EXPECT_EQ(GetObjectW(c.bitmap, sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmWidth, 4);
    EXPECT_EQ(ds.dsBm.bmWidthBytes, 16);
    EXPECT_EQ(ds.dsBmih.biHeight, -3);
}

TEST(Gdi, DibSectionsRefuseOtherDepthsAndHugeSizes) {
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 10, -10, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biWidth = 100000;
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST(Gdi, RectanglesExcludeTheirRightAndBottomEdges) {
    Canvas c(20, 20);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ oldBrush = SelectObject(c.dc, red);
    Rectangle(c.dc, 2, 2, 8, 8);
    struct Case {
        int x, y;
        COLORREF expected;
    };
    for (const Case& k :
         {Case{2, 2, kBlack}, Case{7, 7, kBlack}, Case{7, 2, kBlack}, Case{8, 8, kWhite}, Case{8, 3, kWhite},
          Case{3, 3, RGB(255, 0, 0)}, Case{6, 6, RGB(255, 0, 0)}, Case{1, 1, kWhite}})
        EXPECT_EQ(c.at(k.x, k.y), k.expected) << k.x << "," << k.y;
    RECT r{10, 10, 12, 13};
    FillRect(c.dc, &r, red);
    EXPECT_EQ(c.inkedPixels(9, 9, 14, 14), 6);
    SelectObject(c.dc, oldBrush);
    EXPECT_TRUE(DeleteObject(red));
}

TEST(Gdi, LinesLeaveOutTheirLastPixel) {
    Canvas c(10, 10);
    MoveToEx(c.dc, 1, 1, nullptr);
    LineTo(c.dc, 5, 1);
    EXPECT_EQ(c.inkedPixels(0, 0, 10, 10), 4);
    EXPECT_EQ(c.at(4, 1), kBlack);
    EXPECT_EQ(c.at(5, 1), kWhite);
    LineTo(c.dc, 5, 4);  // from (5,1) down
    EXPECT_EQ(c.at(5, 1), kBlack);
    EXPECT_EQ(c.at(5, 3), kBlack);
    EXPECT_EQ(c.at(5, 4), kWhite);
    POINT now;
    MoveToEx(c.dc, 0, 0, &now);
    EXPECT_EQ(now.x, 5);
    EXPECT_EQ(now.y, 4);
}

TEST(Gdi, NullPenAndHollowBrushDrawNothing) {
    Canvas c(10, 10);
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    SelectObject(c.dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(c.dc, 0, 0, 10, 10);
    Ellipse(c.dc, 0, 0, 10, 10);
    EXPECT_EQ(c.inkedPixels(0, 0, 10, 10), 0);
}

TEST(Gdi, EllipsesAndPolygonsStayInsideTheirBox) {
    Canvas c(30, 30);
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    Ellipse(c.dc, 5, 5, 25, 25);
    EXPECT_EQ(c.at(15, 15), kBlack);
    EXPECT_EQ(c.at(5, 5), kWhite);  // the corner of the box is outside the ellipse
    EXPECT_EQ(c.inkedPixels(0, 0, 30, 5) + c.inkedPixels(0, 25, 30, 30), 0);
    POINT triangle[] = {{0, 0}, {10, 0}, {0, 10}};
    Canvas t(12, 12);
    SelectObject(t.dc, GetStockObject(BLACK_BRUSH));
    Polygon(t.dc, triangle, 3);
    EXPECT_EQ(t.at(2, 2), kBlack);
    EXPECT_EQ(t.at(9, 9), kWhite);
}

TEST(Gdi, BitBltCopiesAndCombines) {
    Canvas src(4, 4), dst(8, 8);
    SetPixel(src.dc, 1, 1, RGB(0, 255, 0));
    BitBlt(dst.dc, 2, 3, 4, 4, src.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(dst.at(3, 4), RGB(0, 255, 0));
    EXPECT_EQ(dst.at(2, 3), kWhite);
    BitBlt(dst.dc, 2, 3, 4, 4, src.dc, 0, 0, SRCINVERT);
    EXPECT_EQ(dst.at(3, 4), kBlack);
    EXPECT_EQ(dst.at(2, 3), kBlack);
    BitBlt(dst.dc, 0, 0, 2, 2, nullptr, 0, 0, BLACKNESS);
    EXPECT_EQ(dst.at(1, 1), kBlack);
}

TEST(Gdi, StretchBltScalesWithNearestNeighbourAndMirrors) {
    Canvas src(2, 1), dst(4, 2);
    SetPixel(src.dc, 0, 0, RGB(255, 0, 0));
    SetPixel(src.dc, 1, 0, RGB(0, 0, 255));
    StretchBlt(dst.dc, 0, 0, 4, 2, src.dc, 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(dst.at(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(dst.at(2, 0), RGB(0, 0, 255));
    StretchBlt(dst.dc, 3, 0, -4, 2, src.dc, 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(dst.at(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(dst.at(3, 1), RGB(255, 0, 0));
}

TEST(Gdi, ClippingNarrowsDrawing) {
    Canvas c(10, 10);
    IntersectClipRect(c.dc, 2, 2, 5, 5);
    ExcludeClipRect(c.dc, 2, 2, 3, 3);
    PatBlt(c.dc, 0, 0, 10, 10, BLACKNESS);
    EXPECT_EQ(c.inkedPixels(0, 0, 10, 10), 8);
    RECT box;
    EXPECT_EQ(GetClipBox(c.dc, &box), COMPLEXREGION);
    EXPECT_EQ(box.right, 5);
    SetViewportOrgEx(c.dc, 3, 0, nullptr);
    SaveDC(c.dc);
    RestoreDC(c.dc, -1);
    POINT origin;
    GetViewportOrgEx(c.dc, &origin);
    EXPECT_EQ(origin.x, 3);
}

TEST(Gdi, ObjectsSelectedOrStockAreNotDeleted) {
    Canvas c(2, 2);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    HGDIOBJ old = SelectObject(c.dc, pen);
    EXPECT_FALSE(DeleteObject(pen));
    SelectObject(c.dc, old);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_FALSE(DeleteObject(pen));  // stale
    EXPECT_EQ(SelectObject(c.dc, pen), nullptr);
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), OBJ_PEN);
    LOGPEN lp{};
    EXPECT_EQ(GetObjectW(GetStockObject(WHITE_PEN), sizeof lp, &lp), static_cast<int>(sizeof lp));
    EXPECT_EQ(lp.lopnColor, kWhite);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_3DFACE));
}

// Objects and DCs live in separate tables: a handle of one kind never reaches
// the other (a DC passed to DeleteObject once deleted the brush that shared
// its slot number).
TEST(Gdi, AHandleOfOneKindNeverReachesAnObjectOfAnother) {
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_FALSE(DeleteObject(dc));
    EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(brush)));
    EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(GetObjectType(dc), 0u);
    EXPECT_TRUE(DeleteObject(brush));
}

HFONT makeFont(int height, const char16_t* face, LONG weight = FW_NORMAL) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    for (int i = 0; face[i]; ++i) lf.lfFaceName[i] = face[i];
    return CreateFontIndirectW(&lf);
}

TEST(GdiText, MeasuredWidthsAddUpAndMatchWhatIsDrawn) {
    Canvas c(300, 40);
    const UniqueFont font(makeFont(-16, u"MS UI Gothic"));
    const SelectedObject selection(c.dc, font.get());
    SIZE ab, a, b;
    GetTextExtentPoint32W(c.dc, u"Hello日本", 7, &ab);
    GetTextExtentPoint32W(c.dc, u"Hello", 5, &a);
    GetTextExtentPoint32W(c.dc, u"日本", 2, &b);
    EXPECT_EQ(ab.cx, a.cx + b.cx);
    TEXTMETRICW tm;
    ASSERT_TRUE(GetTextMetricsW(c.dc, &tm));
    EXPECT_EQ(ab.cy, tm.tmHeight);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_GE(tm.tmHeight, 16);
    SetBkMode(c.dc, TRANSPARENT);
    TextOutW(c.dc, 10, 5, u"Hello日本", 7);
    EXPECT_GT(c.inkedPixels(10, 5, 10 + ab.cx, 5 + tm.tmHeight), 50);
    EXPECT_EQ(c.inkedPixels(10 + ab.cx + 1, 0, 300, 40), 0);
    EXPECT_EQ(c.inkedPixels(0, 0, 9, 40), 0);
    int fit = 0;
    int dx[7];
    GetTextExtentExPointW(c.dc, u"Hello日本", 7, a.cx, &fit, dx, nullptr);
    EXPECT_EQ(fit, 5);
    EXPECT_EQ(dx[4], a.cx);
    EXPECT_EQ(dx[6], ab.cx);
}

TEST(GdiText, JapaneseRendersWithRealGlyphsWhateverTheFace) {
    // Boxes for missing glyphs would look alike; real glyphs differ.
    for (const char16_t* face : {u"Times New Roman", u"NoSuchFaceAnywhere", u"MS Gothic"}) {
        const UniqueFont font(makeFont(-20, face));
        Canvas one(40, 40), two(40, 40);
        const SelectedObject inOne(one.dc, font.get()), inTwo(two.dc, font.get());
        TextOutW(one.dc, 5, 5, u"日", 1);
        TextOutW(two.dc, 5, 5, u"語", 1);
        int differing = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                if (one.at(x, y) != two.at(x, y)) ++differing;
        EXPECT_GT(differing, 20) << std::string(face, face + 1).size();
    }
}

TEST(GdiText, OpaqueBackgroundFillsTheCell) {
    Canvas c(100, 30);
    SetBkColor(c.dc, RGB(0, 0, 255));
    SetBkMode(c.dc, OPAQUE);
    TextOutW(c.dc, 0, 0, u"i", 1);
    EXPECT_EQ(c.at(0, 0), RGB(0, 0, 255));
    SIZE s;
    GetTextExtentPoint32W(c.dc, u"i", 1, &s);
    EXPECT_EQ(c.at(s.cx, 0), kWhite);
}

TEST(GdiText, PositiveHeightsAreCellHeights) {
    Canvas c(10, 10);
    const UniqueFont font(makeFont(20, u"Arial"));
    const SelectedObject selection(c.dc, font.get());
    TEXTMETRICW tm;
    GetTextMetricsW(c.dc, &tm);
    EXPECT_NEAR(tm.tmHeight, 20, 2);
}

// Painters make the same font on every paint; what it measures must not
// depend on whether it was made before, nor merge fonts that differ.
TEST(GdiText, FontsMadeAgainMeasureAndDrawAsTheFirst) {
    auto metricsOf = [](HFONT font, const char16_t* text) {
        Canvas c(200, 40);
        SelectObject(c.dc, font);
        TEXTMETRICW tm;
        GetTextMetricsW(c.dc, &tm);
        SIZE s;
        GetTextExtentPoint32W(c.dc, text, static_cast<int>(std::char_traits<char16_t>::length(text)), &s);
        SetBkMode(c.dc, TRANSPARENT);
        TextOutW(c.dc, 0, 0, text, static_cast<int>(std::char_traits<char16_t>::length(text)));
        const int ink = c.inkedPixels(0, 0, 200, 40);
        SelectObject(c.dc, GetStockObject(DEFAULT_GUI_FONT));
        DeleteObject(font);
        return std::array<long, 4>{tm.tmHeight, tm.tmAveCharWidth, s.cx, ink};
    };
    for (int height : {-13, 20}) {
        LOGFONTW lf{};
        lf.lfHeight = height;
        lf.lfWeight = FW_NORMAL;
        std::char_traits<char16_t>::copy(lf.lfFaceName, u"Arial", 5);
        const auto first = metricsOf(CreateFontIndirectW(&lf), u"acme 日本");
        lf.lfFaceName[6] = u'x';  // whatever lies past the face's end
        EXPECT_EQ(metricsOf(CreateFontIndirectW(&lf), u"acme 日本"), first) << height;
        lf.lfWeight = FW_BOLD;
        EXPECT_GT(metricsOf(CreateFontIndirectW(&lf), u"acme 日本")[2], first[2]) << height;
        lf.lfWeight = FW_NORMAL;
        lf.lfUnderline = TRUE;
        EXPECT_GT(metricsOf(CreateFontIndirectW(&lf), u"acme 日本")[3], first[3]) << height;
    }
}

// Numbers (clocks, slider values) are put together from glyphs shaped one by
// one; they must measure and draw exactly as a laid-out line would (an
// ellipsized line is always laid out, and a wide box leaves it whole).
TEST(GdiText, NumbersFromSingleGlyphsMatchLaidOutLines) {
    for (const char16_t* face : {u"MS UI Gothic", u"Arial", u"Courier New"}) {
        for (LONG weight : {FW_NORMAL, FW_BOLD}) {
            const UniqueFont font(makeFont(-15, face, weight));
            for (const char16_t* text : {u"00:12:34/01:00:00", u"-3.5%", u"1,234 + 56", u"7"}) {
                const int n = static_cast<int>(std::char_traits<char16_t>::length(text));
                Canvas composed(220, 30), laidOut(220, 30);
                const SelectedObject one(composed.dc, font.get()), two(laidOut.dc, font.get());
                RECT box{3, 2, 215, 28};
                DrawTextW(composed.dc, text, n, &box, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
                DrawTextW(laidOut.dc, text, n, &box, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
                int differing = 0;
                for (int y = 0; y < 30; ++y)
                    for (int x = 0; x < 220; ++x) differing += composed.at(x, y) != laidOut.at(x, y);
                EXPECT_EQ(differing, 0) << "length " << n << ", weight " << weight;
                EXPECT_GT(composed.inkedPixels(0, 0, 220, 30), 5);
                SIZE size;
                GetTextExtentPoint32W(composed.dc, text, n, &size);
                int fit = 0;
                std::vector<int> dx(static_cast<std::size_t>(n));
                GetTextExtentExPointW(composed.dc, text, n, 1000, &fit, dx.data(), nullptr);
                EXPECT_EQ(size.cx, dx.back());
            }
        }
    }
}

TEST(GdiText, DrawTextMeasuresAlignsAndHandlesPrefixes) {
    Canvas c(200, 60);
    RECT calc{0, 0, 0, 0};
    int h = DrawTextW(c.dc, u"&Open", -1, &calc, DT_CALCRECT | DT_SINGLELINE);
    SIZE s;
    GetTextExtentPoint32W(c.dc, u"Open", 4, &s);
    EXPECT_EQ(calc.right, s.cx);
    EXPECT_EQ(h, s.cy);
    EXPECT_EQ(c.inkedPixels(0, 0, 200, 60), 0);  // DT_CALCRECT draws nothing
    RECT box{0, 0, 200, 60};
    SetBkMode(c.dc, TRANSPARENT);
    DrawTextW(c.dc, u"Open", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(c.inkedPixels(0, 0, (200 - s.cx) / 2 - 1, 60), 0);
    EXPECT_GT(c.inkedPixels((200 - s.cx) / 2, 0, 200, 60), 10);
    RECT wrap{0, 0, 40, 0};
    int tall = DrawTextW(c.dc, u"one two three four", -1, &wrap, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_GE(tall, 3 * s.cy);
    EXPECT_LE(wrap.right, 40);
}

int collectFamily(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM param) {
    auto* names = reinterpret_cast<std::vector<std::u16string>*>(param);
    names->push_back(lf->lfFaceName);
    return 1;
}

TEST(GdiText, FontFamiliesAreEnumerated) {
    std::vector<std::u16string> names;
    LOGFONTW filter{};
    filter.lfCharSet = DEFAULT_CHARSET;
    const ClientDC screenDc(nullptr);
    HDC screen = screenDc.get();
    EnumFontFamiliesExW(screen, &filter, collectFamily, reinterpret_cast<LPARAM>(&names), 0);
    EXPECT_NE(std::find(names.begin(), names.end(), u"IPAGothic"), names.end());
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    names.clear();
    std::u16string only = u"DejaVu Sans";
    std::copy(only.begin(), only.end(), filter.lfFaceName);
    EnumFontFamiliesExW(screen, &filter, collectFamily, reinterpret_cast<LPARAM>(&names), 0);
    ASSERT_EQ(names.size(), 1u);
}

}  // namespace
