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

namespace {

// Paints one decoded row of the frame onto the canvas, skipping what lies
// outside it and the transparent index.
void paintGifRow(const std::vector<GifPixelType>& row, int y, const GifImageDesc& frame, const ColorMapObject& map,
                 int key, DecodedPicture& out) {
    const int py = frame.Top + y;
    if (py < 0 || py >= out.height) return;
    for (int x = 0; x < frame.Width; ++x) {
        const int px = frame.Left + x;
        if (px < 0 || px >= out.width) continue;
        const int index = row[static_cast<std::size_t>(x)];
        if (index == key || index >= map.ColorCount) continue;
        const GifColorType& c = map.Colors[index];
        BYTE* p = &out.bgrx[(static_cast<std::size_t>(py) * out.width + px) * 4];
        p[0] = c.Blue;
        p[1] = c.Green;
        p[2] = c.Red;
    }
}

// Decodes the frame whose descriptor was just read, row by row: memory is one
// row of the frame besides the canvas, whatever the frame declares.
bool decodeGifFrame(GifFileType* gif, const GraphicsControlBlock& control, DecodedPicture& out, std::u16string& error) {
    const GifImageDesc& frame = gif->Image;
    const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    if (!map) {
        error = u"The GIF file has no colours.";
        return false;
    }
    const int key = control.TransparentColor;
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
    std::vector<GifPixelType> row(static_cast<std::size_t>(frame.Width));
    auto readRow = [&](int y) {
        if (DGifGetLine(gif, row.data(), frame.Width) != GIF_OK) return false;
        paintGifRow(row, y, frame, *map, key, out);
        return true;
    };
    bool ok = true;
    if (frame.Interlace) {
        // Rows come in four passes: every 8th from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
        static constexpr int kStart[] = {0, 4, 2, 1};
        static constexpr int kStep[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4 && ok; ++pass)
            for (int y = kStart[pass]; y < frame.Height && ok; y += kStep[pass]) ok = readRow(y);
    } else {
        for (int y = 0; y < frame.Height && ok; ++y) ok = readRow(y);
    }
    if (!ok) {
        error = u"The GIF file is broken or truncated.";
        return false;
    }
    return true;
}

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
    // Only the first frame is shown, so only it is decoded, and only once its
    // declared size is known to be within the limit: a small file may declare
    // many huge frames. The records after it are never read.
    GraphicsControlBlock control{};
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    while (DGifGetRecordType(gif.get(), &record) == GIF_OK) {
        if (record == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif.get()) != GIF_OK) break;
            const GifImageDesc& frame = gif->Image;
            if (frame.Width <= 0 || frame.Height <= 0 || frame.Width > maxSide || frame.Height > maxSide) {
                error = u"The GIF frame size is broken or larger than 4096 pixels.";
                return false;
            }
            return decodeGifFrame(gif.get(), control, out, error);
        }
        if (record == EXTENSION_RECORD_TYPE) {
            int function = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif.get(), &function, &block) != GIF_OK) break;
            // The graphics control block before a frame names its transparent colour.
            if (function == GRAPHICS_EXT_FUNC_CODE && block) DGifExtensionToGCB(block[0], block + 1, &control);
            while (block && DGifGetExtensionNext(gif.get(), &block) == GIF_OK) {}
            if (block) break;  // a broken continuation block
            continue;
        }
        if (record == TERMINATE_RECORD_TYPE) {
            error = u"The GIF file holds no picture.";
            return false;
        }
    }
    error = u"The GIF file is broken or truncated.";
    return false;
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
