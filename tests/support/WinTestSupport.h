// Support of the Windows tests: the message pump around whatever message loop
// a test's program has, window contents read back as pixels, keyboard input
// as the system delivers it, and a program of the build run as a child.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testwin {

// Handles the waiting messages once: the program's own loop step.
using MessageHandler = void (*)();

// Peeks, translates and dispatches every waiting message (no application object).
void DispatchWaiting();
// Handles messages for about Ms milliseconds, sleeping while none arrive.
void PumpFor(MessageHandler Handle, int Ms);
// Handles messages until Done answers true or TimeoutMs passes; answers Done().
bool PumpUntil(MessageHandler Handle, const std::function<bool()>& Done, int TimeoutMs);

// Registers a window class of the test program: Proc, the arrow cursor and
// Background (none: the window erases itself).
void RegisterWindowClass(const wchar_t* Name, WNDPROC Proc, HBRUSH Background = nullptr);

// 32-bit pixels, 0x00RRGGBB, top row first.
struct Pixels {
    int Width = 0, Height = 0;
    std::vector<uint32_t> Data;
    uint32_t At(int X, int Y) const { return Data[size_t(Y) * size_t(Width) + size_t(X)]; }
    int Count(uint32_t Rgb) const;
    // The part of all pixels that are Rgb, 0 to 1.
    double Share(uint32_t Rgb) const;
    // How many pixels differ from Other's at the same place (sizes alike).
    int Differing(const Pixels& Other) const;
};

inline int Red(uint32_t C) { return (C >> 16) & 0xFF; }
inline int Green(uint32_t C) { return (C >> 8) & 0xFF; }
inline int Blue(uint32_t C) { return C & 0xFF; }
// 0x00RRGGBB to the layout of COLORREF and the class library's colours
// (red in the low byte), and back: the swap is its own inverse.
inline uint32_t SwapRedBlue(uint32_t C) { return ((C & 0xFF) << 16) | (C & 0xFF00) | ((C >> 16) & 0xFF); }

// What Draw paints into a W by H memory bitmap.
Pixels Capture(int W, int H, const std::function<void(HDC)>& Draw);
// Rectangle R of what the window's device context holds now: the client
// area's, or with WholeWindow the window's own, frame included.
Pixels CopyFromWindow(HWND Wnd, const RECT& R, bool WholeWindow = false);

// One keyboard event for SendInput.
INPUT KeyInput(WORD Vk, WORD Scan, DWORD Flags);
// A key's press or release with its scan code (arrows and Delete as extended keys).
INPUT KeyStroke(WORD Vk, bool Up);
// Sends the events in one call; answers whether the system took them all.
bool SendInputs(const std::vector<INPUT>& In);
// A mouse button event (MOUSEEVENTF_LEFTDOWN...) where the cursor is.
INPUT MouseButton(DWORD Flags);
// Moves the real cursor to a screen point and presses and releases the left
// button there, then handles the messages (by Handle) for a while; answers
// whether the system took the events.
bool LeftClickAt(MessageHandler Handle, POINT Screen);
// Real mouse input: the cursor moved to screen point (X, Y), with the button
// events in Buttons (MOUSEEVENTF_LEFTDOWN, ...) at that point.
bool MouseAt(int X, int Y, DWORD Buttons = 0);

// Mouse steps sent by a thread of their own, Gap ms apart, while this thread
// handles messages (by Handle): the system's move, size and scroll loops
// run inside a message.
struct MouseStep {
    int X, Y;
    int Button;  // 0 move, 1 press, 2 release (at the point)
};
void MouseScript(MessageHandler Handle, const std::vector<MouseStep>& Steps, int Gap = 25);
// Press at From, a moment's hold, Steps moves to To, release.
void DragMouse(MessageHandler Handle, POINT From, POINT To, int Steps = 6, int Gap = 25);

// GDI objects and USER objects (windows, menus) alive in the process, for
// leak checks around a loop. GetGuiResources answers 0 under Wine, so
// there the handle tables are probed instead: a handle without its
// generation word names the table entry itself.
struct GuiObjects {
    unsigned long Gdi = 0, User = 0;
    friend bool operator==(const GuiObjects&, const GuiObjects&) = default;
};
GuiObjects CountGuiObjects();

// A path of the build tree as the Windows program sees it under Wine: drive Z:.
std::wstring HostPath(const char* UnixPath);

// A program started as a child process, ended at destruction if still running.
struct ChildProgram {
    PROCESS_INFORMATION pi = {};
    HWND window = nullptr;
    ChildProgram() = default;
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;
    ~ChildProgram();
    // Starts Exe (a build-tree path), with Args after it on the command line,
    // and waits for its visible top-level window captioned Title; a fatal
    // test failure if either does not happen.
    void Start(const char* Exe, const wchar_t* Title, const std::wstring& Args = L"");
    // The exit code, or 0xDEAD when it still runs after Ms milliseconds.
    DWORD WaitExit(DWORD Ms = 10000);
};

}  // namespace testwin
