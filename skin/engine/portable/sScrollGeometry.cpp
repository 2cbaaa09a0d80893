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
    const int before = Shown;
    Shown = std::clamp(Value, Min, std::max(Min, Max - PageLess()));
    Code = C;
    // The thumb is drawn again only where it moved.
    if (Shown != before) RedrawNeeded = true;
    if (C == acSB_THUMBTRACK) {
        if (TrackPosition == Shown && !FirstTrack) return false;
        FirstTrack = false;
        TrackPosition = Shown;
    } else {
        Position = Shown;
    }
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

int acMulDiv(int A, int B, int C) {
    if (C == 0) return -1;
    const int64_t p = int64_t(A) * int64_t(B);
    const int64_t c = C;
    const bool negative = (p < 0) != (c < 0);
    const int64_t ap = p < 0 ? -p : p, ac = c < 0 ? -c : c;
    const int64_t q = (ap + ac / 2) / ac;
    const int64_t r = negative ? -q : q;
    if (r > INT32_MAX || r < INT32_MIN) return -1;
    return int(r);
}

namespace {
constexpr uint32_t kHugeRange = 0x7FFFFFFE;
uint32_t RangeOf(const TacScrollInfo& I) { return uint32_t(I.nMax) - uint32_t(I.nMin); }
}  // namespace

TacNCThumb NCThumbGeometry(int Length, int Arrow, const TacScrollInfo& Info, int MinThumb) {
    TacNCThumb t;
    const int track = Length - 2 * Arrow;
    const uint32_t range = RangeOf(Info);
    if (Info.nPage == 0)
        t.Size = Arrow;
    else if (range > kHugeRange)
        t.Size = 0;
    else
        t.Size = std::max(acMulDiv(int(Info.nPage), track, int(range) + 1), MinThumb);
    int offset = 0;
    if (range <= kHugeRange) {
        const int page = std::max<int>(int(std::min<uint32_t>(Info.nPage, INT32_MAX)), 1);
        offset = acMulDiv(Info.nPos - Info.nMin, track - t.Size, int(range) - page + 1);
        offset = std::clamp(offset, 0, std::max(0, track - t.Size));
    }
    t.Start = Arrow + offset;
    return t;
}

int NCPartAt(int Length, int Arrow, const TacNCThumb& Thumb, int Thickness, int Along, int Across) {
    if (Across < 0 || Across >= Thickness || Along < 0 || Along >= Length) return -1;
    const bool fits = 2 * Arrow <= Length;
    const int d = fits ? Arrow : Length / 2;
    if (Along < d) return 0;
    if (Along >= Length - d) return 1;
    if (!fits || Thumb.Size >= Length - 2 * Arrow) return -1;
    if (Along >= Thumb.Start && Along < Thumb.Start + Thumb.Size) return 5;
    if (Along < Thumb.Start) return 2;
    if (Along >= Thumb.Start + Thumb.Size) return 3;
    return -1;
}

int NCDragPosition(int Length, int Arrow, int ThumbSize, int ThumbStart, const TacScrollInfo& Info) {
    const int x = ThumbStart - Arrow;
    const int64_t range = int64_t(Info.nMax) - Info.nMin;
    const int64_t last = int64_t(Info.nMax) - std::max<int64_t>(int64_t(Info.nPage) - 1, 0);
    int64_t pos;
    if (range < 1)
        pos = int64_t(Info.nMin) + x;
    else
        pos = int64_t(Info.nMin) +
              acMulDiv(x, int(std::min<int64_t>(range - Info.nPage + 1, INT32_MAX)), Length - 2 * Arrow - ThumbSize);
    return int(std::clamp<int64_t>(pos, Info.nMin, std::max<int64_t>(last, Info.nMin)));
}
