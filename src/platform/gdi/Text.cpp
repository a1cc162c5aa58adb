// Fonts and text on Pango. Measuring and drawing share one layout recipe
// (hinted metrics, no kerning or ligatures), so that widths measured piece by
// piece add up to what is drawn, as GDI text does.
#include "platform/gdi/GdiObjects.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/common/Unicode.h"
#include "platform/gdi/GdiObjects.h"

using namespace veltrix::platform;
namespace unicode = veltrix::unicode;

namespace {

Gdi& gdi() { return Gdi::instance(); }

constexpr const char* kJapaneseFallback = "IPAPGothic";

struct FaceMapping {
    const char16_t* windowsFace;
    const char* family;
};

// The Windows faces the program names, mapped to installed families.
constexpr FaceMapping kFaces[] = {
    {u"MS UI Gothic", "IPAPGothic"},
    {u"MS PGothic", "IPAPGothic"},
    {u"MS Gothic", "IPAGothic"},
    {u"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF", "IPAGothic"},
    {u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF", "IPAPGothic"},
    {u"Meiryo", "IPAPGothic"},
    {u"Meiryo UI", "IPAPGothic"},
    {u"Yu Gothic", "IPAPGothic"},
    {u"MS Mincho", "IPAMincho"},
    {u"MS PMincho", "IPAPMincho"},
    {u"Times New Roman", "DejaVu Serif"},
    {u"Georgia", "DejaVu Serif"},
    {u"Courier New", "DejaVu Sans Mono"},
    {u"Consolas", "DejaVu Sans Mono"},
    {u"Lucida Console", "DejaVu Sans Mono"},
    {u"Arial", "DejaVu Sans"},
    {u"Tahoma", "DejaVu Sans"},
    {u"Segoe UI", "DejaVu Sans"},
    {u"Verdana", "DejaVu Sans"},
    {u"MS Shell Dlg", "DejaVu Sans"},
    {u"MS Shell Dlg 2", "DejaVu Sans"},
    {u"System", "DejaVu Sans"},
};

std::u16string faceOf(const LOGFONTW& lf) {
    std::u16string face;
    for (int i = 0; i < LF_FACESIZE && lf.lfFaceName[i]; ++i) face += lf.lfFaceName[i];
    return face;
}

std::string familyList(const std::u16string& face) {
    std::string family;
    for (const auto& m : kFaces)
        if (face == m.windowsFace) family = m.family;
    if (family.empty()) family = face.empty() ? "DejaVu Sans" : unicode::utf16ToUtf8(face);
    // Japanese text must always render, whatever the face.
    return family + "," + kJapaneseFallback;
}

UniquePangoLayout newLayout(const Font& font, const std::string& utf8) {
    UniquePangoLayout owner(pango_layout_new(pangoContext()));
    PangoLayout* layout = owner.get();
    pango_layout_set_font_description(layout, font.description.get());
    UniquePangoAttrList attributes(pango_attr_list_new());
    PangoAttrList* attrs = attributes.get();
    pango_attr_list_insert(attrs, pango_attr_font_features_new("kern 0, liga 0, clig 0"));
    if (font.logFont.lfUnderline) pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    if (font.logFont.lfStrikeOut) pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
    pango_layout_set_attributes(layout, attrs);
    pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
    return owner;
}

void measure(Font& font) {
    UniquePangoLayout sample = newLayout(font, "Agjy\xE6\x97\xA5\xE6\x9C\xAC");  // Latin and Japanese
    PangoLayout* layout = sample.get();
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    int baseline = PANGO_PIXELS_CEIL(pango_layout_get_baseline(layout));
    font.ascent = baseline;
    font.descent = std::max(0, logical.height - baseline);
    auto width = [&](const char* s) {
        UniquePangoLayout l = newLayout(font, s);
        PangoRectangle r;
        pango_layout_get_pixel_extents(l.get(), nullptr, &r);
        return r.width;
    };
    font.averageWidth = std::max(1, (width("abcdefghijklmnopqrstuvwxyz") + 13) / 26);
    font.maxWidth = std::max(width("W"), width("\xE6\x97\xA5"));
}

Font* currentFont(const DeviceContext& dc) {
    Font* f = fontOf(gdi().object(dc.state.font));
    if (!f) f = fontOf(gdi().object(GetStockObject(DEFAULT_GUI_FONT)));
    return f;
}

// A laid-out single line. Shared through the cache below, so it is held by
// shared_ptr and never changed after it is made. Most lines are a Pango
// layout; a number is a run of glyphs placed side by side (see NumberGlyphs).
struct Line {
    Line(UniquePangoLayout l, int w, int b) : layout(std::move(l)), width(w), baseline(b) {}
    Line(UniqueGObject<PangoFont> f, UniquePangoGlyphString g, int w, int b)
        : glyphFont(std::move(f)), glyphs(std::move(g)), width(w), baseline(b) {}

    // Draws the line with the top of its layout box at (x, top).
    void show(cairo_t* cr, double x, double top) const {
        if (layout) {
            cairo_move_to(cr, x, top);
            pango_cairo_show_layout(cr, layout.get());
        } else {
            cairo_move_to(cr, x, top + baseline);
            pango_cairo_show_glyph_string(cr, glyphFont.get(), glyphs.get());
        }
    }
    bool wrapped() const { return layout && pango_layout_get_width(layout.get()) > 0; }

    UniquePangoLayout layout;
    UniqueGObject<PangoFont> glyphFont;
    UniquePangoGlyphString glyphs;
    int width;
    int baseline;
};

// Clocks and slider values change on every tick, so their lines are always
// new to the cache, and laying a line out (itemizing, shaping) costs far more
// than drawing it. Kerning and ligatures are off, so a number's glyphs stand
// side by side exactly as shaping would place them: each character is shaped
// once per font and numbers are put together from those glyphs.
class NumberGlyphs {
public:
    static constexpr std::u16string_view kCharacters = u"0123456789:./-+%, ";

    explicit NumberGlyphs(const Font& font) {
        // Underlines and strike-outs are layout attributes: such fonts keep
        // the ordinary path.
        if (font.logFont.lfUnderline || font.logFont.lfStrikeOut) return;
        for (std::size_t i = 0; i < kCharacters.size(); ++i) {
            const char c = static_cast<char>(kCharacters[i]);
            UniquePangoLayout layout = newLayout(font, std::string(1, c));
            PangoLayoutLine* line = pango_layout_get_line_readonly(layout.get(), 0);
            if (!line || !line->runs || line->runs->next) return;
            auto* run = static_cast<PangoGlyphItem*>(line->runs->data);
            if (run->glyphs->num_glyphs != 1) return;
            PangoFont* runFont = run->item->analysis.font;
            if (i == 0) {
                font_.reset(PANGO_FONT(g_object_ref(runFont)));
                baseline_ = PANGO_PIXELS(pango_layout_get_baseline(layout.get()));
            } else if (runFont != font_.get()) {
                return;  // a fallback font for one character: shaping could differ
            }
            glyphs_[i] = run->glyphs->glyphs[0];
        }
        usable_ = true;
    }

    // The line for text, or none when a character is not one of ours.
    std::shared_ptr<const Line> line(std::u16string_view text) const {
        if (!usable_ || text.empty() || text.size() > 64) return nullptr;
        UniquePangoGlyphString glyphs(pango_glyph_string_new());
        pango_glyph_string_set_size(glyphs.get(), static_cast<gint>(text.size()));
        int width = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const std::size_t k = kCharacters.find(text[i]);
            if (k == std::u16string_view::npos) return nullptr;
            glyphs->glyphs[i] = glyphs_[k];
            glyphs->log_clusters[i] = static_cast<gint>(i);
            width += glyphs_[k].geometry.width;
        }
        return std::make_shared<const Line>(UniqueGObject<PangoFont>(PANGO_FONT(g_object_ref(font_.get()))),
                                            std::move(glyphs), PANGO_PIXELS(width), baseline_);
    }

private:
    bool usable_ = false;
    UniqueGObject<PangoFont> font_;
    PangoGlyphInfo glyphs_[kCharacters.size()]{};
    int baseline_ = 0;
};

// Repaints draw the same texts again and again; laying a line out costs far
// more than drawing it, so recent lines are kept. Bounded: cleared when full.
class LineCache {
public:
    std::shared_ptr<const Line> get(const Font& font, LPCWSTR text, int count) {
        std::u16string key(reinterpret_cast<const char16_t*>(&font.serial), sizeof font.serial / sizeof(char16_t));
        key.append(text, static_cast<std::size_t>(count));
        auto it = lines_.find(key);
        if (it != lines_.end()) return it->second;
        if (lines_.size() >= kCapacity) lines_.clear();
        std::shared_ptr<const Line> line =
            numbersOf(font).line(std::u16string_view(text, static_cast<std::size_t>(count)));
        if (!line) line = laidOut(font, text, count);
        lines_.emplace(std::move(key), line);
        return line;
    }

private:
    static std::shared_ptr<const Line> laidOut(const Font& font, LPCWSTR text, int count) {
        std::string utf8 = unicode::utf16ToUtf8(std::u16string_view(text, static_cast<std::size_t>(count)));
        UniquePangoLayout layout = newLayout(font, utf8);
        pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
        PangoRectangle logical;
        pango_layout_get_pixel_extents(layout.get(), nullptr, &logical);
        const int baseline = PANGO_PIXELS(pango_layout_get_baseline(layout.get()));
        return std::make_shared<const Line>(std::move(layout), logical.width, baseline);
    }

