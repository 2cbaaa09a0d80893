// The list view, grid and tree wrappers. List views and trees take their
// colours through their own messages; grids and the virtual tree of other
// component sets by the names of their published properties and events.
#include "acSBUtilsWnds.h"

#include <windowsx.h>

#include <algorithm>
#include <optional>
#include <typeinfo>
#include <vector>

#include "Forms.h"
#include "TypeInfo.h"
#include "WinText.h"
#include "acntUtilsWin.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

namespace {

constexpr UINT_PTR acHeaderSubclassId = 0xAC5B;

TSize WindowSize(HWND Wnd) {
    RECT r{};
    GetWindowRect(Wnd, &r);
    return TSize{r.right - r.left, r.bottom - r.top};
}

// Text of header item Item: the header cannot tell the length, so the
// buffer grows until the text no longer fills it.
AnsiString HeaderItemText(HWND Header, int Item, HDITEMW& Info) {
    std::vector<wchar_t> buf(64);
    for (;;) {
        Info.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
        Info.pszText = buf.data();
        Info.cchTextMax = int(buf.size());
        buf[0] = L'\0';
        if (!SendMessageW(Header, HDM_GETITEMW, WPARAM(Item), LPARAM(&Info))) return AnsiString();
        if (!Info.pszText) return AnsiString();
        if (Info.pszText != buf.data()) return FromWide(Info.pszText);  // the header's own string
        const size_t len = wcsnlen(buf.data(), buf.size());
        if (len + 1 < buf.size() || buf.size() >= 0x10000) return FromWide(buf.data(), int(len));
        buf.assign(buf.size() * 2, L'\0');
    }
}

// A section of the skin for a header: "COLHEADER", else "BUTTON".
TsSection HeaderSection(TsSkinManager* M) { return M->Resolve("COLHEADER", "BUTTON"); }

// The sort arrow: the glyph of the scroll button that points the same way.
void PaintSortGlyph(TsSkinManager* M, TBitmap* Bmp, bool Up, int X, int MidY, int State) {
    const int g = M->MaskIndex(Up ? "SCROLLBTNTOP" : "SCROLLBTNBOTTOM", "GLYPHMASK");
    if (!M->IsValidMaskIndex(g)) return;
    const TPoint cell = M->MaskStateSize(g);
    PaintGlyphFromImage(Bmp, Point(X, MidY - cell.Y / 2), State, 1, M->ma()[size_t(g)], MakeBitmapBackground(Bmp, 0, 0));
}

// ---- published properties by name, beyond the ordinal ones

const TPropInfo* FindProp(TPersistent* Obj, const char* Name) {
    const TClassInfo* info = Obj ? FindClassInfo(Obj->ClassName()) : nullptr;
    return info ? info->FindProp(Name) : nullptr;
}

TCollection* CollectionProp(TPersistent* Obj, const char* Name) {
    const TPropInfo* p = FindProp(Obj, Name);
    if (!p || p->Kind != TPropKind::Collection || !p->Get) return nullptr;
    return dynamic_cast<TCollection*>(p->Get(Obj));
}

TFont* FontProp(TPersistent* Obj, const char* Name) { return dynamic_cast<TFont*>(ObjectPropOf(Obj, Name)); }

// The colour of a font property; clNone when there is none.
TColor FontColorOf(TPersistent* Obj, const char* Name) {
    TFont* f = FontProp(Obj, Name);
    return f ? f->Color() : clNone;
}

void SetFontColor(TPersistent* Obj, const char* Name, TColor Value) {
    if (Value == clNone) return;
    if (TFont* f = FontProp(Obj, Name); f && f->Color() != Value) f->SetColor(Value);
}

TColor OrdColor(TPersistent* Obj, const char* Name) {
    return HasPublishedProp(Obj, Name) ? TColor(OrdPropOf(Obj, Name)) : clNone;
}

void PutColor(TPersistent* Obj, const char* Name, TColor Value) {
    if (Value != clNone && HasPublishedProp(Obj, Name) && TColor(OrdPropOf(Obj, Name)) != Value)
        PutOrdProp(Obj, Name, Value);
}

template <class Ev>
Ev* EventProp(TPersistent* Obj, const char* Name) {
    const TPropInfo* p = FindProp(Obj, Name);
    if (!p || p->Kind != TPropKind::Event || !p->EventField || !p->EventType || *p->EventType != typeid(Ev))
        return nullptr;
    return static_cast<Ev*>(p->EventField(Obj));
}

template <class F>
void ForEachItem(TCollection* C, F Fn) {
    if (!C) return;
    for (int i = 0; i < C->Count(); ++i) Fn(C->Items(i));
}

}  // namespace

// ================================================================ TacListViewWnd

TacListViewWnd::TacListViewWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager,
                               TsCommonData* Data)
    : TacEditWnd(AHandle, Repaint, Section, Manager, Data) {
    if (AHandle) HookHeader(FindWindowExW(AHandle, nullptr, WC_HEADERW, nullptr));
}

