#include "toolkit/Bitmap.h"

#include "toolkit/PictureDecoders.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "platform/common/FileExtension.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

int strideOf(int width, int bits) { return ((width * (bits / 8)) + 3) & ~3; }

std::uint32_t readLe32(const BYTE* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t readLe16(const BYTE* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

void writeLe32(std::vector<BYTE>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<BYTE>(v >> (8 * i)));
}
void writeLe16(std::vector<BYTE>& out, std::uint16_t v) {
    out.push_back(static_cast<BYTE>(v));
    out.push_back(static_cast<BYTE>(v >> 8));
}

// libpng reports errors by longjmp; the jump lands in the reading function.
void pngError(png_structp png, png_const_charp) { longjmp(png_jmpbuf(png), 1); }
void pngWarning(png_structp, png_const_charp) {}

}  // namespace

// libpng's reader and what must outlive its error jumps.
struct Bitmap::PngReader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<png_bytep> rows;
    ~PngReader() { png_destroy_read_struct(&png, &info, nullptr); }
};

Bitmap::Bitmap(const Bitmap& other) { *this = other; }

Bitmap& Bitmap::operator=(const Bitmap& other) {
    if (this == &other) return *this;
    release();
    if (!other.empty() && create(other.getWidth(), other.getHeight(), other.getBitsPerPixel())) {
        std::memcpy(pixels_, other.pixels_, static_cast<std::size_t>(stride_) * getHeight());
        header_ = other.header_;
    }
    path_ = other.path_;
    error_ = other.error_;
    transparentColor_ = other.transparentColor_;
    transparent_ = other.transparent_;
    alpha_ = other.alpha_;
    return *this;
}

Bitmap::~Bitmap() { release(); }

bool Bitmap::fail(const std::u16string& text) {
    error_ = text;
    return false;
}

bool Bitmap::create(int width, int height) { return create(width, height, 32); }

bool Bitmap::create(int width, int height, int bits) {
    if (width <= 0 || height <= 0 || bits == 0) return fail(u"Bitmap size or depth is 0.");
    if (width > kMaxSide || height > kMaxSide) return fail(u"Bitmap is larger than 4096 pixels.");
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return fail(u"Unsupported bits per pixel.");
    error_.clear();
    release();
    header_ =
        BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, static_cast<WORD>(bits), BI_RGB, 0, 0, 0, 0, 0};
    stride_ = strideOf(width, bits);
    header_.biSizeImage = static_cast<DWORD>(stride_ * height);
    if (bits == 32) {
        BITMAPINFO info{};
        info.bmiHeader = header_;
        void* memory = nullptr;
        section_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0));
        if (!section_) {
            header_ = {};
            stride_ = 0;
            return fail(u"The bitmap's memory could not be made.");
        }
        pixels_ = static_cast<BYTE*>(memory);
        dc_.reset(CreateCompatibleDC(nullptr));
        selection_.select(dc_.get(), section_.get());
    } else {
        memory_.assign(static_cast<std::size_t>(stride_) * height, 0);
        pixels_ = memory_.data();
    }
    return true;
}

void Bitmap::release() {
    selection_.restore();
    dc_.reset();
    section_.reset();
    memory_.clear();
    memory_.shrink_to_fit();
    pixels_ = nullptr;
    header_ = {};
    stride_ = 0;
    transparentColor_ = kNoColor;
    transparent_ = true;
    alpha_ = false;
}

BYTE* Bitmap::getPixels() { return pixels_; }

const BYTE* Bitmap::at(int x, int y) const {
    if (!pixels_ || x < 0 || y < 0 || x >= getWidth() || y >= getHeight()) return nullptr;
    return pixels_ + static_cast<std::size_t>(y) * stride_ + static_cast<std::size_t>(x) * (getBitsPerPixel() / 8);
}

DWORD Bitmap::getPixelRGB(int x, int y) const {
    const BYTE* p = at(x, y);
    if (!p || getBitsPerPixel() < 24) return 0;
    return p[0] | (p[1] << 8) | (static_cast<DWORD>(p[2]) << 16);
}

