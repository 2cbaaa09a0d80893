#include "acCaptionGeometry.h"

#include <cstdlib>

int CaptionIconSize(int Height) {
    if (Height < 9) return 0;
    if (Height <= 16) return 8;
    if (Height <= 27) return 16;
    return 32;
}

int SystemButtonCount(const TacCaptionButtonSet& S) {
    return 1 + (S.MaximizeVisible ? 1 : 0) + (S.MinimizeVisible ? 1 : 0) + (S.Help ? 1 : 0);
}

int CaptionButtonHit(const TacCaptionButtonSet& S, int K, bool TitleEnabled) {
    const int n = SystemButtonCount(S);
    if (K > n && K <= n + S.TitleCount) return TitleEnabled ? acHTTitleButton + (K - n - 1) : acHTCaption;
    switch (K) {
    case 1: return S.Owned ? acHTClose : acHTCaption;
    case 2:
        if (S.MaximizeVisible)
            return S.MaximizeEnabled || (S.RestoreEnabled && !S.Minimized) ? acHTMaxButton : acHTCaption;
        if (S.MinimizeVisible) return S.MinimizeEnabled ? acHTMinButton : acHTCaption;
        return S.Help ? acHTHelp : acHTCaption;
    case 3:
        if (S.MinimizeVisible) return S.Minimized || S.MinimizeEnabled ? acHTMinButton : acHTCaption;
        return S.Help ? acHTHelp : acHTCaption;
    case 4: return S.Help && S.MaximizeVisible ? acHTHelp : acHTCaption;
    default: return acHTCaption;
    }
}

TPoint SnapToWorkArea(TPoint Pos, TPoint Size, const TRect& W, int Buffer) {
    if (std::abs(Pos.X + Size.X - W.Right) < Buffer) Pos.X = W.Right - Size.X;
    if (std::abs(Pos.Y + Size.Y - W.Bottom) < Buffer) Pos.Y = W.Bottom - Size.Y;
    if (std::abs(Pos.X - W.Left) < Buffer) Pos.X = W.Left;
    if (std::abs(Pos.Y - W.Top) < Buffer) Pos.Y = W.Top;
    return Pos;
}
