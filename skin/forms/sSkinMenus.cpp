#include "sSkinMenus.h"

#include <algorithm>
#include <cstring>

#include "Guards.h"
#include "ImgList.h"
#include "UnitInit.h"
#include "WinText.h"
#include "acntUtilsWin.h"
#include "sAlphaGraph.h"
#include "sCommonData.h"
#include "sControlUtils.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinnedForms.h"

TacMenuLineSurface* CurrentMenuLineSurface = nullptr;
TFont* MenuFont = nullptr;

namespace {

constexpr const wchar_t* kOldProcProp = L"ACMNUOLDPROC";
// What a first item named so says: the pop-up never has an extra line.
constexpr const char* kNoExtraLineName = "SkinSelectItem";
// The column gap the system leaves before a column break, and the space
// below the last item that the system leaves unpainted.
constexpr int kColumnGap = 4, kBottomSlack = 6;

HDC DCOf(TBitmap* Bmp) { return Bmp->Canvas()->Handle(); }

TMenuItem* ItemOf(TObject* Sender) { return dynamic_cast<TMenuItem*>(Sender); }

TMenuItem* FirstItemOf(TMenuItem* Item) {
    TMenuItem* p = Item ? Item->Parent() : nullptr;
    return p && p->Count() > 0 ? p->Items(0) : Item;
}

// Visible siblings of the item, in order (what the pop-up shows).
std::vector<TMenuItem*> ShownItems(TMenuItem* Item) {
    std::vector<TMenuItem*> v;
    TMenuItem* p = Item ? Item->Parent() : nullptr;
    if (!p) return v;
    for (int i = 0; i < p->Count(); ++i)
        if (p->Items(i)->Visible()) v.push_back(p->Items(i));
    return v;
}

std::vector<bool> ShownBreaks(const std::vector<TMenuItem*>& Items) {
    std::vector<bool> b;
    for (TMenuItem* i : Items) b.push_back(i->Break() != mbNone);
    return b;
}

int IndexIn(const std::vector<TMenuItem*>& Items, TMenuItem* Item) {
    auto it = std::find(Items.begin(), Items.end(), Item);
    return it == Items.end() ? -1 : int(it - Items.begin());
}

bool SameFont(TFont* A, TFont* B) {
    const LOGFONTW a = A->LogFont(), b = B->LogFont();
    return std::memcmp(&a, &b, sizeof a) == 0 && A->Color() == B->Color();
}

void CopyRectDC(HDC Dst, const TRect& R, HDC Src, int SrcX, int SrcY) {
    if (R.Width() > 0 && R.Height() > 0) BitBlt(Dst, R.Left, R.Top, R.Width(), R.Height(), Src, SrcX, SrcY, SRCCOPY);
}

// Right-to-left reading: a menu so set on a Middle-East system.
bool RightToLeft(TMenuItem* Item) {
    TMenu* m = Item->GetParentMenu();
    if (!m || m->BiDiMode() != bdRightToLeft) return false;
    const WORD lang = PRIMARYLANGID(GetSystemDefaultLangID());
    return lang == LANG_ARABIC || lang == LANG_HEBREW || lang == LANG_FARSI || lang == LANG_URDU;
}

LRESULT CALLBACK PopupWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

WNDPROC OldProcOf(HWND Wnd) { return reinterpret_cast<WNDPROC>(GetPropW(Wnd, kOldProcProp)); }

LRESULT CALLBACK PopupWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    const WNDPROC old = OldProcOf(Wnd);
    try {
        switch (Msg) {
        case WM_DESTROY:
            ClearMenuCache();
            SkinnedMenuShowing = false;
            break;
        case WM_ERASEBKGND:
            return 1;
        case WM_NCPAINT:
            return 1;
        case WM_NCDESTROY:
            // Given back only while ours is the window's procedure.
            if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Wnd, GWLP_WNDPROC)) == PopupWndProc && old)
                SetWindowLongPtrW(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
            RemovePropW(Wnd, kOldProcProp);
            break;
        default:
            break;
        }
    } catch (const std::exception& e) {
        HandleControlException(nullptr, e);
    } catch (...) {
    }
    return old ? CallWindowProcW(old, Wnd, Msg, WParam, LParam) : DefWindowProcW(Wnd, Msg, WParam, LParam);
}

TacMenuSkinner* MakeSkinableMenus(TsSkinManager* Owner) { return new TsSkinableMenus(Owner); }

}  // namespace

// What one look keeps (see the header).
struct TsSkinableMenus::Look {
    std::map<std::pair<int, bool>, std::unique_ptr<TFont>> Fonts;
    // Items are painted in Work; a disabled bar item is mixed with Plain.
    std::unique_ptr<TBitmap> Work, Plain;
    FontHandle ExtraFont;
    int ExtraCharset = -1;
    // The classic divider's two tones, the system menu's symbol font.
    BrushHandle Shade, Light;
    std::unique_ptr<TFont> Symbols;
};

namespace {
// Grown only: the items of a menu are painted in one bitmap.
TBitmap* Grown(std::unique_ptr<TBitmap>& B, int Width, int Height) {
    if (!B || B->Width() < Width || B->Height() < Height)
        B.reset(CreateBitmap24(std::max(Width, B ? B->Width() : 0), std::max(Height, B ? B->Height() : 0)));
    return B.get();
}
}  // namespace

// ======================================================================

TsSkinableMenus::TsSkinableMenus(TsSkinManager* AOwner) : FOwner(AOwner), FCaptionFont(std::make_unique<TFont>()) {}

TsSkinableMenus::~TsSkinableMenus() {
    // The items must not keep handlers into a freed object.
    if (FActive) HookAll(false);
    FActive = false;
    FreeLook();
}

void TsSkinableMenus::FreeLook() { FLook.reset(); }

bool TsSkinableMenus::SkinnedPopups() const { return FOwner && FOwner->SkinnedPopups(); }

int TsSkinableMenus::SkinBorderWidth() {
    if (FSkinBorderWidth >= 0) return FSkinBorderWidth;
    const int i = FOwner ? FOwner->MaskIndex("MAINMENU", "BORDERSMASK") : -1;
    if (i < 0 || !FOwner->IsValidMaskIndex(i)) {
        FSkinBorderWidth = 0;
    } else {
        const int bw = FOwner->ma()[size_t(i)].BorderWidth;
        FSkinBorderWidth = bw > 0 ? bw : 3;
    }
    return FSkinBorderWidth;
}

void TsSkinableMenus::ResetSkinBorderWidth() {
    FSkinBorderWidth = -1;
    // A new look: its fonts and bitmaps are made again, cached pop-ups drawn again.
    FreeLook();
    ClearMenuCache();
}

