// Draws every picture the calculator loads at run time (key faces, LCD glyphs, the shortcut card
// and the loading picture) and writes them as baseline JPEGs.
//
// Usage: make_pictures OUTDIR [FONTDIR]
//        make_pictures --icons ICONDIR            (the desktop's icons of the program)
//        make_pictures --window-icon SOURCEFILE   (the same picture for the program's windows)
//
// Text is rendered from fixed font files rather than through fontconfig so that the output is the
// same bytes on every run and every machine with the same libraries.

#include <cairo-ft.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <turbojpeg.h>

#include "scene/Cardlines_un.h"
#include "textures/Pictureset_un.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <numbers>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double pi = std::numbers::pi;

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what);
}

struct Rgb {
    double r, g, b;
};

constexpr Rgb hex(unsigned v) {
    return {((v >> 16) & 255) / 255.0, ((v >> 8) & 255) / 255.0, (v & 255) / 255.0};
}

Rgb scaled(Rgb c, double k) {
    return {std::min(c.r * k, 1.0), std::min(c.g * k, 1.0), std::min(c.b * k, 1.0)};
}

constexpr Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

void setColour(cairo_t* cr, Rgb c) {
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
}

class Fonts {
public:
    explicit Fonts(const fs::path& dir) {
        if (FT_Error err = FT_Init_FreeType(&library_))
            fail("cannot initialise FreeType (error " + std::to_string(err) + ")");
        regular = load(dir / "DejaVuSans.ttf");
        bold = load(dir / "DejaVuSans-Bold.ttf");
    }
    // The FreeType library itself is left to process exit: cairo's font cache may release the
    // faces (and so call FT_Done_Face) after this object is gone.
    ~Fonts() {
        cairo_font_face_destroy(regular);
        cairo_font_face_destroy(bold);
    }
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;

    cairo_font_face_t* regular = nullptr;
    cairo_font_face_t* bold = nullptr;

private:
    cairo_font_face_t* load(const fs::path& file) {
        FT_Face face = nullptr;
        if (FT_Error err = FT_New_Face(library_, file.c_str(), 0, &face))
            fail("cannot open font file " + file.string() + " (FreeType error " +
                 std::to_string(err) + ")");
        cairo_font_face_t* cf = cairo_ft_font_face_create_for_ft_face(face, 0);
        static const cairo_user_data_key_t key{};
        if (cairo_font_face_status(cf) != CAIRO_STATUS_SUCCESS ||
            cairo_font_face_set_user_data(cf, &key, face, [](void* p) {
                FT_Done_Face(static_cast<FT_Face>(p));
            }) != CAIRO_STATUS_SUCCESS) {
            cairo_font_face_destroy(cf);
            FT_Done_Face(face);
            fail("cannot use font file " + file.string() + " with cairo");
        }
        return cf;
    }

    FT_Library library_ = nullptr;
};

class Canvas {
public:
    Canvas(int width, int height)
        : width_(width), height_(height),
          surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)),
          cr_(cairo_create(surface_)) {
        if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS)
            fail("cannot create a " + std::to_string(width) + "x" + std::to_string(height) +
                 " drawing surface: " + cairo_status_to_string(cairo_status(cr_)));
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_set_font_options(cr_, options);
        cairo_font_options_destroy(options);
    }
    ~Canvas() {
        cairo_destroy(cr_);
        cairo_surface_destroy(surface_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }

    void save(const fs::path& file) const {
        if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS)
            fail("drawing " + file.string() +
                 " failed: " + cairo_status_to_string(cairo_status(cr_)));
        cairo_surface_flush(surface_);
        // RGB24 stores each pixel as a native-endian 32-bit 0x00RRGGBB word.
        constexpr int format = std::endian::native == std::endian::little ? TJPF_BGRX : TJPF_XRGB;
        std::unique_ptr<void, int (*)(tjhandle)> tj(tjInitCompress(), tjDestroy);
        if (!tj) fail("cannot initialise the JPEG encoder");
        unsigned char* jpeg = nullptr;
        unsigned long size = 0;
        if (tjCompress2(tj.get(), cairo_image_surface_get_data(surface_), width_,
                        cairo_image_surface_get_stride(surface_), height_, format, &jpeg, &size,
                        TJSAMP_444, 92, TJFLAG_ACCURATEDCT) != 0) {
            std::string why = tjGetErrorStr2(tj.get());
            tjFree(jpeg);
            fail("cannot encode " + file.string() + ": " + why);
        }
        std::unique_ptr<unsigned char, void (*)(unsigned char*)> owned(jpeg, tjFree);
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(jpeg), static_cast<std::streamsize>(size));
        out.close();
        if (!out) fail("cannot write " + file.string());
    }