    const NumberGlyphs& numbersOf(const Font& font) {
        auto it = numbers_.find(font.serial);
        if (it == numbers_.end()) {
            if (numbers_.size() >= kFonts) numbers_.clear();
            it = numbers_.emplace(font.serial, std::make_unique<NumberGlyphs>(font)).first;
        }
        return *it->second;
    }

    static constexpr std::size_t kCapacity = 2048;
    static constexpr std::size_t kFonts = 64;
    std::unordered_map<std::u16string, std::shared_ptr<const Line>> lines_;
    std::unordered_map<std::uint64_t, std::unique_ptr<NumberGlyphs>> numbers_;
};

std::shared_ptr<const Line> layoutLine(const Font& font, LPCWSTR text, int count) {
    static LineCache cache;  // used under the GDI mutex only
    return cache.get(font, text, std::max(0, count));
}

int lengthOf(LPCWSTR text, int count) {
    if (!text) return 0;
    if (count >= 0) return count;
    int n = 0;
    while (text[n]) ++n;
    return n;
}

// Draws one line with its cell's top-left at (x, y) in logical coordinates.
void showLine(cairo_t* cr, const DeviceContext& dc, const Font& font, const Line& line, double x, double y) {
    setColour(cr, dc.state.textColour);
    line.show(cr, x, y + font.ascent - line.baseline);
}

}  // namespace

