// Draws the program's button faces and tool-bar glyphs into Resources/:
//   AudioTool.png   72 x 72: 24 x 24 cells, columns Play, Pause, Stop; rows
//                   normal, hovered (state 2), pressed (state 1).
//   OrvellaTool.bmp 128 x 16, 24-bit: eight 16 x 16 tool-bar glyphs on the
//                   transparent colour 0xE5E5E5, in the order of the tool bar.
//   Channel.png     80 x 16: the pane's close button in 16-pixel steps (normal,
//                   hovered, pressed, collapsed, collapsed and hovered).
// Build with the target veltrix_draw_resources and run it with the Resources
// folder as its argument; the pictures are committed, so the build never needs it.
#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/gdi/CairoHandles.h"

using veltrix::platform::UniqueCairo;
using veltrix::platform::UniqueCairoSurface;

namespace {

struct Rgb {
    double r, g, b;
};

constexpr Rgb kInk{0.22, 0.25, 0.29};
constexpr Rgb kAccent{0.18, 0.50, 0.93};
constexpr Rgb kAccentDark{0.11, 0.36, 0.72};
constexpr Rgb kGreen{0.16, 0.62, 0.33};
constexpr Rgb kAmber{0.95, 0.70, 0.20};
constexpr Rgb kAmberDark{0.78, 0.52, 0.08};
constexpr Rgb kPaper{1.0, 1.0, 1.0};
constexpr Rgb kRed{0.85, 0.27, 0.23};

void setColour(cairo_t* cr, Rgb c, double alpha = 1.0) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void triangle(cairo_t* cr, double x0, double y0, double x1, double y1, double x2, double y2) {
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_line_to(cr, x2, y2);
    cairo_close_path(cr);
}

// ---- AudioTool.png ---------------------------------------------------------------------

enum class Face { Normal, Hovered, Pressed };

void audioCell(cairo_t* cr, int column, Face face) {
    cairo_save(cr);
    cairo_translate(cr, column * 24, static_cast<int>(face) * 24);
    const double shift = face == Face::Pressed ? 0.5 : 0.0;
    cairo_translate(cr, shift, shift);
    // A round disc so the faces read as buttons on any background.
    cairo_arc(cr, 12, 12, 11, 0, 2 * M_PI);
    setColour(cr, face == Face::Normal ? kAccent : kAccentDark);
    if (face == Face::Hovered) setColour(cr, {0.25, 0.58, 1.0});
    cairo_fill_preserve(cr);
    setColour(cr, kAccentDark, 0.8);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    setColour(cr, kPaper);
    switch (column) {
        case 0:  // Play
            triangle(cr, 9.5, 7, 9.5, 17, 17.5, 12);
            cairo_fill(cr);
            break;
        case 1:  // Pause
            roundedRect(cr, 8, 7, 3, 10, 0.8);
            roundedRect(cr, 13, 7, 3, 10, 0.8);
            cairo_fill(cr);
            break;
        default:  // Stop
            roundedRect(cr, 8, 8, 8, 8, 1.2);
            cairo_fill(cr);
            break;
    }
    cairo_restore(cr);
}

bool drawAudioTool(const std::string& path) {
    const UniqueCairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 72, 72));
    UniqueCairo context(cairo_create(surface.get()));
    cairo_t* cr = context.get();
    for (int column = 0; column < 3; ++column) {
        for (Face face : {Face::Normal, Face::Hovered, Face::Pressed}) audioCell(cr, column, face);
    }
    context.reset();  // finishes the drawing before the picture is written
    const bool ok = cairo_surface_write_to_png(surface.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
    return ok;
}

// ---- OrvellaTool.bmp -------------------------------------------------------------------

void glyphOpen(cairo_t* cr) {  // a folder
    cairo_move_to(cr, 1.5, 3.5);
    cairo_line_to(cr, 6, 3.5);
    cairo_line_to(cr, 7.5, 5);
    cairo_line_to(cr, 13.5, 5);
    cairo_line_to(cr, 13.5, 13.5);
    cairo_line_to(cr, 1.5, 13.5);
    cairo_close_path(cr);
    setColour(cr, kAmber);
    cairo_fill_preserve(cr);
    setColour(cr, kAmberDark);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_move_to(cr, 3.5, 7.5);
    cairo_line_to(cr, 15, 7.5);
    cairo_line_to(cr, 13.5, 13.5);
    cairo_line_to(cr, 1.5, 13.5);
    cairo_close_path(cr);
    setColour(cr, {1.0, 0.82, 0.38});
    cairo_fill_preserve(cr);
    setColour(cr, kAmberDark);
    cairo_stroke(cr);
}