TacListViewWnd::~TacListViewWnd() { UnhookHeader(); }

void TacListViewWnd::HookHeader(HWND Header) {
    if (!Header || Header == HeaderWnd) return;
    UnhookHeader();
    if (SetWindowSubclass(Header, &HeaderSubclass, acHeaderSubclassId, DWORD_PTR(this))) HeaderWnd = Header;
}

void TacListViewWnd::UnhookHeader() {
    if (HeaderWnd && IsWindow(HeaderWnd)) RemoveWindowSubclass(HeaderWnd, &HeaderSubclass, acHeaderSubclassId);
    HeaderWnd = nullptr;
    PressedColumn = -1;
}

int TacListViewWnd::ViewKind() const {
    LRESULT v = SendMessageW(CtrlHandle, LVM_GETVIEW, 0, 0);
    if (v <= 0) v = GetWindowLongPtrW(CtrlHandle, GWL_STYLE) & LVS_TYPEMASK;
    switch (v) {
    case LV_VIEW_ICON:
        return 0;
    case LV_VIEW_DETAILS:
        return 3;
    case LV_VIEW_SMALLICON:
        return 1;
    default:
        return 2;
    }
}

void TacListViewWnd::SavePlainLook() {
    TacEditWnd::SavePlainLook();
    SavedBkColor = COLORREF(SendMessageW(CtrlHandle, LVM_GETBKCOLOR, 0, 0));
    SavedTextColor = COLORREF(SendMessageW(CtrlHandle, LVM_GETTEXTCOLOR, 0, 0));
    SavedTextBkColor = COLORREF(SendMessageW(CtrlHandle, LVM_GETTEXTBKCOLOR, 0, 0));
}

void TacListViewWnd::RestorePlainLook() {
    UnhookHeader();
    // The list's own colours come back as they were, not as system defaults.
    if (CtrlHandle && IsWindow(CtrlHandle)) {
        SendMessageW(CtrlHandle, LVM_SETBKCOLOR, 0, LPARAM(SavedBkColor));
        SendMessageW(CtrlHandle, LVM_SETTEXTBKCOLOR, 0, LPARAM(SavedTextBkColor));
        SendMessageW(CtrlHandle, LVM_SETTEXTCOLOR, 0, LPARAM(SavedTextColor));
        InvalidateRect(CtrlHandle, nullptr, TRUE);
    }
    TacEditWnd::RestorePlainLook();
}

void TacListViewWnd::ApplySkinLook() {
    TacEditWnd::ApplySkinLook();
    if (!HeaderWnd) HookHeader(FindWindowExW(CtrlHandle, nullptr, WC_HEADERW, nullptr));
    const TsGeneralData* s = Section();
    COLORREF bk, text;
    if (DialogMode || !s) {
        bk = COLORREF(ColorToRGB(clWindow));
        text = COLORREF(ColorToRGB(clWindowText));
    } else {
        bk = COLORREF(ColorToRGB(s->Color));
        text = COLORREF(ColorToRGB(s->FontColor[0]));
    }
    bool changed = false;
    if (COLORREF(SendMessageW(CtrlHandle, LVM_GETBKCOLOR, 0, 0)) != bk) {
        SendMessageW(CtrlHandle, LVM_SETBKCOLOR, 0, LPARAM(bk));
        changed = true;
    }
    if (COLORREF(SendMessageW(CtrlHandle, LVM_GETTEXTBKCOLOR, 0, 0)) != bk) {
        SendMessageW(CtrlHandle, LVM_SETTEXTBKCOLOR, 0, LPARAM(bk));
        changed = true;
    }
    if (COLORREF(SendMessageW(CtrlHandle, LVM_GETTEXTCOLOR, 0, 0)) != text) {
        SendMessageW(CtrlHandle, LVM_SETTEXTCOLOR, 0, LPARAM(text));
        changed = true;
    }
    if (changed) InvalidateRect(CtrlHandle, nullptr, TRUE);
}

LRESULT CALLBACK TacListViewWnd::HeaderSubclass(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR,
                                                DWORD_PTR Ref) {
    auto* self = reinterpret_cast<TacListViewWnd*>(Ref);
    try {
        return self->HeaderProc(Wnd, Msg, WParam, LParam);
    } catch (const std::exception& e) {
        HandleControlException(self, e);
    } catch (...) {
        HandleControlException(self, Exception("Unknown exception"));
    }
    return DefSubclassProc(Wnd, Msg, WParam, LParam);
}

