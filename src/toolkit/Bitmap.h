// A device-independent bitmap: top-down rows of blue, green, red (and a fourth
// byte at 32 bits), with a memory drawing context for 32-bit bitmaps.
//
// Invariants: while not empty, the header's height is negative (top-down), the
// stride is width × bytes per pixel rounded up to a multiple of 4, and the
// pixel memory holds stride × height bytes. Every failure is a false result
// with the reason in errorText(); no exception leaves this class.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform/api/GdiHandles.h"
#include "platform/win32.h"

class Bitmap {
public:
    static constexpr COLORREF kNoColor = 0xFF000000;
    // Sides above this are refused by create and by the loaders.
    static constexpr int kMaxSide = 4096;

    Bitmap() = default;
    Bitmap(const Bitmap& other);
    Bitmap& operator=(const Bitmap& other);

    virtual ~Bitmap();
    virtual bool create(int width, int height);
    virtual void release();
    virtual bool saveAs(const std::u16string& path);
    virtual bool isTransparent() const { return transparent_; }
    virtual void setTransparent(bool on) { transparent_ = on; }
    // ".png", ".bmp", ".gif", ".jpg" and ".jpeg" (the extension without regard
    // to case); bits is the depth of the result for BMP files (32 or 24), the
    // others are always 32. A GIF gives its first frame on its transparent
    // colour, which becomes the bitmap's transparent colour.
    virtual bool loadImage(const std::u16string& path, int bits);
    virtual std::u16string getPath() const { return path_; }
    virtual BYTE* getPixels();
    virtual DWORD getPixelRGB(int x, int y) const;
    virtual DWORD getPixelRGBA(int x, int y) const;
    virtual COLORREF getPixel(int x, int y) const;
    virtual int getWidth() const { return header_.biWidth; }
    virtual int getHeight() const { return header_.biHeight < 0 ? -header_.biHeight : header_.biHeight; }
    virtual int getStride() const { return stride_; }
    virtual int getBitsPerPixel() const { return header_.biBitCount; }
    virtual COLORREF getTransparentColor() const { return transparentColor_; }
    virtual int getBytesPerLine() const { return stride_; }
    virtual void setTransparentColor(COLORREF colour) { transparentColor_ = colour; }
    virtual void setPixel(int x, int y, COLORREF colour);

    // Fails when any argument is 0, a side is above kMaxSide or the depth is
    // not 8, 16, 24 or 32.
    bool create(int width, int height, int bits);
    bool empty() const { return pixels_ == nullptr; }
    const BITMAPINFOHEADER& header() const { return header_; }
    const std::u16string& errorText() const { return error_; }
    // The memory drawing context with the section selected (32-bit bitmaps
    // only; null otherwise) and the section itself.
    HDC dc() const { return dc_.get(); }
    HBITMAP section() const { return section_.get(); }

private:
    struct PngReader;

    bool fail(const std::u16string& text);
    bool loadPng(const std::u16string& path);
    bool readPng(PngReader& reader, std::FILE* file);
    bool loadBmp(const std::u16string& path, int bits);
    bool loadDecoded(const std::u16string& path, bool gif);
    bool readWhole(const std::u16string& path, std::vector<BYTE>& data);
    bool savePng(const std::u16string& path);
    bool saveBmp(const std::u16string& path);
    const BYTE* at(int x, int y) const;
    bool writesAlpha() const;
    void packRow(int y);

    BITMAPINFOHEADER header_{};
    int stride_ = 0;
    BYTE* pixels_ = nullptr;
    UniqueBitmap section_;  // 32 bits: the DIB section owning the pixels
    UniqueDC dc_;
    SelectedObject selection_;  // the section in dc_; goes first, so both can go
    std::vector<BYTE> memory_;  // other depths: the pixels
    std::vector<BYTE> row_;     // one PNG row while saving
    std::u16string path_;
    std::u16string error_;
    COLORREF transparentColor_ = kNoColor;
    bool transparent_ = true;
    bool alpha_ = false;  // the fourth byte is meaningful (a PNG with alpha)
};
