// Painting of a skinned form: the whole window image into the skin state's
// cache bitmap, the frame copied from it into the window on WM_NCPAINT, the
// client background and the grip, the caption overlay that hides the
// system's own caption drawing, the window region cut to the skin's corners
// and the desktop-composition switches.
#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

#include "Guards.h"
#include "WinText.h"
#include "acSBUtils.h"
#include "acntUtilsWin.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sGraphUtils.h"
#include "sMDIForm.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"

namespace {

TsSkinManager* ManagerOf(const TsCommonData* D) { return D ? D->SkinManager() : nullptr; }

// The background of a top-level form: nothing lies under it.
CacheInfo NoParent() { return CacheInfo{nullptr, 0, 0, TransparentKeyColor, false}; }

// A bitmap as the background of painting into itself.
CacheInfo Self(TBitmap* B) { return CacheInfo{B, 0, 0, 0, true}; }

bool Plain(const TsCommonData* D) { return (D->OpacityBits & 1) != 0; }

}  // namespace

AnsiString TsSkinProvider::TitleSkinName() const { return FTitleSkin.empty() ? AnsiString("FORMTITLE") : FTitleSkin; }

int TsSkinProvider::TitleSkinIndex() const {
    TsSkinManager* m = ManagerOf(FCommonData.get());
    return m ? m->SectionIndex(TitleSkinName()) : -1;
}

// Without a title section the band shows the form's own image: the caption
// takes the form's font colours over it.
int TsSkinProvider::TitleFontSection() const {
    const int title = TitleSkinIndex();
    return title >= 0 ? title : FCommonData->SkinSectionNo;
}

// ---------------------------------------------------------------- the window image

void TsSkinProvider::PaintAll() {
    if (!FForm || (FForm->ControlState() & csCreating) || !FForm->HandleAllocated()) return;
    TsSkinManager* m = ManagerOf(FCommonData.get());
    if (!m) return;
    if (!FCommonData->CacheBitmap) {
        FCommonData->CacheBitmap = CreateBitmap24(0, 0);
        FCommonData->UpdateOpacity(false);
        if (!(FForm->ComponentState() & csLoading))
            SendToControlTree(FForm, SM_ALPHACMD, WPARAM(SkinWParam(scOpacity)), 1);
    }
    TBitmap* cache = FCommonData->CacheBitmap;
    // Sized at every step of a size drag.
    cache->SetRoomy(true);
    HWND h = FForm->HandleIfAllocated();
    // A frame held while its child maximises is painted once, when it is let go.
    if (FForm->FormStyle() == fsMDIForm && !IsWindowVisible(h) && MaximisedChild()) return;
    const bool iconic = IsIconic(h) != 0;
    const int W = FormWidth(), H = iconic ? SysBorderHeight() + CaptionHeight() + 1 : FormHeight();
    const bool caption = CaptionHeight() > 0 && FDrawNonClientArea;
    const int state = FFormActive ? 1 : 0;
    bool full = true;
    if (!CacheValid()) {
        const int mask = FCommonData->BorderMaskNo;
        const bool singleState = !m->IsValidMaskIndex(mask) || m->ma()[size_t(mask)].ImageCount == 1;
        if (!FMenuLineChanged && singleState && FTitleBarCopy && FTitleBarCopy->Width() == W && cache->Height() == H &&
            cache->Width() == W && caption) {
            BitBlt(cache->Canvas()->Handle(), 0, 0, W, FTitleBarCopy->Height(), FTitleBarCopy->Canvas()->Handle(), 0, 0,
                   SRCCOPY);
            PaintTitle(FFormActive);
            full = false;
        } else {
            FRegionChanged = true;
            const TRect all = Rect(0, 0, W, H);
            std::vector<TRect> bands;
            if (!iconic && ChangedBands(W, H, state, bands)) {
                // What lies inside the edges and below the title stays as it was.
                cache->SetSize(W, H);
                for (const TRect& b : bands) PaintFormFill(cache, b, state != 0);
                PaintControlSectionFrame(FCommonData.get(), NoParent(), true, cache, TPoint{0, 0}, all, state, &bands);
            } else {
                // Everything is painted anew; within its room the image moves
                // nothing to change its size.
                if (cache->Width() != W || cache->Height() != H) cache->SetSize(W, H);
                if (Plain(FCommonData.get())) {
                    const int top = CaptionHeight() + BorderWidthWithForm() + MenuRows() * MenuLineHeight() + 1;
                    // Without a border image nothing else paints the frame's sides and bottom.
                    const bool framed = m->IsValidMaskIndex(FCommonData->BorderMaskNo);
                    FillRectOnDC(cache->Canvas()->Handle(), framed ? Rect(0, 0, W, std::min(top, H)) : all, FormColor());
                    TRect client;
                    PaintMaskBorder(cache->Canvas()->Handle(), all, 0, client, state, FCommonData.get());
                } else if (HasBorder()) {
                    if (m->IsValidSectionIndex(FCommonData->SkinSectionNo)) {
                        PaintFormFill(cache, all, state != 0);
                        PaintControlSectionFrame(FCommonData.get(), NoParent(), true, cache, TPoint{0, 0}, all, state);
                    }
                } else {
                    PaintFormFill(cache, all, false);
                }
            }
            if (FGripMode == gmRightBottom && !IsZoomed(h)) {
                const int g = GlobalMask(m, "GRIPIMAGE");
                if (m->IsValidMaskIndex(g)) {
                    const TsMaskData& d = m->ma()[size_t(g)];
                    const int gw = d.R.Width() / std::max<int>(d.ImageCount, 1), gh = d.R.Height() / (d.MaskType + 1);
                    PaintGlyphFromImage(cache, TPoint{W - gw - SysBorderWidth(), H - gh - SysBorderHeight()}, 0, 1, d,
                                        Self(cache));
                }
            }
            if (singleState && caption && (!FTitleBarCopy || FTitleBarCopy->Width() != W)) {
                FTitleBarCopy.reset(CreateBitmap24(W, CaptionHeight() + SysBorderHeight()));
                BitBlt(FTitleBarCopy->Canvas()->Handle(), 0, 0, W, FTitleBarCopy->Height(), cache->Canvas()->Handle(), 0,
                       0, SRCCOPY);
            }
            PaintMenuLine(cache);
            if (caption) PaintTitle(FFormActive);
            PaintMDIArea(cache);
            // An image of the whole form, fit to keep most of on the next size change.
            FImageKept = !iconic && HasBorder() && !Plain(FCommonData.get());
            FImageState = state;
            FImageTop = TopBandHeight();
        }
        FMenuLineChanged = false;
        FCommonData->BackgroundDirty = false;
        if (full && FForm->OnPaint && !iconic) {
            // The form's own painting belongs to its background image.
            TCanvas* c = FForm->Canvas();
            HDC dc = cache->Canvas()->Handle();
            SavedDC saved(dc);
            SetViewportOrgEx(dc, OffsetX(), OffsetY(), nullptr);
            HDC before = c->HandleAllocated() ? c->Handle() : nullptr;
            c->SetHandle(dc);
            ScopeExit back([c, before] { c->SetHandle(before); });
            FForm->OnPaint(FForm);
        }
        FFramePainted = true;
    }
    FCommonData->UpdatingFlag = false;
}

