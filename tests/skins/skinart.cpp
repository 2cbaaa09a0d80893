// skinart: draws the images of one of our test skins from its skin text.
//   skinart SOURCE_DIR OUT_DIR RSVG_CONVERT CJPEG
// Reads SOURCE_DIR/Options.dat, draws every image its values name as SVG (kept
// beside, in OUT_DIR.work, with the rendered strips), renders them with rsvg-convert and writes OUT_DIR: the
// skin text, the own image files ('!' BMP and PNG, plain BMP, JPEG through
// cjpeg) and, when GLOBALINFO names one, the master bitmap with every '#',
// '^', '~' and '@' part at the rectangle its value gives.
// OUT_DIR.work/preview.png shows the images put together as a mock window.
// The colours come from the skin text itself (see Palette), so a skin's
// images always match its sections. Masked images (MaskType 1) hold the
// picture above and its mask below: mask 0 = the picture, 255 = what lies
// under it; fully transparent pixels are the key colour 0xFF00FF, so corner
// runs of the key give the window region.
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "SkinValues.h"

namespace fs = std::filesystem;

namespace {

// ---- colours ---------------------------------------------------------------

struct Rgb {
    int r = 0, g = 0, b = 0;
};

Rgb FromColorValue(int v) { return Rgb{v & 255, (v >> 8) & 255, (v >> 16) & 255}; }

Rgb Mix(Rgb a, Rgb b, double t) {
    auto m = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return Rgb{m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

std::string Hex(Rgb c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", c.r & 255, c.g & 255, c.b & 255);
    return buf;
}

double Luma(Rgb c) { return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b; }

// The colours the images are drawn in, taken from the skin's own sections.
struct Palette {
    bool Dark = false;
    Rgb Bg, Text, Border, Face1, Face2, Hot1, Hot2, Accent, Accent2, Field, Panel, Low, Title1, Title2, TitleText,
        Sel, Menu, Track, Hint, Light, Shade, Close;
};

int IntValue(const TacIniSections& ini, const char* sec, const char* key) {
    return IniValueToInt(SkinTextValue(ini, sec, key, "0"), 0);
}

Rgb GradStart(const TacIniSections& ini, const char* sec, const char* key, int field) {
    std::string g = SkinTextValue(ini, sec, key);
    std::vector<std::string> parts;
    std::stringstream ss(g);
    for (std::string p; std::getline(ss, p, ';');) parts.push_back(p);
    if (int(parts.size()) <= field) return FromColorValue(IntValue(ini, sec, "COLOR"));
    return FromColorValue(std::stoi(parts[field]));
}

Palette ReadPalette(const TacIniSections& ini) {
    Palette p;
    p.Bg = FromColorValue(IntValue(ini, "FORM", "COLOR"));
    p.Text = FromColorValue(IntValue(ini, "FORM", "FONTCOLOR"));
    p.Border = FromColorValue(IntValue(ini, "GLOBALINFO", "BORDERCOLOR"));
    p.Face1 = GradStart(ini, "BUTTON", "GRADIENTDATA", 0);
    p.Face2 = GradStart(ini, "BUTTON", "GRADIENTDATA", 1);
    p.Hot1 = GradStart(ini, "BUTTON", "HOTGRADIENTDATA", 0);
    p.Hot2 = GradStart(ini, "BUTTON", "HOTGRADIENTDATA", 1);
    p.Accent = FromColorValue(IntValue(ini, "WEBBUTTON", "FONTCOLOR"));
    p.Accent2 = FromColorValue(IntValue(ini, "WEBBUTTON", "HOTFONTCOLOR"));
    p.Field = FromColorValue(IntValue(ini, "EDIT", "COLOR"));
    p.Panel = FromColorValue(IntValue(ini, "PANEL", "COLOR"));
    p.Low = FromColorValue(IntValue(ini, "PANEL_LOW", "COLOR"));
    p.Title1 = GradStart(ini, "FORMTITLE", "GRADIENTDATA", 0);
    p.Title2 = GradStart(ini, "FORMTITLE", "GRADIENTDATA", 1);
    p.TitleText = FromColorValue(IntValue(ini, "FORMTITLE", "FONTCOLOR"));
    p.Sel = FromColorValue(IntValue(ini, "MENUITEM", "HOTCOLOR"));
    p.Menu = FromColorValue(IntValue(ini, "MAINMENU", "COLOR"));
    p.Track = FromColorValue(IntValue(ini, "SCROLLBAR1V", "COLOR"));
    p.Hint = FromColorValue(IntValue(ini, "HINT", "COLOR"));
    p.Dark = Luma(p.Bg) < 128;
    // Highlight and shade lines: near white and near black, softer on a dark skin.
    p.Light = p.Dark ? Mix(p.Face1, Rgb{255, 255, 255}, 0.25) : Rgb{254, 252, 246};
    p.Shade = p.Dark ? Mix(p.Bg, Rgb{0, 0, 0}, 0.55) : Mix(p.Border, Rgb{0, 0, 0}, 0.15);
    p.Close = Rgb{214, 64, 52};
    return p;
}

// ---- SVG pieces ------------------------------------------------------------

struct Svg {
    std::ostringstream defs, body;
    int ids = 0;
    std::string Id() { return "g" + std::to_string(++ids); }
    // Vertical (or horizontal) linear gradient, returns "url(#id)".
    std::string Gradient(Rgb a, Rgb b, bool horizontal = false, double opA = 1, double opB = 1) {
        std::string id = Id();
        defs << "<linearGradient id='" << id << "' x1='0' y1='0' x2='" << (horizontal ? 1 : 0) << "' y2='"
             << (horizontal ? 0 : 1) << "'><stop offset='0' stop-color='" << Hex(a) << "' stop-opacity='" << opA
             << "'/><stop offset='1' stop-color='" << Hex(b) << "' stop-opacity='" << opB << "'/></linearGradient>";
        return "url(#" + id + ")";
    }
};

// A 1-pixel outline on the pixel grid: rect from (x, y) of size w x h, corner radius r.
void Outline(Svg& s, double x, double y, double w, double h, double r, Rgb c, double op = 1, double width = 1) {
    s.body << "<rect x='" << x + width / 2 << "' y='" << y + width / 2 << "' width='" << w - width << "' height='"
           << h - width << "' rx='" << r << "' fill='none' stroke='" << Hex(c) << "' stroke-opacity='" << op
           << "' stroke-width='" << width << "'/>";
}

void Fill(Svg& s, double x, double y, double w, double h, double r, const std::string& paint, double op = 1) {
    s.body << "<rect x='" << x << "' y='" << y << "' width='" << w << "' height='" << h << "' rx='" << r
           << "' fill='" << paint << "' fill-opacity='" << op << "'/>";
}

void Line(Svg& s, double x1, double y1, double x2, double y2, Rgb c, double width, double op = 1,
          const char* cap = "round") {
    s.body << "<line x1='" << x1 << "' y1='" << y1 << "' x2='" << x2 << "' y2='" << y2 << "' stroke='" << Hex(c)
           << "' stroke-width='" << width << "' stroke-opacity='" << op << "' stroke-linecap='" << cap << "'/>";
}

void Path(Svg& s, const std::string& d, const std::string& fill, Rgb stroke, double width, double op = 1) {
    s.body << "<path d='" << d << "' fill='" << fill << "' stroke='" << Hex(stroke) << "' stroke-width='" << width
           << "' stroke-opacity='" << op << "' stroke-linecap='round' stroke-linejoin='round'/>";
}

// ---- what to draw ----------------------------------------------------------

enum class Look {
    Raised,      // buttons, scroll buttons and sliders, headers
    Flat,        // tool buttons: nothing until hot
    Field,       // edits, combo boxes, gauges
    Panel,       // raised panel, tool bar
    Sunken,      // lowered panel, status panels
    Group,       // group box frame
    Page,        // page control frame
    Tab,         // tabs, by side
    Track,       // scroll-bar track halves
    Frame,       // form and dialog border
    TitleBand,   // the title band's rounded top
    TitleEnd,    // right end of the title bar behind the buttons
    Menu,        // popup menu frame
    MenuItem,    // menu item highlight
    DividerH,    // menu divider (a horizontal line)
    DividerV,    // status bar divider (a vertical line)
    StatusBar,   // top line of the status bar
    Hint,        // hint balloon
    CaptionBtn,  // caption buttons and title buttons
    Glow,        // halo around a hot caption button
    CheckBox, RadioBox, MenuCheck,
    Arrow,       // scroll and combo arrows
    SliderGrip,  // ridges on a scroll thumb
    Grip,        // size grip dots
    Corner,      // small ornament in a form corner
    Texture,     // small tile
    BigPattern,  // JPEG pattern (at least 300 x 300)
    SmallPattern,
};

struct Piece {
    std::string Section, Key;
    Look Kind = Look::Raised;
    int CellW = 16, CellH = 16;
    char Side = 'T';         // arrows, tabs: T B L R; sliders: H V; corners: 1 2 3 4
    std::string Glyph;       // caption buttons: CLOSE MAX MIN NORM HELP, empty for a plain one
    int Checked = 0;         // check glyphs: 0 unchecked, 1 checked, 2 grayed
    bool Small = false;
    bool Hot = false;        // textures: the hot twin
};

bool Starts(const std::string& s, const char* p) { return s.rfind(p, 0) == 0; }
bool Ends(const std::string& s, const char* p) {
    size_t n = std::strlen(p);
    return s.size() >= n && s.compare(s.size() - n, n, p) == 0;
}

// Chooses the drawing for a section's key. The cell sizes here are the sizes of
// the own image files; master-bitmap parts take theirs from their rectangle.
Piece Choose(const std::string& sec, const std::string& key) {
    Piece p;
    p.Section = sec;
    p.Key = key;
    auto cell = [&](int w, int h) { p.CellW = w, p.CellH = h; };
    if (sec == "GLOBALINFO") {
        if (Ends(key, "GLOW0")) {
            p.Kind = Look::Glow, p.Glyph = key.substr(5, key.size() - 10), cell(45, 41);
        } else if (Starts(key, "BICON") || Starts(key, "SICON")) {
            p.Kind = Look::CaptionBtn, p.Glyph = key.substr(5), p.Small = key[0] == 'S';
            p.Small ? cell(17, 15) : cell(25, 21);
        } else if (key == "TITLEBUTTON") {
            p.Kind = Look::CaptionBtn, cell(23, 21);
        } else if (key == "GRIPIMAGE") {
            p.Kind = Look::Grip, cell(14, 14);
        } else if (key == "CHECK") {
            p.Kind = Look::MenuCheck, cell(16, 16);
        } else if (Starts(key, "BOX") || Starts(key, "RADIO") || Starts(key, "SMALL")) {
            p.Kind = Starts(key, "RADIO") ? Look::RadioBox : Look::CheckBox;
            p.Small = Starts(key, "SMALL");
            p.Checked = Ends(key, "UNCHECKED") ? 0 : Ends(key, "GRAYED") ? 2 : 1;
            p.Small ? cell(13, 13) : cell(16, 16);
        } else {
            throw std::runtime_error("no drawing for GLOBALINFO " + key);
        }
        return p;
    }
    if (key == "PATTERN" || key == "HOTPATTERN") {
        p.Kind = Look::Texture, p.Hot = key == "HOTPATTERN", cell(16, 16);
        if (sec == "FORM") cell(64, 64);
        if (sec == "PANEL") p.Kind = Look::SmallPattern, cell(32, 32);
        if (Starts(sec, "SCROLLBAR")) p.Side = sec.back();
        if (Starts(sec, "SCROLLBTN")) p.Side = (sec == "SCROLLBTNLEFT" || sec == "SCROLLBTNRIGHT") ? 'H' : 'V';
        if (Starts(sec, "SCROLLSLIDER")) p.Side = sec.back();
        return p;
    }
    if (key == "GLYPHMASK") {
        if (Starts(sec, "SCROLLSLIDER")) {
            p.Kind = Look::SliderGrip, p.Side = sec.back(), cell(8, 8);
        } else {
            p.Kind = Look::Arrow, cell(9, 9);
            p.Side = sec == "COMBOBOX" ? 'B' : sec == "SCROLLBTNTOP" ? 'T' : sec == "SCROLLBTNBOTTOM" ? 'B'
                   : sec == "SCROLLBTNLEFT" ? 'L' : 'R';
        }
        return p;
    }
    if (key == "TITLEBAR") return p.Kind = Look::TitleEnd, cell(30, 24), p;
    if (Starts(key, "IMG")) {
        p.Kind = Look::Corner, cell(20, 20);
        p.Side = key == "IMGTOPLEFT" ? '1' : key == "IMGTOPRIGHT" ? '2' : key == "IMGBTMLEFT" ? '3' : '4';
        return p;
    }
    if (key == "STATUSPANELMASK") return p.Kind = Look::Sunken, cell(12, 12), p;
    if (key != "BORDERSMASK") throw std::runtime_error("no drawing for " + sec + " " + key);
    if (sec == "FORM" || sec == "DIALOG") return p.Kind = Look::Frame, cell(32, 32), p;
    if (sec == "FORMTITLE") return p.Kind = Look::TitleBand, cell(32, 26), p;
    if (sec == "BUTTON") return cell(24, 24), p;
    if (sec == "SPEEDBUTTON") return cell(20, 20), p;
    if (sec == "SPEEDBUTTON_SMALL" || sec == "UPDOWNBTN") return cell(12, 12), p;
    if (sec == "TOOLBUTTON") return p.Kind = Look::Flat, cell(20, 20), p;
    if (sec == "COLHEADER" || Starts(sec, "SCROLLBTN") || Starts(sec, "SCROLLSLIDER") || sec == "COMBOBTN")
        return cell(16, 16), p;
    if (sec == "EDIT" || sec == "COMBOBOX" || sec == "GAUGE") return p.Kind = Look::Field, cell(16, 16), p;
    if (sec == "GROUPBOX") return p.Kind = Look::Group, cell(18, 18), p;
    if (sec == "PANEL" || sec == "TOOLBAR") return p.Kind = Look::Panel, cell(12, 12), p;
    if (sec == "PANEL_LOW") return p.Kind = Look::Sunken, cell(12, 12), p;
    if (Starts(sec, "PAGECONTROL")) return p.Kind = Look::Page, cell(16, 16), p;
    if (Starts(sec, "TAB")) return p.Kind = Look::Tab, p.Side = sec[3], cell(24, 24), p;
    if (Starts(sec, "SCROLLBAR")) return p.Kind = Look::Track, p.Side = sec.back(), cell(16, 16), p;
    if (sec == "MAINMENU") return p.Kind = Look::Menu, cell(12, 12), p;
    if (sec == "MENUITEM") return p.Kind = Look::MenuItem, cell(16, 16), p;
    if (sec == "DIVIDERV") return p.Kind = Look::DividerH, cell(16, 6), p;
    if (sec == "DIVIDER") return p.Kind = Look::DividerV, cell(4, 16), p;
    if (sec == "STATUSBAR") return p.Kind = Look::StatusBar, cell(12, 12), p;
    if (sec == "HINT") return p.Kind = Look::Hint, cell(24, 24), p;
    throw std::runtime_error("no drawing for " + sec + " " + key);
}

// Raised face with a crisp outline: the outline and the highlight lines only;
// the face inside comes from the section's gradient and stays clear.
void DrawRaised(Svg& s, const Palette& P, int x, int w, int h, int state, double r) {
    Rgb edge = state == 1 ? Mix(P.Border, P.Accent, 0.55) : state == 2 ? Mix(P.Border, P.Accent, 0.8) : P.Border;
    if (state == 2) {
        // Pressed: a soft shade along the top inside.
        Fill(s, x + 1, 1, w - 2, 4, r - 1, s.Gradient(P.Shade, P.Shade, false, 0.28, 0.0));
    } else {
        Line(s, x + r, 1.5, x + w - r, 1.5, P.Light, 1, P.Dark ? 0.55 : 0.9, "butt");
        Line(s, x + r, h - 1.5, x + w - r, h - 1.5, P.Shade, 1, 0.18, "butt");
    }
    Outline(s, x, 0, w, h, r, edge);
}

void DrawCaptionGlyph(Svg& s, const std::string& g, double cx, double cy, double u, Rgb c, double width) {
    if (g == "CLOSE") {
        Line(s, cx - u, cy - u, cx + u, cy + u, c, width);
        Line(s, cx + u, cy - u, cx - u, cy + u, c, width);
    } else if (g == "MAX") {
        s.body << "<rect x='" << cx - u << "' y='" << cy - u << "' width='" << 2 * u << "' height='" << 2 * u
               << "' rx='1' fill='none' stroke='" << Hex(c) << "' stroke-width='" << width << "'/>";
        Line(s, cx - u, cy - u + width * 0.75, cx + u, cy - u + width * 0.75, c, width * 0.9, 1, "butt");
    } else if (g == "MIN") {
        Line(s, cx - u, cy + u * 0.8, cx + u, cy + u * 0.8, c, width);
    } else if (g == "NORM") {
        // Restore: a front window low left, the back one's top and right edges behind it.
        const double d = u * 0.55, f = 2 * u - d;
        std::ostringstream back;
        back << "M" << cx - u + d << "," << cy - u + d << " V" << cy - u << " H" << cx + u << " V" << cy + u - d
             << " H" << cx + u - d;
        Path(s, back.str(), "none", c, width * 0.8);
        s.body << "<rect x='" << cx - u << "' y='" << cy - u + d << "' width='" << f << "' height='" << f
               << "' rx='0.5' fill='none' stroke='" << Hex(c) << "' stroke-width='" << width << "'/>";
    } else if (g == "HELP") {
        std::ostringstream d;
        d << "M" << cx - u * 0.75 << "," << cy - u * 0.45 << " C" << cx - u * 0.7 << "," << cy - u * 1.25 << " "
          << cx + u * 0.8 << "," << cy - u * 1.2 << " " << cx + u * 0.75 << "," << cy - u * 0.4 << " C"
          << cx + u * 0.7 << "," << cy + u * 0.05 << " " << cx << "," << cy << " " << cx << "," << cy + u * 0.45;
        Path(s, d.str(), "none", c, width);
        s.body << "<circle cx='" << cx << "' cy='" << cy + u * 1.05 << "' r='" << width * 0.65 << "' fill='"
               << Hex(c) << "'/>";
    }
}

void DrawCell(Svg& s, const Palette& P, const Piece& p, int state, int x, int w, int h) {
    const Rgb white{255, 255, 255};
    switch (p.Kind) {
    case Look::Raised:
        DrawRaised(s, P, x, w, h, state, std::min(4.0, std::min(w, h) / 4.0));
        break;
    case Look::Flat:
        if (state > 0) DrawRaised(s, P, x, w, h, state, 3);
        break;
    case Look::Field: {
        Rgb edge = state == 0 ? Mix(P.Border, P.Field, 0.25) : P.Accent;
        Line(s, x + 3, 1.5, x + w - 3, 1.5, P.Shade, 1, P.Dark ? 0.5 : 0.12, "butt");
        Outline(s, x, 0, w, h, 3, edge);
        if (state == 2) Outline(s, x + 1, 1, w - 2, h - 2, 2, P.Accent, 0.35);
        break;
    }
    case Look::Panel:
        Line(s, x + 1, 1.5, x + w - 1, 1.5, P.Light, 1, P.Dark ? 0.35 : 0.9, "butt");
        Line(s, x + 1.5, 1, x + 1.5, h - 1, P.Light, 1, P.Dark ? 0.35 : 0.9, "butt");
        Outline(s, x, 0, w, h, 0, Mix(P.Border, P.Panel, 0.35));
        break;
    case Look::Sunken:
        Line(s, x + 1, 1.5, x + w - 1, 1.5, P.Shade, 1, P.Dark ? 0.6 : 0.25, "butt");
        Line(s, x + 1.5, 1, x + 1.5, h - 1, P.Shade, 1, P.Dark ? 0.6 : 0.25, "butt");
        Line(s, x + 1, h - 0.5, x + w - 1, h - 0.5, P.Light, 1, P.Dark ? 0.3 : 0.9, "butt");
        Line(s, x + w - 0.5, 1, x + w - 0.5, h - 1, P.Light, 1, P.Dark ? 0.3 : 0.9, "butt");
        Outline(s, x, 0, w - 1, h - 1, 1, Mix(P.Border, P.Low, 0.3));
        break;
    case Look::Group:
        Outline(s, x + 1, 1, w - 1, h - 1, 4, P.Light, P.Dark ? 0.25 : 0.9);
        Outline(s, x, 0, w - 1, h - 1, 4, Mix(P.Border, P.Bg, 0.3));
        break;
    case Look::Page:
        Line(s, x + 1, 1.5, x + w - 1, 1.5, P.Light, 1, P.Dark ? 0.3 : 0.9, "butt");
        Outline(s, x, 0, w, h, 1, Mix(P.Border, P.Bg, 0.2));
        break;
    case Look::Tab: {
        // Rounded on the outer side, open towards the page; the selected tab
        // (state 2) gets an accent stripe on its outer edge.
        Rgb edge = state == 0 ? Mix(P.Border, P.Bg, 0.25) : P.Border;
        const double r = 5;
        std::ostringstream d;
        double L = x + 0.5, T = 0.5, R = x + w - 0.5, B = h - 0.5;
        switch (p.Side) {
        case 'T': d << "M" << L << "," << h << " V" << T + r << " Q" << L << "," << T << " " << L + r << "," << T
                    << " H" << R - r << " Q" << R << "," << T << " " << R << "," << T + r << " V" << h; break;
        case 'B': d << "M" << L << ",0 V" << B - r << " Q" << L << "," << B << " " << L + r << "," << B << " H"
                    << R - r << " Q" << R << "," << B << " " << R << "," << B - r << " V0"; break;
        case 'L': d << "M" << x + w << "," << T << " H" << L + r << " Q" << L << "," << T << " " << L << ","
                    << T + r << " V" << B - r << " Q" << L << "," << B << " " << L + r << "," << B << " H" << x + w;
                    break;
        default: d << "M" << x << "," << T << " H" << R - r << " Q" << R << "," << T << " " << R << "," << T + r
                   << " V" << B - r << " Q" << R << "," << B << " " << R - r << "," << B << " H" << x; break;
        }
        Path(s, d.str(), "none", edge, 1);
        Rgb stripe = state == 2 ? P.Accent : state == 1 ? Mix(P.Accent, P.Bg, 0.5) : P.Light;
        double so = state == 0 ? (P.Dark ? 0.2 : 0.8) : 1;
        switch (p.Side) {
        case 'T': Line(s, x + 3, 2, x + w - 3, 2, stripe, 2, so, "butt"); break;
        case 'B': Line(s, x + 3, h - 2, x + w - 3, h - 2, stripe, 2, so, "butt"); break;
        case 'L': Line(s, x + 2, 3, x + 2, h - 3, stripe, 2, so, "butt"); break;
        default: Line(s, x + w - 2, 3, x + w - 2, h - 3, stripe, 2, so, "butt"); break;
        }
        break;
    }
    case Look::Track: {
        Rgb edge = state == 2 ? Mix(P.Border, P.Accent, 0.5) : Mix(P.Border, P.Track, 0.45);
        Outline(s, x, 0, w, h, 3, edge, state == 0 ? 0.7 : 1);
        if (p.Side == 'V') Line(s, x + 1.5, 3, x + 1.5, h - 3, P.Shade, 1, P.Dark ? 0.5 : 0.12, "butt");
        else Line(s, x + 3, 1.5, x + w - 3, 1.5, P.Shade, 1, P.Dark ? 0.5 : 0.12, "butt");
        break;
    }
    case Look::Frame: {
        // Outer dark line, a frame band in the title colours, inner line;
        // top corners rounded (the window region follows them).
        bool active = state > 0;
        Rgb band1 = active ? P.Title1 : Mix(P.Title1, P.Bg, 0.55);
        Rgb band2 = active ? P.Title2 : Mix(P.Title2, P.Bg, 0.55);
        std::string paint = s.Gradient(band1, band2);
        std::ostringstream d;
        const double r = 7;
        d << "M" << x << "," << r << " Q" << x << ",0 " << x + r << ",0 H" << x + w - r << " Q" << x + w << ",0 "
          << x + w << "," << r << " V" << h - 2 << " Q" << x + w << "," << h << " " << x + w - 2 << "," << h
          << " H" << x + 2 << " Q" << x << "," << h << " " << x << "," << h - 2 << " Z"
          << " M" << x + 5 << ",5 V" << h - 5 << " H" << x + w - 5 << " V5 Z";
        s.body << "<path d='" << d.str() << "' fill='" << paint << "' fill-rule='evenodd'/>";
        Outline(s, x, 0, w, h, r, active ? Mix(P.Title2, Rgb{0, 0, 0}, 0.35) : Mix(P.Border, P.Bg, 0.3));
        Line(s, x + r, 1.5, x + w - r, 1.5, white, 1, 0.35, "butt");
        Outline(s, x + 4, 4, w - 8, h - 8, 0, Mix(band2, Rgb{0, 0, 0}, 0.25), 0.8);
        break;
    }
    case Look::TitleBand: {
        bool active = state > 0;
        std::ostringstream d;
        const double r = 7;
        double L = x + 0.5, R = x + w - 0.5;
        d << "M" << L << "," << h << " V" << r << " Q" << L << ",0.5 " << L + r << ",0.5 H" << R - r << " Q" << R
          << ",0.5 " << R << "," << r << " V" << h;
        Path(s, d.str(), "none", active ? Mix(P.Title2, Rgb{0, 0, 0}, 0.35) : Mix(P.Border, P.Bg, 0.3), 1);
        Line(s, x + r, 1.5, x + w - r, 1.5, white, 1, active ? 0.45 : 0.3, "butt");
        Line(s, x + 1, h - 0.5, x + w - 1, h - 0.5, Mix(P.Title2, Rgb{0, 0, 0}, 0.3), 1, 0.6, "butt");
        break;
    }
    case Look::TitleEnd: {
        // A soft darker plate under the caption buttons, fading in from the left.
        std::string paint = s.Gradient(P.Title2, Mix(P.Title2, Rgb{0, 0, 0}, 0.25), true, 0.0, state ? 0.45 : 0.3);
        Fill(s, x, 3, w, h - 6, 0, paint);
        break;
    }
    case Look::Menu:
        Outline(s, x + 1, 1, w - 2, h - 2, 0, P.Light, P.Dark ? 0.2 : 1);
        Outline(s, x, 0, w, h, 0, P.Border);
        break;
    case Look::MenuItem:
        if (state > 0) {
            Fill(s, x + 1, 1, w - 2, h - 2, 3, s.Gradient(white, white, false, 0.35, 0.0));
            Outline(s, x, 0, w, h, 3, Mix(P.Sel, P.Accent, 0.6));
        }
        break;
    case Look::DividerH:
        // The outermost rows: a menu's divider is two pixels high, and painted
        // by margins it shows the cell's top and bottom rows.
        Line(s, x, 0.5, x + w, 0.5, Mix(P.Border, P.Menu, 0.4), 1, 1, "butt");
        Line(s, x, h - 0.5, x + w, h - 0.5, P.Light, 1, P.Dark ? 0.2 : 1, "butt");
        break;
    case Look::DividerV:
        Line(s, x + 1.5, 2, x + 1.5, h - 2, Mix(P.Border, P.Panel, 0.3), 1, 1, "butt");
        Line(s, x + 2.5, 2, x + 2.5, h - 2, P.Light, 1, P.Dark ? 0.2 : 1, "butt");
        break;
    case Look::StatusBar:
        Line(s, x, 0.5, x + w, 0.5, Mix(P.Border, P.Panel, 0.3), 1, 1, "butt");
        Line(s, x, 1.5, x + w, 1.5, P.Light, 1, P.Dark ? 0.25 : 1, "butt");
        break;
    case Look::Hint:
        Outline(s, x + 1, 1, w - 2, h - 2, 5, P.Light, P.Dark ? 0.2 : 0.8);
        Outline(s, x, 0, w, h, 6, Mix(P.Border, P.Accent, 0.3));
        break;
    case Look::CaptionBtn: {
        // Rounded plate, clear in the normal state; hot fills (red for close),
        // pressed fills darker. The glyph sits in the middle.
        double r = p.Small ? 3 : 4;
        bool close = p.Glyph == "CLOSE";
        Rgb base = close ? P.Close : Mix(P.Title1, Rgb{255, 255, 255}, 0.28);
        if (state == 0) {
            Fill(s, x + 1, 1, w - 2, h - 2, r, s.Gradient(white, white, false, 0.22, 0.08));
            Outline(s, x, 0, w, h, r, Mix(P.Title2, Rgb{0, 0, 0}, 0.3), 0.55);
        } else {
            Rgb top = state == 1 ? Mix(base, white, 0.2) : Mix(base, Rgb{0, 0, 0}, 0.2);
            Rgb bottom = state == 1 ? base : Mix(base, Rgb{0, 0, 0}, 0.35);
            Fill(s, x, 0, w, h, r, s.Gradient(top, bottom));
            // Dark skins ring the hot plate in their warm accent.
            Outline(s, x, 0, w, h, r, P.Dark && !close && state == 1 ? P.Accent : Mix(bottom, Rgb{0, 0, 0}, 0.35));
            Line(s, x + r, 1.5, x + w - r, 1.5, white, 1, 0.4, "butt");
        }
        if (!p.Glyph.empty()) {
            double u = p.Small ? 3 : 4.5;
            double cx = x + w / 2.0, cy = h / 2.0;
            s.body << "<g opacity='0.3'>";  // a soft shadow under the glyph
            DrawCaptionGlyph(s, p.Glyph, cx, cy + 1, u, Rgb{0, 0, 0}, p.Small ? 1.8 : 2.4);
            s.body << "</g>";
            DrawCaptionGlyph(s, p.Glyph, cx, cy, u, Rgb{250, 248, 244}, p.Small ? 1.5 : 2);
        }
        break;
    }
    case Look::Glow: {
        std::string id = s.Id();
        Rgb c = p.Glyph == "CLOSE" ? Rgb{255, 96, 64} : P.Dark ? P.Accent : P.Accent2;
        s.defs << "<filter id='" << id << "' x='-50%' y='-50%' width='200%' height='200%'><feGaussianBlur stdDeviation='4.5'/></filter>";
        s.body << "<rect x='" << x + 10 << "' y='10' width='" << w - 20 << "' height='" << h - 20
               << "' rx='6' fill='" << Hex(c) << "' fill-opacity='0.85' filter='url(#" << id << ")'/>";
        break;
    }
    case Look::CheckBox:
    case Look::RadioBox: {
        double sz = p.Small ? 11 : 13;
        double o = (w - sz) / 2.0;
        Rgb edge = state == 0 ? Mix(P.Border, P.Field, 0.1) : P.Accent;
        Rgb face1 = state == 2 ? Mix(P.Field, P.Sel, 0.6) : P.Field;
        Rgb face2 = state == 2 ? Mix(P.Field, P.Sel, 0.9) : Mix(P.Field, P.Face2, 0.6);
        bool radio = p.Kind == Look::RadioBox;
        double r = radio ? sz / 2 : 2.5;
        Fill(s, x + o, o, sz, sz, r, s.Gradient(face1, face2));
        Outline(s, x + o, o, sz, sz, r, edge);
        if (state == 1) Outline(s, x + o + 1, o + 1, sz - 2, sz - 2, std::max(0.0, r - 1), P.Accent, 0.35);
        double cx = x + w / 2.0, cy = h / 2.0;
        Rgb mark = P.Dark ? P.Accent2 : P.Accent;
        if (p.Checked == 1 && !radio) {
            double u = sz / 13.0;
            std::ostringstream d;
            d << "M" << cx - 3.5 * u << "," << cy + 0.2 * u << " L" << cx - 1 * u << "," << cy + 2.6 * u << " L"
              << cx + 3.6 * u << "," << cy - 2.8 * u;
            Path(s, d.str(), "none", mark, p.Small ? 1.7 : 2.1);
        } else if (p.Checked == 1) {
            s.body << "<circle cx='" << cx << "' cy='" << cy << "' r='" << sz * 0.21 << "' fill='" << Hex(mark)
                   << "'/>";
        } else if (p.Checked == 2) {
            double q = sz * 0.44;
            Fill(s, cx - q / 2, cy - q / 2, q, q, radio ? q / 2 : 1, Hex(Mix(mark, P.Field, 0.45)));
        }
        break;
    }
    case Look::MenuCheck: {
        Rgb c = state == 0 ? P.Text : Mix(P.Accent, P.Text, P.Dark ? 0.0 : 0.3);
        double cx = x + w / 2.0, cy = h / 2.0;
        std::ostringstream d;
        d << "M" << cx - 4 << "," << cy << " L" << cx - 1.2 << "," << cy + 3 << " L" << cx + 4.2 << "," << cy - 3.4;
        Path(s, d.str(), "none", c, 2);
        break;
    }
    case Look::Arrow: {
        Rgb c = state == 0 ? P.Text : state == 1 ? P.Accent : Mix(P.Accent, Rgb{0, 0, 0}, 0.2);
        double cx = x + w / 2.0, cy = h / 2.0;
        std::ostringstream d;
        switch (p.Side) {
        case 'T': d << "M" << cx - 3.5 << "," << cy + 1.8 << " L" << cx << "," << cy - 1.8 << " L" << cx + 3.5 << "," << cy + 1.8; break;
        case 'B': d << "M" << cx - 3.5 << "," << cy - 1.8 << " L" << cx << "," << cy + 1.8 << " L" << cx + 3.5 << "," << cy - 1.8; break;
        case 'L': d << "M" << cx + 1.8 << "," << cy - 3.5 << " L" << cx - 1.8 << "," << cy << " L" << cx + 1.8 << "," << cy + 3.5; break;
        default: d << "M" << cx - 1.8 << "," << cy - 3.5 << " L" << cx + 1.8 << "," << cy << " L" << cx - 1.8 << "," << cy + 3.5; break;
        }
        Path(s, d.str(), "none", c, 1.8);
        break;
    }
    case Look::SliderGrip: {
        Rgb c = state == 0 ? Mix(P.Border, P.Face2, 0.2) : P.Accent;
        for (int i = -1; i <= 1; ++i) {
            if (p.Side == 'V') Line(s, x + 1.5, h / 2.0 + 2 * i, x + w - 1.5, h / 2.0 + 2 * i, c, 1, 1, "butt");
            else Line(s, x + w / 2.0 + 2 * i, 1.5, x + w / 2.0 + 2 * i, h - 1.5, c, 1, 1, "butt");
        }
        break;
    }
    case Look::Grip: {
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col <= row; ++col) {
                double cx = x + w - 2.5 - 4 * col, cy = h - 2.5 - 4 * (2 - row) - 0;
                s.body << "<rect x='" << cx - 1 + 0.5 << "' y='" << cy - 1 + 0.5 << "' width='2' height='2' fill='"
                       << Hex(P.Light) << "'/>";
                s.body << "<rect x='" << cx - 1.5 << "' y='" << cy - 1.5 << "' width='2' height='2' fill='"
                       << Hex(Mix(P.Border, P.Bg, 0.1)) << "'/>";
            }
        break;
    }
    case Look::Corner: {
        // A faint leaf (light skins) or star (dark skins) tucked into the corner.
        bool right = p.Side == '2' || p.Side == '4', bottom = p.Side == '3' || p.Side == '4';
        double cx = x + (right ? w - 7.0 : 7.0), cy = bottom ? h - 7.0 : 7.0;
        if (P.Dark) {
            std::ostringstream d;
            for (int i = 0; i < 10; ++i) {
                double a = M_PI / 2 + i * M_PI / 5, rr = i % 2 ? 2.2 : 5.5;
                d << (i ? " L" : "M") << cx + rr * std::cos(a) << "," << cy - rr * std::sin(a);
            }
            d << " Z";
            s.body << "<path d='" << d.str() << "' fill='" << Hex(P.Accent) << "' fill-opacity='0.55'/>";
        } else {
            double dx = right ? -1 : 1, dy = bottom ? -1 : 1;
            std::ostringstream d;
            d << "M" << cx - 5 * dx << "," << cy - 5 * dy << " Q" << cx + 4 * dx << "," << cy - 5 * dy << " " << cx + 5 * dx
              << "," << cy + 5 * dy << " Q" << cx - 5 * dx << "," << cy + 4 * dy << " " << cx - 5 * dx << "," << cy - 5 * dy
              << " Z";
            s.body << "<path d='" << d.str() << "' fill='" << Hex(Mix(P.Accent, P.Bg, 0.35)) << "' fill-opacity='0.5'/>";
            Line(s, cx - 5 * dx, cy - 5 * dy, cx + 3 * dx, cy + 3 * dy, P.Accent, 0.8, 0.6);
        }
        break;
    }
    case Look::Texture: {
        // Small tiles: a face gradient across the short side of scroll parts,
        // a fine dotted weave for tracks, a starry sky for a dark form.
        if (p.Section == "FORM") {
            Fill(s, x, 0, w, h, 0, Hex(P.Bg));
            const int stars[][3] = {{7, 9, 3}, {29, 4, 2}, {51, 17, 3}, {18, 33, 2}, {43, 41, 4}, {9, 52, 2}, {58, 57, 2}, {33, 58, 3}};
            for (auto& st : stars)
                s.body << "<circle cx='" << x + st[0] + 0.5 << "' cy='" << st[1] + 0.5 << "' r='" << st[2] * 0.3
                       << "' fill='" << Hex(Mix(P.Text, P.Accent2, 0.3)) << "' fill-opacity='0.8'/>";
        } else if (Starts(p.Section, "SCROLLBAR")) {
            Fill(s, x, 0, w, h, 0, Hex(p.Hot ? Mix(P.Track, P.Light, 0.1) : P.Track));
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < 4; ++j)
                    if ((i + j) % 2 == 0)
                        s.body << "<rect x='" << x + i * 4 + 1 << "' y='" << j * 4 + 1 << "' width='1' height='1' fill='"
                               << Hex(P.Dark ? P.Light : P.Shade) << "' fill-opacity='" << (P.Dark ? 0.12 : 0.1) << "'/>";
        } else {
            Rgb a = p.Hot ? P.Hot1 : P.Face1, b = p.Hot ? P.Hot2 : P.Face2;
            Fill(s, x, 0, w, h, 0, s.Gradient(a, b, p.Side == 'V'));
        }
        break;
    }
    case Look::BigPattern: {
        // Pale birch wood: broad soft growth bands and fine grain lines that
        // wave gently, with one knot. Smooth curves, tiling left to right.
        Fill(s, x, 0, w, h, 0, Hex(P.Bg));
        const Rgb wood = Mix(P.Bg, P.Border, 0.18), grain = Mix(P.Bg, P.Border, 0.32);
        auto wave = [&](double t, double base, int i) {
            const double k = 2 * M_PI / w;
            return base + 3.0 * std::sin(k * t + i * 0.7) + 1.5 * std::sin(2 * k * t + i * 1.3);
        };
        for (int i = 0; i < 40; ++i) {
            const double base = (i + 0.5) * h / 40.0;
            std::ostringstream d;
            for (int k = 0; k <= 64; ++k) {
                const double t = k * w / 64.0;
                d << (k ? " L" : "M") << x + t << "," << wave(t, base, i);
            }
            const bool band = i % 5 == 0 || i % 7 == 3;
            s.body << "<path d='" << d.str() << "' fill='none' stroke='" << Hex(band ? wood : grain)
                   << "' stroke-opacity='" << (band ? 0.55 : 0.35) << "' stroke-width='" << (band ? 3.5 : 0.8)
                   << "' stroke-linejoin='round'/>";
        }
        s.body << "<ellipse cx='" << x + w * 0.62 << "' cy='" << h * 0.41 << "' rx='9' ry='4' fill='none' stroke='"
               << Hex(grain) << "' stroke-opacity='0.6' stroke-width='1.2'/>";
        s.body << "<ellipse cx='" << x + w * 0.62 << "' cy='" << h * 0.41 << "' rx='3.5' ry='1.6' fill='"
               << Hex(grain) << "' fill-opacity='0.5'/>";
        break;
    }
    case Look::SmallPattern: {
        Fill(s, x, 0, w, h, 0, Hex(P.Panel));
        for (int i = 0; i < 16; ++i)
            Line(s, x, i * 4 + 0.5, x + w, i * 4 + 0.5 + ((i % 2) ? 1 : -1), Mix(P.Panel, P.Border, 0.12), 1, 1, "butt");
        for (int i = 0; i < 8; ++i)
            Line(s, x + i * 8 + 2.5, 0, x + i * 8 + 2.5, h, Mix(P.Panel, P.Light, 0.5), 1, 0.5, "butt");
        break;
    }
    }
}

// ---- pixels ----------------------------------------------------------------

struct Rgba {
    int w = 0, h = 0;
    std::vector<uint8_t> px;  // RGBA, top row first
    uint8_t* at(int x, int y) { return px.data() + (size_t(y) * w + x) * 4; }
};

Rgba ReadPng(const std::string& path) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&img, path.c_str())) throw std::runtime_error(path + ": " + img.message);
    img.format = PNG_FORMAT_RGBA;
    Rgba r;
    r.w = int(img.width), r.h = int(img.height);
    r.px.resize(PNG_IMAGE_SIZE(img));
    if (!png_image_finish_read(&img, nullptr, r.px.data(), 0, nullptr)) {
        std::string m = img.message;
        png_image_free(&img);
        throw std::runtime_error(path + ": " + m);
    }
    return r;
}