void TsSkinableMenus::UpdateActive() {
    // Every manager hooks the menus of its own forms (MenuManagerOf).
    const bool loaded = FOwner && FOwner->Active() && FOwner->SkinData() && FOwner->SkinData()->Active();
    SetActive(loaded);
}

void TsSkinableMenus::SetActive(bool Value) {
    if (FActive == Value) return;
    FActive = Value;
    if (!Value) FreeLook();
    if (FOwner && (FOwner->ComponentState() & csDesigning)) return;
    HookAll(Value);
}

void TsSkinableMenus::Rehook() {
    const bool was = FActive;
    HookAll(false);
    FActive = false;
    UpdateActive();
    if (was && FActive) HookAll(true);
}

void TsSkinableMenus::HookAll(bool On) {
    if (!Application) return;
    // Unhooking takes this object's handlers from every menu; hooking puts
    // them only into the menus of the forms this manager skins.
    for (int i = 0; i < Application->ComponentCount(); ++i) {
        TComponent* c = Application->Components(i);
        if (!On || MenuManagerOf(c) == FOwner) HookComponent(c, On);
    }
}

void TsSkinableMenus::HookForm(TForm* Form) {
    // The form's provider claims it for this manager: what another
    // manager's menus put in goes, also while this one has no skin.
    const bool was = FClaiming;
    FClaiming = true;
    ScopeExit back([&] { FClaiming = was; });
    HookComponent(Form, FActive);
}

void TsSkinableMenus::HookComponent(TComponent* C, bool On, bool Bar) {
    if (!C) return;
    if (auto* f = dynamic_cast<TForm*>(C))
        if (TacFormProvider* p = FormProvider(f)) Bar = p->DrawNonClientArea();
    if (auto* m = dynamic_cast<TMainMenu*>(C)) {
        HookMainMenu(m, On, Bar);
    } else if (auto* p = dynamic_cast<TPopupMenu*>(C)) {
        HookPopupMenu(p, On);
    } else if (auto* item = dynamic_cast<TMenuItem*>(C)) {
        // Items of a main menu came with their menu.
        if (!dynamic_cast<TMainMenu*>(item->GetParentMenu())) HookItem(item, On && SkinnedPopups());
    }
    for (int i = 0; i < C->ComponentCount(); ++i) HookComponent(C->Components(i), On, Bar);
}

void TsSkinableMenus::HookMainMenu(TMainMenu* Menu, bool On, bool Bar) {
    TMenuItem* top = Menu->Items();
    // Without skinned pop-ups the bar stays the system's.
    if (On && !SkinnedPopups()) return;
    // A bar left to the system loses the engine's line handlers.
    for (int i = 0; i < top->Count(); ++i) HookHandlers(top->Items(i), On && Bar, true);
    std::vector<TMenuItem*> stack;
    for (int i = 0; i < top->Count(); ++i)
        for (int j = 0; j < top->Items(i)->Count(); ++j) stack.push_back(top->Items(i)->Items(j));
    while (!stack.empty()) {
        TMenuItem* it = stack.back();
        stack.pop_back();
        HookItem(it, On && SkinnedPopups());
        for (int j = 0; j < it->Count(); ++j) stack.push_back(it->Items(j));
    }
    if (!(Menu->ComponentState() & csDestroying)) Menu->SetOwnerDraw(On);
}

void TsSkinableMenus::HookPopupMenu(TPopupMenu* Menu, bool On) {
    const bool on = On && SkinnedPopups();
    if (!(Menu->ComponentState() & csDestroying)) Menu->SetOwnerDraw(on);
    std::vector<TMenuItem*> stack;
    for (int i = 0; i < Menu->Items()->Count(); ++i) stack.push_back(Menu->Items()->Items(i));
    while (!stack.empty()) {
        TMenuItem* it = stack.back();
        stack.pop_back();
        HookItem(it, on);
        for (int j = 0; j < it->Count(); ++j) stack.push_back(it->Items(j));
    }
}

void TsSkinableMenus::HookItem(TMenuItem* Item, bool On) {
    if (!Item) return;
    TMenu* menu = Item->GetParentMenu();
    if (menu && !(menu->ComponentState() & csDestroying)) menu->SetOwnerDraw(On);
    HookHandlers(Item, On, Item->IsTopLevel());
}

namespace {
// Whether a handler is the engine's Member: of the menus object Self, or
// (Self nil) of any menus object, whose pointer is then only compared.
template <auto Member, class E>
bool EngineHandler(const E& Handler, TsSkinableMenus* Self) {
    if (!Handler) return false;
    return Handler == E::template Of<Member>(Self ? Self : static_cast<TsSkinableMenus*>(Handler.Self()));
}
}  // namespace

void TsSkinableMenus::HookHandlers(TMenuItem* Item, bool On, bool Bar) {
    using D = TAdvancedMenuDrawItemEvent;
    using M = TMenuMeasureItemEvent;
    const D draw = Bar ? D::Of<&TsSkinableMenus::DrawLineItem>(this) : D::Of<&TsSkinableMenus::DrawItem>(this);
    const M measure = Bar ? M::Of<&TsSkinableMenus::MeasureLineItem>(this) : M::Of<&TsSkinableMenus::MeasureItem>(this);
    // Another manager's handlers count as the engine's: the form may have
    // changed managers. Unhooking takes only this object's own unless a
    // provider claims the form.
    auto engineDraw = [&](TsSkinableMenus* Self) {
        return Bar ? EngineHandler<&TsSkinableMenus::DrawLineItem>(Item->OnAdvancedDrawItem, Self)
                   : EngineHandler<&TsSkinableMenus::DrawItem>(Item->OnAdvancedDrawItem, Self);
    };
    auto engineMeasure = [&](TsSkinableMenus* Self) {
        return Bar ? EngineHandler<&TsSkinableMenus::MeasureLineItem>(Item->OnMeasureItem, Self)
                   : EngineHandler<&TsSkinableMenus::MeasureItem>(Item->OnMeasureItem, Self);
    };
    if (On) {
        // A bar item's handlers are replaced; a pop-up item keeps its own.
        if (Bar || !Item->OnAdvancedDrawItem || engineDraw(nullptr)) Item->OnAdvancedDrawItem = draw;
        if (Bar || !Item->OnMeasureItem || engineMeasure(nullptr)) Item->OnMeasureItem = measure;
    } else {
        TsSkinableMenus* whose = FClaiming ? nullptr : this;
        if (engineDraw(whose)) Item->OnAdvancedDrawItem = nullptr;
        if (engineMeasure(whose)) Item->OnMeasureItem = nullptr;
    }
}

