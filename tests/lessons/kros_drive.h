// Driving the crossword game under Wine: keys pressed on the keyboard (the
// system's input queue, so the message loop's TranslateMessage makes the
// characters and sends them to the window the key went to), presses on cells
// and number tiles, and the check timer's real ticks counted on their way to
// the form's handler.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "LessonTestUtil.h"
#include "Text1251.h"
#include "Unit1.h"
#include "Unit2.h"

namespace kros_drive {

// Holds the check timer's ticks at a gate: each WM_TIMER is counted, and
// handed to Tkros::Timer1Timer only while passes are left. So a test says
// "after the next tick" and the loop's real timer messages do the rest.
struct TickGate {
    TNotifyEvent Original;
    int Seen = 0, Passed = 0, Allowed = 0;
    void Tick(TObject* Sender) {
        ++Seen;
        if (Passed < Allowed) {
            ++Passed;
            Original(Sender);
        }
    }
    void Attach(Tkros* F) {
        Original = F->Timer1->OnTimer;
        F->Timer1->OnTimer = TNotifyEvent::Of<&TickGate::Tick>(this);
        Seen = Passed = Allowed = 0;
    }
    // Lets N more ticks through and waits for them.
    bool Step(int N = 1) {
        Allowed = Passed + N;
        return PumpUntil([this] { return Passed >= Allowed; }, 3000 + 600 * N);
    }
};

inline TickGate& Gate() {
    static TickGate g;
    return g;
}

// The game's window in front, as a pupil sees it after opening it.
inline void Activate(TForm* F) {
    SetForegroundWindow(F->Handle());
    SetActiveWindow(F->Handle());
    PumpUntil([F] { return GetForegroundWindow() == F->Handle(); }, 2000);
    Pump();
}

inline void SendKeyInput(WORD Vk, WORD Scan, DWORD Flags) {
    testwin::SendInputs({testwin::KeyInput(Vk, Scan, Flags), testwin::KeyInput(Vk, Scan, Flags | KEYEVENTF_KEYUP)});
    Pump();
}

// A key without a character of its own (arrows, Delete, Backspace, Tab, Shift).
inline void PressKey(WORD Vk) { SendKeyInput(Vk, WORD(MapVirtualKeyW(Vk, MAPVK_VK_TO_VSC)), 0); }

// One character typed, as the keyboard sends a character of any layout.
inline void TypeChar(wchar_t C) { SendKeyInput(0, C, KEYEVENTF_UNICODE); }

// Windows-1251 text typed character by character.
inline void Type(const AnsiString& Text) {
    for (unsigned char c : Text) TypeChar(wchar_t(Cp1251ToUnicode(c)));
}

inline int FocusedCell(Tkros* F) {
    HWND focus = GetFocus();
    for (int n = 1; n <= Tkros::SinkCell; ++n)
        if (F->Cells[n]->HandleIfAllocated() == focus) return n;
    return 0;
}

// A press and release inside a windowed control (a cell).
inline void PressIn(TWinControl* C, TMouseButton Button = mbLeft) {
    PostClick(C->Handle(), C->Width() / 2, C->Height() / 2, Button);
    Pump();
}

// The answer of a word, as the pupil types it.
inline AnsiString Answer(int W) { return Tkros::WordAnswer(W); }

// Presses the number tile of a word.
inline void PressTile(Tkros* F, int W, TMouseButton Button = mbLeft) {
    ClickControl(F, F->Tiles[Tkros::TileLabel(W)], Button);
}

inline std::string Utf8(const AnsiString& S) { return Cp1251ToUtf8(S); }

// Presses the word's tile and types its answer, as a pupil who sees the
// letters of locked crossings already there (the focus steps over them).
inline void TypeWord(int W) {
    PressTile(kros, W);
    const int* cells = Tkros::WordCells(W);
    for (int i = 0; cells[i]; ++i)
        if (!kros->Cells[cells[i]]->ReadOnly())
            TypeChar(wchar_t(Cp1251ToUnicode(static_cast<unsigned char>(Answer(W)[i]))));
}

// Every word, each checked before the next, so its crossings are locked.
inline void TypeAllWords() {
    for (int w = 1; w <= Tkros::WordCount; ++w) {
        TypeWord(w);
        ASSERT_TRUE(Gate().Step());
    }
}

}  // namespace kros_drive
