// Check boxes and radio buttons of a skin without glyph images still show
// their state; and the knockout: each of our skins with one section or one image key taken out at
// a time (a variant skin text beside copies of the skin's files) loads, and
// every page of the skin host and every item of its menus is painted off
// screen into bitmaps prefilled with a sentinel colour, and shown on the
// display and read back from it (the menus opened for real). Each variant must
// leave no block of the sentinel (a hole), show no key colour, write every
// menu item's caption, show the form's caption and its caption buttons, raise
// nothing and free what it made.
//
// Which variants run: TUVRELI_KNOCKOUT=all runs every one; a comma-separated
// list of labels ("Birch:-MAINMENU", "Night:FORM.BORDERSMASK") runs those;
// otherwise a fixed sample and a few drawn by TUVRELI_KNOCKOUT_SEED (printed;
// the time when unset).
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "Guards.h"
#include "HostForm.h"
#include "HostMenus.h"
#include "Menus.h"
#include "TestSupport.h"
#include "TestSkins.h"
#include "acMenuCache.h"
#include "sSkinManager.h"
#include "sSkinMenus.h"
#include "sSkinProvider.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kSentinel = 0x03FE01;  // 0x00RRGGBB, no skin of ours uses it
constexpr uint32_t kKey = 0xFF00FF;
const char* const kSkins[] = {"Birch", "Night", "Flat", "Sparse"};

struct Variant {
    std::string Skin, Section, Key;  // no key: the whole section goes
    std::string Label() const { return Skin + ":" + (Key.empty() ? "-" + Section : Section + "." + Key); }
};