private:
    int width_, height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

void setFont(cairo_t* cr, cairo_font_face_t* face, double size, double xScale = 1.0) {
    cairo_set_font_face(cr, face);
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, size * xScale, size);
    cairo_set_font_matrix(cr, &m);
}

cairo_text_extents_t inkOf(cairo_t* cr, const char* text) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, text, &e);
    return e;
}

// Places the ink box of the text, not its advance box, at the centre point.
void showCentred(cairo_t* cr, const char* text, double cx, double cy) {
    const cairo_text_extents_t e = inkOf(cr, text);
    cairo_move_to(cr, cx - e.x_bearing - e.width / 2, cy - e.y_bearing - e.height / 2);
    cairo_show_text(cr, text);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -pi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, pi / 2);
    cairo_arc(cr, x + r, y + h - r, r, pi / 2, pi);
    cairo_arc(cr, x + r, y + r, r, pi, 3 * pi / 2);
    cairo_close_path(cr);
}

void fillVertical(cairo_t* cr, double y0, double y1, Rgb top, Rgb bottom) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgb(p, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(p, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// ---- Key faces ----------------------------------------------------------------------------

struct KeyStyle {
    Rgb face, label;
};

constexpr KeyStyle digitKey{hex(0xE9E3D7), hex(0x1B1B1F)};
constexpr KeyStyle operatorKey{hex(0x5E79A6), hex(0xFFFFFF)};
constexpr KeyStyle memoryKey{hex(0x23767A), hex(0xFFFFFF)};
constexpr KeyStyle clearKey{hex(0xE0562C), hex(0xFFFFFF)};
constexpr KeyStyle equalsKey{hex(0x3A9E4A), hex(0xFFFFFF)};

KeyStyle styleOf(FaceStyle style) {
    switch (style) {
    case FaceStyle::Operator:
        return operatorKey;
    case FaceStyle::Memory:
        return memoryKey;
    case FaceStyle::Clear:
        return clearKey;
    case FaceStyle::Equals:
        return equalsKey;
    case FaceStyle::Digit:
        break;
    }
    return digitKey;
}

void drawKey(const Fonts& fonts, const KeypadKey& key, const fs::path& file) {
    constexpr int side = 128;
    Canvas canvas(side, side);
    cairo_t* cr = canvas.cr();
    const KeyStyle style = styleOf(key.style);
    const Rgb face = style.face;

    setColour(cr, scaled(face, 0.72));
    cairo_paint(cr);
    roundedRect(cr, 3, 3, side - 6, side - 6, 18);
    fillVertical(cr, 3, side - 3, mix(face, hex(0xFFFFFF), 0.35), scaled(face, 0.82));
    roundedRect(cr, 9, 8, side - 18, side - 20, 13);
    fillVertical(cr, 8, side - 12, scaled(face, 0.95), mix(face, hex(0xFFFFFF), 0.10));

    setFont(cr, fonts.bold, key.labelSize);
    const double maxWidth = 88;
    const double width = inkOf(cr, key.label).width;
    if (width > maxWidth) setFont(cr, fonts.bold, key.labelSize * maxWidth / width);
    setColour(cr, style.label);
    showCentred(cr, key.label, side / 2.0, side / 2.0 - 2);
    canvas.save(file);
}

// ---- LCD glyphs ---------------------------------------------------------------------------

constexpr Rgb lcdBack = hex(0xD9E3D0);
constexpr Rgb lcdInk = hex(0x1C2532);
constexpr Rgb lcdGhost = mix(lcdBack, lcdInk, 0.07);

// Bit i lights segment "abcdefg"[i]: top, upper right, lower right, bottom, lower left, upper
// left, middle.
constexpr std::array<unsigned, 10> digitSegments{0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                                 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
constexpr unsigned minusSegment = 0x40;
constexpr unsigned exponentSegments = 0x79;

// Cell layout in pixels of the 32x128 glyph: the digit box leaves room at the right for the
// decimal comma, a square on the baseline with a tail below it.
constexpr double segLeft = 3, segRight = 23.6, segTop = 14, segBottom = 114, segThick = 5.2,
                 segGap = 0.9;
constexpr double commaSize = 5, commaLeft = 32 - 2.6 - commaSize, commaTail = 9;

void segmentPath(cairo_t* cr, double x0, double y0, double x1, double y1) {
    const double h = segThick / 2;
    if (y0 == y1) {
        x0 += segGap;
        x1 -= segGap;
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x0 + h, y0 - h);
        cairo_line_to(cr, x1 - h, y0 - h);
        cairo_line_to(cr, x1, y0);
        cairo_line_to(cr, x1 - h, y0 + h);
        cairo_line_to(cr, x0 + h, y0 + h);
    } else {
        y0 += segGap;
        y1 -= segGap;
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x0 + h, y0 + h);
        cairo_line_to(cr, x0 + h, y1 - h);
        cairo_line_to(cr, x0, y1);
        cairo_line_to(cr, x0 - h, y1 - h);
        cairo_line_to(cr, x0 - h, y0 + h);
    }
    cairo_close_path(cr);
}

void segmentsPath(cairo_t* cr, unsigned mask) {
    const double l = segLeft + segThick / 2, r = segRight - segThick / 2;
    const double t = segTop + segThick / 2, b = segBottom - segThick / 2, m = (t + b) / 2;
    const double ends[7][4] = {{l, t, r, t}, {r, t, r, m}, {r, m, r, b}, {l, b, r, b},
                               {l, m, l, b}, {l, t, l, m}, {l, m, r, m}};
    for (int i = 0; i < 7; ++i)
        if (mask & (1u << i)) segmentPath(cr, ends[i][0], ends[i][1], ends[i][2], ends[i][3]);
}

void commaPath(cairo_t* cr) {
    const double x = commaLeft, y = segBottom - commaSize;
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x + commaSize, y);
    cairo_line_to(cr, x + commaSize, segBottom + 1);
    cairo_line_to(cr, x + 1.5, segBottom + commaTail);
    cairo_line_to(cr, x - 1.2, segBottom + commaTail);
    cairo_line_to(cr, x + 1.2, segBottom);
    cairo_line_to(cr, x, segBottom);
    cairo_close_path(cr);
}