LRESULT TacListViewWnd::HeaderProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_NCDESTROY) {
        const LRESULT r = DefSubclassProc(Wnd, Msg, WParam, LParam);
        RemoveWindowSubclass(Wnd, &HeaderSubclass, acHeaderSubclassId);
        if (HeaderWnd == Wnd) HeaderWnd = nullptr;
        return r;
    }
    if (!SkinnedNow() || ViewKind() != 3) return DefSubclassProc(Wnd, Msg, WParam, LParam);
    const bool buttons = (GetWindowLongPtrW(Wnd, GWL_STYLE) & HDS_BUTTONS) != 0;
    switch (Msg) {
    case WM_PAINT: {
        if (WParam) {
            PaintHeader(reinterpret_cast<HDC>(WParam));
            return 0;
        }
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Wnd, &ps);
        if (dc) PaintHeader(dc);
        EndPaint(Wnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_WINDOWPOSCHANGING:
        if (IsWindowVisible(CtrlHandle)) SendMessageW(CtrlHandle, WM_NCPAINT, 1, 0);
        break;
    case WM_LBUTTONUP:
        if (buttons) {
            PressedColumn = -1;
            HeaderButtonPressed = false;
            InvalidateRect(Wnd, nullptr, FALSE);
        }
        break;
    case WM_LBUTTONDOWN: {
        const LRESULT r = DefSubclassProc(Wnd, Msg, WParam, LParam);
        if (buttons) {
            HDHITTESTINFO ht{};
            ht.pt = POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
            SendMessageW(Wnd, HDM_HITTEST, 0, LPARAM(&ht));
            PressedColumn = (ht.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) ? -1 : ht.iItem;
            HeaderButtonPressed = PressedColumn >= 0;
            InvalidateRect(Wnd, nullptr, FALSE);
        }
        return r;
    }
    default:
        break;
    }
    return DefSubclassProc(Wnd, Msg, WParam, LParam);
}

