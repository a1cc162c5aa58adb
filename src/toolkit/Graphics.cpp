#include "toolkit/Graphics.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "text/NarrowText.h"

namespace {

constexpr COLORREF kUsePen = 0xFFFFFFFF;

// The pixel memory of the picture a walk writes into.
struct Target {
    BYTE* pixels;
    int width;
    int height;
    int stride;
    int bytes;
};

}  // namespace

Graphics::Graphics(int width, int height) {
    image_.create(std::clamp(width, 1, Bitmap::kMaxSide), std::clamp(height, 1, Bitmap::kMaxSide));
    if (HDC d = dc()) SetBkMode(d, TRANSPARENT);
}

Graphics::~Graphics() = default;

void Graphics::usePen() {
    if (pen_ || !dc()) return;
    pen_.reset(
        CreatePen(static_cast<int>(penDescription_.lopnStyle), penDescription_.lopnWidth.x, penDescription_.lopnColor));
    penSelection_.select(dc(), pen_.get());
}

void Graphics::dropPen() {
    if (!pen_) return;
    penSelection_.restore();
    pen_.reset();
}

void Graphics::setPen(int style, int width, COLORREF colour) {
    dropPen();
    penDescription_ = LOGPEN{static_cast<UINT>(style), {width, 0}, colour};
}

void Graphics::setTextColor(COLORREF colour) {
    textColour_ = colour;
    if (dc()) SetTextColor(dc(), colour);
}

void Graphics::setFont(const LOGFONTW& font) {
    UniqueFont fresh(CreateFontIndirectW(&font));
    if (!fresh || !dc()) return;
    fontSelection_.select(dc(), fresh.get());
    font_ = std::move(fresh);  // the font it replaces is no longer selected
}

void Graphics::setBrushColor(COLORREF colour) { brush_.reset(CreateSolidBrush(colour)); }

void Graphics::setOrigin(int x, int y) { origin_ = {x, y}; }

void Graphics::copyTo(Graphics& target, int x, int y, DWORD rop) {
    BitBlt(target.dc(), x + origin_.x, y + origin_.y, image_.getWidth(), image_.getHeight(), dc(), 0, 0, rop);
}

int Graphics::getTextWidth(const std::u16string& text) {
    int widest = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(u"\r\n", start);
        std::u16string_view line(text.data() + start, (end == std::u16string::npos ? text.size() : end) - start);
        RECT r{0, 0, 0, 0};
        if (!line.empty())
            DrawTextW(dc(), line.data(), static_cast<int>(line.size()), &r,
                      DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX);
        widest = std::max(widest, static_cast<int>(r.right - r.left));
        if (end == std::u16string::npos) break;
        start = end + 2;
    }
    return widest;
}

int Graphics::getTextWidth(const std::string& narrow) { return getTextWidth(toWide(narrow)); }

void Graphics::fillRectAlpha(int x, int y, int width, int height, COLORREF colour, int alpha) {
    Bitmap& b = image_.bitmap();
    int bits = b.getBitsPerPixel();
    if (b.empty() || (bits != 24 && bits != 32)) return;
    POINT viewport{0, 0};
    GetViewportOrgEx(dc(), &viewport);
    int left = std::max(0, x + viewport.x), top = std::max(0, y + viewport.y);
    int right = std::min(b.getWidth(), x + viewport.x + width),
        bottom = std::min(b.getHeight(), y + viewport.y + height);
    if (left >= right || top >= bottom) return;
    alpha = std::clamp(alpha, 0, 255);
    // new = ⌊c × alpha / 255⌋ + (old − ⌊old × alpha / 255⌋), through two tables.
    BYTE keep[256];
    int add[3];
    for (int i = 0; i < 256; ++i) keep[i] = static_cast<BYTE>(i - i * alpha / 255);
    add[0] = GetBValue(colour) * alpha / 255;
    add[1] = GetGValue(colour) * alpha / 255;
    add[2] = GetRValue(colour) * alpha / 255;
    int bytes = bits / 8;
    for (int py = top; py < bottom; ++py) {
        BYTE* p = b.getPixels() + static_cast<std::size_t>(py) * b.getStride() + static_cast<std::size_t>(left) * bytes;
        for (int px = left; px < right; ++px, p += bytes)
            for (int c = 0; c < 3; ++c) p[c] = static_cast<BYTE>(add[c] + keep[p[c]]);
    }
}