namespace veltrix::platform {

PangoContext* pangoContext() {
    static PangoContext* context = [] {
        UniqueGObject<PangoFontMap> map(pango_cairo_font_map_new());
        PangoContext* c = pango_font_map_create_context(map.get());
        UniqueCairoFontOptions options(cairo_font_options_create());
        cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_ON);
        cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_SLIGHT);
        pango_cairo_context_set_font_options(c, options.get());
        pango_cairo_context_set_resolution(c, 96);
        return c;
    }();
    return context;
}

}  // namespace veltrix::platform

namespace {

// What a LOGFONT comes to once measured. Painters make the same fonts again
// on every paint, and measuring lays text out four times; the same LOGFONT
// also keeps its serial, so the lines laid out for it are found again.
struct FontLook {
    std::uint64_t serial = 0;
    double size = 0;  // absolute, in Pango units
    int ascent = 0;
    int descent = 0;
    int averageWidth = 0;
    int maxWidth = 0;
};

// The LOGFONT's fields and its face up to the terminator (the bytes after it
// are anything the caller left there).
std::u16string lookKey(const LOGFONTW& lf) {
    std::u16string key;
    for (LONG n : {lf.lfHeight, lf.lfWidth, lf.lfEscapement, lf.lfOrientation, lf.lfWeight}) {
        const auto bits = static_cast<std::uint32_t>(n);
        key += static_cast<char16_t>(bits & 0xFFFF);
        key += static_cast<char16_t>(bits >> 16);
    }
    for (BYTE b : {lf.lfItalic, lf.lfUnderline, lf.lfStrikeOut, lf.lfCharSet, lf.lfOutPrecision, lf.lfClipPrecision,
                   lf.lfQuality, lf.lfPitchAndFamily})
        key += static_cast<char16_t>(b);
    return key + faceOf(lf);
}

FontLook lookOf(const LOGFONTW& lf, PangoFontDescription* description) {
    static std::unordered_map<std::u16string, FontLook> looks;  // used under the GDI mutex only
    static std::uint64_t nextSerial = 1;
    std::u16string key = lookKey(lf);
    if (auto it = looks.find(key); it != looks.end()) return it->second;
    Font probe;
    probe.logFont = lf;
    probe.description.reset(pango_font_description_copy(description));
    const int height = lf.lfHeight == 0 ? -12 : lf.lfHeight;
    const int em = std::clamp(std::abs(height), 1, 2000);
    double size = em * PANGO_SCALE;
    pango_font_description_set_absolute_size(probe.description.get(), size);
    measure(probe);
    if (height > 0 && probe.ascent + probe.descent > 0) {
        // A positive height is the cell (ascent plus descent), not the em.
        size = std::max(1.0, static_cast<double>(em) * em / (probe.ascent + probe.descent)) * PANGO_SCALE;
        pango_font_description_set_absolute_size(probe.description.get(), size);
        measure(probe);
    }
    if (looks.size() >= 256) looks.clear();
    FontLook look{nextSerial++, size, probe.ascent, probe.descent, probe.averageWidth, probe.maxWidth};
    looks.emplace(std::move(key), look);
    return look;
}

}  // namespace