void WritePng(const std::string& path, const Rgba& im) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    img.width = unsigned(im.w), img.height = unsigned(im.h);
    img.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&img, path.c_str(), 0, im.px.data(), 0, nullptr))
        throw std::runtime_error(path + ": " + img.message);
}

void WriteFile(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), std::streamsize(data.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

// 24-bit bitmap file; alpha is dropped.
void WriteBmp(const std::string& path, const Rgba& im) {
    const std::vector<uint8_t> f = Bmp24File(im.w, im.h, im.px.data(), 4);
    WriteFile(path, std::string(f.begin(), f.end()));
}

// The clear pixels of a strip joined to its edge (4-neighbours): the outside
// of the drawn shapes.
std::vector<bool> ClearOutside(Rgba& strip) {
    std::vector<bool> out(size_t(strip.w) * strip.h, false);
    std::vector<std::pair<int, int>> todo;
    auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= strip.w || y >= strip.h) return;
        const size_t i = size_t(y) * strip.w + x;
        if (out[i] || strip.at(x, y)[3] != 0) return;
        out[i] = true;
        todo.push_back({x, y});
    };
    for (int x = 0; x < strip.w; ++x) visit(x, 0), visit(x, strip.h - 1);
    for (int y = 0; y < strip.h; ++y) visit(0, y), visit(strip.w - 1, y);
    while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        visit(x - 1, y), visit(x + 1, y), visit(x, y - 1), visit(x, y + 1);
    }
    return out;
}