void glyphSave(cairo_t* cr) {  // a disk
    roundedRect(cr, 1.5, 1.5, 13, 13, 1.5);
    setColour(cr, kAccent);
    cairo_fill_preserve(cr);
    setColour(cr, kAccentDark);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_rectangle(cr, 4, 2, 8, 5);
    setColour(cr, kPaper);
    cairo_fill(cr);
    cairo_rectangle(cr, 9, 3, 2, 3);
    setColour(cr, kAccentDark);
    cairo_fill(cr);
    cairo_rectangle(cr, 4, 10, 8, 4);
    setColour(cr, {0.85, 0.90, 0.98});
    cairo_fill(cr);
}

void glyphPlaySentence(cairo_t* cr) {  // play, with the brackets of one sentence
    triangle(cr, 5, 3.5, 5, 12.5, 12, 8);
    setColour(cr, kGreen);
    cairo_fill(cr);
    setColour(cr, kInk);
    cairo_set_line_width(cr, 1.2);
    cairo_move_to(cr, 3, 2.5);
    cairo_line_to(cr, 1.5, 2.5);
    cairo_line_to(cr, 1.5, 13.5);
    cairo_line_to(cr, 3, 13.5);
    cairo_move_to(cr, 13, 2.5);
    cairo_line_to(cr, 14.5, 2.5);
    cairo_line_to(cr, 14.5, 13.5);
    cairo_line_to(cr, 13, 13.5);
    cairo_stroke(cr);
}

void arrow(cairo_t* cr, bool up, double top, double bottom, Rgb colour) {
    const double tip = up ? top : bottom;
    const double base = up ? top + 5 : bottom - 5;
    triangle(cr, 8, tip, 2.5, base, 13.5, base);
    setColour(cr, colour);
    cairo_fill(cr);
    cairo_rectangle(cr, 6, up ? base : top, 4, up ? bottom - base : base - top);
    cairo_fill(cr);
}

void glyphPrevious(cairo_t* cr) { arrow(cr, true, 1.5, 14.5, kAccent); }
void glyphNext(cairo_t* cr) { arrow(cr, false, 1.5, 14.5, kAccent); }

void glyphNextAndTime(cairo_t* cr) {  // a clock and a small down arrow
    cairo_arc(cr, 6.5, 6.5, 5.5, 0, 2 * M_PI);
    setColour(cr, kPaper);
    cairo_fill_preserve(cr);
    setColour(cr, kInk);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    cairo_move_to(cr, 6.5, 3.2);
    cairo_line_to(cr, 6.5, 6.5);
    cairo_line_to(cr, 9, 8);
    cairo_stroke(cr);
    triangle(cr, 12.5, 15, 9, 10.5, 16, 10.5);
    setColour(cr, kRed);
    cairo_fill(cr);
}

void glyphTranslation(cairo_t* cr) {  // a page with lines and a pencil
    cairo_rectangle(cr, 1.5, 1.5, 10, 13);
    setColour(cr, kPaper);
    cairo_fill_preserve(cr);
    setColour(cr, kInk, 0.8);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    setColour(cr, kInk, 0.5);
    for (int i = 0; i < 3; ++i) cairo_rectangle(cr, 3.5, 4 + i * 3, 6, 1.2);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, 11, 9);
    cairo_rotate(cr, M_PI / 4);
    cairo_rectangle(cr, -1.6, -6, 3.2, 9);
    setColour(cr, kAmber);
    cairo_fill_preserve(cr);
    setColour(cr, kAmberDark);
    cairo_stroke(cr);
    triangle(cr, -1.6, 3, 1.6, 3, 0, 6);
    setColour(cr, kInk);
    cairo_fill(cr);
    cairo_restore(cr);
}

void glyphExplanationWindow(cairo_t* cr) {  // a window with an information mark
    roundedRect(cr, 1.5, 2.5, 13, 11, 1.5);
    setColour(cr, kPaper);
    cairo_fill_preserve(cr);
    setColour(cr, kInk, 0.8);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_rectangle(cr, 2, 3, 12, 2.5);
    setColour(cr, kAccent);
    cairo_fill(cr);
    cairo_arc(cr, 8, 7.2, 1.1, 0, 2 * M_PI);
    setColour(cr, kAccentDark);
    cairo_fill(cr);
    cairo_rectangle(cr, 7, 9, 2, 3.5);
    cairo_fill(cr);
}

