// Scope guards for Win32 handles and saved state. Every handle the code makes
// or selects is given back by a destructor, so an exception (or an early
// return) between the two calls leaks nothing and leaves no DC half set up.
// All guards are move-only; a moved-from guard does nothing.
#pragma once

#include <windows.h>

#include <utility>

// Runs a callable when the scope ends, thrown or not: flags raised around a
// call, counters, anything that was changed "for the duration".
template <class F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ScopeExit(ScopeExit&& o) noexcept : f_(std::move(o.f_)), armed_(std::exchange(o.armed_, false)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() { if (armed_) f_(); }
    void Dismiss() { armed_ = false; }

private:
    F f_;
    bool armed_ = true;
};

// Sets a variable for the scope and puts the old value back at its end.
template <class T>
class ValueRestorer {
public:
    ValueRestorer(T& var, T value) : var_(&var), old_(std::exchange(var, std::move(value))) {}
    ValueRestorer(const ValueRestorer&) = delete;
    ValueRestorer& operator=(const ValueRestorer&) = delete;
    ~ValueRestorer() { *var_ = std::move(old_); }

private:
    T* var_;
    T old_;
};

// Owns one GDI object (pen, brush, font, bitmap, region) and deletes it.
template <class H>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H h) : h_(h) {}
    GdiObject(GdiObject&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    GdiObject& operator=(GdiObject&& o) noexcept {
        if (this != &o) Reset(std::exchange(o.h_, nullptr));
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { Reset(); }

    H Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    // Gives up ownership: the caller (or a call such as SetWindowRgn that
    // takes the handle over) deletes it now.
    H Release() { return std::exchange(h_, nullptr); }
    void Reset(H h = nullptr) {
        if (h_ && h_ != h) DeleteObject(h_);
        h_ = h;
    }

private:
    H h_ = nullptr;
};

using BrushHandle = GdiObject<HBRUSH>;
using PenHandle = GdiObject<HPEN>;
using FontHandle = GdiObject<HFONT>;
using BitmapHandle = GdiObject<HBITMAP>;
using RegionHandle = GdiObject<HRGN>;

// Selects an object into a DC and selects the previous one back.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
    SelectGuard(SelectGuard&& o) noexcept
        : dc_(std::exchange(o.dc_, nullptr)), old_(std::exchange(o.old_, nullptr)) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() { if (dc_ && old_) SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// SaveDC / RestoreDC around a scope: clipping, origins, selected objects,
// modes and colours come back as they were.
class SavedDC {
public:
    explicit SavedDC(HDC dc) : dc_(dc), id_(dc ? SaveDC(dc) : 0) {}
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;
    ~SavedDC() { if (id_) RestoreDC(dc_, id_); }

private:
    HDC dc_;
    int id_;
};

// A window's client DC (GetDC) or whole-window DC (GetWindowDC), released.
class WindowDC {
public:
    enum Kind { Client, Window };
    explicit WindowDC(HWND wnd, Kind kind = Client)
        : wnd_(wnd), dc_(kind == Client ? GetDC(wnd) : GetWindowDC(wnd)) {}
    // A DC got elsewhere (GetDCEx) that this guard releases.
    WindowDC(HWND wnd, HDC dc) : wnd_(wnd), dc_(dc) {}
    WindowDC(WindowDC&& o) noexcept : wnd_(o.wnd_), dc_(std::exchange(o.dc_, nullptr)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() { if (dc_) ReleaseDC(wnd_, dc_); }
    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND wnd_;
    HDC dc_;
};

// A memory DC (CreateCompatibleDC), deleted.
class MemoryDC {
public:
    explicit MemoryDC(HDC like = nullptr) : dc_(CreateCompatibleDC(like)) {}
    MemoryDC(MemoryDC&& o) noexcept : dc_(std::exchange(o.dc_, nullptr)) {}
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    ~MemoryDC() { if (dc_) DeleteDC(dc_); }
    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};
