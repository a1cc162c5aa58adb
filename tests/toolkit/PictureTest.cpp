// GIF and JPEG pictures, written here with giflib and libjpeg and read back
// through Bitmap::loadImage; broken and huge files fail with a reason.
#include <gtest/gtest.h>

// First: libjpeg defines TRUE and FALSE as macros when they are not yet known.
#include "support/GifBytes.h"
#include "support/TempDir.h"
#include "toolkit/Bitmap.h"

#include <gif_lib.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

// A frame of a GIF written with giflib: its place, size, interlacing and
// pixel indices in row order (giflib wants interlaced rows in pass order).
struct GifFrame {
    int left = 0, top = 0, width = 1, height = 1;
    bool interlace = false;
    std::vector<GifPixelType> pixels;
    int transparent = NO_TRANSPARENT_COLOR;
};

void writeGifFrames(const std::string& path, int width, int height, const std::vector<GifFrame>& frames) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    ASSERT_NE(gif, nullptr);
    GifColorType colours[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    ColorMapObject* map = GifMakeMapObject(4, colours);
    EGifSetGifVersion(gif, true);
    ASSERT_EQ(EGifPutScreenDesc(gif, width, height, 2, 0, map), GIF_OK);
    for (const GifFrame& frame : frames) {
        GraphicsControlBlock control{};
        control.TransparentColor = frame.transparent;
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
        EGifPutComment(gif, "a comment between the control block and its frame");
        ASSERT_EQ(EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height, frame.interlace, nullptr),
                  GIF_OK);
        std::vector<int> order;
        if (frame.interlace) {
            const int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = starts[pass]; y < frame.height; y += steps[pass]) order.push_back(y);
        } else {
            for (int y = 0; y < frame.height; ++y) order.push_back(y);
        }
        for (int y : order) {
            std::vector<GifPixelType> row(frame.pixels.begin() + y * frame.width,
                                          frame.pixels.begin() + (y + 1) * frame.width);
            EGifPutLine(gif, row.data(), frame.width);
        }
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
}

// 2x2 (or width × height): red, green / blue, and the transparent index (white).
void writeGif(const std::string& path, int width = 2, int height = 2) {
    GifFrame frame{0, 0, width, height, false, {}, 3};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) frame.pixels.push_back(static_cast<GifPixelType>((y * 2 + x) % 4));
    writeGifFrames(path, width, height, {frame});
}

void writeJpeg(const std::string& path, int width, int height, JSAMPLE r, JSAMPLE g, JSAMPLE b) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, f);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * 3);
    for (int x = 0; x < width; ++x) {
        row[x * 3] = r;
        row[x * 3 + 1] = g;
        row[x * 3 + 2] = b;
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(f);
}

