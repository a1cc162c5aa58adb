#include "toolkit/PictureDecoders.h"

#include <gif_lib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace {

struct MemoryReader {
    const std::vector<BYTE>* data;
    std::size_t position;
};

int readGifBytes(GifFileType* gif, GifByteType* buffer, int count) {
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    std::size_t left = reader->data->size() - reader->position;
    std::size_t n = std::min<std::size_t>(left, static_cast<std::size_t>(std::max(0, count)));
    std::memcpy(buffer, reader->data->data() + reader->position, n);
    reader->position += n;
    return static_cast<int>(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        if (gif) DGifCloseFile(gif, &error);
    }
};

}  // namespace

bool decodeGif(const std::vector<BYTE>& file, int maxSide, DecodedPicture& out, std::u16string& error) {
    MemoryReader reader{&file, 0};
    int code = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&reader, readGifBytes, &code));
    if (!gif) {
        error = u"Not a GIF file.";
        return false;
    }
    if (gif->SWidth <= 0 || gif->SHeight <= 0 || gif->SWidth > maxSide || gif->SHeight > maxSide) {
        error = u"The GIF size is broken or larger than 4096 pixels.";
        return false;
    }
    if (DGifSlurp(gif.get()) != GIF_OK || gif->ImageCount < 1) {
        error = u"The GIF file is broken or truncated.";
        return false;
    }
    const SavedImage& frame = gif->SavedImages[0];
    const ColorMapObject* map = frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : gif->SColorMap;
    if (!map || !frame.RasterBits) {
        error = u"The GIF file has no colours.";
        return false;
    }
    GraphicsControlBlock control{};
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(gif.get(), 0, &control);
    int key = control.TransparentColor;
    out.width = gif->SWidth;
    out.height = gif->SHeight;
    out.bgrx.assign(static_cast<std::size_t>(out.width) * out.height * 4, 0);
    if (key >= 0 && key < map->ColorCount) {
        const GifColorType& c = map->Colors[key];
        out.transparent = RGB(c.Red, c.Green, c.Blue);
        for (std::size_t i = 0; i < out.bgrx.size(); i += 4) {
            out.bgrx[i] = c.Blue;
            out.bgrx[i + 1] = c.Green;
            out.bgrx[i + 2] = c.Red;
        }
    }
    const GifImageDesc& d = frame.ImageDesc;
    for (int y = 0; y < d.Height; ++y) {
        int py = d.Top + y;
        if (py < 0 || py >= out.height) continue;
        for (int x = 0; x < d.Width; ++x) {
            int px = d.Left + x;
            if (px < 0 || px >= out.width) continue;
            int index = frame.RasterBits[static_cast<std::size_t>(y) * d.Width + x];
            if (index == key || index >= map->ColorCount) continue;
            const GifColorType& c = map->Colors[index];
            BYTE* p = &out.bgrx[(static_cast<std::size_t>(py) * out.width + px) * 4];
            p[0] = c.Blue;
            p[1] = c.Green;
            p[2] = c.Red;
        }
    }
    return true;
}

namespace {

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void jpegFail(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }
void jpegQuiet(j_common_ptr, int) {}

// Kept out of the function with setjmp, so no local lives across the jump.
struct JpegReader {
    jpeg_decompress_struct info{};
    JpegError error{};
    std::vector<BYTE> row;
    ~JpegReader() { jpeg_destroy_decompress(&info); }
};

bool readJpeg(JpegReader& r, const std::vector<BYTE>& file, int maxSide, DecodedPicture& out, std::u16string& error) {
    r.info.err = jpeg_std_error(&r.error.manager);
    r.error.manager.error_exit = jpegFail;
    r.error.manager.emit_message = jpegQuiet;
    if (setjmp(r.error.jump)) {
        error = u"The JPEG file is broken or truncated.";
        return false;
    }
    jpeg_create_decompress(&r.info);
    jpeg_mem_src(&r.info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&r.info, TRUE);
    if (r.info.image_width == 0 || r.info.image_height == 0 || r.info.image_width > static_cast<JDIMENSION>(maxSide) ||
        r.info.image_height > static_cast<JDIMENSION>(maxSide)) {
        error = u"The JPEG size is broken or larger than 4096 pixels.";
        return false;
    }
    r.info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&r.info);
    if (r.info.output_components != 3) {
        error = u"Unsupported JPEG colours.";
        return false;
    }
    out.width = static_cast<int>(r.info.output_width);
    out.height = static_cast<int>(r.info.output_height);
    out.bgrx.assign(static_cast<std::size_t>(out.width) * out.height * 4, 0);
    r.row.assign(static_cast<std::size_t>(out.width) * 3, 0);
    while (r.info.output_scanline < r.info.output_height) {
        JSAMPROW rows[1] = {r.row.data()};
        JDIMENSION y = r.info.output_scanline;
        jpeg_read_scanlines(&r.info, rows, 1);
        BYTE* dst = &out.bgrx[static_cast<std::size_t>(y) * out.width * 4];
        for (int x = 0; x < out.width; ++x) {
            dst[x * 4] = r.row[x * 3 + 2];
            dst[x * 4 + 1] = r.row[x * 3 + 1];
            dst[x * 4 + 2] = r.row[x * 3];
        }
    }
    jpeg_finish_decompress(&r.info);
    return true;
}

}  // namespace

bool decodeJpeg(const std::vector<BYTE>& file, int maxSide, DecodedPicture& out, std::u16string& error) {
    if (file.size() < 4) {
        error = u"Not a JPEG file.";
        return false;
    }
    JpegReader reader;
    return readJpeg(reader, file, maxSide, out, error);
}
