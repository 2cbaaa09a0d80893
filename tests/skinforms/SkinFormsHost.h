// What the skinned-form tests and the bench share: the engine's units
// started for the program, a skin manager on one of our test skins, pumping,
// and the real mouse (SendInput) at screen points.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "Forms.h"
#include "WinTestSupport.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"

namespace skinforms {

// The engine's units, the provider's among them, in start-up order.
void StartUnits();
void StopUnits();

// A manager owned by Owner that loads the named test skin ("Birch", "Night").
TsSkinManager* MakeManager(TComponent* Owner, const char* Skin);

void Pump(int Ms);
bool PumpUntil(const std::function<bool()>& Done, int TimeoutMs = 3000);

// A sizeable form with a caption and its three buttons at (X, Y), W x H,
// shown and pumped; with Skinned a provider is put on it first.
TForm* MakeForm(int X, int Y, int W, int H, const char* Caption);

// The real mouse, at screen points.
void MouseMove(int X, int Y);
void MouseDown();
void MouseUp();
void Click(int X, int Y);
// Mouse steps sent by a thread of their own, Gap ms apart, while this thread
// handles messages: the system's move and size loops run inside a message.
using MouseStep = testwin::MouseStep;
void MouseScript(const std::vector<MouseStep>& Steps, int Gap = 25);
// Body run on a thread of its own while this thread handles messages: the
// input it sends may start a modal loop here (a menu's), which it can end.
void RunBesideLoop(const std::function<void()>& Body, int TimeoutMs = 8000);
// Press at From, move in Steps steps to To, release.
void Drag(POINT From, POINT To, int Steps = 6, int Gap = 25);

// Pixels of the window's frame against the provider's image of them: how
// many of the sampled points differ (-1 without an image); the title band,
// or with Whole the side and bottom borders too. Only what the window shows
// on the screen counts.
int FrameMismatches(TsSkinProvider* P, bool Whole = false);
// The provider's window image, as pixels.
testwin::Pixels Image(TsSkinProvider* P);

// The screen rectangle of a caption button of Form's provider.
RECT ButtonOnScreen(TsSkinProvider* P, TsCaptionSlot Slot);
POINT Centre(const RECT& R);

// A child of the system's own MDI kind (no class-library form) in Client.
HWND ForeignMDIChild(HWND Client, int X, int Y, int W, int H, DWORD Style = 0);

}  // namespace skinforms