// The MDI client shows the window image under it: there it is the MDIAREA
// section, over the client's whole rectangle (edges included).
void TsSkinProvider::PaintMDIArea(TBitmap* Cache) {
    TsSkinManager* m = ManagerOf(FCommonData.get());
    HWND client = FForm->FormStyle() == fsMDIForm && FMDIForm && FMDIForm->Wrapper() ? FForm->ClientHandle() : nullptr;
    // Without a section of its own the area keeps the form's image.
    const TsSection area = m ? m->Resolve("MDIAREA", "FORM") : TsSection{};
    if (!client || !IsWindowVisible(client) || area.Name != "MDIAREA") return;
    RECT fr{}, cr{};
    GetWindowRect(FForm->HandleIfAllocated(), &fr);
    GetWindowRect(client, &cr);
    const TRect r = Rect(cr.left - fr.left, cr.top - fr.top, cr.right - fr.left, cr.bottom - fr.top);
    PaintSectionFull(area, NoParent(), -1, -1, m, Cache, TPoint{0, 0}, r, 0, true);
}

void TsSkinProvider::PaintFormFill(TBitmap* Cache, const TRect& R, bool Hot) {
    TacTiledFill fill;
    if (!TiledSectionFill(FCommonData.get(), NoParent(), Hot, fill)) {
        FFillTile.reset();
        PaintControlSectionBG(FCommonData.get(), NoParent(), Hot, Cache, TPoint{0, 0}, R);
        return;
    }
    // A texture blended with a colour costs per pixel: one tile of it is
    // painted once and repeated, which keeps size changes cheap.
    if (!FFillTile || !(FFillKey == fill)) {
        FFillTile.reset(CreateBitmap24(fill.TileW, fill.TileH));
        PaintControlSectionBG(FCommonData.get(), NoParent(), Hot, FFillTile.get(), TPoint{0, 0},
                              Rect(0, 0, fill.TileW, fill.TileH));
        FFillKey = fill;
    }
    // Tiles lie from the image's origin.
    const int tw = fill.TileW, th = fill.TileH;
    if (R.Left % tw == 0 && R.Top % th == 0) {
        BlitPieces(Cache->Canvas()->Handle(), FFillTile.get(), {TacPiece{R, Rect(0, 0, tw, th), false, false, true}});
        return;
    }
    HDC dst = Cache->Canvas()->Handle(), src = FFillTile->Canvas()->Handle();
    for (int y = R.Top - R.Top % th; y < R.Bottom; y += th)
        for (int x = R.Left - R.Left % tw; x < R.Right; x += tw) {
            const int l = std::max(x, R.Left), t = std::max(y, R.Top);
            BitBlt(dst, l, t, std::min(x + tw, R.Right) - l, std::min(y + th, R.Bottom) - t, src, l - x, t - y, SRCCOPY);
        }
}