// What a glyph's cell shows: lit segments, the decimal comma, the memory indicator.
struct GlyphLook {
    unsigned segments;
    bool comma, memory;
};

GlyphLook lookOf(int glyph) {
    if (glyph < GlyphPointBase) return {digitSegments[glyph], false, false};
    if (glyph < GlyphPointBase + 10) return {digitSegments[glyph - GlyphPointBase], true, false};
    switch (glyph) {
    case GlyphEmpty:
        return {0, false, false};
    case GlyphMinus:
        return {minusSegment, false, false};
    case GlyphMemory:
        return {0, false, true};
    case GlyphMemoryMinus:
        return {minusSegment, false, true};
    case GlyphExponent:
        return {exponentSegments, false, false};
    }
    fail("no drawing for glyph " + std::string(DisplayGlyphs[glyph].picture));
}

void drawGlyph(const Fonts& fonts, GlyphLook look, const fs::path& file) {
    Canvas canvas(32, 128);
    cairo_t* cr = canvas.cr();
    setColour(cr, lcdBack);
    cairo_paint(cr);
    segmentsPath(cr, 0x7F);
    commaPath(cr);
    setColour(cr, lcdGhost);
    cairo_fill(cr);

    setColour(cr, lcdInk);
    segmentsPath(cr, look.segments);
    if (look.comma) commaPath(cr);
    cairo_fill(cr);
    if (look.memory) {
        setFont(cr, fonts.bold, 19, 0.85);
        const cairo_text_extents_t e = inkOf(cr, "M");
        cairo_move_to(cr, (segLeft + segRight) / 2 - e.x_bearing - e.width / 2, 20 - e.y_bearing);
        cairo_show_text(cr, "M");
    }
    canvas.save(file);
}

struct Message {
    const char* text;
    fs::path file;
};