bool writeBmp24(cairo_surface_t* surface, const std::string& path) {
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int rowBytes = (width * 3 + 3) & ~3;
    const std::uint32_t imageSize = static_cast<std::uint32_t>(rowBytes * height);
    std::vector<unsigned char> file(54 + imageSize);
    auto put16 = [&](std::size_t at, std::uint32_t v) {
        file[at] = v & 0xFF;
        file[at + 1] = (v >> 8) & 0xFF;
    };
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));  // bottom-up
    put16(26, 1);
    put16(28, 24);
    put32(34, imageSize);
    put32(38, 2835);
    put32(42, 2835);
    for (int y = 0; y < height; ++y) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(data + (height - 1 - y) * stride);
        unsigned char* dst = file.data() + 54 + y * rowBytes;
        for (int x = 0; x < width; ++x) {
            dst[3 * x] = src[x] & 0xFF;
            dst[3 * x + 1] = (src[x] >> 8) & 0xFF;
            dst[3 * x + 2] = (src[x] >> 16) & 0xFF;
        }
    }
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    const bool ok = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && ok;
}

bool drawToolGlyphs(const std::string& path) {
    using Glyph = void (*)(cairo_t*);
    // The tool bar's order: open, save, play sentence, previous, next,
    // next with its time, translation, explanation window.
    const Glyph glyphs[] = {glyphOpen, glyphSave,        glyphPlaySentence, glyphPrevious,
                            glyphNext, glyphNextAndTime, glyphTranslation,  glyphExplanationWindow};
    const UniqueCairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 128, 16));
    UniqueCairo context(cairo_create(surface.get()));
    cairo_t* cr = context.get();
    cairo_set_source_rgb(cr, 0xE5 / 255.0, 0xE5 / 255.0, 0xE5 / 255.0);
    cairo_paint(cr);
    for (int i = 0; i < 8; ++i) {
        cairo_save(cr);
        cairo_rectangle(cr, i * 16, 0, 16, 16);
        cairo_clip(cr);
        cairo_translate(cr, i * 16, 0);
        glyphs[i](cr);
        cairo_restore(cr);
    }
    context.reset();  // finishes the drawing before the picture is written
    const bool ok = writeBmp24(surface.get(), path);
    return ok;
}

// ---- Channel.png -------------------------------------------------------------------------

bool drawChannel(const std::string& path) {
    const UniqueCairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 80, 16));
    UniqueCairo context(cairo_create(surface.get()));
    cairo_t* cr = context.get();
    for (int step = 0; step < 5; ++step) {
        cairo_save(cr);
        cairo_translate(cr, step * 16, 0);
        const bool hovered = step == 1 || step == 4;
        const bool pressed = step == 2;
        if (hovered || pressed) {
            roundedRect(cr, 0.5, 0.5, 15, 15, 3);
            setColour(cr, pressed ? kAccentDark : kAccent, pressed ? 0.35 : 0.18);
            cairo_fill(cr);
        }
        setColour(cr, kInk);
        cairo_set_line_width(cr, 1.6);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        if (step < 3) {  // expanded: a chevron that folds the pane down
            cairo_move_to(cr, 4.5, 6);
            cairo_line_to(cr, 8, 9.5);
            cairo_line_to(cr, 11.5, 6);
        } else {  // collapsed: a chevron that opens it again
            cairo_move_to(cr, 4.5, 10);
            cairo_line_to(cr, 8, 6.5);
            cairo_line_to(cr, 11.5, 10);
        }
        cairo_stroke(cr);
        cairo_restore(cr);
    }
    context.reset();  // finishes the drawing before the picture is written
    const bool ok = cairo_surface_write_to_png(surface.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <Resources folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    bool ok = drawAudioTool(folder + "AudioTool.png");
    ok = drawToolGlyphs(folder + "OrvellaTool.bmp") && ok;
    ok = drawChannel(folder + "Channel.png") && ok;
    if (!ok) std::fprintf(stderr, "could not write the pictures into %s\n", argv[1]);
    return ok ? 0 : 1;
}