// ---------------------------------------------------------------- measuring

void TsSkinableMenus::AskExtraLine(TMenuItem* FirstItem, ExtraLine& Data) {
    Data = ExtraLine{};
    Data.Caption = "Use OnGetExtraLineData event";
    Data.Visible = true;
    if (FOwner && FOwner->OnGetMenuExtraLineData)
        FOwner->OnGetMenuExtraLineData(FirstItem, Data.Section, Data.Caption, Data.Glyph, Data.Visible);
    Data.Caption.erase(std::remove(Data.Caption.begin(), Data.Caption.end(), '&'), Data.Caption.end());
    if (!Data.Visible) {
        delete Data.Glyph;
        Data.Glyph = nullptr;
    }
}

int TsSkinableMenus::ExtraLineWidthFor(TMenuItem* Item, const TacMenuInfo* Info) const {
    TacMenuSupport* ms = FOwner ? FOwner->MenuSupport() : nullptr;
    if (!ms || !ms->UseExtraLine() || !Info || !Info->HaveExtraLine) return 0;
    const std::vector<TMenuItem*> shown = ShownItems(Item);
    return InFirstMenuColumn(ShownBreaks(shown), IndexIn(shown, Item)) ? ms->ExtraLineWidth() : 0;
}

TSize TsSkinableMenus::GlyphSizeOf(TMenuItem* Item) const {
    if (Item && Item->Bitmap() && !Item->Bitmap()->Empty()) return {Item->Bitmap()->Width(), Item->Bitmap()->Height()};
    TMenu* m = Item ? Item->GetParentMenu() : nullptr;
    if (m && m->Images()) return {m->Images()->Width(), m->Images()->Height()};
    return {16, 16};
}

int TsSkinableMenus::GlyphWidthOf(TMenuItem* Item) const { return GlyphSizeOf(Item).cx; }

int TsSkinableMenus::ColumnGlyphWidth(TMenuItem* Item) const { return GlyphWidthOf(FirstItemOf(Item)); }

TFont* TsSkinableMenus::LookFont(TMenuItem* Item, bool Bold) {
    CurrentLook();
    TFont* base = MenuFont ? MenuFont : ScreenMenuFont();
    TForm* form = OwnerForm(Item);
    const int charset = form ? form->Font()->Charset() : base->Charset();
    std::unique_ptr<TFont>& f = FLook->Fonts[{charset, Bold}];
    if (!f) {
        f = std::make_unique<TFont>();
        f->Assign(base);
        f->SetCharset(TFontCharset(charset));
        if (Bold) f->SetStyle(TFontStyles(f->Style() | FontStyleBit(fsBold)));
    }
    return f.get();
}

void TsSkinableMenus::MeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) {
    TMenuItem* item = ItemOf(Sender);
    if (!item || !ACanvas || (item->ComponentState() & csDestroying)) return;
    SkinnedMenuShowing = true;
    TMenuItem* first = FirstItemOf(item);
    TacMenuInfoRef info = FindMenuInfo(first->Command());
    bool extra = info && info->HaveExtraLine;
    if (!info && first->Name() != kNoExtraLineName) {
        ExtraLine data;
        AskExtraLine(first, data);
        extra = data.Visible;
        delete data.Glyph;
    }
    TacMenuSupport* ms = FOwner ? FOwner->MenuSupport() : nullptr;
    const std::vector<TMenuItem*> shown = ShownItems(item);
    const int extraW = ms && ms->UseExtraLine() && extra && InFirstMenuColumn(ShownBreaks(shown), IndexIn(shown, item))
                           ? ms->ExtraLineWidth()
                           : 0;

    HDC dc = ACanvas->Handle();
    TFont* font = LookFont(item, item->Default());
    SelectGuard sel(dc, font->Handle());
    const TsMenuItemType type = MenuItemTypeOf(item->Caption());
    AnsiString text;
    if (type == smCaption) text = "-" + item->Caption() + "-";
    else if (type == smNormal) text = item->Caption() + ShortCutToText(item->ShortCut());
    RECT r{0, 0, 0, 0};
    if (!text.empty()) {
        const std::wstring w = ToWide(text);
        DrawTextW(dc, w.c_str(), int(w.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP);
    }
    SIZE wsz{0, 0};
    GetTextExtentPoint32W(dc, L"W", 1, &wsz);
    const TSize glyph = GlyphSizeOf(item);
    // A divider measures no text, but its glyph columns and margins like any item.
    Width = MenuItemWidth(glyph.cx, r.right - r.left, FMargin, FSpacing, extraW);
    Height = MenuItemHeight(type, wsz.cy, glyph.cy, FMargin);
}

void TsSkinableMenus::MeasureLineItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) {
    TMenuItem* item = ItemOf(Sender);
    if (!item || !ACanvas || (item->ComponentState() & csDestroying)) return;
    HDC dc = ACanvas->Handle();
    SelectGuard sel(dc, LookFont(item, item->Default())->Handle());
    const std::wstring w = ToWide(StripHotkey(item->Caption()));
    SIZE sz{0, 0};
    GetTextExtentPoint32W(dc, w.c_str(), int(w.size()), &sz);
    Width = sz.cx;
    TMenu* m = item->GetParentMenu();
    if (m && m->Images() && item->ImageIndex() >= 0) Width += m->Images()->Width() + 6;
    Height = SystemMetric(SM_CYMENU) - 1;
}

TacMenuSize TsSkinableMenus::PopupSize(TMenuItem* Item) {
    std::vector<TacMenuCell> cells;
    TCanvas* c = nullptr;
    MemoryDC dc;
    TCanvas canvas;
    TCanvasDCScope scope(&canvas, dc.Get());
    c = &canvas;
    for (TMenuItem* i : ShownItems(Item)) {
        int w = 0, h = 0;
        i->MeasureItem(c, w, h);
        cells.push_back({w, h, i->Break() != mbNone});
    }
    return PopupSizeOf(cells, FBorderWidth);
}

// ---------------------------------------------------------------- pop-up backgrounds

TacMenuInfoRef TsSkinableMenus::GetMenuInfo(TMenuItem* Item, int Width, int Height, HWND Wnd) {
    if (!Item) return FindMenuInfoByWindow(Wnd);
    TacMenuInfoRef r = FindMenuInfo(FirstItemOf(Item)->Command());
    if (r || Width == 0) return r;
    return BuildBackground(Item, Width, Height, Wnd);
}