// The message pictures are stretched from 4:1 to the display's 2.86:1, so the text is laid out
// on a canvas of the final aspect and squeezed back into the 512 pixels. All messages share one
// letter size, the largest at which every one of them fits.
void drawMessages(const Fonts& fonts, const std::vector<Message>& messages) {
    constexpr int width = 512, height = 128;
    constexpr double virtualWidth = 366, condense = 0.8, maxWidth = virtualWidth - 36,
                     maxHeight = 62;
    double size = 1e9;
    for (const Message& m : messages) {
        Canvas scratch(1, 1);
        setFont(scratch.cr(), fonts.bold, 100, condense);
        const cairo_text_extents_t e = inkOf(scratch.cr(), m.text);
        size = std::min(size, 100 * std::min(maxWidth / e.width, maxHeight / e.height));
    }
    for (const Message& m : messages) {
        Canvas canvas(width, height);
        cairo_t* cr = canvas.cr();
        setColour(cr, lcdBack);
        cairo_paint(cr);
        cairo_scale(cr, width / virtualWidth, 1);
        setFont(cr, fonts.bold, size, condense);
        setColour(cr, lcdInk);
        showCentred(cr, m.text, virtualWidth / 2, height / 2.0);
        canvas.save(m.file);
    }
}

// ---- Shortcut card -------------------------------------------------------------------------

// The card's lines in three columns of seven.
std::vector<std::vector<Shortcut>> cardColumns() {
    const std::vector<Shortcut> lines = CardLines();
    constexpr std::size_t rows = 7;
    std::vector<std::vector<Shortcut>> columns((lines.size() + rows - 1) / rows);
    for (std::size_t i = 0; i < lines.size(); ++i) columns[i / rows].push_back(lines[i]);
    columns.back().resize(rows);
    return columns;
}

// With the display frame raised, the calculator in its first view shows s 0.767..0.923 and
// about t 0.03..0.97 of the card through the opening (the raised frame hides the rest toward
// the keys), turned so that growing s runs up the screen and growing t runs to the left. The
// text is laid out in screen units (x right, y down) over a region a little inside that,
// 0.495 x 0.116 scene units, and the matrix carries it into the image.
void drawCard(const Fonts& fonts, const fs::path& file) {
    constexpr int width = 1024, height = 512;
    constexpr double s0 = 0.782, s1 = 0.915, t0 = 0.05, t1 = 0.95;
    constexpr double regionW = 495, regionH = 116;
    Canvas canvas(width, height);
    cairo_t* cr = canvas.cr();
    const Rgb paper = hex(0xFFFFFF), ink = hex(0x000000);
    setColour(cr, paper);
    cairo_paint(cr);

    cairo_matrix_t m;
    cairo_matrix_init(&m, 0, -(t1 - t0) * height / regionW, -(s1 - s0) * width / regionH, 0,
                      s1 * width, t1 * height);
    cairo_set_matrix(cr, &m);

    const std::vector<std::vector<Shortcut>> shortcuts = cardColumns();
    const std::size_t columns = shortcuts.size(), rows = shortcuts[0].size();
    constexpr double margin = 5, keyGap = 0.6, columnGap = 1.1, lineStep = 1.15, condense = 0.88;
    setFont(cr, fonts.bold, 100, condense);
    std::vector<double> keyW(columns), actionW(columns);
    double emWidth = (columns - 1) * columnGap;
    for (std::size_t c = 0; c < columns; ++c) {
        for (const Shortcut& s : shortcuts[c]) {
            keyW[c] = std::max(keyW[c], inkOf(cr, s.keys.c_str()).x_advance / 100);
            actionW[c] = std::max(actionW[c], inkOf(cr, s.action.c_str()).x_advance / 100);
        }
        emWidth += keyW[c] + keyGap + actionW[c];
    }
    const double size =
        std::min((regionW - 2 * margin) / emWidth, (regionH - 2 * margin) / (rows * lineStep));
    setFont(cr, fonts.bold, size, condense);

    const double left = (regionW - emWidth * size) / 2;
    const double top = (regionH - rows * lineStep * size) / 2;
    const double capOffset = (lineStep * size + inkOf(cr, "H").height) / 2;
    cairo_set_line_width(cr, 1.0);
    double x = left;
    for (std::size_t c = 0; c < columns; ++c) {
        if (c > 0) {
            const double divider = x - columnGap / 2 * size;
            setColour(cr, mix(paper, ink, 0.45));
            cairo_move_to(cr, divider, top + 0.2 * size);
            cairo_line_to(cr, divider, top + (rows * lineStep - 0.2) * size);
            cairo_stroke(cr);
        }
        setColour(cr, ink);
        for (std::size_t r = 0; r < rows; ++r) {
            const double y = top + r * lineStep * size + capOffset;
            cairo_move_to(cr, x, y);
            cairo_show_text(cr, shortcuts[c][r].keys.c_str());
            cairo_move_to(cr, x + (keyW[c] + keyGap) * size, y);
            cairo_show_text(cr, shortcuts[c][r].action.c_str());
        }
        x += (keyW[c] + keyGap + actionW[c] + columnGap) * size;
    }
    canvas.save(file);
}