// The parts of the image a repaint at W x H alters, when the rest can stay:
// the image is whole, of the same state and fill, and everything in the skin
// that depends on the size sits within the bands: the title band with the
// top border and corners, the right edge from the old or new width (what is
// less) and the bottom edge alike, each as wide as the border, its corner
// images and the grip. Edges and background repeat from the top left.
bool TsSkinProvider::ChangedBands(int W, int H, int State, std::vector<TRect>& Bands) {
    TBitmap* cache = FCommonData->CacheBitmap;
    TsSkinManager* m = ManagerOf(FCommonData.get());
    HWND h = FForm->HandleIfAllocated();
    if (!FImageKept || State != FImageState || !m || !cache || cache->Empty() || FForm->OnPaint || IsZoomed(h) ||
        !HasBorder() || Plain(FCommonData.get()) || !m->IsValidSectionIndex(FCommonData->SkinSectionNo))
        return false;
    const int oldW = cache->Width(), oldH = cache->Height();
    // A menu bar that wraps into more or fewer rows moves everything below it.
    if (TopBandHeight() != FImageTop) return false;
    TacTiledFill fill;
    if (!FFillTile || !TiledSectionFill(FCommonData.get(), NoParent(), State != 0, fill) || !(fill == FFillKey))
        return false;
    int top = std::max(SysBorderHeight() + CaptionHeight(), FImageTop), right = 0, bottom = 0, left = 0;
    if (m->IsValidMaskIndex(FCommonData->BorderMaskNo)) {
        const TsMaskData& b = m->ma()[size_t(FCommonData->BorderMaskNo)];
        // Stretched edges change all along.
        if (b.MaskType == 0 && (b.StretchMode & 1)) return false;
        top = std::max(top, int(b.WT));
        right = b.WR;
        bottom = b.WB;
        left = b.WL;
    }
    static const char* corners[4] = {"IMGTOPLEFT", "IMGTOPRIGHT", "IMGBTMLEFT", "IMGBTMRIGHT"};
    for (int i = 0; i < 4; ++i) {
        const int k = m->MaskIndexInherited(FCommonData->Resolved(), corners[i]);
        if (!m->IsValidMaskIndex(k)) continue;
        const TsMaskData& c = m->ma()[size_t(k)];
        if (c.ImageCount <= 0 || c.MaskType < 0) continue;
        const int cw = c.R.Width() / c.ImageCount, ch = c.R.Height() / (c.MaskType + 1);
        (i & 2 ? bottom : top) = std::max(i & 2 ? bottom : top, ch);
        (i & 1 ? right : left) = std::max(i & 1 ? right : left, cw);
    }
    // The grip, painted or not, at the old corner or the new one.
    if (const int g = GlobalMask(m, "GRIPIMAGE"); m->IsValidMaskIndex(g)) {
        const TsMaskData& d = m->ma()[size_t(g)];
        right = std::max(right, d.R.Width() / std::max<int>(d.ImageCount, 1) + SysBorderWidth());
        bottom = std::max(bottom, d.R.Height() / (d.MaskType + 1) + SysBorderHeight());
    }
    const int x0 = std::min(oldW, W) - right, y0 = std::min(oldH, H) - bottom;
    if (x0 <= left || y0 <= top) return false;
    Bands = {Rect(0, 0, W, top), Rect(x0, top, W, H), Rect(0, y0, x0, H)};
    // At the same size the image was dropped for its title (text, buttons,
    // menu) or frame: the left edge too, the inside stays.
    if (oldW == W && oldH == H) Bands.push_back(Rect(0, top, left, y0));
    return true;
}

// The title band: section, icon, title-bar end, buttons and caption text.
void TsSkinProvider::PaintTitle(bool Active) {
    TsSkinManager* m = ManagerOf(FCommonData.get());
    TBitmap* cache = FCommonData->CacheBitmap;
    HWND h = FForm->HandleIfAllocated();
    const int W = cache->Width();
    const int bandH = std::min(SysBorderHeight() + CaptionHeight() + (IsIconic(h) ? 1 : 0), cache->Height());
    const int state = Active ? 1 : 0;
    const int title = TitleSkinIndex();
    if (title >= 0)
        PaintSectionFull(m->SectionAt(title), Self(cache), -1, -1, m, cache, TPoint{0, 0}, Rect(0, 0, W, bandH),
                         state, true);
    PaintTitleIcon(cache);
    LayoutButtons();
    const int baw = ButtonsAreaWidth();
    if (FSysMenuRemoved) {
        const int bar = m->MaskIndexInherited(FCommonData->Resolved(), "TITLEBAR");
        if (m->IsValidMaskIndex(bar) && baw > 0)
            PaintImageByMargins(cache, Rect(std::max(W - baw, 0), 0, W, bandH), true, Self(cache), m->ma()[size_t(bar)],
                                state, true);
    }
    // The right end of the band under the buttons, for repainting one button.
    const int endW = std::min(baw + SysBorderWidth() + 10, W);
    const int endH = std::max(std::min(TopBandHeight(), cache->Height()), 1);
    if (!FMenuLineBmp) FMenuLineBmp.reset(CreateBitmap24(endW, endH));
    if (FMenuLineBmp->Width() != endW || FMenuLineBmp->Height() != endH) FMenuLineBmp->SetSize(endW, endH);
    BitBlt(FMenuLineBmp->Canvas()->Handle(), 0, 0, endW, endH, cache->Canvas()->Handle(), W - endW, 0, SRCCOPY);
    PaintCaptionButtons(cache);
    PaintCaptionText(cache);
}