// The rendered strip (ImageCount cells of straight RGBA) as the skin stores it.
// maskType 1: picture above, mask below; else flattened (keyed where clear).
// In a masked picture only the clear outside of the shapes is the key colour:
// a corner piece gives its key pixels the parent's background, and the window
// region is cut along key runs, so a clear middle (where the face shows
// through the mask) is white, which the masked copy leaves exactly as it is.
// forPng keeps the alpha and avoids pure white, which the loader clears.
// Colour stays straight, as PNG holds it: the glow window premultiplies its
// picture itself before the platform shows it.
Rgba Compose(Rgba strip, int maskType, bool forPng) {
    Rgba out;
    out.w = strip.w;
    out.h = strip.h * (maskType >= 1 ? 2 : 1);
    out.px.assign(size_t(out.w) * out.h * 4, 0);
    const std::vector<bool> outside = ClearOutside(strip);
    for (int y = 0; y < strip.h; ++y)
        for (int x = 0; x < strip.w; ++x) {
            uint8_t* s = strip.at(x, y);
            uint8_t* d = out.at(x, y);
            const int a = s[3];
            if (maskType >= 1 || forPng) {
                const bool key = maskType == 0 || outside[size_t(y) * strip.w + x];
                if (a == 0 && key) d[0] = 255, d[1] = 0, d[2] = 255;
                else if (a == 0) d[0] = d[1] = d[2] = 255;
                else d[0] = s[0], d[1] = s[1], d[2] = s[2];
                d[3] = forPng && maskType == 0 ? uint8_t(a) : 255;
                if (forPng && maskType >= 1) d[3] = uint8_t(a);
            } else {
                if (a < 128) d[0] = 255, d[1] = 0, d[2] = 255;
                else for (int c = 0; c < 3; ++c) d[c] = s[c];
                d[3] = 255;
            }
            if (d[0] == 255 && d[1] == 0 && d[2] == 255 && a > 0) d[1] = 1;  // never the key by accident
            if (maskType >= 1) {
                uint8_t* m = out.at(x, y + strip.h);
                const uint8_t g = uint8_t(255 - a);
                m[0] = m[1] = m[2] = g;
                m[3] = 255;
            }
        }
    if (forPng)
        for (size_t i = 0; i < out.px.size(); i += 4)
            if (out.px[i] == 255 && out.px[i + 1] == 255 && out.px[i + 2] == 255) out.px[i] = out.px[i + 1] = out.px[i + 2] = 254;
    return out;
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

void Run(const std::string& cmd) {
    if (std::system(cmd.c_str()) != 0) throw std::runtime_error("failed: " + cmd);
}

struct Context {
    fs::path Out, Work;
    std::string Rsvg, Cjpeg;
    Palette Pal;
};

// Draws the strip of count cells and renders it to straight RGBA.
Rgba Render(const Context& cx, const Piece& p, int count, const std::string& stem) {
    Svg s;
    const int w = p.CellW, h = p.CellH;
    for (int i = 0; i < count; ++i) DrawCell(s, cx.Pal, p, i, i * w, w, h);
    std::ostringstream doc;
    doc << "<svg xmlns='http://www.w3.org/2000/svg' width='" << w * count << "' height='" << h << "' viewBox='0 0 "
        << w * count << " " << h << "'><defs>" << s.defs.str() << "</defs>" << s.body.str() << "</svg>\n";
    const std::string svg = (cx.Work / (stem + ".svg")).string();
    const std::string png = (cx.Work / (stem + ".png")).string();
    WriteFile(svg, doc.str());
    Run(Quote(cx.Rsvg) + " -f png -o " + Quote(png) + " " + Quote(svg));
    Rgba r = ReadPng(png);
    if (r.w != w * count || r.h != h) throw std::runtime_error(svg + ": rendered at the wrong size");
    return r;
}

void WriteJpeg(const Context& cx, const Rgba& im, const std::string& file) {
    const std::string ppm = (cx.Work / (file + ".ppm")).string();
    std::string data = "P6\n" + std::to_string(im.w) + " " + std::to_string(im.h) + "\n255\n";
    Rgba& m = const_cast<Rgba&>(im);
    for (int y = 0; y < im.h; ++y)
        for (int x = 0; x < im.w; ++x) data.append(reinterpret_cast<const char*>(m.at(x, y)), 3);
    WriteFile(ppm, data);
    Run(Quote(cx.Cjpeg) + " -quality 90 -optimize -outfile " + Quote((cx.Out / file).string()) + " " + Quote(ppm));
}


// ---- preview ---------------------------------------------------------------

// A mock window put together from the rendered strips, for looking at a skin
// as a whole (OUT_DIR.work/preview.png). Borders are cut by their margins the
// way the painters cut them; faces take the section's colour or gradient.
// Only an approximation of the engine: no textures, no masks (the strips'
// alpha stands in for them).
struct Strip {
    std::string File;
    int Count = 1, CellW = 0, CellH = 0, WL = 0, WT = 0, WR = 0, WB = 0;
};

class Preview {
public:
    Preview(const TacIniSections& ini, const std::map<std::string, Strip>& strips) : ini_(ini), strips_(strips) {}

    std::string Svg() {
        const int fx = 20, fy = 16, fw = 480, fh = 340;
        Rect(0, 0, 520, 380, "#808080");
        Rect(fx, fy, fw, fh, Colour("FORM", "COLOR"));
        Rect(fx, fy, fw, 30, Face("FORMTITLE", true));
        Nine("FORMTITLE", "BORDERSMASK", 1, fx, fy, fw, 30);
        Nine("FORM", "BORDERSMASK", 1, fx, fy, fw, fh);
        Text(fx + 12, fy + 20, "Skin host", Colour("FORMTITLE", "FONTCOLOR"), 13, true);
        int bx = fx + fw - 8;
        for (const char* k : {"BICONCLOSE", "BICONMAX", "BICONMIN"}) {
            bx -= Cell("GLOBALINFO", k).CellW + 2;
            Glyph("GLOBALINFO", k, std::strcmp(k, "BICONCLOSE") == 0 ? 1 : 0, bx, fy + 5);
        }
        Rect(fx + 5, fy + 30, fw - 10, 20, Colour("MENULINE", "COLOR"));
        const char* menu[] = {"File", "Edit", "View"};
        for (int i = 0; i < 3; ++i) Text(fx + 14 + i * 46, fy + 44, menu[i], Colour("MENULINE", "FONTCOLOR"));
        const int cx = fx + 16, cy = fy + 62;
        const char* states[] = {"Normal", "Hot", "Pressed"};
        for (int i = 0; i < 3; ++i) Control("BUTTON", i, cx + 100 * i, cy, 90, 26, states[i]);
        Rect(cx + 1, cy + 38, 188, 22, Colour("EDIT", "COLOR"), 3);
        Nine("EDIT", "BORDERSMASK", 0, cx, cy + 37, 190, 24);
        Text(cx + 8, cy + 53, "Text in an edit", Colour("EDIT", "FONTCOLOR"));
        Rect(cx + 201, cy + 38, 120, 22, Colour("COMBOBOX", "COLOR"), 3);
        Nine("COMBOBOX", "BORDERSMASK", 1, cx + 200, cy + 37, 122, 24);
        Control("COMBOBTN", 0, cx + 302, cy + 39, 18, 20, nullptr);
        Glyph("COMBOBOX", "GLYPHMASK", 0, cx + 306, cy + 45);
        const char* boxes[][2] = {{"BOXCHECKED", "Checked"}, {"BOXUNCHECKED", "Not checked"}, {"RADIOCHECKED", "Chosen"},
                                  {"RADIOUNCHECKED", "Other"}};
        for (int i = 0; i < 4; ++i) {
            Glyph("GLOBALINFO", boxes[i][0], 0, cx + i * 100, cy + 74);
            Text(cx + 20 + i * 100, cy + 86, boxes[i][1], Colour("CHECKBOX", "FONTCOLOR"));
        }
        const int gx = cx, gy = cy + 102;
        Nine("GROUPBOX", "BORDERSMASK", 0, gx, gy + 6, 200, 110);
        Rect(gx + 10, gy, 52, 14, Colour("FORM", "COLOR"));
        Text(gx + 14, gy + 11, "Group", Colour("GROUPBOX", "FONTCOLOR"), 12, true);
        Rect(gx + 14, gy + 30, 170, 40, Colour("PANEL", "COLOR"));
        Nine("PANEL", "BORDERSMASK", 0, gx + 14, gy + 30, 170, 40);
        Text(gx + 24, gy + 55, "Panel", Colour("PANEL", "FONTCOLOR"));
        Rect(gx + 14, gy + 78, 170, 18, Colour("GAUGE", "COLOR"));
        Rect(gx + 16, gy + 80, 100, 14, Face("GAUGE", true), 2);
        Nine("GAUGE", "BORDERSMASK", 0, gx + 14, gy + 78, 170, 18);
        const int tx = gx + 220, ty = gy;
        Rect(tx, ty + 22, 230, 96, Colour("PAGECONTROL", "COLOR"));
        Nine("PAGECONTROL", "BORDERSMASK", 0, tx, ty + 22, 230, 96);
        const char* pages[] = {"Page 1", "Page 2", "Page 3"};
        for (int i = 0; i < 3; ++i) {
            const int st = i == 0 ? 2 : i == 1 ? 1 : 0, top = st == 2 ? 0 : 2;
            Rect(tx + 2 + i * 72, ty + top + 2, 70, 24 - top - 2, Face("TABTOP", st > 0), 3);
            Nine("TABTOP", "BORDERSMASK", st, tx + 2 + i * 72, ty + top, 70, 24 - top);
            Text(tx + 37 + i * 72, ty + 17, pages[i], Colour("TABTOP", "FONTCOLOR"), 12, false, true);
        }
        Text(tx + 12, ty + 48, "A page of a", Colour("PAGECONTROL", "FONTCOLOR"));
        Text(tx + 12, ty + 64, "page control.", Colour("PAGECONTROL", "FONTCOLOR"));
        const int sx = tx + 206, sy = ty + 28;
        Rect(sx, sy, 17, 84, Colour("SCROLLBAR1V", "COLOR"));
        Nine("SCROLLBAR1V", "BORDERSMASK", 0, sx, sy, 17, 84);
        Control("SCROLLBTNTOP", 0, sx, sy, 17, 17, nullptr);
        Glyph("SCROLLBTNTOP", "GLYPHMASK", 0, sx + 4, sy + 4);
        Control("SCROLLBTNBOTTOM", 1, sx, sy + 67, 17, 17, nullptr);
        Glyph("SCROLLBTNBOTTOM", "GLYPHMASK", 1, sx + 4, sy + 71);
        Control("SCROLLSLIDERV", 1, sx, sy + 24, 17, 26, nullptr);
        Glyph("SCROLLSLIDERV", "GLYPHMASK", 1, sx + 4, sy + 33);
        Rect(fx + 5, fy + fh - 26, fw - 10, 21, Face("STATUSBAR", false));
        Nine("STATUSBAR", "BORDERSMASK", 0, fx + 5, fy + fh - 26, fw - 10, 21);
        Nine("STATUSBAR", "STATUSPANELMASK", 0, fx + 8, fy + fh - 23, 150, 16);
        Text(fx + 14, fy + fh - 11, "Ready", Colour("STATUSBAR", "FONTCOLOR"), 11);
        Glyph("GLOBALINFO", "GRIPIMAGE", 0, fx + fw - 21, fy + fh - 20);
        const int hx = fx + 250, hy = fy + 284;
        Rect(hx, hy, 150, 26, Face("HINT", false), 6);
        Nine("HINT", "BORDERSMASK", 0, hx, hy, 150, 26);
        Text(hx + 10, hy + 17, "A hint for the button", Colour("HINT", "FONTCOLOR"), 11);
        return "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' width='520' "
               "height='380'><defs>" + defs_.str() + "</defs>" + body_.str() + "</svg>\n";
    }

private:
    std::string Read(const std::string& sec, const std::string& key) const {
        return SkinInheritedValue(ini_, sec, key, std::string());
    }
    std::string Colour(const std::string& sec, const std::string& key) const {
        return Hex(FromColorValue(IniValueToInt(Read(sec, key), 0)));
    }
    std::string Face(const std::string& sec, bool hot) {
        const std::string g = Read(sec, hot ? "HOTGRADIENTDATA" : "GRADIENTDATA");
        const int pct = IniValueToInt(Read(sec, hot ? "HOTGRADIENTPERCENT" : "GRADIENTPERCENT"), 0);
        if (pct == 0 || g.find(';') == std::string::npos) return Colour(sec, hot ? "HOTCOLOR" : "COLOR");
        std::vector<std::string> f;
        std::stringstream ss(g);
        for (std::string x; std::getline(ss, x, ';');) f.push_back(x);
        const bool across = f.size() > 3 && f[3] == "1";
        const std::string id = "p" + std::to_string(++ids_);
        defs_ << "<linearGradient id='" << id << "' x1='0' y1='0' x2='" << across << "' y2='" << !across
              << "'><stop offset='0' stop-color='" << Hex(FromColorValue(std::stoi(f[0])))
              << "'/><stop offset='1' stop-color='" << Hex(FromColorValue(std::stoi(f[1]))) << "'/></linearGradient>";
        return "url(#" + id + ")";
    }
    Strip Cell(const std::string& sec, const std::string& key) const {
        auto it = strips_.find(sec + "_" + key);
        return it == strips_.end() ? Strip() : it->second;
    }
    void Rect(int x, int y, int w, int h, const std::string& fill, int r = 0) {
        body_ << "<rect x='" << x << "' y='" << y << "' width='" << w << "' height='" << h << "' rx='" << r
              << "' fill='" << fill << "'/>";
    }
    void Text(int x, int y, const char* t, const std::string& c, int size = 12, bool bold = false, bool centre = false) {
        body_ << "<text x='" << x << "' y='" << y << "' font-family='Liberation Sans' font-size='" << size
              << "' font-weight='" << (bold ? "bold" : "normal") << "' fill='" << c << "' text-anchor='"
              << (centre ? "middle" : "start") << "'>" << t << "</text>";
    }
    void Piece(const Strip& st, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh) {
        if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
        body_ << "<svg x='" << dx << "' y='" << dy << "' width='" << dw << "' height='" << dh << "' viewBox='" << sx
              << " " << sy << " " << sw << " " << sh << "' preserveAspectRatio='none'><image xlink:href='" << st.File
              << "' width='" << st.CellW * st.Count << "' height='" << st.CellH << "'/></svg>";
    }
    void Nine(const std::string& sec, const std::string& key, int state, int x, int y, int w, int h) {
        const Strip st = Cell(sec, key);
        if (st.File.empty()) return;
        const int ox = st.CellW * std::min(state, st.Count - 1), L = st.WL, T = st.WT, R = st.WR, B = st.WB;
        const int tw = st.CellW - L - R, th = st.CellH - T - B;
        Piece(st, ox, 0, L, T, x, y, L, T);
        Piece(st, ox + st.CellW - R, 0, R, T, x + w - R, y, R, T);
        Piece(st, ox, st.CellH - B, L, B, x, y + h - B, L, B);
        Piece(st, ox + st.CellW - R, st.CellH - B, R, B, x + w - R, y + h - B, R, B);
        Piece(st, ox + L, 0, tw, T, x + L, y, w - L - R, T);
        Piece(st, ox + L, st.CellH - B, tw, B, x + L, y + h - B, w - L - R, B);
        Piece(st, ox, T, L, th, x, y + T, L, h - T - B);
        Piece(st, ox + st.CellW - R, T, R, th, x + w - R, y + T, R, h - T - B);
    }
    void Glyph(const std::string& sec, const std::string& key, int state, int x, int y) {
        const Strip st = Cell(sec, key);
        if (st.File.empty()) return;
        Piece(st, st.CellW * std::min(state, st.Count - 1), 0, st.CellW, st.CellH, x, y, st.CellW, st.CellH);
    }
    void Control(const std::string& sec, int state, int x, int y, int w, int h, const char* caption) {
        Rect(x + 1, y + 1, w - 2, h - 2, Face(sec, state > 0), 3);
        Nine(sec, "BORDERSMASK", state, x, y, w, h);
        if (caption)
            Text(x + w / 2, y + h / 2 + 4, caption, Colour(sec, state ? "HOTFONTCOLOR" : "FONTCOLOR"), 12, false, true);
    }

    const TacIniSections& ini_;
    const std::map<std::string, Strip>& strips_;
    std::ostringstream defs_, body_;
    int ids_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: skinart SOURCE_DIR OUT_DIR RSVG_CONVERT CJPEG\n");
        return 2;
    }
    try {
        Context cx;
        const fs::path src = argv[1];
        cx.Out = argv[2];
        cx.Work = cx.Out.string() + ".work";
        cx.Rsvg = argv[3];
        cx.Cjpeg = argv[4];
        fs::remove_all(cx.Out);
        fs::remove_all(cx.Work);
        fs::create_directories(cx.Out);
        fs::create_directories(cx.Work);
        const TacIniSections ini = ReadSkinText((src / "Options.dat").string());
        cx.Pal = ReadPalette(ini);
        fs::copy_file(src / "Options.dat", cx.Out / "Options.dat");

        const std::string masterName = SkinTextValue(ini, "GLOBALINFO", "MASTERBITMAP");
        struct Placed {
            Rgba Image;
            int X, Y;
        };
        std::vector<Placed> parts;
        int masterW = 0, masterH = 0;
        std::map<std::string, bool> written;
        std::map<std::string, Strip> strips;
        auto remember = [&](const std::string& stem, const SkinImageValue& v, const Piece& p) {
            SkinImageValue m = v;
            const int count = std::max(1, v.ImageCount);
            ComputeSkinMargins(m, p.CellW * count, p.CellH * (v.MaskType + 1));
            strips[stem] = Strip{(cx.Work / (stem + ".png")).string(), count, p.CellW, p.CellH, m.WL, m.WT, m.WR, m.WB};
        };

        for (const TacIniSection& sec : ini) {
            for (const auto& [key, value] : SkinSectionPairs(sec)) {
                if (sec.Name == "GLOBALINFO" && key == "MASTERBITMAP") continue;
                SkinImageValue v = ParseSkinImageValue(value);
                if (v.Form == SkinValueForm::None) continue;
                Piece p = Choose(sec.Name, key);
                const std::string stem = sec.Name + "_" + key;
                if (v.Form == SkinValueForm::Jpeg) {
                    if (written[v.File]) continue;
                    written[v.File] = true;
                    const bool big = sec.Name == "FORM";
                    p.Kind = big ? Look::BigPattern : Look::SmallPattern;
                    p.CellW = p.CellH = big ? 320 : 64;
                    WriteJpeg(cx, Render(cx, p, 1, stem), v.File);
                    continue;
                }
                if (v.InMaster()) {
                    const int count = std::max(1, v.ImageCount);
                    const int rw = v.Right - v.Left, rh = v.Bottom - v.Top;
                    p.CellW = rw / count;
                    p.CellH = rh / (v.MaskType + 1);
                    if (p.CellW * count != rw || p.CellH * (v.MaskType + 1) != rh)
                        throw std::runtime_error(sec.Name + " " + key + ": rectangle is no whole number of cells");
                    parts.push_back({Compose(Render(cx, p, count, stem), v.MaskType, false), v.Left, v.Top});
                    remember(stem, v, p);
                    masterW = std::max(masterW, v.Right);
                    masterH = std::max(masterH, v.Bottom);
                    continue;
                }
                // Own files: '!' names as written, plain ".BMP" values upper-cased.
                const bool png = UpperCaseAscii(v.File).find(".PNG") != std::string::npos &&
                                 UpperCaseAscii(v.File).find(".BMP") == std::string::npos;
                Rgba strip = Render(cx, p, std::max(1, v.ImageCount), stem);
                remember(stem, v, p);
                Rgba im = Compose(strip, v.MaskType, png);
                if (png) WritePng((cx.Out / v.File).string(), im);
                else WriteBmp((cx.Out / v.File).string(), im);
            }
        }
        if (!masterName.empty()) {
            Rgba master;
            master.w = masterW, master.h = masterH;
            master.px.resize(size_t(masterW) * masterH * 4);
            for (size_t i = 0; i < master.px.size(); i += 4)
                master.px[i] = 255, master.px[i + 1] = 0, master.px[i + 2] = 255, master.px[i + 3] = 255;
            for (Placed& pl : parts)
                for (int y = 0; y < pl.Image.h; ++y)
                    std::memcpy(master.at(pl.X, pl.Y + y), pl.Image.at(0, y), size_t(pl.Image.w) * 4);
            WriteBmp((cx.Out / masterName).string(), master);
        } else if (!parts.empty()) {
            throw std::runtime_error("master-bitmap parts without MASTERBITMAP");
        }
        const std::string svg = (cx.Work / "preview.svg").string();
        WriteFile(svg, Preview(ini, strips).Svg());
        Run(Quote(cx.Rsvg) + " -f png -o " + Quote((cx.Work / "preview.png").string()) + " " + Quote(svg));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skinart: %s\n", e.what());
        return 1;
    }
}
