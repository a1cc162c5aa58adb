// Graphics: the exact pixel arithmetic of the alpha fill, keyed and blended
// bitmap drawing, and line-by-line text.
#include <gtest/gtest.h>

#include "toolkit/Graphics.h"

namespace {

void fill(Bitmap& b, COLORREF colour) {
    for (int y = 0; y < b.getHeight(); ++y)
        for (int x = 0; x < b.getWidth(); ++x) b.setPixel(x, y, colour);
}

TEST(Graphics, FillRectAlphaFollowsTheTableArithmetic) {
    Graphics g(4, 4);
    Bitmap& b = g.image().bitmap();
    fill(b, RGB(200, 200, 200));
    g.fillRectAlpha(0, 0, 1, 1, RGB(100, 0, 255), 255);
    EXPECT_EQ(b.getPixel(0, 0), RGB(100, 0, 255));
    g.fillRectAlpha(1, 0, 1, 1, RGB(100, 0, 255), 0);
    EXPECT_EQ(b.getPixel(1, 0), RGB(200, 200, 200));
    // ⌊100×128/255⌋ + (200 − ⌊200×128/255⌋) = 50 + 100; 0 + 100; 128 + 100.
    g.fillRectAlpha(2, 0, 1, 1, RGB(100, 0, 255), 128);
    EXPECT_EQ(b.getPixel(2, 0), RGB(150, 100, 228));
    // Clipped to the bitmap; the fourth byte is left alone.
    b.getPixels()[3 * b.getStride() + 3 * 4 + 3] = 0x5A;
    g.fillRectAlpha(2, 2, 10, 10, RGB(0, 0, 0), 255);
    EXPECT_EQ(b.getPixel(3, 3), RGB(0, 0, 0));
    EXPECT_EQ(b.getPixels()[3 * b.getStride() + 3 * 4 + 3], 0x5A);
    EXPECT_EQ(b.getPixel(1, 1), RGB(200, 200, 200));
}

TEST(Graphics, DrawBitmapSkipsTheTransparentColourAndScalesNearest) {
    Graphics g(6, 6);
    fill(g.image().bitmap(), RGB(0, 0, 0));
    Bitmap source;
    ASSERT_TRUE(source.create(2, 2, 32));
    source.setPixel(0, 0, RGB(255, 0, 255));  // the key
    source.setPixel(1, 0, RGB(255, 0, 0));
    source.setPixel(0, 1, RGB(0, 255, 0));
    source.setPixel(1, 1, RGB(0, 0, 255));
    source.setTransparentColor(RGB(255, 0, 255));
    g.drawBitmap(source, Rect{1, 1, 4, 4}, Rect{0, 0, 2, 2});
    Bitmap& b = g.image().bitmap();
    EXPECT_EQ(b.getPixel(1, 1), RGB(0, 0, 0));  // keyed out
    EXPECT_EQ(b.getPixel(2, 2), RGB(0, 0, 0));
    EXPECT_EQ(b.getPixel(3, 1), RGB(255, 0, 0));
    EXPECT_EQ(b.getPixel(4, 2), RGB(255, 0, 0));
    EXPECT_EQ(b.getPixel(1, 3), RGB(0, 255, 0));
    EXPECT_EQ(b.getPixel(4, 4), RGB(0, 0, 255));
    EXPECT_EQ(b.getPixel(5, 5), RGB(0, 0, 0));
    // Off the left and top edges: the visible part only.
    g.drawBitmap(source, Rect{-1, -1, 2, 2}, Rect{0, 0, 2, 2});
    EXPECT_EQ(b.getPixel(0, 0), RGB(0, 0, 255));
    // Without transparency it is a plain copy, key colour included.
    source.setTransparent(false);
    g.drawBitmap(source, Rect{4, 4, 2, 2}, Rect{0, 0, 2, 2});
    EXPECT_EQ(b.getPixel(4, 4), RGB(255, 0, 255));
    // Zero sizes draw nothing.
    g.drawBitmap(source, Rect{0, 0, 0, 2}, Rect{0, 0, 2, 2});
}

TEST(Graphics, DrawImageAlphaBlendsWithTheTopByte) {
    Graphics g(2, 1);
    Bitmap& b = g.image().bitmap();
    fill(b, RGB(100, 100, 100));
    Image image;
    ASSERT_TRUE(image.create(2, 1));
    image.bitmap().setPixel(0, 0, RGB(200, 0, 255));
    image.bitmap().setPixel(1, 0, RGB(9, 9, 9));
    image.bitmap().setTransparentColor(RGB(9, 9, 9));
    g.drawImageAlpha(image, Rect{0, 0, 2, 1}, Rect{0, 0, 2, 1}, 0x80FFFFFF);
    // U[d] + T[s]: 100 − 50 + ⌊200×128/255⌋ = 150; 50 + 0; 50 + 128.
    EXPECT_EQ(b.getPixel(0, 0), RGB(150, 50, 178));
    EXPECT_EQ(b.getPixel(1, 0), RGB(100, 100, 100));  // the key colour is skipped
    g.drawImageAlpha(image, Rect{0, 0, 1, 1}, Rect{0, 0, 1, 1}, 0xFFFFFFFF);
    EXPECT_EQ(b.getPixel(0, 0), RGB(200, 0, 255));  // full opacity: drawBitmap
    image.opacity = 0.0;
    fill(b, RGB(100, 100, 100));
    g.drawPlacedImage(image);
    EXPECT_EQ(b.getPixel(0, 0), RGB(100, 100, 100));
}

int inkRows(Bitmap& b, int y0, int y1) {
    int rows = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < b.getWidth(); ++x)
            if (b.getPixel(x, y) != RGB(255, 255, 255)) {
                ++rows;
                break;
            }
    return rows;
}