void TsSkinProvider::PaintCaptionButtons(TBitmap* Bmp) {
    for (int code : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP}) PaintButtonInto(Bmp, code);
    for (int i = 0; i < FTitleButtons->Count(); ++i) PaintButtonInto(Bmp, HTTITLEBUTTON + i);
}

void TsSkinProvider::PaintTitleIcon(TBitmap* Bmp) {
    if (!IconVisible()) return;
    const TRect r = IconRect();
    if (r.Width() <= 0 || r.Height() <= 0) return;
    HDC dc = Bmp->Canvas()->Handle();
    TBitmap* g = FTitleIcon->Glyph();
    if (!g->Empty()) {
        if (g->PixelFormat() == pf32bit) {
            BlendAlphaBitmap(Bounds(r.Left, r.Top, g->Width(), g->Height()), Rect(0, 0, g->Width(), g->Height()), Bmp, g,
                             EmptyCacheInfo, false, clNone, 0);
        } else {
            const int side = FTitleIcon->Width() ? FTitleIcon->Width() : CaptionIconSize(TopBandHeight() - 2);
            const int sideH = FTitleIcon->Height() ? FTitleIcon->Height() : side;
            TransparentBlt(dc, r.Left, r.Top, side, sideH, g->Canvas()->Handle(), 0, 0, g->Width(), g->Height(),
                           UINT(TransparentKeyColor));
        }
        return;
    }
    HICON icon = nullptr;
    if (!FForm->Icon()->Empty()) icon = FForm->Icon()->Handle();
    if (!icon && Application && !Application->Icon()->Empty()) icon = Application->Icon()->Handle();
    // The program file's icons: the large one for a tall caption, else (or
    // when it is missing) the small one.
    if (!icon && IconHeight() > 16 && AppLargeIcon && !AppLargeIcon->Empty()) icon = AppLargeIcon->Handle();
    if (!icon && AppSmallIcon && !AppSmallIcon->Empty()) icon = AppSmallIcon->Handle();
    if (!icon) icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    DrawTitleIcon(Bmp, Bounds(r.Left, r.Top, IconWidth(), IconHeight()), icon);
}

// Drawing an icon costs more than the rest of the title band: the same icon
// over the same pixels as last time is copied from that drawing.
void TsSkinProvider::DrawTitleIcon(TBitmap* Bmp, const TRect& R, HICON Icon) {
    const TRect r = Rect(std::max(R.Left, 0), std::max(R.Top, 0), std::min(R.Right, Bmp->Width()),
                         std::min(R.Bottom, Bmp->Height()));
    if (r.Width() <= 0 || r.Height() <= 0) return;
    // The rectangle's rows of the image, into Out or from In.
    auto rows = [&](std::vector<uint8_t>* Out, const std::vector<uint8_t>* In) {
        const TacImage img = ImageOf(Bmp);
        const size_t row = size_t(r.Width()) * size_t(img.Bpp);
        if (Out) Out->resize(row * size_t(r.Height()));
        for (int y = 0; y < r.Height(); ++y) {
            uint8_t* p = img.At(r.Left, r.Top + y);
            if (Out) std::memcpy(Out->data() + row * size_t(y), p, row);
            if (In) std::memcpy(p, In->data() + row * size_t(y), row);
        }
    };
    std::vector<uint8_t> under;
    rows(&under, nullptr);
    TacIconCopy& c = FIconCopy;
    if (c.Icon == Icon && c.R == R && c.Under == under) {
        rows(nullptr, &c.Drawn);
        return;
    }
    DrawIconEx(Bmp->Canvas()->Handle(), R.Left, R.Top, Icon, R.Width(), R.Height(), 0, nullptr, DI_NORMAL);
    c.Icon = Icon;
    c.R = R;
    c.Under = std::move(under);
    rows(&c.Drawn, nullptr);
}

void TsSkinProvider::PaintCaptionText(TBitmap* Bmp) {
    TsSkinManager* m = ManagerOf(FCommonData.get());
    const int title = TitleFontSection();
    if (!m || !m->IsValidSectionIndex(title)) return;
    const TsSkinValues& v = m->SkinData()->Values;
    TRect r;
    r.Left = (IconVisible() ? IconWidth() : 0) + SysBorderWidth() + v.BILeft + 4;
    r.Right = FormWidth() - ButtonsAreaWidth() - 6;
    r.Top = SysBorderHeight();
    r.Bottom = SysBorderHeight() + CaptionHeight();
    if (r.Right <= r.Left) return;
    TCanvas* c = Bmp->Canvas();
    c->Font()->Assign(FForm->Font());
    c->Font()->SetStyle(c->Font()->Style() | FontStyleBit(fsBold));
    const int fh = CaptionFontHeight();
    c->Font()->SetHeight(fh ? fh : -12);
    const unsigned flags = TextDrawFlags(FForm, FCaptionAlignment) | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
    WriteSectionTextEx(c, CaptionText().c_str(), true, m, FFormActive, title, flags, r);
}