COLORREF Bitmap::getPixel(int x, int y) const {
    const BYTE* p = at(x, y);
    if (!p || getBitsPerPixel() < 24) return 0;
    return RGB(p[2], p[1], p[0]);
}

DWORD Bitmap::getPixelRGBA(int x, int y) const {
    const BYTE* p = at(x, y);
    if (!p || getBitsPerPixel() < 24) return 0;
    BYTE alpha = getBitsPerPixel() == 32 ? p[3] : 255;
    return (getPixel(x, y) << 8) | alpha;
}

void Bitmap::setPixel(int x, int y, COLORREF colour) {
    auto* p = const_cast<BYTE*>(at(x, y));
    if (!p || getBitsPerPixel() < 24) return;
    p[0] = GetBValue(colour);
    p[1] = GetGValue(colour);
    p[2] = GetRValue(colour);
}

bool Bitmap::saveAs(const std::u16string& path) {
    error_.clear();
    if (empty()) return fail(u"Bitmap is empty.");
    if (getBitsPerPixel() != 24 && getBitsPerPixel() != 32) return fail(u"Bitmap.saveAs() 32/24 Bits is not supported");
    if (veltrix::paths::extensionOf(path) == u".png") return savePng(path);
    return saveBmp(path);
}

bool Bitmap::saveBmp(const std::u16string& path) {
    std::vector<BYTE> out;
    std::uint32_t bytes = static_cast<std::uint32_t>(stride_) * getHeight();
    out.push_back('B');
    out.push_back('M');
    writeLe32(out, bytes + 54);
    writeLe16(out, 0);
    writeLe16(out, 0);
    writeLe32(out, 54);
    writeLe32(out, header_.biSize);
    writeLe32(out, static_cast<std::uint32_t>(header_.biWidth));
    writeLe32(out, static_cast<std::uint32_t>(header_.biHeight));
    writeLe16(out, header_.biPlanes);
    writeLe16(out, header_.biBitCount);
    writeLe32(out, header_.biCompression);
    writeLe32(out, header_.biSizeImage);
    writeLe32(out, static_cast<std::uint32_t>(header_.biXPelsPerMeter));
    writeLe32(out, static_cast<std::uint32_t>(header_.biYPelsPerMeter));
    writeLe32(out, header_.biClrUsed);
    writeLe32(out, header_.biClrImportant);
    out.insert(out.end(), pixels_, pixels_ + bytes);
    File file(_wfopen(path.c_str(), u"wb"));
    if (!file) return fail(u"Couldn't crate Bitmap File");
    bool ok = std::fwrite(out.data(), 1, out.size(), file.get()) == out.size();
    ok = (std::fclose(file.release()) == 0) && ok;
    if (!ok) return fail(u"The bitmap file could not be written completely.");
    return true;
}

bool Bitmap::writesAlpha() const { return alpha_ && getBitsPerPixel() == 32; }

void Bitmap::packRow(int y) {
    int bytes = getBitsPerPixel() / 8;
    bool alpha = writesAlpha();
    const BYTE* src = pixels_ + static_cast<std::size_t>(y) * stride_;
    BYTE* dst = row_.data();
    for (int x = 0; x < getWidth(); ++x, src += bytes) {
        *dst++ = src[2];
        *dst++ = src[1];
        *dst++ = src[0];
        if (alpha) *dst++ = src[3];
    }
}

