// GIF and JPEG pictures, written here with giflib and libjpeg and read back
// through Bitmap::loadImage; broken and huge files fail with a reason.
#include <gtest/gtest.h>

// First: libjpeg defines TRUE and FALSE as macros when they are not yet known.
#include "support/TempDir.h"
#include "toolkit/Bitmap.h"

#include <gif_lib.h>

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace {

// 2x2: red, green / blue, and the transparent index (white).
void writeGif(const std::string& path, int width = 2, int height = 2) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    ASSERT_NE(gif, nullptr);
    GifColorType colours[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    ColorMapObject* map = GifMakeMapObject(4, colours);
    EGifSetGifVersion(gif, true);
    ASSERT_EQ(EGifPutScreenDesc(gif, width, height, 2, 0, map), GIF_OK);
    GraphicsControlBlock control{};
    control.TransparentColor = 3;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
    ASSERT_EQ(EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr), GIF_OK);
    std::vector<GifPixelType> row(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) row[x] = static_cast<GifPixelType>((y * 2 + x) % 4);
        EGifPutLine(gif, row.data(), width);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
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