AnsiString TsSkinProvider::CaptionText() const {
    // The system writes a maximised MDI child's name into its frame's text.
    HWND h = FForm ? FForm->HandleIfAllocated() : nullptr;
    return h ? GetWindowTextAnsi(h) : FForm ? FForm->Caption() : AnsiString();
}

// ---------------------------------------------------------------- into the window

void TsSkinProvider::PaintFrameToDC(HDC DC) {
    if (!CacheValid()) PaintAll();
    TBitmap* cache = FCommonData->CacheBitmap;
    if (!cache || cache->Empty()) return;
    HDC src = cache->Canvas()->Handle();
    HWND h = FForm->HandleIfAllocated();
    const int W = cache->Width(), H = cache->Height();
    const int top = std::min(TopBandHeight(), H);
    BitBlt(DC, 0, 0, W, top, src, 0, 0, SRCCOPY);
    const int y = (IsIconic(h) ? 1 : 0) + SysBorderHeight() + CaptionHeight() + FormBorderWidth();
    // The side and bottom bands as wide as the frame the system made.
    const int side = std::max(SysBorderWidth() + FormBorderWidth(), OffsetX());
    const int bottom = std::max(BorderWidthWithForm(), FormHeight() - OffsetY() - (FForm->ClientRect().Height()));
    if (H > y) {
        BitBlt(DC, 0, y, side, H - y, src, 0, y, SRCCOPY);
        BitBlt(DC, W - side, y, side, H - y, src, W - side, y, SRCCOPY);
    }
    if (bottom > 0 && H - bottom > top) BitBlt(DC, side, H - bottom, W - 2 * side, bottom, src, side, H - bottom, SRCCOPY);
}

void TsSkinProvider::PaintNonClient() {
    if (acMDIChildMaximizing || !FDrawNonClientArea || !FForm || !FForm->HandleAllocated()) return;
    HWND h = FForm->HandleIfAllocated();
    ScopeExit regionDone([this] { FInRegionUpdate = false; });
    if (FResizeMode == rmBorder && IsDwmActive()) FResizeMode = rmStandard;
    if (HiddenByMaximisedChild()) return;
    FMenuChangedOnce = true;
    const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
    if (!FInRegionUpdate && FRegionChanged && (HasBorder() || (style & WS_THICKFRAME) || IsIconic(h))) {
        UpdateRegionRects();
        if (!FInRegionUpdate) {
            const bool repaint = !IsWindowVisible(h) || FForm->Position() == poDefault || IsZoomed(h);
            UpdateWindowRegion(repaint);
        }
    }
    WindowDC wdc(h, WindowDC::Window);
    HDC dc = wdc.Get();
    SavedDC saved(dc);
    if (HasBorder() || IsIconic(h) || !(style & WS_THICKFRAME)) {
        PaintFrameToDC(dc);
    } else {
        if (!CacheValid()) PaintAll();
        TBitmap* cache = FCommonData->CacheBitmap;
        if (cache && !cache->Empty())
            CopyBorderBands(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0,
                            FormBorderWidth() + 3);
    }
}

void TsSkinProvider::PaintFrameToWindow() {
    if (acShowAnimationRunning || !FForm || !FForm->HandleAllocated()) return;
    // A maximised child's caption lives in the main form's frame.
    if (IsMDIChild() && MDIMainProvider && MDIMainProvider != this && IsZoomed(FForm->HandleIfAllocated())) {
        MDIMainProvider->PaintFrameToWindow();
        return;
    }
    InvalidateCache();
    WindowDC dc(FForm->HandleIfAllocated(), WindowDC::Window);
    SavedDC saved(dc.Get());
    PaintFrameToDC(dc.Get());
}

// ---------------------------------------------------------------- client area

// A control of the form asking for its own repaint (the form's link object)
// is painted alone, over the form's image under it; false when there is none.
bool TsSkinProvider::PaintLinkedControl(HDC DC) {
    auto* c = dynamic_cast<TControl*>(FCommonData->LinkedObject);
    if (!c || c->Parent() != FForm || !c->Visible()) return false;
    if (!CacheValid() || !FCommonData->CacheBitmap || FCommonData->CacheBitmap->Empty()) PaintAll();
    TBitmap* cache = FCommonData->CacheBitmap;
    if (!cache || cache->Empty()) return false;
    const TRect r = c->BoundsRect();
    if (r.Width() <= 0 || r.Height() <= 0) return true;
    const unsigned state = c->ControlState();
    c->SetControlState(state | csPaintCopy);
    ScopeExit back([c, state] { c->SetControlState(state); });
    SavedDC saved(DC);
    OffsetViewportOrgEx(DC, r.Left, r.Top, nullptr);
    IntersectClipRect(DC, 0, 0, r.Width(), r.Height());
    if (c->ControlStyle() & csOpaque) {
        c->Perform(WM_PAINT, WPARAM(DC), 0);
        return true;
    }
    std::unique_ptr<TBitmap> under(CreateBitmap24(r.Width(), r.Height()));
    HDC u = under->Canvas()->Handle();
    BitBlt(u, 0, 0, r.Width(), r.Height(), cache->Canvas()->Handle(), OffsetX() + r.Left, OffsetY() + r.Top, SRCCOPY);
    c->Perform(WM_PAINT, WPARAM(u), 0);
    BitBlt(DC, 0, 0, r.Width(), r.Height(), u, 0, 0, SRCCOPY);
    return true;
}