TacMenuInfoRef TsSkinableMenus::BuildBackground(TMenuItem* Item, int Width, int Height, HWND Wnd) {
    TMenuItem* first = FirstItemOf(Item);
    ExtraLine data;
    if (first->Name() != kNoExtraLineName) AskExtraLine(first, data);
    std::unique_ptr<TBitmap> glyph(data.Glyph);
    auto info = std::make_shared<TacMenuInfo>();
    info->FirstItem = first->Command();
    info->Wnd = Wnd;
    info->HaveExtraLine = data.Visible;
    TsSkinManager* m = FOwner;
    const TsSection menu = m ? m->Resolve({"MAINMENU"}) : TsSection{};
    if (m && menu.Name == "MAINMENU" && Width > 0 && Height > 0) {
        info->Bmp.reset(CreateBitmap24(Width, Height));
        TBitmap* bmp = info->Bmp.get();
        const TRect all{0, 0, Width, Height};
        PaintSectionBG(menu, EmptyCacheInfo, TransparentKeyColor, -1, -1, m, bmp, TPoint{0, 0}, all, false);
        TacMenuSupport* ms = m->MenuSupport();
        const int sbw = SkinBorderWidth();
        const int extraW = ms->UseExtraLine() && data.Visible ? ms->ExtraLineWidth() : 0;
        const TsSection ico = m->SectionAt(ms->IcoLineSkin().empty() ? -1 : m->SectionIndex(ms->IcoLineSkin()));
        if (ico.Valid()) {
            const int w = MenuGlyphColumnWidth(GlyphWidthOf(first), FMargin, FSpacing);
            const TRect strip{extraW + sbw, sbw, extraW + sbw + w, Height - sbw};
            if (strip.Right <= Width && strip.Bottom > strip.Top)
                PaintSectionFull(ico, EmptyCacheInfo, -1, -1, m, bmp, TPoint{strip.Left, strip.Top}, strip, 0, true);
        }
        const int border = m->MaskIndexInherited(menu, "BORDERSMASK");
        if (m->IsValidMaskIndex(border)) PaintImageByMargins(bmp, all, false, EmptyCacheInfo, m->ma()[size_t(border)], 0, false);
        if (ms->UseExtraLine() && data.Visible) {
            data.Glyph = glyph.get();
            PaintExtraLine(bmp, first, data);
        }
        FCornerRects.clear();
        if (m->IsValidMaskIndex(border)) {
            const TsMaskData& md = m->ma()[size_t(border)];
            CollectCornerKeyRects(FCornerRects, Width, md, false, 0);
            CollectCornerKeyRects(FCornerRects, Width, md, true, Height - md.WB);
        }
    } else if (m && Width > 0 && Height > 0) {
        // A skin without the menu's section: the colour of the section the
        // items are written in, so that they still have a face to be read on
        // (its images would frame the whole menu as one item).
        info->Bmp.reset(CreateBitmap24(Width, Height));
        const int text = MenuTextSection();
        FillRectOnDC(DCOf(info->Bmp.get()), TRect{0, 0, Width, Height},
                     m->IsValidSectionIndex(text) ? m->gd()[size_t(text)].Color : m->GlobalColor());
        FCornerRects.clear();
    }
    if (Wnd) InitPopupWindow(Wnd, info->Bmp.get());
    AddMenuInfo(info);
    return info;
}

void TsSkinableMenus::PaintExtraLine(TBitmap* Bmp, TMenuItem* FirstItem, const ExtraLine& Data) {
    TsSkinManager* m = FOwner;
    TacMenuSupport* ms = m->MenuSupport();
    const TsSection sec = m->SectionAt(m->SectionIndex(Data.Section));
    const int idx = sec.Index;
    const int sbw = SkinBorderWidth();
    const TRect strip{sbw, sbw, sbw + ms->ExtraLineWidth(), Bmp->Height() - sbw};
    if (strip.Height() <= 0 || strip.Right > Bmp->Width()) return;
    if (m->IsValidSectionIndex(idx))
        PaintSectionFull(sec, EmptyCacheInfo, -1, -1, m, Bmp, TPoint{strip.Left, strip.Top}, strip, 0, true);
    HDC dc = DCOf(Bmp);
    int bottomGap = 12;
    if (Data.Glyph && !Data.Glyph->Empty()) {
        const int gx = strip.Left + (strip.Width() - Data.Glyph->Width()) / 2;
        const int gy = strip.Bottom - 12 - Data.Glyph->Height();
        TCanvas* c = Bmp->Canvas();
        c->Draw(gx, gy, Data.Glyph);
        bottomGap = Data.Glyph->Height() + 20;
    }
    if (Data.Caption.empty()) return;
    // The caption's font: made once a look (and charset).
    TForm* form = OwnerForm(FirstItem);
    const int charset = form ? form->Font()->Charset() : DEFAULT_CHARSET;
    CurrentLook();
    if (!FLook->ExtraFont || FLook->ExtraCharset != charset) {
        LOGFONTW lf = ms->ExtraLineFont()->LogFont();
        lf.lfCharSet = BYTE(charset);
        lf.lfWeight = FW_NORMAL;
        lf.lfEscapement = lf.lfOrientation = -2700;
        FLook->ExtraFont.Reset(CreateFontIndirectW(&lf));
        FLook->ExtraCharset = charset;
    }
    SavedDC saved(dc);
    SelectObject(dc, FLook->ExtraFont.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(m->IsValidSectionIndex(idx) ? m->gd()[size_t(idx)].FontColor[0] : clBlack));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    const std::wstring w = ToWide(Data.Caption);
    TextOutW(dc, strip.Left + (strip.Width() - tm.tmHeight) / 2, strip.Top + strip.Height() - bottomGap, w.c_str(),
             int(w.size()));
}

void TsSkinableMenus::InitPopupWindow(HWND Wnd, TBitmap* Bmp) {
    if (FSettingRegion || !Wnd || !IsWindow(Wnd)) return;
    ValueRestorer<bool> busy(FSettingRegion, true);
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Wnd, GWLP_WNDPROC)) != PopupWndProc && !GetPropW(Wnd, kOldProcProp)) {
        const LONG_PTR old = GetWindowLongPtrW(Wnd, GWLP_WNDPROC);
        SetPropW(Wnd, kOldProcProp, reinterpret_cast<HANDLE>(old));
        SetWindowLongPtrW(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PopupWndProc));
    }
    if (!IsNTPlatform || !Bmp) return;
    if (SendMessageW(Wnd, SM_ALPHACMD, WPARAM(SkinWParam(scSetUpdating)), 0) != 0) return;
    SendMessageW(Wnd, SM_ALPHACMD, WPARAM(SkinWParam(scBeforeBorders)), 0);
    RegionHandle rgn(CreateRectRgn(0, 0, Bmp->Width(), Bmp->Height()));
    std::vector<TRect> cut = FCornerRects;
    if (cut.empty()) cut.push_back(TRect{0, 0, 1, 1});
    for (const TRect& r : cut) {
        RegionHandle part(CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom));
        CombineRgn(rgn.Get(), rgn.Get(), part.Get(), RGN_DIFF);
    }
    // The pending messages are not handled here (they are the menu loop's
    // own input); the region's redraw comes as the next paint.
    if (SetWindowRgn(Wnd, rgn.Get(), TRUE)) rgn.Release();
}