bool Bitmap::savePng(const std::u16string& path) {
    File file(_wfopen(path.c_str(), u"wb"));
    if (!file) return fail(u"Couldn't crate Bitmap File");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return fail(u"PNG writer could not start.");
    }
    // Nothing below keeps state in locals across the jump: libpng's errors
    // longjmp back to the setjmp.
    row_.assign(static_cast<std::size_t>(getWidth()) * 4, 0);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return fail(u"The PNG file could not be written.");
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(getWidth()), static_cast<png_uint_32>(getHeight()), 8,
                 writesAlpha() ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < getHeight(); ++y) {
        packRow(y);
        png_write_row(png, row_.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    row_.clear();
    if (std::fclose(file.release()) != 0) return fail(u"The PNG file could not be written.");
    return true;
}

bool Bitmap::loadImage(const std::u16string& path, int bits) {
    error_.clear();
    release();
    std::u16string ext = veltrix::paths::extensionOf(path);
    bool ok = false;
    if (ext == u".png") {
        ok = loadPng(path);
    } else if (ext == u".bmp") {
        ok = loadBmp(path, bits);
    } else if (ext == u".gif" || ext == u".jpg" || ext == u".jpeg") {
        ok = loadDecoded(path, ext == u".gif");
    } else {
        return fail(u"Unsupported picture type.");
    }
    if (!ok) {
        std::u16string reason = error_;
        release();
        error_ = reason;
        return false;
    }
    path_ = path;
    return true;
}

bool Bitmap::loadPng(const std::u16string& path) {
    File file(_wfopen(path.c_str(), u"rb"));
    if (!file) return fail(u"The PNG file could not be opened.");
    PngReader reader;
    reader.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    reader.info = reader.png ? png_create_info_struct(reader.png) : nullptr;
    if (!reader.info) return fail(u"PNG reader could not start.");
    if (!readPng(reader, file.get())) return false;
    transparentColor_ = getPixel(0, 0);
    if (alpha_) {
        for (int y = 0, found = 0; y < getHeight() && !found; ++y)
            for (int x = 0; x < getWidth(); ++x)
                if (at(x, y)[3] == 0) {
                    transparentColor_ = getPixel(x, y);
                    found = 1;
                    break;
                }
    }
    return true;
}

// libpng reports errors by longjmp back to the setjmp below. A jump skips the
// destructors of everything it crosses, so no object with one is made in this
// function: what must outlive a jump lives in the reader, made by the caller.
bool Bitmap::readPng(PngReader& reader, std::FILE* file) {
    png_structp png = reader.png;
    png_infop info = reader.info;
    if (setjmp(png_jmpbuf(png))) return fail(u"The PNG file is broken or truncated.");
    png_init_io(png, file);
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    const int type = png_get_color_type(png, info);
    const bool hasAlpha = (type & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
    // Palette to RGB, transparency chunks to alpha, grey to RGB, 16 to 8 bits.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    if (!hasAlpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != width * 4) return fail(u"Unsupported PNG layout.");
    if (!create(static_cast<int>(width), static_cast<int>(height), 32)) return false;
    reader.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) reader.rows[y] = pixels_ + static_cast<std::size_t>(y) * stride_;
    png_read_image(png, reader.rows.data());
    png_read_end(png, nullptr);
    alpha_ = hasAlpha;
    return true;
}

bool Bitmap::readWhole(const std::u16string& path, std::vector<BYTE>& data) {
    File file(_wfopen(path.c_str(), u"rb"));
    if (!file) return fail(u"The picture file could not be opened.");
    BYTE buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        data.insert(data.end(), buffer, buffer + n);
        if (data.size() > 256u * 1024 * 1024) return fail(u"The picture file is too large.");
    }
    if (std::ferror(file.get())) return fail(u"The picture file could not be read.");
    if (data.empty()) return fail(u"The picture file is empty.");
    return true;
}

bool Bitmap::loadDecoded(const std::u16string& path, bool gif) {
    std::vector<BYTE> data;
    if (!readWhole(path, data)) return false;
    DecodedPicture picture;
    std::u16string reason;
    if (!(gif ? decodeGif(data, kMaxSide, picture, reason) : decodeJpeg(data, kMaxSide, picture, reason)))
        return fail(reason);
    if (!create(picture.width, picture.height, 32)) return false;
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(pixels_ + static_cast<std::size_t>(y) * stride_,
                    &picture.bgrx[static_cast<std::size_t>(y) * picture.width * 4],
                    static_cast<std::size_t>(picture.width) * 4);
    transparentColor_ = picture.transparent != kNoColor ? picture.transparent : getPixel(0, 0);
    return true;
}