void TsSkinProvider::PaintClientBackground(HDC DC, bool PaintChildren) {
    const TRect client = FForm->ClientRect();
    if (Plain(FCommonData.get())) {
        FillRectOnDC(DC, client, FormColor());
    } else if (PaintLinkedControl(DC)) {
        return;
    } else {
        if (!CacheValid() || !FCommonData->CacheBitmap || FCommonData->CacheBitmap->Empty()) PaintAll();
        TBitmap* cache = FCommonData->CacheBitmap;
        if (!cache || cache->Empty()) return;
        const TRect src = Bounds(OffsetX(), OffsetY(), client.Width(), client.Height());
        // An MDI form's client window covers its children's places itself.
        if (FForm->FormStyle() == fsMDIForm)
            BitBlt(DC, 0, 0, client.Width(), client.Height(), cache->Canvas()->Handle(), src.Left, src.Top, SRCCOPY);
        else
            PaintChildControls(FForm, FCommonData.get(), src, 0, 0, false, DC, client);
    }
    if (PaintChildren) {
        PaintGraphicChildren(DC, FForm, TPoint{0, 0});
        RepaintChildren(FForm);
        // Wrapped foreign windows are no controls of the form: their wrappers hear it.
        if (FAdapter) {
            TMessage m{SM_ALPHACMD, WPARAM(SkinWParam(scRepaint)), 0, 0};
            FAdapter->WndProc(m);
        }
    }
}