void Graphics::fillRect(int x, int y, int width, int height) { fillRect(Rect{x, y, width, height}); }

void Graphics::fillRect(const Rect& r) {
    if (!brush_) return;
    RECT area{r.x, r.y, r.x + r.width, r.y + r.height};
    FillRect(dc(), &area, brush_.get());
}

void Graphics::fillPolygon(const POINT points[4]) {
    usePen();
    const SelectedObject brush(dc(), brush_ ? static_cast<HGDIOBJ>(brush_.get()) : GetStockObject(NULL_BRUSH));
    Polygon(dc(), points, 4);
}

void Graphics::drawLine(int x1, int y1, int x2, int y2, COLORREF colour) {
    POINT before;
    MoveToEx(dc(), x1, y1, &before);
    if (colour == kUsePen) {
        usePen();
        LineTo(dc(), x2, y2);
    } else {
        const UniquePen solid(CreatePen(PS_SOLID, 0, colour));
        const SelectedObject pen(dc(), solid.get());
        LineTo(dc(), x2, y2);
    }
    MoveToEx(dc(), before.x, before.y, nullptr);
}

void Graphics::drawPolygon(const POINT* points, int count, int penWidth, COLORREF colour) {
    if (!points || count < 2) return;
    const UniquePen solid(CreatePen(PS_SOLID, penWidth, colour));
    const SelectedObject pen(dc(), solid.get());
    std::vector<POINT> closed(points, points + count);
    closed.push_back(points[0]);
    Polyline(dc(), closed.data(), static_cast<int>(closed.size()));
}

void Graphics::drawBitmapHandle(HBITMAP bitmap, const Rect& d, const Rect& s) {
    const UniqueDC source(CreateCompatibleDC(dc()));
    const SelectedObject selection(source.get(), bitmap);
    if (selection)
        StretchBlt(dc(), d.x - origin_.x, d.y - origin_.y, d.width, d.height, source.get(), s.x, s.y, s.width, s.height,
                   SRCCOPY);
}

namespace {

// The nearest-neighbour walk shared by drawBitmap and drawImageAlpha: calls
// put(destination pixel, source pixel) for every pixel not of the key colour.
template <typename Put>
void walk(Bitmap& from, Bitmap& to, const Rect& d, const Rect& s, bool keyed, COLORREF key, Put put) {
    BYTE* src = from.getPixels();
    BYTE* dst = to.getPixels();
    if (!src || !dst) return;
    int n = d.width, rows = std::abs(d.height);
    int sb = from.getBitsPerPixel() / 8, db = to.getBitsPerPixel() / 8;
    if (sb < 3 || db < 3) return;
    std::vector<int> column(static_cast<std::size_t>(std::max(0, n)));
    for (int j = 0; j < n; ++j) column[j] = static_cast<int>(s.x + static_cast<double>(j) * s.width / n);
    for (int i = 0; i < rows; ++i) {
        int dy = d.y + i;
        if (dy < 0 || dy >= to.getHeight()) continue;
        int sy = static_cast<int>(static_cast<double>(i) * s.height / rows + s.y);
        for (int j = 0; j < n; ++j) {
            int dx = d.x + j;
            if (dx < 0) continue;
            if (dx >= to.getWidth()) break;
            int sx = column[j];
            if (sx < 0 || sy < 0 || sx >= from.getWidth() || sy >= from.getHeight()) break;
            BYTE* sp = src + static_cast<std::size_t>(sy) * from.getStride() + static_cast<std::size_t>(sx) * sb;
            if (keyed && RGB(sp[2], sp[1], sp[0]) == key) continue;
            BYTE* dp = dst + static_cast<std::size_t>(dy) * to.getStride() + static_cast<std::size_t>(dx) * db;
            put(dp, sp);
        }
    }
}

}  // namespace

void Graphics::drawBitmap(Bitmap& bitmap, const Rect& d, const Rect& s) {
    if (d.width == 0 || d.height == 0 || s.width == 0 || s.height == 0) return;
    if (!bitmap.isTransparent()) {
        if (bitmap.dc())
            StretchBlt(dc(), d.x - origin_.x, d.y - origin_.y, d.width, d.height, bitmap.dc(), s.x, s.y, s.width,
                       s.height, SRCCOPY);
        return;
    }
    walk(bitmap, image_.bitmap(), d, s, true, bitmap.getTransparentColor(), [](BYTE* dp, const BYTE* sp) {
        dp[0] = sp[0];
        dp[1] = sp[1];
        dp[2] = sp[2];
    });
}