bool Bitmap::loadBmp(const std::u16string& path, int bits) {
    std::vector<BYTE> data;
    if (!readWhole(path, data)) return false;
    if (data.size() < 54 || data[0] != 'B' || data[1] != 'M') return fail(u"Not a BMP file.");
    std::uint32_t offset = readLe32(&data[10]);
    std::uint32_t headerSize = readLe32(&data[14]);
    if (headerSize < 40 || 14 + static_cast<std::uint64_t>(headerSize) > data.size())
        return fail(u"The BMP header is broken.");
    auto width = static_cast<std::int32_t>(readLe32(&data[18]));
    auto height = static_cast<std::int32_t>(readLe32(&data[22]));
    int depth = readLe16(&data[28]);
    std::uint32_t compression = readLe32(&data[30]);
    std::uint32_t colours = readLe32(&data[46]);
    if (depth != 8 && depth != 16 && depth != 24 && depth != 32) {
        std::string number = std::to_string(depth);
        return fail(u"Unsupported bits per pixel: " + std::u16string(number.begin(), number.end()));
    }
    if (compression != BI_RGB) return fail(u"Compressed BMP files are not supported.");
    bool topDown = height < 0;
    std::int64_t rows = topDown ? -static_cast<std::int64_t>(height) : height;
    if (width <= 0 || rows <= 0) return fail(u"The BMP size is broken.");
    if (width > kMaxSide || rows > kMaxSide) return fail(u"Bitmap is larger than 4096 pixels.");
    std::uint64_t sourceStride = (static_cast<std::uint64_t>(width) * depth / 8 + 3) & ~3ull;
    if (offset > data.size() || sourceStride * rows > data.size() - offset) return fail(u"The BMP file is truncated.");
    std::vector<RGBQUAD> palette;
    if (depth == 8) {
        std::uint32_t count = colours ? colours : 256;
        if (count > 256) return fail(u"The BMP palette is broken.");
        std::uint64_t start = 14 + static_cast<std::uint64_t>(headerSize);
        if (start + count * 4ull > offset) return fail(u"The BMP palette is truncated.");
        for (std::uint32_t i = 0; i < count; ++i) {
            const BYTE* p = &data[start + i * 4];
            palette.push_back({p[0], p[1], p[2], 0});
        }
    }
    if (bits != 24 && bits != 32) bits = 32;
    if (!create(width, static_cast<int>(rows), bits)) return false;
    int outBytes = bits / 8;
    for (std::int64_t y = 0; y < rows; ++y) {
        std::int64_t sourceRow = topDown ? y : rows - 1 - y;
        const BYTE* src = &data[offset + sourceRow * sourceStride];
        BYTE* dst = pixels_ + static_cast<std::size_t>(y) * stride_;
        for (int x = 0; x < width; ++x, dst += outBytes) {
            BYTE b = 0, g = 0, r = 0, a = 0;
            switch (depth) {
                case 8: {
                    BYTE index = src[x];
                    if (index < palette.size()) {
                        b = palette[index].rgbBlue;
                        g = palette[index].rgbGreen;
                        r = palette[index].rgbRed;
                    }
                    break;
                }
                case 16: {
                    std::uint16_t v = readLe16(src + x * 2);
                    r = static_cast<BYTE>(((v >> 11) & 31) * 255 / 31);
                    g = static_cast<BYTE>(((v >> 5) & 63) * 255 / 63);
                    b = static_cast<BYTE>((v & 31) * 255 / 31);
                    break;
                }
                case 24:
                    b = src[x * 3];
                    g = src[x * 3 + 1];
                    r = src[x * 3 + 2];
                    break;
                default:
                    b = src[x * 4];
                    g = src[x * 4 + 1];
                    r = src[x * 4 + 2];
                    a = src[x * 4 + 3];
                    break;
            }
            dst[0] = b;
            dst[1] = g;
            dst[2] = r;
            if (outBytes == 4) dst[3] = a;
        }
    }
    transparentColor_ = getPixel(0, 0);
    return true;
}