bool TsSkinableMenus::PreparePopupWindow(HWND Wnd, TMenuItem* Item) {
    // Only a pop-up menu's window: the window found at a point may be another.
    wchar_t cls[16] = {};
    if (!Wnd || !IsWindow(Wnd) || !GetClassNameW(Wnd, cls, 16) || wcscmp(cls, L"#32768") != 0) return false;
    RECT wr;
    GetWindowRect(Wnd, &wr);
    TacMenuInfoRef info = GetMenuInfo(Item, wr.right - wr.left, wr.bottom - wr.top, Wnd);
    if (!info || !info->Bmp) return false;
    if (!info->Wnd) info->Wnd = Wnd;
    InitPopupWindow(Wnd, info->Bmp.get());
    WindowDC dc(Wnd, WindowDC::Window);
    BitBlt(dc.Get(), 0, 0, info->Bmp->Width(), info->Bmp->Height(), DCOf(info->Bmp.get()), 0, 0, SRCCOPY);
    return true;
}

// ---------------------------------------------------------------- drawing pop-up items

TsSkinableMenus::Look& TsSkinableMenus::CurrentLook() {
    if (!FLook) FLook = std::make_unique<Look>();
    return *FLook;
}

TBitmap* TsSkinableMenus::WorkBitmap(int Width, int Height) { return Grown(CurrentLook().Work, Width, Height); }

void TsSkinableMenus::CopyFrameBands(HWND Wnd, const TacMenuInfo& Info, TMenuItem* Item, const TRect& R,
                                     TPoint Offset) {
    const std::vector<TMenuItem*> shown = ShownItems(Item);
    const int index = IndexIn(shown, Item);
    if (index < 0) return;
    WindowDC dc(Wnd, WindowDC::Window);
    HDC src = DCOf(Info.Bmp.get());
    const int W = Info.Bmp->Width(), H = Info.Bmp->Height(), bw = FBorderWidth;
    if (index == 0) CopyRectDC(dc.Get(), TRect{0, 0, W, bw}, src, 0, 0);
    if (index == int(shown.size()) - 1) CopyRectDC(dc.Get(), TRect{0, H - bw, W, H}, src, 0, H - bw);
    const int top = R.Top + Offset.Y, bottom = R.Bottom + Offset.Y;
    const int left = PopupLeftBandWidth(ExtraLineWidthFor(Item, &Info), SkinBorderWidth(), bw);
    CopyRectDC(dc.Get(), TRect{0, top, left, bottom}, src, 0, top);
    CopyRectDC(dc.Get(), TRect{W - bw, top, W, bottom}, src, W - bw, top);
}

void TsSkinableMenus::DrawItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State) {
    TMenuItem* item = ItemOf(Sender);
    if (!FActive || !item || !ACanvas || !FOwner) return;
    SkinnedMenuShowing = true;
    HDC dc = ACanvas->Handle();
    if (HWND hot = FOwner->HotWindow()) {
        SendMessageW(hot, WM_MOUSELEAVE, 0, 0);
        FOwner->SetHotWindow(nullptr);
    }
    // A control that switched hints off while it tracked a press lost the
    // mouse to the menu: hints come back once the item is drawn.
    ScopeExit hints([] {
        if (Application) Application->ShowHint = true;
    });
    HWND wnd = IsNTPlatform ? WindowFromDC(dc) : nullptr;
    int w = 0, h = 0;
    TPoint offset{0, 0};
    if (wnd) {
        RECT wr;
        GetWindowRect(wnd, &wr);
        w = wr.right - wr.left;
        h = wr.bottom - wr.top;
        POINT org{0, 0};
        // Where the DC's origin lies in the window: item rectangles are in the DC's coordinates.
        if (GetDCOrgEx(dc, &org)) offset = TPoint{org.x - wr.left, org.y - wr.top};
    } else {
        const TacMenuSize s = PopupSize(item);
        w = s.Width;
        h = s.Height;
        offset = TPoint{FBorderWidth, FBorderWidth};
    }
    TacMenuInfoRef info = GetMenuInfo(item, w, h, wnd);
    if (!info || !info->Bmp) return;
    if (wnd) {
        CopyFrameBands(wnd, *info, item, ARect, offset);
    } else if (Application) {
        MSG queued;
        HWND app = Application->Handle();
        if (!PeekMessageW(&queued, app, acMenuItemPopupMsg, acMenuWindowPopupMsg, PM_NOREMOVE))
            PostMessageW(app, acMenuItemPopupMsg, 0, LPARAM(item->Command()));
    }
    const int extraW = ExtraLineWidthFor(item, info.get());
    switch (MenuItemTypeOf(item->Caption())) {
    case smDivider: PaintDivider(ACanvas, item, ARect, *info, offset, extraW); break;
    case smCaption: PaintCaptionLine(ACanvas, item, ARect, *info, offset, extraW); break;
    default: PaintNormalItem(ACanvas, item, ARect, State, *info, offset, extraW); break;
    }
}