HFONT CreateFontIndirectW(const LOGFONTW* lf) {
    if (!lf) return nullptr;
    std::lock_guard lock(gdi().mutex);
    auto font = std::make_unique<Font>();
    font->logFont = *lf;
    font->description.reset(pango_font_description_new());
    pango_font_description_set_family(font->description.get(), familyList(faceOf(*lf)).c_str());
    pango_font_description_set_weight(font->description.get(), static_cast<PangoWeight>(std::clamp<LONG>(
                                                                   lf->lfWeight ? lf->lfWeight : 400, 100, 1000)));
    pango_font_description_set_style(font->description.get(), lf->lfItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    const FontLook look = lookOf(*lf, font->description.get());
    pango_font_description_set_absolute_size(font->description.get(), look.size);
    font->serial = look.serial;
    font->ascent = look.ascent;
    font->descent = look.descent;
    font->averageWidth = look.averageWidth;
    font->maxWidth = look.maxWidth;
    return static_cast<HFONT>(gdi().add(GdiObject{OBJ_FONT, false, 0, std::move(font)}));
}

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, LPCWSTR faceName) {
    LOGFONTW lf{height,
                width,
                escapement,
                orientation,
                weight,
                static_cast<BYTE>(italic),
                static_cast<BYTE>(underline),
                static_cast<BYTE>(strikeOut),
                static_cast<BYTE>(charSet),
                static_cast<BYTE>(outPrecision),
                static_cast<BYTE>(clipPrecision),
                static_cast<BYTE>(quality),
                static_cast<BYTE>(pitchAndFamily),
                {}};
    for (int i = 0; faceName && faceName[i] && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = faceName[i];
    return CreateFontIndirectW(&lf);
}

BOOL GetTextMetricsW(HDC handle, TEXTMETRICW* tm) {
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dc = gdi().dc(handle);
    if (!dc || !tm) return FALSE;
    Font* f = currentFont(*dc);
    *tm = TEXTMETRICW{};
    tm->tmAscent = f->ascent;
    tm->tmDescent = f->descent;
    tm->tmHeight = f->ascent + f->descent;
    tm->tmInternalLeading = std::max(
        0, static_cast<int>(tm->tmHeight) -
               std::abs(static_cast<int>(pango_font_description_get_size(f->description.get()) / PANGO_SCALE)));
    tm->tmAveCharWidth = f->averageWidth;
    tm->tmMaxCharWidth = f->maxWidth;
    tm->tmWeight = f->logFont.lfWeight ? f->logFont.lfWeight : FW_NORMAL;
    tm->tmDigitizedAspectX = tm->tmDigitizedAspectY = 96;
    tm->tmFirstChar = 0x20;
    tm->tmLastChar = 0xFFFC;
    tm->tmDefaultChar = u'?';
    tm->tmBreakChar = u' ';
    tm->tmItalic = f->logFont.lfItalic;
    tm->tmUnderlined = f->logFont.lfUnderline;
    tm->tmStruckOut = f->logFont.lfStrikeOut;
    tm->tmPitchAndFamily = 0x06;  // variable pitch, TrueType
    tm->tmCharSet = f->logFont.lfCharSet;
    return TRUE;
}

int GetTextFaceW(HDC handle, int size, LPWSTR name) {
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dc = gdi().dc(handle);
    if (!dc) return 0;
    std::u16string face = faceOf(currentFont(*dc)->logFont);
    if (!name) return static_cast<int>(face.size()) + 1;
    int n = std::min<int>(size - 1, static_cast<int>(face.size()));
    if (n < 0) return 0;
    std::copy_n(face.data(), n, name);
    name[n] = 0;
    return n;
}

BOOL GetTextExtentPoint32W(HDC handle, LPCWSTR text, int count, LPSIZE size) {
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dc = gdi().dc(handle);
    if (!dc || !size || count < 0 || (!text && count > 0)) return FALSE;
    Font* f = currentFont(*dc);
    size->cy = f->ascent + f->descent;
    if (count == 0) {
        size->cx = 0;
        return TRUE;
    }
    size->cx = layoutLine(*f, text, count)->width;
    return TRUE;
}

BOOL GetTextExtentExPointW(HDC handle, LPCWSTR text, int count, int maxExtent, LPINT fit, LPINT dx, LPSIZE size) {
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dc = gdi().dc(handle);
    if (!dc || count < 0 || (!text && count > 0)) return FALSE;
    Font* f = currentFont(*dc);
    std::vector<int> offsets;
    std::string utf8 = unicode::utf16ToUtf8(std::u16string_view(text, static_cast<std::size_t>(count)), offsets);
    UniquePangoLayout owner = newLayout(*f, utf8);
    PangoLayout* layout = owner.get();
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
    int fitted = 0;
    for (int i = 0; i < count; ++i) {
        int x = 0;
        pango_layout_line_index_to_x(line, offsets[i], TRUE, &x);
        // A surrogate pair's two units map to the same byte offset, so they
        // share the pair's edge.
        const int px = PANGO_PIXELS(x);
        if (dx) dx[i] = px;
        if (px <= maxExtent || maxExtent < 0) fitted = i + 1;
    }
    if (fit) *fit = fitted;
    if (size) {
        PangoRectangle logical;
        pango_layout_get_pixel_extents(layout, nullptr, &logical);
        size->cx = logical.width;
        size->cy = f->ascent + f->descent;
    }
    return TRUE;
}

BOOL ExtTextOutW(HDC handle, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const INT* dx) {
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dc = gdi().dc(handle);
    if (!dc) return FALSE;
    UniqueCairo drawing = beginDrawing(*dc);
    cairo_t* cr = drawing.get();
    if (!cr) return TRUE;
    Font* f = currentFont(*dc);
    int n = static_cast<int>(count);
    if (!text) n = 0;
    std::shared_ptr<const Line> line = layoutLine(*f, text, n);
    int width = line->width;
    if (dx) {
        width = 0;
        for (int i = 0; i < n; ++i) width += dx[i];
    }
    int height = f->ascent + f->descent;
    UINT align = dc->state.textAlign;
    if (align & TA_UPDATECP) {
        x = dc->state.position.x;
        y = dc->state.position.y;
    }
    const int referenceX = x, referenceY = y;
    if ((align & TA_CENTER) == TA_CENTER) {
        x -= width / 2;
    } else if (align & TA_RIGHT) {
        x -= width;
    }
    if ((align & TA_BASELINE) == TA_BASELINE) {
        y -= f->ascent;
    } else if (align & TA_BOTTOM) {
        y -= height;
    }
    if (rect && (options & ETO_OPAQUE)) {
        setColour(cr, dc->state.backgroundColour);
        cairo_rectangle(cr, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
        cairo_fill(cr);
    }
    if (rect && (options & ETO_CLIPPED)) {
        cairo_rectangle(cr, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
        cairo_clip(cr);
    }
    // A font with an escapement turns the text about the reference point
    // (tenths of a degree, counter-clockwise); the alignment then applies
    // along the turned baseline, as in GDI.
    const bool turned = f->logFont.lfEscapement % 3600 != 0;
    if (turned) {
        cairo_translate(cr, referenceX, referenceY);
        cairo_rotate(cr, -f->logFont.lfEscapement * M_PI / 1800.0);
        x -= referenceX;
        y -= referenceY;
    }
    if (dc->state.backgroundMode == OPAQUE && n > 0) {
        setColour(cr, dc->state.backgroundColour);
        cairo_rectangle(cr, x, y, width, height);
        cairo_fill(cr);
    }
    if (dx) {
        double cx = x;
        for (int i = 0; i < n; ++i) {
            int units = (unicode::isHighSurrogate(text[i]) && i + 1 < n) ? 2 : 1;
            showLine(cr, *dc, *f, *layoutLine(*f, text + i, units), cx, y);
            for (int k = 0; k < units; ++k) cx += dx[i + k];
            i += units - 1;
        }
    } else if (n > 0) {
        showLine(cr, *dc, *f, *line, x, y);
    }
    if ((align & TA_UPDATECP) && !turned) dc->state.position.x = x + width;
    if ((align & TA_UPDATECP) && turned) {
        const double angle = f->logFont.lfEscapement * M_PI / 1800.0;
        dc->state.position.x = referenceX + static_cast<int>(std::lround(width * std::cos(angle)));
        dc->state.position.y = referenceY - static_cast<int>(std::lround(width * std::sin(angle)));
    }
    return TRUE;
}

BOOL TextOutW(HDC handle, int x, int y, LPCWSTR text, int count) {
    return ExtTextOutW(handle, x, y, 0, nullptr, text, static_cast<UINT>(std::max(0, count)), nullptr);
}

int DrawTextW(HDC handle, LPCWSTR text, int count, LPRECT rect, UINT format) {
    std::lock_guard lock(gdi().mutex);
    DeviceContext* dc = gdi().dc(handle);
    if (!dc || !rect || !text) return 0;
    Font* f = currentFont(*dc);
    int n = lengthOf(text, count);
    // "&x" underlines x, "&&" is "&", unless DT_NOPREFIX.
    std::u16string shown;
    std::vector<int> underline;
    for (int i = 0; i < n; ++i) {
        if (!(format & DT_NOPREFIX) && text[i] == u'&' && i + 1 < n) {
            ++i;
            if (text[i] != u'&') underline.push_back(static_cast<int>(shown.size()));
        }
        shown += text[i];
    }
    const int boxWidth = rect->right - rect->left;
    const int lineHeight = f->ascent + f->descent;
    int lines = 1;
    int height = lineHeight;
    std::shared_ptr<const Line> line;
    if ((format & DT_SINGLELINE) && underline.empty() && !(format & (DT_END_ELLIPSIS | DT_EXPANDTABS))) {
        // A plain line (labels, buttons, values) is drawn again on every
        // paint: it is laid out once, in the lines shared with ExtTextOutW.
        line = layoutLine(*f, shown.data(), static_cast<int>(shown.size()));
    } else {
        std::vector<int> offsets;
        std::string utf8 = unicode::utf16ToUtf8(shown, offsets);
        UniquePangoLayout owner = newLayout(*f, utf8);
        PangoLayout* layout = owner.get();
        if (!underline.empty()) {
            UniquePangoAttrList attributes(pango_attr_list_copy(pango_layout_get_attributes(layout)));
            PangoAttrList* attrs = attributes.get();
            for (int u : underline) {
                PangoAttribute* a = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
                a->start_index = static_cast<guint>(offsets[u]);
                a->end_index = static_cast<guint>(offsets[u + 1]);
                pango_attr_list_insert(attrs, a);
            }
            pango_layout_set_attributes(layout, attrs);
        }
        if (format & DT_SINGLELINE) pango_layout_set_single_paragraph_mode(layout, TRUE);
        if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE)) {
            pango_layout_set_width(layout, std::max(1, boxWidth) * PANGO_SCALE);
            pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
        } else if (format & DT_END_ELLIPSIS) {
            pango_layout_set_width(layout, std::max(1, boxWidth) * PANGO_SCALE);
            pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
        }
        if (format & DT_EXPANDTABS) {
            UniquePangoTabArray tabs(pango_tab_array_new_with_positions(1, TRUE, PANGO_TAB_LEFT, 8 * f->averageWidth));
            pango_layout_set_tabs(layout, tabs.get());
        }
        pango_layout_set_alignment(layout, (format & DT_CENTER)  ? PANGO_ALIGN_CENTER
                                           : (format & DT_RIGHT) ? PANGO_ALIGN_RIGHT
                                                                 : PANGO_ALIGN_LEFT);
        PangoRectangle logical;
        pango_layout_get_pixel_extents(layout, nullptr, &logical);
        lines = pango_layout_get_line_count(layout);
        if (lines > 1) height = std::max(logical.height, utf8.empty() ? lineHeight : 0);
        const int baseline = PANGO_PIXELS(pango_layout_get_baseline(layout));
        line = std::make_shared<const Line>(std::move(owner), logical.width, baseline);
    }
    if (format & DT_CALCRECT) {
        rect->right = rect->left + line->width;
        rect->bottom = rect->top + height;
        return height;
    }
    int x = rect->left;
    const bool wrapped = line->wrapped();
    if (!wrapped) {
        if (format & DT_CENTER)
            x = rect->left + (boxWidth - line->width) / 2;
        else if (format & DT_RIGHT)
            x = rect->right - line->width;
    }
    int y = rect->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = rect->top + (rect->bottom - rect->top - height) / 2;
        else if (format & DT_BOTTOM)
            y = rect->bottom - height;
    }
    UniqueCairo drawing = beginDrawing(*dc);
    if (cairo_t* cr = drawing.get()) {
        if (!(format & DT_NOCLIP)) {
            cairo_rectangle(cr, rect->left, rect->top, boxWidth, rect->bottom - rect->top);
            cairo_clip(cr);
        }
        if (dc->state.backgroundMode == OPAQUE) {
            setColour(cr, dc->state.backgroundColour);
            cairo_rectangle(cr, wrapped ? rect->left : x, y, wrapped ? boxWidth : line->width, height);
            cairo_fill(cr);
        }
        setColour(cr, dc->state.textColour);
        line->show(cr, wrapped ? rect->left : x, y + (lines <= 1 ? f->ascent - line->baseline : 0));
    }
    return height;
}

int EnumFontFamiliesExW(HDC, LOGFONTW* filter, FONTENUMPROCW proc, LPARAM param, DWORD) {
    if (!proc) return 0;
    std::vector<std::u16string> names;
    {
        std::lock_guard lock(gdi().mutex);
        PangoFontFamily** list = nullptr;
        int count = 0;
        pango_context_list_families(pangoContext(), &list, &count);
        const UniqueGMemory<PangoFontFamily*> families(list);
        for (int i = 0; i < count; ++i) names.push_back(unicode::utf8ToUtf16(pango_font_family_get_name(list[i])));
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    std::u16string wanted = filter ? faceOf(*filter) : std::u16string();
    int last = 1;
    for (const auto& name : names) {
        if (!wanted.empty() && name != wanted) continue;
        LOGFONTW lf{};
        lf.lfHeight = -12;
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        for (std::size_t i = 0; i < name.size() && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = name[i];
        TEXTMETRICW tm{};
        tm.tmHeight = 12;
        tm.tmWeight = FW_NORMAL;
        last = proc(&lf, &tm, TRUETYPE_FONTTYPE, param);
        if (!last) break;
    }
    return last;
}
