// The frame adapter: skins a class-library frame as the form provider skins a
// form, without a non-client area: it takes the frame's WindowProc over,
// paints the frame's background from its skin section (default "GROUPBOX"),
// gives a scrolling frame emulated skinned scroll bars and answers the
// engine's commands for it.
#pragma once

#include <memory>

#include "Controls.h"
#include "sCommonData.h"

class TFrame;
class TacScrollWnd;

// The error an adapter on anything but a frame shows (the program's string
// table may hold its own wording under this number).
constexpr UINT acFrameAdapterErrorId = 58950;
extern const char* const acFrameAdapterError;

class TsFrameAdapter : public TComponent {
public:
    // AOwner must be the frame; on anything else the adapter reports it once
    // and stays inert.
    explicit TsFrameAdapter(TComponent* AOwner);
    ~TsFrameAdapter() override;
    const char* ClassName() const override { return "TsFrameAdapter"; }
    void AfterConstruction();
    void Loaded() override;

    TsCommonData* SkinData() const { return FCommonData.get(); }
    TFrame* Frame() const { return FFrame; }
    // The emulated bars of a skinned frame; nil while there are none.
    TacScrollWnd* ScrollWrapper() const { return FScrollWrapper; }
    // Paints the frame's background and its children into DC.
    void PaintFrame(HDC DC);
    // Form data.
    static void Register();

private:
    void HookedWndProc(TMessage& M);
    void NewWndProc(TMessage& M);
    bool SkinCommand(TMessage& M);
    void StateCommand(TMessage& M);
    void EraseBackground(TMessage& M);
    void PaintMessage(TMessage& M);
    void Print(TMessage& M);
    void ParentNotify(TMessage& M);
    void MouseEnter(TMessage& M);
    void Pass(TMessage& M);
    TColor QueryColor();
    bool ThirdPartyRules() const;
    bool Plain() const;
    // The frame's own pop-up menus to the skinned-menu painter.
    void HookPopupMenus();
    void UpdateScrollWrapper();
    void FreeScrollWrapper();
    void PaintPlain(HDC DC);
    void PaintSkinned(HDC DC);
    bool PartlyOutsideParent() const;

    std::unique_ptr<TsCommonData> FCommonData;
    TFrame* FFrame = nullptr;
    std::unique_ptr<TWndProcHook> FHook;  // the frame's WindowProc while we skin it
    TacScrollWnd* FScrollWrapper = nullptr;
    TPoint FCachePlace;  // where the frame stood when its image was made
    bool FDestroying = false;
};