void TsSkinableMenus::PaintDivider(TCanvas* C, TMenuItem* Item, const TRect& R, const TacMenuInfo& Info,
                                   TPoint Offset, int ExtraW) {
    TsSkinManager* m = FOwner;
    HDC dc = C->Handle();
    const int mask = m->MaskIndexInherited(m->Resolve({"DIVIDERV"}), "BORDERSMASK");
    if (!m->IsValidMaskIndex(mask)) {
        // The classic two-tone line.
        Look& look = CurrentLook();
        if (!look.Shade) look.Shade.Reset(CreateSolidBrush(ColorToRGB(clGray)));
        if (!look.Light) look.Light.Reset(CreateSolidBrush(ColorToRGB(clWhite)));
        const int y = R.Top + R.Height() / 2 - 1;
        RECT shade{R.Left + ExtraW, y, R.Right, y + 1}, light{R.Left + ExtraW, y + 1, R.Right, y + 2};
        FillRect(dc, &shade, look.Shade.Get());
        FillRect(dc, &light, look.Light.Get());
        return;
    }
    TBitmap* bmp = WorkBitmap(R.Width(), R.Height());
    const TRect local{0, 0, R.Width(), R.Height()};
    CopyRectDC(DCOf(bmp), local, DCOf(Info.Bmp.get()), R.Left + Offset.X, R.Top + Offset.Y);
    int start = ExtraW + MenuGlyphColumnWidth(ColumnGlyphWidth(Item), FMargin, FSpacing) + 2;
    if (start <= ExtraW + FMargin + FSpacing) start = ExtraW + FMargin + FSpacing;
    const TRect line{start, 0, R.Width() - FMargin, R.Height()};
    if (line.Width() > 0) PaintImageByMargins(bmp, line, true, EmptyCacheInfo, m->ma()[size_t(mask)], 0, false);
    CopyRectDC(dc, TRect{R.Left, R.Top, R.Right, R.Bottom}, DCOf(bmp), 0, 0);
}

void TsSkinableMenus::PaintCaptionLine(TCanvas* C, TMenuItem* Item, const TRect& R, const TacMenuInfo& Info,
                                       TPoint Offset, int ExtraW) {
    TsSkinManager* m = FOwner;
    TBitmap* bmp = WorkBitmap(R.Width(), R.Height());
    HDC bdc = DCOf(bmp);
    const TRect local{0, 0, R.Width(), R.Height()};
    // The extra-line column and a 1-pixel frame come from the background.
    CopyRectDC(bdc, local, DCOf(Info.Bmp.get()), R.Left + Offset.X, R.Top + Offset.Y);
    // A caption line is a bar across the menu; without the bar's section it
    // is written in the items' colours, over the menu's background where
    // their section lets it show.
    const TsSection bar = m->Resolve("TOOLBAR", "MENUITEM");
    const TRect inner{ExtraW + 1, 1, R.Width() - 1, R.Height() - 1};
    const CacheInfo under{Info.Bmp.get(), R.Left + Offset.X, R.Top + Offset.Y, 0, true};
    if (bar.Valid() && inner.Width() > 0 && inner.Height() > 0)
        PaintSectionFull(bar, under, -1, -1, m, bmp, TPoint{inner.Left, inner.Top}, inner, 0, true);
    TCanvas* bc = bmp->Canvas();
    if (!SameFont(bc->Font(), FCaptionFont.get())) bc->Font()->Assign(FCaptionFont.get());
    const AnsiString text = CaptionLineText(Item->Caption());
    WriteSectionText(bc, text.c_str(), true, m, false, bar.Index, DT_CENTER | DT_VCENTER | DT_SINGLELINE, inner);
    CopyRectDC(C->Handle(), R, bdc, 0, 0);
}

void TsSkinableMenus::PaintItemGlyph(TBitmap* Bmp, TMenuItem* Item, int Width, int Height, bool Enabled, bool Rtl) {
    TMenu* menu = Item->GetParentMenu();
    // At (m, m), m centring it in the item's height; mirrored right to left.
    auto left = [&](int Mm, int GlyphW) { return Rtl ? Width - Mm - GlyphW : Mm; };
    if (menu && menu->Images() && Item->ImageIndex() >= 0) {
        const int mm = (Height - menu->Images()->Height()) / 2;
        menu->Images()->Draw(Bmp->Canvas(), left(mm, menu->Images()->Width()), mm, Item->ImageIndex(), Enabled);
        return;
    }
    TBitmap* glyph = Item->Bitmap();
    if (glyph && !glyph->Empty()) {
        const int mm = (Height - glyph->Height()) / 2, x = left(mm, glyph->Width());
        if (glyph->PixelFormat() == pf32bit)
            CopyMaskedRect(TRect{x, mm, x + glyph->Width(), mm + glyph->Height()},
                           TRect{0, 0, glyph->Width(), glyph->Height()}, Bmp, false, EmptyCacheInfo, glyph);
        else
            Bmp->Canvas()->Draw(x, mm, glyph);
        return;
    }
    if (!menu || menu->Name() != "SysMenu") return;
    // The system menu's items without an image: the platform's symbols.
    const char* sym = Item->Tag() == SC_MINIMIZE ? "0" : Item->Tag() == SC_MAXIMIZE ? "1"
                    : Item->Tag() == SC_CLOSE    ? "r" : Item->Tag() == SC_RESTORE  ? "2" : nullptr;
    if (!sym) return;
    TsSkinManager* m = FOwner;
    std::unique_ptr<TFont>& f = CurrentLook().Symbols;
    if (!f) {
        f = std::make_unique<TFont>();
        f->SetName("Webdings");
        f->SetCharset(SYMBOL_CHARSET);
        f->SetSize(10);
    }
    HDC dc = DCOf(Bmp);
    SavedDC saved(dc);
    SelectObject(dc, f->Handle());
    SetBkMode(dc, TRANSPARENT);
    const int idx = MenuTextSection();
    SetTextColor(dc, ColorToRGB(m->IsValidSectionIndex(idx) ? m->gd()[size_t(idx)].FontColor[0] : clMenuText));
    RECT r{4, 0, Bmp->Width(), Height};
    DrawTextA(dc, sym, 1, &r, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOCLIP);
}

int TsSkinableMenus::MenuTextSection() const {
    // A skin without "MENUITEM" writes the items in the menu's colours.
    return FOwner->Resolve("MENUITEM", "MAINMENU").Index;
}

TColor TsSkinableMenus::TextColorOf(int Section, bool Enabled, bool Hot) const {
    if (!FOwner->IsValidSectionIndex(Section)) return clMenuText;
    const TsGeneralData& sec = FOwner->gd()[size_t(Section)];
    return Enabled ? (Hot ? sec.HotFontColor[0] : sec.FontColor[0]) : BlendColors(sec.FontColor[0], sec.Color, 0.4);
}