void TsSkinProvider::PaintGrip(HDC DC, int OffX, int OffY) {
    TsSkinManager* m = ManagerOf(FCommonData.get());
    TBitmap* cache = FCommonData->CacheBitmap;
    const int g = GlobalMask(m, "GRIPIMAGE");
    if (!m || !m->IsValidMaskIndex(g) || !cache || cache->Empty()) return;
    const TsMaskData& d = m->ma()[size_t(g)];
    const int gw = d.R.Width() / std::max<int>(d.ImageCount, 1), gh = d.R.Height() / (d.MaskType + 1);
    const int x = FormWidth() - gw - SysBorderWidth(), y = FormHeight() - gh - SysBorderHeight();
    BackgroundInfo under;
    // Over the form's own image the cell is already in it; a plain form's
    // image holds nothing inside the client, so the cell goes over the colour.
    if (QueryControlBackground(under, FForm, false) && under.BgType == 2) {
        BitBlt(DC, x - OffX, y - OffY, gw, gh, cache->Canvas()->Handle(), x, y, SRCCOPY);
        return;
    }
    std::unique_ptr<TBitmap> cell(CreateBitmap24(gw, gh));
    FillRectOnDC(cell->Canvas()->Handle(), Rect(0, 0, gw, gh), under.Color);
    PaintGlyphFromImage(cell.get(), TPoint{0, 0}, 0, 1, d, Self(cell.get()));
    BitBlt(DC, x - OffX, y - OffY, gw, gh, cell->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsSkinProvider::EraseBackground(HDC DC) {
    if (acShowAnimationRunning || (ComponentState() & csDestroying) || !FForm || !FForm->HandleAllocated()) return;
    HWND h = FForm->HandleIfAllocated();
    FCommonData->UpdatingFlag = false;
    if (HiddenByMaximisedChild()) return;
    std::optional<WindowDC> own;
    if (!DC) {
        own.emplace(h, WindowDC::Client);
        DC = own->Get();
    }
    {
        SavedDC saved(DC);
        ClipOutChildControls(DC, FForm, 0, 0);
        PaintClientBackground(DC, false);
    }
    if (FGripMode == gmRightBottom && !IsZoomed(h)) PaintGrip(DC, OffsetX(), OffsetY());
    PaintGraphicChildren(DC, FForm, TPoint{0, 0});
}

void TsSkinProvider::PaintForm() {
    HWND h = FForm->HandleIfAllocated();
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(h, &ps);
    ScopeExit end([h, &ps] { EndPaint(h, &ps); });
    if (!dc) return;
    FCommonData->UpdatingFlag = false;
    if (HiddenByMaximisedChild()) return;
    SavedDC saved(dc);
    PaintClientBackground(dc, true);
    if (FGripMode == gmRightBottom && !IsZoomed(h)) PaintGrip(dc, OffsetX(), OffsetY());
}

// ---------------------------------------------------------------- caption overlay

namespace {
// The borderless window over the title band, owned by the application's
// window: it never shows in the task bar nor goes behind its form.
class TacCaptionOverlay : public TForm {
public:
    TacCaptionOverlay() : TForm(nullptr) {}

protected:
    void CreateParams(TCreateParams& Params) override {
        TForm::CreateParams(Params);
        if (Application) Params.WndParent = Application->Handle();
    }
};
}  // namespace

// While the system draws its own caption (text changes, activation), a
// borderless window shows ours over it.
void TsSkinProvider::ShowCaptionOverlay() {
    if (!FForm || !FForm->HandleAllocated() || !CacheValid() || !FCommonData->CacheBitmap) return;
    if (!FOverlay) {
        FOverlay = new TacCaptionOverlay;
        FOverlay->SetTag(ExceptTag);
        FOverlay->SetBorderStyle(bsNone);
        FOverlay->OnPaint = TNotifyEvent::Of<&TsSkinProvider::OverlayPaint>(this);
        FOverlayOldProc = FOverlay->WindowProc;
        FOverlay->WindowProc = TWndMethod::Of<&TsSkinProvider::OverlayWndProc>(this);
        FOverlay->HandleNeeded();
    }
    HWND o = FOverlay->Handle(), h = FForm->HandleIfAllocated();
    ShowWindow(o, SW_HIDE);
    // Over the title band: an MDI child's lies inside its frame's client
    // window, whose place on the screen its window rectangle already has.
    RECT w{};
    GetWindowRect(h, &w);
    const bool topmost = (GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    SetWindowPos(o, topmost ? HWND_TOPMOST : HWND_TOP, w.left, w.top, w.right - w.left, TopBandHeight(),
                 SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    RedrawWindow(o, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TsSkinProvider::HideCaptionOverlay() {
    if (FOverlay && FOverlay->HandleAllocated()) ShowWindow(FOverlay->HandleIfAllocated(), SW_HIDE);
}

void TsSkinProvider::OverlayPaint(TObject*) {
    TBitmap* cache = FCommonData->CacheBitmap;
    if (!cache || cache->Empty() || !FOverlay) return;
    BitBlt(FOverlay->Canvas()->Handle(), 0, 0, cache->Width(), std::min(TopBandHeight(), cache->Height()),
           cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsSkinProvider::OverlayWndProc(TMessage& M) {
    if (M.Msg == WM_ERASEBKGND) {
        M.Result = 1;
        return;
    }
    if (M.Msg == WM_NCHITTEST) {
        M.Result = HTTRANSPARENT;
        return;
    }
    FOverlayOldProc(M);
}

// ---------------------------------------------------------------- MDI children

bool TsSkinProvider::HiddenByMaximisedChild() const {
    if (!IsMDIChild() || !MDIMainProvider || !FForm->HandleAllocated()) return false;
    HWND max = MDIMainProvider->MaximisedChild();
    return max && max != FForm->HandleIfAllocated();
}

bool TsSkinProvider::MDIRestoreRunning() const {
    if (FMDIRestoreRunning) return true;
    return IsMDIChild() && MDIMainProvider && MDIMainProvider->FMDIRestoreRunning;
}

// ---------------------------------------------------------------- window region

void TsSkinProvider::UpdateRegionRects() {
    FRegionRects.clear();
    FRegionChanged = false;
    TsSkinManager* m = ManagerOf(FCommonData.get());
    if (!m) return;
    const int W = FormWidth(), H = FormHeight();
    if (m->IsValidMaskIndex(FCommonData->BorderMaskNo)) {
        const TsMaskData& b = m->ma()[size_t(FCommonData->BorderMaskNo)];
        CollectCornerKeyRects(FRegionRects, W, b, false, 0);
        CollectCornerKeyRects(FRegionRects, W, b, true, H - b.WB);
    }
    const int t = TitleSkinIndex();
    if (t >= 0) {
        const int tb = m->MaskIndexInherited(m->SectionAt(t), "BORDERSMASK");
        if (m->IsValidMaskIndex(tb)) CollectCornerKeyRects(FRegionRects, W, m->ma()[size_t(tb)], false, 0);
    }
}

HRGN TsSkinProvider::CreateFormRegion(int X, int Y) const {
    GdiObject<HRGN> rgn(CreateRectRgn(X, Y, X + FormWidth(), Y + FormHeight()));
    if (!rgn) return nullptr;
    GdiObject<HRGN> cut(CreateRectRgn(0, 0, 0, 0));
    for (const TRect& r : FRegionRects) {
        SetRectRgn(cut.Get(), r.Left + X, r.Top + Y, r.Right + X, r.Bottom + Y);
        CombineRgn(rgn.Get(), rgn.Get(), cut.Get(), RGN_DIFF);
    }
    return rgn.Release();
}

void TsSkinProvider::UpdateWindowRegion(bool Repaint) {
    if (!FDrawNonClientArea || !FForm || !FForm->HandleAllocated()) return;
    HWND h = FForm->HandleIfAllocated();
    if (MDIRestoreRunning()) {
        // Applied at the next paint, when the restore is done.
        FRegionChanged = true;
        return;
    }
    if (!HasBorder() && !IsIconic(h)) return;
    if (!FFramePainted) {
        // Asked of the form's own handler: our procedure answers 0 to everyone else.
        TMessage q{WM_ACREGIONQUERY, WPARAM(acOwnRegionAnswer), 0, 0};
        if (!CallPrev(q) || q.Result == acOwnRegionAnswer) return;
    }
    // A form docked into another window takes that window's shape.
    if (FForm->Parent() && FForm->DragKind() == dkDock) {
        SetWindowRgn(h, nullptr, FALSE);
        return;
    }
    HRGN rgn;
    // A maximized form fills the screen, its frame outside: cut the frame off;
    // one held smaller by its constraints keeps its shape, and a maximised MDI
    // child keeps the skin's corners (its frame lies outside the client window
    // that shows it).
    const TSizeConstraints* c = FForm->Constraints();
    if (IsZoomed(h) && !IsMDIChild() && c->MaxWidth() == 0 && c->MaxHeight() == 0)
        rgn = CreateRectRgn(SysBorderWidth(), SysBorderHeight(), FormWidth() - SysBorderWidth(),
                            FormHeight() - SysBorderHeight());
    else
        rgn = CreateFormRegion(0, 0);
    if (!rgn) return;
    // The system moves and redraws the frame for every region it is given:
    // the same region again changes nothing.
    if (!Repaint) {
        RegionHandle current(CreateRectRgn(0, 0, 0, 0));
        if (GetWindowRgn(h, current.Get()) != ERROR && EqualRgn(current.Get(), rgn)) {
            DeleteObject(rgn);
            return;
        }
    }
    FInRegionUpdate = true;
    ScopeExit done([this] { FInRegionUpdate = false; });
    // The system owns a region it accepted; one it refused is ours to delete.
    if (!SetWindowRgn(h, rgn, Repaint ? TRUE : FALSE)) DeleteObject(rgn);
}

// ---------------------------------------------------------------- desktop composition

bool AllowDwmFrame = false;

namespace {
HMODULE g_Dwm = nullptr;
bool g_DwmTried = false;
using TDwmSetWindowAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
using TDwmIsCompositionEnabled = HRESULT(WINAPI*)(BOOL*);
TDwmSetWindowAttribute g_DwmSetAttr = nullptr;
TDwmIsCompositionEnabled g_DwmIsEnabled = nullptr;

bool WindowsSixOrLater() {
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return GetVersionExW(&v) && v.dwMajorVersion >= 6;
#pragma GCC diagnostic pop
}
}  // namespace

bool LoadDwmLibrary() {
    if (!g_DwmTried) {
        g_DwmTried = true;
        // From the system folder only: never a DLL of that name beside the program.
        wchar_t dir[MAX_PATH];
        const UINT n = GetSystemDirectoryW(dir, MAX_PATH);
        if (n > 0 && n < MAX_PATH - 16) {
            std::wstring path(dir, n);
            path += L"\\DWMAPI.DLL";
            g_Dwm = LoadLibraryW(path.c_str());
        }
        if (g_Dwm) {
            g_DwmSetAttr = reinterpret_cast<TDwmSetWindowAttribute>(
                reinterpret_cast<void*>(GetProcAddress(g_Dwm, "DwmSetWindowAttribute")));
            g_DwmIsEnabled = reinterpret_cast<TDwmIsCompositionEnabled>(
                reinterpret_cast<void*>(GetProcAddress(g_Dwm, "DwmIsCompositionEnabled")));
        }
    }
    return g_Dwm != nullptr;
}

void FreeDwmLibrary() {
    if (g_Dwm) FreeLibrary(g_Dwm);
    g_Dwm = nullptr;
    g_DwmTried = false;
    g_DwmSetAttr = nullptr;
    g_DwmIsEnabled = nullptr;
}

HRESULT DwmSetAttribute(HWND Wnd, DWORD Attribute, const void* Value, DWORD Size) {
    if (!LoadDwmLibrary() || !g_DwmSetAttr) return E_NOTIMPL;
    return g_DwmSetAttr(Wnd, Attribute, Value, Size);
}

bool IsDwmActive() {
    if (!WindowsSixOrLater() || !LoadDwmLibrary() || !g_DwmIsEnabled) return false;
    BOOL on = FALSE;
    return SUCCEEDED(g_DwmIsEnabled(&on)) && on;
}

bool IsDwmFrameAllowed() { return AllowDwmFrame && IsDwmActive(); }

void SetDwmNCRendering(HWND Wnd, bool On) {
    if (!AllowDwmFrame || IsZoomed(Wnd)) return;
    constexpr DWORD kPolicy = 2, kAllowNCPaint = 4;
    if (On) {
        const int enabled = 2, yes = TRUE;
        DwmSetAttribute(Wnd, kPolicy, &enabled, 4);
        DwmSetAttribute(Wnd, kAllowNCPaint, &yes, 4);
    } else {
        const int no = FALSE, useStyle = 0;
        DwmSetAttribute(Wnd, kAllowNCPaint, &no, 4);
        DwmSetAttribute(Wnd, kPolicy, &useStyle, 4);
        SetWindowPos(Wnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOOWNERZORDER | SWP_FRAMECHANGED |
                                                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