TEST(Graphics, DrawTextBreaksOnlyAtLineFeedsAndCutsAtCarriageReturns) {
    Graphics g(200, 100);
    Bitmap& b = g.image().bitmap();
    fill(b, RGB(255, 255, 255));
    TEXTMETRICW tm;
    GetTextMetricsW(g.dc(), &tm);
    int h = tm.tmHeight;
    g.drawText(u"first\r hidden\n\nthird", 0, 0);
    EXPECT_GT(inkRows(b, 0, h), 0);
    EXPECT_EQ(inkRows(b, h, 2 * h), 0);  // the empty line only advances
    EXPECT_GT(inkRows(b, 2 * h, 3 * h), 0);
    SIZE first;
    GetTextExtentPoint32W(g.dc(), u"first", 5, &first);
    for (int y = 0; y < h; ++y)
        for (int x = first.cx + 2; x < 200; ++x) ASSERT_EQ(b.getPixel(x, y), RGB(255, 255, 255)) << x << "," << y;
}

TEST(Graphics, OutlinedTextRestoresTheTextColourAndTextWidthsTakeTheWidestLine) {
    Graphics g(100, 40);
    g.setTextColor(RGB(1, 2, 3));
    g.drawOutlinedText(u"A", 5, 5, RGB(255, 255, 255), RGB(0, 0, 0));
    EXPECT_EQ(g.textColor(), RGB(1, 2, 3));
    int one = g.getTextWidth(std::u16string(u"short"));
    int two = g.getTextWidth(std::u16string(u"short\r\nmuch longer line"));
    EXPECT_EQ(two, g.getTextWidth(std::u16string(u"much longer line")));
    EXPECT_GT(two, one);
    EXPECT_GT(g.getTextWidth(std::u16string(u"a\tb")), g.getTextWidth(std::u16string(u"ab")));
    EXPECT_EQ(g.getTextWidth(std::string("short")), one);
}

TEST(Graphics, CopyToMovesByTheOrigin) {
    Graphics from(2, 2), to(6, 6);
    fill(from.image().bitmap(), RGB(9, 8, 7));
    fill(to.image().bitmap(), RGB(0, 0, 0));
    from.setOrigin(2, 1);
    from.copyTo(to, 1, 1, SRCCOPY);
    EXPECT_EQ(to.image().bitmap().getPixel(3, 2), RGB(9, 8, 7));
    EXPECT_EQ(to.image().bitmap().getPixel(2, 2), RGB(0, 0, 0));
}

TEST(Graphics, ShapesUseThePenAndBrush) {
    Graphics g(20, 20);
    Bitmap& b = g.image().bitmap();
    fill(b, RGB(255, 255, 255));
    g.fillRect(0, 0, 5, 5);  // no brush yet: nothing
    EXPECT_EQ(b.getPixel(0, 0), RGB(255, 255, 255));
    g.setBrushColor(RGB(10, 20, 30));
    g.fillRect(Rect{0, 0, 5, 5});
    EXPECT_EQ(b.getPixel(4, 4), RGB(10, 20, 30));
    EXPECT_EQ(b.getPixel(5, 5), RGB(255, 255, 255));
    g.drawLine(0, 10, 10, 10, RGB(255, 0, 0));
    EXPECT_EQ(b.getPixel(9, 10), RGB(255, 0, 0));
    g.setPen(PS_SOLID, 1, RGB(0, 0, 255));
    g.drawRect(12, 12, 5, 5);
    EXPECT_EQ(b.getPixel(12, 12), RGB(0, 0, 255));
    EXPECT_EQ(b.getPixel(14, 14), RGB(255, 255, 255));
    POINT square[] = {{12, 0}, {18, 0}, {18, 6}, {12, 6}};
    g.drawPolygon(square, 4, 1, RGB(0, 128, 0));
    EXPECT_EQ(b.getPixel(12, 3), RGB(0, 128, 0));
}

}  // namespace