void TsSkinableMenus::PaintNormalItem(TCanvas* C, TMenuItem* Item, const TRect& R, TOwnerDrawState State,
                                      const TacMenuInfo& Info, TPoint Offset, int ExtraW) {
    TsSkinManager* m = FOwner;
    HDC dc = C->Handle();
    TBitmap* bg = Info.Bmp.get();
    HDC bgdc = DCOf(bg);
    const std::vector<TMenuItem*> shown = ShownItems(Item);
    const int index = IndexIn(shown, Item);
    const bool last = index == int(shown.size()) - 1;
    const bool columnEnds = index >= 0 && !last && shown[size_t(index) + 1]->Break() != mbNone;
    RECT client{0, 0, 0, 0};
    if (HWND w = WindowFromDC(dc)) GetClientRect(w, &client);
    const int clientBottom = client.bottom > 0 ? int(client.bottom) : bg->Height() - Offset.Y;
    // The space below a column's last item, and the gap left of a new column.
    if (columnEnds || (last && R.Bottom + Offset.Y < bg->Height() - kBottomSlack))
        CopyRectDC(dc, TRect{R.Left, R.Bottom, R.Right, clientBottom}, bgdc, R.Left + Offset.X, R.Bottom + Offset.Y);
    if (Item->Break() != mbNone && R.Left >= kColumnGap)
        CopyRectDC(dc, TRect{R.Left - kColumnGap, 0, R.Left, clientBottom}, bgdc, R.Left - kColumnGap + Offset.X, Offset.Y);

    const bool enabled = !(State & (OwnerDrawBit(odDisabled) | OwnerDrawBit(odGrayed)));
    const bool selected = (State & OwnerDrawBit(odSelected)) != 0;
    const bool hot = enabled && (selected || (State & OwnerDrawBit(odHotLight)));
    const bool rtl = RightToLeft(Item);
    const int W = R.Width() - ExtraW, H = R.Height();
    if (W <= 0 || H <= 0) return;
    TBitmap* bmp = WorkBitmap(W, H);
    HDC bdc = DCOf(bmp);
    const TRect local{0, 0, W, H};
    const int bgX = R.Left + ExtraW + Offset.X, bgY = R.Top + Offset.Y;
    CopyRectDC(bdc, local, bgdc, bgX, bgY);
    const TsSection itemSec = m->SectionAt(MenuTextSection());
    const int itemIdx = itemSec.Index;
    // Only an item section of its own paints every item; in the menu's
    // section only the hot item stands out.
    if (itemSec.Name == "MENUITEM") {
        const CacheInfo under{bg, bgX, bgY, 0, true};
        PaintSectionFull(itemSec, under, -1, -1, m, bmp, TPoint{0, 0}, local, hot ? 1 : 0, true);
    } else if (hot && m->IsValidSectionIndex(itemIdx)) {
        FillRectOnDC(bdc, local, m->gd()[size_t(itemIdx)].HotColor);
    }
    if (Item->Checked()) {
        const TsCommonIndexes& ci = m->ConstData();
        int mask = Item->RadioItem() ? ci.RadioChecked : -1;
        if (!Item->RadioItem()) {
            mask = GlobalMask(m, "CHECK");
            if (!m->IsValidMaskIndex(mask)) mask = ci.CheckBoxChecked;
        }
        if (m->IsValidMaskIndex(mask)) {
            const TPoint cell = m->MaskStateSize(mask);
            PaintGlyphFromImage(bmp, TPoint{rtl ? W - FMargin - cell.X : FMargin, (H - cell.Y) / 2}, hot ? 1 : 0, 1,
                                m->ma()[size_t(mask)], CacheInfo{bmp, 0, 0, 0, true});
        } else {
            // No glyph images: the system's mark in the item's text colour.
            const int side = std::min(H, 16);
            const TColor ink = TextColorOf(itemIdx, enabled, hot);
            DrawSystemMark(bdc, Bounds(rtl ? W - FMargin - side : FMargin, (H - side) / 2, side, side),
                           Item->RadioItem() ? DFCS_MENUBULLET : DFCS_MENUCHECK, ink);
        }
    }
    PaintItemGlyph(bmp, Item, W, H, enabled, rtl);

    TCanvas* bc = bmp->Canvas();
    // Bold for the default item, also where the system leaves odDefault out.
    TFont* font = LookFont(Item, (State & OwnerDrawBit(odDefault)) || Item->Default());
    if (!SameFont(bc->Font(), font)) bc->Font()->Assign(font);
    AnsiString caption = Item->Caption();
    unsigned align = FAlignment == taRightJustify ? DT_RIGHT : FAlignment == taCenter ? DT_CENTER : DT_LEFT;
    if (!caption.empty() && caption[0] == '\b') {
        caption = caption.substr(1) + "      ";
        align = DT_RIGHT;
    }
    const int textLeft = ColumnGlyphWidth(Item) + 2 * FMargin + FSpacing;
    TRect textRect{textLeft, 0, W, H};
    if (rtl) textRect = TRect{0, 0, W - textLeft, H};
    unsigned flags = DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | align;
    if (State & OwnerDrawBit(odNoAccel)) flags |= DT_HIDEPREFIX;
    if (rtl) flags |= DT_RTLREADING;
    WriteSectionText(bc, caption.c_str(), enabled, m, hot, itemIdx, flags, textRect);
    if (Item->ShortCut() != scNone) {
        const AnsiString sc = ShortCutToText(Item->ShortCut());
        const TRect scRect = rtl ? TRect{8, 0, W, H} : TRect{0, 0, W - 8, H};
        WriteSectionText(bc, sc.c_str(), enabled, m, hot, itemIdx, DT_VCENTER | DT_SINGLELINE | (rtl ? DT_LEFT : DT_RIGHT),
                         scRect);
    }
    if (OnDrawItem) OnDrawItem(Item, bc, local, State, smNormal);
    if (!enabled) BlendBitmapRect(bmp, 0, 0, TransparentKeyColor, 0.4, TRect{bgX, bgY, bgX + W, bgY + H}, bg);
    CopyRectDC(dc, TRect{R.Left + ExtraW, R.Top, R.Right, R.Bottom}, bdc, 0, 0);
    // The system draws a sub-menu's arrow after the item in the DC's colours:
    // the item's text colour over the colour at its right edge.
    if (m->IsValidSectionIndex(itemIdx)) {
        SetTextColor(dc, ColorToRGB(TextColorOf(itemIdx, enabled, hot)));
        SetBkColor(dc, GetPixel(bdc, W - 2, H / 2));
    }
    // The extra line beside the first item (drawn over by the system before).
    if (ExtraW > 0 && index == 0) {
        OSVERSIONINFOW v{};
        v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        const bool six = GetVersionExW(&v) && v.dwMajorVersion >= 6;
#pragma GCC diagnostic pop
        if (!IsNTPlatform || six)
            CopyRectDC(dc, TRect{R.Left, 0, R.Left + ExtraW, clientBottom}, bgdc, R.Left + Offset.X, Offset.Y);
    }
}

// ---------------------------------------------------------------- menu bar items