std::vector<std::string> ReadLines(const fs::path& P) {
    std::ifstream in(P, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

// The skin text without the variant's section or key.
std::string VariantText(const std::vector<std::string>& Lines, const Variant& V) {
    std::string out, section;
    for (const std::string& raw : Lines) {
        std::string l = raw;
        if (!l.empty() && l.back() == '\r') l.pop_back();
        if (!l.empty() && l[0] == '[' && l.find(']') != std::string::npos) section = l.substr(1, l.find(']') - 1);
        if (section == V.Section) {
            if (V.Key.empty()) continue;
            if (l.compare(0, V.Key.size() + 1, V.Key + "=") == 0) continue;
        }
        out += raw + "\n";
    }
    return out;
}

// Every section of the skin and every key the loader took as an image.
std::vector<Variant> VariantsOf(const char* Skin) {
    std::unique_ptr<TsSkinManager> m(MakeSkinManager(nullptr, TUVRELI_TEST_SKINS_DIR, Skin));
    std::vector<Variant> v;
    std::set<std::pair<std::string, std::string>> keys;
    for (const TsGeneralData& g : m->gd()) v.push_back({Skin, g.SectionName, ""});
    for (const TsMaskData& d : m->ma()) keys.insert({d.SectionName, d.PropertyName});
    for (const TsPatternData& d : m->pa()) keys.insert({d.SectionName, d.PropertyName});
    if (m->MasterBitmap()) keys.insert({"GLOBALINFO", "MASTERBITMAP"});
    for (const auto& [s, k] : keys) v.push_back({Skin, s, k});
    return v;
}

std::vector<Variant> AllVariants() {
    std::vector<Variant> all;
    for (const char* s : kSkins) {
        std::vector<Variant> v = VariantsOf(s);
        all.insert(all.end(), v.begin(), v.end());
    }
    return all;
}

// The fixed sample: what a skin lacks most often, and the holes found before.
const char* const kSample[] = {
    "Flat:-MAINMENU", "Flat:-MENUITEM", "Flat:-TABTOP", "Birch:-MAINMENU", "Birch:TABTOP.BORDERSMASK",
    "Birch:GLOBALINFO.GRIPIMAGE", "Night:-MENUITEM", "Night:-MAINMENU", "Night:SCROLLBTNTOP.GLYPHMASK",
    "Night:-GLOBALINFO", "Birch:-PAGECONTROL", "Flat:-SCROLLBAR1V", "Night:-SCROLLBAR1H", "Birch:-CHECKBOX",
    "Night:-FORMTITLE", "Birch:-TOOLBAR",
};
std::vector<Variant> Chosen() {
    std::vector<Variant> all = AllVariants();
    const char* env = std::getenv("TUVRELI_KNOCKOUT");
    const std::string choice = env ? env : "";
    if (choice == "all") return all;
    std::set<std::string> wanted;
    if (!choice.empty()) {
        std::stringstream ss(choice);
        for (std::string l; std::getline(ss, l, ',');) wanted.insert(l);
    } else {
        wanted.insert(std::begin(kSample), std::end(kSample));
        const char* seedText = std::getenv("TUVRELI_KNOCKOUT_SEED");
        const unsigned seed = seedText ? unsigned(std::strtoul(seedText, nullptr, 10))
                                       : unsigned(std::chrono::system_clock::now().time_since_epoch().count());
        std::printf("knockout: TUVRELI_KNOCKOUT_SEED=%u\n", seed);
        std::mt19937 rng(seed);
        for (int i = 0; i < 3 && !all.empty(); ++i) wanted.insert(all[rng() % all.size()].Label());
    }
    std::vector<Variant> v;
    for (const Variant& x : all)
        if (wanted.count(x.Label())) v.push_back(x);
    return v;
}

// ---------------------------------------------------------------- painting off screen

struct Shot {
    testwin::Pixels P;
    std::vector<uint8_t> Care;  // 1 where the window itself must have painted
    bool Cared(int X, int Y) const { return Care[size_t(Y) * size_t(P.Width) + size_t(X)] != 0; }
};

// What Wnd prints of itself (WM_PRINT with Flags) over the sentinel.
testwin::Pixels PrintOf(HWND Wnd, LPARAM Flags = PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND) {
    RECT wr;
    GetWindowRect(Wnd, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    return testwin::Capture(w, h, [&](HDC dc) {
        BrushHandle b(CreateSolidBrush(testwin::SwapRedBlue(kSentinel)));
        RECT r{0, 0, w, h};
        FillRect(dc, &r, b.Get());
        SendMessageW(Wnd, WM_PRINT, WPARAM(dc), Flags);
    });
}

// Every pixel of the shot counts but what the window region of Wnd leaves
// out: the region filled into a black bitmap marks what counts.
void CareInsideRegion(HWND Wnd, Shot& S) {
    RegionHandle rgn(CreateRectRgn(0, 0, 0, 0));
    const bool cut = GetWindowRgn(Wnd, rgn.Get()) != ERROR;
    const testwin::Pixels in = testwin::Capture(S.P.Width, S.P.Height, [&](HDC dc) {
        if (cut) FillRgn(dc, rgn.Get(), HBRUSH(GetStockObject(WHITE_BRUSH)));
    });
    S.Care.resize(in.Data.size());
    for (size_t i = 0; i < in.Data.size(); ++i) S.Care[i] = !cut || in.Data[i] != 0;
}

// A window through WM_PRINT; what its visible children cover and what its
// region leaves out are theirs and the desktop's.
Shot PrintWindowAlone(HWND Wnd) {
    RECT wr;
    GetWindowRect(Wnd, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    Shot s{PrintOf(Wnd), {}};
    CareInsideRegion(Wnd, s);
    for (HWND c = GetWindow(Wnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!IsWindowVisible(c)) continue;
        RECT cr;
        GetWindowRect(c, &cr);
        for (int y = std::max(0, int(cr.top - wr.top)); y < std::min(h, int(cr.bottom - wr.top)); ++y)
            for (int x = std::max(0, int(cr.left - wr.left)); x < std::min(w, int(cr.right - wr.left)); ++x)
                s.Care[size_t(y) * size_t(w) + size_t(x)] = 0;
    }
    return s;
}

// A hole: a 3 x 3 block of the sentinel where the window had to paint (or
// a Side x Side block of Colour).
bool FindHole(const Shot& S, POINT& At, uint32_t Colour = kSentinel, int Side = 3) {
    for (int y = 0; y + Side - 1 < S.P.Height; ++y)
        for (int x = 0; x + Side - 1 < S.P.Width; ++x) {
            bool all = true;
            for (int dy = 0; dy < Side && all; ++dy)
                for (int dx = 0; dx < Side && all; ++dx)
                    all = S.Cared(x + dx, y + dy) && S.P.At(x + dx, y + dy) == Colour;
            if (all) {
                At = POINT{x, y};
                return true;
            }
        }
    return false;
}

int KeyPixels(const Shot& S) {
    int n = 0;
    for (int y = 0; y < S.P.Height; ++y)
        for (int x = 0; x < S.P.Width; ++x) n += S.Cared(x, y) && S.P.At(x, y) == kKey;
    return n;
}

std::vector<HWND> ChildWindows(HWND Wnd) {
    std::vector<HWND> all;
    EnumChildWindows(
        Wnd, [](HWND W, LPARAM L) { reinterpret_cast<std::vector<HWND>*>(L)->push_back(W); return TRUE; }, LPARAM(&all));
    return all;
}

std::string Describe(HWND Wnd) {
    char cls[64] = {};
    GetClassNameA(Wnd, cls, sizeof cls);
    RECT r;
    GetWindowRect(Wnd, &r);
    return std::string(cls) + " at " + std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

// With TUVRELI_KNOCKOUT_SHOTS set to a folder, a window with a fault is
// written there as a PPM picture, sentinel and all.
void WriteShot(const testwin::Pixels& P, std::string Name) {
    const char* dir = std::getenv("TUVRELI_KNOCKOUT_SHOTS");
    if (!dir) return;
    static int n = 0;
    std::replace_if(Name.begin(), Name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
    std::string file = std::string(dir) + "/" + std::to_string(++n) + "-" + Name + ".ppm";
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << P.Width << " " << P.Height << "\n255\n";
    for (uint32_t c : P.Data) out << char(testwin::Red(c)) << char(testwin::Green(c)) << char(testwin::Blue(c));
}

// No hole and no key colour in S (What: "in" or "on" what was read). On the
// display a bitmap nothing painted into shows black: no skin of ours paints
// a block of it.
void CheckShot(const Shot& S, const std::string& Where, const std::string& What, std::vector<std::string>& Problems) {
    POINT at{};
    const bool hole = FindHole(S, at) || (What == "on screen" && FindHole(S, at, 0x000000, 8));
    const int keys = KeyPixels(S);
    if (hole || keys) WriteShot(S.P, Where + " " + What);
    if (hole) Problems.push_back(Where + ": hole " + What + " at " + std::to_string(at.x) + "," + std::to_string(at.y));
    if (keys) Problems.push_back(Where + ": " + std::to_string(keys) + " key pixels " + What);
}

// The windows of a form through WM_PRINT; the form itself prints nothing of
// its own (its frame and face are read back on screen).
void CheckWindowTree(HWND Top, const std::string& Where, std::vector<std::string>& Problems) {
    for (HWND w : ChildWindows(Top)) {
        RECT r;
        GetWindowRect(w, &r);
        if (IsWindowVisible(w) && r.right > r.left && r.bottom > r.top)
            CheckShot(PrintWindowAlone(w), Where, "in " + Describe(w), Problems);
    }
}

// Ink: pixels far from the most common colour of R (clipped to the picture).
int InkPixels(const testwin::Pixels& P, RECT R) {
    R = RECT{std::max(0L, R.left), std::max(0L, R.top), std::min(LONG(P.Width), R.right), std::min(LONG(P.Height), R.bottom)};
    std::map<uint32_t, int> counts;
    for (int y = R.top; y < R.bottom; ++y)
        for (int x = R.left; x < R.right; ++x) ++counts[P.At(x, y)];
    uint32_t face = 0;
    int most = 0;
    for (const auto& [c, n] : counts)
        if (n > most) most = n, face = c;
    int ink = 0;
    for (int y = R.top; y < R.bottom; ++y)
        for (int x = R.left; x < R.right; ++x) {
            const uint32_t c = P.At(x, y);
            ink += std::abs(testwin::Red(c) - testwin::Red(face)) + std::abs(testwin::Green(c) - testwin::Green(face)) +
                       std::abs(testwin::Blue(c) - testwin::Blue(face)) > 90;
        }
    return ink;
}

// A caption on every item that has one (Rects: one an item), of the
// enabled ones only with EnabledOnly.
void CheckCaptions(const std::vector<TMenuItem*>& Items, const std::vector<RECT>& Rects, const testwin::Pixels& P,
                   bool EnabledOnly, const std::string& Where, std::vector<std::string>& Problems) {
    for (size_t i = 0; i < Items.size() && i < Rects.size(); ++i) {
        const AnsiString caption = Items[i]->Caption();
        if (caption != "-" && !caption.empty() && (Items[i]->Enabled() || !EnabledOnly) && InkPixels(P, Rects[i]) < 12)
            Problems.push_back(Where + ": no caption on \"" + caption + "\"");
    }
}

// The items of one pop-up as the skinned menus measure and draw them, one
// below the other in a bitmap of the sentinel.
void CheckPopup(TsSkinableMenus* Menus, TMenuItem* Parent, const std::string& Where, std::vector<std::string>& Problems) {
    std::vector<TMenuItem*> items;
    std::vector<RECT> rects;
    int width = 0, y = 0;
    std::unique_ptr<TBitmap> measure(new TBitmap);
    measure->SetSize(4, 4);
    for (int i = 0; i < Parent->Count(); ++i) {
        TMenuItem* it = Parent->Items(i);
        if (!it->Visible()) continue;
        int w = 0, h = 0;
        Menus->MeasureItem(it, measure->Canvas(), w, h);
        items.push_back(it);
        rects.push_back(RECT{0, y, 0, y + h});
        width = std::max(width, w);
        y += h;
    }
    if (items.empty() || width <= 0 || y <= 0) return;
    std::unique_ptr<TBitmap> bmp(new TBitmap);
    bmp->SetPixelFormat(pf24bit);
    bmp->SetSize(width, y);
    {
        BrushHandle b(CreateSolidBrush(testwin::SwapRedBlue(kSentinel)));
        RECT all{0, 0, width, y};
        FillRect(bmp->Canvas()->Handle(), &all, b.Get());
    }
    for (size_t i = 0; i < items.size(); ++i) {
        rects[i].right = width;
        const RECT& r = rects[i];
        TOwnerDrawState state = items[i]->Enabled() ? 0 : OwnerDrawBit(odDisabled);
        Menus->DrawItem(items[i], bmp->Canvas(), TRect{r.left, r.top, r.right, r.bottom}, state);
    }
    testwin::Pixels p = testwin::Capture(width, y, [&](HDC dc) {
        BitBlt(dc, 0, 0, width, y, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    });
    CheckShot(Shot{p, std::vector<uint8_t>(size_t(width) * size_t(y), 1)}, Where, "in the items", Problems);
    CheckCaptions(items, rects, p, false, Where, Problems);
    for (TMenuItem* it : items)
        if (it->Count() > 0) CheckPopup(Menus, it, Where + " > " + it->Caption(), Problems);
}

// ---------------------------------------------------------------- on the screen

// Wnd and its children filled with the sentinel and painted again as the
// system asks: a pixel nothing paints stays the sentinel.
void FillAndRedraw(HWND Wnd) {
    std::vector<HWND> all = ChildWindows(Wnd);
    all.push_back(Wnd);
    BrushHandle b(CreateSolidBrush(testwin::SwapRedBlue(kSentinel)));
    for (HWND w : all) {
        RECT r;
        GetWindowRect(w, &r);
        OffsetRect(&r, -r.left, -r.top);
        if (IsWindowVisible(w)) FillRect(WindowDC(w, WindowDC::Window).Get(), &r, b.Get());
    }
    RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// What the display shows of the window rectangle of Wnd (the screen's DC).
Shot FromScreen(HWND Wnd) {
    RECT wr;
    GetWindowRect(Wnd, &wr);
    Shot s{testwin::CopyFromWindow(nullptr, wr), {}};
    CareInsideRegion(Wnd, s);
    return s;
}

// The host form as the display shows it: whole, the caption's text and a
// glyph on every caption button the provider placed.
void CheckScreen(TForm* Form, const std::string& Where, std::vector<std::string>& Problems) {
    SetForegroundWindow(Form->Handle());
    FillAndRedraw(Form->Handle());
    Pump(80);
    const Shot s = FromScreen(Form->Handle());
    CheckShot(s, Where, "on screen", Problems);
    TsSkinProvider* p = GetFormProvider(Form);
    if (!p || !p->SkinData()->IsSkinned()) return;
    const int left = p->IconRect().Right + 4, top = p->SysBorderHeight();
    if (InkPixels(s.P, RECT{left, top, left + 60, top + p->CaptionHeight()}) < 12)
        Problems.push_back(Where + " on screen: no caption");
    for (TsCaptionSlot slot : {cbClose, cbMaximize, cbMinimize}) {
        const TRect& r = p->Button(slot).Rect;
        if (p->Button(slot).State >= 0 && InkPixels(s.P, RECT{r.Left, r.Top, r.Right, r.Bottom}) < 4)
            Problems.push_back(Where + " on screen: no glyph on caption button " + std::to_string(slot));
    }
}

// The items of Parent shown for real at the owner's centre by Show (the
// system's menu loop on this thread), while a second thread reads the menu's
// window from the screen (sentinel first) and then cancels the loop.
// Disabled items are dim by design: their captions are checked off screen.
void CheckMenuOnScreen(HWND Owner, TMenuItem* Parent, const std::function<void(POINT)>& Show, const std::string& Where,
                       std::vector<std::string>& Problems) {
    HMENU menu = Parent->Handle();
    Shot s;
    std::vector<RECT> rects(size_t(GetMenuItemCount(menu)));
    std::thread reader([&] {
        HWND w = nullptr;
        for (int i = 0; i < 100 && !w; ++i, Sleep(20))
            if (HWND f = FindWindowW(L"#32768", nullptr); f && IsWindowVisible(f)) w = f;
        if (w) {
            Sleep(40);
            FillAndRedraw(w);
            // A menu may fade in: read it once it stays the same.
            Shot last;
            for (int i = 0; i < 20 && (i < 2 || last.P.Data != s.P.Data); ++i, Sleep(40)) last = std::exchange(s, FromScreen(w));
            RECT r;
            GetWindowRect(w, &r);
            for (size_t i = 0; i < rects.size(); ++i) {
                GetMenuItemRect(nullptr, menu, UINT(i), &rects[i]);
                OffsetRect(&rects[i], -r.left, -r.top);
            }
        }
        SendMessageW(Owner, WM_CANCELMODE, 0, 0);
        for (int i = 0; i < 20 && w && IsWindowVisible(w); ++i, Sleep(50)) PostMessageW(w, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    RECT o;
    GetWindowRect(Owner, &o);
    Show(POINT{(o.left + o.right) / 2, (o.top + o.bottom) / 2});
    reader.join();
    Pump(30);
    if (s.P.Data.empty()) return Problems.push_back(Where + ": the menu did not show on screen");
    CheckShot(s, Where, "on screen", Problems);
    std::vector<TMenuItem*> shown;
    for (int i = 0; i < Parent->Count(); ++i)
        if (Parent->Items(i)->Visible()) shown.push_back(Parent->Items(i));
    CheckCaptions(shown, rects, s.P, true, Where + " on screen", Problems);
}

std::vector<std::string>* RaisedInto = nullptr;
void Raised(void*, TObject*, const std::exception& E) {
    if (RaisedInto) RaisedInto->push_back(std::string("raised: ") + E.what());
}

const fs::path kVariantDir = fs::path(KNOCKOUT_DIR);

// Copies the skin's files once beside the variant texts.
void PrepareFolder(const std::string& Skin) {
    const fs::path dst = kVariantDir / Skin;
    if (fs::exists(dst / ".copied")) return;
    fs::create_directories(dst);
    for (const auto& e : fs::directory_iterator(fs::path(TUVRELI_TEST_SKINS_DIR) / Skin))
        fs::copy_file(e.path(), dst / e.path().filename(), fs::copy_options::overwrite_existing);
    std::ofstream(dst / ".copied") << "1";
}

std::vector<std::string> RunVariant(const Variant& V) {
    std::vector<std::string> problems;
    PrepareFolder(V.Skin);
    const std::vector<std::string> lines = ReadLines(fs::path(TUVRELI_TEST_SKINS_DIR) / V.Skin / "Options.dat");
    {
        std::ofstream out(kVariantDir / V.Skin / "Options.dat", std::ios::binary);
        out << VariantText(lines, V);
    }
    RaisedInto = &problems;
    Application->OnException = TExceptionEvent::Fn(nullptr, &Raised);
    try {
        TSkinHost host(kVariantDir.string().c_str(), V.Skin.c_str(), false, 0);
        if (host.LoadError) {
            try {
                std::rethrow_exception(host.LoadError);
            } catch (const std::exception& e) {
                problems.push_back(std::string("load raised: ") + e.what());
            }
        }
        for (int i = 0; i < host.Pages()->PageCount(); ++i) {
            host.Pages()->SetActivePage(host.Pages()->Pages(i));
            Pump(60);
            CheckWindowTree(host.Form()->Handle(), "page " + std::to_string(i), problems);
            CheckScreen(host.Form(), "page " + std::to_string(i), problems);
        }
        if (auto* menus = host.Manager() ? dynamic_cast<TsSkinableMenus*>(host.Manager()->SkinableMenus()) : nullptr) {
            HWND form = host.Form()->Handle();
            // Off screen, then shown for real by Show.
            const auto check = [&](TMenuItem* Parent, const std::string& Where, const std::function<void(POINT)>& Show) {
                CheckPopup(menus, Parent, Where, problems);
                if (Parent->Count() > 0) CheckMenuOnScreen(form, Parent, Show, Where, problems);
            };
            TPopupMenu* popup = HostPopupMenu(host.Form());
            check(popup->Items(), "pop-up", [&](POINT At) { popup->Popup(At.x, At.y); });
            if (TMainMenu* main = host.Form()->Menu())
                for (int i = 0; i < main->Items()->Count(); ++i) {
                    TMenuItem* top = main->Items()->Items(i);
                    check(top, std::string("menu ") + top->Caption(),
                          [&](POINT At) { TrackPopupMenu(top->Handle(), 0, At.x, At.y, 0, form, nullptr); });
                }
            ClearMenuCache();
        }
    } catch (const std::exception& e) {
        problems.push_back(std::string("raised: ") + e.what());
    }
    Pump(30);
    Application->OnException = {};
    RaisedInto = nullptr;
    return problems;
}

TEST(Knockout, EveryVariantOfOurSkinsPaintsWholeWindowsAndMenus) {
    StartHostEngine();
    const std::vector<Variant> chosen = Chosen();
    ASSERT_FALSE(chosen.empty());
    // Each skin whole first: what it shows whole (a window whose print
    // leaves parts to others) is no fault of a variant. The caches of fonts
    // and system objects that stay fill then too.
    std::map<std::string, std::set<std::string>> whole;
    for (const char* s : kSkins) {
        const std::vector<std::string> p = RunVariant(Variant{s, "NONE", ""});
        whole[s].insert(p.begin(), p.end());
        // What the display shows is whole under every skin itself.
        for (const std::string& e : p)
            if (e.find("on screen") != std::string::npos) ADD_FAILURE() << s << ": " << e;
    }
    testwin::GuiObjects level = testwin::CountGuiObjects();
    for (const Variant& v : chosen) {
        std::printf("knockout: %s\n", v.Label().c_str());
        std::fflush(stdout);
        const std::vector<std::string> problems = RunVariant(v);
        for (const std::string& p : problems)
            if (!whole[v.Skin].count(p)) ADD_FAILURE() << v.Label() << ": " << p;
        const testwin::GuiObjects after = testwin::CountGuiObjects();
        if (after == level) continue;
        // More objects: a cache that fills once (fonts, glyphs of a state not
        // met before) stays level when the variant runs again; a leak grows.
        RunVariant(v);
        EXPECT_EQ(testwin::CountGuiObjects(), after) << v.Label() << ": GDI or USER objects not level";
        level = testwin::CountGuiObjects();
    }
}

// The "Controls" page of the host under the plain-colour skin (no glyph or
// tab images). The glyph column (the left 16 pixels) of the check boxes and
// radio buttons: a box or circle for every state, a mark for the set ones;
// and each tab of the page control, the selected one too, with its caption.
TEST(PlainSkin, CheckBoxesShowTheirStateAndTabsTheirCaptions) {
    StartHostEngine();
    TSkinHost host(TUVRELI_TEST_SKINS_DIR, "Flat", false, 1);
    Pump(100);
    std::map<std::string, int> ink;
    for (HWND w : ChildWindows(host.Form()->Handle())) {
        char text[64] = {};
        GetWindowTextA(w, text, sizeof text);
        const testwin::Pixels p = PrintOf(w);
        if (p.Width >= 16) ink[text] = InkPixels(p, RECT{0, 0, 16, p.Height});
    }
    for (const char* set : {"Check box", "Three states", "Radio one"}) {
        ASSERT_TRUE(ink.count(set)) << set;
        EXPECT_GT(ink[set], ink["Radio two"] + 4) << set << ": no mark";
    }
    EXPECT_GT(ink["Radio two"], 8) << "no circle for a clear radio button";
    HWND tabs = host.Pages()->Handle();
    const testwin::Pixels p = PrintOf(tabs);
    const int n = int(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    ASSERT_EQ(n, 5);
    for (int i = 0; i < n; ++i) {
        RECT t{};
        SendMessageW(tabs, TCM_GETITEMRECT, i, LPARAM(&t));
        EXPECT_GT(InkPixels(p, t), 15) << "tab " << i << " has no caption";
    }
}

// Scroll bars of a skin without arrow glyphs: both arrow buttons of the
// host's skinned scroll bar controls show an arrow.
TEST(PlainSkin, ScrollArrowsShow) {
    StartHostEngine();
    TSkinHost host(TUVRELI_TEST_SKINS_DIR, "Flat", false, 0);
    Pump(100);
    int bars = 0;
    for (HWND w = GetWindow(host.Pages()->Pages(0)->Handle(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        char cls[32] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (std::string(cls) != "TsScrollBar" || !IsWindowEnabled(w)) continue;
        ++bars;
        const testwin::Pixels p = PrintOf(w, PRF_CLIENT | PRF_NONCLIENT);
        const int side = std::min(p.Width, p.Height);
        EXPECT_GT(InkPixels(p, RECT{0, 0, side, side}), 4) << "no arrow on the first button";
        EXPECT_GT(InkPixels(p, RECT{p.Width - side, p.Height - side, p.Width, p.Height}), 4) << "no arrow on the last button";
    }
    EXPECT_EQ(bars, 2);
}

}  // namespace