// ---- Loading picture ------------------------------------------------------------------------

void drawCalculatorIcon(cairo_t* cr, double x, double y, double w, double h) {
    roundedRect(cr, x, y, w, h, w * 0.14);
    fillVertical(cr, y, y + h, hex(0x4B5D78), hex(0x33425A));
    const double pad = w * 0.13;
    roundedRect(cr, x + pad, y + pad, w - 2 * pad, h * 0.24, w * 0.05);
    setColour(cr, lcdBack);
    cairo_fill(cr);
    const double gx = x + pad, gy = y + pad + h * 0.24 + pad * 0.8;
    const double cw = (w - 2 * pad) / 4, ch = (y + h - pad - gy) / 4;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            roundedRect(cr, gx + c * cw + cw * 0.12, gy + r * ch + ch * 0.12, cw * 0.76, ch * 0.76,
                        cw * 0.15);
            const KeyStyle& s = c == 3 ? (r == 3 ? equalsKey : operatorKey)
                                       : (r == 0 && c < 2 ? clearKey : digitKey);
            setColour(cr, s.face);
            cairo_fill(cr);
        }
}

// ---- Program icon -----------------------------------------------------------------------------

// The calculator of the loading picture, upright in a square with a transparent ground: the
// desktop's icon of the program, as PNG files in the sizes of the hicolor theme and as SVG.
constexpr int iconSizes[] = {16, 24, 32, 48, 64, 128, 256};

void drawIcon(cairo_t* cr, double size) {
    const double h = size * 0.94, w = h * 34 / 48;
    drawCalculatorIcon(cr, (size - w) / 2, (size - h) / 2, w, h);
}

void drawIcons(const fs::path& dir) {
    for (int size : iconSizes) {
        const fs::path file =
            dir / (std::to_string(size) + "x" + std::to_string(size)) / "apps" / "tessel.png";
        fs::create_directories(file.parent_path());
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
        cairo_t* cr = cairo_create(surface);
        drawIcon(cr, size);
        cairo_destroy(cr);
        if (cairo_surface_write_to_png(surface, file.c_str()) != CAIRO_STATUS_SUCCESS)
            fail("cannot write " + file.string());
        cairo_surface_destroy(surface);
    }
    const fs::path svg = dir / "scalable" / "apps" / "tessel.svg";
    fs::create_directories(svg.parent_path());
    cairo_surface_t* surface = cairo_svg_surface_create(svg.c_str(), 256, 256);
    cairo_t* cr = cairo_create(surface);
    drawIcon(cr, 256);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) fail("cannot write " + svg.string());
    cairo_surface_destroy(surface);
}

// The icon the program gives its windows, in the sizes a window manager or task bar picks
// from, compiled into the program: a C++ source of the squares' pixels, top row first, as
// 0xAARRGGBB with straight (not premultiplied) alpha, as SDL and X11 take them.
constexpr int windowIconSizes[] = {16, 32, 48, 64, 128};

