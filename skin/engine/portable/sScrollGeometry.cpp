#include "sScrollGeometry.h"

#include <algorithm>
#include <cmath>

int RoundEven(long double X) { return int(std::nearbyintl(X)); }

TacScrollGeometry::TacScrollGeometry(int L, int A, bool En, int Mn, int Mx, uint32_t Pg, int Sh)
    : Length(L), Arrow(std::min(A, L / 2)), Enabled(En), Min(Mn), Max(Mx), Page(Pg), Shown(Sh) {}

int TacScrollGeometry::ThumbSize() const {
    if (Page == 0) return 14;
    const long double span = (long double)Max + Page - PageLess() - Min;
    if (span <= 0) return 14;
    const int t = Length - 2 * Arrow;
    return std::max(14, RoundEven(t * (long double)Page / span));
}

int TacScrollGeometry::ThumbCentre() const {
    if (!Enabled) return Length / 2;
    const int range = Max - Min - PageLess();
    const int thumb = ThumbSize();
    if (range <= 0) return 0;
    return Arrow + thumb / 2 + RoundEven((long double)(Length - 2 * Arrow - thumb) / range * (Shown - Min));
}

int TacScrollGeometry::PositionAt(int P) const {
    if (!Enabled) return 0;
    const int thumb = ThumbSize();
    const int slide = Length - 2 * Arrow - thumb;
    if (slide <= 0) return Min;
    return Min + RoundEven(((long double)P - Arrow - thumb / 2.0L) * (Max - Min - PageLess()) / slide);
}

TacScrollPart ScrollPartAt(const TacScrollGeometry& G, int P) {
    if (P < 0 || P >= G.Length) return spNone;
    if (P < G.Arrow) return spArrow1;
    if (P >= G.Length - G.Arrow) return spArrow2;
    if (P >= G.ThumbStart() && P < G.ThumbEnd()) return spThumb;
    return P < G.ThumbCentre() ? spTrack1 : spTrack2;
}

int TacScrollState::SetInfo(const TacScrollInfo& Info, bool Redraw) {
    if ((Info.fMask & acSIF_PAGE) && Info.nPage != Page) {
        Page = Info.nPage;
        RedrawNeeded = Redraw;
    }
    if ((Info.fMask & acSIF_POS) && Info.nPos != Position) {
        Position = Info.nPos;
        RedrawNeeded = Redraw;
    }
    if ((Info.fMask & acSIF_RANGE) && (Info.nMin != Min || Info.nMax != Max)) {
        if (Info.nMax < Info.nMin) {
            Min = 0;
            Max = 0;
        } else {
            Min = Info.nMin;
            Max = Info.nMax;
        }
        RedrawNeeded = Redraw;
    }
    const long long pageMax = (long long)Max - Min + 1;
    if ((long long)Page > pageMax) Page = uint32_t(std::max(0LL, pageMax));
    Position = std::clamp(Position, Min, std::max(Min, Max - PageLess()));
    if (Code != acSB_THUMBTRACK) Shown = Position;
    return Position;
}

void TacScrollState::GetInfo(TacScrollInfo& Info) const {
    if (Info.fMask & acSIF_PAGE) Info.nPage = Page;
    if (Info.fMask & acSIF_POS) Info.nPos = Position;
    if ((Info.fMask & acSIF_TRACKPOS) && Info.cbSize == 28) Info.nTrackPos = TrackPosition;
    if (Info.fMask & acSIF_RANGE) {
        Info.nMin = Min;
        Info.nMax = Max;
    }
}

bool TacScrollState::SetPos(int Value, uint16_t C) {
    Shown = std::clamp(Value, Min, std::max(Min, Max - PageLess()));
    Code = C;
    if (C == acSB_THUMBTRACK) {
        if (TrackPosition == Shown && !FirstTrack) return false;
        FirstTrack = false;
        TrackPosition = Shown;
    } else {
        Position = Shown;
    }
    RedrawNeeded = true;
    return true;
}

uint32_t TacScrollState::ScrollWParam(uint16_t C) const {
    if (C == acSB_THUMBPOSITION || C == acSB_THUMBTRACK) return (uint32_t(uint16_t(Shown)) << 16) | C;
    return C;
}

bool TacPartStates::Set(TacScrollPart Part, uint8_t Value) {
    if (Part == spNone || State[Part] == Value) return false;
    State[Part] = Value;
    if (Value != 0) {
        for (int p = 0; p < 5; ++p) {
            if (p == Part) continue;
            State[p] = (p == spTrack1 || p == spTrack2) ? 1 : 0;
        }
    }
    return true;
}
