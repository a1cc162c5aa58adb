// The drawing context handed to every component's paint operation: an
// off-screen 32-bit picture with a pen, a brush, a font and a text colour.
// Components draw here and the picture is copied to the window in one block
// transfer.
//
// The pen is made from its description when a drawing operation needs it and
// released when it is replaced; the brush is none until one is set. The pen
// and the font stay selected into the picture while they are held; the
// picture gets its own objects back when they go.
#pragma once

#include <string>

#include "platform/api/GdiHandles.h"
#include "toolkit/Image.h"

class Graphics {
public:
    // Each side is limited to 4096 pixels.
    Graphics(int width, int height);
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    virtual ~Graphics();
    virtual void copyTo(Graphics& target, int x, int y, DWORD rop);
    virtual int getTextWidth(const std::u16string& text);
    virtual int getTextWidth(const std::string& narrow);
    virtual void fillRectAlpha(int x, int y, int width, int height, COLORREF colour, int alpha);
    virtual void fillRect(int x, int y, int width, int height);
    virtual void fillRect(const Rect& rect);
    virtual void fillPolygon(const POINT points[4]);
    // colour -1 (0xFFFFFFFF): draw with the current pen.
    virtual void drawLine(int x1, int y1, int x2, int y2, COLORREF colour);
    virtual void drawPolygon(const POINT* points, int count, int penWidth, COLORREF colour);
    virtual void drawBitmapHandle(HBITMAP bitmap, const Rect& destination, const Rect& source);
    virtual void drawBitmap(Bitmap& bitmap, const Rect& destination, const Rect& source);
    virtual void drawImage(Image& image, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh);
    virtual void drawImageAlpha(Image& image, const Rect& destination, const Rect& source, DWORD alphaColour);
    virtual void drawImage(Image& image, int x, int y);
    virtual void drawPlacedImage(Image& image);
    virtual void drawText(LPCWSTR text, int x, int y);
    virtual void drawText(const std::u16string& text, int x, int y);
    virtual void drawOutlinedText(const std::u16string& text, int x, int y, COLORREF colour, COLORREF outline);

    void setTextColor(COLORREF colour);
    COLORREF textColor() const { return textColour_; }
    // The font is copied into a font object owned here.
    void setFont(const LOGFONTW& font);
    void setBrushColor(COLORREF colour);
    void setPen(int style, int width, COLORREF colour);
    void drawRect(int x, int y, int width, int height);
    void drawRoundRect(int x, int y, int width, int height, int penWidth, COLORREF colour, int radius);
    void drawEllipse(int x, int y, int width, int height);
    void setOrigin(int x, int y);
    POINT origin() const { return origin_; }
    HDC dc() const { return image_.bitmap().dc(); }
    Image& image() { return image_; }

private:
    void usePen();
    void dropPen();

    // Declared before the objects selected into its DC, so it goes last.
    Image image_;
    POINT origin_{0, 0};
    UniqueBrush brush_;
    LOGPEN penDescription_{PS_SOLID, {1, 0}, 0xFFFFFF};
    UniquePen pen_;
    SelectedObject penSelection_;  // after pen_: deselects it before it is deleted
    UniqueFont font_;
    SelectedObject fontSelection_;
    COLORREF textColour_ = 0;
};