void writeWindowIcon(const fs::path& file) {
    std::ostringstream out;
    out << "// Made by tools/make_pictures --window-icon: the program's icon, drawn as the "
           "installed\n"
           "// icons are, in these sizes; each a square of 0xAARRGGBB pixels, top row first.\n"
           "#pragma once\n\n#include <cstdint>\n\n"
           "inline constexpr int WindowIconSizes[] = {";
    for (std::size_t i = 0; i < std::size(windowIconSizes); ++i)
        out << (i == 0 ? "" : ", ") << windowIconSizes[i];
    out << "};\ninline constexpr std::uint32_t WindowIconPixels[] = {\n";
    for (int size : windowIconSizes) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
        cairo_t* cr = cairo_create(surface);
        drawIcon(cr, size);
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        out << "    // " << size << " x " << size << "\n";
        for (int y = 0; y < size; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
            out << "   ";
            for (int x = 0; x < size; ++x) {
                // Cairo keeps colour multiplied by alpha.
                const std::uint32_t p = row[x], a = p >> 24;
                auto straight = [a](std::uint32_t c) {
                    return a == 0 ? 0u : std::min(255u, (c * 255 + a / 2) / a);
                };
                const std::uint32_t v = a << 24 | straight(p >> 16 & 255) << 16 |
                                        straight(p >> 8 & 255) << 8 | straight(p & 255);
                char word[16];
                std::snprintf(word, sizeof word, " 0x%08X,", v);
                out << word;
            }
            out << "\n";
        }
        cairo_surface_destroy(surface);
    }
    out << "};\n";
    fs::create_directories(file.parent_path());
    std::ofstream f(file, std::ios::binary);
    f << out.str();
    if (!f.flush()) fail("cannot write " + file.string());
}

// Drawn in the design's units at density pixels each: a picture for a finer screen has the
// same drawing at that many times the pixels, not an enlarged copy.
void drawWelcome(const Fonts& fonts, const fs::path& file, int density) {
    constexpr int width = 400, height = 200;
    Canvas canvas(width * density, height * density);
    cairo_t* cr = canvas.cr();
    cairo_scale(cr, density, density);
    cairo_rectangle(cr, 0, 0, width, height);
    fillVertical(cr, 0, height, hex(0xF6F8FA), hex(0xE4E9EF));

    constexpr double iconW = 34, iconH = 48, iconX = 22, titleY = 45;
    drawCalculatorIcon(cr, iconX, titleY - iconH / 2, iconW, iconH);

    const char* title = "Calculator with 3D-interface";
    const double textLeft = iconX + iconW + 12, textRight = width - 22;
    setFont(cr, fonts.bold, 100);
    setFont(cr, fonts.bold, 100 * (textRight - textLeft) / inkOf(cr, title).width);
    setColour(cr, hex(0x22344D));
    showCentred(cr, title, (textLeft + textRight) / 2, titleY);

    setFont(cr, fonts.regular, 19);
    setColour(cr, hex(0x4E5E70));
    showCentred(cr, "Loading textures\u2026", width / 2, 155);
    canvas.save(file);
}

// ---- Driver ---------------------------------------------------------------------------------

// The file of a path of the picture set within the folder the set is written to, its folder
// made.
fs::path fileOf(const fs::path& out, const char* path) {
    const fs::path file = out / PictureFile(path);
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    if (ec) fail("cannot create folder " + file.parent_path().string() + ": " + ec.message());
    return file;
}

void makeAll(const fs::path& out, const Fonts& fonts) {
    for (const KeypadKey& k : Keypad) drawKey(fonts, k, fileOf(out, KeyPicturePaths[k.id].text));

    std::vector<Message> messages;
    for (int g = 0; g < GlyphCount; ++g) {
        const fs::path file = fileOf(out, GlyphPicturePaths[g].text);
        if (DisplayGlyphs[g].errorText != nullptr)
            messages.push_back({DisplayGlyphs[g].errorText, file});
        else
            drawGlyph(fonts, lookOf(g), file);
    }
    drawMessages(fonts, messages);

    drawCard(fonts, fileOf(out, CardTexturePath));
    drawWelcome(fonts, fileOf(out, WelcomePicturePath), 1);
    drawWelcome(fonts, fileOf(out, WelcomePicture2xPath), WelcomePicture2xDensity);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: make_pictures OUTDIR [FONTDIR]\n"
                     "       make_pictures --icons ICONDIR\n"
                     "       make_pictures --window-icon SOURCEFILE\n";
        return 2;
    }
    try {
        if (std::string(argv[1]) == "--icons") {
            if (argc != 3) throw std::runtime_error("--icons needs the folder to write to");
            drawIcons(argv[2]);
            return 0;
        }
        if (std::string(argv[1]) == "--window-icon") {
            if (argc != 3) throw std::runtime_error("--window-icon needs the file to write");
            writeWindowIcon(argv[2]);
            return 0;
        }
        const Fonts fonts(argc == 3 ? argv[2] : "/usr/share/fonts/truetype/dejavu");
        makeAll(argv[1], fonts);
    } catch (const std::exception& e) {
        std::cerr << "make_pictures: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