void TacListViewWnd::PaintHeaderSection(TBitmap* Bmp, int Item, const TRect& R, const TsSection& Sec) {
    TsSkinManager* m = Manager();
    const int state = Item >= 0 && Item == PressedColumn ? 2 : 0;
    CacheInfo under = EmptyCacheInfo;
    under.Color = ColorToRGB(Section() ? Section()->Color : clWindow);
    PaintSectionFull(Sec, under, -1, -1, m, Bmp, Point(R.Left, R.Top), R, state, true);
    if (Item < 0) return;
    HDITEMW info{};
    const AnsiString text = HeaderItemText(HeaderWnd, Item, info);
    TCanvas* canvas = Bmp->Canvas();
    HDC dc = canvas->Handle();
    SavedDC saved(dc);
    IntersectClipRect(dc, R.Left, R.Top, R.Right, R.Bottom);
    int textLeft = R.Left + 4;
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(HeaderWnd, HDM_GETIMAGELIST, 0, 0));
    if (images && (info.fmt & HDF_IMAGE) && info.iImage >= 0) {
        int iw = 0, ih = 0;
        ImageList_GetIconSize(images, &iw, &ih);
        ImageList_Draw(images, info.iImage, dc, textLeft, R.Top + (R.Height() - ih) / 2, ILD_TRANSPARENT);
        textLeft += iw + 4;
    }
    const int shift = state == 2 ? 1 : 0;
    TRect tr = Rect(textLeft + shift, R.Top + shift, R.Right - 4 + shift, R.Bottom + shift);
    const bool sortUp = (info.fmt & HDF_SORTUP) != 0, sortDown = (info.fmt & HDF_SORTDOWN) != 0;
    TsSkinManager* mm = m;
    int arrowRoom = 0;
    if (sortUp || sortDown) {
        const int g = mm->MaskIndex(sortUp ? "SCROLLBTNTOP" : "SCROLLBTNBOTTOM", "GLYPHMASK");
        arrowRoom = mm->IsValidMaskIndex(g) ? mm->MaskStateSize(g).X + 6 : 0;
        tr.Right -= arrowRoom;
    }
    unsigned align = DT_LEFT;
    if ((info.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT) align = DT_RIGHT;
    if ((info.fmt & HDF_JUSTIFYMASK) == HDF_CENTER) align = DT_CENTER;
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(CtrlHandle, WM_GETFONT, 0, 0));
    SelectGuard f(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    WriteSectionText(canvas, text.c_str(), IsWindowEnabled(CtrlHandle) != FALSE, m, state != 0, Sec.Index,
                     align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS, tr);
    if (arrowRoom) {
        RECT calc{0, 0, 0, 0};
        const std::wstring w = ToWide(text);
        DrawTextW(dc, w.c_str(), int(w.size()), &calc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        int x = align == DT_LEFT ? tr.Left + calc.right + 6 : tr.Right + 6;
        x = std::min(x, R.Right - arrowRoom + 6);
        PaintSortGlyph(m, Bmp, sortUp, x, R.Top + R.Height() / 2, 0);
    }
}

void TacListViewWnd::PaintHeader(HDC DC) {
    TsSkinManager* m = Manager();
    if (!HeaderWnd || !m || !DC) return;
    RECT cr{};
    GetClientRect(HeaderWnd, &cr);
    if (cr.right <= 0 || cr.bottom <= 0) return;
    const TsSection sec = HeaderSection(m);
    if (!sec.Valid()) return;
    const int count = int(SendMessageW(HeaderWnd, HDM_GETITEMCOUNT, 0, 0));
    std::vector<int> order(size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i) order[size_t(i)] = i;
    if (count > 0 && (GetWindowLongPtrW(HeaderWnd, GWL_STYLE) & HDS_DRAGDROP))
        SendMessageW(HeaderWnd, HDM_GETORDERARRAY, WPARAM(count), LPARAM(order.data()));
    std::vector<std::pair<int, RECT>> items;
    int right = 0;
    for (int item : order) {
        RECT ir{};
        if (!SendMessageW(HeaderWnd, HDM_GETITEMRECT, WPARAM(item), LPARAM(&ir))) continue;
        right = std::max<int>(right, ir.right);
        if (ir.right > ir.left && ir.left < cr.right) items.emplace_back(item, ir);
    }
    // Sections that run past the window are painted whole (their text and
    // borders where they belong), then cut by the copy.
    std::unique_ptr<TBitmap> bmp(CreateBitmap24(std::max<int>(cr.right, right), cr.bottom));
    for (const auto& [item, ir] : items)
        PaintHeaderSection(bmp.get(), item, Rect(ir.left, 0, ir.right, cr.bottom), sec);
    if (right < cr.right) PaintHeaderSection(bmp.get(), -1, Rect(right, 0, cr.right, cr.bottom), sec);
    BitBlt(DC, 0, 0, cr.right, cr.bottom, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TacListViewWnd::ThumbScroll(TMessage& M, bool Vertical) {
    const int pos = M.LParam ? int(M.LParam) : int(HIWORD(M.WParam));
    const int cur = GetScrollPos(CtrlHandle, Vertical ? SB_VERT : SB_HORZ);
    if (pos == cur) return;
    int delta = pos - cur;
    const int kind = ViewKind();
    RECT ir{LVIR_BOUNDS, 0, 0, 0};
    const bool haveItem = SendMessageW(CtrlHandle, LVM_GETITEMRECT, 0, LPARAM(&ir)) != 0;
    if (Vertical && kind == 3 && haveItem) {
        LineHeight = ir.bottom - ir.top;
        delta *= LineHeight;
    } else if (!Vertical && kind == 2 && haveItem) {
        delta *= ir.right - ir.left;
    }
    SendMessageW(CtrlHandle, LVM_SCROLL, Vertical ? 0 : WPARAM(delta), Vertical ? LPARAM(delta) : 0);
}

void TacListViewWnd::AfterRefresh() {
    TacEditWnd::AfterRefresh();
    if (HeaderWnd) InvalidateRect(HeaderWnd, nullptr, FALSE);
}

void TacListViewWnd::WndProc(TMessage& M) {
    if (!SkinnedNow()) {
        TacEditWnd::WndProc(M);
        return;
    }
    switch (M.Msg) {
    case SM_ALPHACMD:
        switch (SkinCommandOf(M.WParam)) {
        case scQuerySkinIndex:
            M.Result = SkinData->SkinSectionNo + 1;
            return;
        case scBeforeScroll:
            M.Result = 1;
            return;
        default:
            break;
        }
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (LOWORD(M.WParam) == SB_THUMBTRACK) {
            ThumbScroll(M, M.Msg == WM_VSCROLL);
            return;
        }
        if (M.Msg == WM_VSCROLL) M.LParam = 0;
        PassOn(M);
        return;
    case WM_PAINT:
        ApplySkinLookOnce();
        break;
    default:
        break;
    }
    TacEditWnd::WndProc(M);
    if (Destroyed) return;
    switch (M.Msg) {
    case WM_STYLECHANGED:
    case LVM_ARRANGE:
    case LVM_INSERTITEMA:
    case LVM_INSERTITEMW:
        if (!SkinData->UpdatingFlag) UpdateScrollInfo(this, true);
        break;
    case WM_LBUTTONUP:
        if (GetCapture() == CtrlHandle) ReleaseCapture();
        break;
    case WM_PARENTNOTIFY:
        if (LOWORD(M.WParam) == WM_CREATE || LOWORD(M.WParam) == WM_DESTROY) {
            HWND child = reinterpret_cast<HWND>(M.LParam);
            wchar_t cls[32] = {};
            if (child && GetClassNameW(child, cls, 32) && lstrcmpiW(cls, WC_HEADERW) == 0) {
                UnhookHeader();
                if (LOWORD(M.WParam) == WM_CREATE) HookHeader(child);
            }
        }
        break;
    case WM_PRINT:
        if (M.WParam && HeaderWnd && ViewKind() == 3 && IsWindowVisible(HeaderWnd)) {
            HDC dc = reinterpret_cast<HDC>(M.WParam);
            SavedDC saved(dc);
            ClipToClient(dc);
            RECT hr{};
            GetWindowRect(HeaderWnd, &hr);
            MapWindowPoints(nullptr, CtrlHandle, reinterpret_cast<POINT*>(&hr), 2);
            OffsetViewportOrgEx(dc, hr.left, hr.top, nullptr);
            PaintHeader(dc);
        }
        break;
    default:
        break;
    }
}

// ================================================================ TacGridWnd

void TacGridWnd::SavePlainLook() {
    TacEditWnd::SavePlainLook();
    TPersistent* g = Grid();
    if (!g) return;
    SavedFixedColor = OrdColor(g, "FixedColor");
    SavedTitleFontColor = FontColorOf(g, "TitleFont");
    if (SavedTitleFontColor == clNone) SavedTitleFontColor = FontColorOf(g, "FixedFont");
    SavedFixedFontColor = FontColorOf(g, "FixedFont");
    SavedColumns.clear();
    ForEachItem(CollectionProp(g, "Columns"), [&](TCollectionItem* c) {
        SavedColumns.push_back({FontColorOf(c, "HeaderFont"), FontColorOf(c, "Font"), OrdColor(c, "Color")});
    });
    SavedFooterColor = OrdColor(g, "FooterColor");
    SavedFooterCellColor = OrdColor(g, "FooterCellColor");
    SavedTitleColor = OrdColor(g, "TitleColor");
    SavedIndicatorIconColor = OrdColor(g, "IndicatorIconColor");
}

void TacGridWnd::RestorePlainLook() {
    TacEditWnd::RestorePlainLook();
    TPersistent* g = Grid();
    if (!g || !PlainSaved || (SkinData->OwnerControl->ComponentState() & csDestroying)) return;
    PutColor(g, "FixedColor", SavedFixedColor);
    SetFontColor(g, "TitleFont", SavedTitleFontColor);
    SetFontColor(g, "FixedFont", SavedFixedFontColor);
    size_t i = 0;
    ForEachItem(CollectionProp(g, "Columns"), [&](TCollectionItem* c) {
        // Columns added while skinned take the grid's own colours.
        const ColumnColours own =
            i < SavedColumns.size() ? SavedColumns[i] : ColumnColours{SavedTitleFontColor, SavedFontColor, SavedColor};
        ++i;
        SetFontColor(c, "HeaderFont", own.HeaderFont);
        SetFontColor(c, "Font", own.Font);
        PutColor(c, "Color", own.Color);
    });
    PutColor(g, "FooterColor", SavedFooterColor);
    PutColor(g, "FooterCellColor", SavedFooterCellColor);
    PutColor(g, "TitleColor", SavedTitleColor);
    PutColor(g, "IndicatorIconColor", SavedIndicatorIconColor);
}

void TacGridWnd::ApplySkinLook() {
    TacEditWnd::ApplySkinLook();
    TPersistent* g = Grid();
    TsSkinManager* m = Manager();
    const TsGeneralData* s = Section();
    if (!g || !m || !s) return;
    const TColor global = m->GlobalColor(), globalFont = m->GlobalFontColor();
    PutColor(g, "FixedColor", global);
    SetFontColor(g, "TitleFont", globalFont);
    if (AnsiString(g->ClassName()) != "TExtDataGrid") {
        SetFontColor(g, "FixedFont", globalFont);
        ForEachItem(CollectionProp(g, "Columns"), [&](TCollectionItem* c) {
            SetFontColor(c, "HeaderFont", globalFont);
            SetFontColor(c, "Font", s->HotFontColor[0]);
            PutColor(c, "Color", s->Color);
        });
    }
    PutColor(g, "FooterColor", global);
    PutColor(g, "FooterCellColor", global);
    PutColor(g, "TitleColor", global);
    PutColor(g, "IndicatorIconColor", s->FontColor[0]);
}

void TacGridWnd::WndProc(TMessage& M) {
    if (!SkinnedNow()) {
        TacEditWnd::WndProc(M);
        return;
    }
    switch (M.Msg) {
    case WM_ERASEBKGND:
        SkinData->UpdatingFlag = SkinData->IsUpdating();
        M.Result = 1;
        return;
    case WM_VSCROLL:
        if ((LOWORD(M.WParam) == SB_THUMBPOSITION || LOWORD(M.WParam) == SB_THUMBTRACK) &&
            HasPublishedProp(Grid(), "DataSource") && VertBar()) {
            // The grid reads the position from the window's bar, which the
            // emulated drag has not moved.
            SCROLLINFO si{};
            si.cbSize = sizeof(si);
            si.fMask = SIF_POS;
            si.nPos = VertBar()->ScrollInfo.nTrackPos + (LOWORD(M.WParam) == SB_THUMBPOSITION ? 1 : 0);
            SetScrollInfo(CtrlHandle, SB_VERT, &si, FALSE);
        }
        break;
    default:
        break;
    }
    const bool removal = M.Msg == SM_ALPHACMD && SkinCommandOf(M.WParam) == scRemoveSkin && IsOwnManager(M.LParam);
    TacEditWnd::WndProc(M);
    if (Destroyed && !removal) return;
    if (removal) {
        // The grid makes its window again, with system bars.
        TPersistent* g = Grid();
        if (g && HasPublishedProp(g, "ScrollBars")) {
            const int64_t bars = OrdPropOf(g, "ScrollBars");
            PutOrdProp(g, "ScrollBars", 0);
            PutOrdProp(g, "ScrollBars", bars);
        }
        return;
    }
    switch (M.Msg) {
    case WM_PAINT:
        UpdateScrollInfo(this, true);
        break;
    case WM_WINDOWPOSCHANGED:
        SendNCPaint();
        break;
    default:
        break;
    }
}

// ================================================================ TacTreeViewWnd

bool TacTreeViewWnd::LeavesErasingToControl() const {
    // While its window is being made again the tree erases for itself.
    TControl* c = SkinData ? SkinData->OwnerControl : nullptr;
    return c && (c->ControlState() & csDestroyingHandle);
}

void TacTreeViewWnd::SavePlainLook() {
    TacEditWnd::SavePlainLook();
    SavedBkColor = COLORREF(SendMessageW(CtrlHandle, TVM_GETBKCOLOR, 0, 0));
    SavedTextColor = COLORREF(SendMessageW(CtrlHandle, TVM_GETTEXTCOLOR, 0, 0));
}

void TacTreeViewWnd::RestorePlainLook() {
    TacEditWnd::RestorePlainLook();
    if (!CtrlHandle || !IsWindow(CtrlHandle)) return;
    SendMessageW(CtrlHandle, TVM_SETBKCOLOR, 0, LPARAM(SavedBkColor));
    SendMessageW(CtrlHandle, TVM_SETTEXTCOLOR, 0, LPARAM(SavedTextColor));
}

void TacTreeViewWnd::ApplySkinLook() {
    Skinned = true;
    const TsGeneralData* s = Section();
    TControl* c = SkinData ? SkinData->OwnerControl : nullptr;
    COLORREF bk = COLORREF(ColorToRGB(clWindow));
    if (!DialogMode && s) {
        if (c) {
            if (!SkinData->CustomFont() && c->Font()->Color() != s->HotFontColor[0])
                c->Font()->SetColor(s->HotFontColor[0]);
            if (SkinData->CustomColor() || c->Color() == s->HotColor) {
                SkinData->BackgroundDirty = true;
                return;
            }
        } else {
            // A foreign tree's text must stay readable on the new background.
            SendMessageW(CtrlHandle, TVM_SETTEXTCOLOR, 0, LPARAM(ColorToRGB(s->HotFontColor[0])));
        }
        bk = COLORREF(ColorToRGB(s->HotColor));
    }
    if (COLORREF(SendMessageW(CtrlHandle, TVM_GETBKCOLOR, 0, 0)) != bk)
        SendMessageW(CtrlHandle, TVM_SETBKCOLOR, 0, LPARAM(bk));
    SkinData->BackgroundDirty = true;
}

void TacTreeViewWnd::WMEraseBkgnd(TMessage& M) {
    SkinData->UpdatingFlag = SkinData->IsUpdating();
    M.Result = 0;
    if (SkinData->UpdatingFlag) return;
    if (SkinData->BackgroundDirty) UpdateWndCache(SkinData, CtrlHandle, false);
    std::optional<WindowDC> own;
    HDC dc = reinterpret_cast<HDC>(M.WParam);
    if (!dc) {
        own.emplace(CtrlHandle, WindowDC::Window);
        dc = own->Get();
        if (!dc) return;
    }
    const TSize sz = WindowSize(CtrlHandle);
    const TsGeneralData* s = Section();
    FillRectOnDC(dc, Rect(0, 0, sz.cx, sz.cy), DialogMode || !s ? clWindow : s->HotColor);
}

void TacTreeViewWnd::WndProc(TMessage& M) {
    if (!SkinnedNow()) {
        TacEditWnd::WndProc(M);
        return;
    }
    if (M.Msg == WM_ERASEBKGND) {
        if (LeavesErasingToControl())
            PassOn(M);
        else
            WMEraseBkgnd(M);
        return;
    }
    TacEditWnd::WndProc(M);
    if (Destroyed) return;
    switch (M.Msg) {
    case WM_LBUTTONUP:
        if (GetCapture() == CtrlHandle) ReleaseCapture();
        break;
    // A tree sets its scroll information with a redraw, and the system then
    // draws its own bar over the skinned one: ours is painted again after.
    case WM_PAINT:
    case TVM_EXPAND:
    case TVM_INSERTITEMA:
    case TVM_INSERTITEMW:
    case TVM_DELETEITEM:
    case TVM_ENSUREVISIBLE:
    case TVM_SELECTITEM:
        RefreshBars();
        break;
    default:
        break;
    }
}

// ================================================================ TacVirtualListWnd

namespace {
const char* const kShellColorNames[3] = {"CompressedTextColor", "FileTextColor", "FolderTextColor"};
constexpr unsigned acQueriedElements = hpeBackground | hpeDropMark | hpeSortGlyph | hpeText;  // 27
}  // namespace

TacVirtualListWnd::~TacVirtualListWnd() {
    // Once the window is gone its control (and a borrowed skin state) may be too.
    if (!Destroyed) UnhookHeaderEvents();
}

void TacVirtualListWnd::SavePlainLook() {
    TacEditWnd::SavePlainLook();
    TControl* c = SkinData ? SkinData->OwnerControl : nullptr;
    if (!c) return;
    if (TPersistent* sc = ObjectPropOf(c, "ShellColors"))
        for (int i = 0; i < 3; ++i) SavedShellColors[i] = OrdColor(sc, kShellColorNames[i]);
    SavedOwnerDraw = SetPropContains(ObjectPropOf(c, "Header"), "Options", "hoOwnerDraw");
}

void TacVirtualListWnd::UnhookHeaderEvents() {
    // The control must never call a handler of a wrapper that is gone.
    TControl* c = SkinData ? SkinData->OwnerControl : nullptr;
    if (!c) return;
    if (HookedHeaderDraw) {
        if (auto* e = EventProp<TacAdvancedHeaderPaintEvent>(c, "OnAdvancedHeaderDraw");
            e && *e == TacAdvancedHeaderPaintEvent::Of<&TacVirtualListWnd::AdvancedHeaderDraw>(this))
            *e = nullptr;
        HookedHeaderDraw = false;
    }
    if (HookedQueryElements) {
        if (auto* e = EventProp<TacHeaderPaintQueryElementsEvent>(c, "OnHeaderDrawQueryElements");
            e && *e == TacHeaderPaintQueryElementsEvent::Of<&TacVirtualListWnd::HeaderDrawQueryElements>(this))
            *e = nullptr;
        HookedQueryElements = false;
    }
}

void TacVirtualListWnd::RestorePlainLook() {
    // A control being destroyed still must not keep handlers of this wrapper.
    UnhookHeaderEvents();
    TacEditWnd::RestorePlainLook();
    TControl* c = SkinData ? SkinData->OwnerControl : nullptr;
    if (!c || !PlainSaved || (c->ComponentState() & csDestroying)) return;
    if (TPersistent* sc = ObjectPropOf(c, "ShellColors"))
        for (int i = 0; i < 3; ++i) PutColor(sc, kShellColorNames[i], SavedShellColors[i]);
    ChangeSetProp(ObjectPropOf(c, "Header"), "Options", "hoOwnerDraw", SavedOwnerDraw);
}

void TacVirtualListWnd::ApplySkinLook() {
    TacEditWnd::ApplySkinLook();
    TControl* c = SkinData ? SkinData->OwnerControl : nullptr;
    const TsGeneralData* s = Section();
    if (!c || !s) return;
    if (TPersistent* sc = ObjectPropOf(c, "ShellColors"))
        for (const char* name : kShellColorNames) PutColor(sc, name, s->HotFontColor[0]);
    if (auto* e = EventProp<TacAdvancedHeaderPaintEvent>(c, "OnAdvancedHeaderDraw"); e && !*e) {
        *e = TacAdvancedHeaderPaintEvent::Of<&TacVirtualListWnd::AdvancedHeaderDraw>(this);
        HookedHeaderDraw = true;
    }
    if (auto* e = EventProp<TacHeaderPaintQueryElementsEvent>(c, "OnHeaderDrawQueryElements"); e && !*e) {
        *e = TacHeaderPaintQueryElementsEvent::Of<&TacVirtualListWnd::HeaderDrawQueryElements>(this);
        HookedQueryElements = true;
    }
    ChangeSetProp(ObjectPropOf(c, "Header"), "Options", "hoOwnerDraw", true);
}

void TacVirtualListWnd::HeaderDrawQueryElements(TPersistent*, TacHeaderPaintInfo&, unsigned& Elements) {
    Elements = acQueriedElements;
}

void TacVirtualListWnd::AdvancedHeaderDraw(TPersistent* Sender, TacHeaderPaintInfo& PaintInfo, unsigned Elements) {
    TsSkinManager* m = Manager();
    if (OwnScroll || !Skinned || !m || !PaintInfo.TargetCanvas) return;
    const TsSection sec = HeaderSection(m);
    const TRect r = PaintInfo.PaintRectangle;
    if (!sec.Valid() || r.Width() <= 0 || r.Height() <= 0) return;
    HDC target = PaintInfo.TargetCanvas->Handle();
    if (!PaintInfo.Column) {
        FillRectOnDC(target, r, m->gd()[size_t(sec.Index)].Color);
        return;
    }
    const int state = PaintInfo.IsDownIndex ? 2 : PaintInfo.IsHoverIndex ? 1 : 0;
    std::unique_ptr<TBitmap> bmp(CreateBitmap24(r.Width(), r.Height()));
    const TRect whole = Rect(0, 0, r.Width(), r.Height());
    if (Elements & hpeBackground) {
        TBitmap* cache = SkinData->CacheBitmap;
        const CacheInfo under = cache && !cache->Empty() ? MakeBitmapBackground(cache, r.Left + EdgeLeft, r.Top + EdgeTop)
                                                         : EmptyCacheInfo;
        PaintSectionFull(sec, under, -1, -1, m, bmp.get(), Point(r.Left, r.Top), whole, state, true);
    } else {
        BitBlt(bmp->Canvas()->Handle(), 0, 0, r.Width(), r.Height(), target, r.Left, r.Top, SRCCOPY);
        if (Elements & hpeText) {
            AnsiString text;
            const TClassInfo* info = FindClassInfo(PaintInfo.Column->ClassName());
            if (info) ReadPropertyText(PaintInfo.Column, *info, "Text", text);
            TCanvas* canvas = bmp->Canvas();
            if (TFont* f = FontProp(PaintInfo.Column, "Font")) canvas->Font()->Assign(f);
            TRect tr = Rect(4, 0, r.Width() - 4, r.Height());
            WriteSectionText(canvas, text.c_str(), true, m, state != 0, sec.Index,
                             DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS, tr);
        }
        if (Elements & hpeSortGlyph) {
            const int64_t dir = OrdPropOf(Sender, "SortDirection");
            PaintSortGlyph(m, bmp.get(), dir > 0, PaintInfo.GlyphPos.X - r.Left, r.Height() / 2, state);
        }
    }
    BitBlt(target, r.Left, r.Top, r.Width(), r.Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TacVirtualListWnd::WMPrint(TMessage& M) {
    HDC dc = reinterpret_cast<HDC>(M.WParam);
    SkinData->UpdatingFlag = false;
    if (SkinData->BackgroundDirty) UpdateWndCache(SkinData, CtrlHandle, false);
    {
        SavedDC saved(dc);
        int down = EdgeTop;
        TControl* c = SkinData->OwnerControl;
        if (TPersistent* hdr = c ? ObjectPropOf(c, "Header") : nullptr;
            hdr && SetPropContains(hdr, "Options", "hoVisible"))
            down += int(std::max<int64_t>(OrdPropOf(hdr, "Height"), 0));
        OffsetViewportOrgEx(dc, EdgeLeft, down, nullptr);
        TMessage client{WM_PRINTCLIENT, M.WParam, M.LParam, 0};
        PassOn(client);
    }
    PassOn(M);
    if (Destroyed) return;
    if (!DialogMode) FillCornersByMask(SkinData, 0, this);
    CopyCacheBands(dc, EdgeLeft);
    PaintScrollBars(this, CtrlHandle, dc);
}

void TacVirtualListWnd::WMNCPaint() {
    Geometry = GetWndGeometry(CtrlHandle);
    SkinData->UpdatingFlag = SkinData->IsUpdating();
    if (SkinData->UpdatingFlag) return;
    ApplySkinLookOnce();
    if (SkinData->BackgroundDirty) UpdateWndCache(SkinData, CtrlHandle, false);
    WindowDC dc(CtrlHandle, WindowDC::Window);
    if (!dc) return;
    TMessage print{WM_PRINT, WPARAM(dc.Get()), PRF_NONCLIENT, 0};
    WMPrint(print);
}

void TacVirtualListWnd::WndProc(TMessage& M) {
    if (!SkinnedNow()) {
        TacEditWnd::WndProc(M);
        return;
    }
    switch (M.Msg) {
    case WM_ERASEBKGND:
        M.Result = 1;
        return;
    case WM_NCPAINT:
        if (!IsWindowVisible(CtrlHandle)) break;
        try {
            WMNCPaint();
        } catch (const std::exception&) {
            // A failed frame paint leaves the frame as it was.
        }
        return;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (LOWORD(M.WParam) == SB_THUMBTRACK) {
            TacScrollBar* bar = M.Msg == WM_VSCROLL ? VertBar() : HorzBar();
            if (bar) {
                SCROLLINFO si{};
                si.cbSize = sizeof(si);
                si.fMask = SIF_POS;
                si.nPos = bar->ScrollInfo.nTrackPos;
                SetScrollInfo(CtrlHandle, M.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ, &si, FALSE);
            }
        }
        break;
    case WM_PRINT:
        if (M.WParam) {
            WMPrint(M);
            return;
        }
        break;
    default:
        break;
    }
    TacEditWnd::WndProc(M);
}