void TsSkinableMenus::DrawLineItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State) {
    TMenuItem* item = ItemOf(Sender);
    if (!FActive || !item || !ACanvas || !FOwner || ARect.Width() <= 0 || ARect.Height() <= 0) return;
    TsSkinManager* m = FOwner;
    TacMenuLineSurface* surface = CurrentMenuLineSurface;
    TMenu* menu = item->GetParentMenu();
    // A merged item shows on the bar of the menu it is merged into.
    auto* main = dynamic_cast<TMainMenu*>(menu);
    TMenu* bar = main && main->MergedInto() ? main->MergedInto() : menu;
    if (!surface && bar && bar->WindowHandle()) {
        // The form answers with its provider as the engine knows it; the
        // surface is another face of the same object.
        const LRESULT p = SendMessageW(bar->WindowHandle(), SM_ALPHACMD, WPARAM(SkinWParam(scGetProvider)), 0);
        if (p && dynamic_cast<TForm*>(FindControl(bar->WindowHandle())))
            surface = dynamic_cast<TacMenuLineSurface*>(reinterpret_cast<TacFormProvider*>(p));
    }
    TPoint origin{0, 0};
    TBitmap* image = surface ? surface->MenuLineImage(origin) : nullptr;
    // Where the item lies on that picture.
    const int ix = ARect.Left - origin.X, iy = ARect.Top - origin.Y;
    if (image && (ix < 0 || iy < 0 || ix + ARect.Width() > image->Width() || iy + ARect.Height() > image->Height()))
        image = nullptr;
    const bool enabled = !(State & (OwnerDrawBit(odDisabled) | OwnerDrawBit(odGrayed)));
    const bool hot = (State & (OwnerDrawBit(odSelected) | OwnerDrawBit(odHotLight))) != 0;
    const int W = ARect.Width(), H = ARect.Height();
    TBitmap* bmp = WorkBitmap(W, H);
    HDC bdc = DCOf(bmp);
    const TRect local{0, 0, W, H};
    CacheInfo under = EmptyCacheInfo;
    const TsSection line = surface ? surface->MenuLineSection() : m->Resolve("MENULINE", "MAINMENU");
    const int lineIdx = line.Index;
    if (image) {
        CopyRectDC(bdc, local, DCOf(image), ix, iy);
        under = CacheInfo{image, ix, iy, 0, true};
    } else if (m->IsValidSectionIndex(lineIdx)) {
        // No skinned picture of the form: the bar's own section under the item.
        PaintSectionBG(line, EmptyCacheInfo, TransparentKeyColor, -1, -1, m, bmp, TPoint{ARect.Left, ARect.Top}, local,
                       false);
        under = CacheInfo{bmp, 0, 0, 0, true};
    }
    // Without an item section of its own only the hot item stands out, in
    // the line's hot look.
    const TsSection itemSec = m->Resolve("MENUITEM", line.Name);
    if (itemSec.Valid() && (hot || (image && itemSec.Name == "MENUITEM")))
        PaintSectionFull(itemSec, under, -1, -1, m, bmp, TPoint{0, 0}, local, hot ? 1 : 0, true);
    int x = 3;
    if (menu && menu->Images() && item->ImageIndex() >= 0) {
        menu->Images()->Draw(bmp->Canvas(), x, (H - menu->Images()->Height()) / 2, item->ImageIndex(), enabled);
        x += menu->Images()->Width();
    }
    TCanvas* bc = bmp->Canvas();
    TFont* font = LookFont(item, (State & OwnerDrawBit(odDefault)) || item->Default());
    if (!SameFont(bc->Font(), font)) bc->Font()->Assign(font);
    const unsigned align = FAlignment == taRightJustify ? DT_RIGHT : FAlignment == taCenter ? DT_CENTER : DT_LEFT;
    unsigned flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | align;
    if (State & OwnerDrawBit(odNoAccel)) flags |= DT_HIDEPREFIX;
    const TRect textRect{x > 3 ? x + FMargin : FMargin, FMargin, W - FMargin, H - FMargin};
    WriteSectionText(bc, item->Caption().c_str(), true, m, hot, lineIdx, flags, textRect);
    if (OnDrawItem) OnDrawItem(item, bc, local, State, smTopLine);
    if (!enabled && (image || m->IsValidSectionIndex(lineIdx))) {
        // 102 of 255 for the item's own pixels, the rest what lies under it.
        TBitmap* plain = Grown(CurrentLook().Plain, W, H);
        if (image)
            CopyRectDC(DCOf(plain), local, DCOf(image), ix, iy);
        else
            PaintSectionBG(line, EmptyCacheInfo, TransparentKeyColor, -1, -1, m, plain,
                           TPoint{ARect.Left, ARect.Top}, local, false);
        BlendWithBitmap(bmp, plain, 102, local, TPoint{0, 0});
    }
    CopyRectDC(ACanvas->Handle(), ARect, bdc, 0, 0);
}

// ======================================================================

TsSkinManager* MenuManagerOf(TComponent* Component) {
    for (TComponent* c = Component; c; c = c->Owner())
        if (auto* f = dynamic_cast<TForm*>(c)) {
            if (TacFormProvider* p = FormProvider(f))
                if (TsCommonData* d = p->SkinData()) return d->SkinManager();
            break;
        }
    return DefaultSkinManager;
}

HWND MaximisedMDIChild(TForm* Form) {
    if (!Form || Form->FormStyle() != fsMDIForm || !Form->ClientHandle()) return nullptr;
    HWND client = Form->ClientHandle();
    BOOL zoomed = FALSE;
    HWND active = reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, LPARAM(&zoomed)));
    if (active && zoomed) return active;
    // A child stays maximised while none is active (the frame lost and got
    // back the focus): the system still shows it in the line.
    for (HWND c = GetWindow(client, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (IsWindowVisible(c) && IsZoomed(c)) return c;
    return nullptr;
}

bool MDIChildIconInMenuLine(TForm* Form) {
    HWND h = MaximisedMDIChild(Form);
    if (!h) return false;
    // A class-library child by its border icons (a skinned one lost the
    // style bit to its provider), another by its style.
    if (auto* child = dynamic_cast<TForm*>(FindControl(h))) return (child->BorderIcons() & BorderIconBit(biSystemMenu)) != 0;
    return (GetWindowLongPtrW(h, GWL_STYLE) & WS_SYSMENU) != 0;
}

void sSkinMenusInitialize() { SetMenuSkinnerFactory(&MakeSkinableMenus); }

void sSkinMenusFinalize() {
    SetMenuSkinnerFactory(nullptr);
    ClearMenuCache();
}