TEST(Pictures, GifGivesItsFirstFrameOnItsTransparentColour) {
    TempDir dir;
    writeGif(dir.native("a.GIF").string());
    Bitmap b;
    ASSERT_TRUE(b.loadImage(dir.file("a.GIF"), 32)) << std::string(b.errorText().begin(), b.errorText().end());
    EXPECT_EQ(b.getBitsPerPixel(), 32);
    EXPECT_EQ(b.getPixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(b.getPixel(1, 0), RGB(0, 255, 0));
    EXPECT_EQ(b.getPixel(0, 1), RGB(0, 0, 255));
    EXPECT_EQ(b.getPixel(1, 1), RGB(255, 255, 255));
    EXPECT_EQ(b.getTransparentColor(), RGB(255, 255, 255));
}

TEST(Pictures, GifInterlacedRowsComeBackInPlaceAndOnlyTheFirstFrameIsTaken) {
    TempDir dir;
    // 1 × 10, interlaced: row y holds colour y % 3; placed at (1, 0) on a 3 × 10 screen.
    GifFrame first;
    first.left = 1;
    first.width = 1;
    first.height = 10;
    first.interlace = true;
    for (int y = 0; y < 10; ++y) first.pixels.push_back(static_cast<GifPixelType>(y % 3));
    // The second frame would paint everything white.
    GifFrame second;
    second.width = 3;
    second.height = 10;
    second.pixels.assign(30, 3);
    writeGifFrames(dir.native("i.gif").string(), 3, 10, {first, second});
    Bitmap b;
    ASSERT_TRUE(b.loadImage(dir.file("i.gif"), 32)) << std::string(b.errorText().begin(), b.errorText().end());
    ASSERT_EQ(b.getWidth(), 3);
    ASSERT_EQ(b.getHeight(), 10);
    const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    for (int y = 0; y < 10; ++y) {
        EXPECT_EQ(b.getPixel(1, y), colours[y % 3]) << "row " << y;
        EXPECT_EQ(b.getPixel(0, y), RGB(0, 0, 0)) << "row " << y;  // outside the frame, no transparency
    }
}

// A small file may declare huge frames: each is refused from its declared
// size before any pixel is decoded (speed and memory: bench/PictureBench).
TEST(Pictures, GifFramesDeclaringHugeSizesAreRefusedUnread) {
    TempDir dir;
    const std::string hostile = gifbytes::manyHugeFrames(100, 30000, 30000);
    EXPECT_LT(hostile.size(), 1300u);
    dir.write("hostile.gif", hostile);
    Bitmap b;
    EXPECT_FALSE(b.loadImage(dir.file("hostile.gif"), 32));
    EXPECT_EQ(b.errorText(), u"The GIF frame size is broken or larger than 4096 pixels.");
    EXPECT_TRUE(b.empty());

    // A good first frame followed by hostile ones: the first is shown, the
    // others are never read.
    writeGifFrames(dir.native("good.gif").string(), 2, 1, {GifFrame{0, 0, 2, 1, false, {1, 2}}});
    std::string mixed = dir.read("good.gif");
    ASSERT_EQ(mixed.back(), '\x3B');
    mixed.pop_back();
    for (int i = 0; i < 99; ++i) mixed += gifbytes::emptyFrame(30000, 30000);
    dir.write("mixed.gif", mixed + gifbytes::kTrailer);
    ASSERT_TRUE(b.loadImage(dir.file("mixed.gif"), 32));
    EXPECT_EQ(b.getPixel(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(b.getPixel(1, 0), RGB(0, 0, 255));

    // Frames of no size, and a file that ends before any frame.
    dir.write("empty-frame.gif", gifbytes::header(4, 4) + gifbytes::emptyFrame(0, 5) + gifbytes::kTrailer);
    dir.write("no-frame.gif", gifbytes::header(4, 4) + gifbytes::kTrailer);
    for (const char* name : {"empty-frame.gif", "no-frame.gif"}) {
        EXPECT_FALSE(b.loadImage(dir.file(name), 32)) << name;
        EXPECT_FALSE(b.errorText().empty()) << name;
    }
}

TEST(Pictures, JpegDecodesToTheTopLeftAsTransparentColour) {
    TempDir dir;
    writeJpeg(dir.native("p.jpeg").string(), 16, 8, 200, 100, 50);
    Bitmap b;
    ASSERT_TRUE(b.loadImage(dir.file("p.jpeg"), 32));
    EXPECT_EQ(b.getWidth(), 16);
    EXPECT_EQ(b.getHeight(), 8);
    COLORREF c = b.getPixel(7, 4);
    EXPECT_NEAR(GetRValue(c), 200, 3);
    EXPECT_NEAR(GetGValue(c), 100, 3);
    EXPECT_NEAR(GetBValue(c), 50, 3);
    EXPECT_EQ(b.getTransparentColor(), b.getPixel(0, 0));
}

TEST(Pictures, BrokenTruncatedAndHugePicturesFail) {
    TempDir dir;
    writeGif(dir.native("good.gif").string());
    writeGif(dir.native("huge.gif").string(), 5000, 1);
    writeJpeg(dir.native("good.jpg").string(), 8, 8, 1, 2, 3);
    writeJpeg(dir.native("huge.jpg").string(), 4100, 8, 1, 2, 3);
    std::string gif = dir.read("good.gif"), jpg = dir.read("good.jpg");
    dir.write("cut.gif", gif.substr(0, gif.size() / 2));
    dir.write("cut.jpg", jpg.substr(0, 30));
    dir.write("junk.jpg", std::string(500, '\x42'));
    dir.write("junk.gif", "GIF89a" + std::string(100, '\xFF'));
    dir.write("empty.jpg", "");
    for (const char* name : {"huge.gif", "huge.jpg", "cut.gif", "cut.jpg", "junk.jpg", "junk.gif", "empty.jpg"}) {
        Bitmap b;
        EXPECT_FALSE(b.loadImage(dir.file(name), 32)) << name;
        EXPECT_FALSE(b.errorText().empty()) << name;
        EXPECT_TRUE(b.empty()) << name;
    }
}

}  // namespace