void Graphics::drawImage(Image& image, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh) {
    drawBitmap(image.bitmap(), Rect{dx, dy, dw, dh}, Rect{sx, sy, sw, sh});
}

void Graphics::drawImageAlpha(Image& image, const Rect& d, const Rect& s, DWORD alphaColour) {
    if (alphaColour > 0xFEFFFFFF) {
        drawBitmap(image.bitmap(), d, s);
        return;
    }
    if (d.width == 0 || d.height == 0 || s.width == 0 || s.height == 0) return;
    int alpha = static_cast<int>(alphaColour >> 24);
    BYTE t[256], u[256];
    for (int i = 0; i < 256; ++i) {
        t[i] = static_cast<BYTE>(i * alpha / 255);
        u[i] = static_cast<BYTE>(i - t[i]);
    }
    Bitmap& b = image.bitmap();
    walk(b, image_.bitmap(), d, s, b.isTransparent(), b.getTransparentColor(), [&](BYTE* dp, const BYTE* sp) {
        for (int c = 0; c < 3; ++c) dp[c] = static_cast<BYTE>(u[dp[c]] + t[sp[c]]);
    });
}

void Graphics::drawImage(Image& image, int x, int y) {
    int w = image.getWidth(), h = image.getHeight();
    drawImage(image, x, y, w, h, 0, 0, w, h);
}

void Graphics::drawPlacedImage(Image& image) {
    DWORD a = static_cast<DWORD>(std::floor(image.opacity * 255)) * 0x1000000u + 0xFFFFFF;
    Rect d{image.x, image.y, static_cast<int>(image.getWidth() * image.scaleX),
           static_cast<int>(image.getHeight() * image.scaleY)};
    drawImageAlpha(image, d, Rect{0, 0, image.getWidth(), image.getHeight()}, a);
}

void Graphics::drawText(LPCWSTR text, int x, int y) { drawText(std::u16string(text ? text : u""), x, y); }

void Graphics::drawText(const std::u16string& text, int x, int y) {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc(), &tm);
    int lineHeight = tm.tmHeight;
    int left = x - origin_.x;
    int top = y - origin_.y;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\n') continue;
        std::size_t end = text.find(u'\r', start);
        if (end == std::u16string::npos || end > i) end = i;
        if (end > start) TextOutW(dc(), left, top, text.data() + start, static_cast<int>(end - start));
        top += lineHeight;
        start = i + 1;
    }
    if (start < text.size()) TextOutW(dc(), left, top, text.data() + start, static_cast<int>(text.size() - start));
}

void Graphics::drawOutlinedText(const std::u16string& text, int x, int y, COLORREF colour, COLORREF outline) {
    COLORREF before = textColour_;
    setTextColor(outline);
    drawText(text, x - 1, y);
    drawText(text, x, y - 1);
    drawText(text, x + 1, y);
    drawText(text, x, y + 1);
    setTextColor(colour);
    drawText(text, x, y);
    setTextColor(before);
}

void Graphics::drawRect(int x, int y, int width, int height) {
    usePen();
    const SelectedObject hollow(dc(), GetStockObject(NULL_BRUSH));
    Rectangle(dc(), x, y, x + width, y + height);
}

void Graphics::drawRoundRect(int x, int y, int width, int height, int penWidth, COLORREF colour, int radius) {
    const UniquePen solid(CreatePen(PS_SOLID, penWidth, colour));
    const SelectedObject pen(dc(), solid.get());
    const SelectedObject hollow(dc(), GetStockObject(NULL_BRUSH));
    RoundRect(dc(), x, y, x + width, y + height, radius, radius);
}

void Graphics::drawEllipse(int x, int y, int width, int height) {
    usePen();
    const SelectedObject brush(dc(), brush_ ? static_cast<HGDIOBJ>(brush_.get()) : GetStockObject(NULL_BRUSH));
    Ellipse(dc(), x, y, x + width, y + height);
}
